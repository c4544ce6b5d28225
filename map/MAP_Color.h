#pragma once
// The map colour table (a feature's colour index to a palette colour, per
// colour scheme) and the label colours of the current scheme.
#include <cstdint>

#include "plat/PLAT_Gdi.h"

namespace map {

// The palette colour (plat::PaletteIndex) of a feature colour index 0 ... 15 in
// colour scheme 0 or 1; glo::Assert_t for another index or scheme.
plat::COLORREF GetColor(std::uint8_t index, int scheme);

// Sets the four label colours for colour scheme 0 or 1 and records the scheme;
// glo::Assert_t for another scheme.
void SetLabelColorScheme(int scheme);
int GetLabelColorScheme();

// The label colours: the general one, then those of point types 41-48, of
// types 18, 64-88 and 90-97, and of types 100-102.
enum LabelColorSlot_t { LabelColor_General = 0, LabelColor_Second, LabelColor_Third, LabelColor_Fourth };
plat::COLORREF GetLabelColor(LabelColorSlot_t slot);

}  // namespace map
