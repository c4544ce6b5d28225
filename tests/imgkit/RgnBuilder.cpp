#include "tests/imgkit/RgnBuilder.h"

#include <algorithm>
#include <stdexcept>

namespace imgkit {

namespace {

void Add16(std::string& s, std::uint32_t v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Add24(std::string& s, std::uint32_t v) {
  Add16(s, v);
  s.push_back(static_cast<char>((v >> 16) & 0xFF));
}
std::string StreamOf(const DeltaStream_t& stream, const std::optional<std::string>& raw, bool extended) {
  if (raw) return *raw;
  DeltaStream_t s = stream;
  s.extended = extended;
  return Encode(s);
}

}  // namespace

std::string EncodePoint(const RgnPoint_t& p) {
  std::string s(1, static_cast<char>(p.type));
  Add24(s, (p.label & 0x3FFFFF) | (p.poi ? 0x400000u : 0u) | (p.subtype ? 0x800000u : 0u));
  Add16(s, static_cast<std::uint16_t>(p.dlon));
  Add16(s, static_cast<std::uint16_t>(p.dlat));
  if (p.subtype) s.push_back(static_cast<char>(*p.subtype));
  return s;
}

std::string EncodeIndexedPoint(const RgnIndexedPoint_t& p) {
  std::string s(1, static_cast<char>(p.type));
  Add24(s, p.label & 0x3FFFFF);
  Add16(s, static_cast<std::uint16_t>(p.dlon));
  Add16(s, static_cast<std::uint16_t>(p.dlat));
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
  Add24(s, p.label & 0xFFFFFF);
  Add16(s, static_cast<std::uint16_t>(p.dlon));
  Add16(s, static_cast<std::uint16_t>(p.dlat));
  if (wide) {
    Add16(s, static_cast<std::uint32_t>(length));
  } else {
    s.push_back(static_cast<char>(length));
  }
  return s + stream;
}

std::string EncodeExtObject(const RgnExtObject_t& o, bool withStream) {
  std::string s(1, static_cast<char>(o.type));
  s.push_back(static_cast<char>((o.subtype & 0x1F) | (o.label ? 0x20 : 0) | (o.optional ? 0x40 : 0) |
                                (o.attributes ? 0x80 : 0)));
  Add16(s, static_cast<std::uint16_t>(o.dlon));
  Add16(s, static_cast<std::uint16_t>(o.dlat));
  if (withStream) {
    const std::string stream = StreamOf(o.stream, o.rawStream, true);
    s += Varint(static_cast<std::uint32_t>(stream.size())) + stream;
  }
  if (o.label) Add24(s, *o.label);
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
    for (std::uint16_t t : table) Add16(data, t);
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
  RgnHeader_t& h = out.header;
  h.length = headerLength;
  h.dataOffset = headerLength;
  h.dataLength = static_cast<std::uint32_t>(data.size());
  std::uint32_t extAt = headerLength + static_cast<std::uint32_t>(data.size());
  for (unsigned k = 0; k < 3; ++k) {
    const std::uint32_t words[7] = {extAt, out.extEnd[k], ext[k].unused, ext[k].trailer, ext[k].optionMask,
                                    ext[k].sizeCodes[0], ext[k].sizeCodes[1]};
    for (unsigned i = 0; i < 7; ++i) h.ext[7 * k + i] = words[i];
    extAt += out.extEnd[k];
  }
  h.more = more;
  out.data = data + extData[0] + extData[1] + extData[2];
  return out;
}

std::string RgnImage_t::File() const {
  std::string f = header.Build();
  f.resize(header.dataOffset, '\0');
  return f + data;
}

void RgnBuilder_t::Place(MapBuilder_t& map) const {
  const RgnImage_t img = Build();
  map.rgn = img.header;
  map.rgnData = img.data;
  std::vector<TreLevel_t*> levels;
  for (TreLevel_t& l : map.tre.levels) levels.push_back(&l);
  std::stable_sort(levels.begin(), levels.end(),
                   [](const TreLevel_t* a, const TreLevel_t* b) { return a->number > b->number; });
  std::size_t n = 0;
  for (TreLevel_t* l : levels) {
    for (TreSubdiv_t& s : l->subdivs) {
      if (n >= img.placed.size()) throw std::invalid_argument("more TRE subdivisions than RGN ones");
      const RgnPlaced_t& p = img.placed[n];
      s.rgnOffset = p.offset;
      s.kinds = p.kinds;
      for (unsigned k = 0; k < 3; ++k) {
        const std::uint32_t next = n + 1 < img.placed.size() ? img.placed[n + 1].extOffset[k] : img.extEnd[k];
        s.extLength[k] = next - p.extOffset[k];
      }
      ++n;
    }
  }
  if (n != img.placed.size()) throw std::invalid_argument("more RGN subdivisions than TRE ones");
  map.tre.rgnEnd = img.dataEnd;
}

}  // namespace imgkit
