// The nearest-feature search of a 1,920 x 1,080 map window over a generated
// product: a basemap with 60 areas and four detail tiles of 0.2 degrees with
// 150 labelled areas, 300 lines and 400 points each. At 500 pixels spread over
// the view it times each stage: building the query (the maps under the
// pixel), the area under the point for the hover, the area list of the
// feature menu, the whole search, and a hover search that finds a key press
// waiting and gives up.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "map/MAP_Nearest.h"
#include "map/MAP_Registry.h"
#include "map/MAP_Window.h"
#include "mpl/MPL_MapDirectory.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_InputProbe.h"
#include "plat/PLAT_Module.h"
#include "tdb/TDB_ProductDir.h"
#include "tdb/TDB_Registry.h"
#include "tests/imgkit/ProductBuilder.h"
#include "tests/imgkit/ProductGenerator.h"

namespace {

using Clock = std::chrono::steady_clock;
double Us(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::micro>(b - a).count(); }

constexpr std::int32_t kDeg = 11930465;
constexpr std::int32_t kTile = kDeg / 5;
constexpr std::int32_t kOrigin = 40 * kDeg;

std::uint32_t g_seed = 12345;
std::int32_t Random(std::int32_t n) {
  g_seed = g_seed * 1103515245u + 12345u;
  return static_cast<std::int32_t>((g_seed >> 8) % static_cast<std::uint32_t>(n));
}

const std::uint8_t kAreaTypes[] = {0x01, 0x03, 0x0d, 0x0e, 0x14, 0x17, 0x28, 0x3c, 0x41, 0x4c, 0x4d, 0x4e, 0x50, 0x51};
const std::uint8_t kLineTypes[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x0a, 0x14, 0x16, 0x18, 0x1c, 0x1f, 0x20};
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
    t.map.areas.push_back({kAreaTypes[Random(sizeof kAreaTypes)], "AREA " + std::to_string(i),
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

struct Stat {
  const char* name;
  double total = 0.0, worst = 0.0;
  int count = 0;
  void Add(double us) {
    total += us;
    worst = std::max(worst, us);
    ++count;
  }
  void Print() const {
    std::printf("%-34s %9.1f us on average, %9.1f us at worst (%d searches)\n", name, total / count, worst, count);
  }
};

}  // namespace

int main() {
  char folderTemplate[] = "/tmp/nearest-bench-XXXXXX";
  if (!::mkdtemp(folderTemplate)) return 1;
  const std::string folder = folderTemplate;
  ::setenv("STRIDE_REGISTRY_USER", (folder + "/registry-user.txt").c_str(), 1);
  ::setenv("STRIDE_REGISTRY_MACHINE", (folder + "/registry-machine.txt").c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (!plat::EnsureGuiApplication()) return 1;
  // The language module beside the program: the symbols and the texts.
  const std::string exeDir = std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
  const plat::ModuleHandle module = plat::LoadResourceModule(exeDir + "/StridemereLogbook_LANG.dll");
  if (module == nullptr) return 1;
  plat::SetResourceHandle(module);
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
  const imgkit::GeneratedProduct_t product = imgkit::WriteProduct(spec, folder);

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
  w.GetProjector().SetScale(0.3 * kDeg / 1920);
  w.SetCenter(geo::Position_t(kOrigin + kTile, kOrigin + kTile));
  w.UpdateWindow();
  std::printf("%zu tiles cached, detail maps %s\n", w.GetCache().GetTiles().size(),
              w.IsDetailMapsShown() ? "shown" : "not shown");

  Stat query{"query (maps under the pixel)"}, hover{"area under the point (hover)"}, menu{"area list (menu)"},
      whole{"whole search"}, givingUp{"hover with a key waiting"};
  int areasFound = 0, menuRecords = 0;
  for (int i = 0; i < 500; ++i) {
    const plat::POINT p{Random(1920), Random(1080)};
    auto t = Clock::now();
    map::Nearest_t q = w.MakeNearestQuery(w.GetProjector().PointToSearchArea(p, 8));
    query.Add(Us(t, Clock::now()));
    t = Clock::now();
    const map::NrstEntry_t entry = q.FindFeatureAt();
    hover.Add(Us(t, Clock::now()));
    areasFound += entry.texts.empty() ? 0 : 1;
    t = Clock::now();
    menuRecords += static_cast<int>(q.FindFeaturesAt().size());
    menu.Add(Us(t, Clock::now()));
    t = Clock::now();
    w.FindNearestFeatureAt(p, false);
    whole.Add(Us(t, Clock::now()));
    plat::PostKey(w, 'A');
    t = Clock::now();
    const map::NrstFeature_t none = w.FindNearestFeatureAt(p, true);
    givingUp.Add(Us(t, Clock::now()));
    if (none.kind != map::NrstFeature_t::Kind_None) return 2;
    plat::PumpUntilIdle();
  }
  for (const Stat* s : {&query, &hover, &menu, &whole, &givingUp}) s->Print();
  std::printf("areas found at %d of 500 pixels, %d menu records\n", areasFound, menuRecords);

  window.reset();
  frame.DestroyWindow();
  std::filesystem::remove_all(folder);
  return 0;
}
