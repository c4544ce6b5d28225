// Texts of time spans, paces, speeds, heart rates, dates and weeks, and the
// sums over a range of runs.
#include <gtest/gtest.h>

#include <ctime>
#include <vector>

#include "app/ValueFormat.h"
#include "tests/app/TrainingTestUtil.h"
#include "tests/common/TestEnv.h"

using namespace trtest;

namespace {

constexpr auto kStatute = mat::DistUnitsTypes_t::Statute;
constexpr auto kMetric = mat::DistUnitsTypes_t::Metric;
constexpr auto kNautical = mat::DistUnitsTypes_t::Nautical;

TEST(ValueFormat, TimeSpansPacesSpeedsAndRates) {
  const std::vector<std::pair<double, const char*>> spans = {
      {3725.9, "01:02:05"}, {360000, "100:00:00"}, {59.99, "00:00:59"}, {0, "00:00:00"}, {86399, "23:59:59"}};
  for (const auto& [seconds, text] : spans) EXPECT_EQ(app::FormatTimeSpan(seconds), text) << seconds;

  struct Case {
    mat::DistUnitsTypes_t units;
    double seconds, metres;
    const char* pace;
    const char* speed;
  };
  const std::vector<Case> cases = {
      {kMetric, 1800, 5000, "00:06:00/km", "10.0 kph"},
      {kNautical, 1800, 5000, "00:06:00/km", "10.0 kph"},  // nautical distances, kilometre paces
      {kStatute, 1800, 1609.344, "00:30:00/mi", "2.0 mph"},
      {kMetric, 1800, 0, "00:00:00/km", "0.0 kph"},
      {kStatute, 0, 5000, "00:00:00/mi", "0.0 mph"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pace);
    EXPECT_EQ(app::FormatPace(c.seconds, c.metres, c.units), c.pace);
    EXPECT_EQ(app::FormatSpeed(c.metres, c.seconds, c.units), c.speed);
  }
  EXPECT_DOUBLE_EQ(app::PaceFromDistanceTime(1800, 5000, kMetric), 360.0);
  EXPECT_DOUBLE_EQ(app::SpeedFromDistanceTime(5000, 1800, kMetric), 10.0);
  EXPECT_EQ(app::FormatHeartRate(142.5), "142.5 bpm");

  struct Distance {
    double metres;
    mat::DistUnitsTypes_t units;
    const char* text;
  };
  for (const Distance& d : std::vector<Distance>{{5000, kMetric, "5.00 km"},
                                                 {250, kMetric, "250 m"},
                                                 {5000, kStatute, "3.11 mi"},
                                                 {100, kStatute, "328 ft"},
                                                 {5000, kNautical, "2.70 nm"},
                                                 {0, kMetric, "0 m"}})
    EXPECT_EQ(app::FormatDistance(d.metres, d.units), d.text) << d.metres << " " << static_cast<int>(d.units);
  EXPECT_EQ(app::FormatInteger(70000), "70000");
}

TEST(ValueFormat, RangeSums) {
  app::RunSet_t runs;
  app::LapSet_t laps;
  // 10 minutes at 120, 30 minutes at 160, one lap without a heart rate.
  laps.insert(MakeLap(kBase, 60000, 2000.0f, 40000, std::uint8_t(120)));
  laps.insert(MakeLap(kBase + 600, 180000, 6000.0f, 30000, std::uint8_t(160)));
  laps.insert(MakeLap(kBase + 2400, 50, 500.5f, 1));
  runs.insert(app::Run_t(laps, {}, ""));
  runs.insert(MakeRun(kBase + 86400, 1, 1200));  // 1200 s, 1000 m, no heart rate
  const auto all = std::make_pair(runs.begin(), runs.end());
  EXPECT_EQ(app::FormatRangeTime(all.first, all.second), "01:00:00");
  EXPECT_EQ(app::FormatRangeDistance(all.first, all.second, kMetric), "9.50 km");
  EXPECT_EQ(app::FormatRangeCalories(all.first, all.second), "70041");
  EXPECT_EQ(app::FormatRangeHeartRate(all.first, all.second), "150.0 bpm");
  EXPECT_EQ(app::FormatRangePace(all.first, all.second, kMetric), "00:06:18/km");
  EXPECT_EQ(app::FormatRangeSpeed(all.first, all.second, kMetric), "9.5 kph");
  const auto second = std::next(runs.begin());
  EXPECT_EQ(app::FormatRangeHeartRate(second, runs.end()), "");
  EXPECT_EQ(app::FormatRangeHeartRate(runs.end(), runs.end()), "");
}

// The local time zone for the life of the object.
class Zone {
 public:
  explicit Zone(const char* tz) : m_tz("TZ", tz) { ::tzset(); }
  ~Zone() { ::tzset(); }

 private:
  test::EnvOverride m_tz;
};

TEST(ValueFormat, WeekStartsAndLabelsAcrossClockChanges) {
  struct Case {
    const char* zone;
    std::int64_t time;
    std::int64_t weekStart;
    const char* label;  // en-US short dates
  };
  const std::vector<Case> cases = {
      // Sunday 2005-03-06 00:30 CET belongs to the week starting that midnight.
      {"Europe/Berlin", 1110065400, 1110063600, "3/6/2005 - 3/12/2005"},
      // Saturday 2005-03-12 23:59 CET: the week that started six days before.
      {"Europe/Berlin", 1110668340, 1110063600, "3/6/2005 - 3/12/2005"},
      // Spring: clocks go forward on Sunday 2005-03-27. Tuesday 00:30 CEST
      // belongs to the week from Sunday 00:00 CET (2005-03-26 23:00 UTC).
      {"Europe/Berlin", 1112049000, 1111878000, "3/27/2005 - 4/2/2005"},
      // Sunday 03:30 CEST, after the change.
      {"Europe/Berlin", 1111887000, 1111878000, "3/27/2005 - 4/2/2005"},
      // Autumn: back on Sunday 2005-10-30; Sunday 00:00 is still CEST.
      {"Europe/Berlin", 1130796000, 1130623200, "10/30/2005 - 11/5/2005"},
      {"Europe/Berlin", 1130633100, 1130623200, "10/30/2005 - 11/5/2005"},
      // Another zone: 2005-03-09 (Wednesday) 01:00 UTC is Tuesday evening in New York.
      {"America/New_York", 1110330000, 1110085200, "3/6/2005 - 3/12/2005"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.time);
    Zone zone(c.zone);
    EXPECT_EQ(app::WeekStart(glo::Time_t(c.time)).GetValue(), c.weekStart);
    EXPECT_EQ(app::FormatWeekLabel(glo::Time_t(c.time), 0x409), c.label);
  }
  Zone zone("Europe/Berlin");
  // 2005-03-06 23:30 UTC is already 2005-03-07 in Berlin.
  EXPECT_EQ(app::FormatLocalDate(glo::Time_t(1110151800), 0x409), "3/7/2005");
  EXPECT_EQ(app::FormatLocalDate(glo::Time_t(1110151800), 0x407), "07.03.2005");
  EXPECT_EQ(app::FormatWeekLabel(glo::Time_t(1110151800), 0x407), "06.03.2005 - 12.03.2005");
}

}  // namespace
