#include "tests/imgkit/NetBuilder.h"

#include <stdexcept>

namespace imgkit {

namespace {

void Le(std::string& s, std::uint32_t v, unsigned n) {
  for (unsigned i = 0; i < n; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

std::string EncodeRoadPrefix(const NetRoad_t& r) {
  // Read backwards from the record: extra byte, byte -2, nibbles, codes.
  std::string back;
  if ((r.flags & 0x04) == 0) back.push_back(static_cast<char>(r.extraByte.value_or(0)));
  if ((r.flags & 0x80) != 0) {
    const std::uint8_t b2 = r.byte2.value_or(0);
    back.push_back(static_cast<char>(b2));
    if ((b2 & 1) != 0) {
      back.push_back(static_cast<char>(r.nibbles01.value_or(0)));
      if (r.labels.size() > 2) back.push_back(static_cast<char>(r.nibbles23.value_or(0)));
    }
    const unsigned width = 2u * ((b2 >> 2) & 3u);
    if (width != 0) {
      std::uint64_t bits = 0;
      unsigned have = 0;
      for (std::size_t i = 0; i < r.labels.size(); ++i) {
        const std::uint8_t c = i < r.codes.size() ? r.codes[i] : 0;
        bits |= static_cast<std::uint64_t>(c & ((1u << width) - 1)) << have;
        have += width;
      }
      for (unsigned n = 0; n < (have + 7) / 8; ++n) back.push_back(static_cast<char>((bits >> (8 * n)) & 0xFF));
    }
  }
  return std::string(back.rbegin(), back.rend());
}

std::string EncodeRoad(const NetRoad_t& r) {
  if (r.raw) return *r.raw;
  std::string s;
  for (std::size_t i = 0; i < r.labels.size(); ++i) {
    std::uint32_t v = r.labels[i].label & 0x3FFFFF;
    if (r.labels[i].extra) v |= 0x400000;
    if (i + 1 == r.labels.size()) v |= 0x800000;
    Le(s, v, 3);
    if (r.labels[i].extra) Le(s, *r.labels[i].extra & 0x3FFFFF, 3);
  }
  bool wide = (r.flags & 1) != 0;
  for (const auto& level : r.lines)
    if (level.size() > 127) wide = true;
  s.push_back(static_cast<char>(r.flags | (wide ? 1 : 0)));
  Le(s, r.length, 3);
  for (std::size_t i = 0; i < r.lines.size(); ++i) {
    const bool last = i + 1 == r.lines.size();
    const std::uint32_t n = static_cast<std::uint32_t>(r.lines[i].size());
    if (wide) Le(s, n | (last ? 0x8000u : 0u), 2);
    else s.push_back(static_cast<char>(n | (last ? 0x80u : 0u)));
  }
  for (const auto& level : r.lines)
    for (std::uint32_t ref : level) {
      s.push_back(static_cast<char>(ref & 0xFF));
      Le(s, ref >> 16, 2);
    }
  return s + r.data;
}

NetImage_t NetBuilder_t::Build() const {
  NetImage_t image;
  NetHeader_t h = header;
  const std::uint32_t unit = 1u << shift;
  std::string section;
  for (const NetRoad_t& r : roads) {
    const std::string prefix = EncodeRoadPrefix(r);
    std::size_t start = section.size() + prefix.size();
    if (start == 0) start = unit;  // offset 0 stays free
    start = (start + unit - 1) / unit * unit;
    section.resize(start - prefix.size(), '\0');
    section += prefix;
    image.offsets.push_back(static_cast<std::uint32_t>(start >> shift));
    section += EncodeRoad(r);
  }
  std::string table;
  const std::uint32_t entry = 1u << indexShift;
  if (entry < 5) throw std::invalid_argument("index entries need 5 bytes");
  for (std::uint32_t i : index) {
    const std::uint32_t offset = i < image.offsets.size() ? image.offsets[i] : i;
    std::string e(2, '\0');
    Le(e, offset, 3);
    e.resize(entry, '\0');
    table += e;
  }
  h.first = {h.length, static_cast<std::uint32_t>(section.size()), shift};
  h.second = {static_cast<std::uint32_t>(h.length + section.size()), static_cast<std::uint32_t>(table.size()),
              indexShift};
  if (numberWidth) {
    h.byte53 = 1;
    h.byte54 = static_cast<std::uint8_t>(*numberWidth - 5);
  }
  image.file = h.Build();
  image.file.resize(h.length, '\0');
  image.file += section + table;
  return image;
}

}  // namespace imgkit
