#include "ioa/IOA_DeviceValue.h"

#include "glo/GLO_Exception.h"

namespace ioa {

glo::Optional_t<glo::Time_t> DeviceTimeToTime(std::uint32_t seconds) {
  if (seconds == 0 || seconds == 0x7FFFFFFFu || seconds == 0xFFFFFFFFu) return glo::Optional_t<glo::Time_t>();
  // Time_t checks the range of the sum and throws OutOfRange_t beyond it.
  return glo::Time_t(static_cast<std::int64_t>(glo::DeviceEpoch().GetValue()) + static_cast<std::int64_t>(seconds));
}

std::uint32_t TimeToDeviceTime(const glo::Time_t& time) {
  const std::int64_t seconds =
      static_cast<std::int64_t>(time.GetValue()) - static_cast<std::int64_t>(glo::DeviceEpoch().GetValue());
  if (seconds < 0) throw glo::Assert_t(GLO_SRC);
  if (seconds > 0xFFFFFFFFll) throw glo::OutOfRange_t(GLO_SRC);
  return static_cast<std::uint32_t>(seconds);
}

geo::Position_t PositionFromDevice(std::int32_t latitude, std::int32_t longitude) {
  return geo::Position_t(latitude, longitude);
}

}  // namespace ioa
