#pragma once
// The screens of the desktop.
#include "plat/PLAT_Gdi.h"

namespace plat {

// The union of all screens' rectangles (the virtual desktop); an empty
// rectangle when there is no screen.
RECT GetDesktopRect();
// The primary screen's rectangle.
RECT GetPrimaryScreenRect();
// The part of the primary screen that windows may use (without the desktop's
// panels and docks).
RECT GetWorkArea();
// Where a main window goes when no place is stored: three quarters of the
// work area's width and height, centred in it.
RECT DefaultFrameRect(const RECT& workArea);

}  // namespace plat
