#include "map/MAP_CosProjector.h"

#include <algorithm>
#include <cmath>

namespace map {

namespace {

constexpr double kTwo31 = 2147483648.0;
constexpr double kTwo32 = 4294967296.0;
const double kLog2Of15 = std::log(1.5) / std::log(2.0);
const double kCos75 = std::cos(75.0 / geo::DegreesPerRadian);

double RoundAway(double v) { return v < 0.0 ? std::ceil(v - 0.5) : std::floor(v + 0.5); }

std::int32_t ClampPixel(double v) {
  const double r = RoundAway(v);
  if (!(r >= -8192.0)) return -8192;  // also NaN
  if (r > 8191.0) return 8191;
  return static_cast<std::int32_t>(r);
}

// The low 32 bits of an integral double, as int32.
std::int32_t Low32(double integral) {
  double m = std::fmod(integral, kTwo32);
  if (m < 0.0) m += kTwo32;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(m));
}

std::int32_t LonAdd(std::int32_t lon, std::int32_t d) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(lon) + static_cast<std::uint32_t>(d));
}

}  // namespace

CosProjector_t::CosProjector_t(double scale, const geo::Position_t& center, const plat::RECT& clientRect,
                               std::int32_t detailBias)
    : m_scale(scale), m_center(center), m_clientRect(clientRect), m_detailBias(detailBias) {
  Recompute();
}

void CosProjector_t::Recompute() {
  m_viewChanged = true;
  const std::int32_t lat = std::clamp(m_center.GetLatitude(), geo::MinLatitude, geo::MaxLatitude);
  m_center.SetLatitude(lat);
  double c = std::cos(lat / geo::SemicirclesPerRadian);
  if (c <= kCos75) c = kCos75;
  const double sx = m_scale / c;
  const double left = m_clientRect.GetLeft(), top = m_clientRect.GetTop();
  const double right = m_clientRect.GetRight(), bottom = m_clientRect.GetBottom();
  const double halfW = (right - left) * sx * 0.5;
  const double halfH = (bottom - top) * m_scale * 0.5;
  const double lon = m_center.GetLongitude();
  m_t.east = lon + halfW;
  m_t.north = lat + halfH;
  m_t.west = lon - halfW;
  m_t.south = lat - halfH;
  m_t.screen = m_clientRect;
  // Lines through (west, left)-(east, right) and (north, top)-(south, bottom).
  if (m_t.east != m_t.west) {
    m_t.ax = (right - left) / (m_t.east - m_t.west);
    m_t.bx = (m_t.west * right - m_t.east * left) / (m_t.west - m_t.east);
  } else {
    m_t.ax = m_t.bx = 0.0;
  }
  if (m_t.north != m_t.south) {
    m_t.ay = (top - bottom) / (m_t.north - m_t.south);
    m_t.by = (m_t.south * top - m_t.north * bottom) / (m_t.south - m_t.north);
  } else {
    m_t.ay = m_t.by = 0.0;
  }
  m_t.lonLow = (m_t.west + m_t.east) / 2.0 - kTwo31 - 0.5;
  m_t.lonHigh = m_t.lonLow + kTwo32;
  const double d = (m_t.ax * kTwo32 - (right - left)) / 2.0;
  m_t.xLow = -d;
  m_t.xHigh = d + (right - left) - 1.0;
  m_seamLongitude = LonAdd(m_center.GetLongitude(), INT32_MIN);
  m_earthSize = ExtentToPixels(geo::Position_t::MakeExtent(INT32_MIN, -1, geo::Altitude_t()));
}

void CosProjector_t::SetScale(double scale) {
  m_scale = scale;
  Recompute();
}

double CosProjector_t::GetScale() const { return m_t.ay == 0.0 ? 0.0 : -1.0 / m_t.ay; }

double CosProjector_t::GetLongitudeScale() const { return m_t.ax == 0.0 ? 0.0 : 1.0 / m_t.ax; }

int CosProjector_t::GetZoomBits() const {
  return static_cast<int>(std::ceil(std::clamp(31.0 - std::log2(GetScale()), 0.0, 32.0)));
}

int CosProjector_t::GetDetailBits() const {
  return static_cast<int>(
      std::ceil(std::clamp(31.0 - std::log2(GetScale()) + m_detailBias * kLog2Of15, 0.0, 32.0)));
}

void CosProjector_t::SetCenter(const geo::Position_t& center) {
  m_center = center;
  Recompute();
}

void CosProjector_t::SetClientRect(const plat::RECT& rect) {
  m_clientRect = ScrnRect_t(rect);  // asserts before anything changes
  Recompute();
}

geo::Position_t CosProjector_t::Inverse(double x, double y) const {
  // Not std::clamp: when the earth is narrower than one pixel x low lies above
  // x high, and x then ends at x high.
  x = std::min(std::max(x, m_t.xLow), m_t.xHigh);
  const double lon = m_t.ax == 0.0 ? 0.0 : (x - m_t.bx) / m_t.ax;
  double lat = m_t.ay == 0.0 ? 0.0 : (y - m_t.by) / m_t.ay;
  lat = std::clamp(lat, double(geo::MinLatitude), double(geo::MaxLatitude));
  return geo::Position_t(static_cast<std::int32_t>(RoundAway(lat)), Low32(RoundAway(lon)));
}

geo::Position_t CosProjector_t::ScreenToPosition(const plat::POINT& p) const { return Inverse(p.x, p.y); }

geo::Box_t CosProjector_t::GetVisibleBox() const {
  const plat::RECT r = m_t.screen.ToRect();
  return geo::Box_t(Inverse(r.right, r.top), Inverse(r.left, r.bottom));
}

geo::Box_t CosProjector_t::ScreenRectToBox(const plat::RECT& r) const {
  return geo::Box_t(Inverse(r.right, r.top), Inverse(r.left, r.bottom));
}

