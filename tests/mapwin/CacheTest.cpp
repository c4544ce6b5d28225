// The map window's detail tiles over generated products: the coverage pass
// over the basemap's tile polygons, tiles opened once and kept across
// renders, their screen regions, tiles sharing the view, the basemap drawn
// unclipped, and the basemap opened with a medium prompt.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "dsk/DSK_Media.h"
#include "dsk/DSK_MediaPrompter.h"
#include "map/MAP_Cache.h"
#include "map/MAP_Window.h"
#include "mpl/MPL_FileMedia.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Folder.h"
#include "plat/PLAT_Gui.h"
#include "tests/common/TestEnv.h"
#include "tests/imgkit/ProductBuilder.h"
#include "tests/imgkit/ProductGenerator.h"
#include "tests/imgkit/RecordingPrompter.h"

namespace {

// 2^16 semicircles: four cells of the basemap's coarsest level, 256 pixels at
// the scale of 256 semicircles a pixel (23 detail bits).
constexpr std::int32_t U = 0x10000;

imgkit::GenTile_t Tile(std::uint32_t id, const imgkit::GenBox_t& box, std::vector<unsigned> levels = {24, 22}) {
  imgkit::GenTile_t t;
  t.id = id;
  t.map.box = box;
  t.map.levelBits = std::move(levels);
  t.map.areas.push_back({0x4e, "PARK", imgkit::BoxOutline({box.north - U / 8, box.east - U / 8, box.south + U / 8,
                                                           box.west + U / 8})});
  return t;
}

// Drive kinds and ticks: every medium made asks for the tick once.
struct System_t : dsk::MediaSystem_t {
  bool removable = false;
  unsigned media = 0;
  bool IsRemovable(const std::string&, std::string& drive) override {
    drive = "/media/card";
    return removable;
  }
  std::uint32_t Tick() override { return ++media * 1000; }
  void Sleep(std::uint32_t, int) override {}
};

using Prompter_t = imgkit::RecordingPrompter_t;

class CacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plat::EnsureGuiApplication());
    m_root = test::MakeTempDir("tilecache");
  }
  void TearDown() override { imgkit::MachineHive_t::WriteEmpty(); }

  // Writes the product, reads the installed products and makes a window
  // (not shown) looking at 'center' at 'scale' through a 400 x 300 client.
  void Install(const imgkit::GenProduct_t& spec, double scale = 256.0,
               const geo::Position_t& center = geo::Position_t(U / 2, U)) {
    m_window.reset();  // it may hold maps of the products read before
    m_product = imgkit::WriteProduct(spec, m_root);
    m_installed = std::make_unique<imgkit::InstalledProducts_t>();
    imgkit::MachineHive_t::WriteEmpty();
    m_window = std::make_unique<map::Window_t>("prompt %s", false);
    m_window->GetCache().SetProductEnv(m_installed->Env());
    m_window->SetMediaSystem(&m_system);
    map::Projector_t& p = m_window->GetProjector();
    p.SetClientRect(plat::RECT{0, 0, 400, 300});
    p.SetScale(scale);
    p.SetCenter(center);
  }
  void OpenBasemap() { m_window->OpenMapFile(m_product.basemapPath, "insert %s", ""); }
  // One render's coverage pass and cache update.
  void Render() {
    m_window->GetCoverage().clear();
    m_window->FindCoveringTiles(m_window->GetProjector().GetVisibleBox());
    m_window->GetCache().Update(m_window->GetCoverage(), m_window->GetProjector());
  }
  std::vector<std::uint32_t> TileIds() const {
    std::vector<std::uint32_t> ids;
    for (const map::CacheTile_t& t : m_window->GetCache().GetTiles()) ids.push_back(t.GetTileId());
    return ids;
  }
  plat::POINT At(std::int32_t lat, std::int32_t lon) const {
    return m_window->GetProjector().PositionToScreen(geo::Position_t(lat, lon));
  }
  static bool In(const gdi::Region_t& region, plat::POINT p) { return region.PtInRegion(p.x, p.y); }

  std::string m_root;
  imgkit::GeneratedProduct_t m_product;
  std::unique_ptr<imgkit::InstalledProducts_t> m_installed;
  System_t m_system;
  std::unique_ptr<map::Window_t> m_window;
};

