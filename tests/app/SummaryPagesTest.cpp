#include <gtest/gtest.h>

#include <vector>

#include "GraphTestUtil.h"
#include "TrainingTestUtil.h"
#include "app/HistoryPage.h"
#include "app/LapPage.h"
#include "app/ValueFormat.h"
#include "app/WeekPage.h"
#include "map/MAP_Registry.h"
#include "plat/PLAT_Button.h"
#include "tests/common/TestEnv.h"

namespace {

using graphtest::Host_t;
using trtest::kBase;  // Monday 2005-03-07 11:00 local time

constexpr std::int64_t kDay = 86400;

app::RunSet_t Runs(const std::vector<app::Run_t>& runs) {
  app::RunSet_t set;
  for (const app::Run_t& run : runs) set.insert(run);
  return set;
}

// A run of one lap without a heart rate.
app::Run_t PlainRun(std::int64_t start, const std::string& notes = "") {
  app::LapSet_t laps;
  laps.insert(trtest::MakeLap(start, 180000, 5000.0f, 300));
  return app::Run_t(laps, trtest::MakeTrack(start, 40, 45), notes);
}

class SummaryPages : public graphtest::GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    map::GetRegistry().DistanceUnitsType.Set(mat::DistUnitsTypes_t::Metric);
  }
  static std::string Text(const plat::Wnd_t& page, int id) { return page.GetDlgItem(id)->GetWindowText(); }
  // Whether the control is shown (its own flag: the test windows stay hidden).
  static bool Visible(const plat::Wnd_t& page, int id) {
    plat::Wnd_t* item = page.GetDlgItem(id);
    const bool shown = item->ShowWindow(true);
    item->ShowWindow(shown);
    return shown;
  }
  static std::string DateTime(std::int64_t t) {
    return app::FormatLocalDate(glo::Time_t(t)) + "  " + app::FormatLocalTime(glo::Time_t(t));
  }
  Host_t formView{640, 480};
};

TEST_F(SummaryPages, HistoryRowsPerWeekLatestFirstWithTotals) {
  // Monday and Thursday of one week, Tuesday of the next.
  const app::RunSet_t runs = Runs({trtest::MakeRun(kBase), trtest::MakeRun(kBase + 3 * kDay),
                                   trtest::MakeRun(kBase + 8 * kDay)});
  std::vector<int> selected;
  app::HistoryDialog_t page(&formView, runs, "Ann", [&](int n) { selected.push_back(n); });
  graphtest::MaybeSave(page, "history");
  const plat::ListCtrl_t& list = page.GetList();
  ASSERT_EQ(2, list.GetItemCount());
  ASSERT_EQ(7, list.GetColumnCount());
  EXPECT_EQ("Week", list.GetColumnTitle(0));
  EXPECT_EQ("Avg. Heart Rate", list.GetColumnTitle(6));
  EXPECT_EQ(app::FormatWeekLabel(glo::Time_t(kBase + 8 * kDay)), list.GetItemText(0, 0));
  EXPECT_EQ(app::FormatWeekLabel(glo::Time_t(kBase)), list.GetItemText(1, 0));
  const auto second = std::next(runs.begin(), 2);
  EXPECT_EQ(app::FormatRangeDistance(runs.begin(), second, mat::DistUnitsTypes_t::Metric), list.GetItemText(1, 1));
  EXPECT_EQ("00:10:00", list.GetItemText(0, 2));
  EXPECT_EQ("00:20:00", list.GetItemText(1, 2));
  EXPECT_EQ("150.0 bpm", list.GetItemText(0, 6));
  // Totals over every run.
  EXPECT_EQ("00:30:00", Text(page, 1007));
  EXPECT_EQ("243", Text(page, 1009));
  EXPECT_EQ("150.0 bpm", Text(page, 1017));
  EXPECT_TRUE(Visible(page, 1033));
  EXPECT_EQ("History - Ann", Text(page, 1026));
  // A double click on the top row selects the tree's first child.
  page.GetList().SelectItem(0);
  page.SendMessage(plat::kWmCommand, 1002 | (plat::kNmDblClk << 16));
  EXPECT_EQ(std::vector<int>{0}, selected);
}

