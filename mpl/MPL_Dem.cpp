#include "mpl/MPL_Dem.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Subfile.h"

namespace mpl {

const std::uint8_t kMdbDemRunBits[32] = {0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,  2,  3,  3,  3,  3,
                                         4, 4, 5, 5, 6, 6, 7, 7, 8, 9, 10, 11, 12, 13, 14, 15};

MdbDem_t::MdbDem_t(const MdbDem_t& other)
    : file(other.file), metres(other.metres), length(other.length), levels(other.levels) {}

MdbDem_t& MdbDem_t::operator=(const MdbDem_t& other) {
  if (this != &other) {
    file = other.file;
    metres = other.metres;
    length = other.length;
    levels = other.levels;
    MdbDemResetCursor(*this);
  }
  return *this;
}

void MdbDemResetCursor(MdbDem_t& dem) {
  dem.flat = 0;
  dem.special = 0;
  dem.level = kMdbDemNoLevel;
  dem.row = kMdbDemNoRow;
  dem.base = 0;
  dem.tile = kMdbDemNoTile;
  dem.state = nullptr;
  dem.rowCur = nullptr;
  dem.rowPrev = nullptr;
  dem.table = nullptr;
  dem.tableSize = 0;
}

namespace {

constexpr std::int32_t kQuarterTurn = 0x40000000;
// The decoder's result for a run or value that ran past the row's end.
constexpr int kPastRowEnd = 2;

// The decoder works in the state; its read callback gets the map.
struct Coder_t {
  MdbDemState_t& s;

  int NextByte(std::uint8_t& byte) {
    if (s.chunkPos < static_cast<std::int16_t>(kMdbDemChunk)) {
      byte = s.chunk[static_cast<std::size_t>(s.chunkPos++)];
      return kMdbDone;
    }
    const std::uint64_t at = static_cast<std::uint64_t>(s.dataOffset) + s.fetched;
    if (at > 0xFFFFFFFFull || !s.read || !s.data) return kMdbNotFound;
    std::uint32_t position = static_cast<std::uint32_t>(at);
    const int result = s.read(s.chunk.data(), kMdbDemChunk, position, *s.data);
    if (result != kMdbDone) return result;
    s.fetched += kMdbDemChunk;
    s.chunkPos = 1;
    byte = s.chunk[0];
    return kMdbDone;
  }

  int Load() {
    while (s.bitShift >= 0) {
      std::uint8_t byte = 0;
      const int result = NextByte(byte);
      if (result != kMdbDone) return result;
      s.bits |= static_cast<std::uint32_t>(byte) << s.bitShift;
      s.bitShift = static_cast<std::int8_t>(s.bitShift - 8);
    }
    return kMdbDone;
  }

  // The next k (0 to 24) bits as an unsigned number.
  int Read(unsigned k, std::uint32_t& out) {
    if (k == 0) {
      out = 0;
      return kMdbDone;
    }
    out = s.bits >> (32 - k);
    s.bits <<= k;
    s.bitShift = static_cast<std::int8_t>(s.bitShift + static_cast<int>(k));
    return Load();
  }

  // Counts the 0 bits before the next 1 bit and consumes both.
  int Zeros(std::uint64_t& count) {
    count = 0;
    for (;;) {
      std::uint32_t dummy = 0;
      if ((s.bits >> 24) == 0) {
        count += 8;
        const int result = Read(8, dummy);
        if (result != kMdbDone) return result;
        continue;
      }
      const unsigned lead = static_cast<unsigned>(std::countl_zero(s.bits));
      count += lead;
      return Read(lead + 1, dummy);
    }
  }

  void SetRun(unsigned index) {
    s.runIndex = static_cast<std::uint8_t>(index);
    s.runBits = kMdbDemRunBits[index];
    s.runUnit = static_cast<std::uint16_t>(1u << s.runBits);
  }

