// Names, keys, keyed tables and the key stream forms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gdb/GDB_BasicTable.h"
#include "gdb/GDB_Key.h"
#include "gdb/GDB_KeyException.h"
#include "gdb/GDB_Name.h"
#include "GdbStreamUtil.h"

namespace {

using gdb::Name_t;

TEST(NameTest, DropsTrailingBlanksOnly) {
  const struct {
    const char* text;
    const char* name;
  } cases[] = {
      {"Lap 3   ", "Lap 3"}, {"   ", ""}, {"", ""}, {"  lead", "  lead"}, {"tab\t", "tab\t"}, {"a \t ", "a \t"},
  };
  for (const auto& c : cases) EXPECT_EQ(Name_t(c.text).Text(), c.name) << '"' << c.text << '"';
}

TEST(NameTest, OrdersWithoutRegardToCase) {
  // Expected sign of the comparison a against b: -1 a first, 0 same, 1 b first.
  const struct {
    std::string a, b;
    int order;
  } cases[] = {
      {"abc", "ABC", 0},
      {"ab", "abc", -1},
      {"a", "B", -1},
      {"Run 2", "run 10", 1},
      {"", "", 0},
      {"", "a", -1},
      {"a", "_", -1},              // upper-cased 'A' (0x41) before '_' (0x5F)
      {"\xE9t\xE9", "Abc", -1},    // a lone byte above 0x7F sorts before ASCII
      {"Zebra", "\xC3\xA9t\xC3\xA9", -1},  // a multibyte character sorts after ASCII
      {"\xC3\xA9", "\xC3\x89", 1},  // multibyte characters compare by code, with case
      {"\xC3", "\xC3\xA9", -1},     // a cut sequence is a single (negative) byte
      {"x\xFF\xFE", "X\xFF\xFE", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Name_t::LessNoCase(c.a, c.b), c.order < 0) << c.a << " / " << c.b;
    EXPECT_EQ(Name_t::LessNoCase(c.b, c.a), c.order > 0) << c.a << " / " << c.b;
    EXPECT_EQ(Name_t::EqualNoCase(c.a, c.b), c.order == 0) << c.a << " / " << c.b;
  }
}

// The table's logic does not depend on the record; a text stands in for a track.
using TrackTable_t = gdb::BasicTable_t<gdb::TrackId_t, std::string>;

std::string NamedTrack(const std::string& name) { return name; }

TEST(BasicTableTest, KeepsNamesInOrderAndMatchesWithoutCase) {
  TrackTable_t table;
  for (const char* name : {"walk", "Run 2", "\xE9lan", "apple", "Run 10", "Zoo"})
    EXPECT_TRUE(table.insert({gdb::TrackId_t(name), NamedTrack(name)}).second);
  EXPECT_FALSE(table.insert({gdb::TrackId_t("WALK  "), NamedTrack("WALK")}).second);

  std::vector<std::string> order;
  for (const auto& entry : table) order.push_back(entry.first.Text());
  EXPECT_EQ(order, (std::vector<std::string>{"\xE9lan", "apple", "Run 10", "Run 2", "walk", "Zoo"}));

  const auto found = table.find(gdb::TrackId_t("RUN 2 "));
  ASSERT_NE(found, table.end());
  EXPECT_EQ(found->second, "Run 2");
  EXPECT_EQ(table.erase(gdb::TrackId_t("ZOO")), 1u);
  EXPECT_EQ(table.erase(gdb::TrackId_t("ZOO")), 0u);
}

TEST(BasicTableTest, Renames) {
  TrackTable_t table;
  table.insert({gdb::TrackId_t("Run"), NamedTrack("first")});
  table.insert({gdb::TrackId_t("walk"), NamedTrack("second")});

  // Same name in another case: nothing changes, not even the spelling.
  table.Rename(gdb::TrackId_t("Run"), gdb::TrackId_t("RUN"));
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table.begin()->first.Text(), "Run");

