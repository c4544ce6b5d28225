#include "mpl/tide/MPL_TideSimplified.h"

#include <cmath>

#include "mpl/MPL_Engine.h"
#include "mpl/tide/MPL_TideConstants.h"

namespace mpl {

namespace {

// A length rounded to thousandths through the integer square root.
double RoundedLength(double x, double y) {
  const double squared = (x * x + y * y) * 1e6;
  return ISqrt64(static_cast<std::uint64_t>(squared)) / 1000.0;
}

double AtanDeg(double y, double x) { return Atan2(static_cast<float>(y), static_cast<float>(x)) * kDegreesPerRadian; }

// Sums the vectors ratio x (cos arg, sin arg) of a group of terms into a node
// factor and a phase A = minus the angle of the sum.
struct Group_t {
  double x = 0.0, y = 0.0;
  void Add(double ratio, double degrees) {
    const std::uint32_t a = DegreesToAngle(Normalize360(degrees));
    x += ratio * FixedCos(a) * kFixedOne;
    y += ratio * FixedSin(a) * kFixedOne;
  }
  void Result(double& phase, double& factor) const {
    factor = RoundedLength(x, y);
    phase = Normalize360(-AtanDeg(y, x));
  }
};

void OneDay(const TideDate_t& date, double phase[4], double factor[4]) {
  const double y = date.year - 1900.0;
  const double d = DayOfYear(date) - 1.0 + std::floor((date.year - 1901) / 4.0);
  const double s = Normalize360(277.02 + 129.3848 * y + 13.1764 * d);
  const double h = Normalize360(280.19 - 0.2387 * y + 0.9857 * d);
  const double p = Normalize360(334.39 + 40.6625 * y + 0.1114 * d);
  const double n = Normalize180(259.16 - 19.3282 * y - 0.053 * d);
  const double sinN = FixedSinDeg(n), cosN = FixedCosDeg(n);
  const double sin2N = 2.0 * sinN * cosN, cos2N = 2.0 * cosN * cosN - 1.0;
  const double sin3N = 3.0 * sinN - 4.0 * sinN * sinN * sinN, cos3N = 4.0 * cosN * cosN * cosN - 3.0 * cosN;

  // M2 with the folded L2 term.
  const double fM = 1.0004 - 0.0373 * cosN + 0.0002 * cos2N;
  const double uM = -2.14 * sinN;
  Group_t l;
  l.x = 1.0 - 0.2505 * FixedCosDeg(2 * p) - 0.1102 * FixedCosDeg(2 * p - n) - 0.0156 * FixedCosDeg(2 * p - 2 * n) -
        0.037 * cosN;
  l.y = -0.2505 * FixedSinDeg(2 * p) - 0.1102 * FixedSinDeg(2 * p - n) - 0.0156 * FixedSinDeg(2 * p - 2 * n) -
        0.037 * sinN;
  const double fL = RoundedLength(l.x, l.y);
  const double uL = AtanDeg(l.y, l.x);
  Group_t m2;
  m2.Add(fM, 2 * h - 2 * s + uM);
  m2.Add(0.02534 * fM, 2 * h - 4 * s + 2 * p + uM + 30);
  m2.Add(0.03636 * fM, 4 * h - 3 * s - p + uM + 15);
  m2.Add(0.03057 * fM, 4 * h - 4 * s + uM + 30);
  m2.Add(0.19146 * fM, 2 * h - 3 * s + p + uM + 15);
  m2.Add(0.00738 * fM, p - s + uM + 165);
  m2.Add(0.02827 * fL, 2 * h - s - p + uL + 165);
  m2.Result(phase[0], factor[0]);

  const double fK2 = 1.0246 + 0.2863 * cosN + 0.0083 * cos2N - 0.0015 * cos3N;
  const double uK2 = -17.74 * sinN + 0.68 * sin2N - 0.04 * sin3N;
  Group_t s2;
  s2.Add(1.0, 0.0);
  s2.Add(0.05861, 282.9 - h);
  s2.Add(0.27215 * fK2, 2 * h + uK2);
  s2.Result(phase[1], factor[1]);

  const double fK = 1.006 + 0.115 * cosN - 0.0088 * cos2N + 0.0006 * cos3N;
  const double uK = -8.86 * sinN + 0.68 * sin2N - 0.07 * sin3N;
  const double fJ = 1.0129 + 0.1676 * cosN - 0.017 * cos2N + 0.0016 * cos3N;
  const double uJ = -12.94 * sinN + 1.34 * sin2N - 0.19 * sin3N;
  Group_t k1;
  k1.Add(fK, h + uK + 90);
  k1.Add(0.05591 * fJ, h + s - p + uJ + 90);
  k1.Add(0.33093, -h - 90);
  k1.Add(0.01939, 282.9 - 2 * h - 90);
  k1.Add(0.01424, 3 * h + 90);
  k1.Result(phase[2], factor[2]);

  const double fO = 1.0089 + 0.1871 * cosN - 0.0147 * cos2N + 0.0014 * cos3N;
  const double uO = 10.8 * sinN - 1.34 * sin2N + 0.19 * sin3N;
  Group_t o1;
  o1.Add(fO, h - 2 * s - 90 + uO);
  o1.Add(0.19146 * fO, h - 3 * s + p - 90 + uO);
  o1.Add(0.03056 * fO, 3 * h - 4 * s - 90 + uO);
  o1.Add(0.02534 * fO, h - 4 * s + 2 * p - 90 + uO);
  o1.Add(0.03637 * fO, 3 * h - 3 * s - p - 90 + uO);
  o1.Result(phase[3], factor[3]);
}

std::uint32_t DayStartOf(const TideDate_t& date) { return static_cast<std::uint32_t>(DateToEngineSeconds(date)); }

// The four daily levels from the day table.
bool DayLevels(MdbMap_t& map, const MDB_tide_simplified_type& rec, TideSimplifiedWork_t& work) {
  for (float& level : work.levels) level = work.z0;
  work.flags |= kTideHasDayLevels;
  const std::uint32_t start = DayStartOf(work.date);
  bool after = false;
  const unsigned d = TideSpringNeapDay(start, rec, after);
  bool ignored = false;
  unsigned index[4] = {d, d, d, d};  // yesterday, today, tomorrow, the day after
  if (d == 0) {
    index[0] = 1;
    index[2] = 1;
    index[3] = 2;
  } else if (d < 7) {
    if (after) {
      index[0] = d - 1;
      index[2] = d + 1;
      index[3] = d + 2;
    } else {
      index[0] = d + 1;
      index[2] = d - 1;
      index[3] = (d == 1) ? 1 : d - 2;
    }
  } else if (d == 7) {
    if (after) {
      index[0] = 6;
      index[2] = TideSpringNeapDay(start + 86400, rec, ignored);
      index[3] = TideSpringNeapDay(start + 172800, rec, ignored);
    } else {
      index[0] = TideSpringNeapDay(start - 86400, rec, ignored);
      index[2] = 6;
      index[3] = 5;
    }
  } else {
    index[0] = TideSpringNeapDay(start - 86400, rec, ignored);
    index[2] = TideSpringNeapDay(start + 86400, rec, ignored);
    index[3] = TideSpringNeapDay(start + 172800, rec, ignored);
  }
  for (unsigned i = 0; i < 4; ++i) {
    if (index[i] >= 8) continue;
    std::int32_t raw = 0, divisor = 1;
    if (MdbReadDayLevel(map, rec, index[i], raw, divisor) != kMdbDone) return false;
    work.levels[i] = static_cast<float>(static_cast<double>(raw) / divisor);
  }
  return true;
}

bool MonthlyTables(MdbMap_t& map, const MDB_tide_simplified_type& rec, TideSimplifiedWork_t& work) {
  unsigned month = work.date.month;
  for (unsigned j = 0; j < 3; ++j, month = month % 12 + 1) {
    std::int32_t raw = 0, divisor = 1;
    if (rec.flags & kTideMeanLevelTable) {
      if (MdbReadMeanLevelValue(map, rec.meanLevelOffset, month, raw, divisor) != kMdbDone) return false;
      work.monthly[kMonthMeanLevel][j] = static_cast<float>(static_cast<double>(raw) / divisor);
      work.flags |= kTideHasMeanLevel;
    }
    if (!(rec.flags & kTideMonthlyTables)) continue;
    for (unsigned table = 0; table < 4; ++table) {
      if (((rec.monthlyFlags >> (2 * table)) & 3u) == 0) continue;
      if (MdbReadMonthlyValue(map, rec, month, table, raw, divisor) != kMdbDone) return false;
      double value;
      if (table <= kTideS2Phase) {
        value = Normalize360(SemicirclesToRadians(raw) * kDegreesPerRadian);
      } else {
        value = static_cast<double>(raw) / divisor;
      }
      work.monthly[table][j] = static_cast<float>(value);
      work.flags |= static_cast<std::uint8_t>(1u << table);
    }
  }
  return true;
}

// The quantities in force at hour t: mean level, phases g and amplitudes H.
struct State_t {
  double level;
  double g[4];
  double h[4];
};

State_t StateAt(const TideSimplifiedWork_t& work, double t) {
  State_t st{};
  st.level = work.z0;
  for (int i = 0; i < 4; ++i) {
    st.g[i] = work.g[i];
    st.h[i] = work.h[i];
  }
  const double start = work.dayStart;
  if (work.flags & kTideHasDayLevels) {
    const bool first = t < start + 24.0;
    const double noon = first ? start + 12.0 : start + 36.0;
    const unsigned i = first ? 1u : 2u;
    if (t >= noon) {
      st.level = work.levels[i] + (t - noon) / 24.0 * (work.levels[i + 1] - work.levels[i]);
    } else {
      st.level = work.levels[i - 1] + (t - (noon - 24.0)) / 24.0 * (work.levels[i] - work.levels[i - 1]);
    }
  }
  if (work.flags & (kTideHasM2Phase | kTideHasS2Phase | kTideHasM2Amplitude | kTideHasS2Amplitude |
                    kTideHasMeanLevel)) {
    unsigned a = 0;
    TideDate_t date = work.date;
    double hours = t;
    if (t >= start + 24.0 && date.day == DaysInMonth(date)) {
      a = 1;
      date = AddDays(date, 1);
      hours = t - 24.0;
    }
    const double fraction = (hours / 24.0 + date.day - 1.0) / DaysInMonth(date);
    if (work.flags & kTideHasMeanLevel) {
      st.level += TideMonthInterp(work.monthly[kMonthMeanLevel][a], work.monthly[kMonthMeanLevel][a + 1], fraction,
                                  false);
    }
    for (unsigned table = 0; table < 4; ++table) {
      if (!(work.flags & (1u << table))) continue;
      const bool isPhase = table <= kTideS2Phase;
      const double v = TideMonthInterp(work.monthly[table][a], work.monthly[table][a + 1], fraction, isPhase);
      if (isPhase) {
        st.g[table] = v;
      } else {
        st.h[table - kTideM2Amplitude] = v;
      }
    }
  }
  return st;
}

// Angles (radians), node factors, their daily change and speeds (degrees
// per hour) of the four constituents at hour t.
struct Arguments_t {
  double angle[4];
  double f[4];
  double df[4];
  double speed[4];
};

Arguments_t ArgumentsAt(const TideSimplifiedWork_t& work, const State_t& st, double t) {
  Arguments_t out{};
  const unsigned k = (t < work.dayStart + 24.0) ? 0u : 1u;
  const double hour = t - 24.0 * k;
  for (int i = 0; i < 4; ++i) {
    const double diff = work.phase[k][i] - work.phase[k + 1][i];
    const double c = (i < 2) ? 600.0 : 300.0;
    const double n = std::ceil((c - diff) / 360.0);
    out.speed[i] = diff / 24.0 + 15.0 * n;
    out.angle[i] = (st.g[i] + work.phase[k][i] - out.speed[i] * hour) * kRadiansPerDegree;
    out.df[i] = work.factor[k + 1][i] - work.factor[k][i];
    out.f[i] = work.factor[k][i] + hour / 24.0 * out.df[i];
  }
  return out;
}

double CosRad(double radians) { return FixedCos(RadiansToAngle(radians)) * kFixedOne; }
double SinRad(double radians) { return FixedSin(RadiansToAngle(radians)) * kFixedOne; }

// The combined semidiurnal vector of M2 and S2: length s and angle theta.
void SemidiurnalSum(const State_t& st, const Arguments_t& a, double& s, double& theta) {
  double x = 0.0, y = 0.0;
  for (int i = 0; i < 2; ++i) {
    x += st.h[i] * a.f[i] * CosRad(a.angle[i]);
    y += st.h[i] * a.f[i] * SinRad(a.angle[i]);
  }
  s = RoundedLength(x, y);
  theta = Atan2(static_cast<float>(y), static_cast<float>(x));
}

double ShallowAt(const TideSimplifiedWork_t& work, double t, int order) {
  const State_t st = StateAt(work, t);
  const Arguments_t a = ArgumentsAt(work, st, t);
  double s = 0.0, theta = 0.0;
  SemidiurnalSum(st, a, s, theta);
  if (order == 4) return s * s * CosRad(work.phase4 * kRadiansPerDegree + 2.0 * theta);
  return s * s * s * CosRad(work.phase6 * kRadiansPerDegree + 3.0 * theta);
}

}  // namespace

double TideMonthInterp(double first, double second, double fraction, bool isPhase) {
  double delta = second - first;
  if (isPhase) {
    // Along the shorter arc, so a table crossing 0 degrees does not swing
    // through 180.
    delta = std::fmod(delta, 360.0);
    if (delta > 180.0) delta -= 360.0;
    if (delta < -180.0) delta += 360.0;
    return Normalize360(first + fraction * delta);
  }
  return first + fraction * delta;
}

void TideAstroArguments(const TideDate_t& date, double phase[3][4], double factor[3][4]) {
  for (int pass = 0; pass < 3; ++pass) OneDay(AddDays(date, pass), phase[pass], factor[pass]);
}

unsigned TideSpringNeapDay(std::uint32_t dayStart, const MDB_tide_simplified_type& rec, bool& after) {
  static constexpr int kOrder[4] = {kNextNewMoon, kLastNewMoon, kNextFullMoon, kLastFullMoon};
  const int age = rec.dayFlags & 7;
  unsigned best = 256;
  after = false;
  for (int kind : kOrder) {
    const int days = MoonPhaseTime(dayStart, kind, rec.utcOffset);
    const bool last = (kind == kLastNewMoon || kind == kLastFullMoon);
    const unsigned distance = static_cast<std::uint8_t>(last ? std::abs(days - age) : days + age);
    if (distance < best) {
      best = distance;
      after = last && days >= age;
      if (best == 0) break;
    }
  }
  return best;
}

bool TideSimplifiedSetup(MdbMap_t& map, const MDB_tide_simplified_type& rec, TideSimplifiedWork_t& work,
                         const TideDate_t& date) {
  const float dayStart = work.dayStart;
  work = {};
  work.dayStart = dayStart;
  work.date = date;
  TideAstroArguments(date, work.phase, work.factor);
  work.z0 = static_cast<float>(rec.z0 / ((rec.flags & kTideZ0Fine) ? 1000.0 : 100.0));
  if ((rec.flags & kTideDayTable) && !DayLevels(map, rec, work)) return false;
  const double unit = (rec.flags & kTideAmplitudesFine) ? 0.001 : 0.01;
  for (int i = 0; i < 4; ++i) {
    work.h[i] = static_cast<float>(rec.amplitudes[i] * unit);
    work.g[i] = static_cast<float>(Normalize360(rec.phases[i] * (360.0 / 4294967296.0)));
  }
  if (rec.flags & kTideShallowMask) {
    work.f4 = static_cast<float>(rec.f4 * 0.001);
    work.f6 = static_cast<float>(rec.f6 * 0.001);
    work.phase4 = static_cast<float>(rec.phases[4] * (360.0 / 4294967296.0));
    work.phase6 = static_cast<float>(rec.phases[5] * (360.0 / 4294967296.0));
  }
  if (!MonthlyTables(map, rec, work)) return false;
  for (float amplitude : work.h) {
    if (amplitude != 0.0f) return true;
  }
  for (unsigned table = kTideM2Amplitude; table <= kTideS2Amplitude; ++table) {
    if (!(work.flags & (1u << table))) continue;
    for (float v : work.monthly[table]) {
      if (v != 0.0f) return true;
    }
  }
  return false;
}

double TideSimplifiedHeight(const TideSimplifiedWork_t& work, double t) {
  const State_t st = StateAt(work, t);
  const Arguments_t a = ArgumentsAt(work, st, t);
  double height = st.level;
  for (int i = 0; i < 4; ++i) height += CosRad(a.angle[i]) * st.h[i] * a.f[i];
  if (work.f4 != 0.0f || work.f6 != 0.0f) {
    double s = 0.0, theta = 0.0;
    SemidiurnalSum(st, a, s, theta);
    if (work.f4 != 0.0f) height += s * s * work.f4 * CosRad(work.phase4 * kRadiansPerDegree + 2.0 * theta);
    if (work.f6 != 0.0f) height += s * s * s * work.f6 * CosRad(work.phase6 * kRadiansPerDegree + 3.0 * theta);
  }
  return height;
}

double TideSimplifiedSlope(const TideSimplifiedWork_t& work, double t) {
  const State_t st = StateAt(work, t);
  const Arguments_t a = ArgumentsAt(work, st, t);
  double slope = 0.0;
  for (int i = 0; i < 4; ++i) {
    slope += st.h[i] * (a.df[i] / 24.0 * CosRad(a.angle[i]) +
                        a.f[i] * a.speed[i] * kRadiansPerDegree * SinRad(a.angle[i]));
  }
  constexpr double kHalfMinute = 1.0 / 120.0;
  if (work.f4 != 0.0f) slope += (ShallowAt(work, t + kHalfMinute, 4) - ShallowAt(work, t - kHalfMinute, 4)) * work.f4 * 60.0;
  if (work.f6 != 0.0f) slope += (ShallowAt(work, t + kHalfMinute, 6) - ShallowAt(work, t - kHalfMinute, 6)) * work.f6 * 60.0;
  return slope;
}

}  // namespace mpl