  int Init() {
    const std::uint32_t m = s.maxDiff;
    const std::uint32_t v = s.quant;
    const std::uint32_t w = 2 * v + 1;
    const std::uint32_t levels = v > 0 ? (m + 2 * v) / w + 1 : m + 1;
    s.levels = static_cast<std::uint16_t>(levels);
    unsigned n = 1;
    while ((1ull << n) < m + 1ull) ++n;
    unsigned q = 1;
    while ((1ull << q) < levels) ++q;
    s.n = static_cast<std::uint8_t>(n);
    s.q = static_cast<std::uint8_t>(q);
    s.escape = n < 8 ? static_cast<std::uint8_t>(2 * n + 15 - q) : static_cast<std::uint8_t>(4 * n - 1 - q);
    for (unsigned k = 0; k < 4; ++k) {
      s.count[k] = 1;
      s.sum[k] = static_cast<std::uint16_t>(std::max<std::uint32_t>(2, (levels + 32) / 64));
      s.bias[k] = 0;
    }
    SetRun(0);
    s.lastRunBits = 0;
    s.bits = 0;
    s.bitShift = 24;
    return Load();
  }

  static unsigned Bits(std::uint32_t count, std::uint32_t e) {
    unsigned b = 0;
    if (count < e) {
      b = 1;
      while ((static_cast<std::uint64_t>(count) << b) < e) ++b;
    }
    return b;
  }

  void UpdateCount(unsigned k) {
    if (s.count[k] == 64) {
      s.count[k] = 32;
      s.sum[k] = static_cast<std::uint16_t>(s.sum[k] >> 1);
      s.bias[k] = static_cast<std::int16_t>(s.bias[k] >> 1);
    }
    ++s.count[k];
  }

  // Wraps and clamps a value into 0..M, in signed 16-bit arithmetic: the
  // value, v, M and the span all wrap at 16 bits, so an M above 32767 or a
  // corrupt value lands where the 16-bit sums put it.
  std::int64_t Wrap(std::int64_t value) const {
    const auto i16 = [](std::int64_t x) { return static_cast<std::int16_t>(x); };
    const std::int16_t v = i16(s.quant);
    const std::int16_t m = i16(s.maxDiff);
    const std::int16_t span = i16(static_cast<std::int64_t>(s.levels) * (2 * static_cast<std::int64_t>(s.quant) + 1));
    std::int16_t h = i16(value);
    if (h < i16(-v))
      h = i16(h + span);
    else if (h > i16(m + v))
      h = i16(h - span);
    if (h < 0)
      h = 0;
    else if (h > m)
      h = m;
    return h;
  }

  // z after its zero count, for an escape threshold t.
  int Magnitude(unsigned b, std::uint32_t t, std::uint64_t& z) {
    int result = Zeros(z);
    if (result != kMdbDone) return result;
    z = std::min<std::uint64_t>(z, 1ull << 40);  // a zero count no sub-file can hold
    if (z < t) {
      std::uint32_t low = 0;
      result = Read(b, low);
      z = (z << b) + low;
    } else {
      std::uint32_t raw = 0;
      result = Read(s.q, raw);
      z = static_cast<std::uint64_t>(raw) + 1;
    }
    // Only a corrupt stream gets this far; the cap keeps the value arithmetic
    // within 64 bits.
    z = std::min<std::uint64_t>(z, 1ull << 40);
    return result;
  }

  int Run(std::uint32_t limit, std::uint32_t& length) {
    std::uint32_t c = 0;
    for (;;) {
      std::uint32_t bit = 0;
      int result = Read(1, bit);
      if (result != kMdbDone) return result;
      if (bit == 0) break;
      c += s.runUnit;
      if (c >= limit) {
        if (c == limit && s.runIndex < 31) SetRun(s.runIndex + 1u);
        length = limit;
        return kMdbDone;
      }
      if (s.runIndex < 31) SetRun(s.runIndex + 1u);
    }
    if (s.runBits > 0) {
      std::uint32_t more = 0;
      const int result = Read(s.runBits, more);
      if (result != kMdbDone) return result;
      c += more;
    }
    s.lastRunBits = static_cast<std::uint8_t>(s.runBits + 1);
    if (s.runIndex > 0) SetRun(s.runIndex - 1u);
    // A run that reaches past the row's end is corrupt, not a short row.
    if (c > limit) return kPastRowEnd;
    length = c;
    return kMdbDone;
  }

