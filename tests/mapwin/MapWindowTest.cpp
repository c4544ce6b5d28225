// The map window: its background and scale bar, the zoom steps over the user's
// distance unit, fitting, recentring, the scroll bars, keys and the wheel.
#include <gtest/gtest.h>

#include <cmath>

#include "afx/AFX_WheelSupportWindow.h"
#include "gdi/GDI_SmartPalette.h"
#include "glo/GLO_Exception.h"
#include "map/MAP_Styles.h"
#include "plat/PLAT_Input.h"
#include "plat/PLAT_ScrollBar.h"
#include "tests/mapwin/MapWinTestUtil.h"

namespace {

using mapwintest::MapWinTest;
using mapwintest::TestWindow;

constexpr plat::COLORREF kBackground = plat::Rgb(235, 235, 235);
constexpr plat::COLORREF kWhite = plat::Rgb(255, 255, 255);
constexpr plat::COLORREF kBlack = plat::Rgb(0, 0, 0);

TEST_F(MapWinTest, ThePictureIsTheBackgroundAndTheScaleBar) {
  TestWindow& w = Make(300, 200);
  ASSERT_NE(nullptr, w.GetBackDc());
  EXPECT_EQ(kBackground, w.GetBackDc()->GetPixel(0, 0));
  EXPECT_EQ(kBackground, w.GetBackDc()->GetPixel(299, 199));
  EXPECT_EQ(kBackground, At(10, 10));
  // The bar from (180, 184) to (280, 184) with 4-pixel ends: black on a white edge.
  for (int x : {180, 230, 280}) EXPECT_EQ(kBlack, At(x, 184)) << x;
  EXPECT_EQ(kWhite, At(230, 185));
  EXPECT_EQ(kWhite, At(230, 183));
  EXPECT_EQ(kBackground, At(230, 186));
  EXPECT_EQ(kBlack, At(180, 181));
  EXPECT_EQ(kBlack, At(280, 181));
  EXPECT_EQ(kBackground, At(230, 182 - 30));
  // The step text sits in a white box above the bar, centred on it.
  int boxed = 0;
  for (int x = 200; x < 260; ++x) boxed += At(x, 178) != kBackground;
  EXPECT_GT(boxed, 20);
  EXPECT_EQ(kBackground, At(170, 178));
  EXPECT_EQ(kBackground, At(290, 178));
  EXPECT_EQ("80 ft", w.GetScale().GetStepText());  // 100 x the finest statute step of 0.8 ft
}

TEST_F(MapWinTest, APaintWithoutChangeOnlyCopiesTheBackBuffer) {
  TestWindow& w = Make();
  const int passes = w.passes;
  w.Invalidate(true);
  Paint();
  EXPECT_EQ(passes, w.passes);
  w.SetCenter(geo::Position_t(1000, 1000));
  Paint();
  EXPECT_EQ(passes + 1, w.passes);
  // A resize builds a new back buffer of the new size and draws it all.
  w.MoveWindow(0, 0, 250, 120);
  Paint();
  EXPECT_EQ(passes + 2, w.passes);
  EXPECT_EQ(kBackground, w.GetBackDc()->GetPixel(249, 119));
  EXPECT_EQ(kBackground, At(249, 10));
}

TEST_F(MapWinTest, ZoomStepsFollowTheUsersDistanceUnit) {
  TestWindow& w = Make();
  map::Scale_t& scale = w.GetScale();
  const int count = scale.GetCount();
  ASSERT_GT(count, 3);
  EXPECT_EQ(0, scale.GetStepIndex());
  EXPECT_DOUBLE_EQ(scale.GetSteps().GetScaleAt(0), w.GetProjector().GetScale());
  w.ZoomIn();  // at the finest step: no change
  EXPECT_EQ(0, scale.GetStepIndex());
  w.ZoomOut();
  EXPECT_EQ(1, scale.GetStepIndex());
  EXPECT_DOUBLE_EQ(scale.GetSteps().GetScaleAt(1), w.GetProjector().GetScale());
  scale.ToCoarsest();
  EXPECT_TRUE(scale.AtCoarsest());
  w.ZoomOut();
  EXPECT_EQ(count - 1, scale.GetStepIndex());
  scale.SetStepFromCoarsest(2);
  EXPECT_EQ(count - 3, scale.GetStepIndex());
  EXPECT_THROW(scale.SetStepFromCoarsest(count), glo::OutOfRange_t);
  // Another unit: the step nearest to the present scale among its own steps;
  // 700 miles are nearer 1000 km than 1500 km.
  const double before = w.GetProjector().GetScale();
  EXPECT_EQ("700 mi", scale.GetStepText());
  map::GetRegistry().DistanceUnitsType.Set(mat::DistUnitsTypes_t(1));
  scale.SetUnits();
  double nearest = before;
  EXPECT_EQ(scale.GetSteps().NearestStep(nearest), scale.GetStepIndex());
  EXPECT_DOUBLE_EQ(nearest, w.GetProjector().GetScale());
  EXPECT_EQ("1000 km", scale.GetStepText());
  // The step texts tell what the bar's 100 pixels measure: 100 steps of the
  // table in the unit's own words.
  const struct {
    int unit, step;
    const char* text;
  } texts[] = {{0, 5, "800 ft"}, {0, 6, "0.2 mi"}, {0, 29, "1500 mi"}, {1, 0, "20 m"},
               {1, 10, "1000 m"}, {1, 11, "1.5 km"}, {2, 1, "120 ft"}, {2, 8, "0.5 nm"}};
  for (const auto& t : texts) {
    map::GetRegistry().DistanceUnitsType.Set(mat::DistUnitsTypes_t(t.unit));
    scale.SetUnits();
    scale.SetStepIndex(t.step);
    EXPECT_EQ(t.text, scale.GetStepText()) << t.unit << "/" << t.step;
  }
  map::GetRegistry().DistanceUnitsType.Set(mat::DistUnitsTypes_t(0));
  scale.SetUnits();
  // The depth units of map records.
  EXPECT_DOUBLE_EQ(3.048, map::MdbUnitsToMetres(10, 0));
  EXPECT_DOUBLE_EQ(0.3048, map::MdbUnitsToMetres(10, 1));
  EXPECT_DOUBLE_EQ(10, map::MdbUnitsToMetres(10, 2));
  EXPECT_DOUBLE_EQ(1, map::MdbUnitsToMetres(10, 3));
  EXPECT_DOUBLE_EQ(18.288, map::MdbUnitsToMetres(10, 4));
  EXPECT_THROW(map::MdbUnitsToMetres(1, 5), glo::Assert_t);
}

TEST_F(MapWinTest, FitTakesTheFinestStepThatHoldsTheBoxStrictly) {
  TestWindow& w = Make(200, 200);
  map::Scale_t& scale = w.GetScale();
  const geo::Position_t point(1000000, 2000000);
  w.ZoomToBox(geo::Box_t(point, point));
  EXPECT_EQ(0, scale.GetStepIndex());
  EXPECT_EQ(point, w.GetProjector().GetCenter());
  w.ZoomToBox(geo::Box_t(geo::Position_t(1000000000, 2000000000), geo::Position_t(-1000000000, -2000000000)));
  EXPECT_TRUE(scale.AtCoarsest());
  // A box exactly as wide as the window at step k does not fit there.
  const int k = 6;
  const double perPixel = scale.GetSteps().GetScaleAt(k);
  const auto width = static_cast<std::int32_t>(std::lround(200 * perPixel));
  w.ZoomToBox(geo::Box_t(geo::Position_t(10, width / 2), geo::Position_t(-10, -width / 2 - width % 2)));
  scale.SetStepIndex(k);
  ASSERT_EQ(200, w.GetProjector().ExtentToPixels(geo::Position_t::MakeExtent(20, width, geo::Altitude_t())).cx);
  w.ZoomToBox(geo::Box_t(geo::Position_t(10, width / 2), geo::Position_t(-10, -width / 2 - width % 2)));
  EXPECT_EQ(k + 1, scale.GetStepIndex());
  // An empty box changes nothing.
  w.ZoomToBox(geo::Box_t());
  EXPECT_EQ(k + 1, scale.GetStepIndex());
}

TEST_F(MapWinTest, RecentringWrapsAtTheDateLine) {
  TestWindow& w = Make(200, 200);
  w.GetScale().SetStepIndex(10);
  w.SetCenter(geo::Position_t(0, 2147483647 - 10));
  const plat::POINT c = w.GetProjector().GetCenterPoint();
  w.CenterAtPoint(plat::POINT{c.x + 50, c.y});
  EXPECT_LT(w.GetProjector().GetCenter().GetLongitude(), 0);
  EXPECT_EQ(0, w.GetProjector().GetCenter().GetLatitude());
}

TEST_F(MapWinTest, ScrollBarsAndTheirCodes) {
  TestWindow& w = Make(201, 100, true);
  ASSERT_TRUE(w.GetStyle() & plat::kWsHScroll);
  const plat::RECT client = w.GetClientRect();
  const int width = client.right, height = client.bottom;
  int lo = 0, hi = 0;
  w.GetScrollRange(plat::kSbHorz, lo, hi);
  EXPECT_EQ(-(width / 2) - width % 2, lo);
  EXPECT_EQ(width / 2, hi);
  w.GetScrollRange(plat::kSbVert, lo, hi);
  EXPECT_EQ(-(height / 2) - height % 2, lo);
  EXPECT_EQ(height / 2, hi);
  EXPECT_EQ(width / 20, w.GetHorzLineSize());
  EXPECT_EQ(width * 9 / 10, w.GetHorzPageSize());
  w.GetScale().SetStepIndex(8);
  const plat::POINT c{width / 2, height / 2};
  const struct {
    unsigned message, code;
    int dx, dy;
  } codes[] = {{plat::kWmHScroll, plat::kSbLineDown, width / 20, 0},
               {plat::kWmHScroll, plat::kSbLineUp, -(width / 20), 0},
               {plat::kWmHScroll, plat::kSbPageDown, width * 9 / 10, 0},
               {plat::kWmVScroll, plat::kSbPageUp, 0, -(height * 9 / 10)},
               {plat::kWmVScroll, plat::kSbLineDown, 0, height / 20},
               {plat::kWmVScroll, plat::kSbTop, 0, 0},
               {plat::kWmHScroll, plat::kSbEndScroll, 0, 0}};
  for (const auto& code : codes) {
    const bool moves = code.dx != 0 || code.dy != 0;
    const geo::Position_t expected = moves ? w.GetProjector().ScreenToPosition(plat::POINT{c.x + code.dx, c.y + code.dy})
                                           : w.GetProjector().GetCenter();
    w.SendMessage(code.message, code.code);
    EXPECT_EQ(expected, w.GetProjector().GetCenter()) << code.code;
  }
  // A thumb drag: the first track only starts it; later ones move by the delta.
  const geo::Position_t start = w.GetProjector().GetCenter();
  w.SendMessage(plat::kWmHScroll, plat::kSbThumbTrack | (5u << 16));
  EXPECT_TRUE(w.IsTracking());
  EXPECT_EQ(start, w.GetProjector().GetCenter());
  const plat::POINT centre = w.GetProjector().GetCenterPoint();
  const geo::Position_t expected = w.GetProjector().ScreenToPosition(plat::POINT{centre.x + 7, centre.y});
  w.SendMessage(plat::kWmHScroll, plat::kSbThumbTrack | (12u << 16));
  EXPECT_EQ(expected, w.GetProjector().GetCenter());
  w.ZoomIn();  // no zoom during a drag
  EXPECT_EQ(8, w.GetScale().GetStepIndex());
  w.SendMessage(plat::kWmHScroll, plat::kSbThumbPosition | (12u << 16));
  EXPECT_FALSE(w.IsTracking());
}

TEST_F(MapWinTest, KeysPanAndZoom) {
  TestWindow& w = Make(200, 100);
  w.GetScale().SetStepIndex(8);
  const plat::POINT c{100, 50};
  const auto after = [&](unsigned key, unsigned flags, plat::POINT target) {
    const geo::Position_t expected = w.GetProjector().ScreenToPosition(target);
    plat::SendKey(w, key, flags);
    EXPECT_EQ(expected, w.GetProjector().GetCenter()) << key << "/" << flags;
  };
  after(plat::kVkLeft, 0, plat::POINT{c.x - 10, c.y});
  after(plat::kVkRight, plat::kMkControl, plat::POINT{c.x + 180, c.y});
  after(plat::kVkDown, 0, plat::POINT{c.x, c.y + 5});
  after(plat::kVkPrior, 0, plat::POINT{c.x, c.y - 90});
  plat::SendKey(w, plat::kVkOemPlus);
  EXPECT_EQ(7, w.GetScale().GetStepIndex());
  plat::SendKey(w, plat::kVkOemMinus);  // minus alone does not zoom
  EXPECT_EQ(7, w.GetScale().GetStepIndex());
  plat::SendKey(w, plat::kVkOemMinus, plat::kMkControl);
  EXPECT_TRUE(w.GetScale().AtCoarsest());
  plat::SendKey(w, plat::kVkOemPlus, plat::kMkControl);
  EXPECT_EQ(0, w.GetScale().GetStepIndex());
  plat::SendKey(w, plat::kVkOemPlus, plat::kMkShift);  // left to the default
  EXPECT_EQ(0, w.GetScale().GetStepIndex());
}

TEST_F(MapWinTest, TheWheelPansOnlyAWindowWithScrollBars) {
  {
    TestWindow& w = Make(200, 100, false);
    const geo::Position_t centre = w.GetProjector().GetCenter();
    EXPECT_FALSE(plat::SendWheel(w, -120, 0, plat::POINT{50, 50}));
    EXPECT_EQ(centre, w.GetProjector().GetCenter());
  }
  TestWindow& w = Make(200, 100, true);
  w.GetScale().SetStepIndex(8);
  const plat::RECT client = w.GetClientRect();
  const int line = client.bottom / 20, page = client.bottom * 9 / 10;
  const int dy = std::min(page, line * afx::GetWheelScrollLines());
  const geo::Position_t expected =
      w.GetProjector().ScreenToPosition(plat::POINT{client.right / 2, client.bottom / 2 + dy});
  EXPECT_TRUE(plat::SendWheel(w, -120, 0, plat::POINT{50, 30}));
  EXPECT_EQ(expected, w.GetProjector().GetCenter());
}

TEST_F(MapWinTest, TheCrossMarkerIsARedCrossHairWithAWhiteEdge) {
  TestWindow& w = Make(200, 200);
  {
    plat::ClientDc_t dc(w);
    gdi::SmartPalette_t palette(dc, w.GetPalette());
    w.DrawCrossMarker(dc, plat::POINT{100, 100});
  }
  const plat::COLORREF red = plat::Rgb(255, 0, 0);
  EXPECT_EQ(red, At(76, 100));   // the circle
  EXPECT_EQ(red, At(123, 100));
  EXPECT_EQ(red, At(80, 100));   // a spoke
  EXPECT_EQ(red, At(100, 129 - 1));
  EXPECT_EQ(kWhite, At(80, 99));
  EXPECT_EQ(kBackground, At(100, 100));  // the centre stays free
  EXPECT_EQ(kBackground, At(97, 100));
}

}  // namespace
