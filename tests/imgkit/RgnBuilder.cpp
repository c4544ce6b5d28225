#include "tests/imgkit/RgnBuilder.h"

#include <stdexcept>

namespace imgkit {

namespace {

void Put16(std::string& s, std::uint32_t v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put24(std::string& s, std::uint32_t v) {
  Put16(s, v);
  s.push_back(static_cast<char>((v >> 16) & 0xFF));
}
void Put32(std::string& s, std::uint32_t v) {
  Put16(s, v);
  Put16(s, v >> 16);
}
void Set16(std::string& s, std::size_t at, std::uint32_t v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

std::string StreamOf(const DeltaStream_t& stream, const std::optional<std::string>& raw, bool extended) {
  if (raw) return *raw;
  DeltaStream_t s = stream;
  s.extended = extended;
  return Encode(s);
}

// The sub-file's common header: length, magic, format 1, a creation date.
std::string Header(const std::string& magic, std::uint16_t length) {
  std::string h;
  Put16(h, length);
  h += magic;
  Put16(h, 1);
  Put16(h, 2005);
  h += std::string{6, 15, 12, 0, 0};
  return h;
}

}  // namespace

std::string Varint(std::uint32_t v) {
  std::string s;
  if (v < (1u << 7)) {
    s.push_back(static_cast<char>((v << 1) | 1));
  } else if (v < (1u << 14)) {
    Put16(s, (v << 2) | 2);
  } else if (v < (1u << 21)) {
    Put24(s, (v << 3) | 4);
  } else if (v < (1u << 29)) {
    Put32(s, v << 3);
  } else {
    throw std::invalid_argument("value too large for a variable-length integer");
  }
  return s;
}

std::string EncodePoint(const RgnPoint_t& p) {
  std::string s(1, static_cast<char>(p.type));
  Put24(s, (p.label & 0x3FFFFF) | (p.poi ? 0x400000u : 0u) | (p.subtype ? 0x800000u : 0u));
  Put16(s, static_cast<std::uint16_t>(p.dlon));
  Put16(s, static_cast<std::uint16_t>(p.dlat));
  if (p.subtype) s.push_back(static_cast<char>(*p.subtype));
  return s;
}

std::string EncodeIndexedPoint(const RgnIndexedPoint_t& p) {
  std::string s(1, static_cast<char>(p.type));
  Put24(s, p.label & 0x3FFFFF);
  Put16(s, static_cast<std::uint16_t>(p.dlon));
  Put16(s, static_cast<std::uint16_t>(p.dlat));
  return s;
}

std::string EncodePoly(const RgnPoly_t& p, bool line) {
  const std::string stream = StreamOf(p.stream, p.rawStream, false);
  if (stream.empty()) throw std::invalid_argument("a stream holds at least its info byte");
  const std::size_t length = stream.size() - 1;
  const bool wide = p.wideLength || length > 0xFF;
  if (length > 0xFFFF) throw std::invalid_argument("stream too long");
  std::uint8_t type = line ? static_cast<std::uint8_t>((p.type & 0x3F) | (p.direction ? 0x40 : 0))
                           : static_cast<std::uint8_t>(p.type & 0x7F);
  if (wide) type |= 0x80;
  std::string s(1, static_cast<char>(type));
  Put24(s, p.label & 0xFFFFFF);
  Put16(s, static_cast<std::uint16_t>(p.dlon));
  Put16(s, static_cast<std::uint16_t>(p.dlat));
  if (wide) {
    Put16(s, static_cast<std::uint32_t>(length));
  } else {
    s.push_back(static_cast<char>(length));
  }
  return s + stream;
}

std::string EncodeExtObject(const RgnExtObject_t& o, bool withStream) {
  std::string s(1, static_cast<char>(o.type));
  s.push_back(static_cast<char>((o.subtype & 0x1F) | (o.label ? 0x20 : 0) | (o.optional ? 0x40 : 0) |
                                (o.attributes ? 0x80 : 0)));
  Put16(s, static_cast<std::uint16_t>(o.dlon));
  Put16(s, static_cast<std::uint16_t>(o.dlat));
  if (withStream) {
    const std::string stream = StreamOf(o.stream, o.rawStream, true);
    s += Varint(static_cast<std::uint32_t>(stream.size())) + stream;
  }
  if (o.label) Put24(s, *o.label);
  if (o.attributes) s += *o.attributes;
  if (o.optional) s += *o.optional;
  return s + o.trailer;
}

RgnImage_t RgnBuilder_t::Build() const {
  RgnImage_t out;
  std::string data;
  std::array<std::string, 3> extData;
  for (const RgnSubdivision_t& sd : subdivisions) {
    RgnPlaced_t placed;
    placed.offset = static_cast<std::uint32_t>(data.size());
    std::array<std::string, 5> sections;
    for (const auto& p : sd.points) sections[0] += EncodePoint(p);
    for (const auto& p : sd.indexed) sections[1] += EncodeIndexedPoint(p);
    for (const auto& p : sd.lines) sections[2] += EncodePoly(p, true);
    for (const auto& p : sd.areas) sections[3] += EncodePoly(p, false);
    if (sd.areasEnd) sections[4] = *sd.areasEnd;
    std::uint8_t kinds = 0;
    for (unsigned i = 0; i < 5; ++i)
      if (!sections[i].empty() || (i == 4 && sd.areasEnd)) kinds |= static_cast<std::uint8_t>(1u << i);
    placed.kinds = sd.kinds ? *sd.kinds : kinds;
    // The offset table: the start of each present kind after the first.
    std::vector<std::uint16_t> table;
    unsigned present = 0;
    for (unsigned i = 0; i < 5; ++i) present += (kinds >> i) & 1u;
    std::uint32_t at = present != 0 ? 2 * (present - 1) : 0;
    std::string body;
    bool first = true;
    for (unsigned i = 0; i < 5; ++i) {
      if ((kinds & (1u << i)) == 0) continue;
      if (!first) table.push_back(static_cast<std::uint16_t>(at));
      first = false;
      body += sections[i];
      at += static_cast<std::uint32_t>(sections[i].size());
    }
    if (sd.table) table = *sd.table;
    for (std::uint16_t t : table) Put16(data, t);
    data += body;
    for (unsigned k = 0; k < 3; ++k) {
      placed.extOffset[k] = static_cast<std::uint32_t>(extData[k].size());
      const auto& objects = k == 0 ? sd.extAreas : k == 1 ? sd.extLines : sd.extPoints;
      unsigned trailer = 0;
      for (unsigned i = 0; i < 32; i += 2) trailer += (ext[k].trailer >> i) & 3u;
      for (const auto& o : objects) {
        RgnExtObject_t withTrailer = o;
        if (withTrailer.trailer.empty()) withTrailer.trailer.assign(trailer, '\0');
        extData[k] += EncodeExtObject(withTrailer, k != 2);
      }
    }
    out.placed.push_back(placed);
  }
  out.dataEnd = static_cast<std::uint32_t>(data.size());
  for (unsigned k = 0; k < 3; ++k) out.extEnd[k] = static_cast<std::uint32_t>(extData[k].size());

  std::string& f = out.bytes;
  f = Header("VORTAN RGN", headerLength);
  const std::uint32_t dataOffset = headerLength;
  Put32(f, dataOffset);
  Put32(f, static_cast<std::uint32_t>(data.size()));
  std::uint32_t extAt = dataOffset + static_cast<std::uint32_t>(data.size());
  for (unsigned k = 0; k < 3; ++k) {
    Put32(f, extAt);
    Put32(f, static_cast<std::uint32_t>(extData[k].size()));
    Put32(f, ext[k].unused);
    Put32(f, ext[k].trailer);
    Put32(f, ext[k].optionMask);
    Put32(f, ext[k].sizeCodes[0]);
    Put32(f, ext[k].sizeCodes[1]);
    extAt += static_cast<std::uint32_t>(extData[k].size());
  }
  Put32(f, more[0]);
  Put32(f, more[1]);
  if (f.size() > headerLength) f.resize(headerLength);
  f.resize(headerLength, '\0');
  Set16(f, 0, headerLength);
  f += data;
  for (const auto& e : extData) f += e;
  return out;
}

}  // namespace imgkit
