// The program as a whole, offscreen: start-up with its settings, the panes,
// the user menu, closing and starting again with the same history, and the
// failures that start-up and closing report.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>
#include <sys/wait.h>
#include <unistd.h>

#include "app/AboutBox.h"
#include "app/AppSettings.h"
#include "app/ApplicationInfo.h"
#include "app/Application.h"
#include "app/Commands.h"
#include "app/DataFile.h"
#include "app/Document.h"
#include "app/HistoryPage.h"
#include "app/LapPage.h"
#include "app/WeekPage.h"
#include "app/MainFrame.h"
#include "app/RunDatabase.h"
#include "app/UserDatabase.h"
#include "err/ERR_ErrDlg.h"
#include "glo/GLO_StringResource.h"
#include "map/MAP_Registry.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_FileDialog.h"
#include "plat/PLAT_Frame.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_MessageBox.h"
#include "plat/PLAT_Registry.h"
#include "tests/app/AppTestUtil.h"
#include "tests/app/TrainingTestUtil.h"
#include "tests/common/TestEnv.h"
#include "win/WIN_RegSettingsKey.h"

namespace {

namespace fs = std::filesystem;

class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plat::EnsureGuiApplication());
    // Fatal reports are counted and closed.
    plat::SetModalHook([this](plat::Dialog_t& dialog) {
      if (dynamic_cast<err::ErrDlg_t*>(&dialog)) {
        ++m_reports;
        dialog.EndDialog(plat::kIdOk);
      }
    });
    plat::SetMessageBoxHook([this](const std::string& text, const std::string&, unsigned) {
      m_messages.push_back(text);
      return plat::kIdOk;
    });
  }
  void TearDown() override {
    m_app.reset();
    plat::SetModalHook(nullptr);
    plat::SetMessageBoxHook(nullptr);
  }

  bool Start(int show = app::kSwShowNormal) { return apptest::StartApplication(m_app, show); }
  void Close() { apptest::CloseApplication(m_app); }
  app::MainFrame_t& Frame() { return *m_app->Frame(); }
  plat::TreeCtrl_t& Tree() { return Frame().GetTreeView().Control(); }

  // A user list of one user with a run database of 'runs' runs, one a day.
  static void WriteHistory(const std::string& user, int runs) {
    app::RunSet_t set;
    for (int i = 0; i < runs; ++i) set.insert(trtest::MakeRun(trtest::kBase + i * 86400, 1 + i % 3, 300, 20));
    apptest::WriteHistory(user, set);
  }
  std::vector<std::string> TreeItems() { return apptest::TreeItems(Tree()); }

  // The instance lock lies in this process's own temporary folder.
  test::EnvOverride m_runtime{"XDG_RUNTIME_DIR", nullptr};
  std::unique_ptr<app::Application_t> m_app;
  int m_reports = 0;
  std::vector<std::string> m_messages;
};

