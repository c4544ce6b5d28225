// The transfer from the simulated watch: the transfer and progress threads
// behind the progress dialog, and the transfer dialog that binds the unit to
// its user and adds the new runs to the document.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/AppSettings.h"
#include "app/Document.h"
#include "app/NewUnitDialog.h"
#include "app/RunDatabase.h"
#include "app/TransferDialog.h"
#include "app/TransferProgress.h"
#include "app/TransferThread.h"
#include "app/UserDatabase.h"
#include "app/ApplicationInfo.h"
#include "err/ERR_ErrDlg.h"
#include "err/ERR_FatalDialog.h"
#include "glo/GLO_StringResource.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Button.h"
#include "plat/PLAT_ComboEdit.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_Input.h"
#include "plat/PLAT_List.h"
#include "plat/PLAT_MessageBox.h"
#include "tests/app/TrainingTestUtil.h"
#include "tools/SimLaps.h"
#include "tools/WatchSim.h"
#include "xfr/XFR_CommSettings.h"
#include "xfr/XFR_ProgressDlg.h"

namespace {

// Cancel ends a transfer within a second. A loaded machine (the whole suite
// runs side by side) may take longer to schedule the dialog's end, so the tests
// allow more; a wait that does not watch the stop event runs into the link's
// retries, seconds longer than this.
constexpr double kCancelBoundMs = 2500.0;

namespace fs = std::filesystem;

constexpr unsigned long kWaitMs = 30000;
constexpr std::uint32_t kDay = 86400;
constexpr std::uint32_t kFirst = 1149231600u;  // device time, 2026-06-01 07:00 UTC
constexpr std::int64_t kUnix = 631065600;     // device time 0 in calendar seconds

std::string Str(int id) { return glo::StringResource_t(id, GLO_SRC).Text(); }

std::string ItemText(const plat::Wnd_t& dialog, int id) { return dialog.GetDlgItem(id)->GetWindowText(); }

plat::Button_t& ButtonOf(plat::Wnd_t& dialog, int id) { return dynamic_cast<plat::Button_t&>(*dialog.GetDlgItem(id)); }

// Three finished runs a day apart, the second without track and the third
// with a pause inside its track, then the run under way.
std::vector<sim::SimRunSpec> History(int finished = 3, bool open = true) {
  std::vector<sim::SimRunSpec> runs;
  for (int i = 0; i < finished + (open ? 1 : 0); ++i) {
    sim::SimRunSpec run;
    run.start = kFirst + static_cast<std::uint32_t>(i) * kDay;
    run.trackIndex = static_cast<std::uint8_t>(i);
    run.lapCount = 2 + i % 2;
    runs.push_back(run);
  }
  if (finished > 1) runs[1].end = sim::RunEnd::kNoTrack;
  if (finished > 2) runs[2].pauseAtPoint = 20;
  if (open) runs.back().end = sim::RunEnd::kOpen;
  return runs;
}

// One run whose track has 6001 points, and 200 runs of three laps without
// tracks: a transfer long enough to be cancelled in its tracks or its laps.
std::vector<sim::SimRunSpec> LongTrack() {
  std::vector<sim::SimRunSpec> runs = History(1, false);
  runs[0].lapSeconds = 30000;
  return runs;
}
std::vector<sim::SimRunSpec> ManyLaps() {
  std::vector<sim::SimRunSpec> runs;
  for (int i = 0; i < 200; ++i) {
    sim::SimRunSpec run;
    run.start = kFirst + static_cast<std::uint32_t>(i) * kDay;
    run.lapCount = 3;
    run.end = sim::RunEnd::kNoTrack;
    runs.push_back(run);
  }
  return runs;
}

int LapCount(const std::vector<sim::SimRunSpec>& runs) {
  int count = 0;
  for (const auto& run : runs) count += run.lapCount;
  return count;
}

sim::Profile WatchProfile(const sim::LapHistory& history, const sim::LapFaults& faults = sim::LapFaults(),
                          std::uint32_t unitId = 3456789012u) {
  sim::Profile base;
  sim::BuiltinProfile("runner", base);
  base.unitId = unitId;
  return sim::LapProfile(history, faults, base);
}

bool SentCommand(sim::Watch_t& watch, std::int16_t command) {
  for (const sim::Frame& frame : watch.HostFrames())
    if (frame.id == sim::kCommandId && frame.data.size() == 2 &&
        static_cast<std::int16_t>(frame.data[0] | frame.data[1] << 8) == command)
      return true;
  return false;
}

class TransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plat::EnsureGuiApplication());
    plat::SetResourceHandle(glo::GetResourceModule());
    err::SetApplicationInfoSource(&app::GetApplicationInfo);
    plat::SetMessageBoxHook([this](const std::string& text, const std::string&, unsigned) {
      messages.push_back(text);
      return plat::kIdOk;
    });
  }
  void TearDown() override {
    plat::SetModalHook(nullptr);
    plat::SetMessageBoxHook(nullptr);
    plat::PumpUntilIdle();  // windows that went are deleted on the next pump
  }

  // What the progress dialog showed at its end.
  struct Seen {
    bool finished = false;
    std::string title, phase, status, percent;
    bool barVisible = true;
  };

  // Waits in the progress dialog until it is finished or ended; a finished
  // dialog is noted and closed with its button.
  void WaitAndClose(xfr::ProgressDlg_t& dialog) {
    plat::PumpUntil([&] { return dialog.IsFinished() || dialog.IsEnding(); }, kWaitMs);
    if (!dialog.IsFinished()) return;
    // The bar is hidden by the progress thread's last call, after the mark.
    plat::Wnd_t& bar = *dialog.GetDlgItem(xfr::kProgressBar);
    plat::PumpUntil([&] { return !bar.IsWindowVisible(); }, kWaitMs);
    seen.finished = true;
    seen.title = dialog.GetWindowText();
    seen.phase = ItemText(dialog, xfr::kProgressText2);
    seen.status = ItemText(dialog, xfr::kProgressText3);
    seen.percent = ItemText(dialog, xfr::kProgressText1);
    seen.barVisible = bar.IsWindowVisible();
    ButtonOf(dialog, plat::kIdCancel).Click();
  }

  // The fatal report is noted among the messages and closed.
  void Report(plat::Dialog_t& dialog) {
    messages.push_back(ItemText(dialog, err::ErrDlg_t::kReport));
    dialog.EndDialog(plat::kIdOk);
  }

  // Runs the progress dialog on the port; 'whileUp' (default: WaitAndClose)
  // acts while it is up.
  int RunXfer(const std::string& port, bool turnOff, std::function<void(xfr::ProgressDlg_t&)> whileUp = nullptr) {
    if (!whileUp) whileUp = [this](xfr::ProgressDlg_t& d) { WaitAndClose(d); };
    plat::SetModalHook([&](plat::Dialog_t& dialog) {
      if (auto* progress = dynamic_cast<app::XferDialog_t*>(&dialog)) whileUp(*progress);
      if (dynamic_cast<err::ErrDlg_t*>(&dialog)) Report(dialog);
    });
    app::XferDialog_t dialog(port, turnOff, *tracks, laps);
    const int result = dialog.DoModal();
    plat::SetModalHook(nullptr);
    plat::PumpUntilIdle();
    return result;
  }

  std::unique_ptr<gdb::Database_t> tracks = std::make_unique<gdb::Database_t>(gdb::Name_t(), 3);
  std::vector<app::LapPacket_t> laps;
  std::vector<std::string> messages;
  Seen seen;
};

