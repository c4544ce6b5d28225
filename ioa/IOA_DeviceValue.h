#pragma once
// The device's encodings of times and positions, turned into the program's
// values. Used by the decoders of track points and laps.
#include <cstdint>

#include "geo/GEO_Position.h"
#include "glo/GLO_Optional.h"
#include "glo/GLO_Time.h"

namespace ioa {

// The device's time stamps count seconds from 1989-12-31 00:00:00 UTC. The
// values 0, 0x7FFFFFFF and 0xFFFFFFFF mean "no time" and give an absent
// result. A stamp beyond the range of glo::Time_t (after 2038-01-19 03:14:07
// UTC) throws glo::OutOfRange_t rather than wrapping to a wrong date.
glo::Optional_t<glo::Time_t> DeviceTimeToTime(std::uint32_t seconds);

// The other way: whole seconds since the device epoch. A time before the epoch
// is glo::Assert_t (every glo::Time_t lies within 32 bits of it).
std::uint32_t TimeToDeviceTime(const glo::Time_t& time);

// The position of the device's two semicircle values, without altitude. A
// latitude beyond +-90 degrees throws glo::OutOfRange_t.
geo::Position_t PositionFromDevice(std::int32_t latitude, std::int32_t longitude);

}  // namespace ioa
