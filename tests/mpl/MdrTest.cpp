// The search index: the MDR header with the sections its length reaches, the
// derived widths and flags, section 16, and the index opened with and without
// its sort table.
#include <gtest/gtest.h>

#include "glo/GLO_AutoPtr.h"
#include "glo/GLO_Locale.h"
#include "mpl/MPL_Mdr.h"
#include "mpl/MPL_Srt.h"
#include "mpl/MPL_Subfile.h"
#include "tests/imgkit/MdrBuilder.h"
#include "tests/imgkit/MemoryMedia.h"
#include "tests/imgkit/SrtBuilder.h"

namespace {

using imgkit::MdrBuilder_t;

mpl::ImageSource_t Image(const std::string& bytes) {
  auto* media = new imgkit::MemoryMedia_t(bytes, true);
  return mpl::ImageSource_t(*media, glo::SmartPtr_t<glo::RefCounter_t>(media), 8);
}

// Every section filled with recognisable values: offset 1000 n, size 600 n,
// record size 2, flags n.
MdrBuilder_t AllSections() {
  MdrBuilder_t b;
  for (unsigned n = 1; n <= 29; ++n) b.sections[n] = {1000 * n, 600 * n, 2, n, 7 * n};
  return b;
}

int Open(mpl::MdbIndex_t& index, const std::string& image, const std::string& name = "FAMILY",
         const std::string* sort = nullptr) {
  return mpl::MdbOpenIndex(index, name, sort, Image(image), glo::DefaultLocale());
}

TEST(MdrTest, SectionsTheHeaderReaches) {
  struct Case_t {
    std::uint16_t length;
    unsigned lastSection;
  };
  for (const Case_t& c : {Case_t{29, 0}, Case_t{42, 0}, Case_t{43, 1}, Case_t{166, 9}, Case_t{167, 10},
                          Case_t{180, 10}, Case_t{181, 11}, Case_t{232, 15}, Case_t{258, 17}, Case_t{426, 29}}) {
    MdrBuilder_t b = AllSections();
    b.headerLength = c.length;
    mpl::MdbIndex_t index;
    ASSERT_EQ(0, Open(index, imgkit::IndexImage("FAMILY", b, ""))) << c.length;
    EXPECT_EQ(1252, index.SortId1());
    EXPECT_EQ(3, index.SortId2());
    for (unsigned n = 1; n <= 29; ++n)
      EXPECT_EQ(n <= c.lastSection ? 1000 * n : 0, index.sections[n].offset) << c.length << " section " << n;
  }
}

TEST(MdrTest, FieldsOfEachSectionKind) {
  MdrBuilder_t b = AllSections();
  b.sections[15].size = 0x1000000;
  mpl::MdbIndex_t index;
  ASSERT_EQ(0, Open(index, imgkit::IndexImage("FAMILY", b, "")));
  // 14-byte sections: count = size / record size; flags kept except for 2 to 4.
  EXPECT_EQ(300u, index.sections[1].count);
  EXPECT_EQ(1u, index.sections[1].flags);
  EXPECT_EQ(0u, index.sections[3].flags);
  EXPECT_EQ(900u, index.sections[3].count);
  EXPECT_EQ(16u, index.sections[16].flags);
  EXPECT_EQ(29u, index.sections[29].flags);
  EXPECT_EQ(8700u, index.sections[29].count);
  EXPECT_EQ(70u, index.section10Value);
  EXPECT_EQ(15000u, index.sections[15].offset);
  EXPECT_EQ(105u, index.section15Byte);
  EXPECT_EQ(4, index.offsetWidth);
  EXPECT_EQ((std::array<std::uint32_t, 3>{17000, 10200, 119}), index.section17);
  EXPECT_EQ(2, index.indexWidth);
  EXPECT_EQ(3, index.section11Width);  // 2 x 3300 needs 2 bytes

  // A hand-made header of 43 bytes: section 1 at 0x100, 600 bytes of 2-byte records.
  std::string raw("\x2B\x00" "VORTAN MDR" "\x01\x00" "\xD5\x07\x06\x0F\x0C\x1E\x00", 21);
  raw += std::string("\x00\x00\xE4\x04\x05\x00\x00\x00", 8);
  raw += std::string("\x00\x01\x00\x00\x58\x02\x00\x00\x02\x00\x00\x40\x00\x00", 14);
  mpl::MdbIndex_t handMade;
  ASSERT_EQ(0, Open(handMade, imgkit::IndexImage("X", MdrBuilder_t(), "", {{"FAMILY.MDR", raw}})));
  EXPECT_EQ(1252, handMade.SortId1());
  EXPECT_EQ(5, handMade.SortId2());
  EXPECT_EQ(0x100u, handMade.sections[1].offset);
  EXPECT_EQ(300u, handMade.sections[1].count);
  EXPECT_EQ(0x4000u, handMade.sections[1].flags);
  EXPECT_EQ(2, handMade.indexWidth);
}

TEST(MdrTest, DerivedWidthsAndFlags) {
  struct Case_t {
    std::uint32_t count1;
    std::uint8_t width;
    std::uint32_t count11;
    std::uint8_t width11;
  };
  for (const Case_t& c : {Case_t{0, 1, 0, 2}, Case_t{255, 1, 127, 2}, Case_t{256, 2, 128, 3},
                          Case_t{65536, 3, 0x800000, 5}}) {
    MdrBuilder_t b;
    b.sections[1] = {0, c.count1, 1, 0, 0};
    b.sections[11] = {0, c.count11, 1, 0, 0};
    mpl::MdbIndex_t index;
    ASSERT_EQ(0, Open(index, imgkit::IndexImage("FAMILY", b, "")));
    EXPECT_EQ(c.width, index.indexWidth) << c.count1;
    EXPECT_EQ(c.width11, index.section11Width) << c.count11;
  }
  // Twice the count of section 11 needing 5 bytes makes the header invalid.
  MdrBuilder_t wide;
  wide.sections[11] = {0, 0xFFFFFFFF, 1, 0, 0};
  mpl::MdbIndex_t index;
  EXPECT_EQ(1, Open(index, imgkit::IndexImage("FAMILY", wide, "")));
  EXPECT_FALSE(mpl::MdbIsOpen(index.mdr.file));

  // Bit 14 of section 7 goes when section 20, 21 or 22 has a flag among bits 3-5.
  for (const std::uint32_t flags21 : {0x00u, 0x08u, 0x20u, 0x40u}) {
    MdrBuilder_t b;
    b.sections[7].flags = 0x4001;
    b.sections[21].flags = flags21;
    ASSERT_EQ(0, Open(index, imgkit::IndexImage("FAMILY", b, "")));
    EXPECT_EQ((flags21 & 0x38) ? 0x0001u : 0x4001u, index.sections[7].flags) << flags21;
  }
}

TEST(MdrTest, RefusedHeaders) {
  MdrBuilder_t wrongName;
  wrongName.signature = "VORTAN MDX";
  MdrBuilder_t version2;
  version2.format = 2;
  MdrBuilder_t tooShort;
  tooShort.headerLength = 13;
  std::string cut = MdrBuilder_t().Build().substr(0, 300);
  for (const std::string& image :
       {imgkit::IndexImage("FAMILY", wrongName, ""), imgkit::IndexImage("FAMILY", version2, ""),
        imgkit::IndexImage("FAMILY", tooShort, ""), imgkit::IndexImage("OTHER", MdrBuilder_t(), ""),
        imgkit::IndexImage("X", MdrBuilder_t(), "", {{"FAMILY.MDR", cut}})}) {
    mpl::MdbIndex_t index;
    EXPECT_EQ(1, Open(index, image));
    EXPECT_FALSE(mpl::MdbIsOpen(index.mdr.file));
  }
}

TEST(MdrTest, NamesSortTableAndSection16) {
  MdrBuilder_t b;
  b.SetSection16("ABCDEFGHIJKL", 4);
  // Names of more than 10 characters are cut to 10.
  mpl::MdbIndex_t index;
  const std::string longName = "FAMILYNAME12";
  Open(index, imgkit::IndexImage("FAMILY", b, "FAMILY"), longName, &longName);
  EXPECT_EQ("FAMILYNAME", index.mdrName);
  EXPECT_EQ("FAMILYNAME", index.srtName);
  const std::string sortName = "FAMILY";
  ASSERT_EQ(0, Open(index, imgkit::IndexImage("FAMILY", b, "FAMILY"), "FAMILY", &sortName));
  EXPECT_EQ("FAMILY", index.srtName);
  EXPECT_EQ(3u, index.sections[16].count);
  std::vector<std::uint8_t> records;
  index.section16 = &records;
  ASSERT_EQ(0, mpl::MdbReadIndexSection16(index));
  EXPECT_EQ(std::string("ABCDEFGHIJKL"), std::string(records.begin(), records.end()));
  mpl::MdbCloseIndex(index);
  EXPECT_FALSE(mpl::MdbIsOpen(index.mdr.file));

  // Without a sort table name the MDR opens alone; a sort table that is not in
  // the image fails the whole index.
  ASSERT_EQ(0, Open(index, imgkit::IndexImage("FAMILY", b, "")));
  EXPECT_TRUE(mpl::MdbIsOpen(index.mdr.file));
  EXPECT_EQ("", index.srtName);
  const std::string family = "FAMILY";
  EXPECT_EQ(1, Open(index, imgkit::IndexImage("FAMILY", b, ""), "FAMILY", &family));
  EXPECT_FALSE(mpl::MdbIsOpen(index.mdr.file));
  EXPECT_FALSE(mpl::MdbIsOpen(index.srt.file));

  // Section 16 beyond the end of the MDR.
  MdrBuilder_t beyond;
  beyond.sections[16] = {1000, 40, 4, 0, 0};
  ASSERT_EQ(0, Open(index, imgkit::IndexImage("FAMILY", beyond, "")));
  index.section16 = &records;
  EXPECT_EQ(1, mpl::MdbReadIndexSection16(index));
}

// The MDR names its sort table by code page (sort id 1) and the lowest sort id
// (the low 15 bits of sort id 2); the first table of the SRT that matches is
// selected, and an index whose SRT holds none does not open.
TEST(MdrTest, SortTableChosenByCodePageAndLowestSortId) {
  std::vector<imgkit::SrtTable_t> tables(3);
  tables[0].codePage = 1250;
  tables[0].sortId = 2;
  tables[1].codePage = 1252;
  tables[1].sortId = 2;
  tables[2].codePage = 1252;
  tables[2].sortId = 5;
  const std::string srt = imgkit::BuildSrt(tables);
  struct Case_t {
    std::uint16_t codePage, sortId;
    int result;
    std::uint32_t chosenSortId;
  };
  const Case_t cases[] = {{1252, 3, 0, 5}, {1252, 1, 0, 2}, {1250, 1, 0, 2}, {1252, 0x8002, 0, 2},
                          {1251, 1, 3, 0}, {1250, 3, 3, 0}, {1252, 6, 3, 0}};
  const std::string name = "FAMILY";
  for (const Case_t& c : cases) {
    MdrBuilder_t b;
    b.words21 = {0, c.codePage, c.sortId, 0};
    mpl::MdbIndex_t index;
    EXPECT_EQ(c.result, Open(index, imgkit::IndexImage("FAMILY", b, "", {{"FAMILY.SRT", srt}}), name, &name))
        << c.codePage << " " << c.sortId;
    EXPECT_EQ(c.result == 0, mpl::MdbIsOpen(index.srt.file));
    EXPECT_EQ(c.result == 0, mpl::MdbIsOpen(index.mdr.file));
    EXPECT_EQ(c.result == 0 ? c.codePage : 0u, index.sortCodePage);
    if (c.result == 0) {
      EXPECT_EQ(c.chosenSortId, index.srt.words[mpl::kSrtSortId]);
    }
  }
}

}  // namespace