  int AfterRun(std::uint32_t left, std::uint32_t up, unsigned f, std::uint16_t& out) {
    const unsigned k = f + 2;
    const std::uint32_t e = s.sum[k] + (f == 1 ? s.count[k] / 2u : 0u);
    const unsigned b = Bits(s.count[k], e);
    const std::uint32_t t = static_cast<std::uint8_t>(s.escape - s.lastRunBits);
    std::uint64_t z = 0;
    const int result = Magnitude(b, t, z);
    if (result != kMdbDone) return result;
    const std::int64_t x =
        (b == 0 && (f == 1 || z != 0) && 2 * static_cast<std::int32_t>(s.bias[k]) < s.count[k]) ? 1 : 0;
    const std::int64_t m = static_cast<std::int64_t>(z) + x + f;
    std::int64_t sv;
    if (m % 2 == 0) {
      sv = m / 2;
    } else {
      sv = x - (m + 1) / 2;
      s.bias[k] = static_cast<std::int16_t>(s.bias[k] + 1);
    }
    const std::int64_t w = 2 * static_cast<std::int64_t>(s.quant) + 1;
    std::int64_t h;
    if (f == 1 || up > left)
      h = static_cast<std::int64_t>(left) + sv * w;
    else if (up < left)
      h = static_cast<std::int64_t>(up) - sv * w;
    else
      h = left;  // f = 0 with up = left cannot occur: the match flag would be set
    h = Wrap(h);
    s.sum[k] = static_cast<std::uint16_t>(s.sum[k] + (sv < 0 ? -sv : sv) - static_cast<std::int64_t>(f));
    UpdateCount(k);
    out = static_cast<std::uint16_t>(h);
    return kMdbDone;
  }

  int Value(std::int64_t prediction, int direction, std::uint16_t& out) {
    const unsigned k = 1;
    const std::int64_t m = s.maxDiff;
    // Streams of tiles whose values fit 15 bits read the prediction as a
    // signed 16-bit value; wider tiles need the full range.
    if (prediction < 0 || (m <= 0x7FFF && prediction > 0x7FFF))
      prediction = 0;
    else if (prediction > m)
      prediction = m;
    const unsigned b = Bits(s.count[k], s.sum[k]);
    std::uint64_t z = 0;
    const int result = Magnitude(b, s.escape, z);
    if (result != kMdbDone) return result;
    const std::int64_t zz = static_cast<std::int64_t>(z);
    std::int64_t sv = zz % 2 == 0 ? zz / 2 : -(zz + 1) / 2;
    if (b == 0 && s.quant == 0 && 2 * static_cast<std::int32_t>(s.bias[k]) <= -static_cast<std::int32_t>(s.count[k]))
      sv = -1 - sv;
    const std::int64_t w = 2 * static_cast<std::int64_t>(s.quant) + 1;
    const std::int64_t h = Wrap(direction > 0 ? prediction + sv * w : prediction - sv * w);
    std::int64_t bias = s.bias[k] + sv * w;
    s.sum[k] = static_cast<std::uint16_t>(s.sum[k] + (sv < 0 ? -sv : sv));
    if (s.count[k] == 64) {
      s.count[k] = 32;
      s.sum[k] = static_cast<std::uint16_t>(s.sum[k] >> 1);
      bias >>= 1;
    }
    ++s.count[k];
    const std::int64_t n = s.count[k];
    if (bias <= -n) {
      bias += n;
      if (bias <= -n) bias = 1 - n;
    } else if (bias > 0) {
      bias -= n;
      if (bias > 0) bias = 0;
    }
    s.bias[k] = static_cast<std::int16_t>(bias);
    out = static_cast<std::uint16_t>(h);
    return kMdbDone;
  }

