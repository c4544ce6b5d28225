// Progress counters and phased progress shared between two threads.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "thr/THR_Progress.h"

namespace {

enum class Phase_t : unsigned { kStarted = 0, kTracks = 8, kLaps = 10, kFinished = 11 };

TEST(ProgressTest, PercentRoundsHalfUp) {
  struct Case {
    std::uint32_t position, range;
    int percent;
  } cases[] = {{0, 0, 0}, {3, 3, 100}, {1, 3, 33}, {2, 3, 67}, {1, 200, 1}, {0, 7, 0},
               {4294967295u, 4294967295u, 100}, {1, 4294967295u, 0}};
  for (const Case& c : cases) {
    thr::Progress_t p(c.range, c.position);
    EXPECT_EQ(p.Percent(), c.percent) << c.position << " of " << c.range;
  }
}

TEST(ProgressTest, PositionNeverExceedsRange) {
  thr::Progress_t p(10, 0);
  p.SetPos(15);
  EXPECT_EQ(p.GetPos(), 10u);
  p.Increment();
  EXPECT_EQ(p.GetPos(), 10u);
  p.SetRange(4);  // below the position: the position is kept
  EXPECT_EQ(p.GetRange(), 10u);
  p.SetPos(3);
  p.SetRange(4);
  p.Increment();
  p.Increment();
  EXPECT_EQ(p.GetPos(), 4u);
  EXPECT_EQ(p.Percent(), 100);
}

TEST(PhasedProgressTest, PhaseChangeResetsPositionAndSignalsOnlyOnNewPhase) {
  thr::PhasedProgress_t<Phase_t> p(0, Phase_t::kStarted, 0);
  p.SetPhase(Phase_t::kStarted, 5);  // same phase: range changes, nothing signalled
  EXPECT_EQ(p.GetRange(), 5u);
  EXPECT_FALSE(p.ChangeEvent().Wait(0));
  p.SetPos(5);
  p.SetPhase(Phase_t::kTracks, 2);  // smaller range than the position: exactly 2, position 0
  EXPECT_EQ(p.GetRange(), 2u);
  EXPECT_EQ(p.GetPos(), 0u);
  EXPECT_EQ(p.GetPhase(), Phase_t::kTracks);
  p.SetPhase(Phase_t::kLaps, 1);
  // Two changes before the reader waits wake it once, and it sees the latest phase.
  EXPECT_TRUE(p.ChangeEvent().Wait(0));
  EXPECT_FALSE(p.ChangeEvent().Wait(0));
  EXPECT_EQ(p.GetPhase(), Phase_t::kLaps);
}

// The transfer's pattern: one thread advances the phases, the other waits on
// {stop, change} with a time-out and shows the phase and percentage until the end.
TEST(PhasedProgressTest, ReaderFollowsWriterOnAnotherThread) {
  thr::PhasedProgress_t<Phase_t> progress(0, Phase_t::kStarted, 0);
  thr::Event_t stop(nullptr, true, false, nullptr);
  std::vector<Phase_t> seen;
  std::vector<int> percents;

  std::thread reader([&] {
    for (;;) {
      const int r = thr::WaitForAny({stop.Handle(), progress.ChangeEvent().Handle()}, 1000);
      if (r == 0) return;
      // One reading per wake: the writer may move on while the reader works,
      // and may have changed the phase again before the event is seen.
      const Phase_t phase = progress.GetPhase();
      if (r == 1 || phase == Phase_t::kFinished) seen.push_back(phase);
      percents.push_back(progress.Percent());
      if (phase == Phase_t::kFinished) return;
    }
  });
  progress.SetPhase(Phase_t::kStarted, 0);
  progress.SetPhase(Phase_t::kTracks, 300);
  for (int i = 0; i < 300; ++i) progress.Increment();
  progress.SetPhase(Phase_t::kLaps, 20);
  for (int i = 0; i < 20; ++i) progress.Increment();
  progress.SetPhase(Phase_t::kFinished, 0);
  reader.join();

  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), Phase_t::kFinished);
  for (size_t i = 1; i < seen.size(); ++i) EXPECT_LE(seen[i - 1], seen[i]);
  for (int percent : percents) {
    EXPECT_GE(percent, 0);
    EXPECT_LE(percent, 100);
  }
}

}  // namespace
