// Imports 100 new runs from a transfer into a ten-year history of four runs a
// week: the grouping of the laps into runs with their tracks, the undoable
// addition to the document and the history tree's new items. Prints the time
// of each import (the aim: under 0.5 s).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/AppSettings.h"
#include "app/Document.h"
#include "app/HistoryTree.h"
#include "app/RunImport.h"
#include "glo/GLO_StringResource.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_Tree.h"
#include "tools/SimLaps.h"

namespace {

constexpr std::uint32_t kDay = 86400;
constexpr std::uint32_t kFirst = 820000000u;  // device time, late 2015
constexpr int kHistoryRuns = 4 * 52 * 10;
constexpr int kNewRuns = 100;
constexpr std::int64_t kUnix = 631065600;

// Run i: every other day or so, three laps of ten minutes, a point every 10 s.
sim::SimRunSpec Spec(int i) {
  sim::SimRunSpec run;
  run.start = kFirst + static_cast<std::uint32_t>(i) * (7 * kDay / 4);
  run.lapCount = 3;
  run.lapSeconds = 600;
  run.trackIndex = static_cast<std::uint8_t>(i % 200);
  return run;
}

std::vector<app::LapPacket_t> Packets(const std::vector<sim::Frame>& frames) {
  std::vector<app::LapPacket_t> laps;
  app::LapPacket_t packet;
  for (const sim::Frame& frame : frames) {
    packet.Decode(iol::Frame_t(frame.id, std::vector<std::uint8_t>(frame.data.begin(), frame.data.end())));
    laps.push_back(packet);
  }
  return laps;
}

// The downloaded tracks of the history, as the track download stores them.
void AddTracks(const sim::TrackLog& log, gdb::Database_t& tracks) {
  for (const sim::SimTrack& simTrack : log.tracks) {
    gdb::Track_t track;
    for (const sim::SimTrackPoint& p : simTrack.points)
      track.AppendPoint(gdb::TrackPoint_t(geo::Position_t(p.latitude, p.longitude, *p.altitude),
                                          glo::Time_t(kUnix + p.time)));
    const std::string name = std::to_string(simTrack.index);
    track.SetName(name);
    tracks.InsertTrack(gdb::TrackId_t(gdb::Name_t(name)), track);
  }
}

}  // namespace

int main() {
  using Clock = std::chrono::steady_clock;
  const std::string home = std::filesystem::temp_directory_path() / ("transfer_bench." + std::to_string(::getpid()));
  std::filesystem::create_directories(home);
  ::setenv("HOME", home.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
  ::setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
  if (!plat::EnsureGuiApplication()) return 1;
  plat::SetResourceHandle(glo::GetResourceModule());

  plat::Wnd_t host;
  plat::TreeCtrl_t control;
  host.Create(nullptr, 0, plat::kWsPopup, plat::RECT{0, 0, 300, 400});
  control.Create(&host, 1, plat::kWsChild | plat::kWsVisible, plat::RECT{0, 0, 300, 400});
  app::Document_t doc;
  app::HistoryTree_t tree(control, doc.GetRuns());
  tree.InsertRoot();
  doc.SetTree(&tree);

  // The stored history: the first ten years, added once.
  {
    std::vector<sim::SimRunSpec> specs;
    for (int i = 0; i < kHistoryRuns; ++i) specs.push_back(Spec(i));
    std::vector<sim::Frame> frames;
    gdb::Database_t tracks(gdb::Name_t(), 3);
    app::RunSet_t runs;
    for (int from = 0; from < kHistoryRuns; from += 200) {
      const std::vector<sim::SimRunSpec> part(specs.begin() + from,
                                              specs.begin() + std::min(from + 200, kHistoryRuns));
      const sim::LapHistory history = sim::MakeLapHistory(part);
      gdb::Database_t partTracks(gdb::Name_t(), 3);
      AddTracks(history.log, partTracks);
      const app::ImportedRuns_t imported = app::GroupLapsIntoRuns(Packets(history.laps), partTracks, runs);
      for (const app::Run_t& run : imported.runs) runs.insert(run);
    }
    doc.AddRunsFromTransfer(runs);
  }

  // The transfer: the whole unit's memory, the history's last 20 runs (known)
  // and 100 new ones.
  std::vector<sim::SimRunSpec> specs;
  for (int i = kHistoryRuns - 20; i < kHistoryRuns + kNewRuns; ++i) specs.push_back(Spec(i));
  const sim::LapHistory history = sim::MakeLapHistory(specs);
  const std::vector<app::LapPacket_t> laps = Packets(history.laps);

  std::vector<double> times;
  for (int round = 0; round < 5; ++round) {
    gdb::Database_t tracks(gdb::Name_t(), 3);
    AddTracks(history.log, tracks);
    const auto start = Clock::now();
    const app::ImportedRuns_t imported = app::GroupLapsIntoRuns(laps, tracks, doc.GetRuns());
    doc.AddRunsFromTransfer(imported.runs, imported.replaced);
    doc.UpdateAllViews();
    const auto end = Clock::now();
    times.push_back(std::chrono::duration<double>(end - start).count());
    if (imported.runs.size() != static_cast<std::size_t>(kNewRuns)) {
      std::fprintf(stderr, "expected %d new runs, got %zu\n", kNewRuns, imported.runs.size());
      return 1;
    }
    doc.OnUndo();
  }
  std::sort(times.begin(), times.end());
  std::printf("history: %zu runs; import of %d new runs (%zu laps): best %.3f s, median %.3f s, worst %.3f s\n",
              doc.GetRuns().size(), kNewRuns, laps.size(), times.front(), times[times.size() / 2], times.back());
  std::filesystem::remove_all(home);
  return 0;
}
