#pragma once
// Shared by the language-module tests and the helper program they start.
#include <gtest/gtest.h>

#include "win/WIN_Exception.h"

namespace apptest {

// The environment variable that names the start-up case the helper plays.
constexpr char kScenarioVariable[] = "STRIDE_LANG_SCENARIO";

// Expects 'call' to throw win::Error_t with this code and source file.
template <typename Call>
void ExpectWinError(Call call, unsigned long code, const char* file) {
  try {
    call();
    ADD_FAILURE() << "no exception";
  } catch (const win::Error_t& e) {
    EXPECT_EQ(code, e.ErrorCode());
    EXPECT_STREQ(file, e.SourceFile());
  }
}

}  // namespace apptest
