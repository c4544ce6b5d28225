// The map window's drawing passes: the layers of one map (two area groups,
// the line groups, the points) and, over them, the basemap and detail-tile
// passes.
#include <algorithm>

#include "gdi/GDI_Clipper.h"
#include "map/MAP_FeatureFilters.h"
#include "map/MAP_MapStateSaver.h"
#include "map/MAP_Window.h"
#include "map/MAP_WindowFeatures.h"

namespace map {

namespace {

// The attribute class of a light.
constexpr std::uint8_t kLightClass = 7;

}  // namespace

bool Window_t::UsesAlternateColors(const mpl::Map_t&) const { return false; }

bool Window_t::DrawsAreas(const mpl::Map_t&) const { return true; }
bool Window_t::DrawsLines(const mpl::Map_t&) const { return true; }
bool Window_t::DrawsPoints(const mpl::Map_t&) const { return true; }

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

void Window_t::DrawPoint(plat::Dc_t& screen, plat::Dc_t& target, const mpl::Point_t& point, mpl::Map_t& map,
                         Dymo_t*) {
  if (point.aux.bytes[0] == kLightClass && !IsTracking()) DrawLightSectors(target, point, map);
  CheckRenderProgress(screen);
}

}  // namespace map
