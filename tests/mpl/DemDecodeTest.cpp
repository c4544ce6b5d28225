// The DEM sub-file: header and level records, level selection, tile records
// and the row decoder of flat and coded tiles, with the malformed levels and
// tiles that must be refused or decoded safely.
#include <gtest/gtest.h>

#include "dsk/DSK_Media.h"
#include "mpl/MPL_Dem.h"
#include "tests/mpl/DemFixture.h"

namespace {

using demtest::DemMap_t;
using demtest::Level;
using imgkit::DemBuilder_t;
using imgkit::DemLevel_t;
using imgkit::DemTile_t;

DemTile_t Coded(std::vector<std::uint16_t> values, std::uint16_t maxDiff, std::int16_t base = 0) {
  DemTile_t t;
  t.values = std::move(values);
  t.maxDiff = maxDiff;
  t.base = base;
  return t;
}

DemTile_t Flat(std::int16_t base, std::uint8_t special = 0) {
  DemTile_t t;
  t.base = base;
  t.special = special;
  return t;
}

// Every height of every tile of the current level, decoded tile by tile.
std::vector<std::int16_t> DecodeAll(DemMap_t& d, std::uint32_t tile, int* result = nullptr) {
  std::uint16_t h = 0, w = 0;
  bool lc = false, lr = false;
  mpl::MdbDemTileSize(d.map, tile, h, w, lc, lr);
  std::vector<std::int16_t> heights(static_cast<std::size_t>(h) * w, 0x7777);
  const int r = mpl::MdbDemDecodeTile(heights.data(), d.map, tile);
  if (result) *result = r;
  return heights;
}

TEST(DemDecodeTest, ReadsTheHeaderAndItsLevels) {
  DemBuilder_t b;
  DemLevel_t skipped = Level(4, 1, 1);
  skipped.kind = 1;
  skipped.level = 2;
  DemLevel_t l = Level(64, 3, 2, 10);
  l.level = 1;
  l.lastRowHeight = 7;
  l.quant = 2;
  l.recordFlags = 0x1F;
  l.west = -0x100000;
  l.north = 0x200000;
  l.latStep = 0x10;
  l.lonStep = 0x20;
  l.lowest = -20;
  l.highest = 3000;
  b.levels = {skipped, l};
  DemMap_t d;
  imgkit::DemLayout_t layout;
  ASSERT_EQ(0, d.Open(b.Build(&layout)));
  ASSERT_TRUE(d.map.dem.file.IsOpen());
  EXPECT_EQ(1, d.map.dem.metres);
  EXPECT_EQ(mpl::kMdbDemNoLevel, d.map.dem.level);
  EXPECT_EQ(0u, d.map.dem.levels[2].recordSize);  // skipped record: entry stays zero
  const mpl::MdbDemLevel_t& s = d.map.dem.levels[1];
  EXPECT_EQ(0x1F, s.recordFlags);
  EXPECT_EQ(9, s.recordSize);
  EXPECT_EQ(2, s.quant);
  EXPECT_EQ(64, s.tileWidth);
  EXPECT_EQ(64, s.tileHeight);
  EXPECT_EQ(10, s.lastColWidth);
  EXPECT_EQ(7, s.lastRowHeight);
  EXPECT_EQ(3u, s.tileCols);
  EXPECT_EQ(2u, s.tileRows);
  EXPECT_EQ(layout.tableOffsets[1], s.tableOffset);
  EXPECT_EQ(layout.dataOffsets[1], s.dataOffset);
  EXPECT_EQ(0x200000 - (64 + 7) * 0x10, s.south);
  EXPECT_EQ(-0x100000 + (2 * 64 + 10) * 0x20, s.east);
  EXPECT_EQ(-20, s.lowest);
  EXPECT_EQ(3000, s.highest);

  b.flags = 1;  // feet
  DemMap_t feet;
  ASSERT_EQ(0, feet.Open(b));
  EXPECT_EQ(0, feet.map.dem.metres);
}

TEST(DemDecodeTest, EastOfAGridThatSpansTheGlobeOrWraps) {
  struct Case {
    std::int32_t west;
    std::int32_t east;
  };
  // 0x800 columns of 0x200000: 2^32, the whole turn.
  const Case cases[] = {{static_cast<std::int32_t>(0x80000000u), 0x7FFFFFFF},
                        {0x10000000, static_cast<std::int32_t>(0x10000000u)}};
  for (const Case& c : cases) {
    DemBuilder_t b;
    DemLevel_t l = Level(0x100, 8, 1);
    l.lonStep = 0x200000;
    l.west = c.west;
    b.levels = {l};
    DemMap_t d;
    ASSERT_EQ(0, d.Open(b));
    EXPECT_EQ(c.east, d.map.dem.levels[0].east) << c.west;
  }
}

TEST(DemDecodeTest, HeadersAndLevelsThatAreRefused) {
  struct Case {
    const char* what;
    int open;        // result of opening the map
    bool demOpen;    // whether the map keeps its DEM
  };
  auto build = [](int which) {
    DemBuilder_t b;
    DemLevel_t l = Level(4, 2, 2);
    switch (which) {
      case 0: b.format = 2; break;
      case 1: b.flags = 2; break;
      case 2: b.flags = 3; break;
      case 3: l.kind = 7; break;
      case 4: l.level = 5; break;       // beyond the map's levels 0 to 3
      case 5: l.latStep = 0; break;
      case 6: l.lonStep = -4; break;
      case 7: l.north = 0x40000001; break;
      case 8: l.latStep = 0x10000000; break;  // south beyond 90 degrees
      case 9: l.storedCols = 0xFFFFFFFF; break;  // 2^32 columns: count 0
      case 10: l.storedRows = 0xFFFFFFFF; break;
      case 11: l.storedCols = 0x10000; l.storedRows = 0x10000; l.latStep = 1; l.lonStep = 1; break;
      case 12: b.format = 0x8001; break;  // only the low 15 bits count
      case 13: l.tileHeight = 0xFFFF; l.storedRows = 0xFFFF0000; l.storedCols = 0; l.latStep = 0x7FFFFFFF; break;
      case 14: l.tileWidth = 0xFFFF; l.storedCols = 0xFFFF0000; l.storedRows = 0; l.lonStep = 0x7FFFFFFF; break;
    }
    b.levels = {l};
    std::string s = b.Build();
    return s;
  };
  const Case cases[] = {
      {"format word 2", 0, false},        {"flags bit 1", 0, false},
      {"flags 3", 0, false},              {"every record skipped", 0, false},
      {"level beyond the map", 1, false}, {"latitude step 0", 1, false},
      {"negative longitude step", 1, false}, {"north beyond 90", 1, false},
      {"south beyond 90", 1, false},      {"2^32 tile columns", 1, false},
      {"2^32 tile rows", 1, false},       {"more than 2^32 - 1 tiles", 1, false},
      {"format word 0x8001", 0, true},
      {"rows x step beyond 64 bits", 1, false},
      {"columns x step beyond 64 bits", 0, true},  // east wraps
  };
  for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
    DemMap_t d;
    EXPECT_EQ(cases[i].open, d.Open(build(i))) << cases[i].what;
    EXPECT_EQ(cases[i].demOpen, d.map.dem.file.IsOpen()) << cases[i].what;
  }
  std::string wrongMagic = build(99);
  wrongMagic[9] = 'X';
  DemMap_t d;
  EXPECT_EQ(1, d.Open(wrongMagic));
}

