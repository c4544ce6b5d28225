// Roads and addresses on a generated map of 10,000 roads: 100 subdivisions
// of 100 roads each, every road one line of five points with a road record
// (two labels) and road data (a postal code, a city run stream and a
// house-number stream). Measures road records decoded per second and
// addresses traced per second (the nearest point of the road to a position,
// then the address there with its house numbers). Run by hand:
// build/bin/roads_bench
#include <chrono>
#include <cstdio>
#include <vector>

#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Net.h"
#include "mpl/MPL_Road.h"
#include "tests/imgkit/HouseNumberStream.h"
#include "tests/imgkit/LblBuilder.h"
#include "tests/imgkit/MapImage.h"
#include "tests/imgkit/NetBuilder.h"
#include "tests/imgkit/RgnBuilder.h"
#include "tests/imgkit/TreBuilder.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr unsigned kGrid = 10;      // subdivisions per side
constexpr unsigned kPerSubdiv = 100;
constexpr std::uint16_t kHalf = 0x400;  // level-0 units
constexpr std::int32_t kUnit = 256;

struct Map_t {
  std::string image;
  std::vector<std::uint32_t> lineRefs;
  std::vector<mpl::MdbPoint_t> near;  // a position beside each road
};

std::string Byte(unsigned v) { return std::string(1, static_cast<char>(v)); }

Map_t Build() {
  Map_t out;
  imgkit::MapBuilder_t m;
  const std::int32_t cell = 2 * kHalf * kUnit;
  m.tre.north = static_cast<std::int32_t>(kGrid * cell);
  m.tre.east = static_cast<std::int32_t>(kGrid * cell);
  imgkit::TreLevel_t top{1, 20, true, {}, {}};
  imgkit::TreSubdiv_t parent;
  parent.centreLat = parent.centreLon = static_cast<std::int32_t>(kGrid * cell / 2);
  parent.halfWidth = parent.halfHeight = static_cast<std::uint16_t>(kGrid * kHalf / 16);
  parent.last = true;
  parent.firstChild = 2;
  top.subdivs.push_back(parent);
  imgkit::TreLevel_t detail{0, 24, false, {}, {}};
  imgkit::LblBuilder_t lbl;
  const std::uint32_t name = lbl.AddLabel("MAIN ST");
  const std::uint32_t other = lbl.AddLabel("CO RD 7");
  imgkit::NetBuilder_t net;
  net.numberWidth = 16;
  imgkit::HouseNumberStream_t numbers(true);
  numbers.Header(8, 0, 8, 0, 100, 8);
  numbers.Parity(1, 2);
  numbers.Numbers(0, 40, 1, 40);
  const std::string data = std::string("\x00\x08", 2) + Byte(3) + Byte(3) + std::string("\x62\x04\x05", 3) +
                           Byte(numbers.Bytes().size()) + numbers.Bytes();
  for (unsigned s = 0; s < kGrid * kGrid; ++s) {
    imgkit::TreSubdiv_t sd;
    sd.centreLat = static_cast<std::int32_t>((s / kGrid) * cell + cell / 2);
    sd.centreLon = static_cast<std::int32_t>((s % kGrid) * cell + cell / 2);
    sd.halfWidth = sd.halfHeight = kHalf;
    sd.last = s + 1 == kGrid * kGrid;
    detail.subdivs.push_back(sd);
    for (unsigned i = 0; i < kPerSubdiv; ++i) {
      imgkit::NetRoad_t road;
      road.labels = {{other, std::nullopt}, {name, std::nullopt}};
      road.flags = 0x14;
      road.length = 40;
      road.lines = {{((s + 2) << 16) | (i + 1)}};
      road.data = data;
      net.roads.push_back(road);
      out.lineRefs.push_back(((s + 2) << 16) | (i + 1));
      out.near.push_back({sd.centreLat + static_cast<std::int32_t>(i * 8 - 400) * kUnit + 3 * kUnit,
                          sd.centreLon + (-300 + 70) * kUnit});
    }
  }
  m.tre.levels = {top, detail};
  const imgkit::NetImage_t netImage = net.Build();
  imgkit::RgnBuilder_t rgn;
  rgn.subdivisions.emplace_back();
  for (unsigned s = 0; s < kGrid * kGrid; ++s) {
    imgkit::RgnSubdivision_t sub;
    for (unsigned i = 0; i < kPerSubdiv; ++i) {
      imgkit::RgnPoly_t line;
      line.type = 6;
      line.label = 0xC00000 | netImage.offsets[s * kPerSubdiv + i];
      line.dlon = -300;
      line.dlat = static_cast<std::int16_t>(i * 8 - 400);
      line.stream.extraBits = 1;
      line.stream.startExtra = 1;
      line.stream.points = {{150, 0, 0}, {150, 0, 0}, {150, 0, 0}, {150, 0, 1}};
      sub.lines.push_back(line);
    }
    rgn.subdivisions.push_back(sub);
  }
  m.rgn.length = 125;
  rgn.Place(m);
  std::vector<imgkit::MapFile_t> files = m.Files();
  for (imgkit::MapFile_t& f : files)
    if (f.name == m.name + ".LBL") f.data = lbl.Build();
  files.push_back({m.name + ".NET", netImage.file});
  out.image = imgkit::MapImage(files);
  return out;
}

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

}  // namespace

int main() {
  const Map_t built = Build();
  mpl::MdbMap_t map;
  if (mpl::MdbOpen(map, "12345678", "", imgkit::OpenImage(built.image)) != 0) {
    std::printf("the generated map does not open\n");
    return 1;
  }
  std::printf("map: %zu roads, image %zu bytes\n", built.lineRefs.size(), built.image.size());
  std::vector<std::uint32_t> offsets;
  for (std::uint32_t ref : built.lineRefs) {
    mpl::MdbLineRecord_t line;
    line.ref = ref;
    if (mpl::MdbGetLine(map, line, 0, nullptr) != 0) {
      std::printf("line %08x does not read\n", ref);
      return 1;
    }
    offsets.push_back(line.netOffset);
  }
  // Road records.
  std::size_t decoded = 0;
  auto start = Clock::now();
  for (int pass = 0; pass < 10; ++pass) {
    for (std::uint32_t net : offsets) {
      mpl::MdbRoad_t road;
      road.netOffset = net;
      if (mpl::MdbDecodeRoad(map, road, false, nullptr, 0) == 0) ++decoded;
    }
  }
  double s = Seconds(start);
  std::printf("%-36s %10.0f records/s (%zu records)\n", "road records decoded", decoded / s, decoded);
  // Addresses.
  std::size_t traced = 0;
  std::uint64_t sum = 0;
  start = Clock::now();
  for (std::size_t i = 0; i < built.lineRefs.size(); ++i) {
    mpl::MdbLineRecord_t line;
    mpl::MdbRoadNear_t near;
    if (mpl::MdbFindRoadNear(map, built.lineRefs[i], built.near[i], line, 0x7FFF, near) != 0) continue;
    mpl::MdbAddress_t address;
    if (mpl::MdbAddressAt(map, line, 0x7FFF, near, address) != 0) continue;
    ++traced;
    sum += address.groups[0].number;
  }
  s = Seconds(start);
  std::printf("%-36s %10.0f addresses/s (%zu addresses, mean number %.1f)\n", "addresses traced", traced / s, traced,
              traced ? static_cast<double>(sum) / traced : 0.0);
  return traced == built.lineRefs.size() ? 0 : 1;
}
