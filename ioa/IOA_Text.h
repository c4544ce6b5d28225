#pragma once
// The watch's texts (product descriptions and the like) are Windows-1252 on the
// wire; the program works in UTF-8. The packets convert where they decode and
// encode.
#include <string>

namespace ioa {

// Windows-1252 bytes to UTF-8. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) become U+FFFD, so nothing invalid reaches the
// program's texts.
std::string Cp1252ToUtf8(const std::string& text);

// UTF-8 to Windows-1252; characters the code page lacks, and bytes that are no
// valid UTF-8, become '?'.
std::string Utf8ToCp1252(const std::string& text);

}  // namespace ioa
