// The system locale and the multibyte questions on locales and the language module.
#include "win/WIN_Locale.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "glo/GLO_Locale.h"
#include "plat/PLAT_Error.h"
#include "plat/PLAT_Locale.h"
#include "tests/common/TestEnv.h"
#include "win/WIN_CodePage.h"
#include "win/WIN_Exception.h"

namespace {

TEST(ParseIntTest, WholeTextMustBeAnInteger) {
  EXPECT_EQ(1252, win::ParseInt("1252"));
  EXPECT_EQ(-5, win::ParseInt(" -5 "));
  for (const char* text : {"", "abc", "12x", "1 2", "UTF-8"}) {
    SCOPED_TRACE(text);
    try {
      win::ParseInt(text);
      ADD_FAILURE() << "no exception";
    } catch (const glo::Assert_t& e) {
      EXPECT_STREQ("WIN_Locale.cpp", e.SourceFile());
    }
  }
}

TEST(IsMultiByteLocaleTest, ByTheCodePageOfTheName) {
  EXPECT_FALSE(win::IsMultiByteLocale(std::locale::classic()));
  EXPECT_FALSE(win::IsMultiByteLocale(glo::DefaultLocale()));
  EXPECT_TRUE(win::IsMultiByteLocale(glo::MakeLocale("Japanese", "Japan", 932)));
  EXPECT_TRUE(win::IsMultiByteLocale(glo::MakeLocale("", "", 932)));
  EXPECT_TRUE(win::IsMultiByteLocale(glo::MakeLocale("ENU", "United States", 65001)));
  EXPECT_FALSE(win::IsMultiByteLocale(glo::MakeLocale("Thai", "Thailand", 874)));
  // A name without a code page.
  EXPECT_THROW(win::IsMultiByteLocale(glo::MakeLocale("English", "", 1252)), win::NoCodePageSpecified_t);
  // A code page this system has no facts for.
  EXPECT_THROW(win::IsMultiByteLocale(glo::MakeLocale("", "", 437)), win::Error_t);
}

TEST(SystemLocaleTest, RecordsFromPosixNames) {
  const struct {
    const char* posix;
    const char* language;
    const char* country;
    unsigned codePage;
  } cases[] = {
      {"de_CH.UTF-8", "DES", "Switzerland", 65001},
      {"en_US.utf8", "ENU", "United States", 65001},
      {"en_GB", "ENG", "United Kingdom", 1252},
      {"ja_JP.eucJP", "JPN", "Japan", 932},
      {"ru_RU.UTF-8@euro", "RUS", "Russia", 65001},
      {"de_BE.UTF-8", "DEU", "BE", 65001},  // known language, unknown country
      {"xx_YY.ISO-8859-1", "xx", "YY", 1252},
      {"C", "ENU", "United States", 65001},
      {"POSIX", "ENU", "United States", 65001},
      {"C.UTF-8", "ENU", "United States", 65001},
      {"", "ENU", "United States", 65001},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.posix);
    const plat::SystemLocaleRecord record = plat::LocaleRecordFromPosixName(c.posix);
    EXPECT_EQ(c.language, record.language);
    EXPECT_EQ(c.country, record.country);
    EXPECT_EQ(c.codePage, record.codePage);
  }
}

TEST(GetLocaleInfoStringTest, DefaultLocaleIdsAnswerFromTheEnvironment) {
  const test::EnvOverride setting("LC_ALL", "de_CH.ISO-8859-1");
  for (unsigned long lcid : {0ul, 0x400ul, 0x800ul}) {
    SCOPED_TRACE(lcid);
    EXPECT_EQ("DES", win::GetLocaleInfoString(lcid, win::LocaleAbbrevLanguageName));
    EXPECT_EQ("Switzerland", win::GetLocaleInfoString(lcid, win::LocaleEnglishCountryName));
    EXPECT_EQ(1252, win::ParseInt(win::GetLocaleInfoString(lcid, win::LocaleDefaultAnsiCodePage)));
  }
  const struct {
    unsigned long lcid, type, code;
  } refused[] = {
      {0x0409, win::LocaleAbbrevLanguageName, plat::kErrorInvalidParameter},  // no other locale ids here
      {win::LocaleUserDefault, 0x1001, plat::kErrorInvalidFlags},
  };
  for (const auto& r : refused) {
    try {
      win::GetLocaleInfoString(r.lcid, r.type);
      ADD_FAILURE() << "no exception for " << r.lcid << ", " << r.type;
    } catch (const win::Error_t& e) {
      EXPECT_EQ(r.code, e.ErrorCode());
      EXPECT_STREQ("WIN_Locale.cpp", e.SourceFile());
    }
  }
}

TEST(SystemLocaleTest, SystemLocaleIsBuiltUnderItsName) {
  const glo::LocaleRecord_t& record = win::SystemLocaleRecord();
  const plat::SystemLocaleRecord environment = plat::GetSystemLocaleRecord();
  EXPECT_EQ(environment.language, record.language);
  EXPECT_EQ(environment.country, record.country);
  EXPECT_EQ(environment.codePage, record.codePage);
  EXPECT_EQ(glo::LocaleName(record), win::SystemLocaleName());
  EXPECT_EQ(win::SystemLocaleName(), plat::LocaleName(win::SystemLocale()));
  EXPECT_EQ(win::IsMultiByteCodePage(record.codePage), win::IsMultiByteLocale(win::SystemLocale()));
}

TEST(ResourceLocaleTest, LanguageModuleIsUsEnglishInCodePage1252) {
  EXPECT_EQ(0x0409, win::GetResourceLanguageId());
  EXPECT_FALSE(win::IsResourceCodePageMultiByte());
}

}  // namespace
