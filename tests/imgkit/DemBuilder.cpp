#include "tests/imgkit/DemBuilder.h"

#include <algorithm>
#include <cstdlib>
#include <random>
#include <stdexcept>

#include "tests/imgkit/SubfileHeader.h"

namespace imgkit {

namespace {

const std::uint8_t kRunBits[32] = {0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,  2,  3,  3,  3,  3,
                                   4, 4, 5, 5, 6, 6, 7, 7, 8, 9, 10, 11, 12, 13, 14, 15};

struct BitWriter_t {
  std::string bytes;
  unsigned used = 8;  // bits used in the last byte
  void Bit(unsigned b) {
    if (used == 8) {
      bytes.push_back('\0');
      used = 0;
    }
    if (b) bytes.back() = static_cast<char>(static_cast<unsigned char>(bytes.back()) | (0x80u >> used));
    ++used;
  }
  void Bits(std::uint64_t value, unsigned k) {
    for (unsigned i = k; i > 0; --i) Bit(static_cast<unsigned>((value >> (i - 1)) & 1));
  }
  void Zeros(std::uint64_t n) {
    for (std::uint64_t i = 0; i < n; ++i) Bit(0);
  }
};

// The coder's adaptive state, kept exactly as a decoder keeps it.
struct Encoder_t {
  BitWriter_t out;
  std::int64_t m = 0, v = 0, levels = 0, w = 1;
  unsigned n = 1, q = 1;
  std::uint8_t escape = 0, lastRunBits = 0, runIndex = 0, runBits = 0;
  std::uint16_t runUnit = 1;
  std::uint8_t count[4] = {};
  std::uint16_t sum[4] = {};
  std::int16_t bias[4] = {};

  void SetRun(unsigned index) {
    runIndex = static_cast<std::uint8_t>(index);
    runBits = kRunBits[index];
    runUnit = static_cast<std::uint16_t>(1u << runBits);
  }

  Encoder_t(std::uint16_t maxDiff, std::uint16_t quant) : m(maxDiff), v(quant) {
    w = 2 * v + 1;
    levels = v > 0 ? (m + 2 * v) / w + 1 : m + 1;
    while ((1ll << n) < m + 1) ++n;
    while ((1ll << q) < levels) ++q;
    escape = n < 8 ? static_cast<std::uint8_t>(2 * n + 15 - q) : static_cast<std::uint8_t>(4 * n - 1 - q);
    for (int k = 0; k < 4; ++k) {
      count[k] = 1;
      sum[k] = static_cast<std::uint16_t>(std::max<std::int64_t>(2, (levels + 32) / 64));
    }
    SetRun(0);
  }

  static unsigned BitsFor(std::uint32_t c, std::uint32_t e) {
    if (c >= e) return 0;
    unsigned b = 1;
    while ((static_cast<std::uint64_t>(c) << b) < e) ++b;
    return b;
  }

  // In signed 16-bit arithmetic throughout.
  std::int64_t Wrap(std::int64_t value) const {
    const auto i16 = [](std::int64_t x) { return static_cast<std::int16_t>(x); };
    const std::int16_t v16 = i16(v), m16 = i16(m), span = i16(levels * w);
    std::int16_t h = i16(value);
    if (h < i16(-v16))
      h = i16(h + span);
    else if (h > i16(m16 + v16))
      h = i16(h - span);
    if (h < 0) return 0;
    return h > m16 ? m16 : h;
  }

  // Can z be written with threshold t? Writes it when 'write'.
  bool Emit(std::uint64_t z, unsigned b, unsigned t, bool write) {
    if ((z >> b) < t) {
      if (write) {
        out.Zeros(z >> b);
        out.Bit(1);
        out.Bits(z & ((1ull << b) - 1), b);
      }
      return true;
    }
    if (z == 0 || z - 1 >= (1ull << q)) return false;
    if (write) {
      out.Zeros(t);
      out.Bit(1);
      out.Bits(z - 1, q);
    }
    return true;
  }

  void Run(std::uint32_t length, std::uint32_t limit) {
    std::uint32_t c = 0;
    if (length == limit) {
      for (;;) {
        out.Bit(1);
        c += runUnit;
        if (c >= limit) {
          if (c == limit && runIndex < 31) SetRun(runIndex + 1u);
          return;
        }
        if (runIndex < 31) SetRun(runIndex + 1u);
      }
    }
    while (c + runUnit <= length) {
      out.Bit(1);
      c += runUnit;
      if (runIndex < 31) SetRun(runIndex + 1u);
    }
    out.Bit(0);
    out.Bits(length - c, runBits);
    lastRunBits = static_cast<std::uint8_t>(runBits + 1);
    if (runIndex > 0) SetRun(runIndex - 1u);
  }

