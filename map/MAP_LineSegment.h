#pragma once
// A segment between two integer screen points, clipped in place against an
// integer rectangle whose edges belong to it (outcode clipping).
#include "plat/PLAT_Gdi.h"

namespace map {

class LineSegment_t {
 public:
  LineSegment_t() = default;
  LineSegment_t(int x0, int y0, int x1, int y1) : m_x0(x0), m_y0(y0), m_x1(x1), m_y1(y1) {}

  int X0() const { return m_x0; }
  int Y0() const { return m_y0; }
  int X1() const { return m_x1; }
  int Y1() const { return m_y1; }

  // Orders the end points (smaller x first; for equal x the larger y first) and
  // leaves the visible part in the segment; false when nothing is visible.
  bool IsVisible(const plat::RECT& rect);

  // Clips keeping the segment's direction. Returns 0 nothing visible (the
  // segment is left in its ordered form), 4 nothing moved, 2 only the end point
  // moved, 1 only the start point moved, 3 both moved.
  int Clip(const plat::RECT& rect);

 private:
  int m_x0 = 0, m_y0 = 0, m_x1 = 0, m_y1 = 0;
};

}  // namespace map
