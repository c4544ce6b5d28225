// Relief shading: the normalisation and the light term, the shading of one
// block of samples (the vertical scale by level, missing samples, rows kept
// inside the surface), whole rectangles over generated elevation models (flat
// ground, a ridge, the edge of the model), the bands of a rectangle and their
// memory, a medium taken out while bands are shaded, the copy into the back
// buffer, and when the window makes and drops its shader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <mutex>
#include <numeric>
#include <thread>
#include <vector>

#include "dsk/DSK_Media.h"
#include "map/MAP_Cache.h"
#include "map/MAP_CosProjector.h"
#include "map/MAP_DemShader.h"
#include "map/MAP_Window.h"
#include "mpl/MPL_Exception.h"
#include "mpl/MPL_Map.h"
#include "plat/PLAT_Gui.h"
#include "tests/common/TestEnv.h"
#include "tests/imgkit/DemBuilder.h"
#include "tests/imgkit/MapImage.h"
#include "tests/imgkit/ProductBuilder.h"
#include "tests/imgkit/ProductGenerator.h"
#include "tests/mpl/MapFixture.h"

namespace {

constexpr std::int32_t kNoData = static_cast<std::int32_t>(0x80000000u);
constexpr plat::COLORREF kGround = plat::Rgb(200, 150, 100);

// The elevation model: 64 x 64 points (4 x 4 tiles of 16) every 0x4000
// semicircles from (0x200000, -0x200000) south and east, 'height(row, col)'
// metres over 100 (0-255).
constexpr std::int32_t kNorth = 0x200000;
constexpr std::int32_t kWest = -0x200000;
constexpr std::int32_t kStep = 0x4000;

std::vector<imgkit::MapFile_t> DemMapFiles(const std::function<std::uint16_t(int, int)>& height) {
  imgkit::DemLevel_t l;
  l.tileWidth = l.tileHeight = 16;
  l.lastColWidth = l.lastRowHeight = 16;
  l.tileCols = l.tileRows = 4;
  l.recordFlags = 0x11;
  l.west = kWest;
  l.north = kNorth;
  l.latStep = l.lonStep = kStep;
  for (int n = 0; n < 16; ++n) {
    imgkit::DemTile_t t;
    t.base = 100;
    for (int r = 0; r < 16; ++r)
      for (int c = 0; c < 16; ++c) t.values.push_back(height((n / 4) * 16 + r, (n % 4) * 16 + c));
    t.maxDiff = 255;
    l.tiles.push_back(t);
  }
  imgkit::DemBuilder_t dem;
  dem.levels = {l};
  imgkit::MapBuilder_t m = mpltest::BasicMap();
  m.extra.push_back({m.name + ".DEM", dem.Build()});
  return m.Files();
}

struct OpenMap_t {
  explicit OpenMap_t(const std::vector<imgkit::MapFile_t>& files)
      : map(imgkit::OpenImage(imgkit::MapImage(files)), "12345678", "") {}
  mpl::Map_t map;
};

class ShadedWindow_t : public map::Window_t {
 public:
  ShadedWindow_t() : map::Window_t("", false) {}
  bool WantsDemShading() const override { return wants; }
  bool ShowsDetailMaps() const override { return detail; }
  bool wants = true;
  bool detail = false;
};

class DemShaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plat::EnsureGuiApplication());
    ASSERT_TRUE(m_reference.CreateCompatibleDC(nullptr));
    std::vector<plat::PALETTEENTRY> entries(52, plat::PALETTEENTRY{0, 0, 0, 0});
    ASSERT_TRUE(m_palette.CreatePalette(entries));
  }

  // A shader over the map with a width x height surface painted in the ground colour.
  std::unique_ptr<map::DemShader_t> Make(mpl::Map_t& map, int width, int height) {
    auto shader = std::make_unique<map::DemShader_t>(m_window, m_tiles, map);
    shader->CreateSurface(m_reference, m_palette, width, height);
    Paint(*shader, kGround);
    return shader;
  }
  static void Paint(map::DemShader_t& shader, plat::COLORREF colour) {
    const auto& h = shader.GetSurface().GetInfo().bmiHeader;
    shader.GetDc().FillSolidRect(plat::RECT{0, 0, h.biWidth, -h.biHeight}, colour);
  }
  static plat::COLORREF Darker(plat::COLORREF c, int k) {
    auto f = [k](unsigned v) { return static_cast<unsigned>(std::clamp(static_cast<int>(v) + k, 0, 255)); };
    return plat::Rgb(f(plat::GetRValue(c)), f(plat::GetGValue(c)), f(plat::GetBValue(c)));
  }
  // A 300 x 200 view at 2048 semicircles a pixel (8 pixels a grid step) centred there.
  static map::CosProjector_t View(std::int32_t lat, std::int32_t lon) {
    return map::CosProjector_t(2048.0, geo::Position_t(lat, lon), plat::RECT{0, 0, 300, 200}, 0);
  }

  plat::Dc_t m_reference;
  plat::Palette_t m_palette;
  ShadedWindow_t m_window;
  map::Cache_t m_tiles;
};

