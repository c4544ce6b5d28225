// What the elevation profile control draws: the geometry of the visible part
// of the profile (built only when the control is dirty) and the paint.
#include <algorithm>
#include <functional>
#include <string>
#include <utility>

#include "app/GraphText.h"
#include "app/ProfileGraph.h"
#include "gdi/GDI_GraphDraw.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"
#include "mat/MAT_UnitConverter.h"

namespace app {

namespace {

struct ProfileObjects_t {
  plat::Pen_t green, black, red, pale, grey;
  plat::Brush_t greenBrush, redBrush, paleBrush, greyBrush;
  ProfileObjects_t() {
    const plat::COLORREF g = plat::Rgb(156, 243, 189), r = plat::Rgb(233, 33, 22), p = plat::Rgb(221, 255, 254),
                         y = plat::Rgb(238, 238, 238);
    green.CreatePen(plat::kPsSolid, 1, g);
    black.CreatePen(plat::kPsSolid, 1, plat::Rgb(0, 0, 0));
    red.CreatePen(plat::kPsSolid, 1, r);
    pale.CreatePen(plat::kPsSolid, 1, p);
    grey.CreatePen(plat::kPsSolid, 1, y);
    greenBrush.CreateSolidBrush(g);
    redBrush.CreateSolidBrush(r);
    paleBrush.CreateSolidBrush(p);
    greyBrush.CreateSolidBrush(y);
  }
};

const ProfileObjects_t& Objects() {
  static const ProfileObjects_t objects;
  return objects;
}

using Measure_t = std::function<int(const std::string&)>;

// The longest start of the text, cut before a character and without blanks at
// its end, that fits with the ellipsis after it, with the ellipsis; empty when
// not even the ellipsis fits.
std::string Shortened(std::string text, int width, const Measure_t& measure) {
  const std::string ellipsis = "\xE2\x80\xA6";
  for (;;) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    if (measure(text + ellipsis) <= width) return text + ellipsis;
    if (text.empty()) return text;
    std::size_t n = text.size() - 1;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    text.resize(n);
  }
}

bool SamePoint(const plat::POINT& a, const plat::POINT& b) { return a.x == b.x && a.y == b.y; }

void DrawPoints(plat::Dc_t& dc, const std::vector<plat::POINT>& points, bool polygon) {
  std::vector<plat::POINT> buffer = points;
  if (buffer.size() == 1) buffer.push_back(buffer.front());
  if (polygon)
    dc.Polygon(buffer.data(), static_cast<int>(buffer.size()));
  else
    dc.Polyline(buffer.data(), static_cast<int>(buffer.size()));
}

}  // namespace

// ---- readout text ----

FittedText_t FitTextLines(const std::string& text, int width, int maxLines, const Measure_t& measure) {
  FittedText_t fitted;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::string rest = text.substr(start);
    if (measure(rest) <= width) {
      fitted.lines.push_back(rest);
      break;
    }
    // The most whole words from 'start' that fit, unless this is the last line.
    std::size_t end = std::string::npos;
    if (static_cast<int>(fitted.lines.size()) + 1 < maxLines) {
      for (std::size_t blank = text.find(' ', start + 1); blank != std::string::npos;
           blank = text.find(' ', blank + 1)) {
        if (text[blank - 1] == ' ') continue;
        if (measure(text.substr(start, blank - start)) > width) break;
        end = blank;
      }
    }
    if (end == std::string::npos) {
      fitted.whole = false;
      std::string line = Shortened(rest, width, measure);
      if (!line.empty()) fitted.lines.push_back(std::move(line));
      break;
    }
    fitted.lines.push_back(text.substr(start, end - start));
    start = text.find_first_not_of(' ', end);
  }
  return fitted;
}

// ---- geometry ----

