// Road records of the NET sub-file: decoding, the lines of a level, labels
// and the one shown, direction letters, the nearest point of a road and the
// NET index, on a built map; and records that claim more than they hold.
#include <gtest/gtest.h>

#include <cstring>

#include "mpl/MPL_Lbl.h"
#include "mpl/MPL_Net.h"
#include "tests/mpl/RoadMap.h"

namespace {

using roadtest::LineRef;

TEST(RoadNetTest, RecordsAsStored) {
  // Labels of three or six bytes (bit 22: an extra value follows), bit 23 on
  // the last; the flags; the length; the counts with bit 7 on the last; the
  // references (index, then subdivision).
  imgkit::NetRoad_t r;
  r.labels = {{0x10, std::nullopt}, {0x20, 0x7}};
  r.flags = 0x04;
  r.length = 0x030201;
  r.lines = {{LineRef(2, 1)}, {LineRef(1, 5)}};
  const std::string want("\x10\x00\x00\x20\x00\xC0\x07\x00\x00\x04\x01\x02\x03\x01\x81\x01\x02\x00\x05\x01\x00", 21);
  EXPECT_EQ(want, imgkit::EncodeRoad(r));
  EXPECT_TRUE(imgkit::EncodeRoadPrefix(r).empty());
  // Before the record, in file order: codes, nibbles, byte -2, extra byte.
  r.flags = 0x80;
  r.extraByte = 0x35;
  r.byte2 = 0x05;
  r.nibbles01 = 0x21;
  r.codes = {3, 1};
  EXPECT_EQ(std::string("\x07\x21\x05\x35", 4), imgkit::EncodeRoadPrefix(r));
}

TEST(RoadNetTest, DecodesRoad) {
  roadtest::RoadFixture_t f;
  roadtest::RoadFixture_t::Open_t open;
  f.Open(open);
  ASSERT_EQ(0, open.result);
  mpl::MdbMap_t& map = open.map;
  mpl::MdbRoad_t road;
  road.netOffset = open.offsets[0];
  ASSERT_EQ(0, mpl::MdbDecodeRoad(map, road, false, nullptr, 0));
  EXPECT_EQ(f.countyRoad, road.labels[0]);
  EXPECT_EQ(f.mainSt, road.labels[1]);
  EXPECT_EQ(mpl::kMdbNone, road.labels[2]);
  EXPECT_EQ(0x3FFFFFu, road.extras[0]);
  EXPECT_EQ(0x123u, road.extras[1]);
  EXPECT_EQ(0x10, road.extraByte);
  EXPECT_EQ(356u << 8, road.length);
  EXPECT_EQ(3u, road.count);
  EXPECT_EQ(1u, road.highestLevel);
  EXPECT_EQ(1, road.nibbles[0]);
  EXPECT_EQ(2, road.nibbles[1]);
  EXPECT_EQ(3, road.codes[0]);
  EXPECT_EQ(1, road.codes[1]);
  EXPECT_EQ(0x40000000, road.box.north);  // no line record: all latitudes
  // With flag bit 2 the extra byte is 0xF0 (label-choice mode 0).
  mpl::MdbRoad_t b;
  b.netOffset = open.offsets[1];
  ASSERT_EQ(0, mpl::MdbDecodeRoad(map, b, false, nullptr, 0));
  EXPECT_EQ(0xF0, b.extraByte);
  EXPECT_EQ(1u, b.count);
  // Offsets out of range.
  b.netOffset = 0x3FFFF0;
  EXPECT_EQ(3, mpl::MdbDecodeRoad(map, b, false, nullptr, 0));
  EXPECT_EQ(mpl::kMdbNone, b.labels[0]);
  b.netOffset = mpl::kMdbNone;
  EXPECT_EQ(3, mpl::MdbDecodeRoad(map, b, false, nullptr, 0));
}

TEST(RoadNetTest, LinesOfTheLevel) {
  roadtest::RoadFixture_t f;
  roadtest::RoadFixture_t::Open_t open;
  f.Open(open);
  ASSERT_EQ(0, open.result);
  mpl::MdbMap_t& map = open.map;
  mpl::MdbRoad_t road;
  road.netOffset = open.offsets[0];
  ASSERT_EQ(0, mpl::MdbDecodeRoad(map, road, false, nullptr, 0));
  std::uint32_t refs[4] = {};
  ASSERT_EQ(0, mpl::MdbRoadLines(map, road, refs, 2));
  EXPECT_EQ(LineRef(2, 1), refs[0]);
  EXPECT_EQ(LineRef(2, 2), refs[1]);
  EXPECT_EQ(3, mpl::MdbRoadLines(map, road, refs, 2));  // one remains
  ASSERT_EQ(0, mpl::MdbRoadLines(map, road, refs, 1));
  EXPECT_EQ(LineRef(3, 1), refs[0]);
  EXPECT_EQ(3, mpl::MdbRoadLines(map, road, refs, 1));
  // Reversed: the last references first, down to the first.
  ASSERT_EQ(0, mpl::MdbDecodeRoad(map, road, true, nullptr, 0));
  ASSERT_EQ(0, mpl::MdbRoadLines(map, road, refs, 2));
  EXPECT_EQ(LineRef(3, 1), refs[0]);
  EXPECT_EQ(LineRef(2, 2), refs[1]);
  ASSERT_EQ(0, mpl::MdbRoadLines(map, road, refs, 1));
  EXPECT_EQ(LineRef(2, 1), refs[0]);
  EXPECT_EQ(3, mpl::MdbRoadLines(map, road, refs, 1));
  // On level 1 the road has its one line there.
  map.level = 1;
  ASSERT_EQ(0, mpl::MdbDecodeRoad(map, road, false, nullptr, 0));
  EXPECT_EQ(1u, road.count);
  ASSERT_EQ(0, mpl::MdbRoadLines(map, road, refs, 1));
  EXPECT_EQ(LineRef(1, 1), refs[0]);
  map.level = 0;
  std::uint32_t first = 0;
  ASSERT_EQ(0, mpl::MdbRoadFirstLine(map, open.offsets[0], first));
  EXPECT_EQ(LineRef(2, 1), first);
  EXPECT_EQ(3, mpl::MdbRoadFirstLine(map, mpl::kMdbNone, first));
  EXPECT_EQ(mpl::kMdbNone, first);
}

TEST(RoadNetTest, Boxes) {
  roadtest::RoadFixture_t f;
  roadtest::RoadFixture_t::Open_t open;
  f.Open(open);
  ASSERT_EQ(0, open.result);
  mpl::MdbMap_t& map = open.map;
  mpl::MdbLineRecord_t line;
  // One line: its box widened by one level unit and rounded outward.
  mpl::MdbRoad_t b;
  b.netOffset = open.offsets[1];
  ASSERT_EQ(0, mpl::MdbDecodeRoad(map, b, false, &line, 100));
  const std::int32_t u = roadtest::kUnit;
  EXPECT_EQ(roadtest::kLat + 50 * u + u, b.box.north);
  EXPECT_EQ(roadtest::kLat - 50 * u - u, b.box.south);
  EXPECT_EQ(roadtest::kLon + 10 * u + u, b.box.east);
  EXPECT_EQ(roadtest::kLon + 10 * u - u, b.box.west);
  // Several lines: the ellipse of the end points, widened; it holds them.
  mpl::MdbRoad_t a;
  a.netOffset = open.offsets[0];
  ASSERT_EQ(0, mpl::MdbDecodeRoad(map, a, false, &line, 100));
  EXPECT_LE(a.box.west, roadtest::kLon - u);
  EXPECT_GE(a.box.east, roadtest::kLon + 357 * u);
  EXPECT_EQ(0, a.box.north % u);
  EXPECT_EQ(0, a.box.west % u);
  EXPECT_GT(a.box.north, roadtest::kLat);
}

TEST(RoadNetTest, LabelsAndTheOneShown) {
  roadtest::RoadFixture_t f;
  roadtest::RoadFixture_t::Open_t open;
  f.Open(open);
  ASSERT_EQ(0, open.result);
  mpl::MdbMap_t& map = open.map;
  std::uint32_t labels[4] = {};
  std::uint32_t flagWord = 0;
  ASSERT_EQ(0, mpl::MdbRoadLabels(map, open.offsets[0], mpl::kMdbNone, 1, labels, nullptr));
  EXPECT_EQ(f.mainSt, labels[0]);
  ASSERT_EQ(0, mpl::MdbRoadLabels(map, open.offsets[0], 0x123, 0, labels, nullptr));
  EXPECT_EQ(f.mainSt, labels[0]);
  EXPECT_EQ(3, mpl::MdbRoadLabels(map, open.offsets[0], 0x124, 0, labels, nullptr));
  EXPECT_EQ(mpl::kMdbNone, labels[0]);
  EXPECT_EQ(3, mpl::MdbRoadLabels(map, open.offsets[0], mpl::kMdbNone, 3, labels, nullptr));
  ASSERT_EQ(0, mpl::MdbRoadLabels(map, open.offsets[0], mpl::kMdbNone, 4, labels, &flagWord));
  EXPECT_EQ(f.countyRoad, labels[0]);
  EXPECT_EQ(f.mainSt, labels[1]);
  EXPECT_EQ(mpl::kMdbNone, labels[2]);
  EXPECT_EQ(0x0510u, flagWord);
  // Mode 0: the county road is not plain, the main street is.
  std::uint32_t net = open.offsets[0], label = 0;
  unsigned number = 9;
  ASSERT_EQ(0, mpl::MdbChooseRoadLabel(map, net, label, number, true, false));
  EXPECT_EQ(f.mainSt, label);
  EXPECT_EQ(1u, number);
  EXPECT_EQ(open.offsets[0], net);
}

TEST(RoadNetTest, ShieldFirstAndContinuation) {
  roadtest::RoadFixture_t f;
  // Road A: a shield label first; road B continues it with the plain label.
  // (A continuation makes the mode 8 or more, where only shields are not plain.)
  const std::uint32_t interstate = f.lbl.AddLabel(std::string("\x03") + "95");
  f.net.roads[0].labels = {{f.highway, std::nullopt}, {interstate, std::nullopt}, {interstate, std::nullopt},
                           {interstate, std::nullopt}};
  f.net.roads[0].extraByte = 0x08;  // an empty code stream and a continuation
  f.net.roads[0].flags = 0x80 | 0x10;
  f.net.numberWidth = 8;
  // The road data: one interval, no postal codes, cities or numbers, the
  // code stream's length, then the continuation (written once the offsets are known; they do not move).
  f.net.roads[0].data = std::string("\x00\xBC\x01", 3) + std::string(3, '\0');
  roadtest::RoadFixture_t::Open_t first;
  f.Open(first);
  f.net.roads[0].data[3] = static_cast<char>(first.offsets[1]);
  roadtest::RoadFixture_t::Open_t open;
  f.Open(open);
  ASSERT_EQ(0, open.result);
  ASSERT_EQ(first.offsets, open.offsets);
  std::uint32_t net = open.offsets[0], label = 0;
  unsigned number = 9;
  ASSERT_EQ(0, mpl::MdbChooseRoadLabel(open.map, net, label, number, false, true));
  EXPECT_EQ(f.highway, label);
  EXPECT_EQ(0u, number);
  // Without shields first: none of A's four is plain; the continuation's is.
  ASSERT_EQ(0, mpl::MdbChooseRoadLabel(open.map, net, label, number, true, false));
  EXPECT_EQ(f.north, label);
  EXPECT_EQ(open.offsets[1], net);
  // Without following the first label stays.
  net = open.offsets[0];
  ASSERT_EQ(0, mpl::MdbChooseRoadLabel(open.map, net, label, number, false, false));
  EXPECT_EQ(f.highway, label);
  EXPECT_EQ(open.offsets[0], net);
}

TEST(RoadNetTest, PlainLabels) {
  struct Case_t {
    unsigned mode, number;
    const char* text;
    bool plain;
  };
  const Case_t cases[] = {
      {0, 0, "MAIN ST", true},     {0, 0, "CO RD 5", false},  {5, 0, "CO RD 5", true},
      {0, 0, "SR-9", false},       {0, 0, "SR 9", true},      {6, 0, "MAIN ST", false},
      {2, 0, "MAIN ST", true},     {2, 1, "MAIN ST", false},  {0, 0, "\x01" "A1", true},
      {0, 0, "\x01" "A-1", false}, {0, 0, "\x03" "95", false}, {0, 0, "", false},
      {0, 0, "co rd 5", true},
  };
  for (const Case_t& c : cases)
    EXPECT_EQ(c.plain, mpl::MdbRoadLabelIsPlain(c.mode, c.number, c.text)) << c.mode << " " << c.text;
}

TEST(RoadNetTest, DirectionLetters) {
  roadtest::RoadFixture_t f;
  roadtest::RoadFixture_t::Open_t open;
  f.Open(open);
  ASSERT_EQ(0, open.result);
  mpl::MdbLineRecord_t line;
  line.netOffset = open.offsets[0];
  line.label = f.countyRoad;  // code 3
  char text[16] = "CO RD 12";
  EXPECT_TRUE(mpl::MdbAddRoadDirection(open.map, line, text, sizeof text));
  EXPECT_STREQ("CO RD 12 E", text);
  line.label = f.mainSt;  // code 1
  std::strcpy(text, "MAIN ST");
  EXPECT_TRUE(mpl::MdbAddRoadDirection(open.map, line, text, sizeof text));
  EXPECT_STREQ("MAIN ST N", text);
  // No room, or a label the road does not hold.
  std::strcpy(text, "MAIN ST");
  EXPECT_FALSE(mpl::MdbAddRoadDirection(open.map, line, text, 10));
  line.label = f.north;
  EXPECT_FALSE(mpl::MdbAddRoadDirection(open.map, line, text, sizeof text));
}

TEST(RoadNetTest, NearestPointOfARoad) {
  roadtest::RoadFixture_t f;
  roadtest::RoadFixture_t::Open_t open;
  f.Open(open);
  ASSERT_EQ(0, open.result);
  mpl::MdbMap_t& map = open.map;
  const std::int32_t u = roadtest::kUnit;
  mpl::MdbLineRecord_t line;
  mpl::MdbRoadNear_t near;
  // On level 0 the line itself: the point 2 units north of unit 150.
  const mpl::MdbPoint_t p{roadtest::kLat + 2 * u, roadtest::kLon + 150 * u};
  ASSERT_EQ(0, mpl::MdbFindRoadNear(map, LineRef(2, 1), p, line, 0x7FFF, near));
  EXPECT_EQ(LineRef(2, 1), near.ref);
  EXPECT_EQ(open.offsets[0], near.netOffset);
  EXPECT_EQ(1, near.segment);
  EXPECT_NEAR(roadtest::kLon + 150 * u, near.nearest.lon, 1);
  EXPECT_EQ(10, near.direction);  // two-way
  EXPECT_EQ(1, near.position);
  EXPECT_NEAR(2 * u, static_cast<double>(near.distance), 2);
  // A line of another level: the road's lines on the current level are
  // searched; the nearest is on 3:1, at its end.
  const mpl::MdbPoint_t q{roadtest::kLat - 3 * u, roadtest::kLon + 400 * u};
  ASSERT_EQ(0, mpl::MdbFindRoadNear(map, LineRef(1, 1), q, line, 0x7FFF, near));
  EXPECT_EQ(LineRef(3, 1), near.ref);
  EXPECT_EQ(f.countyRoad, near.label);
  EXPECT_EQ(2, near.position);
  EXPECT_EQ(LineRef(3, 1), line.ref);
  EXPECT_NEAR(roadtest::kLon + 356 * u, near.nearest.lon, 1);
  // A one-way line running north: direction code 2.
  const mpl::MdbPoint_t r{roadtest::kLat, roadtest::kLon + 12 * u};
  ASSERT_EQ(0, mpl::MdbFindRoadNear(map, LineRef(2, 3), r, line, 0x7FFF, near));
  EXPECT_EQ(2, near.direction);
  EXPECT_EQ(4, near.lineType);
}

TEST(RoadNetTest, NetIndex) {
  roadtest::RoadFixture_t f;
  roadtest::RoadFixture_t::Open_t open;
  f.Open(open);
  ASSERT_EQ(0, open.result);
  std::uint32_t net = 0;
  ASSERT_EQ(0, mpl::MdbNetIndexRoad(open.map, 1, net));
  EXPECT_EQ(open.offsets[1], net);
  EXPECT_EQ(3, mpl::MdbNetIndexRoad(open.map, 2, net));
  EXPECT_EQ(3, mpl::MdbNetIndexRoad(open.map, mpl::kMdbNone, net));
}

TEST(RoadNetTest, RecordsParsedWithinTheRead) {
  roadtest::RoadFixture_t f;
  // More counts than the map has levels with subdivisions (two): none marked last.
  imgkit::NetRoad_t tooMany;
  tooMany.raw = std::string("\x01\x00\x80\x04\x10\x00\x00\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01", 17);
  // A record cut by the section's end inside its counts.
  imgkit::NetRoad_t cut;
  cut.raw = std::string("\x01\x00\x80\x04\x10\x00\x00\x01", 8);
  f.net.roads = {f.net.roads[0], tooMany, cut};
  roadtest::RoadFixture_t::Open_t open;
  f.Open(open);
  ASSERT_EQ(0, open.result);
  mpl::MdbRoad_t road;
  std::uint32_t first = 0;
  road.netOffset = open.offsets[1];
  EXPECT_EQ(1, mpl::MdbDecodeRoad(open.map, road, false, nullptr, 0));
  EXPECT_EQ(1, mpl::MdbRoadFirstLine(open.map, open.offsets[1], first));
  road.netOffset = open.offsets[2];
  EXPECT_EQ(1, mpl::MdbDecodeRoad(open.map, road, false, nullptr, 0));
  EXPECT_EQ(1, mpl::MdbRoadFirstLine(open.map, open.offsets[2], first));
}

}  // namespace