TEST_F(ApplicationTest, FirstStartWritesDefaultsAndTheNextStartReadsTheLayout) {
  ASSERT_TRUE(Start());
  const win::RegKey_t& key = app::GetSettingsKey();
  EXPECT_EQ(key.ReadString("CurrentUser"), "");
  for (const char* name : {"GraphType", "TurnOff"}) EXPECT_TRUE(key.ValueExists(name)) << name;
  for (const char* name : {"FrameRect", "StartMaximized", "SplitSize0", "SplitSize1", "SplitSize2"})
    EXPECT_FALSE(key.ValueExists(name)) << name;
  EXPECT_EQ(TreeItems(), std::vector<std::string>{"0:History"});

  // Default panes: a third of the width for the tree and the map, half the
  // height for the summary.
  const plat::RECT client = Frame().OuterSplitter().GetClientRect();
  int tree = 0, summary = 0, map = 0, minimum = 0;
  Frame().OuterSplitter().GetColumnInfo(0, tree, minimum);
  Frame().RightSplitter().GetRowInfo(0, summary, minimum);
  Frame().LowerSplitter().GetColumnInfo(0, map, minimum);
  EXPECT_NEAR(tree, client.right / 3, 2);
  EXPECT_NEAR(map, Frame().GetClientRect().right / 3, 2);
  EXPECT_NEAR(summary, Frame().GetClientRect().bottom / 2, 2);

  // The lower row keeps its height when the frame is resized.
  int lowerBefore = 0;
  Frame().RightSplitter().GetRowInfo(1, lowerBefore, minimum);
  Frame().MoveWindow(20, 30, 600, 400);
  plat::PumpUntilIdle();
  int lowerAfter = 0;
  Frame().RightSplitter().GetRowInfo(1, lowerAfter, minimum);
  EXPECT_EQ(lowerAfter, lowerBefore);

  Frame().OuterSplitter().SetColumnInfo(0, 123, 0);
  Frame().OuterSplitter().RecalcLayout();
  const plat::RECT placed = Frame().GetWindowRect();
  Close();
  EXPECT_EQ(m_reports, 0);
  for (const char* name : {"FrameRect", "StartMaximized", "SplitSize0", "SplitSize1", "SplitSize2"})
    EXPECT_TRUE(key.ValueExists(name)) << name;
  EXPECT_TRUE(win::RegKey_t(key, "ToolBars\\DockState").ValueExists("Bars"));

  ASSERT_TRUE(Start());
  const plat::RECT again = Frame().GetWindowRect();
  EXPECT_EQ(again.left, placed.left);
  EXPECT_EQ(again.top, placed.top);
  EXPECT_EQ(again.right - again.left, placed.right - placed.left);
  Frame().OuterSplitter().GetColumnInfo(0, tree, minimum);
  EXPECT_EQ(tree, 123);
  EXPECT_FALSE(Frame().IsZoomed());
  Frame().ShowMaximized();
  plat::PumpUntilIdle();
  Close();
  EXPECT_EQ(app::GetAppSettings().startMaximized.Value(), true);

  ASSERT_TRUE(Start());
  EXPECT_TRUE(Frame().IsZoomed());
  Close();
}

// Start, delete a run, undo, close, start again: the same history.
TEST_F(ApplicationTest, HistorySurvivesDeleteUndoAndRestart) {
  WriteHistory("Runner", 10);
  ASSERT_TRUE(Start());
  const std::vector<std::string> before = TreeItems();
  ASSERT_GT(before.size(), 12u);
  EXPECT_EQ(before[0], "0:History - Runner");
  EXPECT_EQ(app::GetDocument().GetRuns().size(), 10u);

  // The newest run of the newest week.
  const plat::HTREEITEM week = Tree().GetChildItem(Tree().GetRootItem());
  Tree().SelectItem(Tree().GetChildItem(week));
  Tree().SetFocus();
  plat::PumpUntilIdle();
  plat::CmdUI_t canDelete(app::kCmdDeleteSelection);
  EXPECT_TRUE(Frame().RouteUpdate(canDelete));
  EXPECT_TRUE(canDelete.IsEnabled());
  EXPECT_TRUE(Frame().RouteCommand(app::kCmdDeleteSelection));
  EXPECT_EQ(app::GetDocument().GetRuns().size(), 9u);
  EXPECT_NE(TreeItems(), before);
  plat::CmdUI_t canUndo(app::kCmdUndo);
  EXPECT_TRUE(Frame().RouteUpdate(canUndo));
  EXPECT_TRUE(canUndo.IsEnabled());
  EXPECT_TRUE(Frame().RouteCommand(app::kCmdUndo));
  EXPECT_EQ(app::GetDocument().GetRuns().size(), 10u);
  EXPECT_EQ(TreeItems(), before);

  // The history goes to the XML file the user chooses.
  // The dialog proposes "<user>.xml" in the home folder, then in the folder of
  // the last export.
  const std::string folder = test::MakeTempDir("exports");
  const std::string xml = folder + "/history.xml";
  std::vector<std::string> proposed;
  plat::SetFileDialogHook([&](const plat::FileDialogOptions& options, std::string& path) {
    EXPECT_EQ(options.defaultExtension, "xml");
    proposed.push_back(options.fileName);
    path = xml;
    return true;
  });
  EXPECT_TRUE(Frame().RouteCommand(app::kCmdExportXml));
  EXPECT_TRUE(Frame().RouteCommand(app::kCmdExportXml));
  plat::SetFileDialogHook(nullptr);
  const std::string user = app::GetAppSettings().currentUser.Value();
  EXPECT_EQ(proposed, (std::vector<std::string>{test::Home() + "/" + user + ".xml", folder + "/" + user + ".xml"}));
  EXPECT_NE(test::ReadFile(xml).find("<History"), std::string::npos);
  Close();

  ASSERT_TRUE(Start());
  EXPECT_EQ(TreeItems(), before);
  EXPECT_EQ(m_reports, 0);
  EXPECT_TRUE(m_messages.empty());
  Close();
}

