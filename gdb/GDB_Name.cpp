#include "gdb/GDB_Name.h"

#include <cstdint>

namespace gdb {

namespace {

std::string WithoutTrailingBlanks(const std::string& text) {
  const std::string::size_type last = text.find_last_not_of(' ');
  return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

// Length of the character that starts at text[i]: the length of a valid UTF-8
// sequence (overlong forms and surrogates are not valid), else 1.
std::size_t CharLength(const std::string& text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;  // range of the second byte
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 1;
  }
  if (i + length > text.size()) return 1;
  if (byte(i + 1) < low || byte(i + 1) > high) return 1;
  for (std::size_t k = 2; k < length; ++k)
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 1;
  return length;
}

std::uint32_t CharCode(const std::string& text, std::size_t i, std::size_t length) {
  std::uint32_t code = 0;
  for (std::size_t k = 0; k < length; ++k) code = (code << 8) | static_cast<unsigned char>(text[i + k]);
  return code;
}

signed char UpperByte(char c) {
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return static_cast<signed char>(c);
}

// <0, 0 or >0 as a sorts before, with or after b.
int CompareNoCase(const std::string& a, const std::string& b) noexcept {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const std::size_t la = CharLength(a, i), lb = CharLength(b, j);
    if (la == 1 && lb == 1) {
      const signed char ca = UpperByte(a[i]), cb = UpperByte(b[j]);
      if (ca != cb) return ca < cb ? -1 : 1;
    } else {
      const std::uint32_t ca = CharCode(a, i, la), cb = CharCode(b, j, lb);
      if (ca != cb) return ca < cb ? -1 : 1;
    }
    i += la;
    j += lb;
  }
  // All compared characters are equal: the name with fewer characters is less.
  const bool aDone = i >= a.size(), bDone = j >= b.size();
  if (aDone && bDone) return 0;
  return aDone ? -1 : 1;
}

}  // namespace

Name_t::Name_t(const std::string& text) : m_name(WithoutTrailingBlanks(text)) {}

Name_t::Name_t(const char* text) : m_name(WithoutTrailingBlanks(text ? std::string(text) : std::string())) {}

bool Name_t::LessNoCase(const std::string& a, const std::string& b) noexcept { return CompareNoCase(a, b) < 0; }

bool Name_t::EqualNoCase(const std::string& a, const std::string& b) noexcept { return CompareNoCase(a, b) == 0; }

}  // namespace gdb