TEST(DemDecodeTest, SelectsALevelWithItsWorkBuffer) {
  DemBuilder_t b;
  DemLevel_t l = Level(16, 3, 3, 20);  // rows of max(16, 20) + 3 values
  l.level = 0;
  DemLevel_t empty = Level(4, 1, 1);
  empty.level = 1;
  empty.recordSize = 0;
  DemLevel_t noWidth = Level(4, 1, 1);
  noWidth.level = 2;
  noWidth.tileWidth = 0;
  b.levels = {l, empty, noWidth};
  DemMap_t d;
  ASSERT_EQ(0, d.Open(b));
  const std::uint32_t work = mpl::MdbDemWorkSize(d.map, 0);
  EXPECT_GE(work, sizeof(mpl::MdbDemState_t) + 2 * 23 * 2);
  EXPECT_LT(work, sizeof(mpl::MdbDemState_t) + 2 * 23 * 2 + 8);
  EXPECT_EQ(0u, mpl::MdbDemWorkSize(d.map, 1));
  EXPECT_EQ(0u, mpl::MdbDemWorkSize(d.map, 2));  // a tile width of 0: a level without tiles
  EXPECT_EQ(0u, mpl::MdbDemWorkSize(d.map, 4));  // beyond the map's levels
  EXPECT_EQ(3, d.Select(1));
  EXPECT_EQ(3, d.Select(2));
  EXPECT_EQ(2, d.Select(0, work - 1));
  EXPECT_EQ(mpl::kMdbDemNoLevel, d.map.dem.level);
  // Room for the table (9 records of 3 bytes): it is taken into the buffer.
  ASSERT_EQ(0, d.Select(0, work + 27));
  EXPECT_EQ(work + 27, d.used);
  EXPECT_NE(nullptr, d.map.dem.table);
  EXPECT_EQ(0, d.map.dem.level);
  // No room: records are read from the sub-file.
  ASSERT_EQ(0, d.Select(0, work + 26));
  EXPECT_EQ(work, d.used);
  EXPECT_EQ(nullptr, d.map.dem.table);
  // A copy of the map keeps the DEM but shares no work buffer: no level is current.
  mpl::MdbMap_t copy;
  ASSERT_EQ(0, mpl::MdbCopy(copy, d.map));
  EXPECT_TRUE(copy.dem.file.IsOpen());
  EXPECT_EQ(16, copy.dem.levels[0].tileWidth);
  EXPECT_EQ(mpl::kMdbDemNoLevel, copy.dem.level);
  EXPECT_EQ(nullptr, copy.dem.state);
  EXPECT_EQ(0, d.map.dem.level);
  // A table beyond the sub-file's end cannot be read.
  b.levels[0].tableOffset = 0x7FFFFF00;
  DemMap_t bad;
  ASSERT_EQ(0, bad.Open(b));
  EXPECT_EQ(1, bad.Select(0));
  EXPECT_EQ(mpl::kMdbDemNoLevel, bad.map.dem.level);
}