TEST_F(SummaryPages, WithoutHeartRatesTheColumnAndTotalAreHidden) {
  // A run without laps has no week: it shows nowhere and adds nothing.
  const app::RunSet_t runs = Runs({PlainRun(kBase), PlainRun(kBase + kDay), app::Run_t()});
  app::WeekDialog_t week(&formView, runs.begin(), runs.end());
  EXPECT_EQ(2, week.GetList().GetItemCount());
  EXPECT_EQ(app::FormatWeekLabel(glo::Time_t(kBase)), Text(week, 1026));
  app::HistoryDialog_t history(&formView, runs, "");
  EXPECT_EQ(6, history.GetList().GetColumnCount());
  EXPECT_EQ(1, history.GetList().GetItemCount());
  EXPECT_FALSE(Visible(history, 1017));
  EXPECT_FALSE(Visible(history, 1033));
  EXPECT_EQ("History", Text(history, 1026));
  EXPECT_EQ("10.0 km", Text(history, 1005));
  EXPECT_EQ("00:06:00/km", Text(history, 1014));
  EXPECT_EQ("10.0 kph", Text(history, 1015));
}

TEST_F(SummaryPages, WeekRowsPerRunAndDoubleClick) {
  const app::RunSet_t week = Runs({PlainRun(kBase), PlainRun(kBase + 2 * kDay + 600)});
  std::vector<int> selected;
  app::WeekDialog_t page(&formView, week.begin(), week.end(), [&](int n) { selected.push_back(n); });
  const plat::ListCtrl_t& list = page.GetList();
  ASSERT_EQ(2, list.GetItemCount());
  EXPECT_EQ("Date", list.GetColumnTitle(0));
  EXPECT_EQ(DateTime(kBase + 2 * kDay + 600), list.GetItemText(0, 0));
  EXPECT_EQ(DateTime(kBase), list.GetItemText(1, 0));
  EXPECT_EQ(app::FormatWeekLabel(glo::Time_t(kBase)), Text(page, 1026));
  page.GetList().SelectItem(1);
  page.SendMessage(plat::kWmCommand, 1002 | (plat::kNmDblClk << 16));
  EXPECT_EQ(std::vector<int>{1}, selected);
}

// A history page that is resized as the form view would resize it.
struct ResizedPage_t : app::HistoryDialog_t {
  using app::HistoryDialog_t::HistoryDialog_t;
  void Resize(int width, int height) {
    MoveWindow(0, 0, width, height);
    OnSize(width, height);  // hidden windows get no size event
  }
};

TEST_F(SummaryPages, TitleLinesAreBoldInTheOneTitleFont) {
  const app::Run_t run = trtest::MakeRun(kBase, 2, 300, 60, "easy");
  const app::RunSet_t runs = Runs({trtest::MakeRun(kBase)});
  app::HistoryDialog_t history(&formView, runs, "Ann");
  app::WeekDialog_t week(&formView, runs.begin(), runs.end());
  app::LapDialog_t lap(&formView, run, *run.GetLaps().begin(), 1);
  const plat::GdiHandle_t title = app::GetTitleFont().GetSafeHandle();
  plat::LOGFONTA description{};
  ASSERT_TRUE(plat::GetLogFont(title, description));
  EXPECT_EQ(700, description.lfWeight);
  for (plat::Wnd_t* page : std::initializer_list<plat::Wnd_t*>{&history, &week, &lap}) {
    EXPECT_EQ(title, page->GetDlgItem(1026)->GetFont());
    EXPECT_TRUE(page->GetDlgItem(1007)->GetFont().IsNull());  // the values keep the dialog font
  }
  graphtest::MaybeSave(lap, "lap-title");
}

TEST_F(SummaryPages, ResizingKeepsTheMargins) {
  const app::RunSet_t runs = Runs({PlainRun(kBase)});
  ResizedPage_t page(&formView, runs, "");
  auto rectOf = [&](int id) {
    plat::RECT r = page.GetDlgItem(id)->GetWindowRect();
    page.ScreenToClient(r);
    return r;
  };
  const plat::RECT list = rectOf(1002), total = rectOf(1005), client = page.GetClientRect();
  EXPECT_EQ(640, client.right);
  page.Resize(700, 560);
  const plat::RECT list2 = rectOf(1002), total2 = rectOf(1005);
  EXPECT_EQ(list.left, list2.left);
  EXPECT_EQ(list.top, list2.top);
  EXPECT_EQ(list.right + 60, list2.right);
  EXPECT_EQ(list.bottom + 80, list2.bottom);
  EXPECT_EQ(total.left, total2.left);
  EXPECT_EQ(total.top + 80, total2.top);
}

