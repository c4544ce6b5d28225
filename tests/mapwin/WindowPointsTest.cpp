// The map window's point step (symbol, light sectors, progress check, label
// offer), the marked point of the hover tip, the cursor of the client area,
// the feature menu's command states, the position grid and the operation left
// to derived windows.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "map/MAP_Dymo.h"
#include "mpl/MPL_Map.h"
#include "mpl/MPL_Marine.h"
#include "plat/PLAT_InputProbe.h"
#include "plat/PLAT_ScrollBar.h"
#include "tests/common/TestResources.h"
#include "tests/mapwin/LabelTestUtil.h"
#include "tests/mapwin/MapWinTestUtil.h"
#include "tests/imgkit/MarineBuilder.h"
#include "tests/mpl/MapFacadeFixture.h"
#include "tests/mpl/MarineMap.h"

namespace {

using labeltest::Canvas;
using mapwintest::ManualClock;
using mapwintest::MapWinTest;
using mapwintest::TestWindow;

// A window that counts its light-sector and progress calls.
class PointWindow : public TestWindow {
 public:
  explicit PointWindow(bool scrollBars) : TestWindow(scrollBars) {}
  int sectors = 0;
  int progress = 0;
  void DrawLightSectors(plat::Dc_t&, const mpl::Point_t&, mpl::Map_t&) override { ++sectors; }
  void OnRenderProgress() override { ++progress; }
};

// A tool that answers the cursor question and records it.
class CursorTool : public mapwintest::CountingTool {
 public:
  std::vector<std::pair<unsigned, unsigned>> asked;  // (hit-test code, mouse message)
  plat::HWND window = 0;
  bool answer = false;
  bool OnSetCursor(plat::HWND w, unsigned hitTest, unsigned message) override {
    window = w;
    asked.emplace_back(hitTest, message);
    return answer;
  }
};

// A point at latitude and longitude 0 (the middle of a new window's view).
mpl::Point_t MakePoint(std::uint16_t type, std::uint8_t subtype, std::uint8_t attrClass) {
  mpl::Point_t p;
  p.record.type = type;
  p.record.subtype = subtype;
  p.aux.bytes[0] = attrClass;
  return p;
}

class WindowPointsTest : public MapWinTest {
 protected:
  PointWindow& MakePoints(int width, int height, bool scrollBars = false) {
    test::UseTestResources();
    labeltest::UseLabelSettings();
    auto window = std::make_unique<PointWindow>(scrollBars);
    PointWindow& w = *window;
    m_window = std::move(window);
    EXPECT_TRUE(w.CreateMapWindow(&m_frame, 1, plat::RECT{0, 0, width, height}));
    w.SetInteractive(true);
    Paint();
    return w;
  }
  // Draws the point into 'drawn' (200 x 100) and expects there the very
  // pixels of symbol image 'image' centred on the window's centre.
  static void ExpectSymbolDrawn(PointWindow& w, const mpl::Point_t& point, mpl::Map_t& map, int image,
                                Canvas& drawn) {
    const plat::POINT at = w.GetProjector().PositionToScreen(geo::Position_t(0, 0));
    Canvas expected(200, 100);
    w.DrawPoint(drawn.dc, drawn.dc, point, map, nullptr);
    expected.dc.SetBkMode(plat::kTransparent);
    w.GetSymbolImages().Draw(expected.dc, image, at.x - 8, at.y - 8);
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 200; ++x) ASSERT_EQ(expected.At(x, y), drawn.At(x, y)) << "at " << x << "," << y;
  }
};

TEST_F(WindowPointsTest, ThePointsSymbolIsDrawnCentredOnItsPosition) {
  PointWindow& w = MakePoints(200, 100);
  const plat::POINT at = w.GetProjector().PositionToScreen(geo::Position_t(0, 0));
  struct Case {
    std::uint16_t type;
    std::uint8_t subtype, attrClass, code;
    std::uint32_t link;
    int image;
  } cases[] = {
      {257, 0, 7, 1, 0, 115},  // a light by its light code
      {257, 0, 7, 2, 9, 117},  // a light with a link
      {44, 1, 0, 0, 0, 9},     // the symbol table
      {20, 0, 0, 0, 0, 0},     // no symbol
  };
  mpl::Map_t map;
  for (const Case& c : cases) {
    mpl::Point_t point = MakePoint(c.type, c.subtype, c.attrClass);
    point.aux.bytes[4] = c.code;
    mpl::MdbAuxPut32(point.aux, 36, c.link);
    SCOPED_TRACE(c.type);
    Canvas drawn(200, 100);
    ASSERT_NO_FATAL_FAILURE(ExpectSymbolDrawn(w, point, map, c.image, drawn));
    if (c.image != 0) {
      EXPECT_LE(drawn.Painted(plat::RECT{0, 0, 200, 100}).left, at.x) << c.type;
    }
  }
  // Two lights, two sector calls; nothing else asks for sectors.
  EXPECT_EQ(2, w.sectors);
}

