#pragma once
// A dialog's control that must exist.
#include "glo/GLO_Exception.h"
#include "plat/PLAT_Window.h"

namespace afx {

// The child with that id; glo::Assert_t when the window has none.
inline plat::Wnd_t& GetDlgItem(const plat::Wnd_t& dialog, int id) {
  plat::Wnd_t* item = dialog.GetDlgItem(id);
  GLO_ASSERT(item != nullptr);
  return *item;
}

}  // namespace afx
