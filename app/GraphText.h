#pragma once
// Drawing helpers shared by the training log's graphs: the text of a string
// resource with "%0" replaced, text turned around a point and the graph fonts
// made from the map font (centred text and the focus frame: gdi/GDI_GraphDraw.h).
#include <string>

#include "plat/PLAT_Gdi.h"

namespace app {

// String 'id' of the language module with "%0" replaced by the argument.
std::string GraphString(int id, const std::string& argument);
std::string GraphString(int id);

// Draws text with the current (turned) font centred on a point, the point on
// the baseline.
void DrawTextAround(plat::Dc_t& dc, int x, int y, const std::string& text);

// The map font of the unit settings at height 15, upright and turned by 90
// degrees; glo::Assert_t when either cannot be made.
void CreateGraphFonts(plat::Font_t& font, plat::Font_t& verticalFont);

// True when the point lies in the rectangle (right and bottom edges excluded).
inline bool PtInRect(const plat::RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

}  // namespace app
