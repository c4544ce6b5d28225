#pragma once
// What the map window's benchmarks share: a private settings folder with the
// language module loaded, a record of timings, and one generated product (a basemap with 60 areas
// and four detail tiles of 0.2 degrees with 150 areas, 300 lines and 400
// points each), the same for every run.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "map/MAP_Cache.h"
#include "map/MAP_Registry.h"
#include "map/MAP_Window.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_Module.h"
#include "plat/PLAT_Window.h"
#include "tests/imgkit/HouseNumberStream.h"
#include "tests/imgkit/ProductGenerator.h"

namespace benchmap {

constexpr std::int32_t kDeg = 11930465;
constexpr std::int32_t kTile = kDeg / 5;  // 0.2 degrees
constexpr std::int32_t kOrigin = 40 * kDeg;

// The times of one kind of work: their sum, the worst and how many.
struct Timings_t {
  const char* name = "";
  double total = 0.0, worst = 0.0;
  int count = 0;
  void Add(double time) {
    total += time;
    worst = std::max(worst, time);
    ++count;
  }
  double Average() const { return count == 0 ? 0.0 : total / count; }
};

// A fixed sequence of numbers in 0..n-1.
inline std::int32_t Random(std::int32_t n) {
  static std::uint32_t seed = 12345;
  seed = seed * 1103515245u + 12345u;
  return static_cast<std::int32_t>((seed >> 8) % static_cast<std::uint32_t>(n));
}

// Settings in a new folder under /tmp named after 'name', the offscreen
// platform, the language module beside the program (symbols and texts),
// metric units and one map font. False when any of it fails.
inline bool PrepareMapBench(const std::string& name, std::string& folder) {
  std::string pattern = "/tmp/" + name + "-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) return false;
  folder = pattern;
  ::setenv("STRIDE_REGISTRY_USER", (folder + "/registry-user.txt").c_str(), 1);
  ::setenv("STRIDE_REGISTRY_MACHINE", (folder + "/registry-machine.txt").c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (!plat::EnsureGuiApplication()) return false;
  const std::string exeDir = std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
  const plat::ModuleHandle module = plat::LoadResourceModule(exeDir + "/StridemereLogbook_LANG.dll");
  if (module == nullptr) return false;
  plat::SetResourceHandle(module);
  map::GetRegistry().DistanceUnitsType.Set(mat::DistUnitsTypes_t(0));
  map::GetRegistry().MapFontSetting.Set(map::MapFont_t{"DejaVu Sans", -13, 400, false});
  return true;
}

inline const std::uint8_t kAreaTypes[] = {0x01, 0x03, 0x0d, 0x0e, 0x14, 0x17, 0x28,
                                          0x3c, 0x41, 0x4c, 0x4d, 0x4e, 0x50, 0x51};
inline const std::uint8_t kLineTypes[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x06, 0x06,
                                          0x0a, 0x14, 0x16, 0x18, 0x1c, 0x1f, 0x20};
inline const std::uint8_t kPointTypes[] = {0x06, 0x0d, 0x20, 0x2a, 0x2f, 0x2b, 0x45, 0x64, 0x66};

// A detail tile of 0.2 degrees north-east of (south, west). When 'labelled'
// its areas, lines and points carry labels ("AREA n", "LINE n", "POINT n")
// and a grid of nine streets each way crosses it, every street a road split
// at its crossings, so that road junctions can be found, each piece with
// house numbers from 100 (even on the left, odd on the right).
inline imgkit::GenTile_t MakeTile(std::uint32_t id, std::int32_t south, std::int32_t west, bool labelled) {
  imgkit::GenTile_t t;
  t.id = id;
  t.map.box = {south + kTile, west + kTile, south, west};
  const std::int32_t margin = kTile / 50;
  for (int i = 0; i < 150; ++i) {
    const std::int32_t size = kTile / 40 + Random(kTile / 8);
    const std::int32_t s = south + margin + Random(kTile - 2 * margin - size);
    const std::int32_t w = west + margin + Random(kTile - 2 * margin - size);
    t.map.areas.push_back({kAreaTypes[Random(sizeof kAreaTypes)], labelled ? "AREA " + std::to_string(i) : "",
                           imgkit::RingInBox({s + size, w + size, s, w}, 8 + unsigned(Random(24)))});
  }
  if (labelled) {
    const std::int32_t step = kTile / 10;
    imgkit::HouseNumberStream_t numbers(true);
    numbers.Header(8, 0, 8, 0, 100, 8);
    numbers.Parity(1, 2);
    numbers.Numbers(0, 20, 1, 20);
    for (int a = 1; a <= 9; ++a)
      for (int b = 0; b <= 9; ++b) {
        const std::int32_t at = a * step, from = b == 0 ? margin : b * step, to = b == 9 ? kTile - margin : (b + 1) * step;
        t.map.lines.push_back({0x06, "STREET " + std::to_string(a), {{south + at, west + from}, {south + at, west + to}},
                               true, numbers.Bytes()});
        t.map.lines.push_back({0x05, "AVENUE " + std::to_string(a), {{south + from, west + at}, {south + to, west + at}},
                               true, numbers.Bytes()});
      }
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
    t.map.lines.push_back({kLineTypes[Random(sizeof kLineTypes)], labelled ? "LINE " + std::to_string(i) : "", points});
  }
  for (int i = 0; i < 400; ++i)
    t.map.points.push_back({kPointTypes[Random(sizeof kPointTypes)], labelled ? "POINT " + std::to_string(i) : "",
                            {south + margin + Random(kTile - 2 * margin), west + margin + Random(kTile - 2 * margin)},
                            std::nullopt});
  return t;
}

// The basemap over 0.8 degrees around the four tiles, which meet at
// (kOrigin + kTile, kOrigin + kTile).
inline imgkit::GenProduct_t MakeProduct(bool labelledTileAreas) {
  imgkit::GenProduct_t spec;
  spec.basemap.box = {kOrigin + 3 * kTile, kOrigin + 3 * kTile, kOrigin - kTile, kOrigin - kTile};
  for (int i = 0; i < 60; ++i) {
    const std::int32_t s = kOrigin - kTile + Random(3 * kTile), w = kOrigin - kTile + Random(3 * kTile);
    spec.basemap.areas.push_back({kAreaTypes[Random(sizeof kAreaTypes)], "",
                                  imgkit::RingInBox({s + kTile / 2, w + kTile / 2, s, w}, 30)});
  }
  std::uint32_t id = 1;
  for (int row = 0; row < 2; ++row)
    for (int col = 0; col < 2; ++col)
      spec.tiles.push_back(MakeTile(id++, kOrigin + row * kTile, kOrigin + col * kTile, labelledTileAreas));
  return spec;
}

// A 1,920 x 1,080 map window over the installed products of the benchmark's
// settings (make it after the product is written), with the basemap open.
struct MapBenchWindow_t {
  imgkit::InstalledProducts_t installed;
  plat::Wnd_t frame;
  std::unique_ptr<map::Window_t> window = std::make_unique<map::Window_t>("", false);

  bool Open(const std::string& basemapPath) {
    frame.Create(nullptr, 0, plat::kWsPopup | plat::kWsVisible, plat::RECT{0, 0, 1920, 1080});
    if (!window->CreateMapWindow(&frame, 1, plat::RECT{0, 0, 1920, 1080})) return false;
    window->GetCache().SetProductEnv(installed.Env());
    window->OpenMapFile(basemapPath, "", "");
    plat::PumpUntilIdle();
    return true;
  }
};

}  // namespace benchmap