TEST_F(ApplicationTest, UserMenuListsUsersAndSwitches) {
  {
    app::UserDatabase_t users(app::DataFolder());
    users.AddUser(7, "carl");
    users.AddUser(3, "anna");
    users.AddUser(9, "Bob");
    users.Load();
    users.Save();
    app::RunSet_t runs;
    runs.insert(trtest::MakeRun(trtest::kBase, 1));
    app::SaveRunDatabase(users.DocumentPath("Bob"), runs);
  }
  app::GetAppSettings().currentUser.Set("anna");
  ASSERT_TRUE(Start());
  plat::Menu_t& menu = Frame().GetMenu();
  int usersPopup = -1;
  for (int i = 0; i < menu.GetMenuItemCount(); ++i)
    if (menu.GetSubMenu(i) && menu.GetSubMenu(i)->FindCommand(app::kCmdEditUsers)) usersPopup = i;
  ASSERT_GE(usersPopup, 0);
  Frame().PrepareMenuPopup(usersPopup);
  const plat::Menu_t& popup = *menu.GetSubMenu(usersPopup);
  ASSERT_EQ(popup.GetMenuItemCount(), 5);
  const std::pair<unsigned, const char*> expected[] = {{0xDFFF, "Bob"}, {0xDFFE, "anna"}, {0xDFFD, "carl"}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(popup.GetMenuItemID(i), expected[i].first);
    EXPECT_EQ(popup.GetMenuString(i), expected[i].second);
  }
  EXPECT_EQ(popup.GetMenuItemID(4), unsigned(app::kCmdEditUsers));
  plat::CmdUI_t anna(0xDFFE);
  EXPECT_TRUE(Frame().RouteUpdate(anna));
  EXPECT_EQ(anna.GetCheck(), 1);

  EXPECT_TRUE(Frame().RouteCommand(0xDFFF));
  EXPECT_EQ(app::GetAppSettings().currentUser.Value(), "Bob");
  EXPECT_EQ(app::GetDocument().GetRuns().size(), 1u);
  EXPECT_EQ(Tree().GetItemText(Tree().GetRootItem()), "History - Bob");
  plat::CmdUI_t bob(0xDFFF);
  EXPECT_TRUE(Frame().RouteUpdate(bob));
  EXPECT_EQ(bob.GetCheck(), 1);
  Close();
}

// The summary pane follows the selection; the track of the selection is the
// run's or the lap's, and none for the history and a week.
TEST_F(ApplicationTest, SummaryPageTrackAndMarkFollowTheSelection) {
  WriteHistory("Runner", 3);  // runs of 1, 2 and 3 laps, each with a track
  ASSERT_TRUE(Start());
  app::TreeView_t& view = Frame().GetTreeView();
  const auto page = [&] { return Frame().GetFormView().GetPage(); };
  const plat::HTREEITEM root = Tree().GetRootItem();
  EXPECT_FALSE(app::GetSelectedTrack(view).IsPresent());
  EXPECT_NE(dynamic_cast<app::HistoryDialog_t*>(page()), nullptr);
  const plat::HTREEITEM week = Tree().GetChildItem(root);
  Tree().SelectItem(week);
  plat::PumpUntilIdle();
  EXPECT_FALSE(app::GetSelectedTrack(view).IsPresent());
  EXPECT_NE(dynamic_cast<app::WeekDialog_t*>(page()), nullptr);
  // The oldest run has one lap: its lap page.
  Tree().SelectItem(Tree().GetChildItem(week));
  Tree().SelectItem(Tree().GetNextSiblingItem(Tree().GetNextSiblingItem(Tree().GetChildItem(week))));
  EXPECT_NE(dynamic_cast<app::LapDialog_t*>(page()), nullptr);
  // The newest run has three laps; its second lap holds its own part.
  const plat::HTREEITEM run = Tree().GetChildItem(week);
  Tree().SelectItem(run);
  EXPECT_NE(dynamic_cast<app::RunDialog_t*>(page()), nullptr);
  const std::int32_t runPoints = view.GetSelectedRun().GetTrack().Value().GetCount();
  EXPECT_EQ(app::GetSelectedTrack(view).Value().GetCount(), runPoints);
  Tree().SelectItem(Tree().GetNextSiblingItem(Tree().GetChildItem(run)));
  plat::PumpUntilIdle();
  EXPECT_EQ(&app::GetSelectedTrack(view), &view.GetSelectedLap().GetTrack());
  EXPECT_NE(dynamic_cast<app::LapDialog_t*>(page()), nullptr);
  EXPECT_LT(app::GetSelectedTrack(view).Value().GetCount(), runPoints);
  EXPECT_FALSE(Frame().GetFormView().GetMarkedPointIndex().IsPresent());
  Close();
}

