// The product generator of the test kit: what its images hold, read back
// through the map reader, and the product it registers.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "mpl/MPL_Map.h"
#include "mpl/MPL_MapDirectory.h"
#include "mpl/MPL_MapsDatabase.h"
#include "mpl/MPL_Utilities.h"
#include "tdb/TDB_ProductDir.h"
#include "tdb/TDB_Registry.h"
#include "tests/common/TestEnv.h"
#include "tests/imgkit/MarineBuilder.h"
#include "tests/imgkit/ProductBuilder.h"
#include "tests/imgkit/ProductGenerator.h"

namespace {

constexpr std::int32_t kDeg = 11930465;  // semicircles per degree, about

geo::Box_t World() { return geo::Box_t(0x3FFFFFFF, -0x3FFFFFFF, 0x7FFFFFFF, static_cast<std::int32_t>(0x80000000)); }

struct Found_t {
  std::uint16_t type;
  std::string label;
  std::size_t points;
  bool operator<(const Found_t& o) const { return std::tie(type, label) < std::tie(o.type, o.label); }
};

std::vector<Found_t> Areas(mpl::Map_t& map, unsigned bits, const mpl::Filter_t& filter = mpl::Filter_t()) {
  std::vector<Found_t> found;
  for (const mpl::Area_t& a : map.AreaSearch(mpl::Criteria_t(static_cast<int>(bits), World(), filter)))
    found.push_back({a.record.type, map.GetAreaLabel(a.record, 0), a.record.points.size()});
  std::sort(found.begin(), found.end());
  return found;
}

imgkit::GenProduct_t TwoTiles() {
  imgkit::GenProduct_t spec;
  spec.productId = 0;
  imgkit::GenTile_t& a = spec.tiles.emplace_back();
  a.id = 12;
  a.map.box = {kDeg / 4, kDeg / 4, 0, 0};
  a.map.areas.push_back({0x4e, "PARK", imgkit::RingInBox({kDeg / 8, kDeg / 8, 0, 0}, 40)});
  a.map.lines.push_back({0x06, "MAIN ST", {{kDeg / 16, kDeg / 32}, {kDeg / 16, kDeg / 5}}, true});
  a.map.lines.push_back({0x1f, "CREEK", {{kDeg / 5, kDeg / 32}, {kDeg / 6, kDeg / 6}, {kDeg / 7, kDeg / 5}}});
  a.map.points.push_back({0x2f, "CAFE", {kDeg / 10, kDeg / 10}, std::uint8_t{3}});
  imgkit::LightBlock_t light;
  light.colour = 1;
  light.range = 12;
  a.map.marine.push_back({0x01, 0x02, "BUOY", {kDeg / 9, kDeg / 9}, imgkit::LightAttr(light)});
  a.map.dem = imgkit::SlopeDem(a.map.box);
  imgkit::GenTile_t& b = spec.tiles.emplace_back();
  b.id = 7;
  b.map.box = {kDeg / 4, kDeg / 2, 0, kDeg / 4};
  b.coverage = {{kDeg / 4, kDeg / 4}, {kDeg / 4, kDeg / 2}, {0, kDeg / 3}};
  b.inUpdates = true;
  b.upperCaseExtension = true;
  return spec;
}

TEST(ProductGeneratorTest, WritesAnInstalledProductWithBasemapAndTiles) {
  const std::string root = test::MakeTempDir("generated");
  const imgkit::GeneratedProduct_t product = imgkit::WriteProduct(TwoTiles(), root);
  EXPECT_EQ(product.folder + "/00000012.img", product.tilePaths.at(12));
  EXPECT_EQ(product.updatesFolder + "/00000007.IMG", product.tilePaths.at(7));

  const tdb::Registry_t registry;
  const tdb::ProductDir_t products(registry);
  imgkit::MachineHive_t::WriteEmpty();
  EXPECT_EQ(0u, products.GetDefaultProductId());
  EXPECT_EQ("GENERATED TRAILS", products.GetProduct(0).GetName());
  EXPECT_EQ(product.folder, products.GetProduct(0).GetLoc());

  // The basemap: one 0x4a polygon per tile, labelled with its number.
  const mpl::ImageSource_t base(product.basemapPath, true, "", nullptr, plat::kInvalidHandle, 8);
  mpl::Map_t basemap(base, mpl::SelectMapName(base, geo::Position_t(kDeg / 8, kDeg / 8), 20), "");
  EXPECT_EQ(0x00F00001u, basemap.GetMapId());
  const std::vector<Found_t> coverage = Areas(basemap, 20, mpl::Filter_t(mpl::FilterEntry_t{0x4a, 0xFFFFFFFF}, 1));
  ASSERT_EQ(2u, coverage.size());
  EXPECT_EQ("12", coverage[0].label);
  EXPECT_EQ(4u, coverage[0].points);
  EXPECT_EQ("7", coverage[1].label);
  EXPECT_EQ(3u, coverage[1].points);

  // A tile, found among the updates by the product's image lookup.
  mpl::MapDirectory_t directory;
  mpl::ProductImageEnv_t env;
  env.products = &products;
  env.registry = &registry;
  env.directory = &directory;
  mpl::Map_t seven = mpl::OpenMapAt("00000007", geo::Position_t(kDeg / 8, kDeg / 3), "", 24, env);
  ASSERT_TRUE(seven.IsOpen());
  EXPECT_EQ(7u, seven.GetMapId());
  EXPECT_EQ(1u, Areas(seven, 24).size());  // its own coverage area only

  mpl::Map_t twelve = mpl::OpenMapAt("00000012", geo::Position_t(kDeg / 8, kDeg / 8), "", 24, env);
  ASSERT_TRUE(twelve.IsOpen());
  const mpl::MapInfo_t info = twelve.GetMapInfo();
  ASSERT_EQ(2u, info.levelCount);
  EXPECT_EQ(24u, info.levelBits[0]);
  EXPECT_EQ(22u, info.levelBits[1]);
  EXPECT_TRUE(twelve.HasDem());
  for (const unsigned bits : {24u, 22u}) {
    const std::vector<Found_t> areas = Areas(twelve, bits);
    ASSERT_EQ(2u, areas.size()) << bits;
    EXPECT_EQ(0x4b, areas[0].type);  // the tile's coverage
    EXPECT_EQ(4u, areas[0].points);
    EXPECT_EQ("PARK", areas[1].label);
    EXPECT_EQ(40u, areas[1].points);
  }
  const mpl::Criteria_t all(24, World(), mpl::Filter_t());
  std::vector<std::pair<std::uint16_t, std::string>> points;
  for (const mpl::Point_t& p : twelve.PointSearch(all))
    points.push_back({p.record.type, twelve.GetPointLabel(p.record, 0).first});
  std::sort(points.begin(), points.end());
  ASSERT_EQ(2u, points.size());
  EXPECT_EQ("CAFE", points[0].second);
  EXPECT_EQ(0x101u, points[1].first);
  EXPECT_EQ("BUOY", points[1].second);
  std::vector<std::string> lines;
  for (const mpl::Line_t& l : twelve.LineSearch(all))
    lines.push_back(twelve.GetLineLabel(l.record, 0).first);
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ((std::vector<std::string>{"CREEK", "MAIN ST"}), lines);
}

TEST(ProductGeneratorTest, RefusesWhatAMapCannotHold) {
  imgkit::GenMap_t map;
  map.name = "TOOLARGE";
  map.box = {2 * kDeg, 2 * kDeg, 0, 0};  // wider than 24-bit units reach
  EXPECT_THROW(map.Files(), std::invalid_argument);
  map.box = {kDeg / 4, kDeg / 4, 0, 0};
  map.points.push_back({0x2f, "OUT", {kDeg, 0}, std::nullopt});
  EXPECT_THROW(map.Files(), std::invalid_argument);
  map.points.clear();
  // A road record keeps one byte of its line's index.
  for (int i = 0; i < 254; ++i) map.lines.push_back({0x1f, "", {{0, 0}, {kDeg / 8, kDeg / 8}}});
  map.lines.push_back({0x06, "LATE ST", {{0, 0}, {kDeg / 8, 0}}, true});
  EXPECT_NO_THROW(map.Files());
  map.lines.insert(map.lines.begin(), map.lines.front());
  EXPECT_THROW(map.Files(), std::invalid_argument);
}

}  // namespace
