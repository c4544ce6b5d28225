// Choosing a map's level for a resolution, moved by a number of usable levels.
#include <gtest/gtest.h>

#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Level.h"
#include "tests/imgkit/MapImage.h"
#include "tests/mpl/MapFixture.h"

namespace {

TEST(LevelTest, SelectsByResolutionAndStep) {
  // Levels 0 (24 bits), 1 (22), 2 (20) and 3 (18) without data of its own.
  mpl::MdbMap_t map;
  const imgkit::MapBuilder_t b = mpltest::BasicMap();
  ASSERT_EQ(0, mpl::MdbOpen(map, b.name, "", imgkit::OpenImage(b.Build())));
  struct Case_t {
    unsigned bits;
    int step;
    unsigned level, result;
  };
  const Case_t cases[] = {
      {23, 0, 1, 22}, {22, 0, 1, 22}, {30, 0, 0, 24}, {24, 0, 0, 24}, {10, 0, 2, 20},
      {22, 1, 2, 20}, {22, 5, 2, 20},  // nothing above level 2 has data
      {10, -5, 0, 24}, {10, -1, 1, 22}, {30, -1, 0, 24},
  };
  for (const Case_t& c : cases) {
    map.level = 7;
    EXPECT_EQ(c.result, mpl::MdbSelectLevel(map, c.bits, c.step)) << c.bits << " " << c.step;
    EXPECT_EQ(c.level, map.level) << c.bits << " " << c.step;
  }
  EXPECT_TRUE(mpl::MdbLevelUsable(map, 2));
  EXPECT_FALSE(mpl::MdbLevelUsable(map, 3));
  EXPECT_FALSE(mpl::MdbLevelUsable(map, 9));
}

TEST(LevelTest, StepsPassLevelsWithoutData) {
  // Level 1 has no data of its own and level 2 no subdivisions: a step from
  // level 0 goes on to level 3.
  imgkit::MapBuilder_t b = mpltest::BasicMap();
  b.tre.levels = {{3, 18, false, {mpltest::Subdiv(0, 0, 40, 0, true, 2)}, {}},
                  {2, 20, false, {}, {}},
                  {1, 22, true, {mpltest::Subdiv(0, 0, 300, 0, true, 3)}, {}},
                  {0, 24, false, {mpltest::Subdiv(0, 0, 1000, 0, true, 0)}, {}}};
  mpl::MdbMap_t map;
  ASSERT_EQ(0, mpl::MdbOpen(map, b.name, "", imgkit::OpenImage(b.Build())));
  EXPECT_EQ(24u, mpl::MdbSelectLevel(map, 30, 0));
  EXPECT_EQ(18u, mpl::MdbSelectLevel(map, 30, 1));
  EXPECT_EQ(3, map.level);
  EXPECT_EQ(24u, mpl::MdbSelectLevel(map, 18, -1));  // the level 3 search stops below it
  // Below every usable level: the last usable one under the highest level number.
  EXPECT_EQ(24u, mpl::MdbSelectLevel(map, 1, 0));

  std::uint16_t first = 0, last = 0;
  EXPECT_TRUE(mpl::MdbLevelRange(map, 0, first, last));
  EXPECT_EQ(3, first);
  EXPECT_EQ(3, last);
  EXPECT_FALSE(mpl::MdbLevelRange(map, 2, first, last));
  EXPECT_EQ(3, mpl::MdbLevelOf(map, 1));
  EXPECT_EQ(0, mpl::MdbLevelOf(map, 3));
  EXPECT_EQ(-1, mpl::MdbLevelOf(map, 0));
  EXPECT_EQ(-1, mpl::MdbLevelOf(map, 4));
}

}  // namespace