TEST_F(SummaryPages, LapPagesCaptionsNotesAndHeartRate) {
  const app::Run_t run = trtest::MakeRun(kBase, 3, 300, 60, "easy");
  const app::Lap_t& second = *std::next(run.GetLaps().begin());
  const app::Lap_t& third = *std::next(run.GetLaps().begin(), 2);
  {
    app::LapDialog_t page(&formView, run, second, 2);  // has a heart rate
    EXPECT_EQ("Lap 2 - " + app::FormatLocalDate(second.GetStart()) + " " + app::FormatLocalTime(second.GetStart()),
              Text(page, 1026));
    EXPECT_FALSE(Visible(page, 1003));
    EXPECT_FALSE(Visible(page, 1038));
    EXPECT_EQ("150.0 bpm", Text(page, 1017));
    EXPECT_TRUE(Visible(page, 1033));
    EXPECT_EQ("00:05:00", Text(page, 1007));
    EXPECT_GT(page.GetGraph().GetXRange(), 0);
  }
  {
    app::LapDialog_t page(&formView, run, third, 3);  // none
    EXPECT_FALSE(Visible(page, 1017));
    EXPECT_FALSE(Visible(page, 1033));
  }
  const app::Run_t single = PlainRun(kBase, "windy");
  app::LapDialog_t page(&formView, single, {});
  EXPECT_EQ(DateTime(kBase), Text(page, 1026));
  EXPECT_TRUE(Visible(page, 1003));
  EXPECT_EQ("windy", Text(page, 1003));
  EXPECT_EQ("5.00 km", Text(page, 1005));
  EXPECT_THROW(app::LapDialog_t(&formView, run, {}), glo::Assert_t);
}

TEST_F(SummaryPages, NotesAreCommittedOnceUnderTheRunsKey) {
  const app::Run_t run = trtest::MakeRun(kBase, 2, 300, 30, "old");
  struct Commit {
    std::int64_t key;
    std::string notes;
  };
  std::vector<Commit> commits;
  app::RunDialog_t page(&formView, run, [&](const glo::Time_t& key, const std::string& notes) {
    commits.push_back({key.GetValue(), notes});
  });
  EXPECT_EQ(DateTime(kBase), Text(page, 1026));
  EXPECT_EQ("00:10:00", Text(page, 1007));
  page.SendMessage(plat::kWmCommand, 1003 | (plat::kEnKillFocus << 16));
  EXPECT_TRUE(commits.empty());  // unchanged notes record nothing
  page.GetDlgItem(1003)->SetWindowText("new");
  page.SendMessage(plat::kWmCommand, 1003 | (plat::kEnKillFocus << 16));
  page.CommitNotes();  // already committed
  ASSERT_EQ(1u, commits.size());
  EXPECT_EQ(kBase, commits[0].key);
  EXPECT_EQ("new", commits[0].notes);
}

TEST_F(SummaryPages, GraphButtonTogglesAndPersists) {
  const app::Run_t run = trtest::MakeRun(kBase, 2, 300, 30);
  auto page = std::make_unique<app::RunDialog_t>(&formView, run, app::CommitNotes_t());
  graphtest::MaybeSave(*page, "run");
  const app::PaceDistGraphCtrl_t::GraphType_t type = page->GetGraph().GetGraphType();
  const std::string label = Text(*page, 1040);
  EXPECT_EQ(type == app::PaceDistGraphCtrl_t::Pace ? "Show &Speed" : "Show &Pace", label);
  auto* button = dynamic_cast<plat::Button_t*>(page->GetDlgItem(1040));
  ASSERT_NE(nullptr, button);
  button->Click();
  EXPECT_NE(type, page->GetGraph().GetGraphType());
  EXPECT_NE(label, Text(*page, 1040));
  page.reset();
  app::RunDialog_t next(&formView, run, {});
  EXPECT_NE(type, next.GetGraph().GetGraphType());  // the choice carries over
  dynamic_cast<plat::Button_t*>(next.GetDlgItem(1040))->Click();
  EXPECT_EQ(type, next.GetGraph().GetGraphType());
  EXPECT_EQ(label, Text(next, 1040));
}

}  // namespace
