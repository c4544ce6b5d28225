#include "plat/PLAT_ImageList.h"

#include "plat/PLAT_Error.h"
#include "plat/PLAT_GdiImpl.h"
#include "plat/PLAT_Gui.h"

namespace plat {

bool ImageList_t::Create(int cx, int cy) {
  if (cx < 1 || cy < 1) return FailWith(kErrorInvalidParameter);
  m_cx = cx;
  m_cy = cy;
  m_images.clear();
  return true;
}

int ImageList_t::AddMasked(const GdiHandle_t& bitmap, COLORREF maskColour) {
  if (!IsCreated() || bitmap.Kind() != GdiKind::Bitmap) {
    SetLastError(kErrorInvalidHandle);
    return -1;
  }
  const QImage& source = bitmap.Data()->image;
  const int count = source.height() >= m_cy ? source.width() / m_cx : 0;
  if (count == 0) {
    SetLastError(kErrorInvalidParameter);
    return -1;
  }
  const QRgb key = detail::ToQColor(maskColour & 0x00FFFFFFu).rgb() & 0x00FFFFFFu;
  const int first = GetImageCount();
  Dc_t scratch;
  scratch.CreateCompatibleDC(nullptr);
  for (int n = 0; n < count; ++n) {
    auto image = std::make_unique<Image_t>();
    image->key = maskColour & 0x00FFFFFFu;
    if (!image->pixels.CreateCompatibleBitmap(scratch, m_cx, m_cy)) return -1;
    QImage& target = image->pixels.GetSafeHandle().Data()->image;
    image->masked.resize(std::size_t(m_cx) * std::size_t(m_cy));
    for (int y = 0; y < m_cy; ++y)
      for (int x = 0; x < m_cx; ++x) {
        const QRgb pixel = source.pixel(n * m_cx + x, y);
        target.setPixel(x, y, pixel);
        image->masked[std::size_t(y) * std::size_t(m_cx) + std::size_t(x)] = (pixel & 0x00FFFFFFu) == key;
      }
    m_images.push_back(std::move(image));
  }
  return first;
}

bool ImageList_t::Draw(Dc_t& dc, int index, int x, int y) const {
  if (index < 0 || index >= GetImageCount()) return FailWith(kErrorInvalidParameter);
  const Image_t& image = *m_images[std::size_t(index)];
  Dc_t source;
  source.CreateCompatibleDC(&dc);
  source.SelectObject(image.pixels);
  if (m_bkColour != kClrNone) dc.FillSolidRect(RECT{x, y, x + m_cx, y + m_cy}, m_bkColour);
  return dc.TransparentBlt(x, y, m_cx, m_cy, source, 0, 0, image.key);
}

COLORREF ImageList_t::SetBkColor(COLORREF colour) {
  std::swap(m_bkColour, colour);
  return colour;
}

RECT ImageList_t::GetVisibleRect(int index) const {
  if (index < 0 || index >= GetImageCount()) return RECT{0, 0, 0, 0};
  const Image_t& image = *m_images[std::size_t(index)];
  RECT r{m_cx, m_cy, 0, 0};
  for (int y = 0; y < m_cy; ++y)
    for (int x = 0; x < m_cx; ++x)
      if (!image.masked[std::size_t(y) * std::size_t(m_cx) + std::size_t(x)]) {
        r.left = std::min(r.left, x);
        r.top = std::min(r.top, y);
        r.right = std::max(r.right, x + 1);
        r.bottom = std::max(r.bottom, y + 1);
      }
  return r.right > r.left ? r : RECT{0, 0, 0, 0};
}

}  // namespace plat
