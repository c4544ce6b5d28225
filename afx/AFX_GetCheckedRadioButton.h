#pragma once
// The checked button of a radio group.
#include "plat/PLAT_Window.h"

namespace afx {

// The id of the checked button of the group that starts with 'firstId'.
// glo::Assert_t when the dialog has no such child, or when no button of the
// group is checked.
int GetCheckedRadioButton(const plat::Wnd_t& dialog, int firstId);

}  // namespace afx
