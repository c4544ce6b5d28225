#include "map/MAP_LineSegment.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "glo/GLO_Exception.h"

namespace map {

namespace {

int OutCode(int x, int y, const plat::RECT& r) {
  int code = y < r.top ? 8 : (y > r.bottom ? 4 : 0);
  if (x > r.right)
    code += 2;
  else if (x < r.left)
    code += 1;
  return code;
}

}  // namespace

bool LineSegment_t::IsVisible(const plat::RECT& r) {
  if (m_x1 < m_x0 || (m_x0 == m_x1 && m_y0 < m_y1)) {
    std::swap(m_x0, m_x1);
    std::swap(m_y0, m_y1);
  }
  const int c0 = OutCode(m_x0, m_y0, r);
  const int c1 = OutCode(m_x1, m_y1, r);
  if (c0 & c1) return false;
  if (c0 == 0 && c1 == 0) return true;
  if (m_y0 == m_y1) {
    m_x0 = std::max(m_x0, int(r.left));
    m_x1 = std::min(m_x1, int(r.right));
    return true;
  }
  if (m_x0 == m_x1) {
    m_y0 = std::min(m_y0, int(r.bottom));
    m_y1 = std::max(m_y1, int(r.top));
    return true;
  }
  // Up to two distinct clip points, starting with an end point that is inside.
  int count = 0;
  int px = 0, py = 0;
  if (c0 == 0) {
    px = m_x0, py = m_y0, count = 1;
  } else if (c1 == 0) {
    px = m_x1, py = m_y1, count = 1;
  }
  // Products in 64 bits: a pixel coordinate product can exceed 32 bits.
  const std::int64_t dx = std::int64_t(m_x1) - m_x0;
  const std::int64_t dy = std::int64_t(m_y1) - m_y0;
  const int codes = c0 | c1;
  struct Edge {
    int bit;
    bool horizontal;
    int value;
  };
  const Edge edges[4] = {{8, true, r.top}, {4, true, r.bottom}, {1, false, r.left}, {2, false, r.right}};
  for (const Edge& e : edges) {
    if (!(codes & e.bit)) continue;
    int x, y;
    if (e.horizontal) {
      y = e.value;
      x = int((std::int64_t(e.value) - m_y0) * dx / dy + m_x0);
      if (x < r.left || x > r.right) continue;
    } else {
      x = e.value;
      y = int((std::int64_t(e.value) - m_x0) * dy / dx + m_y0);
      if (y < r.top || y > r.bottom) continue;
    }
    if (count == 0) {
      px = x, py = y, count = 1;
    } else if (x != px || y != py) {
      m_x0 = px, m_y0 = py, m_x1 = x, m_y1 = y;
      return true;
    }
  }
  if (count == 0) return false;
  m_x0 = m_x1 = px;
  m_y0 = m_y1 = py;
  return true;
}

int LineSegment_t::Clip(const plat::RECT& rect) {
  const int ox0 = m_x0, oy0 = m_y0, ox1 = m_x1, oy1 = m_y1;
  if (!IsVisible(rect)) return 0;
  if (ox0 == ox1 && oy0 == oy1 && (m_x0 != m_x1 || m_y0 != m_y1)) throw glo::Assert_t(GLO_SRC);
  // Put the points back in the given direction when ordering reversed them.
  const auto opposite = [](std::int64_t a, std::int64_t b) { return (a > 0 && b < 0) || (a < 0 && b > 0); };
  if (opposite(std::int64_t(ox1) - ox0, std::int64_t(m_x1) - m_x0) ||
      opposite(std::int64_t(oy1) - oy0, std::int64_t(m_y1) - m_y0)) {
    std::swap(m_x0, m_x1);
    std::swap(m_y0, m_y1);
  }
  const bool startMoved = m_x0 != ox0 || m_y0 != oy0;
  const bool endMoved = m_x1 != ox1 || m_y1 != oy1;
  if (!startMoved && !endMoved) return 4;
  if (startMoved && endMoved) return 3;
  return startMoved ? 1 : 2;
}

}  // namespace map
