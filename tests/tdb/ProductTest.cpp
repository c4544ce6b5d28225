// Product description files: the header and its optional groups, the built-in
// family table, regions and their parents, notices, names and the signature
// record, and the damaged files that must be refused.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>

#include "bin/BIN_stream.h"
#include "tdb/TDB_Product.h"
#include "tests/common/TestEnv.h"
#include "tests/imgkit/ProductBuilder.h"

namespace {

using imgkit::Bytes_t;
using imgkit::CompositeRecord;
using imgkit::LeafRecord;
using imgkit::LeafSpec_t;
using imgkit::ProductFile_t;
using imgkit::ProductHeader_t;
using imgkit::ShortRecord;

tdb::Product_t ReadBytes(const std::string& bytes, const std::string& path = std::string()) {
  tdb::Product_t product("loc", "bmap", path, {}, {}, "", false);
  bin::stringstream in;
  in.str(bytes);
  product.Read(in);
  return product;
}

// The source file of the exception a read throws, or "" when it passes.
template <class E>
std::string ThrowsFrom(const std::string& bytes, const std::string& path = std::string()) {
  try {
    ReadBytes(bytes, path);
  } catch (const E& e) {
    EXPECT_EQ("", e.Message());
    return e.SourceFile();
  }
  return "";
}

LeafSpec_t Leaf(std::uint32_t id, std::uint32_t parent, std::vector<std::uint32_t> sizes) {
  LeafSpec_t leaf;
  leaf.id = id;
  leaf.parentId = parent;
  leaf.name = "Leaf " + std::to_string(id);
  leaf.sizes = std::move(sizes);
  return leaf;
}

TEST(ProductTest, FullHeaderAndEveryRecordKind) {
  ProductFile_t file;
  file.header.signatureRequired = 1;
  file.header.north = 0x200000;
  file.header.east = 0x300000;
  file.header.south = -0x100000;
  file.header.west = -0x50000;
  LeafSpec_t leaf = Leaf(11, 1, {1000, 234});
  leaf.bounds = {1, -2, 3, -4};
  leaf.leafValue = 77;
  leaf.leafByte = 5;
  leaf.pair = {1, 2};
  leaf.leafNumber = 4242;
  leaf.itemNames = {"north.img", "south.img"};
  leaf.morePairs = {{3, 4}, {5, 6}};
  file.records = {CompositeRecord(1, 0, {10, 20, 30, 40}, "Country"), LeafRecord(leaf),
                  LeafRecord(Leaf(12, 1, {66})), ShortRecord('Z', "ignored"),
                  imgkit::FlaggedNoticesRecord({{0x800, "Second"}, {0x100, "First"}, {0x001, "Second"}}),
                  imgkit::RegionNamesRecord({{1, "One"}, {2, "Two"}, {1, "Uno"}}),
                  imgkit::SubRegionNamesRecord({{{1, 2}, "One-Two"}})};
  const tdb::Product_t p = ReadBytes(file.Build());

  EXPECT_EQ(0x10007u, p.GetId());
  EXPECT_EQ(300, p.GetFormatVersion());
  EXPECT_EQ("Test Product", p.GetName());
  EXPECT_EQ(310, p.GetDataVersion());
  EXPECT_EQ("Test Family", p.GetFamilyName());
  EXPECT_EQ(1, p.GetSignatureRequired());
  for (unsigned n = 1; n <= 10; ++n) EXPECT_EQ(file.header.optionBytes[n - 1], p.GetOptionByte(n)) << n;
  EXPECT_EQ(40, p.GetMinDetailLevel());
  EXPECT_FALSE(p.DrawBasemapAreas());
  EXPECT_TRUE(p.DrawBasemapLines());
  EXPECT_EQ(1250u, p.GetOptionValue(1));
  EXPECT_EQ(20000u, p.GetOptionValue(2));
  ASSERT_FALSE(p.GetBox().IsEmpty());
  EXPECT_EQ(0x200000, p.GetBox().GetNorth());
  EXPECT_EQ(-0x100000, p.GetBox().GetSouth());
  EXPECT_EQ(0x300000, p.GetBox().GetEast());
  EXPECT_EQ(-0x50000, p.GetBox().GetWest());

  const tdb::RegionDir_t& dir = p.GetRegionDir();
  EXPECT_EQ(1300u, dir.GetTotal());
  EXPECT_EQ(1300u, dir.GetRegion(1).GetTotal());
  EXPECT_EQ(0x10007u, dir.GetRegion(11).GetProductId());
  const auto& l = dynamic_cast<const tdb::LeafRegion_t&>(dir.GetRegion(11));
  EXPECT_EQ(77, l.GetLeafValue());
  EXPECT_EQ(4242u, l.GetLeafNumber());
  EXPECT_EQ((std::vector<tdb::LeafRegion_t::Item_t>{{1000, "north.img"}, {234, "south.img"}}), l.GetItems());
  std::ostringstream line;
  l.Print(line);
  EXPECT_EQ("Leaf 11\t11\t1\t1\t-2\t3\t-4\t1234\t5\t4242\t77\t1,2; 3,4; 5,6; \tnorth.img,1000; south.img,234; \n",
            line.str());
  std::ostringstream composite;
  dir.GetRegion(1).Print(composite);
  EXPECT_EQ("Country\t1\t0\t10\t20\t30\t40\n", composite.str());
  EXPECT_TRUE(dir.GetRegion(1).IsLess(dir.GetRegion(11)));
  try {
    dir.GetRegion(99);
    FAIL() << "found region 99";
  } catch (const tdb::RegionDir_t::RegionNotFound_t& e) {
    EXPECT_NE(std::string::npos, e.Message().find("65543"));
    EXPECT_NE(std::string::npos, e.Message().find("99"));
  }

  // Notices are ordered by text; a text already present is dropped.
  const auto& notices = p.GetCopyright().GetNotices();
  ASSERT_EQ(2u, notices.size());
  EXPECT_TRUE(notices.at("Second").flag2);
  EXPECT_FALSE(notices.at("Second").flag4);
  EXPECT_TRUE(notices.at("First").flag5);
  EXPECT_EQ((std::map<std::uint8_t, std::string>{{1, "One"}, {2, "Two"}}), p.GetRegionNames().GetNames());
  EXPECT_EQ("One-Two", p.GetSubRegionNames().GetNames().at({1, 2}));
  EXPECT_EQ(20u, p.GetSignature().GetBytes().size());
}

TEST(ProductTest, CopiesOwnTheirRegions) {
  ProductFile_t file;
  file.records = {CompositeRecord(1, 0, {}, "A"), CompositeRecord(2, 1, {}, "B"), LeafRecord(Leaf(3, 2, {5, 6}))};
  std::optional<tdb::Product_t> original(ReadBytes(file.Build()));
  const tdb::Product_t copy = *original;
  original.reset();
  EXPECT_EQ(11u, copy.GetRegionDir().GetTotal());
  const auto& b = dynamic_cast<const tdb::CompositeRegion_t&>(copy.GetRegionDir().GetRegion(2));
  ASSERT_EQ(1u, b.GetChildren().size());
  EXPECT_EQ(&copy.GetRegionDir().GetRegion(3), b.GetChildren()[0]);
}

TEST(ProductTest, HeaderGroupsAndDefaults) {
  struct Case_t {
    std::uint32_t id;
    int groups;
    std::uint8_t optionByte6;
  };
  for (const Case_t& c : {Case_t{0x20001, 2, 24}, Case_t{0x20002, 2, 0}, Case_t{0x20001, 3, 6}}) {
    ProductFile_t file;
    file.header.id = c.id;
    file.header.groups = c.groups;
    file.header.optionBytes[5] = 6;
    const tdb::Product_t p = ReadBytes(file.Build());
    EXPECT_EQ(c.optionByte6, p.GetOptionByte(6)) << c.id << " " << c.groups;
    EXPECT_EQ(1252u, p.GetOptionValue(1));
    EXPECT_EQ(1, p.GetOptionByte(10));
  }
  // Group 5 of zeros leaves the box empty; a group cut short keeps the defaults.
  ProductFile_t zeros;
  zeros.header.groups = 4;
  EXPECT_TRUE(ReadBytes(zeros.Build()).GetBox().IsEmpty());
  ProductFile_t cut;
  cut.sign = false;
  std::string header = cut.header.Record().substr(3);
  header.resize(header.size() - 4);  // option byte 10 and part of option value 2
  const tdb::Product_t p = ReadBytes(ShortRecord('P', header));
  EXPECT_EQ(1250u, p.GetOptionValue(1));
  EXPECT_EQ(10000u, p.GetOptionValue(2));
  EXPECT_EQ(1, p.GetOptionByte(10));
  // Only one notice: the maker's, added when the file has none.
  const auto& notices = p.GetCopyright().GetNotices();
  ASSERT_EQ(1u, notices.size());
  const tdb::Notice_t& maker = notices.begin()->second;
  EXPECT_EQ(tdb::kMakerNotice, maker.text);
  EXPECT_TRUE(maker.makerNotice && maker.flag1 && maker.flag5);
  EXPECT_FALSE(maker.flag2 || maker.flag3 || maker.flag4);
}

TEST(ProductTest, FormatVersions) {
  ProductFile_t file;
  file.header.formatVersion = 499;
  EXPECT_EQ(499, ReadBytes(file.Build()).GetFormatVersion());
  file.header.formatVersion = 500;
  EXPECT_EQ("TDB_Product.cpp", ThrowsFrom<tdb::Product_t::UnsupportedFormatVersion_t>(file.Build()));
}

TEST(ProductTest, FamilyTableForOldHeaders) {
  ProductFile_t file;
  file.header.groups = 0;
  file.header.name = "Roadline Nordic";
  const tdb::Product_t road = ReadBytes(file.Build());
  EXPECT_EQ("Roadline", road.GetFamilyName());
  EXPECT_EQ(200, road.GetDataVersion());

  file.header.name = "Not In The Table";
  EXPECT_EQ("TDB_Product.cpp", ThrowsFrom<glo::Assert_t>(file.Build()));

  // The oldest family takes its data version from the year of the file (UTC).
  file.header.name = "Globarium Relief";
  const std::string path = test::MakeTempDir("old") + "/old.tdb";
  struct Year_t {
    std::int64_t time;
    int version;
  };
  for (const Year_t& y : {Year_t{883612800, 200},   // 1998-01-01 00:00:00 UTC
                          Year_t{946684799, 201},   // 1999-12-31 23:59:59 UTC
                          Year_t{946684800, 0}}) {  // 2000-01-01 00:00:00 UTC
    imgkit::WriteFileWithTime(path, file.Build(), y.time);
    if (y.version == 0) {
      EXPECT_EQ("TDB_Product.cpp", ThrowsFrom<glo::Exception_t>(file.Build(), path));
    } else {
      const tdb::Product_t p = ReadBytes(file.Build(), path);
      EXPECT_EQ(y.version, p.GetDataVersion());
      EXPECT_EQ("Globarium Classic", p.GetFamilyName());
    }
  }
  EXPECT_EQ("TDB_Product.cpp", ThrowsFrom<glo::Assert_t>(file.Build(), path + ".missing"));
}

TEST(ProductTest, RefusedFiles) {
  struct Case_t {
    const char* what;
    std::string bytes;
    const char* source;
  };
  const auto withRecords = [](std::vector<std::string> records) {
    ProductFile_t file;
    file.records = std::move(records);
    return file.Build();
  };
  const std::string good = withRecords({});
  const Case_t cases[] = {
      {"names first", imgkit::RegionNamesRecord({{1, "x"}}) + good, "TDB_Product.cpp"},
      {"empty file", "", "TDB_Product.cpp"},
      {"header without name", ShortRecord('P', Bytes_t().U32(1).U16(300).str()), "TDB_Product.cpp"},
      {"second region run",
       withRecords({LeafRecord(Leaf(1, 0, {5})), imgkit::RegionNamesRecord({}), LeafRecord(Leaf(2, 0, {5}))}),
       "TDB_Product.cpp"},
      {"parent is a leaf", withRecords({LeafRecord(Leaf(1, 0, {5})), LeafRecord(Leaf(2, 1, {5}))}),
       "TDB_AbstRegion.cpp"},
      {"parent is itself", withRecords({CompositeRecord(1, 1, {}, "self")}), "TDB_RegionDir.cpp"},
      {"leaf is its own parent", withRecords({LeafRecord(Leaf(4, 4, {5}))}), "TDB_RegionDir.cpp"},
      {"missing parent", withRecords({LeafRecord(Leaf(2, 9, {5}))}), "TDB_RegionDir.cpp"},
      {"id twice", withRecords({CompositeRecord(1, 0, {}, "a"), CompositeRecord(1, 0, {}, "b")}),
       "TDB_RegionDir.cpp"},
      {"region cut short", withRecords({ShortRecord('B', Bytes_t().U32(1).U32(0).str())}), "TDB_RegionDir.cpp"},
      {"second notices", withRecords({imgkit::NoticesRecord({"a"}), imgkit::FlaggedNoticesRecord({{0, "b"}})}),
       "TDB_Product.cpp"},
      {"flags without text", withRecords({ShortRecord('D', Bytes_t().U32(1).Str("a").U32(2).Raw("b").str())}),
       "TDB_Copyright.cpp"},
      {"record cut short", good + ShortRecord('Z', "abc").substr(0, 4), "TDB_Product.cpp"},
      {"length cut short", good + "Z\x05", "TDB_Product.cpp"},
      {"names cut short", good + ShortRecord('R', "abc").substr(0, 4), "TDB_RegionNames.cpp"},
  };
  for (const Case_t& c : cases) EXPECT_EQ(c.source, ThrowsFrom<glo::Exception_t>(c.bytes)) << c.what;
  // A run of regions with a total of 0 may be followed by another.
  EXPECT_EQ("", ThrowsFrom<glo::Exception_t>(withRecords(
                    {CompositeRecord(1, 0, {}, "a"), imgkit::RegionNamesRecord({}), LeafRecord(Leaf(2, 1, {5}))})));
}

TEST(ProductTest, NoticeTexts) {
  ProductFile_t file;
  file.records = {imgkit::NoticesRecord({tdb::kMakerNoticeUpper, tdb::kSupplierNoticeUpper, "Other Vortan text"})};
  const auto notices = ReadBytes(file.Build()).GetCopyright().GetNotices();
  ASSERT_EQ(3u, notices.size());
  EXPECT_EQ(28u, std::string(tdb::kMakerNoticeUpper).size());
  EXPECT_EQ(19u, std::string(tdb::kSupplierNoticeUpper).size());
  const tdb::Notice_t& maker = notices.at(tdb::kMakerNotice);
  EXPECT_TRUE(maker.makerNotice && maker.flag1 && maker.flag5);
  EXPECT_FALSE(notices.at(tdb::kSupplierNotice).makerNotice);
  EXPECT_TRUE(notices.at("Other Vortan text").makerNotice);
  EXPECT_EQ(0.0f, maker.value);
  EXPECT_EQ("\xC2\xA9 Vortan Corporation 1998-2001", std::string(tdb::kMakerNotice));

  // Flags word: top byte 30, bits 0x200, 0x004 and 0x002.
  file.records = {imgkit::FlaggedNoticesRecord({{0x1E000206, "Flagged"}})};
  const auto flagged = ReadBytes(file.Build()).GetCopyright().GetNotices().at("Flagged");
  EXPECT_FLOAT_EQ(3.0f, flagged.value);
  EXPECT_TRUE(flagged.makerNotice && flagged.flag1);
  EXPECT_FALSE(flagged.flag2 || flagged.flag3 || flagged.flag4 || flagged.flag5);
  // 0x004 without 0x200 is not the maker's notice.
  file.records = {imgkit::FlaggedNoticesRecord({{0x006, "Plain"}})};
  const auto plain = ReadBytes(file.Build()).GetCopyright().GetNotices().at("Plain");
  EXPECT_FALSE(plain.makerNotice || plain.flag1);
}

}  // namespace
