#include "mpl/MPL_Tre.h"

#include <algorithm>
#include <cstdint>

#include "mpl/MPL_Level.h"
#include "mpl/MPL_Reader.h"
#include "mpl/MPL_Subfile.h"

namespace mpl {

namespace {

// The offset of subdivision record n in TRE: 16 bytes each, except the
// records of the lowest level number, which are 14.
std::uint64_t RecordOffset(const MdbMap_t& map, unsigned n) {
  std::uint64_t at = map.tre.subdivOffset + 16ull * (n - 1);
  const std::uint16_t lowFirst = map.tre.firstSubdiv[map.tre.lowestLevel % kMdbLevels];
  if (lowFirst != 0 && n > lowFirst) at -= 2ull * (n - lowFirst);
  return at;
}

// A half extent of 'units' level units in semicircles, at most 180 degrees.
std::uint32_t HalfExtent(std::uint16_t field, unsigned bits) {
  std::uint64_t units = field & 0x7FFF;
  if (units == 0) units = 0x8000;
  const std::uint64_t wide = units << MdbLevelShift(bits);
  return wide >= 0x80000000ull ? 0x80000000u : static_cast<std::uint32_t>(wide);
}

std::int32_t Add(std::int32_t a, std::uint32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + b);
}
std::int32_t Sub(std::int32_t a, std::uint32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - b);
}

}  // namespace

int MdbLoadSubdivision(MdbMap_t& map, unsigned n, bool withExt) {
  MdbSubdivision_t& sd = map.subdiv;
  sd.number = 0;
  sd.extLoaded = false;
  const int level = MdbLevelOf(map, n);
  if (level < 0) return kMdbBadData;
  const bool lowest = static_cast<unsigned>(level) == map.tre.lowestLevel;
  const std::uint32_t size = lowest ? 14 : 16;
  const std::uint64_t at = RecordOffset(map, n);
  if (at + size + 4 > 0xFFFFFFFFull) return kMdbBadData;
  std::uint8_t r[20] = {};
  if (MdbRead(map.tre.file, static_cast<std::int64_t>(at), r, size + 4) != kMdbDone) return kMdbBadData;

  const std::uint32_t word = MdbGet32(r);
  const std::uint32_t nextOffset = MdbGet32(r + size) & 0x0FFFFFFF;
  sd.level = static_cast<std::uint8_t>(level);
  sd.bits = map.tre.levelBits[level];
  sd.rgnOffset = word & 0x0FFFFFFF;
  if (nextOffset < sd.rgnOffset) return kMdbBadData;
  sd.dataLength = static_cast<std::uint16_t>(nextOffset - sd.rgnOffset);
  sd.centreLon = static_cast<std::int32_t>(MdbGet24(r + 4) << 8);
  sd.centreLat = static_cast<std::int32_t>(MdbGet24(r + 7) << 8);
  const std::uint16_t widthField = MdbGet16(r + 10);
  const std::uint16_t heightField = MdbGet16(r + 12);
  const std::uint32_t halfWidth = HalfExtent(widthField, sd.bits);
  const std::uint32_t halfHeight = HalfExtent(heightField, sd.bits);
  // A latitude extent that runs past the 32-bit range would wrap to the
  // opposite side; such a box is held to the world instead.
  const std::int64_t north = std::int64_t{sd.centreLat} + halfHeight;
  const std::int64_t south = std::int64_t{sd.centreLat} - halfHeight;
  if (north > INT32_MAX || south < INT32_MIN) {
    sd.box.north = static_cast<std::int32_t>(std::clamp<std::int64_t>(north, kMdbWorld.south, kMdbWorld.north));
    sd.box.south = static_cast<std::int32_t>(std::clamp<std::int64_t>(south, kMdbWorld.south, kMdbWorld.north));
  } else {
    sd.box.north = static_cast<std::int32_t>(north);
    sd.box.south = static_cast<std::int32_t>(south);
  }
  sd.box.east = Add(sd.centreLon, halfWidth);
  sd.box.west = Sub(sd.centreLon, halfWidth);
  if (halfWidth == 0x80000000u) sd.box.east = Sub(sd.box.east, 1);
  sd.kinds = static_cast<std::uint8_t>((word >> 28) | ((heightField & 0x8000) ? 0x10 : 0));
  sd.lastOfGroup = (widthField & 0x8000) != 0;
  sd.firstChild = lowest ? 0 : MdbGet16(r + 14);

  if (withExt) {
    const int result = MdbLoadExtPointers(map, n);
    if (result != kMdbDone) return result;
  } else {
    map.extPointers = MdbExtPointers_t();
  }
  sd.number = static_cast<std::uint16_t>(n);
  return kMdbDone;
}

