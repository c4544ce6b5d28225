// Opening a map of a built image: the header fields of TRE, RGN, LBL, NET and
// NOD by their gates, map ids, the optional sub-files, closing and copying,
// and the malformed headers that must fail or be read safely.
#include <gtest/gtest.h>

#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Subfile.h"
#include "tests/imgkit/MapImage.h"
#include "tests/mpl/MapFixture.h"

namespace {

using imgkit::MapBuilder_t;

int Open(mpl::MdbMap_t& map, const MapBuilder_t& b, const std::string& sortName = std::string()) {
  return mpl::MdbOpen(map, b.name, sortName, imgkit::OpenImage(b.Build()));
}

TEST(EngineHeaderTest, OpensAMapWithEveryHeader) {
  MapBuilder_t b = mpltest::BasicMap();
  b.tre.mapId = 0xF1234567;  // the id keeps the low 28 bits
  b.tre.flags = (0x35u << 18) | (1u << 26) | (0x11u << 13);
  b.tre.overviews[0] = {std::string(6, 'l'), 3, 0xC5};
  b.tre.overviews[1] = {std::string(8, 'a'), 2, 0x01};
  b.tre.overviews[2] = {std::string(12, 'p'), 4, 0x02};
  b.tre.extTypes = {imgkit::TreTable_t{std::string(10, 'x'), 0, 0}, imgkit::TreTable_t{std::string(5, 'y'), 0, 0},
                    imgkit::TreTable_t{std::string(15, 'z'), 0, 0}};
  b.tre.extTypeRecordSize = 5;
  b.tre.extFlags = 0x07;
  for (std::uint32_t w = 0; w < 21; ++w) b.rgn.ext[w] = 100 + w;
  b.rgn.length = 125;
  b.rgn.more = {7, 8};
  b.lbl.length = 236;
  b.lbl.labelShift = 1;
  b.lbl.countries = {0x300, 30, 3, 0};
  b.lbl.regions = {0x400, 50, 5, 0};
  b.lbl.cities = {0x500, 50, 5, 0x80000000};
  b.lbl.propOffset = 0x600;
  b.lbl.propShift = 2;
  b.lbl.propFlags = 0x55;
  b.lbl.exits = {0x700, 60, 6, 0};
  b.lbl.facilities = {0x800, 40, 4, 2};
  b.lbl.table156 = {0x900, 9, 3, 0};
  b.lbl.sortCodePage = 1252;
  b.lbl.sortId = 7;
  b.lbl.marineOffset = 0xA00;
  b.lbl.marineRecordSize = 12;
  b.lbl.offset222 = 0xB00;
  b.lbl.bytes234 = {1, 2};
  b.net->first = {0x100, 0x80, 2};
  b.net->second = {0x180, 0x40, 1};
  b.net->tableOffset = 0x1C0;
  b.net->tableLength = 30;
  b.net->tableRecordSize = 3;
  b.net->byte53 = 1;
  b.net->byte54 = 2;
  b.net->mask = (1u << 5) | (1u << 6) | (1u << 11);  // levels 0, 1 and 6
  b.net->flags = 0x1;
  b.nod->flags = 0x100;
  b.nod->word57 = 0x5757;

  mpl::MdbMap_t map;
  ASSERT_EQ(0, Open(map, b));
  EXPECT_TRUE(mpl::MdbIsMapOpen(map));
  EXPECT_EQ(0x01234567u, map.mapId);
  EXPECT_EQ(0x00200000, map.bounds.north);
  EXPECT_EQ(0x00300000, map.bounds.east);
  EXPECT_EQ(-0x00100000, map.bounds.south);
  EXPECT_EQ(-0x00200000, map.bounds.west);

  const mpl::MdbTre_t& tre = map.tre;
  EXPECT_EQ(4u, tre.totalSubdivs);
  EXPECT_EQ((std::array<std::uint16_t, 9>{4, 3, 2, 1, 0, 0, 0, 0, 0}), tre.firstSubdiv);
  EXPECT_EQ((std::array<std::uint8_t, 9>{24, 22, 20, 18, 0, 0, 0, 0, 0}), tre.levelBits);
  EXPECT_EQ(0xFFF8, tre.levelMask);
  EXPECT_EQ(0, tre.lowestLevel);
  EXPECT_EQ(3, tre.highestLevel);
  EXPECT_EQ(b.tre.layout.subdivOffset, tre.subdivOffset);
  EXPECT_EQ(0x35u + 64, tre.valueA);
  EXPECT_EQ(0x11u, tre.valueB);
  EXPECT_EQ(2u, tre.overviews[mpl::kMdbLines].count);
  EXPECT_EQ(0x05, tre.overviews[mpl::kMdbLines].extra);
  EXPECT_EQ(4u, tre.overviews[mpl::kMdbAreas].count);
  EXPECT_EQ(3u, tre.overviews[mpl::kMdbPoints].count);
  EXPECT_EQ(4, tre.overviews[mpl::kMdbPoints].recordSize);
  // One extended record per subdivision and one at the end.
  EXPECT_EQ(b.tre.layout.extOffset, tre.ext.offset);
  EXPECT_EQ(4u, tre.ext.lastIndex);
  EXPECT_EQ(1u, tre.ext.firstCovered);
  EXPECT_EQ(12, tre.ext.recordSize);
  EXPECT_EQ(7u, tre.ext.flags);
  EXPECT_EQ(2u, tre.extTypes[mpl::kMdbLines].count);
  EXPECT_EQ(1u, tre.extTypes[mpl::kMdbAreas].count);
  EXPECT_EQ(3u, tre.extTypes[mpl::kMdbPoints].count);
  EXPECT_EQ(tre.extTypes[mpl::kMdbLines].offset + 10, tre.extTypes[mpl::kMdbAreas].offset);
  EXPECT_EQ(tre.extTypes[mpl::kMdbAreas].offset + 5, tre.extTypes[mpl::kMdbPoints].offset);
  // NOD flag bit 8 becomes TRE flag bit 5.
  EXPECT_EQ(b.tre.flags | 0x20, tre.flags);

  EXPECT_EQ(125u, map.rgn.dataOffset);
  EXPECT_EQ(0x30u, map.rgn.dataLength);
  EXPECT_EQ(100u, map.rgn.extWords[0]);
  EXPECT_EQ(120u, map.rgn.extWords[20]);
  EXPECT_EQ((std::array<std::uint32_t, 2>{7, 8}), map.rgn.more);
  const mpl::MdbExtSection_t lines = mpl::MdbExtSection(map.rgn, 1);
  EXPECT_EQ(107u, lines.offset);
  EXPECT_EQ(110u, lines.trailer);
  EXPECT_EQ(111u, lines.optionMask);
  EXPECT_EQ(113u, lines.sizeCodes[1]);

  const mpl::MdbLbl_t& lbl = map.lbl;
  EXPECT_EQ(0x200u, lbl.labels.offset);
  EXPECT_EQ(1, lbl.labels.shift);
  EXPECT_EQ(6, lbl.labels.encoding);
  EXPECT_EQ(10u, lbl.countries.count);
  EXPECT_EQ(10u, lbl.regions.count);
  EXPECT_EQ(10u, lbl.cities.count);
  EXPECT_EQ(5, lbl.cities.recordSize);  // bit 31 of the word at 69 set: bit 15 clear
  EXPECT_EQ(0x600u, lbl.properties.offset);
  EXPECT_EQ(2, lbl.properties.shift);
  EXPECT_EQ(0x55u, lbl.properties.flags);
  EXPECT_EQ(10u, lbl.exits.count);
  EXPECT_EQ(10u, lbl.facilities.count);
  EXPECT_EQ(2u, lbl.facilityFlags);
  EXPECT_EQ(3u, lbl.table156.count);
  EXPECT_EQ(1252, lbl.sortCodePage);
  EXPECT_EQ(7, lbl.sortId);
  EXPECT_EQ(0xA00u, lbl.marineOffset);
  EXPECT_EQ(12, lbl.marineRecordSize);
  EXPECT_EQ(0xB00u, lbl.offset222);
  EXPECT_EQ((std::array<std::uint8_t, 2>{1, 2}), lbl.bytes234);

  const mpl::MdbNet_t& net = map.net;
  EXPECT_TRUE(net.file.IsOpen());
  EXPECT_TRUE(net.file2.IsOpen());
  EXPECT_EQ(0x100u, net.first.offset);
  EXPECT_EQ(2, net.first.shift);
  EXPECT_EQ(0x40u, net.second.length);
  EXPECT_EQ(10u, net.table.count);
  EXPECT_EQ(7, net.shiftValue);
  EXPECT_EQ((std::array<std::uint8_t, 9>{0, 1, 2, 3, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), net.levelIndex);
  EXPECT_EQ(0x1u | 0x442010u | 0x400010u | 0x4000000u, net.flags);
  EXPECT_EQ(0x100u, map.nod.flags);
  EXPECT_EQ(0x5757, map.nod.word57);

  // Search state after the open.
  EXPECT_EQ(0, map.level);
  EXPECT_EQ(0x40000000, map.searchRect.north);
  EXPECT_EQ(static_cast<std::int32_t>(0x80000000), map.searchRect.west);
  EXPECT_EQ(static_cast<std::int32_t>(0xBFFFFFFF), map.exclusion.north);
  EXPECT_EQ(nullptr, mpl::MdbActiveFilter(map));
  EXPECT_FALSE(map.srt.file.IsOpen());
  EXPECT_FALSE(map.dem.file.IsOpen());
}

// Fields beyond a header's length are not read; a field with its gate
// exactly met is.
TEST(EngineHeaderTest, GatesFollowTheHeaderLength) {
  struct Case_t {
    std::uint16_t treLength;
    bool flags, lineOverview, pointOverview, ext;
  };
  const Case_t cases[] = {
      {63, false, false, false, false},  {64, true, false, false, false},  {75, true, true, false, false},
      {112, true, true, false, false},   {113, true, true, true, false},   {134, true, true, true, false},
      {135, true, true, true, true},
  };
  for (const Case_t& c : cases) {
    MapBuilder_t b = mpltest::BasicMap();
    b.tre.headerLength = c.treLength;
    b.tre.flags = 1u << 13;
    b.tre.overviews[0] = {std::string(4, 'l'), 2, 0};
    b.tre.overviews[2] = {std::string(4, 'p'), 2, 0};
    b.tre.extFlags = 1;
    mpl::MdbMap_t map;
    ASSERT_EQ(0, Open(map, b)) << c.treLength;
    EXPECT_EQ(c.flags ? 1u : 0u, map.tre.valueB) << c.treLength;
    EXPECT_EQ(c.lineOverview ? 2u : 0u, map.tre.overviews[0].count) << c.treLength;
    EXPECT_EQ(c.pointOverview ? 2u : 0u, map.tre.overviews[2].count) << c.treLength;
    EXPECT_EQ(c.ext ? 1u : 0u, map.tre.ext.firstCovered) << c.treLength;
  }

  // Extended tables need a header of 2001 or later.
  MapBuilder_t old = mpltest::BasicMap();
  old.tre.date.year = 2000;
  old.tre.extFlags = 1;
  old.tre.extTypes[0] = {std::string(4, 'x'), 0, 0};
  old.tre.extTypeRecordSize = 2;
  mpl::MdbMap_t map;
  ASSERT_EQ(0, Open(map, old));
  EXPECT_EQ(0u, map.tre.ext.firstCovered);
  EXPECT_EQ(0u, map.tre.extTypes[0].count);

  // LBL descriptors stop at the first one the length does not reach.
  MapBuilder_t lbl = mpltest::BasicMap();
  lbl.lbl.length = 58;
  lbl.lbl.countries = {0x300, 30, 3, 0};
  lbl.lbl.regions = {0x400, 50, 5, 0};
  ASSERT_EQ(0, Open(map, lbl));
  EXPECT_EQ(10u, map.lbl.countries.count);
  EXPECT_EQ(0u, map.lbl.regions.count);
  EXPECT_EQ(0u, map.lbl.regions.offset);
  // Bit 31 of the word at 69 clear: the city record size gets bit 15.
  lbl.lbl.length = 73;
  lbl.lbl.cities = {0x500, 50, 5, 0};
  ASSERT_EQ(0, Open(map, lbl));
  EXPECT_EQ(0x8005, map.lbl.cities.recordSize);
  EXPECT_EQ(10u, map.lbl.cities.count);

  // A short NET header keeps the mask at 1; a short NOD header keeps its words 0.
  MapBuilder_t net = mpltest::BasicMap();
  net.net->length = 59;
  net.net->mask = 0xFFFF;
  net.net->flags = 0x8;
  net.nod->length = 48;
  net.nod->flags = 0x100;
  ASSERT_EQ(0, Open(map, net));
  EXPECT_EQ(1u, map.net.mask);
  EXPECT_EQ(0u, map.net.flags);
  EXPECT_EQ(0u, map.nod.flags);
  EXPECT_EQ(0u, map.tre.flags & 0x20);
}

// Maps whose TRE header is too short for an id take it from the name and date.
TEST(EngineHeaderTest, MapIdsFromNamesAndDates) {
  struct Case_t {
    const char* name;
    imgkit::Date_t date;
    std::uint32_t id;
  };
  const Case_t cases[] = {
      {"12345678", {2005, 5, 1, 0, 0, 0}, 287054},   // 24910 + 1 x 262144
      {"MAPNAME", {2001, 2, 2, 0, 0, 0}, 46080},
      {"MAPNAME", {2003, 1, 1, 0, 0, 0}, 0xFFFF},
      {"A:00042", {2003, 4, 9, 0, 0, 0}, 42},        // April: month & 3 = 0
      {"MAP1", {2003, 3, 4, 5, 6, 0}, (((2 * 31 + 3) * 24 + 5) * 60 + 6) & 0xFFFF},
  };
  for (const Case_t& c : cases) {
    MapBuilder_t b = mpltest::BasicMap();
    b.name = c.name;
    b.tre.headerLength = 116;
    b.tre.date = c.date;
    b.tre.mapId = 999;  // beyond the header: not read
    if (std::string(c.name).find(':') != std::string::npos) {
      // Directory names cannot hold a colon: check the rule directly.
      EXPECT_EQ(c.id, mpl::MdbMapIdFromName(c.name, c.date.month, c.date.day, c.date.hour, c.date.minute));
      continue;
    }
    mpl::MdbMap_t map;
    ASSERT_EQ(0, Open(map, b)) << c.name;
    EXPECT_EQ(c.id, map.mapId) << c.name;
  }
  EXPECT_EQ(5u + (1u << 18), mpl::MdbMapIdFromName("X:5", 5, 1, 0, 0));
  EXPECT_EQ(0u + (1u << 18), mpl::MdbMapIdFromName("X:", 5, 1, 0, 0));

  // An id of 0 in the header opens, but the map then counts as not open.
  MapBuilder_t zero = mpltest::BasicMap();
  zero.tre.mapId = 0;
  mpl::MdbMap_t map;
  EXPECT_EQ(0, Open(map, zero));
  EXPECT_FALSE(mpl::MdbIsMapOpen(map));
}

TEST(EngineHeaderTest, QuirkAndWholeCircleBounds) {
  MapBuilder_t b = mpltest::BasicMap();
  b.tre.date = {2001, 2, 2, 10, 0, 0};
  b.tre.word67 = 0x000B1234;
  b.tre.flags = 0;
  mpl::MdbMap_t map;
  ASSERT_EQ(0, Open(map, b));
  EXPECT_EQ(71u, map.tre.valueA);
  EXPECT_EQ(6u, map.tre.valueB);
  b.tre.mapId = 2125566;
  ASSERT_EQ(0, Open(map, b));
  EXPECT_EQ(0u, map.tre.valueA);
  b.tre.mapId = 1;
  b.tre.date.day = 3;
  ASSERT_EQ(0, Open(map, b));
  EXPECT_EQ(0u, map.tre.valueA);

  // West equal to east: the whole circle of longitude.
  MapBuilder_t all = mpltest::BasicMap();
  all.tre.west = all.tre.east = 0x00400000;
  ASSERT_EQ(0, Open(map, all));
  EXPECT_EQ(0x00400000, map.bounds.west);
  EXPECT_EQ(0x003FFFFF, map.bounds.east);
}

TEST(EngineHeaderTest, OptionalAndMissingSubfiles) {
  MapBuilder_t bare = mpltest::BasicMap();
  bare.net.reset();
  bare.nod.reset();
  mpl::MdbMap_t map;
  ASSERT_EQ(0, Open(map, bare));
  EXPECT_FALSE(map.net.file.IsOpen());
  EXPECT_FALSE(map.nod.file.IsOpen());
  EXPECT_EQ(0xFF, map.net.levelIndex[0]);

  // A NET or NOD of another magic leaves its fields 0 and its handle open.
  MapBuilder_t foreign = mpltest::BasicMap();
  foreign.net->flags = 5;
  foreign.nod->flags = 0x100;
  std::vector<imgkit::MapFile_t> files = foreign.Files();
  for (imgkit::MapFile_t& f : files)
    if (f.name.ends_with(".NET") || f.name.ends_with(".NOD")) f.data[9] = 'X';
  ASSERT_EQ(0, mpl::MdbOpen(map, foreign.name, "", imgkit::OpenImage(imgkit::MapImage(files))));
  EXPECT_TRUE(map.net.file.IsOpen());
  EXPECT_EQ(0u, map.net.flags);
  EXPECT_TRUE(map.nod.file.IsOpen());
  EXPECT_EQ(0u, map.nod.flags);

  // TRE, RGN and LBL must be there, with their magic and format word.
  for (const char* ext : {".TRE", ".RGN", ".LBL"}) {
    for (int damage = 0; damage < 3; ++damage) {
      std::vector<imgkit::MapFile_t> f = mpltest::BasicMap().Files();
      for (auto it = f.begin(); it != f.end(); ++it) {
        if (!it->name.ends_with(ext)) continue;
        if (damage == 0) {
          f.erase(it);
        } else if (damage == 1) {
          it->data[2] = 'W';
        } else {
          it->data[12] = 2;
        }
        break;
      }
      ASSERT_EQ(1, mpl::MdbOpen(map, "12345678", "", imgkit::OpenImage(imgkit::MapImage(f)))) << ext << damage;
      EXPECT_FALSE(mpl::MdbIsMapOpen(map));
      EXPECT_FALSE(map.tre.file.IsOpen());
      EXPECT_FALSE(map.rgn.file.IsOpen());
      EXPECT_FALSE(map.lbl.file.IsOpen());
    }
  }

  // A named sort table that is missing fails the open.
  EXPECT_EQ(1, Open(map, mpltest::BasicMap(), "SORT"));
  EXPECT_FALSE(mpl::MdbIsMapOpen(map));
  EXPECT_FALSE(map.srt.file.IsOpen());
}

TEST(EngineHeaderTest, CloseCopyAndReopen) {
  mpl::MdbMap_t map;
  mpl::MdbClose(map);
  mpl::MdbClose(map);
  mpl::MdbMap_t copy;
  EXPECT_EQ(0, mpl::MdbCopy(copy, map));
  EXPECT_FALSE(mpl::MdbIsMapOpen(copy));

  ASSERT_EQ(0, Open(map, mpltest::BasicMap()));
  map.searchRect = {10, 20, -10, -20};
  map.areaFilter.kind = 1;
  map.areaFilter.entries[3] = 4;
  map.active = mpl::MdbActive_t::kAreas;
  ASSERT_EQ(0, mpl::MdbCopy(copy, map));
  EXPECT_TRUE(mpl::MdbIsMapOpen(copy));
  EXPECT_EQ(map.mapId, copy.mapId);
  EXPECT_EQ(10, copy.searchRect.north);
  EXPECT_EQ(&copy.areaFilter, mpl::MdbActiveFilter(copy));
  EXPECT_EQ(1u, copy.areaFilter.entries.count(3));
  // The copy's handles are its own: moving or closing the source's leaves them.
  ASSERT_EQ(10, mpl::MdbSeek(map.tre.file, 10, 0));
  EXPECT_EQ(0u, mpl::MdbTell(copy.tre.file));
  mpl::MdbClose(map);
  EXPECT_FALSE(mpl::MdbIsMapOpen(map));
  EXPECT_TRUE(mpl::MdbIsMapOpen(copy));
  std::uint8_t magic[10];
  ASSERT_EQ(0, mpl::MdbRead(copy.rgn.file, 2, magic, 10));
  EXPECT_EQ("VORTAN RGN", std::string(reinterpret_cast<char*>(magic), 10));

  // Opening an open context closes it first; a failed open leaves it closed.
  ASSERT_EQ(0, Open(copy, mpltest::BasicMap()));
  MapBuilder_t bad = mpltest::BasicMap();
  bad.tre.levels[0].number = 9;
  EXPECT_EQ(1, Open(copy, bad));
  EXPECT_FALSE(mpl::MdbIsMapOpen(copy));
  EXPECT_EQ(0u, copy.mapId);
}

// Damaged TRE data that must fail the open instead of overrunning the
// context's tables or wrapping the subdivision numbers.
TEST(EngineHeaderTest, MalformedTreHeadersFail) {
  auto withLevels = [](std::vector<imgkit::TreLevel_t> levels) {
    MapBuilder_t b = mpltest::BasicMap();
    b.tre.levels = std::move(levels);
    return b;
  };
  std::vector<std::pair<const char*, MapBuilder_t>> cases;
  cases.push_back({"level 9", withLevels({{9, 10, false, {}, {}}})});
  cases.push_back({"level 127", withLevels({{127, 10, false, {}, {}}})});
  std::vector<imgkit::TreLevel_t> ten;
  for (std::uint8_t n = 0; n < 10; ++n) ten.push_back({static_cast<std::uint8_t>(n % 9), 10, false, {}, {}});
  cases.push_back({"ten level records", withLevels(ten)});
  cases.push_back({"level twice", withLevels({{1, 10, false, {}, {}}, {1, 12, false, {}, {}}})});
  cases.push_back({"numbers past 65535", withLevels({{1, 10, false, {}, 40000}, {0, 12, false, {}, 30000}})});
  MapBuilder_t covers = mpltest::BasicMap();
  covers.tre.extFlags = 1;
  covers.tre.extFirstCovered = 1;
  covers.tre.extTableLength = 4 * 7;  // six covered subdivisions of four
  cases.push_back({"extended table longer than the map", covers});

  for (const auto& [what, b] : cases) {
    mpl::MdbMap_t map;
    EXPECT_EQ(1, Open(map, b)) << what;
    EXPECT_FALSE(map.tre.file.IsOpen()) << what;
  }

  // Nine records with numbers 0 to 8 are fine.
  std::vector<imgkit::TreLevel_t> nine;
  for (std::uint8_t n = 0; n < 9; ++n) nine.push_back({n, static_cast<std::uint8_t>(24 - n), false, {}, {}});
  mpl::MdbMap_t map;
  EXPECT_EQ(0, Open(map, withLevels(nine)));
  EXPECT_EQ(8, map.tre.highestLevel);

  // A TRE shorter than its 188-byte header read.
  std::vector<imgkit::MapFile_t> f = mpltest::BasicMap().Files();
  f[0].data.resize(187);
  EXPECT_EQ(1, mpl::MdbOpen(map, "12345678", "", imgkit::OpenImage(imgkit::MapImage(f))));
}

// Record sizes of 0 give counts of 0; headers longer than their files are
// read as far as the files go, the rest as zeros.
TEST(EngineHeaderTest, ZeroRecordSizesAndShortHeaders) {
  MapBuilder_t b = mpltest::BasicMap();
  b.tre.overviews[1] = {std::string(8, 'a'), 0, 0};
  b.lbl.countries = {0x300, 30, 0, 0};
  b.lbl.cities = {0x300, 30, 0x8000, 0};
  b.net->tableLength = 30;
  b.net->tableRecordSize = 0;
  b.tre.extFlags = 1;
  b.tre.extRecordSize = 0;
  mpl::MdbMap_t map;
  ASSERT_EQ(0, Open(map, b));
  EXPECT_EQ(0u, map.tre.overviews[1].count);
  EXPECT_EQ(0u, map.lbl.countries.count);
  EXPECT_EQ(0u, map.lbl.cities.count);
  EXPECT_EQ(0u, map.net.table.count);

  std::vector<imgkit::MapFile_t> f = mpltest::BasicMap().Files();
  for (imgkit::MapFile_t& file : f) {
    if (file.name.ends_with(".LBL")) {
      imgkit::Put16(file.data, 0, 236);  // claims every descriptor
      file.data.resize(40);             // holds the label section only
      imgkit::Put32(file.data, 21, 0x1234);
    }
    if (file.name.ends_with(".RGN")) {
      imgkit::Put16(file.data, 0, 125);
      file.data.resize(30);
      imgkit::Put32(file.data, 21, 0x10);
    }
  }
  ASSERT_EQ(0, mpl::MdbOpen(map, "12345678", "", imgkit::OpenImage(imgkit::MapImage(f))));
  EXPECT_EQ(0x1234u, map.lbl.labels.offset);
  EXPECT_EQ(0u, map.lbl.codePage);
  EXPECT_EQ(0u, map.lbl.marineOffset);
  EXPECT_EQ(0x10u, map.rgn.dataOffset);
  EXPECT_EQ(0u, map.rgn.extWords[20]);
}

TEST(EngineHeaderTest, ShiftHelpers) {
  EXPECT_EQ(8u, mpl::MdbLevelShift(24));
  EXPECT_EQ(0u, mpl::MdbLevelShift(32));
  EXPECT_EQ(0u, mpl::MdbLevelShift(0));
  EXPECT_EQ(31u, mpl::MdbLevelShift(1));
  EXPECT_EQ(-256, mpl::MdbShiftDelta(-1, 24));
  std::uint32_t out = 1;
  EXPECT_TRUE(mpl::MdbShiftOffset(0x00FFFFFF, 8, out));
  EXPECT_EQ(0xFFFFFF00u, out);
  EXPECT_FALSE(mpl::MdbShiftOffset(0x01000000, 8, out));  // past every section
  EXPECT_TRUE(mpl::MdbShiftOffset(0x12, 0, out));
  EXPECT_EQ(0x12u, out);
  EXPECT_FALSE(mpl::MdbShiftOffset(1, 40, out));
}

}  // namespace
