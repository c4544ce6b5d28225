#include "tests/imgkit/MarineBuilder.h"

#include <stdexcept>

#include "tests/imgkit/RgnBuilder.h"

namespace imgkit {

namespace {

void Le(std::string& s, std::uint32_t v, unsigned n) {
  for (unsigned i = 0; i < n; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

std::string AttrShort(std::uint8_t e, const std::string& bytes) {
  const std::size_t want = e < 0x80 ? 0 : e < 0xE0 ? 1u + ((e - 0x80u) >> 5) : 99;
  if (want != bytes.size()) throw std::invalid_argument("short attribute block of the wrong length");
  return std::string(1, static_cast<char>(e)) + bytes;
}

std::string AttrLong(std::uint8_t e, const std::string& body) {
  if (e < 0xE0) throw std::invalid_argument("a long attribute block starts at 0xE0");
  return std::string(1, static_cast<char>(e)) + Varint(static_cast<std::uint32_t>(body.size())) + body;
}

std::string SectorEntry(std::uint16_t angle, std::uint8_t colour, std::uint8_t range, bool last) {
  std::string s;
  Le(s, (angle & 0xFFFu) | ((colour & 7u) << 12) | (last ? 0x8000u : 0u), 2);
  if ((colour & 7) != 0) s.push_back(static_cast<char>(range));
  return s;
}

std::string FlashEntry(std::uint16_t duration, std::uint8_t repeats) {
  std::string s;
  if (duration < 0x3F) {
    s.push_back(static_cast<char>(duration | (repeats << 6)));
  } else {
    s.push_back(static_cast<char>(0x3F | (repeats << 6)));
    s.push_back(static_cast<char>((duration - 63) & 0x7F));
  }
  return s;
}

std::string LightBody(const LightBlock_t& l) {
  std::uint32_t w = l.value6 & 0x3Fu;
  // The 16-bit value is announced by a low byte of 64 or more: bit 7 for the
  // one-byte form (bit 6 then carries the value's bit 8), bit 6 alone for two bytes.
  if (l.value16) w |= *l.value16 < 512 ? 0x80u | (((*l.value16 >> 8) & 1u) << 6) : 0x40u;
  if (l.value12) w |= 0x200;
  if (l.nibble) w |= 0x400;
  if (l.sectors) w |= 0x800;
  if (l.flashCount) w |= 0x100;
  if (l.colours) w |= 0x8000;
  std::string s;
  Le(s, w, 2);
  s.push_back(static_cast<char>((l.value1Bytes << 6) | ((l.small1 & 3) << 4) | ((l.value2Bytes & 3) << 2) |
                                (l.small2 & 3)));
  Le(s, l.value1, l.value1Bytes);
  Le(s, l.value2, l.value2Bytes);
  if (l.value16) Le(s, *l.value16, *l.value16 < 512 ? 1 : 2);
  for (const auto& r : l.refs)
    if (r) Le(s, *r, 3);
  if (l.value12) Le(s, *l.value12, 2);
  if (l.nibble) s.push_back(static_cast<char>(*l.nibble));
  if (!l.sectors) {
    s.push_back(static_cast<char>((l.colour << 5) | (l.range >= 31 ? 31 : l.range)));
    if (l.range >= 31) s.push_back(static_cast<char>(l.range - 31));
  } else {
    s += *l.sectors;
  }
  if (l.flashCount) {
    s.push_back(static_cast<char>(*l.flashCount | (l.flashes ? 0x80 : 0)));
    if (l.flashes) s += *l.flashes;
  }
  if (l.colours) {
    s.push_back(1);
    s += *l.colours;
  }
  return s;
}

std::string LightAttr(const LightBlock_t& l) {
  std::uint8_t e = 0xE0;
  if (l.flag) e |= 1;
  for (unsigned i = 0; i < 3; ++i)
    if (l.refs[i]) e |= static_cast<std::uint8_t>(2u << i);
  return AttrLong(e, LightBody(l));
}

}  // namespace imgkit