TEST_F(TransferTest, DownloadsTracksAndLapsAndFinishesTheDialog) {
  const auto runs = History();
  const sim::LapHistory history = sim::MakeLapHistory(runs);
  for (const bool turnOff : {false, true}) {
    SCOPED_TRACE(turnOff ? "turning the unit off" : "leaving the unit on");
    sim::Watch_t watch(WatchProfile(history));
    tracks = std::make_unique<gdb::Database_t>(gdb::Name_t(), 3);
    laps.clear();
    seen = Seen();
    EXPECT_EQ(RunXfer(watch.PortPath(), turnOff), plat::kIdOk);
    EXPECT_TRUE(messages.empty());
    ASSERT_EQ(laps.size(), static_cast<std::size_t>(LapCount(runs)));
    EXPECT_EQ(laps.front().GetLap().GetStart().GetValue(), kUnix + kFirst);
    // Runs 0, 2 and the open one sent tracks; the pause splits nothing.
    ASSERT_EQ(tracks->GetTracks().size(), 3u);
    EXPECT_EQ(tracks->GetTracks().at(gdb::TrackId_t(gdb::Name_t("2"))).GetCount(),
              static_cast<std::int32_t>(history.log.tracks[1].points.size()));
    EXPECT_EQ(seen.title, Str(app::kStrFinishedTitle));
    EXPECT_EQ(seen.status, Str(app::kStrFinishedStatus));
    EXPECT_EQ(seen.phase, "");
    EXPECT_EQ(seen.percent, "");
    EXPECT_FALSE(seen.barVisible);
    EXPECT_EQ(SentCommand(watch, sim::kCmdTurnOff), turnOff);
  }
}

