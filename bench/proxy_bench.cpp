// Round trip of a cross-thread call: a worker sets the position of a progress
// dialog through its proxy while the user-interface thread runs its pump; prints
// the median and the tail of the per-call times.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "dio/DIO_LocalAccessPoint.h"
#include "dio/DIO_Thread.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Gui.h"
#include "xfr/XFR_ProgressDlg.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kCalls = 20000;

// The dialog side without a dialog: keeps the last position.
class Target : public xfr::ProgressDlgIntf_t {
 public:
  std::uint32_t pos = 0;
  void SetItemText(std::uint32_t, const std::string&) override {}
  void SetPos(std::uint32_t p) override { pos = p; }
  void SetTitle(const std::string&) override {}
  void HideProgressBar() override {}
  void SetBusy() override {}
  void ClearBusy() override {}
  void SetFinished() override {}
  void Close() override {}
};

class Server : public plat::Wnd_t {
 public:
  Server() {
    local.Register({dio::kProgressDlgInterface, 1}, ref);
    Create(nullptr, 0, plat::kWsOverlappedWindow, plat::RECT{0, 0, 100, 100});
  }
  Target target;
  xfr::ProgressDlgRef_t ref{target};
  dio::LocalAccessPoint_t local;
  dio::UIServer_t server{local};

 protected:
  bool OnMessage(unsigned message, plat::WPARAM w, plat::LPARAM l, plat::LRESULT& result) override {
    return server.HandleMessage(message, w, l, result);
  }
};

struct Run {
  std::vector<double> micros;
  std::atomic<bool> done{false};
};

unsigned Worker(dio::Thread_t::Param_t* param) {
  auto* run = static_cast<Run*>(param->Argument());
  dio::RemoteReference_t ref({dio::kProgressDlgInterface, 1}, param->AccessPoint());
  xfr::ProxyProgressDlg_t dlg(ref);
  run->micros.reserve(kCalls);
  for (int i = 0; i < kCalls; ++i) {
    const auto start = Clock::now();
    dlg.SetPos(static_cast<std::uint32_t>(i % 101));
    run->micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  run->done = true;
  return 0;
}

}  // namespace

int main() {
  if (!plat::EnsureGuiApplication()) return 1;
  Server window;
  Run run;
  dio::Thread_t thread(Worker, window.GetSafeHwnd(), dio::kCallMessage, &run, false);
  if (!plat::PumpUntil([&] { return run.done.load(); }, 600000)) return 1;
  std::vector<double> t = run.micros;
  std::sort(t.begin(), t.end());
  auto at = [&](double q) { return t[static_cast<std::size_t>(q * static_cast<double>(t.size() - 1))]; };
  std::printf("proxy call round trip, %d calls: median %.1f us, p90 %.1f us, p99 %.1f us, max %.1f us\n", kCalls,
              at(0.5), at(0.9), at(0.99), t.back());
  return 0;
}
