// The map window's drawing of single features: the choice of the map of an
// image for the view, one area, one line with its tick marks, the sectors of a
// light and the latitude/longitude graticule under the map.
#include <algorithm>
#include <cmath>
#include <vector>

#include "gdi/GDI_BkModeSaver.h"
#include "gdi/GDI_ObjectSelector.h"
#include "gdi/GDI_SmartPen.h"
#include "glo/GLO_Exception.h"
#include "map/MAP_Color.h"
#include "map/MAP_FeatureProjection.h"
#include "map/MAP_Polyline.h"
#include "map/MAP_Styles.h"
#include "map/MAP_Window.h"
#include "map/MAP_WindowFeatures.h"
#include "mpl/MPL_MapsDatabase.h"

namespace map {

namespace {

// Attribute classes of area and line records.
constexpr std::uint8_t kColouredArea = 5;
constexpr std::uint8_t kStyledLine = 4;

std::uint32_t LabelIdOf(std::uint32_t label) { return label == mpl::kMdbNone ? 0 : label; }

}  // namespace

// ---------------------------------------------------------------------------
// Label texts of a map.

std::string MapLabelSource_t::GetLabelText(std::uint32_t labelId, std::uint32_t flags) {
  return m_map.GetLabelText(labelId, flags);
}

std::string MapLabelSource_t::GetLineLabel(std::uint32_t, std::uint32_t flags) {
  GLO_ASSERT(m_line != nullptr);
  return m_map.GetLineLabel(*m_line, flags).first;
}

// ---------------------------------------------------------------------------
// Arcs and ticks.

void DrawArcPolyline(plat::Dc_t& dc, plat::POINT centre, int radius, plat::POINT from, plat::POINT to) {
  if (radius <= 0) return;
  // Counter-clockwise on the screen (y grows downward) from 'from' to 'to'.
  const double a0 = std::atan2(-(from.y - centre.y), double(from.x - centre.x));
  double a1 = std::atan2(-(to.y - centre.y), double(to.x - centre.x));
  if (a1 <= a0) a1 += 2.0 * geo::Pi;
  const double sweep = a1 - a0;
  const int steps = std::max(4, static_cast<int>(std::ceil(sweep * radius / 2.0)));
  std::vector<plat::POINT> points;
  points.reserve(std::size_t(steps) + 1);
  for (int i = 0; i <= steps; ++i) {
    const double a = a0 + sweep * i / steps;
    points.push_back(plat::POINT{static_cast<int>(std::lround(centre.x + radius * std::cos(a))),
                                 static_cast<int>(std::lround(centre.y - radius * std::sin(a)))});
  }
  dc.Polyline(points.data(), static_cast<int>(points.size()));
}

void Window_t::DrawTicks(plat::Dc_t& dc, plat::POINT a, plat::POINT b, int style, int length) {
  if (style == 0 || (a.x == b.x && a.y == b.y)) return;
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double l = std::sqrt(dx * dx + dy * dy);
  const int n = static_cast<int>(std::trunc(l / 8.0 + 0.5));
  if (n <= 0) return;
  const double sx = dx * 8.0 / l, sy = dy * 8.0 / l;
  int ox = 0, oy = 0;
  if (dy == 0) {
    oy = length;
  } else if (dx == 0) {
    ox = length;
  } else {
    const double m = -dx / dy;
    const double len2 = double(length) * length;
    const double fx = std::sqrt(len2 / (m * m + 1.0));
    const double fy = std::sqrt(len2 - fx * fx);
    ox = static_cast<int>(std::trunc(fx + 0.5));
    oy = static_cast<int>(std::trunc(fy + 0.5));
    if (dx * dy > 0) oy = -oy;
  }
  const bool side = dy > 0 || (dy == 0 && dx < 0);
  double x = a.x + sx / 2.0, y = a.y + sy / 2.0;
  for (int i = 0; i < n; ++i, x += sx, y += sy) {
    const int px = static_cast<int>(std::trunc(x + 0.5)), py = static_cast<int>(std::trunc(y + 0.5));
    const auto line = [&](int x0, int y0, int x1, int y1) {
      dc.MoveTo(x0, y0);
      dc.LineTo(x1, y1);
    };
    switch (style) {
      case 1:
        if (!side) line(px, py, px + ox, py + oy);
        else line(px - ox, py - oy, px, py);
        break;
      case 2:
        if (side) line(px, py, px + ox, py + oy);
        else line(px - ox, py - oy, px, py);
        break;
      case 3:
        line(px - ox, py - oy, px + ox, py + oy);
        break;
      default:
        return;
    }
  }
}

// ---------------------------------------------------------------------------
// The map of the view.

mpl::Map_t Window_t::PickMapForView(const mpl::ImageSource_t& image) {
  const std::string name =
      mpl::SelectMapName(image, m_projector.GetCenter(), static_cast<unsigned>(m_projector.GetDetailBits()));
  mpl::Map_t map(image, name, std::string());
  return map;
}

// ---------------------------------------------------------------------------
// Areas and lines.

void Window_t::DrawArea(plat::Dc_t& screen, plat::Dc_t& target, const mpl::Area_t& area, mpl::Map_t& map,
                        Dymo_t* labels, const plat::Region_t* clip) {
  Polyline_t polyline;
  ProjectFeature(m_projector, area.record, polyline);
  {
    gdi::BkModeSaver_t bk(target);
    target.SetBkMode(plat::kTransparent);
    gdi::ObjectSelector_t selector(target);
    plat::Brush_t coloured;
    const GdiSet_t& set = GdiSet_t::Instance();
    PenId_t outline = Pen_Count;
    if (area.aux.bytes[0] == kColouredArea) {
      if (!coloured.CreateSolidBrush(GetColor(area.aux.bytes[1], GetColorScheme()))) throw win::Error_t(GLO_SRC);
      selector.Select(coloured);
    } else {
      selector.Select(set.Brush(AreaBrush(area.record.type, static_cast<std::uint8_t>(area.record.subtype),
                                          UsesAlternateColors(map), &outline)));
    }
    if (outline != Pen_Count)
      selector.Select(set.Pen(outline));
    else
      selector.SelectStockObject(plat::kNullPen);
    for (std::size_t i = 0; i < polyline.GetPartCount(); ++i)
      target.Polygon(polyline.GetPart(i).GetPoints(), polyline.GetCount());
  }
  CheckRenderProgress(screen);
  if (labels != nullptr) {
    const mpl::MdbBox_t& box = area.record.box;
    const geo::Position_t centre(std::clamp(BoundsCentre(box.south, box.north), geo::MinLatitude, geo::MaxLatitude),
                                 BoundsCentre(box.west, box.east));
    MapLabelSource_t source(map);
    labels->AddAreaLabel(screen, source, AreaLabelRecord_t{area.record.type, LabelIdOf(area.record.label)},
                         m_projector.PositionToScreen(centre), clip);
  }
}

Window_t::PenSpec_t Window_t::MakeAttributePen(const mpl::Line_t& line) const {
  PenSpec_t pen;
  switch (line.aux.bytes[2]) {
    case 1: pen.style = plat::kPsDot; break;
    case 2: pen.style = plat::kPsDashDot; break;
    case 3: pen.style = plat::kPsDash; break;
    default: pen.style = plat::kPsSolid; break;
  }
  pen.width = 1;
  pen.colour = GetColor(line.aux.bytes[1], GetColorScheme());
  return pen;
}

void Window_t::DrawLine(plat::Dc_t& screen, plat::Dc_t& target, const mpl::Line_t& line, mpl::Map_t& map,
                        Dymo_t* labels, const plat::Region_t* clip) {
  Polyline_t polyline;
  ProjectFeature(m_projector, line.record, polyline);
  if (labels != nullptr) {
    MapLabelSource_t source(map, &line.record);
    const LineLabelRecord_t record{line.record.type, LabelIdOf(line.record.label)};
    for (std::size_t i = 0; i < polyline.GetPartCount(); ++i) {
      const gdi::SmartPointBuffer_t& part = polyline.GetPart(i);
      const std::vector<plat::POINT> points(part.GetPoints(), part.GetPoints() + part.GetCount());
      labels->AddLineLabel(target, source, record, points, m_projector.GetScale(), clip);
    }
  }
  {
    const bool styled = line.aux.bytes[0] == kStyledLine;
    gdi::ObjectSelector_t selector(target);
    plat::Pen_t attributePen;
    if (styled) {
      const PenSpec_t spec = MakeAttributePen(line);
      if (!attributePen.CreatePen(spec.style, spec.width, spec.colour)) throw win::Error_t(GLO_SRC);
      selector.Select(attributePen);
    } else {
      selector.Select(GdiSet_t::Instance().Pen(LinePen(line.record.type, static_cast<std::uint8_t>(line.record.subtype))));
    }
    gdi::BkModeSaver_t bk(target);
    target.SetBkMode(plat::kTransparent);
    const int count = polyline.GetCount();
    for (std::size_t i = 0; i < polyline.GetPartCount(); ++i) {
      const plat::POINT* p = polyline.GetPart(i).GetPoints();
      target.Polyline(p, count);
      if (styled)
        for (int k = 0; k + 1 < count; ++k) DrawTicks(target, p[k], p[k + 1], line.aux.bytes[3], 4);
      if (line.record.type == 0x14)
        for (int k = 0; k + 1 < count; ++k) DrawTicks(target, p[k], p[k + 1], 3, 3);
    }
  }
  CheckRenderProgress(screen);
}

// ---------------------------------------------------------------------------
// Light sectors.

void DrawLightSector(plat::Dc_t& dc, plat::POINT centre, const mpl::MdbLightSector_t& sector) {
  if (sector.colour == 0) return;
  const int r = std::clamp(4 * int(sector.range), 20, 100);
  const auto at = [&](std::uint16_t bearing) {
    const double a = (bearing * 0.1 + 90.0) / 57.29577951308239;
    return plat::POINT{static_cast<int>(centre.x + r * std::cos(a)), static_cast<int>(centre.y + r * std::sin(a))};
  };
  const plat::POINT from = at(sector.end), to = at(sector.start);
  struct Stroke {
    int colour, width;
  };
  Stroke strokes[2] = {{1, 3}, {-1, 0}};
  switch (sector.colour) {
    case 1: strokes[0] = {4, 3}; break;
    case 2: strokes[0] = {21, 3}; break;
    case 3: strokes[0] = {0, 4}; strokes[1] = {1, 2}; break;
    case 4: strokes[0] = {2, 3}; break;
    case 5: strokes[0] = {0, 4}; strokes[1] = {6, 2}; break;
    default: break;
  }
  for (const Stroke& s : strokes) {
    if (s.colour < 0) continue;
    gdi::SmartPen_t pen(dc, plat::kPsSolid, s.width, plat::PaletteIndex(unsigned(s.colour)));
    DrawArcPolyline(dc, centre, r, from, to);
  }
}

void Window_t::DrawLightSectors(plat::Dc_t& target, const mpl::Point_t& point, mpl::Map_t& map) {
  const geo::Position_t position(std::clamp(point.record.lat, geo::MinLatitude, geo::MaxLatitude), point.record.lon);
  const plat::POINT centre = m_projector.PositionToScreen(position);
  for (const mpl::MdbLightSector_t& sector : map.LightSectorSearch(point.aux)) DrawLightSector(target, centre, sector);
}

// ---------------------------------------------------------------------------
// The graticule.

std::uint32_t GraticuleStep(std::uint32_t visibleWidth) {
  std::uint32_t step = static_cast<std::uint32_t>(std::trunc(4294967295.0 / 24.0));
  for (int refinement = 0; refinement < 3 && visibleWidth / step < 4; ++refinement) {
    if (refinement == 0)
      step = step / 3;
    else if (refinement == 1)
      step = static_cast<std::uint32_t>(std::trunc(step * 0.2));
    else
      step = static_cast<std::uint32_t>(std::trunc(step * 0.5));
  }
  return step;
}

void Window_t::DrawUnderlay(plat::Dc_t& screen, plat::Dc_t& back) {
  const geo::Box_t visible = m_projector.GetVisibleBox();
  const std::int32_t north = visible.GetNorth(), south = visible.GetSouth();
  const std::int32_t east = visible.GetEast(), west = visible.GetWest();
  const std::uint32_t step = GraticuleStep(visible.GetWidth());
  {
    gdi::ObjectSelector_t pen(back, GdiSet_t::Instance().Pen(Pen_Graticule));
    const auto line = [&](const geo::Position_t& a, const geo::Position_t& b) {
      const plat::POINT p = m_projector.PositionToScreen(a), q = m_projector.PositionToScreen(b);
      back.MoveTo(p.x, p.y);
      back.LineTo(q.x, q.y);
    };
    const std::uint32_t meridians = static_cast<std::uint32_t>(4294967295.0 / step);
    for (std::uint32_t k = 0; k < meridians; ++k) {
      const std::int32_t lon = static_cast<std::int32_t>(0x80000000u + k * step);
      if (visible.ContainsLongitude(lon)) line(geo::Position_t(north, lon), geo::Position_t(south, lon));
    }
    const std::uint32_t parallels = static_cast<std::uint32_t>(2147483648.0 / step) + 1;
    for (std::uint32_t k = 0; k < parallels; ++k) {
      const std::int64_t lat = std::int64_t(geo::MinLatitude) + std::int64_t(k) * step;
      if (lat >= south && lat <= north)
        line(geo::Position_t(std::int32_t(lat), west), geo::Position_t(std::int32_t(lat), east));
    }
  }
  CheckRenderProgress(screen);
}

}  // namespace map