TEST(DemShaderMath, NormalisationToLength256) {
  struct Case_t {
    map::DemVector_t in, out;
  };
  const Case_t cases[] = {
      {{0, 0, 256}, {0, 0, 256}},
      {{300, 400, 0}, {153, 205, 0}},  // the approximation, not the exact 154
      {{-300, -400, 0}, {-153, -205, 0}},
      {{1000, 0, 1000}, {181, 0, 181}},
      {{100000, -50000, 3000}, {229, -114, 7}},
      {{0, 0, 0}, {0, 0, 0}},
      // Too short for the fixed-point sum of squares: normalised exactly.
      {{0, 0, 1}, {0, 0, 256}},
      {{1, 1, 1}, {148, 148, 148}},
      {{-7, 0, 0}, {-256, 0, 0}},
  };
  for (const Case_t& c : cases)
    EXPECT_EQ(c.out, map::NormaliseTo256(c.in)) << c.in.x << " " << c.in.y << " " << c.in.z;
}

TEST_F(DemShaderTest, TheLightAndOnePixel) {
  OpenMap_t m(mpltest::BasicMap().Files());
  auto shader = Make(m.map, 4, 4);
  EXPECT_EQ((map::DemVector_t{128, 128, 181}), shader->GetLight());
  struct Case_t {
    map::DemVector_t normal;
    bool normalise;
    std::uint32_t before, after;
  };
  const Case_t cases[] = {
      // Flat ground: t = 181, darkened by 37; the fourth byte stays.
      {{0, 0, 5000}, true, 0xAB6496C8u, 0xAB3F71A3u},
      {{0, 0, 256}, false, 0x00102030u, 0x0000000Bu},
      // Facing the light: unchanged; facing away: darkened by 256 (black).
      {{128, 128, 181}, false, 0x00FFFFFFu, 0x00FFFFFFu},
      {{-128, -128, -181}, false, 0x00FFFFFFu, 0x00000000u},
      // A wall facing east: t = 128, k = -64.
      {{256, 0, 0}, false, 0x00C89664u, 0x00885624u},
  };
  for (const Case_t& c : cases) {
    std::uint32_t pixel = c.before;
    shader->ShadePixel(c.normal, pixel, c.normalise);
    EXPECT_EQ(c.after, pixel) << std::hex << c.before;
  }
}

TEST_F(DemShaderTest, ABlockTakesItsVerticalScaleFromTheLevel) {
  OpenMap_t m(mpltest::BasicMap().Files());
  auto shader = Make(m.map, 8, 4);
  // A slope of 45 degrees down to the east faces the light's east half:
  // normal (181, 0, 181), t = 127 + 90 = 217, k = -19. nz = v x 256 / d with
  // d = 256 at 24 bits and 3328 at 13.
  struct Case_t {
    std::uint8_t level;
    std::int64_t v;
    std::int32_t sx;
    int k;
  };
  const Case_t cases[] = {
      {24, 1000, -1000, -19},
      {13, 33280, -2560, -19},
      {13, 33280, -1000, -21},  // a gentler slope: normal (93, 0, 238)
      {24, 1000, 0, -37},
  };
  for (const Case_t& c : cases) {
    Paint(*shader, kGround);
    shader->SetLevel(c.level);
    shader->SetVerticalScale(c.v);
    shader->SetOrigin(plat::POINT{2, 1});
    const std::int32_t samples[] = {c.sx, 0, 0, kNoData, 0, 0, 0, kNoData, 0};
    mpl::MdbDemScanOutput_t block{samples, 1, 1, 3, 1};
    EXPECT_EQ(0, map::DemShader_t::ShadeBlock(block, shader.get()));
    plat::Dc_t& dc = shader->GetDc();
    EXPECT_EQ(Darker(kGround, c.k), dc.GetPixel(3, 2)) << int(c.level) << " " << c.sx;
    // Samples without data leave their pixels, and nothing else is touched.
    EXPECT_EQ(kGround, dc.GetPixel(4, 2));
    EXPECT_EQ(kGround, dc.GetPixel(5, 2));
    EXPECT_EQ(kGround, dc.GetPixel(2, 2));
    EXPECT_EQ(kGround, dc.GetPixel(3, 1));
  }
}

