#include "map/MAP_DemShader.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <exception>
#include <mutex>
#include <numbers>

#include "dsk/DSK_Media.h"
#include "glo/GLO_Exception.h"
#include "map/MAP_Cache.h"
#include "map/MAP_Projector.h"
#include "map/MAP_Window.h"
#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Exception.h"
#include "mpl/MPL_Map.h"
#include "plat/PLAT_SystemInfo.h"
#include "thr/THR_Parallel.h"

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
// A rectangle is scanned in bands of rows at once, two for every processor
// so that a band held up does not hold up the rest (within kMaxDemBands);
// each band's scan reads its grid values into one block when that stays
// within this size and the band's share of kDemWorkBudget.
constexpr unsigned kBandsPerProcessor = 2;
constexpr std::int64_t kMaxBandWorkBytes = 4 << 20;
// Beyond this many grid steps a pixel the scan uses its smallest block.
constexpr std::int64_t kMaxStepsPerPixel = 7;

// The work block that lets the scan of 'bandRows' of 'rows' x 'columns'
// samples over the box read the level's grid values in one piece (the cells
// the samples span, the scan's margin of four and one for rounding), or the
// plain block where that is larger than 'limit'.
std::uint32_t BandWorkBytes(const mpl::MdbBox_t& box, const mpl::MdbDemLevel_t& level, std::uint32_t columns,
                            std::uint32_t rows, std::uint32_t bandRows, std::int64_t limit) {
  const std::int64_t latSpan = std::int64_t(box.north) - box.south;
  std::int64_t lonSpan = std::int64_t(box.east) - box.west;
  if (lonSpan < 0) lonSpan += std::int64_t{1} << 32;
  if (latSpan > kMaxStepsPerPixel * rows * std::int64_t(level.latStep) ||
      lonSpan > kMaxStepsPerPixel * columns * std::int64_t(level.lonStep))
    return kWorkBytes;
  const std::int64_t gridRows = latSpan * bandRows / rows / level.latStep + 5;
  const std::int64_t gridCols = lonSpan / level.lonStep + 5;
  const std::int64_t bytes = gridRows * gridCols * 4;
  return bytes > limit ? kWorkBytes : static_cast<std::uint32_t>(std::max<std::int64_t>(bytes, kWorkBytes));
}

// A band's scan and buffers. It counts the blocks it has shaded, so that a
// scan of the band run again after a failure skips what is already shaded
// (shading darkens a pixel each time; a band's scan delivers the same blocks
// in the same order every time).
struct ShadeBand_t {
  std::vector<std::int32_t> output, work;
  mpl::MdbDemScan_t q;
  DemShader_t* shader = nullptr;
  std::uint64_t shaded = 0;
  std::uint64_t skip = 0;
  int result = 0;
  bool deferred = false;  // stopped where it would have prompted for its medium
  std::exception_ptr failure;
};

int ShadeBandBlock(const mpl::MdbDemScanOutput_t& block, void* data) {
  auto* band = static_cast<ShadeBand_t*>(data);
  if (band->skip > 0) {
    --band->skip;
    return 0;
  }
  const int result = DemShader_t::ShadeBlock(block, band->shader);
  if (result == 0) ++band->shaded;
  return result;
}

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
  // Clamped by value: the shading of every pixel runs through here.
  t = t < -256 ? -256 : (t > 256 ? 256 : t);
  const std::int32_t k = static_cast<std::int32_t>((t + 1) >> 1) - 128;
  auto channel = [&](int shift) {
    const std::int32_t c = static_cast<std::int32_t>((pixel >> shift) & 0xFFu) + k;
    return static_cast<std::uint32_t>(c < 0 ? 0 : (c > 255 ? 255 : c)) << shift;
  };
  pixel = (pixel & 0xFF000000u) | channel(0) | channel(8) | channel(16);
}

}  // namespace

DemVector_t NormaliseTo256(const DemVector_t& v) { return Normalise(v); }

std::vector<DemBand_t> PlanDemBands(unsigned processors, const mpl::MdbBox_t& box, const mpl::MdbDemLevel_t& level,
                                    std::uint32_t columns, std::uint32_t rows) {
  const std::uint64_t wanted = std::uint64_t(std::max(1u, processors)) * kBandsPerProcessor;
  const auto count = static_cast<std::uint32_t>(std::min<std::uint64_t>({wanted, kMaxDemBands, rows}));
  const auto limit = std::min<std::int64_t>(kMaxBandWorkBytes, std::int64_t(kDemWorkBudget / std::max(1u, count)));
  std::vector<DemBand_t> bands(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    DemBand_t& band = bands[i];
    band.first = static_cast<std::uint32_t>(std::uint64_t(rows) * i / count);
    band.rows = static_cast<std::uint32_t>(std::uint64_t(rows) * (i + 1) / count) - band.first;
    band.workBytes = BandWorkBytes(box, level, columns, rows, band.rows, limit);
  }
  return bands;
}

