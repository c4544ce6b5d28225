#include "app/RunImport.h"

#include "gdb/GDB_Name.h"

namespace app {

namespace {

// True when the new laps hold a lap start that the stored run lacks.
bool HasNewLaps(const LapSet_t& laps, const Run_t& stored) {
  for (const Lap_t& lap : laps)
    if (stored.GetLaps().find(lap) == stored.GetLaps().end()) return true;
  return false;
}

class Importer_t {
 public:
  Importer_t(const RunSet_t& stored, ImportedRuns_t& result) : m_stored(stored), m_result(result) {}

  // A run of the laps and the track: added, dropped as known, or replacing a
  // stored run ('open': the unit's run still under way).
  void Offer(const LapSet_t& laps, const glo::Optional_t<gdb::Track_t>& track, bool open) {
    const auto stored = m_stored.find(laps.begin()->GetStart());
    if (stored == m_stored.end()) {
      m_result.runs.insert(Run_t(laps, track, std::string()));
      return;
    }
    if (!open && !HasNewLaps(laps, *stored)) return;  // known already
    if (m_result.replaced.IsPresent()) return;        // one replacement per transfer
    m_result.replaced = *stored;
    const glo::Optional_t<gdb::Track_t>& kept = track.IsPresent() ? track : stored->GetTrack();
    m_result.runs.insert(Run_t(laps, kept, stored->GetNotes()));
  }

 private:
  const RunSet_t& m_stored;
  ImportedRuns_t& m_result;
};

}  // namespace

gdb::Database_t::TrackTable_t::const_iterator FindTrack(const gdb::Database_t& tracks, const std::string& name) {
  const gdb::Name_t wanted(name);
  const gdb::Database_t::TrackTable_t& table = tracks.GetTracks();
  for (auto it = table.begin(); it != table.end(); ++it)
    if (gdb::Name_t::EqualNoCase(it->first.Text(), wanted.Text())) return it;
  return table.end();
}

ImportedRuns_t GroupLapsIntoRuns(const std::vector<LapPacket_t>& laps, gdb::Database_t& tracks,
                                 const RunSet_t& stored) {
  ImportedRuns_t result;
  Importer_t importer(stored, result);
  LapSet_t run;
  for (const LapPacket_t& packet : laps) {
    run.insert(packet.GetLap());
    const std::string name = packet.GetTrackName().Text();
    if (name == "255") continue;
    glo::Optional_t<gdb::Track_t> track;
    if (name != "254" && name != "253") {
      const auto found = FindTrack(tracks, name);
      if (found != tracks.GetTracks().end()) {
        track = found->second;
        const gdb::TrackId_t key = found->first;
        tracks.EraseTrack(key);
      }
    }
    importer.Offer(run, track, false);
    run.clear();
  }
  if (!run.empty()) {
    glo::Optional_t<gdb::Track_t> track;
    if (tracks.GetTracks().size() == 1) track = tracks.GetTracks().begin()->second;
    importer.Offer(run, track, true);
  }
  return result;
}

}  // namespace app
