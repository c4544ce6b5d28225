#pragma once
// Characters of a narrow text under the C library's current multibyte code page
// (LC_CTYPE; UTF-8 on this system). A character is one byte or a multibyte
// sequence, which the text utilities never cut in two.
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "glo/GLO_Exception.h"

namespace glo {

// The length in bytes of the character that starts at p, of the 'available' bytes
// left in the text (at least 1); a zero byte is a character of length 1. Answers 0
// when the bytes there start no valid character or the text ends inside one; the
// state is then reset to the initial state.
inline std::size_t MeasureMBChar(const char* p, std::size_t available, std::mbstate_t& state) noexcept {
  if (available == 0) return 0;
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
  const std::size_t available = ::strnlen(p, MB_CUR_MAX);
  if (available == 0) return 0;
  std::mbstate_t state = std::mbstate_t();
  std::size_t length = MeasureMBChar(p, available, state);
  if (length == 0) length = 1;
  unsigned long code = 0;
  for (std::size_t i = 0; i < length; ++i) code = (code << CHAR_BIT) | static_cast<unsigned char>(p[i]);
  return code;
}

}  // namespace glo
