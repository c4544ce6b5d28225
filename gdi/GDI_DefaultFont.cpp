#include "gdi/GDI_DefaultFont.h"

#include <cstring>

namespace gdi {

plat::LOGFONTA GetDefaultGuiLogFont() {
  const plat::LOGFONTA stock = plat::GetDefaultGuiLogFontData();
  plat::LOGFONTA lf{};
  lf.lfHeight = 13;
  lf.lfWidth = 0;
  lf.lfEscapement = 0;
  lf.lfOrientation = 0;
  lf.lfWeight = 400;
  lf.lfItalic = 0;
  lf.lfUnderline = 0;
  lf.lfStrikeOut = 0;
  lf.lfCharSet = stock.lfCharSet;
  lf.lfOutPrecision = 7;
  lf.lfClipPrecision = 0;
  lf.lfQuality = 2;
  lf.lfPitchAndFamily = 0x22;
  std::memcpy(lf.lfFaceName, stock.lfFaceName, sizeof(lf.lfFaceName));
  lf.lfFaceName[sizeof(lf.lfFaceName) - 1] = '\0';
  return lf;
}

}  // namespace gdi
