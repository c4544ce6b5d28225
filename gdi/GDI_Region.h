#pragma once
// A drawing region (rectangles, ellipses and their combinations). Every failed
// region call raises win::Error_t with the calling thread's last error.
#include <cstddef>
#include <cstdint>

#include "plat/PLAT_Gdi.h"

namespace gdi {

class Region_t : public plat::Region_t {
 public:
  enum Shape_t { Rectangle = 0, Ellipse = 1 };

  // A valid, empty region.
  Region_t();
  // A rectangular (shape 0) or elliptic (shape 1) region inside the rectangle;
  // another shape is glo::Assert_t.
  Region_t(const plat::RECT& rect, int shape);
  // The polygon of the points, filled alternately; no points: an empty region.
  Region_t(const plat::POINT* points, std::size_t count);
  Region_t(const Region_t& other);
  Region_t& operator=(const Region_t& other);
  ~Region_t() override;

  Region_t& operator|=(const plat::Region_t& other);
  Region_t& operator-=(const plat::Region_t& other);
  Region_t& operator&=(const plat::Region_t& other);

  // The region's kind: 1 empty, 2 one rectangle, 3 more complex.
  int GetType() const;
  // The bounding box; the result is the kind as GetType gives it.
  int GetBox(plat::RECT& box) const;

 private:
  void Combine(const plat::GdiHandle_t& other, int mode);
};

// A new region holding a AND b.
Region_t Intersect(const Region_t& a, const Region_t& b);

}  // namespace gdi
