// Road data and house numbers: the run streams of postal codes and cities,
// the house-number bit stream, and the address at a point of a road with
// its numbers interpolated, on a built map.
#include <gtest/gtest.h>

#include "mpl/MPL_Net.h"
#include "mpl/MPL_Road.h"
#include "tests/imgkit/HouseNumberStream.h"
#include "tests/mpl/RoadMap.h"

namespace {

using roadtest::LineRef;

std::string Byte(unsigned v) { return std::string(1, static_cast<char>(v)); }

// Road A's data: two intervals; one postal code 7 for the road; cities by the
// run command 0x62 (kind 3, run 3: value 2 = 4, value 1 = 5); numbers from
// 100: even 100-118 and odd 101-119 on interval 0, all numbers 120-129 and
// 121-130 on interval 1.
std::string RoadAData(const std::string& numbers) {
  return std::string("\x01\x08", 2) + Byte(7) + Byte(3) + std::string("\x62\x04\x05", 3) + Byte(numbers.size()) +
         numbers;
}

std::string Numbers() {
  imgkit::HouseNumberStream_t s(true);
  s.Header(8, 0, 8, 0, 100, 8);
  s.Parity(1, 2);
  s.Numbers(0, 20, 1, 20);
  s.Parity(3, 3);
  s.Numbers(0, 10, 0, 10);
  return s.Bytes();
}

roadtest::RoadFixture_t WithData(const std::string& data) {
  roadtest::RoadFixture_t f;
  f.net.roads[0].flags = 0x80 | 0x10;
  f.net.roads[0].data = data;
  f.net.numberWidth = 8;
  return f;
}

struct Traced_t {
  int result = -1;
  mpl::MdbAddress_t address;
};

Traced_t Trace(mpl::MdbMap_t& map, std::uint32_t lineRef, const mpl::MdbPoint_t& p) {
  Traced_t t;
  mpl::MdbLineRecord_t line;
  mpl::MdbRoadNear_t near;
  t.result = mpl::MdbFindRoadNear(map, lineRef, p, line, 0x7FFF, near);
  if (t.result == 0) t.result = mpl::MdbAddressAt(map, line, 0x7FFF, near, t.address);
  return t;
}

TEST(RoadDataTest, HouseNumberStreamAsWritten) {
  // Compact header: start width 8 (stored 3 at bits 2-5), end width 8 (6 at
  // bits 8-11), first number in 8 bits (3 at bits 13-16), then 100.
  imgkit::HouseNumberStream_t s(true);
  s.Header(8, 0, 8, 0, 100, 8);
  EXPECT_EQ(25u, s.BitCount());
  EXPECT_EQ(std::string("\x0C\x66\xC8\x00", 4), s.Bytes());
}

TEST(RoadDataTest, RangesAndParities) {
  // The ranges of one interval decoded from a stream: 100 to 120 as even
  // numbers is 100-118, as odd numbers 101-119, as all numbers 100-119.
  struct Case_t {
    unsigned parity;
    std::int32_t lo, hi;
  };
  for (const Case_t& c : {Case_t{1, 100, 118}, Case_t{2, 101, 119}, Case_t{3, 100, 119}}) {
    imgkit::HouseNumberStream_t s(true);
    s.Header(8, 0, 8, 0, 100, 8);
    s.Parity(c.parity, 0);
    s.OneSide(0, 20);
    roadtest::RoadFixture_t f = WithData(std::string("\x00\xBC", 2));
    // The stream goes into road B's data, read directly.
    f.net.roads[1].data = s.Bytes();
    roadtest::RoadFixture_t::Open_t open;
    f.Open(open);
    ASSERT_EQ(0, open.result);
    mpl::MdbRoad_t road;
    road.netOffset = open.offsets[1];
    ASSERT_EQ(0, mpl::MdbDecodeRoad(open.map, road, false, nullptr, 0));
    mpl::MdbNumberState_t state;
    state.numberWidth = 8;
    state.offset = road.listEnd;
    state.end = road.listEnd + static_cast<std::uint32_t>(s.Bytes().size());
    ASSERT_EQ(0, mpl::MdbNumbersNext(open.map, state, true));
    EXPECT_TRUE(state.valid[0]);
    EXPECT_EQ(c.lo, state.lo[0]) << c.parity;
    EXPECT_EQ(c.hi, state.hi[0]) << c.parity;
    EXPECT_FALSE(state.valid[1]);
    // The next interval: the stream is used up, no numbers.
    ASSERT_EQ(0, mpl::MdbNumbersNext(open.map, state, true));
    EXPECT_FALSE(state.valid[0]);
  }
}

TEST(RoadDataTest, AddressWithInterpolatedNumbers) {
  roadtest::RoadFixture_t f = WithData(RoadAData(Numbers()));
  roadtest::RoadFixture_t::Open_t open;
  f.Open(open);
  ASSERT_EQ(0, open.result);
  const std::int32_t u = roadtest::kUnit;
  // A quarter along interval 0 (units 0 to 200): even side 104, odd side 105.
  Traced_t t = Trace(open.map, LineRef(2, 1), {roadtest::kLat + 3 * u, roadtest::kLon + 50 * u});
  ASSERT_EQ(0, t.result);
  const mpl::MdbAddress_t& a = t.address;
  EXPECT_EQ(0, a.interval);
  EXPECT_EQ(f.mainSt, a.label);
  EXPECT_EQ(1, a.labelNumber);
  EXPECT_EQ(104u, a.groups[0].number);
  EXPECT_EQ(105u, a.groups[1].number);
  EXPECT_EQ(7u, a.groups[0].postal);
  EXPECT_EQ(7u, a.groups[1].postal);
  EXPECT_EQ(4u, a.groups[0].city);
  EXPECT_EQ(5u, a.groups[1].city);
  EXPECT_NEAR(50.0 * u, a.distance, 1.0 * u);
  EXPECT_NEAR(0x40000000, a.bearing, 0x100000);  // due east
  // A quarter along interval 1 (units 200 to 356, over two lines): all
  // numbers, 120-129 and 121-130.
  t = Trace(open.map, LineRef(2, 2), {roadtest::kLat - 3 * u, roadtest::kLon + 239 * u});
  ASSERT_EQ(0, t.result);
  EXPECT_EQ(1, t.address.interval);
  EXPECT_EQ(122u, t.address.groups[0].number);
  EXPECT_EQ(123u, t.address.groups[1].number);
  EXPECT_EQ(4u, t.address.groups[0].city);
  // Three quarters along: the numbers rise with the distance.
  t = Trace(open.map, LineRef(3, 1), {roadtest::kLat, roadtest::kLon + 317 * u});
  ASSERT_EQ(0, t.result);
  EXPECT_EQ(127u, t.address.groups[0].number);
}

TEST(RoadDataTest, RoadWithoutData) {
  roadtest::RoadFixture_t f;
  roadtest::RoadFixture_t::Open_t open;
  f.Open(open);
  ASSERT_EQ(0, open.result);
  const Traced_t t = Trace(open.map, LineRef(2, 1), {roadtest::kLat, roadtest::kLon + 20 * roadtest::kUnit});
  ASSERT_EQ(0, t.result);
  EXPECT_EQ(f.mainSt, t.address.label);
  for (const mpl::MdbAddressGroup_t& g : t.address.groups) {
    EXPECT_EQ(0u, g.number);
    EXPECT_EQ(mpl::kMdbNone, g.postal);
    EXPECT_EQ(mpl::kMdbNone, g.city);
  }
  mpl::MdbLineRecord_t line;
  mpl::MdbRoadNear_t none;
  mpl::MdbAddress_t address;
  EXPECT_EQ(3, mpl::MdbAddressAt(open.map, line, 0x7FFF, none, address));
}

TEST(RoadDataTest, SkippedIntervalsAndWidthChanges) {
  // Interval 0 without numbers; interval 1 with a start delta 4 bits wide for
  // that record only; interval 2 back to the header's widths.
  imgkit::HouseNumberStream_t s(true);
  s.Header(8, 0, 8, 0, 10, 8);
  s.Skip(1);
  s.Parity(3, 3);
  s.Width(false, 6);
  s.Numbers(2, 4, 2, 4);
  s.Numbers(1, 5, 1, 5);
  roadtest::RoadFixture_t f = WithData(std::string("\x00\xBC", 2));
  f.net.roads[1].data = s.Bytes();
  roadtest::RoadFixture_t::Open_t open;
  f.Open(open);
  ASSERT_EQ(0, open.result);
  mpl::MdbRoad_t road;
  road.netOffset = open.offsets[1];
  ASSERT_EQ(0, mpl::MdbDecodeRoad(open.map, road, false, nullptr, 0));
  mpl::MdbNumberState_t state;
  state.numberWidth = 8;
  state.offset = road.listEnd;
  state.end = road.listEnd + static_cast<std::uint32_t>(s.Bytes().size());
  ASSERT_EQ(0, mpl::MdbNumbersNext(open.map, state, true));
  EXPECT_FALSE(state.valid[0]);
  ASSERT_EQ(0, mpl::MdbNumbersNext(open.map, state, true));
  EXPECT_EQ(12, state.lo[0]);
  EXPECT_EQ(15, state.hi[0]);
  ASSERT_EQ(0, mpl::MdbNumbersNext(open.map, state, true));
  EXPECT_EQ(17, state.lo[0]);
  EXPECT_EQ(21, state.hi[0]);
}

TEST(RoadDataTest, BadWidthsAndStreams) {
  roadtest::RoadFixture_t f = WithData(std::string("\x00\xBC", 2));
  // A header whose first number takes the NET header's width (bit 12), with a
  // width of 40 bits.
  f.net.roads[1].data = std::string("\x00\x10\x00\x00\x00\x00", 6);
  // A run stream whose kind-3 command needs two indexes and finds one.
  f.net.roads[0].data = std::string("\x01\x08", 2) + Byte(7) + Byte(2) + std::string("\x62\x04", 2) +
                        Byte(Numbers().size()) + Numbers();
  f.net.numberWidth = 40;
  roadtest::RoadFixture_t::Open_t open;
  f.Open(open);
  ASSERT_EQ(0, open.result);
  mpl::MdbRoad_t road;
  road.netOffset = open.offsets[1];
  ASSERT_EQ(0, mpl::MdbDecodeRoad(open.map, road, false, nullptr, 0));
  mpl::MdbNumberState_t state;
  state.numberWidth = 40;
  state.offset = road.listEnd;
  state.end = road.listEnd + 6;
  EXPECT_EQ(1, mpl::MdbNumbersNext(open.map, state, true));
  std::int32_t v = 0;
  EXPECT_EQ(1, mpl::MdbReadNumber(open.map, 33, state, v));
  const Traced_t t = Trace(open.map, LineRef(2, 1), {roadtest::kLat, roadtest::kLon + 20 * roadtest::kUnit});
  EXPECT_EQ(1, t.result);
}

// A width past 32 bits is bad data whatever the header's byte, also where
// byte + 5 leaves 8 bits.
TEST(RoadDataTest, NumberWidthsPast255AreBadData) {
  for (unsigned width : {37u, 256u, 260u}) {
    roadtest::RoadFixture_t f = WithData(RoadAData(Numbers()));
    f.net.numberWidth = width;
    roadtest::RoadFixture_t::Open_t open;
    f.Open(open);
    ASSERT_EQ(0, open.result);
    EXPECT_EQ(1, Trace(open.map, LineRef(2, 1), {roadtest::kLat, roadtest::kLon + 50 * roadtest::kUnit}).result)
        << width;
  }
}

}  // namespace