// Each fault of the unit ends the dialog with its message and IDCANCEL.
TEST_F(TransferTest, FaultsEndTheTransferWithTheirMessage) {
  const sim::LapHistory history = sim::MakeLapHistory(History());
  struct Case {
    const char* name;
    sim::LapFaults faults;
    std::string message;  // the start of the message
    bool lapRequest;      // whether the laps were asked for
  };
  sim::LapFaults noLaps;
  noLaps.noLapProtocol = true;
  sim::LapFaults oneMore;
  oneMore.countDelta = 2;  // the transfer-complete frame fills one place
  sim::LapFaults shortRecord;
  shortRecord.shortRecordAt = 2;
  const std::vector<Case> cases = {
      {"no lap protocol", noLaps, Str(app::kStrNoLapProtocol), false},
      {"a lap announced but never sent", oneMore, Str(app::kStrNoAnswer), true},
      {"a short lap record", shortRecord, "LAPPACKET.CPP", true},  // the fatal report
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim::Watch_t watch(WatchProfile(history, c.faults));
    messages.clear();
    laps.clear();
    EXPECT_EQ(RunXfer(watch.PortPath(), false), plat::kIdCancel);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(c.message), std::string::npos) << messages[0];
    EXPECT_EQ(SentCommand(watch, sim::kCmdLaps), c.lapRequest);
  }
}

// A watch that stops answering, in each phase of the transfer: the user waits
// a while, then Cancel ends the transfer within a second, quietly (no message,
// no report), however far the link had got with its waits and retries. One
// case a phase: each waits for seconds.
struct SilentPhase {
  const char* name;
  bool manyLaps;             // the runs: many laps, or else one long track
  std::int16_t silentAfter;  // the command after which the watch falls silent; 0: from the start
  unsigned waitMs;           // how long the user waits before Cancel
};

class TransferCancelTest : public TransferTest, public ::testing::WithParamInterface<SilentPhase> {};

TEST_P(TransferCancelTest, CancelOnAWatchThatStoppedAnsweringEndsWithinASecond) {
  const SilentPhase& c = GetParam();
  const std::vector<sim::SimRunSpec> runs = c.silentAfter == 0 ? History() : c.manyLaps ? ManyLaps() : LongTrack();
  sim::Watch_t watch(WatchProfile(sim::MakeLapHistory(runs)));
  // Silent in the middle, the watch sends its last frame for five seconds
  // unheard, and the link waits its time-out after that: the user's wait
  // ends well within it.
  watch.SetRetry(std::chrono::milliseconds(1000), 6);
  if (c.silentAfter == 0) watch.SetSilent(true);
  double cancelMs = -1;
  const int result = RunXfer(watch.PortPath(), false, [&](xfr::ProgressDlg_t& dialog) {
    if (c.silentAfter != 0) {
      EXPECT_TRUE(plat::PumpUntil([&] { return SentCommand(watch, c.silentAfter) && watch.Sends().size() >= 20; },
                                  kWaitMs));
      watch.FallSilent();  // the unit stops in the middle of a frame
    }
    plat::PumpUntil([&] { return dialog.IsEnding(); }, c.waitMs);
    ASSERT_FALSE(dialog.IsEnding());  // still waiting for the watch
    const auto start = std::chrono::steady_clock::now();
    ButtonOf(dialog, plat::kIdCancel).Click();
    cancelMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  });
  EXPECT_EQ(result, plat::kIdCancel);
  EXPECT_GE(cancelMs, 0.0);
  EXPECT_LT(cancelMs, kCancelBoundMs);
  EXPECT_TRUE(messages.empty()) << (messages.empty() ? "" : messages[0]);
}

INSTANTIATE_TEST_SUITE_P(EveryPhase, TransferCancelTest,
                         ::testing::Values(SilentPhase{"Negotiation", false, 0, 200},
                                           SilentPhase{"NegotiationAfterARetry", false, 0, 3500},
                                           SilentPhase{"Tracks", false, sim::kCmdTracks, 200},
                                           SilentPhase{"TracksAfterATimeOut", false, sim::kCmdTracks, 4000},
                                           SilentPhase{"Laps", true, sim::kCmdLaps, 200},
                                           SilentPhase{"LapsAfterATimeOut", true, sim::kCmdLaps, 4000}),
                         [](const ::testing::TestParamInfo<SilentPhase>& info) { return info.param.name; });

TEST_F(TransferTest, APortThatCannotBeOpenedIsNamed) {
  EXPECT_EQ(RunXfer("/nonexistent/ttyWATCH", false), plat::kIdCancel);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].rfind(glo::StringResource_t(app::kStrPortError, GLO_SRC).Format("/nonexistent/ttyWATCH", GLO_SRC), 0),
            0u)
      << messages[0];
}

TEST_F(TransferTest, AUnitThatCountsOneLapTooFewLeavesItOut) {
  const auto runs = History();
  sim::LapFaults oneLess;
  oneLess.countDelta = -1;
  sim::Watch_t watch(WatchProfile(sim::MakeLapHistory(runs), oneLess));
  EXPECT_EQ(RunXfer(watch.PortPath(), false), plat::kIdOk);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(laps.size(), static_cast<std::size_t>(LapCount(runs) - 1));
}

