#pragma once
// Anchors: how a child window keeps its place when its parent changes size.
//
// Recorded from the child's rectangle (L, T, R, B) in the parent's client
// coordinates and the client size (W, H), by mode per direction:
//   0  left = L                 (top = T)
//   1  right = W - R            (bottom = H - B)
//   2  both: the child stretches
//   3  centre = W / 2 - L       (H / 2 - T): the child stays centred
// Other modes record nothing in that direction.
#include "glo/GLO_Optional.h"
#include "plat/PLAT_Gdi.h"

namespace afx {

struct Anchor_t {
  glo::Optional_t<int> left;
  glo::Optional_t<int> right;
  glo::Optional_t<int> top;
  glo::Optional_t<int> bottom;
  glo::Optional_t<int> hCentre;
  glo::Optional_t<int> vCentre;

  // Records the offsets of 'child' (client coordinates) in a client area of
  // width x height.
  static Anchor_t Record(const plat::RECT& child, int width, int height, int hMode, int vMode);

  // The child's rectangle for a client area of cx x cy, keeping the child's
  // size on a side without an offset. A direction without any offset throws
  // glo::Assert_t.
  plat::RECT Layout(const plat::RECT& child, int cx, int cy) const;
};

}  // namespace afx
