#include "gdi/GDI_GraphDraw.h"

#include <algorithm>

#include "glo/GLO_Exception.h"

namespace gdi {

void DrawCentredText(plat::Dc_t& dc, const plat::RECT& rect, const std::string& text) {
  if (text.empty()) return;
  plat::SIZE size{0, 0};
  dc.GetTextExtentPoint32(text, size);
  const unsigned old = dc.SetTextAlign(plat::kTaLeft | plat::kTaTop);
  dc.TextOut((rect.left + rect.right - size.cx) / 2, (rect.top + rect.bottom - size.cy) / 2, text);
  dc.SetTextAlign(old);
}

void DrawFocusFrame(plat::Dc_t& dc, const plat::RECT& r) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  const plat::COLORREF black = plat::Rgb(0, 0, 0);
  auto dot = [&](int x, int y) {
    if (((x + y) & 1) == 0) dc.SetPixel(x, y, black);
  };
  for (int x = r.left; x < r.right; ++x) {
    dot(x, r.top);
    dot(x, r.bottom - 1);
  }
  for (int y = r.top; y < r.bottom; ++y) {
    dot(r.left, y);
    dot(r.right - 1, y);
  }
}

void PaintBuffered(plat::Dc_t& dc, int width, int height, const std::function<void(plat::Dc_t&)>& paint) {
  plat::Dc_t memory;
  GLO_ASSERT(memory.CreateCompatibleDC(&dc));
  plat::Bitmap_t bitmap;
  GLO_ASSERT(bitmap.CreateCompatibleBitmap(dc, std::max(1, width), std::max(1, height)));
  memory.SelectObject(bitmap);
  paint(memory);
  dc.BitBlt(0, 0, width, height, memory, 0, 0, plat::kSrcCopy);
}

}  // namespace gdi