// Cancel while the unit is sending tracks or laps: the unit falls silent in
// the middle, Cancel stops the threads without a message, and nothing is
// written after the dialog has gone.
TEST_F(TransferTest, CancelDuringTracksOrLaps) {
  const std::vector<sim::SimRunSpec> longTrack = LongTrack();
  const std::vector<sim::SimRunSpec> manyLaps = ManyLaps();
  struct Case {
    const char* name;
    std::vector<sim::SimRunSpec> runs;
    bool inLaps;
  };
  for (const Case& c : {Case{"tracks", longTrack, false}, Case{"laps", manyLaps, true}}) {
    SCOPED_TRACE(c.name);
    sim::Watch_t watch(WatchProfile(sim::MakeLapHistory(c.runs)));
    messages.clear();
    laps.clear();
    tracks = std::make_unique<gdb::Database_t>(gdb::Name_t(), 3);
    const int result = RunXfer(watch.PortPath(), false, [&](xfr::ProgressDlg_t& dialog) {
      EXPECT_TRUE(plat::PumpUntil(
          [&] { return SentCommand(watch, c.inLaps ? sim::kCmdLaps : sim::kCmdTracks) && watch.Sends().size() >= 40; },
          kWaitMs));
      watch.SetSilent(true);  // the unit stops in the middle
      ButtonOf(dialog, plat::kIdCancel).Click();
    });
    EXPECT_EQ(result, plat::kIdCancel);
    EXPECT_TRUE(messages.empty());
    const std::size_t lapsAtEnd = laps.size();
    plat::PumpUntilIdle();
    EXPECT_EQ(laps.size(), lapsAtEnd);
    EXPECT_LT(lapsAtEnd, static_cast<std::size_t>(LapCount(c.runs)));
    EXPECT_EQ(lapsAtEnd > 0, c.inLaps);
    EXPECT_TRUE(tracks->GetTracks().empty());
  }
}

// "Transfer Complete" closes on Enter: the key presses the button that has
// the focus, and the dialog ends with OK.
TEST_F(TransferTest, EnterClosesTheFinishedDialog) {
  sim::Watch_t watch(WatchProfile(sim::MakeLapHistory(History(1, false))));
  bool endedByKey = false;
  const int result = RunXfer(watch.PortPath(), false, [&](xfr::ProgressDlg_t& dialog) {
    ASSERT_TRUE(plat::PumpUntil([&] { return dialog.IsFinished(); }, kWaitMs));
    EXPECT_TRUE(plat::SendKeyToFocus(plat::kVkReturn));
    endedByKey = dialog.IsEnding();
    if (!endedByKey) ButtonOf(dialog, plat::kIdCancel).Click();
  });
  EXPECT_TRUE(endedByKey);
  EXPECT_EQ(result, plat::kIdOk);
  EXPECT_TRUE(messages.empty());
}

// A worker's failure ends the transfer, not the program: its report says what
// stopped and that the program goes on, not that it has to close.
TEST_F(TransferTest, AWorkersFailureIsReportedAsTheTransferStoppingWhileTheProgramGoesOn) {
  sim::LapFaults shortRecord;
  shortRecord.shortRecordAt = 1;
  sim::Watch_t watch(WatchProfile(sim::MakeLapHistory(History()), shortRecord));
  std::vector<std::string> intros;
  plat::SetModalHook([&](plat::Dialog_t& dialog) {
    if (auto* progress = dynamic_cast<app::XferDialog_t*>(&dialog)) WaitAndClose(*progress);
    if (dynamic_cast<err::ErrDlg_t*>(&dialog)) {
      intros.push_back(ItemText(dialog, err::ErrDlg_t::kIntroduction));
      Report(dialog);
    }
  });
  app::XferDialog_t dialog(watch.PortPath(), false, *tracks, laps);
  EXPECT_EQ(dialog.DoModal(), plat::kIdCancel);
  plat::SetModalHook(nullptr);
  ASSERT_EQ(intros.size(), 1u);
  const std::string task = Str(xfr::kTransferTaskString);
  EXPECT_EQ(intros[0], glo::StringResource_t(7307, GLO_SRC).Format(task, GLO_SRC));
  EXPECT_EQ(intros[0].find("has to close"), std::string::npos);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("LAPPACKET.CPP"), std::string::npos) << messages[0];
}

// ---- the transfer dialog --------------------------------------------------

