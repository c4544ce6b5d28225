#include "glo/GLO_TimeSpan.h"

#include <climits>
#include <cmath>
#include <iomanip>
#include <locale>
#include <sstream>

#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"

namespace glo {

namespace {

constexpr double kDay = 86400.0;

// Day texts of the language module: one day, several days.
constexpr unsigned kDaySingularId = 4016;
constexpr unsigned kDayPluralId = 4017;

}  // namespace

TimeSpan_t::Split_t TimeSpan_t::Split() const {
  const double s = m_seconds;
  if (!std::isfinite(s) || std::fabs(s / kDay) >= static_cast<double>(INT_MAX)) throw OutOfRange_t(GLO_SRC);
  Split_t split;
  const double days = std::trunc(s / kDay);
  double r = s - days * kDay;
  const double hours = std::trunc(r / 3600.0);
  r -= hours * 3600.0;
  const double minutes = std::trunc(r / 60.0);
  split.days = static_cast<int>(days);
  split.hours = static_cast<std::int16_t>(hours);
  split.minutes = static_cast<std::int16_t>(minutes);
  split.seconds = r - minutes * 60.0;
  return split;
}

std::string TimeSpan_t::Format(int dayMode, int secondsMode, bool omitEmptyHours) const {
  double total = std::fabs(m_seconds);
  // Rounding to whole minutes is done on the whole span, so that it carries
  // into the hours and days (59.5 minutes read "01:00", not "00:60").
  if (secondsMode == kMinutesRounded) total = std::floor(total / 60.0 + 0.5) * 60.0;
  const Split_t split = TimeSpan_t(total).Split();

  long long days = split.days;
  long long hours = split.hours;
  const int minutes = split.minutes;
  const long long seconds = static_cast<long long>(std::trunc(split.seconds));

  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << std::setfill('0');
  if (dayMode == kDaysWritten) {
    if (days > 0)
      text << days << ' ' << LoadStringResource(days == 1 ? kDaySingularId : kDayPluralId, GLO_SRC) << ' ';
  } else if (dayMode == kDaysAsHours) {
    hours += days * 24;
    days = 0;
  } else {
    days = 0;
  }
  if (!omitEmptyHours || hours + days != 0) text << std::setw(2) << hours << ':';
  text << std::setw(2) << minutes;
  if (secondsMode == kSecondsShown) text << ':' << std::setw(2) << seconds;

  // The sign goes before the whole text, once, and only when something shown
  // is not zero.
  const bool shownZero = days == 0 && hours == 0 && minutes == 0 && (secondsMode != kSecondsShown || seconds == 0);
  if (m_seconds < 0.0 && !shownZero) return "-" + text.str();
  return text.str();
}

}  // namespace glo
