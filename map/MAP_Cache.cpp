#include "map/MAP_Cache.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "glo/GLO_Exception.h"
#include "map/MAP_FeatureProjection.h"
#include "map/MAP_Polyline.h"
#include "tdb/TDB_ProductDir.h"

namespace map {

namespace {

constexpr std::uint16_t kOwnCoverageType = 0x4b;
constexpr int kCoverageMargin = 10;
// The product's display flags the cache reads.
constexpr unsigned kTileRegionsOption = 7;

struct ProductFlags_t {
  bool tileRegions = false;
  bool basemapUnclipped = false;
};

// The default product's flags; none when no product is installed.
ProductFlags_t DefaultProductFlags(const mpl::ProductImageEnv_t& env) {
  ProductFlags_t flags;
  try {
    const tdb::ProductDir_t& products = env.products ? *env.products : tdb::ProductDir_t::Instance();
    const tdb::Product_t& product = products.GetProduct(products.GetDefaultProductId());
    flags.tileRegions = product.GetOptionByte(kTileRegionsOption) != 0;
    flags.basemapUnclipped = product.BasemapUnclipped();
  } catch (const tdb::ProductDir_t::NoProductsInstalled_t&) {
  } catch (const tdb::ProductDir_t::ProductNotFound_t&) {
  }
  return flags;
}

bool IsEmpty(const gdi::Region_t& region) { return region.GetType() == plat::kNullRegion; }

std::string TileImageName(std::uint32_t id) {
  char name[16];
  std::snprintf(name, sizeof name, "%08lu", static_cast<unsigned long>(id));
  return name;
}

// Adds the projected parts of the area to the tile's regions; with 'onlyInView'
// a part whose bounding rectangle lies outside the view is left out.
void AddArea(Projector_t& projector, const mpl::MdbAreaRecord_t& area, const gdi::Region_t& view,
             const gdi::Region_t& view10, bool onlyInView, gdi::Region_t& visible, gdi::Region_t& coverage) {
  Polyline_t polyline;
  ProjectFeature(projector, area, polyline);
  for (std::size_t i = 0; i < polyline.GetPartCount(); ++i) {
    const gdi::SmartPointBuffer_t& part = polyline.GetPart(i);
    const gdi::Region_t region(part.GetPoints(), part.GetCount());
    if (onlyInView) {
      plat::RECT box{};
      region.GetBox(box);
      if (!view.RectInRegion(box)) continue;
    }
    // The view lies inside the grown view: the visible part is cut from the
    // (smaller) covered part.
    const gdi::Region_t covered = gdi::Intersect(region, view10);
    visible |= gdi::Intersect(covered, view);
    coverage |= covered;
  }
}

}  // namespace

CacheTile_t::CacheTile_t(const mpl::Map_t& map, std::uint32_t tileId, unsigned bits) : m_map(map), m_tileId(tileId) {
  GLO_ASSERT(m_map.IsOpen());
  m_info = m_map.GetMapInfo();
  // The map id is read through the map, which checks that it is open.
  m_info.mapId = m_map.GetMapId();
  SelectLevel(bits);
}

CacheTile_t::CacheTile_t(const CacheTile_t& other)
    : m_map(other.m_map),
      m_tileId(other.m_tileId),
      m_selectedLevel(other.m_selectedLevel),
      m_info(other.m_info),
      m_visible(other.m_visible),
      m_coverage(other.m_coverage),
      m_drawn(other.m_drawn),
      m_drawRegion(other.m_drawRegion ? std::make_unique<gdi::Region_t>(*other.m_drawRegion) : nullptr) {}

CacheTile_t& CacheTile_t::operator=(const CacheTile_t& other) {
  if (this != &other) {
    CacheTile_t copy(other);
    *this = std::move(copy);
  }
  return *this;
}

CacheTile_t::~CacheTile_t() = default;

void CacheTile_t::SelectLevel(unsigned bits) {
  const unsigned count = std::min<unsigned>(m_info.levelCount, static_cast<unsigned>(m_info.levelBits.size()));
  if (count == 0) {
    m_selectedLevel = 0;
    return;
  }
  m_selectedLevel = m_info.levelBits[count - 1];
  for (unsigned i = 0; i < count; ++i)
    if (m_info.levelBits[i] <= bits) {
      m_selectedLevel = m_info.levelBits[i];
      break;
    }
}

CacheTile_t::Key_t CacheTile_t::GetKey() const {
  return Key_t{m_info.scale, m_selectedLevel, m_info.mapDate, m_info.mapId};
}

Cache_t::Cache_t() = default;

void Cache_t::Reset() {
  m_tiles.clear();
  m_uncovered = gdi::Region_t();
}

void Cache_t::SortTiles() {
  std::stable_sort(m_tiles.begin(), m_tiles.end(),
                   [](const CacheTile_t& a, const CacheTile_t& b) { return a.GetKey() < b.GetKey(); });
}

void Cache_t::AddTile(std::uint32_t tileId, Projector_t& projector, unsigned bits) {
  for (const CacheTile_t& tile : m_tiles)
    if (tile.GetTileId() == tileId) return;
  const mpl::Map_t map = mpl::OpenMapAt(TileImageName(tileId), projector.GetCenter(), std::string(), bits, m_env);
  if (!map.IsOpen()) return;
  CacheTile_t tile(map, tileId, bits);
  const CacheTile_t::Key_t key = tile.GetKey();
  const auto at = std::lower_bound(m_tiles.begin(), m_tiles.end(), key,
                                   [](const CacheTile_t& t, const CacheTile_t::Key_t& k) { return t.GetKey() < k; });
  // A tile of an equal key is kept once.
  if (at != m_tiles.end() && at->GetKey() == key) return;
  m_tiles.insert(at, std::move(tile));
}

void Cache_t::Rebuild(const Coverage_t& coverage, Projector_t& projector, unsigned bits) {
  const ProductFlags_t flags = DefaultProductFlags(m_env);
  const plat::RECT client = projector.GetClientRect();
  const gdi::Region_t view(client, gdi::Region_t::Rectangle);
  const gdi::Region_t view10(plat::RECT{client.left - kCoverageMargin, client.top - kCoverageMargin,
                                        client.right + kCoverageMargin, client.bottom + kCoverageMargin},
                             gdi::Region_t::Rectangle);
  m_uncovered = view;
  const mpl::Filter_t ownCoverage(mpl::FilterEntry_t{kOwnCoverageType, mpl::Filter_t::kAnySubtype}, 1);
  for (CacheTile_t& tile : m_tiles) {
    tile.m_visible = gdi::Region_t();
    tile.m_coverage = gdi::Region_t();
    tile.SelectLevel(bits);
    mpl::Map_t& map = tile.m_map;
    mpl::Criteria_t criteria = map.GetAreaCriteria();
    criteria.filter = ownCoverage;
    criteria.detailLevel = static_cast<int>((static_cast<unsigned>(criteria.detailLevel) & ~0xFFu) | (bits & 0xFFu));
    criteria.box = projector.GetVisibleBox();
    std::vector<mpl::Area_t> own;
    for (const mpl::Area_t& area : map.AreaSearch(criteria)) own.push_back(area);
    const bool usePolygon = own.empty() || (flags.tileRegions && bits < map.GetHighestLevelBits());
    if (usePolygon) {
      const auto polygon = coverage.find(tile.GetTileId());
      GLO_ASSERT(polygon != coverage.end());
      AddArea(projector, polygon->second.record, view, view10, false, tile.m_visible, tile.m_coverage);
    } else {
      for (const mpl::Area_t& area : own)
        AddArea(projector, area.record, view, view10, true, tile.m_visible, tile.m_coverage);
    }
    if (!flags.basemapUnclipped) m_uncovered -= tile.m_coverage;
  }
  // The selected levels are part of the key: the order is made again before
  // the tiles claim the view and are drawn.
  SortTiles();
  if (!flags.tileRegions) {
    for (CacheTile_t& tile : m_tiles) {
      tile.m_drawn = true;
      tile.m_drawRegion.reset();
    }
    return;
  }
  gdi::Region_t left = view;
  for (CacheTile_t& tile : m_tiles) {
    tile.m_drawn = false;
    tile.m_drawRegion.reset();
    if (bits < tile.m_map.GetHighestLevelBits() || IsEmpty(left)) continue;
    const gdi::Region_t claimed = gdi::Intersect(tile.m_coverage, left);
    if (IsEmpty(claimed)) continue;
    tile.m_drawn = true;
    if (!gdi::Intersect(tile.m_coverage, view).EqualRgn(claimed.GetSafeHandle()))
      tile.m_drawRegion = std::make_unique<gdi::Region_t>(claimed);
    left -= claimed;
  }
}

void Cache_t::Update(const Coverage_t& coverage, Projector_t& projector) {
  std::set<std::uint32_t> ids;
  for (const auto& entry : coverage) ids.insert(entry.first);
  std::vector<CacheTile_t> kept;
  for (CacheTile_t& tile : m_tiles) {
    if (ids.erase(tile.GetTileId()) == 0) continue;
    kept.push_back(std::move(tile));
  }
  m_tiles = std::move(kept);
  const unsigned bits = static_cast<unsigned>(projector.GetDetailBits());
  for (const std::uint32_t id : ids) AddTile(id, projector, bits);
  Rebuild(coverage, projector, bits);
}

}  // namespace map