geo::Circle_t CosProjector_t::PointToSearchArea(const plat::POINT& point, std::int32_t pixels) const {
  return geo::Circle_t(ScreenToPosition(point), PixelsToUnits(pixels));
}

std::int32_t CosProjector_t::PixelsToUnits(std::int32_t pixels) const {
  return Low32(std::trunc(GetScale() * static_cast<double>(static_cast<std::uint32_t>(pixels))));
}

plat::POINT CosProjector_t::PositionToScreen(const geo::Position_t& position) const {
  const DoublePoint_t p = Project(position);
  return plat::POINT{ClampPixel(p.x), ClampPixel(p.y)};
}

double CosProjector_t::SpanToPixels(std::uint32_t longitudeSpan) const {
  return RoundAway(static_cast<double>(longitudeSpan) * m_t.ax);
}

plat::SIZE CosProjector_t::ExtentToPixels(const geo::Position_t& extent) const {
  double w = static_cast<double>(static_cast<std::uint32_t>(extent.GetLongitude())) * m_t.ax;
  double h = -(static_cast<double>(static_cast<std::uint32_t>(extent.GetLatitude())) * m_t.ay);
  if (w > 65535.0) w = 65535.0;
  if (h > 65535.0) h = 65535.0;
  return plat::SIZE{Low32(RoundAway(w)) & 0xFFFF, Low32(RoundAway(h)) & 0xFFFF};
}

plat::RECT CosProjector_t::GetEarthScreenRect() const {
  const DoublePoint_t a = Project(geo::Position_t(geo::MaxLatitude, m_seamLongitude));
  const DoublePoint_t b = Project(geo::Position_t(geo::MinLatitude, LonAdd(m_seamLongitude, -1)));
  const ScrnRect_t earth = ScrnRect_t::Intersect(ScrnRect_t(a, b), m_t.screen);
  if (earth.IsEmpty()) return plat::RECT{0, 0, 0, 0};
  return earth.ToRect();
}

std::vector<plat::RECT> CosProjector_t::BoxToScreenRects(const geo::Box_t& box) const {
  std::vector<plat::RECT> result;
  const geo::Position_t& ne = box.GetNorthEast();
  const geo::Position_t& sw = box.GetSouthWest();
  const auto append = [&](const ScrnRect_t& r) {
    const ScrnRect_t visible = ScrnRect_t::Intersect(r, m_t.screen);
    if (!visible.IsEmpty()) result.push_back(visible.ToRect());
  };
  if (!box.ContainsLongitude(m_seamLongitude)) {
    const DoublePoint_t a = Project(ne);
    const DoublePoint_t b = Project(sw);
    append(ScrnRect_t(b.x, a.y, a.x, b.y));
    return result;
  }
  // Across the seam: move the box next to the view centre, project it there and
  // take it back by the true pixel width of the move; a second copy one earth
  // width to the right shows the other side of the seam.
  const std::int32_t shift =
      LonAdd(static_cast<std::int32_t>(static_cast<std::uint32_t>(m_center.GetLongitude()) -
                                       static_cast<std::uint32_t>(box.GetCenter().GetLongitude())),
             -1);
  const DoublePoint_t a = Project(geo::Position_t(ne.GetLatitude(), LonAdd(ne.GetLongitude(), shift)));
  const DoublePoint_t b = Project(geo::Position_t(sw.GetLatitude(), LonAdd(sw.GetLongitude(), shift)));
  const double c = SpanToPixels(static_cast<std::uint32_t>(shift));
  const double w = SpanToPixels(0xFFFFFFFFu);
  const ScrnRect_t r(b.x - c, a.y, a.x - c, b.y);
  append(r);
  append(ScrnRect_t(r.GetLeft() + w, r.GetTop(), r.GetRight() + w, r.GetBottom()));
  return result;
}

void CosProjector_t::ClipPolylineToView(const std::vector<geo::Position_t>& positions, const geo::Box_t& box,
                                        DoublePolylines_t& output) const {
  if (box.IsEmpty() || !box.ContainsLongitude(m_seamLongitude)) {
    std::vector<DoublePoint_t> points;
    points.reserve(positions.size());
    for (const geo::Position_t& p : positions) points.push_back(Project(p));
    m_t.screen.ClipPolyline(points, output);
    return;
  }
  const std::int32_t shift = static_cast<std::int32_t>(static_cast<std::uint32_t>(m_center.GetLongitude()) -
                                                       static_cast<std::uint32_t>(box.GetCenter().GetLongitude()));
  const double c = SpanToPixels(static_cast<std::uint32_t>(shift));
  const double w = SpanToPixels(0xFFFFFFFFu);
  std::vector<DoublePoint_t> first, second;
  first.reserve(positions.size());
  second.reserve(positions.size());
  for (const geo::Position_t& p : positions) {
    DoublePoint_t q = Project(geo::Position_t(p.GetLatitude(), LonAdd(p.GetLongitude(), shift)));
    q.x -= c;
    first.push_back(q);
    q.x += w;
    second.push_back(q);
  }
  m_t.screen.ClipPolyline(first, output);
  m_t.screen.ClipPolyline(second, output);
}

bool CosProjector_t::TakeViewChanged() {
  const bool changed = m_viewChanged;
  m_viewChanged = false;
  return changed;
}

void CosProjector_t::Assign(const Projector_t& other) {
  SetScale(other.GetScale());
  SetCenter(other.GetCenter());
  SetClientRect(other.GetClientRect());
  SetDetailBias(other.GetDetailBias());
}

TrackDrawState_t CosProjector_t::GetDrawState() const {
  return TrackDrawState_t(m_scale, m_center, m_clientRect.ToRect());
}

}  // namespace map
