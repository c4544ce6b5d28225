// The map object's searches on a generated map of 50,176 objects: 16 x 16
// subdivisions with 98 lines and 98 areas each. Measures nearest-line
// searches (the three nearest lines) and point-in-area searches per second at
// positions spread over the map, and area searches over the whole map, with
// a filter that admits one type in four and without one. Run by hand:
// build/bin/facade_bench
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "mpl/MPL_Map.h"
#include "tests/imgkit/MapImage.h"
#include "tests/imgkit/MemoryMedia.h"
#include "tests/imgkit/RgnBuilder.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr unsigned kSide = 16;
constexpr unsigned kPerKind = 98;
constexpr unsigned kQueries = 2000;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }


constexpr std::int32_t kSpan = 0x100000;  // one subdivision, in semicircles
constexpr std::int16_t kCell = 0x160;      // one line and one area, in level units
constexpr std::int16_t kFirst = -0x700;

std::uint8_t AreaType(unsigned k) { return static_cast<std::uint8_t>(0x40 + k % 4); }

imgkit::TreSubdiv_t Sub(std::int32_t lat, std::int32_t lon, std::uint16_t half, bool last, std::uint16_t child) {
  imgkit::TreSubdiv_t s;
  s.centreLat = lat;
  s.centreLon = lon;
  s.halfWidth = s.halfHeight = half;
  s.last = last;
  s.firstChild = child;
  return s;
}

imgkit::RgnPoly_t Poly(std::uint8_t type, std::int16_t dlon, std::int16_t dlat,
                       std::vector<imgkit::DeltaPoint_t> points) {
  imgkit::RgnPoly_t p;
  p.type = type;
  p.dlon = dlon;
  p.dlat = dlat;
  p.stream.points = std::move(points);
  return p;
}

imgkit::TreTable_t Overview(const std::vector<std::uint8_t>& types) {
  imgkit::TreTable_t t;
  t.recordSize = 2;
  for (std::uint8_t type : types) t.data += std::string{static_cast<char>(type), '\0'};
  return t;
}

// kSide x kSide level-0 subdivisions under one level-1 subdivision without
// data of its own; in each, line k is an L from the corner of cell k and area
// k a square beside it.
std::string BuildImage() {
  imgkit::MapBuilder_t m;
  m.name = "20000001";
  const std::int32_t extent = static_cast<std::int32_t>(kSide) * kSpan;
  m.tre.north = m.tre.east = extent;
  m.tre.south = m.tre.west = 0;
  std::vector<imgkit::TreSubdiv_t> children;
  for (unsigned row = 0; row < kSide; ++row)
    for (unsigned col = 0; col < kSide; ++col)
      children.push_back(Sub(static_cast<std::int32_t>(row) * kSpan + kSpan / 2,
                             static_cast<std::int32_t>(col) * kSpan + kSpan / 2, 0x800,
                             row == kSide - 1 && col == kSide - 1, 0));
  m.tre.levels = {
      {1, 20, true, {Sub(extent / 2, extent / 2, static_cast<std::uint16_t>(extent / 2 / 4096), true, 2)}, {}},
      {0, 24, false, children, {}},
  };
  m.rgn.length = 125;
  imgkit::RgnBuilder_t rgn;
  rgn.subdivisions.push_back(imgkit::RgnSubdivision_t{});
  for (unsigned s = 0; s < kSide * kSide; ++s) {
    imgkit::RgnSubdivision_t sub;
    for (unsigned k = 0; k < kPerKind; ++k) {
      const std::int16_t x = static_cast<std::int16_t>(kFirst + (k % 10) * kCell);
      const std::int16_t y = static_cast<std::int16_t>(kFirst + (k / 10) * kCell);
      sub.lines.push_back(Poly(static_cast<std::uint8_t>(1 + k % 6), x, y, {{0x80, 0, {}}, {0, 0x80, {}}}));
      sub.areas.push_back(Poly(AreaType(k), static_cast<std::int16_t>(x + 0x90), static_cast<std::int16_t>(y + 0x90),
                               {{0x40, 0, {}}, {0, 0x40, {}}, {-0x40, 0, {}}}));
    }
    rgn.subdivisions.push_back(sub);
  }
  m.tre.overviews[0] = Overview({1, 2, 3, 4, 5, 6});
  m.tre.overviews[1] = Overview({0x40, 0x41, 0x42, 0x43});
  rgn.Place(m);
  return m.Build();
}