class TransferDialogTest : public TransferTest {
 protected:
  // Runs the transfer dialog: OK on the watch's port, the new-unit dialog (if
  // it comes) answered with 'newUser', the progress dialog closed at its end.
  int Transfer(const std::string& port, const std::string& newUser = "anna", bool turnOff = false) {
    newUnitAsked = false;
    plat::SetModalHook([&](plat::Dialog_t& dialog) {
      if (auto* transfer = dynamic_cast<app::TransferDialog_t*>(&dialog)) {
        plat::SetComboText(transfer->PortSelector().Ctrl().PortList(), port);
        auto& check = ButtonOf(*transfer->GetDlgItem(app::TransferDialog_t::kOptionsTemplateId),
                               app::TransferDialog_t::kTurnOff);
        check.SetCheck(turnOff ? plat::kBstChecked : plat::kBstUnchecked);
        ButtonOf(*transfer, plat::kIdOk).Click();
        if (!transfer->IsEnding()) ButtonOf(*transfer, plat::kIdCancel).Click();  // it stayed open
      } else if (auto* unit = dynamic_cast<app::NewUnitDialog_t*>(&dialog)) {
        newUnitAsked = true;
        if (newUser.empty()) return ButtonOf(*unit, plat::kIdCancel).Click();
        plat::TypeComboText(dynamic_cast<plat::ComboBox_t&>(*unit->GetDlgItem(app::NewUnitDialog_t::kUserBox)),
                            newUser);
        ButtonOf(*unit, plat::kIdOk).Click();
        if (!unit->IsEnding()) ButtonOf(*unit, plat::kIdCancel).Click();  // the name was refused
      } else if (auto* progress = dynamic_cast<app::XferDialog_t*>(&dialog)) {
        WaitAndClose(*progress);
      } else if (dynamic_cast<err::ErrDlg_t*>(&dialog)) {
        Report(dialog);
      }
    });
    app::TransferDialog_t dialog;
    const int result = dialog.DoModal();
    plat::SetModalHook(nullptr);
    return result;
  }

  std::vector<std::int64_t> Keys() const {
    std::vector<std::int64_t> keys;
    for (const auto& run : doc.GetRuns()) keys.push_back(run.GetKey().GetValue() - kUnix);
    return keys;
  }

  app::Document_t doc;
  bool newUnitAsked = false;
};

TEST_F(TransferDialogTest, FirstTransferBindsTheUnitAndAddsItsRuns) {
  const auto runs = History();
  sim::Watch_t watch(WatchProfile(sim::MakeLapHistory(runs)));
  EXPECT_EQ(Transfer(watch.PortPath(), "anna", true), plat::kIdOk);
  EXPECT_TRUE(newUnitAsked);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(app::GetUserDatabase().find(3456789012u)->second, "anna");
  EXPECT_EQ(app::GetAppSettings().currentUser.Value(), "anna");
  EXPECT_TRUE(app::GetAppSettings().turnOff.Value());
  EXPECT_EQ(xfr::GetCommSettings().Port.Value(), watch.PortPath());
  std::vector<std::int64_t> expected;
  for (const auto& run : runs) expected.push_back(run.start);
  EXPECT_EQ(Keys(), expected);
  // The run with the pause has its whole track; the open run the one left.
  const app::Run_t& paused = *doc.FindRun(glo::Time_t(kUnix + runs[2].start));
  ASSERT_TRUE(paused.GetTrack().IsPresent());
  EXPECT_EQ(paused.GetTrack().Value().GetCount(), 61);
  EXPECT_FALSE(doc.FindRun(glo::Time_t(kUnix + runs[1].start))->GetTrack().IsPresent());
  EXPECT_TRUE(doc.FindRun(glo::Time_t(kUnix + runs[3].start))->GetTrack().IsPresent());
  // One undoable action.
  doc.OnUndo();
  EXPECT_TRUE(doc.GetRuns().empty());
  doc.OnRedo();
  EXPECT_EQ(doc.GetRuns().size(), runs.size());
}

TEST_F(TransferDialogTest, SecondTransferSkipsKnownRunsAndCompletesTheOpenOne) {
  auto runs = History();
  {
    sim::Watch_t watch(WatchProfile(sim::MakeLapHistory(runs)));
    ASSERT_EQ(Transfer(watch.PortPath()), plat::kIdOk);
  }
  const glo::Time_t openKey(kUnix + runs[3].start);
  doc.SetNotes(openKey, "felt good");
  // The open run has ended with a third lap, and a new run began.
  runs[3].end = sim::RunEnd::kTrack;
  runs[3].lapCount = 4;
  sim::SimRunSpec next;
  next.start = runs[3].start + kDay;
  next.trackIndex = 4;
  next.end = sim::RunEnd::kOpen;
  runs.push_back(next);
  sim::Watch_t watch(WatchProfile(sim::MakeLapHistory(runs)));
  EXPECT_EQ(Transfer(watch.PortPath()), plat::kIdOk);
  EXPECT_FALSE(newUnitAsked);
  EXPECT_TRUE(messages.empty());
  ASSERT_EQ(doc.GetRuns().size(), runs.size());
  const app::Run_t& completed = *doc.FindRun(openKey);
  EXPECT_EQ(completed.GetLaps().size(), 4u);
  EXPECT_EQ(completed.GetNotes(), "felt good");
  EXPECT_TRUE(completed.GetTrack().IsPresent());
  // Undo puts the open run back as it was.
  doc.OnUndo();
  EXPECT_EQ(doc.FindRun(openKey)->GetLaps().size(), 3u);
  EXPECT_EQ(doc.GetRuns().size(), runs.size() - 1);
}

