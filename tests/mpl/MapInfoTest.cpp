// Map information: levels, the capability flags from the TRE, LBL, NET and
// NOD headers and the point-type overview, the display values and their
// header-length gates, the notice table, and the marine chart records.
#include <gtest/gtest.h>

#include "mpl/MPL_Map.h"
#include "tests/imgkit/LblBuilder.h"
#include "tests/imgkit/SubfileHeader.h"
#include "tests/mpl/LblMap.h"
#include "tests/mpl/MapFacadeFixture.h"
#include "tests/mpl/MapFixture.h"

namespace {

using imgkit::Put16;
using imgkit::Put32;

// The files of a map with its TRE patched by 'patch'.
template <typename Patch>
std::vector<imgkit::MapFile_t> Patched(const imgkit::MapBuilder_t& m, Patch patch) {
  std::vector<imgkit::MapFile_t> files = m.Files();
  for (imgkit::MapFile_t& f : files)
    if (f.name == m.name + ".TRE") patch(f.data);
  return files;
}

struct Opened_t {
  explicit Opened_t(const std::vector<imgkit::MapFile_t>& files, const std::string& name = "12345678")
      : image(files), map(image.source, name, "") {}
  facadetest::Image_t image;
  mpl::Map_t map;
};

TEST(MapInfoTest, LevelsFlagsAndDisplayValues) {
  imgkit::MapBuilder_t m = mpltest::BasicMap();
  m.tre.flags = 0x00040A17;   // bits 0, 1, 2, 4, display bits 0x0A, bit 18
  m.tre.word67 = 0x00070301;  // bit 0; 0x03; 0x07
  Opened_t o(Patched(m, [](std::string& tre) { Put32(tre, 0x78, 1000); }));
  const mpl::MapInfo_t info = o.map.GetMapInfo();
  EXPECT_EQ(3, info.levelCount);  // level 3 has no data of its own
  EXPECT_EQ(24, info.levelBits[0]);
  EXPECT_EQ(22, info.levelBits[1]);
  EXPECT_EQ(20, info.levelBits[2]);
  EXPECT_EQ(0x2A, info.display);
  EXPECT_EQ(3, info.word43Low);
  EXPECT_EQ(7, info.word43High);
  EXPECT_EQ(255, info.scale);
  EXPECT_EQ(0x123u, info.mapId);
  EXPECT_EQ(0x00200000, info.north);
  EXPECT_EQ(-0x00200000, info.west);
  EXPECT_EQ(0u, info.mapDate);
  const std::uint32_t want = mpl::kInfoTreBit0 | mpl::kInfoTreBit1 | mpl::kInfoNameOrder | mpl::kInfoTreBit4 |
                             mpl::kInfoDisplay | mpl::kInfoTre43Bit0 | mpl::kInfoRoutable;
  EXPECT_EQ(want, info.flags);
  EXPECT_TRUE(o.map.GetNameOrderFlag());
  EXPECT_EQ("Street Main", o.map.JoinNameParts("Main", "Street"));
}

TEST(MapInfoTest, HeaderLengthGates) {
  struct Case_t {
    std::uint16_t length;
    bool word3f, word43, scale;
  } cases[] = {{120, true, true, false}, {124, true, true, true}, {71, true, true, false}, {70, true, false, false},
               {67, true, false, false}, {62, false, false, false}};
  for (const Case_t& c : cases) {
    imgkit::MapBuilder_t m = mpltest::BasicMap();
    m.tre.headerLength = c.length;
    m.tre.flags = 0x5;
    m.tre.word67 = 0x0301;
    Opened_t o(Patched(m, [](std::string& tre) { Put32(tre, 0x78, 1000); }));
    ASSERT_TRUE(o.map.IsOpen()) << c.length;
    const mpl::MapInfo_t info = o.map.GetMapInfo();
    EXPECT_EQ(c.word3f, (info.flags & mpl::kInfoNameOrder) != 0) << c.length;
    EXPECT_EQ(c.word3f, o.map.GetNameOrderFlag()) << c.length;
    EXPECT_EQ(c.word43, (info.flags & mpl::kInfoTre43Bit0) != 0) << c.length;
    EXPECT_EQ(c.word43 ? 3 : 0, info.word43Low) << c.length;
    EXPECT_EQ(c.scale ? 255 : 0, info.scale) << c.length;
    EXPECT_EQ(3, info.levelCount) << c.length;  // filled whatever the length
  }
}

TEST(MapInfoTest, NoticeTable) {
  struct Case_t {
    const char* what;
    std::uint32_t size;
    std::uint16_t recordSize;
    unsigned capacity;
    std::vector<std::uint32_t> notices;
  } cases[] = {
      {"two records", 8, 4, 5, {0x123456, 0x000102}},
      {"capacity one", 8, 4, 1, {0x123456}},
      {"no record size: no records", 8, 0, 5, {}},
      {"size 0", 0, 4, 5, {}},
  };
  for (const Case_t& c : cases) {
    imgkit::MapBuilder_t m = mpltest::BasicMap();
    Opened_t o(Patched(m, [&](std::string& tre) {
      const std::uint32_t at = static_cast<std::uint32_t>(tre.size());
      tre += std::string("\x56\x34\x12\xFF\x02\x01\x00\xFF", 8);
      Put32(tre, 0x31, at);
      Put32(tre, 0x35, c.size);
      Put16(tre, 0x39, c.recordSize);
    }));
    EXPECT_EQ(c.notices, o.map.GetNotices(c.capacity)) << c.what;
  }
  // A table that runs past the end of the file is a read error.
  imgkit::MapBuilder_t m = mpltest::BasicMap();
  Opened_t bad(Patched(m, [](std::string& tre) {
    Put32(tre, 0x31, 0xFFFFF0);
    Put32(tre, 0x35, 6);
    Put16(tre, 0x39, 3);
  }));
  EXPECT_THROW(bad.map.GetNotices(2), mpl::MdbException_t);
  EXPECT_NO_THROW(bad.map.GetMapInfo());  // without notices the table is not read
}

TEST(MapInfoTest, TheLevelListStopsAtNineLevels) {
  Opened_t o(mpltest::BasicMap().Files());
  o.map.Engine().tre.highestLevel = 40;  // a damaged context
  const mpl::MapInfo_t info = o.map.GetMapInfo();
  EXPECT_EQ(3, info.levelCount);
}

TEST(MapInfoTest, TablePresenceAndPointTypes) {
  rgntest::Fixture_t f = facadetest::GridFixture(1, 1, "12345678");
  f.map.tre.overviews[2] = rgntest::Table({{5, 0, 0}, {0x2B, 0, 0}}, 3);
  imgkit::NetHeader_t net;
  net.first.length = 4;
  net.second.length = 2;
  f.map.net = net;
  imgkit::LblBuilder_t lbl;
  lbl.AddExit(0, 1);
  lbl.AddIndexed(0);
  lbl.header.sortId = 0x8000;
  lbl.header.encoding = 9;
  imgkit::MapBuilder_t m = f.map;
  f.rgn.Place(m);
  Opened_t o(lbltest::WithLbl(m, lbl.Build()));
  // The queries leave the map's point filter as they found it.
  const mpl::Filter_t filter(0x70, 0x72, 0);
  o.map.Engine().pointFilter = filter;
  const std::uint32_t flags = o.map.GetMapInfo().flags;
  EXPECT_EQ(filter, o.map.GetPointFilter());
  EXPECT_EQ(mpl::kInfoCityPoints | mpl::kInfoPois | mpl::kInfoNetRoads | mpl::kInfoNetSecond | mpl::kInfoExits |
                mpl::kInfoIndexedLabels | mpl::kInfoSortWord,
            flags);
  // Type 5 lies in the city range, 0x2B in the point-of-interest range.
  mpl::MdbMap_t& e = o.map.Engine();
  const std::uint16_t none[] = {0x60};
  EXPECT_FALSE(mpl::MdbHasPointTypes(e, none, 1));
  const std::uint16_t city[] = {1, 5};
  EXPECT_TRUE(mpl::MdbHasPointTypes(e, city, 2));
  EXPECT_EQ(filter, o.map.GetPointFilter());
}

TEST(MapInfoTest, FilterTypes) {
  mpl::Filter_t f(mpl::FilterEntry_t{9, 1}, 0);
  const std::uint16_t types[] = {3, 4, 3};
  const std::uint32_t masks[] = {0x1, 0x2, 0x4};
  mpl::MdbSetFilterTypes(f, types, masks, 3);
  EXPECT_EQ(1, f.kind);
  EXPECT_EQ((std::map<std::uint16_t, std::uint32_t>{{3, 0x5}, {4, 0x2}}), f.entries);
  mpl::MdbSetFilterTypes(f, types, nullptr, 2);
  EXPECT_EQ((std::map<std::uint16_t, std::uint32_t>{{3, 0xFFFFFFFF}, {4, 0xFFFFFFFF}}), f.entries);
}

// An LBL with a chart table of 'count' records of 'size' bytes, each filled
// from 'record' (cut or zero-padded), and the table flags.
std::string ChartLbl(const std::string& record, std::uint16_t size, unsigned count, std::uint32_t flags) {
  imgkit::LblBuilder_t lbl;
  lbl.header.length = 236;
  const std::string plain = lbl.Build();
  lbl.header.marineOffset = static_cast<std::uint32_t>(plain.size());
  lbl.header.marineLength = size * count;
  lbl.header.marineRecordSize = size;
  lbl.header.marineWord = flags;
  std::string file = lbl.Build();
  std::string r = record;
  r.resize(size, '\0');
  for (unsigned i = 0; i < count; ++i) file += r;
  return file;
}

std::string ChartRecord() {
  std::string r(46, '\0');
  r[0] = static_cast<char>(0x02 | (1 << 2));  // class 2, kind code 1
  Put32(r, 1, 0x00C12345);                    // label A: 22 bits of 3 bytes
  for (unsigned i = 0; i < 6; ++i) imgkit::Put24(r, 7 + 3 * i, 0x010000 * (i + 1));
  Put32(r, 25, 0xDEADBEEF);
  imgkit::Put24(r, 29, 0x0000C3);
  Put16(r, 35, 1999 | (12 << 12));
  Put16(r, 37, 2015 | (6 << 12));
  Put16(r, 39, 2020 | (2 << 12));
  r[41] = 28;
  r[42] = 0x7E;
  imgkit::Put24(r, 43, 0x400001);
  return r;
}

TEST(MapInfoTest, MarineChartRecords) {
  imgkit::MapBuilder_t m = mpltest::BasicMap();
  m.tre.word67 = 0x00120000;  // a marine chart
  Opened_t o(lbltest::WithLbl(m, ChartLbl(ChartRecord(), 46, 2, 1)));
  const mpl::MarineChartRecord_t r = o.map.GetMarineObject(2);
  EXPECT_EQ(2u, r.number);
  EXPECT_EQ(2, r.kind);
  EXPECT_EQ(2, r.chartClass);
  EXPECT_EQ(0x012345u, r.labelA);
  EXPECT_EQ(0u, r.labelB);
  EXPECT_EQ(0x01000000, r.coords[0]);
  EXPECT_EQ(0x06000000, r.coords[5]);
  EXPECT_EQ(0xDEADBEEFu, r.raw25);
  EXPECT_EQ(0xC3u, r.labelC);
  EXPECT_EQ(1999, r.dates[0].year);
  EXPECT_EQ(12, r.dates[0].month);
  EXPECT_EQ(1, r.dates[0].day);
  EXPECT_EQ(29, r.dates[2].day);  // table flag bit 0 adds one
  EXPECT_EQ(0x7E, r.byte42);
  EXPECT_EQ(1u, r.labelE);
  // The chart's date is date 2 of record 1.
  EXPECT_EQ((2015 - 1900) * 16 + 6, o.map.GetMapInfo().mapDate);
  for (std::uint32_t n : {0u, 3u}) {
    try {
      o.map.GetMarineObject(n);
      ADD_FAILURE() << n;
    } catch (const mpl::MdbException_t& e) {
      EXPECT_EQ(3, e.Code());
    }
  }
  // Short records leave the bytes past their end 0; a record size of 0 has no records.
  Opened_t shortRecords(lbltest::WithLbl(m, ChartLbl(ChartRecord(), 40, 1, 0)));
  const mpl::MarineChartRecord_t s = shortRecords.map.GetMarineObject(1);
  EXPECT_EQ(0, s.dates[2].day);  // byte 41 lies past the record
  EXPECT_EQ(0, s.byte42);
  EXPECT_EQ(0u, s.labelE);
  Opened_t none(lbltest::WithLbl(m, ChartLbl(ChartRecord(), 0, 1, 0)));
  mpl::MarineChartRecord_t z;
  z.number = 1;
  EXPECT_EQ(3, mpl::MdbReadChartRecord(none.map.Engine(), z));
  EXPECT_EQ(0u, none.map.GetMapInfo().mapDate);
}

}  // namespace
