// The journal's namespace and the C maths library live side by side in one file.
#include <cmath>

#include <gtest/gtest.h>

#include "jnl/JNL_Journal.h"

namespace {

TEST(JournalWithMath, BothUsableInOneFile) {
  jnl::Journal_t journal;
  EXPECT_DOUBLE_EQ(std::sqrt(16.0), 4.0);
  EXPECT_DOUBLE_EQ(::jn(0, 0.0), 1.0);
}

}  // namespace
