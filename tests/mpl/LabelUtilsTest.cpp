// Feature descriptions, shield prefixes and the title case of labels; a map of
// code page 1252 shows its labels in UTF-8 whatever the process's locale.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "glo/GLO_Locale.h"
#include "glo/GLO_StringResource.h"
#include "mpl/MPL_LabelUtils.h"
#include "mpl/MPL_Lbl.h"
#include "tests/common/TestEnv.h"
#include "tests/mpl/LblMap.h"

namespace {

std::string Resource(unsigned id) { return glo::LoadStringResource(id, __FILE__, __LINE__); }

TEST(LabelTypeTextTest, TablesAndDefaults) {
  struct {
    char kind;
    std::uint16_t type;
    std::uint8_t subtype;
    unsigned id;
  } const cases[] = {
      {'a', 2, 0, 6300},    {'a', 15, 0, 6342},   {'a', 129, 5, 6341},  {'a', 129, 6, 6342},  {'a', 131, 0, 6344},
      {'a', 131, 1, 6343},  {'a', 131, 8, 6342},  {'a', 134, 18, 6368}, {'a', 135, 0, 6342},  {'a', 135, 4, 6333},
      {'l', 13, 0, 6334},   {'l', 10, 0, 6662},   {'l', 9, 1, 6487},    {'l', 67, 4, 6514},   {'l', 67, 1, 6334},
      {'l', 70, 18, 6385},  {'l', 71, 6, 6504},   {'p', 22, 0, 6392},   {'p', 27, 22, 6391},  {'p', 28, 10, 6484},
      {'p', 102, 20, 6407}, {'p', 102, 3, 6408},  {'p', 258, 24, 6447}, {'p', 258, 25, 6334}, {'p', 260, 14, 6665},
      {'p', 265, 0, 6334},  {'p', 1000, 0, 6334},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(1, c.kind) + std::to_string(c.type) + "/" + std::to_string(c.subtype));
    const char* second = "x";
    const char* text = c.kind == 'a'   ? mpl::GetAreaTypeText(c.type, c.subtype)
                       : c.kind == 'l' ? mpl::GetLineTypeText(c.type, c.subtype)
                                       : mpl::GetPointTypeText(c.type, c.subtype, &second);
    EXPECT_EQ(Resource(c.id), text);
    if (c.kind == 'p') {
      EXPECT_EQ(nullptr, second);
    }
  }
  // The cached text stays where it is.
  EXPECT_EQ(mpl::GetAreaTypeText(15, 0), mpl::GetAreaTypeText(15, 0));
}

TEST(LabelTypeTextTest, ShieldPrefixes) {
  EXPECT_EQ(Resource(6521), mpl::GetShieldPrefixText(1, true));
  EXPECT_EQ(Resource(6522), mpl::GetShieldPrefixText(2, false));
  EXPECT_EQ(Resource(6524), mpl::GetShieldPrefixText(3, true));
  EXPECT_STREQ(" ", mpl::GetShieldPrefixText(5, true));
  EXPECT_EQ(Resource(6524), mpl::GetShieldPrefixText(5, false));
  EXPECT_EQ(Resource(6523), mpl::GetShieldPrefixText(32, true));
  EXPECT_STREQ("", mpl::GetShieldPrefixText(7, true));
}

std::string TitleCase(std::string text, const std::locale& locale = std::locale::classic()) {
  mpl::FormatLabelCase(text.data(), text.data() + text.size(), locale);
  return text;
}

TEST(LabelTitleCaseTest, Rules) {
  const std::pair<const char*, const char*> cases[] = {
      {"LAKE OF THE WOODS", "Lake of the Woods"},
      {"THE NARROWS", "The Narrows"},
      {"MCDONALD'S", "McDonald's"},
      {"O'NEIL PARK", "O'Neil Park"},
      {"KFC", "KFC"},
      {"USA", "USA"},
      {"NW 5TH ST", "NW 5th St"},
      {"A STREET", "A Street"},
      {"ROUTE A", "Route a"},
      {"Lake of Woods", "Lake Of Woods"},  // only upper-case words are listed
      {"MC", "Mc"},
      {"  X  ", "  X  "},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.second, TitleCase(c.first)) << c.first;
}

TEST(LabelTitleCaseTest, CodePageLettersAndMultiByteLocales) {
  const std::locale cp1252 = glo::MakeLocale("", "", 1252);
  EXPECT_EQ("Caf\xE9 \xC9t\xE9", TitleCase("CAF\xC9 \xC9T\xC9", cp1252));
  const std::locale cp936 = glo::MakeLocale("", "", 936);
  EXPECT_EQ("\xB0\xA1 LAKE", TitleCase("\xB0\xA1 LAKE", cp936));
  EXPECT_THROW(mpl::FormatLabelTitleCase(nullptr, nullptr), glo::Assert_t);
}

// Opens a map of code page 1252 whose label "CAF\xC9" shows as "Café" in
// title case, in this process; the exit code says whether it did.
int ShowCafe() {
  imgkit::LblBuilder_t b;
  b.header.encoding = 9;
  b.header.codePage = 1252;
  const std::uint32_t label = b.AddLabel("CAF\xC9");
  lbltest::LblMap_t m(b);
  if (m.result != 0) return 2;
  char buffer[32];
  if (mpl::MdbGetObjectLabel(m.map, &label, mpl::kLabelOfOffset, buffer, sizeof buffer, mpl::kLabelTitleCase) != 0)
    return 3;
  const std::string shown = mpl::MdbLabelToUtf8(m.map, buffer);
  if (shown != "Caf\xC3\xA9") {
    std::fprintf(stderr, "shown as '%s'\n", shown.c_str());
    return 1;
  }
  return 0;
}

TEST(LabelCodePageTest, CafeShowsWhateverTheProcessLocale) {
  EXPECT_EQ(0, ShowCafe());
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (const char* lang : {static_cast<const char*>(nullptr), "C"}) {
    SCOPED_TRACE(lang ? lang : "(unset)");
    const test::EnvOverride all("LC_ALL", nullptr);
    const test::EnvOverride ctype("LC_CTYPE", nullptr);
    const test::EnvOverride language("LANG", lang);
    // The child starts like any test process, from this environment.
    EXPECT_EXIT(
        {
          const int code = ShowCafe();
          std::fflush(stderr);
          std::_Exit(code);
        },
        ::testing::ExitedWithCode(0), "");
  }
}

TEST(LabelCodePageTest, TextOfOtherCodePages) {
  imgkit::LblBuilder_t b;
  b.header.codePage = 437;
  lbltest::LblMap_t m(b);
  EXPECT_EQ("\xC3\xA9", mpl::MdbLabelToUtf8(m.map, "\x82"));  // e-acute in 437
  m.map.lbl.codePage = 0;                                    // none named: 1252
  EXPECT_EQ("\xC2\xB0", mpl::MdbLabelToUtf8(m.map, "\xB0"));
  m.map.lbl.codePage = 936;
  EXPECT_EQ("\xE5\x95\x8A", mpl::MdbLabelToUtf8(m.map, "\xB0\xA1"));
  EXPECT_EQ("A\xEF\xBF\xBD", mpl::MdbLabelToUtf8(m.map, "A\xB0"));  // a lone lead byte
  // A map of code page 437 opens with its own title case.
  EXPECT_EQ("Caf\x82", TitleCase("CAF\x90", m.map.locale));
}

}  // namespace