TEST_F(CacheTest, CoveringTilesAreOpenedOnceAndKeptAcrossRenders) {
  imgkit::GenProduct_t spec;
  spec.tiles = {Tile(123, {U, U, 0, 0}), Tile(7, {U, 2 * U, 0, U}), Tile(9, {U, 9 * U, 0, 8 * U})};
  Install(spec);
  OpenBasemap();
  ASSERT_TRUE(m_window->GetBasemap().IsOpen());
  Render();
  // The tiles around the view, by their numbers: 123 opens the image 00000123.
  EXPECT_EQ((std::vector<std::uint32_t>{7, 123}), TileIds());
  EXPECT_EQ(2u, m_window->GetCoverage().size());
  const map::Cache_t& cache = m_window->GetCache();
  EXPECT_EQ(123u, cache.GetTiles()[1].GetMap().GetMapId());
  EXPECT_EQ(22u, cache.GetTiles()[1].GetSelectedLevel());  // 23 detail bits: the first level at or below
  for (const map::CacheTile_t& t : cache.GetTiles()) {
    EXPECT_TRUE(t.IsDrawn());
    EXPECT_EQ(nullptr, t.GetDrawRegion());
  }
  const plat::POINT in123 = At(U / 2, U / 2 + U / 4), in7 = At(U / 2, U + U / 2), south = At(-U / 32, U);
  EXPECT_TRUE(In(cache.GetTiles()[1].GetVisibleRegion(), in123));
  EXPECT_FALSE(In(cache.GetTiles()[1].GetVisibleRegion(), in7));
  EXPECT_TRUE(In(cache.GetTiles()[0].GetCoverageRegion(), in7));
  EXPECT_TRUE(In(cache.GetUncoveredRegion(), south));
  EXPECT_FALSE(In(cache.GetUncoveredRegion(), in123));
  EXPECT_FALSE(In(cache.GetUncoveredRegion(), in7));

  // The same coverage again opens no image; the regions follow the view.
  const unsigned opened = m_system.media;
  m_window->GetProjector().SetCenter(geo::Position_t(U / 2, U + U / 4));
  Render();
  EXPECT_EQ(opened, m_system.media);
  EXPECT_EQ((std::vector<std::uint32_t>{7, 123}), TileIds());
  EXPECT_TRUE(In(cache.GetTiles()[0].GetVisibleRegion(), At(U / 2, U + U / 2)));

  // Moving away drops the tiles that left and opens the one that came in.
  m_window->GetProjector().SetCenter(geo::Position_t(U / 2, 8 * U + U / 2));
  Render();
  EXPECT_EQ(std::vector<std::uint32_t>{9}, TileIds());
  EXPECT_EQ(opened + 1, m_system.media);

  // Opening the basemap again (or closing it) empties the cache.
  m_window->OpenMapFile("", "", "");
  EXPECT_FALSE(m_window->GetBasemap().IsOpen());
  EXPECT_TRUE(TileIds().empty());
  EXPECT_TRUE(m_window->GetCoverage().empty());
  m_window->FindCoveringTiles(m_window->GetProjector().GetVisibleBox());
  EXPECT_TRUE(m_window->GetCoverage().empty());
}

