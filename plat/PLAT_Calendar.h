#pragma once
// Calendar services of the system: the clock, UTC and local calendar fields, the
// local zone's offsets, and the date and time texts of a Windows locale id.
// Failing calls return false and leave a code in the last error (PLAT_Error.h).
#include <cstdint>
#include <ctime>
#include <string>

namespace plat {

// Locale ids that stand for the user's and the system's default locale: the
// locale the environment names for times ($LC_ALL, $LC_TIME, $LANG) at the call.
enum : unsigned long {
  kLocaleUserDefault = 0x400,
  kLocaleSystemDefault = 0x800,
};

// Windows time-format flags understood by FormatTimeOfDay.
enum : unsigned long {
  kTimeNoMinutesOrSeconds = 0x1,
  kTimeNoSeconds = 0x2,
  kTimeNoTimeMarker = 0x4,
  kTimeForce24HourFormat = 0x8,
};

// The current time in seconds since 1970-01-01 00:00:00 UTC.
bool CurrentTime(std::int64_t& seconds);

// The UTC calendar fields of a time (normalised, with day of week and year).
bool UtcFields(std::int64_t seconds, std::tm& fields);
// The local calendar fields of a time in the process's time zone.
bool LocalFields(std::int64_t seconds, std::tm& fields);

// The time whose UTC calendar fields are the given ones; fields outside their
// ranges are normalised (month 13 is January of the next year).
bool UtcFieldsToTime(const std::tm& fields, std::int64_t& seconds);

// The offset of local time from UTC, east positive, in seconds, for the given
// fields read as local time (daylight saving decided by the zone's rules).
bool LocalUtcOffset(const std::tm& localFields, long& offsetSeconds);

// The offset of the local zone's standard time (without daylight saving) now.
bool StandardUtcOffset(long& offsetSeconds);

// The short date of a calendar date in the locale's format (a four-digit year).
// An invalid date or an unknown locale id fails with error 87.
bool FormatShortDate(unsigned long lcid, int year, int month, int day, std::string& text);

// The time of day in the locale's time format with Windows time-format flags;
// the default format shows hours, minutes and seconds. Without the time marker
// the hours are those of the 24-hour clock. Unknown flags, fields out
// of range or an unknown locale id fail with error 87.
bool FormatTimeOfDay(unsigned long lcid, unsigned long flags, int hour, int minute, int second,
                     std::string& text);

}  // namespace plat