// A block that reaches past the surface: its rows stop at the right edge
// instead of running on into the next row, and a row below the surface ends
// the block with 1 before anything is written there.
TEST_F(DemShaderTest, ABlockStaysInsideTheSurface) {
  OpenMap_t m(mpltest::BasicMap().Files());
  auto shader = Make(m.map, 8, 4);
  shader->SetLevel(24);
  shader->SetVerticalScale(256);
  const std::vector<std::int32_t> flat(4 * 2 * 3, 0);
  const plat::COLORREF shaded = Darker(kGround, -37);
  plat::Dc_t& dc = shader->GetDc();

  shader->SetOrigin(plat::POINT{6, 0});
  EXPECT_EQ(0, map::DemShader_t::ShadeBlock(mpl::MdbDemScanOutput_t{flat.data(), 0, 0, 4, 2}, shader.get()));
  for (int y = 0; y < 2; ++y) {
    EXPECT_EQ(kGround, dc.GetPixel(5, y));
    EXPECT_EQ(shaded, dc.GetPixel(6, y));
    EXPECT_EQ(shaded, dc.GetPixel(7, y));
  }
  EXPECT_EQ(kGround, dc.GetPixel(0, 1));
  EXPECT_EQ(kGround, dc.GetPixel(1, 1));
  EXPECT_EQ(kGround, dc.GetPixel(0, 2));

  Paint(*shader, kGround);
  shader->SetOrigin(plat::POINT{-2, 3});
  EXPECT_EQ(1, map::DemShader_t::ShadeBlock(mpl::MdbDemScanOutput_t{flat.data(), 0, 0, 4, 2}, shader.get()));
  EXPECT_EQ(shaded, dc.GetPixel(0, 3));
  EXPECT_EQ(shaded, dc.GetPixel(1, 3));
  EXPECT_EQ(kGround, dc.GetPixel(2, 3));
  EXPECT_EQ(kGround, dc.GetPixel(7, 2));

  Paint(*shader, kGround);
  shader->SetOrigin(plat::POINT{0, -1});
  EXPECT_EQ(1, map::DemShader_t::ShadeBlock(mpl::MdbDemScanOutput_t{flat.data(), 0, 0, 4, 2}, shader.get()));
  EXPECT_EQ(kGround, dc.GetPixel(0, 0));
}

TEST_F(DemShaderTest, FlatGroundIsDarkenedBy37) {
  OpenMap_t m(DemMapFiles([](int, int) { return std::uint16_t(40); }));
  ASSERT_TRUE(m.map.HasDem());
  auto shader = Make(m.map, 300, 200);
  const map::CosProjector_t view = View(0x182000, -0x182000);
  shader->PrepareBasemap(view, view.GetVisibleBox());
  const plat::COLORREF shaded = Darker(kGround, -37);
  plat::Dc_t& dc = shader->GetDc();
  for (plat::POINT p : {plat::POINT{0, 0}, plat::POINT{150, 100}, plat::POINT{299, 199}, plat::POINT{17, 181}})
    EXPECT_EQ(shaded, dc.GetPixel(p.x, p.y)) << p.x << "," << p.y;
}

TEST_F(DemShaderTest, ARidgeIsDarkOnItsWestSideAndLightOnItsEastSide) {
  // Rising by 8 m a grid step up to column 31, then falling again; the ridge
  // runs under the view's centre.
  OpenMap_t m(DemMapFiles([](int, int c) { return std::uint16_t(8 * (c < 32 ? c : 63 - c)); }));
  auto shader = Make(m.map, 300, 200);
  const map::CosProjector_t view = View(0x182000, -0x182000);
  shader->PrepareBasemap(view, view.GetVisibleBox());
  plat::Dc_t& dc = shader->GetDc();
  const plat::COLORREF flat = Darker(kGround, -37);
  const plat::COLORREF west = dc.GetPixel(50, 100);
  const plat::COLORREF east = dc.GetPixel(250, 100);
  EXPECT_LT(plat::GetRValue(west), plat::GetRValue(flat));
  EXPECT_GT(plat::GetRValue(east), plat::GetRValue(flat));
  EXPECT_LT(plat::GetRValue(east), plat::GetRValue(kGround));  // shading only darkens
  // Each side is one plane: the same shade along it.
  EXPECT_EQ(west, dc.GetPixel(30, 20));
  EXPECT_EQ(east, dc.GetPixel(270, 180));
}

