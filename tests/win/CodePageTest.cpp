// Code-page facts.
#include "win/WIN_CodePage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "plat/PLAT_Error.h"
#include "win/WIN_Exception.h"

namespace {

TEST(CodePageTest, InformationAndMultiByteness) {
  const struct {
    uint32_t codePage;
    unsigned maxCharSize;
    std::vector<unsigned char> leadBytes;
    bool multiByte;
  } cases[] = {
      {1252, 1, {}, false},
      {874, 1, {}, false},
      {1250, 1, {}, false},
      {1258, 1, {}, false},
      {932, 2, {0x81, 0x9F, 0xE0, 0xFC}, true},
      {936, 2, {0x81, 0xFE}, true},
      {949, 2, {0x81, 0xFE}, true},
      {950, 2, {0x81, 0xFE}, true},
      {65001, 4, {0xC2, 0xF4}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.codePage);
    const win::CodePageInfo_t info = win::GetCodePageInfo(c.codePage);
    EXPECT_EQ(c.maxCharSize, info.maxCharSize);
    EXPECT_EQ('?', info.defaultChar[0]);
    unsigned char expected[12] = {0};
    std::copy(c.leadBytes.begin(), c.leadBytes.end(), expected);
    EXPECT_EQ(0, std::memcmp(expected, info.leadByte, sizeof expected));
    EXPECT_EQ(c.multiByte, win::IsMultiByteCodePage(c.codePage));
  }
}

TEST(CodePageTest, UnknownCodePageIsAWindowsError) {
  for (uint32_t codePage : {0u, 720u, 1249u, 1259u, 65000u}) {
    try {
      win::GetCodePageInfo(codePage);
      ADD_FAILURE() << codePage;
    } catch (const win::Error_t& e) {
      EXPECT_EQ(plat::kErrorInvalidParameter, e.ErrorCode());
      EXPECT_STREQ("WIN_Locale.cpp", e.SourceFile());
    }
  }
}

}  // namespace
