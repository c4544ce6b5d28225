// The system locale and the multibyte questions on locales and the language module.
#include "win/WIN_Locale.h"

#include <gtest/gtest.h>

#include <clocale>
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
  // The DOS code pages of maps are single-byte; a code page this system has
  // no facts for gets no locale at all.
  EXPECT_FALSE(win::IsMultiByteLocale(glo::MakeLocale("", "", 437)));
  EXPECT_FALSE(win::IsMultiByteLocale(glo::MakeLocale("", "", 850)));
  EXPECT_THROW(glo::MakeLocale("", "", 1361), glo::LocaleDoesNotExist_t);
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

TEST(SystemLocaleTest, WindowsNamesMapToRuntimeNames) {
  const struct {
    const char* windows;
    const char* posix;
  } cases[] = {
      {"DES_Switzerland.65001", "de_CH.UTF-8"},
      {"ENG_United Kingdom.1252", "en_GB"},
      {"JPN_Japan.932", "ja_JP"},
      {"DEU_BE.65001", "de_BE.UTF-8"},  // known language, country as the environment named it
      {"xx_YY.1252", "xx_YY"},
      {"ENU", "en"},
      {"C", "C"},
      {"English_United States.1252", ""},
      {".65001", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.posix, plat::PosixLocaleName(c.windows)) << c.windows;
}

// Whatever the environment names, the character type the program runs under is
// UTF-8, and the other categories keep what the environment asked for.
TEST(SystemLocaleTest, RuntimeCharacterTypeIsUtf8) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  const test::EnvOverride all("LC_ALL", nullptr);
  const test::EnvOverride ctype("LC_CTYPE", nullptr);
  const struct {
    const char* lang;  // null: unset
    const char* numeric;
    bool systemName;  // the name the program hands over rather than the empty one
  } cases[] = {
      {nullptr, nullptr, false}, {"C", nullptr, false}, {"POSIX", nullptr, true},
      {"xx_YY.UTF-8", nullptr, false}, {"C.UTF-8", "C", true}, {"C", "C.UTF-8", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lang ? c.lang : "(unset)");
    const test::EnvOverride lang("LANG", c.lang);
    const test::EnvOverride numeric("LC_NUMERIC", c.numeric);
    std::setlocale(LC_ALL, "C");
    const plat::SystemLocaleRecord record = plat::GetSystemLocaleRecord();
    const std::string name =
        c.systemName ? plat::WindowsLocaleName(record.language, record.country, record.codePage) : std::string();
    const std::string set = plat::SetRuntimeLocale(name);
    EXPECT_TRUE(set == "C.UTF-8" || set == "C.utf8") << set;
    EXPECT_EQ(set, std::setlocale(LC_CTYPE, nullptr));
    EXPECT_TRUE(plat::RuntimeCodePageIsUtf8());
    EXPECT_EQ(c.numeric ? c.numeric : "C", std::string(std::setlocale(LC_NUMERIC, nullptr)));
  }
  std::setlocale(LC_ALL, previous.c_str());
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
