#pragma once
// A map for the marine tests: the RGN test map whose subdivision 4 carries the
// given extended points, lines and areas with their attribute blocks.
#include <vector>

#include "tests/mpl/RgnMap.h"

namespace marinetest {

inline rgntest::Fixture_t WithObjects(std::vector<imgkit::RgnExtObject_t> points,
                                      std::vector<imgkit::RgnExtObject_t> lines = {},
                                      std::vector<imgkit::RgnExtObject_t> areas = {}) {
  rgntest::Fixture_t f = rgntest::BasicObjects();
  imgkit::RgnSubdivision_t& s4 = f.rgn.subdivisions[3];
  s4.extPoints = std::move(points);
  s4.extLines = std::move(lines);
  s4.extAreas = std::move(areas);
  return f;
}

// An extended object of that engine type (points 0x100 and above, areas
// 0x80-0xFF, lines 0x40-0x7F) and subtype with a block.
inline imgkit::RgnExtObject_t WithBlock(std::uint16_t type, std::uint8_t subtype, const std::string& block) {
  const std::uint16_t base = type >= 0x100 ? 0x100 : type >= 0x80 ? 0x80 : 0x40;
  imgkit::RgnExtObject_t o = rgntest::Ext(static_cast<std::uint8_t>(type - base), subtype, 1, 1);
  if (type < 0x100) o.stream = rgntest::Stream({{2, 2, {}}});
  o.attributes = block;
  return o;
}

}  // namespace marinetest
