// The tide engine against reference predictions computed once in double
// precision from the textbook harmonic sums: a harmonic station five hours
// west of Greenwich over the turn of 1990, a harmonic station with monthly
// arguments and subordinate corrections ten hours east of Greenwich over a
// turn of the year and a leap month's end, and a simplified station over the
// turn of 2031; then the engine's own rules and the faults it must not have.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "mpl/tide/MPL_TideEngine.h"
#include "tests/imgkit/TideBuilder.h"

namespace {

#include "tide_reference/predictions.inc"
#include "tide_reference/simplified_fields.inc"

template <typename T, std::size_t N>
constexpr std::uint16_t CountOf(const T (&)[N]) {
  return static_cast<std::uint16_t>(N);
}

const mpl::MDB_tide_ref_info_type kHarmonicRef{0, kHarmonicUtc, kHarmonicZ0, 3};
const mpl::MDB_tide_ref_info_type kForemanRef{0, kForemanUtc, kForemanZ0, 3};

mpl::MDB_tide_station_type HarmonicStation() {
  mpl::MDB_tide_station_type s;
  s.kind = 0;
  s.refInfo = &kHarmonicRef;
  s.count = CountOf(kHarmonicConstituents);
  s.constituents = kHarmonicConstituents;
  return s;
}

mpl::MDB_tide_station_type ForemanStation() {
  mpl::MDB_tide_station_type s;
  s.kind = 2;
  s.refInfo = &kForemanRef;
  s.corrections = &kForemanCorrections;
  s.latitude = kForemanLatitude;
  s.count = CountOf(kForemanConstituents);
  s.constituents = kForemanConstituents;
  return s;
}

// The simplified reference station in a map's tide section.
struct SimplifiedMap_t {
  SimplifiedMap_t() : map(Lbl()) {
    station.kind = 1;
    station.map = &map.map;
    station.simplified = &record;
    std::int32_t offset = 0;
    ok = map.openResult == 0 && mpl::MdbReadSimplifiedOffset(map.map, 29, 2, pointer, offset) == 0 &&
         mpl::MdbReadSimplifiedRecord(map.map, offset, record) == 0;
  }
  std::string Lbl() {
    imgkit::TideSectionBuilder_t section;
    const imgkit::TideSimplifiedFields_t fields = ReferenceSimplifiedFields(section);
    const std::uint32_t at = section.AddSimplified(fields);
    return imgkit::BuildTideLbl(section.Bytes(), imgkit::EncodeStationPointer(
                                                     static_cast<std::uint32_t>(section.Bytes().size()), at),
                                pointer);
  }
  std::uint32_t pointer = 0;
  imgkit::TideMap_t map;
  mpl::MDB_tide_simplified_type record{};
  mpl::MDB_tide_station_type station;
  bool ok = false;
};

struct Predicted_t {
  std::vector<float> heights;
  std::vector<mpl::MDB_tide_event_type> events;  // by time, without empty slots
  int result = 0;
};

Predicted_t Predict(const mpl::MDB_tide_station_type& station, std::uint32_t t0, int samples = kSamples) {
  Predicted_t out;
  out.heights.assign(static_cast<std::size_t>(samples), 0.0f);
  mpl::MDB_tide_event_type events[12];
  out.result = mpl::TidePredict(station, t0, 0, events, 12, out.heights.data(), samples);
  for (const auto& e : events) {
    if (e.kind != mpl::kTideNoEvent) out.events.push_back(e);
  }
  std::sort(out.events.begin(), out.events.end(), [](const auto& a, const auto& b) { return a.time < b.time; });
  return out;
}

TEST(TideEngineTest, StationsOfAllKindsMatchTheReference) {
  SimplifiedMap_t simplified;
  ASSERT_TRUE(simplified.ok);
  const mpl::MDB_tide_station_type stations[3] = {HarmonicStation(), simplified.station, ForemanStation()};
  unsigned events = 0, late = 0, skipped = 0;
  for (const auto& window : kReferenceWindows) {
    const Predicted_t p = Predict(stations[window.kind], window.t0);
    ASSERT_EQ(p.result, 1) << window.kind << " " << window.t0;
    for (int k = 0; k < kSamples; ++k) {
      ASSERT_NEAR(p.heights[k], window.heights[k], 5e-4) << window.kind << " " << window.t0 << " sample " << k;
    }
    std::vector<ReferenceEvent_t> expected;
    for (const auto& e : kReferenceEvents) {
      if (e.kind == window.kind && e.window == window.t0) expected.push_back(e);
    }
    // An extreme within four minutes of the window's start or end may fall
    // on either side of it; every other one is matched in order.
    auto nearEdge = [&](double time) {
      return std::fabs(time - window.t0) <= 240.0 || std::fabs(time - (window.t0 + 86400.0)) <= 240.0;
    };
    std::size_t i = 0, j = 0;
    while (i < p.events.size() || j < expected.size()) {
      const bool haveGot = i < p.events.size();
      const bool haveWant = j < expected.size();
      const double got = haveGot ? p.events[i].time : 1e300;
      const double want = haveWant ? expected[j].time : 1e300;
      if (haveGot && haveWant && std::fabs(got - want) <= 240.0) {
        EXPECT_EQ(p.events[i].kind, expected[j].type) << window.kind << " " << window.t0 << " at " << want;
        if (std::fabs(got - want) > 120.0) ++late;
        EXPECT_NEAR(p.events[i].height, expected[j].height, 2e-3) << window.kind << " " << window.t0 << " at " << want;
        ++events;
        ++i;
        ++j;
      } else if (got < want) {
        EXPECT_TRUE(nearEdge(got)) << window.kind << " " << window.t0 << " unexpected extreme at " << got;
        ++i;
      } else {
        EXPECT_TRUE(nearEdge(want)) << window.kind << " " << window.t0 << " missing extreme at " << want;
        ++j;
        ++skipped;
      }
    }
  }
  EXPECT_EQ(events + skipped, CountOf(kReferenceEvents));
  EXPECT_LE(late * 100, events) << late << " of " << events << " events more than two minutes off";
}

}  // namespace

