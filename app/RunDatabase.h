#pragma once
// The run database: one file per user, the header with the tag "DlRf" and
// then the runs.
#include <string>

#include "app/DataFile.h"
#include "app/RunSet.h"
#include "bin/BIN_stream.h"

namespace app {

constexpr char kRunDatabaseTag[] = "DlRf";
constexpr std::uint16_t kRunDatabaseVersion = 100;

// The body: the number of runs, then every run in set order.
void WriteRuns(bin::ostream& out, const RunSet_t& runs);

// Reads the body into 'runs' (added to what it holds). app::BadStream_t when a
// run cannot be read; the runs read before stay in the set. A run whose key
// repeats one already in the set is dropped (the first is kept) and the
// reading goes on.
void ReadRuns(bin::istream& in, RunSet_t& runs);

// Writes the runs to the file whole or not at all (SaveDataFile).
void SaveRunDatabase(const std::string& path, const RunSet_t& runs);

// Loads the file into 'runs' (LoadDataFile): a missing file adds nothing; of
// an unreadable file the runs read before the damage are kept.
LoadOutcome_t LoadRunDatabase(const std::string& path, RunSet_t& runs);

}  // namespace app
