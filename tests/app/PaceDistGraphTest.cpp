#include "app/PaceDistGraph.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "GraphTestUtil.h"
#include "ProfileTestUtil.h"
#include "glo/GLO_Exception.h"
#include "app/ValueFormat.h"
#include "map/MAP_Registry.h"

namespace {

using graphtest::Canvas_t;
using graphtest::Host_t;
using proftest::PointAt;

// Legs of 'metres' each with the given durations (a negative duration: the
// point after the leg has no time).
gdb::Track_t LegTrack(const std::vector<double>& seconds, double metres = 100.0) {
  gdb::Track_t track;
  double t = 0.0;
  track.AppendPoint(PointAt(0.0, 10.0, std::int64_t(0)));
  for (std::size_t i = 0; i < seconds.size(); ++i) {
    glo::Optional_t<std::int64_t> time;
    if (seconds[i] >= 0) {
      t += seconds[i];
      time = static_cast<std::int64_t>(t);
    }
    track.AppendPoint(PointAt(metres * static_cast<double>(i + 1), 10.0, time));
  }
  return track;
}

class PaceDistGraph : public graphtest::GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    map::GetRegistry().DistanceUnitsType.Set(mat::DistUnitsTypes_t::Metric);
    SetType(app::PaceDistGraphCtrl_t::Pace);
  }
  // Stores the graph kind the next graph starts with.
  static void SetType(app::PaceDistGraphCtrl_t::GraphType_t type) {
    app::PaceDistGraphCtrl_t probe;
    if (probe.GetGraphType() != type) probe.ToggleGraphType();
  }
  // A graph of 400 x 300 pixels on the host showing the track.
  std::unique_ptr<app::PaceDistGraphCtrl_t> MakeGraph(const gdb::Track_t* track) {
    auto graph = std::make_unique<app::PaceDistGraphCtrl_t>();
    graph->Create(&host, 1039, plat::kWsChild | plat::kWsVisible, plat::RECT{0, 0, 400, 300});
    graph->SetTrack(track);
    return graph;
  }
  Host_t host;
};

TEST_F(PaceDistGraph, YRangeFromTheLargestLegValue) {
  // 100 m legs: pace (min/km) = seconds / 6; speed (km/h) = 360 / seconds.
  struct Case {
    app::PaceDistGraphCtrl_t::GraphType_t type;
    std::vector<double> seconds;
    int yRange;
  } cases[] = {
      {app::PaceDistGraphCtrl_t::Pace, {30, 44, 20}, 8},     // 7.3 -> 8
      {app::PaceDistGraphCtrl_t::Pace, {30, 50, 20}, 16},    // 8.3 -> 16
      {app::PaceDistGraphCtrl_t::Pace, {30, 94, 20}, 24},    // 15.7 -> 16 -> 24
      {app::PaceDistGraphCtrl_t::Pace, {30, 198, 20}, 32},   // 33 is above the limit
      {app::PaceDistGraphCtrl_t::Speed, {100, 100, 100}, 8}, // 3.6
      {app::PaceDistGraphCtrl_t::Speed, {30, 10, 60}, 40},   // 36 -> 40
      {app::PaceDistGraphCtrl_t::Speed, {30, 3, 60}, 80},    // 120 is above the limit
      // Untimed legs count as 0 in both modes.
      {app::PaceDistGraphCtrl_t::Pace, {30, -1, 40}, 8},
      {app::PaceDistGraphCtrl_t::Speed, {30, -1, 40}, 16},   // 12 -> 16
  };
  for (const Case& c : cases) {
    SetType(c.type);
    const gdb::Track_t track = LegTrack(c.seconds);
    auto graph = MakeGraph(&track);
    graph->ComputeYRange();
    EXPECT_EQ(c.yRange, graph->GetYRange()) << c.type << " " << c.seconds[1];
  }
}

TEST_F(PaceDistGraph, ValuesToPixelsWithoutAResize) {
  // Legs of 100 m: x start 100, total 1000, x range 900; plot (35, 20, 380, 265).
  const gdb::Track_t track = LegTrack(std::vector<double>(10, 30.0));
  auto graph = MakeGraph(&track);
  ASSERT_EQ(100, graph->GetXStart());
  ASSERT_EQ(1000, graph->GetTotal());
  ASSERT_EQ(900, graph->GetXRange());
  EXPECT_EQ(38.0, graph->GetXOffset());  // 345 x 100 / 900, in integers
  graph->ComputeYRange();
  ASSERT_EQ(8, graph->GetYRange());
  struct Case {
    double value, distance;
    int x, y;
  } cases[] = {
      {0, 100, 35, 265},    // the end of the first leg is the plot's bottom left
      {8, 1000, 380, 20},   // the top right
      {4, 550, 208, 143},   // 35 - 38 + 345 x 550 / 900 = 207.8; 245 - 122.5 + 20 = 142.5
      {-4, 0, -3, 388},     // left of the plot, below it
  };
  for (const Case& c : cases) {
    const plat::POINT p = graph->PointFromValue(c.value, c.distance);
    EXPECT_EQ(c.x, p.x) << c.value << " " << c.distance;
    EXPECT_EQ(c.y, p.y) << c.value << " " << c.distance;
  }
  // An empty graph has no ranges to convert with.
  auto empty = MakeGraph(nullptr);
  EXPECT_THROW(empty->PointFromValue(1, 1), glo::Assert_t);
}

