// Paths and route waypoints in the versioned stream.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "GdbStreamUtil.h"
#include "gdb/GDB_Path.h"
#include "gdb/GDB_Route.h"

namespace {

using gdbtest::ReadBytes;
using gdbtest::WriteBytes;

gdb::Path_t SamplePath() {
  gdb::Path_t path;
  path.SetName("bridge");
  path.SetType(gdb::Path_t::Type_Link);
  path.SetValues(-5, 70000, 300);
  path.SetDirection(gdb::Path_t::Direction_Backward);
  path.SetPoints({geo::Position_t(1000, -2000, 12.5), geo::Position_t(-3000, 4000), geo::Position_t(500, 500)});
  return path;
}

void ExpectSamePath(const gdb::Path_t& a, const gdb::Path_t& b) {
  EXPECT_EQ(a.GetName(), b.GetName());
  EXPECT_EQ(a.GetType(), b.GetType());
  EXPECT_EQ(a.GetValue1(), b.GetValue1());
  EXPECT_EQ(a.GetValue2(), b.GetValue2());
  EXPECT_EQ(a.GetValue3(), b.GetValue3());
  EXPECT_EQ(a.GetDirection(), b.GetDirection());
  EXPECT_TRUE(a.GetPoints() == b.GetPoints());
  ASSERT_EQ(a.GetBox().IsEmpty(), b.GetBox().IsEmpty());
  if (!a.GetBox().IsEmpty()) {
    EXPECT_TRUE(a.GetBox().GetNorthEast() == b.GetBox().GetNorthEast());
    EXPECT_TRUE(a.GetBox().GetSouthWest() == b.GetBox().GetSouthWest());
  }
}

TEST(PathTest, DefaultsAndBox) {
  const gdb::Path_t path;
  EXPECT_EQ(path.GetType(), gdb::Path_t::Type_Direct);
  EXPECT_EQ(path.GetDirection(), gdb::Path_t::Direction_None);
  EXPECT_TRUE(path.GetBox().IsEmpty());
  const gdb::Path_t sample = SamplePath();
  EXPECT_EQ(sample.GetBox().GetNorth(), 1000);
  EXPECT_EQ(sample.GetBox().GetSouth(), -3000);
  EXPECT_EQ(sample.GetBox().GetEast(), 4000);
  EXPECT_EQ(sample.GetBox().GetWest(), -2000);
}

TEST(RouteStreamTest, RouteWaypointRoundTrip) {
  const gdb::WaypointId_t key(gdb::Name_t("Ford"), gdb::WaypointId_t::Type_User, "", 1, 2,
                              {0, 1, 2, 3, 4, 5, 6, 7}, 200, 3);
  const gdb::RouteWaypoint_t waypoint(key, SamplePath());
  const std::string bytes = WriteBytes(106, [&](doc::InfoStream_t& s) { waypoint.Write(s); });
  gdb::RouteWaypoint_t read;
  EXPECT_EQ(ReadBytes(bytes, 106, [&](doc::InfoStream_t& s) { read.Read(s); }), std::ios_base::goodbit);
  EXPECT_EQ(read.GetWaypoint().GetName().Text(), "Ford");
  EXPECT_EQ(read.GetWaypoint().GetThirdValue(), 3);
  ExpectSamePath(read.GetPath(), waypoint.GetPath());

  // Data version 100: one byte for the key's short value and no third value;
  // one byte for the path's value 3.
  const std::string keyBytes = WriteBytes(106, [&](doc::InfoStream_t& s) { key.Write(s); });
  const std::string pathBytes = WriteBytes(106, [&](doc::InfoStream_t& s) { waypoint.GetPath().Write(s); });
  const std::size_t shortAt = keyBytes.size() - 6, value3At = 7 + 12;
  const std::string v100 = keyBytes.substr(0, shortAt + 1) + pathBytes.substr(0, value3At + 1) +
                           pathBytes.substr(value3At + 2);
  gdb::RouteWaypoint_t old;
  EXPECT_EQ(ReadBytes(v100, 100, [&](doc::InfoStream_t& s) { old.Read(s); }), std::ios_base::goodbit);
  EXPECT_EQ(old.GetWaypoint().GetShortValue(), 200);
  EXPECT_EQ(old.GetWaypoint().GetThirdValue(), -1);
  EXPECT_EQ(old.GetPath().GetValue3(), 300 & 0xFF);
  EXPECT_TRUE(old.GetPath().GetPoints() == waypoint.GetPath().GetPoints());
}

TEST(RouteStreamTest, InvalidOrTruncatedPathsLeaveTheTargetUnchanged) {
  const std::string bytes = WriteBytes(106, [&](doc::InfoStream_t& s) { SamplePath().Write(s); });
  const std::size_t typeAt = 7, directionAt = 7 + 14;
  std::vector<std::string> damaged;
  for (const auto& [at, value] : {std::pair{typeAt, 4}, std::pair{typeAt, -1}, std::pair{directionAt, 3}}) {
    std::string b = bytes;
    const std::int32_t v = value;
    std::memcpy(&b[at], &v, 4);
    damaged.push_back(b);
  }
  for (std::size_t cut : {std::size_t(0), std::size_t(5), directionAt + 2, bytes.size() - 20, bytes.size() - 1})
    damaged.push_back(bytes.substr(0, cut));

  gdb::Path_t target;
  target.SetName("keep");
  target.SetPoints({geo::Position_t(7, 7)});
  const gdb::Path_t before = target;
  for (std::size_t i = 0; i < damaged.size(); ++i) {
    EXPECT_NE(ReadBytes(damaged[i], 106, [&](doc::InfoStream_t& s) { target.Read(s); }), std::ios_base::goodbit)
        << i;
    ExpectSamePath(target, before);
  }
  // The invalid kinds leave the stream bad.
  EXPECT_TRUE(ReadBytes(damaged[0], 106, [&](doc::InfoStream_t& s) { target.Read(s); }) & std::ios_base::badbit);
}

}  // namespace
