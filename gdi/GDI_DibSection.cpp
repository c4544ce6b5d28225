#include "gdi/GDI_DibSection.h"

#include <new>

#include "glo/GLO_Exception.h"
#include "win/WIN_Exception.h"

namespace gdi {

DibSection_t::~DibSection_t() {
  try {
    m_handle.Reset();
  } catch (...) {
  }
}

void DibSection_t::Create(plat::Dc_t&, int width, int height) {
  m_handle.Reset();
  m_bits = nullptr;
  m_pixelCount = 0;
  m_info = plat::BITMAPINFO{};
  plat::BITMAPINFOHEADER& h = m_info.bmiHeader;
  h.biSize = sizeof(plat::BITMAPINFOHEADER);
  h.biWidth = width;
  h.biHeight = -height;
  h.biPlanes = 1;
  h.biBitCount = 32;
  h.biCompression = plat::kBiRgb;
  h.biSizeImage = static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(height) * 4u;
  // In 64 bits: an oversized request must reach the creation and fail there.
  m_pixelCount = static_cast<std::int32_t>(std::int64_t(width) * height);
  void* bits = nullptr;
  plat::Bitmap_t section;
  if (!section.CreateDIBSection(m_info, &bits)) throw win::Error_t(GLO_SRC);
  if (!Attach(section.Detach())) throw glo::Assert_t(GLO_SRC);
  if (bits == nullptr) throw glo::Assert_t(GLO_SRC);
  m_bits = static_cast<std::uint32_t*>(bits);
}

std::unique_ptr<std::uint8_t[]> GetBitmapBits32(plat::Dc_t&, const plat::GdiHandle_t& bitmap,
                                                plat::BITMAPINFO& info) {
  plat::BITMAP bm{};
  if (!plat::GetBitmapInfo(bitmap, bm)) return nullptr;
  info.bmiHeader = plat::BITMAPINFOHEADER{};
  info.bmiHeader.biSize = sizeof(plat::BITMAPINFOHEADER);
  info.bmiHeader.biWidth = bm.bmWidth;
  info.bmiHeader.biHeight = bm.bmHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = plat::kBiRgb;
  const std::size_t bytes = std::size_t(bm.bmWidth) * std::size_t(bm.bmHeight) * 4;
  std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[bytes]);
  if (!buffer) return nullptr;
  if (plat::GetDIBits(bitmap, 0, bm.bmHeight, buffer.get(), info) == 0) return nullptr;
  return buffer;
}

}  // namespace gdi