// Distance labels that would run into the last one drawn are skipped (the
// ticks stay): a narrow graph keeps apart the labels it draws, a wide one
// draws all fourteen.
TEST_F(PaceDistGraph, DistanceLabelsThatWouldOverlapAreSkipped) {
  const gdb::Track_t track = LegTrack(std::vector<double>(40, 30.0), 137.0);
  for (const int width : {160, 260, 400, 1200}) {
    SCOPED_TRACE(width);
    auto graph = std::make_unique<app::PaceDistGraphCtrl_t>();
    graph->Create(&host, 1039, plat::kWsChild | plat::kWsVisible, plat::RECT{0, 0, width, 200});
    graph->SetTrack(&track);
    Canvas_t canvas(width, 200);
    graph->Paint(canvas.dc);
    const std::vector<plat::RECT>& labels = graph->GetDistanceLabels();
    ASSERT_FALSE(labels.empty());
    for (std::size_t k = 1; k < labels.size(); ++k) EXPECT_LT(labels[k - 1].right, labels[k].left) << k;
    if (width == 1200) {
      EXPECT_EQ(labels.size(), 14u);
    } else if (width == 160) {
      EXPECT_LT(labels.size(), 14u);
    }
    graphtest::MaybeSave(*graph, "pace-labels-" + std::to_string(width));
  }
}

// In a short graph the grid step is smaller than a label: the lowest and the
// highest value labels are drawn, and of those between only the ones that fit
// between the last drawn and the highest; a tall graph draws all eight.
TEST_F(PaceDistGraph, ValueLabelsThatWouldOverlapAreSkipped) {
  const gdb::Track_t track = LegTrack({30, 50, 20});  // y range 16: labels 2 to 16
  for (const int height : {100, 150, 170, 200, 240, 400}) {
    SCOPED_TRACE(height);
    auto graph = std::make_unique<app::PaceDistGraphCtrl_t>();
    graph->Create(&host, 1039, plat::kWsChild | plat::kWsVisible, plat::RECT{0, 0, 400, height});
    graph->SetTrack(&track);
    Canvas_t canvas(400, height);
    graph->Paint(canvas.dc);
    graphtest::MaybeSave(*graph, "pace-values-" + std::to_string(height));
    ASSERT_EQ(16, graph->GetYRange());
    const std::vector<plat::RECT>& labels = graph->GetValueLabels();
    ASSERT_GE(labels.size(), 2u);
    const plat::RECT plot = graph->GetPlotRect();
    const int g = (plot.bottom - plot.top) / 8, h = labels.front().bottom - labels.front().top;
    EXPECT_EQ(plot.bottom - g - h / 2, labels.front().top);
    EXPECT_EQ(plot.bottom - 8 * g - h / 2, labels.back().top);
    // Labels are placed and compared by half their height: of an odd height,
    // two neighbours may share one row of their cells, no more.
    for (std::size_t k = 1; k < labels.size(); ++k) EXPECT_LE(labels[k].bottom, labels[k - 1].top + 1) << k;
    if (height == 400) {
      EXPECT_EQ(8u, labels.size());
    } else if (height == 100) {
      EXPECT_LT(labels.size(), 4u);
    }
  }
}

TEST_F(PaceDistGraph, PaintsAreasInsideThePlotOnly) {
  const gdb::Track_t track = LegTrack({30, 30, 30, 30, 30, 30, -1, 30, 30});
  const plat::COLORREF area = plat::Rgb(175, 180, 252), white = plat::Rgb(255, 255, 255), black = plat::Rgb(0, 0, 0);
  for (auto type : {app::PaceDistGraphCtrl_t::Pace, app::PaceDistGraphCtrl_t::Speed}) {
    SetType(type);
    auto graph = MakeGraph(&track);
    Canvas_t canvas(400, 300);
    graph->Paint(canvas.dc);
    graphtest::MaybeSave(*graph, type == app::PaceDistGraphCtrl_t::Pace ? "pace" : "speed");
    // Pace 5 min/km or speed 12 km/h of range 8 or 16: the area fills the plot's
    // lower part; the frame is black; left of and above the plot stays white.
    EXPECT_EQ(area, canvas.At(100, 260)) << type;
    EXPECT_EQ(black, canvas.At(35, 100));
    EXPECT_EQ(black, canvas.At(380, 100));
    EXPECT_EQ(black, canvas.At(200, 265));
    EXPECT_EQ(white, canvas.At(30, 250));
    EXPECT_EQ(white, canvas.At(200, 10));
    // The point at 700 m has no time: both its legs count 0, and the second
    // (700 to 800 m) has no area above the bottom.
    const int x = graph->PointFromValue(0, 750).x;
    EXPECT_NE(area, canvas.At(x, 250)) << type;
  }
}

