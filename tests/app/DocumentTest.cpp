// The document and the history tree: undoable transactions with the tree
// following, the tree's weeks, runs and laps, and loading and saving the
// current user's runs across user switches.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "app/AppSettings.h"
#include "app/DataFile.h"
#include "app/Document.h"
#include "app/HistoryTree.h"
#include "app/RunDatabase.h"
#include "app/UserDatabase.h"
#include "app/ValueFormat.h"
#include "glo/GLO_StringResource.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_MessageBox.h"
#include "plat/PLAT_Static.h"
#include "tests/app/TrainingTestUtil.h"
#include "tests/common/TestEnv.h"
#include "win/WIN_Exception.h"

using namespace trtest;

namespace {

// Sunday 2005-03-06 00:00 local time (TZ=Europe/Berlin, UTC+1).
constexpr std::int64_t kSunday = 1110063600;
constexpr std::int64_t kDay = 86400;

app::RunSet_t Set(std::initializer_list<app::Run_t> runs) {
  app::RunSet_t set;
  for (const auto& run : runs) set.insert(run);
  return set;
}

class DocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plat::EnsureGuiApplication());
    ASSERT_TRUE(m_host.Create(nullptr, 0, plat::kWsPopup, plat::RECT{0, 0, 300, 400}));
    ASSERT_TRUE(m_control.Create(&m_host, 1, plat::kWsChild | plat::kWsVisible, plat::RECT{0, 0, 300, 400}));
    m_doc = std::make_unique<app::Document_t>();
    m_tree = std::make_unique<app::HistoryTree_t>(m_control, m_doc->GetRuns());
    m_tree->InsertRoot();
    m_doc->SetTree(m_tree.get());
    m_doc->SetViewUpdate([this] { ++m_updates; });
    app::GetAppSettings().currentUser.Set("");
  }
  void TearDown() override {
    plat::SetMessageBoxHook(nullptr);
    m_doc.reset();
  }

  // The tree as the run keys (seconds after kSunday) of each week, top to bottom.
  std::vector<std::vector<std::int64_t>> Weeks() const {
    std::vector<std::vector<std::int64_t>> weeks;
    const plat::HTREEITEM root = m_control.GetRootItem();
    for (auto week = m_control.GetChildItem(root); week; week = m_control.GetNextSiblingItem(week)) {
      weeks.emplace_back();
      for (auto run = m_control.GetChildItem(week); run; run = m_control.GetNextSiblingItem(run))
        weeks.back().push_back(m_tree->GetItemRun(run).GetKey().GetValue() - kSunday);
    }
    return weeks;
  }
  // The keys of the run set, earliest first.
  std::vector<std::int64_t> Keys() const {
    std::vector<std::int64_t> keys;
    for (const auto& run : m_doc->GetRuns()) keys.push_back(run.GetKey().GetValue() - kSunday);
    return keys;
  }
  plat::HTREEITEM Child(plat::HTREEITEM item, int n) const {
    plat::HTREEITEM child = m_control.GetChildItem(item);
    while (child && n-- > 0) child = m_control.GetNextSiblingItem(child);
    return child;
  }
  std::string UserPath(const std::string& name) { return app::GetUserDatabase().DocumentPath(name); }

  plat::Wnd_t m_host;
  plat::TreeCtrl_t m_control;
  std::unique_ptr<app::Document_t> m_doc;
  std::unique_ptr<app::HistoryTree_t> m_tree;
  int m_updates = 0;
};

using Weeks_t = std::vector<std::vector<std::int64_t>>;

