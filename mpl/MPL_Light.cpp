#include "mpl/MPL_Light.h"

#include "mpl/MPL_Marine.h"
#include "mpl/MPL_Reader.h"
#include "mpl/MPL_Subfile.h"

namespace mpl {

namespace {

// The offset after the light's block: two halves in bytes the light's own
// fields leave free in both layouts.
constexpr unsigned kBlockEndLow = 2, kBlockEndHigh = 46;

}  // namespace

void MdbStoreLight(const MdbLight_t& l, MdbAuxInfo_t& r) {
  r = MdbAuxInfo_t{};
  r.bytes[0] = l.cls;
  r.bytes[4] = l.value6;
  r.bytes[7] = l.flag;
  MdbAuxPut16(r, kBlockEndLow, l.blockEnd & 0xFFFF);
  MdbAuxPut16(r, kBlockEndHigh, l.blockEnd >> 16);
  if (l.cls == kAttrLightVariant) {
    r.bytes[5] = l.kind;
    r.bytes[6] = l.character;
    for (unsigned i = 0; i < 3; ++i) MdbAuxPut32(r, 8 + 4 * i, l.refs[i]);
    MdbAuxPut16(r, 20, l.value16);
    r.bytes[22] = l.flashCount;
    MdbAuxPut32(r, 24, l.flashList);
    return;
  }
  r.bytes[5] = l.small1;
  r.bytes[6] = l.small2;
  MdbAuxPut32(r, 8, l.value1);
  MdbAuxPut32(r, 12, l.value2);
  MdbAuxPut16(r, 16, l.value16);
  MdbAuxPut16(r, 18, l.value12);
  for (unsigned i = 0; i < 3; ++i) MdbAuxPut32(r, 20 + 4 * i, l.refs[i]);
  r.bytes[32] = l.nibble;
  r.bytes[33] = l.colour;
  MdbAuxPut16(r, 34, l.range);
  MdbAuxPut32(r, 36, l.sectorList);
  MdbAuxPut32(r, 40, l.colourList);
  r.bytes[44] = l.flashCount;
  MdbAuxPut32(r, 48, l.flashList);
}

MdbLight_t MdbLightOf(const MdbAuxInfo_t& r) {
  MdbLight_t l;
  l.cls = r.bytes[0];
  l.value6 = r.bytes[4];
  l.flag = r.bytes[7];
  l.blockEnd = MdbAuxGet16(r, kBlockEndLow) | (static_cast<std::uint32_t>(MdbAuxGet16(r, kBlockEndHigh)) << 16);
  if (l.cls == kAttrLightVariant) {
    l.kind = r.bytes[5];
    l.character = r.bytes[6];
    for (unsigned i = 0; i < 3; ++i) l.refs[i] = MdbAuxGet32(r, 8 + 4 * i);
    l.value16 = MdbAuxGet16(r, 20);
    l.flashCount = r.bytes[22];
    l.flashList = MdbAuxGet32(r, 24);
    return l;
  }
  l.small1 = r.bytes[5];
  l.small2 = r.bytes[6];
  l.value1 = MdbAuxGet32(r, 8);
  l.value2 = MdbAuxGet32(r, 12);
  l.value16 = MdbAuxGet16(r, 16);
  l.value12 = MdbAuxGet16(r, 18);
  for (unsigned i = 0; i < 3; ++i) l.refs[i] = MdbAuxGet32(r, 20 + 4 * i);
  l.nibble = r.bytes[32];
  l.colour = r.bytes[33];
  l.range = MdbAuxGet16(r, 34);
  l.sectorList = MdbAuxGet32(r, 36);
  l.colourList = MdbAuxGet32(r, 40);
  l.flashCount = r.bytes[44];
  l.flashList = MdbAuxGet32(r, 48);
  return l;
}

namespace {

// A reader that never hands out bytes past the attribute block: 'Take' gives
// 0, 1 on a read failure, 3 when the bytes would lie past the block.
struct BlockReader_t {
  MdbBufReader_t reader;
  std::uint8_t window[12] = {};
  std::uint32_t end = 0;

