// The map window's drawing passes: the layers of one map (two area groups,
// the line groups, the points) and, over them, the basemap and detail-tile
// passes.
#include <algorithm>
#include <optional>

#include "dsk/DSK_Media.h"
#include "gdi/GDI_Clipper.h"
#include "gdi/GDI_ObjectSelector.h"
#include "gdi/GDI_Region.h"
#include "map/MAP_DemShader.h"
#include "map/MAP_Dymo.h"
#include "map/MAP_FeatureFilters.h"
#include "map/MAP_MapStateSaver.h"
#include "map/MAP_Styles.h"
#include "map/MAP_Window.h"
#include "map/MAP_WindowFeatures.h"
#include "mpl/MPL_Level.h"
#include "plat/PLAT_Cursor.h"
#include "tdb/TDB_ProductDir.h"

namespace map {

namespace {

// The product's option byte that asks for the alternate basemap colours.
constexpr unsigned kAlternateColorsOption = 8;
// The coverage areas of a detail map.
constexpr std::uint16_t kTileCoverageType = 0x4b;

bool BoxesMeet(const geo::Box_t& a, const geo::Box_t& b) {
  if (a.IsEmpty() || b.IsEmpty()) return false;
  return a.GetSouth() <= b.GetNorth() && b.GetSouth() <= a.GetNorth() && a.OverlapsLongitude(b);
}

// Fills a region of the context with a brush.
void FillRegion(plat::Dc_t& dc, const plat::Region_t& region, const plat::GdiHandle_t& brush) {
  plat::RECT box{0, 0, 0, 0};
  if (region.GetRgnBox(box) <= plat::kNullRegion) return;
  gdi::Clipper_t clipper(dc);
  dc.SelectClipRgn(region.GetSafeHandle());
  gdi::ObjectSelector_t selector(dc, brush);
  dc.PatBlt(box.left, box.top, box.right - box.left, box.bottom - box.top, plat::kPatCopy);
}

}  // namespace

// ---------------------------------------------------------------------------
// The product and the basemap's part.

const tdb::Product_t& Window_t::CurrentProduct() const {
  const mpl::ProductImageEnv_t& env = m_cache.GetProductEnv();
  try {
    const tdb::ProductDir_t& products = env.products != nullptr ? *env.products : tdb::ProductDir_t::Instance();
    return products.GetProduct(products.GetDefaultProductId());
  } catch (const tdb::ProductDir_t::NoProductsInstalled_t&) {
    return tdb::GetEmptyProduct();
  } catch (const tdb::ProductDir_t::ProductNotFound_t&) {
    throw glo::Assert_t(GLO_SRC);
  }
}

geo::Box_t Window_t::GetMapBox() const {
  const geo::Box_t& box = CurrentProduct().GetBox();
  if (!box.IsEmpty()) return box;
  if (m_basemap.IsOpen()) return m_basemap.GetBounds();
  throw glo::Assert_t(GLO_SRC);
}

bool Window_t::ShowsDetailMaps() const {
  if (!m_basemap.IsOpen()) return false;
  const unsigned bits = static_cast<unsigned>(m_projector.GetDetailBits()) & 0xFFu;
  return bits > m_basemap.GetLowestLevelBits() || bits >= CurrentProduct().GetMinDetailLevel();
}

bool Window_t::UsesAlternateColors(const mpl::Map_t& map) const {
  return m_basemap.IsOpen() && map.IsOpen() && map.GetMapId() == m_basemap.GetMapId() &&
         CurrentProduct().GetOptionByte(kAlternateColorsOption) != 0;
}

namespace {
enum class Layer_t { Areas, Lines, Points };
}

// False only for the basemap under shown detail maps when the product keeps
// that layer of the basemap off.
static bool DrawsLayer(const Window_t& window, const mpl::Map_t& basemap, const mpl::Map_t& map, Layer_t layer) {
  if (!basemap.IsOpen() || !map.IsOpen() || map.GetMapId() != basemap.GetMapId() || !window.ShowsDetailMaps())
    return true;
  const tdb::Product_t& product = window.CurrentProduct();
  switch (layer) {
    case Layer_t::Areas: return product.DrawBasemapAreas();
    case Layer_t::Lines: return product.DrawBasemapLines();
    default: return product.DrawBasemapPoints();
  }
}

bool Window_t::DrawsAreas(const mpl::Map_t& map) const { return DrawsLayer(*this, m_basemap, map, Layer_t::Areas); }
bool Window_t::DrawsLines(const mpl::Map_t& map) const { return DrawsLayer(*this, m_basemap, map, Layer_t::Lines); }
bool Window_t::DrawsPoints(const mpl::Map_t& map) const { return DrawsLayer(*this, m_basemap, map, Layer_t::Points); }

void Window_t::OnMediaUnavailable() { throw glo::Assert_t(GLO_SRC); }

// ---------------------------------------------------------------------------
// The render's map part.

void Window_t::PrepareMapsForRender(plat::Dc_t& dc, bool backBufferRebuilt, int width, int height) {
  UpdateDemShader(dc, backBufferRebuilt, width, height);
  if (!m_basemap.IsOpen()) return;
  mpl::Map_t chosen = PickMapForView(m_basemap.GetImageSource());
  if (chosen.IsOpen() && chosen.GetMapId() != m_basemap.GetMapId()) m_basemap = chosen;
}

void Window_t::DrawMapLayers(plat::Dc_t& dc) {
  if (!m_basemap.IsOpen()) return;
  m_detailLevel = static_cast<std::uint8_t>(m_basemap.GetDetailLevel());
  m_detailMapsShown = false;
  Dymo_t labels(m_projector, &GetLabelImages());
  {
    std::optional<plat::WaitCursor_t> wait;
    if (!IsTracking()) wait.emplace();
    gdi::Clipper_t globe(*m_backDc, m_projector.GetGlobeRect());
    // The map's area.
    const plat::RECT client = m_projector.GetClientRect();
    const GdiSet_t& set = GdiSet_t::Instance();
    const plat::GdiHandle_t& areaBrush =
        set.Brush(MapAreaBrush(CurrentProduct().GetOptionByte(kAlternateColorsOption) != 0));
    const bool shaded = m_demActive && m_basemap.HasDem() && !IsTracking();
    if (shaded) GLO_ASSERT(m_demShader != nullptr);
    {
      gdi::ObjectSelector_t brush(*m_backDc, shaded ? set.Brush(Brush_Black) : areaBrush);
      if (shaded) m_demShader->Clear();
      for (const plat::RECT& r : m_projector.BoxToScreenRects(GetMapBox())) {
        const plat::RECT c{std::max(r.left, client.left), std::max(r.top, client.top), std::min(r.right, client.right),
                           std::min(r.bottom, client.bottom)};
        if (c.right <= c.left || c.bottom <= c.top) continue;
        if (!m_backDc->PatBlt(c.left, c.top, c.right - c.left, c.bottom - c.top, plat::kPatCopy))
          throw glo::Assert_t(GLO_SRC);
        if (shaded) m_demShader->FillRegion(gdi::Region_t(c, gdi::Region_t::Rectangle), areaBrush);
      }
    }
    CheckRenderProgress(dc);
    MapStateSaver_t saver(m_basemap);
    mpl::MdbSelectLevel(m_basemap.Engine(), static_cast<unsigned>(m_projector.GetDetailBits()) & 0xFFu, 0);
    m_coverage.clear();
    const geo::Box_t visible = m_projector.GetVisibleBox();
    if (!visible.IsEmpty() && visible.GetEast() < visible.GetWest()) {
      // Across the 180-degree meridian: the western part, then the eastern.
      const geo::Box_t west(visible.GetNorth(), visible.GetSouth(), INT32_MAX, visible.GetWest());
      const geo::Box_t east(visible.GetNorth(), visible.GetSouth(), visible.GetEast(), -INT32_MAX);
      FindCoveringTiles(west);
      FindCoveringTiles(east);
      if (ShowsDetailMaps()) m_cache.Update(m_coverage, m_projector);
      DrawMaps(dc, west, &labels);
      DrawMaps(dc, east, &labels);
    } else {
      FindCoveringTiles(visible);
      if (ShowsDetailMaps()) m_cache.Update(m_coverage, m_projector);
      DrawMaps(dc, visible, &labels);
    }
  }
  labels.Draw(*m_backDc);
}

// ---------------------------------------------------------------------------
// Basemap and detail tiles.

void Window_t::DrawMaps(plat::Dc_t& screen, const geo::Box_t& viewBox, Dymo_t* labels) {
  if (!m_basemap.IsOpen()) return;
  MapStateSaver_t saver(m_basemap);
  m_basemap.SetSearchBox(viewBox);
  const bool detail = ShowsDetailMaps();
  m_progressiveBlit = !detail;
  if (!detail || m_cache.GetUncoveredRegion().GetType() != plat::kNullRegion) {
    try {
      DrawBasemap(screen, viewBox, IsTracking() ? nullptr : labels);
    } catch (const dsk::MediaUnavailable_t&) {
      OnMediaUnavailable();
      throw RenderAborted_t(GLO_SRC);
    }
  }
  if (detail) {
    FillDetailBackground(screen, viewBox);
    m_progressiveBlit = true;
    DrawDetailTiles(screen, viewBox, labels);
  }
}

void Window_t::DrawBasemap(plat::Dc_t& screen, const geo::Box_t& viewBox, Dymo_t* labels) {
  MapStateSaver_t saver(m_basemap);
  std::optional<gdi::Region_t> region;
  const plat::Region_t* clip = nullptr;
  if (ShowsDetailMaps() && !CurrentProduct().BasemapUnclipped()) {
    region.emplace(m_cache.GetUncoveredRegion());
    plat::RECT box{0, 0, 0, 0};
    region->GetBox(box);
    m_basemap.SetSearchBox(m_projector.ScreenRectToBox(box));
    clip = &*region;
  }
  if (m_demActive && !IsTracking()) {
    GLO_ASSERT(m_demShader != nullptr);
    if (DrawsAreas(m_basemap)) DrawAreaGroup(screen, m_demShader->GetDc(), m_basemap, labels, clip, GetAreaGroup1());
    m_demShader->PrepareBasemap(m_projector, viewBox);
    m_demShader->Shade(*m_backDc, m_projector, viewBox);
    if (DrawsAreas(m_basemap)) DrawAreaGroup(screen, *m_backDc, m_basemap, labels, clip, GetAreaGroup2());
  } else if (DrawsAreas(m_basemap)) {
    DrawAreaGroup(screen, *m_backDc, m_basemap, labels, clip, GetAreaGroup1());
    DrawAreaGroup(screen, *m_backDc, m_basemap, labels, clip, GetAreaGroup2());
  }
  DrawLines(screen, *m_backDc, m_basemap, labels, clip);
  DrawPoints(screen, *m_backDc, m_basemap, labels, clip);
}

void Window_t::FillDetailBackground(plat::Dc_t& screen, const geo::Box_t& viewBox) {
  const bool shading = m_demActive && !IsTracking();
  if (shading) {
    GLO_ASSERT(m_demShader != nullptr);
    m_demShader->Clear();
  }
  const GdiSet_t& set = GdiSet_t::Instance();
  const plat::GdiHandle_t& areaBrush =
      set.Brush(MapAreaBrush(CurrentProduct().GetOptionByte(kAlternateColorsOption) != 0));
  const mpl::Filter_t coverageAreas(mpl::FilterEntry_t{kTileCoverageType, mpl::Filter_t::kAnySubtype}, 1);
  for (CacheTile_t& tile : m_cache.GetTiles()) {
    mpl::Map_t& map = tile.GetMap();
    if (!tile.IsDrawn() || !map.IsOpen() || !BoxesMeet(map.GetBounds(), viewBox)) continue;
    mpl::Criteria_t criteria = map.GetAreaCriteria();
    criteria.filter = coverageAreas;
    const mpl::Map_t::AreaRange_t search = map.AreaSearch(criteria);
    if (search.begin() == search.end()) continue;
    if (shading && map.HasDem()) {
      FillRegion(*m_backDc, tile.GetCoverageRegion(), set.Brush(Brush_Black));
      m_demShader->FillRegion(tile.GetCoverageRegion(), areaBrush);
    } else {
      FillRegion(*m_backDc, tile.GetCoverageRegion(), areaBrush);
    }
    CheckRenderProgress(screen);
  }
}

void Window_t::DrawDetailTiles(plat::Dc_t& screen, const geo::Box_t& viewBox, Dymo_t* labels) {
  if (IsTracking()) labels = nullptr;
  if (m_demActive && !IsTracking()) {
    GLO_ASSERT(m_demShader != nullptr);
    DrawDetailMaps(screen, m_demShader->GetDc(), viewBox, labels, 1);
    m_demShader->PrepareTiles(m_projector);
    m_demShader->Shade(*m_backDc, m_projector, viewBox);
    DrawDetailMaps(screen, *m_backDc, viewBox, labels, 2);
  } else {
    DrawDetailMaps(screen, *m_backDc, viewBox, labels, 0);
  }
}

void Window_t::DrawDetailMaps(plat::Dc_t& screen, plat::Dc_t& target, const geo::Box_t& viewBox, Dymo_t* labels,
                              int part) {
  for (CacheTile_t& tile : m_cache.GetTiles()) {
    mpl::Map_t& map = tile.GetMap();
    if (!tile.IsDrawn() || !map.IsOpen() || !BoxesMeet(map.GetBounds(), viewBox)) continue;
    m_detailMapsShown = true;
    const std::uint8_t level = static_cast<std::uint8_t>(map.GetDetailLevel());
    if (level > m_detailLevel) m_detailLevel = level;
    MapStateSaver_t saver(map);
    mpl::MdbSelectLevel(map.Engine(), static_cast<unsigned>(m_projector.GetDetailBits()) & 0xFFu, 0);
    const gdi::Region_t* region = tile.GetDrawRegion();
    if (region == nullptr) {
      map.SetSearchBox(m_projector.GetVisibleBox());
      DrawTile(screen, target, map, labels, nullptr, part);
    } else {
      plat::RECT box{0, 0, 0, 0};
      region->GetBox(box);
      map.SetSearchBox(m_projector.ScreenRectToBox(box));
      gdi::Clipper_t clipper(target);
      target.SelectClipRgn(region->GetSafeHandle());
      DrawTile(screen, target, map, labels, region, part);
    }
  }
}

mpl::Filter_t Window_t::GetPointFilter() const { return MakePointFilter(m_projector.GetDetailBits()); }

void Window_t::DrawTile(plat::Dc_t& screen, plat::Dc_t& target, mpl::Map_t& map, Dymo_t* labels,
                        const plat::Region_t* clip, int part) {
  if (m_demActive && !map.HasDem()) {
    // Not shaded: all its layers go on top of the shading.
    if (part == 1) return;
    if (part == 2) part = 0;
  }
  DrawAreaGroups(screen, target, map, labels, clip, part);
  if (part == 1) return;
  DrawLines(screen, target, map, labels, clip);
  DrawPoints(screen, target, map, labels, clip);
}

void Window_t::DrawAreaGroups(plat::Dc_t& screen, plat::Dc_t& target, mpl::Map_t& map, Dymo_t* labels,
                              const plat::Region_t* clip, int part) {
  if (!DrawsAreas(map)) return;
  if (part == 0 || part == 1) DrawAreaGroup(screen, target, map, labels, clip, GetAreaGroup1());
  if (part == 0 || part == 2) DrawAreaGroup(screen, target, map, labels, clip, GetAreaGroup2());
}

void Window_t::DrawAreaGroup(plat::Dc_t& screen, plat::Dc_t& target, mpl::Map_t& map, Dymo_t* labels,
                             const plat::Region_t* clip, const std::vector<mpl::Filter_t>& group) {
  for (const mpl::Filter_t& filter : group) {
    mpl::Criteria_t criteria = map.GetAreaCriteria();
    criteria.filter = filter;
    for (const mpl::Area_t& area : map.AreaSearch(criteria)) DrawArea(screen, target, area, map, labels, clip);
  }
}

void Window_t::DrawLines(plat::Dc_t& screen, plat::Dc_t& target, mpl::Map_t& map, Dymo_t* labels,
                         const plat::Region_t* clip) {
  if (IsTracking() || !DrawsLines(map)) return;
  for (const mpl::Filter_t& filter : GetLineGroups()) {
    mpl::Criteria_t criteria = map.GetLineCriteria();
    criteria.filter = filter;
    for (const mpl::Line_t& line : map.LineSearch(criteria)) {
      if (line.record.type == 0x41 && line.record.subtype == 9) {
        // Kept to one turn of longitude: it must not repeat beyond the globe.
        gdi::Clipper_t globe(target, m_projector.GetGlobeRect());
        DrawLine(screen, target, line, map, labels, clip);
      } else {
        DrawLine(screen, target, line, map, labels, clip);
      }
    }
  }
}

void Window_t::DrawPoints(plat::Dc_t& screen, plat::Dc_t& target, mpl::Map_t& map, Dymo_t* labels,
                          const plat::Region_t* clip) {
  if (!DrawsPoints(map)) return;
  mpl::Criteria_t criteria = map.GetPointCriteria();
  criteria.filter = GetPointFilter();
  for (const mpl::Point_t& point : map.PointSearch(criteria)) {
    if (clip != nullptr) {
      const plat::POINT at = m_projector.PositionToScreen(
          geo::Position_t(std::clamp(point.record.lat, geo::MinLatitude, geo::MaxLatitude), point.record.lon));
      if (!clip->PtInRegion(at.x, at.y)) continue;
    }
    DrawPoint(screen, target, point, map, labels);
  }
}

}  // namespace map
