#pragma once
// Text of a Windows code page turned into the program's UTF-8, whatever the
// C library's locale says.
#include <string>

namespace plat {

// The UTF-8 form of 'text' in Windows code page 'codePage' (65001: already
// UTF-8). A byte or sequence that is no character of the code page becomes
// U+FFFD; a code page unknown to this system gives false and leaves 'out' empty.
bool CodePageToUtf8(unsigned codePage, const std::string& text, std::string& out);

}  // namespace plat
