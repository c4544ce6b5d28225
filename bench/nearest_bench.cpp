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
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "map/MAP_Nearest.h"
#include "map/MAP_Window.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_InputProbe.h"
#include "tests/imgkit/ProductGenerator.h"

#include "bench/BenchMapProduct.h"

namespace {

using Clock = std::chrono::steady_clock;
double Us(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::micro>(b - a).count(); }

using benchmap::kDeg;
using benchmap::kOrigin;
using benchmap::kTile;

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
  std::string folder;
  if (!benchmap::PrepareMapBench("nearest-bench", folder)) return 1;
  const imgkit::GenProduct_t spec = benchmap::MakeProduct(true);
  const imgkit::GeneratedProduct_t product = imgkit::WriteProduct(spec, folder);

  benchmap::MapBenchWindow_t bench;
  if (!bench.Open(product.basemapPath)) return 1;
  map::Window_t& w = *bench.window;
  w.GetProjector().SetScale(0.3 * kDeg / 1920);
  w.SetCenter(geo::Position_t(kOrigin + kTile, kOrigin + kTile));
  w.UpdateWindow();
  std::printf("%zu tiles cached, detail maps %s\n", w.GetCache().GetTiles().size(),
              w.IsDetailMapsShown() ? "shown" : "not shown");

  Stat query{"query (maps under the pixel)"}, hover{"area under the point (hover)"}, menu{"area list (menu)"},
      whole{"whole search"}, givingUp{"hover with a key waiting"};
  int areasFound = 0, menuRecords = 0;
  for (int i = 0; i < 500; ++i) {
    const plat::POINT p{benchmap::Random(1920), benchmap::Random(1080)};
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

  bench.window.reset();
  bench.frame.DestroyWindow();
  std::filesystem::remove_all(folder);
  return 0;
}
