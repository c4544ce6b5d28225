// The map pane of the main frame: the selected run's or lap's track over the
// plain background, fitted to the pane on every update and resize, with the
// scale bar and the cross-hair at a marked track point.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "app/Application.h"
#include "app/Commands.h"
#include "app/Document.h"
#include "app/MainFrame.h"
#include "app/MapView.h"
#include "map/MAP_Registry.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_ClientDc.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_Input.h"
#include "plat/PLAT_MessageBox.h"
#include "tests/app/AppTestUtil.h"
#include "tests/app/GraphTestUtil.h"
#include "tests/app/TrainingTestUtil.h"

namespace {

constexpr plat::COLORREF kBackground = plat::Rgb(235, 235, 235);  // palette entry 14
constexpr plat::COLORREF kYellow = plat::Rgb(255, 255, 0);         // a selected track
constexpr plat::COLORREF kWhite = plat::Rgb(255, 255, 255);        // a plain track
constexpr plat::COLORREF kRed = plat::Rgb(255, 0, 0);
constexpr plat::COLORREF kBlack = plat::Rgb(0, 0, 0);

// A loop of 'count' points (about 1.6 km across), one every 4 s from 'start'.
gdb::Track_t LoopTrack(std::int64_t start, int count) {
  gdb::Track_t track;
  for (int i = 0; i < count; ++i) {
    const double a = 2.0 * 3.14159265358979 * i / count;
    const auto lat = static_cast<std::int32_t>(536870912 + 30000 * std::sin(a));
    const auto lon = static_cast<std::int32_t>(95443700 + 40000 * std::cos(a) + 10000 * std::sin(3 * a));
    track.AppendPoint(gdb::TrackPoint_t(geo::Position_t(lat, lon, 400.0), glo::Time_t(start + i * 4)));
  }
  return track;
}

class MapPaneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plat::EnsureGuiApplication());
    plat::SetMessageBoxHook([](const std::string&, const std::string&, unsigned) { return plat::kIdOk; });
    map::GetRegistry().DistanceUnitsType.Set(mat::DistUnitsTypes_t(0));
    map::GetRegistry().MapFontSetting.Set(map::MapFont_t{"DejaVu Sans", -13, 400, false});
    app::RunSet_t set;
    // A run of three laps of 200 s with a loop track of 150 points (two segments).
    app::LapSet_t laps;
    for (int k = 0; k < 3; ++k) laps.insert(trtest::MakeLap(trtest::kBase + k * 200, 20000, 1000.0f));
    set.insert(app::Run_t(laps, LoopTrack(trtest::kBase, 150), std::string()));
    apptest::WriteHistory("Ann", set);
    ASSERT_TRUE(apptest::StartApplication(m_app));
    // A pane of a known size, whatever sizes earlier runs left in the settings.
    Frame().GetMapView().MoveWindow(0, 0, 400, 300);
    Settle();
  }
  void TearDown() override {
    apptest::CloseApplication(m_app);
    plat::SetMessageBoxHook(nullptr);
  }
  app::MainFrame_t& Frame() { return *m_app->Frame(); }
  app::MapWindow_t& Map() { return Frame().GetMapView().GetMapWindow(); }
  plat::TreeCtrl_t& Tree() { return Frame().GetTreeView().Control(); }
  void Select(std::initializer_list<int> path) {
    plat::HTREEITEM item = Tree().GetRootItem();
    for (int n : path) {
      item = Tree().GetChildItem(item);
      for (int i = 0; i < n; ++i) item = Tree().GetNextSiblingItem(item);
    }
    ASSERT_NE(0u, item);
    Tree().SelectItem(item);
    Settle();
  }
  void Settle() {
    plat::PumpUntilIdle();
    Map().UpdateWindow();
  }
  plat::COLORREF At(int x, int y) {
    plat::ClientDc_t dc(Map());
    return dc.GetPixel(x, y);
  }
  int Count(plat::COLORREF colour) {
    plat::ClientDc_t dc(Map());
    const plat::RECT r = Map().GetClientRect();
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += dc.GetPixel(x, y) == colour;
    return n;
  }
  // The selected track lies strictly inside the pane, and would not at the
  // next finer step.
  void ExpectFitted(const gdb::Track_t& track) {
    const plat::RECT r = Map().GetClientRect();
    map::Projector_t& projector = Map().GetProjector();
    const geo::Position_t extent = track.GetTotals().GetBox().GetExtent();
    const plat::SIZE now = projector.ExtentToPixels(extent);
    EXPECT_LT(now.cx, r.right);
    EXPECT_LT(now.cy, r.bottom);
    const int step = Map().GetScale().GetStepIndex();
    if (step > 0) {
      Map().GetScale().SetStepIndex(step - 1);
      const plat::SIZE finer = projector.ExtentToPixels(extent);
      EXPECT_TRUE(finer.cx >= r.right || finer.cy >= r.bottom) << "step " << step;
      Map().GetScale().SetStepIndex(step);
    }
    for (const gdb::TrackPoint_t& p : track) {
      const plat::POINT s = projector.PositionToScreen(p.GetPosition());
      EXPECT_TRUE(s.x >= 0 && s.x < r.right && s.y >= 0 && s.y < r.bottom);
    }
  }
  std::unique_ptr<app::Application_t> m_app;
};

TEST_F(MapPaneTest, WithoutATrackThePaneIsPlainBackground) {
  Select({});
  const plat::RECT r = Map().GetClientRect();
  ASSERT_GT(r.right, 150);
  ASSERT_GT(r.bottom, 40);
  EXPECT_EQ(r.right * r.bottom, Count(kBackground));
  Select({0});  // a week: still nothing
  EXPECT_EQ(r.right * r.bottom, Count(kBackground));
}

