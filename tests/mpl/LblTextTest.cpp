// Label texts of the LBL sub-file: the four encodings, the section and buffer
// bounds, and the marker, name and shield processing.
#include <gtest/gtest.h>

#include "mpl/MPL_Lbl.h"
#include "tests/mpl/LblMap.h"

namespace {

using imgkit::LblBuilder_t;
using lbltest::LblMap_t;

LblBuilder_t Builder(std::uint8_t encoding, std::uint16_t codePage = 1252) {
  LblBuilder_t b;
  b.header.encoding = encoding;
  b.header.codePage = codePage;
  return b;
}

TEST(LblEncoderTest, SixBitGroupsArePinnedByTheirValues) {
  // Q 1 R G are the values 0x11 0x21 0x12 0x07.
  EXPECT_EQ(std::string("\x46\x14\x87\xFF\xFF\xFF", 6), imgkit::EncodeSixBit("Q1RG"));
  // "!" is value 0x1C followed by 0x01; then the end value and padding.
  EXPECT_EQ(std::string("\x70\x1F\xFF", 3), imgkit::EncodeSixBit("!"));
  EXPECT_EQ(std::string("AB\xC3", 3), imgkit::EncodeSevenBit("ABC"));
  EXPECT_EQ(std::string("AB\0", 3), imgkit::EncodeCodePageLabel("AB"));
}

TEST(LblTextTest, SixBitLiteralsDecode) {
  LblBuilder_t b = Builder(6);
  const std::uint32_t qrg = b.AddRawLabel(std::string("\x46\x14\x87\xFF", 4));
  const std::uint32_t bang = b.AddRawLabel(std::string("\x70\x1F\xFF", 3));
  // Ended early: the top bits of the second value are 11, before its other bits.
  const std::uint32_t early = b.AddRawLabel(std::string("\x07", 1));
  LblMap_t m(b);
  ASSERT_EQ(0, m.result);
  EXPECT_EQ("Q1RG", m.Text(qrg));
  EXPECT_EQ("!", m.Text(bang));
  EXPECT_EQ("A", m.Text(early));
}

// Every encoding through its encoder, with labels that straddle the engine's
// 512-byte blocks (the decoder's state carries over).
TEST(LblTextTest, EveryEncodingRoundTripsAcrossBlocks) {
  const std::string text = "Lake of the Woods 12 {x} @#:; [_] ~`";
  const std::string upper = "MOUNT 42 RIDGE";
  for (std::uint8_t encoding : {6, 7, 9, 10}) {
    SCOPED_TRACE(static_cast<int>(encoding));
    for (std::size_t pad : {0u, 300u, 301u, 302u, 303u, 310u}) {
      LblBuilder_t b = Builder(encoding);
      b.labels += std::string(pad, '\0');
      const std::uint32_t a = b.AddLabel(encoding == 7 ? upper : text);
      const std::uint32_t c = b.AddLabel(upper);
      LblMap_t m(b);
      ASSERT_EQ(0, m.result);
      EXPECT_EQ(encoding == 7 ? upper : text, m.Text(a));
      EXPECT_EQ(0, m.last);
      EXPECT_EQ(upper, m.Text(c));
    }
  }
}

TEST(LblTextTest, OffsetsAndBuffers) {
  LblBuilder_t b = Builder(9);
  const std::uint32_t label = b.AddLabel("ABCDEF");
  LblMap_t m(b);
  EXPECT_EQ("", m.Text(0));
  EXPECT_EQ(0, m.last);
  EXPECT_EQ("", m.Text(0xFFFFFFFF));
  EXPECT_EQ(3, m.last);
  EXPECT_EQ("", m.Text(static_cast<std::uint32_t>(b.labels.size())));
  EXPECT_EQ(3, m.last);
  EXPECT_EQ("ABC", m.Text(label, 0, 4));  // size - 1 characters
  EXPECT_EQ(0, m.last);
}

TEST(LblTextTest, ShiftedOffsetThatOverflowsIsPastTheSection) {
  LblBuilder_t b = Builder(9);
  b.header.labelShift = 12;
  b.AddLabel("X");
  LblMap_t m(b);
  m.map.lbl.labels.length = 0xFFFFFFFF;
  // 0x100001 << 12 wraps to 0x1000 inside 32 bits.
  EXPECT_EQ("", m.Text(0x100001));
  EXPECT_EQ(3, m.last);
}

TEST(LblTextTest, CodePageEncodingsControlBytesAndEscapes) {
  LblBuilder_t b = Builder(9);
  const std::uint32_t escaped = b.AddRawLabel(std::string("\x41\x07\x00\x05\x42\x00", 6));
  const std::uint32_t blanks = b.AddRawLabel(std::string("A\x08" "B\x1A" "C\x7F" "D\x00", 8));
  const std::uint32_t third = b.AddRawLabel(std::string("A\x07xxB\x07yyC\x07zzD\x00", 14));
  LblMap_t m(b);
  EXPECT_EQ("AB", m.Text(escaped));
  EXPECT_EQ(0, m.last);
  EXPECT_EQ("A B C D", m.Text(blanks));
  EXPECT_EQ("ABC", m.Text(third));
  EXPECT_EQ(2, m.last);
}

TEST(LblTextTest, SevenBitBlanksAndLastCharacter) {
  LblBuilder_t b = Builder(7);
  const std::uint32_t label = b.AddRawLabel(std::string("A\x08\x7F" "B\xC3" "D", 6));
  LblMap_t m(b);
  EXPECT_EQ("A  BC", m.Text(label));
}

// A lead byte right before the terminator is a character of its own: the
// decoder never takes the terminator and walks into the next label.
TEST(LblTextTest, DoubleByteLeadBeforeTheTerminator) {
  LblBuilder_t b = Builder(10, 936);
  const std::uint32_t pair = b.AddRawLabel(std::string("\xB0\xA1\x41\x00", 4));
  const std::uint32_t lone = b.AddRawLabel(std::string("\x41\xB0\x00", 3));
  b.AddRawLabel(std::string("NEXT\x00", 5));
  const std::uint32_t zeroPair = b.AddRawLabel(std::string("\xB0\x07\x00", 3));
  LblMap_t m(b);
  EXPECT_EQ("\xB0\xA1" "A", m.Text(pair));
  EXPECT_EQ("A\xB0", m.Text(lone));
  EXPECT_EQ("\xB0\x07", m.Text(zeroPair));  // the second byte is copied as it is
  // A single-byte code page takes the same bytes one by one.
  LblBuilder_t single = Builder(10, 1252);
  const std::uint32_t s = single.AddRawLabel(std::string("\xB0\x07\x00\x00\x41\x00", 6));
  LblMap_t m2(single);
  EXPECT_EQ("\xB0" "A", m2.Text(s));
}

// A label that runs to the section's end stops there, not in the bytes of the
// next table.
TEST(LblTextTest, LabelRunningToTheSectionEndStopsThere) {
  for (std::uint8_t encoding : {6, 9}) {
    LblBuilder_t b = Builder(encoding);
    const std::uint32_t label = b.AddRawLabel(encoding == 6 ? std::string("\x46\x14\x87", 3) : std::string("ABC"));
    b.countries = "XYZ";  // right after the label section
    LblMap_t m(b);
    EXPECT_EQ(encoding == 6 ? "Q1RG" : "ABC", m.Text(label));
    EXPECT_EQ(0, m.last);
  }
}

struct FormatCase_t {
  const char* text;
  std::uint32_t flags;
  const char* expected;
};

TEST(LblFormatTest, NamesMarkersAndShields) {
  using namespace mpl;
  const FormatCase_t cases[] = {
      {"FIRST\x1DSECOND", 0, "FIRST"},
      {"FIRST\x1DSECOND", kLabelSecondName, "SECOND"},
      {"FIRST\x1DSECOND", kLabelRaw, "FIRST\x1DSECOND"},
      {"ONLY", kLabelOnlySecondName, ""},
      {"PRE\x1E" "BASE\x1FSUF", kLabelBaseName, "BASE"},
      {"PRE\x1E" "BASE\x1FSUF", kLabelSuffixOnly, " SUF"},
      {"PRE\x1E" "BASE\x1FSUF", 0, "PRE BASE SUF"},
      {"PRE\x1B" "BASE\x1CSUF", 0, "PREBASESUF"},
      {"PRE\x1B" "BASE\x1CSUF", kLabelSuffixOnly, "SUF"},
      {"BASE\x1FSUF", kLabelBaseName, "BASE"},
      {"PLAIN", kLabelSuffixOnly, ""},
      {"PRE\x1E" "BASE\x1FSUF", kLabelPrefixBlank, "PRE BASE\x1FSUF"},
      {"PRE\x1E" "BASE", kLabelKeepMarkers, "PRE\x1E" "BASE"},
      {"\x02" "PRE\x1E" "BASE", kLabelBaseName, "\x02" "BASE"},
      {"\x05" "12", kLabelExpandShield | kLabelBaseName, "12"},
      {"\x05" "12", kLabelExpandShield | kLabelShieldVariant | kLabelMarkShield | kLabelKeepMarkers,
       "Route \x1B" "12"},
      {"\x04" "7", kLabelExpandShield, " 7"},
      {"\x04" "7", kLabelExpandShield | kLabelShieldVariant, "Route 7"},
      {"\x07" "7", kLabelExpandShield, "\x07" "7"},
  };
  for (const FormatCase_t& c : cases) {
    SCOPED_TRACE(c.text);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s", c.text);
    MdbFormatLabelText(buffer, sizeof buffer, c.flags);
    EXPECT_STREQ(c.expected, buffer);
  }
}

TEST(LblFormatTest, ShieldPrefixIsCutToTheBuffer) {
  char buffer[6] = "\x05" "12";
  mpl::MdbFormatLabelText(buffer, sizeof buffer, mpl::kLabelExpandShield | mpl::kLabelShieldVariant |
                                                     mpl::kLabelMarkShield | mpl::kLabelKeepMarkers);
  EXPECT_STREQ("Rout\x1B", buffer);  // full: the last character marks the prefix's end
}

}  // namespace
