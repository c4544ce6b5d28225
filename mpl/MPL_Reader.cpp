#include "mpl/MPL_Reader.h"

#include <algorithm>
#include <cstring>

#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Subfile.h"

namespace mpl {

int MdbBufOpen(MdbBufReader_t& reader, const dsk::File_t& subfile, std::uint32_t start, std::uint8_t* window,
               std::uint16_t size) {
  if (!subfile.IsOpen() || size == 0 || !window) return kMdbBadData;
  if (&reader.file != &subfile) {
    try {
      reader.file = subfile;  // closes its own, binds to the same buffer, opens in its mode
    } catch (const dsk::MediaUnavailable_t&) {
      throw;
    } catch (const std::exception&) {
      return kMdbBadData;
    }
  }
  reader.next = start;
  reader.end = MdbSize(subfile);
  reader.count = static_cast<std::uint8_t>(std::min<std::uint16_t>(size, 255));
  reader.index = reader.count;
  reader.filled = 0;
  reader.window = window;
  return kMdbDone;
}

namespace {

// Puts the next bytes of the sub-file at the window's tail.
int Refill(MdbBufReader_t& reader) {
  reader.index = reader.count;
  reader.filled = 0;
  if (reader.count == 0 || reader.next >= reader.end) return kMdbBadData;
  const std::uint32_t r = std::min<std::uint32_t>(reader.count, reader.end - reader.next);
  const std::uint8_t at = static_cast<std::uint8_t>(reader.count - r);
  if (MdbRead(reader.file, reader.next, reader.window + at, r) != kMdbDone) return kMdbBadData;
  reader.index = at;
  reader.filled = static_cast<std::uint8_t>(r);
  reader.next += r;
  return kMdbDone;
}

}  // namespace

int MdbBufRead(MdbBufReader_t& reader, void* destination, std::uint16_t n) {
  auto* out = static_cast<std::uint8_t*>(destination);
  while (n > 0) {
    if (reader.index >= reader.count) {
      const int result = Refill(reader);
      if (result != kMdbDone) return result;
    }
    const std::uint16_t take = std::min<std::uint16_t>(n, static_cast<std::uint16_t>(reader.count - reader.index));
    std::memcpy(out, reader.window + reader.index, take);
    reader.index = static_cast<std::uint8_t>(reader.index + take);
    out += take;
    n = static_cast<std::uint16_t>(n - take);
  }
  return kMdbDone;
}

int MdbBufSeek(MdbBufReader_t& reader, std::uint32_t offset) {
  if (offset >= reader.end) return kMdbBadData;
  if (reader.filled != 0 && offset < reader.next && reader.next - offset <= reader.filled) {
    reader.index = static_cast<std::uint8_t>(reader.count - (reader.next - offset));
    return kMdbDone;
  }
  reader.index = reader.count;
  reader.filled = 0;
  reader.next = offset;
  return kMdbDone;
}

std::uint32_t MdbBufTell(const MdbBufReader_t& reader) {
  return reader.next - static_cast<std::uint32_t>(reader.count - reader.index);
}

namespace {

// The value of a variable-length integer from its first byte and the bytes after it.
std::uint32_t VarintLength(std::uint8_t b) {
  if (b & 1) return 1;
  if (b & 2) return 2;
  if (b & 4) return 3;
  return 4;
}

std::uint32_t VarintValue(std::uint8_t b, const std::uint8_t* more, std::uint32_t got) {
  std::uint32_t value;
  unsigned shift;
  if (b & 1) return b >> 1;
  if (b & 2) {
    value = b >> 2;
    shift = 6;
  } else {
    value = b >> 3;
    shift = 5;
  }
  for (std::uint32_t i = 0; i < got; ++i) value += static_cast<std::uint32_t>(more[i]) << (shift + 8 * i);
  return value;
}

}  // namespace

int MdbBufReadVarint(MdbBufReader_t& reader, std::uint32_t& value) {
  value = 0;
  std::uint8_t b = 0;
  int result = MdbBufRead(reader, &b, 1);
  if (result != kMdbDone) return result;
  const std::uint32_t length = VarintLength(b);
  std::uint8_t more[3] = {};
  std::uint32_t got = 0;
  value = VarintValue(b, more, 0);
  while (got + 1 < length) {
    result = MdbBufRead(reader, &more[got], 1);
    if (result != kMdbDone) return result;
    ++got;
    value = VarintValue(b, more, got);
  }
  return kMdbDone;
}

int MdbReadVarint(dsk::File_t& subfile, std::uint32_t& offset, std::uint32_t& value) {
  value = 0;
  std::uint8_t b = 0;
  int result = MdbRead(subfile, offset, &b, 1);
  if (result != kMdbDone) return result;
  ++offset;
  const std::uint32_t length = VarintLength(b);
  std::uint8_t more[3] = {};
  std::uint32_t got = 0;
  value = VarintValue(b, more, 0);
  while (got + 1 < length) {
    result = MdbRead(subfile, offset, &more[got], 1);
    if (result != kMdbDone) return result;
    ++offset;
    ++got;
    value = VarintValue(b, more, got);
  }
  return kMdbDone;
}

}  // namespace mpl
