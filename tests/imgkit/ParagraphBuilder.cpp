#include "tests/imgkit/ParagraphBuilder.h"

#include <algorithm>
#include <stdexcept>

#include "tests/imgkit/ProductBuilder.h"
#include "tests/imgkit/SubfileHeader.h"

namespace imgkit {

namespace {

struct Code_t {
  std::uint32_t symbol;
  unsigned length;
  std::uint32_t code;  // right-aligned
};

std::vector<Code_t> CanonicalCodes(const std::map<std::uint32_t, unsigned>& lengths) {
  std::vector<Code_t> codes;
  for (const auto& [symbol, length] : lengths) codes.push_back(Code_t{symbol, length, 0});
  std::stable_sort(codes.begin(), codes.end(), [](const Code_t& a, const Code_t& b) { return a.length < b.length; });
  std::uint32_t next = 0;
  unsigned length = codes.empty() ? 0 : codes.front().length;
  for (auto& c : codes) {
    next <<= (c.length - length);
    length = c.length;
    c.code = next++;
  }
  return codes;
}

std::string LeBytes(std::uint64_t v, unsigned n) {
  std::string out;
  for (unsigned i = 0; i < n; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
  return out;
}

}  // namespace

unsigned PrefixTable_t::MaxLength() const {
  unsigned d = 0;
  for (const auto& [symbol, length] : lengths) d = std::max(d, length);
  return d;
}

std::string PrefixTable_t::Bytes() const {
  const std::vector<Code_t> codes = CanonicalCodes(lengths);
  const unsigned d = MaxLength();
  // One entry per code length: the first code of that length.
  struct Entry_t {
    std::uint32_t code;  // left-aligned to d bits
    unsigned length;
    std::uint32_t base;
  };
  std::vector<Entry_t> entries;
  for (std::size_t i = 0; i < codes.size(); ++i)
    if (i == 0 || codes[i].length != codes[i - 1].length)
      entries.push_back(Entry_t{codes[i].code << (d - codes[i].length), codes[i].length, std::uint32_t(i)});
  const std::string countVarint = Varint(static_cast<std::uint32_t>(codes.size()));
  const unsigned f = static_cast<unsigned>(countVarint.size());
  std::string body;
  body += static_cast<char>((lookupBits & 0x0F) | (packed ? 0x10 : 0));
  body += static_cast<char>(d);
  body += static_cast<char>(entries.size());
  body += static_cast<char>(symbolBits);
  body += countVarint;
  for (const auto& e : entries) body += LeBytes(e.code, (d + 7) / 8) + static_cast<char>(e.length) + LeBytes(e.base, f);
  if (lookupBits > 0) {
    const unsigned symbolBytes = (symbolBits + 7) / 8;
    for (std::uint32_t i = 0; i < (1u << lookupBits); ++i) {
      // A code no longer than the lookup width that starts with these bits is a direct hit.
      const Code_t* hit = nullptr;
      for (const auto& c : codes)
        if (c.length <= lookupBits && (i >> (lookupBits - c.length)) == c.code) hit = &c;
      if (hit) {
        body += static_cast<char>(1 | hit->length << 1);
        body += LeBytes(hit->symbol, symbolBytes);
        continue;
      }
      // Else the entries whose codes may start with them.
      const std::uint32_t low = d >= lookupBits ? i << (d - lookupBits) : i >> (lookupBits - d);
      const std::uint32_t high = d >= lookupBits ? ((i + 1) << (d - lookupBits)) - 1 : low;
      unsigned first = 0;
      unsigned last = 0;
      for (unsigned k = 0; k < entries.size(); ++k) {
        if (entries[k].code <= low) first = k;
        if (entries[k].code <= high) last = k;
      }
      body += static_cast<char>(first << 1);
      body += static_cast<char>(last);
      body += std::string(symbolBytes - 1, '\0');
    }
  }
  if (packed) {
    std::string bits((codes.size() * symbolBits + 7) / 8, '\0');
    std::size_t position = 0;
    for (const auto& c : codes)
      for (unsigned b = 0; b < symbolBits; ++b, ++position)
        if (c.symbol & (1u << b)) bits[position / 8] = static_cast<char>(bits[position / 8] | (1 << (position % 8)));
    body += bits;
  } else {
    for (const auto& c : codes) body += LeBytes(c.symbol, (symbolBits + 7) / 8);
  }
  return Varint(static_cast<std::uint32_t>(body.size())) + body;
}

std::string PrefixTable_t::Encode(const std::vector<std::uint32_t>& symbols) const {
  const std::vector<Code_t> codes = CanonicalCodes(lengths);
  std::string out;
  std::size_t position = 0;
  for (const std::uint32_t symbol : symbols) {
    const auto found = std::find_if(codes.begin(), codes.end(), [&](const Code_t& c) { return c.symbol == symbol; });
    if (found == codes.end()) throw std::invalid_argument("symbol without a code");
    for (unsigned b = found->length; b-- > 0; ++position) {
      if (position / 8 >= out.size()) out += '\0';
      if (found->code & (1u << b)) out[position / 8] = static_cast<char>(out[position / 8] | (0x80 >> (position % 8)));
    }
  }
  return out;
}

std::string PrefixTable_t::Encode(const std::string& text) const {
  std::vector<std::uint32_t> symbols;
  for (const char c : text) symbols.push_back(static_cast<unsigned char>(c));
  return Encode(symbols);
}

ParagraphPart_t PlainPart(const std::string& text, std::uint8_t headerLow) {
  ParagraphPart_t part;
  part.text = text;
  part.headerLow = headerLow;
  return part;
}

ParagraphPart_t CompressedPart(const std::string& text, unsigned table, std::uint8_t headerLow, bool explicitId,
                               unsigned lengthBytes) {
  ParagraphPart_t part = PlainPart(text, headerLow);
  part.compressed = true;
  part.table = table;
  part.explicitId = explicitId;
  part.lengthBytes = lengthBytes;
  return part;
}

namespace {
constexpr std::uint32_t kFirstWord = 0x64636261u;   // "abcd"
constexpr std::uint32_t kSecondWord = 0x68676665u;  // "efgh"
}  // namespace

PrefixTable_t WordTable() {
  PrefixTable_t t;
  t.symbolBits = 32;
  t.lengths = {{kFirstWord, 1}, {kSecondWord, 1}};
  return t;
}

ParagraphPart_t WordPart(unsigned words, unsigned table) {
  std::vector<std::uint32_t> symbols;
  std::string text;
  std::uint32_t state = 12345;
  for (unsigned i = 0; i < words; ++i) {
    state = state * 1103515245u + 12345u;
    const bool second = (state >> 16) & 1;
    symbols.push_back(second ? kSecondWord : kFirstWord);
    text += second ? "efgh" : "abcd";
  }
  ParagraphPart_t part = CompressedPart(text, table, 0, false, 3);
  part.data = WordTable().Encode(symbols);
  return part;
}

std::string ParagraphFiles_t::Table(std::vector<std::uint32_t>& offsets) const {
  std::string table;
  for (const auto& paragraph : paragraphs) {
    while (table.size() % (1u << offsetShift)) table += '\0';
    offsets.push_back(static_cast<std::uint32_t>(table.size()));
    table += static_cast<char>(countBytes - 1);
    table += LeBytes(paragraph.size(), countBytes);
    for (const auto& part : paragraph) {
      std::string rest;
      std::uint32_t header = part.headerLow;
      std::string data = part.text;
      if (part.compressed) {
        header |= 1u << 10 | (part.lengthBytes - 1) << 13;
        // A table the files do not hold leaves the text as it is (damage).
        if (part.table < tables.size() && !part.data) data = tables[part.table].Encode(part.text);
      }
      if (part.explicitId) header |= 0x8000;
      rest += LeBytes(header, 2);
      if (part.compressed) rest += LeBytes(part.storedLength.value_or(part.text.size()), part.lengthBytes);
      if (part.explicitId) rest += static_cast<char>(part.table);
      rest += part.data.value_or(data);
      table += Varint(static_cast<std::uint32_t>(rest.size())) + rest;
    }
  }
  return table;
}

std::int32_t ParagraphFiles_t::Number(std::size_t i) const {
  std::vector<std::uint32_t> offsets;
  Table(offsets);
  return static_cast<std::int32_t>(offsets.at(i) >> offsetShift);
}

std::string ParagraphFiles_t::Lbl() const {
  constexpr std::uint32_t kHeader = 236;
  std::vector<std::uint32_t> offsets;
  const std::string table = Table(offsets);
  std::string bytes = CommonHeader(kHeader, "LBL");
  bytes.resize(0xDE, '\0');
  Bytes_t fields;
  fields.U32(kHeader).U32(static_cast<std::uint32_t>(table.size())).U32(0).U8(offsetShift).U8(defaultTableId);
  bytes += fields.str();
  bytes.resize(kHeader, '\0');
  return bytes + table;
}

std::string ParagraphFiles_t::Rgn() const {
  constexpr std::uint32_t kHeader = 0x7D;
  std::string section;
  for (const auto& table : tables) section += table.Bytes();
  section += extraSection;
  std::string bytes = CommonHeader(kHeader, "RGN");
  bytes.resize(0x71, '\0');
  bytes += Bytes_t().U32(kHeader).U32(static_cast<std::uint32_t>(section.size())).str();
  bytes.resize(kHeader, '\0');
  return bytes + section;
}

}  // namespace imgkit