namespace {

std::uint32_t Day(unsigned year, unsigned month, unsigned day) {
  const mpl::TideDate_t date{static_cast<std::uint8_t>(month), static_cast<std::uint8_t>(day),
                             static_cast<std::uint16_t>(year)};
  return static_cast<std::uint32_t>(mpl::DateToEngineSeconds(date));
}

TEST(TideEngineTest, YearHoursCountFirstJanuaryInThePreviousYear) {
  const mpl::TideYearHours_t first = mpl::TideYearHours(Day(1990, 1, 1) + 5400);
  EXPECT_EQ(first.year, 1989);
  EXPECT_FLOAT_EQ(first.hours, 8761.5f);
  const mpl::TideYearHours_t second = mpl::TideYearHours(Day(1993, 1, 2));
  EXPECT_EQ(second.year, 1993);
  EXPECT_FLOAT_EQ(second.hours, 24.0f);
  EXPECT_FLOAT_EQ(mpl::TideYearHours(Day(1993, 1, 1)).hours, 8784.0f);  // 1992 was a leap year
}

TEST(TideEngineTest, EventsAreThoseOfTheWindowByHeightRank) {
  const mpl::MDB_tide_station_type station = HarmonicStation();
  const std::uint32_t t0 = Day(1995, 6, 10);
  mpl::MDB_tide_event_type all[12];
  ASSERT_EQ(mpl::TidePredict(station, t0, 0, all, 12, nullptr, 0), 1);
  int count = 0;
  for (const auto& e : all) {
    if (e.kind == mpl::kTideNoEvent) continue;
    ++count;
    EXPECT_GT(e.time, static_cast<std::int32_t>(t0));
    EXPECT_LE(e.time, static_cast<std::int32_t>(t0 + 86400));
  }
  ASSERT_GE(count, 3);
  EXPECT_EQ(all[0].kind, mpl::kTideHighWater);  // written by rank: high, low, high ...
  EXPECT_EQ(all[1].kind, mpl::kTideLowWater);
  EXPECT_EQ(all[count].kind, mpl::kTideNoEvent);

  // Room for two: the highest high and the lowest low.
  mpl::MDB_tide_event_type two[2];
  ASSERT_EQ(mpl::TidePredict(station, t0, 0, two, 2, nullptr, 0), 1);
  float highest = -100.0f, lowest = 100.0f;
  for (int i = 0; i < count; ++i) {
    if (all[i].kind == mpl::kTideHighWater) highest = std::max(highest, all[i].height);
    if (all[i].kind == mpl::kTideLowWater) lowest = std::min(lowest, all[i].height);
  }
  EXPECT_EQ(two[0].height, highest);
  EXPECT_EQ(two[1].height, lowest);

  // The offset moves the window and the written times alike.
  mpl::MDB_tide_event_type moved[12];
  ASSERT_EQ(mpl::TidePredict(station, t0 + 3600, 3600, moved, 12, nullptr, 0), 1);
  EXPECT_EQ(moved[0].time, all[0].time + 3600);
  EXPECT_EQ(moved[0].height, all[0].height);

  float heights[2];
  EXPECT_EQ(mpl::TidePredict(station, t0, 0, nullptr, 0, heights, 1), 0);  // one sample has no step
}

TEST(TideEngineTest, SetUpRejectsUnusableConstituentLists) {
  mpl::MDB_tide_station_type station = HarmonicStation();
  mpl::MDB_tide_event_type events[12];
  // More than 255 entries: the count no longer fits the engine's byte.
  std::vector<mpl::MDB_tide_constituent_type> many(256, mpl::MDB_tide_constituent_type{0, 0, 1});
  station.constituents = many.data();
  station.count = 256;
  EXPECT_EQ(mpl::TidePredict(station, Day(2000, 3, 3), 0, events, 12, nullptr, 0), 0);
  station.count = 255;
  EXPECT_EQ(mpl::TidePredict(station, Day(2000, 3, 3), 0, events, 12, nullptr, 0), 1);
  // All amplitudes 0, a number above 200, an empty list.
  std::vector<mpl::MDB_tide_constituent_type> zero(3, mpl::MDB_tide_constituent_type{0, 0, 0});
  station.constituents = zero.data();
  station.count = 3;
  EXPECT_EQ(mpl::TidePredict(station, Day(2000, 3, 3), 0, events, 12, nullptr, 0), 0);
  const mpl::MDB_tide_constituent_type bad[1] = {{0, 201, 100}};
  station.constituents = bad;
  station.count = 1;
  EXPECT_EQ(mpl::TidePredict(station, Day(2000, 3, 3), 0, events, 12, nullptr, 0), 0);
  station.count = 0;
  EXPECT_EQ(mpl::TidePredict(station, Day(2000, 3, 3), 0, events, 12, nullptr, 0), 0);
}

// A tide that never turns within days (only the annual constituent) fails the
// prediction instead of searching on.
TEST(TideEngineTest, TideThatNeverTurnsFailsInsteadOfHanging) {
  mpl::MDB_tide_station_type station = HarmonicStation();
  const mpl::MDB_tide_constituent_type annual[1] = {{0, 21, 1000}};
  station.constituents = annual;
  station.count = 1;
  mpl::MDB_tide_event_type events[12];
  EXPECT_EQ(mpl::TidePredict(station, Day(2001, 5, 5), 0, events, 12, nullptr, 0), 0);
}

// Around a change of argument sets the slope is the derivative of the blended
// height: the blending weight's own rate of change, 15 (1 - r)^2 / 8 per hour,
// enters in the slope's scale.
TEST(TideEngineTest, BlendedSlopeIsTheDerivativeOfTheBlendedHeight) {
  for (int kind : {0, 2}) {
    const mpl::MDB_tide_station_type station = kind == 0 ? HarmonicStation() : ForemanStation();
    mpl::MDB_tide_work_type work;
    work.station = &station;
    mpl::TideDate_t date{1, 1, 1999};  // 1 January, or the last day of a month
    if (kind == 0) {
      work.boundary = 1;
      work.dayStart = mpl::TideYearHours(Day(1999, 1, 1)).hours;
      ASSERT_TRUE(mpl::TideHarmonicSetup(station, work, {1, 1, 1998}));
    } else {
      date = {4, 30, 1999};
      work.boundary = 1;
      work.dayStart = mpl::TideYearHours(Day(1999, 4, 30)).hours;
      work.secondEpoch = mpl::TideYearHours(Day(1999, 4, 16)).hours;
      ASSERT_TRUE(mpl::TideHarmonicSetup(station, work, date));
    }
    work.z0 = 3.0f;
    for (double dt : {-0.375, -0.1875, -0.0625, 0.125, 0.3125}) {  // exact in single precision
      const double t = work.dayStart + 24.0 + dt;
      bool ok = true;
      const double h = 1.0 / 16.0;
      const double numeric = (mpl::TideHeightAt(work, ok, t + h, false) - mpl::TideHeightAt(work, ok, t - h, false)) / (2 * h);
      const double slope = mpl::TideHeightAt(work, ok, t, true) / 65536.0 * M_PI / 180.0;
      ASSERT_TRUE(ok);
      EXPECT_NEAR(slope, numeric, 2e-3 * std::max(1.0, std::fabs(numeric))) << kind << " " << dt;
    }
  }
}

// Interpolated curves run between the corrected extremes; a pair whose
// corrected times do not increase is passed over rather than divided by.
TEST(TideEngineTest, InterpolatedCurveSkipsPairsOutOfOrder) {
  mpl::MDB_tide_station_type station = ForemanStation();
  station.interpolate = 1;
  float heights[97];
  mpl::MDB_tide_event_type events[12];
  ASSERT_EQ(mpl::TidePredict(station, Day(2024, 5, 5), 0, events, 12, heights, 97), 1);
  float lo = 100.0f, hi = -100.0f;
  for (const auto& e : events) {
    if (e.kind == mpl::kTideNoEvent) continue;
    lo = std::min(lo, e.height);
    hi = std::max(hi, e.height);
  }
  for (float h : heights) {
    EXPECT_GE(h, lo - 0.3f);
    EXPECT_LE(h, hi + 0.3f);
  }
  // High waters three hours later and low waters three hours earlier put
  // some pairs out of order.
  mpl::MDB_tide_corrections_type swapped = kForemanCorrections;
  swapped.highTime = 200;
  swapped.lowTime = -200;
  station.corrections = &swapped;
  ASSERT_EQ(mpl::TidePredict(station, Day(2024, 5, 5), 0, events, 12, heights, 97), 1);
  for (float h : heights) EXPECT_TRUE(std::isfinite(h));
}

TEST(TideEngineTest, SimplifiedMethodRules) {
  // The arguments of 31 December are followed by those of 1 and 2 January.
  double phase[3][4], factor[3][4], next[3][4], nextFactor[3][4];
  mpl::TideAstroArguments({12, 31, 2030}, phase, factor);
  mpl::TideAstroArguments({1, 2, 2031}, next, nextFactor);
  for (int i = 0; i < 4; ++i) {
    EXPECT_DOUBLE_EQ(phase[2][i], next[0][i]);
    EXPECT_DOUBLE_EQ(factor[2][i], nextFactor[0][i]);
  }
  // Monthly phases go along the shorter arc across 0 degrees.
  EXPECT_NEAR(mpl::TideMonthInterp(350.0, 10.0, 0.5, true), 0.0, 1e-9);
  EXPECT_NEAR(mpl::TideMonthInterp(10.0, 350.0, 0.25, true), 5.0, 1e-9);
  EXPECT_NEAR(mpl::TideMonthInterp(0.5, 0.7, 0.5, false), 0.6, 1e-9);

  // Springs come 'age' days after a new moon (2000-01-06 18:14 UT): the day
  // after the moon is before springs, the third day after it past them.
  mpl::MDB_tide_simplified_type rec{};
  rec.dayFlags = 2;
  bool after = true;
  EXPECT_EQ(mpl::TideSpringNeapDay(Day(2000, 1, 7), rec, after), 1u);
  EXPECT_FALSE(after);
  EXPECT_EQ(mpl::TideSpringNeapDay(Day(2000, 1, 8), rec, after), 0u);
  EXPECT_EQ(mpl::TideSpringNeapDay(Day(2000, 1, 9), rec, after), 1u);
  EXPECT_TRUE(after);
  EXPECT_EQ(mpl::TideSpringNeapDay(Day(2000, 1, 13), rec, after), 5u);
  EXPECT_TRUE(after);
}

// A slope that truncates to 0 in the extreme search has no sign, so the
// search keeps the sign before it. On the simplified station such a slope
// comes up about once a year (27 July 2001, local time); through the whole
// year every day's high and low waters alternate, each high above the lows
// beside it.
TEST(TideEngineTest, ExtremesAlternateThroughSlopesThatTruncateToZero) {
  SimplifiedMap_t simplified;
  ASSERT_TRUE(simplified.ok);
  std::string kinds;
  for (const auto& e : Predict(simplified.station, Day(2001, 7, 27), 25).events)
    kinds += e.kind == mpl::kTideHighWater ? 'H' : 'L';
  EXPECT_EQ("LHLH", kinds);
  for (std::uint32_t d = Day(2001, 1, 1); d < Day(2002, 1, 1); d += 86400) {
    const Predicted_t p = Predict(simplified.station, d, 25);
    ASSERT_EQ(p.result, 1) << d;
    for (std::size_t i = 1; i < p.events.size(); ++i) {
      const mpl::MDB_tide_event_type& a = p.events[i - 1];
      const mpl::MDB_tide_event_type& b = p.events[i];
      ASSERT_NE(a.kind, b.kind) << "day " << d << " at " << b.time;
      EXPECT_GT(a.kind == mpl::kTideHighWater ? a.height - b.height : b.height - a.height, 0.0f)
          << "day " << d << " at " << b.time;
    }
  }
}

TEST(TideEngineTest, SimplifiedStationNeedsAnAmplitude) {
  SimplifiedMap_t simplified;
  ASSERT_TRUE(simplified.ok);
  mpl::MDB_tide_simplified_type rec = simplified.record;
  simplified.station.simplified = &rec;
  mpl::MDB_tide_event_type events[12];
  for (auto& a : rec.amplitudes) a = 0;
  // The monthly M2 amplitude table still gives one.
  EXPECT_EQ(mpl::TidePredict(simplified.station, Day(2031, 2, 2), 0, events, 12, nullptr, 0), 1);
  rec.flags &= static_cast<std::uint16_t>(~mpl::kTideMonthlyTables);
  EXPECT_EQ(mpl::TidePredict(simplified.station, Day(2031, 2, 2), 0, events, 12, nullptr, 0), 0);
}

// A day's heights taken many at once are TideHeightAt's bit for bit, for both
// harmonic kinds, inside and outside a change of argument sets, at counts that
// leave a remainder, and at times far from the argument epoch.
TEST(TideEngineTest, HeightsTakenTogetherAreTheSingleOnesBitForBit) {
  struct Case_t {
    int kind;
    mpl::TideDate_t day;
    std::uint8_t boundary;
  };
  const Case_t cases[] = {
      {0, {6, 10, 2024}, 0}, {0, {3, 1, 1990}, 0},  {0, {1, 1, 1999}, 1},
      {2, {6, 10, 2024}, 0}, {2, {2, 29, 2028}, 0}, {2, {4, 30, 1999}, 1},
  };
  for (const Case_t& c : cases) {
    const mpl::MDB_tide_station_type station = c.kind == 0 ? HarmonicStation() : ForemanStation();
    mpl::MDB_tide_work_type work;
    work.station = &station;
    work.boundary = c.boundary;
    work.dayStart = mpl::TideYearHours(Day(c.day.year, c.day.month, c.day.day)).hours;
    work.secondEpoch = mpl::TideYearHours(Day(c.day.year, c.day.month, 16)).hours;
    const mpl::TideDate_t epoch = c.kind == 0 ? mpl::TideDate_t{1, 1, c.boundary ? static_cast<std::uint16_t>(c.day.year - 1) : c.day.year} : c.day;
    ASSERT_TRUE(mpl::TideHarmonicSetup(station, work, epoch));
    work.z0 = 3.0f;
    std::vector<float> times;
    for (int k = 0; k < 1441; ++k) times.push_back(work.dayStart - 1.0f + static_cast<float>(k) * (26.0f / 1440.0f));
    for (float far : {-5000.0f, -0.3f, 9000.0f, 123456.7f}) times.push_back(far);
    for (const unsigned n : {1u, 7u, 8u, 13u, static_cast<unsigned>(times.size())}) {
      std::vector<double> out(n + 1, -12345.0);
      ASSERT_TRUE(mpl::TideHeightsAt(work, times.data() + (times.size() - n), n, out.data()));
      int mismatches = 0;
      for (unsigned k = 0; k < n; ++k) {
        bool ok = true;
        const float t = times[times.size() - n + k];
        const double single = mpl::TideHeightAt(work, ok, t, false);
        if (std::memcmp(&single, &out[k], sizeof single) != 0 && ++mismatches < 10) {
          ADD_FAILURE() << c.kind << " " << t << ": " << single << " " << out[k];
        }
      }
      EXPECT_EQ(0, mismatches) << c.kind << " " << n;
      EXPECT_EQ(-12345.0, out[n]);  // nothing written past the end
    }
  }
}

}  // namespace
