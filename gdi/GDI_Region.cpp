#include "gdi/GDI_Region.h"

#include "glo/GLO_Exception.h"
#include "win/WIN_Exception.h"

namespace gdi {

Region_t::Region_t() {
  // A one-pixel region ANDed with a disjoint one: valid and empty.
  if (!CreateRectRgn(0, 0, 1, 1)) throw win::Error_t(GLO_SRC);
  plat::Region_t other;
  if (!other.CreateRectRgn(2, 2, 3, 3)) throw win::Error_t(GLO_SRC);
  if (CombineRgn(GetSafeHandle(), other.GetSafeHandle(), plat::kRgnAnd) == plat::kRegionError)
    throw win::Error_t(GLO_SRC);
}

Region_t::Region_t(const plat::RECT& rect, int shape) {
  switch (shape) {
    case Rectangle:
      if (!CreateRectRgn(rect.left, rect.top, rect.right, rect.bottom)) throw win::Error_t(GLO_SRC);
      break;
    case Ellipse:
      if (!CreateEllipticRgn(rect.left, rect.top, rect.right, rect.bottom)) throw win::Error_t(GLO_SRC);
      break;
    default: throw glo::Assert_t(GLO_SRC);
  }
}

Region_t::Region_t(const plat::POINT* points, std::size_t count) {
  if (count > static_cast<std::size_t>(INT32_MAX) || !CreatePolygonRgn(points, static_cast<int>(count)))
    throw win::Error_t(GLO_SRC);
}

Region_t::Region_t(const Region_t& other) : plat::Region_t() {
  if (!CreateRectRgn(0, 0, 0, 0)) throw win::Error_t(GLO_SRC);
  if (CombineRgn(other.GetSafeHandle(), plat::GdiHandle_t(), plat::kRgnCopy) == plat::kRegionError)
    throw win::Error_t(GLO_SRC);
}

Region_t& Region_t::operator=(const Region_t& other) {
  if (this != &other &&
      CombineRgn(other.GetSafeHandle(), plat::GdiHandle_t(), plat::kRgnCopy) == plat::kRegionError)
    throw win::Error_t(GLO_SRC);
  return *this;
}

Region_t::~Region_t() = default;

void Region_t::Combine(const plat::GdiHandle_t& other, int mode) {
  if (CombineRgn(GetSafeHandle(), other, mode) == plat::kRegionError) throw win::Error_t(GLO_SRC);
}

Region_t& Region_t::operator|=(const plat::Region_t& other) {
  Combine(other.GetSafeHandle(), plat::kRgnOr);
  return *this;
}

Region_t& Region_t::operator-=(const plat::Region_t& other) {
  Combine(other.GetSafeHandle(), plat::kRgnDiff);
  return *this;
}

Region_t& Region_t::operator&=(const plat::Region_t& other) {
  Combine(other.GetSafeHandle(), plat::kRgnAnd);
  return *this;
}

int Region_t::GetType() const {
  plat::RECT box;
  return GetBox(box);
}

int Region_t::GetBox(plat::RECT& box) const {
  const int kind = GetRgnBox(box);
  if (kind == plat::kRegionError) throw win::Error_t(GLO_SRC);
  return kind;
}

Region_t Intersect(const Region_t& a, const Region_t& b) {
  Region_t result(a);
  result &= b;
  return result;
}

}  // namespace gdi