void ProfileMarkers_t::AddUnmovedEnds(const map::LineSegment_t& s, int result) {
  auto add = [this](plat::POINT p) {
    if (empty() || !SamePoint(back(), p)) push_back(p);
  };
  if (result == 4 || result == 2) add(plat::POINT{s.X0(), s.Y0()});
  if (result == 4 || result == 1) add(plat::POINT{s.X1(), s.Y1()});
}

void ProfileMarkers_t::Draw(plat::Dc_t& dc) const {
  for (const plat::POINT& p : *this) dc.Ellipse(p.x - 2, p.y - 2, p.x + 3, p.y + 3);
}

void ProfilePolylines_t::AddClippedSegment(const map::LineSegment_t& s, int result) {
  if (result == 0) return;
  if (result == 1 || result == 3 || empty()) emplace_back();
  std::vector<plat::POINT>& line = back();
  for (const plat::POINT p : {plat::POINT{s.X0(), s.Y0()}, plat::POINT{s.X1(), s.Y1()}})
    if (line.empty() || !SamePoint(line.back(), p)) line.push_back(p);
}

void ProfilePolylines_t::Draw(plat::Dc_t& dc) const {
  for (const std::vector<plat::POINT>& line : *this)
    if (!line.empty()) DrawPoints(dc, line, false);
}

void ProfileArea_t::Begin(const plat::RECT& clip) {
  GLO_ASSERT(!m_open);
  m_open = true;
  m_clip = clip;
  m_bounds = plat::RECT{2147483647, clip.top, -2147483647 - 1, clip.bottom};
  m_points.clear();
}

void ProfileArea_t::AddSegment(const plat::POINT& p0, const plat::POINT& p1) {
  GLO_ASSERT(m_open);
  m_points.push_back(p0);
  m_points.push_back(p1);
  m_bounds.left = std::min({m_bounds.left, p0.x, p1.x});
  m_bounds.right = std::max({m_bounds.right, p0.x, p1.x});
}

std::vector<plat::POINT> ProfileArea_t::GetPointBuffer() const {
  GLO_ASSERT(!m_points.empty());
  std::vector<plat::POINT> buffer = m_points;
  if (buffer.size() == 1) buffer.push_back(buffer.front());
  return buffer;
}

void ProfileArea_t::Draw(plat::Dc_t& dc) const {
  if (!m_points.empty()) DrawPoints(dc, m_points, true);
}

void TrkProfileGraphCtrl_t::UpdateGeometry() {
  if (!m_dirty) return;
  const GraphRect_t& view = m_conv.GetView();
  std::size_t g = m_geometryStart;
  const std::size_t end = m_stats.size();
  while (g != end && m_stats[g].distance <= view.xmin) ++g;
  while (g != 0 && (g == end || m_stats[g].distance > view.xmin)) --g;
  std::size_t p = g;
  while (p != end && m_stats[p].distance <= view.xmin + view.xspan) ++p;
  m_geometryStart = g;
  BuildGeometry(g, p);
  m_dirty = false;
}

void TrkProfileGraphCtrl_t::BuildGeometry(std::size_t first, std::size_t last) {
  m_markers.clear();
  m_polylines.clear();
  m_areas.clear();
  const plat::RECT& plot = m_conv.GetPixelRect();
  auto pixel = [this](const TrackStats_t& e) {
    return plat::POINT{m_conv.XToPixel(e.distance), m_conv.YToPixel(*e.elevation)};
  };
  const int baseline = std::min(m_conv.YToPixel(std::min(m_stats.GetLowest(), 0.0)), plot.bottom);
  std::size_t i = first;
  while (i < last) {
    while (i < last && !m_stats[i].elevation) ++i;
    if (i == last) break;
    m_areas.emplace_back();
    m_polylines.emplace_back();
    ProfileArea_t& area = m_areas.back();
    area.Begin(plot);
    for (; i < last && m_stats[i].elevation; ++i) {
      const plat::POINT p0 = pixel(m_stats[i]);
      const plat::POINT p1 = i + 1 < m_stats.size() && m_stats[i + 1].elevation ? pixel(m_stats[i + 1]) : p0;
      area.AddSegment(p0, p1);
      map::LineSegment_t segment(p0.x, p0.y, p1.x, p1.y);
      const int result = segment.Clip(plot);
      m_markers.AddUnmovedEnds(segment, result);
      m_polylines.AddClippedSegment(segment, result);
    }
    if (!area.Points().empty()) {
      area.AddSegment(plat::POINT{area.Points().back().x, baseline}, plat::POINT{area.Points().front().x, baseline});
    }
    area.End();
  }
}

