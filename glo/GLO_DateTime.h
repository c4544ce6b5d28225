#pragma once
// DateTime_t: the calendar fields of a time for display, with the locale id
// whose date and time formats show them and the UTC offset they were made with.
#include <cstdint>
#include <ctime>
#include <string>

#include "glo/GLO_Optional.h"
#include "glo/GLO_Time.h"
#include "glo/GLO_TimeSpan.h"

namespace glo {

// Calendar fields in the layout of a Windows SYSTEMTIME.
struct SystemTime_t {
  std::uint16_t wYear;
  std::uint16_t wMonth;      // 1 to 12
  std::uint16_t wDayOfWeek;  // 0 = Sunday
  std::uint16_t wDay;
  std::uint16_t wHour;
  std::uint16_t wMinute;
  std::uint16_t wSecond;
  std::uint16_t wMilliseconds;  // always 0 here
};

// The SYSTEMTIME form of runtime calendar fields (year + 1900, month + 1, the
// day of the week copied, milliseconds 0), and back (day of the year and the
// daylight flag 0).
SystemTime_t TmToSystemTime(const std::tm& fields);
std::tm SystemTimeToTm(const SystemTime_t& time);

class DateTime_t {
 public:
  // The local calendar fields of the time (the process's time zone), no offset.
  DateTime_t(const Time_t& time, int lcid);
  // The UTC calendar fields of time + offset; the offset is kept.
  DateTime_t(const Time_t& time, const TimeSpan_t& utcOffset, int lcid);

  const SystemTime_t& GetFields() const { return m_fields; }
  int GetLcid() const { return m_lcid; }
  const Optional_t<TimeSpan_t>& GetUtcOffset() const { return m_utcOffset; }

  // "(UTC+5.5)" and the like: the offset in hours with its sign, 3 significant
  // digits below 10 hours and 4 from 10 up; "(UTC)" for an offset of 0; empty
  // when the fields are local time.
  std::string FormatUtcOffset() const;

 private:
  SystemTime_t m_fields;
  int m_lcid;
  Optional_t<TimeSpan_t> m_utcOffset;
};

}  // namespace glo