TEST(DemDecodeTest, LocatesTilesAndReadsTheirRecords) {
  DemBuilder_t b;
  DemLevel_t l = Level(8, 3, 2, 5);
  l.lastRowHeight = 3;
  l.recordFlags = 0x1F;  // 4-byte offsets, 2-byte base and M, special byte: 9 bytes
  l.tiles.resize(6);
  l.tiles[4] = Coded(demtest::Surface(8, 3, 300, 4), 300, -1234);
  l.tiles[4].special = 0x41;
  l.tiles[4].dataOffset = 0x0A0B0C;
  l.tiles[5] = Flat(77, 0x02);
  b.levels = {l};
  DemMap_t d;
  ASSERT_EQ(0, d.Open(b));
  for (std::uint32_t bytes : {1u << 17, static_cast<std::uint32_t>(mpl::MdbDemWorkSize(d.map, 0))}) {
    ASSERT_EQ(0, d.Select(0, bytes));
    struct Size {
      std::uint32_t tile;
      std::uint16_t height, width;
      bool lastCol, lastRow;
    };
    for (const Size& s : {Size{0, 8, 8, false, false}, Size{2, 8, 5, true, false}, Size{4, 3, 8, false, true},
                          Size{5, 3, 5, true, true}}) {
      std::uint16_t h = 0, w = 0;
      bool lc = false, lr = false;
      ASSERT_EQ(0, mpl::MdbDemTileSize(d.map, s.tile, h, w, lc, lr));
      EXPECT_EQ(s.height, h) << s.tile;
      EXPECT_EQ(s.width, w) << s.tile;
      EXPECT_EQ(s.lastCol, lc) << s.tile;
      EXPECT_EQ(s.lastRow, lr) << s.tile;
    }
    mpl::MdbDemState_t& st = *d.map.dem.state;
    std::uint8_t flat = 9;
    ASSERT_EQ(0, mpl::MdbDemReadTileRecord(d.map, 4, st, flat));
    EXPECT_EQ(0, flat);
    EXPECT_EQ(300, st.maxDiff);
    EXPECT_EQ(-1234, d.map.dem.base);
    EXPECT_EQ(0x41, d.map.dem.special);
    EXPECT_EQ(d.map.dem.levels[0].dataOffset + 0x0A0B0Cu, st.dataOffset);
    EXPECT_EQ(8, st.width);
    EXPECT_EQ(3, st.height);
    ASSERT_EQ(0, mpl::MdbDemReadTileRecord(d.map, 5, st, flat));
    EXPECT_EQ(1, flat);
    EXPECT_EQ(77, d.map.dem.base);
    EXPECT_EQ(2, d.map.dem.special);
    EXPECT_EQ(1, mpl::MdbDemReadTileRecord(d.map, 6, st, flat));
  }
}

