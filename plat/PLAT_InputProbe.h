#pragma once
// Looking at the user's queued input without taking it, for long work on the
// user-interface thread that wants to stop when the user asks for something
// else (a map render, a hover wait).
//
// The toolkit cannot look into its queue, so while a probe lives, user input
// (mouse, key and wheel) for every window is held back in a deferred queue as
// it arrives, and so are requests to close a window; paints wait until the
// probe ends and timers skip a beat. Peek lets the toolkit deliver what is
// waiting and answers the input held so far; other events (posted calls, size
// changes) run as they come, as sent messages would. When the last probe ends, what was held is posted again in its
// order, so the program sees it as if it had waited in the queue all along.
#include <cstdint>
#include <functional>
#include <vector>

#include "plat/PLAT_Window.h"

namespace plat {

// Messages of held input.
enum : unsigned {
  kWmKeyDown = 0x0100,
  kWmKeyUp = 0x0101,
  kWmMouseMove = 0x0200,
  kWmLButtonDown = 0x0201,
  kWmLButtonUp = 0x0202,
  kWmLButtonDblClk = 0x0203,
  kWmRButtonDown = 0x0204,
  kWmRButtonUp = 0x0205,
  kWmRButtonDblClk = 0x0206,
  kWmMouseWheel = 0x020A,
};

// One piece of held input, in arrival order.
struct QueuedInput_t {
  HWND window = 0;       // the window it is for (0: none of ours)
  unsigned message = 0;  // kWm* above
  unsigned key = 0;      // kVk* of a key message
  unsigned flags = 0;    // kMk* buttons and modifiers
  POINT point{0, 0};     // client point of a mouse message
};

class InputProbe_t {
 public:
  InputProbe_t();
  ~InputProbe_t();
  InputProbe_t(const InputProbe_t&) = delete;
  InputProbe_t& operator=(const InputProbe_t&) = delete;

  // Lets the toolkit deliver what waits (holding it back) and returns the
  // input held since the first probe began, oldest first.
  const std::vector<QueuedInput_t>& Peek();
  // The same without asking the toolkit.
  const std::vector<QueuedInput_t>& Held() const;
};

// True while a probe lives.
bool IsInputProbeActive();

// Input as the user's arrives: queued behind what waits, delivered when the
// event loop (or a probe) runs. For tests. A key is pressed and released;
// without 'release' it stays down.
void PostKey(Wnd_t& window, unsigned virtualKey, unsigned flags = 0, bool release = true);
void PostMouse(Wnd_t& window, unsigned message, POINT clientPoint, unsigned flags = 0);

// The modifier keys held down now (kMkShift, kMkControl) as the window system
// tells it, whatever the events delivered so far said. A test may install a
// source of its own (an empty function gives the window system's back).
unsigned GetAsyncModifiers();
void SetAsyncModifiersSource(std::function<unsigned()> source);

// The cursor's screen position; the window under a screen point (0 when none
// of the program's).
POINT GetCursorPos();
void SetCursorPos(POINT screenPoint);
HWND WindowFromPoint(POINT screenPoint);

}  // namespace plat
