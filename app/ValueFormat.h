#pragma once
// The texts of the training log's values (time spans, paces, speeds, heart
// rates, integers, dates and week labels), the conversions to pace and speed,
// the week of a run, and the sums over a range of runs.
//
// Distances follow the user's unit system (statute, metric, nautical); paces
// and speeds know two: statute gives miles, every other value kilometres.
#include <cstdint>
#include <string>

#include "app/RunSet.h"
#include "glo/GLO_Time.h"
#include "mat/MAT_Units.h"
#include "plat/PLAT_Calendar.h"

namespace app {

// Hours (days counted as 24 hours), minutes and whole seconds, each at least
// two digits: 3725.9 s gives "01:02:05", 100 hours "100:00:00".
std::string FormatTimeSpan(double seconds);

std::string FormatInteger(long long value);

// The distance in the unit system's converter: above its switch threshold in
// the large unit, else in the small one, with the unit's significant digits
// and abbreviation.
std::string FormatDistance(double metres, mat::DistUnitsTypes_t units);

// Seconds per mile (statute) or kilometre; 0 for no distance.
double PaceFromDistanceTime(double seconds, double metres, mat::DistUnitsTypes_t units);
// Miles (statute) or kilometres per hour; 0 for no time.
double SpeedFromDistanceTime(double metres, double seconds, mat::DistUnitsTypes_t units);

// The pace as a time span with "/mi" or "/km": 1800 s over 5000 m give "00:06:00/km".
std::string FormatPace(double seconds, double metres, mat::DistUnitsTypes_t units);
// The speed with one decimal and " mph" or " kph": 5000 m in 1800 s give "10.0 kph".
std::string FormatSpeed(double metres, double seconds, mat::DistUnitsTypes_t units);

// One decimal and " bpm".
std::string FormatHeartRate(double beatsPerMinute);

// The first moment of the week of a time: the local midnight (00:00) of the
// Sunday on or before it, found in local calendar fields, with daylight
// saving resolved for that midnight.
glo::Time_t WeekStart(const glo::Time_t& time);

// The local date of a time in the short date form of the locale (the user's
// locale by default).
std::string FormatLocalDate(const glo::Time_t& time, unsigned long lcid = plat::kLocaleUserDefault);

// The first and last date (Sunday and Saturday) of the week of a time,
// joined by " - ".
std::string FormatWeekLabel(const glo::Time_t& time, unsigned long lcid = plat::kLocaleUserDefault);

// The sums over every lap of every run of a range.
struct RangeTotals_t {
  long double metres = 0.0L;
  double seconds = 0.0;
  std::uint64_t calories = 0;
  // Duration-weighted heart rate: the sum of minutes x rate and the sum of
  // the minutes, over the laps that have a heart rate.
  double weightedHeartRate = 0.0;
  double heartRateMinutes = 0.0;
};
RangeTotals_t SumRange(RunSet_t::const_iterator first, RunSet_t::const_iterator last);

std::string FormatRangeDistance(RunSet_t::const_iterator first, RunSet_t::const_iterator last,
                                mat::DistUnitsTypes_t units);
std::string FormatRangeTime(RunSet_t::const_iterator first, RunSet_t::const_iterator last);
std::string FormatRangePace(RunSet_t::const_iterator first, RunSet_t::const_iterator last, mat::DistUnitsTypes_t units);
std::string FormatRangeSpeed(RunSet_t::const_iterator first, RunSet_t::const_iterator last, mat::DistUnitsTypes_t units);
std::string FormatRangeCalories(RunSet_t::const_iterator first, RunSet_t::const_iterator last);
// The average heart rate, or the empty text when no lap (of any duration) has one.
std::string FormatRangeHeartRate(RunSet_t::const_iterator first, RunSet_t::const_iterator last);

}  // namespace app
