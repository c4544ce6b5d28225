#include "mpl/MPL_Road.h"

#include <algorithm>
#include <vector>

#include "mpl/MPL_Level.h"
#include "mpl/MPL_Subfile.h"

namespace mpl {

namespace {

unsigned IndexWidth(std::uint64_t count) { return count < 256 ? 1 : count < 65536 ? 2 : 3; }

int ReadLe(MdbBufReader_t& in, unsigned n, std::uint32_t& value) {
  value = 0;
  std::uint8_t b[4] = {};
  if (n > 0 && MdbBufRead(in, b, static_cast<std::uint16_t>(n)) != kMdbDone) return kMdbBadData;
  for (unsigned i = 0; i < n; ++i) value |= static_cast<std::uint32_t>(b[i]) << (8 * i);
  return kMdbDone;
}

int Skip(MdbBufReader_t& in, std::uint64_t n) {
  const std::uint64_t to = std::uint64_t{MdbBufTell(in)} + n;
  if (to > 0xFFFFFFFFu) return kMdbBadData;
  if (n == 0) return kMdbDone;
  // A seek to the sub-file's end is refused; a block may end exactly there.
  if (to == in.end) {
    in.next = in.end;
    in.index = in.count;
    return kMdbDone;
  }
  return MdbBufSeek(in, static_cast<std::uint32_t>(to));
}

#define TRY(x)                                \
  do {                                        \
    const int tried = (x);                    \
    if (tried != kMdbDone) return tried;      \
  } while (false)

// A postal-code or city list by its two bits of the data word.
int ReadIndexes(MdbBufReader_t& in, unsigned bits, unsigned width, MdbRoadIndexes_t& list) {
  list.width = static_cast<std::uint8_t>(width);
  if ((bits & 2) != 0) {
    if (bits == 2) {
      list.form = 1;
      TRY(ReadLe(in, width, list.index));
    }
    return kMdbDone;
  }
  list.form = 2;
  TRY(ReadLe(in, bits + 1, list.length));
  list.offset = MdbBufTell(in);
  return Skip(in, list.length);
}

std::int32_t SignExtend(std::uint32_t v, unsigned bits) {
  if (bits == 0 || bits >= 32) return static_cast<std::int32_t>(v);
  const std::uint32_t top = 1u << (bits - 1);
  v &= (top << 1) - 1;
  return static_cast<std::int32_t>((v ^ top) - top);
}

// A width code from a width and a two-bit mode: 1 negates, 2 adds one and
// sign-extends.
std::uint8_t WidthCode(unsigned width, unsigned mode) {
  if (mode == 1) return static_cast<std::uint8_t>(width | 0x40);
  if (mode == 2) return static_cast<std::uint8_t>(((width + 1) & 0x3F) | 0x80);
  return static_cast<std::uint8_t>(width & 0x3F);
}

}  // namespace

int MdbReadRoadData(MdbMap_t& map, const MdbRoad_t& road, MdbRoadData_t& data) {
  data = MdbRoadData_t{};
  if ((road.properties & kRoadHasData) == 0 || road.netOffset == kMdbNone) return kMdbNotFound;
  MdbBufReader_t in;
  std::uint8_t window[16];
  TRY(MdbBufOpen(in, map.net.file, road.listEnd, window, sizeof window));
  std::uint32_t word = 0;
  TRY(ReadLe(in, 2, word));
  data.intervals = (word & 0x3FF) + 1;
  TRY(ReadIndexes(in, (word >> 10) & 3, IndexWidth(map.lbl.indexedLabels.count), data.postal));
  const unsigned cityWidth = IndexWidth(map.lbl.cities.count);
  TRY(ReadIndexes(in, (word >> 12) & 3, cityWidth, data.cities));
  if ((word & 0x8000) == 0) {
    TRY(ReadLe(in, ((word >> 14) & 1) + 1, data.numbersLength));
    data.numbers = MdbBufTell(in);
    TRY(Skip(in, data.numbersLength));
  }
  if ((road.flags & 0x40) != 0) {
    std::uint32_t x = 0;
    TRY(ReadLe(in, 1, x));
    if ((x & 3) != 0) TRY(Skip(in, (x & 3) + 1));
    data.descriptorCount = static_cast<std::uint8_t>((x >> 5) & 3);
    const unsigned valueWidth = IndexWidth(8ull * map.lbl.cities.count);
    for (unsigned i = 0; i < data.descriptorCount; ++i) {
      MdbRoadDescriptor_t& d = data.descriptors[i];
      std::uint32_t f = 0, more = 0;
      TRY(ReadLe(in, 1, f));
      d.type = f & 3;
      d.ownKind = ((f >> 2) & 7) == 7;
      if ((f & 4) != 0) {
        d.sized = true;
        if ((f & 8) != 0) {
          TRY(ReadLe(in, 1, more));
          d.size = (f >> 5) + 8 * more + 1;
        } else {
          d.size = (f >> 4) + 1;
        }
        d.value = MdbBufTell(in);
        TRY(Skip(in, d.size));
      } else {
        d.value = f >> 3;
        if (valueWidth > 1) {
          TRY(ReadLe(in, 1, more));
          d.value += 32 * more;
        }
        if (valueWidth > 2) {
          TRY(ReadLe(in, 1, more));
          d.value += 8192 * more;
        }
        d.value += 1;
      }
    }
    if ((x & 0x80) != 0) {
      std::uint32_t length = 0, g = 0;
      TRY(MdbBufReadVarint(in, length));
      const std::uint32_t blockStart = MdbBufTell(in);
      if (length > 0) {
        TRY(ReadLe(in, 1, g));
        if ((g & 1) != 0) TRY(ReadLe(in, (g & 2) != 0 ? 2 : 1, data.alternativeValue));
        const std::uint32_t used = MdbBufTell(in) - blockStart;
        if (used > length) return kMdbBadData;
        data.alternative = MdbBufTell(in);
        data.alternativeLength = length - used;
        TRY(Skip(in, data.alternativeLength));
      }
    }
  }
  if ((road.extraByte & 0xF0) == 0) {
    TRY(MdbBufReadVarint(in, data.codesLength));
    data.codes = MdbBufTell(in);
    TRY(Skip(in, data.codesLength));
  }
  if ((road.extraByte & 0x08) != 0) {
    std::uint32_t next = 0;
    TRY(ReadLe(in, 3, next));
    data.continuation = next & 0x3FFFFF;
  }
  data.end = MdbBufTell(in);
  return kMdbDone;
}

int MdbRoadContinuation(MdbMap_t& map, const MdbRoad_t& road, std::uint32_t& netOffset) {
  netOffset = kMdbNone;
  if ((road.extraByte & 0x08) == 0) return kMdbDone;
  MdbRoadData_t data;
  const int r = MdbReadRoadData(map, road, data);
  if (r == kMdbNotFound) return kMdbDone;
  if (r != kMdbDone) return r;
  netOffset = data.continuation;
  return kMdbDone;
}

int MdbRunStep(MdbMap_t& map, MdbRunState_t& s) {
  if (s.run > 0) {
    --s.run;
    return kMdbDone;
  }
  const auto byte = [&](std::uint32_t& v) -> int {
    std::uint8_t b = 0;
    if (s.offset >= s.end) return kMdbNotFound;
    if (MdbRead(map.net.file, s.offset, &b, 1) != kMdbDone) return kMdbBadData;
    ++s.offset;
    v = b;
    return kMdbDone;
  };
  const auto index = [&](std::uint32_t& v) -> int {
    if (std::uint64_t{s.offset} + s.width > s.end) return kMdbBadData;
    std::uint8_t b[3] = {};
    if (MdbRead(map.net.file, s.offset, b, s.width) != kMdbDone) return kMdbBadData;
    s.offset += s.width;
    v = b[0] | (s.width > 1 ? b[1] << 8 : 0) | (s.width > 2 ? b[2] << 16 : 0);
    return kMdbDone;
  };
  std::uint32_t c = 0;
  int r = byte(c);
  if (r == kMdbNotFound) {
    s.value1 = s.value2 = kMdbNone;
    return kMdbDone;
  }
  if (r != kMdbDone) return r;
  std::uint32_t run = (c & 0x1F) + 1;
  std::uint32_t kind = c >> 5;
  if (kind == 7) {
    std::uint32_t e = 0;
    r = byte(e);
    if (r != kMdbDone) return kMdbBadData;
    run += (e & 0x1F) * 32;
    kind = e >> 5;
  }
  std::uint32_t a = 0, b = 0;
  switch (kind) {
    case 0:
      TRY(index(a));
      s.value1 = s.value2 = a;
      break;
    case 1:
      TRY(index(a));
      s.value2 = a;
      break;
    case 2:
      TRY(index(a));
      s.value1 = a;
      break;
    case 3:
      TRY(index(a));
      TRY(index(b));
      s.value2 = a;
      s.value1 = b;
      break;
    case 4: s.value1 = s.value2 = kMdbNone; break;
    case 5: s.value2 = kMdbNone; break;
    default: s.value1 = kMdbNone; break;
  }
  s.run = run - 1;
  return kMdbDone;
}

int MdbCodeRunStep(MdbMap_t& map, MdbCodeRunState_t& s, unsigned labelCount) {
  if (s.run > 0) {
    --s.run;
    return kMdbDone;
  }
  if (s.offset >= s.end) {
    s.value = 0x0F;
    return kMdbDone;
  }
  std::uint8_t b = 0;
  if (MdbRead(map.net.file, s.offset, &b, 1) != kMdbDone) return kMdbBadData;
  ++s.offset;
  const unsigned n = b >> 6;
  if (n > 0) {
    if (std::uint64_t{s.offset} + n > s.end) return kMdbBadData;
    std::uint8_t v[3] = {};
    if (MdbRead(map.net.file, s.offset, v, n) != kMdbDone) return kMdbBadData;
    s.offset += n;
    s.value = v[0] | (n > 1 ? v[1] << 8 : 0) | (n > 2 ? v[2] << 16 : 0);
  } else {
    s.value = labelCount >= 32 ? 0 : s.value >> labelCount;
  }
  s.run = b & 0x3Fu;
  return kMdbDone;
}

int MdbReadBits(MdbMap_t& map, MdbNumberState_t& s, unsigned n, std::uint32_t& value) {
  value = 0;
  if (n > 32) return kMdbBadData;
  const std::uint64_t total = 8ull * (s.end - s.offset);
  if (s.bit + std::uint64_t{n} > total) return kMdbBadData;
  unsigned got = 0;
  while (got < n) {
    const std::uint32_t at = s.offset + s.bit / 8;
    std::uint8_t b = 0;
    if (MdbRead(map.net.file, at, &b, 1) != kMdbDone) return kMdbBadData;
    const unsigned shift = s.bit % 8;
    const unsigned take = std::min(8 - shift, n - got);
    const std::uint32_t bits = (static_cast<std::uint32_t>(b) >> shift) & ((1u << take) - 1);
    value |= static_cast<std::uint32_t>(static_cast<std::uint64_t>(bits) << got);
    got += take;
    s.bit += take;
  }
  return kMdbDone;
}

int MdbReadNumber(MdbMap_t& map, std::uint8_t code, MdbNumberState_t& s, std::int32_t& value) {
  value = 0;
  const unsigned width = code & 0x3F;
  if (width > 32) return kMdbBadData;
  std::uint32_t v = 0;
  TRY(MdbReadBits(map, s, width, v));
  std::int32_t n = (code & 0x80) != 0 ? SignExtend(v, width) : static_cast<std::int32_t>(v);
  if ((code & 0x40) != 0) n = static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(n));
  value = n;
  return kMdbDone;
}