  int Row(const std::uint16_t* p, std::uint16_t* c) {
    if (s.rowsDecoded != 0xFFFF && s.rowsDecoded >= s.height) return 1;
    const std::uint32_t width = s.width;
    const std::int32_t v = s.quant;
    int result = kMdbDone;
    c[0] = p[1];
    std::uint32_t left = c[0];
    std::uint32_t i = 1;
    while (i <= width) {
      std::uint32_t up = p[i];
      const std::uint32_t upperLeft = p[i - 1];
      if (std::abs(static_cast<std::int32_t>(up) - static_cast<std::int32_t>(left)) <= v) {
        std::uint32_t run = 0;
        result = Run(width - i + 1, run);
        if (result != kMdbDone) break;
        for (std::uint32_t j = 0; j < run; ++j) c[i + j] = static_cast<std::uint16_t>(left);
        i += run;
        if (i > width) break;
        up = p[i];
        const unsigned f = std::abs(static_cast<std::int32_t>(up) - static_cast<std::int32_t>(left)) <= v ? 1 : 0;
        result = AfterRun(left, up, f, c[i]);
      } else {
        const std::int64_t prediction = static_cast<std::int64_t>(left) + up - upperLeft;
        result = Value(prediction, left < up ? 1 : -1, c[i]);
      }
      if (result != kMdbDone) break;
      left = c[i];
      ++i;
    }
    s.rowsDecoded = static_cast<std::uint16_t>(s.rowsDecoded + 1);
    return result;
  }
};

const MdbDemLevel_t* CurrentLevel(const MdbMap_t& map) {
  if (map.dem.level >= kMdbLevels) return nullptr;
  return &map.dem.levels[map.dem.level];
}

std::uint32_t RowValues(const MdbDemLevel_t& level) {
  return static_cast<std::uint32_t>(std::max(level.tileWidth, level.lastColWidth)) + 3;
}

// Brings row r of the current tile into the current-row buffer.
int AdvanceRows(MdbMap_t& map, std::uint16_t r) {
  MdbDemState_t& s = *map.dem.state;
  if (r >= s.height) return kMdbNotFound;
  if (s.rowsDecoded == r + 1) return kMdbDone;
  Coder_t coder{s};
  if (s.rowsDecoded == 0xFFFF || s.rowsDecoded > r + 1) {
    const std::size_t values = static_cast<std::size_t>(s.width) + 3;
    std::memset(map.dem.rowCur, 0, values * 2);
    std::memset(map.dem.rowPrev, 0, values * 2);
    s.fetched = 0;
    s.rowsDecoded = 0;
    s.chunkPos = static_cast<std::int16_t>(kMdbDemChunk);
    int result = coder.Init();
    if (result == kMdbDone) result = coder.Row(map.dem.rowPrev, map.dem.rowCur);
    if (result != kMdbDone) return result;
  }
  while (s.rowsDecoded < r + 1) {
    std::swap(map.dem.rowCur, map.dem.rowPrev);
    const int result = coder.Row(map.dem.rowPrev, map.dem.rowCur);
    if (result != kMdbDone) return result;
  }
  return kMdbDone;
}

}  // namespace

int MdbDemReadChunk(std::uint8_t* destination, std::uint32_t length, std::uint32_t& position, MdbMap_t& map) {
  if (!map.dem.file.IsOpen()) return kMdbNotFound;
  const std::uint32_t end = map.dem.length;
  if (position > end) return kMdbNotFound;
  const std::uint32_t n = std::min(length, end - position);
  if (n > 0 && MdbRead(map.dem.file, position, destination, n) != kMdbDone) return kMdbNotFound;
  std::memset(destination + n, 0, length - n);
  position += n;
  return kMdbDone;
}

int MdbDemReadHeader(MdbMap_t& map) {
  MdbDem_t& dem = map.dem;
  if (!dem.file.IsOpen()) return kMdbBadData;
  std::uint8_t h[37] = {};
  if (MdbRead(dem.file, 0, h, 14) != kMdbDone || std::memcmp(h + 2, "VORTAN DEM", 10) != 0) return kMdbBadData;
  if ((MdbGet16(h + 12) & 0x7FFF) != 1) return kMdbNotFound;
  const std::int64_t end = MdbSeek(dem.file, 0, 2);
  if (end < 0) return kMdbBadData;
  dem.length = static_cast<std::uint32_t>(end);
  if (MdbRead(dem.file, 21, h + 21, 16) != kMdbDone) return kMdbBadData;
  const std::uint32_t flags = MdbGet32(h + 21) & 3;
  if (flags >= 2) return kMdbNotFound;
  dem.metres = flags == 0 ? 1 : 0;
  const std::uint16_t count = MdbGet16(h + 25);
  const std::uint16_t stride = MdbGet16(h + 31);
  const std::uint32_t first = MdbGet32(h + 33);
  bool stored = false;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint64_t at = first + static_cast<std::uint64_t>(i) * stride;
    if (at + 60 > 0xFFFFFFFFull) return kMdbBadData;
    std::uint8_t kind = 0;
    if (MdbRead(dem.file, static_cast<std::int64_t>(at), &kind, 1) != kMdbDone) return kMdbBadData;
    if (kind != 0) continue;
    const int result = MdbDemReadLevel(map, static_cast<std::uint32_t>(at + 1));
    if (result != kMdbDone) return result;
    stored = true;
  }
  if (!stored) return kMdbNotFound;
  MdbDemResetCursor(dem);
  return kMdbDone;
}