TEST_F(DemShaderTest, BeyondTheModelThePixelsStayAsDrawn) {
  OpenMap_t m(DemMapFiles([](int, int) { return std::uint16_t(40); }));
  auto shader = Make(m.map, 300, 200);
  // The model's north edge runs through the middle of the view.
  const map::CosProjector_t view = View(kNorth, -0x182000);
  shader->PrepareBasemap(view, view.GetVisibleBox());
  plat::Dc_t& dc = shader->GetDc();
  EXPECT_EQ(kGround, dc.GetPixel(150, 10));
  EXPECT_EQ(kGround, dc.GetPixel(150, 90));
  EXPECT_EQ(Darker(kGround, -37), dc.GetPixel(150, 110));
  EXPECT_EQ(Darker(kGround, -37), dc.GetPixel(150, 199));
}

// A generated product: a basemap with elevation data over (2U, 2U) - (-U, 0),
// tile 1 with elevation data over (U, U) - (0, 0) and tile 2 without over
// (U, 2U) - (0, U); a shaded window looks at it through 400 x 300 pixels.
constexpr std::int32_t U = 0x10000;

class DemProductTest : public DemShaderTest {
 protected:
  void SetUp() override {
    DemShaderTest::SetUp();
    imgkit::GenProduct_t spec;
    spec.basemap.box = {2 * U, 2 * U, -U, 0};
    spec.basemap.dem = imgkit::SlopeDem(spec.basemap.box);
    imgkit::GenTile_t a;
    a.id = 1;
    a.map.box = {U, U, 0, 0};
    a.map.levelBits = {24};  // the one level of its elevation data
    a.map.dem = imgkit::SlopeDem(a.map.box);
    imgkit::GenTile_t b;
    b.id = 2;
    b.map.box = {U, 2 * U, 0, U};
    spec.tiles = {a, b};
    const imgkit::GeneratedProduct_t product = imgkit::WriteProduct(spec, test::MakeTempDir("shaded"));
    m_installed = std::make_unique<imgkit::InstalledProducts_t>();
    imgkit::MachineHive_t::WriteEmpty();
    m_window.GetCache().SetProductEnv(m_installed->Env());
    m_window.OpenMapFile(product.basemapPath, "", "");
    ASSERT_TRUE(m_window.GetBasemap().HasDem());
    m_window.GetProjector().SetClientRect(plat::RECT{0, 0, 400, 300});
  }
  // The coverage pass and the tiles for a view; a shader over them.
  std::unique_ptr<map::DemShader_t> View(double scale, const geo::Position_t& center) {
    map::Projector_t& p = m_window.GetProjector();
    p.SetScale(scale);
    p.SetCenter(center);
    m_window.GetCoverage().clear();
    m_window.FindCoveringTiles(p.GetVisibleBox());
    m_window.GetCache().Update(m_window.GetCoverage(), p);
    auto shader = std::make_unique<map::DemShader_t>(m_window, m_window.GetCache(), m_window.GetBasemap());
    shader->CreateSurface(m_reference, m_palette, 400, 300);
    Paint(*shader, kGround);
    return shader;
  }
  plat::POINT At(std::int32_t lat, std::int32_t lon) {
    return m_window.GetProjector().PositionToScreen(geo::Position_t(lat, lon));
  }

  std::unique_ptr<imgkit::InstalledProducts_t> m_installed;
};

TEST_F(DemProductTest, TilesAreShadedWhereTheyShowWithTheirElevationData) {
  auto shader = View(256.0, geo::Position_t(U / 2, U));
  ASSERT_EQ(2u, m_window.GetCache().GetTiles().size());
  shader->PrepareTiles(m_window.GetProjector());
  plat::Dc_t& dc = shader->GetDc();
  const plat::POINT inA = At(U / 2, U / 2), inB = At(U / 2, U + U / 2), north = At(U + U / 16, U / 2);
  EXPECT_NE(kGround, dc.GetPixel(inA.x, inA.y));
  EXPECT_LT(plat::GetRValue(dc.GetPixel(inA.x, inA.y)), plat::GetRValue(kGround));
  EXPECT_EQ(kGround, dc.GetPixel(inB.x, inB.y));  // no elevation data
  EXPECT_EQ(kGround, dc.GetPixel(north.x, north.y));  // beyond the tiles
}