// Points of a generated map as the map reader decodes their attribute blocks:
// the light's symbol by its code or its sector list, the sounding's label.
TEST_F(WindowPointsTest, MarinePointsOfAGeneratedMap) {
  imgkit::LightBlock_t sectorLight;
  sectorLight.value6 = 1;
  sectorLight.sectors = imgkit::SectorEntry(900, 1, 10, false) + imgkit::SectorEntry(2700, 2, 12, true);
  imgkit::LightBlock_t plainLight;
  plainLight.value6 = 1;
  rgntest::Fixture_t f = marinetest::WithObjects({marinetest::WithBlock(0x101, 0, imgkit::LightAttr(sectorLight)),
                                                  marinetest::WithBlock(0x101, 0, imgkit::LightAttr(plainLight)),
                                                  marinetest::WithBlock(0x103, 1, imgkit::AttrShort(0x45))});
  f.map.name = "10000001";
  facadetest::Image_t image(facadetest::FilesOf(f));
  mpl::Map_t map(image.source, "10000001", "");
  ASSERT_TRUE(map.IsOpen());
  auto pointAtCentre = [&](unsigned i) {
    mpl::Point_t p = map.GetPointRecord(mpl::MdbMakeRef(4, i, true));
    p.record.lat = p.record.lon = 0;
    return p;
  };

  PointWindow& w = MakePoints(200, 100);
  for (const auto& [index, image] : {std::pair{1u, 117}, std::pair{2u, 115}}) {
    const mpl::Point_t light = pointAtCentre(index);
    ASSERT_EQ(7, light.aux.bytes[0]);
    SCOPED_TRACE(index);
    Canvas drawn(200, 100);
    ASSERT_NO_FATAL_FAILURE(ExpectSymbolDrawn(w, light, map, image, drawn));
  }
  const plat::POINT at = w.GetProjector().PositionToScreen(geo::Position_t(0, 0));

  Canvas c(200, 100);
  map::Dymo_t grid(w.GetProjector(), &w.GetLabelImages());
  w.DrawPoint(c.dc, c.dc, pointAtCentre(3), map, &grid);
  const std::list<map::Label_t>& labels = grid.FindCell(at)->Labels();
  ASSERT_EQ(1u, labels.size());
  EXPECT_EQ("5", labels.front().text);
}

TEST_F(WindowPointsTest, LightSectorsWaitWhileTrackingAndTheProgressCheckRuns) {
  ManualClock clock;
  PointWindow& w = MakePoints(200, 100, true);
  mpl::Map_t map;
  Canvas c(200, 100);
  const mpl::Point_t light = MakePoint(257, 0, 7);
  clock.now += 150;
  w.DrawPoint(c.dc, c.dc, light, map, nullptr);
  EXPECT_EQ(1, w.sectors);
  EXPECT_EQ(1, w.progress);  // more than 100 ms after the mark
  w.SendMessage(plat::kWmHScroll, plat::kSbThumbTrack | (3u << 16));
  ASSERT_TRUE(w.IsTracking());
  w.DrawPoint(c.dc, c.dc, light, map, nullptr);
  EXPECT_EQ(1, w.sectors);
  EXPECT_EQ(2, w.progress);
}

TEST_F(WindowPointsTest, APointsLabelIsOfferedToTheGrid) {
  PointWindow& w = MakePoints(300, 200);
  mpl::Map_t map;  // no label of the map is read for a measured value
  Canvas c(300, 200);
  map::Dymo_t grid(w.GetProjector(), &w.GetLabelImages());
  mpl::Point_t sounding = MakePoint(259, 1, 2);  // a sounding without a symbol
  sounding.aux.bytes[4] = 2;  // metres
  mpl::MdbAuxPut32(sounding.aux, 8, 12);
  w.DrawPoint(c.dc, c.dc, sounding, map, nullptr);
  const plat::POINT at = w.GetProjector().PositionToScreen(geo::Position_t(0, 0));
  EXPECT_TRUE(grid.FindCell(at)->Labels().empty());
  w.DrawPoint(c.dc, c.dc, sounding, map, &grid);
  const std::list<map::Label_t>& labels = grid.FindCell(at)->Labels();
  ASSERT_EQ(1u, labels.size());
  EXPECT_EQ("12", labels.front().text);
  // No symbol: centred on the point.
  EXPECT_EQ(at.x, (labels.front().MinX() + labels.front().MaxX()) / 2);
  // A point without a label or a measured value offers nothing.
  w.DrawPoint(c.dc, c.dc, MakePoint(44, 1, 0), map, &grid);
  EXPECT_EQ(1u, grid.FindCell(at)->Labels().size());
}