int MdbDemReadLevel(MdbMap_t& map, std::uint32_t offset) {
  std::uint8_t r[60] = {};
  if (MdbRead(map.dem.file, offset, r + 1, 59) != kMdbDone) return kMdbBadData;
  const unsigned number = r[1];
  if (number > 8 || number < map.tre.lowestLevel || number > map.tre.highestLevel) return kMdbBadData;
  MdbDemLevel_t l;
  l.tileWidth = static_cast<std::uint16_t>(MdbGet32(r + 2));
  l.tileHeight = static_cast<std::uint16_t>(MdbGet32(r + 6));
  l.lastRowHeight = static_cast<std::uint16_t>(MdbGet32(r + 10) + 1);
  l.lastColWidth = static_cast<std::uint16_t>(MdbGet32(r + 14) + 1);
  l.quant = MdbGet16(r + 18);
  const std::uint64_t cols = static_cast<std::uint64_t>(MdbGet32(r + 20)) + 1;
  const std::uint64_t rows = static_cast<std::uint64_t>(MdbGet32(r + 24)) + 1;
  // The counts must fit their fields, and so must the number of tiles.
  if (cols > 0xFFFFFFFFull || rows > 0xFFFFFFFFull || cols * rows > 0xFFFFFFFFull) return kMdbBadData;
  l.tileCols = static_cast<std::uint32_t>(cols);
  l.tileRows = static_cast<std::uint32_t>(rows);
  l.recordFlags = MdbGet16(r + 28);
  l.recordSize = MdbGet16(r + 30);
  l.tableOffset = MdbGet32(r + 32);
  l.dataOffset = MdbGet32(r + 36);
  l.west = static_cast<std::int32_t>(MdbGet32(r + 40));
  l.north = static_cast<std::int32_t>(MdbGet32(r + 44));
  l.latStep = static_cast<std::int32_t>(MdbGet32(r + 48));
  l.lonStep = static_cast<std::int32_t>(MdbGet32(r + 52));
  l.lowest = static_cast<std::int16_t>(MdbGet16(r + 56));
  l.highest = static_cast<std::int16_t>(MdbGet16(r + 58));
  if (l.latStep <= 0 || l.lonStep <= 0) return kMdbBadData;
  const std::int64_t gridCols = static_cast<std::int64_t>(l.tileWidth) * static_cast<std::int64_t>(cols - 1) + l.lastColWidth;
  const std::int64_t gridRows =
      static_cast<std::int64_t>(l.tileHeight) * static_cast<std::int64_t>(rows - 1) + l.lastRowHeight;
  // South must stay within 90 degrees: a grid taller than that is refused
  // before its extent is multiplied out.
  if (l.north < -kQuarterTurn || l.north > kQuarterTurn || gridRows > 2 * static_cast<std::int64_t>(kQuarterTurn) / l.latStep)
    return kMdbBadData;
  const std::int64_t south = static_cast<std::int64_t>(l.north) - gridRows * l.latStep;
  if (south < -kQuarterTurn || south > kQuarterTurn) return kMdbBadData;
  l.south = static_cast<std::int32_t>(south);
  // East = west + columns x step; past 0x7FFFFFFF a grid from -180 degrees
  // spans the globe, any other wraps (the sum's low 32 bits).
  const std::uint64_t room = static_cast<std::uint64_t>(0x7FFFFFFFll - l.west);
  const std::uint64_t width = static_cast<std::uint64_t>(gridCols);
  const std::uint64_t step = static_cast<std::uint64_t>(l.lonStep);
  if (width > room / step) {
    l.east = l.west == static_cast<std::int32_t>(0x80000000u)
                 ? 0x7FFFFFFF
                 : static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(l.west) + width * step));
  } else {
    l.east = static_cast<std::int32_t>(static_cast<std::int64_t>(l.west) + gridCols * l.lonStep);
  }
  map.dem.levels[number] = l;
  return kMdbDone;
}

