#pragma once
// Date and time texts of calendar fields in the formats of a Windows locale id.
#include <ctime>
#include <string>

#include "glo/GLO_DateTime.h"
#include "plat/PLAT_Calendar.h"
#include "win/WIN_Exception.h"

namespace win {

using SystemTime_t = glo::SystemTime_t;

// Time-format flags of FormatTime.
enum : unsigned long {
  TimeNoMinutesOrSeconds = plat::kTimeNoMinutesOrSeconds,
  TimeNoSeconds = plat::kTimeNoSeconds,
  TimeNoTimeMarker = plat::kTimeNoTimeMarker,
  TimeForce24HourFormat = plat::kTimeForce24HourFormat,
};

inline SystemTime_t TmToSystemTime(const std::tm& fields) { return glo::TmToSystemTime(fields); }
inline std::tm SystemTimeToTm(const SystemTime_t& time) { return glo::SystemTimeToTm(time); }

// The short date of the fields in the format of the record's locale id
// (win::Error_t when the locale or the date is refused).
inline std::string FormatDate(const glo::DateTime_t& dateTime) {
  const SystemTime_t& f = dateTime.GetFields();
  std::string text;
  if (!plat::FormatShortDate(static_cast<unsigned long>(dateTime.GetLcid()), f.wYear, f.wMonth, f.wDay, text))
    throw Error_t(GLO_SRC);
  return text;
}

// The time of day of the fields in the time format of the record's locale id
// with the given flags (0: hours, minutes and seconds in the locale's form).
inline std::string FormatTime(const glo::DateTime_t& dateTime, unsigned long flags = 0) {
  const SystemTime_t& f = dateTime.GetFields();
  std::string text;
  if (!plat::FormatTimeOfDay(static_cast<unsigned long>(dateTime.GetLcid()), flags, f.wHour, f.wMinute, f.wSecond,
                             text))
    throw Error_t(GLO_SRC);
  return text;
}

}  // namespace win
