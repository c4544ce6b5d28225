// The subdivisions of TRE: loading records of both sizes, their boxes, RGN
// ranges and extended pointers, and the walk over a level by the search
// rectangle, the exclusion box and the extended kinds, on good and damaged data.
#include <gtest/gtest.h>

#include <vector>

#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Tre.h"
#include "tests/imgkit/MapImage.h"
#include "tests/mpl/MapFixture.h"

namespace {

constexpr std::int32_t q = 0x80000;

void Open(mpl::MdbMap_t& map, const imgkit::MapBuilder_t& b) {
  ASSERT_EQ(0, mpl::MdbOpen(map, b.name, "", imgkit::OpenImage(b.Build())));
}

// Every subdivision the walk of a level yields, then its final result.
std::vector<unsigned> Walk(mpl::MdbMap_t& map, unsigned level, int& end) {
  mpl::MdbResetWalk(map);
  std::vector<unsigned> seen;
  for (int guard = 0; guard < 1000; ++guard) {
    end = mpl::MdbNextSubdivision(map, level);
    if (end != 0) return seen;
    seen.push_back(map.subdiv.number);
  }
  ADD_FAILURE() << "the walk does not end";
  return seen;
}

std::vector<unsigned> Walk(mpl::MdbMap_t& map, unsigned level) {
  int end = 0;
  std::vector<unsigned> seen = Walk(map, level, end);
  EXPECT_EQ(3, end);
  return seen;
}

TEST(SubdivisionTest, LoadsRecordsOfBothSizes) {
  mpl::MdbMap_t map;
  const imgkit::MapBuilder_t b = mpltest::GridMap();
  Open(map, b);
  // The lowest level's records are 14 bytes: record 9 lies 4 bytes before 16 x 8.
  EXPECT_EQ(b.tre.layout.subdivOffset + 16 * 8 - 4, b.tre.layout.recordOffsets[8]);

  ASSERT_EQ(0, mpl::MdbLoadSubdivision(map, 3, false));
  const mpl::MdbSubdivision_t& s = map.subdiv;
  EXPECT_EQ(3, s.number);
  EXPECT_EQ(1, s.level);
  EXPECT_EQ(20, s.bits);
  EXPECT_EQ(0x20u, s.rgnOffset);
  EXPECT_EQ(0x10, s.dataLength);
  EXPECT_EQ(0x0C, s.kinds);
  EXPECT_FALSE(s.lastOfGroup);
  EXPECT_EQ(7, s.firstChild);
  EXPECT_EQ(q, s.centreLat);
  EXPECT_EQ(-3 * q, s.centreLon);
  EXPECT_EQ(2 * q, s.box.north);  // 128 units of 4096
  EXPECT_EQ(0, s.box.south);
  EXPECT_EQ(-2 * q, s.box.east);
  EXPECT_EQ(-4 * q, s.box.west);
  EXPECT_FALSE(s.extLoaded);

  for (unsigned n = 7; n <= 10; ++n) {
    ASSERT_EQ(0, mpl::MdbLoadSubdivision(map, n, true));
    EXPECT_EQ(0, s.level);
    EXPECT_EQ(0, s.firstChild);
    EXPECT_TRUE(s.lastOfGroup);
    EXPECT_EQ(0x10, s.dataLength);  // the last one's end is the offset after the records
    EXPECT_TRUE(s.extLoaded);
  }
  mpl::MdbBox_t box;
  ASSERT_EQ(0, mpl::MdbGetSubdivisionBox(map, box, 4));
  EXPECT_EQ(0, box.north);
  EXPECT_EQ(-2 * q, box.south);
  EXPECT_EQ(4, map.subdiv.number);

  for (unsigned n : {0u, 11u, 0xFFFFu}) {
    EXPECT_EQ(1, mpl::MdbLoadSubdivision(map, n, false)) << n;
    EXPECT_EQ(0, map.subdiv.number);
  }
}

TEST(SubdivisionTest, RecordFields) {
  // Width 0 stands for 0x8000 units; at 16 bits that is half the circle, whose
  // east edge is one less. Kind bit 4 sits in the height word.
  imgkit::MapBuilder_t b = mpltest::BasicMap();
  imgkit::TreSubdiv_t wide = mpltest::Subdiv(0, 0x100, 0, 0, true, 0);
  wide.halfHeight = 5;
  wide.kinds = 0x11;
  imgkit::TreSubdiv_t narrow = mpltest::Subdiv(-0x1000, 0x200, 0, 4, true, 0);
  b.tre.levels = {{1, 16, false, {wide}, {}}, {0, 24, false, {narrow}, {}}};
  b.tre.levels[0].subdivs[0].firstChild = 2;
  b.tre.rgnEnd = 0x10004;  // lengths are kept in 16 bits
  mpl::MdbMap_t map;
  Open(map, b);
  ASSERT_EQ(0, mpl::MdbLoadSubdivision(map, 1, false));
  EXPECT_EQ(static_cast<std::int32_t>(0x800000FF), map.subdiv.box.east);
  EXPECT_EQ(static_cast<std::int32_t>(0x80000100), map.subdiv.box.west);
  EXPECT_EQ(5 << 16, map.subdiv.box.north);
  EXPECT_EQ(0x11, map.subdiv.kinds);
  EXPECT_EQ(4, map.subdiv.dataLength);
  ASSERT_EQ(0, mpl::MdbLoadSubdivision(map, 2, false));
  EXPECT_EQ(0x200 + 0x800000, map.subdiv.box.east);
  EXPECT_EQ(-0x1000 - 0x800000, map.subdiv.box.south);
  EXPECT_EQ(0, map.subdiv.dataLength);

  // An RGN offset below the one before it is bad data.
  b.tre.rgnEnd = 2;
  Open(map, b);
  EXPECT_EQ(1, mpl::MdbLoadSubdivision(map, 2, false));
}

// A half height of 0x8000 units at 16 bits runs past the 32-bit range: the
// box is held to the world's latitudes, and the walk still enters it and
// its child.
TEST(SubdivisionTest, HalfHeightPastTheRangeIsHeldToTheWorld) {
  imgkit::MapBuilder_t b = mpltest::BasicMap();
  imgkit::TreSubdiv_t tall = mpltest::Subdiv(0x10000, 0x100, 4, 0, true, 2);
  tall.halfHeight = 0;
  b.tre.levels = {{1, 16, false, {tall}, {}}, {0, 24, false, {mpltest::Subdiv(-0x1000, 0x200, 4, 0, true, 0)}, {}}};
  b.tre.rgnEnd = 0;
  mpl::MdbMap_t map;
  Open(map, b);
  ASSERT_EQ(0, mpl::MdbLoadSubdivision(map, 1, false));
  EXPECT_EQ(mpl::kMdbWorld.north, map.subdiv.box.north);
  EXPECT_EQ(mpl::kMdbWorld.south, map.subdiv.box.south);
  EXPECT_EQ(0x100 + (4 << 16), map.subdiv.box.east);
  map.searchRect = {0x1000, 0x1000, -0x2000, 0};
  EXPECT_EQ((std::vector<unsigned>{1}), Walk(map, 1));
  EXPECT_EQ((std::vector<unsigned>{2}), Walk(map, 0));
}

TEST(SubdivisionTest, ExtendedPointers) {
  imgkit::MapBuilder_t b = mpltest::GridMap();
  b.tre.extFlags = 0x427;  // areas, lines, points and a three-byte kinds word
  b.tre.extFirstCovered = 3;
  b.tre.levels[2].subdivs[1].extKinds = 0x30201;
  mpl::MdbMap_t map;
  Open(map, b);
  EXPECT_EQ(3u, map.tre.ext.firstCovered);
  EXPECT_EQ(8u, map.tre.ext.lastIndex);
  ASSERT_EQ(0, mpl::MdbLoadExtPointers(map, 8));
  // Starts add up the lengths of 3 to 7 (3 + ... + 7 = 25).
  EXPECT_EQ((std::array<std::uint32_t, 3>{25, 50, 0}), map.extPointers.start);
  EXPECT_EQ((std::array<std::uint32_t, 3>{8, 16, 0}), map.extPointers.length);
  EXPECT_EQ(0x30201u, map.extPointers.kindsWord);
  EXPECT_TRUE(map.subdiv.extLoaded);
  // Below the first covered subdivision: nothing.
  ASSERT_EQ(0, mpl::MdbLoadExtPointers(map, 2));
  EXPECT_EQ(0u, map.extPointers.length[0]);
  ASSERT_EQ(0, mpl::MdbLoadExtPointers(map, 10));
  EXPECT_EQ(10u, map.extPointers.length[0]);

  // A table covers the last subdivisions; past its end there is no record.
  imgkit::MapBuilder_t shortTable = mpltest::GridMap();
  shortTable.tre.extTableLength = 3 * 9;  // covers 9 and 10
  Open(map, shortTable);
  EXPECT_EQ(9u, map.tre.ext.firstCovered);
  ASSERT_EQ(0, mpl::MdbLoadExtPointers(map, 8));
  EXPECT_EQ(0u, map.extPointers.length[0]);
  ASSERT_EQ(0, mpl::MdbLoadExtPointers(map, 10));
  EXPECT_EQ(2u, map.extPointers.length[0]);  // the records of 2 and 3 as written
  EXPECT_EQ(1, mpl::MdbLoadExtPointers(map, 11));
  EXPECT_FALSE(map.subdiv.extLoaded);  // a failed load does not count as loaded

  imgkit::MapBuilder_t big = mpltest::GridMap();
  big.tre.levels[2].subdivs[0].extLength = {0x10000, 0, 0};
  Open(map, big);
  EXPECT_EQ(1, mpl::MdbLoadExtPointers(map, 7));
  big.tre.levels[2].subdivs[0].extLength = {0xFFFF, 0, 0};
  Open(map, big);
  EXPECT_EQ(0, mpl::MdbLoadExtPointers(map, 7));

  std::vector<imgkit::MapFile_t> files = mpltest::GridMap().Files();
  // Record 5's area start above record 6's: a decreasing offset.
  imgkit::TreBuilder_t t = mpltest::GridMap().tre;
  t.Build();
  imgkit::Put32(files[0].data, t.layout.extOffset + 5 * 9, 0x7FFFFFF0);
  ASSERT_EQ(0, mpl::MdbOpen(map, "12345678", "", imgkit::OpenImage(imgkit::MapImage(files))));
  EXPECT_EQ(1, mpl::MdbLoadExtPointers(map, 6));
  EXPECT_EQ(1, mpl::MdbLoadExtPointers(map, 5));  // now decreases from 5 to 6 as well
  EXPECT_EQ(0, mpl::MdbLoadExtPointers(map, 4));
}

TEST(SubdivisionTest, WalksLevelsThroughTheirParents) {
  mpl::MdbMap_t map;
  Open(map, mpltest::GridMap());
  EXPECT_EQ((std::vector<unsigned>{1, 2}), Walk(map, 2));
  EXPECT_EQ((std::vector<unsigned>{3, 4, 5, 6}), Walk(map, 1));
  EXPECT_EQ((std::vector<unsigned>{7, 8, 9, 10}), Walk(map, 0));
  // An absent level walks the next one up; past the top nothing is left.
  EXPECT_EQ(3, mpl::MdbNextSubdivision(map, 2));
  EXPECT_EQ(3, mpl::MdbNextSubdivision(map, 2));
  EXPECT_EQ(3, mpl::MdbNextSubdivision(map, 3));
  EXPECT_EQ(3, mpl::MdbNextSubdivision(map, 9));

  // The search rectangle prunes whole subtrees.
  map.searchRect = {0x40000000, 0x7FFFFFFF, 1, 0x1000};  // north-east quarter
  EXPECT_EQ((std::vector<unsigned>{9}), Walk(map, 0));
  map.searchRect = {-0x1000, -0x1000, -0x40000000, static_cast<std::int32_t>(0x80000000)};
  EXPECT_EQ((std::vector<unsigned>{8}), Walk(map, 0));

  // So does the exclusion box: 4 lies inside it, and with it its child 8.
  map.searchRect = mpl::kMdbWorld;
  map.exclusion = {0, 0, -2 * q, -2 * q};
  EXPECT_EQ((std::vector<unsigned>{3, 5, 6}), Walk(map, 1));
  EXPECT_EQ((std::vector<unsigned>{7, 9, 10}), Walk(map, 0));
  map.exclusion = map.searchRect;
  EXPECT_EQ((std::vector<unsigned>{}), Walk(map, 0));
  map.exclusion = mpl::kMdbNoExclusion;

  // And the extended kinds: parents' words cover their children's.
  map.extKindsMask = 0x2;
  EXPECT_EQ((std::vector<unsigned>{8, 10}), Walk(map, 0));
  map.extKindsMask = 0x1;
  EXPECT_EQ((std::vector<unsigned>{7}), Walk(map, 0));
  map.extKindsMask = 0x8;
  EXPECT_EQ((std::vector<unsigned>{}), Walk(map, 0));
}

TEST(SubdivisionTest, DamagedGroupsAndChildrenEndTheWalk) {
  mpl::MdbMap_t map;
  // No last-of-group flags at all: a group ends at the level's end, and no
  // subdivision is walked twice.
  imgkit::MapBuilder_t open = mpltest::GridMap();
  for (imgkit::TreLevel_t& l : open.tre.levels)
    for (imgkit::TreSubdiv_t& s : l.subdivs) s.last = false;
  Open(map, open);
  EXPECT_EQ((std::vector<unsigned>{1, 2}), Walk(map, 2));
  EXPECT_EQ((std::vector<unsigned>{3, 4, 5, 6}), Walk(map, 1));

  // Every child pointing back at the first one: the later groups were walked.
  imgkit::MapBuilder_t back = mpltest::GridMap();
  for (imgkit::TreSubdiv_t& s : back.tre.levels[1].subdivs) s.firstChild = 7;
  for (imgkit::TreSubdiv_t& s : back.tre.levels[2].subdivs) s.last = false;
  Open(map, back);
  EXPECT_EQ((std::vector<unsigned>{7, 8, 9, 10}), Walk(map, 0));

  // A child number outside the child level is bad data.
  for (std::uint16_t child : {2, 3, 11, 0xFFFF}) {
    imgkit::MapBuilder_t bad = mpltest::GridMap();
    bad.tre.levels[1].subdivs[0].firstChild = child;
    Open(map, bad);
    int end = 0;
    const std::vector<unsigned> got = Walk(map, 0, end);
    EXPECT_EQ(1, end) << child;
    EXPECT_TRUE(got.empty()) << child;
  }

  // A walk state outside the level (a search's leftovers) is bad data too.
  Open(map, mpltest::GridMap());
  map.walk[0] = 3;
  EXPECT_EQ(1, mpl::MdbNextSubdivision(map, 0));
}

}  // namespace
