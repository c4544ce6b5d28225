// The fatal-error report: its text, the log file, the dialog and the copy
// command, reports from worker threads, and the minimal report.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "err/ERR_ErrDlg.h"
#include "err/ERR_FatalDialog.h"
#include "glo/GLO_StringResource.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Button.h"
#include "plat/PLAT_Clipboard.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_Event.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_MessageBox.h"
#include "plat/PLAT_Module.h"
#include "tests/common/TestEnv.h"
#include "tests/common/TestResources.h"

namespace {

std::string g_label = "REL";

const glo::ApplicationInfo_t& TestInfo() {
  static glo::ApplicationInfo_t info("Logbook", {2, 5, 0, 0}, "Dec 10 2026", "12:34:56", "REL", "{GUID}");
  static glo::ApplicationInfo_t beta("Logbook", {2, 5, 0, 0}, "Dec 10 2026", "12:34:56", "BETA3", "{GUID}");
  return g_label == "REL" ? info : beta;
}

std::string Text(int id) { return glo::StringResource_t(id, GLO_SRC).Text(); }

struct Seen {
  std::string title, intro, report;
};

class FatalDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseTestResources();
    if (HasFatalFailure()) return;
    err::SetApplicationInfoSource(&TestInfo);
    g_label = "REL";
    m_folder = test::MakeTempDir("tmp");
    m_tmp = std::make_unique<test::EnvOverride>("TMPDIR", m_folder.c_str());
    m_log = m_folder + "/Logbook/Logbook.log";
  }
  void TearDown() override {
    plat::SetModalHook(nullptr);
    plat::SetMessageBoxHook(nullptr);
    plat::PumpUntilIdle();
  }
  // Shows a report and records what its dialog showed.
  Seen Report(const char* file, int line, const std::string& message) {
    Seen seen;
    plat::SetModalHook([&](plat::Dialog_t& d) {
      seen.title = d.GetWindowText();
      seen.intro = d.GetDlgItem(err::ErrDlg_t::kIntroduction)->GetWindowText();
      seen.report = d.GetDlgItem(err::ErrDlg_t::kReport)->GetWindowText();
      d.EndDialog(plat::kIdOk);
    });
    err::FatalDialog_t().Show(file, line, message);
    return seen;
  }

  std::string m_folder, m_log;
  std::unique_ptr<test::EnvOverride> m_tmp;
};

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

TEST_F(FatalDialogTest, ReportTextOfAReleaseAndAPreReleaseBuild) {
  EXPECT_EQ(err::MakeErrorId("glo/GLO_Time.cpp", 27), "GLO_TIME.CPP-27");
  EXPECT_EQ(err::VersionText(), "2.5");
  const std::string report = err::BuildReport("GLO_Time.cpp", 27, "");
  EXPECT_EQ(report.rfind("\nApp: Logbook\nAt: ", 0), 0u) << report;
  EXPECT_NE(report.find(" (UTC) \nOS: "), std::string::npos) << report;
  EXPECT_NE(report.find("\nProcessor: "), std::string::npos);
  EXPECT_TRUE(EndsWith(report, "KB\nGLO_TIME.CPP-27-2.5\n")) << report;  // no message line
  EXPECT_TRUE(EndsWith(err::BuildReport("a.cpp", 1, "It broke."), "A.CPP-1-2.5\nIt broke.\n"));

  g_label = "BETA3";
  EXPECT_EQ(err::VersionText(), "2.5.0.0-Beta\nDec 10 2026, 12:34:56 (BETA3)");
}

