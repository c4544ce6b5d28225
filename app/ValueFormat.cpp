#include "app/ValueFormat.h"

#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>

#include "glo/GLO_DateTime.h"
#include "glo/GLO_Exception.h"
#include "mat/MAT_UnitConverterTable.h"
#include "win/WIN_TimeStr.h"

namespace app {

namespace {

// The distance in the unit of paces and speeds: miles or kilometres.
double PaceUnitDistance(double metres, mat::DistUnitsTypes_t units) {
  if (units == mat::DistUnitsTypes_t::Statute) return metres * 3.280839895013123 * 0.0001893939393939394;
  return metres * 0.001;
}

// Fixed notation with one decimal and a "." whatever the process's locale.
std::string OneDecimal(double value) {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << std::fixed << std::setprecision(1) << value;
  return text.str();
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

struct Date_t {
  int year;
  int month;
  int day;
};

Date_t CivilFromDays(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2)), static_cast<int>(m),
          static_cast<int>(d)};
}

// The local date of the Sunday on or before the time.
std::int64_t LocalWeekStartDay(const glo::Time_t& time) {
  std::tm local;
  if (!plat::LocalFields(time.GetValue(), local)) throw glo::Assert_t(GLO_SRC);
  return DaysFromCivil(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                       static_cast<unsigned>(local.tm_mday)) -
         local.tm_wday;
}

std::string FormatDate(const Date_t& date, unsigned long lcid) {
  // Calendar fields of a date, handed over as the UTC noon of that day.
  const glo::Time_t noon(static_cast<std::uint16_t>(date.year), static_cast<std::uint16_t>(date.month),
                         static_cast<std::uint16_t>(date.day), 12, 0, 0);
  return win::FormatDate(glo::DateTime_t(noon, glo::TimeSpan_t(0), static_cast<int>(lcid)));
}

}  // namespace

std::string FormatTimeSpan(double seconds) {
  return glo::TimeSpan_t(seconds).Format(glo::TimeSpan_t::kDaysAsHours, glo::TimeSpan_t::kSecondsShown, false);
}

std::string FormatInteger(long long value) { return std::to_string(value); }

std::string FormatDistance(double metres, mat::DistUnitsTypes_t units) {
  return mat::DistanceUnitsEntry(units).Format(metres, true);
}

double PaceFromDistanceTime(double seconds, double metres, mat::DistUnitsTypes_t units) {
  const double distance = PaceUnitDistance(metres, units);
  return distance > 0 ? seconds / distance : 0.0;
}

double SpeedFromDistanceTime(double metres, double seconds, mat::DistUnitsTypes_t units) {
  const double distance = PaceUnitDistance(metres, units);
  const double hours = seconds / 3600.0;
  return hours > 0 ? distance / hours : 0.0;
}

std::string FormatPace(double seconds, double metres, mat::DistUnitsTypes_t units) {
  return FormatTimeSpan(PaceFromDistanceTime(seconds, metres, units)) +
         (units == mat::DistUnitsTypes_t::Statute ? "/mi" : "/km");
}

std::string FormatSpeed(double metres, double seconds, mat::DistUnitsTypes_t units) {
  return OneDecimal(SpeedFromDistanceTime(metres, seconds, units)) +
         (units == mat::DistUnitsTypes_t::Statute ? " mph" : " kph");
}

std::string FormatHeartRate(double beatsPerMinute) { return OneDecimal(beatsPerMinute) + " bpm"; }

glo::Time_t WeekStart(const glo::Time_t& time) {
  const Date_t sunday = CivilFromDays(LocalWeekStartDay(time));
  std::tm midnight = {};
  midnight.tm_year = sunday.year - 1900;
  midnight.tm_mon = sunday.month - 1;
  midnight.tm_mday = sunday.day;
  midnight.tm_isdst = -1;
  return glo::Time_t(static_cast<std::uint16_t>(sunday.year), static_cast<std::uint16_t>(sunday.month),
                     static_cast<std::uint16_t>(sunday.day), 0, 0, 0, glo::GetUtcOffset(midnight));
}

std::string FormatLocalDate(const glo::Time_t& time, unsigned long lcid) {
  return win::FormatDate(glo::DateTime_t(time, static_cast<int>(lcid)));
}

std::string FormatWeekLabel(const glo::Time_t& time, unsigned long lcid) {
  const std::int64_t sunday = LocalWeekStartDay(time);
  return FormatDate(CivilFromDays(sunday), lcid) + " - " + FormatDate(CivilFromDays(sunday + 6), lcid);
}

RangeTotals_t SumRange(RunSet_t::const_iterator first, RunSet_t::const_iterator last) {
  RangeTotals_t totals;
  for (auto run = first; run != last; ++run) {
    for (const Lap_t& lap : run->GetLaps()) {
      const double seconds = lap.GetDuration() * 0.01;
      totals.metres += lap.GetLength();
      totals.seconds += seconds;
      totals.calories += lap.GetCalories();
      if (lap.GetHeartRate().IsPresent()) {
        const double minutes = seconds / 60.0;
        totals.weightedHeartRate += minutes * *lap.GetHeartRate();
        totals.heartRateMinutes += minutes;
      }
    }
  }
  return totals;
}

std::string FormatRangeDistance(RunSet_t::const_iterator first, RunSet_t::const_iterator last,
                                mat::DistUnitsTypes_t units) {
  return FormatDistance(static_cast<double>(SumRange(first, last).metres), units);
}

std::string FormatRangeTime(RunSet_t::const_iterator first, RunSet_t::const_iterator last) {
  return FormatTimeSpan(SumRange(first, last).seconds);
}

std::string FormatRangePace(RunSet_t::const_iterator first, RunSet_t::const_iterator last, mat::DistUnitsTypes_t units) {
  const RangeTotals_t totals = SumRange(first, last);
  return FormatPace(totals.seconds, static_cast<double>(totals.metres), units);
}

std::string FormatRangeSpeed(RunSet_t::const_iterator first, RunSet_t::const_iterator last, mat::DistUnitsTypes_t units) {
  const RangeTotals_t totals = SumRange(first, last);
  return FormatSpeed(static_cast<double>(totals.metres), totals.seconds, units);
}

std::string FormatRangeCalories(RunSet_t::const_iterator first, RunSet_t::const_iterator last) {
  return FormatInteger(static_cast<long long>(SumRange(first, last).calories));
}

std::string FormatRangeHeartRate(RunSet_t::const_iterator first, RunSet_t::const_iterator last) {
  const RangeTotals_t totals = SumRange(first, last);
  if (totals.weightedHeartRate == 0 || totals.heartRateMinutes == 0) return std::string();
  return FormatHeartRate(totals.weightedHeartRate / totals.heartRateMinutes);
}

}  // namespace app
