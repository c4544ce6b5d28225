#pragma once
// The size grip in the bottom-right corner of a resizable dialog: a status bar
// in simple mode without text, across the dialog's bottom edge.
#include "plat/PLAT_Bars.h"

namespace afx {

class SizeGrip_t : public plat::StatusBarCtrl_t {
 public:
  ~SizeGrip_t() override;
  // Makes the grip a child of the dialog (id -1) and places it; win::Error_t
  // when it cannot be made.
  void Create(plat::Wnd_t& dialog);
  // Moves the grip to the bottom of its parent's client area, across its whole
  // width (the owner calls it from its size handling); glo::Assert_t without a
  // parent.
  void Reposition();
};

}  // namespace afx
