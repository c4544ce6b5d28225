#pragma once
// Characters of a narrow text under the C library's current multibyte code page
// (LC_CTYPE). A character is one byte or a multibyte sequence, which the text
// utilities never cut in two. When the code page is UTF-8 (65001, which the
// program's start-up makes it), the sequences are checked here, whatever the C
// library would accept.
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "glo/GLO_Exception.h"
#include "plat/PLAT_Locale.h"

namespace glo {

// The length of the UTF-8 character that starts at p, of the 'available' bytes left
// (at least 1): 1 to 4, or 0 for an invalid sequence (a stray continuation byte,
// an overlong form, a surrogate, a code beyond U+10FFFF) or one the text ends in.
inline std::size_t MeasureUtf8Char(const char* p, std::size_t available) noexcept {
  const unsigned char lead = static_cast<unsigned char>(p[0]);
  if (lead < 0x80) return 1;
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing beyond U+10FFFF
  } else {
    return 0;
  }
  if (available < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned char byte = static_cast<unsigned char>(p[i]);
    if (byte < (i == 1 ? low : 0x80) || byte > (i == 1 ? high : 0xBF)) return 0;
  }
  return length;
}

// The length in bytes of the character that starts at p, of the 'available' bytes
// left in the text (at least 1); a zero byte is a character of length 1. Answers 0
// when the bytes there start no valid character or the text ends inside one; the
// state is then reset to the initial state.
inline std::size_t MeasureMBChar(const char* p, std::size_t available, std::mbstate_t& state) noexcept {
  if (available == 0) return 0;
  if (plat::RuntimeCodePageIsUtf8()) return MeasureUtf8Char(p, available);
  const std::size_t limit = available < MB_CUR_MAX ? available : MB_CUR_MAX;
  const std::size_t length = std::mbrlen(p, limit, &state);
  if (length == 0) return 1;
  if (length == static_cast<std::size_t>(-1) || length == static_cast<std::size_t>(-2)) {
    state = std::mbstate_t();
    return 0;
  }
  return length;
}

// The code of the character that starts at p in a zero-terminated text: the byte
// value of a single byte, the bytes of a multibyte sequence taken as one big-endian
// number (lead byte * 256 + next byte ...). A byte that starts no valid character
// (a lead byte followed by the terminating zero among them) counts as one byte.
inline unsigned long MBCharCode(const char* p) noexcept {
  const std::size_t available = ::strnlen(p, plat::RuntimeCodePageIsUtf8() ? 4 : MB_CUR_MAX);
  if (available == 0) return 0;
  std::mbstate_t state = std::mbstate_t();
  std::size_t length = MeasureMBChar(p, available, state);
  if (length == 0) length = 1;
  unsigned long code = 0;
  for (std::size_t i = 0; i < length; ++i) code = (code << CHAR_BIT) | static_cast<unsigned char>(p[i]);
  return code;
}

}  // namespace glo
