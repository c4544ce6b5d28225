#include "mpl/MPL_Marine.h"

#include <algorithm>

#include "mpl/MPL_Light.h"
#include "mpl/MPL_Reader.h"
#include "mpl/MPL_Subfile.h"

namespace mpl {

namespace {

struct ClassRow_t {
  std::uint8_t cls;
  std::uint8_t objectClass;
  std::uint16_t type;
  std::uint32_t subtypes;  // bit n: subtype n
};

constexpr std::uint32_t kAll = 0xFFFFFFFFu;

// The first matching row decides.
constexpr ClassRow_t kClassRows[] = {
    {3, kAttrExtArea, 0x81, 1u << 5},
    {2, kAttrExtArea, 0x83, 0x7Cu},
    {3, kAttrExtLine, 0x41, 0xE0u},
    {2, kAttrExtLine, 0x43, 0x7Eu},
    {2, kAttrExtPoint, 0x103, 1u << 1},
    {3, kAttrExtPoint, 0x103, ~(1u << 1)},
    {4, kAttrExtLine, 0x44, kAll},
    {4, kAttrExtLine, 0x45, kAll},
    {4, kAttrExtLine, 0x46, kAll},
    {5, kAttrExtPoint, 0x105, kAll},
    {6, kAttrExtLine, 0x41, 1u << 8},
    {7, kAttrExtPoint, 0x101, kAll},
    {8, kAttrExtPoint, 0x102, kAll},
    {9, kAttrExtPoint, 0x104, kAll},
    {10, kAttrExtPoint, 0x109, 1u << 3},
    {11, kAttrExtArea, 0x81, 1u << 4},
    {11, kAttrExtLine, 0x41, 1u << 9},
    {12, kAttrExtArea, 0x87, (1u << 1) | (1u << 4)},
    {12, kAttrExtPoint, 0x108, kAll},
    {12, kAttrExtPoint, 0x109, 1u << 2},
    {5, kAttrExtArea, 0x86, (1u << 1) | (1u << 10)},
};

// Little-endian value of n bytes (n up to 4).
std::uint32_t Le(const std::uint8_t* p, unsigned n) {
  std::uint32_t v = 0;
  for (unsigned i = 0; i < n; ++i) v |= static_cast<std::uint32_t>(p[i]) << (8 * i);
  return v;
}

std::int32_t SignExtend(std::uint32_t v, unsigned bits) {
  if (bits >= 32) return static_cast<std::int32_t>(v);
  const std::uint32_t top = 1u << (bits - 1);
  v &= (top << 1) - 1;
  return static_cast<std::int32_t>((v ^ top) - top);
}

// The block's bytes that the small classes look at.
constexpr unsigned kSmallBytes = 8;

struct Block_t {
  std::uint8_t e = 0;
  std::uint32_t length = 0;  // L
  std::uint32_t data = 0;    // offset of the first of the L bytes
  std::uint32_t end = 0;
  bool longForm = false;
  std::uint8_t bytes[kSmallBytes] = {};
  unsigned have = 0;         // min(L, kSmallBytes)
};

void Undecoded(MdbAuxInfo_t& r) {
  r = MdbAuxInfo_t{};
  r.bytes[0] = kAttrUndecoded;
}

// Classes 2 and 3, and their two-value form 13.
void DecodeDepth(const Block_t& b, std::uint8_t cls, MdbAuxInfo_t& r) {
  const std::uint8_t e = b.e;
  const std::uint32_t L = b.length;
  const std::uint8_t code = static_cast<std::uint8_t>((e >> 3) & 3);
  if (L == 0) {
    r.bytes[0] = cls;
    r.bytes[kAuxUnit] = (e & 0x40) != 0 ? 2 : 0;
    MdbAuxPut32(r, kAuxValue, e & 0x3Fu);
  } else if (L == 1) {
    r.bytes[0] = cls;
    r.bytes[kAuxUnit] = code;
    MdbAuxPut32(r, kAuxValue, b.bytes[0] + (e & 7u) * 256u);
  } else if (L <= 3) {
    const std::uint32_t v = Le(b.bytes, L);
    r.bytes[kAuxUnit] = code;
    if ((e & 4) != 0) {
      const unsigned bits = 4 * L;
      const std::uint32_t mask = (1u << bits) - 1;
      r.bytes[0] = kAttrTwoValues;
      MdbAuxPut32(r, kAuxValue, (v & mask) | (static_cast<std::uint32_t>(e & 1) << bits));
      MdbAuxPut32(r, kAuxValue2, ((v >> bits) & mask) | (static_cast<std::uint32_t>((e >> 1) & 1) << bits));
    } else {
      r.bytes[0] = cls;
      const std::uint32_t value = v + (static_cast<std::uint32_t>(e & 3) << (8 * L));
      MdbAuxPut32(r, kAuxValue, static_cast<std::uint32_t>(SignExtend(value, 8 * L + 2)));
    }
  } else {
    const unsigned w = (e & 1u) + 2;
    if (2 * w > L) {
      Undecoded(r);
      return;
    }
    r.bytes[0] = kAttrTwoValues;
    r.bytes[kAuxUnit] = code;
    MdbAuxPut32(r, kAuxValue, Le(b.bytes, w));
    MdbAuxPut32(r, kAuxValue2, Le(b.bytes + w, w));
  }
}

int DecodeClass6(const Block_t& b, MdbAuxInfo_t& r) {
  const std::uint32_t L = b.length;
  if (L == 0 || (!b.longForm && L > 3)) {
    Undecoded(r);
    return kMdbDone;
  }
  const std::uint8_t* p = b.bytes;
  const std::uint8_t f = p[0];
  r.bytes[0] = 6;
  MdbAuxPut16(r, kAux6Categories, ((b.e >> 2) & 3u) * 256u + f);
  r.bytes[kAux6Unit] = b.e & 3;
  if (!b.longForm) {
    if ((f & 0x0E) != 0) {
      if (L != 3) return kMdbBadData;
      r.bytes[kAux6AnglePresent] = 1;
      MdbAuxPut16(r, kAux6Angle, Le(p + 1, 2));
    } else if ((f & 0x70) != 0) {
      if (L < 2) return kMdbBadData;
      std::uint32_t seven = p[1] >> 1;
      if ((p[1] & 1) != 0) {
        if (L != 3) return kMdbBadData;
        seven += p[2] * 256u;
      }
      r.bytes[kAux6ValuePresent] = 1;
      MdbAuxPut16(r, kAux6Value, seven);
    }
  } else {
    if (L < 2) return kMdbBadData;
    const std::uint8_t which = p[1];
    unsigned at = 2;
    if ((which & 1) != 0) {
      if (at + 1 > L || at + 1 > b.have) return kMdbBadData;
      const std::uint8_t s = p[at++];
      std::uint32_t seven = s >> 1;
      if ((s & 1) != 0) {
        if (at + 1 > L || at + 1 > b.have) return kMdbBadData;
        seven += p[at++] * 256u;
      }
      r.bytes[kAux6ValuePresent] = 1;
      MdbAuxPut16(r, kAux6Value, seven);
    }
    if ((which & 2) != 0) {
      if (at + 2 > L || at + 2 > b.have) return kMdbBadData;
      r.bytes[kAux6AnglePresent] = 1;
      MdbAuxPut16(r, kAux6Angle, Le(p + at, 2));
    }
  }
  return kMdbDone;
}

void DecodeClass9(const Block_t& b, MdbAuxInfo_t& r) {
  const std::uint32_t L = b.length;
  if (L > 3) {
    Undecoded(r);
    return;
  }
  r.bytes[0] = 9;
  r.bytes[kAux9Category] = b.e & 7;
  if (L == 0) {
    r.bytes[kAux9Level] = (b.e >> 3) & 7;
    return;
  }
  r.bytes[kAux9Level] = 5;
  r.bytes[kAux9Unit] = (b.e >> 3) & 3;
  if ((b.e & 7) == 7) {
    r.bytes[kAux9Category] = b.bytes[0] & 7;
    MdbAuxPut32(r, kAux9Value, Le(b.bytes + 1, L - 1));
  } else {
    MdbAuxPut32(r, kAux9Value, Le(b.bytes, L));
  }
}

// Classes 10 to 12: a value of up to 'maxLength' bytes above the low bits of e.
void DecodeValue(const Block_t& b, std::uint8_t cls, MdbAuxInfo_t& r) {
  const std::uint32_t L = b.length;
  const std::uint32_t low = b.e & 0x1Fu;
  std::uint32_t value = 0;
  if (L == 0) {
    value = b.e & 0x7Fu;
  } else if (cls == 10 && L <= 2) {
    value = low + 32u * Le(b.bytes, L);
  } else if (cls == 11 && L == 1) {
    value = b.bytes[0] + low * 256u;
  } else if (cls == 12 && L <= 3) {
    value = Le(b.bytes, L) + (low << (8 * L));
  } else {
    Undecoded(r);
    return;
  }
  r.bytes[0] = cls;
  MdbAuxPut32(r, kAuxWord, value);
}

}  // namespace

std::uint8_t MdbAttributeClass(std::uint16_t subtype, unsigned objectClass, std::uint16_t type) {
  const std::uint32_t bit = 1u << (subtype % 32u);
  for (const ClassRow_t& row : kClassRows) {
    if (row.objectClass == objectClass && row.type == type && (row.subtypes & bit) != 0) return row.cls;
  }
  return kAttrUndecoded;
}

int MdbReadAttributes(MdbMap_t& map, unsigned objectClass, std::uint16_t type, std::uint16_t subtype,
                      std::uint32_t& offset, MdbAuxInfo_t* record) {
  Block_t b;
  if (MdbRead(map.rgn.file, offset, &b.e, 1) != kMdbDone) return kMdbBadData;
  std::uint64_t pos = std::uint64_t{offset} + 1;
  if (pos > 0xFFFFFFFFu) return kMdbBadData;
  if (b.e >= 0xE0) {
    b.longForm = true;
    std::uint32_t at = static_cast<std::uint32_t>(pos);
    if (MdbReadVarint(map.rgn.file, at, b.length) != kMdbDone) return kMdbBadData;
    pos = at;
  } else if (b.e >= 0x80) {
    b.length = 1u + ((b.e - 0x80u) >> 5);
  }
  const std::uint64_t end = pos + b.length;
  if (end > 0xFFFFFFFFu) return kMdbBadData;
  b.data = static_cast<std::uint32_t>(pos);
  b.end = static_cast<std::uint32_t>(end);
  if (record == nullptr) {
    offset = b.end;
    return kMdbDone;
  }
  *record = MdbAuxInfo_t{};
  b.have = std::min<std::uint32_t>(b.length, kSmallBytes);
  const std::uint8_t cls = MdbAttributeClass(subtype, objectClass, type);
  int r = kMdbDone;
  if (cls != kAttrLight && cls != kAttrLightVariant && b.have > 0 &&
      MdbRead(map.rgn.file, b.data, b.bytes, b.have) != kMdbDone)
    return kMdbBadData;
  switch (cls) {
    case 2:
    case 3:
      DecodeDepth(b, cls, *record);
      break;
    case 4:
      if (b.length == 0) {
        record->bytes[0] = 4;
        record->bytes[kAuxFirst] = b.e & 0xF;
        record->bytes[kAuxFirst + 1] = (b.e >> 4) & 7;
      } else if (b.length == 1) {
        record->bytes[0] = 4;
        record->bytes[kAuxFirst] = b.e & 0xF;
        record->bytes[kAuxFirst + 1] = b.bytes[0] & 7;
        record->bytes[kAuxFirst + 2] = (b.bytes[0] >> 3) & 3;
      } else {
        Undecoded(*record);
      }
      break;
    case 5:
      if (b.length == 0) {
        record->bytes[0] = 5;
        record->bytes[kAuxFirst] = b.e & 0xF;
      } else {
        Undecoded(*record);
      }
      break;
    case 6:
      r = DecodeClass6(b, *record);
      break;
    case kAttrLight:
    case kAttrLightVariant:
      if (b.length == 0) {
        MdbLight_t light;
        light.cls = cls;
        light.value6 = (b.e >> 1) & 0x3F;
        light.blockEnd = b.end;
        MdbStoreLight(light, *record);
      } else if (!b.longForm) {
        Undecoded(*record);
      } else {
        r = MdbDecodeLight(map, cls, b.e, b.data, b.end, *record);
      }
      break;
    case 9:
      DecodeClass9(b, *record);
      break;
    case 10:
    case 11:
    case 12:
      DecodeValue(b, cls, *record);
      break;
    default:
      Undecoded(*record);
      break;
  }
  if (r != kMdbDone) return r;
  offset = b.end;
  return kMdbDone;
}

}  // namespace mpl