TEST_F(CacheTest, DuplicateTileIdsKeepThePolygonWithMorePoints) {
  imgkit::GenProduct_t spec;
  spec.tiles = {Tile(5, {U, U, 0, 0}), Tile(6, {U, 2 * U, 0, U})};
  spec.tiles[1].ownCoverage = false;
  // Besides the tiles' own four-point polygons (written after these): tile 5
  // once more with six points, tile 6 once more with four other points.
  spec.basemap.areas.push_back({0x4a, "5", {{U, 0}, {U, U / 2}, {U, U}, {0, U}, {0, U / 2}, {0, 0}}});
  spec.basemap.areas.push_back({0x4a, "6", {{U, U}, {U, 2 * U}, {0, 2 * U}, {U / 2, U}}});
  Install(spec);
  OpenBasemap();
  m_window->FindCoveringTiles(m_window->GetProjector().GetVisibleBox());
  const map::Coverage_t& coverage = m_window->GetCoverage();
  ASSERT_EQ(2u, coverage.size());
  EXPECT_EQ(6u, coverage.at(5).record.points.size());
  ASSERT_EQ(4u, coverage.at(6).record.points.size());
  EXPECT_EQ(U / 2, coverage.at(6).record.points[3].lat);  // equal counts: the first found stays
  EXPECT_EQ(6u, m_window->GetTileId(coverage.at(6)));

  // Tile 6 has no coverage areas of its own: its region is its polygon, and
  // a tile without a polygon cannot be rebuilt.
  m_window->GetCache().Update(coverage, m_window->GetProjector());
  ASSERT_EQ((std::vector<std::uint32_t>{5, 6}), TileIds());
  const map::CacheTile_t& six = m_window->GetCache().GetTiles()[1];
  EXPECT_TRUE(In(six.GetVisibleRegion(), At(U / 8, 2 * U - U / 4)));
  EXPECT_FALSE(In(six.GetVisibleRegion(), At(U / 8, U + U / 16)));  // outside the slanted edge
  map::Coverage_t onlyFive{{5, coverage.at(5)}};
  EXPECT_THROW(m_window->GetCache().Rebuild(onlyFive, m_window->GetProjector(), 23), glo::Assert_t);
}

TEST_F(CacheTest, SharedViewGoesToTheEarlierTile) {
  imgkit::GenProduct_t spec;
  spec.tileRegions = true;
  spec.tiles = {Tile(1, {U, U, 0, 0}), Tile(2, {U, U + U / 2, 0, U / 2}), Tile(4, {U / 2, U / 2, U / 4, U / 4})};
  Install(spec);
  OpenBasemap();
  Render();
  ASSERT_EQ((std::vector<std::uint32_t>{1, 2, 4}), TileIds());
  const auto& tiles = m_window->GetCache().GetTiles();
  const plat::POINT overlap = At(U / 2, U - U / 8), onlyTwo = At(U / 2, U + U / 4);
  // Tile 1 keeps all it covers in the view: no draw region.
  EXPECT_TRUE(tiles[0].IsDrawn());
  EXPECT_EQ(nullptr, tiles[0].GetDrawRegion());
  // Tile 2 draws only what tile 1 left.
  EXPECT_TRUE(tiles[1].IsDrawn());
  ASSERT_NE(nullptr, tiles[1].GetDrawRegion());
  EXPECT_FALSE(In(*tiles[1].GetDrawRegion(), overlap));
  EXPECT_TRUE(In(*tiles[1].GetDrawRegion(), onlyTwo));
  EXPECT_TRUE(In(tiles[1].GetCoverageRegion(), overlap));
  // Tile 4 lies inside tile 1: nothing is left for it.
  EXPECT_FALSE(tiles[2].IsDrawn());

  // Zoomed out beyond the tiles' coarsest level (22 bits) no tile is drawn,
  // and the regions come from the basemap's polygons.
  m_window->GetCache().Rebuild(m_window->GetCoverage(), m_window->GetProjector(), 21);
  for (const map::CacheTile_t& t : tiles) EXPECT_FALSE(t.IsDrawn()) << t.GetTileId();
  EXPECT_TRUE(In(tiles[0].GetVisibleRegion(), At(U - U / 32, U / 2)));  // outside its own 0x4b ring
}

