#pragma once
// Counting and validating the characters of a narrow text under the C library's
// current multibyte code page (see GLO_Char.h).
#include <cstddef>
#include <cwchar>
#include <locale>
#include <string>

#include "glo/GLO_Char.h"
#include "glo/GLO_Exception.h"

namespace glo {

// The number of characters of the text; InvalidMBCharacter_t when a byte sequence
// is no valid character. Character boundaries come from the C library's current
// multibyte code page, not from the locale argument.
inline std::size_t CountMBChars(const std::string& text, const std::locale& /*locale*/) {
  std::mbstate_t state = std::mbstate_t();
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < text.size(); ++count) {
    const std::size_t length = MeasureMBChar(text.data() + pos, text.size() - pos, state);
    if (length == 0) throw InvalidMBCharacter_t(GLO_SRC);
    pos += length;
  }
  return count;
}

// The longest leading part of the text made of valid characters.
std::string ValidMBPrefix(const std::string& text);

}  // namespace glo
