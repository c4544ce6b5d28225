// A newcomer's first hour, offscreen: a fresh program transfers the simulated
// watch's "history" profile as the README describes it, and every page and
// graph then shows values that agree with each other: each run's track covers
// its laps in distance and time, over gentle hills. With STRIDE_DIALOG_PICTURES
// set, the main window is saved for every item of the tree.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/Commands.h"
#include "app/Document.h"
#include "app/FrameRules.h"
#include "app/LapPage.h"
#include "app/PaceDistGraph.h"
#include "app/MainFrame.h"
#include "app/NewUnitDialog.h"
#include "app/ProfileView.h"
#include "plat/PLAT_Input.h"
#include "plat/PLAT_ScrollBar.h"
#include "plat/PLAT_Screen.h"

#include "app/TransferDialog.h"
#include "app/TransferProgress.h"
#include "app/TreeView.h"
#include "err/ERR_ErrDlg.h"
#include "gdb/GDB_Track.h"
#include "geo/GEO_Position.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Button.h"
#include "plat/PLAT_ComboEdit.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_List.h"
#include "plat/PLAT_MessageBox.h"
#include "tests/app/AppTestUtil.h"
#include "tests/common/TestEnv.h"
#include "tools/WatchSim.h"

namespace {

class NewcomerPathTest : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(plat::EnsureGuiApplication());
    apptest::AnswerTransferDialogs(m_port, m_user, m_reports, m_messages);
  }
  void TearDown() override {
    if (m_app) apptest::CloseApplication(m_app);
    plat::SetModalHook(nullptr);
    plat::SetMessageBoxHook(nullptr);
    plat::PumpUntilIdle();
  }

  test::EnvOverride m_runtime{"XDG_RUNTIME_DIR", nullptr};
  std::unique_ptr<app::Application_t> m_app;
  std::string m_port;
  const std::string m_user = "Newcomer";
  int m_reports = 0;
  std::vector<std::string> m_messages;
};

// The track's points from 'from' to 'to' (device times as the laps give them).
struct Stretch {
  double metres = 0.0;
  double firstTime = -1.0;
  double lastTime = -1.0;
};

Stretch StretchOf(const gdb::Track_t& track, std::int64_t from, std::int64_t to) {
  Stretch s;
  const gdb::TrackPoint_t* previous = nullptr;
  for (const gdb::TrackPoint_t& p : track) {
    const std::int64_t t = p.GetTime()->GetValue();
    if (t >= from && t <= to) {
      if (s.firstTime < 0) s.firstTime = static_cast<double>(t);
      s.lastTime = static_cast<double>(t);
      if (previous != nullptr && previous->GetTime()->GetValue() >= from)
        s.metres += gdb::LegSummary_t(*previous, p).GetDistance();
    }
    previous = &p;
  }
  return s;
}

// The README's first transfer: the simulated watch's "history" profile into
// the program, under a new user.
void TransferTheSampleHistory(NewcomerPathTest& t, std::unique_ptr<sim::Watch_t>& watch) {
  sim::Profile profile;
  ASSERT_TRUE(sim::BuiltinProfile("history", profile));
  profile.unitId = 27027;  // a unit no other test's user owns
  watch = std::make_unique<sim::Watch_t>(profile);
  t.m_port = watch->PortPath();
  bool transferred = false;
  ASSERT_TRUE(apptest::StartApplication(t.m_app, app::kSwShowNormal, [&](app::Application_t& a) {
    a.SetTransferCommand([&] {
      transferred = true;
      app::RunTransferDialog();
    });
  }));
  // Without users the transfer opens at once; else the user asks for it.
  if (!transferred) t.m_app->OnCommand(app::kCmdTransfer, 0);
  plat::PumpUntilIdle();
  EXPECT_EQ(t.m_reports, 0);
  EXPECT_TRUE(t.m_messages.empty());
}

// The main window at the size it first opens with on a 1920 x 1080 screen with
// a panel, its panes laid out as on a first start.
void LayOutAsFirstStartOnACommonScreen(app::MainFrame_t& frame) {
  frame.MoveWindow(plat::DefaultFrameRect(plat::RECT{0, 0, 1920, 1048}));
  plat::PumpUntilIdle();
  const plat::RECT client = frame.OuterSplitter().GetClientRect();
  const app::PaneSizes_t sizes = app::InitialPaneSizes(client.right, client.bottom, {}, {}, {});
  frame.OuterSplitter().SetColumnInfo(0, sizes.tree, 0);
  frame.OuterSplitter().RecalcLayout();
  frame.RightSplitter().SetRowInfo(0, sizes.summary, 0);
  frame.RightSplitter().RecalcLayout();
  frame.LowerSplitter().SetColumnInfo(0, sizes.map, 0);
  frame.LowerSplitter().RecalcLayout();
  plat::PumpUntilIdle();
}