namespace {

bool BitsRemain(const MdbNumberState_t& s) { return s.bit < 8ull * (s.end - s.offset); }

void ClearRanges(MdbNumberState_t& s) {
  s.valid = {false, false};
  s.lo = s.hi = {0, 0};
}

// A side's range made inclusive and fitted to its parity.
void Fit(MdbNumberState_t& s, unsigned side, std::int32_t start, std::int32_t end) {
  const unsigned parity = s.parity[side];
  s.valid[side] = false;
  if (parity == 0) return;
  if (end > start) --end;
  else if (end < start) ++end;
  s.rising[side] = end >= start;
  std::int32_t lo = std::min(start, end), hi = std::max(start, end);
  if (parity == 1) {
    if ((lo & 1) != 0) ++lo;
    if ((hi & 1) != 0) --hi;
  } else if (parity == 2) {
    if ((lo & 1) == 0) ++lo;
    if ((hi & 1) == 0) --hi;
  }
  if (lo > hi) return;
  s.lo[side] = lo;
  s.hi[side] = hi;
  s.valid[side] = true;
}

int NumbersRecord(MdbMap_t& map, MdbNumberState_t& s, std::uint32_t t, std::uint8_t startCode, std::uint8_t endCode,
                  bool compact) {
  std::array<std::int32_t, 2> startDelta{}, endDelta{};
  const bool one = (s.parity[0] != 0) != (s.parity[1] != 0);
  if (s.parity[0] == 0 && s.parity[1] == 0) {
    // Neither side has numbers: the record's deltas are still read.
    std::int32_t sd = 0, ed = s.lastEnd[0];
    if ((t & 2) == 0) TRY(MdbReadNumber(map, startCode, s, sd));
    if ((t & 4) == 0) TRY(MdbReadNumber(map, endCode, s, ed));
    startDelta = {sd, sd};
    endDelta = {ed, ed};
  } else if (one) {
    const unsigned with = s.parity[0] != 0 ? 0 : 1;
    s.current[1 - with] = s.current[with];
    s.lastEnd[1 - with] = s.lastEnd[with];
    std::int32_t sd = 0, ed = s.lastEnd[with];
    if ((t & 2) == 0) TRY(MdbReadNumber(map, startCode, s, sd));
    if ((t & 4) == 0) TRY(MdbReadNumber(map, endCode, s, ed));
    startDelta = {sd, sd};
    endDelta = {ed, ed};
  } else {
    std::uint32_t more = 0;
    if ((t & 2) != 0) {
      TRY(MdbReadBits(map, s, 3, more));
      t |= more << 3;
      if ((t & 4) != 0) s.current[1] = s.current[0];
      else s.current[0] = s.current[1];
    } else {
      t = (t & ~4u) | ((t & 4u) << 1);
      TRY(MdbReadBits(map, s, 2, more));
      t |= more << 4;
    }
    if ((t & 0x10) == 0) TRY(MdbReadNumber(map, startCode, s, startDelta[0]));
    endDelta[0] = s.lastEnd[0];
    if ((t & 0x20) == 0) TRY(MdbReadNumber(map, endCode, s, endDelta[0]));
    std::uint32_t startBit = 0, endBit = 0;
    if ((t & 2) == 0) TRY(MdbReadBits(map, s, 1, startBit));
    if ((t & 8) == 0) TRY(MdbReadBits(map, s, 1, endBit));
    if ((t & 2) != 0) startDelta[1] = startDelta[0];
    else if (startBit == 0) TRY(MdbReadNumber(map, startCode, s, startDelta[1]));
    if ((t & 8) == 0 && endBit == 0) {
      TRY(MdbReadNumber(map, endCode, s, endDelta[1]));
    } else {
      endDelta[1] = (t & 8) != 0 && (t & 0x20) == 0 ? endDelta[0] : s.lastEnd[1];
    }
  }
  for (unsigned side = 0; side < 2; ++side) {
    const std::int32_t start = static_cast<std::int32_t>(static_cast<std::uint32_t>(s.current[side]) +
                                                         static_cast<std::uint32_t>(startDelta[side]));
    const std::int32_t end =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(start) + static_cast<std::uint32_t>(endDelta[side]));
    s.current[side] = end;
    s.lastEnd[side] = endDelta[side];
    Fit(s, side, start, end);
  }
  if (!compact) {
    std::uint32_t mark = 0;
    TRY(MdbReadBits(map, s, 1, mark));
    s.marked = mark != 0;
  }
  return kMdbDone;
}

}  // namespace

