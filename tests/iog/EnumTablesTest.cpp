#include <gtest/gtest.h>

#include <set>

#include "iog/IOG_EnumTables.h"

namespace {

// Device value -> program value through FindFirst, -1 when there is no pair.
template <typename Table_t>
int ToProgram(const Table_t& table, int device) {
  auto it = table.FindFirst(static_cast<typename Table_t::Pair_t::first_type>(device));
  return it == table.end() ? -1 : static_cast<int>(it->second);
}

// Program value -> device value through FindSecond, -1 when there is no pair.
template <typename Table_t>
int ToDevice(const Table_t& table, int program) {
  auto it = table.FindSecond(static_cast<typename Table_t::Pair_t::second_type>(program));
  return it == table.end() ? -1 : static_cast<int>(it->first);
}

TEST(EnumTables, SizesAsListed) {
  EXPECT_EQ(iog::Smbl102Table().size(), 221u);
  EXPECT_EQ(iog::Dspl103Table().size(), 3u);
  EXPECT_EQ(iog::Smbl103Table().size(), 16u);
  EXPECT_EQ(iog::Dspl104Table().size(), 3u);
  EXPECT_EQ(iog::Color107Table().size(), 4u);
  EXPECT_EQ(iog::Color108Table().size(), 18u);
  EXPECT_EQ(iog::Type108Table().size(), 13u);
  EXPECT_EQ(iog::Type150Table().size(), 7u);
  EXPECT_EQ(iog::Type151Table().size(), 3u);
  EXPECT_EQ(iog::Type152Table().size(), 5u);
  EXPECT_EQ(iog::Type154Table().size(), 8u);
  EXPECT_EQ(iog::Direction210Table().size(), 3u);
  EXPECT_EQ(iog::Type210Table().size(), 4u);
  EXPECT_EQ(iog::DsplColor109ColorTable().size(), 17u);
  EXPECT_EQ(iog::DsplColor109DsplTable().size(), 3u);
}

TEST(EnumTables, Color108BothWays) {
  const auto& t = iog::Color108Table();
  for (int v = 0; v <= 16; ++v) EXPECT_EQ(ToProgram(t, v), v + 1) << v;
  EXPECT_EQ(ToProgram(t, 255), 0);
  EXPECT_EQ(ToProgram(t, 17), -1);
  EXPECT_EQ(ToProgram(t, 254), -1);
  EXPECT_EQ(ToDevice(t, 0), 255);
  EXPECT_EQ(ToDevice(t, 17), 16);
  EXPECT_EQ(ToDevice(t, 18), -1);  // no such colour: a D310 built from it carries 255
}

TEST(EnumTables, Smbl102CoversEverySymbolOnce) {
  const auto& t = iog::Smbl102Table();
  std::set<int> devices;
  for (int s = 0; s <= 220; ++s) {
    const int d = ToDevice(t, s);
    ASSERT_NE(d, -1) << s;
    EXPECT_EQ(ToProgram(t, d), s);
    devices.insert(d);
  }
  EXPECT_EQ(devices.size(), 221u);

  struct Case_t {
    int device;
    int program;
  };
  const Case_t cases[] = {
      {0, 0},       {19, 19},     {21, 20},     {37, 36},     {150, 37},   {8255, 117},
      {16384, 107}, {16402, 116}, {8258, 121},  {8259, 122},  {8271, 123}, {181, 150},
      {193, 164},   {8331, 189},  {8341, 190},  {8330, 215},  {8340, 216}, {8353, 220},
      {20, -1},     {168, -1},    {16385, -1},  {8354, -1},
  };
  for (const Case_t& c : cases) EXPECT_EQ(ToProgram(t, c.device), c.program) << c.device;
}

TEST(EnumTables, SmallTablesBothWays) {
  EXPECT_EQ(ToProgram(iog::Type151Table(), 2), 0);
  EXPECT_EQ(ToDevice(iog::Type151Table(), 0), 2);
  EXPECT_EQ(ToDevice(iog::Type151Table(), 2), -1);
  EXPECT_EQ(ToProgram(iog::Dspl103Table(), 0), 1);
  EXPECT_EQ(ToDevice(iog::Dspl104Table(), 2), 5);
  EXPECT_EQ(ToProgram(iog::Dspl104Table(), 2), -1);
  EXPECT_EQ(ToProgram(iog::Smbl103Table(), 0), 18);
  EXPECT_EQ(ToProgram(iog::Smbl103Table(), 15), 67);
  EXPECT_EQ(ToDevice(iog::Color107Table(), 13), 3);
  EXPECT_EQ(ToProgram(iog::Type108Table(), 132), 12);
  EXPECT_EQ(ToDevice(iog::Type108Table(), 8), 128);
  EXPECT_EQ(ToProgram(iog::Type150Table(), 4), 0);
  EXPECT_EQ(ToProgram(iog::Type152Table(), 4), 0);
  EXPECT_EQ(ToDevice(iog::Type154Table(), 7), 7);
  EXPECT_EQ(ToProgram(iog::DsplColor109ColorTable(), 31), 0);
  EXPECT_EQ(ToProgram(iog::DsplColor109ColorTable(), 15), 16);
  EXPECT_EQ(ToDevice(iog::DsplColor109ColorTable(), 17), -1);
  EXPECT_EQ(ToDevice(iog::DsplColor109DsplTable(), 0), 1);
  EXPECT_EQ(ToProgram(iog::Direction210Table(), 2), gdb::Path_t::Direction_Backward);
  EXPECT_EQ(ToDevice(iog::Type210Table(), gdb::Path_t::Type_Direct), 3);
  EXPECT_EQ(ToProgram(iog::Type210Table(), 4), -1);
}

}  // namespace
