// A full render of a generated product in a 1,920 x 1,080 map window: the
// basemap where no tile covers the view and four detail tiles of 0.2 degrees
// with 150 areas, 300 lines and 400 points each, drawn in their layers
// (area groups, line groups, points). The first render opens the tiles; the
// later ones find them in the tile cache.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <algorithm>
#include <memory>
#include <string>

#include "map/MAP_Registry.h"
#include "map/MAP_Window.h"
#include "mpl/MPL_MapDirectory.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Gui.h"
#include "tdb/TDB_ProductDir.h"
#include "tdb/TDB_Registry.h"
#include "tests/imgkit/ProductBuilder.h"
#include "tests/imgkit/ProductGenerator.h"

namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

constexpr std::int32_t kDeg = 11930465;
constexpr std::int32_t kTile = kDeg / 5;  // 0.2 degrees
constexpr std::int32_t kOrigin = 40 * kDeg;

std::uint32_t g_seed = 12345;
std::int32_t Random(std::int32_t n) {
  g_seed = g_seed * 1103515245u + 12345u;
  return static_cast<std::int32_t>((g_seed >> 8) % static_cast<std::uint32_t>(n));
}

const std::uint8_t kAreaTypes[] = {0x01, 0x03, 0x0d, 0x0e, 0x14, 0x17, 0x28, 0x3c, 0x41, 0x4c, 0x4d, 0x4e, 0x50, 0x51};
const std::uint8_t kLineTypes[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x06, 0x06, 0x0a, 0x14, 0x16, 0x18, 0x1c, 0x1f, 0x20};
const std::uint8_t kPointTypes[] = {0x06, 0x0d, 0x20, 0x2a, 0x2f, 0x2b, 0x45, 0x64, 0x66};

imgkit::GenTile_t MakeTile(std::uint32_t id, std::int32_t south, std::int32_t west) {
  imgkit::GenTile_t t;
  t.id = id;
  t.map.box = {south + kTile, west + kTile, south, west};
  const std::int32_t margin = kTile / 50;
  for (int i = 0; i < 150; ++i) {
    const std::int32_t size = kTile / 40 + Random(kTile / 8);
    const std::int32_t s = south + margin + Random(kTile - 2 * margin - size);
    const std::int32_t w = west + margin + Random(kTile - 2 * margin - size);
    t.map.areas.push_back({kAreaTypes[Random(sizeof kAreaTypes)], "",
                           imgkit::RingInBox({s + size, w + size, s, w}, 8 + unsigned(Random(24)))});
  }
  for (int i = 0; i < 300; ++i) {
    std::vector<imgkit::GenPos_t> points;
    std::int32_t lat = south + margin + Random(kTile - 2 * margin), lon = west + margin + Random(kTile - 2 * margin);
    const int n = 4 + Random(20);
    for (int k = 0; k < n; ++k) {
      points.push_back({lat, lon});
      lat = std::clamp(lat + Random(kTile / 40) - kTile / 80, south + margin, south + kTile - margin);
      lon = std::clamp(lon + Random(kTile / 40) - kTile / 80, west + margin, west + kTile - margin);
    }
    t.map.lines.push_back({kLineTypes[Random(sizeof kLineTypes)], "", points});
  }
  for (int i = 0; i < 400; ++i)
    t.map.points.push_back({kPointTypes[Random(sizeof kPointTypes)], "",
                            {south + margin + Random(kTile - 2 * margin), west + margin + Random(kTile - 2 * margin)},
                            std::nullopt});
  return t;
}

}  // namespace

int main() {
  char folderTemplate[] = "/tmp/mapdraw-bench-XXXXXX";
  if (!::mkdtemp(folderTemplate)) return 1;
  const std::string folder = folderTemplate;
  ::setenv("STRIDE_REGISTRY_USER", (folder + "/registry-user.txt").c_str(), 1);
  ::setenv("STRIDE_REGISTRY_MACHINE", (folder + "/registry-machine.txt").c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (!plat::EnsureGuiApplication()) return 1;
  map::GetRegistry().DistanceUnitsType.Set(mat::DistUnitsTypes_t(0));
  map::GetRegistry().MapFontSetting.Set(map::MapFont_t{"DejaVu Sans", -13, 400, false});

  imgkit::GenProduct_t spec;
  spec.basemap.box = {kOrigin + 3 * kTile, kOrigin + 3 * kTile, kOrigin - kTile, kOrigin - kTile};
  for (int i = 0; i < 60; ++i) {
    const std::int32_t s = kOrigin - kTile + Random(3 * kTile), w = kOrigin - kTile + Random(3 * kTile);
    spec.basemap.areas.push_back({kAreaTypes[Random(sizeof kAreaTypes)], "",
                                  imgkit::RingInBox({s + kTile / 2, w + kTile / 2, s, w}, 30)});
  }
  std::uint32_t id = 1;
  for (int row = 0; row < 2; ++row)
    for (int col = 0; col < 2; ++col) spec.tiles.push_back(MakeTile(id++, kOrigin + row * kTile, kOrigin + col * kTile));
  auto start = Clock::now();
  const imgkit::GeneratedProduct_t product = imgkit::WriteProduct(spec, folder);
  std::printf("product generated: %.1f ms\n", Ms(start, Clock::now()));
  const tdb::Registry_t registry;
  const tdb::ProductDir_t products(registry);
  mpl::MapDirectory_t directory;

  plat::Wnd_t frame;
  frame.Create(nullptr, 0, plat::kWsPopup | plat::kWsVisible, plat::RECT{0, 0, 1920, 1080});
  auto window = std::make_unique<map::Window_t>("", false);
  map::Window_t& w = *window;
  if (!w.CreateMapWindow(&frame, 1, plat::RECT{0, 0, 1920, 1080})) return 1;
  mpl::ProductImageEnv_t env;
  env.products = &products;
  env.registry = &registry;
  env.directory = &directory;
  w.GetCache().SetProductEnv(env);
  w.OpenMapFile(product.basemapPath, "", "");
  plat::PumpUntilIdle();
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
  double total = 0.0, worst = 0.0;
  for (int i = 0; i < kRounds; ++i) {
    const auto t = Clock::now();
    w.SetCenter(centre);
    w.UpdateWindow();
    const double ms = Ms(t, Clock::now());
    total += ms;
    worst = std::max(worst, ms);
  }
  std::printf("full render, 1920x1080, tiles cached: %.1f ms on average, %.1f ms at worst (%d renders)\n",
              total / kRounds, worst, kRounds);
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
  window.reset();
  frame.DestroyWindow();
  std::filesystem::remove_all(folder);
  return 0;
}
