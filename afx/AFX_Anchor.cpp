#include "afx/AFX_Anchor.h"

#include "glo/GLO_Exception.h"

namespace afx {

namespace {

void RecordAxis(int mode, int low, int high, int size, glo::Optional_t<int>& near, glo::Optional_t<int>& far,
                glo::Optional_t<int>& centre) {
  if (mode == 0 || mode == 2) near = low;
  if (mode == 1 || mode == 2) far = size - high;
  if (mode == 3) centre = size / 2 - low;
}

// The new [low, high) of one direction.
void LayoutAxis(const glo::Optional_t<int>& near, const glo::Optional_t<int>& far, const glo::Optional_t<int>& centre,
                int size, int extent, std::int32_t& low, std::int32_t& high) {
  if (near.IsPresent()) {
    low = near.Value();
    high = far.IsPresent() ? size - far.Value() : low + extent;
  } else if (far.IsPresent()) {
    high = size - far.Value();
    low = high - extent;
  } else {
    GLO_ASSERT(centre.IsPresent());
    low = size / 2 - centre.Value();
    high = low + extent;
  }
}

}  // namespace

Anchor_t Anchor_t::Record(const plat::RECT& c, int width, int height, int hMode, int vMode) {
  Anchor_t a;
  RecordAxis(hMode, c.left, c.right, width, a.left, a.right, a.hCentre);
  RecordAxis(vMode, c.top, c.bottom, height, a.top, a.bottom, a.vCentre);
  return a;
}

plat::RECT Anchor_t::Layout(const plat::RECT& c, int cx, int cy) const {
  plat::RECT r = c;
  LayoutAxis(left, right, hCentre, cx, c.right - c.left, r.left, r.right);
  LayoutAxis(top, bottom, vCentre, cy, c.bottom - c.top, r.top, r.bottom);
  return r;
}

}  // namespace afx