// Rows 0 to 1 of a 3 x 2 tile with M = 3, v = 0 (Q = 4, L = 17), worked
// through by hand: row 0 = 0 0 2: a run of 2 ("11" then "0"), then the value
// after the run with b = 1: z = 3 ("01" "1", s = 2) or z = 2 ("01" "0", s = -2,
// which wraps to 2 as well); row 1 = 0 1 2: a run of 1 ("1" "0"), after the
// run z = 1 ("1" "1"), then the prediction 3 with z = 1 ("1" "1", s = -1).
// 110 011 10 11 11 -> CE F0; 110 010 10 11 11 -> CA F0 (what the coder picks).
TEST(DemDecodeTest, DecodesAHandMadeStream) {
  const std::vector<std::uint16_t> values = {0, 0, 2, 0, 1, 2};
  EXPECT_EQ(std::string("\xCA\xF0", 2), imgkit::EncodeDemTile(values, 3, 2, 3, 0).bytes);
  for (const std::string& stream : {std::string("\xCE\xF0", 2), std::string("\xCA\xF0", 2)}) {
    DemBuilder_t b;
    DemLevel_t l = Level(3, 1, 1, 3);
    l.lastRowHeight = 2;
    DemTile_t t;
    t.maxDiff = 3;
    t.base = 100;
    t.stream = stream;
    l.tiles = {t};
    b.levels = {l};
    DemMap_t d;
    ASSERT_EQ(0, d.Open(b));
    ASSERT_EQ(0, d.Select(0));
    EXPECT_EQ((std::vector<std::uint16_t>{0, 0, 2}), d.Row(0, 0));
    EXPECT_EQ((std::vector<std::uint16_t>{0, 1, 2}), d.Row(0, 1));
    int result = -1;
    EXPECT_EQ((std::vector<std::int16_t>{100, 100, 102, 100, 101, 102}), DecodeAll(d, 0, &result));
    EXPECT_EQ(0, result);
  }
}

// A run that fills the row exactly raises the run index once more; with
// run bits > 0 the run length carries extra bits.
TEST(DemDecodeTest, RunsThatFillOrEndInsideTheRow) {
  // Row 0: twelve zeros: units 1,1,1,1 (index 4: 1 bit) 2,2,2 (index 7) then
  // 2 more would reach 12 exactly: "1111" "111" "1" -> index 8.
  const std::vector<std::uint16_t> values(12, 0);
  const imgkit::DemCoded_t coded = imgkit::EncodeDemTile(values, 12, 1, 1, 0);
  EXPECT_EQ(std::string("\xFF", 1), coded.bytes);
  // Row 0 = nine zeros, then 1, then 0 0: "1111" "11" (c = 8, unit 2 would
  // pass 9), "0", one run bit "1" (9); after the run z = 1 ("1" with b = 1: "1"
  // "1"); then a run of the last 2 reaching the row's end.
  std::vector<std::uint16_t> mixed(12, 0);
  mixed[9] = 1;
  const imgkit::DemCoded_t m = imgkit::EncodeDemTile(mixed, 12, 1, 1, 0);
  DemBuilder_t b;
  DemLevel_t l = Level(12, 1, 1, 12);
  l.lastRowHeight = 1;
  DemTile_t t;
  t.maxDiff = 1;
  t.stream = m.bytes;
  l.tiles = {t};
  b.levels = {l};
  DemMap_t d;
  ASSERT_EQ(0, d.Open(b));
  ASSERT_EQ(0, d.Select(0));
  EXPECT_EQ(mixed, d.Row(0, 0));
  EXPECT_EQ(0xFD, static_cast<unsigned char>(m.bytes[0]));  // 111111 0 1
}

// Values wrap and clamp in signed 16-bit arithmetic. A 1 x 1 tile with
// M = 40000: a run of none ("0"), then after it z = 1 x 2^10 + 975 ("01" and
// ten bits) gives 1000. In 16 bits M is -25536: 1000 lies above M + v, drops by
// Q x w (40001, -25535 in 16 bits) to 26535 and is clamped to M, code 40000.
TEST(DemDecodeTest, ValuesWrapInSixteenBits) {
  DemBuilder_t b;
  DemLevel_t l = Level(1, 1, 1, 1);
  l.recordFlags = 0x08;
  DemTile_t t;
  t.maxDiff = 40000;
  t.stream = std::string("\x3E\x78", 2);  // 0 01 1111001111
  l.tiles = {t};
  b.levels = {l};
  DemMap_t d;
  ASSERT_EQ(0, d.Open(b));
  ASSERT_EQ(0, d.Select(0));
  int result = -1;
  EXPECT_EQ((std::vector<std::uint16_t>{40000}), d.Row(0, 0, &result));
  EXPECT_EQ(0, result);
}

