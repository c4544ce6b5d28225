#include "tests/imgkit/SubfileHeader.h"
#include <stdexcept>

namespace imgkit {

namespace {

void Put(std::string& s, std::size_t at, std::uint32_t v, unsigned bytes) {
  if (s.size() < at + bytes) s.resize(at + bytes, '\0');
  for (unsigned i = 0; i < bytes; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Writes a field only when it lies wholly inside the header.
struct Fields_t {
  std::string& s;
  void put(std::size_t at, std::uint32_t v, unsigned bytes) {
    if (at + bytes <= s.size()) Put(s, at, v, bytes);
  }
};

}  // namespace

void Put8(std::string& s, std::size_t at, std::uint32_t v) { Put(s, at, v, 1); }
void Put16(std::string& s, std::size_t at, std::uint32_t v) { Put(s, at, v, 2); }
void Put24(std::string& s, std::size_t at, std::uint32_t v) { Put(s, at, v, 3); }
void Put32(std::string& s, std::size_t at, std::uint32_t v) { Put(s, at, v, 4); }

std::string CommonHeader(std::uint16_t length, const std::string& kind, const Date_t& date, std::uint16_t format) {
  std::string h;
  Put16(h, 0, length);
  h += "VORTAN " + kind.substr(0, 3);
  h.resize(12, ' ');
  Put16(h, 12, format);
  Put16(h, 14, date.year);
  Put8(h, 16, date.month);
  Put8(h, 17, date.day);
  Put8(h, 18, date.hour);
  Put8(h, 19, date.minute);
  Put8(h, 20, date.second);
  return h;
}

std::string BlankHeader(std::uint16_t length, const std::string& kind, const Date_t& date) {
  std::string h = CommonHeader(length, kind, date);
  h.resize(length < 21 ? 21 : length, '\0');
  return h;
}

std::string RgnHeader_t::Build() const {
  std::string h = BlankHeader(length, "RGN", date);
  Fields_t f{h};
  f.put(21, dataOffset, 4);
  f.put(25, dataLength, 4);
  for (unsigned i = 0; i < ext.size(); ++i) f.put(29 + 4 * i, ext[i], 4);
  f.put(113, more[0], 4);
  f.put(117, more[1], 4);
  return h;
}

std::string LblHeader_t::Build() const {
  std::string h = BlankHeader(length, "LBL", date);
  Fields_t f{h};
  auto table = [&](const LblTable_t& t, std::size_t at) {
    f.put(at, t.offset, 4);
    f.put(at + 4, t.length, 4);
    f.put(at + 8, t.recordSize, 2);
    f.put(at + 10, t.word, 4);
  };
  f.put(21, labelOffset, 4);
  f.put(25, labelLength, 4);
  f.put(29, labelShift, 1);
  f.put(30, encoding, 1);
  table(countries, 31);
  table(regions, 45);
  table(cities, 59);
  table(table73, 73);
  f.put(87, propOffset, 4);
  f.put(91, propLength, 4);
  f.put(95, propShift, 1);
  f.put(96, propFlags, 4);
  table(table100, 100);
  table(indexed, 114);
  table(exits, 128);
  table(facilities, 142);
  table(table156, 156);
  f.put(170, codePage, 2);
  f.put(172, sortCodePage, 2);
  f.put(174, sortId, 2);
  for (unsigned i = 0; i < 4; ++i) f.put(176 + 4 * i, words176[i], 4);
  f.put(192, word192, 4);
  for (unsigned i = 0; i < 3; ++i) f.put(196 + 4 * i, words196[i], 4);
  f.put(208, marineOffset, 4);
  f.put(212, marineLength, 4);
  f.put(216, marineRecordSize, 2);
  f.put(218, marineWord, 4);
  f.put(222, offset222, 4);
  f.put(226, length222, 4);
  f.put(234, bytes234[0], 1);
  f.put(235, bytes234[1], 1);
  return h;
}

std::string NetHeader_t::Build() const {
  std::string h = BlankHeader(length, "NET", date);
  Fields_t f{h};
  f.put(21, first.offset, 4);
  f.put(25, first.length, 4);
  f.put(29, first.shift, 1);
  f.put(30, second.offset, 4);
  f.put(34, second.length, 4);
  f.put(38, second.shift, 1);
  f.put(39, tableOffset, 4);
  f.put(43, tableLength, 4);
  f.put(47, tableRecordSize, 2);
  f.put(53, byte53, 1);
  f.put(54, byte54, 1);
  f.put(55, word55, 4);
  f.put(59, mask, 4);
  f.put(63, flags, 4);
  return h;
}

std::string NodHeader_t::Build() const {
  std::string h = BlankHeader(length, "NOD", date);
  Fields_t f{h};
  f.put(21, word21, 4);
  f.put(25, word25, 4);
  f.put(29, flags, 4);
  f.put(33, byte33, 1);
  f.put(34, byte34, 1);
  f.put(35, word35, 2);
  f.put(37, word37, 4);
  f.put(41, word41, 4);
  f.put(49, word49, 4);
  f.put(53, word53, 4);
  f.put(57, word57, 2);
  return h;
}

std::string DemHeader(std::uint16_t length, const Date_t& date) { return BlankHeader(length, "DEM", date); }

std::string Varint(std::uint32_t v) {
  std::string s;
  const auto add = [&](std::uint32_t bytes, std::uint32_t word) {
    for (std::uint32_t i = 0; i < bytes; ++i) s.push_back(static_cast<char>((word >> (8 * i)) & 0xFF));
  };
  if (v < (1u << 7)) {
    add(1, (v << 1) | 1);
  } else if (v < (1u << 14)) {
    add(2, (v << 2) | 2);
  } else if (v < (1u << 21)) {
    add(3, (v << 3) | 4);
  } else if (v < (1u << 29)) {
    add(4, v << 3);
  } else {
    throw std::invalid_argument("value too large for a variable-length integer");
  }
  return s;
}

}  // namespace imgkit
