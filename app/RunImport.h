#pragma once
// The runs of a transfer: the downloaded laps grouped into runs with their
// tracks, measured against the runs the document holds already.
#include <string>
#include <vector>

#include "app/LapPacket.h"
#include "app/RunSet.h"
#include "gdb/GDB_Database.h"

namespace app {

struct ImportedRuns_t {
  RunSet_t runs;          // to be added
  OptionalRun_t replaced;  // the stored run that one of them replaces
};

// The first track of the table (in key order) whose name equals the given one
// regardless of case (trailing blanks never count); end() when none does.
gdb::Database_t::TrackTable_t::const_iterator FindTrack(const gdb::Database_t& tracks, const std::string& name);

// Groups the laps, in download order, into runs. A lap with the track name
// "255" continues its run; any other ends it: "254" and "253" without track,
// else with the downloaded track of that name, which is taken out of the
// database (a track that was not downloaded leaves the run without one).
// Laps after the last ending lap form the unit's open run, which takes the one
// track the database still holds (none when it holds none or several).
//
// A finished run whose first lap starts in the second of a stored run is
// dropped when the stored run has all its laps; when it has laps the stored
// run lacks (the stored run was still open at an earlier transfer) it replaces
// the stored run. The open run always replaces a stored run of its start. A
// replacing run keeps the stored run's notes, and its track when the new run
// has none. At most one run is replaced; a second candidate is dropped and the
// stored run kept.
ImportedRuns_t GroupLapsIntoRuns(const std::vector<LapPacket_t>& laps, gdb::Database_t& tracks,
                                 const RunSet_t& stored);

}  // namespace app
