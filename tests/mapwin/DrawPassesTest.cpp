// The drawing passes over a generated map: the order of area groups, line
// groups and points, the parts of a tile, the point filter by detail, points
// outside the clip region, the map state guard, and what a whole render shows
// of labels and of the scale bar's notice.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "glo/GLO_StringResource.h"
#include "map/MAP_Dymo.h"
#include "map/MAP_FeatureFilters.h"
#include "map/MAP_Label.h"
#include "map/MAP_MapStateSaver.h"
#include "map/MAP_Palette.h"
#include "map/MAP_Registry.h"
#include "mpl/MPL_Level.h"
#include "mpl/MPL_MapsDatabase.h"
#include "mpl/MPL_MapDirectory.h"
#include "tdb/TDB_ProductDir.h"
#include "tdb/TDB_Registry.h"
#include "tests/common/TestEnv.h"
#include "tests/common/TestResources.h"
#include "tests/imgkit/ProductBuilder.h"
#include "tests/imgkit/ProductGenerator.h"
#include "tests/mapwin/MapWinTestUtil.h"

namespace {

constexpr std::int32_t kDeg = 11930465;
constexpr plat::COLORREF kMarker = plat::Rgb(255, 0, 255);

plat::COLORREF Entry(int i) { return map::PaletteColor(i); }

// A tile of a quarter degree. Areas: 0x28 (second group) stored before 0x01
// (first group) over the same square, 0x0e over its eastern half; lines 0x01
// (last group) stored before 0x1c (first group) along one path; points of
// type 0x2f subtypes 4 and 3 (the latter hidden below 24 detail bits).
imgkit::GenProduct_t Layers() {
  imgkit::GenProduct_t spec;
  imgkit::GenTile_t& t = spec.tiles.emplace_back();
  t.id = 12;
  t.map.box = {kDeg / 4, kDeg / 4, 0, 0};
  t.map.levelBits = {24, 22, 20};
  const std::int32_t a = kDeg / 16, b = 3 * kDeg / 16, m = kDeg / 8;
  t.map.areas.push_back({0x28, "", imgkit::BoxOutline({b, b, a, a})});
  t.map.areas.push_back({0x01, "", imgkit::BoxOutline({b, b, a, a})});
  t.map.areas.push_back({0x0e, "", imgkit::BoxOutline({b, b, a, m})});
  t.map.lines.push_back({0x01, "", {{m, kDeg / 32}, {m, 7 * kDeg / 32}}});
  t.map.lines.push_back({0x1c, "", {{m, kDeg / 32}, {m, 7 * kDeg / 32}}});
  t.map.points.push_back({0x2f, "", {m, m}, std::uint8_t{4}});
  t.map.points.push_back({0x2f, "", {m, a / 2}, std::uint8_t{3}});
  t.map.points.push_back({0x20, "", {m + kDeg / 40, a}, std::nullopt});
  t.map.points.push_back({0x20, "", {m + kDeg / 40, b}, std::nullopt});
  return spec;
}

// Records the points drawn and marks each with a 5 x 5 square.
class PassWindow : public mapwintest::TestWindow {
 public:
  std::vector<std::pair<std::uint16_t, std::uint16_t>> points;
  void DrawPoint(plat::Dc_t& screen, plat::Dc_t& target, const mpl::Point_t& point, mpl::Map_t& map,
                 map::Dymo_t* labels) override {
    points.emplace_back(point.record.type, point.record.subtype);
    map::Window_t::DrawPoint(screen, target, point, map, labels);
    const plat::POINT at = GetProjector().PositionToScreen(geo::Position_t(point.record.lat, point.record.lon));
    target.FillSolidRect(plat::RECT{at.x - 2, at.y - 2, at.x + 3, at.y + 3}, kMarker);
  }
};

class DrawPassesTest : public mapwintest::MapWinTest {
 protected:
  void SetUp() override {
    MapWinTest::SetUp();
    test::UseTestResources();  // the point symbols
    const imgkit::GeneratedProduct_t product = imgkit::WriteProduct(Layers(), test::MakeTempDir("passes"));
    m_source = mpl::ImageSource_t(product.tilePaths.at(12), true, "", nullptr, plat::kInvalidHandle, 64);
    const geo::Position_t centre(kDeg / 8, kDeg / 8);
    m_map = std::make_unique<mpl::Map_t>(m_source, mpl::SelectMapName(m_source, centre, 24), "");
    ASSERT_TRUE(m_map->IsOpen());
    m_window = std::make_unique<PassWindow>();
    ASSERT_TRUE(m_window->CreateMapWindow(&m_frame, 1, plat::RECT{0, 0, 300, 200}));
    // 0.00125 degrees a pixel: the quarter-degree tile is 200 pixels high,
    // its square from x 100 to 200 and y 50 to 150.
    m_window->GetProjector().SetScale(0.00125 * kDeg);
    m_window->GetProjector().SetCenter(centre);
    mpl::MdbSelectLevel(m_map->Engine(), 24, 0);
    m_map->SetSearchBox(m_window->GetProjector().GetVisibleBox());
  }
  PassWindow& Window() { return static_cast<PassWindow&>(*m_window); }
  // Paints with the tile's layers as the underlay.
  void Draw(int part, const plat::Region_t* clip = nullptr) {
    Window().underlay = [this, part, clip](plat::Dc_t& screen, plat::Dc_t& back) {
      Window().DrawTile(screen, back, *m_map, nullptr, clip, part);
    };
    Window().points.clear();
    // A change of view makes the next paint draw again.
    m_window->GetProjector().SetCenter(m_window->GetProjector().GetCenter());
    m_window->Invalidate(false);
    Paint();
  }

