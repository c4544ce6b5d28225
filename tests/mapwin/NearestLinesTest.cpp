// The searches for lines, road junctions and named points near a query on a
// generated basemap, and the order of the hover's stages: point or junction,
// then line, then area.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "map/MAP_FeatureFilters.h"
#include "map/MAP_Nearest.h"
#include "map/MAP_Registry.h"
#include "map/MAP_Window.h"
#include "mat/MAT_UnitConverterTable.h"
#include "mpl/MPL_EngineImage.h"
#include "mpl/MPL_MapDirectory.h"
#include "mpl/MPL_MapsDatabase.h"
#include "tdb/TDB_ProductDir.h"
#include "tdb/TDB_Registry.h"
#include "tests/common/TestEnv.h"
#include "tests/common/TestResources.h"
#include "tests/imgkit/HouseNumberStream.h"
#include "tests/imgkit/MarineBuilder.h"
#include "tests/imgkit/ProductBuilder.h"
#include "tests/imgkit/ProductGenerator.h"
#include "tests/mapwin/MapWinTestUtil.h"

namespace {

constexpr std::int32_t U = 0x10000;
constexpr std::int32_t S = U / 64;  // the query radius of most cases

imgkit::GenPos_t At(std::int32_t lat, std::int32_t lon) { return imgkit::GenPos_t{lat, lon}; }

// A basemap under a park: Main St in two lines west and east of (U, U) where
// High St leaves it to the north; an unnamed road in two lines meeting at (U, 2U); a
// contour of 1000 ft and one whose label is no number; a spot height of
// 1000 ft and a named point near the roads; Elm St eastwards with even house
// numbers from 100 on its left and odd ones from 101 on its right; two marine
// lines of 5 m, a depth contour and a line of soundings.
imgkit::GenProduct_t Product() {
  imgkit::GenProduct_t spec;
  spec.basemap.box = {2 * U, 3 * U, 0, 0};
  spec.basemap.areas.push_back({0x4e, "PARK", imgkit::BoxOutline({2 * U - 8, 3 * U - 8, 8, 8})});
  auto road = [&](const char* label, imgkit::GenPos_t a, imgkit::GenPos_t b) {
    spec.basemap.lines.push_back({0x06, label, {a, b}, true});
  };
  road("MAIN ST", At(U, U / 2), At(U, U));
  road("MAIN ST", At(U, U), At(U, 3 * U / 2));
  road("HIGH ST", At(U, U), At(3 * U / 2, U));
  road("", At(U / 2, 2 * U), At(U, 2 * U));
  road("", At(U, 2 * U), At(3 * U / 2, 2 * U));
  imgkit::HouseNumberStream_t numbers(true);
  numbers.Header(8, 0, 8, 0, 100, 8);
  numbers.Parity(1, 2);
  numbers.Numbers(0, 20, 1, 20);
  spec.basemap.lines.push_back({0x06, "ELM ST", {At(7 * U / 4, U / 4), At(7 * U / 4, U)}, true, numbers.Bytes()});
  spec.basemap.marineLines.push_back({0x03, 1, "", {At(U / 8, 2 * U), At(U / 8, 5 * U / 2)}, imgkit::AttrShort(0x45)});
  spec.basemap.marineLines.push_back({0x01, 5, "", {At(3 * U / 8, 9 * U / 4), At(3 * U / 8, 11 * U / 4)},
                                      imgkit::AttrShort(0x45)});
  spec.basemap.lines.push_back({0x20, "1000", {At(U / 4, U / 4), At(U / 4, U)}, false});
  spec.basemap.lines.push_back({0x20, "PEAK", {At(U / 2, U / 4), At(U / 2, U)}, false});
  spec.basemap.points.push_back({0x63, "1000", At(7 * U / 4, 5 * U / 2), {}});
  spec.basemap.points.push_back({0x2f, "CAFE", At(U + S / 2, U + S / 2), {}});
  return spec;
}

class NearestLinesTest : public mapwintest::ProductWindowTest {
 protected:
  void SetUp() override {
    MapWinTest::SetUp();
    test::UseTestResources();
    OpenProduct(Product(), "nearlines", std::make_unique<Window>(), S / 8.0, geo::Position_t(U, U));
  }
  // The query at a position with the given radius, over the basemap alone.
  map::Nearest_t Query(std::int32_t lat, std::int32_t lon, std::int32_t radius = S) {
    const geo::Position_t p(lat, lon);
    map::Nearest_t q = m_window->MakeNearestQuery(geo::Circle_t(p, radius));
    q.point = p;
    q.distance = radius;
    return q;
  }
  map::NrstFeature_t Hover(std::int32_t lat, std::int32_t lon) {
    View(S / 8.0, geo::Position_t(lat, lon));
    return m_window->FindNearestFeatureAt(Pixel(geo::Position_t(lat, lon)), false);
  }

