#include "app/ProfileGraph.h"

#include <gtest/gtest.h>

#include <cmath>

#include "GraphTestUtil.h"
#include "ProfileTestUtil.h"
#include "app/ProfileView.h"
#include "glo/GLO_StringResource.h"
#include "mat/MAT_UnitConverterTable.h"
#include "plat/PLAT_Input.h"
#include "plat/PLAT_ScrollBar.h"

namespace {

using graphtest::Canvas_t;
using graphtest::Host_t;
const double kNone = std::nan("");

using proftest::MetricAxes;

// The control's window: a client area of 542 x 361 and both scroll bars.
plat::RECT GraphRect() {
  const int bar = plat::GetScrollBarExtent();
  return plat::RECT{0, 0, 542 + bar, 361 + bar};
}

class ProfileGraph : public graphtest::GuiTest {
 protected:
  // Points every 100 m; a control of 542 x 361 pixels inside its scroll bars:
  // plot (30, 31, 530, 331).
  // Fitted, the view is 1000 m (0.5 px/m) by 150 m (2 px/m) for 0..1000 m, 0..120 m.
  std::unique_ptr<app::TrkProfileGraphCtrl_t> Make(const gdb::Track_t& track) {
    auto graph = std::make_unique<app::TrkProfileGraphCtrl_t>(track, track.Begin(), track.End(), false, MetricAxes());
    graph->Create(&host, 1, app::TrkProfileGraphCtrl_t::kStyle, GraphRect());
    return graph;
  }
  Host_t host{700, 500};
};

const gdb::Track_t& GapTrack() {
  static const gdb::Track_t track =
      proftest::AltitudeTrack({100, 120, 110, kNone, kNone, 80, 90, kNone, 60, kNone, 70});
  return track;
}

TEST_F(ProfileGraph, GeometrySplitsAtGapsAndDrawsSinglePointsAsLines) {
  auto graph = Make(GapTrack());
  graph->UpdateGeometry();
  const auto& areas = graph->GetAreas();
  ASSERT_EQ(4u, areas.size());
  // The first run: three points, each segment added whole, closed on the 0 m row.
  const std::vector<plat::POINT> first = {{30, 131}, {80, 91}, {80, 91}, {130, 111}, {130, 111}, {130, 111},
                                          {130, 331}, {30, 331}};
  ASSERT_EQ(first.size(), areas[0].Points().size());
  for (std::size_t i = 0; i < first.size(); ++i) {
    EXPECT_EQ(first[i].x, areas[0].Points()[i].x) << i;
    EXPECT_EQ(first[i].y, areas[0].Points()[i].y) << i;
  }
  EXPECT_EQ(30, areas[0].Bounds().left);
  EXPECT_EQ(130, areas[0].Bounds().right);
  // A single point: a vertical line down to the baseline, an outline of one point.
  EXPECT_EQ(4u, areas[2].Points().size());
  EXPECT_EQ(430, areas[2].Bounds().left);
  EXPECT_EQ(430, areas[2].Bounds().right);
  ASSERT_EQ(4u, graph->GetPolylines().size());
  EXPECT_EQ(1u, std::next(graph->GetPolylines().begin(), 2)->size());

  Canvas_t canvas(542, 361);
  graph->Paint(canvas.dc);
  graphtest::MaybeSave(*graph, "profile");
  const plat::COLORREF green = plat::Rgb(156, 243, 189), grey = plat::Rgb(238, 238, 238),
                       pale = plat::Rgb(221, 255, 254), white = plat::Rgb(255, 255, 255);
  struct Pixel {
    int x, y;
    plat::COLORREF colour;
  } pixels[] = {
      {100, 300, green}, {100, 60, pale},   // under and above the first run's outline
      {200, 300, grey},  {200, 60, grey},   // the gap: the grey band of the data range only
      {430, 300, green}, {432, 300, grey},  // the single point's line, and beside it
      {300, 300, green}, {300, 40, pale},   // the second run
      {15, 200, white},  {536, 200, white}, // outside the plot
  };
  for (const Pixel& p : pixels) EXPECT_EQ(p.colour, canvas.At(p.x, p.y)) << p.x << "," << p.y;
}

TEST_F(ProfileGraph, OutlineLeavingThePlotStartsANewPolyline) {
  // Zoomed in vertically around the middle, the peaks leave the plot at the top.
  const gdb::Track_t track = proftest::AltitudeTrack({10, 120, 10, 120, 10});
  auto graph = Make(track);
  graph->HandleKey(0xBB, plat::kMkShift);  // '+' with Shift: the vertical axis only
  graph->HandleKey(0xBB, plat::kMkShift);
  graph->HandleKey(0xBB, plat::kMkShift);
  graph->UpdateGeometry();
  EXPECT_EQ(1u, graph->GetAreas().size());
  EXPECT_GE(graph->GetPolylines().size(), 2u);
  for (const plat::POINT& m : graph->GetMarkers()) {
    EXPECT_GE(m.y, 31);
    EXPECT_LE(m.y, 331);
  }
}

TEST_F(ProfileGraph, KeysZoomAxesAndAbsorbTheLastStep) {
  struct Case {
    unsigned key, flags;
    int dx, dy;
  } cases[] = {
      {0xBB, 0, 1, 1},
      {0x6B, plat::kMkShift, 0, 1},
      {0xBB, plat::kMkControl, 1, 0},
      {0xBD, 0, -1, -1},
      {0x6D, plat::kMkControl | plat::kMkShift, -1, 0},
  };
  for (const Case& c : cases) {
    auto graph = Make(GapTrack());
    const int x = graph->GetConvertor().GetXZoomIndex(), y = graph->GetConvertor().GetYZoomIndex();
    graph->SetCursorDistance(500);
    EXPECT_TRUE(graph->HandleKey(c.key, c.flags));
    EXPECT_EQ(x + c.dx, graph->GetConvertor().GetXZoomIndex()) << c.key << " " << c.flags;
    EXPECT_EQ(y + c.dy, graph->GetConvertor().GetYZoomIndex()) << c.key << " " << c.flags;
    EXPECT_FALSE(graph->GetCursorDistance().IsPresent());  // every zoom clears the cursor
  }
  // At the last distance step '+' still zooms the elevation.
  auto graph = Make(GapTrack());
  graph->GetConvertor().SetZoom(graph->GetConvertor().GetXStepCount() - 1, graph->GetConvertor().GetYZoomIndex());
  const int y = graph->GetConvertor().GetYZoomIndex();
  graph->HandleKey(0xBB, 0);
  EXPECT_EQ(graph->GetConvertor().GetXStepCount() - 1, graph->GetConvertor().GetXZoomIndex());
  EXPECT_EQ(y + 1, graph->GetConvertor().GetYZoomIndex());
}

TEST_F(ProfileGraph, ScrollBarsArrowsAndScrollCodes) {
  auto graph = Make(GapTrack());
  // The whole distance is visible: the bar is disabled, arrows do not scroll,
  // and Space puts the cursor at the middle of the data.
  EXPECT_FALSE(graph->GetScrollBar(false).enabled);
  const double xmin = graph->GetConvertor().GetView().xmin;
  graph->HandleKey(plat::kVkRight, 0);
  EXPECT_EQ(xmin, graph->GetConvertor().GetView().xmin);
  graph->HandleKey(plat::kVkSpace, 0);
  ASSERT_TRUE(graph->GetCursorDistance().IsPresent());
  EXPECT_DOUBLE_EQ(graph->GetConvertor().GetData().cx, *graph->GetCursorDistance());
  graph->HandleKey(plat::kVkSpace, 0);
  EXPECT_FALSE(graph->GetCursorDistance().IsPresent());

  // Zoomed in three steps (300 m of 1000): the bar has a page of 30 and scrolls.
  graph->ZoomX(1);
  graph->ZoomX(1);
  graph->ZoomX(1);
  const app::ProfileScrollBar_t& bar = graph->GetScrollBar(false);
  EXPECT_TRUE(bar.enabled);
  EXPECT_EQ(30, bar.page);
  const double before = graph->GetConvertor().GetView().xmin;
  graph->HandleKey(plat::kVkRight, 0);  // a line: 5 % of the view
  EXPECT_NEAR(before + 15.0, graph->GetConvertor().GetView().xmin, 1e-9);
  for (unsigned code : {6u, 7u, 8u}) {
    graph->SendMessage(app::kWmHScroll, code, 0);
    EXPECT_NEAR(before + 15.0, graph->GetConvertor().GetView().xmin, 1e-9) << code;
  }
  graph->SendMessage(app::kWmHScroll, app::kSbThumbPosition | (70u << 16), 0);
  EXPECT_NEAR(graph->GetConvertor().GetData().xmax, graph->GetConvertor().GetView().xmax, 1e-6);
  EXPECT_EQ(70, bar.pos);
  graph->SendMessage(app::kWmHScroll, app::kSbPageLeft, 0);
  graph->SendMessage(app::kWmHScroll, app::kSbPageLeft, 0);
  graph->SendMessage(app::kWmHScroll, app::kSbPageLeft, 0);
  EXPECT_EQ(graph->GetConvertor().GetData().xmin, graph->GetConvertor().GetView().xmin);
  EXPECT_EQ(0, bar.pos);
}

TEST_F(ProfileGraph, WindowBarsShowRangePageAndPositionAndTakeClicks) {
  auto graph = Make(GapTrack());
  plat::SCROLLINFO info;
  info.fMask = plat::kSifAll;
  // All of the distance in view: the bar shows, disabled.
  ASSERT_TRUE(graph->GetScrollInfo(plat::kSbHorz, info));
  EXPECT_LT(graph->GetClientRect().bottom, 361 + plat::GetScrollBarExtent());
  EXPECT_FALSE(graph->IsScrollBarEnabled(false));

  graph->ZoomX(1);
  graph->ZoomX(1);
  graph->ZoomX(1);
  ASSERT_TRUE(graph->GetScrollInfo(plat::kSbHorz, info));
  EXPECT_EQ(0, info.nMin);
  EXPECT_EQ(99, info.nMax);
  EXPECT_EQ(30u, info.nPage);
  EXPECT_EQ(graph->GetScrollBar(false).pos, info.nPos);

  // A click on the bar right of the thumb scrolls a page (the view's span).
  graph->SendMessage(app::kWmHScroll, app::kSbThumbPosition, 0);
  const double before = graph->GetConvertor().GetView().xmin;
  const plat::RECT client = graph->GetClientRect();
  plat::SendClick(*graph, plat::POINT{client.right - 40, client.bottom + plat::GetScrollBarExtent() / 2});
  EXPECT_NEAR(before + graph->GetConvertor().GetView().xspan, graph->GetConvertor().GetView().xmin, 1e-6);
  EXPECT_EQ(graph->GetScrollBar(false).pos, graph->GetScrollPos(plat::kSbHorz));
  EXPECT_GT(graph->GetScrollPos(plat::kSbHorz), 0);
  graphtest::MaybeSave(*graph, "profile-bars");
}

// The thumbs always show where the view is: after each zoom step of either
// axis, after scrolling and after the wheel, the bar's position is the one the
// view's place in the data gives, and the wheel moves the view with the thumb.
TEST_F(ProfileGraph, ThumbsShowTheViewAfterEveryZoomStepAndWheel) {
  // Hills high above 0 m, whose data reach down to 0 m.
  const gdb::Track_t hills = proftest::AltitudeTrack({110, 118, 126, 131, 124, 115, 108, 112, 120, 127, 122});
  std::vector<double> run;
  for (int i = 0; i <= 90; ++i) run.push_back(120.0 + 8.0 * std::sin(i / 14.0) + 3.0 * std::sin(i / 3.5 + 1.0));
  const gdb::Track_t longRun = proftest::AltitudeTrack(run, 33.3);
  for (const gdb::Track_t* track : {&GapTrack(), &hills, &longRun}) {
  const map::UnitsZoomScaleTable_t& table = map::GetUnitsZoomScaleTable();
  const app::GraphAxes_t statute{&table.FindElevation(mat::ElevationUnits_t::Feet),
                                 &mat::ElevationUnitsEntry(mat::ElevationUnits_t::Feet),
                                 &table.FindDistance(mat::DistUnitsTypes_t::Statute),
                                 &mat::DistanceUnitsEntry(mat::DistUnitsTypes_t::Statute)};
  for (const app::GraphAxes_t& axes : {MetricAxes(), statute}) {
  for (const plat::RECT size : {GraphRect(), plat::RECT{0, 0, 330, 230}}) {
  auto graph = std::make_unique<app::TrkProfileGraphCtrl_t>(*track, track->Begin(), track->End(), false, axes);
  graph->Create(&host, 1, app::TrkProfileGraphCtrl_t::kStyle, size);
  const auto screen = [&](int x, int y) { return graph->ClientToScreen(plat::POINT{x, y}); };
  const auto check = [&](const std::string& step) {
    SCOPED_TRACE(step);
    const app::GraphRect_t& view = graph->GetConvertor().GetView();
    const app::GraphRect_t& data = graph->GetConvertor().GetData();
    plat::SCROLLINFO h, v;
    h.fMask = v.fMask = plat::kSifAll;
    ASSERT_TRUE(graph->GetScrollInfo(plat::kSbHorz, h));
    ASSERT_TRUE(graph->GetScrollInfo(plat::kSbVert, v));
    // Where the thumb must be: its share of the free run of the bar (the
    // vertical bar runs from the top: the highest part at position 0).
    const auto expected = [](double share, double viewSpan, double dataSpan, int page) {
      if (viewSpan >= dataSpan) return 0;
      return static_cast<int>(std::lround(share * (100 - page)));
    };
    EXPECT_EQ(h.nPos, expected((view.xmin - data.xmin) / (data.xspan - view.xspan), view.xspan, data.xspan,
                               static_cast<int>(h.nPage)));
    EXPECT_EQ(v.nPos, expected((data.ymax - view.ymax) / (data.yspan - view.yspan), view.yspan, data.yspan,
                               static_cast<int>(v.nPage)));
    EXPECT_GE(view.ymin, data.ymin - 1e-9);
    EXPECT_LE(view.xmin, data.xmax);
  };
  check("fitted");
  for (int i = 1; i <= 4; ++i) {
    graph->HandleKey(0xBB, 0);
    check("zoomed in " + std::to_string(i));
    const double ymin = graph->GetConvertor().GetView().ymin;
    const int pos = graph->GetScrollPos(plat::kSbVert);
    if (graph->OnWheelScroll(0, -5, screen(100, 100))) {
      check("wheel after zoom " + std::to_string(i));
      // The thumb moved only with the view.
      EXPECT_EQ(pos != graph->GetScrollPos(plat::kSbVert), ymin != graph->GetConvertor().GetView().ymin);
    }
  }
  graph->SendMessage(app::kWmVScroll, app::kSbThumbPosition | (0u << 16), 0);
  check("thumb at the top");
  EXPECT_NEAR(graph->GetConvertor().GetView().ymax, graph->GetConvertor().GetData().ymax, 1e-6);
  for (int i = 1; i <= 4; ++i) {
    graph->HandleKey(0xBD, 0);
    check("zoomed out " + std::to_string(i));
  }
  }
  }
  }
}

TEST_F(ProfileGraph, WheelScrollsOnlyInsideThePlot) {
  auto graph = Make(GapTrack());
  const auto screen = [&](int x, int y) { return graph->ClientToScreen(plat::POINT{x, y}); };
  // Nothing can scroll while everything is visible.
  EXPECT_FALSE(graph->OnWheelScroll(0, 10, screen(100, 100)));
  graph->ZoomY(1);
  graph->ZoomY(1);  // 60 m of 120
  EXPECT_FALSE(graph->OnWheelScroll(0, 10, screen(10, 100)));  // outside the plot
  EXPECT_FALSE(graph->OnWheelScroll(0, 0, screen(100, 100)));
  const double ymin = graph->GetConvertor().GetView().ymin;
  EXPECT_TRUE(graph->OnWheelScroll(0, 10, screen(100, 100)));
  EXPECT_NEAR(ymin - 10, graph->GetConvertor().GetView().ymin, 1e-9);
  // A notch towards the user scrolls down by a line (5 % of 60 m).
  EXPECT_TRUE(graph->HandleWheel(-120, screen(100, 100)));
  EXPECT_NEAR(ymin - 10 - 3 * afx::GetWheelScrollLines(), graph->GetConvertor().GetView().ymin, 1e-9);
}

TEST_F(ProfileGraph, DraggingTheCursor) {
  auto graph = Make(GapTrack());
  graph->TrackPoint(plat::POINT{80, 200});  // 100 m: the second point, 120 m high
  ASSERT_TRUE(graph->GetCursorDistance().IsPresent());
  EXPECT_NEAR(100.0, *graph->GetCursorDistance(), 1e-9);
  EXPECT_NEAR(120.0, *graph->GetCursorElevation(), 0.1);
  graph->TrackPoint(plat::POINT{105, 200});  // halfway to the third point
  EXPECT_NEAR(115.0, *graph->GetCursorElevation(), 0.1);
  graph->TrackPoint(plat::POINT{200, 200});  // in the gap: a distance without elevation
  EXPECT_TRUE(graph->GetCursorDistance().IsPresent());
  EXPECT_FALSE(graph->GetCursorElevation().IsPresent());
  graph->TrackPoint(plat::POINT{5, 200});  // out of the plot
  EXPECT_FALSE(graph->GetCursorDistance().IsPresent());
  graph->TrackPoint(plat::POINT{80, 200});  // and back in
  EXPECT_TRUE(graph->GetCursorDistance().IsPresent());
  // Shift with Ctrl and an arrow moves to the next and previous point.
  graph->HandleKey(plat::kVkRight, plat::kMkShift | plat::kMkControl);
  EXPECT_NEAR(200.0, *graph->GetCursorDistance(), 0.1);
  graph->HandleKey(plat::kVkLeft, plat::kMkShift | plat::kMkControl);
  EXPECT_NEAR(100.0, *graph->GetCursorDistance(), 0.1);
  EXPECT_THROW(graph->GetElevationAt(5000), glo::OutOfRange_t);
}

// A profile pressed, dragged and released with the left button.
struct Mouse_t : app::TrkProfileGraphCtrl_t {
  using app::TrkProfileGraphCtrl_t::TrkProfileGraphCtrl_t;
  void Press(plat::POINT p) { OnLButtonDown(plat::kMkLButton, p); }
  void Drag(plat::POINT p) { OnMouseMove(plat::kMkLButton, p); }
  void Release() { OnLButtonUp(0, plat::POINT{0, 0}); }
};

// A parent that keeps the messages its profile sends.
struct Parent_t : Host_t {
  bool OnMessage(unsigned message, plat::WPARAM, plat::LPARAM, plat::LRESULT& result) override {
    messages.push_back(message);
    result = 0;
    return true;
  }
  std::vector<unsigned> messages;
};

TEST_F(ProfileGraph, MouseDragSpaceWhileHeldAndZoomMessages) {
  Parent_t parent;
  Mouse_t graph(GapTrack(), GapTrack().Begin(), GapTrack().End(), false, MetricAxes());
  graph.Create(&parent, 1, app::TrkProfileGraphCtrl_t::kStyle, GraphRect());
  graph.Press(plat::POINT{80, 200});
  EXPECT_TRUE(graph.IsTracking());
  graph.HandleKey(plat::kVkSpace, 0);  // ignored while the button is held
  ASSERT_TRUE(graph.GetCursorDistance().IsPresent());
  graph.Drag(plat::POINT{5, 200});
  EXPECT_FALSE(graph.GetCursorDistance().IsPresent());
  graph.Drag(plat::POINT{130, 200});
  EXPECT_NEAR(200.0, *graph.GetCursorDistance(), 0.1);
  graph.Release();
  graph.Drag(plat::POINT{80, 200});  // no longer tracking
  EXPECT_NEAR(200.0, *graph.GetCursorDistance(), 0.1);
  graph.HandleKey(0xBB, 0);
  graph.HandleKey(0x6D, plat::kMkShift);
  EXPECT_EQ((std::vector<unsigned>{app::kMsgProfileZoomX, app::kMsgProfileZoomY, app::kMsgProfileZoomY}),
            parent.messages);
}

TEST_F(ProfileGraph, Readout) {
  auto graph = Make(GapTrack());
  EXPECT_EQ(glo::StringResource_t(132, GLO_SRC).Text(), graph->ReadoutText());
  graph->SetCursorDistance(100);
  EXPECT_EQ("Distance: 100 m,  Elevation: 120 m", graph->ReadoutText());
  graphtest::MaybeSave(*graph, "profile-cursor");
  {
    // The cursor lines: column 80 down the plot, row 91 from the plot's left
    // edge to the last point's column (530, the plot's right edge).
    Canvas_t canvas(542, 361);
    graph->Paint(canvas.dc);
    const plat::COLORREF red = plat::Rgb(233, 33, 22);
    for (const plat::POINT p : {plat::POINT{80, 32}, plat::POINT{80, 250}, plat::POINT{80, 330}, plat::POINT{31, 91},
                                plat::POINT{300, 91}, plat::POINT{529, 91}})
      EXPECT_EQ(red, canvas.At(p.x, p.y)) << p.x << "," << p.y;
    EXPECT_NE(red, canvas.At(81, 250));
    EXPECT_NE(red, canvas.At(300, 92));
  }
  graph->SetCursorDistance(350);  // in the gap
  EXPECT_EQ("Distance: 350 m", graph->ReadoutText());
  // Zoomed in to 300 m by 60 m at the start and the bottom: a cursor at 1000 m
  // and 70 m lies right of the plot and above it.
  graph->GetConvertor().SetZoom(24, 14);
  graph->GetConvertor().ScrollX(-1.0e6);
  graph->GetConvertor().ScrollY(1.0e6);
  graph->SetCursorDistance(graph->GetStatistics().GetLength());
  ASSERT_TRUE(graph->GetCursorElevation().IsPresent());
  const std::string text = graph->ReadoutText();
  EXPECT_EQ(0u, text.find("Distance: ")) << text;
  EXPECT_EQ(std::string::npos, text.find("Elevation")) << text;
}

TEST_F(ProfileGraph, ViewBuildsAControlOnlyForTracksWithAltitudeAndDistance) {
  app::ProfileView_t view;
  view.Create(&host, 2, plat::kWsChild | plat::kWsVisible, plat::RECT{0, 0, 400, 200});
  EXPECT_EQ(plat::HCURSOR(plat::kIdcArrow), view.GetCursor());  // the arrow over the pane and its graph
  const gdb::Track_t flat = proftest::AltitudeTrack({kNone, kNone, kNone});
  const gdb::Track_t still = proftest::AltitudeTrack({5, 6}, 0.0);
  view.ShowTrack(&GapTrack());
  ASSERT_NE(nullptr, view.GetGraph());
  // The control fills the view; its bars take their room off its client area.
  const plat::RECT window = view.GetGraph()->GetWindowRect();
  EXPECT_EQ(400, window.right - window.left);
  EXPECT_EQ(400 - plat::GetScrollBarExtent(), view.GetGraph()->GetClientRect().right);
  view.ShowTrack(&flat);
  EXPECT_EQ(nullptr, view.GetGraph());
  view.ShowTrack(&still);
  EXPECT_EQ(nullptr, view.GetGraph());
  view.ShowTrack(nullptr);
  EXPECT_EQ(nullptr, view.GetGraph());
}

}  // namespace
