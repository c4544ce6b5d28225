#pragma once
// The screens of the desktop.
#include "plat/PLAT_Gdi.h"

namespace plat {

// The union of all screens' rectangles (the virtual desktop); an empty
// rectangle when there is no screen.
RECT GetDesktopRect();
// The primary screen's rectangle.
RECT GetPrimaryScreenRect();

}  // namespace plat
