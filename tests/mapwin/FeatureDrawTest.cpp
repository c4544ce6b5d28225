// Drawing of single features: areas by brush or colour attribute (twice across
// the seam), lines with attribute pens and tick marks, light sectors and the
// graticule, checked on the pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "gdi/GDI_SmartPen.h"
#include "map/MAP_Palette.h"
#include "map/MAP_Styles.h"
#include "map/MAP_WindowFeatures.h"
#include "tests/mapwin/MapWinTestUtil.h"

namespace {

using mapwintest::MapWinTest;
using mapwintest::TestWindow;

constexpr plat::COLORREF kPaper = plat::Rgb(1, 2, 3);
constexpr plat::COLORREF kBackground = plat::Rgb(235, 235, 235);
constexpr double kPerDeg = 11930464.711111112;
std::int32_t Deg(double d) { return static_cast<std::int32_t>(std::lround(d * kPerDeg)); }

plat::COLORREF Entry(int i) { return map::PaletteColor(i); }

// A memory context with the map palette, over paper of no palette colour.
class Canvas {
 public:
  Canvas(int w, int h) {
    EXPECT_TRUE(plat::EnsureGuiApplication());
    EXPECT_TRUE(map::CreateMapPalette(palette));
    EXPECT_TRUE(dc.CreateCompatibleDC(nullptr));
    EXPECT_TRUE(bitmap.CreateCompatibleBitmap(dc, w, h));
    dc.SelectObject(bitmap);
    dc.SelectPalette(palette.GetSafeHandle(), false);
    dc.FillSolidRect(plat::RECT{0, 0, w, h}, kPaper);
  }
  bool Inked(int x, int y) const { return dc.GetPixel(x, y) != kPaper; }
  plat::Palette_t palette;
  plat::Bitmap_t bitmap;
  plat::Dc_t dc;
};

// Which of the pixels at distance 1-4 above (-) and below (+) a point are inked.
TEST(FeatureDraw, TicksAlongAHorizontalSegment) {
  struct Case {
    int style;
    bool above, below;
  } cases[] = {{1, false, true}, {2, true, false}, {3, true, true}, {0, false, false}, {7, false, false}};
  for (const Case& c : cases) {
    Canvas canvas(80, 40);
    gdi::SmartPen_t pen(canvas.dc, plat::kPsSolid, 1, plat::Rgb(0, 0, 0));
    // 40 pixels: five ticks, the first half a step (4 pixels) from the start.
    map::Window_t::DrawTicks(canvas.dc, plat::POINT{10, 20}, plat::POINT{50, 20}, c.style, 4);
    for (int x : {14, 22, 30, 38, 46}) {
      EXPECT_EQ(canvas.Inked(x, 17), c.above) << c.style << " " << x;
      EXPECT_EQ(canvas.Inked(x, 22), c.below) << c.style << " " << x;
    }
    // Nothing between the ticks, nothing on the segment itself past the ticks.
    for (int x : {18, 26, 34, 42}) {
      EXPECT_FALSE(canvas.Inked(x, 17));
      EXPECT_FALSE(canvas.Inked(x, 22));
    }
  }
}

TEST(FeatureDraw, TickSidesFollowTheDirection) {
  struct Case {
    const char* what;
    int width, height;
    plat::POINT from, to;
    int style;
    std::vector<plat::POINT> inked, clear;
  } cases[] = {
      // The side flag is set, style 1 draws above (P - o to P).
      {"leftward", 80, 40, {50, 20}, {10, 20}, 1, {{46, 17}}, {{46, 22}}},
      // Offset (4, 0), side set: style 1 draws left of the segment.
      {"downward", 40, 80, {20, 10}, {20, 50}, 1, {{17, 14}}, {{22, 14}}},
      // Offset (3, -3); style 3 crosses the segment: the first tick at (3, 3)
      // from (0, 6) to (6, 0).
      {"diagonal down-right", 80, 80, {0, 0}, {40, 40}, 3, {{1, 5}, {5, 1}}, {}},
  };
  for (const Case& c : cases) {
    Canvas canvas(c.width, c.height);
    gdi::SmartPen_t pen(canvas.dc, plat::kPsSolid, 1, plat::Rgb(0, 0, 0));
    map::Window_t::DrawTicks(canvas.dc, c.from, c.to, c.style, 4);
    for (const plat::POINT& p : c.inked) EXPECT_TRUE(canvas.Inked(p.x, p.y)) << c.what << " " << p.x << "," << p.y;
    for (const plat::POINT& p : c.clear) EXPECT_FALSE(canvas.Inked(p.x, p.y)) << c.what << " " << p.x << "," << p.y;
  }
  // Too short for a tick, and a point.
  {
    Canvas canvas(40, 40);
    gdi::SmartPen_t pen(canvas.dc, plat::kPsSolid, 1, plat::Rgb(0, 0, 0));
    map::Window_t::DrawTicks(canvas.dc, plat::POINT{10, 10}, plat::POINT{13, 10}, 3, 4);
    map::Window_t::DrawTicks(canvas.dc, plat::POINT{20, 20}, plat::POINT{20, 20}, 3, 4);
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) ASSERT_FALSE(canvas.Inked(x, y)) << x << " " << y;
  }
}