TEST_F(DocumentTest, TreePlacesWeeksRunsAndLapsByLocalWeek) {
  const std::int64_t saturdayLate = 7 * kDay - 60;
  // Sunday 00:00 and Saturday 23:59 share a week; the next Sunday starts a
  // newer week above; an older run's week goes below.
  m_doc->AddRunsFromTransfer(Set({MakeRun(kSunday, 1), MakeRun(kSunday + saturdayLate, 3)}));
  EXPECT_EQ(Weeks(), (Weeks_t{{saturdayLate, 0}}));
  m_doc->AddRunsFromTransfer(Set({MakeRun(kSunday + 7 * kDay, 1)}));
  m_doc->AddRunsFromTransfer(Set({MakeRun(kSunday - 1, 1)}));
  m_doc->AddRunsFromTransfer(Set({MakeRun(kSunday + 3 * kDay, 1)}));
  EXPECT_EQ(Weeks(), (Weeks_t{{7 * kDay}, {saturdayLate, 3 * kDay, 0}, {-1}}));

  const plat::HTREEITEM week = Child(m_control.GetRootItem(), 1);
  EXPECT_EQ(m_control.GetItemText(week), app::FormatWeekLabel(glo::Time_t(kSunday)));
  const plat::HTREEITEM threeLaps = Child(week, 0);
  const plat::HTREEITEM oneLap = Child(week, 2);
  EXPECT_EQ(m_control.GetItemText(oneLap), app::RunItemLabel(*m_doc->FindRun(glo::Time_t(kSunday))));
  EXPECT_EQ(m_control.GetChildItem(oneLap), 0u);
  // Laps numbered in lap order, 300 s apart.
  const char* const lapTexts[] = {"Lap 1 - 23:59:00", "Lap 2 - 00:04:00", "Lap 3 - 00:09:00"};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(m_control.GetItemText(Child(threeLaps, i)), lapTexts[i]) << i;

  // Selection levels and the lap behind a lap item.
  m_control.SelectItem(Child(threeLaps, 1));
  EXPECT_EQ(m_tree->GetSelectionLevel(), 3);
  EXPECT_EQ(m_tree->GetSelectedLap().GetStart().GetValue(), kSunday + saturdayLate + 300);
  m_control.SelectItem(oneLap);
  EXPECT_EQ(m_tree->GetSelectedLap().GetStart().GetValue(), kSunday);

  m_tree->UpdateRootLabel("");
  EXPECT_EQ(m_control.GetItemText(m_control.GetRootItem()), "History");
  m_tree->UpdateRootLabel("Runner");
  EXPECT_EQ(m_control.GetItemText(m_control.GetRootItem()), "History - Runner");
}

TEST_F(DocumentTest, TreeItemsShowThePictureOfTheirLevel) {
  // Pictures told apart by their digit, one per level.
  std::vector<std::string> pictures;
  for (int level = 0; level < 4; ++level) {
    plat::Static_t label;
    ASSERT_TRUE(label.Create(&m_host, 9, plat::kWsChild, plat::RECT{0, 0, 16, 16}, std::to_string(level)));
    ASSERT_TRUE(label.SaveImage(test::Home() + "/picture.png"));
    pictures.push_back(test::ReadFile(test::Home() + "/picture.png"));
  }
  ASSERT_TRUE(m_control.SetImages(pictures));
  m_tree->Reset();
  // New weeks above, below and between, and runs into a week that has some.
  m_doc->AddRunsFromTransfer(Set({MakeRun(kSunday, 3)}));
  m_doc->AddRunsFromTransfer(Set({MakeRun(kSunday + 14 * kDay, 1), MakeRun(kSunday - kDay, 2)}));
  m_doc->AddRunsFromTransfer(Set({MakeRun(kSunday + 7 * kDay, 2), MakeRun(kSunday + kDay, 2)}));
  ASSERT_EQ(Weeks(), (Weeks_t{{14 * kDay}, {7 * kDay}, {kDay, 0}, {-kDay}}));

  // The same items put in one by one with the picture of their level.
  plat::TreeCtrl_t plain;
  ASSERT_TRUE(plain.Create(&m_host, 2, plat::kWsChild | plat::kWsVisible, plat::RECT{0, 0, 300, 400}));
  ASSERT_TRUE(plain.SetImages(pictures));
  std::function<void(plat::HTREEITEM, plat::HTREEITEM, int)> copy = [&](plat::HTREEITEM from, plat::HTREEITEM to,
                                                                         int level) {
    for (; from; from = m_control.GetNextSiblingItem(from)) {
      const plat::HTREEITEM item = plain.InsertItem(m_control.GetItemText(from), to);
      ASSERT_TRUE(plain.SetItemImage(item, level));
      m_control.Expand(from, true);
      copy(m_control.GetChildItem(from), item, level + 1);
      plain.Expand(item, true);
    }
  };
  copy(m_control.GetRootItem(), plat::kTviRoot, 0);
  EXPECT_EQ(plain.GetCount(), 19);
  ASSERT_EQ(m_control.GetSelectedItem(), m_control.GetRootItem());
  ASSERT_TRUE(plain.SelectItem(plain.GetRootItem()));
  ASSERT_TRUE(plain.SaveImage(test::Home() + "/plain.png"));
  ASSERT_TRUE(m_control.SaveImage(test::Home() + "/history.png"));
  EXPECT_TRUE(test::ReadFile(test::Home() + "/history.png") == test::ReadFile(test::Home() + "/plain.png"));
}

