#include "app/Run.h"

#include <cstdint>
#include <utility>

#include "app/OptionalFields.h"
#include "app/TextEncoding.h"
#include "bin/BIN_record.h"

namespace app {

Run_t::Run_t(const LapSet_t& laps, const glo::Optional_t<gdb::Track_t>& track, const std::string& notes)
    : m_track(track), m_notes(notes) {
  for (const Lap_t& lap : laps) {
    Lap_t copy(lap);
    copy.TakeTrack(m_track);
    m_laps.insert(m_laps.end(), std::move(copy));
  }
}

const glo::Time_t& Run_t::GetKey() const {
  GLO_ASSERT(!m_laps.empty());
  return m_laps.begin()->GetStart();
}

void Run_t::Write(bin::ostream& out) const {
  bin::write_le(out, static_cast<std::uint32_t>(m_laps.size()));
  for (const Lap_t& lap : m_laps) lap.Write(out);
  bin::write_string(out, m_notes);
  bin::WriteOptionalTrack(RunTrackInfo(), out, m_track);
}

void Run_t::Read(bin::istream& in) {
  StoredRun_t stored;
  ReadStored(in, stored);
  Assign(std::move(stored));
}

void Run_t::ReadStored(bin::istream& in, StoredRun_t& stored) {
  if (!in.good()) throw BadStream_t(GLO_SRC);
  std::uint32_t count = 0;
  bin::read_le(in, count);
  if (!in.good()) throw BadStream_t(GLO_SRC);
  // The count is not trusted for memory: the laps come one at a time and the
  // stream fails at its end.
  LapSet_t laps;
  for (std::uint32_t i = 0; i < count; ++i) {
    Lap_t lap(glo::Time_t(0), 0, {}, {}, 0.0f, 0, {});
    lap.Read(in);
    if (!in.good()) throw BadStream_t(GLO_SRC);
    laps.insert(std::move(lap));
  }
  std::string notes;
  bin::read_string(in, notes);
  if (!in.good()) throw BadStream_t(GLO_SRC);
  glo::Optional_t<gdb::StoredTrack_t> track;
  bin::ReadOptionalTrack(RunTrackInfo(), in, track);
  if (!in.good()) throw BadStream_t(GLO_SRC);
  if (laps.empty()) throw BadStream_t(GLO_SRC);
  StoredRun_t run{std::move(laps), DecodeStoredText(notes), std::move(track)};
  stored = std::move(run);
}

void Run_t::Assign(StoredRun_t&& stored) {
  glo::Optional_t<gdb::Track_t> track;
  if (stored.track.IsPresent()) {
    track = gdb::Track_t();
    track->Assign(*stored.track);
    stored.track.Reset();  // the stored points are not needed any more
  }
  LapSet_t laps;
  for (auto node = stored.laps.begin(); node != stored.laps.end();) {
    auto handle = stored.laps.extract(node++);
    handle.value().TakeTrack(track);
    laps.insert(laps.end(), std::move(handle));
  }
  m_track = std::move(track);
  m_laps = std::move(laps);
  m_notes = std::move(stored.notes);
}

const doc::Info_t& RunTrackInfo() {
  const doc::Info_t& gps = gdb::GetTrackDataVersion();
  static const doc::Info_t info(gps.TagText(), 106, gps.BuildInfo(), gps.AppName(), doc::kCurrentLayoutVersion);
  return info;
}

}  // namespace app
