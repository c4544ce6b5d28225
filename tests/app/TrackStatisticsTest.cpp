#include "app/TrackStatistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ProfileTestUtil.h"

namespace {

using proftest::AltitudeTrack;
const double kNone = std::nan("");

app::TrkStatsTable_t Whole(const gdb::Track_t& track) { return app::TrkStatsTable_t(track, track.Begin(), track.End()); }

TEST(TrackStatistics, EmptyRangeAndSinglePoint) {
  const gdb::Track_t empty;
  const app::TrkStatsTable_t none = Whole(empty);
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(0.0, none.GetHighest());
  EXPECT_EQ(0.0, none.GetLowest());

  const gdb::Track_t one = AltitudeTrack({50.0});
  const app::TrkStatsTable_t single = Whole(one);
  ASSERT_EQ(1u, single.size());
  EXPECT_EQ(0.0, single[0].distance);
  EXPECT_EQ(50.0, *single[0].elevation);
  // A range that starts and ends at one point is empty too.
  EXPECT_TRUE(app::TrkStatsTable_t(one, one.Begin(), one.Begin()).empty());
}

TEST(TrackStatistics, HighestAndLowest) {
  const double maxDouble = std::numeric_limits<double>::max();
  const double tiny = std::numeric_limits<double>::min();
  struct Case {
    std::vector<double> altitudes;
    double highest, lowest;
  } cases[] = {
      {{100, 110, 120}, 120, maxDouble},  // every altitude raises the highest
      {{-5, 0, -20}, tiny, -20},          // at or below 0: the highest stays tiny
      {{kNone, kNone}, tiny, maxDouble},  // no altitude at all
      {{200, 50, kNone, 80, 10}, 200, 10},
  };
  for (const Case& c : cases) {
    const gdb::Track_t track = AltitudeTrack(c.altitudes);
    const app::TrkStatsTable_t table = Whole(track);
    EXPECT_EQ(c.highest, table.GetHighest()) << c.altitudes.size();
    EXPECT_EQ(c.lowest, table.GetLowest()) << c.altitudes.size();
  }
}

TEST(TrackStatistics, DistancesGrowAcrossGapsAndSegmentBoundaries) {
  // 250 points span three segments; every fifth point has no altitude.
  std::vector<double> altitudes;
  for (int i = 0; i < 250; ++i) altitudes.push_back(i % 5 == 2 ? kNone : 10.0 * i);
  const gdb::Track_t track = AltitudeTrack(altitudes, 10.0);
  const app::TrkStatsTable_t table = Whole(track);
  ASSERT_EQ(250u, table.size());
  for (std::size_t i = 1; i < table.size(); ++i) {
    EXPECT_GT(table[i].distance, table[i - 1].distance) << i;
    EXPECT_EQ(i % 5 != 2, table[i].elevation.IsPresent()) << i;
  }
  EXPECT_NEAR(track.GetTotals().GetDistance(), table.GetLength(), 1e-6);
  EXPECT_NEAR(2490.0, table.GetLength(), 3.0);
}

}  // namespace