TEST_F(FatalDialogTest, DialogShowsTheReportAndTheLogKeepsEveryReport) {
  const Seen first = Report("Document.cpp", 392, "Disk full");
  EXPECT_EQ(first.title, "Logbook");
  EXPECT_EQ(first.intro, Text(5602));
  EXPECT_EQ(first.report.rfind(Text(5604) + "\r\n\r\nApp: Logbook\r\nAt: ", 0), 0u) << first.report;
  EXPECT_TRUE(EndsWith(first.report, "DOCUMENT.CPP-392-2.5\r\nDisk full\r\n")) << first.report;

  g_label = "BETA3";
  const Seen second = Report("View.cpp", 7, "");
  EXPECT_EQ(second.intro, glo::StringResource_t(5608, GLO_SRC).Format("Logbook", GLO_SRC));

  const std::string log = test::ReadFile(m_log);
  EXPECT_EQ(log.find("\nApp: Logbook"), 0u);
  EXPECT_NE(log.find("DOCUMENT.CPP-392-2.5\nDisk full\n"), std::string::npos);
  EXPECT_TRUE(EndsWith(log, "(BETA3)\n")) << log;
  // The log's folder is the user's alone.
  struct stat st;
  ASSERT_EQ(::stat((m_folder + "/Logbook").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  // The copy command puts the whole log, both reports, on the clipboard.
  plat::SetModalHook([&](plat::Dialog_t& d) {
    dynamic_cast<plat::Button_t*>(d.GetDlgItem(err::ErrDlg_t::kCopy))->Click();
    d.EndDialog(plat::kIdOk);
  });
  err::ErrDlg_t(first.intro, "r", m_log).DoModal();
  std::string clip;
  ASSERT_TRUE(plat::GetClipboardText(clip));
  EXPECT_EQ(clip, log);
}

TEST_F(FatalDialogTest, WithoutASourceTheNameComesFromTheLanguageModule) {
  err::SetApplicationInfoSource(nullptr);
  const std::string name = Text(190);
  test::EnvOverride tmp("TMPDIR", m_folder.c_str());
  EXPECT_EQ(Report("a.cpp", 1, "x").title, name);
  EXPECT_NE(test::ReadFile(m_folder + "/" + name + "/" + name + ".log").find("\nApp: " + name + "\n"),
            std::string::npos);
}

// A temporary folder that all users share (sticky, another user's): the log
// goes to the program's own private folder in it.
TEST_F(FatalDialogTest, SharedStickyTemporaryFolderTakesTheLog) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs to give the folder to another user";
  const std::string shared = m_folder + "/shared";
  ASSERT_EQ(::mkdir(shared.c_str(), 0700), 0);
  ASSERT_EQ(::chown(shared.c_str(), 65534, 65534), 0);
  ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
  test::EnvOverride tmp("TMPDIR", shared.c_str());
  const Seen seen = Report("a.cpp", 1, "Shared");
  EXPECT_EQ(seen.intro, Text(5602));
  EXPECT_NE(test::ReadFile(shared + "/Logbook/Logbook.log").find("Shared"), std::string::npos);
  struct stat st;
  ASSERT_EQ(::stat((shared + "/Logbook").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(st.st_uid, ::geteuid());
}

TEST_F(FatalDialogTest, LogThatCannotBeWrittenChangesTheIntroduction) {
  // No temporary folder at all.
  {
    test::EnvOverride tmp("TMPDIR", "relative"), run("XDG_RUNTIME_DIR", nullptr), home("HOME", nullptr);
    EXPECT_EQ(Report("a.cpp", 1, "x").intro, Text(5603));
  }
  // A link where the log should be is not followed.
  const std::string target = m_folder + "/elsewhere.txt";
  test::WriteFile(target, "keep");
  ASSERT_EQ(::mkdir((m_folder + "/Logbook").c_str(), 0700), 0);
  ASSERT_EQ(::symlink(target.c_str(), m_log.c_str()), 0);
  EXPECT_EQ(Report("a.cpp", 1, "x").intro, Text(5603));
  EXPECT_EQ(test::ReadFile(target), "keep");
}

TEST_F(FatalDialogTest, CopyWithoutALogIsToldAndTheDialogStays) {
  std::string told;
  plat::SetMessageBoxHook([&](const std::string& text, const std::string&, unsigned) {
    told = text;
    return plat::kIdOk;
  });
  bool stillUp = false;
  plat::SetModalHook([&](plat::Dialog_t& d) {
    dynamic_cast<plat::Button_t*>(d.GetDlgItem(err::ErrDlg_t::kCopy))->Click();
    stillUp = d.IsWindowVisible();
    d.EndDialog(plat::kIdOk);
  });
  EXPECT_EQ(err::ErrDlg_t("intro", "report", m_folder + "/missing.log").DoModal(), plat::kIdOk);
  EXPECT_TRUE(stillUp);
  EXPECT_EQ(told.rfind(Text(5609), 0), 0u) << told;
}

TEST_F(FatalDialogTest, ReportFromAWorkerIsShownOnTheUserInterfaceThread) {
  std::thread::id dialogThread;
  plat::SetModalHook([&](plat::Dialog_t& d) {
    dialogThread = std::this_thread::get_id();
    d.EndDialog(plat::kIdOk);
  });
  std::atomic<bool> done{false};
  std::thread worker([&] {
    err::FatalDialog_t().Show("Worker.cpp", 5, "Lost the unit");
    done = true;
  });
  ASSERT_TRUE(plat::PumpUntil([&] { return done.load(); }, 20000));
  worker.join();
  EXPECT_EQ(dialogThread, std::this_thread::get_id());
  EXPECT_NE(test::ReadFile(m_log).find("WORKER.CPP-5-2.5\nLost the unit\n"), std::string::npos);
}

TEST_F(FatalDialogTest, StoppedWorkerDoesNotWaitForTheDialog) {
  bool shown = false;
  plat::SetModalHook([&](plat::Dialog_t& d) {
    shown = true;
    d.EndDialog(plat::kIdOk);
  });
  const plat::Handle stop = plat::CreateEvent(true, true);
  std::thread worker([&] {
    plat::SetThreadStopEvent(stop);
    err::FatalDialog_t().Show("Worker.cpp", 9, "Stopped");
  });
  worker.join();  // returns although nobody pumps the user-interface thread
  plat::PumpUntilIdle();
  EXPECT_FALSE(shown);
  EXPECT_NE(test::ReadFile(m_log).find("WORKER.CPP-9-2.5\nStopped\n"), std::string::npos);
  plat::CloseHandle(stop);
}

TEST_F(FatalDialogTest, ReportThatCannotBeBuiltStillLeavesAMinimalOne) {
  err::SetApplicationInfoSource([]() -> const glo::ApplicationInfo_t& {
    throw glo::Exception_t(GLO_SRC, "");  // the information cannot be had
  });
  testing::internal::CaptureStderr();
  EXPECT_THROW(err::FatalDialog_t().Show("Main.cpp", 12, "Out of memory"), glo::Exception_t);
  const std::string stderrText = testing::internal::GetCapturedStderr();
  const std::string minimal = err::MinimalReport("Main.cpp", 12, "Out of memory");
  EXPECT_NE(stderrText.find(minimal), std::string::npos) << stderrText;
  EXPECT_NE(minimal.find("Main.cpp(12)\nOut of memory\n"), std::string::npos);
  EXPECT_EQ(test::ReadFile(m_folder + "/StridemereLogbook/StridemereLogbook.log"), minimal);
}

}  // namespace