TEST_F(DocumentTest, UndoAndRedoAddReplaceAndNotesAsTransactions) {
  EXPECT_FALSE(m_doc->CanUndo());
  EXPECT_FALSE(m_doc->CanRedo());
  m_doc->AddRunsFromTransfer(Set({MakeRun(kSunday, 1), MakeRun(kSunday + kDay, 2)}));
  m_doc->OnUndo();
  EXPECT_TRUE(Keys().empty());
  EXPECT_TRUE(Weeks().empty());
  EXPECT_TRUE(m_doc->CanRedo());
  m_doc->OnRedo();
  EXPECT_EQ(Keys(), (std::vector<std::int64_t>{0, kDay}));
  EXPECT_EQ(Weeks(), (Weeks_t{{kDay, 0}}));
  m_doc->OnUndo();
  EXPECT_TRUE(Keys().empty());
  m_doc->OnRedo();

  // A run still open on the unit is replaced by its longer download.
  const app::Run_t shorter = MakeRun(kSunday + kDay, 2);
  m_doc->AddRunsFromTransfer(Set({MakeRun(kSunday + kDay, 4)}), shorter);
  EXPECT_EQ(m_doc->FindRun(glo::Time_t(kSunday + kDay))->GetLaps().size(), 4u);
  EXPECT_EQ(Weeks(), (Weeks_t{{kDay, 0}}));
  m_doc->OnUndo();
  EXPECT_EQ(m_doc->FindRun(glo::Time_t(kSunday + kDay))->GetLaps().size(), 2u);
  EXPECT_EQ(Weeks(), (Weeks_t{{kDay, 0}}));
  m_doc->OnRedo();
  EXPECT_EQ(m_doc->FindRun(glo::Time_t(kSunday + kDay))->GetLaps().size(), 4u);

  // Notes undo one change at a time; a new change after an undo drops the redo.
  const glo::Time_t key(kSunday);
  m_doc->SetNotes(key, "first");
  m_doc->SetNotes(key, "second");
  m_doc->OnUndo();
  EXPECT_EQ(m_doc->FindRun(key)->GetNotes(), "first");
  m_doc->OnUndo();
  EXPECT_EQ(m_doc->FindRun(key)->GetNotes(), "");
  m_doc->OnRedo();
  EXPECT_EQ(m_doc->FindRun(key)->GetNotes(), "first");
  m_doc->SetNotes(key, "third");
  EXPECT_FALSE(m_doc->CanRedo());
  EXPECT_EQ(m_updates, 9);  // every undo and redo updated the views

  // The key is exact to the second.
  EXPECT_EQ(m_doc->FindRun(glo::Time_t(kSunday + 1)), m_doc->GetRuns().end());
  EXPECT_THROW(m_doc->SetNotes(glo::Time_t(kSunday + 1), "x"), glo::Assert_t);

  m_doc->Clear();
  EXPECT_FALSE(m_doc->CanUndo());
  EXPECT_FALSE(m_doc->CanRedo());
  EXPECT_TRUE(Weeks().empty());
  EXPECT_NE(m_control.GetRootItem(), 0u);
}

TEST_F(DocumentTest, DeleteSelectionOfRunWeekAndHistory) {
  m_doc->AddRunsFromTransfer(
      Set({MakeRun(kSunday - kDay, 1), MakeRun(kSunday, 1), MakeRun(kSunday + kDay, 2), MakeRun(kSunday + 7 * kDay, 1)}));
  const plat::HTREEITEM root = m_control.GetRootItem();

  // The middle week: exactly its two runs, one transaction.
  m_control.SelectItem(Child(root, 1));
  const auto range = m_tree->GetSelectedRuns();
  EXPECT_EQ(std::distance(range.first, range.second), 2);
  EXPECT_TRUE(m_doc->DeleteSelection());
  EXPECT_EQ(Keys(), (std::vector<std::int64_t>{-kDay, 7 * kDay}));
  m_doc->OnUndo();
  EXPECT_EQ(Keys(), (std::vector<std::int64_t>{-kDay, 0, kDay, 7 * kDay}));

  // One run.
  m_control.SelectItem(Child(Child(root, 1), 0));
  EXPECT_TRUE(m_doc->DeleteSelection());
  EXPECT_EQ(Weeks(), (Weeks_t{{7 * kDay}, {0}, {-kDay}}));
  m_doc->OnUndo();

  // The whole history asks first; Cancel changes nothing.
  std::vector<std::string> asked;
  int answer = plat::kIdCancel;
  plat::SetMessageBoxHook([&](const std::string& text, const std::string&, unsigned type) {
    asked.push_back(text);
    EXPECT_EQ(type, unsigned(plat::kMbOkCancel));
    return answer;
  });
  m_control.SelectItem(root);
  EXPECT_FALSE(m_doc->DeleteSelection());
  EXPECT_EQ(Keys().size(), 4u);
  answer = plat::kIdOk;
  EXPECT_TRUE(m_doc->DeleteSelection());
  EXPECT_TRUE(Keys().empty());
  EXPECT_EQ(asked.size(), 2u);
  m_doc->OnUndo();
  EXPECT_EQ(Keys().size(), 4u);
  m_doc->OnRedo();
  EXPECT_TRUE(Weeks().empty());

  // A lap selection is refused (the tree has a new root since it was emptied).
  m_doc->OnUndo();
  EXPECT_EQ(Keys().size(), 4u);
  m_control.SelectItem(Child(Child(Child(m_control.GetRootItem(), 1), 0), 0));
  EXPECT_THROW(m_doc->DeleteSelection(), glo::Assert_t);
}

