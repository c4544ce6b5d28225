#pragma once
// Drawing helpers of the graph controls: one line of text centred in a
// rectangle, the dotted focus frame, and the paint that goes through a bitmap
// so that the window never shows a half-drawn graph.
#include <functional>
#include <string>

#include "plat/PLAT_Gdi.h"

namespace gdi {

// Draws one line of text with the current font centred in the rectangle (both
// ways); the text alignment is left as it was.
void DrawCentredText(plat::Dc_t& dc, const plat::RECT& rect, const std::string& text);

// Frames the rectangle (right and bottom edges excluded) with a dotted line of
// alternate black pixels, as a focus frame.
void DrawFocusFrame(plat::Dc_t& dc, const plat::RECT& rect);

// Paints the client area (0, 0) to (width, height) into a compatible bitmap
// with 'paint' and copies it to the context at once. glo::Assert_t when the
// bitmap cannot be made.
void PaintBuffered(plat::Dc_t& dc, int width, int height, const std::function<void(plat::Dc_t&)>& paint);

}  // namespace gdi
