#include "glo/GLO_DateTime.h"

#include <cmath>
#include <iomanip>
#include <locale>
#include <sstream>

#include "glo/GLO_Exception.h"
#include "plat/PLAT_Calendar.h"

namespace glo {

SystemTime_t TmToSystemTime(const std::tm& fields) {
  SystemTime_t st;
  st.wYear = static_cast<std::uint16_t>(fields.tm_year + 1900);
  st.wMonth = static_cast<std::uint16_t>(fields.tm_mon + 1);
  st.wDayOfWeek = static_cast<std::uint16_t>(fields.tm_wday);
  st.wDay = static_cast<std::uint16_t>(fields.tm_mday);
  st.wHour = static_cast<std::uint16_t>(fields.tm_hour);
  st.wMinute = static_cast<std::uint16_t>(fields.tm_min);
  st.wSecond = static_cast<std::uint16_t>(fields.tm_sec);
  st.wMilliseconds = 0;
  return st;
}

std::tm SystemTimeToTm(const SystemTime_t& time) {
  std::tm fields{};
  fields.tm_year = static_cast<int>(time.wYear) - 1900;
  fields.tm_mon = static_cast<int>(time.wMonth) - 1;
  fields.tm_wday = time.wDayOfWeek;
  fields.tm_mday = time.wDay;
  fields.tm_hour = time.wHour;
  fields.tm_min = time.wMinute;
  fields.tm_sec = time.wSecond;
  fields.tm_yday = 0;
  fields.tm_isdst = 0;
  return fields;
}

DateTime_t::DateTime_t(const Time_t& time, int lcid) : m_lcid(lcid) {
  std::tm fields{};
  if (!plat::LocalFields(time.GetValue(), fields)) throw OutOfRange_t(GLO_SRC);
  m_fields = TmToSystemTime(fields);
}

DateTime_t::DateTime_t(const Time_t& time, const TimeSpan_t& utcOffset, int lcid)
    : m_fields(TmToSystemTime(time.ToTm(utcOffset))), m_lcid(lcid), m_utcOffset(utcOffset) {}

std::string DateTime_t::FormatUtcOffset() const {
  if (!m_utcOffset.IsPresent()) return std::string();
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << "(UTC";
  const double hours = m_utcOffset->GetSeconds() / 3600.0;
  if (hours != 0.0)
    text << std::showpos << std::setprecision(std::fabs(hours) < 10.0 ? 3 : 4) << hours;
  text << ")";
  return text.str();
}

}  // namespace glo