TEST_F(ApplicationTest, UnitAndHelpCommands) {
  ASSERT_TRUE(Start());
  // The marks of the Units menu's items (metric, statute) as the user opens it.
  plat::Menu_t& menu = Frame().GetMenu();
  int unitsPopup = -1;
  for (int i = 0; i < menu.GetMenuItemCount(); ++i)
    if (menu.GetSubMenu(i) && menu.GetSubMenu(i)->FindCommand(app::kCmdMetricUnits)) unitsPopup = i;
  ASSERT_GE(unitsPopup, 0);
  using Mark = plat::FrameWnd_t::MenuMark_t;
  const auto marks = [&] {
    Frame().PrepareMenuPopup(unitsPopup);
    for (const unsigned id : {app::kCmdMetricUnits, app::kCmdStatuteUnits}) EXPECT_TRUE(menu.FindCommand(id)->enabled);
    return std::vector<Mark>{Frame().RenderedMenuMark(unitsPopup, app::kCmdMetricUnits),
                             Frame().RenderedMenuMark(unitsPopup, app::kCmdStatuteUnits)};
  };
  EXPECT_TRUE(Frame().RouteCommand(app::kCmdMetricUnits));
  EXPECT_EQ(map::GetRegistry().DistanceUnitsType.Value(), mat::DistUnitsTypes_t::Metric);
  EXPECT_EQ(map::GetRegistry().ElevationUnits.Value(), mat::ElevationUnits_t::Metres);
  EXPECT_EQ(marks(), (std::vector<Mark>{Mark::kRadio, Mark::kNone}));
  EXPECT_TRUE(Frame().RouteCommand(app::kCmdStatuteUnits));
  EXPECT_EQ(map::GetRegistry().ElevationUnits.Value(), mat::ElevationUnits_t::Feet);
  EXPECT_EQ(marks(), (std::vector<Mark>{Mark::kNone, Mark::kRadio}));
  map::GetRegistry().DistanceUnitsType.Set(mat::DistUnitsTypes_t::Nautical);
  EXPECT_EQ(marks(), (std::vector<Mark>{Mark::kNone, Mark::kNone}));

  // There is no help file: the command says so and names the README, which
  // for a program in the build folder is the source folder's.
  EXPECT_TRUE(Frame().RouteCommand(app::kCmdHelp));
  ASSERT_EQ(m_messages.size(), 1u);
  const std::string readme = std::filesystem::weakly_canonical(STRIDE_SOURCE_DIR "/README.md").string();
  EXPECT_EQ(m_messages[0], glo::StringResource_t(app::kStrNoHelpFileReadme, GLO_SRC).Format(readme, GLO_SRC));
  Close();
}

// Where the README is found: beside the program, else two folders up (the
// source folder of build/bin); nowhere gives an empty path.
TEST(HelpReadmeTest, BesideTheProgramOrInTheSourceFolderOfItsBuild) {
  namespace fs = std::filesystem;
  const fs::path root = test::MakeTempDir("readme");
  fs::create_directories(root / "src/build/bin");
  fs::create_directories(root / "installed");
  test::WriteFile((root / "src/README.md").string(), "source");
  test::WriteFile((root / "installed/README.md").string(), "beside");
  test::WriteFile((root / "src/build/bin/README.md.txt").string(), "not it");
  EXPECT_EQ(app::FindReadme((root / "installed").string()), fs::weakly_canonical(root / "installed/README.md").string());
  EXPECT_EQ(app::FindReadme((root / "src/build/bin").string()), fs::weakly_canonical(root / "src/README.md").string());
  EXPECT_EQ(app::FindReadme((root / "src/build").string()), "");
  EXPECT_EQ(app::FindReadme((root / "nowhere").string()), "");
}


