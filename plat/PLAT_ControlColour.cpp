#include "plat/PLAT_ControlColour.h"

#include <QColor>
#include <QPalette>

#include "plat/PLAT_Error.h"
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
    p.setColor(QPalette::Window, QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
    w->setPalette(p);
    w->setAutoFillBackground(true);
  });
  return true;
}

}  // namespace plat