  mpl::ImageSource_t m_source;
  std::unique_ptr<mpl::Map_t> m_map;
};

TEST_F(DrawPassesTest, GroupsDrawInTheirOrderNotTheReadersOrder) {
  Draw(0);
  EXPECT_LT(m_window->GetProjector().GetDetailBits(), 24);
  EXPECT_EQ(Back(120, 70), Entry(9));   // water over the city below it
  EXPECT_EQ(Back(180, 70), Entry(15));  // the grey area after the water
  EXPECT_EQ(Back(90, 100), Entry(2));   // the last line group on top
  EXPECT_EQ(Back(150, 100), kMarker);   // points over everything
  // Subtype 3 of 0x2f is hidden below 24 detail bits, subtype 4 is not.
  const std::vector<std::pair<std::uint16_t, std::uint16_t>> expected{{0x2f, 4}, {0x20, 0}, {0x20, 0}};
  std::vector<std::pair<std::uint16_t, std::uint16_t>> drawn = Window().points;
  std::sort(drawn.begin(), drawn.end());
  std::vector<std::pair<std::uint16_t, std::uint16_t>> sorted = expected;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(drawn, sorted);
  EXPECT_NE(Back(125, 100), kMarker);
}

TEST_F(DrawPassesTest, PartsOfATile) {
  Draw(1);  // the first area group alone
  EXPECT_EQ(Back(120, 70), Entry(14));
  EXPECT_EQ(Back(180, 70), Entry(14));
  EXPECT_NE(Back(90, 100), Entry(2));
  EXPECT_TRUE(Window().points.empty());
  Draw(2);  // everything after it
  EXPECT_EQ(Back(120, 70), Entry(9));
  EXPECT_EQ(Back(90, 100), Entry(2));
  EXPECT_EQ(Window().points.size(), 3u);
}

TEST_F(DrawPassesTest, PointOutsideTheClipRegionIsNotDrawn) {
  // The two 0x20 points lie at x 100 and 200; the region holds the west half.
  plat::Region_t west;
  ASSERT_TRUE(west.CreateRectRgn(0, 0, 150, 200));
  Draw(0, &west);
  const std::vector<std::pair<std::uint16_t, std::uint16_t>> expected{{0x20, 0}};
  EXPECT_EQ(Window().points, expected);
  // The areas and lines are drawn whole.
  EXPECT_EQ(Back(180, 70), Entry(15));
}

TEST_F(DrawPassesTest, StateSaverPutsBackLevelBoxAndFilters) {
  const unsigned level = m_map->GetDetailLevel();
  const geo::Box_t box = m_map->GetSearchBox();
  const mpl::Filter_t area = m_map->GetAreaFilter();
  const mpl::Filter_t line = m_map->GetLineFilter();
  const mpl::Filter_t point = m_map->GetPointFilter();
  {
    map::MapStateSaver_t saver(*m_map);
    mpl::MdbSelectLevel(m_map->Engine(), 22, 0);
    m_map->SetSearchBox(geo::Box_t(kDeg / 20, 0, kDeg / 20, 0));
    m_map->SetAreaFilter(map::GetAreaGroup1()[0]);
    m_map->SetLineFilter(map::GetLineGroups()[1]);
    m_map->SetPointFilter(map::MakePointFilter(10));
    EXPECT_NE(m_map->GetDetailLevel(), level);
  }
  EXPECT_EQ(m_map->GetDetailLevel(), level);
  EXPECT_EQ(m_map->GetSearchBox().GetNorth(), box.GetNorth());
  EXPECT_EQ(m_map->GetSearchBox().GetEast(), box.GetEast());
  EXPECT_EQ(m_map->GetAreaFilter(), area);
  EXPECT_EQ(m_map->GetLineFilter(), line);
  EXPECT_EQ(m_map->GetPointFilter(), point);
  // Also when an exception leaves the pass.
  try {
    map::MapStateSaver_t saver(*m_map);
    m_map->SetAreaFilter(map::GetAreaGroup2()[1]);
    throw map::Window_t::RenderAborted_t(__FILE__, __LINE__);
  } catch (const map::Window_t::RenderAborted_t&) {
  }
  EXPECT_EQ(m_map->GetAreaFilter(), area);
  mpl::Map_t closed;
  EXPECT_THROW(map::MapStateSaver_t{closed}, glo::Assert_t);
}

}  // namespace