TEST_F(NewcomerPathTest, TheSampleHistoryAgreesWithItselfOnEveryPage) {
  std::unique_ptr<sim::Watch_t> watch;
  TransferTheSampleHistory(*this, watch);
  if (HasFatalFailure()) return;

  const app::RunSet_t& runs = app::GetDocument().GetRuns();
  ASSERT_EQ(runs.size(), 4u);  // three finished runs and one still under way
  int withTrack = 0;
  for (const app::Run_t& run : runs) {
    if (!run.GetTrack().IsPresent()) continue;
    ++withTrack;
    const gdb::Track_t& track = *run.GetTrack();
    double lapMetres = 0.0;
    for (const app::Lap_t& lap : run.GetLaps()) {
      SCOPED_TRACE(lap.GetStart().GetValue());
      lapMetres += lap.GetLength();
      // Each lap's part of the track covers the lap's distance in the lap's time.
      const Stretch s = StretchOf(track, lap.GetStart().GetValue(), lap.EndSeconds());
      EXPECT_NEAR(s.metres, lap.GetLength(), lap.GetLength() * 0.02);
      EXPECT_NEAR(s.firstTime, static_cast<double>(lap.GetStart().GetValue()), 10.0);
      EXPECT_NEAR(s.lastTime, static_cast<double>(lap.EndSeconds()), 10.0);
      // The lap's positions are where the track is at its start and end.
      ASSERT_TRUE(lap.GetBegin().IsPresent() && lap.GetEnd().IsPresent());
      for (const gdb::TrackPoint_t& p : track) {
        const std::int64_t t = p.GetTime()->GetValue();
        if (t == lap.GetStart().GetValue()) {
          EXPECT_LT(geo::DistanceAndBearing(p.GetPosition(), *lap.GetBegin()).distance, 1.0);
        }
        if (t == lap.EndSeconds()) {
          EXPECT_LT(geo::DistanceAndBearing(p.GetPosition(), *lap.GetEnd()).distance, 1.0);
        }
      }
    }
    EXPECT_NEAR(track.GetTotals().GetDistance(), lapMetres, lapMetres * 0.02);
    // Every leg's pace lies near the run's: no leg three times slower.
    const double runPace = *track.GetTotals().GetTimeSpan() / track.GetTotals().GetDistance();
    double lowest = 1e9, highest = -1e9;
    const gdb::TrackPoint_t* previous = nullptr;
    for (const gdb::TrackPoint_t& p : track) {
      ASSERT_TRUE(p.GetPosition().GetAltitude().IsPresent());
      const double altitude = *p.GetPosition().GetAltitude();
      lowest = std::min(lowest, altitude);
      highest = std::max(highest, altitude);
      if (previous != nullptr) {
        const gdb::LegSummary_t leg(*previous, p);
        EXPECT_NEAR(*leg.GetTimeSpan() / leg.GetDistance(), runPace, runPace * 0.25);
        // Gentle hills: at most a few metres up or down between two points.
        EXPECT_LT(std::fabs(altitude - *previous->GetPosition().GetAltitude()), 3.0);
      }
      previous = &p;
    }
    EXPECT_GT(highest - lowest, 5.0);  // hills, not a flat line
    EXPECT_LT(highest - lowest, 60.0);
  }
  EXPECT_EQ(withTrack, 3);

  // Every item of the tree shows its page, graphs and profile without a report.
  app::MainFrame_t& frame = *m_app->Frame();
  plat::TreeCtrl_t& tree = frame.GetTreeView().Control();
  std::vector<plat::HTREEITEM> items;
  std::function<void(plat::HTREEITEM)> walk = [&](plat::HTREEITEM item) {
    for (; item; item = tree.GetNextSiblingItem(item)) {
      items.push_back(item);
      tree.Expand(item, true);
      walk(tree.GetChildItem(item));
    }
  };
  walk(tree.GetRootItem());
  const char* pictures = std::getenv("STRIDE_DIALOG_PICTURES");
  int n = 0;
  for (const plat::HTREEITEM item : items) {
    tree.SelectItem(item);
    plat::PumpUntilIdle();
    if (pictures != nullptr) frame.SaveImage(std::string(pictures) + "/newcomer-" + std::to_string(++n) + ".png");
  }
  EXPECT_EQ(m_reports, 0);
  EXPECT_TRUE(m_messages.empty());
  // The run's profile, zoomed in step by step and scrolled with the wheel:
  // its heights stay in view and the thumb shows where the view is.
  LayOutAsFirstStartOnACommonScreen(frame);
  tree.SelectItem(items[2]);
  plat::PumpUntilIdle();
  app::TrkProfileGraphCtrl_t* graph = dynamic_cast<app::ProfileView_t&>(frame.GetProfileView()).GetGraph();
  ASSERT_NE(graph, nullptr);
  for (int i = 1; i <= 3; ++i) {
    SCOPED_TRACE(i);
    graph->HandleKey(0xBB, 0);
    plat::PumpUntilIdle();
    const app::GraphRect_t& view = graph->GetConvertor().GetView();
    EXPECT_GT(view.ymax, 110.0);  // the run's hills lie between about 110 m and 131 m
    EXPECT_EQ(graph->GetScrollPos(plat::kSbVert), graph->GetConvertor().GetVertScrollPos());
    const double before = view.ymin;
    const plat::RECT c = graph->GetClientRect();
    graph->OnWheelScroll(0, 5, graph->ClientToScreen(plat::POINT{c.right / 2, c.bottom / 2}));
    EXPECT_LT(graph->GetConvertor().GetView().ymin, before);  // the wheel moved the view down
    EXPECT_EQ(graph->GetScrollPos(plat::kSbVert), graph->GetConvertor().GetVertScrollPos());
    if (pictures != nullptr) graph->SaveImage(std::string(pictures) + "/newcomer-profile-" + std::to_string(i) + ".png");
  }
}

