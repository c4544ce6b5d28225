#include "gdi/GDI_Bitmap.h"

#include "win/WIN_Exception.h"

namespace gdi {

Bitmap_t::~Bitmap_t() {
  m_palette.Reset();
  m_handle.Reset();
}

void Bitmap_t::Draw(plat::Dc_t& dc, int x, int y) const {
  plat::Dc_t memory;
  if (!memory.CreateCompatibleDC(&dc)) throw win::Error_t(GLO_SRC);
  plat::BITMAP info{};
  GetBitmap(info);
  const plat::GdiHandle_t oldBitmap = memory.SelectObject(GetSafeHandle());
  const bool usePalette = m_palette && (dc.GetDeviceCaps(plat::kRasterCaps) & plat::kRcPalette) != 0 &&
                          !m_palette->GetSafeHandle().IsNull();
  plat::GdiHandle_t oldPalette;
  if (usePalette) {
    oldPalette = dc.SelectPalette(m_palette->GetSafeHandle(), false);
    dc.RealizePalette();
  }
  dc.BitBlt(x, y, info.bmWidth, info.bmHeight, memory, 0, 0, plat::kSrcCopy);
  if (usePalette && !oldPalette.IsNull()) dc.SelectPalette(oldPalette, false);
  if (!oldBitmap.IsNull()) memory.SelectObject(oldBitmap);
  memory.DeleteDC();
}

}  // namespace gdi
