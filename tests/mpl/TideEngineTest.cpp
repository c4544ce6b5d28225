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
#include <vector>

#include "mpl/tide/MPL_TideEngine.h"
#include "tests/imgkit/TideBuilder.h"

namespace {

#include "tests/mpl/tide_reference/predictions.inc"

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
    const std::uint32_t mean =
        section.AddMeanLevelTable(kSimplifiedMeanHeader, std::vector<std::int8_t>(kSimplifiedMean, kSimplifiedMean + 12));
    imgkit::TideSimplifiedSpec_t spec;
    spec.flags = kSimplifiedFlags;
    spec.z0 = kSimplifiedZ0;
    std::copy(kSimplifiedPhases, kSimplifiedPhases + 6, spec.phases);
    std::copy(kSimplifiedAmplitudes, kSimplifiedAmplitudes + 4, spec.amplitudes);
    spec.f4 = kSimplifiedF4;
    spec.f6 = kSimplifiedF6;
    spec.meanLevelOffset = mean;
    spec.offsetWidth = 1;
    spec.dayFlags = kSimplifiedDayFlags;
    spec.day.assign(kSimplifiedDay, kSimplifiedDay + 8);
    spec.monthlyFlags = kSimplifiedMonthlyFlags;
    spec.monthly[0].assign(kSimplifiedM2Phase, kSimplifiedM2Phase + 11);
    spec.monthly[1].assign(kSimplifiedS2Phase, kSimplifiedS2Phase + 11);
    spec.monthly[2].assign(kSimplifiedM2Amplitude, kSimplifiedM2Amplitude + 11);
    const std::uint32_t at = section.AddSimplified(spec);
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
