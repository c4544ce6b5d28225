#include "map/MAP_ScrnRect.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "gdi/GDI_SmartPointBuffer.h"
#include "glo/GLO_Exception.h"

namespace map {

namespace {
// A double rounded half away from zero to a 64-bit integer, saturating beyond
// that range.
std::int64_t RoundHalfAway64(double v) {
  const double r = v < 0.0 ? std::ceil(v - 0.5) : std::floor(v + 0.5);
  if (!(r > -9.2e18)) return std::numeric_limits<std::int64_t>::min();
  if (!(r < 9.2e18)) return std::numeric_limits<std::int64_t>::max();
  return static_cast<std::int64_t>(r);
}
}  // namespace

geo::Position_t DoublePoint_t::ToPosition() const {
  // The longitude keeps its low 32 bits (it wraps); the latitude saturates so
  // that the position's own check rejects it when it is out of range.
  const std::int32_t lon = static_cast<std::int32_t>(static_cast<std::uint32_t>(RoundHalfAway64(x)));
  return geo::Position_t(gdi::RoundHalfAway(y), lon);
}

plat::POINT DoublePoint_t::ToPoint() const { return gdi::RoundToPoint(x, y); }

bool ScrnRect_t::Contains(const DoublePoint_t& p) const {
  return m_topLeft.x <= p.x && p.x <= m_bottomRight.x && m_topLeft.y <= p.y && p.y <= m_bottomRight.y;
}

ScrnRect_t ScrnRect_t::Intersect(const ScrnRect_t& a, const ScrnRect_t& b) {
  if (a.m_empty || b.m_empty || a.GetLeft() > b.GetRight() || b.GetLeft() > a.GetRight() ||
      a.GetTop() > b.GetBottom() || b.GetTop() > a.GetBottom())
    return ScrnRect_t();
  return ScrnRect_t(std::max(a.GetLeft(), b.GetLeft()), std::max(a.GetTop(), b.GetTop()),
                    std::min(a.GetRight(), b.GetRight()), std::min(a.GetBottom(), b.GetBottom()));
}

plat::RECT ScrnRect_t::ToRect() const {
  const plat::POINT tl = m_topLeft.ToPoint();
  const plat::POINT br = m_bottomRight.ToPoint();
  return plat::RECT{tl.x, tl.y, br.x, br.y};
}

bool ScrnRect_t::ClipSegment(const DoublePoint_t& p0, const DoublePoint_t& p1, DoublePoint_t& entry,
                             DoublePoint_t& exit) const {
  const double dx = p1.x - p0.x;
  const double dy = p1.y - p0.y;
  if (dx == 0.0 && dy == 0.0 && Contains(p0)) {
    entry = exit = p0;
    return true;
  }
  double t0 = 0.0, t1 = 1.0;
  const double tests[4][2] = {{dx, GetLeft() - p0.x},
                              {-dx, p0.x - GetRight()},
                              {dy, GetTop() - p0.y},
                              {-dy, p0.y - GetBottom()}};
  // p > 0: the edge is where the segment enters; p < 0: where it leaves.
  for (const auto& test : tests) {
    const double p = test[0], q = test[1];
    if (p > 0.0) {
      const double r = q / p;
      if (r > t1) return false;
      t0 = std::max(t0, r);
    } else if (p < 0.0) {
      const double r = q / p;
      if (r < t0) return false;
      t1 = std::min(t1, r);
    } else if (q > 0.0) {
      return false;
    }
  }
  exit = t1 < 1.0 ? DoublePoint_t(p0.x + t1 * dx, p0.y + t1 * dy) : p1;
  entry = t0 > 0.0 ? DoublePoint_t(p0.x + t0 * dx, p0.y + t0 * dy) : p0;
  return true;
}

void ScrnRect_t::ClipPolyline(const std::vector<DoublePoint_t>& points, DoublePolylines_t& output) const {
  const std::size_t n = points.size();
  if (n == 0) return;
  output.emplace_back();
  if (n == 1 && Contains(points[0])) output.back().push_back(points[0]);
  for (std::size_t i = 0; i + 1 < n; ++i) {
    DoublePoint_t entry, exit;
    if (ClipSegment(points[i], points[i + 1], entry, exit)) {
      if (output.back().empty()) {
        output.back().push_back(entry);
      } else if (entry != output.back().back()) {
        output.emplace_back();
        output.back().push_back(entry);
      }
      output.back().push_back(exit);
    } else if (!output.back().empty()) {
      output.emplace_back();
    }
  }
  if (output.back().empty()) output.pop_back();
}

}  // namespace map
