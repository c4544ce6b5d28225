// The types a map holds per level, from its overview and extended-type
// tables: levels, subtypes, kinds, filters and buffers that are too small.
#include <gtest/gtest.h>

#include "mpl/MPL_TypeList.h"
#include "tests/mpl/RgnMap.h"

namespace {

struct List_t {
  std::vector<std::pair<std::uint16_t, std::uint32_t>> types;
  std::vector<std::tuple<std::uint16_t, int, std::uint32_t>> kinds;
};

List_t Read(const mpl::MdbCursor_t& c) {
  List_t l;
  for (unsigned i = 0; i < c.typeCount; ++i) l.types.push_back({mpl::MdbListType(c, i), mpl::MdbListSubtypes(c, i)});
  for (unsigned i = 0; i < c.kindsCount; ++i) {
    const mpl::MdbKindEntry_t e = mpl::MdbListKind(c, i);
    l.kinds.push_back({e.type, e.kind, e.subtypes});
  }
  return l;
}

using Types_t = std::vector<std::pair<std::uint16_t, std::uint32_t>>;
using Kinds_t = std::vector<std::tuple<std::uint16_t, int, std::uint32_t>>;

rgntest::Fixture_t TypesMap(std::uint32_t extFlags) {
  rgntest::Fixture_t f = rgntest::BasicObjects();
  f.map.tre.extFlags = extFlags;
  // Standard areas with kind bytes (flag bit 7): 0x05 up to level 2, 0x06 on
  // level 0 only, 0x85 (type 5 again in its low 7 bits) up to level 3.
  f.map.tre.overviews[1] = rgntest::Table({{0x05, 2, 3}, {0x06, 0, 0}, {0x87, 3, 1}}, 3);
  // Extended areas: type 0x10 with subtypes 0, 1 and 5 (kinds 7, 7, 40),
  // type 0x11 with subtype 40 (bit 8), 4-byte records.
  f.map.tre.extTypeRecordSize = 4;
  f.map.tre.extTypes[1] = rgntest::Table({{0x10, 1, 0, 8}, {0x10, 1, 1, 8}, {0x10, 1, 5, 41}, {0x11, 0, 40, 0}}, 4);
  f.map.tre.extTypes[0] = rgntest::Table({}, 4);
  f.map.tre.extTypes[2] = rgntest::Table({}, 4);
  return f;
}

TEST(TypeListTest, TypesPresentPerLevel) {
  rgntest::Open_t m(TypesMap(0x07 | (1u << 7) | (1u << 9)));
  ASSERT_EQ(0, m.result);
  mpl::MdbCursor_t lists;
  mpl::MdbSizeLists(lists, 16, 16);
  const Types_t atZero{{5, 0xFFFFFFFF}, {6, 0xFFFFFFFF}, {7, 0xFFFFFFFF}, {0x90, 0x23}, {0x91, 1u << 8}};
  ASSERT_EQ(0, mpl::MdbAreaTypeList(m.map, nullptr, lists));
  List_t l = Read(lists);
  EXPECT_EQ(atZero, l.types);
  // Kind numbers are stored plus 1; 0 is none.
  EXPECT_EQ((Kinds_t{{5, 2, 0xFFFFFFFF}, {7, 0, 0xFFFFFFFF}, {0x90, 7, 0x3}, {0x90, 40, 0x20}}), l.kinds);
  struct Case_t {
    std::uint8_t level;
    Types_t types;
  } cases[] = {
      {1, {{5, 0xFFFFFFFF}, {7, 0xFFFFFFFF}, {0x90, 0x23}}},
      {2, {{5, 0xFFFFFFFF}, {7, 0xFFFFFFFF}}},
      {3, {{7, 0xFFFFFFFF}}},
      {4, {}},
  };
  for (const auto& c : cases) {
    m.map.level = c.level;
    ASSERT_EQ(0, mpl::MdbAreaTypeList(m.map, nullptr, lists));
    EXPECT_EQ(c.types, Read(lists).types) << int(c.level);
  }
  // A filter leaves out what it refuses.
  m.map.level = 0;
  mpl::Filter_t f;
  f.kind = 1;
  f.entries = {{0x90, 0x2}, {6, 1}};
  ASSERT_EQ(0, mpl::MdbAreaTypeList(m.map, &f, lists));
  EXPECT_EQ((Types_t{{6, 0xFFFFFFFF}, {0x90, 0x2}}), Read(lists).types);
}

TEST(TypeListTest, KindBytesOnlyByTheFlags) {
  // Without flag bits 7 and 9 no kind byte is read.
  rgntest::Open_t m(TypesMap(0x07));
  ASSERT_EQ(0, m.result);
  mpl::MdbCursor_t lists;
  mpl::MdbSizeLists(lists, 16, 16);
  ASSERT_EQ(0, mpl::MdbAreaTypeList(m.map, nullptr, lists));
  const List_t l = Read(lists);
  EXPECT_EQ(5u, l.types.size());
  EXPECT_TRUE(l.kinds.empty());
  // A map without a standard overview contributes no standard types.
  m.map.tre.overviews[1].offset = 0;
  ASSERT_EQ(0, mpl::MdbAreaTypeList(m.map, nullptr, lists));
  EXPECT_EQ((Types_t{{0x90, 0x23}, {0x91, 1u << 8}}), Read(lists).types);
}

TEST(TypeListTest, SmallBuffersAnswer2AndTheSearchGrowsThem) {
  rgntest::Open_t m(TypesMap(0x07 | (1u << 7) | (1u << 9)));
  ASSERT_EQ(0, m.result);
  mpl::MdbCursor_t lists;
  mpl::MdbSizeLists(lists, 2, 16);
  EXPECT_EQ(2, mpl::MdbAreaTypeList(m.map, nullptr, lists));
  mpl::MdbSizeLists(lists, 16, 2);
  EXPECT_EQ(2, mpl::MdbAreaTypeList(m.map, nullptr, lists));
  // The search cursor starts with room for 32 types: a level with more
  // types grows it.
  rgntest::Fixture_t big = TypesMap(0x07 | (1u << 9));
  std::vector<std::vector<std::uint8_t>> records;
  for (int t = 0; t < 100; ++t) records.push_back({static_cast<std::uint8_t>(t), 0, 0, static_cast<std::uint8_t>(t + 1)});
  big.map.tre.extTypes[1] = rgntest::Table(records, 4);
  rgntest::Open_t b(big);
  ASSERT_EQ(0, b.result);
  ASSERT_EQ(0, mpl::MdbEnsureTypeList(b.map, mpl::kMdbAreas, b.map.cursors[0]));
  EXPECT_EQ(103u, b.map.cursors[0].typeCount);
  EXPECT_EQ(100u, b.map.cursors[0].kindsCount);
  EXPECT_TRUE(mpl::MdbListsBuilt(b.map.cursors[0], 0));
  EXPECT_FALSE(mpl::MdbListsBuilt(b.map.cursors[0], 1));
}

TEST(TypeListTest, PointListsHaveSubtypes) {
  rgntest::Open_t m(rgntest::BasicObjects());
  ASSERT_EQ(0, m.result);
  mpl::MdbCursor_t lists;
  mpl::MdbSizeLists(lists, 16, 16);
  ASSERT_EQ(0, mpl::MdbPointTypeList(m.map, nullptr, lists));
  EXPECT_EQ((Types_t{{0x10, 1}, {0x20, 8}, {0x21, 1}, {0x30, 1}, {0x31, 1}, {0x32, 1}, {0x105, 4}, {0x106, 2}}),
            Read(lists).types);
  ASSERT_EQ(0, mpl::MdbLineTypeList(m.map, nullptr, lists));
  EXPECT_EQ((Types_t{{5, 0xFFFFFFFF}, {6, 0xFFFFFFFF}, {7, 0xFFFFFFFF}, {0x60, 1}}), Read(lists).types);
}

}  // namespace
