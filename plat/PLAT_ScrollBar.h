#pragma once
// The scroll bars a window has of its own (kWsHScroll, kWsVScroll): range,
// page and position, set with Wnd_t::SetScrollInfo and read back with
// Wnd_t::GetScrollInfo.
//
// The window owns the position: a bar's thumb shows what the program set. When
// the user clicks an arrow or the trough, or drags the thumb, the window gets
// kWmHScroll or kWmVScroll (through OnMessage) with the action in the low word
// of wParam and, for the thumb, the position in the high word; lParam is 0.
// The program moves the bar with SetScrollPos. Dragging sends kSbThumbTrack
// while the thumb moves, then kSbThumbPosition and kSbEndScroll on release.
//
// A bar takes its width off the client area once it shows.
#include "plat/PLAT_Window.h"

namespace plat {

enum : unsigned { kWmHScroll = 0x0114, kWmVScroll = 0x0115 };

// Which bar.
enum : int { kSbHorz = 0, kSbVert = 1 };

// Scroll actions (low word of wParam).
enum : unsigned {
  kSbLineUp = 0,
  kSbLineDown = 1,
  kSbPageUp = 2,
  kSbPageDown = 3,
  kSbThumbPosition = 4,
  kSbThumbTrack = 5,
  kSbTop = 6,
  kSbBottom = 7,
  kSbEndScroll = 8,
};

// Which fields of SCROLLINFO count.
enum : unsigned {
  kSifRange = 0x1,
  kSifPage = 0x2,
  kSifPos = 0x4,
  kSifDisableNoScroll = 0x8,
  kSifTrackPos = 0x10,
  kSifAll = kSifRange | kSifPage | kSifPos | kSifTrackPos,
};

// The position runs from nMin to nMax − nPage + 1 (nMax with no page). A range
// that cannot scroll (nMax − nMin + 1 ≤ nPage, or nMax ≤ nMin) hides the bar, or
// with kSifDisableNoScroll shows it disabled.
struct SCROLLINFO {
  unsigned fMask = 0;
  int nMin = 0;
  int nMax = 0;
  unsigned nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};

// The width of a vertical bar and the height of a horizontal one, in pixels.
int GetScrollBarExtent();

}  // namespace plat
