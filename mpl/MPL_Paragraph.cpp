#include "mpl/MPL_Paragraph.h"

#include <algorithm>
#include <vector>

#include "dsk/DSK_Exception.h"
#include "mpl/MPL_Engine.h"
#include "win/WIN_Exception.h"

namespace mpl {

namespace {

// Reads 'count' bytes at 'position' of the sub-file: 0, or 1 when they are not there.
int ReadAt(dsk::File_t* file, std::uint64_t position, void* buffer, std::uint32_t count) {
  if (!file || !file->IsOpen()) return 1;
  if (count == 0) return 0;
  try {
    if (position > file->GetSize() || file->GetSize() - position < count) return 1;
    file->Seek(position);
    file->Read(buffer, count);
  } catch (const dsk::FileError_t&) {
    return 1;
  } catch (const dsk::BadStream_t&) {
    return 1;
  } catch (const win::Error_t&) {
    return 1;
  }
  return 0;
}

std::uint32_t Le(const std::uint8_t* p, unsigned n) {
  std::uint32_t v = 0;
  for (unsigned i = 0; i < n; ++i) v |= std::uint32_t(p[i]) << (8 * i);
  return v;
}

int ReadLe(dsk::File_t* file, std::uint64_t position, unsigned n, std::uint32_t& value) {
  std::uint8_t bytes[4] = {};
  if (ReadAt(file, position, bytes, n)) return 1;
  value = Le(bytes, n);
  return 0;
}

// A varint at 'position' of the sub-file; 'used' receives its byte count.
int ReadVarintAt(dsk::File_t* file, std::uint64_t position, std::uint32_t& value, std::size_t& used) {
  std::uint8_t bytes[4] = {};
  if (ReadAt(file, position, bytes, 1)) return 1;
  const std::size_t need = (bytes[0] & 1) ? 1 : (bytes[0] & 2) ? 2 : (bytes[0] & 4) ? 3 : 4;
  if (need > 1 && ReadAt(file, position + 1, bytes + 1, static_cast<std::uint32_t>(need - 1))) return 1;
  return MdbDecodeVarint(bytes, need, value, used);
}

// The bits of the input, most significant first, zeros past its end.
class BitReader_t {
 public:
  BitReader_t(const std::uint8_t* input, std::size_t size) : m_input(input), m_bits(std::uint64_t(size) * 8) {}
  // The next n (1 to 32) bits.
  std::uint32_t Peek(unsigned n) const {
    std::uint64_t window = 0;
    const std::uint64_t byte = m_position / 8;
    for (unsigned i = 0; i < 5; ++i) {
      window <<= 8;
      if ((byte + i) * 8 < m_bits) window |= m_input[byte + i];
    }
    window <<= 24;  // 40 bits read: put them at the top of 64
    window <<= m_position % 8;
    return static_cast<std::uint32_t>(window >> (64 - n));
  }
  // False when fewer than n bits remain.
  bool Consume(unsigned n) {
    if (m_bits - m_position < n) return false;
    m_position += n;
    return true;
  }

 private:
  const std::uint8_t* m_input;
  std::uint64_t m_bits;
  std::uint64_t m_position = 0;
};

// A decoding table checked for use.
struct Table_t {
  unsigned lookupBits = 0;
  bool packed = false;
  unsigned maxLength = 0;
  unsigned entries = 0;
  unsigned symbolBits = 0;
  unsigned baseBytes = 0;
  unsigned codeBytes = 0;
  const std::uint8_t* entryData = nullptr;
  const std::uint8_t* lookupData = nullptr;
  const std::uint8_t* symbolData = nullptr;
  std::uint64_t symbolCount = 0;

