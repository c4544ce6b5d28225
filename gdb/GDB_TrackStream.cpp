// The GPS track stream: how a track and its points are written to a binary
// stream and read back. Only the points and a few header fields are stored;
// segments and summaries are rebuilt by appending the points again.
#include <cstdint>
#include <cstring>
#include <string>

#include "bin/BIN_record.h"
#include "doc/DOC_Info.h"
#include "doc/DOC_InfoStream.h"
#include "gdb/GDB_Track.h"
#include "geo/GEO_Position.h"
#include "glo/GLO_StringResource.h"

namespace gdb {

namespace {

// Temperatures and the track name are stored from this data version on.
constexpr unsigned kTemperatureVersion = 106;

template <typename V>
void WriteOptional(bin::ostream& out, const glo::Optional_t<V>& value) {
  const std::uint8_t present = value.IsPresent() ? 1 : 0;
  bin::write_le(out, present);
  bin::write_le(out, present ? *value : V());
}

void WritePoint(bin::ostream& out, unsigned version, const TrackPoint_t& point) {
  geo::WritePosition(out, point.GetPosition());
  // An absent time still takes its four bytes: the current time.
  const std::uint8_t hasTime = point.GetTime().IsPresent() ? 1 : 0;
  const std::int32_t time = hasTime ? point.GetTime()->GetValue() : glo::Time_t().GetValue();
  bin::write_le(out, hasTime);
  bin::write_le(out, time);
  WriteOptional(out, point.GetDepth());
  if (version >= kTemperatureVersion) WriteOptional(out, point.GetTemperature());
}

// Reads a point; 'point' changes only when all of it was read. A time slot
// that is flagged present but holds no representable time marks the stream
// bad (damaged data) instead of throwing; an absent time's bytes are not looked at.
void ReadPoint(bin::istream& in, unsigned version, TrackPoint_t& point) {
  if (!in.good()) return;
  // The stored fields are read in two blocks, the position and the rest, with
  // the same outcome as reading them one by one: a short block fails the
  // stream, a latitude out of range marks it bad before the rest is read.
  constexpr std::size_t kPositionSize = 4 + 4 + 1 + 8;
  char position[kPositionSize] = {};
  in.read(position, kPositionSize);
  if (!in.good()) return;
  std::int32_t latitude = 0, longitude = 0;
  double altitude = 0.0;
  std::memcpy(&latitude, position, 4);
  std::memcpy(&longitude, position + 4, 4);
  std::memcpy(&altitude, position + 9, 8);
  if (latitude < geo::MinLatitude || latitude > geo::MaxLatitude) {
    in.setstate(std::ios_base::badbit);
    return;
  }
  const geo::Position_t place(latitude, longitude,
                              position[8] != 0 ? geo::Altitude_t(altitude) : geo::Altitude_t());

  const bool withTemperature = version >= kTemperatureVersion;
  constexpr std::size_t kOptionalSize = 1 + 8;
  char rest[1 + 4 + 2 * kOptionalSize] = {};
  const std::size_t restSize = 1 + 4 + (withTemperature ? 2 : 1) * kOptionalSize;
  in.read(rest, static_cast<std::streamsize>(restSize));
  if (!in.good()) return;
  std::int32_t time = 0;
  std::memcpy(&time, rest + 1, 4);
  const auto optional = [&rest](std::size_t at) {
    double value = 0.0;
    std::memcpy(&value, rest + at + 1, 8);
    return rest[at] != 0 ? glo::Optional_t<double>(value) : glo::Optional_t<double>();
  };
  const glo::Optional_t<double> depth = optional(5);
  const glo::Optional_t<double> temperature = withTemperature ? optional(5 + kOptionalSize) : glo::Optional_t<double>();
  glo::Optional_t<glo::Time_t> pointTime;
  if (rest[0] != 0) {
    if (time < glo::Time_t::kMinValue) {
      in.setstate(std::ios_base::badbit);
      return;
    }
    pointTime = glo::Time_t(time);
  }
  point = TrackPoint_t(place, pointTime, depth, temperature);
}

// The application's name for the version record, or an empty text when the
// language module cannot give it: the record is only a version context and is
// never written, so the track stream must not depend on the module.
std::string ApplicationName() {
  try {
    return glo::StringResource_t(190, GLO_SRC).Text();
  } catch (...) {
    return std::string();
  }
}

}  // namespace

const doc::Info_t& GetTrackDataVersion() {
  static const doc::Info_t info("GbRc", 106, doc::AppBuildInfo_t(205, "", __DATE__, __TIME__),
                                ApplicationName(), doc::kCurrentLayoutVersion);
  return info;
}

void Track_t::Write(doc::InfoStream_t& stream) const { Write(stream.Info(), stream.Out()); }

void Track_t::Read(doc::InfoStream_t& stream) { Read(stream.Info(), stream.In()); }

void Track_t::Write(const doc::Info_t& version, bin::ostream& out) const {
  const unsigned v = version.DataVersion();
  bin::write_le(out, m_displayFlag);
  const std::int32_t color = (v < kTemperatureVersion && m_color == Color_Transparent) ? 0 : m_color;
  bin::write_le(out, color);
  bin::write_le(out, static_cast<std::int32_t>(m_totals.GetCount()));
  bool first = true;
  for (const TrackSegment_t& segment : m_segments) {
    auto p = segment.GetPoints().begin();
    if (!first && p != segment.GetPoints().end()) ++p;  // the repeated first point
    for (; p != segment.GetPoints().end(); ++p) WritePoint(out, v, *p);
    first = false;
  }
  if (v >= kTemperatureVersion) bin::write_string(out, m_name);
}

void Track_t::Read(const doc::Info_t& version, bin::istream& in) {
  StoredTrack_t stored;
  ReadStored(version, in, stored);
  if (in.good()) Assign(stored);
}

void Track_t::ReadStored(const doc::Info_t& version, bin::istream& in, StoredTrack_t& stored) {
  if (!in.good()) return;
  const unsigned v = version.DataVersion();
  StoredTrack_t track;
  bin::read_le(in, track.displayFlag);
  std::int32_t color = 0;
  bin::read_le(in, color);
  if (in.good()) {
    if (IsValidColor(color))
      track.color = color;
    else
      in.setstate(std::ios_base::failbit);
  }
  std::uint32_t count = 0;
  bin::read_le(in, count);
  if (!in.good()) return;
  // The count is not trusted for memory: the points come one at a time and
  // the stream fails at its end.
  for (std::uint32_t i = 0; i < count; ++i) {
    TrackPoint_t point;
    ReadPoint(in, v, point);
    if (!in.good()) return;
    track.points.push_back(std::move(point));
  }
  if (v >= kTemperatureVersion) bin::read_string(in, track.name);
  if (in.good()) stored = std::move(track);
}

void Track_t::Assign(const StoredTrack_t& stored) {
  Track_t track;
  track.m_displayFlag = stored.displayFlag;
  track.m_color = stored.color;
  for (const TrackPoint_t& point : stored.points) track.AppendPoint(point);
  track.m_name = stored.name;
  Swap(track);
}

}  // namespace gdb
