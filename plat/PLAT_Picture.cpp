#include "plat/PLAT_Picture.h"

#include <QImage>
#include <cstring>

#include "plat/PLAT_Error.h"

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
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image.width();
  info.bmiHeader.biHeight = -image.height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  if (!bitmap.CreateDIBSection(info, &bits)) return false;
  const size_t rowBytes = static_cast<size_t>(image.width()) * 4;
  for (int y = 0; y < image.height(); ++y)
    std::memcpy(static_cast<unsigned char*>(bits) + y * rowBytes, image.constScanLine(y), rowBytes);
  return true;
}

}  // namespace plat