  std::uint16_t AfterRun(std::int64_t target, std::int64_t left, std::int64_t up, unsigned f) {
    const unsigned k = f + 2;
    const std::uint32_t e = sum[k] + (f == 1 ? count[k] / 2u : 0u);
    const unsigned b = BitsFor(count[k], e);
    const unsigned t = static_cast<std::uint8_t>(escape - lastRunBits);
    auto decode = [&](std::uint64_t z, std::int64_t& sv, bool& odd, std::int64_t& x) {
      x = (b == 0 && (f == 1 || z != 0) && 2 * bias[k] < count[k]) ? 1 : 0;
      const std::int64_t mm = static_cast<std::int64_t>(z) + x + f;
      odd = mm % 2 != 0;
      sv = odd ? x - (mm + 1) / 2 : mm / 2;
      std::int64_t h = (f == 1 || up > left) ? left + sv * w : up - sv * w;
      return Wrap(h);
    };
    std::uint64_t best = 0;
    std::int64_t bestError = -1;
    for (std::uint64_t z = 0; z <= static_cast<std::uint64_t>(2 * levels + 4); ++z) {
      if (!Emit(z, b, t, false)) continue;
      std::int64_t sv = 0, x = 0;
      bool odd = false;
      const std::int64_t error = std::llabs(decode(z, sv, odd, x) - target);
      if (bestError < 0 || error < bestError) {
        best = z;
        bestError = error;
        if (error == 0) break;
      }
    }
    if (bestError < 0) throw std::logic_error("value after a run cannot be coded");
    Emit(best, b, t, true);
    std::int64_t sv = 0, x = 0;
    bool odd = false;
    const std::int64_t h = decode(best, sv, odd, x);
    if (odd) bias[k] = static_cast<std::int16_t>(bias[k] + 1);
    sum[k] = static_cast<std::uint16_t>(sum[k] + std::llabs(sv) - f);
    if (count[k] == 64) {
      count[k] = 32;
      sum[k] = static_cast<std::uint16_t>(sum[k] >> 1);
      bias[k] = static_cast<std::int16_t>(bias[k] >> 1);
    }
    ++count[k];
    return static_cast<std::uint16_t>(h);
  }

