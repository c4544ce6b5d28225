#include "mpl/tide/MPL_TideEngine.h"

#include <cmath>

#include "mpl/tide/MPL_TideConstituents.h"
#include "mpl/tide/MPL_TideConstants.h"
#include "mpl/tide/MPL_TideKernels.h"
#include "mpl/tide/MPL_TideMath.h"

namespace mpl {

namespace {

// Step 1 of the extreme search walks at most three days in minutes; step 3
// halves down to a minute from half an hour within this many steps.
constexpr int kMaxMinuteSteps = 3 * 24 * 60;
constexpr int kMaxSearchSteps = 208;

struct Extreme_t {
  std::uint8_t kind;  // 1 high water, 0 low water
  float height;
  float time;
};

// A degree sum as a 32-bit angle: wrapped by whole turns, then scaled.
std::uint32_t SumToAngle(double degrees) {
  return static_cast<std::uint32_t>(static_cast<std::int64_t>(degrees * kAngleUnitsPerDegree));
}

// The harmonic sum of one argument set at hours t.
double HarmonicHeight(MDB_tide_work_type& work, bool second, bool slope, double t) {
  if (work.foreman) {
    if (!second) {
      t -= (work.boundary == 2) ? work.dayStart + 360.0 : work.secondEpoch;
    } else {
      t -= (work.boundary == 1) ? work.dayStart + 384.0 : work.secondEpoch;
    }
  }
  const unsigned base = second ? work.count : 0u;
  const double tf = static_cast<float>(t);
  const float* speeds = work.speeds.data() + base;
  const float* arguments = work.arguments.data() + base;
  const float* scales = work.scales.data() + base;
  const float* lags = work.lags.data();
  const unsigned n = work.terms;
  // The angles first, then their cosines (sines: a quarter turn less) in one
  // batch, then the sum in the constituents' order.
  std::uint32_t* angles = work.angles.data();
  std::int32_t* values = work.cosines.data();
  const std::uint32_t shift = slope ? 0xC0000000u : 0u;
  for (unsigned i = 0; i < n; ++i) angles[i] = SumToAngle(tf * speeds[i] + arguments[i] - lags[i]) + shift;
  FixedCosBatch(angles, values, n);
  if (slope) {
    double sum = 0.0;
    for (unsigned i = 0; i < n; ++i) sum += values[i] * kFixedOne * scales[i] * speeds[i];
    return -sum;
  }
  double sum = work.z0;
  for (unsigned i = 0; i < n; ++i) sum += values[i] * kFixedOne * scales[i];
  return sum;
}

// The truncated slope at t; false on failure.
bool SlopeSign(MDB_tide_work_type& work, double t, std::int64_t& value) {
  bool ok = true;
  const double slope = TideHeightAt(work, ok, t, true);
  if (!ok || !std::isfinite(slope)) return false;
  value = static_cast<std::int64_t>(slope);
  return true;
}

bool OppositeSigns(std::int64_t a, std::int64_t b) { return (a > 0 && b < 0) || (a < 0 && b > 0); }

// The next high or low water from b in the direction of x (+-0.5 hours).
bool FindExtreme(MDB_tide_work_type& work, float b, float x, Extreme_t& out) {
  std::int64_t c = 0;
  float probe = b;
  for (int i = 0;; ++i) {
    if (i > kMaxMinuteSteps) return false;
    if (!SlopeSign(work, probe, c)) return false;
    if (c != 0) break;
    probe += 1.0f / 60.0f;
  }
  out.kind = ((x > 0 && c > 0) || (x < 0 && c < 1)) ? kTideHighWater : kTideLowWater;
  double step = x;
  bool halving = false;
  int steps = 0;
  while (std::fabs(step) > 1.0 / 60.0) {
    if (++steps > kMaxSearchSteps) return false;
    b = static_cast<float>(b + step);
    std::int64_t e = 0;
    if (!SlopeSign(work, b, e)) return false;
    if (OppositeSigns(c, e)) {
      halving = true;
      step = -step / 2.0;
    } else if (halving) {
      step = step / 2.0;
    }
    // A slope that truncates to 0 has no sign: the last one that had stays.
    if (e != 0) c = e;
  }
  bool ok = true;
  out.time = b;
  out.height = static_cast<float>(TideHeightAt(work, ok, b, false));
  return ok;
}

void ApplyCorrections(const MDB_tide_work_type& work, Extreme_t& e) {
  const MDB_tide_corrections_type* k = work.station->corrections;
  if (work.station->kind == 1 || k == nullptr) return;
  if (e.kind == kTideHighWater) {
    e.height = static_cast<float>(k->highDifference * 0.1 + k->highRatio * 0.01 * e.height);
    e.time += k->highTime * (1.0f / 60.0f);
  } else {
    e.height = static_cast<float>(k->lowDifference * 0.1 + k->lowRatio * 0.01 * e.height);
    e.time += k->lowTime * (1.0f / 60.0f);
  }
}

// The extremes around the day: from the last one before the day start to the
// first one after the window's end. -1 on failure.
int ScanExtremes(MDB_tide_work_type& work, float request, Extreme_t* list) {
  float start = work.dayStart;
  float end = start + 24.0f;
  const int passes = (request != work.dayStart) ? 2 : 1;
  int n = 0;
  for (int pass = 0; pass < passes; ++pass) {
    if (pass == 1) {
      if (n > 0) --n;
      start = end;
      end = request + 24.0f;
    }
    Extreme_t e{};
    if (!FindExtreme(work, start, -0.5f, e)) return -1;
    float found = e.time;
    ApplyCorrections(work, e);
    if (e.time > start) {
      // A correction moved it past the start: the one before it.
      if (!FindExtreme(work, found - 0.5f, -0.5f, e)) return -1;
      found = e.time;
      ApplyCorrections(work, e);
    }
    if (pass == 0) list[n++] = e;
    float r = found + 0.5f;
    float previous = e.time;
    while (n < kTideMaxExtremes && previous < end) {
      if (!FindExtreme(work, r, 0.5f, e)) return -1;
      r = e.time + 0.5f;
      ApplyCorrections(work, e);
      previous = e.time;
      if (pass == 0 || e.time >= start) list[n++] = e;
    }
  }
  return n;
}

float ToMetres(const MDB_tide_work_type& work, double height) {
  return static_cast<float>(work.station->kind == 1 ? height : height * kTideFeetToMetres);
}

void StoreEvents(const MDB_tide_work_type& work, std::int64_t requestSeconds, float request, std::int64_t yearStart,
                 std::uint32_t offset, const Extreme_t* list, int n, MDB_tide_event_type* events, int capacity) {
  bool eligible[kTideMaxExtremes] = {};
  int count = 0;
  for (int i = 0; i < n; ++i) {
    eligible[i] = request < list[i].time && list[i].time <= request + 24.0f;
    if (eligible[i]) ++count;
  }
  const int wanted = count < capacity ? count : capacity;
  int written = 0;
  std::uint8_t kind = kTideHighWater;
  while (written < wanted) {
    int pick = -1;
    for (int i = 0; i < n; ++i) {
      if (!eligible[i] || list[i].kind != kind) continue;
      if (pick < 0 || (kind == kTideHighWater ? list[i].height > list[pick].height
                                              : list[i].height < list[pick].height)) {
        pick = i;
      }
    }
    if (pick >= 0) {
      eligible[pick] = false;
      MDB_tide_event_type& ev = events[written++];
      ev.kind = list[pick].kind;
      std::int64_t seconds;
      if (work.station->kind == 1) {
        seconds = requestSeconds + static_cast<std::int64_t>(
                                       std::floor((static_cast<double>(list[pick].time) - request) * 3600.0));
      } else {
        seconds = yearStart + offset + static_cast<std::int64_t>(std::floor(list[pick].time * 3600.0));
      }
      ev.time = static_cast<std::int32_t>(seconds);
      ev.height = ToMetres(work, list[pick].height);
    }
    kind = (kind == kTideHighWater) ? kTideLowWater : kTideHighWater;
  }
  for (int i = written; i < capacity; ++i) events[i] = {kTideNoEvent, 0, 0.0f};
}

bool StoreHeights(MDB_tide_work_type& work, float request, const Extreme_t* list, int n, float* heights,
                  int count) {
  const float step = 24.0f / static_cast<float>(count - 1);
  if (!work.station->interpolate) {
    // The heights in blocks, through the wide harmonic sums where they apply.
    constexpr int kBlock = 64;
    float times[kBlock];
    double values[kBlock];
    for (int k0 = 0; k0 < count; k0 += kBlock) {
      const int m = (count - k0 < kBlock) ? count - k0 : kBlock;
      for (int j = 0; j < m; ++j) times[j] = request + static_cast<float>(k0 + j) * step;
      if (!TideHeightsAt(work, times, static_cast<unsigned>(m), values)) return false;
      for (int j = 0; j < m; ++j) heights[k0 + j] = ToMetres(work, values[j]);
    }
    return true;
  }
  int pair = 0;
  for (int k = 0; k < count; ++k) {
    const float t = request + static_cast<float>(k) * step;
    double h;
    if (!work.station->interpolate) {
      bool ok = true;
      h = TideHeightAt(work, ok, t, false);
      if (!ok) return false;
    } else {
      // The first pair around t whose times increase.
      while (pair + 1 < n && (t > list[pair + 1].time || list[pair + 1].time <= list[pair].time)) ++pair;
      if (pair + 1 >= n) return false;
      const Extreme_t& a = list[pair];
      const Extreme_t& b = list[pair + 1];
      double range, base, phase;
      if (a.height > b.height) {
        range = a.height - b.height;
        base = b.height;
        phase = 0.0;
      } else {
        range = b.height - a.height;
        base = a.height;
        phase = kPi;
      }
      const double omega = kPi / (b.time - a.time);
      const double angle = omega * (t - a.time) + phase;
      h = base + range * (FixedCos(RadiansToAngle(angle)) * kFixedOne + 1.0) / 2.0;
    }
    heights[k] = ToMetres(work, h);
  }
  return true;
}

bool IsMidnight(std::int64_t seconds) { return seconds % 86400 == 0; }

}  // namespace

TideYearHours_t TideYearHours(std::int64_t seconds) {
  const TideDate_t date = EngineSecondsToDate(seconds);
  std::int64_t inDay = seconds % 86400;
  if (inDay < 0) inDay += 86400;
  const double time = static_cast<double>(inDay / 3600) + static_cast<double>((inDay % 3600) / 60) / 60.0 +
                      static_cast<double>(inDay % 60) / 3600.0;
  TideYearHours_t out{};
  if (date.month == 1 && date.day == 1) {
    out.year = static_cast<std::uint16_t>(date.year - 1);
    out.hours = static_cast<float>(DaysInYear({1, 1, out.year}) * 24.0 + time);
  } else {
    out.year = date.year;
    out.hours = static_cast<float>((DayOfYear(date) - 1) * 24.0 + time);
  }
  return out;
}

bool TideHarmonicSetup(const MDB_tide_station_type& station, MDB_tide_work_type& work, const TideDate_t& date) {
  work.speeds.clear();
  work.arguments.clear();
  work.scales.clear();
  MDB_tide_astro_type astro{};
  astro.foreman = (station.kind == 2) ? 1 : 0;
  work.foreman = astro.foreman;
  if (astro.foreman) astro.sinLatitude = TideLatitudeSine(station.latitude);
  if (station.constituents == nullptr || station.count == 0 || station.count > 255) return false;
  bool anyAmplitude = false;
  for (unsigned i = 0; i < station.count; ++i) anyAmplitude |= station.constituents[i].amplitude != 0;
  if (!anyAmplitude) return false;

  const unsigned count = station.count;
  const unsigned sets = work.boundary != 0 ? 2u : 1u;
  work.count = static_cast<std::uint8_t>(count);
  work.speeds.assign(count * sets, 0.0f);
  work.arguments.assign(count * sets, 0.0f);
  work.scales.assign(count * sets, 0.0f);
  work.lags.assign(count, 0.0f);
  work.terms = 0;
  while (work.terms < count && station.constituents[work.terms].number != 255) ++work.terms;
  for (unsigned i = 0; i < count; ++i)
    work.lags[i] = static_cast<float>(station.constituents[i].phase * (360.0 / 4294967296.0));

  for (unsigned set = 0; set < sets; ++set) {
    TideDate_t epoch = date;
    if (set == 1) {
      if (!astro.foreman) {
        epoch.year = static_cast<std::uint16_t>(work.boundary == 1 ? date.year + 1 : date.year - 1);
      } else if (work.boundary == 1) {
        epoch = AddDays({date.month, static_cast<std::uint8_t>(DaysInMonth(date)), date.year}, 1);
      } else {
        epoch = AddDays({date.month, 1, date.year}, -1);
      }
    }
    if (!TideMainConstituents(DateToEngineSeconds(epoch), astro)) {
      work.speeds.clear();
      work.arguments.clear();
      work.scales.clear();
      return false;
    }
    for (unsigned i = 0; i < count; ++i) {
      TideConstituentValue_t value{};
      if (!TideConstituent(astro, station.constituents[i].number, value)) {
        work.speeds.clear();
        work.arguments.clear();
        work.scales.clear();
        return false;
      }
      work.speeds[set * count + i] = value.speed;
      work.arguments[set * count + i] = value.v0u;
      const float amplitude = station.constituents[i].amplitude * 0.001f;
      work.scales[set * count + i] = amplitude * value.f;
    }
  }
  return true;
}

double TideHeightAt(MDB_tide_work_type& work, bool& ok, double t, bool slope) {
  if (work.station->kind == 1) {
    return slope ? TideSimplifiedSlope(work.simplified, t) * 65536.0 : TideSimplifiedHeight(work.simplified, t);
  }
  if (work.boundary == 0) {
    const double v = HarmonicHeight(work, false, slope, t);
    return slope ? v * 65536.0 : v;
  }
  const double f = (work.boundary == 1) ? work.dayStart + 24.0 : work.dayStart;
  double t2 = t;
  if (!work.foreman) t2 = (work.boundary == 1) ? t - work.dayStart : t + work.secondEpoch;
  double v;
  if (f - 0.5 < t && t < f + 0.5) {
    const double l = 2.0 * (t - f);
    const double r = l * l;
    const double s = 0.5 + l * (15.0 - 10.0 * r + 3.0 * r * r) / 16.0;
    const double h1 = HarmonicHeight(work, false, false, t);
    const double h2 = HarmonicHeight(work, true, false, t2);
    const bool forward = work.boundary == 1;
    const double from = forward ? h1 : h2;
    const double to = forward ? h2 : h1;
    if (!slope) {
      v = from + s * (to - from);
    } else {
      // The weight's rate of change per hour, in the slope's degree scale.
      const double w = 15.0 * (1.0 - r) * (1.0 - r) / 8.0 * kDegreesPerRadian;
      const double d1 = HarmonicHeight(work, false, true, t);
      const double d2 = HarmonicHeight(work, true, true, t2);
      const double dFrom = forward ? d1 : d2;
      const double dTo = forward ? d2 : d1;
      v = (dFrom + s * (dTo - dFrom) + w * (to - from)) * 65536.0;
    }
  } else if ((work.boundary == 1 && t >= work.dayStart + 24.5) || (work.boundary == 2 && t <= work.dayStart - 0.5)) {
    v = HarmonicHeight(work, true, slope, t2);
    if (slope) v *= 65536.0;
  } else {
    v = HarmonicHeight(work, false, slope, t);
    if (slope) v *= 65536.0;
  }
  if (!std::isfinite(v)) ok = false;
  return v;
}

bool TideHeightsAt(MDB_tide_work_type& work, const float* times, unsigned n, double* out) {
  unsigned done = 0;
  if (work.station->kind != 1 && work.boundary == 0) {
    // HarmonicHeight's single-precision time, then its sums.
    float local[64];
    const double epoch = work.foreman ? static_cast<double>(work.secondEpoch) : 0.0;
    while (done < n) {
      const unsigned m = (n - done < 64u) ? n - done : 64u;
      for (unsigned j = 0; j < m; ++j) {
        double t = times[done + j];
        if (work.foreman) t -= epoch;
        local[j] = static_cast<float>(t);
      }
      const unsigned wide = FixedHarmonicSumsWide(local, m, work.speeds.data(), work.arguments.data(),
                                                  work.lags.data(), work.scales.data(), work.terms, work.z0,
                                                  out + done);
      done += wide;
      if (wide < m) break;
    }
  }
  for (; done < n; ++done) {
    bool ok = true;
    out[done] = TideHeightAt(work, ok, times[done], false);
    if (!ok) return false;
  }
  return true;
}

int TidePredict(const MDB_tide_station_type& station, std::uint32_t t0, std::uint32_t offset,
                MDB_tide_event_type* events, int eventCapacity, float* heights, int heightCount) {
  MDB_tide_work_type work;
  work.station = &station;
  const std::int64_t t = static_cast<std::int64_t>(t0) - static_cast<std::int64_t>(offset);
  float request;
  std::int64_t yearStart = 0;
  if (station.kind == 1) {
    if (station.map == nullptr || station.simplified == nullptr) return 0;
    const TideDate_t date = EngineSecondsToDate(t0);
    const std::int64_t inDay = static_cast<std::int64_t>(t0) - DateToEngineSeconds(date);
    request = static_cast<float>(static_cast<double>(inDay) / 3600.0 - offset / 3600.0);
    work.dayStart = static_cast<float>(-(offset / 3600.0));
    work.simplified.dayStart = work.dayStart;
    if (!TideSimplifiedSetup(*station.map, *station.simplified, work.simplified, date)) return 0;
  } else if (station.kind == 0 || station.kind == 2) {
    const bool midnight = IsMidnight(t0);
    const TideDate_t d = EngineSecondsToDate(t);
    const std::int64_t m = DateToEngineSeconds(d);
    const TideYearHours_t req = TideYearHours(t);
    request = req.hours;
    work.dayStart = midnight ? req.hours : TideYearHours(m).hours;
    yearStart = DateToEngineSeconds({1, 1, req.year});
    if (station.kind == 2) {
      work.boundary = (d.day == DaysInMonth(d)) ? 1 : (d.day == 1 ? 2 : 0);
      TideDate_t sixteenth{d.month, 16, d.year};
      if (work.boundary == 2) sixteenth = {AddDays(d, -1).month, 16, AddDays(d, -1).year};
      work.secondEpoch = TideYearHours(DateToEngineSeconds(sixteenth)).hours;
      if (!TideHarmonicSetup(station, work, d)) return 0;
    } else {
      work.boundary = (d.month == 1 && d.day == 1) ? 1 : ((d.month == 1 && d.day == 2) ? 2 : 0);
      if (work.boundary == 2) work.secondEpoch = TideYearHours(m - 86400).hours;
      if (!TideHarmonicSetup(station, work, {1, 1, req.year})) return 0;
    }
    work.z0 = station.refInfo ? station.refInfo->z0 * 0.001f : 0.0f;
  } else {
    return 0;
  }

  Extreme_t list[kTideMaxExtremes];
  const int n = ScanExtremes(work, request, list);
  if (n < 0) return 0;
  if (events != nullptr && eventCapacity > 0) {
    StoreEvents(work, t0, request, yearStart, offset, list, n, events, eventCapacity);
  }
  if (heights != nullptr && heightCount > 0) {
    if (heightCount < 2 || !StoreHeights(work, request, list, n, heights, heightCount)) return 0;
  }
  return 1;
}

}  // namespace mpl
