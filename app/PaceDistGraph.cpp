#include "app/PaceDistGraph.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "app/GraphText.h"
#include "app/ValueFormat.h"
#include "gdi/GDI_GraphDraw.h"
#include "gdi/GDI_SmartPointBuffer.h"
#include "glo/GLO_Exception.h"
#include "map/MAP_Registry.h"
#include "mat/MAT_UnitConverterTable.h"
#include "plat/PLAT_Dialog.h"
#include "win/WIN_RegSettingsKey.h"
#include "win/WIN_RegValue.h"

namespace app {

namespace {

constexpr char kGraphTypeValue[] = "GraphType";

// The drawing objects every graph shares.
struct GraphObjects_t {
  plat::Pen_t grid;
  plat::Pen_t edge;
  plat::Pen_t area;
  plat::Brush_t areaBrush;
  GraphObjects_t() {
    grid.CreatePen(plat::kPsSolid, 1, plat::Rgb(0, 0, 0));
    edge.CreatePen(plat::kPsSolid, 1, plat::Rgb(0, 0, 0));
    area.CreatePen(plat::kPsSolid, 1, plat::Rgb(175, 180, 252));
    areaBrush.CreateSolidBrush(plat::Rgb(175, 180, 252));
  }
};

const GraphObjects_t& Objects() {
  static const GraphObjects_t objects;
  return objects;
}

win::RegValue_t<int> GraphTypeSetting() { return win::RegValue_t<int>(GetSettingsKey(), kGraphTypeValue, 0); }

}  // namespace

PaceDistGraphCtrl_t::PaceDistGraphCtrl_t()
    : m_graphType(StoredGraphType()), m_units(map::GetRegistry().DistanceUnitsType.Value()) {
  RegisterWindowClass();
}

void PaceDistGraphCtrl_t::RegisterWindowClass() {
  static const bool registered = [] {
    if (plat::IsWindowClassRegistered(kClassName)) return true;
    return plat::RegisterWindowClass(kClassName, [] { return std::make_unique<PaceDistGraphCtrl_t>(); });
  }();
  GLO_ASSERT(registered);
}

PaceDistGraphCtrl_t::GraphType_t PaceDistGraphCtrl_t::StoredGraphType() {
  return GraphTypeSetting().Value() == 0 ? Pace : Speed;
}

void PaceDistGraphCtrl_t::OnCreate() {
  CreateGraphFonts(m_font, m_verticalFont);
  Layout();
}

void PaceDistGraphCtrl_t::SetTrack(const gdb::Track_t* track) {
  m_track = track;
  m_legs.clear();
  m_xStart = m_total = m_xRange = 0;
  if (m_track && !m_track->IsEmpty()) {
    gdb::Track_t::Iterator_t previous = m_track->Begin();
    for (gdb::Track_t::Iterator_t p = std::next(previous); p != m_track->End(); previous = p++) {
      const gdb::LegSummary_t leg(*previous, *p);
      const glo::Optional_t<double>& span = leg.GetTimeSpan();
      m_legs.push_back(Leg_t{leg.GetDistance(), span ? *span : 0.0, span.IsPresent()});
    }
  }
  if (m_track && m_track->GetTotals().GetCount() >= 3) {
    m_xStart = gdi::RoundHalfAway(m_legs.front().metres);
    m_total = gdi::RoundHalfAway(m_track->GetTotals().GetDistance());
    m_xRange = m_total - m_xStart;
  }
  Layout();
  Invalidate(true);
}

void PaceDistGraphCtrl_t::Layout() {
  m_client = GetClientRect();
  m_plot = plat::RECT{m_client.left + 35, m_client.top + 20, m_client.right - 20, m_client.bottom - 35};
  // On every layout, so that the first paint after a track is set is not shifted.
  m_xOffset = m_xStart > 0 && m_xRange > 0 ? (m_plot.right - m_plot.left) * m_xStart / m_xRange : 0.0;
}

void PaceDistGraphCtrl_t::OnSize(int, int) {
  Layout();
  Invalidate(false);
}

bool PaceDistGraphCtrl_t::OnEraseBkgnd(plat::Dc_t&) { return true; }

void PaceDistGraphCtrl_t::ToggleGraphType() {
  win::RegValue_t<int> setting = GraphTypeSetting();
  setting.Set(setting.Value() == 0 ? 1 : 0);
  m_graphType = setting.Value() == 0 ? Pace : Speed;
  Invalidate(true);
}

double PaceDistGraphCtrl_t::LegValue(const Leg_t& leg) const {
  if (!leg.timed) return 0.0;
  if (m_graphType == Pace) return leg.metres > 0.0 ? PaceFromDistanceTime(leg.seconds, leg.metres, m_units) / 60.0 : 0.0;
  return leg.seconds / 3600.0 > 0.0 ? SpeedFromDistanceTime(leg.metres, leg.seconds, m_units) : 0.0;
}

void PaceDistGraphCtrl_t::ComputeYRange() {
  double largest = 0.0;
  for (const Leg_t& leg : m_legs) largest = std::max(largest, LegValue(leg));
  const int r = gdi::RoundHalfAway(largest);
  const int limit = m_graphType == Pace ? 32 : 80;
  if (r > limit)
    m_yRange = limit;
  else if (r < 8)
    m_yRange = 8;
  else
    m_yRange = (r / 8 + 1) * 8;
}

plat::POINT PaceDistGraphCtrl_t::PointFromValue(double value, double distance) const {
  GLO_ASSERT(m_total > 0);
  GLO_ASSERT(m_xRange > 0);
  GLO_ASSERT(m_yRange > 0);
  const double width = m_plot.right - m_plot.left;
  const double height = m_plot.bottom - m_plot.top;
  const double x = (m_plot.left - m_client.left) - m_xOffset + width * distance / m_xRange;
  const double y = height - height * value / m_yRange + m_plot.top;
  return gdi::RoundToPoint(x, y);
}

namespace {

struct ValueLabel_t {
  std::string text;
  int row;  // of its grid line
  plat::SIZE size;
};

// The legs that start and end in one pixel column, in drawing order: what each
// pixel of the column shows after them (kept from before, area or edge), for
// the rows of the plot; rows outside it are erased by the paint.
class ColumnLegs_t {
 public:
  ColumnLegs_t(int top, int bottom) : m_top(top), m_bottom(bottom), m_rows(static_cast<std::size_t>(bottom - top + 1)) {}