TEST(DemDecodeTest, DecodesCodedTilesOfEveryShape) {
  struct Case {
    std::uint32_t size, last;
    std::uint16_t maxDiff, quant;
    std::uint16_t flags;
  };
  const Case cases[] = {
      {16, 16, 255, 0, 0x01}, {13, 7, 1000, 0, 0x0D}, {32, 5, 5000, 0, 0x0E}, {9, 9, 32000, 0, 0x0F},
      {16, 11, 800, 2, 0x0D},  // quantised: what the coder can represent
      {64, 64, 2, 0, 0x01},
  };
  for (const Case& c : cases) {
    DemBuilder_t b;
    DemLevel_t l = Level(c.size, 2, 2, c.last);
    l.quant = c.quant;
    l.recordFlags = c.flags;
    l.lowest = -32000;
    l.highest = 32000;
    for (std::uint32_t n = 0; n < 4; ++n) {
      std::uint32_t w = 0, h = 0;
      l.tileCols = l.tileRows = 2;
      imgkit::DemTileSize(l, n, w, h);
      l.tiles.push_back(Coded(demtest::Surface(w, h, c.maxDiff, n + c.size), c.maxDiff, -7));
    }
    b.levels = {l};
    imgkit::DemLayout_t layout;
    DemMap_t d;
    ASSERT_EQ(0, d.Open(b.Build(&layout)));
    ASSERT_EQ(0, d.Select(0));
    for (std::uint32_t n = 0; n < 4; ++n) {
      int result = -1;
      const std::vector<std::int16_t> heights = DecodeAll(d, n, &result);
      ASSERT_EQ(0, result) << c.maxDiff << " tile " << n;
      const std::vector<std::uint16_t>& expect = layout.decoded[0][n];
      if (c.quant == 0) {
        ASSERT_EQ(l.tiles[n].values, expect);
      }
      ASSERT_EQ(expect.size(), heights.size());
      for (std::size_t i = 0; i < heights.size(); ++i)
        ASSERT_EQ(std::clamp<int>(expect[i] + l.tiles[n].base, -32000, 32000), heights[i])
            << c.maxDiff << " tile " << n << " at " << i;
    }
  }
}

// A level of one coded tile of size x size points, opened with its level
// selected, and the tile's rows as they were coded.
struct CodedTile_t {
  DemMap_t d;
  imgkit::DemLayout_t layout;
  std::uint32_t size = 0;

  // 0, or the result of the opening or the selection that failed.
  int Open(std::uint32_t tileSize, std::uint16_t maxDiff, std::uint32_t seed) {
    size = tileSize;
    DemBuilder_t b;
    DemLevel_t l = Level(size, 1, 1, size);
    l.recordFlags = 0x08;
    l.tiles = {Coded(demtest::Surface(size, size, maxDiff, seed), maxDiff)};
    b.levels = {l};
    const int result = d.Open(b.Build(&layout));
    return result != 0 ? result : d.Select(0);
  }
  std::vector<std::uint16_t> Expected(std::uint32_t row) const {
    const auto& v = layout.decoded[0][0];
    return std::vector<std::uint16_t>(v.begin() + row * size, v.begin() + (row + 1) * size);
  }
};

TEST(DemDecodeTest, RowsDecodeForwardAndRestartForEarlierRows) {
  CodedTile_t t;
  ASSERT_EQ(0, t.Open(10, 500, 3));
  DemMap_t& d = t.d;
  EXPECT_EQ(t.Expected(5), d.Row(0, 5));
  EXPECT_EQ(6, d.map.dem.state->rowsDecoded);
  EXPECT_EQ(t.Expected(3), d.Row(0, 3));
  EXPECT_EQ(4, d.map.dem.state->rowsDecoded);
  EXPECT_EQ(t.Expected(3), d.Row(0, 3));
  EXPECT_EQ(4, d.map.dem.state->rowsDecoded);
  EXPECT_EQ(t.Expected(9), d.Row(0, 9));
  int result = 0;
  d.Row(0, 10, &result);
  EXPECT_NE(0, result);  // beyond the tile's rows
  EXPECT_EQ(t.Expected(2), d.Row(0, 2));
}