int MdbNumbersNext(MdbMap_t& map, MdbNumberState_t& s, bool compact) {
  s.marked = false;
  if (!s.header && BitsRemain(s)) {
    std::uint32_t h = 0;
    TRY(MdbReadBits(map, s, compact ? 17 : 20, h));
    s.header = true;
    if (compact) {
      s.startCode = WidthCode(((h >> 2) & 0xF) + 5, h & 3);
      const std::uint32_t d = h >> 8;
      s.endCode = WidthCode((d & 0xF) + 2, (h & 0xFF) >> 6);
    } else {
      s.startCode = WidthCode((h >> 2) & 0x1F, h & 3);
      s.endCode = WidthCode((h >> 9) & 0x1F, (h >> 7) & 3);
    }
    if (s.numberWidth > 32) return kMdbBadData;
    std::uint32_t first = 0;
    const unsigned low = compact ? 4 : 5;
    const std::uint32_t top = h >> (compact ? 13 : 15);
    if ((h & (compact ? 0x1000u : 0x4000u)) != 0) {
      if (s.numberWidth < low) return kMdbBadData;
      std::uint32_t n = 0;
      TRY(MdbReadBits(map, s, s.numberWidth - low, n));
      first = static_cast<std::uint32_t>((static_cast<std::uint64_t>(n) << low) + top);
    } else {
      const unsigned bits = compact ? top + 5 : top;
      if (bits > 32) return kMdbBadData;
      TRY(MdbReadBits(map, s, bits, first));
    }
    s.current = {static_cast<std::int32_t>(first), static_cast<std::int32_t>(first)};
  }
  std::uint8_t startCode = s.startCode, endCode = s.endCode;
  for (unsigned guard = 0; guard < 100000; ++guard) {
    if (s.skip > 0) break;
    if (!BitsRemain(s)) {
      ClearRanges(s);
      break;
    }
    std::uint32_t t = 0;
    TRY(MdbReadBits(map, s, 3, t));
    if ((t & 1) != 0) {
      TRY(NumbersRecord(map, s, t, startCode, endCode, compact));
      break;
    }
    const unsigned op = (t >> 1) & 3;
    std::uint32_t more = 0;
    if (op == 1) {
      TRY(MdbReadBits(map, s, compact ? 7 : 8, more));
      t |= more << 3;
      const unsigned width = compact ? ((t >> 6) & 0xF) + ((t & 8) != 0 ? 2 : 5) : (t >> 6) & 0x1F;
      const std::uint8_t code = WidthCode(width, (t >> 4) & 3);
      if ((t & 8) != 0) endCode = code;
      else startCode = code;
    } else if (op == 3) {
      TRY(MdbReadBits(map, s, 6, more));
      t |= more << 3;
      if ((t & 0xE) == 0xE) {
        TRY(MdbReadBits(map, s, 5, more));
        t |= more << 9;
      }
      s.skip = ((t >> 4) & 0x3FF) + 1;
      ClearRanges(s);
      break;
    } else {
      TRY(MdbReadBits(map, s, 3, more));
      t |= more << 3;
      s.parity[0] = (t >> 2) & 3;
      s.parity[1] = (t >> 4) & 3;
      if (!compact) {
        std::uint32_t flags = 0, v = 0;
        TRY(MdbReadBits(map, s, 3, flags));
        if ((flags & 1) != 0) {
          TRY(MdbReadBits(map, s, 8, v));
          s.extra[0] = static_cast<std::uint8_t>(v);
        }
        if ((flags & 2) != 0) {
          TRY(MdbReadBits(map, s, 8, v));
          s.extra[1] = static_cast<std::uint8_t>(v);
        }
        if ((flags & 4) != 0) TRY(MdbReadBits(map, s, s.maskWidth, s.labelMask));
      }
    }
  }
  if (s.skip > 0) --s.skip;
  return kMdbDone;
}

