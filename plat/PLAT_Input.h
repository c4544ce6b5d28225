#pragma once
// Input as the user gives it, delivered along the toolkit's own event path
// (handlers, default processing, passing on to the parent). For tests and for
// programs that replay input.
#include "plat/PLAT_Window.h"

namespace plat {

// A wheel turn of 'delta' (120 per notch, positive away from the user) with
// the key flags kMkShift / kMkControl, at a point of the window's client area.
// True when a window took it.
bool SendWheel(Wnd_t& window, int delta, unsigned flags, POINT clientPoint);

// A click (press and release) of the left or right button; with 'doubleClick'
// a double click follows.
void SendClick(Wnd_t& window, POINT clientPoint, bool right = false, bool doubleClick = false);

// A key press of a virtual key (kVk*, 'A'..'Z', '0'..'9') with kMkShift / kMkControl.
// Letters, digits and the space type their character.
void SendKey(Wnd_t& window, unsigned virtualKey, unsigned flags = 0);

// The same key press delivered where the user's keyboard sends it: to the
// window with the keyboard focus (inside the innermost modal window, message
// boxes and file dialogs included). False when no window can take it.
bool SendKeyToFocus(unsigned virtualKey, unsigned flags = 0);

}  // namespace plat
