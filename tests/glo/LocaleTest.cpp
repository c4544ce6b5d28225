// Locales built from (language, country, code page) records and their cache.
#include "glo/GLO_Locale.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "glo/GLO_Exception.h"
#include "plat/PLAT_Locale.h"

namespace {

TEST(LocaleNameTest, Forms) {
  const struct {
    glo::LocaleRecord_t record;
    const char* name;
  } cases[] = {
      {{"English", "United States", 1252}, "English_United States.1252"},
      {{"English", "", 1252}, "English"},
      {{"", "", 932}, ".932"},
      {{"", "Japan", 932}, ".932"},
      {{"ENU", "United States", 65001}, "ENU_United States.65001"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.name, glo::LocaleName(c.record));
}

TEST(LocaleRecordTest, OrderedByCodePageThenLanguageThenCountry) {
  const glo::LocaleRecord_t a{"Z", "Z", 874}, b{"A", "Z", 1252}, c{"B", "A", 1252}, d{"B", "B", 1252};
  EXPECT_TRUE(a < b);
  EXPECT_TRUE(b < c);
  EXPECT_TRUE(c < d);
  EXPECT_FALSE(d < c);
  EXPECT_FALSE(c < c);
}

TEST(MakeLocaleTest, SameRecordGivesTheSameCachedLocale) {
  const std::locale first = glo::MakeLocale("German", "Germany", 1252);
  const std::locale second = glo::MakeLocale("German", "Germany", 1252);
  EXPECT_TRUE(first == second);
  EXPECT_FALSE(first == glo::MakeLocale("German", "Austria", 1252));
  EXPECT_EQ("German_Germany.1252", plat::LocaleName(first));
}

TEST(MakeLocaleTest, UnknownCodePageThrowsWithTheName) {
  for (uint32_t codePage : {0u, 12345u}) {
    try {
      glo::MakeLocale("Klingon", "Moon", codePage);
      FAIL() << "no exception for " << codePage;
    } catch (const glo::LocaleDoesNotExist_t& e) {
      EXPECT_EQ("Klingon_Moon." + std::to_string(codePage), e.Message());
      EXPECT_STREQ("GLO_Locale.cpp", e.SourceFile());
    }
  }
}

TEST(MakeLocaleTest, CharacterClassesAndCaseFollowTheCodePage) {
  const auto& ctype1252 = std::use_facet<std::ctype<char>>(glo::DefaultLocale());
  EXPECT_EQ("English_United States.1252", plat::LocaleName(glo::DefaultLocale()));
  EXPECT_EQ('\xC9', ctype1252.toupper('\xE9'));  // e acute
  EXPECT_EQ('\xE9', ctype1252.tolower('\xC9'));
  EXPECT_EQ('A', ctype1252.toupper('a'));
  EXPECT_TRUE(ctype1252.is(std::ctype_base::alpha | std::ctype_base::lower, '\xE9'));
  EXPECT_FALSE(ctype1252.is(std::ctype_base::alpha, '\xD7'));  // multiplication sign
  EXPECT_EQ('\x9F', ctype1252.toupper('\xFF'));  // y diaeresis: its capital lies at 0x9F

  // A lead byte of a double-byte code page is no character on its own; UTF-8 has
  // no single characters above ASCII.
  const auto& ctype932 = std::use_facet<std::ctype<char>>(glo::MakeLocale("Japanese", "Japan", 932));
  EXPECT_FALSE(ctype932.is(std::ctype_base::alpha | std::ctype_base::print, '\x81'));
  EXPECT_TRUE(ctype932.is(std::ctype_base::alpha, '\xB1'));  // half-width katakana A
  const auto& ctypeUtf8 = std::use_facet<std::ctype<char>>(glo::MakeLocale("", "", 65001));
  EXPECT_FALSE(ctypeUtf8.is(std::ctype_base::alpha, '\xC3'));
  EXPECT_EQ('\xE9', ctypeUtf8.toupper('\xE9'));
  EXPECT_EQ('Z', ctypeUtf8.toupper('z'));
}

TEST(MakeLocaleTest, ThreadsAskingAtOnceShareOneLocale) {
  std::vector<std::locale> locales(8);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < locales.size(); ++i)
    threads.emplace_back([&locales, i] { locales[i] = glo::MakeLocale("Polish", "Poland", 1250); });
  for (std::thread& t : threads) t.join();
  for (const std::locale& l : locales) EXPECT_TRUE(l == locales[0]);
}

TEST(ConvertStringTest, NarrowTextIsCopiedUnchanged) {
  EXPECT_EQ("Stra\xC3\x9F" "e", glo::ConvertString("Stra\xC3\x9F" "e", GLO_SRC, glo::DefaultLocale()));
}

}  // namespace