  bool IsOpen() const { return m_open; }
  int Column() const { return m_x; }

  void Open(int x) {
    m_open = true;
    m_x = x;
    std::fill(m_rows.begin(), m_rows.end(), kKept);
  }
  // The trapezoid of a leg from row a to row b: its fill and outline cover the
  // rows from the higher end down to the bottom.
  void AddArea(int a, int b) { Set(std::min(a, b), m_bottom, kArea); }
  // The edge from row a towards row b, b itself excluded.
  void AddEdge(int a, int b) {
    if (a < b) Set(a, b - 1, kEdge);
    if (a > b) Set(b + 1, a, kEdge);
  }
  // Draws the column's runs of area and edge pixels and closes it.
  void Flush(plat::Dc_t& dc, const plat::Pen_t& area, const plat::Pen_t& edge) {
    m_open = false;
    std::size_t r = 0;
    while (r < m_rows.size()) {
      const std::uint8_t state = m_rows[r];
      std::size_t end = r + 1;
      while (end < m_rows.size() && m_rows[end] == state) ++end;
      if (state != kKept) {
        dc.SelectObject(state == kArea ? area : edge);
        dc.MoveTo(m_x, m_top + static_cast<int>(r));
        dc.LineTo(m_x, m_top + static_cast<int>(end));
      }
      r = end;
    }
  }