std::uint32_t MdbDemWorkSize(const MdbMap_t& map, unsigned level) {
  if (!map.dem.file.IsOpen() || level > 8 || level < map.tre.lowestLevel || level > map.tre.highestLevel) return 0;
  const MdbDemLevel_t& l = map.dem.levels[level];
  // A level without tiles, or with tiles of no points, cannot be decoded.
  if (l.recordSize == 0 || l.tileWidth == 0 || l.tileHeight == 0 || l.tileCols == 0 || l.tileRows == 0) return 0;
  const std::uint32_t state = (sizeof(MdbDemState_t) + 7u) & ~7u;
  return state + 2 * RowValues(l) * 2;
}

int MdbDemSelectLevel(MdbMap_t& map, unsigned level, void* buffer, std::uint32_t size, std::uint32_t& used) {
  MdbDem_t& dem = map.dem;
  MdbDemResetCursor(dem);
  used = 0;
  const std::uint32_t work = MdbDemWorkSize(map, level);
  if (work == 0 || !buffer) return kMdbNotFound;
  // The state needs its natural alignment; an unaligned buffer counts as too small.
  if (size < work || reinterpret_cast<std::uintptr_t>(buffer) % alignof(MdbDemState_t) != 0) return kMdbNoMemory;
  const MdbDemLevel_t& l = dem.levels[level];
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  std::memset(bytes, 0, size);
  const std::uint32_t stateSize = (sizeof(MdbDemState_t) + 7u) & ~7u;
  auto* state = new (bytes) MdbDemState_t();
  auto* cur = reinterpret_cast<std::uint16_t*>(bytes + stateSize);
  std::uint16_t* prev = cur + RowValues(l);
  const std::uint64_t tableSize = static_cast<std::uint64_t>(l.recordSize) * l.tileCols * l.tileRows;
  const std::uint8_t* table = nullptr;
  if (tableSize <= 65535 && size - work >= tableSize) {
    if (MdbRead(dem.file, l.tableOffset, bytes + work, static_cast<std::uint32_t>(tableSize)) != kMdbDone) {
      state->~MdbDemState_t();
      return kMdbBadData;
    }
    table = bytes + work;
    used = work + static_cast<std::uint32_t>(tableSize);
  } else {
    used = work;
  }
  state->read = &MdbDemReadChunk;
  state->data = &map;
  state->quant = l.quant;
  dem.state = state;
  dem.rowCur = cur;
  dem.rowPrev = prev;
  dem.table = table;
  dem.tableSize = table ? static_cast<std::uint32_t>(tableSize) : 0;
  dem.level = static_cast<std::uint8_t>(level);
  return kMdbDone;
}

