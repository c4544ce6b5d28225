#include "app/LapPacket.h"

#include <string>

#include "bin/BIN_stream.h"
#include "glo/GLO_Exception.h"
#include "ioa/IOA_DeviceValue.h"

namespace app {

namespace {

constexpr std::int32_t kNoCoordinate = 0x7FFFFFFF;

glo::Optional_t<geo::Position_t> DevicePosition(std::int32_t latitude, std::int32_t longitude) {
  if (latitude == kNoCoordinate && longitude == kNoCoordinate) return {};
  return ioa::PositionFromDevice(latitude, longitude);
}

}  // namespace

void LapPacket_t::Decode(const iol::Frame_t& frame) {
  if (frame.Id() != kId) throw glo::Assert_t(GLO_SRC);
  iol::FrameStream_t in(frame);
  std::uint32_t start = 0, duration = 0;
  float distance = 0.0f;
  std::int32_t beginLat = 0, beginLon = 0, endLat = 0, endLon = 0;
  std::uint16_t calories = 0;
  std::uint8_t trackIndex = 0, heartRate = 0;
  bin::read_le(in, start);
  const glo::Optional_t<glo::Time_t> startTime = ioa::DeviceTimeToTime(start);
  if (!startTime.IsPresent()) throw iol::BadFrame_t(frame, GLO_SRC);
  bin::read_le(in, duration);
  bin::read_le(in, distance);
  bin::read_le(in, beginLat);
  bin::read_le(in, beginLon);
  bin::read_le(in, endLat);
  bin::read_le(in, endLon);
  bin::read_le(in, calories);
  bin::read_le(in, trackIndex);
  bin::read_le(in, heartRate);
  if (in.fail()) throw iol::BadFrame_t(frame, GLO_SRC);
  const glo::Optional_t<geo::Position_t> begin = DevicePosition(beginLat, beginLon);
  const glo::Optional_t<geo::Position_t> end = DevicePosition(endLat, endLon);
  glo::Optional_t<std::uint8_t> averageHeartRate;
  if (heartRate != 0) averageHeartRate = heartRate;
  m_lap = Lap_t(*startTime, duration, begin, end, distance, calories, averageHeartRate);
  m_trackName = gdb::Name_t(std::to_string(trackIndex));
}

iol::Frame_t LapPacket_t::Encode() const { throw glo::Assert_t(GLO_SRC); }

}  // namespace app
