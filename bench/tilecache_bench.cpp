// The detail-tile cache of the map window over a generated product of 20
// tiles (5 x 4, all in a 1920 x 1080 view) whose coverage polygons have 200 to
// 1,000 points along the tiles' outlines (and, as a worst case, as stars):
// the rebuild of the tiles' regions from their own coverage
// areas, the same with the tiles sharing the view, the rebuild from the
// basemap's polygons (zoomed out beyond the tiles' levels), and one render's
// coverage pass with a cache update that opens nothing.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <memory>

#include "map/MAP_Window.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Folder.h"
#include "plat/PLAT_Gui.h"
#include "tests/imgkit/ProductBuilder.h"
#include "tests/imgkit/ProductGenerator.h"

#include "bench/BenchMapProduct.h"

namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

constexpr int kCols = 5, kRows = 4;
constexpr int kWidth = 1920, kHeight = 1080;
constexpr double kScale = 128.0;  // semicircles a pixel: 24 detail bits
constexpr std::int32_t kTileLon = 49152, kTileLat = 34560;  // 384 x 270 pixels

// A star of 'count' points inside the box: alternate points at 90 % and 60 %
// of the half size, so that every point stays distinct at 24 bits.
std::vector<imgkit::GenPos_t> Star(const imgkit::GenBox_t& box, unsigned count) {
  std::vector<imgkit::GenPos_t> star;
  const double cLat = (static_cast<double>(box.north) + box.south) / 2;
  const double cLon = (static_cast<double>(box.east) + box.west) / 2;
  const double rLat = (static_cast<double>(box.north) - box.south) / 2;
  const double rLon = (static_cast<double>(box.east) - box.west) / 2;
  for (unsigned i = 0; i < count; ++i) {
    const double a = 2 * M_PI * i / count;
    const double r = i % 2 ? 0.6 : 0.9;
    star.push_back({static_cast<std::int32_t>(cLat + rLat * r * std::sin(a)),
                    static_cast<std::int32_t>(cLon + rLon * r * std::cos(a))});
  }
  return star;
}

// A tile's boundary as coverage polygons usually are: the box's outline with
// 'count' points spread along it, every other one 2 units (512 semicircles)
// inside, so that neighbouring points stay distinct at 24 bits.
std::vector<imgkit::GenPos_t> Outline(const imgkit::GenBox_t& box, unsigned count) {
  const double w = static_cast<double>(box.east) - box.west, h = static_cast<double>(box.north) - box.south;
  const double perimeter = 2 * (w + h);
  std::vector<imgkit::GenPos_t> outline;
  for (unsigned i = 0; i < count; ++i) {
    double d = perimeter * i / count;
    const double in = i % 2 ? 512.0 : 0.0;
    double lat = 0, lon = 0;
    if (d < w) {
      lat = box.north - in, lon = box.west + d;
    } else if ((d -= w) < h) {
      lat = box.north - d, lon = box.east - in;
    } else if ((d -= h) < w) {
      lat = box.south + in, lon = box.east - d;
    } else {
      d -= w;
      lat = box.south + d, lon = box.west + in;
    }
    outline.push_back({static_cast<std::int32_t>(lat), static_cast<std::int32_t>(lon)});
  }
  return outline;
}

enum class Shape_t { kOutline, kStar };

imgkit::GenProduct_t Product(bool tileRegions, Shape_t shape) {
  imgkit::GenProduct_t spec;
  spec.tileRegions = tileRegions;
  spec.basemap.levelBits = {24, 22};
  for (int row = 0; row < kRows; ++row)
    for (int col = 0; col < kCols; ++col) {
      const int n = row * kCols + col;
      imgkit::GenTile_t& t = spec.tiles.emplace_back();
      t.id = static_cast<std::uint32_t>(100 + n);
      // Neighbouring tiles overlap by an eighth.
      t.map.box = {(row + 1) * kTileLat + kTileLat / 8, (col + 1) * kTileLon + kTileLon / 8, row * kTileLat,
                   col * kTileLon};
      const auto points = static_cast<unsigned>(200 + n * 800 / 19);
      t.coverage = shape == Shape_t::kStar ? Star(t.map.box, points) : Outline(t.map.box, points);
      t.map.areas.push_back({0x4e, "PARK", imgkit::BoxOutline({t.map.box.north - kTileLat / 4,
                                                               t.map.box.east - kTileLon / 4,
                                                               t.map.box.south + kTileLat / 4,
                                                               t.map.box.west + kTileLon / 4})});
    }
  return spec;
}

