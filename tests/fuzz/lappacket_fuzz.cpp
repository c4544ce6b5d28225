// The unit's lap record (packet 149) on any bytes.
#include <string>
#include <vector>

#include "app/LapPacket.h"
#include "glo/GLO_Exception.h"
#include "tests/fuzz/FuzzSeeds.h"

namespace {

template <typename V>
std::string Le(V value) {
  return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

std::string Record(std::uint32_t start, std::int32_t beginLat, std::int32_t beginLon, std::uint8_t track,
                   std::uint8_t heartRate) {
  return Le(start) + Le<std::uint32_t>(6000) + Le<float>(1000.0f) + Le(beginLat) + Le(beginLon) +
         Le<std::int32_t>(0x7FFFFFFF) + Le<std::int32_t>(0x7FFFFFFF) + Le<std::uint16_t>(42) + Le(track) +
         Le(heartRate);
}

}  // namespace

std::vector<std::string> StrideFuzzSeeds() {
  return {Record(16, 0x7FFFFFFF, 0x7FFFFFFF, 7, 0), Record(500000000, 536870912, -1000, 255, 150),
          Record(0, 0, 0, 0, 0), Record(16, 0x7FFFFFFF, 0, 254, 1), Record(0xF0000000u, 0, 0, 3, 3) + "tail"};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  app::LapPacket_t packet;
  const glo::Time_t before = packet.GetLap().GetStart();
  try {
    packet.Decode(iol::Frame_t(app::LapPacket_t::kId, data, size));
  } catch (const glo::Exception_t&) {
    // A packet that fails keeps what it held.
    if (packet.GetLap().GetStart() != before || !packet.GetTrackName().Text().empty()) __builtin_trap();
    return 0;
  }
  if (size < app::LapPacket_t::kRecordSize) __builtin_trap();
  const std::string name = packet.GetTrackName().Text();
  if (name.empty() || name.size() > 3 || std::stoi(name) != data[30]) __builtin_trap();
  if (packet.GetLap().GetHeartRate().IsPresent() != (data[31] != 0)) __builtin_trap();
  return 0;
}
