#include "plat/PLAT_WindowImage.h"

#include <QImage>
#include <QPixmap>
#include <cstring>

#include "plat/PLAT_Error.h"
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
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image.width();
  info.bmiHeader.biHeight = -image.height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  if (!bitmap.CreateDIBSection(info, &bits)) return false;
  const std::size_t rowBytes = static_cast<std::size_t>(image.width()) * 4;
  for (int y = 0; y < image.height(); ++y)
    std::memcpy(static_cast<unsigned char*>(bits) + static_cast<std::size_t>(y) * rowBytes, image.constScanLine(y),
                rowBytes);
  return true;
}

}  // namespace plat
