#include "app/Lap.h"

#include "app/OptionalFields.h"

namespace app {

Lap_t::Lap_t() : m_duration(0), m_length(0.0f), m_calories(0) {}

Lap_t::Lap_t(const glo::Time_t& start, std::uint32_t duration, const glo::Optional_t<geo::Position_t>& begin,
             const glo::Optional_t<geo::Position_t>& end, float length, std::uint16_t calories,
             const glo::Optional_t<std::uint8_t>& heartRate)
    : m_start(start),
      m_duration(duration),
      m_begin(begin),
      m_end(end),
      m_length(length),
      m_calories(calories),
      m_heartRate(heartRate) {}

std::int64_t Lap_t::EndSeconds() const {
  return static_cast<std::int64_t>(m_start.GetValue()) + (static_cast<std::int64_t>(m_duration) + 50) / 100;
}

void Lap_t::TakeTrack(const glo::Optional_t<gdb::Track_t>& runTrack) {
  if (!runTrack.IsPresent()) {
    m_track.Reset();
    return;
  }
  const std::int64_t firstSecond = m_start.GetValue();
  const std::int64_t lastSecond = EndSeconds();
  // The points taken are the timed ones from the lap's start on, up to the
  // first that comes after its end. When they follow each other in the run's
  // track the lap shares them; when a point in between is left out, the lap
  // keeps copies of its own.
  const gdb::Track_t& track = *runTrack;
  using Iterator_t = gdb::Track_t::Iterator_t;
  Iterator_t begin, last;  // the first and last points taken (when found)
  bool found = false, skipped = false, contiguous = true;
  // The points in track order, walked segment by segment: every segment but
  // the first begins with a copy of the point before it.
  const gdb::Track_t::Segments_t& segments = track.GetSegments();
  bool done = false;
  for (auto s = segments.begin(); s != segments.end() && !done; ++s) {
    const gdb::TrackSegment_t::Points_t points = s->GetPoints();
    auto p = points.begin();
    if (s != segments.begin() && p != points.end()) ++p;
    for (; p != points.end(); ++p) {
      const bool timed = p->GetTime().IsPresent();
      const std::int64_t t = timed ? p->GetTime()->GetValue() : 0;
      if (timed && t > lastSecond) {
        done = true;
        break;
      }
      if (!timed || t < firstSecond) {
        skipped = found;
        continue;
      }
      if (!found) begin = Iterator_t(&track, s, p);
      found = true;
      if (skipped) contiguous = false;
      last = Iterator_t(&track, s, p);
    }
  }
  if (!found) return;
  Iterator_t end = last;
  ++end;
  gdb::Track_t part;
  if (contiguous) {
    part = track.Part(begin, end);
  } else {
    for (gdb::Track_t::Iterator_t p = begin; p != end; ++p) {
      const bool timed = p->GetTime().IsPresent();
      if (timed && p->GetTime()->GetValue() >= firstSecond) part.AppendPoint(*p);
    }
    part.ReleaseSpareRoom();
  }
  if (!m_track.IsPresent()) m_track = gdb::Track_t();
  m_track->Swap(part);
}

void Lap_t::Write(bin::ostream& out) const {
  bin::write_le(out, m_start.GetValue());
  bin::write_le(out, m_duration);
  bin::WriteOptionalPosition(out, m_begin);
  bin::WriteOptionalPosition(out, m_end);
  bin::write_le(out, m_length);
  bin::write_le(out, m_calories);
  bin::WriteOptionalByte(out, m_heartRate);
}

void Lap_t::Read(bin::istream& in) {
  std::int32_t start = 0;
  std::uint32_t duration = 0;
  glo::Optional_t<geo::Position_t> begin, end;
  float length = 0.0f;
  std::uint16_t calories = 0;
  glo::Optional_t<std::uint8_t> heartRate;
  bin::read_le(in, start);
  bin::read_le(in, duration);
  bin::ReadOptionalPosition(in, begin);
  bin::ReadOptionalPosition(in, end);
  bin::read_le(in, length);
  bin::read_le(in, calories);
  bin::ReadOptionalByte(in, heartRate);
  if (!in.good()) return;
  *this = Lap_t(glo::Time_t(start), duration, begin, end, length, calories, heartRate);
}

}  // namespace app