DemShader_t::DemShader_t(Window_t& window, Cache_t& tiles, mpl::Map_t& basemap)
    : m_window(&window), m_tiles(&tiles), m_basemap(&basemap) {
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
    if (m_tiles->GetUncoveredRegion().GetBox(rect) == plat::kNullRegion) return;
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
  std::vector<CacheTile_t>& tiles = m_tiles->GetTiles();
  if (tiles.empty()) return;
  m_level = tiles.front().GetSelectedLevel();
  gdi::Region_t region;
  for (CacheTile_t& tile : tiles) {
    if (!tile.GetMap().HasDem()) continue;
    tile.GetMap().LoadDemLevel(tile.GetSelectedLevel());
    region |= tile.GetVisibleRegion();
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
  const mpl::MdbDemLevel_t& level = dem.levels[dem.level];
  m_verticalScale = (2 * 256 * std::int64_t(level.latStep) * kHalfMeridianMetres) >> 31;

  // The rows go in bands, each scanned on its own with its own buffers; the
  // tiles, the maps and the finder are used by one band at a time. A band
  // shades only its own rows of the surface.
  const std::vector<DemBand_t> plan = PlanDemBands(plat::ProcessorCount(), scanBox, level, columns, rows);
  std::vector<ShadeBand_t> bands(plan.size());
  std::mutex tileLock;
  for (std::size_t i = 0; i < plan.size(); ++i) {
    ShadeBand_t& band = bands[i];
    mpl::MdbDemScan_t& q = band.q;
    q.bandFirst = plan[i].first;
    q.bandRows = plan[i].rows;
    band.output.resize(std::size_t(columns) * kSampleRows * 3);
    band.work.resize(plan[i].workBytes / 4);
    band.shader = this;
    q.compute = mpl::kMdbScanDifferences;
    q.mode = 1;
    q.waterZero = 1;
    q.output = band.output.data();
    q.outputSize = static_cast<std::uint32_t>(band.output.size() * 4);
    q.map = first;
    q.work = band.work.data();
    q.workSize = static_cast<std::uint32_t>(band.work.size() * 4);
    q.columns = columns;
    q.rows = rows;
    q.box = scanBox;
    q.consumer = &ShadeBandBlock;
    q.consumerData = &band;
    q.provider = finder;
    q.providerData = this;
    q.cache = &m_cache;
    q.tileLock = &tileLock;
  }
  {
    thr::WorkPool_t pool;  // waits for its tasks however this block is left
    for (ShadeBand_t& band : bands)
      pool.Add([&band]() {
        // No prompt from here: the pool's threads and a caller waiting for
        // them are no place for a message box, and other bands wait for the
        // tile lock meanwhile.
        const dsk::DeferMediaPrompts_t noPrompts;
        try {
          band.result = mpl::MdbScanDem(band.q);
        } catch (const dsk::MediaPromptDeferred_t&) {
          band.deferred = true;
        } catch (...) {
          band.failure = std::current_exception();
        }
      });
    pool.Wait();
  }
  // In order of the bands, as one scan would go: a band that stopped for its
  // medium is scanned again here, where the prompt may show, past the blocks it
  // shaded; the first band that failed speaks for the rectangle.
  for (ShadeBand_t& band : bands) {
    if (band.deferred) {
      band.skip = band.shaded;
      band.result = mpl::MdbScanDem(band.q);
    }
    if (band.failure) std::rethrow_exception(band.failure);
    mpl::CheckMdbResult(band.result, GLO_SRC, mpl::kMdbAcceptNotFound);
  }
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
  for (CacheTile_t& tile : shader->m_tiles->GetTiles()) {
    mpl::Map_t& tileMap = tile.GetMap();
    if (!tileMap.HasDem()) continue;
    if (firstWithData == nullptr) firstWithData = &tileMap.Engine();
    if (!DemCovers(tileMap.Engine(), box)) continue;
    if (n++ == index) {
      map = &tileMap.Engine();
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
  const plat::RECT r = Bounds(projector.BoxToScreenRects(view));
  if (IsEmpty(r)) return;
  GLO_ASSERT(back.BitBlt(r.left, r.top, r.right - r.left, r.bottom - r.top, m_dc, r.left, r.top, plat::kSrcPaint));
}

void Window_t::UpdateDemShader(plat::Dc_t& reference, bool rebuildBackBuffer, int width, int height) {
  const bool wanted = WantsDemShading() && m_basemap.IsOpen() && m_basemap.HasDem();
  const bool changed = wanted != m_demActive;
  m_demActive = wanted;
  if (!m_demActive) {
    m_demShader.reset();
    return;
  }
  if (changed || rebuildBackBuffer || !m_demShader) {
    m_demShader = std::make_unique<DemShader_t>(*this, m_cache, m_basemap);
    m_demShader->CreateSurface(reference, m_palette, width, height);
  }
}

}  // namespace map