namespace {

TEST(RoadNetTest, LabelsOfLinesRoadsAndIndexes) {
  roadtest::RoadFixture_t f;
  roadtest::RoadFixture_t::Open_t open;
  f.Open(open);
  ASSERT_EQ(0, open.result);
  mpl::MdbMap_t& map = open.map;
  std::uint32_t label = 0;
  std::uint16_t type = 0;
  std::uint8_t direction = 9;
  // A line by reference without a label of its own: the road's first label,
  // or with the choice flag the road's plain one.
  mpl::MdbLineRecord_t line;
  line.ref = LineRef(2, 1);
  ASSERT_EQ(0, mpl::MdbRoadObjectLabel(map, &line, mpl::kLabelOfLine, 0, label, type, direction));
  EXPECT_EQ(f.countyRoad, label);
  EXPECT_EQ(1, type);
  ASSERT_EQ(0, mpl::MdbRoadObjectLabel(map, &line, mpl::kLabelOfLine, mpl::kLabelRoadChoice, label, type, direction));
  EXPECT_EQ(f.mainSt, label);
  // A line record with only its road: the road's first line is read.
  mpl::MdbLineRecord_t roadOnly;
  roadOnly.netOffset = open.offsets[1];
  ASSERT_EQ(0, mpl::MdbRoadObjectLabel(map, &roadOnly, mpl::kLabelOfLine, 0, label, type, direction));
  EXPECT_EQ(f.north, label);
  EXPECT_EQ(4, type);
  EXPECT_EQ(1, direction);
  // A road record: its own label first.
  mpl::MdbLineRecord_t road;
  road.netOffset = open.offsets[0];
  road.label = f.highway;
  ASSERT_EQ(0, mpl::MdbRoadObjectLabel(map, &road, mpl::kLabelOfRoad, 0, label, type, direction));
  EXPECT_EQ(f.highway, label);
  road.label = mpl::kMdbNone;
  ASSERT_EQ(0, mpl::MdbRoadObjectLabel(map, &road, mpl::kLabelOfRoad, 0, label, type, direction));
  EXPECT_EQ(f.countyRoad, label);
  // A NET index: the label whose extra value is the index.
  roadtest::RoadFixture_t g;
  g.net.roads[1].labels = {{g.countyRoad, 0x0}, {g.north, 0x1}};
  roadtest::RoadFixture_t::Open_t indexed;
  g.Open(indexed);
  ASSERT_EQ(0, indexed.result);
  const std::uint32_t index = 1;
  ASSERT_EQ(0, mpl::MdbRoadObjectLabel(indexed.map, &index, mpl::kLabelOfNetIndex, 0, label, type, direction));
  EXPECT_EQ(g.north, label);
  EXPECT_EQ(4, type);
  const std::uint32_t missing = 7;
  EXPECT_EQ(3, mpl::MdbRoadObjectLabel(indexed.map, &missing, mpl::kLabelOfNetIndex, 0, label, type, direction));
}

}  // namespace

