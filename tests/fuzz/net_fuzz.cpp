// Roads and road data: the input is the NET sub-file of the road test map
// (whose lines name roads at the seed's offsets). Every road record the index
// table or the first offsets name is decoded both ways with its lines, first
// line, labels, chosen label and direction letter; the nearest point and the
// address are traced from every line of the map.
#include "glo/GLO_Exception.h"
#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Net.h"
#include "mpl/MPL_Road.h"
#include "tests/fuzz/FuzzSeeds.h"
#include "tests/imgkit/HouseNumberStream.h"
#include "tests/mpl/RoadMap.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

std::string Byte(unsigned v) { return std::string(1, static_cast<char>(v)); }

std::string NumbersStream(bool compact) {
  imgkit::HouseNumberStream_t s(compact);
  s.Header(8, 0, 8, 0, 100, 8);
  s.Parity(1, 2, compact ? -1 : 5, compact ? -1 : 6, compact ? -1 : 3, 2);
  s.Numbers(0, 20, 1, 20);
  s.Skip(2);
  s.Parity(3, 3);
  s.Width(true, 4);
  s.Numbers(0, 10, 0, 10);
  return s.Bytes();
}

void Road(mpl::MdbMap_t& map, std::uint32_t netOffset) {
  for (bool reversed : {false, true}) {
    mpl::MdbRoad_t road;
    road.netOffset = netOffset;
    mpl::MdbLineRecord_t line;
    if (mpl::MdbDecodeRoad(map, road, reversed, &line, 50) != 0) continue;
    Check(road.count <= 0x7FFF && road.listStart <= road.listEnd);
    std::uint32_t refs[4];
    for (unsigned i = 0; i < 64 && mpl::MdbRoadLines(map, road, refs, 4) == 0; ++i) {
    }
    mpl::MdbRoadData_t data;
    if (mpl::MdbReadRoadData(map, road, data) == 0) Check(data.intervals >= 1 && data.intervals <= 1024);
  }
  std::uint32_t ref = 0, labels[4] = {}, flagWord = 0, label = 0;
  mpl::MdbRoadFirstLine(map, netOffset, ref);
  mpl::MdbRoadLabels(map, netOffset, mpl::kMdbNone, 4, labels, &flagWord);
  mpl::MdbRoadLabels(map, netOffset, 0x123, 0, labels, nullptr);
  std::uint32_t holder = netOffset;
  unsigned number = 0;
  if (mpl::MdbChooseRoadLabel(map, holder, label, number, true, true) == 0) Check(number < 4);
  mpl::MdbLineRecord_t line;
  line.netOffset = netOffset;
  line.label = labels[0];
  char text[16] = "ROAD";
  mpl::MdbAddRoadDirection(map, line, text, sizeof text);
}

}  // namespace

std::vector<std::string> StrideFuzzSeeds() {
  std::vector<std::string> seeds;
  roadtest::RoadFixture_t f;
  f.net.numberWidth = 8;
  f.net.roads[0].flags = 0x80 | 0x10 | 0x40;
  const std::string numbers = NumbersStream(true);
  const std::string alt = NumbersStream(false);
  f.net.roads[0].data = std::string("\x01\x08", 2) + Byte(7) + Byte(3) + std::string("\x62\x04\x05", 3) +
                        Byte(numbers.size()) + numbers +
                        // x: one descriptor (a value), an alternative block
                        Byte(0xA0) + Byte(0x18) + imgkit::Varint(static_cast<std::uint32_t>(alt.size() + 2)) +
                        Byte(1) + Byte(9) + alt;
  seeds.push_back(f.net.Build().file);
  roadtest::RoadFixture_t plain;
  seeds.push_back(plain.net.Build().file);
  roadtest::RoadFixture_t chain = plain;
  chain.net.roads[0].extraByte = 0x08;
  chain.net.roads[0].flags = 0x90;
  chain.net.numberWidth = 8;
  chain.net.roads[0].data = std::string("\x00\xBC\x01", 3) + std::string(3, '\0');
  seeds.push_back(chain.net.Build().file);
  return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 8192) return 0;
  try {
    roadtest::RoadFixture_t f;
    f.rawNet = fuzz::Bytes(data, size);
    roadtest::RoadFixture_t::Open_t open;
    f.Open(open);
    if (open.result != 0) return 0;
    mpl::MdbMap_t& map = open.map;
    for (std::uint32_t i = 0; i < 8; ++i) {
      std::uint32_t net = 0;
      if (mpl::MdbNetIndexRoad(map, i, net) == 0) Road(map, net);
    }
    for (std::uint32_t net = 0; net < 48; ++net) Road(map, net);
    for (const std::uint32_t ref : {roadtest::LineRef(2, 1), roadtest::LineRef(2, 2), roadtest::LineRef(3, 1),
                                    roadtest::LineRef(1, 1), roadtest::LineRef(2, 3)}) {
      for (std::uint8_t level : {0, 1}) {
        map.level = level;
        mpl::MdbLineRecord_t line;
        mpl::MdbRoadNear_t near;
        const mpl::MdbPoint_t p{roadtest::kLat + 700, roadtest::kLon + 60 * roadtest::kUnit};
        if (mpl::MdbFindRoadNear(map, ref, p, line, 0x7FFF, near) != 0) continue;
        Check(near.direction >= 1 && near.direction <= 10 && near.position <= 2);
        mpl::MdbAddress_t address;
        if (mpl::MdbAddressAt(map, line, 0x7FFF, near, address, 1) == 0) Check(address.labelNumber < 4);
        Check(map.level == level);
      }
    }
  } catch (const glo::Exception_t&) {
  }
  return 0;
}
