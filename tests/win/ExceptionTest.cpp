#include <gtest/gtest.h>

#include <cstring>

#include "plat/PLAT_Error.h"
#include "win/WIN_Exception.h"

namespace {

TEST(Exception, CarriesSourceFileLineAndText) {
  try {
    throw glo::Exception_t(GLO_SRC, "boom");
  } catch (const glo::Exception_t& e) {
    EXPECT_STREQ(e.SourceFile(), "ExceptionTest.cpp");
    EXPECT_GT(e.Line(), 0);
    EXPECT_STREQ(e.what(), "boom");
  }
}

TEST(Exception, EmptyMessageKinds) {
  EXPECT_STREQ(glo::Assert_t(GLO_SRC).what(), "");
  EXPECT_STREQ(glo::OutOfRange_t(GLO_SRC).what(), "");
  EXPECT_STREQ(glo::Terminate_t(GLO_SRC).what(), "");
  glo::InvalidInput_t input("Type a number.", GLO_SRC);
  EXPECT_STREQ(input.what(), "");
  EXPECT_EQ(input.Text(), "Type a number.");
  EXPECT_STREQ(glo::LocaleDoesNotExist_t(GLO_SRC, ".999").what(), ".999");
}

TEST(Exception, AssertTrueReturnsConditionOrThrows) {
  EXPECT_EQ(glo::AssertTrue(7, GLO_SRC), 7);
  EXPECT_THROW(GLO_ASSERT(false), glo::Assert_t);
  try {
    GLO_ASSERT(1 == 2);
  } catch (const glo::Assert_t& e) {
    EXPECT_STREQ(e.SourceFile(), "ExceptionTest.cpp");
  }
}

TEST(WinError, TextOfCodeTwo) {
  win::Error_t e(GLO_SRC, 2);
  EXPECT_EQ(e.ErrorCode(), 2u);
  EXPECT_STREQ(e.what(), "Windows Error Code: 2\nThe system cannot find the file specified.\r\n");
}

TEST(WinError, TakesLastErrorOfThread) {
  plat::SetLastError(5);
  win::FileError_t e(GLO_SRC);
  EXPECT_EQ(e.ErrorCode(), 5u);
  EXPECT_STREQ(e.what(), "Windows Error Code: 5\nAccess is denied.\r\n");
}

TEST(WinError, RegErrorEndsWithName) {
  win::RegError_t e(GLO_SRC, "Port", 5);
  const std::string text = e.what();
  const std::string tail = "; Reg name: Port";
  ASSERT_GE(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  EXPECT_EQ(text.rfind("Windows Error Code: 5\n", 0), 0u);
}

TEST(WinError, UnknownCodeStillGivesText) {
  const std::string text = win::FormatErrorCode(987654);
  EXPECT_EQ(text.rfind("Windows Error Code: 987654\n", 0), 0u);
}

TEST(ErrorText, LastErrorOrFallback) {
  plat::SetLastError(2);
  EXPECT_EQ(glo::ErrorText(), "The system cannot find the file specified.\r\n");
  plat::SetLastError(424242);
  EXPECT_EQ(glo::ErrorText(), "Unable to get error text");
}

TEST(FileNotFound, KeepsName) {
  win::FileNotFound_t e(GLO_SRC, "/nowhere/x.bin");
  EXPECT_STREQ(e.what(), "/nowhere/x.bin");
  EXPECT_EQ(e.FileName(), "/nowhere/x.bin");
}

}  // namespace