// A sector from bearing 0 to 90 degrees lies south-west of the light (it is
// seen from seaward): the lower-left quarter of the circle.
TEST(FeatureDraw, LightSectorRadiiAndColours) {
  struct Case {
    std::uint8_t range, colour;
    int radius;
    int inner;  // palette entry of the last stroke, -1 none
  } cases[] = {{2, 1, 20, 4}, {5, 2, 20, 21}, {10, 4, 40, 2}, {30, 3, 100, 1}, {25, 5, 100, 6}, {1, 9, 20, 1},
               {10, 0, 40, -1}};
  for (const Case& c : cases) {
    Canvas canvas(300, 300);
    const plat::POINT centre{150, 150};
    map::DrawLightSector(canvas.dc, centre, mpl::MdbLightSector_t{0, 900, c.colour, c.range});
    const int d = static_cast<int>(std::lround(c.radius / std::sqrt(2.0)));
    if (c.inner < 0) {
      for (int y = 0; y < 300; y += 2)
        for (int x = 0; x < 300; x += 2) ASSERT_FALSE(canvas.Inked(x, y)) << x << " " << y;
      continue;
    }
    EXPECT_EQ(canvas.dc.GetPixel(150 - d, 150 + d), Entry(c.inner)) << int(c.range) << "/" << int(c.colour);
    EXPECT_FALSE(canvas.Inked(150 + d, 150 - d));
    EXPECT_FALSE(canvas.Inked(150 - d, 150 - d));
    EXPECT_FALSE(canvas.Inked(150 + d, 150 + d));
    // On the radius, not inside or outside it.
    EXPECT_FALSE(canvas.Inked(150 - d + 5, 150 + d - 5));
    EXPECT_FALSE(canvas.Inked(150 - d - 5, 150 + d + 5));
  }
}

TEST(FeatureDraw, GraticuleSteps) {
  const std::uint32_t deg15 = 178956970, deg5 = 59652323, deg1 = 11930464, half = 5965232;
  struct Case {
    double widthDeg;
    std::uint32_t step;
  } cases[] = {{359.9, deg15}, {60, deg15}, {59, deg5}, {20, deg5}, {19.9, deg1},
               {4, deg1},      {3.9, half}, {1.5, half}, {0.01, half}};
  for (const Case& c : cases) EXPECT_EQ(map::GraticuleStep(std::uint32_t(c.widthDeg * kPerDeg)), c.step) << c.widthDeg;
}

