#pragma once
// Cursors: the system's shapes, and the wait cursor shown over the whole
// program while a WaitCursor_t lives. A window's own cursor is set with
// Wnd_t::SetCursor.
namespace plat {

// A cursor: one of the system's shapes below; 0 is none.
using HCURSOR = unsigned;
enum : unsigned {
  kIdcArrow = 32512,
  kIdcIBeam = 32513,
  kIdcWait = 32514,
  kIdcCross = 32515,
  kIdcSizeWe = 32644,
  kIdcSizeNs = 32645,
  kIdcHand = 32649,
};

// The system cursor of an id (kIdc*); 0 with last error 1814 for another id.
HCURSOR LoadStandardCursor(unsigned id);

class WaitCursor_t {
 public:
  WaitCursor_t();
  ~WaitCursor_t();
  WaitCursor_t(const WaitCursor_t&) = delete;
  WaitCursor_t& operator=(const WaitCursor_t&) = delete;
};

// True while a wait cursor is shown.
bool IsWaitCursorShown();

}  // namespace plat
