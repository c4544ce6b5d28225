#include "app/RunDatabase.h"

#include <cstdint>
#include <exception>
#include <utility>
#include <vector>

#include "thr/THR_Parallel.h"

namespace app {

void WriteRuns(bin::ostream& out, const RunSet_t& runs) {
  bin::write_le(out, static_cast<std::uint32_t>(runs.size()));
  for (const Run_t& run : runs) run.Write(out);
}

void ReadRuns(bin::istream& in, RunSet_t& runs) {
  std::uint32_t count = 0;
  bin::read_le(in, count);
  if (!in.good()) throw BadStream_t(GLO_SRC);
  // The runs are read from the stream in order; building their tracks and
  // the laps' parts of them, which takes most of the time, is spread over the
  // processors. The runs then join the set in the file's order, up to the
  // first that could not be read or built, whose failure is passed on.
  std::vector<StoredRun_t> stored;
  std::exception_ptr readFailure;
  try {
    for (std::uint32_t i = 0; i < count; ++i) {
      StoredRun_t run;
      Run_t::ReadStored(in, run);
      stored.push_back(std::move(run));
    }
  } catch (...) {
    readFailure = std::current_exception();
  }
  std::vector<Run_t> built(stored.size());
  std::vector<std::exception_ptr> buildFailures(stored.size());
  thr::ForEachIndex(stored.size(), [&stored, &built, &buildFailures](std::size_t i) {
    try {
      StoredRun_t run(std::move(stored[i]));  // freed once built
      built[i].Assign(std::move(run));
    } catch (...) {
      buildFailures[i] = std::current_exception();
    }
  });
  stored.clear();
  for (std::size_t i = 0; i < built.size(); ++i) {
    if (buildFailures[i]) std::rethrow_exception(buildFailures[i]);
    if (!runs.insert(std::move(built[i])).second) throw BadStream_t(GLO_SRC);
  }
  if (readFailure) std::rethrow_exception(readFailure);
}

void SaveRunDatabase(const std::string& path, const RunSet_t& runs) {
  SaveDataFile(path, MakeFileHeader(kRunDatabaseTag, kRunDatabaseVersion),
               [&runs](bin::ostream& out) { WriteRuns(out, runs); });
}

LoadOutcome_t LoadRunDatabase(const std::string& path, RunSet_t& runs) {
  return LoadDataFile(path, kRunDatabaseTag, kRunDatabaseVersion, [&runs](bin::istream& in) { ReadRuns(in, runs); });
}

}  // namespace app
