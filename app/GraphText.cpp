#include "app/GraphText.h"

#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"
#include "map/MAP_Registry.h"

namespace app {

std::string GraphString(int id, const std::string& argument) {
  return glo::StringResource_t(id, GLO_SRC).Format(argument, GLO_SRC);
}

std::string GraphString(int id) { return glo::StringResource_t(id, GLO_SRC).Text(); }

void DrawCentredText(plat::Dc_t& dc, const plat::RECT& rect, const std::string& text) {
  plat::SIZE size{0, 0};
  dc.GetTextExtentPoint32(text, size);
  const unsigned old = dc.SetTextAlign(plat::kTaLeft | plat::kTaTop);
  dc.TextOut((rect.left + rect.right - size.cx) / 2, (rect.top + rect.bottom - size.cy) / 2, text);
  dc.SetTextAlign(old);
}

void DrawTextAround(plat::Dc_t& dc, int x, int y, const std::string& text) {
  const unsigned old = dc.SetTextAlign(plat::kTaCenter | plat::kTaBaseline);
  dc.TextOut(x, y, text);
  dc.SetTextAlign(old);
}

void CreateGraphFonts(plat::Font_t& font, plat::Font_t& verticalFont) {
  plat::LOGFONTA lf = map::GetRegistry().MapFont();
  lf.lfHeight = 15;
  GLO_ASSERT(font.CreateFontIndirect(lf));
  lf.lfEscapement = 900;
  lf.lfOrientation = 900;
  GLO_ASSERT(verticalFont.CreateFontIndirect(lf));
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

}  // namespace app
