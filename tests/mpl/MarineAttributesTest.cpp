// The attribute classes of extended objects and the decoders of their blocks,
// read through the RGN object readers of a built map.
#include <gtest/gtest.h>

#include <string>

#include "mpl/MPL_Marine.h"
#include "tests/imgkit/MarineBuilder.h"
#include "tests/mpl/MarineMap.h"

namespace {

using imgkit::AttrLong;
using imgkit::AttrShort;

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int c : b) s.push_back(static_cast<char>(c));
  return s;
}

TEST(MarineAttributesTest, ClassTable) {
  struct Case_t {
    unsigned objectClass;
    std::uint16_t type;
    std::uint16_t subtype;
    int cls;
  };
  const Case_t cases[] = {
      {mpl::kAttrExtPoint, 0x103, 1, 2},  {mpl::kAttrExtPoint, 0x103, 4, 3},
      {mpl::kAttrExtPoint, 0x103, 33, 2},  // subtype bits are taken modulo 32
      {mpl::kAttrExtPoint, 0x103, 36, 3},  {mpl::kAttrExtArea, 0x81, 5, 3},
      {mpl::kAttrExtArea, 0x81, 4, 11},    {mpl::kAttrExtArea, 0x81, 6, 1},
      {mpl::kAttrExtArea, 0x83, 6, 2},     {mpl::kAttrExtArea, 0x83, 7, 1},
      {mpl::kAttrExtLine, 0x41, 7, 3},     {mpl::kAttrExtLine, 0x41, 8, 6},
      {mpl::kAttrExtLine, 0x41, 9, 11},    {mpl::kAttrExtLine, 0x43, 0, 1},
      {mpl::kAttrExtLine, 0x46, 31, 4},    {mpl::kAttrExtPoint, 0x105, 0, 5},
      {mpl::kAttrExtPoint, 0x101, 3, 7},   {mpl::kAttrExtPoint, 0x102, 0, 8},
      {mpl::kAttrExtPoint, 0x104, 2, 9},   {mpl::kAttrExtPoint, 0x109, 3, 10},
      {mpl::kAttrExtPoint, 0x109, 2, 12},  {mpl::kAttrExtPoint, 0x109, 1, 1},
      {mpl::kAttrExtArea, 0x87, 4, 12},    {mpl::kAttrExtPoint, 0x108, 9, 12},
      {mpl::kAttrExtArea, 0x86, 10, 5},    {mpl::kAttrExtArea, 0x86, 2, 1},
      {mpl::kAttrExtLine, 0x103, 1, 1},  // the type in the wrong kind
  };
  for (const Case_t& c : cases)
    EXPECT_EQ(c.cls, mpl::MdbAttributeClass(c.subtype, c.objectClass, c.type))
        << std::hex << c.objectClass << " " << c.type << " " << c.subtype;
}

// What a block decodes to: the record's leading bytes.
struct Decoded_t {
  std::uint16_t type;
  std::uint8_t subtype;
  std::string block;
  std::vector<int> record;  // bytes from 0
};

void ExpectRecord(const mpl::MdbAuxInfo_t& aux, const std::vector<int>& want, const std::string& what) {
  for (std::size_t i = 0; i < want.size(); ++i) EXPECT_EQ(want[i], aux.bytes[i]) << what << " byte " << i;
  for (std::size_t i = want.size(); i < aux.bytes.size(); ++i) EXPECT_EQ(0, aux.bytes[i]) << what << " byte " << i;
}

