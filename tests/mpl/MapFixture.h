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

}  // namespace mpltest
