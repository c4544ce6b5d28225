#pragma once
// Relief shading. The shader keeps an off-screen 32-bit surface of the
// window's size; the area passes paint the first area group into it, the
// shader darkens every pixel by the angle between the terrain's surface normal
// (from the elevation model of the basemap or of the detail tiles) and a fixed
// light, and ORs the result into the back buffer, where the view was filled
// black.
#include <cstdint>
#include <vector>

#include "gdi/GDI_DibSection.h"
#include "geo/GEO_Box.h"
#include "mpl/MPL_DemCache.h"
#include "mpl/MPL_DemScan.h"
#include "mpl/MPL_DemTypes.h"
#include "plat/PLAT_Gdi.h"

namespace mpl {
class Map_t;
struct MdbMap_t;
}  // namespace mpl

namespace map {

class Window_t;
class Cache_t;
class Projector_t;

// A vector of the shading arithmetic, 256 standing for one.
struct DemVector_t {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t z = 0;
  friend bool operator==(const DemVector_t&, const DemVector_t&) = default;
};

// The vector scaled to a length of about 256 (an approximate inverse square
// root with one refinement step; components rounded half away from zero).
DemVector_t NormaliseTo256(const DemVector_t& v);

// A band of the rows of a shaded rectangle: its first row, its row count and
// the size of the work block its scan reads grid values into.
struct DemBand_t {
  std::uint32_t first = 0;
  std::uint32_t rows = 0;
  std::uint32_t workBytes = 0;
};

// Whatever the processor count, a rectangle is scanned in at most this many
// bands, whose work blocks take at most this many bytes together.
constexpr std::uint32_t kMaxDemBands = 32;
constexpr std::uint64_t kDemWorkBudget = std::uint64_t{64} << 20;

// The bands of a rectangle of columns x rows pixels over 'box', sampled from
// 'level', on 'processors' processors: two for every processor, within
// kMaxDemBands and the row count. A band's work block holds all the grid
// values its rows span where that fits its share of kDemWorkBudget (and 4 MiB),
// else it is the scan's smallest block; the picture is the same either way.
std::vector<DemBand_t> PlanDemBands(unsigned processors, const mpl::MdbBox_t& box, const mpl::MdbDemLevel_t& level,
                                    std::uint32_t columns, std::uint32_t rows);

class DemShader_t {
 public:
  // Gives the scan the map of 'index' whose elevation covers part of 'box'.
  using Finder_t = int (*)(std::uint32_t index, const mpl::MdbBox_t& box, mpl::MdbMap_t*& map, void* shader);

  // Over the window (for whether it shows detail maps), its detail tiles and
  // its basemap; sets up a cache of 1024 elevation tiles (mpl::MdbException_t
  // when that fails).
  DemShader_t(Window_t& window, Cache_t& tiles, mpl::Map_t& basemap);
  virtual ~DemShader_t();
  DemShader_t(const DemShader_t&) = delete;
  DemShader_t& operator=(const DemShader_t&) = delete;

  // (Re)makes the surface: a memory context compatible with 'reference'
  // holding a width x height surface and the palette.
  void CreateSurface(plat::Dc_t& reference, const plat::Palette_t& palette, int width, int height);
  // The surface all black.
  void Clear();
  void FillRegion(const plat::Region_t& region, const plat::GdiHandle_t& brush);

  // Shades the part of the view that the basemap shows, when the basemap has
  // elevation data.
  void PrepareBasemap(const Projector_t& projector, const geo::Box_t& view);
  // Shades the parts the detail tiles with elevation data show.
  void PrepareTiles(const Projector_t& projector);
  // Shades the rectangle of the surface over the box with the maps the finder
  // gives, in bands of rows at once (PlanDemBands). A band in the pool never
  // prompts for a missing medium: it stops, and is scanned again on this
  // thread afterwards, where the prompt may show.
  void ShadeRect(const plat::RECT& rect, const geo::Box_t& box, Finder_t finder);
  // ORs the view's part of the surface into the back buffer at the same place.
  void Shade(plat::Dc_t& back, const Projector_t& projector, const geo::Box_t& view);

  // Darkens a pixel (blue, green, red, and a fourth byte left alone) by the
  // angle between the normal and the light.
  void ShadePixel(const DemVector_t& normal, std::uint32_t& pixel, bool normalise) const;

  // The scan's callbacks.
  static int BasemapFinder(std::uint32_t index, const mpl::MdbBox_t& box, mpl::MdbMap_t*& map, void* shader);
  static int TileFinder(std::uint32_t index, const mpl::MdbBox_t& box, mpl::MdbMap_t*& map, void* shader);
  static int ShadeBlock(const mpl::MdbDemScanOutput_t& block, void* shader);

  // The context the area passes draw into.
  plat::Dc_t& GetDc() { return m_dc; }
  const gdi::DibSection_t& GetSurface() const { return m_surface; }
  const DemVector_t& GetLight() const { return m_light; }
  std::uint8_t GetLevel() const { return m_level; }
  void SetLevel(std::uint8_t bits) { m_level = bits; }
  plat::POINT GetOrigin() const { return m_origin; }
  void SetOrigin(plat::POINT origin) { m_origin = origin; }
  // The vertical scale of the samples (twice the grid step in metres x 256).
  std::int64_t GetVerticalScale() const { return m_verticalScale; }
  void SetVerticalScale(std::int64_t v) { m_verticalScale = v; }

 private:
  int Width() const { return m_surface.GetInfo().bmiHeader.biWidth; }
  int Height() const { return -m_surface.GetInfo().bmiHeader.biHeight; }

  Window_t* m_window;
  Cache_t* m_tiles;
  mpl::Map_t* m_basemap;
  mpl::MdbDemCache_t m_cache;
  std::uint8_t m_level = 0;
  plat::POINT m_origin{0, 0};
  gdi::DibSection_t m_surface;
  plat::Dc_t m_dc;
  DemVector_t m_light;
  std::int64_t m_verticalScale = 0;
};

}  // namespace map
