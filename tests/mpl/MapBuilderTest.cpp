// The sub-file builders of the image test kit, pinned byte by byte.
#include <gtest/gtest.h>

#include "tests/imgkit/MapImage.h"
#include "tests/imgkit/SubfileHeader.h"
#include "tests/imgkit/TreBuilder.h"

namespace {

std::string Bytes(std::initializer_list<int> list) {
  std::string s;
  for (int b : list) s += static_cast<char>(b);
  return s;
}

TEST(MapBuilderTest, CommonHeader) {
  EXPECT_EQ(Bytes({0xBC, 0x00}) + "VORTAN TRE" + Bytes({0x01, 0x00, 0xD1, 0x07, 0x02, 0x02, 0x0A, 0x14, 0x1E}),
            imgkit::CommonHeader(188, "TRE", {2001, 2, 2, 10, 20, 30}));
  const std::string rgn = imgkit::RgnHeader_t{27, {}, 0x11223344, 5, {}, {}}.Build();
  EXPECT_EQ(27u, rgn.size());  // the data length at 25 does not fit
  EXPECT_EQ(Bytes({0x44, 0x33, 0x22, 0x11, 0x00, 0x00}), rgn.substr(21));
  EXPECT_EQ(21u, imgkit::BlankHeader(5, "NOD").size());
}

TEST(MapBuilderTest, SubdivisionRecords) {
  imgkit::TreSubdiv_t s;
  s.rgnOffset = 0x123456;
  s.kinds = 0x1C;
  s.centreLon = 0x00123400;
  s.centreLat = -0x100;
  s.halfWidth = 0x10;
  s.halfHeight = 0x20;
  s.last = true;
  s.firstChild = 7;
  const std::string full = Bytes({0x56, 0x34, 0x12, 0xC0, 0x34, 0x12, 0x00, 0xFF, 0xFF, 0xFF, 0x10, 0x80, 0x20, 0x80,
                                  0x07, 0x00});
  EXPECT_EQ(full, imgkit::SubdivRecord(s, false));
  EXPECT_EQ(full.substr(0, 14), imgkit::SubdivRecord(s, true));
}

TEST(MapBuilderTest, TreLayout) {
  imgkit::TreBuilder_t t;
  imgkit::TreSubdiv_t top;
  top.rgnOffset = 0;
  top.firstChild = 2;
  top.last = true;
  top.extKinds = 0x10;
  top.extLength = {3, 0, 0};
  imgkit::TreSubdiv_t a, b;
  a.rgnOffset = 0x20;
  a.extKinds = 0x1;
  a.extLength = {5, 0, 0};
  b.rgnOffset = 0x30;
  b.last = true;
  b.extKinds = 0x100;
  t.levels = {{0, 24, false, {a, b}, {}}, {1, 20, true, {top}, {}}};
  t.rgnEnd = 0x44;
  t.extFlags = 0x411;  // areas and a two-byte kinds word
  t.overviews[2] = {"abcdef", 3, 0x41};
  const std::string f = t.Build();
  // Level table right after the header, in the given order.
  EXPECT_EQ(188u, t.layout.levelOffset);
  EXPECT_EQ(Bytes({0x00, 24, 2, 0, 0x81, 20, 1, 0}), f.substr(188, 8));
  // Subdivision 1 (level 1, 16 bytes), then 2 and 3 (level 0, 14 bytes each),
  // then the end offset.
  EXPECT_EQ(196u, t.layout.subdivOffset);
  EXPECT_EQ((std::vector<std::uint32_t>{196, 212, 226}), t.layout.recordOffsets);
  EXPECT_EQ(Bytes({0x44, 0, 0, 0}), f.substr(240, 4));
  // The overviews follow, then the extended records: area start and kinds
  // word, the parent's covering its children's.
  EXPECT_EQ("abcdef", f.substr(244, 6));
  EXPECT_EQ(Bytes({0xF4, 0, 0, 0, 6, 0, 0, 0, 3, 0, 0x41}), f.substr(102, 11));
  EXPECT_EQ(250u, t.layout.extOffset);
  EXPECT_EQ(4u, t.layout.extRecords);
  EXPECT_EQ(Bytes({0, 0, 0, 0, 0x11, 0x01, 3, 0, 0, 0, 0x01, 0x00, 8, 0, 0, 0, 0x00, 0x01, 8, 0, 0, 0, 0, 0}),
            f.substr(250, 24));
  EXPECT_EQ(Bytes({0xFA, 0, 0, 0, 24, 0, 0, 0, 6, 0, 0x11, 0x04, 0, 0}), f.substr(124, 14));
}

}  // namespace
