// The summary pages and the profile in the program's panes: the page of each
// tree level, the profile of the selected track, double clicks that select in
// the tree, and notes that reach the document undoably.
#include <gtest/gtest.h>

#include <memory>

#include "app/Application.h"
#include "app/Commands.h"
#include "app/Document.h"
#include "app/HistoryPage.h"
#include "app/LapPage.h"
#include "app/MainFrame.h"
#include "app/RunDatabase.h"
#include "app/UserDatabase.h"
#include "app/WeekPage.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_MessageBox.h"
#include "tests/app/AppTestUtil.h"
#include "tests/app/GraphTestUtil.h"
#include "tests/app/TrainingTestUtil.h"

namespace {

class SummaryPaneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plat::EnsureGuiApplication());
    plat::SetMessageBoxHook([](const std::string&, const std::string&, unsigned) { return plat::kIdOk; });
    // One week: runs of 1, 2 and 3 laps on Monday to Wednesday.
    app::RunSet_t set;
    for (int i = 0; i < 3; ++i)
      set.insert(trtest::MakeRun(trtest::kBase + i * 86400, 1 + i, 300, 20, "note " + std::to_string(i)));
    apptest::WriteHistory("Ann", set);
    ASSERT_TRUE(apptest::StartApplication(m_app));
  }
  void TearDown() override {
    apptest::CloseApplication(m_app);
    plat::SetMessageBoxHook(nullptr);
  }
  app::MainFrame_t& Frame() { return *m_app->Frame(); }
  plat::TreeCtrl_t& Tree() { return Frame().GetTreeView().Control(); }
  plat::Wnd_t* Page() { return Frame().GetFormView().GetPage(); }
  // Selects the item reached from the root by child numbers.
  void Select(std::initializer_list<int> path) {
    plat::HTREEITEM item = Tree().GetRootItem();
    for (int n : path) {
      item = Tree().GetChildItem(item);
      for (int i = 0; i < n; ++i) item = Tree().GetNextSiblingItem(item);
    }
    ASSERT_NE(0u, item);
    Tree().SelectItem(item);
    plat::PumpUntilIdle();
  }
  const std::string& NotesOf(int day) {
    return app::GetDocument().GetRuns().find(glo::Time_t(trtest::kBase + day * 86400))->GetNotes();
  }
  std::unique_ptr<app::Application_t> m_app;
};

TEST_F(SummaryPaneTest, PageAndProfileFollowTheTreeLevel) {
  app::ProfileView_t& profile = dynamic_cast<app::ProfileView_t&>(Frame().GetProfileView());
  Select({});
  EXPECT_NE(nullptr, dynamic_cast<app::HistoryDialog_t*>(Page()));
  EXPECT_EQ(nullptr, profile.GetGraph());
  Select({0});
  EXPECT_NE(nullptr, dynamic_cast<app::WeekDialog_t*>(Page()));
  Select({0, 0});  // Wednesday: three laps (runs latest first)
  EXPECT_NE(nullptr, dynamic_cast<app::RunDialog_t*>(Page()));
  EXPECT_NE(nullptr, profile.GetGraph());
  graphtest::MaybeSave(Frame(), "main-run");
  Select({0, 0, 1});
  auto* lap = dynamic_cast<app::LapDialog_t*>(Page());
  ASSERT_NE(nullptr, lap);
  EXPECT_EQ(0u, lap->GetDlgItem(1026)->GetWindowText().find("Lap 2 - "));
  Select({0, 2});  // Monday: a run of one lap
  EXPECT_NE(nullptr, dynamic_cast<app::LapDialog_t*>(Page()));
  EXPECT_EQ("note 0", Page()->GetDlgItem(1003)->GetWindowText());
}

TEST_F(SummaryPaneTest, DoubleClickSelectsTheRowInTheTree) {
  Select({});
  auto* history = dynamic_cast<app::HistoryDialog_t*>(Page());
  ASSERT_NE(nullptr, history);
  history->GetList().SelectItem(0);
  history->SendMessage(plat::kWmCommand, 1002 | (plat::kNmDblClk << 16));
  plat::PumpUntilIdle();
  EXPECT_EQ(app::HistoryTree_t::kWeek, Frame().GetTreeView().GetSelectionLevel());
  auto* week = dynamic_cast<app::WeekDialog_t*>(Page());
  ASSERT_NE(nullptr, week);
  week->GetList().SelectItem(1);
  week->SendMessage(plat::kWmCommand, 1002 | (plat::kNmDblClk << 16));
  plat::PumpUntilIdle();
  EXPECT_EQ(app::HistoryTree_t::kRun, Frame().GetTreeView().GetSelectionLevel());
  EXPECT_EQ(trtest::kBase + 86400, Frame().GetTreeView().GetSelectedRun().GetKey().GetValue());
}

TEST_F(SummaryPaneTest, NotesAreCommittedUndoablyBeforeCommandsAndSelections) {
  Select({0, 1});  // Tuesday
  Page()->GetDlgItem(1003)->SetWindowText("typed");
  // Undo first commits what was typed, then undoes it; redo brings it back.
  Frame().RouteCommand(app::kCmdUndo);  // as the menu sends it
  plat::PumpUntilIdle();
  EXPECT_EQ("note 1", NotesOf(1));
  Frame().RouteCommand(app::kCmdRedo);
  plat::PumpUntilIdle();
  EXPECT_EQ("typed", NotesOf(1));

  // A new selection keeps what was typed for the run whose page it was.
  Select({0, 2});
  Page()->GetDlgItem(1003)->SetWindowText("windy");
  Select({0, 0});
  EXPECT_EQ("windy", NotesOf(0));
  EXPECT_EQ("note 2", NotesOf(2));
  EXPECT_TRUE(app::GetDocument().CanUndo());
}

TEST_F(SummaryPaneTest, NotesBeingTypedAreSavedWhenTheWindowCloses) {
  Select({0, 0});  // Wednesday
  Page()->GetDlgItem(1003)->SetWindowText("last words");
  Frame().SendMessage(plat::kWmClose);
  plat::PumpUntilIdle();
  app::RunSet_t saved;
  app::LoadRunDatabase(app::UserDatabase_t(app::DataFolder()).DocumentPath("Ann"), saved);
  ASSERT_EQ(3u, saved.size());
  EXPECT_EQ("last words", saved.find(glo::Time_t(trtest::kBase + 2 * 86400))->GetNotes());
}

}  // namespace