int MdbLoadExtPointers(MdbMap_t& map, unsigned n) {
  // The pointers count as loaded only when they were read: after a failure
  // the next use reads them again and fails the same way.
  map.extPointers = MdbExtPointers_t();
  map.subdiv.extLoaded = false;
  const MdbExtSubdivTable_t& ext = map.tre.ext;
  if (ext.firstCovered == 0 || ext.recordSize == 0 || n < ext.firstCovered) {
    map.subdiv.extLoaded = true;
    return kMdbDone;
  }
  if (n >= ext.firstCovered + ext.lastIndex) return kMdbBadData;

  const std::uint64_t at = ext.offset + static_cast<std::uint64_t>(n - ext.firstCovered) * ext.recordSize;
  if (at + 2ull * ext.recordSize > 0xFFFFFFFFull) return kMdbBadData;
  std::uint8_t window[24];
  MdbBufReader_t reader;
  if (MdbBufOpen(reader, map.tre.file, static_cast<std::uint32_t>(at), window, sizeof window) != kMdbDone)
    return kMdbBadData;
  const unsigned kindsBytes = ((ext.flags >> 4) & 3) + 1;
  std::array<std::uint32_t, 3> starts{}, ends{};
  std::uint32_t kinds = 0;
  for (unsigned record = 0; record < 2; ++record) {
    if (MdbBufSeek(reader, static_cast<std::uint32_t>(at + record * ext.recordSize)) != kMdbDone)
      return kMdbBadData;
    std::array<std::uint32_t, 3>& into = record == 0 ? starts : ends;
    for (unsigned k = 0; k < 3; ++k) {
      if (!(ext.flags & (1u << k))) continue;
      std::uint8_t b[4];
      if (MdbBufRead(reader, b, 4) != kMdbDone) return kMdbBadData;
      into[k] = MdbGet32(b);
    }
    if (record == 0 && (ext.flags & (1u << 10))) {
      std::uint8_t b[4] = {};
      if (MdbBufRead(reader, b, static_cast<std::uint16_t>(kindsBytes)) != kMdbDone) return kMdbBadData;
      kinds = MdbGet32(b);
    }
  }
  for (unsigned k = 0; k < 3; ++k) {
    // Lengths are differences of 32-bit offsets; one that decreases, or one
    // longer than a section cursor can walk, is bad.
    if (ends[k] < starts[k] || ends[k] - starts[k] > 0xFFFF) return kMdbBadData;
    map.extPointers.start[k] = starts[k];
    map.extPointers.length[k] = ends[k] - starts[k];
  }
  map.extPointers.kindsWord = kinds;
  map.subdiv.extLoaded = true;
  return kMdbDone;
}

int MdbGetSubdivisionBox(MdbMap_t& map, MdbBox_t& box, unsigned n) {
  if (map.subdiv.number != n || n == 0) {
    const int result = MdbLoadSubdivision(map, n, false);
    if (result != kMdbDone) return result;
  }
  box = map.subdiv.box;
  return kMdbDone;
}

void MdbResetWalk(MdbMap_t& map) {
  map.walk.fill(0);
  map.walkStates.fill(0);
}

namespace {

// The least detailed level that has subdivisions (it holds subdivision 1).
int TopLevel(const MdbMap_t& map) {
  for (int n = kMdbLevels - 1; n >= 0; --n)
    if (map.tre.firstSubdiv[n] != 0) return n;
  return -1;
}

// Loads s unless it is current.
int Current(MdbMap_t& map, unsigned s) {
  return map.subdiv.number == s ? kMdbDone : MdbLoadSubdivision(map, s, false);
}

}  // namespace

int MdbNextSubdivision(MdbMap_t& map, unsigned level) {
  const int top = TopLevel(map);
  unsigned L = level;
  while (L < kMdbLevels && map.tre.firstSubdiv[L] == 0) ++L;
  if (top < 0 || L >= kMdbLevels || L > static_cast<unsigned>(top)) return kMdbNotFound;
  std::uint16_t lo = 0, hi = 0;
  if (!MdbLevelRange(map, L, lo, hi)) return kMdbBadData;

  unsigned s = map.walk[L];
  // Every pass moves s forward inside the level, and the parent walk only
  // forward: a walk visits each subdivision of a level at most once.
  for (;;) {
    bool groupEnds = false;
    if (s != 0) {
      if (s < lo || s > hi) return kMdbBadData;
      const int result = Current(map, s);
      if (result != kMdbDone) return result;
      // A group without its last-of-group flag ends at the level's end.
      if (map.subdiv.lastOfGroup || s == hi)
        groupEnds = true;
      else
        ++s;
    } else if (L == static_cast<unsigned>(top)) {
      s = lo;
    } else {
      groupEnds = true;
    }
    if (groupEnds) {
      // The next parent with children; a group that starts at or before the
      // last subdivision walked here was walked already (damaged data only).
      for (;;) {
        const int result = MdbNextSubdivision(map, L + 1);
        if (result != kMdbDone) return result;
        const unsigned child = map.subdiv.firstChild;
        if (child == 0) continue;
        if (child < lo || child > hi) return kMdbBadData;
        if (map.walk[L] != 0 && child <= map.walk[L]) continue;
        s = child;
        break;
      }
    }
    map.walk[L] = static_cast<std::uint16_t>(s);
    int result = MdbLoadSubdivision(map, s, false);
    if (result != kMdbDone) return result;
    if (!MdbBoxesOverlap(map.subdiv.box, map.searchRect)) continue;
    if (MdbBoxContains(map.exclusion, map.subdiv.box)) continue;
    if (map.extKindsMask != 0) {
      result = MdbLoadExtPointers(map, s);
      if (result != kMdbDone) return result;
      if ((map.extPointers.kindsWord & map.extKindsMask) == 0) continue;
    }
    return kMdbDone;
  }
}

}  // namespace mpl
