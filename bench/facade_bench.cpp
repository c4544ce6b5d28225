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
#include "tests/mpl/MapFacadeFixture.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr unsigned kSide = 16;
constexpr unsigned kPerKind = 98;
constexpr unsigned kQueries = 2000;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

geo::Box_t World() { return geo::Box_t(0x3FFFFFFF, -0x3FFFFFFF, 0x7FFFFFFF, static_cast<std::int32_t>(0x80000000)); }

}  // namespace

int main() {
  const Clock::time_point built = Clock::now();
  facadetest::Image_t image(facadetest::FilesOf(facadetest::GridFixture(kSide, kPerKind)));
  mpl::Map_t map(image.source, "20000001", "");
  map.SetSearchBox(World());
  std::printf("map of %u objects built and opened in %.2f s\n", 2 * kSide * kSide * kPerKind, Seconds(built));

  std::mt19937 rng(7);
  const std::int32_t extent = static_cast<std::int32_t>(kSide) * facadetest::kSpan;
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
    const std::int32_t r = facadetest::kSpan / 2;
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
        filtered ? mpl::Filter_t(mpl::FilterEntry_t{facadetest::AreaType(1), 0xFFFFFFFF}, 1) : mpl::Filter_t();
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
