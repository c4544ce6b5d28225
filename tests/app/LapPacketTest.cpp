// The lap record of the unit.
#include <gtest/gtest.h>

#include <vector>

#include "app/LapPacket.h"
#include "tests/app/TrainingTestUtil.h"

using namespace trtest;

namespace {

std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

const std::string kNoPositions = Le<std::int32_t>(0x7FFFFFFF) + Le<std::int32_t>(0x7FFFFFFF) +
                                 Le<std::int32_t>(0x7FFFFFFF) + Le<std::int32_t>(0x7FFFFFFF);

std::string Record(std::uint32_t start, const std::string& positions = kNoPositions, std::uint8_t track = 7,
                   std::uint8_t heartRate = 0) {
  return Le(start) + Le<std::uint32_t>(6000) + Le<float>(1000.0f) + positions + Le<std::uint16_t>(42) +
         Le(track) + Le(heartRate);
}

TEST(LapPacket, DecodesTheRecord) {
  app::LapPacket_t packet;
  EXPECT_EQ(packet.Id(), 149);
  packet.Decode(iol::Frame_t(149, Bytes(Record(16))));
  const app::Lap_t& lap = packet.GetLap();
  EXPECT_EQ(lap.GetStart().GetValue(), 631065600 + 16);
  EXPECT_EQ(lap.GetDuration(), 6000u);
  EXPECT_EQ(lap.GetLength(), 1000.0f);
  EXPECT_FALSE(lap.GetBegin().IsPresent());
  EXPECT_FALSE(lap.GetEnd().IsPresent());
  EXPECT_EQ(lap.GetCalories(), 42);
  EXPECT_FALSE(lap.GetHeartRate().IsPresent());
  EXPECT_FALSE(lap.GetTrack().IsPresent());
  EXPECT_EQ(packet.GetTrackName().Text(), "7");

  struct Case {
    std::uint8_t track, heartRate;
    const char* name;
    int expectedRate;  // -1: none
  };
  for (const Case& c : {Case{0xFF, 0x96, "255", 150}, Case{0x00, 0x00, "0", -1}, Case{100, 1, "100", 1}}) {
    packet.Decode(iol::Frame_t(149, Bytes(Record(16, kNoPositions, c.track, c.heartRate) + "tail bytes")));
    EXPECT_EQ(packet.GetTrackName().Text(), c.name);
    EXPECT_EQ(packet.GetLap().GetHeartRate().IsPresent(), c.expectedRate >= 0);
    if (c.expectedRate >= 0) {
      EXPECT_EQ(*packet.GetLap().GetHeartRate(), c.expectedRate);
    }
  }

  const std::string positions =
      Le<std::int32_t>(536870912) + Le<std::int32_t>(-1000) + Le<std::int32_t>(0x7FFFFFFF) + Le<std::int32_t>(0x7FFFFFFF);
  packet.Decode(iol::Frame_t(149, Bytes(Record(16, positions))));
  EXPECT_EQ(*packet.GetLap().GetBegin(), geo::Position_t(536870912, -1000));
  EXPECT_FALSE(packet.GetLap().GetEnd().IsPresent());
}

TEST(LapPacket, DecodeErrorsKeepThePreviousContents) {
  app::LapPacket_t packet;
  packet.Decode(iol::Frame_t(149, Bytes(Record(16))));
  const std::string halfAbsent = Le<std::int32_t>(0x7FFFFFFF) + Le<std::int32_t>(0) + kNoPositions.substr(8);
  struct Case {
    const char* name;
    iol::Frame_t frame;
    int kind;  // 0 Assert_t, 1 BadFrame_t, 2 OutOfRange_t
  };
  const std::vector<Case> cases = {
      {"other id", iol::Frame_t(150, Bytes(Record(16))), 0},
      {"start 0", iol::Frame_t(149, Bytes(Le<std::uint32_t>(0))), 1},
      {"start 0x7FFFFFFF", iol::Frame_t(149, Bytes(Record(0x7FFFFFFF))), 1},
      {"start 0xFFFFFFFF", iol::Frame_t(149, Bytes(Record(0xFFFFFFFF))), 1},
      {"31 bytes", iol::Frame_t(149, Bytes(Record(16).substr(0, 31))), 1},
      {"latitude 0x7FFFFFFF with longitude 0", iol::Frame_t(149, Bytes(Record(16, halfAbsent))), 2},
      {"start beyond 2038", iol::Frame_t(149, Bytes(Record(0xF0000000))), 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      packet.Decode(c.frame);
      ADD_FAILURE() << "no exception";
    } catch (const iol::BadFrame_t& e) {
      EXPECT_EQ(c.kind, 1);
      EXPECT_NE(e.Message().find("ID: 149"), std::string::npos);
    } catch (const glo::OutOfRange_t&) {
      EXPECT_EQ(c.kind, 2);
    } catch (const glo::Assert_t&) {
      EXPECT_EQ(c.kind, 0);
    }
    EXPECT_EQ(packet.GetLap().GetStart().GetValue(), 631065600 + 16);
    EXPECT_EQ(packet.GetTrackName().Text(), "7");
  }
  EXPECT_THROW(packet.Encode(), glo::Assert_t);
}

}  // namespace
