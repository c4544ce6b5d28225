// Projection speed: one million positions through the map projector, as a
// track drawing projects them (forward projection with pixel clamping, and the
// unrounded projection with polyline clipping).
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "map/MAP_CosProjector.h"

int main() {
  constexpr int kCount = 1000000;
  const double perDeg = 11930464.711111112;
  std::vector<geo::Position_t> track;
  track.reserve(kCount);
  // A winding track around 47 N 8 E, a few metres between points.
  for (int i = 0; i < kCount; ++i) {
    const double t = i * 1e-5;
    track.emplace_back(static_cast<std::int32_t>((47.0 + 0.3 * t + 0.01 * (i % 97)) * perDeg),
                       static_cast<std::int32_t>((8.0 + 0.4 * t + 0.01 * (i % 89)) * perDeg));
  }
  map::CosProjector_t projector(0.0005 * perDeg, geo::Position_t(static_cast<std::int32_t>(48.5 * perDeg),
                                                                 static_cast<std::int32_t>(10.0 * perDeg)),
                                plat::RECT{0, 0, 1600, 1000}, 0);
  const map::Projector_t& p = projector;

  long long checksum = 0;
  double best = 1e30;
  for (int round = 0; round < 5; ++round) {
    const auto start = std::chrono::steady_clock::now();
    for (const geo::Position_t& pos : track) {
      const plat::POINT pt = p.PositionToScreen(pos);
      checksum += pt.x + pt.y;
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (ms < best) best = ms;
  }
  std::printf("PositionToScreen: %d positions in %.2f ms (%.3f ms per 100000 points)\n", kCount, best,
              best / (kCount / 100000.0));

  best = 1e30;
  std::size_t pieces = 0;
  // Segments of 100 points, as tracks keep them.
  const geo::Box_t box(std::make_pair(track.front(), track.back()));
  for (int round = 0; round < 5; ++round) {
    const auto start = std::chrono::steady_clock::now();
    map::DoublePolylines_t out;
    std::vector<geo::Position_t> segment;
    for (std::size_t i = 0; i < track.size(); i += 100) {
      segment.assign(track.begin() + static_cast<std::ptrdiff_t>(i),
                     track.begin() + static_cast<std::ptrdiff_t>(std::min(track.size(), i + 100)));
      p.ClipPolylineToView(segment, box, out);
    }
    pieces = out.size();
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (ms < best) best = ms;
  }
  std::printf("ClipPolylineToView: %d positions in %.2f ms (%.3f ms per 100000 points, %zu pieces)\n", kCount,
              best, best / (kCount / 100000.0), pieces);
  std::printf("checksum %lld\n", checksum);
  return 0;
}