TEST_F(TransferDialogTest, ASecondUnitOfANewUserStartsFromThatUsersFile) {
  {
    sim::Watch_t watch(WatchProfile(sim::MakeLapHistory(History())));
    ASSERT_EQ(Transfer(watch.PortPath(), "anna"), plat::kIdOk);
  }
  const std::size_t annas = doc.GetRuns().size();
  // Bob has a file of his own already.
  app::RunSet_t bobs;
  bobs.insert(trtest::MakeRun(trtest::kBase, 2));
  app::SaveRunDatabase(app::GetUserDatabase().DocumentPath("bob"), bobs);

  std::vector<sim::SimRunSpec> runs = History(1, false);
  runs[0].start += 100 * kDay;
  sim::Watch_t watch(WatchProfile(sim::MakeLapHistory(runs), sim::LapFaults(), 77));
  EXPECT_EQ(Transfer(watch.PortPath(), "bob"), plat::kIdOk);
  EXPECT_TRUE(newUnitAsked);
  EXPECT_EQ(app::GetAppSettings().currentUser.Value(), "bob");
  EXPECT_EQ(app::GetUserDatabase().find(77)->second, "bob");
  EXPECT_EQ(doc.GetRuns().size(), 2u);  // his stored run and the new one
  EXPECT_NE(doc.FindRun(glo::Time_t(trtest::kBase)), doc.GetRuns().end());
  // Anna's runs were saved under her name only.
  app::RunSet_t stored;
  app::LoadRunDatabase(app::GetUserDatabase().DocumentPath("anna"), stored);
  EXPECT_EQ(stored.size(), annas);
}

// A user whose name is blanks (kept from a list of an earlier version) can
// still be given a new unit: the name is an existing user's, not a new one.
TEST_F(TransferDialogTest, AStoredUserOfBlanksCanTakeANewUnit) {
  app::GetUserDatabase().AddUser(5, "  ");
  sim::Watch_t watch(WatchProfile(sim::MakeLapHistory(History())));
  EXPECT_EQ(Transfer(watch.PortPath(), "  "), plat::kIdOk);
  EXPECT_TRUE(newUnitAsked);
  EXPECT_EQ(messages, std::vector<std::string>{Str(app::NewUnitDialog_t::kStrExistingUser)});
  const auto bound = app::GetUserDatabase().find(3456789012u);
  ASSERT_NE(bound, app::GetUserDatabase().end());
  EXPECT_EQ(bound->second, "  ");
  EXPECT_EQ(app::GetUserDatabase().size(), 1u);
}

// A transfer that fails or is cancelled closes the dialog and leaves the user
// list and the document as they were; a lap naming a track that was not sent
// gives its run no track and the others come in.
TEST_F(TransferDialogTest, FailedTransfersChangeNothingAndAMissingTrackOnlyItsRun) {
  sim::LapFaults noLaps;
  noLaps.noLapProtocol = true;
  sim::LapFaults shortRecord;
  shortRecord.shortRecordAt = 1;
  for (const sim::LapFaults& faults : {noLaps, shortRecord}) {
    sim::Watch_t watch(WatchProfile(sim::MakeLapHistory(History()), faults));
    messages.clear();
    EXPECT_EQ(Transfer(watch.PortPath(), "anna"), plat::kIdOk);  // closed
    EXPECT_TRUE(newUnitAsked);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_TRUE(app::GetUserDatabase().empty());
    EXPECT_TRUE(doc.GetRuns().empty());
    EXPECT_EQ(app::GetAppSettings().currentUser.Value(), "");
  }
  auto runs = History();
  runs[0].end = sim::RunEnd::kMissingTrack;
  sim::Watch_t watch(WatchProfile(sim::MakeLapHistory(runs)));
  messages.clear();
  EXPECT_EQ(Transfer(watch.PortPath(), "anna"), plat::kIdOk);
  EXPECT_TRUE(messages.empty());
  ASSERT_EQ(doc.GetRuns().size(), runs.size());
  EXPECT_FALSE(doc.FindRun(glo::Time_t(kUnix + runs[0].start))->GetTrack().IsPresent());
  EXPECT_TRUE(doc.FindRun(glo::Time_t(kUnix + runs[2].start))->GetTrack().IsPresent());
}

// With an empty user list the first user's name may have a file left from
// before: that history is loaded, and the transfer adds to it.
TEST_F(TransferDialogTest, TheFirstUserOfAnEmptyListKeepsTheRunsStoredUnderTheName) {
  app::RunSet_t old;
  old.insert(trtest::MakeRun(trtest::kBase, 2));
  app::SaveRunDatabase(app::GetUserDatabase().DocumentPath("anna"), old);
  const auto runs = History();
  sim::Watch_t watch(WatchProfile(sim::MakeLapHistory(runs)));
  EXPECT_EQ(Transfer(watch.PortPath(), "anna"), plat::kIdOk);
  EXPECT_EQ(doc.GetRuns().size(), runs.size() + 1);
  EXPECT_NE(doc.FindRun(glo::Time_t(trtest::kBase)), doc.GetRuns().end());
  doc.SaveDatabase();
  app::RunSet_t stored;
  app::LoadRunDatabase(app::GetUserDatabase().DocumentPath("anna"), stored);
  EXPECT_EQ(stored.size(), runs.size() + 1);
}

