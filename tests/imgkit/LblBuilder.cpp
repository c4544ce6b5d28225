#include "tests/imgkit/LblBuilder.h"

#include <stdexcept>

namespace imgkit {

namespace {

// The table and value of a character of the six-bit encoding.
void SixBitValues(unsigned char c, std::vector<unsigned>& v) {
  auto shifted = [&](unsigned table, unsigned value) {
    v.push_back(table == 1 ? 0x1B : 0x1C);
    v.push_back(value);
  };
  if (c == ' ') return v.push_back(0);
  if (c >= 'A' && c <= 'Z') return v.push_back(c - 'A' + 1u);
  if (c >= '0' && c <= '9') return v.push_back(c - '0' + 0x20u);
  if (c >= 0x1D && c <= 0x1F) return v.push_back(c);
  if (c >= 0x01 && c <= 0x06) return v.push_back(c - 1u + 0x2Au);
  if (c >= 'a' && c <= 'z') return shifted(1, c - 'a' + 1u);
  if (c == '`') return shifted(1, 0);
  if (c >= '{' && c <= '~') return shifted(1, c - '{' + 0x1Bu);
  if (c == 0x1B) return shifted(1, 0x2B);
  if (c == 0x1C) return shifted(1, 0x2C);
  if (c == '@') return shifted(2, 0);
  if (c >= '!' && c <= '/') return shifted(2, c - '!' + 1u);
  if (c == ':') return shifted(2, 0x1A);
  if (c >= ';' && c <= '?') return shifted(2, c - ';' + 0x1Bu);
  if (c == 0xB0) return shifted(2, 0x20);
  if (c >= '[' && c <= '_') return shifted(2, c - '[' + 0x2Bu);
  throw std::invalid_argument("no six-bit form");
}

void Put(std::string& s, std::uint32_t v, unsigned bytes) {
  for (unsigned i = 0; i < bytes; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

std::string EncodeSixBit(const std::string& text) {
  std::vector<unsigned> v;
  for (unsigned char c : text) SixBitValues(c, v);
  v.push_back(0x3F);
  while (v.size() % 4 != 0) v.push_back(0x3F);
  std::string out;
  for (std::size_t i = 0; i < v.size(); i += 4) {
    const std::uint32_t g = (v[i] << 18) | (v[i + 1] << 12) | (v[i + 2] << 6) | v[i + 3];
    out.push_back(static_cast<char>(g >> 16));
    out.push_back(static_cast<char>((g >> 8) & 0xFF));
    out.push_back(static_cast<char>(g & 0xFF));
  }
  return out;
}

std::string EncodeSevenBit(const std::string& text) {
  std::string out = text;
  if (!out.empty()) out.back() = static_cast<char>(out.back() | 0x80);
  return out;
}

std::string EncodeCodePageLabel(const std::string& text) { return text + std::string(1, '\0'); }

std::uint32_t LblBuilder_t::AddRawLabel(const std::string& bytes) {
  const std::uint32_t unit = 1u << header.labelShift;
  while (labels.size() % unit != 0) labels.push_back('\0');
  const auto offset = static_cast<std::uint32_t>(labels.size()) >> header.labelShift;
  labels += bytes;
  return offset;
}

std::uint32_t LblBuilder_t::AddLabel(const std::string& text) {
  switch (header.encoding) {
    case 6: return AddRawLabel(EncodeSixBit(text));
    case 7: return AddRawLabel(EncodeSevenBit(text));
    default: return AddRawLabel(EncodeCodePageLabel(text));
  }
}

std::uint32_t LblBuilder_t::AddPoi(std::uint32_t label) {
  const auto offset = static_cast<std::uint32_t>(properties.size());
  Put(properties, label, 3);
  return offset;
}

void LblBuilder_t::AddCountry(std::uint32_t label) { Put(countries, label, 3); }

void LblBuilder_t::AddRegion(std::uint16_t country, std::uint32_t label) {
  Put(regions, country, 2);
  Put(regions, label, 3);
}

void LblBuilder_t::AddCity(std::uint32_t labelOrPoint, std::uint16_t word) {
  Put(cities, labelOrPoint, 3);
  Put(cities, word, 2);
}

void LblBuilder_t::AddIndexed(std::uint32_t label) { Put(indexed, label, 3); }

void LblBuilder_t::AddExit(std::uint32_t label, std::uint32_t firstIndex) {
  Put(exits, label, 3);
  Put(exits, firstIndex, 3);
}

void LblBuilder_t::AddFacility(std::uint32_t label, bool last, std::uint8_t type, std::uint8_t direction,
                               std::uint8_t facilitiesByte) {
  Put(facilities, label | (last ? 0x800000u : 0u), 3);
  facilities.push_back(static_cast<char>((type & 0x1F) | (direction << 5)));
  if (!shortFacilities) facilities.push_back(static_cast<char>(facilitiesByte));
}

std::string LblBuilder_t::Build() const {
  LblHeader_t h = header;
  std::string body;
  std::uint32_t at = h.length;
  auto place = [&](const std::string& bytes) {
    const std::uint32_t offset = at;
    body += bytes;
    at += static_cast<std::uint32_t>(bytes.size());
    return offset;
  };
  auto table = [&](LblTable_t& t, const std::string& bytes, std::uint16_t size) {
    t.offset = place(bytes);
    t.length = static_cast<std::uint32_t>(bytes.size());
    t.recordSize = size;
  };
  h.labelOffset = place(labels);
  h.labelLength = static_cast<std::uint32_t>(labels.size());
  table(h.countries, countries, 3);
  table(h.regions, regions, 5);
  table(h.cities, cities, 5);
  h.cities.word = 0x80000000u;  // plain record size
  table(h.indexed, indexed, 3);
  table(h.exits, exits, 6);
  table(h.facilities, facilities, shortFacilities ? 4 : 5);
  h.facilities.word = shortFacilities ? 2u : 0u;
  table(h.table156, std::string(3 * table156Count, '\0'), 3);
  h.propOffset = place(properties);
  h.propLength = static_cast<std::uint32_t>(properties.size());
  return h.Build() + body;
}

}  // namespace imgkit