// ---------------------------------------------------------------------------
// Whole renders of a generated product through the window.

namespace {

constexpr std::int32_t U = 0x10000;

// A basemap with water (0x28) over most of its box and one detail tile of U
// by U with a city area (0x01) inside it.
imgkit::GenProduct_t BasemapAndTile() {
  imgkit::GenProduct_t spec;
  spec.basemap.box = {2 * U, 3 * U, 0, 0};
  spec.basemap.areas.push_back({0x28, "", imgkit::BoxOutline({2 * U - U / 8, 3 * U - U / 8, U / 8, U / 8})});
  imgkit::GenTile_t& t = spec.tiles.emplace_back();
  t.id = 3;
  t.map.box = {U, U, 0, 0};
  t.map.areas.push_back({0x01, "", imgkit::BoxOutline({U - U / 8, U - U / 8, U / 8, U / 8})});
  return spec;
}

class CountingWindow : public mapwintest::TestWindow {
 public:
  int basemapPasses = 0;
  void DrawBasemap(plat::Dc_t& screen, const geo::Box_t& viewBox, map::Dymo_t* labels) override {
    ++basemapPasses;
    map::Window_t::DrawBasemap(screen, viewBox, labels);
  }
};

class RenderTest : public mapwintest::ProductWindowTest {
 protected:
  void SetUp() override {
    MapWinTest::SetUp();
    OpenProduct(BasemapAndTile(), "render", std::make_unique<CountingWindow>());
  }
  CountingWindow& Window() { return static_cast<CountingWindow&>(*m_window); }
  void Render(double scale, const geo::Position_t& centre) {
    Window().basemapPasses = 0;
    View(scale, centre);
  }
};

TEST_F(RenderTest, BasemapWhereNoTileCoversTheViewThenTheTile) {
  // 256 semicircles a pixel (23 detail bits, finer than the basemap's 20):
  // the tile covers the client area left of x 200.
  Render(256.0, geo::Position_t(U / 2, U));
  EXPECT_TRUE(m_window->ShowsDetailMaps());
  EXPECT_EQ(Window().basemapPasses, 1);
  EXPECT_TRUE(m_window->IsDetailMapsShown());
  EXPECT_EQ(Back(300, 150), Entry(9));   // basemap water
  EXPECT_EQ(Back(100, 150), Entry(14));  // the tile's city
  EXPECT_EQ(Back(185, 150), Entry(12));  // the tile's background over the water
  ASSERT_EQ(m_window->GetCache().GetTiles().size(), 1u);
}

TEST_F(RenderTest, ViewInsideATileDrawsNoBasemap) {
  Render(64.0, geo::Position_t(U / 2, U / 2));
  EXPECT_EQ(m_window->GetCache().GetUncoveredRegion().GetType(), plat::kNullRegion);
  EXPECT_EQ(Window().basemapPasses, 0);
  EXPECT_TRUE(m_window->IsDetailMapsShown());
  EXPECT_EQ(Back(200, 150), Entry(14));
}

TEST_F(RenderTest, ZoomedOutDrawsTheBasemapAlone) {
  // 4096 semicircles a pixel: 19 detail bits, coarser than the basemap.
  Render(4096.0, geo::Position_t(U, U));
  EXPECT_FALSE(m_window->ShowsDetailMaps());
  EXPECT_EQ(Window().basemapPasses, 1);
  EXPECT_FALSE(m_window->IsDetailMapsShown());
  EXPECT_TRUE(m_window->IsProgressiveBlit());
  const plat::POINT water = m_window->GetProjector().PositionToScreen(geo::Position_t(U + U / 2, 2 * U));
  EXPECT_EQ(Back(water.x, water.y), Entry(9));
}

}  // namespace

