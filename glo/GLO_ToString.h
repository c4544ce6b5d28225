#pragma once
// ToString: the text held in a zero-terminated character buffer, as std::string.
// The copy never reads past the buffer: a buffer without a terminating zero gives
// all of its characters.
#include <cstddef>
#include <cstring>
#include <string>

namespace glo {

inline std::string ToString(const char* buffer, std::size_t size) {
  const void* end = std::memchr(buffer, '\0', size);
  return std::string(buffer, end ? static_cast<const char*>(end) : buffer + size);
}

template <std::size_t N>
inline std::string ToString(const char (&buffer)[N]) {
  return ToString(buffer, N);
}

}  // namespace glo