TEST_F(PaceDistGraph, MergedColumnsDrawWhatEveryLegWouldDraw) {
  // 3000 legs of 1 to 4 m over 300 pixels: many legs share a column. Each leg
  // drawn on its own (trapezoid, then its edge) must give the same plot.
  gdb::Track_t track;
  double metres = 0.0;
  std::int64_t seconds = 0;
  for (int i = 0; i <= 3000; ++i) {
    glo::Optional_t<std::int64_t> time;
    if (i % 97 != 50) time = seconds;
    track.AppendPoint(PointAt(metres, 10.0, time));
    metres += 1.0 + (i * 7919 % 4);
    seconds += 1 + (i * 104729 % 3);
  }
  for (auto type : {app::PaceDistGraphCtrl_t::Pace, app::PaceDistGraphCtrl_t::Speed}) {
    SetType(type);
    auto graph = MakeGraph(&track);
    graph->ComputeYRange();
    Canvas_t merged(400, 300), single(400, 300);
    graph->DrawAreas(merged.dc);

    plat::Pen_t area, edge;
    plat::Brush_t brush;
    area.CreatePen(plat::kPsSolid, 1, plat::Rgb(175, 180, 252));
    brush.CreateSolidBrush(plat::Rgb(175, 180, 252));
    edge.CreatePen(plat::kPsSolid, 1, plat::Rgb(0, 0, 0));
    plat::POINT previous{0, 0};
    double running = 0.0;
    const plat::RECT plot = graph->GetPlotRect();
    auto from = track.Begin();
    for (auto p = std::next(from); p != track.End(); from = p++) {
      const gdb::LegSummary_t leg(*from, *p);
      double v = 0.0;
      if (leg.GetTimeSpan())
        v = type == app::PaceDistGraphCtrl_t::Pace
                ? app::PaceFromDistanceTime(*leg.GetTimeSpan(), leg.GetDistance(), mat::DistUnitsTypes_t::Metric) / 60.0
                : app::SpeedFromDistanceTime(leg.GetDistance(), *leg.GetTimeSpan(), mat::DistUnitsTypes_t::Metric);
      running += std::round(leg.GetDistance());
      const plat::POINT P = graph->PointFromValue(v, running);
      const plat::POINT t[5] = {previous, P, {P.x, plot.bottom}, {previous.x, plot.bottom}, previous};
      single.dc.SelectObject(area);
      single.dc.SelectObject(brush);
      single.dc.Polygon(t, 5);
      if (from != track.Begin()) {
        single.dc.SelectObject(edge);
        single.dc.MoveTo(previous.x, previous.y);
        single.dc.LineTo(P.x, P.y);
      }
      previous = P;
    }
    int differences = 0;
    for (int y = plot.top; y <= plot.bottom; ++y)
      for (int x = plot.left; x <= plot.right; ++x)
        if (merged.At(x, y) != single.At(x, y) && differences++ < 5) ADD_FAILURE() << type << " at " << x << "," << y;
    EXPECT_EQ(0, differences) << type;
  }
}

TEST_F(PaceDistGraph, FewerThanThreePointsShowOnlyWhite) {
  const gdb::Track_t track = LegTrack({30});
  auto graph = MakeGraph(&track);
  EXPECT_EQ(0, graph->GetXRange());
  Canvas_t canvas(400, 300);
  canvas.dc.FillSolidRect(plat::RECT{0, 0, 400, 300}, plat::Rgb(1, 2, 3));
  graph->Paint(canvas.dc);
  for (int y = 0; y < 300; y += 37)
    for (int x = 0; x < 400; x += 41) ASSERT_EQ(plat::Rgb(255, 255, 255), canvas.At(x, y)) << x << "," << y;
}

TEST_F(PaceDistGraph, ToggleIsStoredForTheNextGraph) {
  auto graph = MakeGraph(nullptr);
  EXPECT_EQ(app::PaceDistGraphCtrl_t::Pace, graph->GetGraphType());
  graph->ToggleGraphType();
  EXPECT_EQ(app::PaceDistGraphCtrl_t::Speed, graph->GetGraphType());
  EXPECT_EQ(app::PaceDistGraphCtrl_t::Speed, app::PaceDistGraphCtrl_t::StoredGraphType());
  EXPECT_EQ(app::PaceDistGraphCtrl_t::Speed, MakeGraph(nullptr)->GetGraphType());
  graph->ToggleGraphType();
  EXPECT_EQ(app::PaceDistGraphCtrl_t::Pace, app::PaceDistGraphCtrl_t::StoredGraphType());
}

}  // namespace