// ---------------------------------------------------------------------------
// A map whose west edge lies on the seam: its lines are drawn on both sides of
// the globe, except the line of type 0x41 subtype 9, which stays on the globe.

namespace {

constexpr std::int32_t kDegree = 11930465;

imgkit::GenProduct_t SeamMap() {
  imgkit::GenProduct_t spec;
  spec.basemap.box = {15 * kDegree / 2, INT32_MIN + 10 * kDegree, -15 * kDegree / 2, INT32_MIN};
  spec.basemap.levelBits = {18, 16};
  imgkit::GenTile_t& t = spec.tiles.emplace_back();
  t.id = 5;
  t.map.box = {15 * kDegree / 2, INT32_MIN + 10 * kDegree, -15 * kDegree / 2, INT32_MIN};
  t.map.levelBits = {20, 18};
  t.map.lines.push_back({0x01, "", {{7 * kDegree, INT32_MIN}, {7 * kDegree, INT32_MIN + 10 * kDegree}}});
  t.map.customize = [](imgkit::MapBuilder_t& m, imgkit::RgnBuilder_t& rgn) {
    const std::vector<unsigned> bits{20, 18};
    for (std::size_t i = 0; i < rgn.subdivisions.size(); ++i) {
      const std::int64_t unit = std::int64_t{1} << (32 - bits[bits.size() - 1 - i]);
      const std::int64_t lon0 = m.tre.levels[i].subdivs[0].centreLon;
      imgkit::RgnExtObject_t line;
      line.type = 0x01;  // extended line 0x01: type 0x41 as the reader gives it
      line.subtype = 9;
      line.dlon = static_cast<std::int16_t>((std::int64_t{INT32_MIN} - lon0) / unit);
      line.dlat = static_cast<std::int16_t>(-7 * std::int64_t{kDegree} / unit);
      line.stream.extended = true;
      line.stream.points.push_back({static_cast<std::int32_t>(10 * std::int64_t{kDegree} / unit), 0, {}});
      rgn.subdivisions[i].extLines.push_back(line);
    }
    m.tre.extFlags = 0x07;
    m.tre.extTypeRecordSize = 3;
    m.tre.extTypes[0].recordSize = 3;
    m.tre.extTypes[0].data = std::string{'\x01', '\x01', '\x09'};
  };
  return spec;
}

class SeamLineTest : public DrawPassesTest {
 protected:
  void SetUp() override {
    MapWinTest::SetUp();
    const imgkit::GeneratedProduct_t product = imgkit::WriteProduct(SeamMap(), test::MakeTempDir("seam"));
    m_source = mpl::ImageSource_t(product.tilePaths.at(5), true, "", nullptr, plat::kInvalidHandle, 64);
    const geo::Position_t centre(0, INT32_MIN + 5 * kDegree);
    m_map = std::make_unique<mpl::Map_t>(m_source, mpl::SelectMapName(m_source, centre, 20), "");
    ASSERT_TRUE(m_map->IsOpen());
    m_window = std::make_unique<PassWindow>();
    ASSERT_TRUE(m_window->CreateMapWindow(&m_frame, 1, plat::RECT{0, 0, 300, 200}));
    // 2.4 degrees a pixel around 0/0: the globe runs from x 75 to 225.
    m_window->GetProjector().SetScale(2.4 * kDegree);
    m_window->GetProjector().SetCenter(geo::Position_t(0, 0));
    mpl::MdbSelectLevel(m_map->Engine(), 20, 0);
    m_map->SetSearchBox(geo::Box_t(15 * kDegree / 2, -15 * kDegree / 2, INT32_MIN + 10 * kDegree, INT32_MIN));
  }
};

TEST_F(SeamLineTest, LineOfType41Subtype9StaysOnTheGlobe) {
  std::vector<std::pair<std::uint16_t, std::uint16_t>> types;
  for (const mpl::Line_t& l : m_map->LineSearch(m_map->GetLineCriteria())) types.emplace_back(l.record.type, l.record.subtype);
  ASSERT_EQ(types.size(), 2u);
  Draw(0);
  const plat::RECT globe = m_window->GetProjector().GetGlobeRect();
  EXPECT_EQ(globe.left, 75);
  EXPECT_EQ(globe.right, 225);
  // Lines from 180 west to 170 west: on the globe's west edge (x 75-79) and,
  // a turn further east, beyond its east edge (x 225-229).
  const int north = m_window->GetProjector().PositionToScreen(geo::Position_t(7 * kDegree, 0)).y;
  const int south = m_window->GetProjector().PositionToScreen(geo::Position_t(-7 * kDegree, 0)).y;
  EXPECT_EQ(Back(77, north), Entry(2));
  EXPECT_EQ(Back(227, north), Entry(2));
  EXPECT_EQ(Back(77, south), Entry(0));
  EXPECT_NE(Back(227, south), Entry(0));
}

}  // namespace