TEST_F(DocumentTest, UserSwitchSavesClearsAndLoads) {
  app::GetAppSettings().currentUser.Set("Anna");
  m_doc->AddRunsFromTransfer(Set({MakeRun(kSunday, 2)}));
  // To a user without a file: saved first, then an empty document.
  EXPECT_TRUE(m_doc->SwitchUser("Bob"));
  EXPECT_TRUE(std::filesystem::exists(UserPath("Anna")));
  EXPECT_TRUE(Keys().empty());
  EXPECT_FALSE(m_doc->CanUndo());
  m_doc->AddRunsFromTransfer(Set({MakeRun(kSunday + kDay, 1)}));
  EXPECT_FALSE(m_doc->SwitchUser("Bob"));
  EXPECT_EQ(Keys().size(), 1u);
  EXPECT_TRUE(m_doc->SwitchUser("Anna"));
  EXPECT_EQ(Keys(), std::vector<std::int64_t>{0});
  EXPECT_EQ(Weeks(), (Weeks_t{{0}}));
  EXPECT_EQ(app::GetAppSettings().currentUser.Value(), "Anna");
  EXPECT_TRUE(m_doc->SwitchUser("Bob"));
  EXPECT_EQ(Keys(), std::vector<std::int64_t>{kDay});
}

TEST_F(DocumentTest, UnreadableFileIsReportedAndMovedAside) {
  app::GetAppSettings().currentUser.Set("Carl");
  test::WriteFile(UserPath("Carl"), "");
  std::vector<std::string> messages;
  plat::SetMessageBoxHook([&](const std::string& text, const std::string&, unsigned type) {
    messages.push_back(text);
    EXPECT_EQ(type, unsigned(plat::kMbOk | plat::kMbIconExclamation));
    return plat::kIdOk;
  });
  m_doc->LoadDatabase();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], glo::StringResource_t(177, GLO_SRC).Text());
  EXPECT_TRUE(std::filesystem::exists(UserPath("Carl") + ".001"));
  m_doc->SaveDatabase();
  EXPECT_TRUE(std::filesystem::exists(UserPath("Carl")));
}

// A run database that exists but cannot be opened is never written over:
// saves of the untouched document pass it by, and once the user changed
// something the save is refused and the user stays.
TEST_F(DocumentTest, FileWhoseLoadFailedIsNotWrittenOver) {
  app::GetAppSettings().currentUser.Set("Dora");
  const std::string path = UserPath("Dora");
  std::filesystem::create_directory(path);
  test::WriteFile(path + "/kept", "x");
  EXPECT_THROW(m_doc->LoadDatabase(), win::Error_t);
  m_doc->SaveDatabase();
  EXPECT_TRUE(m_doc->SwitchUser("Eve"));
  EXPECT_THROW(m_doc->SwitchUser("Dora"), win::Error_t);
  m_doc->AddRunsFromTransfer(Set({MakeRun(kSunday, 1)}));
  EXPECT_THROW(m_doc->SaveDatabase(), app::SaveRefused_t);
  EXPECT_THROW(m_doc->SwitchUser("Eve"), app::SaveRefused_t);
  EXPECT_EQ(app::GetAppSettings().currentUser.Value(), "Dora");
  EXPECT_EQ(Keys(), std::vector<std::int64_t>{0});
  EXPECT_EQ(test::ReadFile(path + "/kept"), "x");
}

}  // namespace

