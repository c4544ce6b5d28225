// The object records of the image kit's RGN builder, pinned byte by byte, and
// the sub-file it lays out around them.
#include <gtest/gtest.h>

#include "tests/imgkit/RgnBuilder.h"

namespace {

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int c : b) s.push_back(static_cast<char>(c));
  return s;
}

TEST(RgnRecordTest, StandardRecordsAsStored) {
  // A line of type 5 with its direction flag and a road offset: type byte
  // 0x45, label field with bit 23, one-byte length.
  imgkit::RgnPoly_t line;
  line.type = 5;
  line.direction = true;
  line.label = 0x800123;
  line.dlon = -2;
  line.dlat = 0x102;
  line.rawStream = Bytes({0x00, 0x70, 0x3C});
  EXPECT_EQ(Bytes({0x45, 0x23, 0x01, 0x80, 0xFE, 0xFF, 0x02, 0x01, 0x02, 0x00, 0x70, 0x3C}),
            imgkit::EncodePoly(line, true));
  line.wideLength = true;
  EXPECT_EQ(Bytes({0xC5, 0x23, 0x01, 0x80, 0xFE, 0xFF, 0x02, 0x01, 0x02, 0x00, 0x00, 0x70, 0x3C}),
            imgkit::EncodePoly(line, true));
  // A point with a subtype byte is 9 bytes; one naming a point of interest has bit 22.
  imgkit::RgnPoint_t p;
  p.type = 0x2A;
  p.label = 0x12345;
  p.subtype = 3;
  p.dlon = 1;
  p.dlat = -1;
  EXPECT_EQ(Bytes({0x2A, 0x45, 0x23, 0x81, 0x01, 0x00, 0xFF, 0xFF, 0x03}), imgkit::EncodePoint(p));
  p.subtype.reset();
  p.poi = true;
  EXPECT_EQ(Bytes({0x2A, 0x45, 0x23, 0x41, 0x01, 0x00, 0xFF, 0xFF}), imgkit::EncodePoint(p));
}

TEST(RgnRecordTest, ExtendedRecordsAsStored) {
  imgkit::RgnExtObject_t o;
  o.type = 0x10;
  o.subtype = 5;
  o.label = 0x000102;
  o.dlon = 3;
  o.dlat = 4;
  o.rawStream = Bytes({0x00, 0x70, 0x3C});
  o.attributes = Bytes({0x85, 0x07});
  o.optional = Bytes({0x01, 0xAA});
  o.trailer = std::string(5, '\0');  // the pattern 0x1D: groups 1, 3 and 1
  EXPECT_EQ(Bytes({0x10, 0xE5, 0x03, 0x00, 0x04, 0x00, 0x07, 0x00, 0x70, 0x3C, 0x02, 0x01, 0x00, 0x85, 0x07, 0x01,
                   0xAA, 0, 0, 0, 0, 0}),
            imgkit::EncodeExtObject(o, true));
  imgkit::RgnExtObject_t bare;
  bare.type = 1;
  EXPECT_EQ(Bytes({0x01, 0x00, 0x00, 0x00, 0x00, 0x00}), imgkit::EncodeExtObject(bare, false));
}

TEST(RgnRecordTest, LaysOutSectionsBehindTheirOffsetTable) {
  imgkit::RgnBuilder_t b;
  imgkit::RgnSubdivision_t sd;
  sd.points.push_back({});
  sd.lines.push_back({});
  sd.lines.back().rawStream = Bytes({0x00});
  sd.extPoints.push_back({});
  b.subdivisions = {sd, imgkit::RgnSubdivision_t{}};
  b.ext[2].trailer = 1;
  const imgkit::RgnImage_t img = b.Build();
  ASSERT_EQ(2u, img.placed.size());
  EXPECT_EQ(0x05, img.placed[0].kinds);  // points and lines
  // One table entry (the lines' start: 2 + 8), 8 bytes of point, 10 of line.
  EXPECT_EQ(20u, img.placed[1].offset);
  EXPECT_EQ(20u, img.dataEnd);
  EXPECT_EQ(0, img.placed[1].kinds);
  EXPECT_EQ(7u, img.extEnd[2]);
  const std::string f = img.File();
  EXPECT_EQ(std::string("VORTAN RGN"), f.substr(2, 10));
  EXPECT_EQ(Bytes({125, 0}), f.substr(0, 2));
  EXPECT_EQ(Bytes({125, 0, 0, 0, 20, 0, 0, 0}), f.substr(21, 8));   // object data offset, length
  EXPECT_EQ(Bytes({10, 0}), f.substr(125, 2));                      // the offset table
  EXPECT_EQ(Bytes({145, 0, 0, 0, 0, 0, 0, 0}), f.substr(29, 8));    // extended areas: none
  EXPECT_EQ(Bytes({145, 0, 0, 0, 7, 0, 0, 0}), f.substr(85, 8));    // extended points
  EXPECT_EQ(152u, f.size());
}

}  // namespace