// ---------------------------------------------------------------------------
// What a render shows of a generated product's labels and of the scale bar's
// notice: a named road, two short shields and the notice at two zooms.

namespace {

// One tile of U by U: the road "MAIN ST" across it west to east, and two
// highways north to south with the shields "95" (kind 2) and "E45" (kind 5).
imgkit::GenProduct_t RoadsAndShields() {
  imgkit::GenProduct_t spec;
  imgkit::GenTile_t& t = spec.tiles.emplace_back();
  t.id = 7;
  t.map.box = {U, U, 0, 0};
  imgkit::GenLine_t road{0x06, "MAIN ST", {{U / 2, U / 16}, {U / 2, 15 * U / 16}}};
  road.road = true;
  t.map.lines.push_back(road);
  t.map.lines.push_back({0x01, "\x01" "95", {{U / 16, U / 4}, {15 * U / 16, U / 4}}});
  t.map.lines.push_back({0x01, "\x04" "E45", {{U / 16, 3 * U / 4}, {15 * U / 16, 3 * U / 4}}});
  return spec;
}

// Keeps the labels the grid holds after each tile.
class LabelledWindow : public mapwintest::TestWindow {
 public:
  std::vector<map::Label_t> labels;
  void DrawTile(plat::Dc_t& screen, plat::Dc_t& target, mpl::Map_t& map, map::Dymo_t* grid,
                const plat::Region_t* clip, int part) override {
    map::Window_t::DrawTile(screen, target, map, grid, clip, part);
    if (grid == nullptr) return;
    labels.clear();
    for (int row = 0; row < grid->Rows(); ++row)
      for (int column = 0; column < grid->Columns(); ++column)
        for (const map::Label_t& label : grid->Cell(row, column).Labels()) labels.push_back(label);
  }
};

class LabelRenderTest : public mapwintest::ProductWindowTest {
 protected:
  void SetUp() override {
    MapWinTest::SetUp();
    OpenProduct(RoadsAndShields(), "labels", std::make_unique<LabelledWindow>());
  }
  LabelledWindow& Window() { return static_cast<LabelledWindow&>(*m_window); }
  const map::Label_t* Find(const std::string& text) {
    for (const map::Label_t& label : Window().labels)
      if (label.text == text) return &label;
    return nullptr;
  }