TEST(MarineAttributesTest, PointBlocksByClass) {
  const Decoded_t cases[] = {
      // Classes 2 and 3 (unit code at 4, value at 8): a flag and 6 bits;
      // 11 bits with a code; 18 bits sign-extended; two 9-bit values (class
      // 13, the second at 12); two 3-byte values.
      {0x103, 1, AttrShort(0x45), {2, 0, 0, 0, 2, 0, 0, 0, 5}},
      {0x103, 1, AttrShort(0x8D, Bytes({0x10})), {2, 0, 0, 0, 1, 0, 0, 0, 0x10, 0x05}},
      {0x103, 4, AttrShort(0xA3, Bytes({0xFF, 0xFF})), {3, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}},
      {0x103, 4, AttrShort(0xA1, Bytes({0x34, 0x12})), {3, 0, 0, 0, 0, 0, 0, 0, 0x34, 0x12, 0x01}},
      {0x103, 1, AttrShort(0xAD, Bytes({0x34, 0x12})), {13, 0, 0, 0, 1, 0, 0, 0, 0x34, 0x01, 0, 0, 0x12}},
      {0x103, 1, AttrLong(0xE1, Bytes({1, 2, 3, 4, 5, 6})), {13, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 0, 4, 5, 6}},
      {0x103, 1, AttrLong(0xE1, Bytes({1, 2, 3, 4})), {1}},  // two 3-byte values need 6 bytes
      // Class 5 only in the short form; with bytes it is kept undecoded.
      {0x105, 0, AttrShort(0x0C), {5, 0, 0, 0, 12}},
      {0x105, 0, AttrShort(0x85, Bytes({1})), {1}},
      // Class 9 (category at 4, level at 5, unit at 6, value at 8): the
      // level 5 and a unit code; e AND 7 = 7 takes the category from the
      // first byte.
      {0x104, 0, AttrShort(0x1A), {9, 0, 0, 0, 2, 3}},
      {0x104, 0, AttrShort(0xAF, Bytes({0x0B, 0x22})), {9, 0, 0, 0, 3, 5, 1, 0, 0x22}},
      {0x104, 0, AttrShort(0xCA, Bytes({1, 2, 3})), {9, 0, 0, 0, 2, 5, 1, 0, 1, 2, 3}},
      // Classes 10 to 12.
      {0x109, 3, AttrShort(0xA3, Bytes({2, 0})), {10, 0, 0, 0, 67}},
      {0x108, 0, AttrShort(0x85, Bytes({1})), {12, 0, 0, 0, 1, 5}},
      {0x108, 0, AttrShort(0xC1, Bytes({1, 2, 3})), {12, 0, 0, 0, 1, 2, 3, 1}},
      {0x109, 2, AttrShort(0x7F), {12, 0, 0, 0, 0x7F}},
      // No row: kept undecoded.
      {0x120, 0, AttrShort(0x85, Bytes({1})), {1}},
  };
  std::vector<imgkit::RgnExtObject_t> points;
  for (const Decoded_t& c : cases) points.push_back(marinetest::WithBlock(c.type, c.subtype, c.block));
  // A point after them without a block.
  points.push_back(rgntest::Ext(0x03, 1, 0, 0));
  rgntest::Open_t open(marinetest::WithObjects(points));
  ASSERT_EQ(0, open.result);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    mpl::MdbPointRecord_t point;
    point.ref = mpl::MdbMakeRef(4, static_cast<unsigned>(i + 1), true);
    mpl::MdbAuxInfo_t aux;
    ASSERT_EQ(0, mpl::MdbGetPoint(open.map, point, 0, &aux)) << i;
    EXPECT_EQ(cases[i].type, point.type);
    ExpectRecord(aux, cases[i].record, "case " + std::to_string(i));
  }
  mpl::MdbPointRecord_t last;
  last.ref = mpl::MdbMakeRef(4, static_cast<unsigned>(std::size(cases) + 1), true);
  mpl::MdbAuxInfo_t aux;
  aux.bytes[0] = 9;
  ASSERT_EQ(0, mpl::MdbGetPoint(open.map, last, 0, &aux));
  ExpectRecord(aux, {}, "no block");
}

