// Worker threads: stopping, ending on their own, and threads that ignore the stop.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <chrono>
#include <thread>

#include "afx/AFX_Thread.h"
#include "glo/GLO_Exception.h"
#include "thr/THR_Delay.h"

namespace {

using Clock = std::chrono::steady_clock;

long ElapsedMs(Clock::time_point start) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

struct Shared {
  std::atomic<int> state{0};
  std::atomic<bool> release{false};  // set by the test once the owner is gone
  plat::Handle stopCopy = plat::kInvalidHandle;
};

// Waits, deaf to its stop event, until the test releases it.
void WaitForRelease(const std::atomic<bool>& release) {
  const auto deadline = Clock::now() + std::chrono::seconds(60);
  while (!release.load() && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

// Waits in stop-aware pauses until told to stop.
unsigned StopAware(afx::Thread_t::Param_t* param) {
  auto* shared = static_cast<Shared*>(param->Argument());
  try {
    for (;;) thr::Delay(50, param->StopEvent().Handle());
  } catch (const glo::Terminate_t&) {
    shared->state = 1;
  }
  return 0;
}

TEST(ThreadTest, StopEndsAStopAwareThread) {
  Shared shared;
  {
    afx::Thread_t thread(StopAware, &shared, false);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_TRUE(thread.Stop(20000));
    EXPECT_EQ(shared.state.load(), 1);
    EXPECT_TRUE(thread.Stop(0));  // already ended
  }
}

unsigned EndsAtOnce(afx::Thread_t::Param_t* param) {
  auto* shared = static_cast<Shared*>(param->Argument());
  shared->stopCopy = plat::DuplicateHandle(param->StopEvent().Handle());
  shared->state = 1;
  return 0;
}

TEST(ThreadTest, EndedThreadIsNeitherSignalledNorWaitedFor) {
  Shared shared;
  auto thread = std::make_unique<afx::Thread_t>(EndsAtOnce, &shared, false);
  ASSERT_EQ(plat::WaitForSingleObject(thread->Handle(), 20000), plat::kWaitObject0);
  // Only the owner's end is timed: it must not wait its 3000 ms.
  const auto start = Clock::now();
  thread.reset();
  EXPECT_LT(ElapsedMs(start), 2500);
  ASSERT_NE(shared.stopCopy, plat::kInvalidHandle);
  EXPECT_EQ(plat::WaitForSingleObject(shared.stopCopy, 0), plat::kWaitTimeout);
  plat::CloseHandle(shared.stopCopy);
}

TEST(ThreadTest, SuspendedThreadRunsOnlyWhenResumed) {
  Shared shared;
  afx::Thread_t thread(EndsAtOnce, &shared, true);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(shared.state.load(), 0);
  thread.Resume();
  ASSERT_EQ(plat::WaitForSingleObject(thread.Handle(), 20000), plat::kWaitObject0);
  EXPECT_EQ(shared.state.load(), 1);
  plat::CloseHandle(shared.stopCopy);
}

// Ignores the stop until the owner has given up waiting, then still uses its
// parameter block (stop event and argument) after the owner is gone.
unsigned IgnoresStop(afx::Thread_t::Param_t* param) {
  auto* shared = static_cast<Shared*>(param->Argument());
  shared->state = 1;
  WaitForRelease(shared->release);
  const bool stopped = param->StopEvent().Wait(0);
  static_cast<Shared*>(param->Argument())->state = stopped ? 2 : 3;
  return 0;
}

TEST(ThreadTest, ThreadOutlivingItsOwnerUsesNoFreedMemory) {
  static Shared shared;  // outlives everything the thread may touch
  const auto start = Clock::now();
  {
    afx::Thread_t thread(IgnoresStop, &shared, false);
    while (shared.state.load() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  const long waited = ElapsedMs(start);
  EXPECT_GE(waited, 2900);
  EXPECT_LT(shared.state.load(), 2);  // the owner gave up while the thread still ran
  shared.release = true;
  // The abandoned thread finishes on its own and finds its stop event signalled.
  const auto deadline = Clock::now() + std::chrono::seconds(30);
  while (shared.state.load() < 2 && Clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(shared.state.load(), 2);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // let it return
}

}  // namespace
