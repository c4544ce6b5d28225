#pragma once
// A window that turns the mouse wheel into scroll requests: the derived window
// gives its line and page sizes and performs the scroll in OnWheelScroll.
//
// The vertical direction takes precedence when the window can scroll that way
// (its own vertical scroll bar, kWsVScroll, or an enabled sibling scroll-bar
// control); otherwise the horizontal one. A notch of 120 moves lines x the line
// size, at most one page in either direction; with page scrolling (lines -1)
// one page. A direction whose scroll bar is disabled gets 0.
#include "glo/GLO_NonCopyable.h"
#include "plat/PLAT_Window.h"

namespace afx {

// Lines per wheel notch (-1: a page per notch), read once per process.
int GetWheelScrollLines();

// The scroll of one direction for a wheel delta: lines per notch, the line and
// the page size of the direction.
int WheelScrollAmount(int delta, int lines, int lineSize, int pageSize);

class WheelSupportWindow_t : public plat::Wnd_t, glo::NonCopyable_t {
 public:
  ~WheelSupportWindow_t() override;

  virtual int GetHorzLineSize() { return 0; }
  virtual int GetVertLineSize() { return 0; }
  virtual int GetHorzPageSize() { return 0; }
  virtual int GetVertPageSize() { return 0; }
  // Scrolls by (dx, dy) pixels; true when the window scrolled.
  virtual bool OnWheelScroll(int dx, int dy, plat::POINT screenPoint) = 0;

  // A sibling scroll-bar control that scrolls this window in one direction;
  // none unless overridden.
  virtual plat::Wnd_t* GetScrollBarCtrl(bool vertical) const;

  // The wheel with the given delta at the screen point; false when the window
  // cannot scroll either way.
  bool HandleWheel(int delta, plat::POINT screenPoint);

 protected:
  // Shift or Ctrl held: left to the default processing.
  bool OnMouseWheel(unsigned flags, int delta, plat::POINT screenPoint) override;

 private:
  bool CanScroll(bool vertical) const;
  bool IsScrollDisabled(bool vertical) const;
  bool Scroll(int dx, int dy, plat::POINT screenPoint);
};

}  // namespace afx