TEST_F(CacheTest, TilesAreOrderedByTheirKeysAfterEveryLevelSelection) {
  // At 24 bits tile 1 selects 24 and tile 2 selects 23: tile 2 comes first.
  // At 22 bits tile 1 selects 20 and tile 2 selects 21: tile 1 comes first.
  imgkit::GenProduct_t spec;
  spec.tileRegions = true;
  spec.tiles = {Tile(1, {U, U, 0, 0}, {24, 20}), Tile(2, {U, U + U / 2, 0, U / 2}, {23, 21})};
  Install(spec, 128.0, geo::Position_t(U / 2, U - U / 8));
  OpenBasemap();
  Render();
  const auto& tiles = m_window->GetCache().GetTiles();
  ASSERT_EQ((std::vector<std::uint32_t>{2, 1}), TileIds());
  const plat::POINT overlap = At(U / 2, U - U / 8);
  EXPECT_EQ(nullptr, tiles[0].GetDrawRegion());
  ASSERT_NE(nullptr, tiles[1].GetDrawRegion());
  EXPECT_FALSE(In(*tiles[1].GetDrawRegion(), overlap));

  m_window->GetCache().Rebuild(m_window->GetCoverage(), m_window->GetProjector(), 22);
  ASSERT_EQ((std::vector<std::uint32_t>{1, 2}), TileIds());
  EXPECT_EQ(20u, tiles[0].GetSelectedLevel());
  EXPECT_TRUE(std::is_sorted(tiles.begin(), tiles.end(), [](const map::CacheTile_t& a, const map::CacheTile_t& b) {
    return a.GetKey() < b.GetKey();
  }));
  // The claims follow the new order: tile 1 now wins the overlap.
  EXPECT_EQ(nullptr, tiles[0].GetDrawRegion());
  ASSERT_NE(nullptr, tiles[1].GetDrawRegion());
  EXPECT_FALSE(In(*tiles[1].GetDrawRegion(), overlap));
  EXPECT_TRUE(In(tiles[0].GetVisibleRegion(), overlap));
}

TEST_F(CacheTest, UnclippedBasemapShowsEverywhere) {
  for (const bool unclipped : {false, true}) {
    imgkit::GenProduct_t spec;
    spec.basemapUnclipped = unclipped;
    spec.tiles = {Tile(1, {U, U, 0, 0})};
    m_root = test::MakeTempDir("tilecache");
    Install(spec);
    OpenBasemap();
    Render();
    ASSERT_EQ(std::vector<std::uint32_t>{1}, TileIds());
    const gdi::Region_t client(plat::RECT{0, 0, 400, 300}, gdi::Region_t::Rectangle);
    EXPECT_EQ(unclipped, m_window->GetCache().GetUncoveredRegion().EqualRgn(client.GetSafeHandle())) << unclipped;
    EXPECT_EQ(unclipped, In(m_window->GetCache().GetUncoveredRegion(), At(U / 2, U / 2))) << unclipped;
  }
}

TEST_F(CacheTest, BasemapOnARemovableMediumIsPromptedFor) {
  imgkit::GenProduct_t spec;
  spec.tiles = {Tile(1, {U, U, 0, 0})};
  Install(spec);
  const std::string image = test::ReadFile(m_product.basemapPath);
  const std::string missing = m_root + "/card/basemap.img";
  m_system.removable = true;
  Prompter_t prompter;
  m_window->SetMediaPrompter(&prompter);

  // Cancel: the medium stays unavailable and nothing changes.
  EXPECT_THROW(m_window->OpenMapFile(missing, "put the card into %s", ""), dsk::MediaUnavailable_t);
  EXPECT_EQ(std::vector<std::string>{"put the card into /media/card"}, prompter.texts);
  EXPECT_FALSE(m_window->GetBasemap().IsOpen());

  // The medium put in and OK: the basemap opens; later prompts show the
  // replacement text.
  prompter.texts.clear();
  prompter.answer = dsk::kPromptRetry;
  prompter.onPrompt = [&] {
    plat::CreateDirectory(m_root + "/card");
    test::WriteFile(missing, image);
  };
  m_window->OpenMapFile(missing, "put the card into %s", "the trail card in %s");
  ASSERT_TRUE(m_window->GetBasemap().IsOpen());
  EXPECT_EQ(1u, prompter.texts.size());
  auto* media = dynamic_cast<mpl::FileMedia_t*>(m_window->GetBasemap().GetImageSource().Media());
  ASSERT_NE(nullptr, media);
  EXPECT_EQ("the trail card in %s", media->ResolverState().promptText);
  EXPECT_EQ(&prompter, media->ResolverState().prompter);

  // A signalled media event stops the opening.
  m_window->GetMediaEvent().Set();
  EXPECT_THROW(m_window->OpenMapFile(missing, "x", ""), glo::Terminate_t);
  EXPECT_TRUE(m_window->GetBasemap().IsOpen());
}

}  // namespace
