// The tide graph drawn offscreen with the DejaVu font, in the US English locale
// and the New York zone: axes, labels, the curve, the cursor, scrolling, a
// narrow and a low plot and a flat curve.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "map/MAP_TideGraphCtrl.h"
#include "plat/PLAT_Gdi.h"
#include "plat/PLAT_Input.h"
#include "plat/PLAT_ScrollBar.h"
#include "tests/mapwin/TideTestSupport.h"

namespace {

using tidetest::Utc;

// The graph with its mouse handlers open to the test.
class Graph_t : public map::TideGraphCtrl_t {
 public:
  using map::TideGraphCtrl_t::OnLButtonDown;
  using map::TideGraphCtrl_t::OnLButtonUp;
  using map::TideGraphCtrl_t::OnMouseMove;
};

// A top-level window that keeps the commands its children send.
class Host_t : public plat::Wnd_t {
 public:
  Host_t() { Create(nullptr, 0, plat::kWsOverlappedWindow, plat::RECT{0, 0, 1200, 600}); }
  std::vector<unsigned> commands;

 protected:
  bool OnCommand(unsigned id, unsigned code) override {
    commands.push_back(id);
    return plat::Wnd_t::OnCommand(id, code);
  }
};

// A memory context over the graph's client area.
struct Canvas_t {
  Canvas_t(int width, int height) {
    dc.CreateCompatibleDC(nullptr);
    bitmap.CreateCompatibleBitmap(dc, width, height);
    dc.SelectObject(bitmap);
  }
  plat::COLORREF At(int x, int y) const { return dc.GetPixel(x, y); }
  // True when a pixel of the rectangle is not white.
  bool Inked(const plat::RECT& r) const {
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (dc.GetPixel(x, y) != plat::Rgb(255, 255, 255)) return true;
    return false;
  }
  plat::Dc_t dc;
  plat::Bitmap_t bitmap;
};

constexpr plat::COLORREF kBlue = plat::Rgb(0, 0, 170), kGreen = plat::Rgb(0, 127, 0), kRed = plat::Rgb(255, 0, 0),
                         kBlack = plat::Rgb(0, 0, 0), kWhite = plat::Rgb(255, 255, 255);

class TideGraph : public tidetest::TideGuiTest {
 protected:
  // A graph whose client area is width x height.
  std::unique_ptr<Graph_t> Make(int width, int height) {
    auto graph = std::make_unique<Graph_t>();
    EXPECT_TRUE(graph->Create(&host, 6138, map::TideGraphCtrl_t::kStyle,
                              plat::RECT{0, 0, width, height + plat::GetScrollBarExtent()}));
    return graph;
  }
  void Show(Graph_t& graph, const glo::Time_t& start, int days, tidetest::Station_t& s) {
    graph.SetData(&s.Get(), start, Utc(2000, 1, 1), Utc(2030, 1, 1), days, glo::TimeSpan_t(), false);
  }
  Host_t host;
  tidetest::Station_t station{0, 1000, tidetest::SemidiurnalList()};
  // 00:30 in New York.
  const glo::Time_t start = Utc(2020, 1, 15, 5, 30);
};

TEST(TideHeightScaleTest, StepsAndLimits) {
  const struct {
    double minimum, maximum;
    int rows;
    double step, top, bottom;
  } cases[] = {
      {-0.3, 1.9, 10, 0.5, 2.0, -0.5},  // raw step 0.22
      {0.0, 1.0, 4, 0.5, 1.0, 0.0},     // all positive: bottom 0
      {-2.0, 0.0, 10, 0.2, 0.0, -2.0},  // all negative: top 0
      {0.0, 0.05, 5, 0.1, 0.1, 0.0},    // below one step
      {0.0, 0.0, 5, 0.1, 0.1, 0.0},     // flat at zero: one step of range
      {0.0, 5.0, 0, 5.0, 5.0, 0.0},     // no room for a row: one row
      {-1.0, 23.0, 3, 10.0, 30.0, -10.0},
  };
  for (const auto& c : cases) {
    const map::TideHeightScale_t s = map::ScaleTideHeights(c.minimum, c.maximum, c.rows);
    EXPECT_NEAR(s.step, c.step, 1e-12) << c.maximum;
    EXPECT_NEAR(s.top, c.top, 1e-12) << c.maximum;
    EXPECT_NEAR(s.bottom, c.bottom, 1e-12) << c.maximum;
  }
}

TEST_F(TideGraph, DayViewAxesLabelsAndCurve) {
  auto graph = Make(549, 400);  // plot 61..541 x 31..341: 480 columns, 20 samples an hour
  Show(*graph, start, 1, station);
  EXPECT_EQ(graph->GetPlotRect(), (plat::RECT{61, 31, 541, 341}));
  EXPECT_EQ(graph->GetStats().GetSamplesPerHour(), 20);
  ASSERT_EQ(graph->GetStats().GetSamples().size(), 481u);
  Canvas_t canvas(549, 400);
  graph->Paint(canvas.dc);
  tidetest::MaybeSave(*graph, "tide-day");

  // Hourly ticks from the first full local hour, labelled every second one.
  EXPECT_EQ(graph->GetTickCount(), 24);
  EXPECT_EQ(graph->GetTickInterval().GetSeconds(), 3600.0);
  EXPECT_EQ(graph->GetFirstTick(), Utc(2020, 1, 15, 6));
  EXPECT_EQ(graph->GetTickPicture(), "%#I%p");
  const auto& labels = graph->GetTickLabels();
  ASSERT_EQ(labels.size(), 12u);
  EXPECT_EQ(labels[0], (std::pair<int, std::string>{71, "1AM"}));
  EXPECT_EQ(labels[5].second, "11AM");
  EXPECT_EQ(labels[6], (std::pair<int, std::string>{71 + 12 * 20, "1PM"}));
  EXPECT_TRUE(canvas.Inked(plat::RECT{60, 341 + 14 + 5, 82, 341 + 14 + 5 + 16}));  // "1AM" under its tick
  EXPECT_EQ(canvas.At(71, 350), kBlack);  // the long tick
  EXPECT_EQ(canvas.At(91, 350), kWhite);  // the short one ends at 7 pixels
  EXPECT_EQ(canvas.At(91, 346), kBlack);

  // The height axis spans every height and contains zero on a grid line.
  double low = 0, high = 0;
  for (const auto& s : graph->GetStats().GetSamples()) {
    low = std::min(low, s.height);
    high = std::max(high, s.height);
  }
  EXPECT_LT(low, 0.0);
  EXPECT_GT(high, 0.0);
  EXPECT_GE(graph->GetTopValue(), high);
  EXPECT_LE(graph->GetBottomValue(), low);
  const int zero = graph->GetZeroRow();
  EXPECT_GT(zero, 31);
  EXPECT_LT(zero, 341);
  EXPECT_TRUE(canvas.Inked(plat::RECT{0, zero - 8, 50, zero + 8}));  // "0.0"

  // The curve: blue bars above the zero line, green ones below; the sides black.
  ASSERT_EQ(graph->GetBars().size(), 481u);
  int blue = 0, green = 0;
  for (const plat::RECT& bar : graph->GetBars()) {
    if (bar.right - bar.left < 1 || std::abs(bar.top - zero) < 3) continue;
    if (bar.top < zero) {
      EXPECT_EQ(canvas.At(bar.left, zero - 1), kBlue) << bar.left;
      ++blue;
    } else {
      EXPECT_EQ(canvas.At(bar.left, zero + 1), kGreen) << bar.left;
      ++green;
    }
  }
  EXPECT_GT(blue, 100);
  EXPECT_GT(green, 20);
  EXPECT_EQ(canvas.At(541, 200), kBlack);
  EXPECT_FALSE(canvas.Inked(plat::RECT{61, 0, 541, 25}));  // no cursor text yet
  EXPECT_TRUE(canvas.Inked(plat::RECT{2, 120, 15, 250}));  // the height title

  // A repaint without new data lays nothing out again.
  graph->Paint(canvas.dc);
  EXPECT_EQ(graph->GetLayoutCount(), 1u);
  EXPECT_EQ(graph->GetPredictionCount(), 1u);
}

TEST_F(TideGraph, CursorFollowsClicksAndDragsInsideThePlot) {
  auto graph = Make(549, 400);
  Show(*graph, start, 1, station);
  Canvas_t canvas(549, 400);
  graph->Paint(canvas.dc);

  // Outside the plot's columns: tracking, but no cursor.
  graph->OnLButtonDown(plat::kMkLButton, plat::POINT{20, 200});
  EXPECT_TRUE(graph->IsTracking());
  EXPECT_TRUE(graph->GetCursorText().empty());
  // Dragging into the plot moves the cursor: 100 columns are 5 hours.
  graph->OnMouseMove(plat::kMkLButton, plat::POINT{161, 200});
  EXPECT_EQ(graph->GetCursorTime(), start + glo::TimeSpan_t(5 * 3600.0));
  const auto& samples = graph->GetStats().GetSamples();
  const auto& at = samples[100];
  EXPECT_EQ(at.time.Time(), graph->GetCursorTime());
  EXPECT_EQ(graph->GetCursorText(), "1/15/2020 5:30:00 AM    " + mat::FormatNumber(at.height, true, 2, 2) + " m");
  graph->OnLButtonUp(0, plat::POINT{161, 200});
  EXPECT_FALSE(graph->IsTracking());
  graph->OnMouseMove(plat::kMkLButton, plat::POINT{300, 200});  // not tracking: nothing moves
  EXPECT_EQ(graph->GetCursorTime(), start + glo::TimeSpan_t(5 * 3600.0));

  graph->Paint(canvas.dc);
  EXPECT_EQ(canvas.At(161, 100), kRed);
  EXPECT_TRUE(canvas.Inked(plat::RECT{61, 0, 541, 31}));

  // The time labels count as inside; a click there sets the cursor too.
  graph->OnLButtonDown(plat::kMkLButton, plat::POINT{81, 380});
  EXPECT_EQ(graph->GetCursorTime(), start + glo::TimeSpan_t(3600.0));

  // After new data the cursor is hidden; a click on the same column shows it again.
  Show(*graph, start, 1, station);
  EXPECT_TRUE(graph->GetCursorText().empty());
  graph->OnLButtonDown(plat::kMkLButton, plat::POINT{81, 200});
  EXPECT_FALSE(graph->GetCursorText().empty());

  // Station time labels the text with its offset.
  graph->SetData(&station.Get(), start, Utc(2000, 1, 1), Utc(2030, 1, 1), 1, glo::TimeSpan_t(), true);
  graph->Paint(canvas.dc);
  graph->OnLButtonDown(plat::kMkLButton, plat::POINT{61, 200});
  EXPECT_EQ(graph->GetCursorText().substr(0, 29), "1/15/2020 5:30:00 AM (UTC)   ");
}

TEST_F(TideGraph, ScrollingMovesThePeriodAndTellsTheParent) {
  auto graph = Make(549, 400);
  graph->SetData(&station.Get(), start, start - glo::TimeSpan_t(86400.0), start + glo::TimeSpan_t(2 * 86400.0), 1,
                 glo::TimeSpan_t(), false);
  Canvas_t canvas(549, 400);
  graph->Paint(canvas.dc);
  graph->OnLButtonDown(plat::kMkLButton, plat::POINT{161, 200});
  ASSERT_FALSE(graph->GetCursorText().empty());

  struct Step {
    unsigned code;
    int position;
    double hours;  // from the start before
  } steps[] = {
      {plat::kSbPageDown, 0, 24}, {plat::kSbLineUp, 0, -1},    {plat::kSbLineDown, 0, 1},
      {plat::kSbPageUp, 0, -24},  {plat::kSbThumbPosition, 5, 5}, {plat::kSbThumbPosition, -3, -3},
  };
  for (const Step& s : steps) {
    const glo::Time_t before = graph->GetStats().GetStart();
    host.commands.clear();
    graph->SendMessage(plat::kWmHScroll, (static_cast<plat::WPARAM>(static_cast<std::uint16_t>(s.position)) << 16) | s.code);
    EXPECT_EQ(graph->GetStats().GetStart(), before + glo::TimeSpan_t(s.hours * 3600.0)) << s.code;
    EXPECT_TRUE(graph->GetCursorText().empty());
    EXPECT_EQ(graph->GetScrollPos(plat::kSbHorz), 0);
    plat::PumpUntilIdle();
    EXPECT_EQ(host.commands, std::vector<unsigned>{map::kTideGraphScrolled}) << s.code;
  }
  // Thumb tracking and the ends do nothing.
  const glo::Time_t before = graph->GetStats().GetStart();
  for (unsigned code : {plat::kSbThumbTrack, plat::kSbTop, plat::kSbBottom, plat::kSbEndScroll})
    graph->SendMessage(plat::kWmHScroll, code | (7u << 16));
  EXPECT_EQ(graph->GetStats().GetStart(), before);
  EXPECT_EQ(graph->GetPredictionCount(), 1u + 6u);

  // Past the latest start: the message, then the period from the latest start.
  graph->ScrollBy(glo::TimeSpan_t(5 * 86400.0));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Tides can be shown for start times between 1/14/2020 12:30:00 AM  and 1/17/2020 12:30:00 AM  only.");
  EXPECT_EQ(graph->GetStats().GetStart(), start + glo::TimeSpan_t(2 * 86400.0));
  // Back past the earliest start, and beyond the range of times altogether.
  graph->ScrollBy(glo::TimeSpan_t(-5 * 86400.0));
  EXPECT_EQ(graph->GetStats().GetStart(), start - glo::TimeSpan_t(86400.0));
  graph->ScrollBy(glo::TimeSpan_t(-3e9));
  EXPECT_EQ(graph->GetStats().GetStart(), start - glo::TimeSpan_t(86400.0));
  EXPECT_EQ(messages.size(), 3u);

  // The wheel: whole hours inside the window, nothing outside; never vertically.
  const glo::Time_t wheelStart = graph->GetStats().GetStart();
  EXPECT_TRUE(graph->OnWheelScroll(2, 0, graph->ClientToScreen(plat::POINT{100, 100})));
  EXPECT_EQ(graph->GetStats().GetStart(), wheelStart + glo::TimeSpan_t(7200.0));
  EXPECT_FALSE(graph->OnWheelScroll(2, 0, graph->ClientToScreen(plat::POINT{-5, 100})));
  EXPECT_FALSE(graph->OnWheelScroll(0, 0, graph->ClientToScreen(plat::POINT{100, 100})));
  EXPECT_THROW(graph->OnWheelScroll(0, 3, graph->ClientToScreen(plat::POINT{100, 100})), glo::Assert_t);
  // The wheel as the user turns it: towards the user moves on in time; with
  // Shift or Ctrl held it does nothing.
  const glo::Time_t beforeWheel = graph->GetStats().GetStart();
  plat::SendWheel(*graph, -120, plat::kMkShift, plat::POINT{100, 100});
  plat::SendWheel(*graph, -120, plat::kMkControl, plat::POINT{100, 100});
  EXPECT_EQ(graph->GetStats().GetStart(), beforeWheel);
  plat::SendWheel(*graph, -120, 0, plat::POINT{100, 100});
  const double moved = glo::Difference(graph->GetStats().GetStart(), beforeWheel).GetSeconds();
  EXPECT_GT(moved, 0.0);
  EXPECT_EQ(std::fmod(moved, 3600.0), 0.0);
  EXPECT_EQ(graph->GetHorzLineSize(), 1);
  EXPECT_EQ(graph->GetHorzPageSize(), 24);
}

TEST_F(TideGraph, WeekViewTicksTwiceADayWithDatesAtMidnight) {
  auto graph = Make(909, 400);  // 840 columns: 5 samples an hour
  Show(*graph, start, 7, station);
  Canvas_t canvas(909, 400);
  graph->Paint(canvas.dc);
  tidetest::MaybeSave(*graph, "tide-week");
  EXPECT_TRUE(graph->IsWeekView());
  EXPECT_EQ(graph->GetStats().GetSamplesPerHour(), 5);
  EXPECT_EQ(graph->GetTickCount(), 14);
  EXPECT_EQ(graph->GetTickInterval().GetSeconds(), 12 * 3600.0);
  EXPECT_EQ(graph->GetFirstTick(), Utc(2020, 1, 15, 17));  // local noon: unlabelled
  const auto& labels = graph->GetTickLabels();
  ASSERT_EQ(labels.size(), 7u);
  EXPECT_EQ(labels[0].second, "1/16");
  EXPECT_EQ(labels[6].second, "1/22");
  EXPECT_EQ(labels[0].first, 61 + 118);  // 23.5 hours after the start, 5 columns an hour

  // From local 23:30 the first tick is midnight, labelled.
  Show(*graph, Utc(2020, 1, 16, 4, 30), 7, station);
  graph->Paint(canvas.dc);
  EXPECT_EQ(graph->GetFirstTick(), Utc(2020, 1, 16, 5));
  ASSERT_EQ(graph->GetTickLabels().size(), 7u);
  EXPECT_EQ(graph->GetTickLabels()[0].second, "1/16");
}

TEST_F(TideGraph, NarrowLowAndFlatGraphsStillDraw) {
  // 31 columns for a week: still one sample an hour.
  auto narrow = Make(100, 400);
  Show(*narrow, start, 7, station);
  EXPECT_EQ(narrow->GetStats().GetSamplesPerHour(), 1);
  Canvas_t small(100, 400);
  EXPECT_NO_THROW(narrow->Paint(small.dc));
  EXPECT_EQ(narrow->GetBars().size(), 7u * 25u);
  narrow->OnLButtonDown(plat::kMkLButton, plat::POINT{70, 100});
  EXPECT_FALSE(narrow->GetCursorText().empty());

  // A plot lower than one label row, and one narrower than nothing: the plot
  // shrinks into the client, the height axis still spans every height on one
  // label row (a step at most either side of zero), every bar stays on the
  // canvas and no bar of a height above zero hangs below the zero line.
  const struct {
    int width, height;
    const char* name;
    size_t bars;
  } smalls[] = {{300, 40, "tide-low", 24u * 9u + 1u}, {20, 20, "tide-tiny", 25u}};
  for (const auto& c : smalls) {
    SCOPED_TRACE(c.name);
    auto g = Make(c.width, c.height);
    Show(*g, start, 1, station);
    Canvas_t canvas(c.width, c.height);
    EXPECT_NO_THROW(g->Paint(canvas.dc));
    tidetest::MaybeSave(*g, c.name);
    const plat::RECT& plot = g->GetPlotRect();
    EXPECT_TRUE(0 <= plot.left && plot.left <= plot.right && plot.right <= c.width) << plot.left << " " << plot.right;
    EXPECT_TRUE(0 <= plot.top && plot.top <= plot.bottom && plot.bottom <= c.height) << plot.top << " " << plot.bottom;
    const auto& samples = g->GetStats().GetSamples();
    double lowest = 0.0, highest = 0.0;
    for (const auto& s : samples) {
      lowest = std::min(lowest, s.height);
      highest = std::max(highest, s.height);
    }
    EXPECT_GE(g->GetTopValue(), highest);
    EXPECT_LE(g->GetBottomValue(), lowest);
    EXPECT_GT(g->GetTopValue(), g->GetBottomValue());
    EXPECT_LE(g->GetTopValue() - g->GetBottomValue(), 2.0 * g->GetValueStep() + 1e-9);
    const auto& bars = g->GetBars();
    ASSERT_EQ(bars.size(), c.bars);
    int leaving = 0, hanging = 0;  // bars off the canvas; bars above zero reaching down
    for (size_t i = 0; i < bars.size(); ++i) {
      const plat::RECT& bar = bars[i];
      if (bar.left < 0 || bar.right > c.width || std::min(bar.top, bar.bottom) < 0 ||
          std::max(bar.top, bar.bottom) > c.height)
        ++leaving;
      if (samples[i].height > 0.0 && bar.top > g->GetZeroRow()) ++hanging;
    }
    EXPECT_EQ(leaving, 0);
    EXPECT_EQ(hanging, 0);
  }

  // A curve of a thousandth of a foot either way: one 0.1 step on each side
  // of zero, and no bar higher than a pixel. (Heights that are all zero get one
  // step of range: ScaleTideHeights above.)
  tidetest::Station_t flatStation(0, 0, {{0, 1, 0}});
  auto flat = Make(549, 400);
  Show(*flat, start, 1, flatStation);
  Canvas_t canvas(549, 400);
  EXPECT_NO_THROW(flat->Paint(canvas.dc));
  EXPECT_NEAR(flat->GetTopValue(), 0.1, 1e-12);
  EXPECT_NEAR(flat->GetBottomValue(), -0.1, 1e-12);
  EXPECT_EQ(flat->GetZeroRow(), 186);
  for (const plat::RECT& bar : flat->GetBars()) ASSERT_LE(std::abs(bar.top - bar.bottom), 1);
  EXPECT_FALSE(canvas.Inked(plat::RECT{62, 40, 540, 180}));
  EXPECT_FALSE(canvas.Inked(plat::RECT{62, 192, 540, 330}));
  flat->OnLButtonDown(plat::kMkLButton, plat::POINT{300, 200});
  EXPECT_NE(flat->GetCursorText().find("0.00 m"), std::string::npos) << flat->GetCursorText();
}

}  // namespace
