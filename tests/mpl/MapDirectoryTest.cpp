// The map directory: the family index of the default product, loaded once per
// product, reloaded when the product changes family, emptied for products
// without family, and emptied before it reports a failure.
#include <gtest/gtest.h>

#include <cstdio>

#include "glo/GLO_AutoPtr.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_Locale.h"
#include "mpl/MPL_MapDirectory.h"
#include "tdb/TDB_Registry.h"
#include "tests/common/TestEnv.h"
#include "tests/imgkit/ImageBuilder.h"
#include "tests/imgkit/MdrBuilder.h"
#include "tests/imgkit/MemoryMedia.h"
#include "tests/imgkit/ProductBuilder.h"
#include "tests/imgkit/SrtBuilder.h"

namespace {

using imgkit::MachineHive_t;
using imgkit::MdrBuilder_t;

mpl::ImageSource_t Image(const std::string& bytes) {
  auto* media = new imgkit::MemoryMedia_t(bytes, true);
  return mpl::ImageSource_t(*media, glo::SmartPtr_t<glo::RefCounter_t>(media), 8);
}

MdrBuilder_t WithRecords(const std::string& records) {
  MdrBuilder_t b;
  b.SetSection16(records, 2);
  return b;
}

class MapDirectoryTest : public ::testing::Test {
 protected:
  void SetUp() override { m_folder = test::MakeTempDir("index"); }
  void TearDown() override { MachineHive_t::WriteEmpty(); }

  // Families 1 (index "ROADS" with 4 records), 2 (index "SEA" with 1 record),
  // 3 (no index image) and 4 (an image without MDR).
  void WriteFamilies() {
    test::WriteFile(m_folder + "/roads.img", imgkit::IndexImage("ROADS", WithRecords("r1r2r3r4"), ""));
    test::WriteFile(m_folder + "/sea.img", imgkit::IndexImage("SEA", WithRecords("s1"), "SEA"));
    imgkit::ImageBuilder_t noIndex;
    noIndex.files = {imgkit::File("MAP.TRE", "x")};
    test::WriteFile(m_folder + "/none.img", noIndex.Build());
    MachineHive_t()
        .Key("Globarium\\Products")
        .U16("Globarium\\Families\\Roads", "ID", 1)
        .String("Globarium\\Families\\Roads", "MDR", m_folder + "/roads.img")
        .String("Globarium\\Families\\Roads", "IDX", m_folder + "/roads.idx")
        .U16("Globarium\\Families\\Sea", "ID", 2)
        .String("Globarium\\Families\\Sea", "MDR", m_folder + "/sea.img")
        .String("Globarium\\Families\\Sea", "IDX", m_folder + "/sea.idx")
        .U16("Globarium\\Families\\Plain", "ID", 3)
        .U16("Globarium\\Families\\Broken", "ID", 4)
        .String("Globarium\\Families\\Broken", "MDR", m_folder + "/none.img")
        .String("Globarium\\Families\\Broken", "IDX", m_folder + "/none.idx")
        .U16("Globarium\\Families\\Gone", "ID", 5)
        .String("Globarium\\Families\\Gone", "MDR", m_folder + "/gone.img")
        .String("Globarium\\Families\\Gone", "IDX", m_folder + "/gone.idx")
        .Write();
  }

