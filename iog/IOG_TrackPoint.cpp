#include "iog/IOG_TrackPoint.h"

#include <cstring>

#include "glo/GLO_Exception.h"
#include "ioa/IOA_DeviceValue.h"

namespace iog {

namespace {

std::uint32_t BitsOf(const glo::Optional_t<double>& value) {
  if (!value.IsPresent()) return NoFloatBits;
  const float f = static_cast<float>(value.Value());
  std::uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  return bits;
}

glo::Optional_t<double> ValueOf(std::uint32_t bits) {
  if (bits == NoFloatBits) return glo::Optional_t<double>();
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return glo::Optional_t<double>(static_cast<double>(f));
}

void ReadFlag(bin::istream& in, std::uint8_t& flag) {
  unsigned char byte = 0;
  in.get(byte);
  if (!in.fail()) flag = byte;
}

void WriteFlag(bin::ostream& out, std::uint8_t flag) { out.write(reinterpret_cast<const char*>(&flag), 1); }

}  // namespace

// ---- TrackPoint_t -----------------------------------------------------------

void TrackPoint_t::Decode(const iol::Frame_t& frame) {
  if (frame.Id() != Id()) throw glo::Assert_t(GLO_SRC);
  iol::FrameStream_t stream(frame);
  Read(stream);
  if (stream.fail()) throw iol::BadFrame_t(frame, GLO_SRC);
}

iol::Frame_t TrackPoint_t::Encode() const {
  iol::FrameStream_t stream;
  Write(stream);
  if (!stream.good()) throw glo::Assert_t(GLO_SRC);
  return iol::Frame_t(Id(), &stream);
}

// ---- D300Base_t -------------------------------------------------------------

void D300Base_t::FromGdb(const gdb::TrackPoint_t& point, const bool /*newTrack*/) {
  m_latitude = point.GetPosition().GetLatitude();
  m_longitude = point.GetPosition().GetLongitude();
  m_time = point.GetTime().IsPresent() ? ioa::TimeToDeviceTime(point.GetTime().Value()) : 0;
}

void D300Base_t::ToGdb(gdb::TrackPoint_t& point, bool& newTrack) const {
  point = gdb::TrackPoint_t();
  newTrack = false;
  point.SetPosition(ioa::PositionFromDevice(m_latitude, m_longitude));
  point.SetTime(ioa::DeviceTimeToTime(m_time));
}

void D300Base_t::Read(bin::istream& in) {
  bin::read_le(in, m_latitude);
  bin::read_le(in, m_longitude);
  bin::read_le(in, m_time);
}

void D300Base_t::Write(bin::ostream& out) const {
  bin::write_le(out, m_latitude);
  bin::write_le(out, m_longitude);
  bin::write_le(out, m_time);
}

// ---- D300TrkPt_t ------------------------------------------------------------

void D300TrkPt_t::FromGdb(const gdb::TrackPoint_t& point, const bool newTrack) {
  D300Base_t::FromGdb(point, newTrack);
  m_flag = newTrack ? 1 : 0;
}

void D300TrkPt_t::ToGdb(gdb::TrackPoint_t& point, bool& newTrack) const {
  D300Base_t::ToGdb(point, newTrack);
  newTrack = m_flag != 0;
}

void D300TrkPt_t::Read(bin::istream& in) {
  D300Base_t::Read(in);
  ReadFlag(in, m_flag);
}

void D300TrkPt_t::Write(bin::ostream& out) const {
  D300Base_t::Write(out);
  WriteFlag(out, m_flag);
}

// ---- D301TrkPt_t ------------------------------------------------------------

void D301TrkPt_t::FromGdb(const gdb::TrackPoint_t& point, const bool newTrack) {
  D300Base_t::FromGdb(point, newTrack);
  m_altitude = BitsOf(point.GetPosition().GetAltitude());
  m_depth = BitsOf(point.GetDepth());
  m_flag = newTrack ? 1 : 0;
}

void D301TrkPt_t::ToGdb(gdb::TrackPoint_t& point, bool& newTrack) const {
  D300Base_t::ToGdb(point, newTrack);
  geo::Position_t position = point.GetPosition();
  position.SetAltitude(ValueOf(m_altitude));
  point.SetPosition(position);
  point.SetDepth(ValueOf(m_depth));
  newTrack = m_flag != 0;
}

void D301TrkPt_t::Read(bin::istream& in) {
  D300Base_t::Read(in);
  bin::read_le(in, m_altitude);
  bin::read_le(in, m_depth);
  ReadFlag(in, m_flag);
}

void D301TrkPt_t::Write(bin::ostream& out) const {
  D300Base_t::Write(out);
  bin::write_le(out, m_altitude);
  bin::write_le(out, m_depth);
  WriteFlag(out, m_flag);
}

// ---- D302TrkPt_t ------------------------------------------------------------

void D302TrkPt_t::FromGdb(const gdb::TrackPoint_t& point, const bool newTrack) {
  D300Base_t::FromGdb(point, newTrack);
  m_altitude = BitsOf(point.GetPosition().GetAltitude());
  m_depth = BitsOf(point.GetDepth());
  m_temperature = BitsOf(point.GetTemperature());
  m_flag = newTrack ? 1 : 0;
}

void D302TrkPt_t::ToGdb(gdb::TrackPoint_t& point, bool& newTrack) const {
  D300Base_t::ToGdb(point, newTrack);
  geo::Position_t position = point.GetPosition();
  position.SetAltitude(ValueOf(m_altitude));
  point.SetPosition(position);
  point.SetDepth(ValueOf(m_depth));
  point.SetTemperature(ValueOf(m_temperature));
  newTrack = m_flag != 0;
}

void D302TrkPt_t::Read(bin::istream& in) {
  D300Base_t::Read(in);
  bin::read_le(in, m_altitude);
  bin::read_le(in, m_depth);
  bin::read_le(in, m_temperature);
  ReadFlag(in, m_flag);
}

void D302TrkPt_t::Write(bin::ostream& out) const {
  D300Base_t::Write(out);
  bin::write_le(out, m_altitude);
  bin::write_le(out, m_depth);
  bin::write_le(out, m_temperature);
  WriteFlag(out, m_flag);
}

}  // namespace iog