namespace {

std::uint32_t HouseNumber(const MdbNumberState_t& s, unsigned side, std::uint32_t d, std::uint32_t L) {
  if (!s.valid[side] || s.parity[side] == 0) return 0;
  const std::int32_t lo = s.lo[side], hi = s.hi[side];
  if (L == 0) return static_cast<std::uint32_t>(lo);
  const std::int32_t dist = static_cast<std::int32_t>(std::min<std::uint32_t>(s.rising[side] ? d : L - std::min(d, L),
                                                                             0x7FFFFFFF));
  const std::int32_t len = static_cast<std::int32_t>(std::min<std::uint32_t>(L, 0x7FFFFFFF));
  if (s.parity[side] == 3) return static_cast<std::uint32_t>(lo + MdbMulDivRound(hi - lo, dist, len));
  return static_cast<std::uint32_t>(lo + 2 * MdbMulDivRound((hi - lo) >> 1, dist, len));
}

// Where along the road the nearest point lies: its number interval, its
// distance from the interval's start and the interval's length.
struct Position_t {
  std::uint32_t interval = 0;
  std::uint32_t at = 0;
  std::uint32_t length = 0;
};

// Walks the road's lines to the nearest point, then on to the end of its
// interval (a point with bit 0 of its latitude set starts the next one); sets
// the address's interval, nearest point and bearing on the way.
int WalkToNearest(MdbMap_t& map, MdbLineRecord_t& line, const MdbRoad_t& road, const MdbRoadNear_t& near,
                  MdbAddress_t& address, Position_t& position) {
  std::uint32_t interval = 0, sum = 0, at = 0, length = 0;
  bool found = false, done = false, firstPoint = true;
  MdbRoad_t walk = road;
  while (!done && walk.position < static_cast<std::int32_t>(walk.count)) {
    std::uint32_t refs[4];
    const unsigned n = std::min<unsigned>(4, walk.count - static_cast<std::uint32_t>(walk.position));
    TRY(MdbRoadLines(map, walk, refs, n));
    for (unsigned i = 0; i < n && !done; ++i) {
      line.ref = refs[i];
      TRY(MdbGetLine(map, line, static_cast<std::uint16_t>(kRequestCount | kRequestNodeFlags), nullptr));
      const std::vector<MdbPoint_t>& p = line.points;
      if (p.empty()) continue;
      const std::int32_t mean = static_cast<std::int32_t>((std::int64_t{p.front().lat} + p.back().lat) / 2);
      const std::int32_t factor = MdbLatitudeFactor(mean);
      for (std::size_t k = 0; k < p.size() && !done; ++k) {
        if (!firstPoint && (p[k].lat & 1) != 0 && k > 0) {
          if (found) {
            length = sum;
            done = true;
            break;
          }
          ++interval;
          sum = 0;
        }
        firstPoint = false;
        if (k + 1 >= p.size()) break;
        const std::uint32_t seg = MdbScaledHypot(p[k + 1].lon - p[k].lon, p[k + 1].lat - p[k].lat, factor);
        if (!found && refs[i] == near.ref && k == near.segment) {
          found = true;
          at = sum + MdbScaledHypot(near.nearest.lon - p[k].lon, near.nearest.lat - p[k].lat, factor);
          address.interval = static_cast<std::uint16_t>(interval);
          address.nearest = near.nearest;
          const std::int32_t east = MdbMulQ31(p[k + 1].lon - p[k].lon, factor);
          address.bearing =
              static_cast<std::int32_t>(static_cast<std::uint32_t>(MdbAtan2(-east, p[k + 1].lat - p[k].lat)) -
                                        0x40000000u);
        }
        sum += seg;
      }
    }
  }
  if (!found) return kMdbNotFound;
  if (!done) length = sum;
  position = {interval, at, length};
  return kMdbDone;
}

// The postal-code and city runs, stepped to the interval.
int StepRuns(MdbMap_t& map, const MdbRoadData_t& data, std::uint32_t interval, MdbRunState_t& postal,
             MdbRunState_t& cities) {
  const auto setUp = [&](const MdbRoadIndexes_t& list, MdbRunState_t& s) {
    s.width = list.width;
    s.offset = list.offset;
    s.end = list.form == 2 ? list.offset + list.length : list.offset;
    if (list.form == 1) s.value1 = s.value2 = list.index;
  };
  setUp(data.postal, postal);
  setUp(data.cities, cities);
  for (std::uint32_t i = 0; i <= interval; ++i) {
    if (data.postal.form == 2) TRY(MdbRunStep(map, postal));
    if (data.cities.form == 2) TRY(MdbRunStep(map, cities));
  }
  return kMdbDone;
}

// The house-number runs, the main one with its label codes and the
// alternative one when the road has it, stepped to the interval.
int StepNumbers(MdbMap_t& map, const MdbRoad_t& road, const MdbRoadData_t& data, std::uint32_t interval,
                MdbNumberState_t& main, MdbNumberState_t& alt) {
  main.numberWidth = map.net.shiftValue;
  main.maskWidth = road.labelCount;
  main.offset = data.numbers;
  main.end = data.numbers + data.numbersLength;
  MdbCodeRunState_t codes;
  codes.offset = data.codes;
  codes.end = data.codes + data.codesLength;
  for (std::uint32_t i = 0; i <= interval; ++i) {
    if (data.numbers != 0) TRY(MdbNumbersNext(map, main, true));
    TRY(MdbCodeRunStep(map, codes, road.labelCount));
  }
  main.labelMask = codes.value & 0xF;
  if (data.alternative != 0) {
    alt.numberWidth = map.net.shiftValue;
    alt.maskWidth = road.labelCount;
    alt.offset = data.alternative;
    alt.end = data.alternative + data.alternativeLength;
    for (std::uint32_t i = 0; i <= interval; ++i) TRY(MdbNumbersNext(map, alt, false));
  }
  return kMdbDone;
}

// The number of each side from the run that serves the address's label (the
// alternative one when only it does), moving to a label the run serves when
// neither does.
void NumbersOfSides(MdbAddress_t& address, const std::array<std::uint32_t, 4>& labels, const Position_t& position,
                    const MdbNumberState_t& main, const MdbNumberState_t* alt) {
  for (unsigned side = 0; side < 2; ++side) {
    const unsigned bit = 1u << address.labelNumber;
    const bool useAlt = alt != nullptr && alt->valid[side] &&
                        (!main.valid[side] || ((main.labelMask & bit) == 0 && (alt->labelMask & bit) != 0));
    const MdbNumberState_t& s = useAlt ? *alt : main;
    if ((s.labelMask & bit) == 0) {
      for (unsigned k = 0; k < 4; ++k) {
        if ((s.labelMask & (1u << k)) != 0) {
          address.label = labels[k];
          address.labelNumber = static_cast<std::uint8_t>(k);
          break;
        }
      }
    }
    address.groups[side].number = HouseNumber(s, side, position.at, position.length);
    address.groups[side].extra = s.extra[side];
  }
}

}  // namespace

