// Events, waits on several objects, stop-aware delays and the lock.
#include <gtest/gtest.h>

#include <atomic>
#include <poll.h>
#include <chrono>
#include <thread>

#include "thr/THR_Delay.h"
#include "thr/THR_Event.h"
#include "thr/THR_Lock.h"
#include "plat/PLAT_Error.h"
#include "win/WIN_Exception.h"

namespace {

using Clock = std::chrono::steady_clock;

long ElapsedMs(Clock::time_point start) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

TEST(EventTest, ManualResetStaysSignalledAutoResetIsTakenByOneWait) {
  thr::Event_t manual(nullptr, true, false, nullptr);
  thr::Event_t automatic(nullptr, false, false, nullptr);
  EXPECT_FALSE(manual.Wait(0));
  EXPECT_FALSE(automatic.Wait(0));
  manual.Set();
  automatic.Set();
  automatic.Set();  // two signals before a wait coalesce into one
  EXPECT_TRUE(manual.Wait(0));
  EXPECT_TRUE(manual.Wait(0));
  EXPECT_TRUE(automatic.Wait(0));
  EXPECT_FALSE(automatic.Wait(0));
}

TEST(EventTest, InitiallySignalled) {
  thr::Event_t manual(nullptr, true, true, nullptr);
  thr::Event_t automatic(nullptr, false, true, nullptr);
  EXPECT_TRUE(manual.Wait(0));
  EXPECT_TRUE(automatic.Wait(0));
  EXPECT_FALSE(automatic.Wait(0));
}

TEST(EventTest, TimedWaitRunsOutThenWakesOnSetFromAnotherThread) {
  thr::Event_t ev(nullptr, false, false, nullptr);
  auto start = Clock::now();
  EXPECT_FALSE(ev.Wait(100));
  EXPECT_GE(ElapsedMs(start), 95);

  std::thread setter([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ev.Set();
  });
  start = Clock::now();
  EXPECT_TRUE(ev.Wait(20000));
  EXPECT_LT(ElapsedMs(start), 15000);
  setter.join();
}

TEST(EventTest, AutoResetWakesExactlyOneOfTwoWaiters) {
  thr::Event_t ev(nullptr, false, false, nullptr);
  std::atomic<int> woken{0};
  auto waiter = [&] {
    if (ev.Wait(1500)) ++woken;
  };
  std::thread a(waiter), b(waiter);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ev.Set();
  a.join();
  b.join();
  EXPECT_EQ(woken.load(), 1);
}

TEST(EventTest, DuplicateHandleIsTheSameEvent) {
  thr::Event_t ev(nullptr, false, false, nullptr);
  win::Handle_t source(plat::DuplicateHandle(ev.Handle()));
  win::Handle_t copy;
  copy.Duplicate(source);
  ASSERT_TRUE(copy.IsValid());
  EXPECT_NE(copy.Get(), ev.Handle());
  ASSERT_TRUE(plat::SetEvent(copy.Get()));
  EXPECT_TRUE(ev.Wait(0));
  // The duplicate is auto-reset too: the wait above took the signal.
  EXPECT_EQ(plat::WaitForSingleObject(copy.Get(), 0), plat::kWaitTimeout);
  EXPECT_THROW(copy.Duplicate(source), glo::Assert_t);
}

TEST(EventTest, WaitForAnyGivesLowestSignalledIndex) {
  thr::Event_t stop(nullptr, true, false, nullptr);
  thr::Event_t change(nullptr, false, false, nullptr);
  EXPECT_EQ(thr::WaitForAny({stop.Handle(), change.Handle()}, 30), -1);
  change.Set();
  EXPECT_EQ(thr::WaitForAny({stop.Handle(), change.Handle()}, 0), 1);
  EXPECT_EQ(thr::WaitForAny({stop.Handle(), change.Handle()}, 0), -1);  // taken
  change.Set();
  stop.Set();
  EXPECT_EQ(thr::WaitForAny({stop.Handle(), change.Handle()}, 0), 0);
  // Listed first, the auto-reset one wins and is taken; the manual one stays.
  EXPECT_EQ(thr::WaitForAny({change.Handle(), stop.Handle()}, 0), 0);
  EXPECT_EQ(thr::WaitForAny({change.Handle(), stop.Handle()}, 0), 1);
}

TEST(EventTest, WaitForAnyWakesOnLaterSignal) {
  thr::Event_t a(nullptr, true, false, nullptr);
  thr::Event_t b(nullptr, false, false, nullptr);
  std::thread setter([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    b.Set();
  });
  EXPECT_EQ(thr::WaitForAny({a.Handle(), b.Handle()}, thr::kInfinite), 1);
  setter.join();
}

TEST(EventTest, WaitOnInvalidHandleThrowsWindowsError) {
  EXPECT_THROW(thr::WaitForAny({plat::kInvalidHandle}, 0), win::Error_t);
  EXPECT_EQ(plat::WaitForMultipleObjects(0, nullptr, false, 0), plat::kWaitFailed);
}

TEST(EventTest, PollDescriptorIsReadableWhileSignalled) {
  thr::Event_t automatic(nullptr, false, false, nullptr);
  const int fd = plat::PollDescriptor(automatic.Handle());
  EXPECT_EQ(fd, automatic.Handle());
  EXPECT_EQ(plat::PollDescriptor(plat::kInvalidHandle), -1);
  struct pollfd p = {fd, POLLIN, 0};
  EXPECT_EQ(::poll(&p, 1, 0), 0);
  automatic.Set();
  EXPECT_EQ(::poll(&p, 1, 0), 1);
  EXPECT_EQ(::poll(&p, 1, 0), 1);  // polling takes nothing
  EXPECT_TRUE(automatic.Wait(0));   // the wait does
  EXPECT_EQ(::poll(&p, 1, 0), 0);
}

TEST(DelayTest, ReturnsAfterFullTimeWhenNotStopped) {
  thr::Event_t stop(nullptr, true, false, nullptr);
  const auto start = Clock::now();
  EXPECT_NO_THROW(thr::Delay(80, stop.Handle()));
  EXPECT_GE(ElapsedMs(start), 75);
}

TEST(DelayTest, SignalledStopEndsWithTerminateAndBrokenWaitAsserts) {
  thr::Event_t stop(nullptr, true, true, nullptr);
  const auto start = Clock::now();
  try {
    thr::Delay(60000, stop.Handle());
    FAIL() << "no stop";
  } catch (const glo::Terminate_t& e) {
    EXPECT_STREQ(e.SourceFile(), "THR_Delay.cpp");
    EXPECT_STREQ(e.what(), "");
  }
  EXPECT_LT(ElapsedMs(start), 30000);
  try {
    thr::Delay(10, plat::kInvalidHandle);
    FAIL() << "waited on nothing";
  } catch (const glo::Terminate_t&) {
    FAIL() << "taken for a stop";
  } catch (const glo::Assert_t& e) {
    EXPECT_STREQ(e.SourceFile(), "THR_Delay.cpp");
  }
}

// The serial link keeps only a duplicate of the worker's stop event; a pause on
// that duplicate ends when the worker's own event is signalled.
TEST(DelayTest, StopDuringDelayOnDuplicateEndsItEarly) {
  thr::Event_t stop(nullptr, true, false, nullptr);
  win::Handle_t linkCopy(plat::DuplicateHandle(stop.Handle()));
  ASSERT_TRUE(linkCopy.IsValid());
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    stop.Set();
  });
  const auto start = Clock::now();
  EXPECT_THROW(thr::Delay(60000, linkCopy.Get()), glo::Terminate_t);
  EXPECT_LT(ElapsedMs(start), 30000);
  stopper.join();
}

TEST(LockTest, IsRecursiveAndExcludesOtherThreads) {
  thr::CriticalSection_t section;
  long counter = 0;
  auto work = [&] {
    for (int i = 0; i < 20000; ++i) {
      thr::Lock_t outer(section);
      thr::Lock_t inner(section);
      ++counter;
    }
  };
  std::thread a(work), b(work);
  a.join();
  b.join();
  EXPECT_EQ(counter, 40000);
}

}  // namespace