// A name that cannot be a file name is refused in the new-unit dialog with
// the refusal's text, before the transfer goes on: nothing is downloaded and
// no user is added.
TEST_F(TransferDialogTest, TheNewUnitDialogRefusesNamesThatCannotBeFileNames) {
  // A unit no user owns.
  sim::Watch_t watch(WatchProfile(sim::MakeLapHistory(History()), sim::LapFaults(), 3456000001u));
  const std::vector<std::string> unsafe = {"../evil", "a/b", "..", "StridemereLogbook", "stridemerelogbook"};
  int refusedTimes = 0;
  const std::size_t usersBefore = app::GetUserDatabase().size();
  plat::SetModalHook([&](plat::Dialog_t& dialog) {
    if (auto* transfer = dynamic_cast<app::TransferDialog_t*>(&dialog)) {
      plat::SetComboText(transfer->PortSelector().Ctrl().PortList(), watch.PortPath());
      ButtonOf(*transfer, plat::kIdOk).Click();
      if (!transfer->IsEnding()) ButtonOf(*transfer, plat::kIdCancel).Click();
    } else if (auto* unit = dynamic_cast<app::NewUnitDialog_t*>(&dialog)) {
      auto& box = dynamic_cast<plat::ComboBox_t&>(*unit->GetDlgItem(app::NewUnitDialog_t::kUserBox));
      for (const std::string& name : unsafe) {
        plat::TypeComboText(box, name);
        ButtonOf(*unit, plat::kIdOk).Click();
        if (!unit->IsEnding()) ++refusedTimes;
      }
      if (!unit->IsEnding()) ButtonOf(*unit, plat::kIdCancel).Click();
    } else if (auto* progress = dynamic_cast<app::XferDialog_t*>(&dialog)) {
      WaitAndClose(*progress);
    }
  });
  app::TransferDialog_t dialog;
  EXPECT_EQ(dialog.DoModal(), plat::kIdCancel);
  plat::SetModalHook(nullptr);
  EXPECT_EQ(refusedTimes, static_cast<int>(unsafe.size()));
  EXPECT_EQ(messages, std::vector<std::string>(unsafe.size(), Str(7170)));
  EXPECT_FALSE(SentCommand(watch, sim::kCmdTracks));
  EXPECT_EQ(app::GetUserDatabase().size(), usersBefore);
  EXPECT_TRUE(doc.GetRuns().empty());
  EXPECT_FALSE(fs::exists(app::DataFolder() + "evil.bin"));
}

// The probe of a silent unit waits the link's whole time-out (three tries of
// the real three seconds) before it tells that no unit answered.
TEST_F(TransferDialogTest, ProbeWithoutAUnitKeepsTheDialogOpen) {
  sim::Watch_t silent;
  silent.SetSilent(true);
  EXPECT_EQ(Transfer(silent.PortPath()), plat::kIdCancel);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], Str(app::kStrNoAnswer));
  EXPECT_FALSE(newUnitAsked);
}

TEST_F(TransferDialogTest, ProbeWithTheNewUnitCancelledKeepsTheDialogOpen) {
  sim::Watch_t watch(WatchProfile(sim::MakeLapHistory(History())));
  EXPECT_EQ(Transfer(watch.PortPath(), ""), plat::kIdCancel);
  EXPECT_TRUE(newUnitAsked);
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(app::GetUserDatabase().empty());
  EXPECT_TRUE(doc.GetRuns().empty());
}

// The unit's id is read while the dialog stays alive: Cancel on a watch that
// stopped answering ends the dialog within a second, without a message.
TEST_F(TransferDialogTest, CancelWhileTheUnitIdIsReadEndsWithinASecondQuietly) {
  for (const unsigned waitMs : {200u, 4000u}) {  // at once, and after the link's first time-out
    SCOPED_TRACE(waitMs);
    sim::Watch_t silent;
    silent.SetSilent(true);
    messages.clear();
    std::chrono::steady_clock::time_point cancelled;
    std::thread user;
    plat::SetModalHook([&](plat::Dialog_t& dialog) {
      auto* transfer = dynamic_cast<app::TransferDialog_t*>(&dialog);
      if (transfer == nullptr) return;
      plat::SetComboText(transfer->PortSelector().Ctrl().PortList(), silent.PortPath());
      const plat::HWND window = transfer->GetSafeHwnd();
      user = std::thread([&, window] {
        std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
        cancelled = std::chrono::steady_clock::now();
        plat::PostMessage(window, plat::kWmCommand, plat::kIdCancel, 0);
      });
      ButtonOf(*transfer, plat::kIdOk).Click();  // returns once the reading has stopped
    });
    app::TransferDialog_t dialog;
    EXPECT_EQ(dialog.DoModal(), plat::kIdCancel);
    const auto ended = std::chrono::steady_clock::now();
    plat::SetModalHook(nullptr);
    user.join();
    const double cancelMs = std::chrono::duration<double, std::milli>(ended - cancelled).count();
    EXPECT_LT(cancelMs, kCancelBoundMs);
    EXPECT_TRUE(messages.empty()) << (messages.empty() ? "" : messages[0]);
    EXPECT_TRUE(silent.WaitHostFrames(1, std::chrono::milliseconds(1000)));  // it did ask the watch
  }
}

}  // namespace