struct Setup_t {
  imgkit::GeneratedProduct_t product;
  std::unique_ptr<imgkit::InstalledProducts_t> installed;
  std::unique_ptr<map::Window_t> window;

  // The product goes into the new folder 'root'.
  Setup_t(const std::string& root, bool tileRegions, Shape_t shape) {
    plat::CreateDirectory(root);
    product = imgkit::WriteProduct(Product(tileRegions, shape), root);
    installed = std::make_unique<imgkit::InstalledProducts_t>();
    imgkit::MachineHive_t::WriteEmpty();
    window = std::make_unique<map::Window_t>("", false);
    window->GetCache().SetProductEnv(installed->Env());
    map::Projector_t& p = window->GetProjector();
    p.SetClientRect(plat::RECT{0, 0, kWidth, kHeight});
    p.SetScale(kScale);
    p.SetCenter(geo::Position_t(kRows * kTileLat / 2 + kTileLat / 16, kCols * kTileLon / 2 + kTileLon / 16));
    window->OpenMapFile(product.basemapPath, "", "");
    Render();
  }
  void Render() {
    window->GetCoverage().clear();
    window->FindCoveringTiles(window->GetProjector().GetVisibleBox());
    window->GetCache().Update(window->GetCoverage(), window->GetProjector());
  }
  double RebuildMs(unsigned bits, int runs) {
    map::Cache_t& cache = window->GetCache();
    cache.Rebuild(window->GetCoverage(), window->GetProjector(), bits);
    const auto start = Clock::now();
    for (int i = 0; i < runs; ++i) cache.Rebuild(window->GetCoverage(), window->GetProjector(), bits);
    return Ms(start, Clock::now()) / runs;
  }
};

}  // namespace

int main() {
  // The product registration goes to the settings of this run, never to the
  // machine's own.
  std::string folder;
  if (!benchmap::PrepareMapBench("tilecache-bench", folder)) return 1;
  constexpr int kRuns = 40;
  {
    Setup_t s(folder + "/outlines", false, Shape_t::kOutline);
    std::size_t fewest = SIZE_MAX, most = 0;
    for (const auto& entry : s.window->GetCoverage()) {
      fewest = std::min(fewest, entry.second.record.points.size());
      most = std::max(most, entry.second.record.points.size());
    }
    std::printf("tiles kept: %zu, coverage polygons: %zu (%zu to %zu points)\n", s.window->GetCache().GetTiles().size(),
                s.window->GetCoverage().size(), fewest, most);
    std::printf("rebuild from the tiles' own coverage areas: %.2f ms\n", s.RebuildMs(24, kRuns));
    const auto start = Clock::now();
    for (int i = 0; i < kRuns; ++i) s.Render();
    std::printf("coverage pass and update (nothing opened): %.2f ms\n", Ms(start, Clock::now()) / kRuns);
  }
  {
    Setup_t s(folder + "/shared", true, Shape_t::kOutline);
    std::printf("rebuild with tiles sharing the view: %.2f ms\n", s.RebuildMs(24, kRuns));
    std::printf("rebuild from the basemap's polygons (zoomed out): %.2f ms\n", s.RebuildMs(21, kRuns));
  }
  {
    // The worst shape for regions: every scan line crosses the outline often.
    Setup_t s(folder + "/stars", false, Shape_t::kStar);
    std::printf("rebuild from own areas shaped as 200- to 1,000-point stars: %.2f ms\n", s.RebuildMs(24, kRuns));
  }
  std::filesystem::remove_all(folder);
  return 0;
}
