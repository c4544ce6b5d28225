#pragma once
// The numeric kernel of the tide engine: angle wrapping, a four-quadrant
// arctangent, fixed-point sines and cosines of 32-bit angles (2^32 units per
// turn, results scaled by 2^31), a rounded integer square root, the calendar of
// engine time (seconds since 1989-12-31 00:00 on the station's clock), clock
// fields, and the days to or from new and full moons.
#include <cstdint>

#include "mpl/MPL_Geometry.h"  // ISqrt64 and the sine and cosine kernels
#include "mpl/tide/MPL_TideConstants.h"

namespace mpl {

// A calendar date of the engine.
struct TideDate_t {
  std::uint8_t month;  // 1..12
  std::uint8_t day;    // 1..31
  std::uint16_t year;
};

// Clock fields of a number of seconds.
struct TideClock_t {
  std::int16_t hours;
  std::uint8_t minutes;
  std::uint8_t seconds;
};

// Angles.
double WrapRadians(double angle);  // into (-pi, pi]
float WrapRadiansF(float angle);   // the same in single precision
float Atan2(float y, float x);     // radians; (0, 0) gives 0

// Sine and cosine of any 32-bit angle, scaled by 2^31, folded by quadrant
// onto the map reader's kernels (MPL_Geometry.h); inline, as the harmonic sum
// calls them for every constituent at every time.
inline std::int32_t FixedSin(std::uint32_t angle) {
  const std::int32_t q = static_cast<std::int32_t>(angle + 0x20000000u) >> 30;
  const std::int32_t b = static_cast<std::int32_t>(angle << 2) >> 2;
  switch (q) {
    case 0:
      return MdbSinKernel(b);
    case 1:
      return MdbCosKernel(b);
    case -1:
      return -MdbCosKernel(b);
    default:
      return -MdbSinKernel(b);
  }
}
inline std::int32_t FixedCos(std::uint32_t angle) { return FixedSin(angle + 0x40000000u); }
// Degrees as a 32-bit angle: wrapped into [-180, 180) first, then truncated.
std::uint32_t DegreesToAngle(double degrees);
// Radians as a 32-bit angle: wrapped into (-pi, pi] first.
std::uint32_t RadiansToAngle(double radians);
// Sine and cosine of an angle in degrees through the fixed-point kernel.
double FixedSinDeg(double degrees);
double FixedCosDeg(double degrees);

// Semicircles (2^31 = pi) and radians.
double SemicirclesToRadians(double semicircles);
float SemicirclesToRadiansF(float semicircles);
std::int32_t RadiansToSemicircles(double radians);

// Angles normalised into [0, 360) and [-180, 180).
double Normalize360(double degrees);
double Normalize180(double degrees);

// The engine calendar. Leap years are those divisible by 4 (true from 1901 to
// 2099). Seconds are signed 64-bit and divided with floor division, so dates
// before 1989-12-31 (negative seconds) convert as well.
TideDate_t EngineSecondsToDate(std::int64_t seconds);
std::int64_t DateToEngineSeconds(const TideDate_t& date);
// The date moved by a number of days.
TideDate_t AddDays(const TideDate_t& date, int days);

// Clock fields: with 'timeOfDay' the seconds are first taken modulo 86400.
// Values beyond 32767:59:59 either way are clamped and the result is false.
bool SecondsToClock(std::int32_t seconds, bool timeOfDay, TideClock_t& clock);
std::int32_t ClockToSeconds(const TideClock_t& clock);

// Gregorian calendar counts.
bool IsGregorianLeap(unsigned year);
unsigned DayOfYear(const TideDate_t& date);
unsigned DaysInMonth(const TideDate_t& date);
unsigned DaysInYear(const TideDate_t& date);

// Delta-T in seconds for a year; false after 2100.
bool DeltaT(int year, double& seconds);
// The Julian ephemeris day of a new moon (k whole) or full moon (k whole plus
// one half), less delta-T.
double MoonPhaseJde(double k, int year);

// Phase kinds of MoonPhaseTime.
enum MoonPhaseKind_t {
  kNextNewMoon = 0,
  kNextFullMoon = 1,
  kLastNewMoon = 2,
  kLastFullMoon = 3,
};
// Whole days from the day that starts at 'dayStart' (engine seconds, local
// time of a station whose clock is 'utcOffsetMinutes' ahead of UT) to the next
// phase (0 when it falls on that day) or since the last one (a phase on that
// very day not counting).
int MoonPhaseTime(std::uint32_t dayStart, int kind, int utcOffsetMinutes);

}  // namespace mpl
