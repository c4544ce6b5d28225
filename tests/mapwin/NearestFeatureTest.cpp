// The nearest-feature search of the map window over a generated product: the
// maps a query searches, the area stage's hit list before the areas always
// listed, the hover giving up on input, the maps' search state put back, and
// the empty result without a basemap.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#include "map/MAP_Nearest.h"
#include "map/MAP_Registry.h"
#include "map/MAP_Window.h"
#include "mpl/MPL_Level.h"
#include "mpl/MPL_MapDirectory.h"
#include "mpl/MPL_MapsDatabase.h"
#include "mpl/MPL_Marine.h"
#include "plat/PLAT_InputProbe.h"
#include "tdb/TDB_ProductDir.h"
#include "tdb/TDB_Registry.h"
#include "tests/common/TestEnv.h"
#include "tests/common/TestResources.h"
#include "tests/imgkit/ProductBuilder.h"
#include "tests/imgkit/ProductGenerator.h"
#include "tests/mapwin/MapWinTestUtil.h"

namespace {

constexpr std::int32_t U = 0x10000;

// A basemap of 2U by 3U with a lake (0x28, hit list 4) and a town (0x01, hit
// list 8) over the same square and a park (0x4e, always listed) inside it;
// a tile of U by U at the south-west corner with a city (0x01).
imgkit::GenProduct_t Product(bool unclipped) {
  imgkit::GenProduct_t spec;
  spec.basemapUnclipped = unclipped;
  spec.basemap.box = {2 * U, 3 * U, 0, 0};
  const imgkit::GenBox_t square{2 * U - U / 8, 3 * U - U / 8, U / 8, U / 8};
  spec.basemap.areas.push_back({0x01, "TOWN", imgkit::BoxOutline(square)});
  spec.basemap.areas.push_back({0x28, "LAKE", imgkit::BoxOutline(square)});
  spec.basemap.areas.push_back({0x4e, "PARK", imgkit::BoxOutline({7 * U / 4, 11 * U / 4, 5 * U / 4, 3 * U / 2})});
  imgkit::GenTile_t& t = spec.tiles.emplace_back();
  t.id = 3;
  t.map.box = {U, U, 0, 0};
  t.map.areas.push_back({0x01, "CITY", imgkit::BoxOutline({U - U / 8, U - U / 8, U / 8, U / 8})});
  return spec;
}

// The test window with the base's search; 'product', when set, stands in
// for the current product.
class SearchWindow : public mapwintest::TestWindow {
 public:
  std::optional<tdb::Product_t> product;
  map::NrstFeature_t FindNearestFeatureAt(plat::POINT p, bool hover) override {
    return map::Window_t::FindNearestFeatureAt(p, hover);
  }
  const tdb::Product_t& CurrentProduct() const override {
    return product ? *product : map::Window_t::CurrentProduct();
  }
};

// A product whose description keeps the basemap's areas and points off under
// detail maps (option bytes 2 and 4 zero) and clips the basemap; detail maps
// from 24 detail bits or where the basemap has none.
tdb::Product_t BasemapAreasAndPointsOff() {
  imgkit::ProductFile_t file;
  file.header.optionBytes = {24, 0, 1, 0, 0, 0, 0, 0, 0, 0};
  return mapwintest::ReadProduct(file);
}

class NearestFeatureTest : public mapwintest::ProductWindowTest {
 protected:
  void MakeSearchWindow() {
    m_window = std::make_unique<SearchWindow>();
    ASSERT_TRUE(m_window->CreateMapWindow(&m_frame, 1, plat::RECT{0, 0, 400, 300}));
    Paint();
  }
  // The product in a search window viewed at 'scale' around 'centre'. At 256
  // semicircles a pixel detail maps show, and the tile covers the client
  // area left of x 200 when the view is centred at (U/2, U); at 4096 the
  // basemap shows alone.
  void Open(const geo::Position_t& centre, double scale, bool unclipped = false) {
    OpenProduct(Product(unclipped), "nearest", std::make_unique<SearchWindow>());
    if (HasFatalFailure()) return;
    View(scale, centre);
  }
  map::Nearest_t Query(const geo::Position_t& p) {
    return m_window->MakeNearestQuery(m_window->GetProjector().PointToSearchArea(Pixel(p), 8));
  }

