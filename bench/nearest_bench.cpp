// The nearest-feature search of a 1,920 x 1,080 map window over a generated
// product: a basemap with 60 areas and four detail tiles of 0.2 degrees with
// 150 labelled areas, 300 labelled lines, 400 named points and a grid of
// streets each. At 500 pixels spread over the view it times each stage of
// the hover search (building the query, the named point, the junction, the
// line with its address, the area under the point), the searches behind the
// feature menu (every area, every nearby line, the named points near the
// click, the whole collection), the whole hover search, and a hover search
// that finds a key press waiting and gives up.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "map/MAP_FeatureFilters.h"
#include "map/MAP_FeatureMenu.h"
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

using Stat = benchmap::Timings_t;

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

  Stat query{"query (maps under the pixel)"}, named{"named point"}, junction{"road junction"},
      line{"line with its address"}, area{"area under the point"}, whole{"whole hover search"},
      givingUp{"hover with a key waiting"}, areas{"menu: every area"}, lines{"menu: every nearby line"},
      names{"menu: named points near"}, menu{"menu: every feature"};
  int pointsFound = 0, junctionsFound = 0, linesFound = 0, addressesFound = 0, areasFound = 0;
  std::size_t menuEntries = 0;
  const mpl::Filter_t pointFilter = map::GetNamedPointFilter().Union(w.GetPointFilter());
  for (int i = 0; i < 500; ++i) {
    const plat::POINT p{benchmap::Random(1920), benchmap::Random(1080)};
    auto t = Clock::now();
    map::Nearest_t q = w.MakeNearestQuery(w.GetProjector().PointToSearchArea(p, 8));
    query.Add(Us(t, Clock::now()));
    t = Clock::now();
    pointsFound += q.FindNearestNamed("", pointFilter).text.empty() ? 0 : 1;
    named.Add(Us(t, Clock::now()));
    t = Clock::now();
    junctionsFound += q.FindNearestJunction().texts.empty() ? 0 : 1;
    junction.Add(Us(t, Clock::now()));
    t = Clock::now();
    const map::NrstResult_t nearest = q.FindNearestLine(true);
    line.Add(Us(t, Clock::now()));
    linesFound += nearest.name.empty() ? 0 : 1;
    addressesFound += nearest.address ? 1 : 0;
    t = Clock::now();
    areasFound += q.FindFeatureAt().texts.empty() ? 0 : 1;
    area.Add(Us(t, Clock::now()));
    t = Clock::now();
    q.FindFeaturesAt();
    areas.Add(Us(t, Clock::now()));
    t = Clock::now();
    q.CollectNearbyLines(true, map::GetNearbyLineFilter());
    lines.Add(Us(t, Clock::now()));
    t = Clock::now();
    q.SearchNameNear(pointFilter, "", 25);
    names.Add(Us(t, Clock::now()));
    t = Clock::now();
    menuEntries += w.CollectMenuFeatures(p).GetCount();
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
  for (const Stat* s : {&query, &named, &junction, &line, &area, &whole, &givingUp, &areas, &lines, &names, &menu})
    std::printf("%-34s %9.1f us on average, %9.1f us at worst (%d searches)\n", s->name, s->Average(), s->worst,
                s->count);
  std::printf("of 500 pixels: %d named points, %d junctions, %d lines (%d addresses), %d areas; %zu menu entries\n",
              pointsFound, junctionsFound, linesFound, addressesFound, areasFound, menuEntries);

  bench.window.reset();
  bench.frame.DestroyWindow();
  std::filesystem::remove_all(folder);
  return 0;
}