int MdbAddressAt(MdbMap_t& map, MdbLineRecord_t& line, std::uint16_t request, const MdbRoadNear_t& near,
                 MdbAddress_t& address, unsigned descriptor) {
  (void)request;
  address = MdbAddress_t{};
  if (near.netOffset == kMdbNone) return kMdbNotFound;
  MdbLevelGuard_t guard(map);
  map.level = map.tre.lowestLevel;
  MdbRoad_t road;
  road.netOffset = near.netOffset;
  TRY(MdbDecodeRoad(map, road, false, nullptr, 0));
  std::uint32_t holder = near.netOffset, label = kMdbNone;
  unsigned number = 0;
  TRY(MdbChooseRoadLabel(map, holder, label, number, true, false));
  address.label = label;
  address.labelNumber = static_cast<std::uint8_t>(number);
  std::array<std::uint32_t, 4> labels = road.labels;
  if (holder != road.netOffset) {
    MdbRoad_t other;
    other.netOffset = holder;
    if (MdbDecodeRoad(map, other, false, nullptr, 0) == kMdbDone) labels = other.labels;
  }

  Position_t position;
  TRY(WalkToNearest(map, line, road, near, address, position));
  address.distance = position.at;

  MdbRoadData_t data;
  const int r = MdbReadRoadData(map, road, data);
  if (r == kMdbNotFound) return kMdbDone;
  if (r != kMdbDone) return r;

  MdbRunState_t postal, cities;
  TRY(StepRuns(map, data, position.interval, postal, cities));
  MdbNumberState_t main, alt;
  TRY(StepNumbers(map, road, data, position.interval, main, alt));
  NumbersOfSides(address, labels, position, main, data.alternative != 0 ? &alt : nullptr);
  // Group 1 holds run value 2, group 2 run value 1.
  address.groups[0].postal = postal.value2;
  address.groups[1].postal = postal.value1;
  if (descriptor >= 1 && descriptor <= data.descriptorCount) {
    const MdbRoadDescriptor_t& d = data.descriptors[descriptor - 1];
    const std::uint32_t city = d.ownKind ? d.value >> 2 : d.value;
    address.groups[0].city = address.groups[1].city = city;
  } else {
    address.groups[0].city = cities.value2;
    address.groups[1].city = cities.value1;
  }
  return kMdbDone;
}

#undef TRY

}  // namespace mpl
