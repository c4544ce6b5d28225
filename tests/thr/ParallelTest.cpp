// Work spread over the processors.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

#include "thr/THR_Parallel.h"

namespace {

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

}  // namespace