  unsigned EntrySize() const { return codeBytes + 1 + baseBytes; }
  unsigned LookupSize() const { return (symbolBits + 7) / 8 + 1; }
  std::uint32_t Code(unsigned i) const { return Le(entryData + i * EntrySize(), codeBytes); }
  unsigned Length(unsigned i) const { return entryData[i * EntrySize() + codeBytes]; }
  std::uint32_t Base(unsigned i) const { return Le(entryData + i * EntrySize() + codeBytes + 1, baseBytes); }
  std::uint32_t Symbol(std::uint64_t index) const {
    if (!packed) return Le(symbolData + index * ((symbolBits + 7) / 8), (symbolBits + 7) / 8);
    std::uint32_t value = 0;
    const std::uint64_t first = index * symbolBits;
    for (unsigned b = 0; b < symbolBits; ++b) {
      const std::uint64_t bit = first + b;
      if (symbolData[bit / 8] & (1u << (bit % 8))) value |= std::uint32_t(1) << b;
    }
    return value;
  }
};

// Checks the table's layout: field widths, code lengths within the maximum,
// every part inside the table.
bool ParseTable(const std::uint8_t* table, std::size_t size, Table_t& t) {
  std::uint32_t tableLength = 0;
  std::size_t used = 0;
  if (MdbDecodeVarint(table, size, tableLength, used)) return false;
  const std::uint8_t* p = table + used;
  std::size_t left = std::min<std::size_t>(size - used, tableLength);
  if (left < 5) return false;
  t.lookupBits = p[0] & 0x0F;
  t.packed = (p[0] & 0x10) != 0;
  t.maxLength = p[1];
  t.entries = p[2];
  t.symbolBits = p[3];
  std::uint32_t ignored = 0;
  std::size_t fieldBytes = 0;
  if (MdbDecodeVarint(p + 4, left - 4, ignored, fieldBytes)) return false;
  t.baseBytes = static_cast<unsigned>(fieldBytes);
  if (t.maxLength < 1 || t.maxLength > 32 || t.symbolBits < 1 || t.symbolBits > 32 || t.entries < 1) return false;
  t.codeBytes = (t.maxLength + 7) / 8;
  std::size_t offset = 4 + fieldBytes;
  const std::size_t entryBytes = std::size_t(t.entries) * t.EntrySize();
  if (left - offset < entryBytes) return false;
  t.entryData = p + offset;
  offset += entryBytes;
  for (unsigned i = 0; i < t.entries; ++i) {
    const unsigned length = t.Length(i);
    if (length < 1 || length > t.maxLength) return false;
    if (t.maxLength < 32 && t.Code(i) >> t.maxLength) return false;
  }
  if (t.lookupBits > 0) {
    const std::size_t lookupBytes = (std::size_t(1) << t.lookupBits) * t.LookupSize();
    if (left - offset < lookupBytes) return false;
    t.lookupData = p + offset;
    offset += lookupBytes;
  }
  t.symbolData = p + offset;
  const std::size_t symbolBytes = left - offset;
  t.symbolCount = t.packed ? std::uint64_t(symbolBytes) * 8 / t.symbolBits : symbolBytes / ((t.symbolBits + 7) / 8);
  return true;
}

}  // namespace

int MdbDecodeVarint(const std::uint8_t* bytes, std::size_t size, std::uint32_t& value, std::size_t& used) {
  if (size < 1) return 1;
  const std::uint8_t b0 = bytes[0];
  if (b0 & 1) {
    value = b0 >> 1;
    used = 1;
  } else if (b0 & 2) {
    if (size < 2) return 1;
    value = (b0 >> 2) | std::uint32_t(bytes[1]) << 6;
    used = 2;
  } else if (b0 & 4) {
    if (size < 3) return 1;
    value = (b0 >> 3) | std::uint32_t(bytes[1]) << 5 | std::uint32_t(bytes[2]) << 13;
    used = 3;
  } else {
    if (size < 4) return 1;
    value = (b0 >> 3) | std::uint32_t(bytes[1]) << 5 | std::uint32_t(bytes[2]) << 13 | std::uint32_t(bytes[3]) << 21;
    used = 4;
  }
  return 0;
}

namespace {

// MdbPrefixDecode; 'bits' receives the output bits written by whole symbols
// (on failure, those before the symbol that could not be decoded).
int PrefixDecode(std::uint8_t* out, std::int32_t outCount, const std::uint8_t* table, std::size_t tableSize,
                 const std::uint8_t* input, std::size_t inputSize, std::size_t& written, std::uint64_t& bits) {
  written = 0;
  bits = 0;
  Table_t t;
  if (!ParseTable(table, tableSize, t)) return 1;
  const bool stopAtNul = outCount < 0;
  const std::uint64_t limit = stopAtNul ? -std::int64_t(outCount) : outCount;
  const std::uint64_t outBits = limit * 8;
  if (limit == 0) return 0;
  std::fill(out, out + limit, std::uint8_t(0));
  BitReader_t reader(input, inputSize);
  std::uint64_t& outPosition = bits;
  while (outPosition < outBits) {
    std::uint32_t symbol = 0;
    unsigned length = 0;
    unsigned first = 0;
    unsigned last = t.entries - 1;
    bool direct = false;
    if (t.lookupBits > 0) {
      const std::uint8_t* lookup = t.lookupData + std::size_t(reader.Peek(t.lookupBits)) * t.LookupSize();
      if (lookup[0] & 1) {
        direct = true;
        length = (lookup[0] >> 1) & 0x1F;
        symbol = Le(lookup + 1, (t.symbolBits + 7) / 8);
        if (length < 1 || length > t.maxLength) return 1;
      } else {
        first = (lookup[0] >> 1) & 0x1F;
        last = lookup[1];
        if (first > last || last >= t.entries) return 1;
      }
    }
    if (!direct) {
      const std::uint32_t a = reader.Peek(t.maxLength);
      unsigned entry = first;
      if (t.Code(first) <= a) {
        unsigned lo = first;
        unsigned hi = last;
        while (lo < hi) {
          const unsigned mid = (lo + hi + 1) / 2;
          const std::uint32_t code = t.Code(mid);
          if (code == a) {
            lo = mid;
            break;
          }
          if (code < a)
            lo = mid;
          else
            hi = mid - 1;
        }
        entry = lo;
      }
      length = t.Length(entry);
      const std::uint32_t code = t.Code(entry);
      const std::uint64_t offset = a >= code ? (std::uint64_t(a - code) >> (t.maxLength - length)) : 0;
      const std::uint64_t index = t.Base(entry) + offset;
      if (index >= t.symbolCount) return 1;
      symbol = t.Symbol(index);
    }
    if (!reader.Consume(length)) return 1;
    // The symbol's bits, least significant first.
    const std::uint64_t before = outPosition;
    for (unsigned b = 0; b < t.symbolBits && outPosition < outBits; ++b, ++outPosition)
      if (symbol & (std::uint32_t(1) << b)) out[outPosition / 8] |= std::uint8_t(1u << (outPosition % 8));
    written = static_cast<std::size_t>((outPosition + 7) / 8);
    if (stopAtNul) {
      for (std::uint64_t byte = before / 8; byte < outPosition / 8; ++byte)
        if (out[byte] == 0) {
          written = static_cast<std::size_t>(byte + 1);
          return 0;
        }
    }
  }
  written = static_cast<std::size_t>(limit);
  return 0;
}

}  // namespace

int MdbPrefixDecode(std::uint8_t* out, std::int32_t outCount, const std::uint8_t* table, std::size_t tableSize,
                    const std::uint8_t* input, std::size_t inputSize, std::size_t& written) {
  std::uint64_t bits = 0;
  return PrefixDecode(out, outCount, table, tableSize, input, inputSize, written, bits);
}

int MdbReadParagraphSource(dsk::File_t& lbl, dsk::File_t& rgn, MdbParagraphSource_t& source) {
  source = MdbParagraphSource_t();
  source.lbl = &lbl;
  source.rgn = &rgn;
  std::uint32_t lblHeader = 0;
  std::uint32_t rgnHeader = 0;
  if (ReadLe(&lbl, 0, 2, lblHeader) || ReadLe(&rgn, 0, 2, rgnHeader)) return 1;
  if (lblHeader >= 236) {
    std::uint8_t b[14];
    if (ReadAt(&lbl, 0xDE, b, 14)) return 1;
    source.tableOffset = Le(b, 4);
    source.tableSize = Le(b + 4, 4);
    source.offsetShift = b[12];
    source.defaultTableId = b[13] & 7;
  }
  if (rgnHeader >= 0x79) {
    if (ReadLe(&rgn, 0x71, 4, source.textTablesOffset) || ReadLe(&rgn, 0x75, 4, source.textTablesLength)) return 1;
  }
  return 0;
}

int MdbFindTextTable(const MdbParagraphSource_t& source, std::uint8_t id, std::uint32_t& size,
                     std::uint32_t& position) {
  const std::uint64_t end = std::uint64_t(source.textTablesOffset) + source.textTablesLength;
  std::uint64_t at = source.textTablesOffset;
  for (unsigned n = 0;; ++n) {
    if (at >= end) return 3;
    std::uint32_t length = 0;
    std::size_t used = 0;
    if (ReadVarintAt(source.rgn, at, length, used)) return 1;
    const std::uint64_t entry = used + std::uint64_t(length);
    if (n == id) {
      if (at + entry > end || entry > 0xFFFFFFFFu) return 1;
      position = static_cast<std::uint32_t>(at);
      size = static_cast<std::uint32_t>(entry);
      return 0;
    }
    at += entry;
  }
}

int MdbOpenParagraph(const MdbParagraphSource_t& source, MdbParagraph_t& state) {
  const std::int32_t number = state.number;
  char* const buffer = state.buffer;
  const std::uint16_t bufferSize = state.bufferSize;
  state = MdbParagraph_t();
  state.number = number;
  state.buffer = buffer;
  state.bufferSize = bufferSize;
  if (buffer && bufferSize > 0) buffer[0] = '\0';
  if (source.offsetShift >= 32) return 1;
  const std::uint64_t position =
      std::uint64_t(source.tableOffset) + (std::uint64_t(static_cast<std::uint32_t>(number)) << source.offsetShift);
  if (position > 0x7FFFFFFF) return 1;
  std::uint8_t sizeByte = 0;
  if (ReadAt(source.lbl, position, &sizeByte, 1)) return 1;
  const unsigned countBytes = (sizeByte & 3) + 1;
  if (ReadLe(source.lbl, position + 1, countBytes, state.partCount)) return 1;
  state.filePosition = static_cast<std::int32_t>(position + 1 + countBytes);
  return MdbReadParagraph(source, state);
}

int MdbReadParagraph(const MdbParagraphSource_t& source, MdbParagraph_t& state) {
  if (state.buffer && state.bufferSize > 0) state.buffer[0] = '\0';
  if (!state.morePending) {
    if (state.partsRead >= state.partCount) return 3;
    // The part's header: its size, the header word, the unpacked length and the table id.
    std::uint64_t at = static_cast<std::uint32_t>(state.filePosition);
    std::uint32_t partSize = 0;
    std::size_t used = 0;
    if (ReadVarintAt(source.lbl, at, partSize, used)) return 1;
    at += used;
    std::uint32_t header = 0;
    if (ReadLe(source.lbl, at, 2, header)) return 1;
    std::uint32_t headerBytes = 2;
    state.compression = static_cast<std::uint8_t>((header >> 10) & 7);
    state.uncompressedLength = 0;
    if (state.compression != 0) {
      const unsigned lengthBytes = ((header >> 13) & 3) + 1;
      if (ReadLe(source.lbl, at + headerBytes, lengthBytes, state.uncompressedLength)) return 1;
      headerBytes += lengthBytes;
    }
    state.tableId = source.defaultTableId;
    if (header & 0x8000) {
      std::uint8_t id = 0;
      if (ReadAt(source.lbl, at + headerBytes, &id, 1)) return 1;
      state.tableId = id;
      headerBytes += 1;
    }
    if (partSize < headerBytes) return 1;
    const std::uint64_t dataStart = at + headerBytes;
    if (dataStart + (partSize - headerBytes) > 0x7FFFFFFF) return 1;
    state.headerLow = static_cast<std::uint8_t>(header & 0xFF);
    state.partBytes = partSize - headerBytes;
    state.filePosition = static_cast<std::int32_t>(dataStart);
    state.delivered = 0;
    state.text.reset();
    ++state.partsRead;
    state.morePending = 1;
  }
  const std::uint64_t dataStart = static_cast<std::uint32_t>(state.filePosition);
  const auto finishPart = [&] {
    state.morePending = 0;
    state.text.reset();
    state.filePosition = static_cast<std::int32_t>(dataStart + state.partBytes);
  };
  // Without a buffer that can hold a byte and its NUL the part is skipped.
  if (!state.buffer || state.bufferSize < 2) {
    finishPart();
    return 0;
  }
  const std::uint32_t room = state.bufferSize - 1u;
  if (state.compression == 0) {
    const std::uint32_t n = std::min(state.partBytes - state.delivered, room);
    if (ReadAt(source.lbl, dataStart + state.delivered, state.buffer, n)) return 1;
    state.buffer[n] = '\0';
    state.delivered += n;
    if (state.delivered >= state.partBytes) finishPart();
    return 0;
  }
  // A compressed part is unpacked whole with its first chunk; the chunks that
  // follow are copied from that text.
  if (!state.text) {
    std::uint32_t tableSize = 0;
    std::uint32_t tablePosition = 0;
    if (const int rc = MdbFindTextTable(source, state.tableId, tableSize, tablePosition)) return rc;
    if (tableSize == 0 || state.partBytes == 0 || state.uncompressedLength == 0) return 2;
    if (tableSize > kMaxParagraphWorkArea || state.partBytes > kMaxParagraphWorkArea ||
        state.uncompressedLength > kMaxParagraphWorkArea)
      return 2;
    std::vector<std::uint8_t> table(tableSize);
    std::vector<std::uint8_t> data(state.partBytes);
    auto text = std::make_shared<std::vector<std::uint8_t>>(state.uncompressedLength);
    if (ReadAt(source.rgn, tablePosition, table.data(), tableSize)) return 1;
    if (ReadAt(source.lbl, dataStart, data.data(), state.partBytes)) return 1;
    std::size_t written = 0;
    std::uint64_t bits = 0;
    // Data that end early still give the text their whole symbols reach; a
    // chunk past it fails.
    if (PrefixDecode(text->data(), static_cast<std::int32_t>(text->size()), table.data(), table.size(), data.data(),
                     data.size(), written, bits))
      text->resize(static_cast<std::size_t>(bits / 8));
    state.text = std::move(text);
  }
  const std::uint32_t n = std::min(state.uncompressedLength - state.delivered, room);
  if (state.text->size() < std::size_t(state.delivered) + n) return 1;
  std::copy_n(state.text->data() + state.delivered, n, state.buffer);
  state.buffer[n] = '\0';
  state.delivered += n;
  if (state.delivered >= state.uncompressedLength) finishPart();
  return 0;
}

MdbParagraphSource_t MdbParagraphSourceOf(MdbMap_t& map) {
  MdbParagraphSource_t source;
  source.lbl = &map.lbl.file;
  source.rgn = &map.rgn.file;
  source.tableOffset = map.lbl.offset222;
  source.tableSize = map.lbl.length222;
  source.offsetShift = map.lbl.bytes234[0];
  source.defaultTableId = map.lbl.bytes234[1] & 7;
  source.textTablesOffset = map.rgn.more[0];
  source.textTablesLength = map.rgn.more[1];
  return source;
}

int MdbOpenParagraph(MdbMap_t& map, MdbParagraph_t& state) {
  return MdbOpenParagraph(MdbParagraphSourceOf(map), state);
}

int MdbReadParagraph(MdbMap_t& map, MdbParagraph_t& state) {
  return MdbReadParagraph(MdbParagraphSourceOf(map), state);
}

}  // namespace mpl
