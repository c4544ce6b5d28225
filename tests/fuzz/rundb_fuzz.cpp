// The run database file on any bytes: header and runs as the loader reads them.
// What was read is written again, read back, and written the same.
#include <string>
#include <vector>

#include "app/DataFile.h"
#include "app/RunDatabase.h"
#include "bin/BIN_stream.h"
#include "doc/DOC_Info.h"
#include "tests/fuzz/FuzzSeeds.h"

namespace {

doc::Info_t Header(std::uint16_t layout = 101, std::uint16_t data = 100) {
  return doc::Info_t("DlRf", data, doc::AppBuildInfo_t(205, "REL", "Dec 10 2026", "12:00:00"),
                     std::string("Stridemere Logbook"), layout);
}

std::string FileBytes(const app::RunSet_t& runs, const doc::Info_t& header = Header()) {
  bin::stringstream out;
  doc::Info_t::Write(out, header);
  app::WriteRuns(out, runs);
  return out.str();
}

std::string BodyBytes(const app::RunSet_t& runs) {
  bin::stringstream out;
  app::WriteRuns(out, runs);
  return out.str();
}

app::Run_t MakeRun(std::int64_t start, int laps, int points, const std::string& notes) {
  gdb::Track_t track;
  for (int i = 0; i < points; ++i)
    track.AppendPoint(gdb::TrackPoint_t(geo::Position_t(500000000 + i * 900, 90000000 - i * 700, 400.0 + i),
                                        glo::Time_t(start + 10 * i), i % 2 ? glo::Optional_t<double>(1.5) : glo::Optional_t<double>()));
  app::LapSet_t set;
  for (int k = 0; k < laps; ++k)
    set.insert(app::Lap_t(glo::Time_t(start + 100 * k), 10000, geo::Position_t(500000000, 90000000),
                          glo::Optional_t<geo::Position_t>(), 1000.0f + k, 50, std::uint8_t(140 + k)));
  glo::Optional_t<gdb::Track_t> runTrack;
  if (points > 0) runTrack = track;
  return app::Run_t(set, runTrack, notes);
}

}  // namespace

std::vector<std::string> StrideFuzzSeeds() {
  app::RunSet_t runs;
  runs.insert(MakeRun(1110189600, 2, 25, "Caf\xC3\xA9 & <notes>"));
  runs.insert(MakeRun(1110276000, 1, 0, ""));
  runs.insert(MakeRun(1110362400, 3, 3, "x"));
  std::vector<std::string> seeds = {FileBytes(runs), FileBytes(app::RunSet_t()),
                                    FileBytes(runs, Header(102, 100)), FileBytes(runs, Header(101, 101))};
  const std::string good = FileBytes(runs);
  seeds.push_back(good.substr(0, good.size() / 2));
  // A huge run count, and the first run twice.
  const std::size_t header = FileBytes(app::RunSet_t()).size() - 4;
  seeds.push_back(good.substr(0, header) + "\xFF\xFF\xFF\xFF" + good.substr(header + 4));
  app::RunSet_t one;
  one.insert(*runs.begin());
  const std::string run = BodyBytes(one).substr(4);
  seeds.push_back(good.substr(0, header) + std::string("\x02\0\0\0", 4) + run + run);
  return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  bin::stringstream in(fuzz::Bytes(data, size));
  app::RunSet_t runs;
  // Every failure of a damaged file ends in a status; an exception here is a finding.
  const app::LoadOutcome_t::Status_t status =
      app::ReadDataFile(in, app::kRunDatabaseTag, app::kRunDatabaseVersion,
                        [&runs](bin::istream& s) { app::ReadRuns(s, runs); });
  if (status != app::LoadOutcome_t::kLoaded && status != app::LoadOutcome_t::kUnreadable &&
      status != app::LoadOutcome_t::kNewer)
    __builtin_trap();
  for (const app::Run_t& run : runs)
    if (!run.HasLaps()) __builtin_trap();
  // What was read is written and read back the same.
  bin::stringstream back(BodyBytes(runs));
  app::RunSet_t again;
  try {
    app::ReadRuns(back, again);
  } catch (...) {
    __builtin_trap();
  }
  if (again.size() != runs.size()) __builtin_trap();
  // An absent point time is written as the current second: the two are
  // written again when the clock moved on between them (a busy machine may
  // stall the process for seconds).
  for (int attempt = 0; attempt < 5; ++attempt)
    if (BodyBytes(again) == BodyBytes(runs)) return 0;
  __builtin_trap();
}
