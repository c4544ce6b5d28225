#pragma once
// A run: its laps, the GPS track recorded during it and the user's notes.
// Runs are values; a run is identified by the start second of its first lap.
#include <string>

#include "app/Lap.h"
#include "bin/BIN_stream.h"
#include "doc/DOC_Info.h"
#include "gdb/GDB_Track.h"
#include "glo/GLO_Optional.h"

namespace app {

// A run as the run database stores it, before its track is built from the
// stored points and its laps take their parts of it.
struct StoredRun_t {
  LapSet_t laps;
  std::string notes;  // decoded
  glo::Optional_t<gdb::StoredTrack_t> track;
};

class Run_t {
 public:
  Run_t() = default;
  // Copies the three and lets every lap take its part of the track.
  Run_t(const LapSet_t& laps, const glo::Optional_t<gdb::Track_t>& track, const std::string& notes);

  const LapSet_t& GetLaps() const { return m_laps; }
  const glo::Optional_t<gdb::Track_t>& GetTrack() const { return m_track; }
  const std::string& GetNotes() const { return m_notes; }
  void SetNotes(const std::string& notes) { m_notes = notes; }

  bool HasLaps() const { return !m_laps.empty(); }
  // The run's key: the start of its first lap; glo::Assert_t for a run without laps.
  const glo::Time_t& GetKey() const;

  // The stored form: lap count, the laps, the notes, the track flag and the
  // track under the version context of the run tracks.
  void Write(bin::ostream& out) const;
  // Reads a run; app::BadStream_t when the stream has failed before or fails
  // while reading, and for a run without laps; the run changes only when it
  // was read whole. A repeated lap start keeps the first lap. Notes that are
  // not UTF-8 are read as Windows-1252.
  void Read(bin::istream& in);
  // The first half of Read: reads a run as stored, with the same failures;
  // 'stored' changes only when the run was read whole.
  static void ReadStored(bin::istream& in, StoredRun_t& stored);
  // The second half: makes this run the stored one, building its track and
  // letting every lap take its part. A failure leaves the run as it was.
  void Assign(StoredRun_t&& stored);

 private:
  LapSet_t m_laps;
  glo::Optional_t<gdb::Track_t> m_track;
  std::string m_notes;
};

// The version context under which runs store their tracks: the GPS data's tag,
// data version 106, this build's record, the application name, layout 101.
// Never written to a file.
const doc::Info_t& RunTrackInfo();

}  // namespace app
