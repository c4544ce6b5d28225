#include "glo/GLO_Time.h"

#include <cmath>

#include "glo/GLO_Exception.h"
#include "plat/PLAT_Calendar.h"

namespace glo {

namespace {

// Rounds half away from zero; false when the value is not finite or lies far
// outside any time (so that the conversion to an integer stays defined).
bool RoundToSeconds(double value, std::int64_t& rounded) {
  if (!std::isfinite(value) || std::fabs(value) > 9.0e15) return false;
  rounded = static_cast<std::int64_t>(value >= 0.0 ? std::trunc(value + 0.5) : std::trunc(value - 0.5));
  return true;
}

bool InRange(std::int64_t value) { return value >= Time_t::kMinValue && value <= Time_t::kMaxValue; }

std::tm Fields(std::uint16_t year, std::uint16_t month, std::uint16_t day, std::uint16_t hour, std::uint16_t minute,
               std::uint16_t second) {
  std::tm fields{};
  fields.tm_year = static_cast<int>(year) - 1900;
  fields.tm_mon = static_cast<int>(month) - 1;
  fields.tm_mday = day;
  fields.tm_hour = hour;
  fields.tm_min = minute;
  fields.tm_sec = second;
  fields.tm_isdst = 0;
  return fields;
}

}  // namespace

Time_t::Time_t() {
  std::int64_t now = 0;
  if (!plat::CurrentTime(now) || !InRange(now)) throw Assert_t(GLO_SRC);
  m_value = static_cast<std::int32_t>(now);
}

Time_t::Time_t(std::int64_t value) {
  if (!InRange(value)) throw OutOfRange_t(GLO_SRC);
  m_value = static_cast<std::int32_t>(value);
}

Time_t::Time_t(std::uint16_t year, std::uint16_t month, std::uint16_t day, std::uint16_t hour, std::uint16_t minute,
               std::uint16_t second)
    : Time_t(year, month, day, hour, minute, second, TimeSpan_t()) {}

Time_t::Time_t(std::uint16_t year, std::uint16_t month, std::uint16_t day, std::uint16_t hour, std::uint16_t minute,
               std::uint16_t second, const TimeSpan_t& utcOffset) {
  std::int64_t utc = 0;
  std::int64_t value = 0;
  if (!plat::UtcFieldsToTime(Fields(year, month, day, hour, minute, second), utc) ||
      !RoundToSeconds(static_cast<double>(utc) - utcOffset.GetSeconds(), value) || !InRange(value))
    throw OutOfRange_t(GLO_SRC);
  m_value = static_cast<std::int32_t>(value);
}

Time_t& Time_t::operator+=(const TimeSpan_t& span) {
  std::int64_t delta = 0;
  if (!RoundToSeconds(span.GetSeconds(), delta)) throw OutOfRange_t(GLO_SRC);
  const std::int64_t sum = m_value + delta;
  if (sum < kMinValue) throw OutOfRange_t(GLO_SRC);
  if (sum > kMaxValue) throw OutOfRange_t(GLO_SRC);
  m_value = static_cast<std::int32_t>(sum);
  return *this;
}

std::tm Time_t::ToTm(const TimeSpan_t& span) const {
  // Whole seconds toward zero, as the calendar fields of time + span; the
  // 64-bit calendar of the system covers the ends of the 32-bit range and any
  // offset beyond them.
  const double x = static_cast<double>(m_value) + span.GetSeconds();
  if (!std::isfinite(x) || std::fabs(x) > 9.0e15) throw OutOfRange_t(GLO_SRC);
  std::tm fields{};
  if (!plat::UtcFields(static_cast<std::int64_t>(std::trunc(x)), fields)) throw OutOfRange_t(GLO_SRC);
  return fields;
}

const Time_t& DeviceEpoch() {
  static const Time_t epoch(1989, 12, 31, 0, 0, 0);
  return epoch;
}

TimeSpan_t GetUtcOffset(const std::tm& localFields) {
  long offset = 0;
  if (!plat::LocalUtcOffset(localFields, offset)) throw Assert_t(GLO_SRC);
  return TimeSpan_t(static_cast<double>(offset));
}

TimeSpan_t CurrentStandardUtcOffset() {
  long offset = 0;
  if (!plat::StandardUtcOffset(offset)) throw Assert_t(GLO_SRC);
  return TimeSpan_t(static_cast<double>(offset));
}

}  // namespace glo