// A window whose underlay is the map window's own graticule.
class FeatureWindowTest : public MapWinTest {
 protected:
  TestWindow& MakeGraticule(double degPerPixel, const geo::Position_t& centre) {
    TestWindow& w = Make(300, 200);
    w.underlay = [&w](plat::Dc_t& screen, plat::Dc_t& back) { w.map::Window_t::DrawUnderlay(screen, back); };
    w.GetProjector().SetScale(degPerPixel * kPerDeg);
    w.GetProjector().SetCenter(centre);
    w.Invalidate(false);
    Paint();
    return w;
  }
};

TEST_F(FeatureWindowTest, NarrowViewGetsHalfDegreeGraticule) {
  // 1.5 by 1 degree: meridians at -0.5, 0 and 0.5 (x 50, 150, 250), parallels
  // at 0 (y 100) and 0.5 (the top row); only two meridian steps fit, and the
  // step stays at half a degree.
  MakeGraticule(0.005, geo::Position_t(0, 0));
  const plat::COLORREF black = Entry(0);
  for (int x : {50, 150, 250}) EXPECT_EQ(Back(x, 60), black) << x;
  for (int x : {20, 100, 200}) EXPECT_EQ(Back(x, 100), black) << x;
  for (int x : {20, 100, 200, 280}) EXPECT_EQ(Back(x, 60), kBackground) << x;
  EXPECT_EQ(Back(100, 150), kBackground);
}

TEST_F(FeatureWindowTest, AppWindowKeepsNoGraticule) {
  // The test window's own underlay (nothing) replaces the graticule.
  TestWindow& w = Make(300, 200);
  w.GetProjector().SetScale(0.005 * kPerDeg);
  w.Invalidate(false);
  Paint();
  EXPECT_EQ(Back(150, 60), kBackground);
}

// Areas and lines through the window's projector into a canvas.
class FeatureShapeTest : public MapWinTest {
 protected:
  void SetUp() override {
    MapWinTest::SetUp();
    Make(300, 200);
    // 2.4 degrees a pixel: the globe is 150 pixels wide, from x 75 to 225.
    m_window->GetProjector().SetScale(2.4 * kPerDeg);
    m_window->GetProjector().SetCenter(geo::Position_t(0, 0));
    map::GdiSet_t::Instance().Create(0);
  }
  static mpl::Area_t Square(double west, double east, double south, double north) {
    mpl::Area_t a;
    a.record.box = mpl::MdbBox_t{Deg(north), east >= 180 ? INT32_MIN : Deg(east), Deg(south), Deg(west)};
    const std::int32_t e = east >= 180 ? INT32_MIN : Deg(east);
    a.record.points = {{Deg(north), Deg(west)}, {Deg(north), e}, {Deg(south), e}, {Deg(south), Deg(west)}};
    return a;
  }
  Canvas m_canvas{300, 200};
  mpl::Map_t m_noMap;
};

TEST_F(FeatureShapeTest, ColourAttributeOrTypeBrush) {
  mpl::Area_t coloured = Square(-24, 0, -24, 24);
  coloured.record.type = 0x01;
  coloured.aux.bytes[0] = 5;  // colour-index area
  coloured.aux.bytes[1] = 1;  // palette 34
  m_window->DrawArea(m_canvas.dc, m_canvas.dc, coloured, m_noMap, nullptr, nullptr);
  mpl::Area_t typed = Square(24, 48, -24, 24);
  typed.record.type = 0x01;  // city: palette 14
  m_window->DrawArea(m_canvas.dc, m_canvas.dc, typed, m_noMap, nullptr, nullptr);
  EXPECT_EQ(m_canvas.dc.GetPixel(145, 100), Entry(34));
  EXPECT_EQ(m_canvas.dc.GetPixel(165, 100), Entry(14));
  // No outline with the null pen; a coverage area (0x4a) is hollow with a grey edge.
  EXPECT_EQ(m_canvas.dc.GetPixel(140, 100), Entry(34));
  mpl::Area_t coverage = Square(-72, -48, -24, 24);
  coverage.record.type = 0x4a;
  m_window->DrawArea(m_canvas.dc, m_canvas.dc, coverage, m_noMap, nullptr, nullptr);
  EXPECT_EQ(m_canvas.dc.GetPixel(125, 100), kPaper);
  int grey = 0;
  for (int x = 115; x <= 135; ++x) grey += m_canvas.dc.GetPixel(x, 100) == Entry(13);
  EXPECT_GE(grey, 1);
}

