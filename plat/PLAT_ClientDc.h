#pragma once
// A client device context: draws into the front buffer of a window
// (Wnd_t::EnableFrontBuffer) outside a paint, for things drawn over the
// window's picture that must come off again (popups save the pixels under
// them and put them back). What was drawn shows on the screen once the
// context is gone and the event loop runs; no paint of the window runs for it.
#include "plat/PLAT_Dc.h"
#include "plat/PLAT_Window.h"

namespace plat {

class ClientDc_t : public Dc_t {
 public:
  // Not valid (IsValid false, last error 1400) when the window has no window
  // or no front buffer.
  explicit ClientDc_t(Wnd_t& window);
  ~ClientDc_t() override;

 private:
  HWND m_window = 0;
};

}  // namespace plat
