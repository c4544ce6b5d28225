#include "afx/AFX_GetCheckedRadioButton.h"

#include "glo/GLO_Exception.h"
#include "plat/PLAT_Button.h"

namespace afx {

namespace {
bool IsChecked(plat::Wnd_t* w) {
  auto* b = dynamic_cast<plat::Button_t*>(w);
  return b != nullptr && b->GetCheck() == plat::kBstChecked;
}
}  // namespace

int GetCheckedRadioButton(const plat::Wnd_t& dialog, int firstId) {
  plat::Wnd_t* first = dialog.GetDlgItem(firstId);
  GLO_ASSERT(first != nullptr);
  if (IsChecked(first)) return firstId;
  for (plat::Wnd_t* w = dialog.GetNextDlgGroupItem(first);; w = dialog.GetNextDlgGroupItem(w)) {
    GLO_ASSERT(w != nullptr);
    GLO_ASSERT(w != first);
    if (IsChecked(w)) return w->GetDlgCtrlID();
  }
}

}  // namespace afx