TEST(DemDecodeTest, FlatTilesAndSpecialValues) {
  DemBuilder_t b;
  DemLevel_t l = Level(3, 4, 1, 3);
  l.recordFlags = 0x14;
  l.tiles = {Flat(250), Flat(5, 0x01), Flat(5, 0x80), Flat(-3, 0x03)};
  b.levels = {l};
  DemMap_t d;
  ASSERT_EQ(0, d.Open(b));
  ASSERT_EQ(0, d.Select(0));
  const std::int16_t expect[] = {250, mpl::kMdbDemWater, mpl::kMdbDemNoData, mpl::kMdbDemWater};
  for (std::uint32_t n = 0; n < 4; ++n) {
    int result = -1;
    const std::vector<std::int16_t> h = DecodeAll(d, n, &result);
    EXPECT_EQ(0, result);
    EXPECT_EQ(std::vector<std::int16_t>(9, expect[n]), h) << n;
  }
}

TEST(DemDecodeTest, SpecialValueByteReservesTheTopCodes) {
  DemBuilder_t b;
  DemLevel_t l = Level(2, 1, 1, 2);
  l.quant = 2;
  l.recordFlags = 0x10;
  DemTile_t t = Coded({0, 0, 0, 0}, 100, 10);
  t.special = 0x01;
  l.tiles = {t};
  b.levels = {l};
  DemMap_t d;
  ASSERT_EQ(0, d.Open(b));
  ASSERT_EQ(0, d.Select(0));
  ASSERT_EQ(0, mpl::MdbDemGetRow(d.map, 0, 0));
  struct Case {
    std::uint8_t special;
    std::int32_t code, height;
  };
  const Case cases[] = {{0x01, 97, 107}, {0x01, 98, -32767}, {0x01, 100, -32767}, {0x03, 92, 102},
                        {0x03, 93, -32767}, {0x03, 97, -32767}, {0x03, 98, -32768}, {0x03, 100, -32768},
                        {0x00, 100, 110}};
  for (const Case& c : cases) {
    d.map.dem.special = c.special;
    std::int32_t value = c.code;
    int status = -1;
    mpl::MdbDemToHeight(d.map, value, status);
    EXPECT_EQ(0, status);
    EXPECT_EQ(c.height, value) << int{c.special} << " " << c.code;
  }
  mpl::MdbMap_t none;
  std::int32_t value = 5;
  int status = 0;
  mpl::MdbDemToHeight(none, value, status);
  EXPECT_EQ(1, status);
}

// After a flat tile, a request for the coded tile that was current before
// must read its record again and decode it with its own values.
TEST(DemDecodeTest, ATileIsNeverDecodedWithAnotherTilesState) {
  DemBuilder_t b;
  DemLevel_t l = Level(6, 3, 1, 6);
  l.tiles = {Coded(demtest::Surface(6, 6, 90, 1), 90, 40), Flat(-5), Coded(demtest::Surface(6, 6, 30, 2), 30, 1)};
  b.levels = {l};
  imgkit::DemLayout_t layout;
  DemMap_t d;
  ASSERT_EQ(0, d.Open(b.Build(&layout)));
  ASSERT_EQ(0, d.Select(0));
  const std::vector<std::int16_t> first = DecodeAll(d, 0);
  EXPECT_EQ(std::vector<std::int16_t>(36, -5), DecodeAll(d, 1));
  EXPECT_EQ(first, DecodeAll(d, 0));
  // A failing record read (a tile beyond the grid) leaves no tile current.
  EXPECT_EQ((std::vector<std::uint16_t>(layout.decoded[0][2].begin() + 6, layout.decoded[0][2].begin() + 12)),
            d.Row(2, 1));
  EXPECT_EQ(1, mpl::MdbDemGetRow(d.map, 3, 1));
  EXPECT_EQ(mpl::kMdbDemNoTile, d.map.dem.tile);
  EXPECT_EQ((std::vector<std::uint16_t>(layout.decoded[0][2].begin() + 6, layout.decoded[0][2].begin() + 12)),
            d.Row(2, 1));
}

