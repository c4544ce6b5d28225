#include "mpl/tide/MPL_TideMath.h"

#include <cmath>
#include <cstddef>

namespace mpl {

namespace {

// Days before each month of a common year.
constexpr unsigned kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
constexpr unsigned kDaysBeforeLeap[12] = {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335};
constexpr unsigned kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

}  // namespace

double WrapRadians(double angle) {
  double r = std::fmod(angle, kTwoPi);
  if (r > kPi) {
    r -= kTwoPi;
  } else if (r <= -kPi) {
    r += kTwoPi;
  }
  return r;
}

float WrapRadiansF(float angle) {
  float r = angle - std::trunc(angle * kInverseTwoPiF) * kTwoPiF;
  if (r > kPiF) {
    r -= kTwoPiF;
  } else if (r <= -kPiF) {
    r += kTwoPiF;
  }
  return r;
}

float Atan2(float y, float x) {
  if (x == 0.0f) {
    if (y == 0.0f) return 0.0f;
    return y > 0.0f ? kHalfPiF : -kHalfPiF;
  }
  float a = std::atan(y / x);
  if (x < 0.0f) a = WrapRadiansF(a + kPiF);
  return a;
}

std::uint32_t DegreesToAngle(double degrees) {
  const double d = Normalize180(degrees);
  return static_cast<std::uint32_t>(static_cast<std::int64_t>(d * kAngleUnitsPerDegree));
}

std::uint32_t RadiansToAngle(double radians) {
  return static_cast<std::uint32_t>(static_cast<std::int64_t>(WrapRadians(radians) * kAngleUnitsPerRadian));
}

double FixedSinDeg(double degrees) { return FixedSin(DegreesToAngle(degrees)) * kFixedOne; }
double FixedCosDeg(double degrees) { return FixedCos(DegreesToAngle(degrees)) * kFixedOne; }

double SemicirclesToRadians(double semicircles) {
  double r = semicircles * kRadiansPerSemicircle;
  if (r <= -kPi) r += kTwoPi;
  return r;
}

float SemicirclesToRadiansF(float semicircles) {
  float r = semicircles * kRadiansPerSemicircleF;
  if (r <= -kPiF) r += kTwoPiF;
  return r;
}

std::int32_t RadiansToSemicircles(double radians) {
  return static_cast<std::int32_t>(static_cast<std::int64_t>(radians * kAngleUnitsPerRadian));
}

double Normalize360(double degrees) {
  double r = std::fmod(degrees, 360.0);
  if (r < 0.0) r += 360.0;
  if (r >= 360.0) r -= 360.0;
  return r;
}

double Normalize180(double degrees) {
  double r = Normalize360(degrees);
  if (r >= 180.0) r -= 360.0;
  return r;
}

TideDate_t EngineSecondsToDate(std::int64_t seconds) {
  const std::int64_t days = FloorDiv(seconds, 86400);
  const std::int64_t cycle = FloorDiv(days, 1461);
  std::int64_t year = 1990 + 4 * cycle;
  std::int64_t b = days - 1461 * cycle;
  while (b > 365) {
    b -= 365;
    if (year % 4 == 0) --b;
    ++year;
  }
  TideDate_t date{};
  if (b == 0) {
    date.year = static_cast<std::uint16_t>(year - 1);
    date.month = 12;
    date.day = 31;
    return date;
  }
  const bool leap = (year % 4 == 0);
  bool reduced = false;
  if (leap && b >= 60) {
    reduced = (b == 60);
    --b;
  }
  int month = 0;
  while (month < 11 && kDaysBefore[month + 1] < b) ++month;
  date.year = static_cast<std::uint16_t>(year);
  date.month = static_cast<std::uint8_t>(month + 1);
  date.day = static_cast<std::uint8_t>(b - kDaysBefore[month]);
  if (reduced) date.day = 29;  // the 28 February reached by the reduction
  return date;
}

std::int64_t DateToEngineSeconds(const TideDate_t& date) {
  const std::int64_t k = FloorDiv(static_cast<std::int64_t>(date.year) - 1990, 4);
  std::int64_t days = 1461 * k;
  for (std::int64_t y = 1990 + 4 * k; y < date.year; ++y) days += (y % 4 == 0) ? 366 : 365;
  const unsigned m = (date.month >= 1 && date.month <= 12) ? date.month - 1u : 0u;
  days += kDaysBefore[m];
  if (date.month > 2 && date.year % 4 == 0) ++days;
  days += date.day;
  return days * 86400;
}

TideDate_t AddDays(const TideDate_t& date, int days) {
  return EngineSecondsToDate(DateToEngineSeconds(date) + static_cast<std::int64_t>(days) * 86400);
}

bool SecondsToClock(std::int32_t seconds, bool timeOfDay, TideClock_t& clock) {
  std::int64_t s = seconds;
  if (timeOfDay) s %= 86400;
  bool ok = true;
  if (s > 117964799) {
    s = 117964799;
    ok = false;
  } else if (s < -117968399) {
    s = -117968399;
    ok = false;
  }
  clock.hours = static_cast<std::int16_t>(s / 3600);
  const std::int64_t rest = s % 3600;
  clock.minutes = static_cast<std::uint8_t>(rest / 60);
  clock.seconds = static_cast<std::uint8_t>(rest % 60);
  return ok;
}

std::int32_t ClockToSeconds(const TideClock_t& clock) {
  return clock.hours * 3600 + clock.minutes * 60 + clock.seconds;
}

bool IsGregorianLeap(unsigned year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

unsigned DayOfYear(const TideDate_t& date) {
  const unsigned m = (date.month >= 1 && date.month <= 12) ? date.month - 1u : 0u;
  return (IsGregorianLeap(date.year) ? kDaysBeforeLeap[m] : kDaysBefore[m]) + date.day;
}

unsigned DaysInMonth(const TideDate_t& date) {
  const unsigned m = (date.month >= 1 && date.month <= 12) ? date.month - 1u : 0u;
  return (m == 1 && IsGregorianLeap(date.year)) ? 29u : kMonthDays[m];
}

unsigned DaysInYear(const TideDate_t& date) { return IsGregorianLeap(date.year) ? 366u : 365u; }

bool DeltaT(int year, double& seconds) {
  if (year > 2100) {
    seconds = 0.0;
    return false;
  }
  const double x = (year - 2000) / 100.0;
  seconds = 102.0 + 102.0 * x + 25.3 * x * x + 0.37 * (year - 2100);
  return true;
}

namespace {

// Sine of an angle in degrees: wrapped radians through the fixed-point sine.
double PhaseSin(double degrees) {
  return FixedSin(RadiansToAngle(degrees * (kPi / 180.0))) * kFixedOne;
}

// One periodic term of the phase corrections: coefficient, power of E and
// the multiples of M, M' and F in the sine's argument.
struct PhaseTerm_t {
  double coefficient;
  int ePower;
  int m;
  int mPrime;
  int f;
};

constexpr PhaseTerm_t kNewMoonTerms[24] = {
    {-0.40720, 0, 0, 1, 0}, {0.17241, 1, 1, 0, 0},  {0.01608, 0, 0, 2, 0},   {0.01039, 0, 0, 0, 2},
    {0.00739, 1, -1, 1, 0}, {-0.00514, 1, 1, 1, 0}, {0.00208, 2, 2, 0, 0},   {-0.00111, 0, 0, 1, -2},
    {-0.00057, 0, 0, 1, 2}, {0.00056, 1, 1, 2, 0},  {-0.00042, 0, 0, 3, 0},  {0.00042, 1, 1, 0, 2},
    {0.00038, 1, 1, 0, -2}, {-0.00024, 1, -1, 2, 0}, {-0.00007, 0, 2, 1, 0}, {0.00004, 0, 0, 2, -2},
    {0.00004, 0, 3, 0, 0},  {0.00003, 0, 1, 1, -2}, {0.00003, 0, 0, 2, 2},   {-0.00003, 0, 1, 1, 2},
    {0.00003, 0, -1, 1, 2}, {-0.00002, 0, -1, 1, -2}, {-0.00002, 0, 1, 3, 0}, {0.00002, 0, 0, 4, 0},
};

constexpr PhaseTerm_t kFullMoonTerms[24] = {
    {-0.40614, 0, 0, 1, 0}, {0.17302, 1, 1, 0, 0},  {0.01614, 0, 0, 2, 0},   {0.01043, 0, 0, 0, 2},
    {0.00734, 1, -1, 1, 0}, {-0.00515, 1, 1, 1, 0}, {0.00209, 2, 2, 0, 0},   {-0.00111, 0, 0, 1, -2},
    {-0.00057, 0, 0, 1, 2}, {0.00056, 1, 1, 2, 0},  {-0.00042, 0, 0, 3, 0},  {0.00042, 1, 1, 0, 2},
    {0.00038, 1, 1, 0, -2}, {-0.00024, 1, -1, 2, 0}, {-0.00007, 0, 2, 1, 0}, {0.00004, 0, 0, 2, -2},
    {0.00004, 0, 3, 0, 0},  {0.00003, 0, 1, 1, -2}, {0.00003, 0, 0, 2, 2},   {-0.00003, 0, 1, 1, 2},
    {0.00003, 0, -1, 1, 2}, {-0.00002, 0, -1, 1, -2}, {-0.00002, 0, 1, 3, 0}, {0.00002, 0, 0, 4, 0},
};

// Planetary arguments A1..A14: constant, rate per lunation, coefficient.
struct PlanetTerm_t {
  double base;
  double rate;
  double coefficient;
};

constexpr PlanetTerm_t kPlanetTerms[14] = {
    {299.77, 0.107408, 0.000325}, {251.88, 0.016321, 0.000165}, {251.83, 26.651886, 0.000164},
    {349.42, 36.412478, 0.000126}, {84.66, 18.206239, 0.000110}, {141.74, 53.303771, 0.000062},
    {207.14, 2.453732, 0.000060},  {154.84, 7.306860, 0.000056},  {34.52, 27.261239, 0.000047},
    {207.19, 0.121824, 0.000042},  {291.34, 1.844379, 0.000040},  {161.72, 24.198154, 0.000037},
    {239.56, 25.513099, 0.000035}, {331.55, 3.592518, 0.000023},
};

}  // namespace

double MoonPhaseJde(double k, int year) {
  const double t = k / 1236.85;
  const double t2 = t * t;
  double jde = 2451550.09766 + 29.530588861 * k + 0.00015437 * t2 - 1.5e-7 * t2 * t + 7.3e-10 * t2 * t2;
  const double e = 1.0 - t * (0.002516 + 7.4e-6 * t);
  const double m = 2.5534 + 29.1053567 * k - t2 * (1.4e-6 + 1.1e-7 * t);
  const double mp = 201.5643 + 385.81693528 * k + t2 * (0.0107582 + t * (0.00001238 - 5.8e-8 * t));
  const double f = 160.7108 + 390.67050284 * k - t2 * (0.0016118 + t * (2.27e-6 - 1.1e-8 * t));
  const double omega = 124.7746 - 1.56375588 * k + t2 * (0.0020672 + 2.15e-6 * t);

  const bool full = std::fabs(k - std::floor(k) - 0.5) < 0.25;
  const PhaseTerm_t* terms = full ? kFullMoonTerms : kNewMoonTerms;
  for (int i = 0; i < 24; ++i) {
    const PhaseTerm_t& term = terms[i];
    double c = term.coefficient;
    for (int p = 0; p < term.ePower; ++p) c *= e;
    jde += c * PhaseSin(term.m * m + term.mPrime * mp + term.f * f);
  }
  for (int i = 0; i < 14; ++i) {
    const PlanetTerm_t& term = kPlanetTerms[i];
    double a = term.base + term.rate * k;
    if (i == 0) a -= 0.009173 * t2;
    jde += term.coefficient * PhaseSin(a);
  }
  jde -= 0.00017 * PhaseSin(omega);

  double deltaT = 0.0;
  if (DeltaT(year, deltaT)) jde -= deltaT / 86400.0;
  return jde;
}

int MoonPhaseTime(std::uint32_t dayStart, int kind, int utcOffsetMinutes) {
  const double jd0 = dayStart / 86400.0 - 3653.5 + 2451545.0;
  // The lunation estimate from the universal date of the day.
  const TideDate_t date = EngineSecondsToDate(static_cast<std::int64_t>(dayStart) - 60LL * utcOffsetMinutes);
  const double h =
      (static_cast<double>(DayOfYear(date)) / DaysInYear(date) + date.year - 2000.0) * 12.3685;
  const double base = std::floor(h);
  double k1 = base, k2 = base + 1.0;
  switch (kind) {
    case kNextFullMoon:
      k1 = base + 0.5;
      k2 = base + 1.5;
      break;
    case kLastNewMoon:
      k1 = base - 1.0;
      k2 = base;
      break;
    case kLastFullMoon:
      k1 = base - 0.5;
      k2 = base + 0.5;
      break;
    default:
      break;
  }
  // The local midnight at or before a phase: local time is UT plus the offset.
  auto phaseDay = [&](double k) {
    const double j = MoonPhaseJde(k, date.year) + utcOffsetMinutes / 1440.0;
    const double m = std::floor(j) + 0.5;
    return m < j ? m : std::floor(j) - 0.5;
  };
  const double da = phaseDay(k1) - jd0;
  const double db = phaseDay(k2) - jd0;
  double result;
  if (kind == kNextNewMoon || kind == kNextFullMoon) {
    result = (da < 0.0) ? db : (da < db ? da : db);
  } else {
    const double eb = -db;
    result = (eb > 0.0) ? eb : -da;
  }
  return static_cast<int>(result);
}

}  // namespace mpl
