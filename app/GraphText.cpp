#include "app/GraphText.h"

#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"
#include "map/MAP_Registry.h"

namespace app {

std::string GraphString(int id, const std::string& argument) {
  return glo::StringResource_t(id, GLO_SRC).Format(argument, GLO_SRC);
}

std::string GraphString(int id) { return glo::StringResource_t(id, GLO_SRC).Text(); }

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

}  // namespace app
