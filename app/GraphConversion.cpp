#include "app/GraphConversion.h"

#include <algorithm>

#include "gdi/GDI_SmartPointBuffer.h"
#include "glo/GLO_Exception.h"
#include "map/MAP_Registry.h"

namespace app {

GraphRect_t::GraphRect_t(double ymin_, double ymax_, double xmin_, double xmax_)
    : ymin(ymin_), xmin(xmin_), ymax(ymax_), xmax(xmax_), yspan(ymax_ - ymin_), xspan(xmax_ - xmin_) {
  cy = ymin + yspan * 0.5;
  cx = xmin + xspan * 0.5;
}

void GraphRect_t::SetCentre(double cy_, double cx_) {
  cy = cy_;
  cx = cx_;
  ymin = cy - yspan * 0.5;
  ymax = cy + yspan * 0.5;
  xmin = cx - xspan * 0.5;
  xmax = cx + xspan * 0.5;
}

GraphAxes_t UserGraphAxes() {
  map::Registry_t& registry = map::GetRegistry();
  const map::UnitsZoomScaleTable_t& table = map::GetUnitsZoomScaleTable();
  const mat::ElevationUnits_t elevation = registry.ElevationUnits.Value();
  const mat::DistUnitsTypes_t distance = registry.DistanceUnitsType.Value();
  return GraphAxes_t{&table.FindElevation(elevation), &mat::ElevationUnitsEntry(elevation),
                     &table.FindDistance(distance), &mat::DistanceUnitsEntry(distance)};
}

PixelGraphConvertor_t::PixelGraphConvertor_t(double lowest, double highest, double firstDistance,
                                             double lastDistance, const GraphAxes_t& axes)
    : m_axes(axes), m_data(std::min(lowest, 0.0), highest, firstDistance, lastDistance) {
  FitToData();
}

void PixelGraphConvertor_t::SetPixelRect(const plat::RECT& rect) {
  m_pixel = rect;
  m_valid = true;
  UpdateScale();
}

const plat::RECT& PixelGraphConvertor_t::GetPixelRect() const {
  GLO_ASSERT(m_valid);
  return m_pixel;
}

int PixelGraphConvertor_t::XToPixel(double x) const {
  GLO_ASSERT(m_valid);
  return gdi::RoundHalfAway((x - m_view.xmin) * m_xScale + m_pixel.left);
}

int PixelGraphConvertor_t::YToPixel(double y) const {
  GLO_ASSERT(m_valid);
  return gdi::RoundHalfAway((m_pixel.bottom - m_pixel.top) - (y - m_view.ymin) * m_yScale + m_pixel.top);
}

double PixelGraphConvertor_t::PixelToX(int column) const {
  GLO_ASSERT(m_valid);
  return m_view.xmin + (column - m_pixel.left) * (1.0 / m_xScale);
}

void PixelGraphConvertor_t::UpdateScale() {
  GLO_ASSERT(m_valid);
  m_xScale = (m_pixel.right - m_pixel.left) / m_view.xspan;
  m_yScale = (m_pixel.bottom - m_pixel.top) / m_view.yspan;
}

double PixelGraphConvertor_t::ZoomExtent(const map::UnitsZoomScale_t& steps, const mat::UnitConverter_t& unit,
                                         int index) {
  const int count = steps.GetCount();
  if (index < 0 || index >= count) throw glo::OutOfRange_t(GLO_SRC);
  return unit.Conversion().LargeToBase(100.0 * steps.GetStep(count - 1 - index));
}

void PixelGraphConvertor_t::FitToData() {
  auto fit = [](const map::UnitsZoomScale_t& steps, const mat::UnitConverter_t& unit, double span, int& index) {
    index = steps.GetCount() - 1;
    double extent = ZoomExtent(steps, unit, index);
    while (index > 0 && extent < span) extent = ZoomExtent(steps, unit, --index);
    return extent;
  };
  const double yExtent = fit(*m_axes.ySteps, *m_axes.yUnit, m_data.yspan, m_yZoom);
  const double xExtent = fit(*m_axes.xSteps, *m_axes.xUnit, m_data.xspan, m_xZoom);
  m_view = GraphRect_t(m_data.ymin, m_data.ymin + yExtent, m_data.xmin, m_data.xmin + xExtent);
}

void PixelGraphConvertor_t::SetZoom(int xIndex, int yIndex) {
  m_xZoom = xIndex;
  m_yZoom = yIndex;
  SetViewSpans(ZoomExtent(*m_axes.ySteps, *m_axes.yUnit, yIndex), ZoomExtent(*m_axes.xSteps, *m_axes.xUnit, xIndex));
  UpdateScale();
}

namespace {

// The shift that keeps a re-spanned view R on the data along one axis; 'toPixel'
// maps a value of the axis to its pixel under the old scale.
template <typename ToPixel>
double SpanShift(double newSpan, double oldSpan, double rMin, double rMax, double dataMin, double dataMax,
                 double oldMin, double oldMax, ToPixel toPixel) {
  if (newSpan > oldSpan) {
    if (rMin < dataMin) return dataMin - rMin;
    if (rMax > dataMax) return std::max(dataMin - rMin, dataMax - rMax);
    return 0.0;
  }
  if (newSpan < oldSpan && toPixel(oldMin) == toPixel(dataMin) && oldMax > dataMax) return dataMin - rMin;
  return 0.0;
}

}  // namespace

void PixelGraphConvertor_t::SetViewSpans(double yspan, double xspan) {
  GraphRect_t r(m_view.cy - yspan * 0.5, m_view.cy + yspan * 0.5, m_view.cx - xspan * 0.5, m_view.cx + xspan * 0.5);
  const double dx = SpanShift(xspan, m_view.xspan, r.xmin, r.xmax, m_data.xmin, m_data.xmax, m_view.xmin, m_view.xmax,
                              [this](double x) { return XToPixel(x); });
  const double dy = SpanShift(yspan, m_view.yspan, r.ymin, r.ymax, m_data.ymin, m_data.ymax, m_view.ymin, m_view.ymax,
                              [this](double y) { return YToPixel(y); });
  r.MoveBy(dy, dx);
  m_view = r;
}

void PixelGraphConvertor_t::ScrollX(double dx) {
  if (dx == 0.0) return;
  GraphRect_t r = m_view;
  r.MoveBy(0.0, dx);
  if (m_data.xmin <= r.xmin && r.xmax <= m_data.xmax) {
    m_view = r;
  } else if (r.xmin < m_data.xmin) {
    GLO_ASSERT(dx < 0.0);
    m_view.MoveBy(0.0, m_data.xmin - m_view.xmin);
  } else {
    GLO_ASSERT(dx > 0.0);
    m_view.MoveBy(0.0, m_data.xmax - m_view.xmax);
  }
}

void PixelGraphConvertor_t::ScrollY(double dy) {
  if (dy == 0.0) return;
  const double move = -dy;
  GraphRect_t r = m_view;
  r.MoveBy(move, 0.0);
  if (m_data.ymin <= r.ymin && r.ymax <= m_data.ymax) {
    m_view = r;
  } else if (r.ymin < m_data.ymin) {
    GLO_ASSERT(move < 0.0);
    m_view.MoveBy(m_data.ymin - m_view.ymin, 0.0);
  } else {
    GLO_ASSERT(move > 0.0);
    m_view.MoveBy(m_data.ymax - m_view.ymax, 0.0);
  }
}

int PixelGraphConvertor_t::GetHorzScrollPos() const {
  const double range = m_horzRange.Value();
  const double free = m_data.xspan - m_view.xspan;
  if (free <= 0.0) return 0;
  return gdi::RoundHalfAway((m_view.xmin - m_data.xmin) / free * range);
}

int PixelGraphConvertor_t::GetVertScrollPos() const {
  const double range = m_vertRange.Value();
  const double free = m_data.yspan - m_view.yspan;
  if (free <= 0.0) return 0;
  return gdi::RoundHalfAway(range - (m_view.ymin - m_data.ymin) / free * range);
}

void PixelGraphConvertor_t::ScrollXTo(double position) {
  const double range = m_horzRange.Value();
  GLO_ASSERT(m_horzMin.Value() <= position && position <= range);
  if (range <= 0.0) return;
  ScrollX(position / range * (m_data.xspan - m_view.xspan) + m_data.xmin - m_view.xmin);
}

void PixelGraphConvertor_t::ScrollYTo(double position) {
  const double range = m_vertRange.Value();
  GLO_ASSERT(m_vertMin.Value() <= position && position <= range);
  if (range <= 0.0) return;
  ScrollY(-((range - position) / range * (m_data.yspan - m_view.yspan) + m_data.ymin - m_view.ymin));
}

bool PixelGraphConvertor_t::GetDataPixelRect(plat::RECT& rect) const {
  GLO_ASSERT(m_valid);
  rect.left = std::max(XToPixel(m_data.xmin), m_pixel.left);
  rect.top = std::max(YToPixel(m_data.ymax), m_pixel.top);
  rect.right = std::min(XToPixel(m_data.xmax), m_pixel.right);
  rect.bottom = std::min(YToPixel(m_data.ymin), m_pixel.bottom);
  if (rect.left >= rect.right || rect.top >= rect.bottom) {
    rect = plat::RECT{0, 0, 0, 0};
    return false;
  }
  return true;
}

}  // namespace app