int MdbDemTileSize(const MdbMap_t& map, std::uint32_t tile, std::uint16_t& height, std::uint16_t& width,
                   bool& lastCol, bool& lastRow) {
  height = width = 0;
  lastCol = lastRow = false;
  const MdbDemLevel_t* l = CurrentLevel(map);
  if (!l || l->tileCols == 0 || l->tileRows == 0) return kMdbNotFound;
  const std::uint32_t row = tile / l->tileCols;
  const std::uint32_t col = tile % l->tileCols;
  lastRow = row + 1 >= l->tileRows;
  lastCol = col + 1 == l->tileCols;
  height = lastRow ? l->lastRowHeight : l->tileHeight;
  width = lastCol ? l->lastColWidth : l->tileWidth;
  return kMdbDone;
}

int MdbDemReadTileRecord(MdbMap_t& map, std::uint32_t tile, MdbDemState_t& state, std::uint8_t& flat) {
  MdbDem_t& dem = map.dem;
  state.maxDiff = 0;
  state.width = state.height = 0;
  state.dataOffset = 0;
  state.fetched = 0;
  dem.base = 0;
  dem.special = 0;
  dem.flat = 0;
  flat = 0;
  const MdbDemLevel_t* l = CurrentLevel(map);
  if (!l) return kMdbBadData;
  if (static_cast<std::uint64_t>(tile) >= static_cast<std::uint64_t>(l->tileCols) * l->tileRows) return kMdbBadData;
  const unsigned f = l->recordFlags;
  const unsigned offsetBytes = (f & 3) + 1;
  const unsigned baseBytes = (f & 4) ? 2 : 1;
  const unsigned diffBytes = (f & 8) ? 2 : 1;
  const unsigned need = offsetBytes + baseBytes + diffBytes + ((f & 16) ? 1 : 0);
  std::uint8_t r[9] = {};  // at most 4 + 2 + 2 + 1 bytes
  const std::uint64_t at = static_cast<std::uint64_t>(tile) * l->recordSize;
  if (dem.table) {
    if (at + need > dem.tableSize) return kMdbBadData;
    std::memcpy(r, dem.table + at, need);
  } else {
    const std::uint64_t position = l->tableOffset + at;
    if (position + need > 0xFFFFFFFFull) return kMdbBadData;
    if (MdbRead(dem.file, static_cast<std::int64_t>(position), r, need) != kMdbDone) return kMdbBadData;
  }
  std::uint32_t dataOffset = 0;
  for (unsigned i = 0; i < offsetBytes; ++i) dataOffset |= static_cast<std::uint32_t>(r[i]) << (8 * i);
  const std::uint8_t* p = r + offsetBytes;
  const std::int16_t base =
      baseBytes == 2 ? static_cast<std::int16_t>(MdbGet16(p)) : static_cast<std::int16_t>(static_cast<std::int8_t>(p[0]));
  p += baseBytes;
  const std::uint16_t maxDiff = diffBytes == 2 ? MdbGet16(p) : p[0];
  p += diffBytes;
  dem.special = (f & 16) ? p[0] : 0;
  dem.base = base;
  if (maxDiff == 0) {
    dem.flat = 1;
    flat = 1;
  } else {
    const std::uint64_t absolute = static_cast<std::uint64_t>(l->dataOffset) + dataOffset;
    if (absolute > 0xFFFFFFFFull) return kMdbBadData;
    state.maxDiff = maxDiff;
    state.dataOffset = static_cast<std::uint32_t>(absolute);
  }
  bool lastCol = false, lastRow = false;
  return MdbDemTileSize(map, tile, state.height, state.width, lastCol, lastRow) == kMdbDone ? kMdbDone
                                                                                              : kMdbBadData;
}

