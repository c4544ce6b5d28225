#include "tests/imgkit/PoiTextBuilder.h"

#include <stdexcept>
#include <vector>

#include "tests/imgkit/SubfileHeader.h"

namespace imgkit {

namespace {

void Put(std::string& s, std::uint32_t v, unsigned bytes) {
  for (unsigned i = 0; i < bytes; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

unsigned Symbol(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c == '-') return 10;
  throw std::invalid_argument("not a packed digit symbol");
}

}  // namespace

std::string EncodePackedDigits(const std::string& text) {
  std::string symbols = text;
  if (symbols.size() % 2 != 0) symbols.push_back('-');
  if (symbols.size() < 4) symbols.append(4 - symbols.size(), '-');
  std::string out;
  for (std::size_t i = 0; i < symbols.size(); i += 2)
    out.push_back(static_cast<char>(Symbol(symbols[i]) * 11 + Symbol(symbols[i + 1])));
  out.front() = static_cast<char>(out.front() | 0x80);
  out.back() = static_cast<char>(out.back() | 0x80);
  return out;
}

std::string EncodeNumberLabel(std::uint32_t label) {
  if (label >= 0x800000) throw std::invalid_argument("label reference too large");
  std::string out(1, static_cast<char>(label >> 16));
  Put(out, label & 0xFFFF, 2);
  return out;
}

std::string EncodePoiIndex(std::uint32_t value, std::uint32_t count) {
  std::string out;
  Put(out, value, count < 256 ? 1 : count < 65536 ? 2 : 3);
  return out;
}

std::string EncodeExtensionRun(std::uint32_t length, std::uint32_t flags) {
  std::string out;
  for (unsigned i = 0; i == 0 || (length >> (4 * i)) != 0 || (flags >> (3 * i)) != 0; ++i)
    out.push_back(static_cast<char>(((length >> (4 * i)) & 0x0F) | (((flags >> (3 * i)) & 0x07) << 4)));
  out.back() = static_cast<char>(out.back() | 0x80);
  return out;
}

std::string EncodePoiRecord(const PoiRecord_t& r, std::uint32_t globalFlags, const PoiTables_t& tables) {
  const bool has[9] = {r.houseNumber.has_value(), r.street.has_value(), r.city.has_value(),
                       r.postalCode.has_value(),  r.phone.has_value(),  r.exit.has_value(),
                       r.extension.has_value(),   r.groupA.has_value(), r.groupB.has_value()};
  std::string out;
  Put(out, (r.name & 0x3FFFFF) | (r.localMask ? 0x800000u : 0u), 3);
  if (r.localMask) {
    if (r.rawMask) {
      out += *r.rawMask;
    } else {
      std::vector<bool> bits;
      for (unsigned p = 0; p < 9; ++p)
        if (globalFlags & (1u << p)) bits.push_back(has[p]);
      std::string mask;
      for (std::size_t i = 0; i == 0 || i < bits.size(); i += 7) {
        unsigned byte = 0;
        for (std::size_t k = 0; k < 7 && i + k < bits.size(); ++k)
          if (bits[i + k]) byte |= 1u << k;
        mask.push_back(static_cast<char>(byte));
      }
      mask.back() = static_cast<char>(mask.back() | 0x80);
      out += mask;
    }
  }
  auto wanted = [&](unsigned p) { return (globalFlags & (1u << p)) != 0 && has[p]; };
  if (wanted(0)) out += *r.houseNumber;
  if (wanted(1)) Put(out, *r.street, 3);
  if (wanted(2)) out += EncodePoiIndex(*r.city, tables.cities);
  if (wanted(3)) out += EncodePoiIndex(*r.postalCode, tables.postalCodes);
  if (wanted(4)) out += *r.phone;
  if (wanted(5)) {
    const PoiExit_t& e = *r.exit;
    Put(out, (e.roadLabel & 0x3FFFFF) | (e.flag ? 0x400000u : 0u) | (e.facility ? 0x800000u : 0u), 3);
    out += EncodePoiIndex(e.index, tables.exits);
    if (e.facility) out += EncodePoiIndex(*e.facility, tables.facilities);
  }
  if (wanted(6)) {
    const PoiExtension_t& x = *r.extension;
    out += x.run ? *x.run : EncodeExtensionRun(static_cast<std::uint32_t>(x.data.size()), x.flags);
    out += x.data;
  }
  if (wanted(7)) {
    const PoiGroupA_t& a = *r.groupA;
    std::string body;
    const unsigned flags = (a.value1 ? 0x01u : 0u) | (a.value2 ? 0x02u : 0u) | (a.byte1 ? 0x04u : 0u) |
                           (a.byte2 ? 0x10u : 0u) | (a.mask ? 0x40u : 0u);
    body.push_back(static_cast<char>(flags));
    if (a.value1) Put(body, *a.value1, 3);
    if (a.value2) Put(body, *a.value2, 3);
    if (a.byte1) body.push_back(static_cast<char>(*a.byte1));
    if (a.byte2) body.push_back(static_cast<char>(*a.byte2));
    if (a.mask) Put(body, *a.mask, 4);
    body += a.tail;
    out += Varint(static_cast<std::uint32_t>(body.size())) + body;
  }
  if (wanted(8)) {
    const std::string body = std::string(1, static_cast<char>(r.groupB->value)) + r.groupB->tail;
    out += Varint(static_cast<std::uint32_t>(body.size())) + body;
  }
  return out;
}

}  // namespace imgkit
