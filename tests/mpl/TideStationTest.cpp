// Tide stations built from a map's tide section: harmonic, subordinate,
// monthly-argument and simplified stations, their UTC offsets, the time
// records, and the prediction over days against the reference predictions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>
#include <vector>

#include "mpl/MPL_HarmonicTideStationBase.h"
#include "mpl/MPL_SimplifiedTideStation.h"
#include "tests/imgkit/TideBuilder.h"
#include "tests/mpl/TideSubordinateCheck.h"

namespace {

#include "tide_reference/predictions.inc"
#include "tide_reference/simplified_fields.inc"

// A map with one station whose pointer (and corrections) lead the LBL.
struct StationMap_t {
  StationMap_t(const imgkit::TideSectionBuilder_t& section, std::uint32_t dataOffset,
               const std::string& corrections = "")
      : map(imgkit::BuildTideLbl(
            section.Bytes(),
            imgkit::EncodeStationPointer(static_cast<std::uint32_t>(section.Bytes().size()), dataOffset) + corrections,
            pointer)) {}
  mpl::TidePointInfo_t Point(std::uint8_t subtype) const {
    mpl::TidePointInfo_t p;
    p.type = 29;
    p.subtype = subtype;
    p.stationPointer = pointer;
    p.latitude = kForemanLatitude;
    return p;
  }
  std::uint32_t pointer = 0;
  imgkit::TideMap_t map;
};

std::vector<imgkit::TideConstituentFields_t> FieldList(const mpl::MDB_tide_constituent_type* list, std::size_t n) {
  std::vector<imgkit::TideConstituentFields_t> out;
  for (std::size_t i = 0; i < n; ++i) {
    out.push_back({list[i].number, list[i].amplitude, static_cast<std::uint16_t>(list[i].phase >> 20),
                   list[i].amplitude > 1023});
  }
  return out;
}

imgkit::TideSectionBuilder_t HarmonicSection(std::uint32_t& at) {
  imgkit::TideSectionBuilder_t section;
  at = section.AddHarmonic(kHarmonicUtc, kHarmonicZ0,
                           FieldList(kHarmonicConstituents, std::size(kHarmonicConstituents)));
  return section;
}

glo::Time_t Utc(int y, int mo, int d, int h = 0, int mi = 0) {
  return glo::Time_t(static_cast<std::uint16_t>(y), static_cast<std::uint16_t>(mo), static_cast<std::uint16_t>(d),
                     static_cast<std::uint16_t>(h), static_cast<std::uint16_t>(mi), 0);
}

// The reference window of a station kind starting at an engine time.
const ReferenceWindow_t* Window(int kind, std::uint32_t t0) {
  for (const auto& w : kReferenceWindows) {
    if (w.kind == kind && w.t0 == t0) return &w;
  }
  return nullptr;
}

// Checks a day of samples and the events of that day against the reference.
void ExpectDayMatches(const std::vector<mpl::TideSample_t>& samples, std::size_t first,
                      const std::vector<mpl::TideEvent_t>& events, int kind, std::uint32_t t0,
                      const glo::TimeSpan_t& offset) {
  const ReferenceWindow_t* w = Window(kind, t0);
  ASSERT_NE(w, nullptr);
  for (int k = 0; k < kSamples; ++k) {
    EXPECT_NEAR(samples[first + k].height, w->heights[k], 5e-4) << k;
  }
  const glo::Time_t dayStart = mpl::FromEngineTime(t0, offset);
  for (const auto& e : kReferenceEvents) {
    if (e.kind != kind || e.window != t0) continue;
    const double utc = dayStart.GetValue() + (e.time - t0);
    const auto match = std::find_if(events.begin(), events.end(), [&](const mpl::TideEvent_t& got) {
      return std::fabs(got.time.yearStart.GetValue() + got.time.since.GetSeconds() - utc) <= 240.0;
    });
    ASSERT_NE(match, events.end()) << "no event near " << e.time;
    EXPECT_EQ(match->high, e.type == 1);
    EXPECT_NEAR(match->height, e.height, 2e-3);
  }
}

TEST(TideStationTest, HarmonicStationWestOfGreenwichOverTheTurnOf1990) {
  std::uint32_t at = 0;
  StationMap_t m(HarmonicSection(at), at);
  ASSERT_EQ(m.map.openResult, 0);
  mpl::HarmonicTideStation_t station(m.map.map, m.Point(0), false);
  EXPECT_EQ(station.GetUtcOffset().GetSeconds(), -18000.0);
  EXPECT_EQ(station.Engine().kind, 0);
  EXPECT_EQ(station.Engine().interpolate, 0);
  ASSERT_EQ(station.Constituents().size(), std::size(kHarmonicConstituents));
  EXPECT_EQ(station.Constituents()[26].number, 175);
  EXPECT_EQ(station.Constituents()[0].amplitude, 1800);

  // Local midnight of 1 January 1990 is 05:00 UTC; two days, four samples an hour.
  std::vector<mpl::TideSample_t> samples;
  std::vector<mpl::TideEvent_t> events;
  station.Predict(Utc(1990, 1, 1, 5), 2, 4, samples, events);
  ASSERT_EQ(samples.size(), 194u);
  EXPECT_EQ(samples[0].time.Time(), Utc(1990, 1, 1, 5));
  EXPECT_EQ(samples[96].time.Time(), Utc(1990, 1, 2, 5));
  EXPECT_EQ(samples[97].time.Time(), samples[96].time.Time());
  EXPECT_EQ(samples[1].time.since.GetSeconds() - samples[0].time.since.GetSeconds(), 900.0);
  EXPECT_TRUE(std::is_sorted(events.begin(), events.end(), mpl::CompareTideEvents));
  for (const auto& s : samples) {
    const mpl::TideTime_t expected = mpl::ToStationTime(station, s.time.Time());
    ASSERT_EQ(s.time.yearStart, expected.yearStart);
    ASSERT_EQ(s.time.since, expected.since);
  }
  ExpectDayMatches(samples, 0, events, 0, 86400, station.GetUtcOffset());
  ExpectDayMatches(samples, 97, events, 0, 2 * 86400, station.GetUtcOffset());
  for (std::size_t i = 1; i < events.size(); ++i) EXPECT_NE(events[i].high, events[i - 1].high);
}

// The iterator over the stored list: copies are independent, post-increment
// gives the old position, the end holds nothing.
TEST(TideStationTest, ConstituentIteratorCopiesAreIndependent) {
  std::uint32_t at = 0;
  StationMap_t m(HarmonicSection(at), at);
  mpl::HarmonicTideStation_t station(m.map.map, m.Point(0), false);
  auto range = station.ConstituentSearch();
  auto it = range.begin();
  auto copy = it;
  const auto old = it++;
  EXPECT_EQ(old->number, 0);
  EXPECT_EQ(it->number, 1);
  EXPECT_EQ(copy->number, 0);
  ++copy;
  EXPECT_EQ(copy->number, 1);
  std::size_t count = 0;
  for (auto i = range.begin(); i != range.end(); ++i) ++count;
  EXPECT_EQ(count, std::size(kHarmonicConstituents));
}

TEST(TideStationTest, SimplifiedStationTenHoursEastOnNewYearsEve) {
  imgkit::TideSectionBuilder_t section;
  const imgkit::TideSimplifiedFields_t fields = ReferenceSimplifiedFields(section);
  const std::uint32_t at = section.AddSimplified(fields);
  StationMap_t m(section, at);
  mpl::SimplifiedTideStation_t station(m.map.map, m.Point(2), false);
  EXPECT_EQ(station.GetUtcOffset().GetSeconds(), 36000.0);
  EXPECT_EQ(station.Engine().kind, 1);

  // Local 31 December 2030 00:00 is 14:00 UTC the day before.
  std::vector<mpl::TideSample_t> samples;
  std::vector<mpl::TideEvent_t> events;
  station.Predict(Utc(2030, 12, 30, 14), 1, 4, samples, events);
  ASSERT_EQ(samples.size(), 97u);
  ExpectDayMatches(samples, 0, events, 1,
                   static_cast<std::uint32_t>(mpl::DateToEngineSeconds({12, 31, 2030})), station.GetUtcOffset());

  EXPECT_THROW(mpl::HarmonicTideStation_t(m.map.map, m.Point(2), false), glo::Assert_t);
  EXPECT_THROW(mpl::SimplifiedTideStation_t(m.map.map, m.Point(0), false), glo::Assert_t);
  mpl::TidePointInfo_t notTide = m.Point(2);
  notTide.type = 28;
  EXPECT_THROW(mpl::SimplifiedTideStation_t(m.map.map, notTide, false), glo::Assert_t);
}

// A subordinate station's high and low waters are its reference station's,
// moved by the time differences and scaled by the ratios (layout 2: a ratio
// for each kind) or shifted by the height differences (layout 3).
TEST(TideStationTest, SubordinateAndMonthlyStations) {
  std::uint32_t at = 0;
  const imgkit::TideSectionBuilder_t section = HarmonicSection(at);
  StationMap_t plain(section, at);
  mpl::HarmonicTideStation_t reference(plain.map.map, plain.Point(0), false);
  std::vector<mpl::TideSample_t> samples;
  std::vector<mpl::TideEvent_t> referenceEvents;
  reference.Predict(Utc(2001, 3, 2, 5), 3, 2, samples, referenceEvents);
  struct Case_t {
    unsigned layout;
    std::uint16_t first, second;
  };
  for (const Case_t& c : {Case_t{2, 95, 105}, Case_t{3, 0x1EC, 35}}) {  // 0x1EC: -20 in 9 bits
    imgkit::TideCorrectionsFields_t corrections;
    corrections.lowTime = 25;
    corrections.highTime = 40;
    corrections.layout = c.layout;
    corrections.first = c.first;
    corrections.second = c.second;
    StationMap_t m(section, at, imgkit::EncodeCorrections(corrections));
    mpl::HarmonicTideStation_t subordinate(m.map.map, m.Point(1), false);
    EXPECT_EQ(subordinate.Engine().interpolate, 1);  // subtype 1 draws between its extremes
    EXPECT_EQ(subordinate.Corrections().highTime, 40);
    EXPECT_EQ(subordinate.Corrections().lowRatio, c.layout == 2 ? 95 : 100);
    EXPECT_EQ(subordinate.Corrections().lowDifference, c.layout == 2 ? 0 : -20);
    std::vector<mpl::TideEvent_t> events;
    samples.clear();
    subordinate.Predict(Utc(2001, 3, 3, 5), 1, 2, samples, events);
    EXPECT_EQ(samples.size(), 49u);
    EXPECT_GE(tidecheck::ExpectCorrectedEvents(referenceEvents, events, subordinate.Corrections()), 3u) << c.layout;
  }

  // Corrections after the pointer of a subtype-6 point are not read.
  imgkit::TideCorrectionsFields_t ignored;
  ignored.layout = 2;
  ignored.second = 105;
  StationMap_t m(section, at, imgkit::EncodeCorrections(ignored));
  std::vector<mpl::TideEvent_t> events;
  mpl::IosTideStation_t monthly(m.map.map, m.Point(6), false);
  EXPECT_EQ(monthly.Engine().kind, 2);
  EXPECT_EQ(monthly.Engine().latitude, kForemanLatitude);
  EXPECT_EQ(monthly.Corrections().highRatio, 100);  // subtype 6 carries only the offset
  samples.clear();
  events.clear();
  monthly.Predict(Utc(2024, 2, 28, 5), 3, 1, samples, events);
  EXPECT_EQ(samples.size(), 75u);
  EXPECT_TRUE(std::is_sorted(events.begin(), events.end(), mpl::CompareTideEvents));
}

TEST(TideStationTest, StationsThatCannotBeBuiltOrPredicted) {
  std::uint32_t at = 0;
  const imgkit::TideSectionBuilder_t section = HarmonicSection(at);
  // Data offset -1: the reference record is nothing to read.
  StationMap_t none(section, 0xFFFF);
  try {
    mpl::HarmonicTideStation_t station(none.map.map, none.Point(0), false);
    ADD_FAILURE() << "built";
  } catch (const mpl::MdbException_t& e) {
    EXPECT_EQ(e.Code(), 3);
  }
  // A reference record at the very end: no first constituent, an empty list,
  // and a prediction that fails.
  imgkit::TideSectionBuilder_t bare = section;
  bare.Bytes() += std::string("\x00\x10\x00", 3);
  StationMap_t empty(bare, static_cast<std::uint32_t>(bare.Bytes().size() - 3));
  mpl::HarmonicTideStation_t station(empty.map.map, empty.Point(0), false);
  EXPECT_TRUE(station.Constituents().empty());
  std::vector<mpl::TideSample_t> samples;
  std::vector<mpl::TideEvent_t> events;
  EXPECT_THROW(station.Predict(Utc(2001, 3, 3), 1, 4, samples, events), glo::Assert_t);
}

// A station 5:30 west of Greenwich: the first hours of a UTC year are still
// 31 December there, so the year starts after the time.
TEST(TideStationTest, StationTimesCountFromTheUtcYearInTheStationsZone) {
  imgkit::TideSectionBuilder_t section;
  const std::uint32_t at = section.AddHarmonic(-330, 100, {{0, 500, 0}});
  StationMap_t m(section, at);
  mpl::HarmonicTideStation_t station(m.map.map, m.Point(0), false);
  EXPECT_EQ(station.GetUtcOffset().GetSeconds(), -19800.0);
  const mpl::TideTime_t t = mpl::ToStationTime(station, Utc(2000, 1, 1, 2));
  EXPECT_EQ(t.yearStart, Utc(2000, 1, 1, 5, 30));
  EXPECT_EQ(t.since.GetSeconds(), -12600.0);
  EXPECT_EQ(t.Time(), Utc(2000, 1, 1, 2));

  EXPECT_EQ(mpl::ToEngineTime(Utc(1990, 1, 1, 5), glo::TimeSpan_t(-18000.0)), 86400u);
  EXPECT_EQ(mpl::FromEngineTime(86400 + 3661, glo::TimeSpan_t(36000.0)), Utc(1989, 12, 31, 15, 1) + glo::TimeSpan_t(1.0));
  EXPECT_EQ(mpl::GetTideMinDate(), Utc(1990, 1, 2));
  EXPECT_EQ(mpl::GetTideMaxDate(), Utc(2038, 1, 1));
}

}  // namespace