TEST(DemDecodeTest, DecoderFailuresAreReported) {
  DemBuilder_t b;
  DemLevel_t l = Level(8, 2, 1, 8);
  l.recordFlags = 0x02;
  l.tiles = {Coded(demtest::Surface(8, 8, 200, 5), 200), Coded(demtest::Surface(8, 8, 200, 6), 200)};
  l.tiles[1].dataOffset = 0x100000;  // far beyond the sub-file's end
  b.levels = {l};
  DemMap_t d;
  ASSERT_EQ(0, d.Open(b));
  ASSERT_EQ(0, d.Select(0));
  EXPECT_EQ(3, mpl::MdbDemGetRow(d.map, 1, 0));
  int result = 0;
  std::vector<std::int16_t> h = DecodeAll(d, 1, &result);
  EXPECT_EQ(3, result);
  EXPECT_EQ(0x7777, h.back());  // it stopped at the failing row
  // A stream of zeros never ends a zero count: it runs into the sub-file's end.
  DemTile_t zeros;
  zeros.maxDiff = 200;
  zeros.stream = std::string(600, '\0');
  b.levels[0].tiles = {zeros};
  DemMap_t z;
  ASSERT_EQ(0, z.Open(b));
  ASSERT_EQ(0, z.Select(0));
  EXPECT_EQ(3, mpl::MdbDemGetRow(z.map, 0, 0));
  // Neither the sub-file closed nor a level missing decodes anything.
  mpl::MdbMap_t none;
  EXPECT_EQ(1, mpl::MdbDemGetRow(none, 0, 0));
}

// A stream of more than one chunk that ends at the sub-file's very end: the
// unread tail of the last chunk reads as zeros.
TEST(DemDecodeTest, ALastChunkCutShortByTheSubfileEnd) {
  DemBuilder_t b;
  DemLevel_t l = Level(64, 1, 1, 64);
  std::vector<std::uint16_t> noisy(64 * 64);
  std::mt19937 rng(9);
  for (auto& v : noisy) v = static_cast<std::uint16_t>(rng() % 4000);
  l.recordFlags = 0x08;
  l.tiles = {Coded(noisy, 4000, 0)};
  l.highest = 32000;
  b.levels = {l};
  std::string dem = b.Build();
  dem.resize(dem.size() - 4);  // drop the builder's padding
  ASSERT_GT(dem.size(), 2 * mpl::kMdbDemChunk);
  DemMap_t d;
  ASSERT_EQ(0, d.Open(dem));
  ASSERT_EQ(0, d.Select(0));
  int result = -1;
  std::vector<std::int16_t> h = DecodeAll(d, 0, &result);
  ASSERT_EQ(0, result);
  for (std::size_t i = 0; i < noisy.size(); ++i) ASSERT_EQ(noisy[i], h[i]) << i;
}

// An unavailable medium passing through the decoder inside a row leaves no
// row current: the rows asked for afterwards are decoded anew.
TEST(DemDecodeTest, AMediumTakenOutInsideARowLeavesNoRowCurrent) {
  CodedTile_t t;
  ASSERT_EQ(0, t.Open(64, 4000, 11));
  EXPECT_EQ(t.Expected(0), t.d.Row(0, 0));
  t.d.media->SetMissing(true);
  EXPECT_THROW(mpl::MdbDemGetRow(t.d.map, 0, 63), dsk::MediaUnavailable_t);
  t.d.media->SetMissing(false);
  for (std::uint16_t row = 0; row < 64; ++row) ASSERT_EQ(t.Expected(row), t.d.Row(0, row)) << row;
}

TEST(DemDecodeTest, ReadChunkShortensAtTheEnd) {
  DemBuilder_t b;
  b.levels = {Level(4, 1, 1)};
  DemMap_t d;
  ASSERT_EQ(0, d.Open(b));
  const std::uint32_t end = d.map.dem.length;
  std::uint8_t buf[8];
  std::uint32_t pos = end - 3;
  EXPECT_EQ(0, mpl::MdbDemReadChunk(buf, 8, pos, d.map));
  EXPECT_EQ(end, pos);
  EXPECT_EQ(0, buf[7]);
  EXPECT_EQ(0, mpl::MdbDemReadChunk(buf, 8, pos, d.map));  // exactly at the end: nothing read
  pos = end + 1;
  EXPECT_EQ(3, mpl::MdbDemReadChunk(buf, 8, pos, d.map));
}

}  // namespace
