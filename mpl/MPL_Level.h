#pragma once
// Zoom levels of an open map: which levels are usable, the subdivision numbers
// of each, and the choice of a level for a resolution.
#include <cstdint>

#include "mpl/MPL_Engine.h"

namespace mpl {

// Picks the level for 'bits' moved by 'step' usable levels, makes it current and
// answers its resolution bits.
unsigned MdbSelectLevel(MdbMap_t& map, unsigned bits, int step);
// A level that has subdivisions and data of its own.
bool MdbLevelUsable(const MdbMap_t& map, unsigned level);
// The subdivision numbers of a level: [first, last]; false when it is absent.
bool MdbLevelRange(const MdbMap_t& map, unsigned level, std::uint16_t& first, std::uint16_t& last);
// The level that holds subdivision n, or -1 when no level does.
int MdbLevelOf(const MdbMap_t& map, unsigned n);
// The most detailed level (0 when the map names none).
inline unsigned MdbDetailedLevel(const MdbMap_t& map) {
  return map.tre.lowestLevel < kMdbLevels ? map.tre.lowestLevel : 0;
}

// Makes the map's current level current again when it goes out of scope, also
// when a missing medium passes through.
class MdbLevelGuard_t {
 public:
  explicit MdbLevelGuard_t(MdbMap_t& map) : m_map(map), m_level(map.level) {}
  ~MdbLevelGuard_t() { m_map.level = m_level; }
  MdbLevelGuard_t(const MdbLevelGuard_t&) = delete;
  MdbLevelGuard_t& operator=(const MdbLevelGuard_t&) = delete;

 private:
  MdbMap_t& m_map;
  std::uint8_t m_level;
};

}  // namespace mpl