// A user list that cannot be written: closing asks whether to close anyway,
// and the default answer keeps the program open. The runs are saved all the
// same; once the list can be written, the close goes through without a word.
TEST_F(ApplicationTest, AFailedSaveAtCloseAsksAndTheDefaultKeepsTheProgramOpen) {
  WriteHistory("Runner", 3);
  const std::string runs = app::GetUserDatabase().DocumentPath("Runner");
  ASSERT_TRUE(Start());
  // A change that only a save keeps: the newest run goes.
  const plat::HTREEITEM week = Tree().GetChildItem(Tree().GetRootItem());
  Tree().SelectItem(Tree().GetChildItem(week));
  Tree().SetFocus();
  plat::PumpUntilIdle();
  ASSERT_TRUE(Frame().RouteCommand(app::kCmdDeleteSelection));
  ASSERT_EQ(app::GetDocument().GetRuns().size(), 2u);
  // The list's temporary file cannot be made where the list lies.
  const std::string list = app::GetUserDatabase().FilePath();
  const std::string listBefore = test::ReadFile(list);
  fs::rename(list, list + ".keep");
  fs::create_directory(list);
  test::WriteFile(list + "/x", "");
  std::vector<unsigned> types;
  plat::SetMessageBoxHook([&](const std::string& text, const std::string&, unsigned type) {
    m_messages.push_back(text);
    types.push_back(type);
    // The default button: the second of Yes and No.
    return (type & 0x0F) == plat::kMbYesNo && (type & plat::kMbDefButton2) ? plat::kIdNo : plat::kIdYes;
  });
  Frame().SendMessage(plat::kWmClose);
  plat::PumpUntilIdle();
  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_EQ(types[0] & 0x0F, unsigned(plat::kMbYesNo));
  EXPECT_NE(m_messages[0].find(glo::StringResource_t(7303, GLO_SRC).Format("", GLO_SRC)), std::string::npos)
      << m_messages[0];
  EXPECT_TRUE(Frame().HasWindow());
  EXPECT_EQ(m_reports, 0);
  app::RunSet_t saved;
  app::LoadRunDatabase(runs, saved);
  EXPECT_EQ(saved.size(), 2u);

  fs::remove_all(list);
  fs::rename(list + ".keep", list);
  m_messages.clear();
  Close();
  EXPECT_TRUE(m_messages.empty());
  EXPECT_NE(test::ReadFile(list), std::string());
  EXPECT_EQ(test::ReadFile(list), listBefore);
}

// The recent-file list of the standard profile settings: four entries below
// the program's own key, read at start and written back as read at exit.
TEST_F(ApplicationTest, TheRecentFileListIsReadAtStartAndWrittenBackAtExit) {
  const std::string sectionPath = app::GetApplicationInfo().Name() + "\\Recent File List";
  const win::RegKey_t section(win::CompanyUserKey(), sectionPath);
  section.WriteString("File1", "/home/runner/first.bin");
  section.WriteString("File3", "/home/runner/third.bin");
  section.WriteString("File5", "/home/runner/fifth.bin");  // beyond the four
  ASSERT_TRUE(Start());
  // While the program runs, the stored list changes behind its back.
  section.DeleteValue("File1");
  section.WriteString("File2", "/elsewhere/second.bin");
  Close();
  const std::string hive = test::ReadFile(plat::UserHivePath());
  EXPECT_NE(hive.find("[Software\\Vortan\\" + sectionPath + "]"), std::string::npos) << hive;
  EXPECT_EQ(section.ReadString("File1"), "/home/runner/first.bin");
  EXPECT_FALSE(section.ValueExists("File2"));
  EXPECT_EQ(section.ReadString("File3"), "/home/runner/third.bin");
  EXPECT_FALSE(section.ValueExists("File4"));
  EXPECT_EQ(section.ReadString("File5"), "/home/runner/fifth.bin");
}

