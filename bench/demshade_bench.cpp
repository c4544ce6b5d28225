// Relief shading of a 1,920 x 1,080 view: the shading of the samples alone,
// the whole rectangle with the elevation scan over a generated terrain (tiles
// decoded on the first frame, cached after), and the copy into a back buffer.
// Target: 50 ms a frame. Each figure is given as wall time and as processor
// time, which a busy machine does not inflate.
#include <chrono>
#include <ctime>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "map/MAP_CosProjector.h"
#include "map/MAP_DemShader.h"
#include "map/MAP_Window.h"
#include "mpl/MPL_Map.h"
#include "plat/PLAT_Gui.h"
#include "tests/imgkit/DemBuilder.h"
#include "tests/imgkit/MapImage.h"

namespace {

using Clock = std::chrono::steady_clock;

// A stopwatch of wall and processor time.
struct Watch_t {
  Clock::time_point wall = Clock::now();
  std::clock_t cpu = std::clock();
  double WallMs() const { return std::chrono::duration<double, std::milli>(Clock::now() - wall).count(); }
  double CpuMs() const { return 1000.0 * double(std::clock() - cpu) / CLOCKS_PER_SEC; }
};

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kFrames = 10;

// 8 x 8 tiles of 64 x 64 points every 0x400 semicircles: rolling hills with noise.
std::string Terrain() {
  imgkit::DemBuilder_t b;
  imgkit::DemLevel_t l;
  l.tileWidth = l.tileHeight = l.lastColWidth = l.lastRowHeight = 64;
  l.tileCols = l.tileRows = 8;
  l.recordFlags = 0x0E;
  l.latStep = l.lonStep = 0x400;
  l.north = 0x00100000;
  l.west = 0x00000000;
  l.highest = 30000;
  std::mt19937 rng(5);
  for (std::uint32_t n = 0; n < 64; ++n) {
    imgkit::DemTile_t t;
    t.maxDiff = 2000;
    t.base = 100;
    for (std::uint32_t r = 0; r < 64; ++r)
      for (std::uint32_t c = 0; c < 64; ++c) {
        const std::uint32_t gr = (n / 8) * 64 + r, gc = (n % 8) * 64 + c;
        t.values.push_back(static_cast<std::uint16_t>((gr * 3 + gc * 2 + (gr * gc) % 97) % 1900 + rng() % 50));
      }
    l.tiles.push_back(t);
  }
  b.levels = {l};
  return b.Build();
}

imgkit::MapBuilder_t Map() {
  imgkit::MapBuilder_t m;
  imgkit::TreSubdiv_t s;
  s.centreLat = s.centreLon = 0x00080000;
  s.halfWidth = s.halfHeight = 1000;
  s.last = true;
  m.tre.mapId = 0x4242;
  m.tre.north = 0x00200000;
  m.tre.east = 0x00300000;
  m.tre.south = -0x00100000;
  m.tre.west = -0x00200000;
  m.tre.levels = {{0, 24, false, {s}, {}}};
  m.tre.rgnEnd = 0x10;
  m.rgnData = std::string(0x10, '\0');
  m.lbl.labelOffset = 0x200;
  m.lbl.labelLength = 0x40;
  m.extra.push_back({m.name + ".DEM", Terrain()});
  return m;
}

}  // namespace

int main() {
  if (!plat::EnsureGuiApplication()) return 1;
  int status = 0;
  {
    const imgkit::MapBuilder_t m = Map();
    mpl::Map_t basemap(imgkit::OpenImage(m.Build()), m.name, "");
    if (!basemap.HasDem()) {
      std::printf("map without elevation data\n");
      return 1;
    }
    basemap.LoadDemLevel(24);
    map::Window_t window("", false);
    plat::Dc_t reference;
    reference.CreateCompatibleDC(nullptr);
    plat::Palette_t palette;
    palette.CreatePalette(std::vector<plat::PALETTEENTRY>(52, plat::PALETTEENTRY{0, 0, 0, 0}));
    map::DemShader_t shader(window, basemap);
    shader.CreateSurface(reference, palette, kWidth, kHeight);
    const plat::RECT all{0, 0, kWidth, kHeight};

    // The shading of 1,920 x 1,080 samples of random slopes, in one block.
    std::vector<std::int32_t> samples(std::size_t(kWidth) * kHeight * 3);
    std::mt19937 rng(7);
    for (std::size_t i = 0; i < samples.size(); i += 3) {
      samples[i] = static_cast<std::int32_t>(rng() % 20001) - 10000;
      samples[i + 1] = static_cast<std::int32_t>(rng() % 20001) - 10000;
    }
    shader.SetLevel(20);
    shader.SetVerticalScale(4000);
    shader.SetOrigin(plat::POINT{0, 0});
    double wall = 0, cpu = 0;
    for (int f = 0; f < kFrames; ++f) {
      shader.GetDc().FillSolidRect(all, plat::Rgb(200, 150, 100));
      const Watch_t w;
      map::DemShader_t::ShadeBlock(mpl::MdbDemScanOutput_t{samples.data(), 0, 0, kWidth, kHeight}, &shader);
      wall += w.WallMs();
      cpu += w.CpuMs();
    }
    std::printf("shading of %d x %d samples: %.1f ms a frame (processor %.1f ms)\n", kWidth, kHeight,
                wall / kFrames, cpu / kFrames);

    // The whole rectangle: scan and shading over the terrain, 0x100 semicircles
    // a pixel (four pixels a grid step, interpolated).
    const map::CosProjector_t view(0x100, geo::Position_t(0x000C0000, 0x00040000), all, 0);
    const geo::Box_t box = view.ScreenRectToBox(all);
    wall = cpu = 0;
    for (int f = 0; f < kFrames; ++f) {
      shader.GetDc().FillSolidRect(all, plat::Rgb(200, 150, 100));
      const Watch_t w;
      shader.ShadeRect(all, box, &map::DemShader_t::BasemapFinder);
      if (f == 0) {
        std::printf("scan and shading of %d x %d pixels, tiles decoded: %.1f ms (processor %.1f ms)\n", kWidth,
                    kHeight, w.WallMs(), w.CpuMs());
        continue;
      }
      wall += w.WallMs();
      cpu += w.CpuMs();
    }
    std::printf("scan and shading of %d x %d pixels, tiles cached: %.1f ms a frame (processor %.1f ms)\n", kWidth,
                kHeight, wall / (kFrames - 1), cpu / (kFrames - 1));
    if (shader.GetDc().GetPixel(kWidth / 2, kHeight / 2) == plat::Rgb(200, 150, 100)) {
      std::printf("nothing was shaded\n");
      status = 1;
    }

    // The OR into a back buffer of the same size.
    plat::Dc_t back;
    back.CreateCompatibleDC(&reference);
    plat::Bitmap_t bitmap;
    bitmap.CreateCompatibleBitmap(reference, kWidth, kHeight);
    back.SelectObject(bitmap);
    wall = cpu = 0;
    for (int f = 0; f < kFrames; ++f) {
      const Watch_t w;
      shader.Shade(back, view, view.GetVisibleBox());
      wall += w.WallMs();
      cpu += w.CpuMs();
    }
    std::printf("copy into the back buffer: %.1f ms a frame (processor %.1f ms)\n", wall / kFrames, cpu / kFrames);
  }
  plat::EndGuiApplication();
  return status;
}
