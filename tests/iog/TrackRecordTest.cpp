// The device's track records on byte buffers: their layouts, absent values,
// short and damaged frames, and the conversions to and from the GPS data.
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>
#include <vector>

#include "glo/GLO_Exception.h"
#include "glo/GLO_Time.h"
#include "iog/IOG_Color108.h"
#include "iog/IOG_TrackHeader.h"
#include "iog/IOG_TrackPoint.h"
#include "iol/IOL_Frame.h"
#include "tools/SimTrackLog.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

iol::Frame_t MakeFrame(std::uint16_t id, const Bytes& data) { return iol::Frame_t(id, data); }

Bytes FrameBytes(const iol::Frame_t& frame) { return frame.Data(); }

float FloatOf(std::uint32_t bits) {
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

// The time of a device time stamp.
glo::Time_t DeviceTime(std::uint32_t seconds) {
  return glo::Time_t(static_cast<std::int64_t>(glo::DeviceEpoch().GetValue()) + seconds);
}

TEST(TrackRecords, D302CarriesEveryField) {
  sim::SimTrackPoint p;
  p.latitude = 0x12345678;
  p.longitude = -0x2345678;
  p.time = 1000000;
  p.altitude = 123.5f;
  p.depth = 2.25f;
  p.temperature = -4.5f;
  p.newTrack = 0x80;  // any non-zero byte sets the flag
  const Bytes wire = sim::EncodePoint(302, p);
  ASSERT_EQ(wire.size(), 25u);

  iog::D302TrkPt_t record;
  record.Decode(MakeFrame(34, wire));
  gdb::TrackPoint_t point;
  bool newTrack = false;
  record.ToGdb(point, newTrack);
  EXPECT_TRUE(newTrack);
  EXPECT_EQ(point.GetPosition().GetLatitude(), 0x12345678);
  EXPECT_EQ(point.GetPosition().GetLongitude(), -0x2345678);
  ASSERT_TRUE(point.GetPosition().GetAltitude().IsPresent());
  EXPECT_DOUBLE_EQ(*point.GetPosition().GetAltitude(), 123.5);
  ASSERT_TRUE(point.GetTime().IsPresent());
  EXPECT_EQ(*point.GetTime(), DeviceTime(1000000));
  EXPECT_DOUBLE_EQ(*point.GetDepth(), 2.25);
  EXPECT_DOUBLE_EQ(*point.GetTemperature(), -4.5);

  // Back to the device: the same bytes, the flag written as 1.
  iog::D302TrkPt_t again;
  again.FromGdb(point, true);
  Bytes expected = wire;
  expected.back() = 1;
  EXPECT_EQ(FrameBytes(again.Encode()), expected);
  EXPECT_EQ(again.Encode().Id(), 34);
}

TEST(TrackRecords, AbsentValuesAreRecognisedByTheirBits) {
  struct Case {
    std::uint32_t bits;
    bool present;
  } cases[] = {{iog::NoFloatBits, false}, {0x69045952u, true}, {0x6A0D42D5u /* about 1.0e26 */, true}, {0, true}};
  for (const Case& c : cases) {
    Bytes wire = sim::EncodePoint(301, sim::SimTrackPoint());
    std::memcpy(&wire[12], &c.bits, 4);
    iog::D301TrkPt_t record;
    record.Decode(MakeFrame(34, wire));
    gdb::TrackPoint_t point;
    bool flag = true;
    record.ToGdb(point, flag);
    EXPECT_FALSE(flag);
    EXPECT_EQ(point.GetPosition().GetAltitude().IsPresent(), c.present) << std::hex << c.bits;
    if (c.present) {
      EXPECT_EQ(*point.GetPosition().GetAltitude(), static_cast<double>(FloatOf(c.bits)));
    }
    EXPECT_FALSE(point.GetDepth().IsPresent());
    EXPECT_FALSE(point.GetTemperature().IsPresent());
  }
}

TEST(TrackRecords, TimesWithoutValue) {
  for (std::uint32_t t : {0u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
    sim::SimTrackPoint p;
    p.time = t;
    iog::D300TrkPt_t record;
    record.Decode(MakeFrame(34, sim::EncodePoint(300, p)));
    gdb::TrackPoint_t point;
    bool flag = false;
    record.ToGdb(point, flag);
    EXPECT_FALSE(point.GetTime().IsPresent()) << t;
    EXPECT_FALSE(point.GetPosition().GetAltitude().IsPresent());
  }
}

TEST(TrackRecords, ShortAndLongFrames) {
  const Bytes d300 = sim::EncodePoint(300, sim::SimTrackPoint());
  Bytes longer = d300;
  longer.push_back(0x55);
  iog::D300TrkPt_t record;
  EXPECT_NO_THROW(record.Decode(MakeFrame(34, longer)));  // the extra byte is ignored

  struct Case {
    const char* name;
    std::uint16_t type;
    std::size_t size;
  } cases[] = {{"D300", 300, 13}, {"D301", 301, 21}, {"D302", 302, 25}};
  for (const Case& c : cases) {
    Bytes wire = sim::EncodePoint(c.type, sim::SimTrackPoint());
    ASSERT_EQ(wire.size(), c.size) << c.name;
    wire.pop_back();
    std::unique_ptr<iog::TrackPoint_t> r;
    if (c.type == 300) r = std::make_unique<iog::D300TrkPt_t>();
    if (c.type == 301) r = std::make_unique<iog::D301TrkPt_t>();
    if (c.type == 302) r = std::make_unique<iog::D302TrkPt_t>();
    EXPECT_THROW(r->Decode(MakeFrame(34, wire)), iol::BadFrame_t) << c.name;
  }
}

TEST(TrackRecords, FrameOfAnotherIdIsAnInternalError) {
  iog::D300TrkPt_t point;
  try {
    point.Decode(MakeFrame(99, sim::EncodePoint(300, sim::SimTrackPoint())));
    FAIL();
  } catch (const glo::Assert_t& e) {
    EXPECT_STREQ(e.SourceFile(), "IOG_TrackPoint.cpp");
  }
  iog::D311TrkHdr_t header;
  try {
    header.Decode(MakeFrame(34, Bytes{1, 0}));
    FAIL();
  } catch (const glo::Assert_t& e) {
    EXPECT_STREQ(e.SourceFile(), "IOG_TrackHeader.cpp");
  }
}

TEST(TrackRecords, EncodingTimesOutsideTheDeviceRange) {
  gdb::TrackPoint_t point(geo::Position_t(1, 2), glo::Time_t(100));  // before the device epoch
  iog::D300TrkPt_t record;
  EXPECT_THROW(record.FromGdb(point, false), glo::Assert_t);
  point.SetTime(glo::Optional_t<glo::Time_t>());
  record.FromGdb(point, false);
  EXPECT_EQ(record.GetTime(), 0u);
  point.SetTime(DeviceTime(86400));
  record.FromGdb(point, false);
  EXPECT_EQ(record.GetTime(), 86400u);
}

TEST(TrackRecords, D310Header) {
  sim::SimTrack t;
  t.name = "Morning \xC3\xA9";  // "Morning e-acute", one byte on the wire
  t.display = 0;
  t.color = 3;
  const Bytes wire = sim::EncodeHeader(310, t);
  ASSERT_EQ(wire.size(), 2u + 9u + 1u);

  iog::D310TrkHdr_t header;
  header.Decode(MakeFrame(99, wire));
  gdb::TrackId_t key;
  gdb::Track_t track;
  track.AppendPoint(gdb::TrackPoint_t());
  header.ToGdb(key, track);
  EXPECT_EQ(key.Text(), "Morning \xC3\xA9");
  EXPECT_EQ(track.GetCount(), 0);
  EXPECT_EQ(track.GetDisplayFlag(), 0);
  EXPECT_EQ(track.GetColor(), gdb::Color_DarkYellow);  // device 3 is colour 4

  iog::D310TrkHdr_t again;
  again.FromGdb(key, track);
  EXPECT_EQ(FrameBytes(again.Encode()), wire);

  // An empty identifier names the track "Track"; colour 255 is the default.
  t.name.clear();
  t.color = 255;
  header.Decode(MakeFrame(99, sim::EncodeHeader(310, t)));
  header.ToGdb(key, track);
  EXPECT_EQ(key.Text(), "Track");
  EXPECT_EQ(track.GetColor(), gdb::Color_Default);
}

TEST(TrackRecords, DamagedD310Headers) {
  const Bytes cases[] = {
      {1, 17, 'A', 0},  // colour outside 0 to 16 and 255
      {1, 0, 'A', 'B'}, // the identifier has no NUL
      {1, 0},           // no identifier at all
      {1},
  };
  for (const Bytes& wire : cases) {
    iog::D310TrkHdr_t header;
    EXPECT_THROW(header.Decode(MakeFrame(99, wire)), iol::BadFrame_t) << wire.size();
  }
}

TEST(TrackRecords, D311IndexNamesTheTrack) {
  for (std::uint16_t index : {0, 17, 65535}) {
    iog::D311TrkHdr_t header;
    header.Decode(MakeFrame(99, Bytes{static_cast<std::uint8_t>(index & 0xFF), static_cast<std::uint8_t>(index >> 8)}));
    gdb::TrackId_t key;
    gdb::Track_t track;
    header.ToGdb(key, track);
    EXPECT_EQ(key.Text(), std::to_string(index));
  }
  iog::D311TrkHdr_t header;
  EXPECT_THROW(header.Decode(MakeFrame(99, Bytes{1})), iol::BadFrame_t);
}

TEST(TrackRecords, DeviceTextDecoding) {
  // Windows-1252 to UTF-8; the bytes the code page leaves undefined stay as
  // they are, so the name is not valid text from there on.
  EXPECT_EQ(iog::DecodeDeviceText("Caf\xE9 \x80"), "Caf\xC3\xA9 \xE2\x82\xAC");
  EXPECT_EQ(iog::DecodeDeviceText("RUN\x81X\xE9"), "RUN\x81X\xC3\xA9");
  EXPECT_EQ(iog::DecodeDeviceText(""), "");
}

TEST(Color108, BothDirections) {
  EXPECT_EQ(iog::Color108_t(0).ToGdb(), gdb::Color_Black);
  EXPECT_EQ(iog::Color108_t(16).ToGdb(), gdb::Color_Transparent);
  EXPECT_EQ(iog::Color108_t(255).ToGdb(), gdb::Color_Default);
  EXPECT_THROW(iog::Color108_t(17), glo::OutOfRange_t);
  EXPECT_EQ(iog::Color108_t(gdb::Color_Red).GetValue(), 9);
  EXPECT_EQ(iog::Color108_t(static_cast<gdb::Color_t>(40)).GetValue(), 255);
}

}  // namespace