// Export History is offered only when there is a history to export.
TEST_F(ApplicationTest, ExportHistoryIsDisabledWhileTheHistoryIsEmpty) {
  for (const int runs : {0, 2}) {
    SCOPED_TRACE(runs);
    WriteHistory(runs > 0 ? "Runner" : "Newcomer", runs);
    ASSERT_TRUE(Start());
    plat::Menu_t& menu = Frame().GetMenu();
    int filePopup = -1;
    for (int i = 0; i < menu.GetMenuItemCount(); ++i)
      if (menu.GetSubMenu(i) && menu.GetSubMenu(i)->FindCommand(app::kCmdExportXml)) filePopup = i;
    ASSERT_GE(filePopup, 0);
    Frame().PrepareMenuPopup(filePopup);
    EXPECT_EQ(menu.FindCommand(app::kCmdExportXml)->enabled, runs > 0);
    bool enabled = runs == 0;
    int check = 0;
    Frame().UpdateToolBar();
    EXPECT_TRUE(Frame().GetToolBarButtonState(app::kCmdExportXml, enabled, check));
    EXPECT_EQ(enabled, runs > 0);
    Close();
  }
}

// A run database in which a run's key comes twice keeps the first of the two
// and every run after them, without a message.
TEST_F(ApplicationTest, ARepeatedRunKeyKeepsTheFirstRunAndTheRunsAfterIt) {
  WriteHistory("Runner", 0);
  const std::string path = app::GetUserDatabase().DocumentPath("Runner");
  // The body of a file of one run, for each run.
  const auto bodyOf = [&](const app::Run_t& run) {
    app::RunSet_t one;
    one.insert(run);
    app::SaveRunDatabase(path, one);
    const std::string withOne = test::ReadFile(path);
    app::SaveRunDatabase(path, app::RunSet_t());
    return withOne.substr(test::ReadFile(path).size());
  };
  app::Run_t first = trtest::MakeRun(trtest::kBase, 1);
  first.SetNotes("first");
  app::Run_t again = trtest::MakeRun(trtest::kBase, 2);
  again.SetNotes("again");
  const app::Run_t later = trtest::MakeRun(trtest::kBase + 86400, 1);
  app::SaveRunDatabase(path, app::RunSet_t());
  std::string bytes = test::ReadFile(path);
  bytes.replace(bytes.size() - 4, 4, std::string("\x03\x00\x00\x00", 4));
  bytes += bodyOf(first) + bodyOf(again) + bodyOf(later);
  test::WriteFile(path, bytes);

  ASSERT_TRUE(Start());
  EXPECT_TRUE(m_messages.empty());
  EXPECT_EQ(m_reports, 0);
  const app::RunSet_t& loaded = app::GetDocument().GetRuns();
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded.begin()->GetNotes(), "first");
  const std::vector<std::string> items = TreeItems();
  EXPECT_EQ(std::count_if(items.begin(), items.end(), [](const std::string& item) { return item.rfind("2:", 0) == 0; }),
            2);
  Close();
  EXPECT_FALSE(fs::exists(path + ".001"));
}

// A termination request (logging out, shutting down) closes the program as
// File > Exit does: an open dialog is cancelled, everything is saved, and the
// message loop ends with 0.
TEST_F(ApplicationTest, ATerminationRequestSavesAndEnds) {
  WriteHistory("Runner", 3);
  const std::string runs = app::GetUserDatabase().DocumentPath("Runner");
  ASSERT_TRUE(Start());
  const plat::HTREEITEM week = Tree().GetChildItem(Tree().GetRootItem());
  Tree().SelectItem(Tree().GetChildItem(week));
  Tree().SetFocus();
  plat::PumpUntilIdle();
  ASSERT_TRUE(Frame().RouteCommand(app::kCmdDeleteSelection));
  ASSERT_EQ(app::GetDocument().GetRuns().size(), 2u);
  Frame().OuterSplitter().SetColumnInfo(0, 137, 0);
  Frame().OuterSplitter().RecalcLayout();
  // The request comes while the about box is up.
  bool aboutShown = false;
  plat::SetModalHook([&](plat::Dialog_t& dialog) {
    if (dynamic_cast<err::ErrDlg_t*>(&dialog)) {
      ++m_reports;
      dialog.EndDialog(plat::kIdOk);
      return;
    }
    aboutShown = true;
    std::raise(SIGTERM);
  });
  // The user opens the about box once the message loop runs.
  app::MainFrame_t* frame = &Frame();
  std::thread user([frame] { plat::CallOnUiThread([frame] { frame->RouteCommand(app::kCmdAppAbout); }); });
  EXPECT_EQ(m_app->Run(), 0);
  user.join();
  EXPECT_TRUE(aboutShown);
  EXPECT_FALSE(Frame().HasWindow());
  m_app->ExitInstance();
  EXPECT_EQ(m_reports, 0);
  app::RunSet_t saved;
  app::LoadRunDatabase(runs, saved);
  EXPECT_EQ(saved.size(), 2u);
  EXPECT_EQ(app::GetAppSettings().splitSize0.Value(), 137);
}

