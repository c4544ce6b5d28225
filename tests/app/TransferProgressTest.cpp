// The progress thread's texts: the phase table, the percentage, the final
// texts, and the stop request.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/TransferProgress.h"
#include "dio/DIO_Reference.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"
#include "plat/PLAT_Dialog.h"
#include "thr/THR_Event.h"

namespace {

std::string Str(int id) { return glo::StringResource_t(id, GLO_SRC).Text(); }

// The dialog's calls as the progress thread makes them, in order.
class Recorder : public xfr::ProgressDlgIntf_t {
 public:
  void SetItemText(std::uint32_t id, const std::string& text) override {
    calls.push_back("text " + std::to_string(id) + " " + text);
  }
  void SetPos(std::uint32_t position) override { calls.push_back("pos " + std::to_string(position)); }
  void SetTitle(const std::string& text) override { calls.push_back("title " + text); }
  void HideProgressBar() override { calls.push_back("hide"); }
  void SetBusy() override {}
  void ClearBusy() override {}
  void SetFinished() override { calls.push_back("finished"); }
  void Close() override { calls.push_back("close"); }
  std::vector<std::string> calls;
};

// A fatal report that must not be needed.
class NoReport : public dio::ReferenceIntf_t {
 public:
  void CallConst(dio::Stack_t&) override { ADD_FAILURE() << "fatal report"; }
  void Call(dio::Stack_t&) override { ADD_FAILURE() << "fatal report"; }
};

class TransferProgressTest : public ::testing::Test {
 protected:
  void SetUp() override { plat::SetResourceHandle(glo::GetResourceModule()); }
  thr::Event_t stop{nullptr, true, false, nullptr};
  app::TransferProgress_t progress{0, ioa::kPhaseStarted, 0};
  Recorder dialog;
  app::ProgThread_t thread{stop, progress, dialog};
};

TEST_F(TransferProgressTest, PhaseTexts) {
  const struct {
    ioa::Phase_t phase;
    int text;  // 0: left as it is
  } table[] = {{ioa::kPhaseStarted, app::kStrPhaseStarted},
               {ioa::kPhaseTracks, app::kStrPhaseTracks},
               {ioa::kPhaseLaps, app::kStrPhaseLaps},
               {ioa::kPhaseFinished, 0}};
  for (const auto& row : table) {
    std::string text;
    EXPECT_EQ(app::ProgThread_t::PhaseText(row.phase, text), row.text != 0);
    if (row.text != 0) {
      EXPECT_EQ(text, Str(row.text));
    }
  }
  std::string text;
  EXPECT_THROW(app::ProgThread_t::PhaseText(static_cast<ioa::Phase_t>(5), text), glo::Assert_t);
}

TEST_F(TransferProgressTest, PercentOfTheLapsAndOfAnEmptyRange) {
  progress.SetPhase(ioa::kPhaseLaps, 4);
  for (int i = 0; i < 3; ++i) progress.Increment();
  thread.ShowPhase();
  thread.ShowProgress();
  progress.SetPhase(ioa::kPhaseFinished, 0);
  thread.ShowProgress();
  const std::string percent = Str(app::kStrPercent);
  auto with = [&](const char* n) { return std::string(percent).replace(percent.find("%0"), 2, n); };
  EXPECT_EQ(dialog.calls, (std::vector<std::string>{"text 5802 " + Str(app::kStrPhaseLaps), "pos 75",
                                                    "text 5801 " + with("75"), "pos 0", "text 5801 " + with("0")}));
}

TEST_F(TransferProgressTest, FinishedPhaseWritesTheFinalTextsOnce) {
  progress.SetPhase(ioa::kPhaseFinished, 0);
  NoReport report;
  thread.Run(report);
  EXPECT_EQ(dialog.calls,
            (std::vector<std::string>{"text 5803 ", "text 5802 ", "title " + Str(app::kStrFinishedTitle),
                                      "text 5803 " + Str(app::kStrFinishedStatus), "text 5801 ", "finished",
                                      "hide"}));
}

TEST_F(TransferProgressTest, StopEndsQuietly) {
  stop.Set();
  NoReport report;
  thread.Run(report);
  EXPECT_EQ(dialog.calls, std::vector<std::string>{"text 5803 "});
}

}  // namespace