TEST_F(DemProductTest, WithDetailMapsTheBasemapIsShadedOnlyWhereNoTileIsShown) {
  m_window.detail = true;
  // The view inside tile 1: nothing is left to the basemap.
  auto shader = View(64.0, geo::Position_t(U / 2, U / 2));
  ASSERT_EQ(plat::kNullRegion, m_window.GetCache().GetUncoveredRegion().GetType());
  map::Projector_t& p = m_window.GetProjector();
  shader->PrepareBasemap(p, p.GetVisibleBox());
  EXPECT_EQ(kGround, shader->GetDc().GetPixel(200, 150));
  EXPECT_EQ(kGround, shader->GetDc().GetPixel(0, 0));

  // The view's north half beyond the tiles: the rectangle around it.
  shader = View(256.0, geo::Position_t(U, U));
  plat::RECT uncovered{};
  ASSERT_NE(plat::kNullRegion, m_window.GetCache().GetUncoveredRegion().GetBox(uncovered));
  ASSERT_LT(uncovered.bottom, 290);
  shader->PrepareBasemap(p, p.GetVisibleBox());
  EXPECT_NE(kGround, shader->GetDc().GetPixel(200, uncovered.top));
  EXPECT_NE(kGround, shader->GetDc().GetPixel(200, uncovered.bottom - 1));
  EXPECT_EQ(kGround, shader->GetDc().GetPixel(200, uncovered.bottom));
  EXPECT_EQ(kGround, shader->GetDc().GetPixel(200, 299));

  // Without detail maps the whole view is the basemap's.
  m_window.detail = false;
  Paint(*shader, kGround);
  shader->PrepareBasemap(p, p.GetVisibleBox());
  EXPECT_NE(kGround, shader->GetDc().GetPixel(200, 299));
}

// A rectangle is shaded in bands of rows at once; the picture is the one a
// single scan of the whole rectangle on one thread, with the reader's
// smallest work block, gives.
TEST_F(DemProductTest, BandsShadeWhatOneScanShades) {
  struct Case {
    const char* what;
    geo::Position_t centre;
    map::DemShader_t::Finder_t finder;
  };
  const Case cases[] = {
      {"the tiles, one of them with elevation data", geo::Position_t(U / 2, U), &map::DemShader_t::TileFinder},
      {"the basemap across its north edge", geo::Position_t(2 * U, U / 2), &map::DemShader_t::BasemapFinder},
  };
  const plat::RECT rect{0, 0, 400, 300};
  for (const Case& c : cases) {
    auto banded = View(256.0, c.centre);
    auto plain = View(256.0, c.centre);
    mpl::Map_t& basemap = m_window.GetBasemap();
    basemap.LoadDemLevel(basemap.GetDetailLevel());
    for (map::CacheTile_t& tile : m_window.GetCache().GetTiles())
      if (tile.GetMap().HasDem()) tile.GetMap().LoadDemLevel(tile.GetSelectedLevel());
    const geo::Box_t box = m_window.GetProjector().ScreenRectToBox(rect);
    banded->ShadeRect(rect, box, c.finder);

    plain->SetOrigin(plat::POINT{0, 0});
    plain->SetVerticalScale(banded->GetVerticalScale());
    mpl::MdbDemCache_t cache;
    ASSERT_EQ(0, mpl::MdbDemCacheInit(cache, 1024));
    std::vector<std::int32_t> output(400 * 4 * 3), work(512 / 4);
    mpl::MdbDemScan_t q;
    q.compute = mpl::kMdbScanDifferences;
    q.mode = 1;
    q.waterZero = 1;
    q.output = output.data();
    q.outputSize = static_cast<std::uint32_t>(output.size() * 4);
    q.work = work.data();
    q.workSize = 512;
    q.columns = 400;
    q.rows = 300;
    q.box = mpl::MdbBox_t{box.GetNorth(), box.GetEast(), box.GetSouth(), box.GetWest()};
    q.consumer = &map::DemShader_t::ShadeBlock;
    q.consumerData = plain.get();
    q.provider = c.finder;
    q.providerData = plain.get();
    q.cache = &cache;
    ASSERT_EQ(0, mpl::MdbScanDem(q)) << c.what;

    EXPECT_NE(kGround, plain->GetDc().GetPixel(100, 250)) << c.what;
    const std::uint32_t* bits = banded->GetSurface().GetBits();
    EXPECT_TRUE(std::equal(bits, bits + 400 * 300, plain->GetSurface().GetBits())) << c.what;
  }
}

