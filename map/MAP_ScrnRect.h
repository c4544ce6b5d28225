#pragma once
// Screen-side geometry under the projector: points and rectangles of doubles in
// pixel units, with the clipping of segments and polylines (Liang-Barsky).
// y grows downward; a rectangle's edges belong to it.
#include <cstdint>
#include <vector>

#include "geo/GEO_Position.h"
#include "glo/GLO_Exception.h"
#include "plat/PLAT_Gdi.h"

namespace map {

struct DoublePoint_t {
  double x = 0.0;
  double y = 0.0;

  DoublePoint_t() = default;
  DoublePoint_t(double px, double py) : x(px), y(py) {}

  // A position with latitude y and longitude x (semicircles), each rounded half
  // away from zero, without altitude; the latitude is checked.
  geo::Position_t ToPosition() const;
  // The integer pixel point, each coordinate rounded half away from zero.
  plat::POINT ToPoint() const;

  friend bool operator==(const DoublePoint_t& a, const DoublePoint_t& b) { return a.x == b.x && a.y == b.y; }
  friend bool operator!=(const DoublePoint_t& a, const DoublePoint_t& b) { return !(a == b); }
};

using DoublePolyline_t = std::vector<DoublePoint_t>;
using DoublePolylines_t = std::vector<DoublePolyline_t>;

class ScrnRect_t {
 public:
  // The empty rectangle (all coordinates 0).
  ScrnRect_t() = default;
  // Non-empty rectangles; left > right or top > bottom is glo::Assert_t.
  ScrnRect_t(const DoublePoint_t& topLeft, const DoublePoint_t& bottomRight)
      : m_empty(false), m_topLeft(topLeft), m_bottomRight(bottomRight) {
    GLO_ASSERT(topLeft.x <= bottomRight.x);
    GLO_ASSERT(topLeft.y <= bottomRight.y);
  }
  ScrnRect_t(double left, double top, double right, double bottom)
      : m_empty(false), m_topLeft(left, top), m_bottomRight(right, bottom) {
    GLO_ASSERT(left <= right);
    GLO_ASSERT(top <= bottom);
  }
  explicit ScrnRect_t(const plat::RECT& rect)
      : m_empty(false), m_topLeft(rect.left, rect.top), m_bottomRight(rect.right, rect.bottom) {
    GLO_ASSERT(rect.left <= rect.right);
    GLO_ASSERT(rect.top <= rect.bottom);
  }

  bool IsEmpty() const { return m_empty; }
  double GetLeft() const { return m_topLeft.x; }
  double GetTop() const { return m_topLeft.y; }
  double GetRight() const { return m_bottomRight.x; }
  double GetBottom() const { return m_bottomRight.y; }
  const DoublePoint_t& GetTopLeft() const { return m_topLeft; }
  const DoublePoint_t& GetBottomRight() const { return m_bottomRight; }

  friend bool operator==(const ScrnRect_t& a, const ScrnRect_t& b) {
    return a.m_empty == b.m_empty && a.m_topLeft == b.m_topLeft && a.m_bottomRight == b.m_bottomRight;
  }
  friend bool operator!=(const ScrnRect_t& a, const ScrnRect_t& b) { return !(a == b); }

  // left <= x <= right and top <= y <= bottom (the empty flag is not consulted).
  bool Contains(const DoublePoint_t& p) const;

  // The common part; empty when either is empty or they do not meet. Rectangles
  // that only touch give a degenerate, non-empty rectangle.
  static ScrnRect_t Intersect(const ScrnRect_t& a, const ScrnRect_t& b);

  // The corners rounded half away from zero.
  plat::RECT ToRect() const;

  // Clips the segment p0-p1; true with the visible part's entry and exit points,
  // false (outputs unchanged) when nothing is visible.
  bool ClipSegment(const DoublePoint_t& p0, const DoublePoint_t& p1, DoublePoint_t& entry,
                   DoublePoint_t& exit) const;

  // Appends the visible pieces of the polyline, in order, to 'output': a run of
  // visible segments forms one piece; every leave-and-re-enter starts a new one.
  void ClipPolyline(const std::vector<DoublePoint_t>& points, DoublePolylines_t& output) const;

 private:
  bool m_empty = true;
  DoublePoint_t m_topLeft;
  DoublePoint_t m_bottomRight;
};

}  // namespace map
