// The progress dialog driven by a real worker thread through its proxies:
// texts, position, title, message boxes, busy and finished states, and Cancel
// stopping the worker.
#include <atomic>
#include <chrono>
#include <thread>
#include <functional>
#include <memory>

#include "dio/DIO_Thread.h"
#include "plat/PLAT_Bars.h"
#include "plat/PLAT_Button.h"
#include "thr/THR_Delay.h"
#include "tests/xfr/XfrTestEnv.h"
#include "xfr/XFR_ProgressDlg.h"

namespace {

using xfr::ProgressDlgIntf_t;

// The worker's end of the test: the dialog and message box proxies it builds.
struct Job {
  std::function<void(xfr::ProxyProgressDlg_t&, xfr::ProxyMessageBox_t&)> body;
  std::atomic<int> step{0};   // set by the body as it goes
  std::atomic<int> end{0};    // 1 ran through, 2 stopped
  std::atomic<bool> go{true};  // false: the body waits until the test has looked
};

unsigned Worker(dio::Thread_t::Param_t* param) {
  auto* job = static_cast<Job*>(param->Argument());
  try {
    dio::RemoteReference_t dlgRef({dio::kProgressDlgInterface, 1}, param->AccessPoint());
    dio::RemoteReference_t boxRef({dio::kMessageBoxInterface, 1}, param->AccessPoint());
    xfr::ProxyProgressDlg_t dlg(dlgRef);
    xfr::ProxyMessageBox_t box(boxRef);
    while (!job->go.load()) thr::Delay(1, param->StopEvent().Handle());
    job->body(dlg, box);
    job->end = 1;
    // Then waits to be stopped, as a worker whose dialog is still up does.
    for (;;) thr::Delay(10000, param->StopEvent().Handle());
  } catch (const glo::Terminate_t&) {
    if (job->end == 0) job->end = 2;
  }
  return 0;
}

// Starts the worker in OnInitDialog; StopWork deletes it.
class TestProgressDlg : public xfr::ProgressDlg_t {
 public:
  explicit TestProgressDlg(Job& job, plat::Wnd_t* parent = nullptr, std::uint32_t delay = 0)
      : xfr::ProgressDlg_t(parent, delay, nullptr), m_job(job) {}
  int stopWorkCalls = 0;

 protected:
  bool OnInitDialog() override {
    const bool r = xfr::ProgressDlg_t::OnInitDialog();
    m_thread = std::make_unique<dio::Thread_t>(Worker, GetSafeHwnd(), dio::kCallMessage, &m_job, false);
    return r;
  }
  void StopWork() override {
    ++stopWorkCalls;
    m_thread.reset();
  }