  static inline const geo::Position_t kInPark{3 * U / 2, 2 * U};
};

TEST_F(NearestFeatureTest, NoBasemapFindsNothing) {
  MakeSearchWindow();
  const map::NrstFeature_t found = m_window->FindNearestFeatureAt(plat::POINT{100, 100}, false);
  EXPECT_EQ(found.kind, map::NrstFeature_t::Kind_None);
  EXPECT_TRUE(found.lines.empty());
  EXPECT_EQ(found.ref.reference, -1);
  EXPECT_TRUE(m_window->MakeNearestQuery(geo::Circle_t(geo::Position_t(0, 0), 100)).tiles.empty());
}

TEST_F(NearestFeatureTest, QueryMapsFollowTilesAndTheUnclippedByte) {
  struct Case {
    bool unclipped;
    geo::Position_t at;
    std::vector<std::uint32_t> maps;  // 0: the basemap, else the tile
  };
  const geo::Position_t inTile(U / 2, U / 2 + U / 4), outside(U / 2, U + U / 2);
  for (const Case& c : {Case{false, inTile, {3}}, Case{false, outside, {0}}, Case{true, inTile, {3, 0}}}) {
    SCOPED_TRACE(testing::Message() << c.unclipped << " " << c.at.GetLongitude());
    Open(geo::Position_t(U / 2, U), 256.0, c.unclipped);
    ASSERT_TRUE(m_window->ShowsDetailMaps());
    ASSERT_EQ(m_window->GetCache().GetTiles().size(), 1u);
    const std::uint32_t basemapId = m_window->GetBasemap().GetMapId();
    const std::uint32_t tileId = m_window->GetCache().GetTiles()[0].GetMap().GetMapId();
    const map::Nearest_t q = Query(c.at);
    ASSERT_EQ(q.tiles.size(), c.maps.size());
    for (std::size_t i = 0; i < q.tiles.size(); ++i) {
      EXPECT_EQ(q.tiles[i].map.GetMapId(), c.maps[i] == 0 ? basemapId : tileId);
      EXPECT_TRUE(q.tiles[i].areas && q.tiles[i].lines && q.tiles[i].points);
    }
    EXPECT_EQ(q.level, m_window->GetProjector().GetDetailBits());
    EXPECT_EQ(q.distance, m_window->GetProjector().PixelsToUnits(8));
    m_window.reset();
  }
}

TEST_F(NearestFeatureTest, AreaOfTheEarlierFilterThenEveryListedArea) {
  Open(kInPark, 4096.0);  // zoomed out: the basemap alone
  const map::NrstFeature_t found = m_window->FindNearestFeatureAt(Pixel(kInPark), false);
  EXPECT_EQ(found.kind, map::NrstFeature_t::Kind_Area);
  EXPECT_EQ(found.lines, (std::vector<std::string>{"Lake", "Park"}));
  EXPECT_EQ(found.ref.type, 0x28);
  EXPECT_FALSE(found.HasPosition());

  map::Nearest_t q = Query(kInPark);
  const std::vector<map::NrstLink_t> links = q.FindFeaturesAt();
  ASSERT_EQ(links.size(), 2u);
  EXPECT_EQ(links[0].text, "Lake");
  EXPECT_EQ(links[0].ref.type, 0x28);
  EXPECT_EQ(links[1].text, "Park");
  EXPECT_EQ(links[1].ref.type, 0x4e);
  EXPECT_NE(links[0].ref.reference, links[1].ref.reference);

  // Outside the park only the lake.
  const geo::Position_t lakeOnly(U / 2, U / 2);
  EXPECT_EQ(m_window->FindNearestFeatureAt(Pixel(lakeOnly), false).lines, std::vector<std::string>{"Lake"});
}

TEST_F(NearestFeatureTest, BasemapLayersFollowTheProductUnderDetailMaps) {
  Open(kInPark, 4096.0);
  static_cast<SearchWindow&>(*m_window).product = BasemapAreasAndPointsOff();
  struct Case {
    double scale;  // 256: detail maps shown; 4096: the basemap alone
    bool areas, points;
  };
  for (const Case& c : {Case{256.0, false, false}, Case{4096.0, true, true}}) {
    SCOPED_TRACE(c.scale);
    View(c.scale, kInPark);
    ASSERT_EQ(m_window->ShowsDetailMaps(), c.scale < 1000);
    const map::Nearest_t q = Query(kInPark);
    ASSERT_EQ(q.tiles.size(), 1u);  // no tile covers the park
    EXPECT_EQ(q.tiles[0].areas, c.areas);
    EXPECT_TRUE(q.tiles[0].lines);
    EXPECT_EQ(q.tiles[0].points, c.points);
    EXPECT_EQ(m_window->FindNearestFeatureAt(Pixel(kInPark), false).kind,
              c.areas ? map::NrstFeature_t::Kind_Area : map::NrstFeature_t::Kind_None);
  }
}

TEST_F(NearestFeatureTest, NamedPointOrJunctionFirstStage) {
  test::UseTestResources();  // the point symbols
  Open(kInPark, 4096.0);
  const mpl::Map_t& basemap = m_window->GetBasemap();
  struct Case {
    const char* name;
    std::string pointText;
    std::uint32_t pointDistance;
    std::vector<std::string> junctionNames;
    std::uint32_t junctionDistance;
    int kind;
    std::string first;
  };
  const std::vector<Case> cases{
      {"equal distances keep the point", "SUMMIT", 50, {"MAIN ST", "HIGH ST"}, 50, map::NrstFeature_t::Kind_Point,
       "SUMMIT"},
      {"a nearer junction wins", "SUMMIT", 50, {"MAIN ST"}, 49, map::NrstFeature_t::Kind_Junction, "MAIN ST"},
      {"a junction without names loses", "SUMMIT", 50, {}, 1, map::NrstFeature_t::Kind_Point, "SUMMIT"},
      {"no point text: the junction", "", 1, {"MAIN ST"}, 0xFFFFFFF0u, map::NrstFeature_t::Kind_Junction,
       "MAIN ST"},
      {"nothing", "", 1, {}, 1, map::NrstFeature_t::Kind_None, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    map::NrstText_t named;
    named.text = c.pointText;
    named.distance = c.pointDistance;
    named.point.type = 0x2f;
    named.ref = map::FeatureRef_t(1, &basemap, 0x2f, 0);
    map::NrstHit_t junction;
    junction.texts = c.junctionNames;
    junction.distance = c.junctionDistance;
    junction.ref = map::FeatureRef_t(2, &basemap, 0x06, 0);
    const map::NrstFeature_t f = map::ChooseNamedOrJunction(*m_window, named, junction);
    EXPECT_EQ(f.kind, c.kind);
    if (c.first.empty()) {
      EXPECT_TRUE(f.lines.empty());
    } else {
      ASSERT_FALSE(f.lines.empty());
      EXPECT_EQ(f.lines[0], c.first);
    }
  }
}

TEST_F(NearestFeatureTest, FirstMapInQueryOrderWinsOverAnEarlierFilter) {
  // Unclipped: the tile, then the basemap. The tile's city (a later filter)
  // comes before the basemap's lake.
  Open(geo::Position_t(U / 2, U), 256.0, true);
  const geo::Position_t inCity(U / 2, U / 2 + U / 4);
  const map::NrstFeature_t found = m_window->FindNearestFeatureAt(Pixel(inCity), false);
  EXPECT_EQ(found.kind, map::NrstFeature_t::Kind_Area);
  EXPECT_EQ(found.lines, std::vector<std::string>{"City"});
  EXPECT_EQ(found.ref.type, 0x01);
  ASSERT_TRUE(found.ref.HasMap());
  EXPECT_EQ(found.ref.GetMap().GetMapId(), m_window->GetCache().GetTiles().at(0).GetMap().GetMapId());
}

TEST_F(NearestFeatureTest, AreasFlagOffSkipsTheMap) {
  Open(kInPark, 4096.0);
  map::Nearest_t q = Query(kInPark);
  ASSERT_EQ(q.tiles.size(), 1u);
  q.tiles[0].areas = false;
  EXPECT_TRUE(q.FindFeatureAt().texts.empty());
  EXPECT_TRUE(q.FindFeaturesAt().empty());
}

TEST_F(NearestFeatureTest, SearchStateOfEachMapIsPutBack) {
  Open(kInPark, 4096.0);
  map::Nearest_t q = Query(kInPark);
  ASSERT_EQ(q.tiles.size(), 1u);
  mpl::Map_t& m = q.tiles[0].map;
  mpl::MdbSelectLevel(m.Engine(), 18, 0);
  const geo::Box_t box(U, 0, U, 0);
  m.SetSearchBox(box);
  const mpl::Filter_t filter(mpl::FilterEntry_t{0x50, mpl::Filter_t::kAnySubtype}, 0);
  m.SetAreaFilter(filter);
  const unsigned level = m.GetDetailLevel();
  const geo::Box_t before = m.GetSearchBox();
  EXPECT_EQ(q.FindFeatureAt().texts.size(), 2u);
  EXPECT_EQ(m.GetDetailLevel(), level);
  EXPECT_EQ(m.GetSearchBox().GetNorth(), before.GetNorth());
  EXPECT_EQ(m.GetSearchBox().GetSouth(), before.GetSouth());
  EXPECT_EQ(m.GetSearchBox().GetNorth(), U);
  EXPECT_EQ(m.GetAreaFilter(), filter);
}

TEST_F(NearestFeatureTest, HoverGivesUpOnInput) {
  Open(kInPark, 4096.0);
  plat::SetCursorPos(m_window->ClientToScreen(Pixel(kInPark)));
  plat::PumpUntilIdle();  // the move that the cursor's placing makes
  if (plat::WindowFromPoint(plat::GetCursorPos()) != m_window->GetSafeHwnd()) GTEST_SKIP() << "no cursor here";
  EXPECT_EQ(m_window->FindNearestFeatureAt(Pixel(kInPark), true).kind, map::NrstFeature_t::Kind_Area);
  plat::PostKey(*m_window, 'A');
  EXPECT_EQ(m_window->FindNearestFeatureAt(Pixel(kInPark), true).kind, map::NrstFeature_t::Kind_None);
  EXPECT_EQ(m_window->FindNearestFeatureAt(Pixel(kInPark), false).kind, map::NrstFeature_t::Kind_Area);
  plat::PumpUntilIdle();
}

// Depth texts of areas with attribute blocks, in metres: a range's ends are
// read unsigned, so all ones is a large depth and not -1.
TEST(NearestAreaText, DepthClasses) {
  const mapwintest::MetricUnits_t metres;
  struct Case {
    std::uint8_t cls;
    std::uint32_t first, second;
    std::vector<std::string> parts;  // each found in the text, in order
  };
  const std::vector<Case> cases{
      {3, static_cast<std::uint32_t>(-25), 0, {"-2.5"}},
      {2, 125, 0, {"12.5"}},
      {13, 0xFFFFFFFFu, 20, {"429496729.5", " - ", "20.0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.cls));
    mpl::Area_t area;
    area.aux.bytes[0] = c.cls;
    area.aux.bytes[4] = 3;  // tenths of a metre
    area.aux.bytes[5] = 3;
    area.aux.bytes[6] = 2;  // metres
    mpl::MdbAuxPut32(area.aux, 8, c.first);
    mpl::MdbAuxPut32(area.aux, 12, c.second);
    const std::string text = map::Nearest_t::GetAreaText(area, mpl::Map_t());
    std::size_t at = 0;
    for (const std::string& part : c.parts) {
      at = text.find(part, at);
      EXPECT_NE(at, std::string::npos) << text << " lacks " << part;
    }
  }
}

}  // namespace