// ---- paint ----

std::string TrkProfileGraphCtrl_t::ReadoutText() const {
  const plat::RECT& plot = m_conv.GetPixelRect();
  std::string text;
  bool columnInPlot = false;
  if (m_cursorDistance) {
    columnInPlot = PtInRect(plot, m_conv.XToPixel(*m_cursorDistance), plot.top);
    text = GraphString(130, m_axes.xUnit->Format(*m_cursorDistance, true));
  }
  if (m_cursorElevation) {
    const int r = m_conv.YToPixel(*m_cursorElevation);
    if ((m_cursorDistance && columnInPlot) || (plot.top <= r && r <= plot.bottom)) {
      if (!text.empty()) text += GraphString(129);
      const mat::UnitConverter_t& unit = *m_axes.yUnit;
      text += glo::StringResource_t(131, GLO_SRC)
                  .FormatArgs({mat::FormatNumber(unit.Conversion().BaseToLarge(*m_cursorElevation), true, 0, 0),
                               unit.GetSmallUnitName()},
                              GLO_SRC);
    }
  }
  if (text.empty() && !m_cursorDistance && !m_cursorElevation) text = GraphString(132);
  return text;
}

void TrkProfileGraphCtrl_t::OnPaint(plat::Dc_t& dc) {
  gdi::PaintBuffered(dc, m_client.right, m_client.bottom, [this](plat::Dc_t& memory) { Paint(memory); });
}