TEST_F(MapPaneTest, ARunShowsItsTrackHighlightedFittedWithTheScaleBar) {
  Select({0, 0});
  const gdb::Track_t& track = *Frame().GetTreeView().GetSelectedRun().GetTrack();
  ExpectFitted(track);
  EXPECT_GT(Count(kYellow), 100);
  const plat::RECT r = Map().GetClientRect();
  // The bar: a 1-pixel black line over a 3-pixel white one, 100 pixels long.
  const int x0 = r.right - 120, y = r.bottom - 16;
  EXPECT_EQ(kBlack, At(x0 + 50, y));
  EXPECT_EQ(kWhite, At(x0 + 50, y + 1));
  EXPECT_EQ(kBlack, At(x0, y - 2));
  EXPECT_EQ(kBlack, At(x0 + 100, y - 2));
  EXPECT_EQ(kBackground, At(x0 + 50, y + 3));
  graphtest::MaybeSave(Frame(), "map-run");
}

TEST_F(MapPaneTest, ALapLiesOnItsRunsPlainTrack) {
  Select({0, 0, 1});
  ASSERT_EQ(app::HistoryTree_t::kLap, Frame().GetTreeView().GetSelectionLevel());
  const gdb::Track_t& lap = *Frame().GetTreeView().GetSelectedLap().GetTrack();
  ExpectFitted(lap);
  // The lap is yellow; the rest of the run shows white where it is in view.
  EXPECT_GT(Count(kYellow), 20);
  EXPECT_GT(Count(kWhite), 20);
  graphtest::MaybeSave(Frame(), "map-lap");
}

TEST_F(MapPaneTest, ResizingKeepsTheTrackFitted) {
  Select({0, 0});
  const gdb::Track_t& track = *Frame().GetTreeView().GetSelectedRun().GetTrack();
  app::MapView_t& view = Frame().GetMapView();
  const int steps[][2] = {{400, 300}, {200, 150}, {600, 220}, {120, 400}, {400, 300}};
  int previous = -1;
  bool changed = false;
  for (const auto& s : steps) {
    view.MoveWindow(0, 0, s[0], s[1]);
    Settle();
    const plat::RECT r = Map().GetClientRect();
    EXPECT_EQ(s[0], r.right);
    EXPECT_EQ(s[1], r.bottom);
    ExpectFitted(track);
    const int step = Map().GetScale().GetStepIndex();
    changed = changed || (previous >= 0 && previous != step);
    previous = step;
    EXPECT_GT(Count(kYellow), 20) << s[0] << "x" << s[1];
  }
  EXPECT_TRUE(changed);
}

TEST_F(MapPaneTest, TheCrossMarksTheMarkedPointCountingEachJunctionOnce) {
  // The track's 150 points lie in segments of 100 whose second starts with the
  // first's last point: point 120 is the 121st appended.
  app::MapWindow_t& map = Map();
  int marked = 0;
  map.SetMarkedPointSource([&] { return glo::Optional_t<int>(marked); });
  Select({0, 0});
  const gdb::Track_t& track = *Frame().GetTreeView().GetSelectedRun().GetTrack();
  const auto expectCross = [&](int index) {
    gdb::Track_t::Iterator_t it = track.Begin();
    for (int i = 0; i < index; ++i) ++it;
    const plat::POINT c = map.GetProjector().PositionToScreen(it->GetPosition());
    EXPECT_EQ(kRed, At(c.x - 20, c.y)) << index;
    EXPECT_EQ(kRed, At(c.x, c.y + 20)) << index;
    EXPECT_EQ(kWhite, At(c.x - 20, c.y - 1)) << index;  // the white edge
  };
  marked = 0;
  map.Invalidate(true);
  Settle();
  expectCross(0);
  marked = 120;
  map.Invalidate(true);
  Settle();
  expectCross(120);
  map.SetMarkedPointSource(nullptr);
}

TEST_F(MapPaneTest, SwitchingTheDistanceUnitRefitsWithTheNewSteps) {
  Select({0, 0});
  // The loop fits at the statute step of 8 ft and the metric one of 2 m: the
  // bar's 100 pixels measure 800 ft, then 200 m.
  EXPECT_EQ(5, Map().GetScale().GetStepIndex());
  EXPECT_EQ("800 ft", Map().GetScale().GetStepText());
  map::GetRegistry().DistanceUnitsType.Set(mat::DistUnitsTypes_t(1));
  app::GetDocument().UpdateAllViews();
  Settle();
  EXPECT_EQ(6, Map().GetScale().GetStepIndex());
  EXPECT_EQ("200 m", Map().GetScale().GetStepText());
  ExpectFitted(*Frame().GetTreeView().GetSelectedRun().GetTrack());
  map::GetRegistry().DistanceUnitsType.Set(mat::DistUnitsTypes_t(0));
}

TEST_F(MapPaneTest, KeysAndTheWheelLeaveThePaneAlone) {
  Select({0, 0});
  const int step = Map().GetScale().GetStepIndex();
  const geo::Position_t centre = Map().GetProjector().GetCenter();
  plat::SendKey(Map(), plat::kVkOemPlus);
  plat::SendKey(Map(), plat::kVkLeft);
  plat::SendWheel(Map(), 120, 0, plat::POINT{20, 20});
  Settle();
  EXPECT_EQ(step, Map().GetScale().GetStepIndex());
  EXPECT_EQ(centre, Map().GetProjector().GetCenter());
}

}  // namespace
