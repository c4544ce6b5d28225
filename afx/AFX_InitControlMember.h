#pragma once
// Binds a dialog's template control to a member control object.
#include "plat/PLAT_Window.h"

namespace afx {

// The member takes over the dialog's child with that id (it receives the
// child's events from now on). glo::Assert_t when the member has a window
// already, the dialog has none, the id is 0 or -1, the dialog has no such
// child, or the takeover fails. Returns true.
bool InitControlMember(plat::Wnd_t& dialog, int id, plat::Wnd_t& member);

}  // namespace afx
