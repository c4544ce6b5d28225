#pragma once
// A lap as the unit reports it, the ordered laps of a run, and the exception of
// a stream of runs or users that cannot be read further.
#include <cstdint>
#include <set>

#include "bin/BIN_stream.h"
#include "gdb/GDB_Track.h"
#include "geo/GEO_Position.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_Optional.h"
#include "glo/GLO_Time.h"

namespace app {

// A binary stream of runs or users that cannot be read further; empty message.
class BadStream_t : public glo::Exception_t {
 public:
  BadStream_t(const char* file, int line) : glo::Exception_t(file, line, std::string()) {}
};

class Lap_t {
 public:
  // The stored size of a lap.
  static constexpr std::size_t kStoredSize = 52;

  // Starts now; no duration, positions, length, calories, heart rate or track.
  Lap_t();
  Lap_t(const glo::Time_t& start, std::uint32_t duration, const glo::Optional_t<geo::Position_t>& begin,
        const glo::Optional_t<geo::Position_t>& end, float length, std::uint16_t calories,
        const glo::Optional_t<std::uint8_t>& heartRate);

  const glo::Time_t& GetStart() const { return m_start; }
  // Hundredths of a second.
  std::uint32_t GetDuration() const { return m_duration; }
  const glo::Optional_t<geo::Position_t>& GetBegin() const { return m_begin; }
  const glo::Optional_t<geo::Position_t>& GetEnd() const { return m_end; }
  // Metres.
  float GetLength() const { return m_length; }
  std::uint16_t GetCalories() const { return m_calories; }
  // Beats per minute.
  const glo::Optional_t<std::uint8_t>& GetHeartRate() const { return m_heartRate; }
  // The lap's own part of its run's track.
  const glo::Optional_t<gdb::Track_t>& GetTrack() const { return m_track; }

  // The last second of the lap: the start plus the duration rounded to whole
  // seconds, half up (may lie beyond the range of a calendar time).
  std::int64_t EndSeconds() const;

  // Takes the timed points of the run's track from the start to the end of the
  // lap (both included), up to the first point after the end. Without a run
  // track the lap has no track; when no point falls inside, the lap keeps
  // the track it had.
  void TakeTrack(const glo::Optional_t<gdb::Track_t>& runTrack);

  // The 52-byte stored form.
  void Write(bin::ostream& out) const;
  // Reads the stored form; the lap changes only when every field was read. A
  // start that is not a calendar time throws glo::OutOfRange_t.
  void Read(bin::istream& in);

 private:
  glo::Time_t m_start;
  std::uint32_t m_duration;
  glo::Optional_t<geo::Position_t> m_begin;
  glo::Optional_t<geo::Position_t> m_end;
  float m_length;
  std::uint16_t m_calories;
  glo::Optional_t<std::uint8_t> m_heartRate;
  glo::Optional_t<gdb::Track_t> m_track;
};

// Lap order: by start second; laps of the same second are the same lap.
struct LapLess {
  bool operator()(const Lap_t& a, const Lap_t& b) const { return a.GetStart().GetValue() < b.GetStart().GetValue(); }
};

// The laps of a run, earliest first, one per start second.
using LapSet_t = std::set<Lap_t, LapLess>;

}  // namespace app