  int Open(const dsk::File_t& file, std::uint32_t start, std::uint32_t blockEnd) {
    end = blockEnd;
    return MdbBufOpen(reader, file, start, window, sizeof window);
  }
  std::uint32_t Tell() const { return MdbBufTell(reader); }
  int Take(unsigned n, std::uint32_t& value) {
    value = 0;
    if (std::uint64_t{Tell()} + n > end) return kMdbNotFound;
    std::uint8_t b[4] = {};
    if (n > 0 && MdbBufRead(reader, b, static_cast<std::uint16_t>(n)) != kMdbDone) return kMdbBadData;
    for (unsigned i = 0; i < n; ++i) value |= static_cast<std::uint32_t>(b[i]) << (8 * i);
    return kMdbDone;
  }
};

#define TAKE(n, v)                                   \
  do {                                               \
    const int taken = in.Take((n), (v));             \
    if (taken == kMdbBadData) return kMdbBadData;    \
    if (taken != kMdbDone) return kMdbNotFound;      \
  } while (false)

// Steps over a sector list: 0 past its last entry, 3 when it leaves the block.
int SkipSectors(BlockReader_t& in) {
  for (;;) {
    std::uint32_t entry = 0, range = 0;
    TAKE(2, entry);
    if ((entry & 0x7000) != 0) TAKE(1, range);
    if ((entry & 0x8000) != 0) return kMdbDone;
  }
}

// Steps over 'count' entries of a flash list.
int SkipFlashes(BlockReader_t& in, unsigned count) {
  while (count > 0) {
    std::uint32_t d = 0, h = 0;
    TAKE(1, d);
    if ((d & 0x3F) == 0x3F) TAKE(1, h);
    const unsigned covers = 1 + (d >> 6);
    count = covers >= count ? 0 : count - covers;
  }
  return kMdbDone;
}

// The fields of a light up to its lists; 3 when a fixed field lies past the block.
int ReadLight(BlockReader_t& in, std::uint8_t e, MdbLight_t& l) {
  std::uint32_t w = 0, f = 0, v = 0;
  TAKE(2, w);
  l.value6 = w & 0x3F;
  TAKE(1, f);
  l.small1 = (f >> 4) & 3;
  l.small2 = f & 3;
  TAKE(f >> 6, l.value1);
  TAKE((f >> 2) & 3, l.value2);
  if ((w & 0xFF) >= 64) {
    if ((w & 0x80) != 0) {
      TAKE(1, v);
      l.value16 = static_cast<std::uint16_t>(v | (((w >> 6) & 1u) << 8));
    } else {
      TAKE(2, v);
      l.value16 = static_cast<std::uint16_t>(v);
    }
  }
  for (unsigned i = 0; i < 3; ++i) {
    if ((e & (2u << i)) != 0) TAKE(3, l.refs[i]);
  }
  if ((w & 0x200) != 0) {
    TAKE(2, v);
    l.value12 = v & 0xFFF;
  }
  if ((w & 0x400) != 0) {
    TAKE(1, v);
    l.nibble = v & 0xF;
  }
  if ((w & 0x800) == 0) {
    TAKE(1, v);
    l.colour = static_cast<std::uint8_t>(v >> 5);
    l.range = v & 0x1F;
    if (l.range == 31) {
      TAKE(1, v);
      l.range = static_cast<std::uint16_t>(l.range + v);
    }
  }
  // The lists: one that runs past the block ends the record there; the
  // iterations stop at the block's end on their own.
  if ((w & 0x800) != 0) {
    l.sectorList = in.Tell();
    const int r = SkipSectors(in);
    if (r != kMdbDone) return r == kMdbBadData ? r : kMdbDone;
  }
  if ((w & 0x100) != 0) {
    const int r = in.Take(1, v);
    if (r != kMdbDone) return r == kMdbBadData ? r : kMdbDone;
    l.flashCount = v & 0x7F;
    if ((v & 0x80) != 0) {
      l.flashList = in.Tell();
      for (unsigned list = 0; list < 2; ++list) {
        const int r = SkipFlashes(in, l.flashCount);
        if (r != kMdbDone) return r == kMdbBadData ? r : kMdbDone;
      }
    }
  }
  if ((w & 0x8000) != 0) {
    const int r = in.Take(1, v);
    if (r == kMdbBadData) return r;
    if (r == kMdbDone && (v & 1) != 0) l.colourList = in.Tell();
  }
  return kMdbDone;
}

int ReadLightVariant(BlockReader_t& in, std::uint8_t e, MdbLight_t& l) {
  std::uint32_t w = 0, v = 0;
  TAKE(2, w);
  l.value6 = w & 0x3F;
  l.kind = (w >> 10) & 0xF;
  if (l.kind == 0) l.kind = (w >> 6) & 7;
  for (unsigned i = 0; i < 3; ++i) {
    if ((e & (2u << i)) != 0) TAKE(3, l.refs[i]);
  }
  if (l.kind != 0) {
    // The character code in bits 0-5; a byte of 64 or more announces the
    // period: bit 7 in two more bytes, bit 6 alone in one.
    TAKE(1, v);
    l.character = v & 0x3F;
    if (v >= 64) {
      std::uint32_t period = 0;
      TAKE((v & 0x80) != 0 ? 2 : 1, period);
      l.value16 = static_cast<std::uint16_t>(period);
    }
  }
  if ((w & 0x200) != 0) {
    TAKE(1, v);
    l.flashCount = v & 0x7F;
    if ((v & 0x80) != 0) l.flashList = in.Tell();
  }
  return kMdbDone;
}

#undef TAKE

int ReadByte(dsk::File_t& rgn, std::uint32_t at, std::uint32_t end, std::uint32_t& value) {
  value = 0;
  if (at >= end) return kMdbNotFound;
  std::uint8_t b = 0;
  if (MdbRead(rgn, at, &b, 1) != kMdbDone) return kMdbBadData;
  value = b;
  return kMdbDone;
}

// One sector-list entry at 'at' (moved past it): angle, colour, range, last.
int ReadSectorEntry(dsk::File_t& rgn, std::uint32_t& at, std::uint32_t end, std::uint16_t& angle,
                    std::uint8_t& colour, std::uint8_t& range, bool& last) {
  std::uint32_t lo = 0, hi = 0, r = 0;
  int result = ReadByte(rgn, at, end, lo);
  if (result == kMdbDone) result = ReadByte(rgn, at + 1, end, hi);
  if (result != kMdbDone) return result;
  const std::uint32_t entry = lo | (hi << 8);
  angle = entry & 0xFFF;
  colour = (entry >> 12) & 7;
  last = (entry & 0x8000) != 0;
  range = 0;
  if (colour != 0) {
    result = ReadByte(rgn, at + 2, end, r);
    if (result != kMdbDone) return result;
    range = static_cast<std::uint8_t>(r);
    at += 1;
  }
  at += 2;
  return kMdbDone;
}

// The colour of sector n from the colour list, or 'fallback' without one.
int SectorColour(dsk::File_t& rgn, const MdbLight_t& l, unsigned n, std::uint8_t fallback, std::uint8_t& colour) {
  colour = fallback;
  if (l.colourList == 0) return kMdbDone;
  std::uint32_t b = 0;
  const int r = ReadByte(rgn, l.colourList + n / 2, l.blockEnd, b);
  if (r == kMdbBadData) return r;
  if (r == kMdbDone) colour = static_cast<std::uint8_t>((n % 2 == 0 ? b : b >> 4) & 0xF);
  return kMdbDone;
}

}  // namespace

int MdbDecodeLight(MdbMap_t& map, std::uint8_t cls, std::uint8_t e, std::uint32_t data, std::uint32_t end,
                   MdbAuxInfo_t& record) {
  BlockReader_t in;
  if (in.Open(map.rgn.file, data, end) != kMdbDone) return kMdbBadData;
  MdbLight_t l;
  l.cls = cls;
  l.flag = e & 1;
  l.blockEnd = end;
  const int r = cls == kAttrLight ? ReadLight(in, e, l) : ReadLightVariant(in, e, l);
  if (r == kMdbBadData) return r;
  if (r != kMdbDone) {
    record = MdbAuxInfo_t{};
    record.bytes[0] = kAttrUndecoded;
    return kMdbDone;
  }
  MdbStoreLight(l, record);
  return kMdbDone;
}

int MdbFirstLightSector(MdbMap_t& map, MdbLightSectorState_t& s, MdbLightSector_t& sector) {
  s.done = true;
  s.closing = false;
  s.index = 0;
  const MdbLight_t l = MdbLightOf(s.criteria);
  if (l.cls != kAttrLight) return kMdbNotFound;
  if (l.sectorList == 0) {
    std::uint8_t colour = 0;
    const int r = SectorColour(map.rgn.file, l, 0, l.colour, colour);
    if (r != kMdbDone) return r;
    sector = MdbLightSector_t{0, 3600, colour, static_cast<std::uint8_t>(l.range > 255 ? 255 : l.range)};
    return kMdbDone;
  }
  s.next = l.sectorList;
  bool last = false;
  const int r = ReadSectorEntry(map.rgn.file, s.next, l.blockEnd, s.start, s.colour, s.range, last);
  if (r != kMdbDone) return r;
  s.first = s.start;
  s.closing = last;
  s.done = false;
  return MdbNextLightSector(map, s, sector);
}

int MdbNextLightSector(MdbMap_t& map, MdbLightSectorState_t& s, MdbLightSector_t& sector) {
  if (s.done) return kMdbNotFound;
  const MdbLight_t l = MdbLightOf(s.criteria);
  for (;;) {
    std::uint16_t end = 0;
    std::uint8_t colour = 0, range = 0;
    bool last = false;
    if (s.closing) {
      end = s.first;
      s.done = true;
    } else {
      const int r = ReadSectorEntry(map.rgn.file, s.next, l.blockEnd, end, colour, range, last);
      if (r != kMdbDone) {
        s.done = true;
        return r;
      }
      if (end == s.start) {
        // No width: the new colour takes over from the same start.
        s.colour = colour;
        s.range = range;
        s.closing = last;
        continue;
      }
    }
    sector.start = s.start;
    sector.end = end;
    sector.range = s.range;
    const int r = SectorColour(map.rgn.file, l, s.index, s.colour, sector.colour);
    if (r != kMdbDone) {
      s.done = true;
      return r;
    }
    ++s.index;
    s.start = end;
    s.colour = colour;
    s.range = range;
    s.closing = last;
    return kMdbDone;
  }
}

int MdbReadFlashEntry(dsk::File_t& rgn, MdbFlashCursor_t& c, std::uint32_t end, std::uint16_t& duration) {
  if (c.repeats > 0) {
    --c.repeats;
    duration = c.duration;
    return kMdbDone;
  }
  std::uint32_t d = 0, h = 0;
  int r = ReadByte(rgn, c.offset, end, d);
  if (r != kMdbDone) return r;
  std::uint16_t value = d & 0x3F;
  if (value == 0x3F) {
    r = ReadByte(rgn, c.offset + 1, end, h);
    if (r != kMdbDone) return r;
    value = static_cast<std::uint16_t>(63 + (h & 0x7F));
    c.offset += 1;
  }
  c.offset += 1;
  c.repeats = static_cast<std::uint8_t>(d >> 6);
  c.duration = value;
  duration = value;
  return kMdbDone;
}

int MdbFirstLightFlash(MdbMap_t& map, MdbLightFlashState_t& s, MdbLightFlash_t& flash) {
  s.left = 0;
  const MdbLight_t l = MdbLightOf(s.criteria);
  if ((l.cls != kAttrLight && l.cls != kAttrLightVariant) || l.flashList == 0 || l.flashCount == 0)
    return kMdbNotFound;
  s.first = MdbFlashCursor_t{l.flashList, 0, 0};
  MdbFlashCursor_t walk = s.first;
  for (unsigned i = 0; i < l.flashCount; ++i) {
    std::uint16_t ignored = 0;
    const int r = MdbReadFlashEntry(map.rgn.file, walk, l.blockEnd, ignored);
    if (r != kMdbDone) return r;
  }
  s.second = MdbFlashCursor_t{walk.offset, 0, 0};
  s.left = l.flashCount;
  return MdbNextLightFlash(map, s, flash);
}

int MdbNextLightFlash(MdbMap_t& map, MdbLightFlashState_t& s, MdbLightFlash_t& flash) {
  if (s.left == 0) return kMdbNotFound;
  const std::uint32_t end = MdbLightOf(s.criteria).blockEnd;
  int r = MdbReadFlashEntry(map.rgn.file, s.first, end, flash.on);
  if (r == kMdbDone) r = MdbReadFlashEntry(map.rgn.file, s.second, end, flash.off);
  if (r != kMdbDone) {
    s.left = 0;
    return r;
  }
  --s.left;
  return kMdbDone;
}

}  // namespace mpl