  std::uint16_t Value(std::int64_t target, std::int64_t p, int d) {
    const unsigned k = 1;
    if (p < 0 || (m <= 0x7FFF && p > 0x7FFF))
      p = 0;
    else if (p > m)
      p = m;
    const unsigned b = BitsFor(count[k], sum[k]);
    auto decode = [&](std::uint64_t z, std::int64_t& sv) {
      const std::int64_t zz = static_cast<std::int64_t>(z);
      sv = zz % 2 == 0 ? zz / 2 : -(zz + 1) / 2;
      if (b == 0 && v == 0 && 2 * bias[k] <= -count[k]) sv = -1 - sv;
      return Wrap(d > 0 ? p + sv * w : p - sv * w);
    };
    std::uint64_t best = 0;
    std::int64_t bestError = -1;
    for (std::uint64_t z = 0; z <= static_cast<std::uint64_t>(2 * levels + 4); ++z) {
      if (!Emit(z, b, escape, false)) continue;
      std::int64_t sv = 0;
      const std::int64_t error = std::llabs(decode(z, sv) - target);
      if (bestError < 0 || error < bestError) {
        best = z;
        bestError = error;
        if (error == 0) break;
      }
    }
    if (bestError < 0) throw std::logic_error("predicted value cannot be coded");
    Emit(best, b, escape, true);
    std::int64_t sv = 0;
    const std::int64_t h = decode(best, sv);
    std::int64_t nb = bias[k] + sv * w;
    sum[k] = static_cast<std::uint16_t>(sum[k] + std::llabs(sv));
    if (count[k] == 64) {
      count[k] = 32;
      sum[k] = static_cast<std::uint16_t>(sum[k] >> 1);
      nb >>= 1;
    }
    ++count[k];
    const std::int64_t c = count[k];
    if (nb <= -c) {
      nb += c;
      if (nb <= -c) nb = 1 - c;
    } else if (nb > 0) {
      nb -= c;
      if (nb > 0) nb = 0;
    }
    bias[k] = static_cast<std::int16_t>(nb);
    return static_cast<std::uint16_t>(h);
  }
};

}  // namespace

DemCoded_t EncodeDemTile(const std::vector<std::uint16_t>& values, std::uint16_t width, std::uint16_t height,
                         std::uint16_t maxDiff, std::uint16_t quant) {
  if (values.size() != static_cast<std::size_t>(width) * height) throw std::invalid_argument("tile values");
  Encoder_t e(maxDiff, quant);
  DemCoded_t coded;
  coded.decoded.resize(values.size());
  std::vector<std::uint16_t> p(static_cast<std::size_t>(width) + 3, 0), c(p.size(), 0);
  const std::int64_t v = quant;
  for (std::uint32_t row = 0; row < height; ++row) {
    const std::uint16_t* target = values.data() + static_cast<std::size_t>(row) * width;
    c[0] = p[1];
    std::int64_t left = c[0];
    std::uint32_t i = 1;
    while (i <= width) {
      std::int64_t up = p[i];
      const std::int64_t upperLeft = p[i - 1];
      if (std::llabs(up - left) <= v) {
        const std::uint32_t limit = width - i + 1;
        std::uint32_t length = 0;
        while (length < limit && std::llabs(static_cast<std::int64_t>(target[i - 1 + length]) - left) <= v) ++length;
        e.Run(length, limit);
        for (std::uint32_t j = 0; j < length; ++j) c[i + j] = static_cast<std::uint16_t>(left);
        i += length;
        if (i > width) break;
        up = p[i];
        c[i] = e.AfterRun(target[i - 1], left, up, std::llabs(up - left) <= v ? 1 : 0);
      } else {
        c[i] = e.Value(target[i - 1], left + up - upperLeft, left < up ? 1 : -1);
      }
      left = c[i];
      ++i;
    }
    std::copy(c.begin() + 1, c.begin() + 1 + width, coded.decoded.begin() + static_cast<std::ptrdiff_t>(row) * width);
    std::swap(p, c);
  }
  coded.bytes = e.out.bytes;
  return coded;
}

std::uint16_t DemLevel_t::RecordBytes() const {
  return static_cast<std::uint16_t>((recordFlags & 3) + 1 + ((recordFlags & 4) ? 2 : 1) + ((recordFlags & 8) ? 2 : 1) +
                                    ((recordFlags & 16) ? 1 : 0));
}

void DemTileSize(const DemLevel_t& level, std::uint32_t tile, std::uint32_t& width, std::uint32_t& height) {
  const std::uint32_t col = tile % level.tileCols;
  const std::uint32_t row = tile / level.tileCols;
  width = col + 1 == level.tileCols ? level.lastColWidth : level.tileWidth;
  height = row + 1 == level.tileRows ? level.lastRowHeight : level.tileHeight;
}

std::string DemBuilder_t::Build(DemLayout_t* layout) const {
  std::string s = CommonHeader(41, "DEM", Date_t(), format);
  s.resize(41, '\0');
  Put32(s, 21, flags);
  Put16(s, 25, static_cast<std::uint32_t>(levels.size()));
  Put32(s, 27, 0);
  Put16(s, 31, stride);
  Put32(s, 33, 41);
  s.resize(41 + static_cast<std::size_t>(stride) * levels.size(), '\0');
  DemLayout_t local;
  for (std::size_t li = 0; li < levels.size(); ++li) {
    const DemLevel_t& l = levels[li];
    const std::uint32_t tiles = l.tileCols * l.tileRows;
    const std::uint16_t recordSize = l.recordSize.value_or(l.RecordBytes());
    const std::uint32_t tableOffset = static_cast<std::uint32_t>(s.size());
    std::string table(static_cast<std::size_t>(recordSize) * tiles, '\0');
    std::string data;
    std::vector<std::vector<std::uint16_t>> decoded(tiles);
    for (std::uint32_t n = 0; n < tiles; ++n) {
      DemTile_t t = n < l.tiles.size() ? l.tiles[n] : DemTile_t();
      std::uint32_t at = static_cast<std::uint32_t>(data.size());
      if (t.maxDiff != 0) {
        std::uint32_t width = 0, height = 0;
        DemTileSize(l, n, width, height);
        if (t.stream) {
          data += *t.stream;
        } else {
          DemCoded_t coded = EncodeDemTile(t.values, static_cast<std::uint16_t>(width),
                                           static_cast<std::uint16_t>(height), t.maxDiff, l.quant);
          data += coded.bytes;
          decoded[n] = coded.decoded;
        }
      }
      if (t.dataOffset) at = *t.dataOffset;
      std::string r;
      const unsigned offsetBytes = (l.recordFlags & 3) + 1;
      // Fields that do not fit their widths would be silently cut.
      if ((offsetBytes < 4 && at >= (1u << (8 * offsetBytes))) || (!(l.recordFlags & 4) && (t.base < -128 || t.base > 127)) ||
          (!(l.recordFlags & 8) && t.maxDiff > 255))
        throw std::invalid_argument("tile record field too wide for the level's record flags");
      for (unsigned i = 0; i < offsetBytes; ++i) r.push_back(static_cast<char>((at >> (8 * i)) & 0xFF));
      r.push_back(static_cast<char>(t.base & 0xFF));
      if (l.recordFlags & 4) r.push_back(static_cast<char>((t.base >> 8) & 0xFF));
      r.push_back(static_cast<char>(t.maxDiff & 0xFF));
      if (l.recordFlags & 8) r.push_back(static_cast<char>(t.maxDiff >> 8));
      if (l.recordFlags & 16) r.push_back(static_cast<char>(t.special));
      r.resize(std::max<std::size_t>(r.size(), recordSize), '\0');
      table.replace(static_cast<std::size_t>(n) * recordSize, std::min<std::size_t>(recordSize, r.size()), r, 0,
                    std::min<std::size_t>(recordSize, r.size()));
    }
    s += table;
    const std::uint32_t dataOffset = static_cast<std::uint32_t>(s.size());
    s += data;
    s += std::string(4, '\0');  // the decoder loads four bytes ahead
    local.tableOffsets.push_back(tableOffset);
    local.dataOffsets.push_back(dataOffset);
    local.decoded.push_back(decoded);

    const std::size_t rec = 41 + static_cast<std::size_t>(stride) * li;
    Put8(s, rec, l.kind);
    Put8(s, rec + 1, l.level);
    Put32(s, rec + 2, l.tileWidth);
    Put32(s, rec + 6, l.tileHeight);
    Put32(s, rec + 10, l.lastRowHeight - 1);
    Put32(s, rec + 14, l.lastColWidth - 1);
    Put16(s, rec + 18, l.quant);
    Put32(s, rec + 20, l.storedCols.value_or(l.tileCols - 1));
    Put32(s, rec + 24, l.storedRows.value_or(l.tileRows - 1));
    Put16(s, rec + 28, l.recordFlags);
    Put16(s, rec + 30, recordSize);
    Put32(s, rec + 32, l.tableOffset.value_or(tableOffset));
    Put32(s, rec + 36, l.dataOffset.value_or(dataOffset));
    Put32(s, rec + 40, static_cast<std::uint32_t>(l.west));
    Put32(s, rec + 44, static_cast<std::uint32_t>(l.north));
    Put32(s, rec + 48, static_cast<std::uint32_t>(l.latStep));
    Put32(s, rec + 52, static_cast<std::uint32_t>(l.lonStep));
    Put16(s, rec + 56, static_cast<std::uint16_t>(l.lowest));
    Put16(s, rec + 58, static_cast<std::uint16_t>(l.highest));
  }
  if (layout) *layout = local;
  return s;
}

std::string RollingTerrainDem(std::int32_t north, std::int32_t west, std::int16_t baseStep) {
  DemBuilder_t b;
  DemLevel_t l;
  l.tileWidth = l.tileHeight = l.lastColWidth = l.lastRowHeight = 64;
  l.tileCols = l.tileRows = 8;
  l.recordFlags = 0x0E;  // 3-byte offsets, 2-byte bases and M
  l.latStep = l.lonStep = 0x400;
  l.north = north;
  l.west = west;
  l.highest = 30000;
  std::mt19937 rng(5);
  for (std::uint32_t n = 0; n < 64; ++n) {
    DemTile_t t;
    t.maxDiff = 2000;
    t.base = static_cast<std::int16_t>(100 + static_cast<std::int32_t>(n) * baseStep);
    for (std::uint32_t r = 0; r < 64; ++r)
      for (std::uint32_t c = 0; c < 64; ++c) {
        const std::uint32_t gr = (n / 8) * 64 + r, gc = (n % 8) * 64 + c;
        const std::uint32_t v = (gr * 3 + gc * 2 + (gr * gc) % 97) % 1900 + rng() % 50;
        t.values.push_back(static_cast<std::uint16_t>(v));
      }
    l.tiles.push_back(t);
  }
  b.levels = {l};
  return b.Build();
}

MapBuilder_t MapWithDem(const std::string& dem) {
  MapBuilder_t m;
  TreSubdiv_t s;
  s.centreLat = s.centreLon = 0x00080000;
  s.halfWidth = s.halfHeight = 1000;
  s.last = true;
  m.tre.mapId = 0x4242;
  m.tre.north = 0x00200000;
  m.tre.east = 0x00300000;
  m.tre.south = -0x00100000;
  m.tre.west = -0x00200000;
  m.tre.levels = {{0, 24, false, {s}, {}}};
  m.tre.rgnEnd = 0x10;
  m.rgnData = std::string(0x10, '\0');
  m.lbl.labelOffset = 0x200;
  m.lbl.labelLength = 0x40;
  m.extra.push_back({m.name + ".DEM", dem});
  return m;
}

}  // namespace imgkit