// The runs pass between the document and the journal's actions instead of
// being copied: every undo and redo, over several rounds, brings them back whole.
TEST_F(DocumentTest, RepeatedUndoAndRedoBringBackTheRunsWhole) {
  m_doc->AddRunsFromTransfer(Set({MakeRun(kSunday - kDay, 1, 300, 30, "before"), MakeRun(kSunday, 2, 300, 60, "a"),
                                  MakeRun(kSunday + kDay, 3, 300, 90, "b")}));
  m_doc->SetNotes(glo::Time_t(kSunday), "changed");
  const auto expectWhole = [&](const char* step) {
    SCOPED_TRACE(step);
    ASSERT_EQ(Keys(), (std::vector<std::int64_t>{-kDay, 0, kDay}));
    EXPECT_EQ(Weeks(), (Weeks_t{{kDay, 0}, {-kDay}}));
    const std::vector<std::string> notes{"before", "changed", "b"};
    int i = 0;
    for (const app::Run_t& run : m_doc->GetRuns()) {
      EXPECT_EQ(run.GetNotes(), notes[i]);
      EXPECT_EQ(run.GetLaps().size(), static_cast<std::size_t>(i + 1));
      ASSERT_TRUE(run.GetTrack().IsPresent());
      EXPECT_EQ(run.GetTrack().Value().GetCount(), 30 * (i + 1));
      ++i;
    }
  };
  plat::SetMessageBoxHook([](const std::string&, const std::string&, unsigned) { return plat::kIdOk; });
  for (int round = 0; round < 2; ++round) {
    // The whole history, then the newest week.
    m_control.SelectItem(m_control.GetRootItem());
    ASSERT_TRUE(m_doc->DeleteSelection());
    m_doc->OnUndo();
    expectWhole("history undone");
    m_doc->OnRedo();
    EXPECT_TRUE(Keys().empty());
    m_doc->OnUndo();
    expectWhole("history redone and undone");
    m_control.SelectItem(Child(m_control.GetRootItem(), 0));
    ASSERT_TRUE(m_doc->DeleteSelection());
    EXPECT_EQ(Keys(), (std::vector<std::int64_t>{-kDay}));
    m_doc->OnUndo();
    m_doc->OnRedo();
    m_doc->OnUndo();
    expectWhole("week undone");
  }
  // Back to before the first deletion, and once more forward.
  while (m_doc->CanUndo()) m_doc->OnUndo();
  EXPECT_TRUE(Keys().empty());
  m_doc->OnRedo();
  m_doc->OnRedo();
  expectWhole("all redone");
}

// Item times are local times of day, also across the change to summer time
// (2005-03-27 02:00 CET): equal texts never come from equal UTC seconds alone.
TEST_F(DocumentTest, ItemTimesAreLocalAcrossTheChangeToSummerTime) {
  const std::int64_t sundayNight = 21 * kDay + 6600;      // 01:50 CET, the second lap 03:10 CEST
  const std::int64_t saturday = 20 * kDay + 3 * 3600 + 600;  // 03:10 CET
  const std::int64_t monday = 22 * kDay + 6600;           // 02:50 CEST, at 00:50 UTC like 01:50 CET
  m_doc->AddRunsFromTransfer(Set({MakeRun(kSunday + saturday, 1), MakeRun(kSunday + sundayNight, 2, 1200),
                                  MakeRun(kSunday + monday, 1)}));
  ASSERT_EQ(Weeks(), (Weeks_t{{monday, sundayNight}, {saturday}}));
  const auto time = [&](plat::HTREEITEM item) {
    const std::string text = m_control.GetItemText(item);
    return text.substr(text.size() - 8);
  };
  const plat::HTREEITEM newer = Child(m_control.GetRootItem(), 0);
  EXPECT_EQ(time(Child(newer, 0)), "02:50:00");
  EXPECT_EQ(time(Child(newer, 1)), "01:50:00");
  EXPECT_EQ(m_control.GetItemText(Child(Child(newer, 1), 0)), "Lap 1 - 01:50:00");
  EXPECT_EQ(m_control.GetItemText(Child(Child(newer, 1), 1)), "Lap 2 - 03:10:00");
  EXPECT_EQ(time(Child(Child(m_control.GetRootItem(), 1), 0)), "03:10:00");
}