// One shade's bands and their work blocks stay within the same bound however
// many processors there are, and cover the rows in order. A view of 1,920 x
// 1,080 pixels, 'tenths' tenths of a grid step a pixel: at 7 steps two bands
// for each of 64 processors would each get a block of almost 4 MiB, at 3.8
// so would 32 bands.
TEST(DemBandPlan, MemoryIsBoundedWhateverTheProcessorCount) {
  mpl::MdbDemLevel_t level;
  level.latStep = level.lonStep = 0x100;
  for (const std::int32_t tenths : {10, 20, 38, 40, 70, 80}) {
    const mpl::MdbBox_t box{1080 * tenths * 0x100 / 10, 1920 * tenths * 0x100 / 10, 0, 0};
    for (const unsigned processors : {1u, 2u, 8u, 64u, 1024u}) {
      const std::vector<map::DemBand_t> bands = map::PlanDemBands(processors, box, level, 1920, 1080);
      const std::string what = std::to_string(tenths) + " tenths, " + std::to_string(processors) + " processors";
      ASSERT_FALSE(bands.empty()) << what;
      EXPECT_LE(bands.size(), std::min<std::size_t>(2 * processors, map::kMaxDemBands)) << what;
      EXPECT_LE(std::accumulate(bands.begin(), bands.end(), std::uint64_t{0},
                                [](std::uint64_t sum, const map::DemBand_t& b) { return sum + b.workBytes; }),
                map::kDemWorkBudget)
          << what;
      std::uint32_t next = 0;
      for (const map::DemBand_t& b : bands) {
        EXPECT_EQ(next, b.first) << what;
        EXPECT_GT(b.rows, 0u) << what;
        EXPECT_GE(b.workBytes, 512u) << what;
        next = b.first + b.rows;
      }
      EXPECT_EQ(1080u, next) << what;
    }
  }
  // Where the budget allows, a band still reads its grid values in one piece
  // (larger than the smallest block).
  const mpl::MdbBox_t near{1080 * 2 * 0x100, 1920 * 2 * 0x100, 0, 0};
  for (const map::DemBand_t& b : map::PlanDemBands(8, near, level, 1920, 1080)) EXPECT_GT(b.workBytes, 512u);
  // No more bands than rows.
  EXPECT_EQ(3u, map::PlanDemBands(64, near, level, 1920, 3).size());
}

// A removable drive whose medium goes out after a set number of further reads
// (every read fails while it is out) until the prompter puts it back. The
// bands read from the pool's threads.
struct Drive_t : dsk::MediaSystem_t {
  bool ReadAt(plat::Handle file, std::uint64_t offset, void* buffer, std::uint32_t count,
              std::uint32_t& read) override {
    {
      const std::lock_guard<std::mutex> hold(lock);
      if (readsLeft == 0) out = true;
      if (out) return false;
      if (readsLeft > 0) --readsLeft;
      ++reads;
    }
    return dsk::MediaSystem_t::ReadAt(file, offset, buffer, count, read);
  }
  bool IsRemovable(const std::string&, std::string& drive) override {
    drive = "/media/card";
    return true;
  }
  std::uint32_t Tick() override {
    const std::lock_guard<std::mutex> hold(lock);
    return tick;
  }
  void Sleep(std::uint32_t ms, int) override {
    const std::lock_guard<std::mutex> hold(lock);
    tick += ms;
  }
  void TakeOutAfter(long n) {
    const std::lock_guard<std::mutex> hold(lock);
    readsLeft = n;
    out = false;
    reads = 0;
  }
  void PutBack() {
    const std::lock_guard<std::mutex> hold(lock);
    readsLeft = -1;
    out = false;
  }

  std::mutex lock;
  long readsLeft = -1;  // negative: the medium stays in
  bool out = false;
  unsigned reads = 0;
  std::uint32_t tick = 1000;
};

