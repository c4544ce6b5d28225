// The drawing groups of areas and lines, the point filter by detail and the
// filters of the feature menus, checked through the map reader's acceptance
// test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "map/MAP_FeatureFilters.h"
#include "map/MAP_Nearest.h"
#include "mpl/MPL_Rgn.h"

namespace {

// The filters of a group that accept (type, subtype), as "g.i" (group 1 or 2,
// filter 1-6), in drawing order.
std::string AreaFilters(std::uint16_t type, std::uint16_t subtype) {
  std::string result;
  const std::vector<mpl::Filter_t>* groups[] = {&map::GetAreaGroup1(), &map::GetAreaGroup2()};
  for (int g = 0; g < 2; ++g)
    for (std::size_t i = 0; i < groups[g]->size(); ++i)
      if (mpl::MdbTypeFilterTest(&(*groups[g])[i], type, subtype))
        result += (result.empty() ? "" : " ") + std::to_string(g + 1) + "." + std::to_string(i + 1);
  return result;
}

std::string LineFilters(std::uint16_t type, std::uint16_t subtype) {
  std::string result;
  const std::vector<mpl::Filter_t>& lines = map::GetLineGroups();
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (mpl::MdbTypeFilterTest(&lines[i], type, subtype))
      result += (result.empty() ? "" : " ") + std::to_string(i + 1);
  return result;
}

TEST(FeatureFilters, AreaGroups) {
  struct Case {
    std::uint16_t type, subtype;
    const char* filters;
  } cases[] = {
      {0x81, 4, "1.1"},  {0x81, 0, "1.3"},  {0x81, 3, "1.3"},  {0x81, 5, "2.6"},  {0x81, 6, ""},
      {0x83, 0, "1.2"},  {0x83, 7, "1.2"},  {0x83, 8, ""},     {0x01, 9, "1.4"},  {0x03, 0, "1.4"},
      {0x14, 0, "1.5"},  {0x20, 31, "1.5"}, {0x21, 0, ""},     {0x50, 2, "1.6"},  {0x04, 0, "2.1"},
      {0x13, 0, "2.1"},  {0x0e, 0, "2.3"},  {0x28, 0, "2.2"},  {0x29, 0, ""},     {0x32, 0, "2.2"},
      {0x3c, 0, "2.2"},  {0x44, 0, "2.2"},  {0x45, 0, ""},     {0x46, 0, "2.2"},  {0x49, 0, "2.2"},
      {0x4a, 0, ""},     {0x4b, 0, ""},     {0x4c, 0, "2.2"},  {0x86, 1, "2.4"},  {0x86, 10, "2.4"},
      {0x86, 18, "2.4"}, {0x86, 2, ""},     {0x4d, 0, "2.5"},  {0x53, 3, "2.5"},  {0x87, 1, "2.5"},
      {0x87, 3, "2.5"},  {0x87, 4, ""},     {0x87, 0, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(AreaFilters(c.type, c.subtype), c.filters) << std::hex << c.type << "/" << c.subtype;
}

TEST(FeatureFilters, LineGroups) {
  struct Case {
    std::uint16_t type, subtype;
    const char* filters;
  } cases[] = {
      {0x1c, 0, "1"}, {0x1e, 0, "1"}, {0x00, 0, "2"}, {0x04, 0, "2"}, {0x0c, 0, "2"}, {0x0d, 0, ""},
      {0x14, 0, "2"}, {0x16, 0, "2"}, {0x17, 0, ""},  {0x18, 0, "2"}, {0x1b, 0, "2"}, {0x1f, 0, "2"},
      {0x2b, 0, "2"}, {0x2c, 0, ""},  {0x40, 0, "2"}, {0x41, 9, "2"}, {0x42, 0, ""},  {0x46, 0, "2"},
      {0x47, 0, "3"}, {0x47, 7, "3"}, {0x47, 8, ""},  {0x03, 0, "4"}, {0x02, 0, "5"}, {0x01, 0, "6"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(LineFilters(c.type, c.subtype), c.filters) << std::hex << c.type << "/" << c.subtype;
}

TEST(FeatureFilters, PointsHiddenAtLowDetail) {
  struct Case {
    std::uint16_t type, subtype;
    bool shownLow, shownHigh;
  } cases[] = {
      {0x108, 1, false, false}, {0x108, 0, true, true},   {0x2f, 4, true, true},  {0x2f, 3, false, true},
      {0x2f, 0, false, true},   {0x29, 0, false, true},   {0x2e, 5, false, true}, {0x30, 0, false, true},
      {0x40, 0, false, true},   {0x45, 0, false, true},   {0x46, 0, false, true}, {0x4d, 0, false, true},
      {0x28, 0, true, true} /* neighbours of the ranges */,  {0x31, 0, true, true},  {0x1d, 0, true, true},
  };
  const mpl::Filter_t low = map::MakePointFilter(map::kPointDetailBits - 1);
  const mpl::Filter_t high = map::MakePointFilter(map::kPointDetailBits);
  EXPECT_EQ(low.kind, 0);
  EXPECT_EQ(high.kind, 0);
  for (const Case& c : cases) {
    EXPECT_EQ(mpl::MdbTypeFilterTest(&low, c.type, c.subtype), c.shownLow) << std::hex << c.type << "/" << c.subtype;
    EXPECT_EQ(mpl::MdbTypeFilterTest(&high, c.type, c.subtype), c.shownHigh)
        << std::hex << c.type << "/" << c.subtype;
  }
  // Built afresh on every call: a low-detail filter leaves the next one alone.
  EXPECT_EQ(map::MakePointFilter(30), high);
}

TEST(FeatureFilters, TideStationsAndNamedPoints) {
  const mpl::Filter_t& hide = map::GetNoTideStationsFilter();
  const mpl::Filter_t& only = map::GetTideStationsOnlyFilter();
  EXPECT_FALSE(mpl::MdbTypeFilterTest(&hide, 0x1d, 0));
  EXPECT_FALSE(mpl::MdbTypeFilterTest(&hide, 0x1d, 1));
  EXPECT_TRUE(mpl::MdbTypeFilterTest(&hide, 0x1d, 2));
  EXPECT_TRUE(mpl::MdbTypeFilterTest(&hide, 0x1c, 0));
  EXPECT_TRUE(mpl::MdbTypeFilterTest(&only, 0x1d, 1));
  EXPECT_FALSE(mpl::MdbTypeFilterTest(&only, 0x1d, 2));
  EXPECT_FALSE(mpl::MdbTypeFilterTest(&only, 0x1c, 0));

  const mpl::Filter_t& named = map::GetNamedPointFilter();
  EXPECT_EQ(named.kind, 0);
  EXPECT_FALSE(mpl::MdbTypeFilterTest(&named, 0x14, 7));
  EXPECT_FALSE(mpl::MdbTypeFilterTest(&named, 0x106, 0));
  EXPECT_FALSE(mpl::MdbTypeFilterTest(&named, 0x103, 2));
  EXPECT_TRUE(mpl::MdbTypeFilterTest(&named, 0x103, 3));
  EXPECT_FALSE(mpl::MdbTypeFilterTest(&named, 0x108, 1));
  EXPECT_TRUE(mpl::MdbTypeFilterTest(&named, 0x108, 0));
  EXPECT_TRUE(mpl::MdbTypeFilterTest(&named, 0x16, 0));
  // The nearest search joins it with the window's point filter.
  const mpl::Filter_t joined = named.Union(map::MakePointFilter(10));
  EXPECT_FALSE(mpl::MdbTypeFilterTest(&joined, 0x2f, 3));
  EXPECT_FALSE(mpl::MdbTypeFilterTest(&joined, 0x108, 1));
  EXPECT_TRUE(mpl::MdbTypeFilterTest(&joined, 0x2f, 4));
}

// The lines a nearest search takes: the standard lines from type 0x00, the
// trails and contours, and the marine lines by subtype; the junction search
// only the roads.
TEST(FeatureFilters, NearbyLinesAndRoads) {
  const mpl::Filter_t& lines = map::GetNearbyLineFilter();
  const mpl::Filter_t& roads = map::GetRoadFilter();
  EXPECT_EQ(lines.kind, 1);
  EXPECT_EQ(lines.entries.size(), 44u);
  const struct {
    std::uint16_t type;
    std::uint8_t subtype;
    bool line, road;
  } cases[] = {{0x00, 0, true, false}, {0x01, 0, true, true},   {0x0c, 3, true, true},   {0x0d, 0, false, false},
               {0x14, 0, true, false}, {0x2b, 0, true, false},  {0x2c, 0, false, false}, {0x40, 5, true, false},
               {0x41, 0, true, false}, {0x41, 1, false, false}, {0x41, 9, true, false},  {0x42, 0, false, false},
               {0x47, 1, true, false}, {0x47, 3, false, false}, {0x47, 7, true, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(mpl::MdbTypeFilterTest(&lines, c.type, c.subtype), c.line) << std::hex << c.type << "/" << int(c.subtype);
    EXPECT_EQ(mpl::MdbTypeFilterTest(&roads, c.type, c.subtype), c.road) << std::hex << c.type << "/" << int(c.subtype);
  }
}

}  // namespace