// The label routine of objects takes a road's label for its lines and NET
// indexes, and adds the road's direction letter when asked.
TEST(RoadNetTest, ObjectLabelsOfLinesAndIndexesComeFromTheirRoads) {
  roadtest::RoadFixture_t f;
  roadtest::RoadFixture_t::Open_t open;
  f.Open(open);
  ASSERT_EQ(0, open.result);
  char buffer[64];
  mpl::MdbLineRecord_t line;
  line.ref = LineRef(2, 1);
  ASSERT_EQ(0, mpl::MdbGetObjectLabel(open.map, &line, mpl::kLabelOfLine, buffer, sizeof buffer, 0));
  EXPECT_STREQ("CO RD 12", buffer);
  ASSERT_EQ(0, mpl::MdbGetObjectLabel(open.map, &line, mpl::kLabelOfLine, buffer, sizeof buffer,
                                      mpl::kLabelRoadDirection));
  EXPECT_STREQ("CO RD 12 E", buffer);
  ASSERT_EQ(0, mpl::MdbGetObjectLabel(open.map, &line, mpl::kLabelOfLine, buffer, sizeof buffer,
                                      mpl::kLabelRoadChoice | mpl::kLabelRoadDirection));
  EXPECT_STREQ("MAIN ST N", buffer);

  roadtest::RoadFixture_t g;
  g.net.roads[1].labels = {{g.countyRoad, 0x0}, {g.north, 0x1}};
  roadtest::RoadFixture_t::Open_t indexed;
  g.Open(indexed);
  ASSERT_EQ(0, indexed.result);
  const std::uint32_t index = 1;
  ASSERT_EQ(0, mpl::MdbGetObjectLabel(indexed.map, &index, mpl::kLabelOfNetIndex, buffer, sizeof buffer, 0));
  EXPECT_STREQ("NORTH AVE", buffer);
}
