// The nearest-feature searches: the point-in-polygon, side, rectangle and
// line-distance kernels by table, then areas at a point, the nearest lines
// (against a search of every line; along routes; by road match) and the
// nearest junction (its restricted second pass, crossings, at a point) on
// built maps, directly and through the map object.
#include <gtest/gtest.h>

#include <algorithm>

#include "dsk/DSK_Partition.h"
#include "mpl/MPL_Map.h"
#include "mpl/MPL_Nearest.h"
#include "tests/imgkit/MemoryMedia.h"
#include "tests/mpl/MapFacadeFixture.h"
#include "tests/mpl/RoadMap.h"

namespace {

using mpl::MdbBox_t;
using mpl::MdbPoint_t;
constexpr std::int32_t kMin = static_cast<std::int32_t>(0x80000000);

std::vector<std::int32_t> Edges(const MdbBox_t& b) { return {b.north, b.east, b.south, b.west}; }

TEST(NearestTest, PointInPolygon) {
  const std::vector<MdbPoint_t> square = {{0, 0}, {0, 100}, {100, 100}, {100, 0}};
  const MdbBox_t squareBox{100, 100, 0, 0};
  const std::vector<MdbPoint_t> triangle = {{0, 0}, {100, 100}, {0, 100}};  // lon >= lat
  const std::int32_t w = 0x7FFFFF00, e = static_cast<std::int32_t>(0x80000100);
  const std::vector<MdbPoint_t> across = {{0, w}, {0, e}, {100, e}, {100, w}};
  struct Case_t {
    const char* what;
    const std::vector<MdbPoint_t>* polygon;
    MdbBox_t box;
    MdbPoint_t point;
    bool inside;
  } cases[] = {
      {"centre", &square, squareBox, {50, 50}, true},
      {"on the east edge", &square, squareBox, {50, 100}, true},
      {"on the west edge", &square, squareBox, {50, 0}, false},
      {"east of it", &square, squareBox, {50, 101}, false},
      {"north of it", &square, squareBox, {150, 50}, false},
      {"below the diagonal", &triangle, squareBox, {25, 75}, true},
      {"above the diagonal", &triangle, squareBox, {75, 25}, false},
      {"west of the meridian", &across, {100, e, 0, w}, {50, 0x7FFFFFF0}, true},
      {"east of the meridian", &across, {100, e, 0, w}, {50, static_cast<std::int32_t>(0x80000010)}, true},
      {"far from it", &across, {100, e, 0, w}, {50, 0}, false},
      {"just west of it", &across, {100, e, 0, w}, {50, 0x7FFFFE00}, false},
  };
  for (const Case_t& c : cases) EXPECT_EQ(c.inside, mpl::MdbPointInArea(*c.polygon, c.box, c.point)) << c.what;
  EXPECT_FALSE(mpl::MdbPointInArea({}, squareBox, {50, 50}));
}

TEST(NearestTest, SideOfASegment) {
  struct Case_t {
    MdbPoint_t a, b, p;
    bool right;
  } cases[] = {
      {{0, 0}, {100, 0}, {50, 10}, true},    // northward, point to the east
      {{0, 0}, {100, 0}, {50, -10}, false},  // to the west
      {{0, 0}, {100, 0}, {150, 0}, true},    // on its line
      {{0, 0}, {0, 100}, {-5, 50}, true},    // eastward, point to the south
      {{0, 0}, {0, 100}, {5, 50}, false},
  };
  for (const Case_t& c : cases)
    EXPECT_EQ(c.right, mpl::MdbPointRightOfSegment(c.a, c.b, c.p)) << c.p.lat << "," << c.p.lon;
}

TEST(NearestTest, RectangleIntersectionAndShrinking) {
  struct Case_t {
    MdbBox_t a, b, out;
  } cases[] = {
      {{100, 100, 0, 0}, {50, 150, -50, 50}, {50, 100, 0, 50}},
      {{100, 1000, 0, 0}, {200, 600, 50, 500}, {100, 600, 50, 500}},
      // Across the meridian: the wider one is the reference.
      {{10, 0x7FFFFFFF, -10, 0x70000000}, {10, static_cast<std::int32_t>(0x90000000), -10, 0x7FFF0000},
       {10, 0x7FFFFFFF, -10, 0x7FFF0000}},
  };
  for (const Case_t& c : cases) {
    MdbBox_t out;
    mpl::MdbIntersectRects(out, c.a, c.b);
    EXPECT_EQ(Edges(c.out), Edges(out));
  }
  const MdbBox_t world{0x40000000, 0x7FFFFFFF, -0x40000000, kMin};
  MdbBox_t r = world;
  mpl::MdbShrinkSearchRect(r, {0, 0}, 0x7FFFFFFF, 1000);
  EXPECT_EQ((std::vector<std::int32_t>{1000, 1000, -1000, -1000}), Edges(r));
  r = world;
  mpl::MdbShrinkSearchRect(r, {0, 0}, 0x40000000, 1000);  // half the cosine: twice as wide
  EXPECT_EQ((std::vector<std::int32_t>{1000, 2000, -1000, -2000}), Edges(r));
  r = world;
  mpl::MdbShrinkSearchRect(r, {0, 0}, 0x7FFFFFFF, 0x3FFFFFFF);  // too far: nothing changes
  EXPECT_EQ(Edges(world), Edges(r));
  r = world;
  const std::int32_t lat = 0x3FF00000;
  mpl::MdbShrinkSearchRect(r, {lat, 0}, mpl::MdbLatitudeFactor(lat), 0x180000);
  EXPECT_EQ(0x40000000, r.north);  // limited at the pole
  EXPECT_EQ(lat - 0x180000, r.south);
}

TEST(NearestTest, LineDistance) {
  mpl::MdbLineRecord_t line;
  line.type = 5;
  line.ref = 0x20001;
  line.label = 0x44;
  line.points = {{0, 0}, {0, 100}, {100, 100}};
  const std::int32_t half = 0x40000000;  // longitude differences count half
  struct Case_t {
    MdbPoint_t p;
    const MdbBox_t* clip;
    std::uint16_t segment;
    std::uint32_t distance;
    std::uint8_t position, direction, side;
    MdbPoint_t nearest;
  };
  const MdbBox_t north{200, 200, 60, 60};
  const Case_t cases[] = {
      {{50, 50}, nullptr, 1, 25, 1, 2, 0, {50, 100}},
      {{-10, -10}, nullptr, 0, 11, 0, 4, 1, {0, 0}},
      {{150, 100}, nullptr, 1, 50, 2, 2, 1, {100, 100}},
      {{-10, 50}, &north, 1, 27, 1, 2, 0, {0, 100}},  // the first segment is clipped away
  };
  for (const Case_t& c : cases) {
    mpl::MdbLineHit_t hit;
    ASSERT_TRUE(mpl::MdbLineDistance(c.p, half, c.clip, line, hit));
    EXPECT_EQ(c.segment, hit.segment) << c.p.lat;
    EXPECT_EQ(c.distance, hit.distance) << c.p.lat;
    EXPECT_EQ(c.position, hit.position) << c.p.lat;
    EXPECT_EQ(c.direction, hit.direction) << c.p.lat;
    EXPECT_EQ(c.side, hit.side) << c.p.lat;
    EXPECT_EQ(c.nearest.lat, hit.nearest.lat) << c.p.lat;
    EXPECT_EQ(c.nearest.lon, hit.nearest.lon) << c.p.lat;
    EXPECT_EQ(0x20001u, hit.line);
    EXPECT_EQ(0x44u, hit.label);
  }
  line.type = 0;  // lines of type 0 get no direction
  mpl::MdbLineHit_t hit;
  ASSERT_TRUE(mpl::MdbLineDistance({50, 50}, half, nullptr, line, hit));
  EXPECT_EQ(10, hit.direction);
  line.points = {{0, 0}};
  EXPECT_FALSE(mpl::MdbLineDistance({50, 50}, half, nullptr, line, hit));
  EXPECT_EQ(mpl::kMdbNone, hit.distance);
}

struct Grid_t {
  Grid_t() : image(facadetest::FilesOf(facadetest::GridFixture(3, 12))), map(image.source, "20000001", "") {
    map.SetSearchBox(geo::Box_t(0x3FFFFFFF, -0x3FFFFFFF, 0x7FFFFFFF, kMin));
  }
  facadetest::Image_t image;
  mpl::Map_t map;
};

// Corner of cell k of the level-0 subdivision (row, col).
MdbPoint_t Corner(unsigned row, unsigned col, unsigned k) {
  const std::int32_t x = facadetest::kFirst + static_cast<std::int32_t>(k % 10) * facadetest::kCell;
  const std::int32_t y = facadetest::kFirst + static_cast<std::int32_t>(k / 10) * facadetest::kCell;
  return {static_cast<std::int32_t>(row) * facadetest::kSpan + facadetest::kSpan / 2 + y * 256,
          static_cast<std::int32_t>(col) * facadetest::kSpan + facadetest::kSpan / 2 + x * 256};
}

TEST(NearestTest, NearestLinesAreTheNearestOfAllLines) {
  Grid_t g;
  // Every line with its distance, in the order found.
  mpl::Map_t all(g.map);
  std::vector<mpl::MdbLineRecord_t> lines;
  mpl::MdbLineRecord_t rec;
  for (int r = mpl::MdbFirstLine(all.Engine(), rec, mpl::kRequestCount, nullptr); r == 0;
       r = mpl::MdbNextLine(all.Engine(), rec, mpl::kRequestCount, nullptr))
    lines.push_back(rec);
  ASSERT_EQ(9u * 12, lines.size());
  const MdbPoint_t queries[] = {Corner(1, 1, 5), {Corner(0, 2, 11).lat + 0x3000, Corner(0, 2, 11).lon + 0x5000},
                                {Corner(2, 0, 0).lat - 0x40000, Corner(2, 0, 0).lon - 0x9000}, {10, 10}};
  for (const MdbPoint_t& q : queries) {
    const std::int32_t cosine = mpl::MdbLatitudeFactor(q.lat);
    std::vector<mpl::MdbLineHit_t> expected;
    for (const mpl::MdbLineRecord_t& l : lines) {
      mpl::MdbLineHit_t h;
      ASSERT_TRUE(mpl::MdbLineDistance(q, cosine, nullptr, l, h));
      expected.push_back(h);
    }
    std::stable_sort(expected.begin(), expected.end(),
                     [](const mpl::MdbLineHit_t& a, const mpl::MdbLineHit_t& b) { return a.distance < b.distance; });
    const MdbBox_t before = g.map.Engine().searchRect;
    mpl::MdbLineHit_t hits[3];
    mpl::MdbLineRecord_t nearest;
    ASSERT_TRUE(g.map.FindNearestLines(q, nearest, hits, 3));
    for (unsigned i = 0; i < 3; ++i) {
      EXPECT_EQ(expected[i].line, hits[i].line) << i;
      EXPECT_EQ(expected[i].distance, hits[i].distance) << i;
    }
    EXPECT_EQ(hits[0].line, nearest.ref);
    EXPECT_EQ(3u, nearest.points.size());
    EXPECT_EQ(Edges(before), Edges(g.map.Engine().searchRect));
  }
  // Only the lines of one type pass the map's line filter.
  g.map.SetLineFilter(mpl::Filter_t(mpl::FilterEntry_t{3, 0xFFFFFFFF}, 1));
  mpl::MdbLineHit_t hit;
  mpl::MdbLineRecord_t nearest;
  ASSERT_TRUE(g.map.FindNearestLines(Corner(1, 1, 0), nearest, &hit, 1));
  EXPECT_EQ(3, hit.type);
  // A point outside the search rectangle finds nothing.
  g.map.SetSearchBox(geo::Box_t(100, 0, 100, 0));
  EXPECT_FALSE(g.map.FindNearestLines(Corner(1, 1, 0), nearest, &hit, 1));
  EXPECT_EQ(mpl::kMdbNone, hit.line);
}

TEST(NearestTest, AreasAtAPoint) {
  Grid_t g;
  const MdbPoint_t corner = Corner(1, 2, 7);
  const MdbPoint_t inside{corner.lat + (0x90 + 0x20) * 256, corner.lon + (0x90 + 0x20) * 256};
  mpl::MdbAreaRecord_t area;
  ASSERT_TRUE(g.map.FindAreasAtPoint(inside, area));
  EXPECT_EQ(facadetest::AreaType(7), area.type);
  EXPECT_EQ(mpl::MdbMakeRef(2 + 1 * 3 + 2, 8), area.ref);
  EXPECT_FALSE(g.map.FindAreasAtPoint(corner, area));  // the cell's corner is in no area
  EXPECT_EQ(255, area.type);
  // Several slots: the references of what was found, the rest empty.
  std::uint32_t refs[2];
  mpl::MdbAreaRecord_t work;
  EXPECT_EQ(0, mpl::MdbFindAreasAtPoint(g.map.Engine(), inside, work, refs, nullptr, 2));
  EXPECT_EQ(mpl::MdbMakeRef(7, 8), refs[0]);
  EXPECT_EQ(mpl::kMdbNone, refs[1]);
  // The nearest-area search yields the same area.
  mpl::NrstCriteria_t criteria(g.map.GetAreaCriteria(), inside, 2.5);
  std::vector<std::uint32_t> found;
  auto range = g.map.NearestAreaSearch(criteria);
  for (auto it = range.begin(); it != range.end(); ++it) found.push_back(it->record.ref);
  EXPECT_EQ(std::vector<std::uint32_t>{mpl::MdbMakeRef(7, 8)}, found);
  // The area filter takes part.
  g.map.SetAreaFilter(mpl::Filter_t(mpl::FilterEntry_t{facadetest::AreaType(7), 0xFFFFFFFF}, 0));
  EXPECT_FALSE(g.map.FindAreasAtPoint(inside, area));
}

// Points of one type: standard type 5 at 10 units north and 30 west of the
// centre, type 6 nearer still, extended type 5 at 20 north and extended 6.
TEST(NearestTest, NearestPointsOfOneType) {
  rgntest::Fixture_t f = facadetest::GridFixture(1, 0, "50000001");
  f.map.tre.extFlags = 0x04;
  f.map.tre.overviews[2] = rgntest::Table({{5, 0, 0}, {6, 0, 0}}, 3);
  imgkit::RgnSubdivision_t& s = f.rgn.subdivisions[1];
  s.points = {{5, 0, false, std::nullopt, 0, 10}, {5, 0, false, std::nullopt, -30, 0}, {6, 0, false, std::nullopt, 1, 1}};
  s.extPoints = {rgntest::Ext(5, 0, 0, 20), rgntest::Ext(6, 0, 2, 2)};
  const facadetest::Image_t image(facadetest::FilesOf(f));
  mpl::Map_t map(image.source, "50000001", "");
  map.SetSearchBox(geo::Box_t(0x3FFFFFFF, -0x3FFFFFFF, 0x7FFFFFFF, kMin));
  const MdbPoint_t centre{facadetest::kSpan / 2, facadetest::kSpan / 2};
  const std::uint32_t none = 0;
  const struct {
    unsigned kind;
    std::vector<std::uint32_t> refs;
  } cases[] = {
      {5, {mpl::MdbMakeRef(2, 1), mpl::MdbMakeRef(2, 2), none}},
      {0x8005, {mpl::MdbMakeRef(2, 1, true), none, none}},  // bit 15: the extended type 5
      {0x105, {none, none, none}},
      {0x8007, {none, none, none}},
  };
  for (const auto& c : cases) {
    std::vector<mpl::MdbTextHit_t> hits(3);
    mpl::MdbPointRecord_t first;
    mpl::MdbAuxInfo_t attributes;
    const MdbBox_t before = map.Engine().searchRect;
    EXPECT_EQ(c.refs[0] != none, map.FindNearestPoints(centre, first, &attributes, hits, c.kind)) << c.kind;
    std::vector<std::uint32_t> refs;
    for (const mpl::MdbTextHit_t& h : hits) refs.push_back(h.ref);
    EXPECT_EQ(c.refs, refs) << c.kind;
    if (c.refs[0] != none) {
      EXPECT_EQ(c.refs[0], first.ref) << c.kind;
      EXPECT_EQ(c.kind & 0x7FFF, first.type & 0xFF) << c.kind;
    }
    EXPECT_EQ(Edges(before), Edges(map.Engine().searchRect)) << c.kind;
  }
  std::vector<mpl::MdbTextHit_t> hits(1);
  mpl::MdbPointRecord_t first;
  ASSERT_TRUE(map.FindNearestPoints(centre, first, nullptr, hits, 5));
  EXPECT_EQ(mpl::MdbMakeRef(2, 1), hits[0].ref);
  EXPECT_NEAR(10 * 256, hits[0].distance, 2);
  EXPECT_FALSE(mpl::Map_t().FindNearestPoints(centre, first, nullptr, hits, 5));
}

// Lines meeting at one vertex: A (type 2) east from the centre, B (type 1)
// north from A's end, C (type 3) far away.
rgntest::Fixture_t Crossroads() {
  rgntest::Fixture_t f = facadetest::GridFixture(1, 0, "40000001");
  imgkit::RgnSubdivision_t& s = f.rgn.subdivisions[1];
  s.lines.push_back(rgntest::Poly(2, 0, 0, 0, rgntest::Stream({{0x100, 0, {}}})));
  s.lines.push_back(rgntest::Poly(1, 0, 0x100, 0, rgntest::Stream({{0, 0x100, {}}})));
  s.lines.push_back(rgntest::Poly(3, 0, -0x400, -0x400, rgntest::Stream({{0x10, 0, {}}})));
  return f;
}

TEST(NearestTest, NearestJunction) {
  facadetest::Image_t image(facadetest::FilesOf(Crossroads()));
  mpl::Map_t map(image.source, "40000001", "");
  map.SetSearchBox(geo::Box_t(0x3FFFFFFF, -0x3FFFFFFF, 0x7FFFFFFF, kMin));
  const std::int32_t c = facadetest::kSpan / 2;
  const MdbPoint_t query{c + 0x10 * 256, c + 0xC0 * 256};
  mpl::MdbLineRecord_t line;
  mpl::MdbJunction_t junction;
  ASSERT_TRUE(map.FindNearestJunction(query, line, junction, 4));
  EXPECT_EQ(c, junction.point.lat);
  EXPECT_EQ(c + 0x100 * 256, junction.point.lon);
  ASSERT_EQ(2u, junction.entries.size());
  EXPECT_EQ(1, junction.entries[0].type);  // sorted by type
  EXPECT_EQ(2, junction.entries[1].type);
  EXPECT_EQ(0, junction.entries[0].vertex);
  EXPECT_EQ(1, junction.entries[1].vertex);
  EXPECT_EQ(2, junction.entries[0].direction);  // B leaves the junction northward
  EXPECT_EQ(4, junction.entries[1].direction);  // A arrives eastward
  const std::int32_t cosine = mpl::MdbLatitudeFactor(query.lat);
  MdbPoint_t ignored;
  EXPECT_EQ(mpl::MdbDistanceToSegment(junction.point, junction.point, query, ignored, cosine), junction.distance);
  // Fewer than two lines cannot meet.
  EXPECT_FALSE(map.FindNearestJunction(query, line, junction, 1));
  EXPECT_EQ(0, mpl::MdbFindNearestJunction(map.Engine(), query, line, junction, 4, mpl::kMdbJunctionCrossings));
}

// Points of the road map in its level-0 units from its centre.
MdbPoint_t RoadAt(std::int32_t lat, std::int32_t lon) {
  return {roadtest::kLat + lat * roadtest::kUnit, roadtest::kLon + lon * roadtest::kUnit};
}

struct Roads_t {
  Roads_t() {
    f.map.tre.overviews[0] = rgntest::Table({{1, 0}, {4, 0}}, 2);  // the line types the searches walk
    f.Open(open);
    EXPECT_EQ(0, open.result);
    roadA = open.offsets[0];
    roadB = open.offsets[1];
  }
  roadtest::RoadFixture_t f;
  roadtest::RoadFixture_t::Open_t open;
  std::uint32_t roadA = 0, roadB = 0;
};

TEST(NearestTest, RoadMatchByLabel) {
  Roads_t r;
  const struct {
    std::uint32_t road, value;
    int result;
  } cases[] = {
      {r.roadA, r.f.mainSt, 0}, {r.roadA, r.f.countyRoad, 0}, {r.roadA, r.f.north, 3},
      {r.roadB, r.f.north, 0},  {r.roadB, mpl::kMdbNone, 3},  {0x3FFFF0, r.f.north, 3},  // no such road
  };
  for (const auto& c : cases) EXPECT_EQ(c.result, mpl::MdbRoadMatch(r.open.map, c.road, c.value)) << c.road;
}

// Road A runs east along latitude 0 through units 0-200 (line 2:1, a vertex
// at 100), 200-256 (2:2) and 256-356 (3:1); road B north at unit 10.
TEST(NearestTest, RouteLinesAreCutAtTheRouteEnds) {
  Roads_t r;
  using Points_t = std::vector<std::vector<std::int32_t>>;  // per line: lon of each point (latitude 0)
  mpl::MdbRoute_t list, back, direct, reversed, oneLine;
  list.roads = {r.roadA};
  list.start = RoadAt(0, 150);
  list.end = RoadAt(0, 300);
  back.roads = {r.roadA | mpl::kMdbRouteBackwards};
  back.start = RoadAt(2, 300);  // off the road: cut at its nearest point, the start point first
  back.end = RoadAt(0, 150);
  direct.kind = 1;
  direct.road = r.roadA;
  direct.startLine = 0;
  direct.startVertex = 1;
  direct.start = RoadAt(0, 150);
  direct.endLine = 2;
  direct.endVertex = 0;
  direct.end = RoadAt(0, 300);
  reversed = direct;
  std::swap(reversed.startLine, reversed.endLine);
  std::swap(reversed.startVertex, reversed.endVertex);
  std::swap(reversed.start, reversed.end);
  oneLine = direct;
  oneLine.startVertex = 0;
  oneLine.start = RoadAt(0, 50);
  oneLine.endLine = 0;
  oneLine.endVertex = 1;
  oneLine.end = RoadAt(0, 150);
  const struct {
    const char* what;
    const mpl::MdbRoute_t* route;
    Points_t lons;
  } cases[] = {
      {"road list", &list, {{150, 200}, {200, 256}, {256, 300}}},
      {"backwards", &back, {{300, 256}, {256, 200}, {200, 150}}},
      {"direct piece", &direct, {{150, 200}, {200, 256}, {256, 300}}},
      {"direct piece, end first", &reversed, {{300, 256}, {256, 200}, {200, 150}}},
      {"direct piece on one line", &oneLine, {{50, 100, 150}}},
  };
  for (const auto& c : cases) {
    std::vector<mpl::MdbLineRecord_t> lines;
    ASSERT_EQ(0, mpl::MdbRouteLines(r.open.map, *c.route, lines)) << c.what;
    Points_t lons;
    for (const mpl::MdbLineRecord_t& l : lines) {
      lons.emplace_back();
      for (const MdbPoint_t& p : l.points) lons.back().push_back((p.lon - roadtest::kLon) / roadtest::kUnit);
    }
    EXPECT_EQ(c.lons, lons) << c.what;
    EXPECT_EQ(c.route == &back ? RoadAt(2, 300).lat : roadtest::kLat, lines.front().points.front().lat) << c.what;
  }
  // Road B then road A: B whole from its start, A up to the end point.
  mpl::MdbRoute_t two;
  two.roads = {r.roadB, r.roadA};
  two.start = RoadAt(-50, 10);
  two.end = RoadAt(0, 120);
  std::vector<mpl::MdbLineRecord_t> lines;
  ASSERT_EQ(0, mpl::MdbRouteLines(r.open.map, two, lines));
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ(3u, lines[0].points.size());
  EXPECT_EQ(roadtest::LineRef(2, 3), lines[0].ref);
  EXPECT_EQ(roadtest::LineRef(2, 1), lines[1].ref);
  EXPECT_EQ(RoadAt(0, 120).lon, lines[1].points.back().lon);
  EXPECT_EQ(RoadAt(0, 120).lon - RoadAt(0, 0).lon, lines[1].box.east - lines[1].box.west);
  // A straight piece without a road; a route without roads.
  mpl::MdbRoute_t straight;
  straight.kind = 1;
  straight.start = RoadAt(0, 0);
  straight.end = RoadAt(10, 10);
  ASSERT_EQ(0, mpl::MdbRouteLines(r.open.map, straight, lines));
  ASSERT_EQ(1u, lines.size());
  EXPECT_EQ(mpl::kMdbNone, lines[0].ref);
  EXPECT_EQ(RoadAt(10, 10).lat, lines[0].box.north);
  EXPECT_EQ(3, mpl::MdbRouteLines(r.open.map, mpl::MdbRoute_t(), lines));
  direct.endLine = 3;  // past the road's lines
  EXPECT_EQ(1, mpl::MdbRouteLines(r.open.map, direct, lines));
}

// Road B has lines on level 0 only: read from level 1, its lines come from
// level 0, and level 1 is current again afterwards, also when the medium goes
// missing on the way.
TEST(NearestTest, RouteLinesPutTheLevelBack) {
  Roads_t r;
  mpl::MdbMap_t& map = r.open.map;
  map.level = 1;
  mpl::MdbRoute_t route;
  route.roads = {r.roadB};
  route.start = RoadAt(-50, 10);
  route.end = RoadAt(50, 10);
  std::vector<mpl::MdbLineRecord_t> lines;
  ASSERT_EQ(0, mpl::MdbRouteLines(map, route, lines));
  ASSERT_EQ(1u, lines.size());
  EXPECT_EQ(roadtest::LineRef(2, 3), lines[0].ref);
  EXPECT_EQ(1, map.level);
  // Only the road record in the block cache: reading the line needs the medium.
  dynamic_cast<dsk::PrivPartition_t&>(*map.source.Partition()).Cache().ReleaseAll();
  mpl::MdbRoad_t road;
  road.netOffset = r.roadB;
  ASSERT_EQ(0, mpl::MdbDecodeRoad(map, road, false, nullptr, 0));
  auto* media = static_cast<imgkit::MemoryMedia_t*>(map.source.Media());
  media->SetMissing(true);
  EXPECT_THROW(mpl::MdbRouteLines(map, route, lines), dsk::MediaUnavailable_t);
  media->SetMissing(false);
  EXPECT_EQ(1, map.level);
}

TEST(NearestTest, NearestLinesAlongARouteAndByRoadMatch) {
  Roads_t r;
  mpl::MdbMap_t& map = r.open.map;
  map.searchRect = {0x3FFFFFFF, 0x7FFFFFFF, -0x3FFFFFFF, kMin};
  const MdbBox_t before = map.searchRect;
  mpl::MdbRoute_t route;
  route.roads = {r.roadA};
  route.start = RoadAt(0, 150);
  route.end = RoadAt(0, 300);
  const mpl::MdbNearestCriteria_t onRoute{mpl::kMdbCriteriaRoute, 0, &route};
  const mpl::MdbNearestCriteria_t mainSt{mpl::kMdbCriteriaRoadMatch, r.f.mainSt, nullptr};
  const mpl::MdbNearestCriteria_t north{mpl::kMdbCriteriaRoadMatch, r.f.north, nullptr};
  const mpl::MdbNearestCriteria_t roadA{mpl::kMdbCriteriaRoad, r.roadA, nullptr};
  const struct {
    const char* what;
    MdbPoint_t query;
    const mpl::MdbNearestCriteria_t* criteria;
    std::uint32_t line;
    MdbPoint_t nearest;
    std::uint8_t position;
  } cases[] = {
      {"no criteria", RoadAt(10, 120), nullptr, roadtest::LineRef(2, 1), RoadAt(0, 120), 1},
      {"before the route's start", RoadAt(10, 120), &onRoute, roadtest::LineRef(2, 1), RoadAt(0, 150), 0},
      {"past the route's end", RoadAt(-5, 330), &onRoute, roadtest::LineRef(3, 1), RoadAt(0, 300), 2},
      {"beside road B", RoadAt(30, 14), nullptr, roadtest::LineRef(2, 3), RoadAt(30, 10), 1},
      {"roads named MAIN ST", RoadAt(30, 14), &mainSt, roadtest::LineRef(2, 1), RoadAt(0, 14), 1},
      {"roads named NORTH AVE", RoadAt(30, 14), &north, roadtest::LineRef(2, 3), RoadAt(30, 10), 1},
      {"road A", RoadAt(30, 14), &roadA, roadtest::LineRef(2, 1), RoadAt(0, 14), 1},
  };
  for (const auto& c : cases) {
    mpl::MdbLineHit_t hits[2];
    mpl::MdbLineRecord_t work;
    ASSERT_EQ(0, mpl::MdbFindNearestLines(map, c.query, work, hits, 2, c.criteria)) << c.what;
    EXPECT_EQ(c.line, hits[0].line) << c.what;
    EXPECT_EQ(c.nearest.lat, hits[0].nearest.lat) << c.what;
    EXPECT_NEAR(c.nearest.lon, hits[0].nearest.lon, 1) << c.what;  // the projection rounds down
    EXPECT_EQ(c.position, hits[0].position) << c.what;
    EXPECT_EQ(c.line, work.ref) << c.what;
    EXPECT_EQ(Edges(before), Edges(map.searchRect)) << c.what;
  }
  // The work record holds the route's piece of the nearest line.
  mpl::MdbLineHit_t hit;
  mpl::MdbLineRecord_t work;
  ASSERT_EQ(0, mpl::MdbFindNearestLines(map, RoadAt(10, 120), work, &hit, 1, &onRoute));
  ASSERT_EQ(2u, work.points.size());
  EXPECT_EQ(RoadAt(0, 150).lon, work.points[0].lon);
  // No road of that name; a route without roads.
  const mpl::MdbNearestCriteria_t nobody{mpl::kMdbCriteriaRoadMatch, 0x123, nullptr};
  EXPECT_EQ(3, mpl::MdbFindNearestLines(map, RoadAt(30, 14), work, &hit, 1, &nobody));
  const mpl::MdbRoute_t empty;
  const mpl::MdbNearestCriteria_t noRoads{mpl::kMdbCriteriaRoute, 0, &empty};
  EXPECT_EQ(3, mpl::MdbFindNearestLines(map, RoadAt(30, 14), work, &hit, 1, &noRoads));
  EXPECT_EQ(mpl::kMdbNone, hit.line);
}

// Roads R1 (type 1, east along latitude 0) and R2 (type 2, north along
// longitude 0 on level 0, one level-1 unit east of it on level 1) meet at a
// vertex on both levels. On level 0 a line D without a road (type 3) ends on
// R1 at unit 8, and E (type 4) crosses R1 at unit 52 without a common vertex.
struct Junctions_t {
  Junctions_t() {
    imgkit::LblBuilder_t lbl;
    const std::uint32_t east = lbl.AddLabel("EAST ST"), north = lbl.AddLabel("NORTH ST");
    imgkit::NetBuilder_t net;
    imgkit::NetRoad_t a, b;
    a.labels = {{east, std::nullopt}};
    a.length = 200;
    a.lines = {{roadtest::LineRef(2, 1)}, {roadtest::LineRef(1, 1)}};
    b.labels = {{north, std::nullopt}};
    b.length = 200;
    b.lines = {{roadtest::LineRef(2, 2)}, {roadtest::LineRef(1, 2)}};
    net.roads = {a, b};
    net.index = {0, 1};
    const imgkit::NetImage_t netImage = net.Build();
    r1 = netImage.offsets[0];
    r2 = netImage.offsets[1];
    imgkit::MapBuilder_t m;
    m.name = "30000001";
    m.tre.overviews[0] = rgntest::Table({{1, 0}, {2, 0}, {3, 0}, {4, 0}}, 2);
    m.tre.north = roadtest::kLat + 0x40000;
    m.tre.east = roadtest::kLon + 0x40000;
    m.tre.south = roadtest::kLat - 0x40000;
    m.tre.west = roadtest::kLon - 0x40000;
    m.tre.levels = {
        {1, 20, false, {rgntest::Sub(roadtest::kLat, roadtest::kLon, 0x40, true, 2)}, {}},
        {0, 24, false, {rgntest::Sub(roadtest::kLat, roadtest::kLon, 0x100, true)}, {}},
    };
    m.rgn.length = 125;
    imgkit::RgnBuilder_t rgn;
    imgkit::RgnSubdivision_t s1, s2;
    s1.lines.push_back(rgntest::Poly(1, 0x800000 | r1, -6, 0, rgntest::Stream({{7, 0, {}}, {5, 0, {}}})));
    s1.lines.push_back(rgntest::Poly(2, 0x800000 | r2, 1, -6, rgntest::Stream({{0, 6, {}}, {0, 6, {}}})));
    s2.lines.push_back(
        rgntest::Poly(1, 0x800000 | r1, -100, 0, rgntest::Stream({{100, 0, {}}, {8, 0, {}}, {92, 0, {}}})));
    s2.lines.push_back(rgntest::Poly(2, 0x800000 | r2, 0, -100, rgntest::Stream({{0, 100, {}}, {0, 100, {}}})));
    s2.lines.push_back(rgntest::Poly(3, 0, 8, 20, rgntest::Stream({{0, -20, {}}})));
    s2.lines.push_back(rgntest::Poly(4, 0, 50, -20, rgntest::Stream({{4, 40, {}}})));
    rgn.subdivisions = {s1, s2};
    rgn.Place(m);
    files = m.Files();
    for (imgkit::MapFile_t& f : files)
      if (f.name == m.name + ".LBL") f.data = lbl.Build();
    files.push_back({m.name + ".NET", netImage.file});
  }
  std::uint32_t r1 = 0, r2 = 0;
  std::vector<imgkit::MapFile_t> files;
};

TEST(NearestTest, JunctionsOnBothLevelsAndWhereLinesCross) {
  Junctions_t j;
  facadetest::Image_t image(j.files);
  mpl::Map_t map(image.source, "30000001", "");
  map.SetSearchBox(geo::Box_t(0x3FFFFFFF, -0x3FFFFFFF, 0x7FFFFFFF, kMin));
  mpl::MdbMap_t& engine = map.Engine();
  const MdbPoint_t query = RoadAt(1, 12);
  const struct {
    const char* what;
    std::uint8_t level;
    unsigned count;
    MdbPoint_t point;
    std::vector<std::uint16_t> types;
    bool restricted;
  } cases[] = {
      {"level 0: D ends on R1", 0, 5, RoadAt(0, 8), {1, 3}, false},
      {"level 0 is the most detailed: one pass", 0, 0x8005, RoadAt(0, 8), {1, 3}, false},
      {"level 1", 1, 5, RoadAt(0, 16), {1, 2}, false},
      {"level 1, then level 0 with R1 and R2 only", 1, 0x8005, RoadAt(0, 0), {1, 2}, true},
  };
  for (const auto& c : cases) {
    engine.level = c.level;
    const MdbBox_t before = engine.searchRect;
    mpl::MdbLineRecord_t line;
    mpl::MdbJunction_t junction;
    ASSERT_TRUE(map.FindNearestJunction(query, line, junction, c.count)) << c.what;
    EXPECT_EQ(c.point.lat, junction.point.lat) << c.what;
    EXPECT_EQ(c.point.lon, junction.point.lon) << c.what;
    std::vector<std::uint16_t> types;
    for (const mpl::MdbJunctionEntry_t& e : junction.entries) {
      types.push_back(e.type);
      if (c.restricted) {
        EXPECT_EQ(mpl::kMdbNone, e.label) << c.what;
      }
    }
    EXPECT_EQ(c.types, types) << c.what;
    EXPECT_EQ(j.r1, junction.entries[0].road) << c.what;
    EXPECT_EQ(c.level, engine.level) << c.what;
    EXPECT_EQ(Edges(before), Edges(engine.searchRect)) << c.what;
  }
  mpl::MdbLineRecord_t line;
  mpl::MdbJunction_t junction;
  // The restricted search with crossings: both passes count them.
  const unsigned restrictedCrossings = mpl::kMdbJunctionRestricted | mpl::kMdbJunctionCrossings;
  engine.level = 1;
  ASSERT_EQ(0, mpl::MdbFindNearestJunction(engine, query, line, junction, 5, restrictedCrossings));
  EXPECT_EQ(RoadAt(0, 0).lon, junction.point.lon);
  ASSERT_EQ(2u, junction.entries.size());
  EXPECT_EQ(mpl::kMdbNone, junction.entries[0].label);
  EXPECT_EQ(1, engine.level);
  engine.level = 0;
  ASSERT_EQ(0, mpl::MdbFindNearestJunction(engine, RoadAt(1, 51), line, junction, 5, restrictedCrossings));
  EXPECT_EQ(RoadAt(0, 52).lon, junction.point.lon);
  // Where E crosses R1, only when crossings count.
  const MdbPoint_t nearCrossing = RoadAt(1, 51);
  ASSERT_EQ(0, mpl::MdbFindNearestJunction(engine, nearCrossing, line, junction, 5, 0));
  EXPECT_EQ(RoadAt(0, 8).lon, junction.point.lon);
  ASSERT_EQ(0, mpl::MdbFindNearestJunction(engine, nearCrossing, line, junction, 5, mpl::kMdbJunctionCrossings));
  EXPECT_EQ(roadtest::kLat, junction.point.lat);
  EXPECT_EQ(RoadAt(0, 52).lon, junction.point.lon);
  ASSERT_EQ(2u, junction.entries.size());
  EXPECT_EQ(4, junction.entries[1].type);
  // At the point itself, with the nearest line given (R1 on level 0).
  ASSERT_EQ(0, mpl::MdbFindNearestJunction(engine, RoadAt(0, 8), line, junction, 5, mpl::kMdbJunctionHere));
  EXPECT_EQ(RoadAt(0, 8).lon, junction.point.lon);
  EXPECT_EQ(3, mpl::MdbFindNearestJunction(engine, RoadAt(0, 30), line, junction, 5, mpl::kMdbJunctionHere));
}

}  // namespace
