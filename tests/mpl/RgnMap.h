#pragma once
// A small map with objects for the RGN tests: level 1 (20 bits, no data of its
// own) with subdivision 1, whose children on level 0 (24 bits) are
// subdivisions 2, 3 and 4, each with points, lines and areas, standard and
// extended; overviews that list what the map holds.

#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Rgn.h"
#include "tests/imgkit/MapImage.h"
#include "tests/imgkit/RgnBuilder.h"
#include "tests/imgkit/TreBuilder.h"

namespace rgntest {

using imgkit::DeltaStream_t;

// Level-0 centres (24 bits: one level unit is 256 semicircles).
constexpr std::int32_t kLow = 0x100000, kHigh = 0x300000;
constexpr std::uint16_t kHalf = 0xC00;  // 0xC0000 semicircles

inline imgkit::TreSubdiv_t Sub(std::int32_t lat, std::int32_t lon, std::uint16_t half, bool last,
                               std::uint16_t child = 0) {
  imgkit::TreSubdiv_t s;
  s.centreLat = lat;
  s.centreLon = lon;
  s.halfWidth = s.halfHeight = half;
  s.last = last;
  s.firstChild = child;
  return s;
}

inline DeltaStream_t Stream(std::vector<imgkit::DeltaPoint_t> points) {
  DeltaStream_t s;
  s.points = std::move(points);
  return s;
}

inline imgkit::RgnPoly_t Poly(std::uint8_t type, std::uint32_t label, std::int16_t dlon, std::int16_t dlat,
                              DeltaStream_t stream) {
  imgkit::RgnPoly_t p;
  p.type = type;
  p.label = label;
  p.dlon = dlon;
  p.dlat = dlat;
  p.stream = std::move(stream);
  return p;
}

inline imgkit::RgnExtObject_t Ext(std::uint8_t type, std::uint8_t subtype, std::int16_t dlon, std::int16_t dlat,
                                  DeltaStream_t stream = {}) {
  imgkit::RgnExtObject_t o;
  o.type = type;
  o.subtype = subtype;
  o.dlon = dlon;
  o.dlat = dlat;
  o.stream = std::move(stream);
  return o;
}

// Overview records of 'size' bytes each.
inline imgkit::TreTable_t Table(const std::vector<std::vector<std::uint8_t>>& records, std::uint16_t size) {
  imgkit::TreTable_t t;
  t.recordSize = size;
  for (const auto& r : records) {
    std::string rec(r.begin(), r.end());
    rec.resize(size, '\0');
    t.data += rec;
  }
  return t;
}

struct Fixture_t {
  imgkit::MapBuilder_t map;
  imgkit::RgnBuilder_t rgn;
};

// The objects of the three level-0 subdivisions.
inline Fixture_t BasicObjects() {
  Fixture_t f;
  imgkit::MapBuilder_t& m = f.map;
  m.tre.north = 0x00400000;
  m.tre.east = 0x00400000;
  m.tre.south = 0;
  m.tre.west = 0;
  m.tre.levels = {
      {1, 20, true, {Sub(0x200000, 0x200000, 0x400, true, 2)}, {}},
      {0, 24, false, {Sub(kLow, kLow, kHalf, false), Sub(kLow, kHigh, kHalf, false), Sub(kHigh, kLow, kHalf, true)}, {}},
  };
  m.tre.extFlags = 0x07;
  m.rgn.length = 125;

  imgkit::RgnSubdivision_t s2;
  s2.indexed = {{0x30, 0x444, 5, 5}};
  s2.points = {{0x10, 0x111, false, std::nullopt, 0x10, 0x20},
               {0x20, 0x222, false, std::uint8_t{3}, -0x10, -0x20},
               {0x21, 0x333, true, std::nullopt, 0, 0}};
  s2.lines.push_back(Poly(5, 0x800555, 0x40, 0, Stream({{10, 0, {}}, {10, 10, {}}})));
  s2.lines.back().direction = true;
  DeltaStream_t nodes = Stream({{5, 5, 1}, {5, -5, 0}});
  nodes.extraBits = 1;
  nodes.startExtra = 1;
  s2.lines.push_back(Poly(6, 0xC00666, 0, 0x40, nodes));
  s2.areas.push_back(Poly(0x40, 0x777, -0x100, -0x100, Stream({{0x80, 0, {}}, {0, 0x80, {}}, {-0x80, 0, {}}})));

  imgkit::RgnSubdivision_t s3;
  std::vector<imgkit::DeltaPoint_t> many;
  for (int i = 0; i < 100; ++i) many.push_back({(i % 7) - 3, (i % 5) - 2, {}});
  s3.areas.push_back(Poly(0x41, 0x888, 0, 0, Stream(many)));
  s3.lines.push_back(Poly(7, 0x999, 1, 1, Stream({{1, 1, {}}})));

  imgkit::RgnSubdivision_t s4;
  s4.indexed = {{0x31, 0x1, 1, 1}, {0x32, 0x2, 2, 2}};
  s4.extPoints = {Ext(5, 2, 3, 3), Ext(6, 1, 4, 4)};
  s4.extPoints[0].label = 0xABC;
  s4.extAreas.push_back(Ext(0x10, 1, 0, 0, Stream({{0x20, 0, {}}, {0, 0x20, {}}})));
  s4.extAreas.back().label = 0xDEF;
  s4.extAreas.back().attributes = std::string("\x85\x07", 2);
  s4.extAreas.back().optional = std::string("\x07\xAA\xBB\x03", 4);
  s4.extLines.push_back(Ext(0x20, 0, -1, -1, Stream({{-2, 0, {}}})));
  s4.extLines.back().label = 0x400001;  // bit 22: no label

  f.rgn.subdivisions = {imgkit::RgnSubdivision_t{}, s2, s3, s4};
  f.rgn.ext[0].optionMask = (1u << 29) | 1u | 4u;
  f.rgn.ext[0].sizeCodes[0] = 1u | (3u << 4);  // field 0: 2 bytes; field 2: a variable-length integer
  f.rgn.ext[2].trailer = 0x1D;                // 5 bytes after every extended point

  // Overviews: what each level holds (the level byte: most detailed level present).
  m.tre.overviews[0] = Table({{5, 1}, {6, 0}, {7, 0}}, 2);
  m.tre.overviews[1] = Table({{0x40, 0}, {0x41, 1}}, 2);
  m.tre.overviews[2] = Table({{0x10, 0, 0}, {0x20, 0, 3}, {0x21, 0, 0}, {0x30, 0, 0}, {0x31, 0, 0}, {0x32, 0, 0}}, 3);
  m.tre.extTypeRecordSize = 3;
  m.tre.extTypes[0] = Table({{0x20, 0, 0}}, 3);
  m.tre.extTypes[1] = Table({{0x10, 0, 1}}, 3);
  m.tre.extTypes[2] = Table({{5, 0, 2}, {6, 0, 1}}, 3);
  return f;
}

// A map opened from a fixture, with the memory medium it reads.
struct Open_t {
  explicit Open_t(const Fixture_t& f) {
    imgkit::MapBuilder_t m = f.map;
    f.rgn.Place(m);
    result = mpl::MdbOpen(map, m.name, "", imgkit::OpenImage(m.Build(), &media));
  }
  mpl::MdbMap_t map;
  imgkit::MemoryMedia_t* media = nullptr;
  int result = -1;
};

}  // namespace rgntest