  try {
    table.Rename(gdb::TrackId_t("Run"), gdb::TrackId_t("Walk"));
    FAIL() << "renamed onto an existing name";
  } catch (const gdb::KeyExists_t& e) {
    EXPECT_EQ(e.Message(), "Track: Walk already exists.");
    EXPECT_STREQ(e.SourceFile(), "GDB_BasicTable.h");
  }
  try {
    table.Rename(gdb::TrackId_t("Ghost"), gdb::TrackId_t("Spirit"));
    FAIL() << "renamed a missing record";
  } catch (const gdb::KeyNotFound_t& e) {
    EXPECT_EQ(e.Message(), "Track: Ghost does not exist.");
  }
  ASSERT_EQ(table.size(), 2u);

  table.Rename(gdb::TrackId_t("RUN"), gdb::TrackId_t("Jog"));
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table.begin()->first.Text(), "Jog");
  EXPECT_EQ(table.begin()->second, "first");
  EXPECT_EQ(table.find(gdb::TrackId_t("run")), table.end());
}

TEST(KeyTest, DisplayTexts) {
  EXPECT_EQ(gdb::TrackId_t("Run 1").GetText(), "Track: Run 1");
  EXPECT_EQ(gdb::RouteId_t(Name_t("Home")).GetText(), "Route: Home");
  gdb::WaypointId_t waypoint;
  waypoint.SetName("Summit ");
  EXPECT_EQ(waypoint.GetText(), "Waypoint: Summit");
  EXPECT_EQ(gdb::KeyExists_t(gdb::TrackId_t("Run 1"), GLO_SRC).Message(), "Track: Run 1 already exists.");
}

}  // namespace

