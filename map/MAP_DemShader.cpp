#include "map/MAP_DemShader.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>

#include "glo/GLO_Exception.h"
#include "map/MAP_Projector.h"
#include "map/MAP_Window.h"
#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Exception.h"
#include "mpl/MPL_Map.h"

namespace map {

namespace {

constexpr std::int32_t kNoData = static_cast<std::int32_t>(0x80000000u);
// Semicircles of latitude per metre are 2^31 over half a meridian of the
// sphere of radius 6,371 km.
constexpr std::int64_t kHalfMeridianMetres = 20015087;
// The scan's buffers: samples of four rows of the widest strip, and the block
// of grid values.
constexpr std::uint32_t kSampleRows = 4;
constexpr std::uint32_t kWorkBytes = 512;

// Adds 0.5 to a positive value, subtracts it otherwise, and truncates.
std::int32_t RoundHalfAway(double v) { return static_cast<std::int32_t>(v + std::copysign(0.5, v)); }

bool IsEmpty(const plat::RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// The bounding rectangle of rectangles (the empty ones left out).
plat::RECT Bounds(const std::vector<plat::RECT>& rects) {
  plat::RECT u{0, 0, 0, 0};
  bool any = false;
  for (const plat::RECT& r : rects) {
    if (IsEmpty(r)) continue;
    if (!any) {
      u = r;
      any = true;
      continue;
    }
    u.left = std::min(u.left, r.left);
    u.top = std::min(u.top, r.top);
    u.right = std::max(u.right, r.right);
    u.bottom = std::max(u.bottom, r.bottom);
  }
  return u;
}

mpl::MdbBox_t ToMdbBox(const geo::Box_t& box) {
  return mpl::MdbBox_t{box.GetNorth(), box.GetEast(), box.GetSouth(), box.GetWest()};
}

// The map's current elevation level covers part of the box.
bool DemCovers(const mpl::MdbMap_t& map, const mpl::MdbBox_t& box) {
  const mpl::MdbDem_t& dem = map.dem;
  if (dem.level >= dem.levels.size()) return false;
  const mpl::MdbDemLevel_t& l = dem.levels[dem.level];
  return mpl::MdbBoxesOverlap(mpl::MdbBox_t{l.north, l.east, l.south, l.west}, box);
}

[[gnu::always_inline]] inline DemVector_t Normalise(const DemVector_t& v) {
  const std::int64_t q = ((std::int64_t(v.x) * v.x) >> 8) + ((std::int64_t(v.y) * v.y) >> 8) +
                         ((std::int64_t(v.z) * v.z) >> 8);
  if (q == 0) {
    // Too short for the sum of squares in 1/256: the estimate below would
    // blow the components up beyond any integer. Scaled exactly instead.
    const double length = std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z);
    if (length == 0.0) return DemVector_t{};
    const double r = 256.0 / length;
    return DemVector_t{RoundHalfAway(r * v.x), RoundHalfAway(r * v.y), RoundHalfAway(r * v.z)};
  }
  const double d = static_cast<double>(q) / 256.0;
  // First estimate of 1 / sqrt(d) from the bit pattern, then one Newton step.
  const std::uint64_t estimate = 0x5FE6EC85E7DE30DAull - (std::bit_cast<std::uint64_t>(d) >> 1);
  double r = std::bit_cast<double>(estimate);
  r = r * (1.5 - 0.5 * d * r * r);
  return DemVector_t{RoundHalfAway(r * v.x), RoundHalfAway(r * v.y), RoundHalfAway(r * v.z)};
}

// The light term of a normal and the darkening of the pixel's three colours by it.
[[gnu::always_inline]] inline void ShadeWith(const DemVector_t& light, const DemVector_t& n, std::uint32_t& pixel) {
  std::int64_t t = ((std::int64_t(light.z) * n.z) >> 8) + ((std::int64_t(light.y) * n.y) >> 8) +
                   ((std::int64_t(light.x) * n.x) >> 8);
  t = std::clamp<std::int64_t>(t, -256, 256);
  const std::int32_t k = static_cast<std::int32_t>((t + 1) >> 1) - 128;
  auto channel = [&](int shift) {
    const std::int32_t c = static_cast<std::int32_t>((pixel >> shift) & 0xFFu) + k;
    return static_cast<std::uint32_t>(std::clamp(c, 0, 255)) << shift;
  };
  pixel = (pixel & 0xFF000000u) | channel(0) | channel(8) | channel(16);
}

}  // namespace

DemVector_t NormaliseTo256(const DemVector_t& v) { return Normalise(v); }

DemShader_t::DemShader_t(Window_t& window, mpl::Map_t& basemap) : m_window(&window), m_basemap(&basemap) {
  const int result = mpl::MdbDemCacheInit(m_cache, 1024);
  if (result != 0) throw mpl::MdbException_t(GLO_SRC, result);
  // The light comes from the north-east, 45 degrees above the horizon.
  const double s = std::sin(std::numbers::pi / 4);
  const double c = std::cos(std::numbers::pi / 4);
  const double x = c * c, y = s * c, z = s;
  const double length = std::sqrt(x * x + y * y + z * z);
  GLO_ASSERT(length != 0.0);
  m_light = DemVector_t{RoundHalfAway(x / length * 256), RoundHalfAway(y / length * 256),
                        RoundHalfAway(z / length * 256)};
}

DemShader_t::~DemShader_t() {
  try {
    m_dc.DeleteDC();
  } catch (...) {
  }
  mpl::MdbDemCacheClear(m_cache);  // a failure leaves nothing to undo
}

void DemShader_t::SetTiles(std::vector<DemShaderTile_t> tiles, const gdi::Region_t* uncovered) {
  m_tiles = std::move(tiles);
  m_uncovered = uncovered;
}

void DemShader_t::CreateSurface(plat::Dc_t& reference, const plat::Palette_t& palette, int width, int height) {
  m_dc.DeleteDC();
  GLO_ASSERT(reference.IsValid());
  GLO_ASSERT(m_dc.CreateCompatibleDC(&reference));
  m_surface.Create(m_dc, width, height);
  GLO_ASSERT(!m_dc.SelectObject(m_surface).IsNull());
  GLO_ASSERT(!m_dc.SelectPalette(palette.GetSafeHandle(), false).IsNull());
  m_dc.RealizePalette();
}

void DemShader_t::Clear() {
  GLO_ASSERT(m_dc.IsValid());
  m_dc.FillSolidRect(plat::RECT{0, 0, Width(), Height()}, plat::PaletteIndex(0));
}

void DemShader_t::FillRegion(const plat::Region_t& region, const plat::GdiHandle_t& brush) {
  GLO_ASSERT(m_dc.IsValid());
  for (const plat::RECT& r : plat::GetRegionRects(region.GetSafeHandle())) GLO_ASSERT(m_dc.FillRect(r, brush));
}

void DemShader_t::PrepareBasemap(const Projector_t& projector, const geo::Box_t& view) {
  if (!m_basemap->IsOpen() || !m_basemap->HasDem()) return;
  m_level = static_cast<std::uint8_t>(m_basemap->GetDetailLevel());
  plat::RECT rect{0, 0, 0, 0};
  if (m_window->ShowsDetailMaps()) {
    if (m_uncovered != nullptr) {
      if (m_uncovered->GetBox(rect) == plat::kNullRegion) return;
    } else {
      rect = projector.GetClientRect();
    }
  } else {
    rect = Bounds(projector.BoxToScreenRects(view));
  }
  if (IsEmpty(rect)) return;
  const geo::Box_t box = geo::Intersection(projector.ScreenRectToBox(rect), view);
  if (box.IsEmpty()) return;
  m_basemap->LoadDemLevel(m_level);
  ShadeRect(rect, box, &DemShader_t::BasemapFinder);
}

void DemShader_t::PrepareTiles(const Projector_t& projector) {
  if (m_tiles.empty()) return;
  m_level = m_tiles.front().level;
  gdi::Region_t region;
  for (const DemShaderTile_t& tile : m_tiles) {
    if (!tile.map->HasDem()) continue;
    tile.map->LoadDemLevel(tile.level);
    if (tile.visible != nullptr) region |= *tile.visible;
  }
  plat::RECT rect{0, 0, 0, 0};
  if (region.GetBox(rect) == plat::kNullRegion) return;
  ShadeRect(rect, projector.ScreenRectToBox(rect), &DemShader_t::TileFinder);
}

void DemShader_t::ShadeRect(const plat::RECT& rect, const geo::Box_t& box, Finder_t finder) {
  if (IsEmpty(rect) || box.IsEmpty()) return;
  m_origin = plat::POINT{rect.left, rect.top};
  const std::uint32_t columns = static_cast<std::uint32_t>(rect.right - rect.left);
  const std::uint32_t rows = static_cast<std::uint32_t>(rect.bottom - rect.top);
  const mpl::MdbBox_t scanBox = ToMdbBox(box);

  // The differences span two grid steps of the first map's level: that
  // distance in metres x 256 is the normal's upright component at full detail.
  mpl::MdbMap_t* first = nullptr;
  if (finder(0, scanBox, first, this) != 0 || first == nullptr) return;
  const mpl::MdbDem_t& dem = first->dem;
  if (dem.level >= dem.levels.size()) return;
  m_verticalScale = (2 * 256 * std::int64_t(dem.levels[dem.level].latStep) * kHalfMeridianMetres) >> 31;

  std::vector<std::int32_t> output(std::size_t(columns) * kSampleRows * 3);
  std::vector<std::int32_t> work(kWorkBytes / 4);
  mpl::MdbDemScan_t q;
  q.compute = mpl::kMdbScanDifferences;
  q.mode = 1;
  q.waterZero = 1;
  q.output = output.data();
  q.outputSize = static_cast<std::uint32_t>(output.size() * 4);
  q.map = first;
  q.work = work.data();
  q.workSize = kWorkBytes;
  q.columns = columns;
  q.rows = rows;
  q.box = scanBox;
  q.consumer = &DemShader_t::ShadeBlock;
  q.consumerData = this;
  q.provider = finder;
  q.providerData = this;
  q.cache = &m_cache;
  mpl::CheckMdbResult(mpl::MdbScanDem(q), GLO_SRC, mpl::kMdbAcceptNotFound);
}

// Both finders give the maps with elevation data whose level covers part of
// the box. A block that none covers still gets the first of them, which has no
// data there: the scan takes "no map" for the first index as its end, and the
// rest of the rectangle would go unshaded.
int DemShader_t::BasemapFinder(std::uint32_t index, const mpl::MdbBox_t&, mpl::MdbMap_t*& map, void* data) {
  GLO_ASSERT(data != nullptr);
  auto* shader = static_cast<DemShader_t*>(data);
  if (index != 0 || !shader->m_basemap->HasDem()) return 3;
  map = &shader->m_basemap->Engine();
  return 0;
}

int DemShader_t::TileFinder(std::uint32_t index, const mpl::MdbBox_t& box, mpl::MdbMap_t*& map, void* data) {
  GLO_ASSERT(data != nullptr);
  auto* shader = static_cast<DemShader_t*>(data);
  mpl::MdbMap_t* firstWithData = nullptr;
  std::uint32_t n = 0;
  for (const DemShaderTile_t& tile : shader->m_tiles) {
    if (!tile.map->HasDem()) continue;
    if (firstWithData == nullptr) firstWithData = &tile.map->Engine();
    if (!DemCovers(tile.map->Engine(), box)) continue;
    if (n++ == index) {
      map = &tile.map->Engine();
      return 0;
    }
  }
  if (index != 0 || n != 0 || firstWithData == nullptr) return 3;
  map = firstWithData;
  return 0;
}

int DemShader_t::ShadeBlock(const mpl::MdbDemScanOutput_t& block, void* data) {
  GLO_ASSERT(data != nullptr && block.samples != nullptr);
  auto* shader = static_cast<DemShader_t*>(data);
  const std::int64_t a = shader->m_level;
  const std::int64_t divisor = 2 * (1536 + 1536 * (13 - a) / 11) + 256;
  const std::int32_t nz = static_cast<std::int32_t>(shader->m_verticalScale * 256 / divisor);
  const std::int64_t width = shader->Width();
  const std::int64_t height = shader->Height();
  std::uint32_t* bits = shader->m_surface.GetBits();
  const DemVector_t light = shader->m_light;
  const std::int64_t x0 = std::int64_t(shader->m_origin.x) + block.firstCol;
  // Only the columns inside the surface: a row never runs on into the next.
  const std::int64_t from = std::max<std::int64_t>(0, -x0);
  const std::int64_t to = std::min<std::int64_t>(block.columns, width - x0);
  for (std::uint32_t r = 0; r < block.rows; ++r) {
    const std::int64_t y = std::int64_t(shader->m_origin.y) + block.firstRow + r;
    // A row outside the surface is an index out of range: the block ends.
    if (y < 0 || y >= height) return 1;
    const std::int64_t index = y * width + x0;
    const std::int32_t* sample = block.samples + std::size_t(r) * block.columns * 3;
    for (std::int64_t c = from; c < to; ++c) {
      const std::int32_t sx = sample[c * 3];
      const std::int32_t sy = sample[c * 3 + 1];
      if (sx == kNoData || sy == kNoData) continue;
      ShadeWith(light, Normalise(DemVector_t{-sx, sy, nz}), bits[index + c]);
    }
  }
  return 0;
}

void DemShader_t::ShadePixel(const DemVector_t& normal, std::uint32_t& pixel, bool normalise) const {
  ShadeWith(m_light, normalise ? Normalise(normal) : normal, pixel);
}

void DemShader_t::Shade(plat::Dc_t& back, const Projector_t& projector, const geo::Box_t& view) {
  plat::RECT r = Bounds(projector.BoxToScreenRects(view));
  const plat::GdiHandle_t target = back.GetCurrentObject(plat::GdiKind::Bitmap);
  plat::BITMAP bm{};
  GLO_ASSERT(plat::GetBitmapInfo(target, bm));
  r.left = std::max(r.left, 0);
  r.top = std::max(r.top, 0);
  r.right = std::min({r.right, Width(), bm.bmWidth});
  r.bottom = std::min({r.bottom, Height(), bm.bmHeight});
  if (IsEmpty(r)) return;
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;

  // The back buffer's rows of the rectangle, ORed with the surface into a
  // section that is then copied back.
  plat::BITMAPINFO rowsInfo{};
  rowsInfo.bmiHeader.biSize = sizeof(plat::BITMAPINFOHEADER);
  rowsInfo.bmiHeader.biWidth = bm.bmWidth;
  rowsInfo.bmiHeader.biHeight = -bm.bmHeight;
  rowsInfo.bmiHeader.biPlanes = 1;
  rowsInfo.bmiHeader.biBitCount = 32;
  rowsInfo.bmiHeader.biCompression = plat::kBiRgb;
  std::vector<std::uint32_t> rows(std::size_t(bm.bmWidth) * h);
  GLO_ASSERT(plat::GetDIBits(target, r.top, h, rows.data(), rowsInfo) == h);

  plat::Dc_t dc;
  GLO_ASSERT(dc.CreateCompatibleDC(&back));
  gdi::DibSection_t result;
  result.Create(dc, w, h);
  GLO_ASSERT(!dc.SelectObject(result).IsNull());
  const std::uint32_t* surface = m_surface.GetBits();
  std::uint32_t* out = result.GetBits();
  const int width = Width();
  for (int y = 0; y < h; ++y) {
    const std::uint32_t* a = rows.data() + std::size_t(y) * bm.bmWidth + r.left;
    const std::uint32_t* b = surface + std::size_t(r.top + y) * width + r.left;
    std::uint32_t* o = out + std::size_t(y) * w;
    for (int x = 0; x < w; ++x) o[x] = a[x] | b[x];
  }
  GLO_ASSERT(back.BitBlt(r.left, r.top, w, h, dc, 0, 0, plat::kSrcCopy));
}

void Window_t::UpdateDemShader(plat::Dc_t& reference, mpl::Map_t& basemap, bool rebuildBackBuffer, int width,
                               int height) {
  const bool wanted = WantsDemShading() && basemap.IsOpen() && basemap.HasDem();
  const bool changed = wanted != m_demActive;
  m_demActive = wanted;
  if (!m_demActive) {
    m_demShader.reset();
    return;
  }
  if (changed || rebuildBackBuffer || !m_demShader) {
    m_demShader = std::make_unique<DemShader_t>(*this, basemap);
    m_demShader->CreateSurface(reference, m_palette, width, height);
  }
}

}  // namespace map
