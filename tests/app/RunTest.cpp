// Laps, runs and the run set: identity by start second, the laps' own parts of
// the run track, deep copies.
#include <gtest/gtest.h>

#include <vector>

#include "app/Lap.h"
#include "app/Run.h"
#include "app/RunSet.h"
#include "tests/app/TrainingTestUtil.h"

using namespace trtest;

namespace {

std::vector<std::int64_t> PointTimes(const glo::Optional_t<gdb::Track_t>& track) {
  std::vector<std::int64_t> times;
  if (!track.IsPresent()) return times;
  for (const gdb::TrackPoint_t& p : *track) times.push_back(p.GetTime().IsPresent() ? p.GetTime()->GetValue() : -1);
  return times;
}

TEST(LapSet, KeepsTheFirstLapOfASecond) {
  app::LapSet_t laps;
  EXPECT_TRUE(laps.insert(MakeLap(kBase, 100, 5.0f)).second);
  EXPECT_FALSE(laps.insert(MakeLap(kBase, 999, 7.0f, 1, std::uint8_t(99))).second);
  ASSERT_EQ(laps.size(), 1u);
  EXPECT_EQ(laps.begin()->GetDuration(), 100u);
  EXPECT_EQ(laps.begin()->GetLength(), 5.0f);
}

TEST(RunSet, OneRunPerKeyOrderedByFirstLap) {
  app::RunSet_t runs;
  EXPECT_TRUE(runs.insert(MakeRun(kBase + 1000)).second);
  EXPECT_TRUE(runs.insert(MakeRun(kBase)).second);
  const auto again = runs.insert(MakeRun(kBase, 1, 60, 0, "other"));
  EXPECT_FALSE(again.second);
  EXPECT_EQ(again.first->GetLaps().size(), 2u);
  EXPECT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs.begin()->GetKey().GetValue(), kBase);

  // Runs without laps come first and are never the same run.
  EXPECT_TRUE(runs.insert(app::Run_t()).second);
  EXPECT_TRUE(runs.insert(app::Run_t()).second);
  EXPECT_EQ(runs.size(), 4u);
  EXPECT_FALSE(runs.begin()->HasLaps());
  EXPECT_TRUE(app::RunLess(app::Run_t(), MakeRun(kBase)));
  EXPECT_FALSE(app::RunLess(MakeRun(kBase), app::Run_t()));

  // Lookup is to the second.
  EXPECT_NE(runs.find(glo::Time_t(kBase + 1000)), runs.end());
  EXPECT_EQ(runs.find(glo::Time_t(kBase + 1001)), runs.end());
  EXPECT_EQ(runs.erase(glo::Time_t(kBase + 1000)), 1u);
  EXPECT_EQ(runs.erase(glo::Time_t(kBase + 1000)), 0u);
  EXPECT_EQ(runs.size(), 3u);

  const auto changed = runs.SetNotes(runs.find(glo::Time_t(kBase)), "new notes");
  EXPECT_EQ(changed->GetNotes(), "new notes");
  EXPECT_EQ(runs.find(glo::Time_t(kBase))->GetNotes(), "new notes");
}

TEST(Lap, TakesItsPartOfTheRunTrack) {
  // A lap of 5:30.50 from 10:00:00 ends at 10:05:31 (half a second rounds up).
  const app::Lap_t lap = MakeLap(kBase, 33050);
  struct Case {
    const char* name;
    std::vector<gdb::TrackPoint_t> points;
    std::vector<std::int64_t> expected;  // empty: no track
  };
  const std::vector<Case> cases = {
      {"both ends included",
       {TimedPoint(kBase - 1), TimedPoint(kBase), TimedPoint(kBase + 200), TimedPoint(kBase + 331),
        TimedPoint(kBase + 332)},
       {kBase, kBase + 200, kBase + 331}},
      {"untimed points are passed over", {UntimedPoint(), TimedPoint(kBase + 5), UntimedPoint()}, {kBase + 5}},
      {"a point after the end stops the scan",
       {TimedPoint(kBase + 10), TimedPoint(kBase + 400), TimedPoint(kBase + 20)},
       {kBase + 10}},
      {"an untimed point between two taken ones",
       {TimedPoint(kBase + 1), UntimedPoint(), TimedPoint(kBase + 2)},
       {kBase + 1, kBase + 2}},
      {"a point before the start between two taken ones",
       {TimedPoint(kBase + 1), TimedPoint(kBase - 5), TimedPoint(kBase + 2)},
       {kBase + 1, kBase + 2}},
      {"only untimed points", {UntimedPoint(), UntimedPoint(1)}, {}},
      {"lap after every point", {TimedPoint(kBase - 100), TimedPoint(kBase - 50)}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    gdb::Track_t track;
    for (const auto& p : c.points) track.AppendPoint(p);
    const glo::Optional_t<gdb::Track_t> runTrack(track);
    app::Lap_t copy(lap);
    copy.TakeTrack(runTrack);
    EXPECT_EQ(PointTimes(copy.GetTrack()), c.expected);
    EXPECT_EQ(copy.GetTrack().IsPresent(), !c.expected.empty());
    EXPECT_EQ(runTrack->GetCount(), track.GetCount());
  }
  app::Lap_t copy(lap);
  copy.TakeTrack(glo::Optional_t<gdb::Track_t>(MakeTrack(kBase, 3)));
  ASSERT_TRUE(copy.GetTrack().IsPresent());
  copy.TakeTrack(glo::Optional_t<gdb::Track_t>());
  EXPECT_FALSE(copy.GetTrack().IsPresent());
}

TEST(Lap, EndNearTheEndOfCalendarTimeDoesNotThrow) {
  app::Lap_t lap = MakeLap(glo::Time_t::kMaxValue - 10, 0xFFFFFFFFu);
  EXPECT_NO_THROW(lap.TakeTrack(glo::Optional_t<gdb::Track_t>(MakeTrack(glo::Time_t::kMaxValue - 5, 2, 1))));
  EXPECT_EQ(lap.GetTrack()->GetCount(), 2);
}

TEST(Run, LapsTakeTheirPartsAcrossSegmentsAndCopiesAreDeep) {
  // 250 points, one a second: three segments; each 100-second lap takes 101
  // points (both ends), the last lap the remaining 50.
  app::LapSet_t laps;
  for (int k = 0; k < 3; ++k) laps.insert(MakeLap(kBase + k * 100, 10000));
  const app::Run_t run(laps, MakeTrack(kBase, 250, 1), "notes");
  std::vector<int> counts;
  for (const app::Lap_t& lap : run.GetLaps()) counts.push_back(lap.GetTrack()->GetCount());
  EXPECT_EQ(counts, (std::vector<int>{101, 101, 50}));

  app::Run_t copy(run);
  copy.SetNotes("changed");
  app::LapSet_t other;
  other.insert(MakeLap(kBase + 5000));
  copy = app::Run_t(other, {}, copy.GetNotes());
  EXPECT_EQ(run.GetNotes(), "notes");
  EXPECT_EQ(run.GetLaps().size(), 3u);
  EXPECT_TRUE(run.GetTrack().IsPresent());
  EXPECT_EQ(copy.GetNotes(), "changed");
}

}  // namespace
