#pragma once
// The logical font the map text uses by default, from the stock GUI font.
#include "plat/PLAT_Gdi.h"

namespace gdi {

// Height 13, width 0, no escapement or orientation, weight 400, not italic,
// underlined or struck out, the stock font's character set, TrueType-only
// output precision (7), clip precision 0, proof quality (2), variable pitch and
// Swiss family (0x22), and the stock font's face name.
plat::LOGFONTA GetDefaultGuiLogFont();

}  // namespace gdi
