#pragma once
// Time_t: a calendar time in whole seconds since 1970-01-01 00:00:00 UTC.
// The range is kept to that of a signed 32-bit value, 0 (1970-01-01 00:00:00)
// to 2147483647 (2038-01-19 03:14:07 UTC), on every platform, so that the
// stored formats and the device's time stamps mean the same everywhere.
#include <cstdint>
#include <ctime>

#include "glo/GLO_TimeSpan.h"

namespace glo {

class Time_t {
 public:
  static constexpr std::int64_t kMinValue = 0;
  static constexpr std::int64_t kMaxValue = 2147483647;

  // The current time; a clock that fails (or lies beyond the range) is Assert_t.
  Time_t();
  // A value outside [0, 2^31 - 1] throws glo::OutOfRange_t.
  explicit Time_t(std::int64_t value);
  // The time whose UTC calendar fields are the given ones (month 1 to 12).
  // Fields outside their ranges are normalised. A result outside the range
  // throws glo::OutOfRange_t.
  Time_t(std::uint16_t year, std::uint16_t month, std::uint16_t day, std::uint16_t hour, std::uint16_t minute,
         std::uint16_t second);
  // The same fields read as a local time that lies utcOffset ahead of UTC: the
  // offset is taken off, and the second rounded half away from zero.
  Time_t(std::uint16_t year, std::uint16_t month, std::uint16_t day, std::uint16_t hour, std::uint16_t minute,
         std::uint16_t second, const TimeSpan_t& utcOffset);

  // Seconds since 1970-01-01 00:00:00 UTC.
  std::int32_t GetValue() const { return m_value; }

  // Adds the span rounded half away from zero to whole seconds. A result below
  // 0 or above 2^31 - 1 (or a span that is not finite) throws glo::OutOfRange_t
  // and leaves the time unchanged.
  Time_t& operator+=(const TimeSpan_t& span);
  Time_t& operator-=(const TimeSpan_t& span) { return *this += -span; }

  // The UTC calendar fields of this time plus the span, truncated to whole
  // seconds (for instance 1970-01-01 00:00 with an offset of -5 hours gives
  // 1969-12-31 19:00). A span that is not finite throws glo::OutOfRange_t.
  std::tm ToTm(const TimeSpan_t& span = TimeSpan_t()) const;

  friend bool operator==(const Time_t& a, const Time_t& b) { return a.m_value == b.m_value; }
  friend bool operator!=(const Time_t& a, const Time_t& b) { return a.m_value != b.m_value; }

 private:
  std::int32_t m_value;
};

inline Time_t operator+(Time_t t, const TimeSpan_t& span) { return t += span; }
inline Time_t operator-(Time_t t, const TimeSpan_t& span) { return t -= span; }

// a - b in seconds (negative when a is earlier).
inline TimeSpan_t Difference(const Time_t& a, const Time_t& b) {
  return TimeSpan_t(static_cast<double>(a.GetValue()) - static_cast<double>(b.GetValue()));
}

// The epoch of the device's time stamps, 1989-12-31 00:00:00 UTC (631065600).
const Time_t& DeviceEpoch();

// The offset of local time from UTC (east positive, daylight saving included)
// at the moment whose local calendar fields are given. Assert_t when the
// system cannot convert them.
TimeSpan_t GetUtcOffset(const std::tm& localFields);

// The offset of the local zone's standard time (without daylight saving) now.
TimeSpan_t CurrentStandardUtcOffset();

}  // namespace glo
