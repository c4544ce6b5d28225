// Work spread over the processors.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

#include "thr/THR_Parallel.h"

namespace {

TEST(ParallelTest, RunsEveryIndexOnce) {
  for (const std::size_t count : {0u, 1u, 7u, 1000u}) {
    std::vector<std::atomic<int>> runs(count);
    thr::ForEachIndex(count, [&runs](std::size_t i) { ++runs[i]; });
    for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(runs[i].load(), 1) << count << " " << i;
  }
}

TEST(ParallelTest, TheLowestFailingIndexIsPassedOnAfterAllRan) {
  std::atomic<int> ran{0};
  try {
    thr::ForEachIndex(100, [&ran](std::size_t i) {
      ++ran;
      if (i == 90 || i == 40 || i == 60) throw std::runtime_error(std::to_string(i));
    });
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "40");
  }
  EXPECT_EQ(ran.load(), 100);
}

}  // namespace
