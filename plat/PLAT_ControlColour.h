#pragma once
// A control's own background colour: the control fills its area with it
// behind its text (a static text painted white on a grey dialog).
#include "plat/PLAT_Gdi.h"
#include "plat/PLAT_Window.h"

namespace plat {

// Sets the colour (kClrInvalid: the dialog face again). False (last error
// 1400) when the object has no window.
bool SetControlBackground(Wnd_t& control, COLORREF colour);

}  // namespace plat