// The first start without users opens the transfer at once; a termination
// request then ends it and closes the program with its saves, and the
// message loop that follows ends at once with 0.
TEST_F(ApplicationTest, ATerminationRequestDuringTheFirstTransferClosesTheProgram) {
  app::UserDatabase_t& users = app::GetUserDatabase();
  while (!users.empty()) {
    const std::string name = users.begin()->second;
    if (app::IsUsableUserName(name)) fs::remove_all(users.DocumentPath(name));
    users.DeleteUser(name);
  }
  fs::remove(users.FilePath());
  bool transferShown = false;
  plat::SetModalHook([&](plat::Dialog_t&) {
    transferShown = true;
    std::raise(SIGTERM);
  });
  ASSERT_TRUE(apptest::StartApplication(m_app, app::kSwShowNormal, [](app::Application_t& application) {
    application.SetTransferCommand([] {
      app::AboutDialog_t standIn;  // any dialog in the transfer's place
      standIn.DoModal();
    });
  }));
  EXPECT_TRUE(transferShown);
  EXPECT_EQ(m_app->Run(), 0);
  EXPECT_FALSE(Frame().HasWindow());
  m_app->ExitInstance();
  EXPECT_EQ(m_reports, 0);
  EXPECT_TRUE(fs::exists(users.FilePath()));
}

// A run database that cannot be opened ends start-up with a report; the
// close that follows leaves the file alone.
TEST_F(ApplicationTest, StartUpFailureIsReportedAndTheFileKept) {
  WriteHistory("Runner", 0);
  const std::string runs = app::GetUserDatabase().DocumentPath("Runner");
  fs::remove(runs);
  fs::create_directory(runs);
  test::WriteFile(runs + "/kept", "x");
  EXPECT_FALSE(Start());
  EXPECT_EQ(m_reports, 1);
  EXPECT_FALSE(m_app->Frame()->HasWindow());
  m_app->ExitInstance();
  EXPECT_EQ(test::ReadFile(runs + "/kept"), "x");
}

// A save killed half-way and a settings writer killed half-way leave their
// temporary files; the next start removes them (and nothing else).
TEST_F(ApplicationTest, StartRemovesWhatKilledSavesLeft) {
  WriteHistory("Runner", 2);
  const std::string folder = app::DataFolder();
  const std::string runs = app::GetUserDatabase().DocumentPath("Runner");
  const std::string before = test::ReadFile(runs);
  const doc::Info_t header = app::MakeFileHeader("DlRf", 1);
  const pid_t saver = ::fork();
  ASSERT_GE(saver, 0);
  if (saver == 0) {
    try {
      app::SaveDataFile(runs, header, [](bin::ostream& out) {
        out.write("partial", 7);
        ::raise(SIGKILL);
      });
    } catch (...) {
    }
    ::_exit(1);
  }
  int status = 0;
  ASSERT_EQ(saver, ::waitpid(saver, &status, 0));
  ASSERT_TRUE(WIFSIGNALED(status));
  // A settings writer that died: its temporary file carries its process number.
  const pid_t writer = ::fork();
  ASSERT_GE(writer, 0);
  if (writer == 0) ::_exit(0);
  ASSERT_EQ(writer, ::waitpid(writer, &status, 0));
  const std::string hiveTemp = plat::UserHivePath() + ".tmp-" + std::to_string(writer);
  test::WriteFile(hiveTemp, "STRIDE-REGISTRY 1\n[Soft");
  std::size_t leftovers = 0;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().filename().string().rfind(".saving-", 0) == 0) ++leftovers;
  ASSERT_EQ(leftovers, 1u);

  ASSERT_TRUE(Start());
  for (const auto& entry : fs::directory_iterator(folder))
    EXPECT_NE(entry.path().filename().string().rfind(".saving-", 0), 0u) << entry.path();
  EXPECT_FALSE(fs::exists(hiveTemp));
  EXPECT_EQ(test::ReadFile(runs), before);
  Close();
}

}  // namespace
