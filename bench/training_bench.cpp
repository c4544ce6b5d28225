// Training-log benchmarks on a synthetic ten-year history: 3,650 daily runs of
// 2,000 timed points with altitude, five laps each. Saving and loading the run
// database (every lap taking its part of the track on load), with the memory
// the loaded runs take, and the XML export of the history.
#include <malloc.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/BenchHistory.h"
#include "app/RunDatabase.h"
#include "app/RunSet.h"
#include "app/XmlExport.h"
#include "gdb/GDB_Track.h"

namespace {

using bench::Clock;
using bench::MsSince;

// TRAINING_BENCH_RUNS in the environment makes a shorter history.
const int kRuns = std::getenv("TRAINING_BENCH_RUNS") ? std::atoi(std::getenv("TRAINING_BENCH_RUNS")) : 3650;
using bench::kLaps;
using bench::kPoints;
constexpr std::int64_t kFirstRun = 946710000;  // 2000-01-01 07:00 UTC

app::Run_t MakeRun(int day) { return bench::MakeRun(kFirstRun, day); }

std::size_t HeapInUse() { return mallinfo2().uordblks; }

}  // namespace

int main() {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "training_bench";
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "Runner.bin").string();

  app::RunSet_t history;
  auto start = Clock::now();
  for (int day = 0; day < kRuns; ++day) history.insert(MakeRun(day));
  std::printf("build history: %d runs x %d points in %.0f ms\n", kRuns, kPoints, MsSince(start));

  start = Clock::now();
  app::SaveRunDatabase(path, history);
  const double saveMs = MsSince(start);
  const double fileMb = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  std::printf("save: %.0f ms, file %.1f MB (%.0f MB/s)\n", saveMs, fileMb, fileMb / (saveMs / 1000.0));
  history.clear();

  malloc_trim(0);
  const std::size_t before = HeapInUse();
  start = Clock::now();
  app::RunSet_t loaded;
  const app::LoadOutcome_t outcome = app::LoadRunDatabase(path, loaded);
  const double loadMs = MsSince(start);
  const double heapMb = static_cast<double>(HeapInUse() - before) / 1e6;
  std::printf("load: %.0f ms (%zu runs, status %d), heap %.1f MB = %.2f x the file\n", loadMs, loaded.size(),
              static_cast<int>(outcome.status), heapMb, heapMb / fileMb);

  const std::string xmlPath = (folder / "history.xml").string();
  start = Clock::now();
  const bool exported = !app::ExportHistoryXml(xmlPath, loaded).IsPresent();
  const double exportMs = MsSince(start);
  const double xmlMb = static_cast<double>(std::filesystem::file_size(xmlPath)) / 1e6;
  std::printf("XML export: %.0f ms, %.1f MB (%.0f MB/s)%s\n", exportMs, xmlMb, xmlMb / (exportMs / 1000.0),
              exported ? "" : " FAILED");

  std::filesystem::remove_all(folder);
  return outcome.status == app::LoadOutcome_t::kLoaded ? 0 : 1;
}
