#include "app/RunDatabase.h"

#include <cstdint>
#include <utility>

namespace app {

void WriteRuns(bin::ostream& out, const RunSet_t& runs) {
  bin::write_le(out, static_cast<std::uint32_t>(runs.size()));
  for (const Run_t& run : runs) run.Write(out);
}

void ReadRuns(bin::istream& in, RunSet_t& runs) {
  std::uint32_t count = 0;
  bin::read_le(in, count);
  if (!in.good()) throw BadStream_t(GLO_SRC);
  for (std::uint32_t i = 0; i < count; ++i) {
    Run_t run;
    run.Read(in);
    if (!runs.insert(std::move(run)).second) throw BadStream_t(GLO_SRC);
  }
}

void SaveRunDatabase(const std::string& path, const RunSet_t& runs) {
  SaveDataFile(path, MakeFileHeader(kRunDatabaseTag, kRunDatabaseVersion),
               [&runs](bin::ostream& out) { WriteRuns(out, runs); });
}

LoadOutcome_t LoadRunDatabase(const std::string& path, RunSet_t& runs) {
  return LoadDataFile(path, kRunDatabaseTag, kRunDatabaseVersion, [&runs](bin::istream& in) { ReadRuns(in, runs); });
}

}  // namespace app