  class Window : public mapwintest::TestWindow {
   public:
    map::NrstFeature_t FindNearestFeatureAt(plat::POINT p, bool hover) override {
      return map::Window_t::FindNearestFeatureAt(p, hover);
    }
  };

  mapwintest::MetricUnits_t m_units;
};

map::NrstResult_t Nearest(map::Nearest_t q) { return q.FindNearestLine(true); }

TEST_F(NearestLinesTest, NearestLineWithItsNameOrValue) {
  struct Case {
    const char* what;
    std::int32_t lat, lon;
    std::string name, value;
    std::uint16_t type;
    std::int32_t lineLat;
  };
  const std::vector<Case> cases{
      {"a road by its label", U - S / 2, 3 * U / 4, "Main St", "", 0x06, U},
      {"a contour in the user's elevation unit", U / 4 + S / 2, U / 2, "305 m", "305", 0x20, U / 4},
      {"a contour label that is no number", U / 2 + S / 2, U / 2, "", "", 0x20, U / 2},
      {"a marine depth line", U / 8 + S / 2, 9 * U / 4, "Depth 5.0 m", "5.0", 0x43, U / 8},
      {"a marine line of soundings", 3 * U / 8 + S / 2, 5 * U / 2, "Sounding 5.0 m", "5.0", 0x41, 3 * U / 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const map::NrstResult_t r = Nearest(Query(c.lat, c.lon));
    EXPECT_EQ(r.name, c.name);
    EXPECT_EQ(r.valueText, c.value);
    EXPECT_FALSE(r.address);
    EXPECT_EQ(r.ref.type, c.type);
    ASSERT_TRUE(r.ref.HasMap());
    EXPECT_NE(r.ref.reference, -1);
    EXPECT_EQ(r.mapId, static_cast<std::int32_t>(m_window->GetBasemap().GetMapId()));
    // The distance to the query, not that of the line's own nearest point.
    EXPECT_NEAR(static_cast<double>(r.distance), S / 2.0, 2.0);
    EXPECT_NEAR(r.position.GetLatitude(), c.lineLat, 2);
  }
}

// A road with house numbers: with addresses the nearest line is the number
// on the query's side and the street; without, the street alone.
TEST_F(NearestLinesTest, AddressesOnEitherSideOfARoad) {
  struct Case {
    const char* what;
    std::int32_t lat;
    bool addresses;
    std::string name, street;
  };
  const std::int32_t quarter = U / 4 + 3 * U / 16;
  const std::vector<Case> cases{
      {"left of the road: the even side", 7 * U / 4 + S / 2, true, "104 Elm St", "Elm St"},
      {"right of the road: the odd side", 7 * U / 4 - S / 2, true, "105 Elm St", "Elm St"},
      {"without addresses", 7 * U / 4 + S / 2, false, "Elm St", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const map::NrstResult_t r = Query(c.lat, quarter).FindNearestLine(c.addresses);
    EXPECT_EQ(r.name, c.name);
    EXPECT_EQ(r.address, c.addresses);
    EXPECT_EQ(r.street, c.street);
    EXPECT_TRUE(r.valueText.empty());
    EXPECT_EQ(r.ref.type, 0x06);
    EXPECT_NEAR(static_cast<double>(r.distance), S / 2.0, 2.0);
  }
}

// A second map with the basemap's roads under other names: of equal
// distances the nearest line is the first map's, the junction the later map's.
TEST_F(NearestLinesTest, EqualDistancesInTwoMaps) {
  imgkit::GenTile_t twin;
  twin.id = 99;
  twin.map.levelBits = {20, 18};
  twin.map.box = {2 * U, 3 * U, 0, 0};
  twin.map.lines.push_back({0x06, "WEST ROW", {::At(U, U / 2), ::At(U, U)}, true});
  twin.map.lines.push_back({0x06, "WEST ROW", {::At(U, U), ::At(U, 3 * U / 2)}, true});
  twin.map.lines.push_back({0x06, "NORTH ROW", {::At(U, U), ::At(3 * U / 2, U)}, true});
  const std::string path = test::MakeTempDir("twin") + "/twin.img";
  test::WriteFile(path, imgkit::TileImage(twin));
  const mpl::ImageSource_t image(path, true, "", nullptr, plat::kInvalidHandle, 8);
  const mpl::Map_t second(image, mpl::SelectMapName(image, geo::Position_t(U, U), 20), "");
  ASSERT_TRUE(second.IsOpen());

  for (const bool basemapFirst : {true, false}) {
    SCOPED_TRACE(basemapFirst);
    const auto twoMaps = [&](std::int32_t lat, std::int32_t lon) {
      map::Nearest_t q = Query(lat, lon);
      map::NearestMap_t other{second, true, true, true};
      if (basemapFirst) q.tiles.push_back(other);
      else q.tiles.insert(q.tiles.begin(), other);
      return q;
    };
    const map::NrstResult_t line = twoMaps(U - S / 2, 3 * U / 4).FindNearestLine(false);
    EXPECT_EQ(line.name, basemapFirst ? "Main St" : "West Row");
    const map::NrstHit_t junction = twoMaps(U + S / 4, U + S / 4).FindNearestJunction();
    EXPECT_EQ(junction.texts, basemapFirst ? (std::vector<std::string>{"West Row", "North Row"})
                                           : (std::vector<std::string>{"Main St", "High St"}));
  }
}

TEST_F(NearestLinesTest, NothingWithinTheRadius) {
  // The road lies S/2 away: out of reach of a radius of S/4.
  map::Nearest_t q = Query(U - S / 2, 3 * U / 4, S / 4);
  EXPECT_TRUE(q.CollectNearbyLines(true, map::GetNearbyLineFilter()).empty());
  const map::NrstResult_t none = q.FindNearestLine(true);
  EXPECT_TRUE(none.name.empty());
  EXPECT_EQ(none.distance, 0u);
  EXPECT_EQ(none.ref.reference, -1);
  EXPECT_FALSE(none.ref.HasMap());
  EXPECT_TRUE(q.FindNearestJunction().texts.empty());
  const map::NrstText_t named = q.FindNearestNamed("", map::GetNamedPointFilter().Union(m_window->GetPointFilter()));
  EXPECT_TRUE(named.text.empty());
  EXPECT_EQ(named.distance, 0u);
  EXPECT_EQ(named.ref.reference, -1);
  // The lines flag off leaves the map out.
  map::Nearest_t off = Query(U - S / 2, 3 * U / 4);
  off.tiles[0].lines = false;
  EXPECT_TRUE(off.CollectNearbyLines(true, map::GetNearbyLineFilter()).empty());
}

TEST_F(NearestLinesTest, JunctionWithTheDistinctNamesOfItsRoads) {
  struct Case {
    const char* what;
    std::int32_t lat, lon;
    std::vector<std::string> texts;
  };
  const std::vector<Case> cases{
      {"two lines of one street meet a second street", U + S / 4, U + S / 4, {"Main St", "High St"}},
      {"roads without labels: the one generic name", U + S / 4, 2 * U + S / 4, {"Road"}},
      {"a road without a junction in reach", U, U / 2 + S, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const map::NrstHit_t hit = Query(c.lat, c.lon).FindNearestJunction();
    EXPECT_EQ(hit.texts, c.texts);
    if (c.texts.empty()) continue;
    EXPECT_EQ(hit.position.GetLatitude(), U);
    EXPECT_NEAR(static_cast<double>(hit.distance), S / 4 * 1.414, 4.0);
    EXPECT_EQ(hit.ref.type, 0x06);
    EXPECT_TRUE(hit.ref.HasMap());
  }
}

TEST_F(NearestLinesTest, NamedPointsWithTheirTexts) {
  const mpl::Filter_t filter = map::GetNamedPointFilter().Union(m_window->GetPointFilter());
  // A spot height of 1000 ft is 304.8 m.
  const map::NrstText_t height = Query(7 * U / 4 + S / 4, 5 * U / 2).FindNearestNamed("", filter);
  EXPECT_EQ(height.text, "305 m");
  EXPECT_EQ(height.shortText, "305");
  EXPECT_EQ(height.ref.type, 0x63);
  EXPECT_NEAR(static_cast<double>(height.distance), S / 4.0, 2.0);

  map::Nearest_t q = Query(U + S / 4, U + S / 4);
  const std::vector<map::NrstText_t> cafe = q.SearchNameNear(filter, "CAF", 25);
  ASSERT_EQ(cafe.size(), 1u);
  EXPECT_EQ(cafe[0].text, "Cafe");
  EXPECT_NEAR(static_cast<double>(cafe[0].distance), S / 4 * 1.414, 4.0);
  EXPECT_EQ(cafe[0].ref.type, 0x2f);
  EXPECT_TRUE(cafe[0].ref.HasMap());
  EXPECT_TRUE(q.SearchNameNear(filter, "INN", 25).empty());
}

TEST_F(NearestLinesTest, HoverStagesInOrder) {
  struct Case {
    const char* what;
    std::int32_t lat, lon;
    int kind;
    std::string first;
  };
  const std::vector<Case> cases{
      {"a named point before the junction and the lines", U + S / 4, U + S / 4, map::NrstFeature_t::Kind_Point,
       "Cafe"},
      {"a junction before the roads", U + S / 4, 2 * U + S / 4, map::NrstFeature_t::Kind_Junction, "Road"},
      {"a road before the park under it", U - S / 2, 3 * U / 4, map::NrstFeature_t::Kind_Line, "Main St"},
      {"a contour without a value falls through to the area", U / 2 + S / 2, U / 2, map::NrstFeature_t::Kind_Area,
       "Park"},
      {"nothing near: the area", 3 * U / 2, 5 * U / 2, map::NrstFeature_t::Kind_Area, "Park"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const map::NrstFeature_t f = Hover(c.lat, c.lon);
    EXPECT_EQ(f.kind, c.kind);
    ASSERT_FALSE(f.lines.empty());
    EXPECT_EQ(f.lines[0], c.first);
  }
}

TEST_F(NearestLinesTest, SearchStateOfTheMapIsPutBack) {
  map::Nearest_t q = Query(U + S / 4, U + S / 4);
  mpl::Map_t& m = q.tiles.at(0).map;
  const geo::Box_t box(U, 0, U, 0);
  m.SetSearchBox(box);
  const mpl::Filter_t lines(mpl::FilterEntry_t{0x50, mpl::Filter_t::kAnySubtype}, 1);
  const mpl::Filter_t points(mpl::FilterEntry_t{0x51, mpl::Filter_t::kAnySubtype}, 2);
  m.SetLineFilter(lines);
  m.SetPointFilter(points);
  const unsigned level = m.GetDetailLevel();
  const geo::Box_t before = m.GetSearchBox();
  EXPECT_FALSE(q.CollectNearbyLines(true, map::GetNearbyLineFilter()).empty());
  EXPECT_FALSE(q.FindNearestJunction().texts.empty());
  EXPECT_FALSE(q.SearchNameNear(map::GetNamedPointFilter().Union(m_window->GetPointFilter()), "", 25).empty());
  EXPECT_EQ(m.GetDetailLevel(), level);
  EXPECT_EQ(m.GetSearchBox().GetNorth(), before.GetNorth());
  EXPECT_EQ(m.GetSearchBox().GetSouth(), before.GetSouth());
  EXPECT_EQ(m.GetSearchBox().GetEast(), before.GetEast());
  EXPECT_EQ(m.GetLineFilter(), lines);
  EXPECT_EQ(m.GetPointFilter(), points);
}

}  // namespace
