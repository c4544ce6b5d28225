#pragma once
// A circle on the map: a centre and a radius in semicircles (the search area
// around a screen point).
#include <cstdint>

#include "geo/GEO_Position.h"

namespace geo {

class Circle_t {
 public:
  Circle_t() : m_radius(0) {}
  Circle_t(const Position_t& center, std::int32_t radius) : m_center(center), m_radius(radius) {}

  const Position_t& GetCenter() const { return m_center; }
  std::int32_t GetRadius() const { return m_radius; }

 private:
  Position_t m_center;
  std::int32_t m_radius;
};

}  // namespace geo