namespace {

using gdbtest::ReadBytes;
using gdbtest::WriteBytes;

gdb::WaypointId_t SampleWaypoint() {
  return gdb::WaypointId_t(Name_t("Summit"), gdb::WaypointId_t::Type_MapPoint, "peak", 7, 0x21212121,
                           {1, 2, 3, 4, 5, 6, 7, 8}, -300, 123456);
}

void ExpectSameWaypoint(const gdb::WaypointId_t& a, const gdb::WaypointId_t& b) {
  EXPECT_EQ(a.GetName().Text(), b.GetName().Text());
  EXPECT_EQ(a.GetType(), b.GetType());
  EXPECT_EQ(a.GetIdText(), b.GetIdText());
  EXPECT_EQ(a.GetFirstValue(), b.GetFirstValue());
  EXPECT_EQ(a.GetSecondValue(), b.GetSecondValue());
  EXPECT_EQ(a.GetClassBytes(), b.GetClassBytes());
  EXPECT_EQ(a.GetShortValue(), b.GetShortValue());
  EXPECT_EQ(a.GetThirdValue(), b.GetThirdValue());
}

TEST(KeyStreamTest, NameDropsTrailingBlanksOnReading) {
  Name_t name("old");
  EXPECT_EQ(ReadBytes(std::string("Lap 3   \0rest", 13), 106, [&](doc::InfoStream_t& s) { name.Read(s); }),
            std::ios_base::goodbit);
  EXPECT_EQ(name.Text(), "Lap 3");
  // No NUL before the end: the name stays.
  EXPECT_NE(ReadBytes("Lap 4", 106, [&](doc::InfoStream_t& s) { name.Read(s); }), std::ios_base::goodbit);
  EXPECT_EQ(name.Text(), "Lap 3");
  EXPECT_EQ(WriteBytes(106, [&](doc::InfoStream_t& s) { name.Write(s); }), std::string("Lap 3\0", 6));
}

TEST(KeyStreamTest, RouteKeyRoundTrip) {
  const gdb::RouteId_t key(Name_t("Home"), 9);
  const std::string bytes = WriteBytes(106, [&](doc::InfoStream_t& s) { key.Write(s); });
  EXPECT_EQ(bytes, std::string("Home\0\x09", 6));
  gdb::RouteId_t read;
  EXPECT_EQ(ReadBytes(bytes, 106, [&](doc::InfoStream_t& s) { read.Read(s); }), std::ios_base::goodbit);
  EXPECT_EQ(read.GetName().Text(), "Home");
  EXPECT_EQ(read.GetValue(), 9);
  gdb::RouteId_t cut(Name_t("Cut"), 4);
  ReadBytes(bytes.substr(0, 5), 106, [&](doc::InfoStream_t& s) { cut.Read(s); });
  EXPECT_EQ(cut.GetName().Text(), "Cut");
  EXPECT_EQ(cut.GetValue(), 4);
}

TEST(KeyStreamTest, WaypointKeyRoundTripAndOlderLayouts) {
  const gdb::WaypointId_t key = SampleWaypoint();
  const std::string bytes = WriteBytes(106, [&](doc::InfoStream_t& s) { key.Write(s); });
  // name 7, type 4, text 5, values 8, class bytes 8, short 2, third 4
  ASSERT_EQ(bytes.size(), 38u);
  gdb::WaypointId_t read;
  EXPECT_EQ(ReadBytes(bytes, 106, [&](doc::InfoStream_t& s) { read.Read(s); }), std::ios_base::goodbit);
  ExpectSameWaypoint(read, key);

  // Version 100: the short value is one byte and there is no third value.
  std::string v100 = bytes.substr(0, 32) + "\x2A";
  gdb::WaypointId_t old;
  EXPECT_EQ(ReadBytes(v100, 100, [&](doc::InfoStream_t& s) { old.Read(s); }), std::ios_base::goodbit);
  EXPECT_EQ(old.GetShortValue(), 42);
  EXPECT_EQ(old.GetThirdValue(), -1);
  EXPECT_EQ(old.GetClassBytes(), key.GetClassBytes());

  // Version 102: two-byte short value, no third value; for a key whose first
  // class byte is 0x21 before the read, the second and third values change places.
  const std::string v102 = bytes.substr(0, 34);
  gdb::WaypointId_t plain;
  ReadBytes(v102, 102, [&](doc::InfoStream_t& s) { plain.Read(s); });
  EXPECT_EQ(plain.GetSecondValue(), 0x21212121);
  EXPECT_EQ(plain.GetThirdValue(), -1);
  gdb::WaypointId_t swapped(Name_t("x"), gdb::WaypointId_t::Type_User, "", 0, 0, {0x21, 0, 0, 0, 0, 0, 0, 0}, 0, 0);
  ReadBytes(v102, 102, [&](doc::InfoStream_t& s) { swapped.Read(s); });
  EXPECT_EQ(swapped.GetSecondValue(), -1);
  EXPECT_EQ(swapped.GetThirdValue(), 0x21212121);
}

TEST(KeyStreamTest, DamagedWaypointKeysLeaveTheTargetUnchanged) {
  const std::string bytes = WriteBytes(106, [&](doc::InfoStream_t& s) { SampleWaypoint().Write(s); });
  std::string badType = bytes;
  badType[7] = 13;  // the type follows the name "Summit\0"
  gdb::WaypointId_t target(Name_t("Keep"), gdb::WaypointId_t::Type_User, "t", 1, 2, {9, 9, 9, 9, 9, 9, 9, 9}, 3, 4);
  const gdb::WaypointId_t before = target;
  EXPECT_TRUE(ReadBytes(badType, 106, [&](doc::InfoStream_t& s) { target.Read(s); }) & std::ios_base::failbit);
  ExpectSameWaypoint(target, before);
  for (std::size_t cut : {0, 3, 7, 12, 20, 30, 33, 37}) {
    EXPECT_NE(ReadBytes(bytes.substr(0, cut), 106, [&](doc::InfoStream_t& s) { target.Read(s); }),
              std::ios_base::goodbit)
        << cut;
    ExpectSameWaypoint(target, before);
  }
}

}  // namespace