  // The notice under the bar of the 400 x 300 window: string 'id' on a box of
  // 'box', compared pixel by pixel with the text drawn on that colour, below
  // the bar's row, inside the box's height and inside the window.
  void ExpectNotice(unsigned id, plat::COLORREF box) {
    const std::string text = glo::LoadStringResource(id, GLO_SRC);
    ASSERT_FALSE(text.empty());
    plat::Dc_t reference;
    ASSERT_TRUE(reference.CreateCompatibleDC(nullptr));
    plat::LOGFONTA lf = map::GetRegistry().MapFont();
    lf.lfHeight = 100;
    plat::Font_t font;
    ASSERT_TRUE(font.CreatePointFontIndirect(lf, &reference));
    reference.SelectObject(font);
    plat::SIZE size{0, 0};
    reference.GetTextExtentPoint32(text, size);
    plat::Bitmap_t bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(reference, size.cx + 2, size.cy));
    reference.SelectObject(bitmap);
    reference.FillSolidRect(plat::RECT{0, 0, size.cx + 2, size.cy}, box);
    reference.SetBkMode(plat::kTransparent);
    reference.SetTextAlign(plat::kTaLeft | plat::kTaTop);
    reference.TextOut(1, 0, text);
    // A notice wider than 140 pixels moves the bar left, one taller than 16
    // pixels moves it up; the box is centred on the bar's 100 pixels.
    int x0 = 400 - 120, y = 300 - 16;
    const int excess = (size.cx - 100) / 2;
    if (excess > 20) x0 += 20 - excess;
    if (size.cy > 16) y += 16 - size.cy;
    const int left = x0 + (100 - size.cx) / 2 - 1;
    int differing = 0;
    for (int row = 2; row < size.cy - 1; ++row)
      for (int column = 0; column < size.cx + 2; ++column)
        if (left + column < 400)
          differing += At(left + column, y + row) != (reference.GetPixel(column, row) & 0x00FFFFFFu);
    EXPECT_EQ(0, differing) << text;
    EXPECT_EQ(box, At(left, y + 2)) << text;
  }
};

TEST_F(LabelRenderTest, RoadsAreNamedAndShortShieldsWearTheirBadge) {
  // 256 semicircles a pixel: the tile is 256 pixels wide around the centre.
  View(256.0, geo::Position_t(U / 2, U / 2));
  ASSERT_TRUE(m_window->IsDetailMapsShown());
  const map::Label_t* road = Find("Main St");
  ASSERT_NE(nullptr, road) << "the road is drawn without its name";
  EXPECT_EQ(1, road->shieldKind);
  // The 27-pixel image of the shield's kind at (x - 13, y - 13): the edge two
  // pixels in, the body inside it on both sides of the text.
  const struct {
    const char* text;
    int kind;
    plat::COLORREF edge, body;
  } shields[] = {{"\x01" "95", 2, plat::Rgb(255, 255, 255), plat::Rgb(20, 60, 160)},
                 {"\x04" "E45", 5, plat::Rgb(30, 60, 200), plat::Rgb(220, 30, 30)}};
  for (const auto& s : shields) {
    const map::Label_t* label = Find(s.text);
    ASSERT_NE(nullptr, label) << s.text + 1;
    EXPECT_EQ(s.kind, label->shieldKind);
    EXPECT_EQ(s.edge, Back(label->x - 11, label->y - 11)) << s.text + 1;
    EXPECT_EQ(s.body, Back(label->x - 9, label->y - 9)) << s.text + 1;
    EXPECT_EQ(s.body, Back(label->x + 10, label->y - 9)) << s.text + 1;
  }
}

TEST_F(LabelRenderTest, TheScaleNoticeTellsOfDetailMapsAndOfZoomingPastThem) {
  // 23 zoom bits over the tile's levels of 24 and 22 bits: detail maps shown.
  View(256.0, geo::Position_t(U / 2, U / 2));
  ASSERT_TRUE(m_window->IsDetailMapsShown());
  ASSERT_LE(m_window->GetProjector().GetZoomBits(), m_window->GetDetailLevel() + 1);
  ExpectNotice(4438, map::PaletteColor(1));
  // 8 semicircles a pixel: 28 zoom bits, past the finest level drawn.
  View(8.0, geo::Position_t(U / 2, U / 2));
  ASSERT_GT(m_window->GetProjector().GetZoomBits(), m_window->GetDetailLevel() + 1);
  ExpectNotice(4437, map::PaletteColor(6));
}

}  // namespace