 private:
  enum : std::uint8_t { kKept = 0, kArea = 1, kEdge = 2 };
  void Set(int from, int to, std::uint8_t state) {
    from = std::max(from, m_top);
    to = std::min(to, m_bottom);
    for (int r = from; r <= to; ++r) m_rows[static_cast<std::size_t>(r - m_top)] = state;
  }
  int m_top, m_bottom;
  std::vector<std::uint8_t> m_rows;
  bool m_open = false;
  int m_x = 0;
};

}  // namespace

void PaceDistGraphCtrl_t::DrawAreas(plat::Dc_t& dc) {
  const GraphObjects_t& objects = Objects();
  ColumnLegs_t column(m_plot.top, m_plot.bottom);
  plat::POINT previous{0, 0};
  double running = 0.0;
  bool first = true;
  for (const Leg_t& leg : m_legs) {
    const double v = LegValue(leg);
    running += gdi::RoundHalfAway(leg.metres);
    const plat::POINT P = PointFromValue(v, running);
    if (P.x < m_plot.left && previous.x < m_plot.left) {
      // Left of the plot: erased by the paint.
    } else if (P.x == previous.x && P.x <= m_plot.right) {
      if (column.IsOpen() && column.Column() != P.x) column.Flush(dc, objects.area, objects.edge);
      if (!column.IsOpen()) column.Open(P.x);
      column.AddArea(previous.y, P.y);
      if (!first) column.AddEdge(previous.y, P.y);
    } else {
      if (column.IsOpen()) column.Flush(dc, objects.area, objects.edge);
      const plat::POINT trapezoid[5] = {previous, P, {P.x, m_plot.bottom}, {previous.x, m_plot.bottom}, previous};
      dc.SelectObject(objects.area);
      dc.SelectObject(objects.areaBrush);
      dc.Polygon(trapezoid, 5);
      if (!first) {
        dc.SelectObject(objects.edge);
        dc.MoveTo(previous.x, previous.y);
        dc.LineTo(P.x, P.y);
      }
    }
    first = false;
    previous = P;
  }
  if (column.IsOpen()) column.Flush(dc, objects.area, objects.edge);
}

void PaceDistGraphCtrl_t::OnPaint(plat::Dc_t& dc) { Paint(dc); }

void PaceDistGraphCtrl_t::Paint(plat::Dc_t& dc) {
  const GraphObjects_t& objects = Objects();
  const plat::GdiHandle_t oldPen = dc.GetCurrentObject(plat::GdiKind::Pen);
  const plat::GdiHandle_t oldBrush = dc.GetCurrentObject(plat::GdiKind::Brush);
  const plat::GdiHandle_t oldFont = dc.GetCurrentObject(plat::GdiKind::Font);
  const plat::COLORREF white = plat::Rgb(255, 255, 255);
  dc.FillSolidRect(m_client, white);
  if (!m_track || m_xRange <= 0) return;

  ComputeYRange();
  DrawAreas(dc);
  dc.SelectObject(objects.grid);
  dc.SelectObject(m_font);
  dc.SetBkMode(plat::kTransparent);
  const int g = (m_plot.bottom - m_plot.top) / 8;
  for (int i = 1; i <= 7; ++i) {
    dc.MoveTo(m_plot.right, m_plot.bottom - i * g);
    dc.LineTo(m_plot.left, m_plot.bottom - i * g);
  }
  dc.MoveTo(m_plot.left, m_plot.top);
  dc.LineTo(m_plot.left, m_plot.bottom);
  dc.LineTo(m_plot.right, m_plot.bottom);
  dc.LineTo(m_plot.right, m_plot.top);
  dc.LineTo(m_plot.left, m_plot.top);

  // Everything drawn outside the plot (the first leg, values above the range) goes.
  plat::Region_t oldClip;
  const bool hadClip = dc.GetClipRgn(oldClip) == 1;
  dc.ExcludeClipRect(m_plot.left, m_plot.top, m_plot.right + 1, m_plot.bottom + 1);
  dc.FillSolidRect(m_client, white);

  // Value labels: the lowest and the highest always, those between when they
  // fit between the last one drawn and the highest.
  const int c = m_yRange / 8;
  const auto valueLabel = [&](int k) {
    ValueLabel_t label{FormatInteger(k * c), m_plot.bottom - k * g, {0, 0}};
    dc.GetTextExtentPoint32(label.text, label.size);
    return label;
  };
  const ValueLabel_t highest = valueLabel(8);
  const int highestBottom = highest.row + highest.size.cy / 2;
  m_valueLabels.clear();
  int lastTop = 0;
  for (int k = 1; k <= 8; ++k) {
    const ValueLabel_t label = k == 8 ? highest : valueLabel(k);
    const int top = label.row - label.size.cy / 2;
    if (k != 1 && k != 8 && (lastTop < label.row + label.size.cy / 2 || top < highestBottom)) continue;
    dc.TextOut(m_plot.left - label.size.cx, top, label.text);
    m_valueLabels.push_back(plat::RECT{m_plot.left - label.size.cx, top, m_plot.left, top + label.size.cy});
    lastTop = top;
  }

  // Distance ticks with their labels in the large unit.
  GLO_ASSERT(m_xRange >= 1);
  const int s = (m_plot.right - m_plot.left) / 15;
  const int m = m_xRange / 15;
  const mat::UnitConverter_t& unit = mat::DistanceUnitsEntry(m_units);
  // A label that would run into the last one drawn is skipped (every tick
  // stays), as the value labels are; a blank's width keeps them apart.
  plat::SIZE blank{0, 0};
  dc.GetTextExtentPoint32(" ", blank);
  m_distanceLabels.clear();
  for (int k = 1; k <= 14; ++k) {
    const int x = m_plot.left + k * s;
    dc.MoveTo(x, m_plot.bottom);
    dc.LineTo(x, m_plot.bottom + 7);
    const std::string text = unit.FormatLarge(m_xStart + k * m, true, 2);
    plat::SIZE size{0, 0};
    dc.GetTextExtentPoint32(text, size);
    const plat::RECT label{x - size.cx / 2, m_plot.bottom + 7, x - size.cx / 2 + size.cx, m_plot.bottom + 7 + size.cy};
    if (!m_distanceLabels.empty() && label.left < m_distanceLabels.back().right + blank.cx) continue;
    dc.TextOut(label.left, label.top, text);
    m_distanceLabels.push_back(label);
  }

  const std::string u = m_units != mat::DistUnitsTypes_t::Statute ? "km" : "mi";
  const std::string across = GraphString(185, u);
  const std::string up = GraphString(m_graphType == Speed ? 189 : 186, u);
  plat::SIZE acrossSize{0, 0}, upSize{0, 0};
  dc.GetTextExtentPoint32(across, acrossSize);
  dc.GetTextExtentPoint32(up, upSize);
  m_captionsFit = acrossSize.cx <= m_plot.right - m_plot.left && acrossSize.cy <= m_client.bottom - m_plot.bottom - 20 &&
                  upSize.cx <= m_plot.bottom - m_plot.top;
  gdi::DrawCentredText(dc, plat::RECT{m_plot.left, m_plot.bottom + 20, m_plot.right, m_client.bottom}, across);
  dc.SelectObject(m_verticalFont);
  DrawTextAround(dc, (m_client.left + m_plot.left - 10) / 2, (m_plot.top + m_plot.bottom) / 2, up);

  dc.SelectClipRgn(hadClip ? oldClip.GetSafeHandle() : plat::GdiHandle_t());
  if (oldFont) dc.SelectObject(oldFont);
  if (oldBrush) dc.SelectObject(oldBrush);
  if (oldPen) dc.SelectObject(oldPen);
}

}  // namespace app
