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
  const std::int64_t first = m_start.GetValue();
  const std::int64_t last = EndSeconds();
  gdb::Track_t part;
  for (const gdb::TrackPoint_t& point : *runTrack) {
    if (!point.GetTime().IsPresent()) continue;
    const std::int64_t t = point.GetTime()->GetValue();
    if (t < first) continue;
    if (t > last) break;
    part.AppendPoint(point);
  }
  if (part.IsEmpty()) return;
  part.ReleaseSpareRoom();
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
