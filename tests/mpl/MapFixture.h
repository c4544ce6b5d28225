#pragma once
// A small map for the engine tests: four levels (0 at 24 bits, 1 at 22, 2 at
// 20 and 3 at 18 bits without data of its own), one chain of subdivisions
// 1 (level 3) > 2 (level 2) > 3 (level 1) > 4 (level 0), and headers of every
// sub-file with recognisable field values.
#include "tests/imgkit/MapImage.h"

namespace mpltest {

inline imgkit::TreSubdiv_t Subdiv(std::int32_t lat, std::int32_t lon, std::uint16_t half, std::uint32_t rgnOffset,
                                  bool last, std::uint16_t child) {
  imgkit::TreSubdiv_t s;
  s.centreLat = lat;
  s.centreLon = lon;
  s.halfWidth = half;
  s.halfHeight = half;
  s.rgnOffset = rgnOffset;
  s.last = last;
  s.firstChild = child;
  return s;
}

inline imgkit::MapBuilder_t BasicMap() {
  imgkit::MapBuilder_t m;
  m.tre.north = 0x00200000;
  m.tre.east = 0x00300000;
  m.tre.south = -0x00100000;
  m.tre.west = -0x00200000;
  m.tre.levels = {
      {3, 18, true, {Subdiv(0x00080000, 0x00080000, 40, 0, true, 2)}, {}},
      {2, 20, false, {Subdiv(0x00080000, 0x00080000, 100, 0, true, 3)}, {}},
      {1, 22, false, {Subdiv(0x00080000, 0x00080000, 300, 0x10, true, 4)}, {}},
      {0, 24, false, {Subdiv(0x00080000, 0x00080000, 1000, 0x20, true, 0)}, {}},
  };
  m.tre.rgnEnd = 0x30;
  m.rgnData = std::string(0x30, '\0');
  m.lbl.labelOffset = 0x200;
  m.lbl.labelLength = 0x40;
  m.lbl.codePage = 0;
  m.net = imgkit::NetHeader_t();
  m.nod = imgkit::NodHeader_t();
  return m;
}

// Three levels over a 4 x 2 grid of level-0 subdivisions:
//   level 2 (16 bits): 1 west half, 2 east half (one group);
//   level 1 (20 bits): 3 north-west, 4 south-west (children of 1), 5 north-east,
//                      6 south-east (children of 2);
//   level 0 (24 bits): 7, 8, 9, 10 with the boxes of 3, 4, 5, 6, one child each.
// Each subdivision has 0x10 bytes of RGN data; the extended kinds words are
// 1, 2, 4, 2 at level 0 (parents cover them).
inline imgkit::MapBuilder_t GridMap() {
  imgkit::MapBuilder_t m = BasicMap();
  const std::int32_t q = 0x80000;
  auto at = [](std::int32_t lat, std::int32_t lon, std::uint16_t half, std::uint32_t n, bool last,
               std::uint16_t child, std::uint32_t kinds) {
    imgkit::TreSubdiv_t s = Subdiv(lat, lon, half, (n - 1) * 0x10, last, child);
    s.kinds = 0x0C;
    s.extKinds = kinds;
    s.extLength = {n, 2 * n, 0};
    return s;
  };
  m.tre.levels = {
      {2, 16, false, {at(0, -2 * q, 16, 1, false, 3, 0), at(0, 2 * q, 16, 2, true, 5, 0)}, {}},
      {1, 20, false,
       {at(q, -3 * q, 128, 3, false, 7, 0), at(-q, -q, 128, 4, true, 8, 0), at(q, q, 128, 5, false, 9, 0),
        at(-q, 3 * q, 128, 6, true, 10, 0)},
       {}},
      {0, 24, false,
       {at(q, -3 * q, 0x800, 7, true, 0, 1), at(-q, -q, 0x800, 8, true, 0, 2), at(q, q, 0x800, 9, true, 0, 4),
        at(-q, 3 * q, 0x800, 10, true, 0, 2)},
       {}},
  };
  m.tre.rgnEnd = 10 * 0x10;
  m.tre.extFlags = 0x403;  // areas, lines and a one-byte kinds word
  m.rgnData = std::string(10 * 0x10, '\0');
  return m;
}

}  // namespace mpltest