TEST_F(WindowPointsTest, TheHoverTipOfAPointShowsItsSymbolInThePip) {
  PointWindow& w = MakePoints(200, 120);
  const plat::POINT at = w.GetProjector().PositionToScreen(geo::Position_t(0, 0));
  const plat::COLORREF background = At(at.x - 15, at.y);
  // Pixels left of the anchor beyond the plain pip's 7 x 7 square.
  const auto leftOfPip = [&] {
    int n = 0;
    for (int x = at.x - 20; x < at.x - 4; ++x) n += At(x, at.y) != background;
    return n;
  };
  w.SetHoverTip("no symbol", MakePoint(20, 0, 0));
  w.Invalidate(true);
  Paint();
  EXPECT_EQ(plat::Rgb(0, 0, 0), At(at.x, at.y));  // the plain pip: black in a white frame
  EXPECT_EQ(plat::Rgb(255, 255, 255), At(at.x + 3, at.y + 3));
  EXPECT_EQ(0, leftOfPip());
  w.SetHoverTip("light", MakePoint(257, 0, 7));
  w.Invalidate(true);
  Paint();
  EXPECT_GT(leftOfPip(), 0);  // the ring around the symbol
  w.GetHoverTip().Clear();
  w.Invalidate(true);
  Paint();
  EXPECT_EQ(background, At(at.x, at.y));
}

TEST_F(WindowPointsTest, TheCursorIsTheToolsChoiceInTheClientAreaWhileInteractive) {
  PointWindow& w = MakePoints(200, 100);
  const unsigned client = map::Window_t::kHtClient;
  EXPECT_TRUE(w.OnSetCursor(w.GetSafeHwnd(), client, plat::kWmMouseMove));  // no tool: left as it is
  EXPECT_FALSE(w.OnSetCursor(w.GetSafeHwnd(), 2, plat::kWmMouseMove));      // not the client area
  CursorTool tool;
  w.SetTool(&tool);
  EXPECT_FALSE(w.OnSetCursor(w.GetSafeHwnd(), client, plat::kWmMouseMove));
  tool.answer = true;
  EXPECT_TRUE(w.OnSetCursor(w.GetSafeHwnd(), client, plat::kWmMouseMove));
  tool.asked.clear();
  // Mouse moves and presses ask first.
  plat::PostMouse(w, plat::kWmMouseMove, plat::POINT{20, 20});
  plat::PostMouse(w, plat::kWmLButtonDown, plat::POINT{20, 20});
  plat::PostMouse(w, plat::kWmLButtonUp, plat::POINT{20, 20});
  plat::PumpUntilIdle();
  ASSERT_GE(tool.asked.size(), 2u);
  EXPECT_EQ(std::make_pair(client, unsigned(plat::kWmMouseMove)), tool.asked.front());
  EXPECT_EQ(std::make_pair(client, unsigned(plat::kWmLButtonDown)), tool.asked.back());
  EXPECT_EQ(w.GetSafeHwnd(), tool.window);
  // Not interactive: the window's own cursor, the tool is not asked.
  tool.asked.clear();
  w.SetInteractive(false);
  EXPECT_FALSE(w.OnSetCursor(w.GetSafeHwnd(), client, plat::kWmMouseMove));
  EXPECT_TRUE(tool.asked.empty());
  w.SetTool(nullptr);
}

TEST_F(WindowPointsTest, FeatureMenuCommandsGridAndTheOperationLeftToDerivedWindows) {
  PointWindow& w = MakePoints(100, 60);
  for (unsigned id : {6143u, 6145u}) {
    plat::CmdUI_t ui(id);
    ui.Enable(false);
    EXPECT_TRUE(w.OnUpdateCommand(ui)) << id;
    EXPECT_TRUE(ui.IsEnabled()) << id;
  }
  plat::CmdUI_t other(6144);
  EXPECT_FALSE(w.OnUpdateCommand(other));
  geo::Grid_t& grid = w.GetGrid();
  EXPECT_EQ(&grid, &w.GetGrid());
  EXPECT_EQ(16, grid.GetTypeId());  // degrees and minutes
  EXPECT_THROW(w.DerivedOperation(), glo::Assert_t);
}

}  // namespace
