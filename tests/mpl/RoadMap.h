#pragma once
// A map for the road tests. Level 1 (20 bits) holds subdivision 1, whose
// children on level 0 (24 bits) are subdivisions 2 and 3, side by side. Road
// A runs east along one latitude: on level 0 its lines are 2:1 (units 0 to
// 200, nodes at both ends), 2:2 (200 to 256) and 3:1 (256 to 356, a node at
// its end); on level 1 it is line 1:1. Road B is line 2:3, running north,
// one-way. The NET and LBL sub-files are built with the roads' records and
// labels; a test may change the roads before the map is opened.
#include <optional>
#include <string>
#include <vector>

#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Net.h"
#include "tests/imgkit/LblBuilder.h"
#include "tests/imgkit/MapImage.h"
#include "tests/imgkit/NetBuilder.h"
#include "tests/imgkit/RgnBuilder.h"
#include "tests/mpl/RgnMap.h"

namespace roadtest {

constexpr std::int32_t kLat = 0x100000, kLon = 0x100000;
constexpr std::int32_t kUnit = 256;  // one level-0 unit in semicircles

inline std::uint32_t LineRef(unsigned subdivision, unsigned index) { return (subdivision << 16) | index; }

struct RoadFixture_t {
  imgkit::MapBuilder_t map;
  imgkit::LblBuilder_t lbl;
  imgkit::NetBuilder_t net;
  std::uint32_t mainSt = 0, countyRoad = 0, highway = 0, north = 0;
  std::optional<std::string> rawNet;  // the NET sub-file in place of the built one

  RoadFixture_t() {
    mainSt = lbl.AddLabel("MAIN ST");
    countyRoad = lbl.AddLabel("CO RD 12");
    highway = lbl.AddLabel(std::string("\x02") + "I-5");
    north = lbl.AddLabel("NORTH AVE");
    map.tre.north = kLat + 0x40000;
    map.tre.east = kLon + 0x40000;
    map.tre.south = kLat - 0x40000;
    map.tre.west = kLon - 0x40000;
    map.tre.levels = {
        {1, 20, false, {rgntest::Sub(kLat, kLon, 0x40, true, 2)}, {}},
        {0, 24, false, {rgntest::Sub(kLat, kLon, 0x100, false), rgntest::Sub(kLat, kLon + 256 * kUnit, 0x100, true)}, {}},
    };
    map.rgn.length = 125;
    // Road A: county road first, then the main street; mode 0.
    imgkit::NetRoad_t a;
    a.labels = {{countyRoad, std::nullopt}, {mainSt, 0x123}};
    a.flags = 0x80;  // extra byte and byte -2 stored
    a.extraByte = 0x10;
    a.byte2 = 0x04 | 0x01;  // one-bit... width code 1: 2 bits per label; nibbles follow
    a.nibbles01 = 0x21;
    a.codes = {3, 1};
    a.length = 356 * kUnit >> 8;
    a.lines = {{LineRef(2, 1), LineRef(2, 2), LineRef(3, 1)}, {LineRef(1, 1)}};
    imgkit::NetRoad_t b;
    b.labels = {{north, std::nullopt}};
    b.length = 100;
    b.lines = {{LineRef(2, 3)}, {}};
    net.roads = {a, b};
    net.index = {0, 1};
  }

  // Builds the sub-files and opens the map.
  struct Open_t {
    mpl::MdbMap_t map;
    int result = -1;
    std::vector<std::uint32_t> offsets;
  };
  void Open(Open_t& open) const {
    const imgkit::NetImage_t netImage = net.Build();
    open.offsets = netImage.offsets;
    const std::uint32_t roadA = netImage.offsets[0], roadB = netImage.offsets[1];
    imgkit::MapBuilder_t m = map;
    imgkit::RgnBuilder_t rgn;
    imgkit::RgnSubdivision_t s1, s2, s3;
    s1.lines.push_back(rgntest::Poly(1, 0x800000 | roadA, 0, 0, rgntest::Stream({{5, 0, {}}})));
    imgkit::DeltaStream_t l1 = rgntest::Stream({{100, 0, 0}, {100, 0, 1}});
    l1.extraBits = 1;
    l1.startExtra = 1;
    imgkit::DeltaStream_t l2 = rgntest::Stream({{56, 0, 0}});
    l2.extraBits = 1;
    l2.startExtra = 1;
    imgkit::DeltaStream_t l3 = rgntest::Stream({{100, 0, 1}});
    l3.extraBits = 1;
    l3.startExtra = 0;
    s2.lines.push_back(rgntest::Poly(1, 0xC00000 | roadA, 0, 0, l1));
    s2.lines.push_back(rgntest::Poly(1, 0xC00000 | roadA, 200, 0, l2));
    s2.lines.push_back(rgntest::Poly(4, 0x800000 | roadB, 10, -50, rgntest::Stream({{0, 50, {}}, {0, 50, {}}})));
    s2.lines.back().direction = true;
    s3.lines.push_back(rgntest::Poly(1, 0xC00000 | roadA, 0, 0, l3));
    rgn.subdivisions = {s1, s2, s3};
    rgn.Place(m);
    std::vector<imgkit::MapFile_t> files = m.Files();
    for (imgkit::MapFile_t& f : files)
      if (f.name == m.name + ".LBL") f.data = lbl.Build();
    files.push_back({m.name + ".NET", rawNet ? *rawNet : netImage.file});
    open.result = mpl::MdbOpen(open.map, m.name, "", imgkit::OpenImage(imgkit::MapImage(files)));
  }
};

}  // namespace roadtest
