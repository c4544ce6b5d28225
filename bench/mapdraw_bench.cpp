// A full render of a generated product in a 1,920 x 1,080 map window: the
// basemap where no tile covers the view and four detail tiles of 0.2 degrees
// with 150 areas, 300 lines and 400 points each, drawn in their layers
// (area groups, line groups, points). The first render opens the tiles; the
// later ones find them in the tile cache.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "map/MAP_Window.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Gui.h"
#include "tests/imgkit/ProductGenerator.h"

#include "bench/BenchMapProduct.h"

namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

using benchmap::kDeg;
using benchmap::kOrigin;
using benchmap::kTile;

}  // namespace

int main() {
  std::string folder;
  if (!benchmap::PrepareMapBench("mapdraw-bench", folder)) return 1;
  const imgkit::GenProduct_t spec = benchmap::MakeProduct(false);
  auto start = Clock::now();
  const imgkit::GeneratedProduct_t product = imgkit::WriteProduct(spec, folder);
  std::printf("product generated: %.1f ms\n", Ms(start, Clock::now()));

  benchmap::MapBenchWindow_t bench;
  if (!bench.Open(product.basemapPath)) return 1;
  map::Window_t& w = *bench.window;
  // 1,920 pixels over 0.3 degrees (21 detail bits): the four tiles meet in
  // the middle of the view, the basemap shows around them.
  w.GetProjector().SetScale(0.3 * kDeg / 1920);
  const geo::Position_t centre(kOrigin + kTile, kOrigin + kTile);
  start = Clock::now();
  w.SetCenter(centre);
  w.UpdateWindow();
  const double first = Ms(start, Clock::now());
  std::printf("first render, 1920x1080, tiles opened: %.1f ms (%zu tiles, detail maps %s)\n", first,
              w.GetCache().GetTiles().size(), w.IsDetailMapsShown() ? "shown" : "not shown");
  constexpr int kRounds = 20;
  benchmap::Timings_t renders;
  for (int i = 0; i < kRounds; ++i) {
    const auto t = Clock::now();
    w.SetCenter(centre);
    w.UpdateWindow();
    renders.Add(Ms(t, Clock::now()));
  }
  std::printf("full render, 1920x1080, tiles cached: %.1f ms on average, %.1f ms at worst (%d renders)\n",
              renders.Average(), renders.worst, renders.count);
  // What the picture holds: the share of sampled pixels in map colours other
  // than the background and the map-area fill.
  int drawn = 0, samples = 0;
  for (int y = 0; y < 1080; y += 4)
    for (int x = 0; x < 1920; x += 4) {
      const plat::COLORREF c = w.GetBackDc()->GetPixel(x, y);
      ++samples;
      if (c != plat::Rgb(235, 235, 235) && c != plat::Rgb(255, 255, 230)) ++drawn;
    }
  std::printf("features cover %.0f%% of the picture\n", 100.0 * drawn / samples);
  bench.window.reset();
  bench.frame.DestroyWindow();
  std::filesystem::remove_all(folder);
  return 0;
}