void TrkProfileGraphCtrl_t::Paint(plat::Dc_t& dc) {
  const ProfileObjects_t& o = Objects();
  UpdateGeometry();
  const plat::GdiHandle_t oldPen = dc.GetCurrentObject(plat::GdiKind::Pen);
  const plat::GdiHandle_t oldBrush = dc.GetCurrentObject(plat::GdiKind::Brush);
  const plat::GdiHandle_t oldFont = dc.GetCurrentObject(plat::GdiKind::Font);
  dc.FillSolidRect(m_client, plat::Rgb(255, 255, 255));
  dc.IntersectClipRect(m_client.left, m_client.top, m_client.right, m_client.bottom);
  if (m_font.GetSafeHandle()) dc.SelectObject(m_font);
  dc.SetBkMode(plat::kTransparent);

  const plat::RECT& plot = m_conv.GetPixelRect();
  dc.IntersectClipRect(plot.left, plot.top, plot.right, plot.bottom);
  plat::RECT data;
  if (m_conv.GetDataPixelRect(data)) {
    dc.SelectObject(o.grey);
    dc.SelectObject(o.greyBrush);
    dc.Rectangle(data.left, plot.top, data.right, plot.bottom);
  }
  dc.SelectObject(o.pale);
  dc.SelectObject(o.paleBrush);
  for (const ProfileArea_t& area : m_areas) {
    if (area.Points().empty()) continue;
    const plat::RECT& b = area.Bounds();
    const plat::RECT& c = area.Clip();
    const plat::RECT r{std::max(b.left, c.left), std::max(b.top, c.top), std::min(b.right, c.right),
                       std::min(b.bottom, c.bottom)};
    if (r.left < r.right && r.top < r.bottom) dc.Rectangle(r.left, r.top, r.right, r.bottom);
  }
  dc.SelectObject(o.green);
  dc.SelectObject(o.greenBrush);
  for (const ProfileArea_t& area : m_areas) area.Draw(dc);
  if (!m_polylines.empty()) {
    dc.SelectObject(o.black);
    m_polylines.Draw(dc);
  }
  if (m_showMarkers && !m_markers.empty()) {
    dc.SelectObject(o.red);
    dc.SelectObject(o.redBrush);
    m_markers.Draw(dc);
  }
  dc.SelectClipRgn(plat::GdiHandle_t());
  dc.IntersectClipRect(m_client.left, m_client.top, m_client.right, m_client.bottom);

  const std::string text = ReadoutText();
  if (m_cursorDistance) {
    const int c = m_conv.XToPixel(*m_cursorDistance);
    if (PtInRect(plot, c, plot.top) || c == plot.right) {
      dc.SelectObject(o.red);
      dc.MoveTo(c, plot.top);
      dc.LineTo(c, plot.bottom);
    }
  }
  if (m_cursorElevation) {
    const int r = m_conv.YToPixel(*m_cursorElevation);
    if (PtInRect(plot, plot.left, r)) {
      dc.SelectObject(o.red);
      dc.MoveTo(plot.left, r);
      dc.LineTo(std::min(m_conv.XToPixel(m_stats.GetLength()), static_cast<int>(plot.right)), r);
    }
  }
  plat::TEXTMETRICA metrics{};
  dc.GetTextMetrics(metrics);
  const int lineHeight = std::max(1, static_cast<int>(metrics.tmHeight));
  const FittedText_t readout = FitTextLines(
      text, m_readout.right - m_readout.left, std::max(1, (m_readout.bottom - m_readout.top) / lineHeight),
      [&dc](const std::string& line) {
        plat::SIZE size{0, 0};
        dc.GetTextExtentPoint32(line, size);
        return static_cast<int>(size.cx);
      });
  m_textsFit = readout.whole;
  int lineTop = (m_readout.top + m_readout.bottom - lineHeight * static_cast<int>(readout.lines.size())) / 2;
  for (const std::string& line : readout.lines) {
    gdi::DrawCentredText(dc, plat::RECT{m_readout.left, lineTop, m_readout.right, lineTop + lineHeight}, line);
    lineTop += lineHeight;
  }

  dc.SelectStockObject(plat::kBlackPen);
  dc.MoveTo(plot.left, plot.top);
  dc.LineTo(plot.left, plot.bottom);
  dc.LineTo(plot.right, plot.bottom);
  dc.LineTo(plot.right, plot.top);
  dc.LineTo(plot.left, plot.top);

  const GraphRect_t& view = m_conv.GetView();
  const std::string across = GraphString(133, m_axes.xUnit->Format(view.xspan, false));
  const std::string up = GraphString(134, m_axes.yUnit->Format(view.yspan, false));
  plat::SIZE acrossSize{0, 0}, upSize{0, 0};
  dc.GetTextExtentPoint32(across, acrossSize);
  dc.GetTextExtentPoint32(up, upSize);
  m_textsFit = m_textsFit && acrossSize.cx <= plot.right - plot.left && upSize.cx <= plot.bottom - plot.top;
  gdi::DrawCentredText(dc, plat::RECT{plot.left, plot.bottom + 1, plot.right, m_client.bottom}, across);
  if (m_verticalFont.GetSafeHandle()) dc.SelectObject(m_verticalFont);
  DrawTextAround(dc, (m_client.left + plot.left) / 2, (plot.top + plot.bottom) / 2, up);
  if (m_focused)
    gdi::DrawFocusFrame(dc, plat::RECT{m_client.left + 3, m_client.top + 3, m_client.right - 3, m_client.bottom - 3});

  dc.SelectClipRgn(plat::GdiHandle_t());
  if (oldFont) dc.SelectObject(oldFont);
  if (oldBrush) dc.SelectObject(oldBrush);
  if (oldPen) dc.SelectObject(oldPen);
}

}  // namespace app