geo::Box_t World() { return geo::Box_t(0x3FFFFFFF, -0x3FFFFFFF, 0x7FFFFFFF, static_cast<std::int32_t>(0x80000000)); }

}  // namespace

int main() {
  const Clock::time_point built = Clock::now();
  auto* media = new imgkit::MemoryMedia_t(BuildImage(), true, "bench.img");
  const mpl::ImageSource_t source(*media, glo::SmartPtr_t<glo::RefCounter_t>(media), 16);
  mpl::Map_t map(source, "20000001", "");
  map.SetSearchBox(World());
  std::printf("map of %u objects built and opened in %.2f s\n", 2 * kSide * kSide * kPerKind, Seconds(built));

  std::mt19937 rng(7);
  const std::int32_t extent = static_cast<std::int32_t>(kSide) * kSpan;
  std::uniform_int_distribution<std::int32_t> coord(0, extent - 1);
  std::vector<mpl::MdbPoint_t> points;
  for (unsigned i = 0; i < kQueries; ++i) points.push_back({coord(rng), coord(rng)});

  Clock::time_point start = Clock::now();
  unsigned found = 0;
  for (const mpl::MdbPoint_t& p : points) {
    mpl::MdbLineHit_t hits[3];
    mpl::MdbLineRecord_t line;
    found += map.FindNearestLines(p, line, hits, 3) ? 1 : 0;
  }
  double s = Seconds(start);
  std::printf("nearest lines (3) over the whole map: %u searches in %.3f s, %.0f per second (%u found)\n", kQueries, s, kQueries / s, found);

  // As the map window asks: a search box of one subdivision's size around the point.
  start = Clock::now();
  found = 0;
  for (const mpl::MdbPoint_t& p : points) {
    const std::int32_t r = kSpan / 2;
    map.SetSearchBox(geo::Box_t(p.lat + r, p.lat - r, p.lon + r, p.lon - r));
    mpl::MdbLineHit_t hits[3];
    mpl::MdbLineRecord_t line;
    found += map.FindNearestLines(p, line, hits, 3) ? 1 : 0;
  }
  map.SetSearchBox(World());
  s = Seconds(start);
  std::printf("nearest lines (3) in a box around the point: %u searches in %.3f s, %.0f per second (%u found)\n",
              kQueries, s, kQueries / s, found);

  start = Clock::now();
  found = 0;
  for (const mpl::MdbPoint_t& p : points) {
    mpl::MdbAreaRecord_t area;
    found += map.FindAreasAtPoint(p, area) ? 1 : 0;
  }
  s = Seconds(start);
  std::printf("point in area: %u searches in %.3f s, %.0f per second (%u inside an area)\n", kQueries, s, kQueries / s,
              found);

  for (bool filtered : {true, false}) {
    const mpl::Filter_t filter =
        filtered ? mpl::Filter_t(mpl::FilterEntry_t{AreaType(1), 0xFFFFFFFF}, 1) : mpl::Filter_t();
    start = Clock::now();
    unsigned areas = 0, points = 0;
    auto range = map.AreaSearch(mpl::Criteria_t(24, World(), filter));
    for (auto it = range.begin(); it != range.end(); ++it) {
      ++areas;
      points += static_cast<unsigned>(it->record.points.size());
    }
    s = Seconds(start);
    std::printf("area search over the whole map%s: %u areas (%u points) in %.3f s, %.0f areas per second\n",
                filtered ? ", one type in four" : "", areas, points, s, areas / s);
  }
  return 0;
}
