#pragma once
// Texts read from files: names and notes are UTF-8, but files written by the
// older Windows program hold them in Windows-1252.
#include <string>

namespace app {

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates,
// nothing beyond U+10FFFF).
bool IsValidUtf8(const std::string& text);

// A text as stored in a file: kept when it is valid UTF-8, else read as
// Windows-1252.
std::string DecodeStoredText(const std::string& text);

}  // namespace app
