#pragma once
// Attribute blocks of extended objects on marine charts: the short forms (the
// first byte alone or with one to three bytes), the long form with its
// variable-length count, and the long form of a light with its sector list,
// flash lists and colour list.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace imgkit {

// A short block: e followed by the bytes its range calls for (0x00-0x7F none,
// 0x80-0x9F one, 0xA0-0xBF two, 0xC0-0xDF three).
std::string AttrShort(std::uint8_t e, const std::string& bytes = {});
// A long block: e (0xE0 or above), the count of the body's bytes, the body.
std::string AttrLong(std::uint8_t e, const std::string& body);

// One sector-list entry: the angle where a sector begins, its colour (0-7) and,
// with a colour, its range.
std::string SectorEntry(std::uint16_t angle, std::uint8_t colour, std::uint8_t range, bool last);
// One flash-list entry: a duration (0-190) that also stands for 'repeats' (0-3)
// following entries.
std::string FlashEntry(std::uint16_t duration, std::uint8_t repeats = 0);

// A light (class 7); the comments say what the map's readers take each field for.
struct LightBlock_t {
  bool flag = false;               // e bit 0: the flag row
  std::uint8_t value6 = 0;         // the character code
  std::uint8_t small1 = 0, small2 = 0;  // the unit codes of the two ranges (0-3)
  std::uint32_t value1 = 0;        // range 1
  std::uint8_t value1Bytes = 0;    // 0-3
  std::uint32_t value2 = 0;        // range 2
  std::uint8_t value2Bytes = 0;
  std::optional<std::uint16_t> value16;  // the period; up to 511 in one byte, else two
  std::array<std::optional<std::uint32_t>, 3> refs;  // label offsets C, A, B
  std::optional<std::uint16_t> value12;  // the bearing
  std::optional<std::uint8_t> nibble;    // the number of lights and its wording
  std::uint8_t colour = 0;         // without a sector list
  std::uint16_t range = 0;         // 0-286
  std::optional<std::string> sectors;  // the sector list's entries
  std::optional<std::uint8_t> flashCount;
  std::optional<std::string> flashes;  // both flash lists (with a flash count)
  std::optional<std::string> colours;  // the colour list's nibbles
};

// The long form of a light: its body, and the whole block (e with the
// reference bits and the flag, the count, the body).
std::string LightBody(const LightBlock_t& light);
std::string LightAttr(const LightBlock_t& light);

}  // namespace imgkit
