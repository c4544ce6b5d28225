// The GPS track stream: layouts of the data versions, round trips, and damaged
// or truncated streams that must leave the target track as it was.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "GdbStreamUtil.h"
#include "GdbTestUtil.h"
#include "gdb/GDB_Track.h"

namespace {

using gdbtest::MakePoint;
using gdbtest::ReadBytes;
using gdbtest::WriteBytes;

constexpr std::size_t kHeader = 1 + 4 + 4;

std::string Written(const gdb::Track_t& track, std::uint16_t version) {
  return WriteBytes(version, [&](doc::InfoStream_t& s) { track.Write(s); });
}

std::ios_base::iostate ReadInto(gdb::Track_t& track, const std::string& bytes, std::uint16_t version) {
  return ReadBytes(bytes, version, [&](doc::InfoStream_t& s) { track.Read(s); });
}

// Every point, flag and total of two tracks agree.
void ExpectSameTrack(const gdb::Track_t& a, const gdb::Track_t& b, bool withTemperature = true) {
  EXPECT_EQ(a.GetName(), b.GetName());
  EXPECT_EQ(a.GetDisplayFlag(), b.GetDisplayFlag());
  EXPECT_EQ(a.GetColor(), b.GetColor());
  ASSERT_EQ(a.GetSegments().size(), b.GetSegments().size());
  auto sb = b.GetSegments().begin();
  for (const auto& sa : a.GetSegments()) {
    ASSERT_EQ(sa.GetPoints().size(), sb->GetPoints().size());
    auto pb = sb->GetPoints().begin();
    for (const auto& pa : sa.GetPoints()) {
      EXPECT_TRUE(pa.GetPosition() == pb->GetPosition());
      ASSERT_EQ(pa.GetTime().IsPresent(), pb->GetTime().IsPresent());
      if (pa.GetTime()) {
        EXPECT_EQ(pa.GetTime()->GetValue(), pb->GetTime()->GetValue());
      }
      ASSERT_EQ(pa.GetDepth().IsPresent(), pb->GetDepth().IsPresent());
      if (pa.GetDepth()) {
        EXPECT_EQ(*pa.GetDepth(), *pb->GetDepth());
      }
      if (withTemperature) {
        ASSERT_EQ(pa.GetTemperature().IsPresent(), pb->GetTemperature().IsPresent());
        if (pa.GetTemperature()) {
          EXPECT_EQ(*pa.GetTemperature(), *pb->GetTemperature());
        }
      }
      ++pb;
    }
    ++sb;
  }
  EXPECT_EQ(a.GetTotals().GetCount(), b.GetTotals().GetCount());
  EXPECT_EQ(a.GetTotals().GetDistance(), b.GetTotals().GetDistance());
  EXPECT_EQ(a.GetTotals().GetTimeSpan().IsPresent(), b.GetTotals().GetTimeSpan().IsPresent());
  EXPECT_EQ(a.GetTotals().GetAreaTerm(), b.GetTotals().GetAreaTerm());
}

gdb::Track_t Sample(int count) {
  gdb::Track_t track = gdbtest::MakeTrack(count);
  track.SetName("Walk");
  track.SetDisplayFlag(0);
  track.SetColor(gdb::Color_Blue);
  return track;
}

TEST(TrackStreamTest, WritesEveryAppendedPointOnce) {
  const gdb::Track_t track = Sample(250);
  ASSERT_EQ(track.GetSegments().size(), 3u);  // 252 points held
  const std::string bytes = Written(track, 106);
  ASSERT_EQ(bytes.size(), kHeader + 250 * 40 + 5);
  std::int32_t count = 0;
  std::memcpy(&count, bytes.data() + 5, 4);
  EXPECT_EQ(count, 250);
  EXPECT_EQ(bytes.substr(bytes.size() - 5), std::string("Walk\0", 5));

  gdb::Track_t read;
  EXPECT_EQ(ReadInto(read, bytes, 106), std::ios_base::goodbit);
  ExpectSameTrack(read, track);
}

TEST(TrackStreamTest, RoundTripsEveryDataVersion) {
  const gdb::Track_t track = Sample(130);
  for (std::uint16_t version = 100; version <= 106; ++version) {
    SCOPED_TRACE(version);
    const bool current = version >= 106;
    const std::string bytes = Written(track, version);
    EXPECT_EQ(bytes.size(), kHeader + 130 * (current ? 40 : 31) + (current ? 5 : 0));
    gdb::Track_t read;
    read.SetName("before");
    EXPECT_EQ(ReadInto(read, bytes, version), std::ios_base::goodbit);
    if (current) {
      ExpectSameTrack(read, track);
    } else {
      // Neither temperatures nor the name are stored: the fresh track's stay.
      EXPECT_EQ(read.GetName(), "");
      for (const gdb::TrackPoint_t& p : read) EXPECT_FALSE(p.GetTemperature().IsPresent());
      gdb::Track_t expected(track);
      expected.SetName("");
      ExpectSameTrack(read, expected, false);
    }
  }
  // The track-level form takes the version context and the stream apart.
  bin::stringstream out;
  track.Write(gdb::GetTrackDataVersion(), out);
  EXPECT_EQ(out.str(), Written(track, 106));
  gdb::Track_t read;
  bin::stringstream in(out.str());
  read.Read(gdb::GetTrackDataVersion(), in);
  EXPECT_TRUE(in.good());
  ExpectSameTrack(read, track);
}

TEST(TrackStreamTest, VersionRecord) {
  const doc::Info_t& info = gdb::GetTrackDataVersion();
  EXPECT_EQ(info.TagText(), "GbRc");
  EXPECT_EQ(info.DataVersion(), 106);
  EXPECT_EQ(info.LayoutVersion(), 101);
  EXPECT_EQ(&info, &gdb::GetTrackDataVersion());
}

TEST(TrackStreamTest, TransparentColourBeforeVersion106) {
  gdb::Track_t track = Sample(3);
  track.SetColor(gdb::Color_Transparent);
  for (std::uint16_t version : {105, 106}) {
    const std::string bytes = Written(track, version);
    std::int32_t colour = -1;
    std::memcpy(&colour, bytes.data() + 1, 4);
    EXPECT_EQ(colour, version == 106 ? 17 : 0);
  }
}

TEST(TrackStreamTest, PointWithoutTime) {
  gdb::Track_t track;
  track.AppendPoint(gdb::TrackPoint_t(geo::Position_t(100, 200)));
  std::string bytes = Written(track, 106);
  ASSERT_EQ(bytes.size(), kHeader + 40 + 1);
  EXPECT_EQ(bytes[kHeader + 17], 0);  // time flag, then four time bytes
  gdb::Track_t read;
  EXPECT_EQ(ReadInto(read, bytes, 106), std::ios_base::goodbit);
  EXPECT_FALSE(read.Begin()->GetTime().IsPresent());

  // The bytes of an absent time are never looked at, whatever they hold.
  std::memset(&bytes[kHeader + 18], 0xFF, 4);
  gdb::Track_t damaged;
  EXPECT_EQ(ReadInto(damaged, bytes, 106), std::ios_base::goodbit);
  EXPECT_FALSE(damaged.Begin()->GetTime().IsPresent());

  // A present time that no calendar time can be fails the stream, unchanged.
  bytes[kHeader + 17] = 1;
  gdb::Track_t target = Sample(2);
  const gdb::Track_t before(target);
  EXPECT_TRUE(ReadInto(target, bytes, 106) & std::ios_base::badbit);
  ExpectSameTrack(target, before);
}

TEST(TrackStreamTest, DamagedOrTruncatedStreamsLeaveTheTrackUnchanged) {
  const std::string bytes = Written(Sample(120), 106);
  gdb::Track_t target = Sample(7);
  target.SetName("Keep");
  const gdb::Track_t before(target);

  std::vector<std::string> damaged;
  for (std::int32_t colour : {18, -1}) {
    std::string b = bytes;
    std::memcpy(&b[1], &colour, 4);
    damaged.push_back(b);
  }
  std::string badLatitude = bytes;  // latitude of point 5 beyond +90 degrees
  const std::int32_t latitude = (1 << 30) + 1;
  std::memcpy(&badLatitude[kHeader + 5 * 40], &latitude, 4);
  damaged.push_back(badLatitude);
  std::string moreCounted = bytes;
  moreCounted[5] = 121;  // one point more than the stream holds
  damaged.push_back(moreCounted);
  for (std::size_t cut : {std::size_t(0), std::size_t(3), kHeader - 1, kHeader + 36 * 40 + 20, kHeader + 119 * 40,
                          bytes.size() - 1})
    damaged.push_back(bytes.substr(0, cut));  // cut in the flag, count, 37th point, last point, name

  for (std::size_t i = 0; i < damaged.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_NE(ReadInto(target, damaged[i], 106), std::ios_base::goodbit);
    ExpectSameTrack(target, before);
  }

  // A latitude out of range is damage, found before a cut later in the point;
  // a cut alone is the end of the data.
  const std::ios_base::iostate ended = std::ios_base::eofbit | std::ios_base::failbit;
  const struct {
    std::string bytes;
    std::ios_base::iostate state;
  } states[] = {
      {badLatitude, std::ios_base::badbit},
      {badLatitude.substr(0, kHeader + 5 * 40 + 20), std::ios_base::badbit},
      {badLatitude.substr(0, kHeader + 5 * 40 + 10), ended},
      {bytes.substr(0, kHeader + 36 * 40 + 20), ended},
  };
  for (const auto& c : states) EXPECT_EQ(ReadInto(target, c.bytes, 106), c.state);
}

}  // namespace
