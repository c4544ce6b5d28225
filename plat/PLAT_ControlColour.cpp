#include "plat/PLAT_ControlColour.h"

#include <QPalette>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_GdiImpl.h"
#include "plat/PLAT_WindowImpl.h"

namespace plat {

bool SetControlBackground(Wnd_t& control, COLORREF colour) {
  QWidget* w = control.Impl()->widget;
  if (w == nullptr) {
    SetLastError(kErrorInvalidWindowHandle);
    return false;
  }
  detail::Sync([&] {
    if (colour == kClrInvalid) {
      w->setAutoFillBackground(false);
      w->setPalette(QPalette());
      return;
    }
    QPalette p = w->palette();
    p.setColor(QPalette::Window, detail::ToQColor(colour));
    w->setPalette(p);
    w->setAutoFillBackground(true);
  });
  return true;
}

}  // namespace plat