 private:
  Job& m_job;
  std::unique_ptr<dio::Thread_t> m_thread;
};

class ProgressDlgTest : public xfrtest::DialogTest {
 protected:
  static bool WaitStep(const Job& job, int step) {
    return plat::PumpUntil([&] { return job.step.load() >= step; }, 20000);
  }
  static plat::Button_t& Cancel(plat::Dialog_t& d) { return dynamic_cast<plat::Button_t&>(*d.GetDlgItem(2)); }
  static int Pos(plat::Dialog_t& d) { return dynamic_cast<plat::ProgressCtrl_t&>(*d.GetDlgItem(5800)).GetPos(); }
};

TEST_F(ProgressDlgTest, WorkerDrivesTheDialogAndTheUserClosesItWhenFinished) {
  std::string asked;
  bool wentOnBeforeTheBoxClosed = false;
  Job job;
  plat::SetMessageBoxHook([&](const std::string& text, const std::string&, unsigned type) {
    asked = text;
    if (text == "Noted") {
      // The one-way box: the worker is not waiting for it.
      const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      while (job.step.load() < 3 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      wentOnBeforeTheBoxClosed = job.step.load() >= 3;
    }
    return type == plat::kMbYesNo ? plat::kIdNo : plat::kIdOk;
  });
  std::uint32_t answer = 0;
  job.body = [&](ProgressDlgIntf_t& dlg, xfr::MessageBoxIntf_t& box) {
    job.step = 1;
    dlg.SetItemText(5803, "");
    dlg.SetItemText(5802, "Receiving tracks");
    dlg.SetPos(37);
    dlg.SetItemText(5801, "37 %");
    dlg.SetTitle("Transfer from the watch");
    job.step = 2;
    answer = box.Show("Go on?", plat::kMbYesNo, 0);
    box.ShowOneWay("Noted", plat::kMbOk, 0);
    job.step = 3;
    dlg.SetItemText(5803, "All runs received.");
    dlg.SetFinished();
    dlg.HideProgressBar();
    job.step = 4;
  };
  job.go = false;
  TestProgressDlg dialog(job);
  int initialPos = -1;
  std::string initialText3;
  plat::SetModalHook([&](plat::Dialog_t& d) {
    initialPos = Pos(d);
    initialText3 = d.GetDlgItem(5803)->GetWindowText();
    job.go = true;
    ASSERT_TRUE(WaitStep(job, 2));
    EXPECT_EQ(Pos(d), 37);
    EXPECT_EQ(d.GetDlgItem(5802)->GetWindowText(), "Receiving tracks");
    d.SaveImage(PicturePath("progress"));
    ASSERT_TRUE(WaitStep(job, 4));
    plat::PumpUntilIdle();
    EXPECT_EQ(d.GetWindowText(), "Transfer from the watch");
    EXPECT_EQ(Cancel(d).GetWindowText(), Text(5809));
    EXPECT_FALSE(d.GetDlgItem(5800)->IsWindowVisible());
    d.SaveImage(PicturePath("progress-finished"));
    Cancel(d).Click();
  });
  EXPECT_EQ(dialog.DoModal(), plat::kIdOk);
  EXPECT_EQ(initialPos, 50);
  EXPECT_EQ(initialText3, Text(5810));
  EXPECT_EQ(answer, static_cast<std::uint32_t>(plat::kIdNo));
  EXPECT_EQ(asked, "Noted");  // the one-way box came second
  EXPECT_TRUE(wentOnBeforeTheBoxClosed);
  EXPECT_EQ(dialog.stopWorkCalls, 1);
  EXPECT_EQ(job.end.load(), 1);
}

TEST_F(ProgressDlgTest, CancelWhileWorkingStopsTheWorker) {
  Job job;
  job.body = [&](ProgressDlgIntf_t& dlg, xfr::MessageBoxIntf_t&) {
    dlg.SetPos(10);
    job.step = 1;
    // The next call waits on the dialog, which is gone by then.
    for (;;) dlg.SetPos(11);
  };
  TestProgressDlg dialog(job);
  plat::SetModalHook([&](plat::Dialog_t& d) {
    ASSERT_TRUE(WaitStep(job, 1));
    Cancel(d).Click();
  });
  EXPECT_EQ(dialog.DoModal(), plat::kIdCancel);
  EXPECT_EQ(dialog.stopWorkCalls, 1);
  EXPECT_EQ(job.end.load(), 2);
}

TEST_F(ProgressDlgTest, BusyDialogRefusesCancelAndOkUntilTheWorkerClosesIt) {
  Job job;
  job.body = [&](ProgressDlgIntf_t& dlg, xfr::MessageBoxIntf_t&) {
    dlg.SetBusy();
    job.step = 1;
  };
  Job closer;
  TestProgressDlg dialog(job);
  plat::SetModalHook([&](plat::Dialog_t& d) {
    ASSERT_TRUE(WaitStep(job, 1));
    auto& p = static_cast<TestProgressDlg&>(d);
    EXPECT_TRUE(p.IsBusy());
    EXPECT_FALSE(Cancel(d).IsWindowEnabled());
    EXPECT_EQ(d.GetStyle() & plat::kWsSysMenu, 0u);
    d.SendMessage(plat::kWmClose);                   // the frame's close box
    d.SendMessage(plat::kWmCommand, plat::kIdOk);    // Enter before finished
    EXPECT_FALSE(d.IsEnding());
    p.ClearBusy();
    EXPECT_TRUE(Cancel(d).IsWindowEnabled());
    p.Close();  // as the worker would: neither finished nor busy
  });
  EXPECT_EQ(dialog.DoModal(), plat::kIdCancel);
  EXPECT_EQ(dialog.stopWorkCalls, 0);
}

TEST_F(ProgressDlgTest, DelayedDialogStaysCollapsedThenCentresOnItsParent) {
  // Shown after the delay only while the work is not yet half done.
  Job job;
  job.body = [](ProgressDlgIntf_t& dlg, xfr::MessageBoxIntf_t&) { dlg.SetPos(10); };
  plat::Wnd_t parent;
  ASSERT_TRUE(parent.Create(nullptr, 0, plat::kWsOverlappedWindow, plat::RECT{100, 100, 700, 500}));
  TestProgressDlg dialog(job, &parent, 50);
  plat::RECT collapsed{}, shown{};
  plat::SetModalHook([&](plat::Dialog_t& d) {
    collapsed = d.GetWindowRect();
    plat::PumpUntil([&] { return d.GetWindowRect().right - d.GetWindowRect().left > 100; }, 20000);
    shown = d.GetWindowRect();
    d.EndDialog(plat::kIdCancel);
  });
  dialog.DoModal();
  EXPECT_LT(collapsed.right - collapsed.left, 20);  // as small as the platform allows
  const plat::RECT p = parent.GetWindowRect();
  EXPECT_NEAR((shown.left + shown.right) / 2, (p.left + p.right) / 2, 1);
  EXPECT_NEAR((shown.top + shown.bottom) / 2, (p.top + p.bottom) / 2, 1);
}

}  // namespace