// Answers every prompt alike (Retry puts the medium back) and notes the
// thread each one ran on.
struct DrivePrompter_t : dsk::MediaPrompterIntf_t {
  int Prompt(const dsk::MediaResolverState_t&, const std::string&) override {
    const std::lock_guard<std::mutex> hold(lock);
    threads.push_back(std::this_thread::get_id());
    if (answer == dsk::kPromptRetry) drive->PutBack();
    return answer;
  }
  std::mutex lock;
  Drive_t* drive = nullptr;
  int answer = dsk::kPromptCancel;
  std::vector<std::thread::id> threads;
};

// The basemap read from a file on the drive: 512 x 512 grid points, shaded
// through 56 x 56 pixels eight grid steps apart, so that every band's scan
// reads tiles in small pieces all along its rows.
class DemMediaTest : public DemShaderTest {
 protected:
  void SetUp() override {
    DemShaderTest::SetUp();
    m_path = test::MakeTempDir("card") + "/dem.img";
    test::WriteFile(m_path, imgkit::MapWithDem(imgkit::RollingTerrainDem(0x00100000, 0, 0)).Build());
    m_prompter.drive = &m_drive;
    m_window.SetMediaSystem(&m_drive);
    m_window.SetMediaPrompter(&m_prompter);
  }
  // Opens the image anew (nothing read is kept) and a shader over it.
  std::unique_ptr<map::DemShader_t> Open() {
    m_drive.PutBack();
    m_window.OpenMapFile(m_path, "insert %s", "");
    mpl::Map_t& basemap = m_window.GetBasemap();
    EXPECT_TRUE(basemap.HasDem());
    basemap.LoadDemLevel(24);
    auto shader = std::make_unique<map::DemShader_t>(m_window, m_tiles, basemap);
    shader->CreateSurface(m_reference, m_palette, kSide, kSide);
    Paint(*shader, kGround);
    m_drive.TakeOutAfter(-1);
    return shader;
  }
  static void ShadeAll(map::DemShader_t& shader) {
    const std::int32_t north = 0x00100000 - 4 * 0x400, west = 4 * 0x400, span = kSide * 8 * 0x400;
    shader.ShadeRect(plat::RECT{0, 0, kSide, kSide}, geo::Box_t(north, north - span, west + span, west),
                     &map::DemShader_t::BasemapFinder);
  }
  static std::vector<std::uint32_t> Pixels(const map::DemShader_t& shader) {
    const std::uint32_t* bits = shader.GetSurface().GetBits();
    return std::vector<std::uint32_t>(bits, bits + kSide * kSide);
  }

  static constexpr int kSide = 56;
  std::string m_path;
  Drive_t m_drive;
  DrivePrompter_t m_prompter;
};

// The medium goes out halfway through the reads of a banded shade. No band
// prompts on a pool thread: the prompt shows once, on the thread that asked
// for the shading, after the pool has ended. Retry gives the picture of an
// undisturbed shade to the bit (bands stopped partway do not shade twice what
// they had shaded); Cancel fails the shade as the user's refusal. (On a
// machine with one processor the bands all run on the calling thread.)
TEST_F(DemMediaTest, AMediumTakenOutIsAskedForOnTheCallingThread) {
  auto shader = Open();
  ShadeAll(*shader);
  const std::vector<std::uint32_t> undisturbed = Pixels(*shader);
  const unsigned reads = m_drive.reads;
  ASSERT_GT(reads, 8u);
  ASSERT_TRUE(m_prompter.threads.empty());

  for (const int answer : {dsk::kPromptRetry, dsk::kPromptCancel}) {
    SCOPED_TRACE(answer == dsk::kPromptRetry ? "retry" : "cancel");
    shader = Open();
    m_prompter.threads.clear();
    m_prompter.answer = answer;
    m_drive.TakeOutAfter(reads / 2);
    if (answer == dsk::kPromptRetry) {
      ShadeAll(*shader);
      EXPECT_TRUE(Pixels(*shader) == undisturbed);
    } else {
      try {
        ShadeAll(*shader);
        ADD_FAILURE() << "no failure";
      } catch (const dsk::MediaUnavailable_t& e) {
        EXPECT_EQ("/media/card", e.Drive());
        EXPECT_EQ(nullptr, dynamic_cast<const dsk::MediaPromptDeferred_t*>(&e));
      }
    }
    ASSERT_EQ(1u, m_prompter.threads.size());
    EXPECT_EQ(std::this_thread::get_id(), m_prompter.threads[0]);
  }
}

