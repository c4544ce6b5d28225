#include "plat/PLAT_Picture.h"

#include <QImage>
#include <cstring>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_GdiImpl.h"

namespace plat {

bool GetPictureBytes(ModuleHandle module, std::uint32_t id, std::string& png) {
  const unsigned char* data = nullptr;
  size_t size = 0;
  if (!FindResource(module, kResourceBitmap, id, data, size)) return false;
  png.assign(reinterpret_cast<const char*>(data), size);
  return true;
}

bool LoadPicture(ModuleHandle module, std::uint32_t id, Bitmap_t& bitmap) {
  std::string png;
  if (!GetPictureBytes(module, id, png)) return false;
  QImage image;
  if (!image.loadFromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()))) {
    SetLastError(kErrorInvalidData);
    return false;
  }
  // Premultiplied over black, then opaque: blue, green, red, unused per pixel.
  image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied).convertToFormat(QImage::Format_RGB32);
  return detail::DibFromImage(image, bitmap);
}

bool detail::DibFromImage(const QImage& rgb32, Bitmap_t& bitmap) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = rgb32.width();
  info.bmiHeader.biHeight = -rgb32.height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  if (!bitmap.CreateDIBSection(info, &bits)) return false;
  const std::size_t rowBytes = static_cast<std::size_t>(rgb32.width()) * 4;
  for (int y = 0; y < rgb32.height(); ++y)
    std::memcpy(static_cast<unsigned char*>(bits) + static_cast<std::size_t>(y) * rowBytes, rgb32.constScanLine(y),
                rowBytes);
  return true;
}

}  // namespace plat