int MdbDemGetRow(MdbMap_t& map, std::uint32_t tile, std::uint16_t row) {
  MdbDem_t& dem = map.dem;
  if (!dem.file.IsOpen() || dem.level >= kMdbLevels || !dem.state) return kMdbBadData;
  MdbDemState_t& s = *dem.state;
  s.data = &map;
  if (tile == dem.tile && row == dem.row) return kMdbDone;
  if (tile != dem.tile) {
    // No tile is current while its record is read, so a failure leaves none.
    dem.tile = kMdbDemNoTile;
    dem.row = kMdbDemNoRow;
    s.rowsDecoded = 0xFFFF;
    std::uint8_t flat = 0;
    const int result = MdbDemReadTileRecord(map, tile, s, flat);
    if (result != kMdbDone) return result;
    dem.tile = tile;
  }
  if (dem.flat) {
    const std::size_t values = RowValues(dem.levels[dem.level]) - 2;
    std::memset(dem.rowCur, 0, values * 2);
    std::memset(dem.rowPrev, 0, values * 2);
    dem.row = row;
    return kMdbDone;
  }
  // When advancing fails, or an unavailable medium passes through it, what was
  // decoded is incomplete: the next request starts the tile over.
  const auto startOver = [&] {
    s.rowsDecoded = 0xFFFF;
    dem.row = kMdbDemNoRow;
  };
  int result = kMdbDone;
  try {
    result = AdvanceRows(map, row);
  } catch (...) {
    startOver();
    throw;
  }
  if (result != kMdbDone) {
    startOver();
    return result;
  }
  dem.row = row;
  return kMdbDone;
}

void MdbDemToHeight(const MdbMap_t& map, std::int32_t& value, int& status) {
  const MdbDem_t& dem = map.dem;
  const MdbDemState_t* s = dem.state;
  if (!s || dem.level >= kMdbLevels) {
    status = 1;
    return;
  }
  status = 0;
  const unsigned special = dem.special;
  if (dem.flat) {
    if (special & 1)
      value = kMdbDemWater;
    else if (special & 0xFE)
      value = kMdbDemNoData;
    else
      value = dem.base;
    return;
  }
  const std::int64_t v = s->quant;
  const std::int64_t r = value;
  std::int64_t limit = static_cast<std::int64_t>(s->maxDiff) + 1;
  unsigned shift = 0;
  if (special & 1) {
    limit = static_cast<std::int64_t>(s->maxDiff) - v;
    shift = 1;
  }
  for (unsigned bit = 1; bit < 8; ++bit)
    if (special & (1u << bit)) limit -= (v << shift) + 1;
  if ((special & 1) && limit <= r && r <= limit + 2 * v) {
    value = kMdbDemWater;
  } else if (r >= limit) {
    value = kMdbDemNoData;
  } else {
    const MdbDemLevel_t& l = dem.levels[dem.level];
    std::int64_t h = r + dem.base;
    h = std::min<std::int64_t>(h, l.highest);
    h = std::max<std::int64_t>(h, l.lowest);
    value = static_cast<std::int32_t>(h);
  }
}

int MdbDemDecodeTile(std::int16_t* heights, MdbMap_t& map, std::uint32_t tile) {
  std::uint16_t height = 0, width = 0;
  bool lastCol = false, lastRow = false;
  int result = MdbDemTileSize(map, tile, height, width, lastCol, lastRow);
  if (result != kMdbDone) return result;
  for (std::uint16_t row = 0; row < height; ++row) {
    result = MdbDemGetRow(map, tile, row);
    if (result != kMdbDone) return result;
    const std::uint16_t* values = map.dem.rowCur;
    for (std::uint16_t col = 0; col < width; ++col) {
      std::int32_t value = values[col + 1];
      int status = 0;
      MdbDemToHeight(map, value, status);
      if (status != 0) return kMdbBadData;
      heights[static_cast<std::size_t>(row) * width + col] = static_cast<std::int16_t>(value);
    }
  }
  return kMdbDone;
}

}  // namespace mpl
