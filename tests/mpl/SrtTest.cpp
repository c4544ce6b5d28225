// Sort tables: selecting one, collation elements (contractions, two-byte
// characters), comparison by levels and the collated substring search.
#include <gtest/gtest.h>

#include "mpl/MPL_Srt.h"
#include "mpl/MPL_Subfile.h"
#include "tests/imgkit/MapImage.h"
#include "tests/imgkit/SrtBuilder.h"
#include "tests/mpl/LblMap.h"

namespace {

using imgkit::SrtChar;
using imgkit::SrtTable_t;
using imgkit::SrtWeight;

constexpr std::uint32_t kFlags = 2;  // three levels, 8-bit primaries, 4-bit other weights

// Letters A-Z and a-z share their primary (10 + 2 x letter), lower case is
// level-2 weight 1 and upper case 2; upper-case C starts two contractions,
// "CA" sorting after every letter and "CH" between C and D; '-' is ignorable; e-acute and e-grave are e with level-1 weights 1
// and 2; Z takes its weights from the weight table (its own and an ignorable
// one), Q is ignorable through it, X names weight records the table lacks;
// AE-ligature expands to A then E (level-1 weights 1), sharp s to s then s.
SrtTable_t Latin(std::uint32_t flags = kFlags) {
  SrtTable_t t;
  t.flags = flags;
  t.charSize = 4;  // flags, a one-byte contraction pointer, a 2-byte weight record
  t.weightSize = 2;
  auto letter = [&](char c) { return static_cast<std::uint32_t>(10 + 2 * (c - 'A')); };
  for (char c = 'A'; c <= 'Z'; ++c) {
    t.chars[static_cast<std::uint8_t>(c)] = SrtChar(0x08, 0, 1, SrtWeight(flags, letter(c), 0, 2), 4);
    t.chars[static_cast<std::uint8_t>(c + 32)] = SrtChar(0x08, 0, 1, SrtWeight(flags, letter(c), 0, 1), 4);
  }
  t.contractions = imgkit::SrtContraction("CA", {SrtWeight(flags, 200, 0, 0)}) +
                   imgkit::SrtContraction("CH", {SrtWeight(flags, letter('C') + 1, 0, 2)});
  t.chars['C'] = SrtChar(0x08 | 0x04, 0, 1, SrtWeight(flags, letter('C'), 0, 2), 4);
  t.chars[0xE9] = SrtChar(0x08, 0, 1, SrtWeight(flags, letter('E'), 1, 1), 4);
  t.chars[0xE8] = SrtChar(0x08, 0, 1, SrtWeight(flags, letter('E'), 2, 1), 4);
  t.weights = SrtWeight(flags, 1, 0, 0) + SrtWeight(flags, 2, 0, 0) + SrtWeight(flags, letter('Z'), 0, 2) +
              SrtWeight(flags, 0, 0, 0) + SrtWeight(flags, letter('A'), 1, 2) + SrtWeight(flags, letter('E'), 1, 2) +
              SrtWeight(flags, letter('S'), 0, 1) + SrtWeight(flags, letter('S'), 0, 1);
  t.chars['Z'] = SrtChar(0x10, 0, 1, SrtWeight(flags, 3, 0, 0), 4);
  t.chars['Q'] = SrtChar(0x10, 0, 1, SrtWeight(flags, 0, 0, 0), 4);
  t.chars['X'] = SrtChar(0x10, 0, 1, SrtWeight(flags, 20, 0, 0), 4);
  t.chars[0xC6] = SrtChar(0x18, 0, 1, SrtWeight(flags, 5, 0, 0), 4);
  t.chars[0xDF] = SrtChar(0x18, 0, 1, SrtWeight(flags, 7, 0, 0), 4);
  return t;
}

struct Srt_t {
  explicit Srt_t(const std::vector<SrtTable_t>& tables, std::uint32_t codePage = 1252, std::uint32_t sortId = 0) {
    source = imgkit::OpenImage(imgkit::MapImage({{"SORT.SRT", imgkit::BuildSrt(tables)}}));
    mpl::MdbOpenFile(srt.file, "SORT.SRT", source);
    result = mpl::MdbReadSrtHeader(srt, codePage, sortId);
  }
  int Compare(const char* a, const char* b, unsigned highest = 2, unsigned n = 100) const {
    return mpl::MdbSrtCompare(srt, a, b, n, highest);
  }
  mpl::ImageSource_t source;
  mpl::MdbSubfile_t srt;
  int result = -1;
};

TEST(SrtHeaderTest, SelectsByCodePageAndSortId) {
  SrtTable_t first = Latin(), second = Latin(), dbcs = Latin();
  first.sortId = 1;
  second.sortId = 3;
  second.descriptor[0] = 0x77;
  dbcs.codePage = 936;
  Srt_t s({first, second, dbcs}, 1252, 2);
  ASSERT_EQ(0, s.result);
  EXPECT_EQ(3u, s.srt.words[mpl::kSrtSortId]);
  EXPECT_EQ(0x77u, s.srt.head[0]);
  EXPECT_EQ(3, mpl::MdbReadSrtHeader(s.srt, 1250, 0));
  EXPECT_EQ(3, mpl::MdbReadSrtHeader(s.srt, 1252, 4));
  EXPECT_EQ(0, mpl::MdbReadSrtHeader(s.srt, 936, 0));
  EXPECT_EQ(936u, s.srt.words[mpl::kSrtCodePage]);

  mpl::MdbSubfile_t closed;
  EXPECT_EQ(1, mpl::MdbReadSrtHeader(closed, 1252, 0));
  std::string bad = imgkit::BuildSrt({first});
  bad[9] = 'X';
  mpl::ImageSource_t source = imgkit::OpenImage(imgkit::MapImage({{"BAD.SRT", bad}}));
  mpl::MdbSubfile_t foreign;
  mpl::MdbOpenFile(foreign.file, "BAD.SRT", source);
  EXPECT_EQ(1, mpl::MdbReadSrtHeader(foreign, 1252, 0));
}

TEST(SrtHeaderTest, MapOpensItsOwnSortTable) {
  SrtTable_t t = Latin();
  t.sortId = 2;
  imgkit::LblBuilder_t lbl;
  lbl.header.sortCodePage = 1252;
  lbl.header.sortId = 0x8002;  // the top bit is not part of the id
  lbltest::LblMap_t m(lbl, mpltest::BasicMap(), {{"SORT.SRT", imgkit::BuildSrt({t})}}, "SORT");
  ASSERT_EQ(0, m.result);
  EXPECT_TRUE(m.map.srt.file.IsOpen());
  EXPECT_EQ(-1, mpl::MdbSrtCompare(m.map.srt, "CZ", "CHA", 3, 0));

  lbl.header.sortCodePage = 1250;
  lbltest::LblMap_t none(lbl, mpltest::BasicMap(), {{"SORT.SRT", imgkit::BuildSrt({t})}}, "SORT");
  EXPECT_EQ(3, none.result);
}

struct CompareCase_t {
  const char* a;
  const char* b;
  unsigned highest;
  int expected;
};

TEST(SrtCompareTest, LevelsContractionsIgnorablesAndPrefixes) {
  Srt_t s({Latin()});
  ASSERT_EQ(0, s.result);
  const CompareCase_t cases[] = {
      {"ABC", "ABD", 2, -1},  {"ABD", "ABC", 2, 1},   {"abc", "ABC", 0, 0},   {"abc", "ABC", 2, -1},
      {"AB", "ABC", 2, -1},   {"ABC", "AB", 0, 1},    {"A-B", "AB", 2, 0},    {"A-B", "AB", 3, -1},
      {"CHA", "CZ", 0, 1},    {"CAT", "CB", 0, 1},   {"\xE9", "e", 0, 0},    {"\xE9", "e", 1, 1},
      {"Z", "Y", 0, 1},       {"AQB", "AB", 2, 0},    {"", "", 2, 0},         {"", "A", 2, -1},
      {"\xE9\xE8", "\xE8\xE9", 1, -1},
  };
  for (const CompareCase_t& c : cases)
    EXPECT_EQ(c.expected, s.Compare(c.a, c.b, c.highest)) << c.a << " / " << c.b << " @" << c.highest;
  // n elements only.
  EXPECT_EQ(0, s.Compare("ABX", "ABY", 2, 2));
  EXPECT_EQ(0, s.Compare("CHX", "CHY", 2, 1));
  // A weight record the table lacks makes the texts differ, never equal.
  EXPECT_EQ(1, s.Compare("X", "X"));
}

// A character whose weight-count field is above 0 weighs as all of its
// weight records: AE-ligature as A then E, sharp s as s then s.
TEST(SrtCompareTest, ExpansionsWeighEveryRecord) {
  Srt_t s({Latin()});
  ASSERT_EQ(0, s.result);
  const CompareCase_t cases[] = {
      {"\xC6SIR", "AESIR", 0, 0},          {"\xC6SIR", "AESIR", 1, 1},  {"\xC6SIR", "AFAR", 0, -1},
      {"stra\xDF" "e", "strasse", 2, 0},   {"stra\xDF" "e", "strasse", 3, 1},
  };
  for (const CompareCase_t& c : cases)
    EXPECT_EQ(c.expected, s.Compare(c.a, c.b, c.highest)) << c.a << " / " << c.b << " @" << c.highest;
  const char* text = "stra\xDF" "e";
  unsigned weights = 0;
  EXPECT_EQ(text + 5, mpl::MdbSrtNextElement(text + 4, s.srt, &weights));
  EXPECT_EQ(2u, weights);
  EXPECT_EQ(text + 5, mpl::MdbSrtAdvance(s.srt, text, 6));  // sharp s counts two
  EXPECT_EQ(text + 5, mpl::MdbSrtAdvance(s.srt, text, 5));  // and is never split
  EXPECT_EQ(0, s.Compare("\xC6SIRX", "AESIRY", 0, 5));
  EXPECT_EQ(text + 4, mpl::MdbSrtFind(s.srt, text, "SSE"));
  EXPECT_EQ(text + 1, mpl::MdbSrtFind(s.srt, text, "tra"));
}

TEST(SrtCompareTest, BackwardLevelIsComparedFromTheEnd) {
  Srt_t s({Latin(kFlags | (1u << 4))});  // level 1 backwards
  EXPECT_EQ(1, s.Compare("\xE9\xE8", "\xE8\xE9", 1));
  EXPECT_EQ(-1, s.Compare("\xE9" "A", "\xE8" "A", 1));
}

TEST(SrtCompareTest, WithoutSortTableBytesDecide) {
  const mpl::MdbSubfile_t none;
  EXPECT_EQ(1, mpl::MdbSrtCompare(none, "abc", "ABC", 3, 2));
  EXPECT_EQ(0, mpl::MdbSrtCompare(none, "abc", "abd", 2, 2));
  EXPECT_EQ(-1, mpl::MdbSrtCompare(none, "ab", "abc", 5, 2));
  const char* text = "MAIN STREET";
  EXPECT_EQ(text + 5, mpl::MdbSrtFind(none, text, "STR"));
  EXPECT_EQ(nullptr, mpl::MdbSrtFind(none, text, "str"));
  EXPECT_EQ(text + 3, mpl::MdbSrtAdvance(none, text, 3));
}

TEST(SrtElementTest, AdvancePreviousAndFind) {
  Srt_t s({Latin()});
  const char* text = "ACHB";
  unsigned weights = 0;
  EXPECT_EQ(text + 1, mpl::MdbSrtNextElement(text, s.srt, &weights));
  EXPECT_EQ(text + 3, mpl::MdbSrtNextElement(text + 1, s.srt, &weights));
  EXPECT_EQ(1u, weights);
  EXPECT_EQ(text + 3, mpl::MdbSrtAdvance(s.srt, text, 2));
  EXPECT_EQ(text + 4, mpl::MdbSrtAdvance(s.srt, text, 9));
  EXPECT_EQ(text + 1, mpl::MdbSrtPrevElement(s.srt, text + 3, text));
  EXPECT_EQ(text, mpl::MdbSrtPrevElement(s.srt, text + 1, text));

  const char* name = "HELLO CHARLIE";
  EXPECT_EQ(name + 6, mpl::MdbSrtFind(s.srt, name, "CHarlie"));
  EXPECT_EQ(name, mpl::MdbSrtFind(s.srt, name, "h"));
  EXPECT_EQ(nullptr, mpl::MdbSrtFind(s.srt, "CHA", "H"));  // CH is one element
  EXPECT_EQ(nullptr, mpl::MdbSrtFind(s.srt, "AB", "ABC"));
  EXPECT_EQ(name, mpl::MdbSrtFind(s.srt, name, ""));
}

// Damaged tables: a contraction table shorter than its entries, and a
// character table shorter than the characters used.
TEST(SrtElementTest, DamagedTablesStayInsideTheirBounds) {
  SrtTable_t shortContractions = Latin();
  shortContractions.contractLength = 3;  // the "CA" entry alone takes 5 bytes
  Srt_t s({shortContractions});
  ASSERT_EQ(0, s.result);
  EXPECT_EQ(-1, s.Compare("CHA", "CZ", 0));  // C and H are elements of their own
  SrtTable_t shortChars = Latin();
  shortChars.charLength = 4 * ('Y' - 1);  // up to X
  Srt_t c({shortChars});
  EXPECT_EQ(1, c.Compare("ZA", "ZA"));
  EXPECT_EQ(-1, c.Compare("AB", "AC"));
}

// Code page 936: bytes above 128 lead two-byte elements weighed by their code;
// a lead byte before the terminator is an element of one byte.
TEST(SrtElementTest, DoubleByteCodePage) {
  SrtTable_t t = Latin();
  t.codePage = 936;
  t.flags = kFlags | 0x400;
  t.chars[0xB0] = SrtChar(0, 0, 1, SrtWeight(t.flags, 250, 0, 0), 4);
  Srt_t s({t}, 936);
  ASSERT_EQ(0, s.result);
  const char* text = "\xB0\xA1" "A\xB0";
  EXPECT_EQ(text + 2, mpl::MdbSrtNextElement(text, s.srt));
  EXPECT_EQ(text + 4, mpl::MdbSrtNextElement(text + 3, s.srt));
  EXPECT_EQ(text + 4, mpl::MdbSrtAdvance(s.srt, text, 3));
  EXPECT_EQ(-1, s.Compare("\xB0\xA1", "\xB0\xA2"));
  EXPECT_EQ(1, s.Compare("\xB0\xA1", "ZZ"));
  EXPECT_EQ(-1, s.Compare("\xB0", "\xB0\xA1"));  // 250 below 0xB0A1
  EXPECT_EQ(text + 2, mpl::MdbSrtFind(s.srt, text, "a"));
  EXPECT_EQ(nullptr, mpl::MdbSrtFind(s.srt, "\xB0\xA1", "\xA1"));
}

}  // namespace