namespace {

// The new-unit dialog: the name typed, asked about when a user has it.
TEST_F(TransferTest, NewUnitDialogAsksAboutAnExistingName) {
  app::Document_t doc;
  app::GetUserDatabase().AddUser(5, "anna");
  app::GetUserDatabase().AddUser(6, "  ");  // stored before blank names were refused
  struct Case {
    const char* typed;
    int answer;  // to the question about an existing user
    std::vector<std::string> asked;
    int result;
    int picked = -1;  // the entry chosen from the list instead of typing
  };
  const std::string empty = Str(app::NewUnitDialog_t::kStrEmptyName);
  const std::string existing = Str(app::NewUnitDialog_t::kStrExistingUser);
  const std::vector<Case> cases = {
      {"", plat::kIdOk, {empty}, plat::kIdCancel},
      {"   ", plat::kIdOk, {empty}, plat::kIdCancel},  // blanks show as no name
      {"bob", plat::kIdOk, {}, plat::kIdOk},
      {"Anna", plat::kIdOk, {}, plat::kIdOk},  // another user: case counts
      {"anna", plat::kIdOk, {existing}, plat::kIdOk},
      {"anna", plat::kIdCancel, {existing}, plat::kIdCancel},
      {"  ", plat::kIdOk, {existing}, plat::kIdOk, 1},  // a stored user of blanks can be chosen
      {"  ", plat::kIdOk, {existing}, plat::kIdOk},
      {" ", plat::kIdOk, {empty}, plat::kIdCancel},  // blanks that name nobody
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    messages.clear();
    std::vector<unsigned> types;
    plat::SetMessageBoxHook([&](const std::string& text, const std::string&, unsigned type) {
      messages.push_back(text);
      types.push_back(type);
      return c.answer;
    });
    std::vector<std::string> names;
    plat::SetModalHook([&](plat::Dialog_t& dialog) {
      auto& box = dynamic_cast<plat::ComboBox_t&>(*dialog.GetDlgItem(app::NewUnitDialog_t::kUserBox));
      for (int i = 0; i < box.GetCount(); ++i) {
        names.emplace_back();
        box.GetLBText(i, names.back());
      }
      if (c.picked >= 0)
        box.SetCurSel(c.picked);
      else
        plat::TypeComboText(box, c.typed);
      ButtonOf(dialog, plat::kIdOk).Click();
      if (!dialog.IsEnding()) ButtonOf(dialog, plat::kIdCancel).Click();  // it stayed open
    });
    app::NewUnitDialog_t dialog(77);
    EXPECT_EQ(dialog.DoModal(), c.result);
    EXPECT_EQ(names, (std::vector<std::string>{"anna", "  "}));
    EXPECT_EQ(messages, c.asked);
    // Neither box has an icon: OK alone for no name, OK and Cancel for a user's name.
    std::vector<unsigned> expectedTypes;
    for (const std::string& text : c.asked) expectedTypes.push_back(text == empty ? plat::kMbOk : plat::kMbOkCancel);
    EXPECT_EQ(types, expectedTypes);
    if (c.result == plat::kIdOk) {
      EXPECT_EQ(dialog.GetUserName(), c.typed);
    }
  }
}

// Enter in the name box is OK, as everywhere in a dialog.
TEST_F(TransferTest, EnterInTheNewUnitDialogsNameBoxIsOk) {
  bool ended = false;
  plat::SetModalHook([&](plat::Dialog_t& dialog) {
    auto& box = dynamic_cast<plat::ComboBox_t&>(*dialog.GetDlgItem(app::NewUnitDialog_t::kUserBox));
    plat::TypeComboText(box, "walker");
    box.SetFocus();
    EXPECT_TRUE(plat::SendKeyToFocus(plat::kVkReturn));
    ended = dialog.IsEnding();
    if (!ended) ButtonOf(dialog, plat::kIdCancel).Click();
  });
  app::NewUnitDialog_t dialog(78);
  EXPECT_EQ(dialog.DoModal(), plat::kIdOk);
  EXPECT_TRUE(ended);
  EXPECT_EQ(dialog.GetUserName(), "walker");
}

}  // namespace
