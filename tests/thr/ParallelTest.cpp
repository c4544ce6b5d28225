// Work spread over the processors.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "plat/PLAT_SystemInfo.h"
#include "thr/THR_Parallel.h"
#include "win/WIN_StructuredException.h"

namespace {

// A null read the compiler cannot see, without sanitizer checks, so that the
// processor itself faults.
int* volatile g_null = nullptr;
volatile int g_sink = 0;
__attribute__((noinline, no_sanitize("address", "undefined"))) int ReadNull() { return *g_null; }

TEST(WorkPoolTest, RunsEveryTaskOnceAndWaitsForThemAll) {
  for (const std::size_t count : {0u, 1u, 7u, 1000u}) {
    std::vector<std::atomic<int>> runs(count);
    thr::WorkPool_t pool;
    for (std::size_t i = 0; i < count; ++i) pool.Add([&runs, i]() { ++runs[i]; });
    pool.Wait();
    for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(runs[i].load(), 1) << count << " " << i;
  }
}

TEST(WorkPoolTest, TheFirstFailingTaskIsPassedOnAfterAllRan) {
  std::atomic<int> ran{0};
  thr::WorkPool_t pool;
  for (int i = 0; i < 100; ++i) {
    pool.Add([&ran, i]() {
      ++ran;
      if (i == 90 || i == 40 || i == 60) throw std::runtime_error(std::to_string(i));
    });
  }
  try {
    pool.Wait();
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "40");
  }
  EXPECT_EQ(ran.load(), 100);
  // The failure was passed on once; the pool goes on working.
  pool.Add([&ran]() { ++ran; });
  EXPECT_NO_THROW(pool.Wait());
  EXPECT_EQ(ran.load(), 101);
}

TEST(WorkPoolTest, TheDestructorWaitsForTheTasks) {
  std::atomic<int> ran{0};
  {
    thr::WorkPool_t pool;
    for (int i = 0; i < 50; ++i) pool.Add([&ran]() { ++ran; });
    pool.Add([]() { throw std::runtime_error("not asked for"); });
  }
  EXPECT_EQ(ran.load(), 50);
}

// A fault in a task on one of the pool's threads does not end the process:
// it reaches the caller of Wait as the task's exception, where the program's
// report of failures (and its attempt to save) takes it.
TEST(WorkPoolTest, AFaultOnAPoolThreadReachesTheCallerAsAnException) {
  if (plat::ProcessorCount() < 2) GTEST_SKIP() << "one processor: the pool has no threads of its own";
  thr::WorkPool_t pool;
  std::atomic<bool> started{false};
  std::thread::id ranOn;
  pool.Add([&]() {
    ranOn = std::this_thread::get_id();
    started = true;
    g_sink = ReadNull();
  });
  // The caller joins in only in Wait: let a pool thread take the task first.
  for (int i = 0; i < 6000 && !started; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  try {
    pool.Wait();
    ADD_FAILURE() << "no exception";
  } catch (const win::StructuredException_t& e) {
    EXPECT_EQ(e.Code(), 0xC0000005UL);
  }
  EXPECT_NE(ranOn, std::this_thread::get_id());
  // The pool goes on working.
  std::atomic<int> ran{0};
  pool.Add([&ran]() { ++ran; });
  EXPECT_NO_THROW(pool.Wait());
  EXPECT_EQ(ran.load(), 1);
}

}  // namespace