TEST_F(DemShaderTest, ARectangleBeyondTheSurfaceFailsWithoutWritingThere) {
  OpenMap_t m(DemMapFiles([](int, int) { return std::uint16_t(40); }));
  auto shader = Make(m.map, 300, 200);
  const map::CosProjector_t view = View(0x182000, -0x182000);
  m.map.LoadDemLevel(24);
  EXPECT_THROW(shader->ShadeRect(plat::RECT{0, 150, 300, 260}, view.ScreenRectToBox(plat::RECT{0, 150, 300, 260}),
                                 &map::DemShader_t::BasemapFinder),
               mpl::MdbException_t);
  EXPECT_EQ(Darker(kGround, -37), shader->GetDc().GetPixel(0, 150));
}

TEST_F(DemShaderTest, ShadingIsOredIntoTheBackBufferOverTheView) {
  OpenMap_t m(DemMapFiles([](int, int) { return std::uint16_t(40); }));
  auto shader = Make(m.map, 300, 200);
  plat::Dc_t back;
  ASSERT_TRUE(back.CreateCompatibleDC(&m_reference));
  plat::Bitmap_t bitmap;
  ASSERT_TRUE(bitmap.CreateCompatibleBitmap(m_reference, 300, 200));
  back.SelectObject(bitmap);
  back.FillSolidRect(plat::RECT{0, 0, 300, 200}, plat::Rgb(255, 0, 0));
  back.FillSolidRect(plat::RECT{0, 0, 100, 200}, plat::Rgb(0, 0, 0));
  back.FillSolidRect(plat::RECT{100, 0, 200, 200}, plat::Rgb(0, 0, 0x0F));
  // A view box that covers the client area's left 200 pixels.
  const map::CosProjector_t view = View(0x182000, -0x182000);
  const geo::Box_t box = view.ScreenRectToBox(plat::RECT{0, 0, 200, 200});
  shader->Shade(back, view, box);
  EXPECT_EQ(kGround, back.GetPixel(0, 0));
  EXPECT_EQ(kGround, back.GetPixel(99, 199));
  EXPECT_EQ(kGround | plat::Rgb(0, 0, 0x0F), back.GetPixel(150, 100));
  EXPECT_EQ(plat::Rgb(255, 0, 0), back.GetPixel(250, 100));
}

TEST_F(DemShaderTest, TheWindowKeepsAShaderWhileShadingIsWantedAndPossible) {
  const std::string folder = test::MakeTempDir("basemaps");
  test::WriteFile(folder + "/dem.img", imgkit::MapImage(DemMapFiles([](int, int) { return std::uint16_t(40); })));
  test::WriteFile(folder + "/plain.img", imgkit::MapImage(mpltest::BasicMap().Files()));
  ShadedWindow_t w;
  w.OpenMapFile(folder + "/dem.img", "", "");
  ASSERT_TRUE(w.GetBasemap().HasDem());
  w.UpdateDemShader(m_reference, false, 30, 20);
  ASSERT_TRUE(w.IsDemActive());
  map::DemShader_t* first = w.GetDemShader();
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(30, first->GetSurface().GetInfo().bmiHeader.biWidth);
  EXPECT_EQ(-20, first->GetSurface().GetInfo().bmiHeader.biHeight);
  // Kept from paint to paint; made anew for a new back buffer.
  w.UpdateDemShader(m_reference, false, 30, 20);
  EXPECT_EQ(first, w.GetDemShader());
  w.UpdateDemShader(m_reference, true, 40, 10);
  ASSERT_NE(nullptr, w.GetDemShader());
  EXPECT_EQ(40, w.GetDemShader()->GetSurface().GetInfo().bmiHeader.biWidth);
  // Dropped when the window wants none or the basemap has no elevation data.
  w.wants = false;
  w.UpdateDemShader(m_reference, false, 40, 10);
  EXPECT_FALSE(w.IsDemActive());
  EXPECT_EQ(nullptr, w.GetDemShader());
  w.wants = true;
  w.UpdateDemShader(m_reference, false, 40, 10);
  EXPECT_NE(nullptr, w.GetDemShader());
  w.OpenMapFile(folder + "/plain.img", "", "");
  ASSERT_TRUE(w.GetBasemap().IsOpen());
  w.UpdateDemShader(m_reference, false, 40, 10);
  EXPECT_FALSE(w.IsDemActive());
  EXPECT_EQ(nullptr, w.GetDemShader());
}

}  // namespace
