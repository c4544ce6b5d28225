// Window timers: each window's timers run on the toolkit's timers of its event
// object, and OnTimer receives the program's own timer id.
#include "plat/PLAT_Error.h"
#include "plat/PLAT_WindowImpl.h"

namespace plat {

bool Wnd_t::SetTimer(unsigned id, unsigned milliseconds) {
  WndImpl& d = *m_impl;
  if (d.widget.isNull()) {
    SetLastError(kErrorInvalidWindowHandle);
    return false;
  }
  KillTimer(id);
  const int qtId = d.events.startTimer(static_cast<int>(milliseconds), Qt::PreciseTimer);
  if (qtId == 0) {
    SetLastError(kErrorNoSystemResources);
    return false;
  }
  d.timers[id] = qtId;
  return true;
}

bool Wnd_t::KillTimer(unsigned id) {
  WndImpl& d = *m_impl;
  const auto it = d.timers.find(id);
  if (it == d.timers.end()) return false;
  d.events.killTimer(it->second);
  d.timers.erase(it);
  return true;
}

}  // namespace plat