TEST_F(FeatureShapeTest, AreaEndingOnTheSeamIsDrawnOnBothSides) {
  mpl::Area_t area = Square(156, 180, -24, 24);
  area.record.type = 0x01;
  m_window->DrawArea(m_canvas.dc, m_canvas.dc, area, m_noMap, nullptr, nullptr);
  // 156-180 east lies at x 215-225; its copy one globe (150 pixels) west.
  EXPECT_EQ(m_canvas.dc.GetPixel(220, 100), Entry(14));
  EXPECT_EQ(m_canvas.dc.GetPixel(70, 100), Entry(14));
  EXPECT_EQ(m_canvas.dc.GetPixel(150, 100), kPaper);
  EXPECT_EQ(m_canvas.dc.GetPixel(230, 100), kPaper);
}

TEST_F(FeatureShapeTest, AttributePenWithTicksAndTypePen) {
  mpl::Line_t styled;
  styled.record.type = 0x06;
  styled.record.box = mpl::MdbBox_t{0, Deg(48), 0, Deg(-48)};
  styled.record.points = {{0, Deg(-48)}, {0, Deg(48)}};  // x 130 to 170 at y 100
  styled.aux.bytes = {};
  styled.aux.bytes[0] = 4;  // styled line
  styled.aux.bytes[1] = 4;  // palette 37
  styled.aux.bytes[2] = 0;  // solid
  styled.aux.bytes[3] = 3;  // ticks across
  const map::Window_t::PenSpec_t spec = m_window->MakeAttributePen(styled);
  EXPECT_EQ(spec.style, plat::kPsSolid);
  EXPECT_EQ(spec.width, 1);
  EXPECT_EQ(spec.colour, plat::PaletteIndex(37));
  m_window->DrawLine(m_canvas.dc, m_canvas.dc, styled, m_noMap, nullptr, nullptr);
  EXPECT_EQ(m_canvas.dc.GetPixel(150, 100), Entry(37));
  EXPECT_EQ(m_canvas.dc.GetPixel(134, 97), Entry(37));   // first tick, 4 pixels in
  EXPECT_EQ(m_canvas.dc.GetPixel(134, 103), Entry(37));
  EXPECT_EQ(m_canvas.dc.GetPixel(138, 97), kPaper);

  const struct {
    std::uint8_t code;
    int style;
  } styles[] = {{1, plat::kPsDot}, {2, plat::kPsDashDot}, {3, plat::kPsDash}, {9, plat::kPsSolid}};
  for (const auto& s : styles) {
    styled.aux.bytes[2] = s.code;
    EXPECT_EQ(m_window->MakeAttributePen(styled).style, s.style) << int(s.code);
  }

  // Type 0x14 without attributes: default pen (black) with ticks of length 3.
  mpl::Line_t rail;
  rail.record.type = 0x14;
  rail.record.box = mpl::MdbBox_t{Deg(-72), Deg(48), Deg(-72), Deg(-48)};
  rail.record.points = {{Deg(-72), Deg(-48)}, {Deg(-72), Deg(48)}};  // y 130
  m_window->DrawLine(m_canvas.dc, m_canvas.dc, rail, m_noMap, nullptr, nullptr);
  EXPECT_EQ(m_canvas.dc.GetPixel(150, 130), Entry(0));
  EXPECT_EQ(m_canvas.dc.GetPixel(134, 128), Entry(0));
  EXPECT_EQ(m_canvas.dc.GetPixel(134, 126), kPaper);
}

}  // namespace
