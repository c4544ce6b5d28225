// The program's window on a ten-year history (3,650 daily runs of 2,000
// points, five laps each), offscreen: start-up to the first paint of the main
// window without the splash pause, building the history tree, and deleting
// the whole history, undoing and redoing it, with the memory each takes.
//
//   app_bench [--screenshot FILE.png]   also saves the main window as a picture
// APP_BENCH_RUNS in the environment makes a shorter history.
#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "bench/BenchHistory.h"
#include "app/AppSettings.h"
#include "app/Application.h"
#include "app/Commands.h"
#include "app/DataFile.h"
#include "app/Document.h"
#include "app/LapPage.h"
#include "app/ValueFormat.h"
#include "app/MainFrame.h"
#include "app/RunDatabase.h"
#include "app/UserDatabase.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_MessageBox.h"

namespace {

using bench::Clock;
using bench::MsSince;

using bench::kLaps;
using bench::kPoints;
constexpr std::int64_t kFirstRun = 1104562800;  // 2005-01-01 07:00 UTC

app::Run_t MakeRun(int day) { return bench::MakeRun(kFirstRun, day); }

double HeapMb() {
  malloc_trim(0);
  return static_cast<double>(mallinfo2().uordblks) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  const char* screenshot = argc == 3 && std::strcmp(argv[1], "--screenshot") == 0 ? argv[2] : nullptr;
  const int runs = std::getenv("APP_BENCH_RUNS") ? std::atoi(std::getenv("APP_BENCH_RUNS")) : 3650;

  // A private home for the data and settings folders.
  char home[] = "/tmp/app_bench_XXXXXX";
  if (!::mkdtemp(home)) return 1;
  for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "TMPDIR", "XDG_RUNTIME_DIR"})
    ::setenv(name, home, 1);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (!plat::EnsureGuiApplication()) return 1;
  plat::SetMessageBoxHook([](const std::string&, const std::string&, unsigned) { return plat::kIdOk; });

  {
    app::UserDatabase_t users(app::DataFolder());
    users.Load();
    users.AddUser(3456, "Runner");
    users.Save();
    app::RunSet_t history;
    for (int day = 0; day < runs; ++day) history.insert(MakeRun(day));
    app::SaveRunDatabase(users.DocumentPath("Runner"), history);
    app::GetAppSettings().currentUser.Set("Runner");
  }
  const double heapBefore = HeapMb();

  app::Application_t application;
  application.SetSplashPause(0);
  auto start = Clock::now();
  if (!application.InitInstance(app::kSwShowNormal)) return 1;
  app::MainFrame_t& frame = *application.Frame();
  frame.UpdateWindow();
  plat::PumpUntilIdle();
  const double startMs = MsSince(start);
  const double historyMb = HeapMb() - heapBefore;
  app::Document_t& document = app::GetDocument();
  std::printf("start-up to the first paint: %.0f ms (%zu runs, history %.0f MB in memory)\n", startMs,
              document.GetRuns().size(), historyMb);

  app::HistoryTree_t& tree = frame.GetTreeView().History();
  start = Clock::now();
  tree.Reset();
  const double resetMs = MsSince(start);
  for (const app::Run_t& run : document.GetRuns()) tree.AddRun(run);
  std::printf("building the tree: %.0f ms\n", MsSince(start));
  std::printf("  of which emptying it and selecting its root (the panes follow the selection): %.0f ms\n", resetMs);
  {
    // What of it is the texts of the items.
    const auto begin = Clock::now();
    std::size_t length = 0;
    for (const app::Run_t& run : document.GetRuns()) {
      length += app::FormatWeekLabel(run.GetKey()).size() + app::RunItemLabel(run).size();
      for (const app::Lap_t& lap : run.GetLaps()) length += app::FormatLocalTime(lap.GetStart()).size();
    }
    std::printf("  of which the item texts: %.0f ms (%zu bytes)\n", MsSince(begin), length);
  }

  plat::TreeCtrl_t& control = frame.GetTreeView().Control();
  if (screenshot) {
    const plat::HTREEITEM week = control.GetChildItem(control.GetRootItem());
    control.Expand(control.GetRootItem(), true);
    control.Expand(week, true);
    control.SelectItem(control.GetChildItem(week));
    plat::PumpUntilIdle();
    std::printf("screenshot %s: %s\n", screenshot, frame.SaveImage(screenshot) ? "saved" : "FAILED");
  }

  control.SelectItem(control.GetRootItem());
  double peak = 0;
  const auto step = [&](const char* name, unsigned command) {
    const auto begin = Clock::now();
    frame.RouteCommand(command);
    const double ms = MsSince(begin);
    const double mb = HeapMb() - heapBefore;
    if (mb > peak) peak = mb;
    std::printf("%s: %.0f ms, %zu runs, heap %.0f MB\n", name, ms, document.GetRuns().size(), mb);
  };
  step("delete all", app::kCmdDeleteSelection);
  step("undo", app::kCmdUndo);
  step("redo", app::kCmdRedo);
  std::printf("peak memory %.2f x the history's\n", historyMb > 0 ? peak / historyMb : 0.0);

  frame.SendMessage(plat::kWmClose);
  application.ExitInstance();
  std::filesystem::remove_all(home);
  return 0;
}
