#pragma once
// The point array of one polyline or polygon call, and the rounding of a point
// of doubles to an integer pixel point.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "glo/GLO_Exception.h"
#include "plat/PLAT_Gdi.h"

namespace gdi {

// A double rounded half away from zero to an integer; values beyond the int32
// range (and NaN, to the low end) saturate instead of overflowing.
inline std::int32_t RoundHalfAway(double v) {
  const double r = v < 0.0 ? std::ceil(v - 0.5) : std::floor(v + 0.5);
  if (!(r >= -2147483648.0)) return INT32_MIN;
  if (r > 2147483647.0) return INT32_MAX;
  return static_cast<std::int32_t>(r);
}

// A point of two doubles as an integer pixel point, each coordinate rounded half
// away from zero.
inline plat::POINT RoundToPoint(double x, double y) { return plat::POINT{RoundHalfAway(x), RoundHalfAway(y)}; }

class SmartPointBuffer_t {
 public:
  // Room for 'count' points, all (0, 0).
  explicit SmartPointBuffer_t(std::size_t count = 0) : m_points(count ? new plat::POINT[count]() : nullptr), m_count(count) {}
  explicit SmartPointBuffer_t(const std::vector<plat::POINT>& points) : SmartPointBuffer_t(points.size()) {
    for (std::size_t i = 0; i < m_count; ++i) m_points[i] = points[i];
  }
  SmartPointBuffer_t(const SmartPointBuffer_t& other) : SmartPointBuffer_t(other.m_count) {
    for (std::size_t i = 0; i < m_count; ++i) m_points[i] = other.m_points[i];
  }
  SmartPointBuffer_t& operator=(const SmartPointBuffer_t& other) {
    if (this != &other) {
      SmartPointBuffer_t copy(other);
      std::swap(m_points, copy.m_points);
      std::swap(m_count, copy.m_count);
    }
    return *this;
  }
  virtual ~SmartPointBuffer_t() = default;

  std::size_t GetCount() const { return m_count; }
  plat::POINT* GetPoints() { return m_points.get(); }
  const plat::POINT* GetPoints() const { return m_points.get(); }

  // A point by index; an index past the count is glo::Assert_t.
  plat::POINT& operator[](std::size_t i) {
    if (i >= m_count) throw glo::Assert_t(GLO_SRC);
    return m_points[i];
  }
  const plat::POINT& operator[](std::size_t i) const {
    if (i >= m_count) throw glo::Assert_t(GLO_SRC);
    return m_points[i];
  }

 private:
  std::unique_ptr<plat::POINT[]> m_points;
  std::size_t m_count;
};

}  // namespace gdi