// At the size the main window first opens with on a common screen (a 1920 x
// 1080 screen with a panel), laid out as on a first start: every caption of the
// pace graph and the profile, and the profile's hint, is drawn whole, and the
// distance labels of the graph do not run into each other.
TEST_F(NewcomerPathTest, AtTheDefaultWindowSizeNoCaptionOrHintIsCut) {
  std::unique_ptr<sim::Watch_t> watch;
  TransferTheSampleHistory(*this, watch);
  if (HasFatalFailure()) return;
  app::MainFrame_t& frame = *m_app->Frame();
  LayOutAsFirstStartOnACommonScreen(frame);

  plat::TreeCtrl_t& tree = frame.GetTreeView().Control();
  tree.Expand(tree.GetRootItem(), true);
  const plat::HTREEITEM week = tree.GetChildItem(tree.GetRootItem());
  tree.Expand(week, true);
  const plat::HTREEITEM run = tree.GetChildItem(week);
  tree.Expand(run, true);
  plat::PumpUntilIdle();
  // The week's label is drawn whole, inside the pane.
  plat::RECT label{};
  ASSERT_TRUE(tree.GetItemRect(week, label, true));
  plat::Dc_t dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  dc.SelectObject(tree.GetFont());
  plat::SIZE needed{0, 0};
  dc.GetTextExtentPoint32(tree.GetItemText(week), needed);
  EXPECT_GE(label.right - label.left + 2, needed.cx);
  EXPECT_LE(label.right, tree.GetClientRect().right);

  const char* pictures = std::getenv("STRIDE_DIALOG_PICTURES");
  std::map<std::string, plat::RECT> graphs;
  for (const auto& [name, item] : {std::pair<const char*, plat::HTREEITEM>{"run", run}, {"lap", tree.GetChildItem(run)}}) {
    SCOPED_TRACE(name);
    tree.SelectItem(item);
    plat::PumpUntilIdle();
    frame.UpdateWindow();
    auto* page = dynamic_cast<app::GraphPage_t*>(frame.GetFormView().GetPage());
    ASSERT_NE(page, nullptr);
    app::PaceDistGraphCtrl_t& graph = page->GetGraph();
    graph.UpdateWindow();
    graphs[name] = graph.GetWindowRect();
    page->ScreenToClient(graphs[name]);
    for (const auto& [pace, label] : {std::pair<bool, const char*>{true, "pace"}, {false, "speed"}}) {
      SCOPED_TRACE(label);
      if ((graph.GetGraphType() == app::PaceDistGraphCtrl_t::Pace) != pace) graph.ToggleGraphType();
      graph.Invalidate(true);
      graph.UpdateWindow();
      EXPECT_TRUE(graph.CaptionsFit());
      const std::vector<plat::RECT>& labels = graph.GetDistanceLabels();
      ASSERT_GE(labels.size(), 4u);
      for (std::size_t k = 1; k < labels.size(); ++k) EXPECT_LT(labels[k - 1].right, labels[k].left);
      EXPECT_LE(labels.back().right, graph.GetClientRect().right);
    }
    app::TrkProfileGraphCtrl_t* profile = dynamic_cast<app::ProfileView_t&>(frame.GetProfileView()).GetGraph();
    ASSERT_NE(profile, nullptr);
    profile->Invalidate(true);
    profile->UpdateWindow();
    EXPECT_TRUE(profile->TextsFit());
    if (pictures != nullptr) frame.SaveImage(std::string(pictures) + "/default-size-" + name + ".png");
  }
  // A lap has no notes: its graph takes their place (no gap above it) and
  // reaches down as far as the run's.
  EXPECT_LT(graphs["lap"].top, graphs["run"].top - 20);
  EXPECT_EQ(graphs["lap"].bottom, graphs["run"].bottom);
}

}  // namespace
