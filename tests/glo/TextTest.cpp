#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <locale>
#include <string>

#include "glo/GLO_Char.h"
#include "glo/GLO_MBString.h"
#include "glo/GLO_NoCase.h"
#include "glo/GLO_StringReplace.h"
#include "glo/GLO_ToString.h"

namespace {

// Texts are UTF-8, under the locale the start-up sets whatever the environment.
class Text : public ::testing::Test {
 protected:
  const std::locale m_locale = std::locale::classic();
};

// "é" (2 bytes), "€" (3 bytes), "😀" (4 bytes); "\xC3" alone is a lead byte
// without its continuation, "\xFF" never starts a character.
const std::string kE = "\xC3\xA9";
const std::string kEuro = "\xE2\x82\xAC";
const std::string kSmile = "\xF0\x9F\x98\x80";

TEST_F(Text, CharacterCodes) {
  EXPECT_EQ(0x41ul, glo::MBCharCode("A"));
  EXPECT_EQ(0xC3A9ul, glo::MBCharCode(kE.c_str()));
  EXPECT_EQ(0xE282ACul, glo::MBCharCode((kEuro + "x").c_str()));
  EXPECT_EQ(0xF09F9880ul, glo::MBCharCode(kSmile.c_str()));
  EXPECT_EQ(0xC3ul, glo::MBCharCode("\xC3"));  // lead byte before the terminating zero
  EXPECT_EQ(0ul, glo::MBCharCode(""));
}

TEST_F(Text, CountMBChars) {
  EXPECT_EQ(0u, glo::CountMBChars("", m_locale));
  EXPECT_EQ(3u, glo::CountMBChars("abc", m_locale));
  EXPECT_EQ(5u, glo::CountMBChars("a" + kE + kEuro + kSmile + "z", m_locale));
  for (const std::string& bad : {std::string("ab\xFF"), std::string("ab\xC3"), std::string("\xA9"), "x" + kEuro.substr(0, 2) + "y"}) {
    try {
      glo::CountMBChars(bad, m_locale);
      ADD_FAILURE() << "counted an invalid text";
    } catch (const glo::InvalidMBCharacter_t& e) {
      EXPECT_STREQ("GLO_MBString.h", e.SourceFile());
    }
  }
}

TEST_F(Text, ValidMBPrefixStopsBeforeTheFirstInvalidByte) {
  const struct {
    std::string text, prefix;
  } cases[] = {
      {"", ""},
      {"Lauf " + kE + kSmile, "Lauf " + kE + kSmile},
      {"ab\xFF" "cd", "ab"},
      {"ab" + kE + "\xC3", "ab" + kE},           // text ends inside a character
      {"\xA9" "abc", ""},                        // continuation byte first
      {"a" + kEuro.substr(0, 2) + "b", "a"},     // sequence cut short
      {"a\xC0\x80", "a"},                       // overlong forms
      {"a\xE0\x80\x80", "a"},
      {"a\xF0\x80\x80\x80", "a"},
      {"a\xED\xA0\x80", "a"},                   // a surrogate
      {"a\xF4\x90\x80\x80", "a"},               // beyond U+10FFFF
      {"a\xF8\x88\x80\x80\x80", "a"},           // five-byte form
  };
  for (const auto& c : cases) EXPECT_EQ(c.prefix, glo::ValidMBPrefix(c.text)) << c.text;
}

// The checks are the same whatever character type the C library was left in.
TEST_F(Text, CountsUtf8UnderTheClassicCharacterType) {
  const std::string previous = std::setlocale(LC_CTYPE, nullptr);
  for (const char* name : {"C", "POSIX", "C.UTF-8"}) {
    ASSERT_NE(nullptr, std::setlocale(LC_CTYPE, name)) << name;
    EXPECT_EQ(4u, glo::CountMBChars("Caf" + kE, m_locale)) << name;
    EXPECT_EQ("Caf", glo::ValidMBPrefix("Caf\xC3")) << name;
    EXPECT_EQ(0xC3A9ul, glo::MBCharCode(kE.c_str())) << name;
  }
  std::setlocale(LC_CTYPE, previous.c_str());
}

TEST_F(Text, EqualNoCase) {
  const struct {
    std::string a, b;
    bool equal;
  } cases[] = {
      {"", "", true},
      {"Track 01", "tRACK 01", true},
      {"Track", "Track ", false},
      {kE + "tape", kE + "TAPE", true},
      {kE, "\xC3\x89", false},         // "é" and "É": multibyte characters compare exactly
      {kE + "x", "ex", false},         // a multibyte character never matches a single byte
      {"e" + kE, kE + "e", false},
  };
  for (const auto& c : cases) EXPECT_EQ(c.equal, glo::EqualNoCase(c.a, c.b, m_locale)) << c.a << " / " << c.b;
  EXPECT_THROW(glo::EqualNoCase("ab\xFF", "abc", m_locale), glo::InvalidMBCharacter_t);
}

TEST_F(Text, LessNoCase) {
  const struct {
    std::string a, b;
    bool less;
  } cases[] = {
      {"abc", "ABD", true}, {"ABD", "abc", false}, {"abc", "ABC", false},
      {"ab", "ABC", true},  {"abc", "AB", false},  {"z", kE, true},
      {kE, "z", false},     {kE, kEuro, true},     {"", "", false},
  };
  for (const auto& c : cases) EXPECT_EQ(c.less, glo::LessNoCase(c.a, c.b, m_locale)) << c.a << " < " << c.b;
}

TEST_F(Text, ToUpperChangesSingleBytesOnly) {
  const struct {
    std::string text, upper;
  } cases[] = {
      {"Stra" "\xC3\x9F" "e 5k", "STRA" "\xC3\x9F" "E 5K"},
      {kE + "t" + kE, kE + "T" + kE},
      {"abc\xC3", "ABC\xC3"},           // invalid lead byte at the end is kept
      {"a\xFF" "b\xA9" "c", "A\xFF" "B\xA9" "C"},  // and the walk goes on after one
  };
  for (const auto& c : cases) EXPECT_EQ(c.upper, glo::ToUpper(c.text, m_locale)) << c.text;
}

TEST(ToString, CopiesUpToTheZeroWithinTheBuffer) {
  const char terminated[8] = {'a', 'b', '\0', 'x'};
  const char unterminated[3] = {'x', 'y', 'z'};
  EXPECT_EQ("ab", glo::ToString(terminated));
  EXPECT_EQ("xyz", glo::ToString(unterminated));
  EXPECT_EQ("x", glo::ToString(unterminated, 1));
}

TEST(DecimalsForDigits, Table) {
  const struct {
    double x;
    int digits;
    int decimals;
  } cases[] = {
      {5.3, 3, 2},   {123.4, 3, 0}, {0.25, 3, 3},  {0, 3, 0},     {-7.5, 3, 2},  {-123.4, 3, 0}, {-0.5, 2, 2},
      {99.9, 3, 1},  {12345, 3, 0}, {1, 1, 0},     {1, 2, 1},
      {std::numeric_limits<double>::infinity(), 3, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(c.decimals, glo::DecimalsForDigits(c.x, c.digits)) << c.x << ", " << c.digits;
}

}  // namespace
