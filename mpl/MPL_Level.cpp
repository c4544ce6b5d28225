#include "mpl/MPL_Level.h"

namespace mpl {

bool MdbLevelUsable(const MdbMap_t& map, unsigned level) {
  return level < kMdbLevels && map.tre.firstSubdiv[level] != 0 && !(map.tre.levelMask & (1u << level));
}

bool MdbLevelRange(const MdbMap_t& map, unsigned level, std::uint16_t& first, std::uint16_t& last) {
  first = last = 0;
  if (level >= kMdbLevels || map.tre.firstSubdiv[level] == 0) return false;
  first = map.tre.firstSubdiv[level];
  last = map.tre.totalSubdivs;
  for (int below = static_cast<int>(level) - 1; below >= 0; --below) {
    if (map.tre.firstSubdiv[below] != 0) {
      last = static_cast<std::uint16_t>(map.tre.firstSubdiv[below] - 1);
      break;
    }
  }
  return first <= last;
}

int MdbLevelOf(const MdbMap_t& map, unsigned n) {
  if (n == 0 || n > map.tre.totalSubdivs) return -1;
  for (unsigned i = 0; i < kMdbLevels; ++i)
    if (map.tre.firstSubdiv[i] != 0 && map.tre.firstSubdiv[i] <= n) return static_cast<int>(i);
  return -1;
}

namespace {

// True when a level above (direction +1) or below (-1) j has data of its own.
bool MaskClearBeyond(const MdbMap_t& map, unsigned j, int direction) {
  if (direction > 0) {
    for (unsigned n = j + 1; n < kMdbLevels; ++n)
      if (!(map.tre.levelMask & (1u << n))) return true;
  } else {
    for (unsigned n = 0; n < j; ++n)
      if (!(map.tre.levelMask & (1u << n))) return true;
  }
  return false;
}

}  // namespace

unsigned MdbSelectLevel(MdbMap_t& map, unsigned bits, int step) {
  const MdbTre_t& tre = map.tre;
  unsigned j = MdbDetailedLevel(map);
  for (unsigned n = j; n < tre.highestLevel && n < kMdbLevels; ++n) {
    if (!MdbLevelUsable(map, n)) continue;
    j = n;
    if (bits >= tre.levelBits[n]) break;
  }
  while (step > 0) {
    if (!MaskClearBeyond(map, j, +1)) break;
    ++j;
    if (MdbLevelUsable(map, j)) --step;
  }
  while (step < 0) {
    if (!MaskClearBeyond(map, j, -1)) break;
    --j;
    if (MdbLevelUsable(map, j)) ++step;
  }
  map.level = static_cast<std::uint8_t>(j);
  return tre.levelBits[j];
}

}  // namespace mpl
