#pragma once
// The system clipboard (text only).
#include <string>

namespace plat {

// Puts a text on the clipboard, replacing what was there; the text stays
// available to other programs after this one ends where the desktop keeps
// clipboards. False (last error) when the clipboard cannot be had.
bool SetClipboardText(const std::string& text);

// The clipboard's text; false when it holds none.
bool GetClipboardText(std::string& text);

}  // namespace plat
