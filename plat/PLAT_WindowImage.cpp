#include "plat/PLAT_WindowImage.h"

#include <QImage>
#include <QPixmap>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_GdiImpl.h"
#include "plat/PLAT_WindowImpl.h"

namespace plat {

bool GrabWindowImage(Wnd_t& window, Bitmap_t& bitmap) {
  QWidget* w = window.Impl()->widget;
  if (w == nullptr) {
    SetLastError(kErrorInvalidWindowHandle);
    return false;
  }
  QImage image;
  detail::Sync([&] { image = w->grab().toImage().convertToFormat(QImage::Format_RGB32); });
  return detail::DibFromImage(image, bitmap);
}

}  // namespace plat