TEST(MarineAttributesTest, LineAndAreaBlocks) {
  std::vector<imgkit::RgnExtObject_t> lines = {
      // Class 4: two values from e, or three with a byte.
      marinetest::WithBlock(0x44, 0, AttrShort(0x35)),
      marinetest::WithBlock(0x45, 0, AttrShort(0x85, Bytes({0x1D}))),
      // Class 6: a 16-bit value (f bits 1-3), a 7-bit value with its
      // extension (f bits 4-6), and the long form with both.
      marinetest::WithBlock(0x41, 8, AttrShort(0xC5, Bytes({0x02, 0x34, 0x12}))),
      marinetest::WithBlock(0x41, 8, AttrShort(0xC0, Bytes({0x10, 0x05, 0x02}))),
      marinetest::WithBlock(0x41, 8, AttrLong(0xE4, Bytes({0x07, 0x03, 0x08, 0x78, 0x56}))),
      // Class 11 on a line.
      marinetest::WithBlock(0x41, 9, AttrShort(0x82, Bytes({0x10}))),
  };
  const std::vector<std::vector<int>> want = {
      {4, 0, 0, 0, 5, 3},
      {4, 0, 0, 0, 5, 5, 3},
      // Class 6: 4-5 the ten category flags, 6 unit, 7 value present, 8
      // angle present, 10 the value, 12 the angle.
      {6, 0, 0, 0, 0x02, 0x01, 1, 0, 1, 0, 0, 0, 0x34, 0x12},
      {6, 0, 0, 0, 0x10, 0, 0, 1, 0, 0, 0x02, 0x02},
      {6, 0, 0, 0, 0x07, 0x01, 0, 1, 1, 0, 4, 0, 0x78, 0x56},
      {11, 0, 0, 0, 0x10, 0x02},
  };
  std::vector<imgkit::RgnExtObject_t> areas = {
      marinetest::WithBlock(0x81, 5, AttrShort(0x8C, Bytes({0x20}))),
      marinetest::WithBlock(0x86, 1, AttrShort(0x09)),
      // e = 0xE5: a variable-length count; the area's optional fields follow.
      marinetest::WithBlock(0x90, 0, AttrLong(0xE5, std::string(200, 'x'))),
  };
  areas.back().optional = std::string("\x07\xAA\xBB\x03", 4);
  areas.back().label = 0x123;
  rgntest::Open_t open(marinetest::WithObjects({}, lines, areas));
  ASSERT_EQ(0, open.result);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    mpl::MdbLineRecord_t line;
    line.ref = mpl::MdbMakeRef(4, static_cast<unsigned>(i + 1), true);
    mpl::MdbAuxInfo_t aux;
    ASSERT_EQ(0, mpl::MdbGetLine(open.map, line, 5, &aux)) << i;
    ExpectRecord(aux, want[i], "line " + std::to_string(i));
  }
  mpl::MdbAreaRecord_t area;
  mpl::MdbAuxInfo_t aux;
  area.ref = mpl::MdbMakeRef(4, 1, true);
  ASSERT_EQ(0, mpl::MdbGetArea(open.map, area, 5, &aux));
  ExpectRecord(aux, {3, 0, 0, 0, 1, 0, 0, 0, 0x20, 0x04}, "area 1");
  area.ref = mpl::MdbMakeRef(4, 2, true);
  ASSERT_EQ(0, mpl::MdbGetArea(open.map, area, 5, &aux));
  ExpectRecord(aux, {5, 0, 0, 0, 9}, "area 2");
  area.ref = mpl::MdbMakeRef(4, 3, true);
  ASSERT_EQ(0, mpl::MdbGetArea(open.map, area, 5, &aux));
  ExpectRecord(aux, {1}, "area 3");
  EXPECT_EQ(0x123u, area.label);
  EXPECT_EQ(2u, area.points.size());
}

TEST(MarineAttributesTest, BlockLengthsAndContradictions) {
  // The block's length by its first byte: e = 0x85 one more byte, 0xE5 a
  // variable-length count (two bytes for 300).
  const std::string big = AttrLong(0xE5, std::string(300, '\0'));
  EXPECT_EQ(303u, big.size());
  rgntest::Open_t open(marinetest::WithObjects(
      {marinetest::WithBlock(0x120, 0, AttrShort(0x85, Bytes({7}))), marinetest::WithBlock(0x120, 0, big),
       marinetest::WithBlock(0x105, 0, AttrShort(0x03))}));
  ASSERT_EQ(0, open.result);
  mpl::MdbPointRecord_t point;
  mpl::MdbAuxInfo_t aux;
  point.ref = mpl::MdbMakeRef(4, 3, true);
  ASSERT_EQ(0, mpl::MdbGetPoint(open.map, point, 0, &aux));
  ExpectRecord(aux, {5, 0, 0, 0, 3}, "after two blocks");
  // Class 6 whose 16-bit value, or whose extended 7-bit value, needs three
  // bytes in a block of two: bad data.
  rgntest::Open_t lineMap(marinetest::WithObjects(
      {}, {marinetest::WithBlock(0x41, 8, AttrShort(0xA0, Bytes({0x02, 0x00}))),
           marinetest::WithBlock(0x41, 8, AttrShort(0xA0, Bytes({0x10, 0x03})))}));
  ASSERT_EQ(0, lineMap.result);
  mpl::MdbLineRecord_t line;
  line.ref = mpl::MdbMakeRef(4, 1, true);
  EXPECT_EQ(1, mpl::MdbGetLine(lineMap.map, line, 5, &aux));
  line.ref = mpl::MdbMakeRef(4, 2, true);
  EXPECT_EQ(1, mpl::MdbGetLine(lineMap.map, line, 5, &aux));
  // Without an attribute record the same object reads.
  EXPECT_EQ(0, mpl::MdbGetLine(lineMap.map, line, 5, nullptr));
}

}  // namespace