  std::string m_folder;
};

TEST(MapDirectoryLoadTest, LoadsIndexSortTableAndRecords) {
  mpl::MapDirectory_t dir;
  EXPECT_FALSE(dir.IsIndexOpen());
  EXPECT_EQ(0u, dir.GetProductId());

  // An SRT of another base name: the MDR opens without a sort table.
  const mpl::ImageSource_t image =
      Image(imgkit::IndexImage("FAMILY", WithRecords("abcdef"), "OTHER", {{"ZZ.MDR", "x"}}));
  EXPECT_EQ((std::vector<std::string>{"FAMILY", "ZZ"}), mpl::ListImageFiles(image, ".MDR"));
  EXPECT_EQ((std::vector<std::string>{"OTHER"}), mpl::ListImageFiles(image, ".SRT"));
  dir.Load(image, "FAMILY");
  EXPECT_TRUE(dir.IsIndexOpen());
  EXPECT_EQ("", dir.GetIndex().srtName);
  EXPECT_EQ("abcdef", std::string(dir.GetSection16().begin(), dir.GetSection16().end()));
  EXPECT_TRUE(dir.GetLocale() == glo::MakeLocale("English", "United States", 1252));

  // With an SRT of the same name, and an index that cannot be opened.
  dir.Load(Image(imgkit::IndexImage("FAMILY", WithRecords("ab"), "FAMILY")), "FAMILY");
  EXPECT_EQ("FAMILY", dir.GetIndex().srtName);
  EXPECT_EQ(2u, dir.GetSection16().size());
  MdrBuilder_t beyond;
  beyond.sections[16] = {100000, 40, 4, 0, 0};
  EXPECT_THROW(dir.Load(Image(imgkit::IndexImage("FAMILY", beyond, "")), "FAMILY"), glo::Assert_t);
  EXPECT_FALSE(dir.IsIndexOpen());
  EXPECT_THROW(dir.Load(Image(imgkit::IndexImage("FAMILY", MdrBuilder_t(), "")), "OTHER"), glo::Assert_t);
  EXPECT_FALSE(dir.IsIndexOpen());
  EXPECT_TRUE(dir.GetSection16().empty());
}

// The directory's locale follows the code page of the sort table the MDR names.
TEST(MapDirectoryLoadTest, LocaleOfTheChosenSortTable) {
  imgkit::SrtTable_t table;
  table.codePage = 1250;
  table.sortId = 4;
  MdrBuilder_t b = WithRecords("ab");
  b.words21 = {0, 1250, 4, 0};
  mpl::MapDirectory_t dir;
  dir.Load(Image(imgkit::IndexImage("FAMILY", b, "", {{"FAMILY.SRT", imgkit::BuildSrt({table})}})), "FAMILY");
  EXPECT_EQ(1250u, dir.GetIndex().sortCodePage);
  EXPECT_TRUE(dir.GetLocale() == glo::MakeLocale("English", "United States", 1250));
  // No table of that code page: the index cannot be opened.
  b.words21 = {0, 1251, 4, 0};
  EXPECT_THROW(
      dir.Load(Image(imgkit::IndexImage("FAMILY", b, "", {{"FAMILY.SRT", imgkit::BuildSrt({table})}})), "FAMILY"),
      glo::Assert_t);
  EXPECT_FALSE(dir.IsIndexOpen());
}

TEST_F(MapDirectoryTest, FollowsTheDefaultProduct) {
  WriteFamilies();
  const tdb::Registry_t registry;
  mpl::MapDirectory_t dir;
  dir.Update(0x00010007, registry);
  ASSERT_TRUE(dir.IsIndexOpen());
  EXPECT_EQ("ROADS", dir.GetIndex().mdrName);
  EXPECT_EQ(8u, dir.GetSection16().size());

  // The same product again: nothing is read (the image may even be gone).
  std::remove((m_folder + "/roads.img").c_str());
  dir.Update(0x00010007, registry);
  EXPECT_TRUE(dir.IsIndexOpen());
  EXPECT_EQ("ROADS", dir.GetIndex().mdrName);

  // Another family's product reloads; a product of family 0 empties it.
  dir.Update(0x00020001, registry);
  EXPECT_EQ("SEA", dir.GetIndex().mdrName);
  EXPECT_EQ("SEA", dir.GetIndex().srtName);
  EXPECT_EQ("s1", std::string(dir.GetSection16().begin(), dir.GetSection16().end()));
  dir.Update(0x00000005, registry);
  EXPECT_FALSE(dir.IsIndexOpen());
  EXPECT_TRUE(dir.GetSection16().empty());
  EXPECT_EQ(0u, dir.GetProductId());

  // A family without index image leaves it empty.
  dir.Update(0x00020001, registry);
  dir.Update(0x00030001, registry);
  EXPECT_FALSE(dir.IsIndexOpen());
  EXPECT_EQ(0x00030001u, dir.GetProductId());
}

TEST_F(MapDirectoryTest, FailuresEmptyTheDirectoryAndAreNotRetried) {
  WriteFamilies();
  const tdb::Registry_t registry;
  struct Case_t {
    const char* what;
    std::uint32_t product;
  };
  for (const Case_t& c : {Case_t{"family not registered", 0x00090001}, Case_t{"image without MDR", 0x00040001},
                          Case_t{"image missing", 0x00050001}}) {
    mpl::MapDirectory_t dir;
    dir.Update(0x00020001, registry);
    ASSERT_TRUE(dir.IsIndexOpen()) << c.what;
    EXPECT_THROW(dir.Update(c.product, registry), glo::Exception_t) << c.what;
    // The previous family's index is gone, and the product is not tried again.
    EXPECT_FALSE(dir.IsIndexOpen()) << c.what;
    EXPECT_TRUE(dir.GetSection16().empty()) << c.what;
    EXPECT_NO_THROW(dir.Update(c.product, registry)) << c.what;
    EXPECT_FALSE(dir.IsIndexOpen()) << c.what;
  }
  mpl::MapDirectory_t dir;
  EXPECT_THROW(dir.Update(0x00090001, registry), glo::Assert_t);
  EXPECT_THROW(dir.Update(0x00040001, registry), glo::Assert_t);
}

}  // namespace
