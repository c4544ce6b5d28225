#pragma once
// The 52 colours of every map window's logical palette. The map's drawing
// names its colours by palette index (plat::PaletteIndex), so a device context
// must have the window's palette selected to draw them.
#include <array>

#include "plat/PLAT_Gdi.h"

namespace map {

constexpr int kPaletteSize = 52;

// The entries in palette order, flags 0.
const std::array<plat::PALETTEENTRY, kPaletteSize>& GetPaletteTable();

// The plain colour of entry 'index' (0 ... 51).
plat::COLORREF PaletteColor(int index);

// Creates the logical palette of the table into 'palette'; false on failure.
bool CreateMapPalette(plat::Palette_t& palette);

}  // namespace map
