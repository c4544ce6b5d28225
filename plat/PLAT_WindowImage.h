#pragma once
// The picture of a window and its children as the screen would show them, as a
// bitmap to look at pixel by pixel (a test checks a layout with it).
#include "plat/PLAT_Gdi.h"
#include "plat/PLAT_Window.h"

namespace plat {

// Renders the window into 'bitmap' (32 bits, top-down, the window's size),
// which a memory device context can select to read pixels. False (last error
// 1400) when the object has no window.
bool GrabWindowImage(Wnd_t& window, Bitmap_t& bitmap);

}  // namespace plat
