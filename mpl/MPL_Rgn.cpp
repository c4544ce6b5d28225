#include "mpl/MPL_Rgn.h"

#include <algorithm>

#include "mpl/MPL_Marine.h"
#include "mpl/MPL_Reader.h"
#include "mpl/MPL_Subfile.h"
#include "mpl/MPL_Tre.h"
#include "mpl/MPL_TypeList.h"
#include "mpl/MPL_UnpackDeltas.h"

namespace mpl {

namespace {

// The highest object index a reference can hold.
constexpr unsigned kMaxIndex = kRefIndexMask;

std::int32_t Add(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

std::int16_t Signed16(const std::uint8_t* p) { return static_cast<std::int16_t>(MdbGet16(p)); }

// The position of an object from its deltas to the subdivision's centre.
MdbPoint_t Position(const MdbMap_t& map, const std::uint8_t* deltas) {
  const MdbSubdivision_t& sd = map.subdiv;
  return MdbPoint_t{Add(sd.centreLat, MdbShiftDelta(Signed16(deltas + 2), sd.bits)),
                    Add(sd.centreLon, MdbShiftDelta(Signed16(deltas), sd.bits))};
}

// The extended pointers of subdivision n; after a failure they count as not
// loaded, so that the next read tries again and fails the same way.
int LoadExtPointers(MdbMap_t& map, unsigned n) {
  const int r = MdbLoadExtPointers(map, n);
  if (r != kMdbDone) map.subdiv.extLoaded = false;
  return r;
}

// Makes subdivision 'n' current with its section cursors (and, for extended
// objects, its extended pointers).
int UseSubdivision(MdbMap_t& map, unsigned n, bool extended) {
  if (n == 0) return kMdbNotFound;
  if (map.subdiv.number != n) {
    const int r = MdbLoadSubdivision(map, n, extended);
    if (r != kMdbDone) return r;
  } else if (extended && !map.subdiv.extLoaded) {
    const int r = LoadExtPointers(map, n);
    if (r != kMdbDone) return r;
  }
  return MdbLoadSections(map);
}

std::uint64_t StandardBase(const MdbMap_t& map) {
  return std::uint64_t{map.rgn.dataOffset} + map.subdiv.rgnOffset;
}

// Extended sections by kind: 0 areas, 1 lines, 2 points.
unsigned ExtKind(unsigned section) { return section - kSecExtAreas; }

std::uint64_t ExtendedBase(const MdbMap_t& map, unsigned k) {
  return std::uint64_t{MdbExtSection(map.rgn, k).offset} + map.extPointers.start[k];
}

int ReadAt(MdbMap_t& map, std::uint64_t offset, void* buffer, std::uint32_t count) {
  if (offset + count > 0xFFFFFFFFu) return kMdbBadData;
  return MdbRead(map.rgn.file, static_cast<std::int64_t>(offset), buffer, count);
}

// The bytes of a variable-length integer by its first byte.
unsigned VarintLength(std::uint8_t first) {
  return (first & 1) != 0 ? 1 : (first & 2) != 0 ? 2 : (first & 4) != 0 ? 3 : 4;
}

// An extended object's record as far as the readers need it.
struct ExtRecord_t {
  std::uint8_t type = 0;
  std::uint8_t flags = 0;  // bits 0-4 subtype, 5 label, 6 optional fields, 7 attributes
  std::uint8_t deltas[4] = {};
  std::uint32_t streamOffset = 0;
  std::uint32_t streamLength = 0;
  std::uint32_t label = 0;
  std::uint32_t attributes = 0;  // the attribute block's offset, 0 without one
  std::uint64_t size = 0;
};

int SkipOptionalFields(MdbMap_t& map, unsigned k, std::uint64_t& pos) {
  const MdbExtSection_t section = MdbExtSection(map.rgn, k);
  const std::uint32_t mask = section.optionMask;
  std::uint32_t present = 0xFFFFFFFFu;
  if ((mask & (1u << 29)) != 0) {
    std::uint8_t b[4] = {};
    if (ReadAt(map, pos, b, 1) != kMdbDone) return kMdbBadData;
    const unsigned n = VarintLength(b[0]);
    if (n > 1 && ReadAt(map, pos + 1, b + 1, n - 1) != kMdbDone) return kMdbBadData;
    const std::uint32_t value = MdbGet32(b);
    present = n == 1 ? value >> 1 : n == 2 ? value >> 2 : value >> 3;
    pos += n;
  }
  unsigned flag = 0;
  for (unsigned i = 0; i < 29; ++i) {
    if ((mask & (1u << i)) == 0) continue;
    const bool here = (present >> flag++) & 1u;
    if (!here) continue;
    const unsigned code = (section.sizeCodes[i / 16] >> (2 * (i % 16))) & 3u;
    if (code < 3) {
      pos += code + 1;
    } else {
      std::uint8_t first = 0;
      if (ReadAt(map, pos, &first, 1) != kMdbDone) return kMdbBadData;
      pos += VarintLength(first);
    }
  }
  return kMdbDone;
}

unsigned TrailerBytes(std::uint32_t pattern) {
  unsigned sum = 0;
  for (unsigned i = 0; i < 32; i += 2) sum += (pattern >> i) & 3u;
  return sum;
}

int ReadExtRecord(MdbMap_t& map, unsigned k, std::uint64_t offset, ExtRecord_t& rec) {
  std::uint8_t h[6];
  if (ReadAt(map, offset, h, 6) != kMdbDone) return kMdbBadData;
  rec.type = h[0];
  rec.flags = h[1];
  std::copy(h + 2, h + 6, rec.deltas);
  std::uint64_t pos = offset + 6;
  rec.streamOffset = 0;
  rec.streamLength = 0;
  if (k != 2) {
    if (pos > 0xFFFFFFFFu) return kMdbBadData;
    std::uint32_t at = static_cast<std::uint32_t>(pos);
    if (MdbReadVarint(map.rgn.file, at, rec.streamLength) != kMdbDone) return kMdbBadData;
    rec.streamOffset = at;
    pos = std::uint64_t{at} + rec.streamLength;
  }
  rec.label = 0;
  rec.attributes = 0;
  if ((rec.flags & 0x20) != 0) {
    std::uint8_t l[3];
    if (ReadAt(map, pos, l, 3) != kMdbDone) return kMdbBadData;
    const std::uint32_t raw = MdbGet24(l);
    // A label with bit 22 or 23 set is none.
    rec.label = (raw & 0xC00000u) != 0 ? 0 : raw;
    pos += 3;
  }
  if ((rec.flags & 0x80) != 0) {
    if (pos > 0xFFFFFFFFu) return kMdbBadData;
    std::uint32_t at = static_cast<std::uint32_t>(pos);
    rec.attributes = at;
    if (MdbSkipAttributes(map.rgn.file, at) != kMdbDone) return kMdbBadData;
    pos = at;
  }
  if ((rec.flags & 0x40) != 0 && SkipOptionalFields(map, k, pos) != kMdbDone) return kMdbBadData;
  pos += TrailerBytes(MdbExtSection(map.rgn, k).trailer);
  rec.size = pos - offset;
  return kMdbDone;
}

// Walks an extended section's cursor to the object of index 'index'.
int FindExtRecord(MdbMap_t& map, unsigned section, unsigned index, ExtRecord_t& rec) {
  MdbSectionCursor_t& cur = map.sections[section];
  if (cur.length == 0 || index == 0) return kMdbNotFound;
  if (index != cur.nextIndex) {
    cur.nextIndex = 1;
    cur.nextOffset = 0;
  }
  const unsigned k = ExtKind(section);
  const std::uint64_t base = ExtendedBase(map, k);
  for (;;) {
    if (cur.nextOffset >= cur.length) return kMdbNotFound;
    const int r = ReadExtRecord(map, k, base + cur.nextOffset, rec);
    if (r != kMdbDone) return r;
    // An object that runs past its section is bad data.
    if (cur.nextOffset + rec.size > cur.length) return kMdbBadData;
    cur.nextOffset = static_cast<std::uint16_t>(cur.nextOffset + rec.size);
    if (cur.nextIndex++ == index) return kMdbDone;
  }
}

// The object's points as the request asks, from its stream.
int FillPoints(MdbMap_t& map, MdbAreaRecord_t& rec, std::uint16_t request, const MdbPoint_t& first,
               std::uint32_t streamOffset, std::uint32_t budget, std::uint8_t mode) {
  rec.points.clear();
  const unsigned wanted = request & kRequestCount;
  if (wanted <= 1) {
    rec.box = MdbBox_t{first.lat, first.lon, first.lat, first.lon};
    if (wanted == 1) rec.points.push_back(first);
    return kMdbDone;
  }
  if (MdbSeek(map.rgn.file, streamOffset, 0) < 0) return kMdbBadData;
  MdbUnpackState_t state;
  state.bits = map.subdiv.bits;
  state.mode = mode;
  state.budget = budget;
  state.startLat = first.lat;
  state.startLon = first.lon;
  state.map = &map;
  if (UnpackDeltas(state, rec.points, 1) == 0) return kMdbNoMemory;
  rec.box = MdbBox_t{state.north, state.east, state.south, state.west};
  return kMdbDone;
}

void ClearAttributes(MdbAuxInfo_t* attributes) {
  if (attributes != nullptr) *attributes = MdbAuxInfo_t{};
}

// The attribute record of an extended object: its block decoded by the class
// that its kind, type and subtype give, or cleared when it has none.
int ExtAttributes(MdbMap_t& map, unsigned objectClass, std::uint16_t type, std::uint16_t subtype,
                  const ExtRecord_t& ext, MdbAuxInfo_t* attributes) {
  ClearAttributes(attributes);
  if (attributes == nullptr || ext.attributes == 0) return kMdbDone;
  std::uint32_t at = ext.attributes;
  return MdbReadAttributes(map, objectClass, type, subtype, at, attributes);
}

int ReadArea(MdbMap_t& map, MdbAreaRecord_t& rec, std::uint16_t request, MdbAuxInfo_t* attributes) {
  if ((rec.ref & kRefExtended) != 0) return MdbReadExtPolyObject(map, kSecExtAreas, rec, request, attributes);
  ClearAttributes(attributes);
  const int r = MdbReadPolyObject(map, kSecAreas, rec, request);
  if (r == kMdbDone) rec.label &= 0x3FFFFF;
  return r;
}

// The kinds of object a search walks.
struct Kind_t {
  unsigned walk;          // walk state
  unsigned overview;      // overview table and extended pointers: kMdbLines, kMdbAreas, kMdbPoints
  unsigned extIndex;      // extended pointers: 0 areas, 1 lines, 2 points
  std::uint8_t flags;     // object-kind flags of the standard sections
  std::uint32_t extFlag;  // extended-subdivision flag: the map has extended objects of the kind
  unsigned section;       // standard section (points: the standard points)
  unsigned extSection;
  MdbActive_t active;
};

constexpr Kind_t kAreas{kWalkAreas, kMdbAreas, 0, kKindAreas, 1, kSecAreas, kSecExtAreas, MdbActive_t::kAreas};
constexpr Kind_t kLines{kWalkLines, kMdbLines, 1, kKindLines, 2, kSecLines, kSecExtLines, MdbActive_t::kLines};
constexpr Kind_t kPoints{kWalkPoints, kMdbPoints, 2, kKindPoints | kKindIndexedPoints, 4,
                         kSecPoints, kSecExtPoints, MdbActive_t::kPoints};

// True when the kind's cursor has passed the last object of the subdivision
// named by the walk state (points: only after the indexed points).
bool SectionDone(const MdbMap_t& map, const Kind_t& kind, std::uint32_t walk) {
  if ((walk & kRefExtended) != 0) {
    const MdbSectionCursor_t& c = map.sections[kind.extSection];
    return c.nextOffset >= c.length;
  }
  const MdbSectionCursor_t& c = map.sections[kind.section];
  const bool atEnd = c.nextOffset >= static_cast<unsigned>(c.start) + c.length;
  if (kind.walk != kWalkPoints) return atEnd;
  return (walk & kRefIndexMask) >= map.sections[kSecIndexedPoints].length / 8u && atEnd;
}

// The next object of a search: 'read' reads the object of a reference, 'keep'
// tests the one read against the search rectangle.
template <class Read, class Keep>
int SearchNext(MdbMap_t& map, const Kind_t& kind, Read read, Keep keep) {
  map.active = kind.active;
  int result = kMdbNotFound;
  std::uint32_t w = map.walkStates[kind.walk];
  if ((w & kRefExtended) == 0) {
    const MdbOverview_t& ov = map.tre.overviews[kind.overview];
    if (ov.offset != 0 && ov.count == 0) {
      MdbResetWalk(map);
      w = kRefExtended;
    }
  }
  for (;;) {
    const unsigned index = w & kRefIndexMask;
    if ((w >> 16) != 0 && index != 0 && index < kMaxIndex) {
      w = (w & ~kRefIndexMask) | (index + 1);
    } else {
      // The index stops at its highest value: the rest of that subdivision
      // cannot be referenced, and the walk moves on.
      const bool extended = (w & kRefExtended) != 0;
      int r = MdbNextSubdivision(map, map.level);
      if (r == kMdbNotFound) {
        if (extended || (map.tre.ext.flags & kind.extFlag) == 0) break;
        MdbResetWalk(map);
        w = kRefExtended;
        map.walkStates[kind.walk] = w;
        continue;
      }
      if (r != kMdbDone) {
        result = r;
        break;
      }
      const unsigned n = map.subdiv.number;
      w = (static_cast<std::uint32_t>(n) << 16) | (w & 0xF000u);
      map.walkStates[kind.walk] = w;
      if (extended) {
        if (!map.subdiv.extLoaded) {
          r = LoadExtPointers(map, n);
          if (r != kMdbDone) {
            result = r;
            break;
          }
        }
        if (map.extPointers.length[kind.extIndex] == 0) continue;
      } else if ((map.subdiv.kinds & kind.flags) == 0) {
        continue;
      }
      w |= 1;
    }
    map.walkStates[kind.walk] = w;
    const int r = read(w);
    if (SectionDone(map, kind, w)) w &= ~kRefIndexMask;
    map.walkStates[kind.walk] = w;
    if (r == kMdbNotFound) continue;
    if (r == kMdbDone && !keep()) continue;
    result = r;
    break;
  }
  map.active = MdbActive_t::kNone;
  return result;
}

int FirstPolySearch(MdbMap_t& map, const Filter_t& filter, unsigned kind, MdbCursor_t& lists) {
  const int r = MdbFilterAdmitsLevel(map, filter, kind);
  if (r != kMdbDone) return r;
  map.extKindsMask = MdbListsBuilt(lists, map.level) ? MdbExtKindsMask(map, lists, filter) : 0;
  MdbResetWalk(map);
  return kMdbDone;
}

}  // namespace

int MdbSkipAttributes(dsk::File_t& rgn, std::uint32_t& offset) {
  std::uint8_t e = 0;
  if (MdbRead(rgn, offset, &e, 1) != kMdbDone) return kMdbBadData;
  std::uint64_t pos = std::uint64_t{offset} + 1;
  std::uint32_t length = 0;
  if (e >= 0xE0) {
    std::uint32_t at = static_cast<std::uint32_t>(pos);
    if (pos > 0xFFFFFFFFu || MdbReadVarint(rgn, at, length) != kMdbDone) return kMdbBadData;
    pos = at;
  } else if (e >= 0x80) {
    length = 1u + ((e - 0x80u) >> 5);
  }
  pos += length;
  if (pos > 0xFFFFFFFFu) return kMdbBadData;
  offset = static_cast<std::uint32_t>(pos);
  return kMdbDone;
}

int MdbLoadSections(MdbMap_t& map) {
  const MdbSubdivision_t& sd = map.subdiv;
  if (sd.number == 0) return kMdbNotFound;
  if (map.sectionsSubdiv == sd.number) return kMdbDone;
  map.sectionsSubdiv = 0;
  const unsigned kinds = sd.kinds & 0x1Fu;
  unsigned present = 0;
  for (unsigned i = 0; i < 5; ++i) present += (kinds >> i) & 1u;
  // The offset table, zero-filled past what the subdivision's data holds.
  std::uint8_t table[8] = {};
  if (present != 0) {
    const std::uint32_t n = std::min<std::uint32_t>(8, sd.dataLength);
    if (n != 0 && ReadAt(map, StandardBase(map), table, n) != kMdbDone) return kMdbBadData;
  }
  // Starts of the present kinds, each clamped into [previous start, data length].
  std::uint32_t start[5] = {}, end[5] = {};
  const std::uint32_t tableEnd = std::min<std::uint32_t>(present != 0 ? 2 * (present - 1) : 0, sd.dataLength);
  std::uint32_t previous = tableEnd;
  unsigned entry = 0;
  bool first = true;
  int last = -1;
  for (unsigned i = 0; i < 5; ++i) {
    if ((kinds & (1u << i)) == 0) continue;
    std::uint32_t s = previous;
    if (!first) s = std::clamp<std::uint32_t>(MdbGet16(table + 2 * entry++), previous, sd.dataLength);
    first = false;
    if (last >= 0) end[last] = s;
    start[i] = s;
    previous = s;
    last = static_cast<int>(i);
  }
  if (last >= 0) end[last] = sd.dataLength;
  // An absent kind starts where the one before it ended and is empty.
  std::uint32_t before = tableEnd;
  for (unsigned i = 0; i < 5; ++i) {
    if ((kinds & (1u << i)) == 0) {
      start[i] = end[i] = before;
    }
    before = end[i];
  }
  for (unsigned i = 0; i < 4; ++i) {
    MdbSectionCursor_t& c = map.sections[kSecPoints + i];
    c.start = static_cast<std::uint16_t>(start[i]);
    c.length = static_cast<std::uint16_t>(end[i] - start[i]);
    c.nextIndex = 1;
    c.nextOffset = c.start;
  }
  if (!sd.extLoaded && (map.tre.ext.flags & 7u) != 0) {
    const int r = LoadExtPointers(map, sd.number);
    if (r != kMdbDone) return r;
  }
  for (unsigned k = 0; k < 3; ++k) {
    // A cursor walks 16-bit offsets: a longer extended part cannot be read.
    if (map.extPointers.length[k] > 0xFFFF) return kMdbBadData;
    MdbSectionCursor_t& c = map.sections[kSecExtAreas + k];
    c.length = static_cast<std::uint16_t>(map.extPointers.length[k]);
    c.start = 0;
    c.nextIndex = 1;
    c.nextOffset = 0;
  }
  map.sectionsSubdiv = sd.number;
  return kMdbDone;
}

int MdbReadPolyObject(MdbMap_t& map, unsigned section, MdbAreaRecord_t& rec, std::uint16_t request,
                      std::uint32_t* labelField) {
  const unsigned index = rec.ref & kRefIndexMask;
  int r = UseSubdivision(map, rec.ref >> 16, false);
  if (r != kMdbDone) return r;
  MdbSectionCursor_t& cur = map.sections[section];
  if (cur.length == 0 || index == 0) return kMdbNotFound;
  if (index != cur.nextIndex) {
    cur.nextIndex = 1;
    cur.nextOffset = cur.start;
  }
  const std::uint32_t end = static_cast<std::uint32_t>(cur.start) + cur.length;
  const std::uint64_t base = StandardBase(map);
  std::uint8_t h[10] = {};
  unsigned header = 0;
  std::uint32_t offset = 0, length = 0;
  for (;;) {
    if (cur.nextOffset >= end) return kMdbNotFound;
    offset = cur.nextOffset;
    if (base + offset + 10 > 0xFFFFFFFFu) return kMdbBadData;
    std::fill(h, h + 10, 0);
    const std::uint32_t got = MdbReadPadded(map.rgn.file, static_cast<std::uint32_t>(base + offset), h, 10);
    header = (h[0] & 0x80) != 0 ? 10 : 9;
    if (got < header) return kMdbBadData;
    length = header == 10 ? MdbGet16(h + 8) : h[8];
    const std::uint32_t size = header + length + 1;
    if (offset + size > end) return kMdbBadData;
    cur.nextOffset = static_cast<std::uint16_t>(offset + size);
    if (cur.nextIndex++ == index) break;
  }
  const bool line = section == kSecLines;
  rec.type = h[0] & 0x7F;
  rec.subtype = 0;
  const std::uint32_t field = MdbGet24(h + 1);
  rec.label = field;
  if (labelField != nullptr) *labelField = field;
  const MdbPoint_t first = Position(map, h + 4);
  const Filter_t* filter = MdbActiveFilter(map);
  if (filter != nullptr && !MdbTypeFilterTest(filter, line ? rec.type & 0x3F : rec.type, 0)) return kMdbNotFound;
  std::uint8_t mode = 0;
  if (line && (field & 0xC00000u) == 0xC00000u) {
    mode = kUnpackExtraBit;
    if ((request & kRequestNodeFlags) != 0) mode |= kUnpackKeepExtra;
  }
  return FillPoints(map, rec, request, first, static_cast<std::uint32_t>(base + offset + header), length + 1, mode);
}

int MdbReadExtPolyObject(MdbMap_t& map, unsigned section, MdbAreaRecord_t& rec, std::uint16_t request,
                         MdbAuxInfo_t* attributes) {
  int r = UseSubdivision(map, rec.ref >> 16, true);
  if (r != kMdbDone) return r;
  ExtRecord_t ext;
  r = FindExtRecord(map, section, rec.ref & kRefIndexMask, ext);
  if (r != kMdbDone) return r;
  rec.type = static_cast<std::uint16_t>(ext.type + (section == kSecExtAreas ? kExtAreaBase : kExtLineBase));
  rec.subtype = ext.flags & 0x1F;
  rec.label = ext.label;
  const MdbPoint_t first = Position(map, ext.deltas);
  const Filter_t* filter = MdbActiveFilter(map);
  if (filter != nullptr && !MdbTypeFilterTest(filter, rec.type, rec.subtype)) return kMdbNotFound;
  const int a = ExtAttributes(map, section == kSecExtAreas ? kAttrExtArea : kAttrExtLine, rec.type, rec.subtype,
                              ext, attributes);
  if (a != kMdbDone) return a;
  return FillPoints(map, rec, request, first, ext.streamOffset, ext.streamLength, kUnpackExtended);
}

int MdbReadLineRecord(MdbMap_t& map, MdbLineRecord_t& rec, std::uint16_t request, MdbAuxInfo_t* attributes) {
  rec.direction = 0;
  rec.netOffset = kMdbNone;
  if ((rec.ref & kRefExtended) != 0) return MdbReadExtPolyObject(map, kSecExtLines, rec, request, attributes);
  ClearAttributes(attributes);
  std::uint32_t field = 0;
  const int r = MdbReadPolyObject(map, kSecLines, rec, request, &field);
  if (r != kMdbDone) return r;
  rec.direction = (rec.type >> 6) & 1;
  rec.type &= 0x3F;
  if ((field & 0x800000u) != 0) {
    rec.netOffset = field & 0x3FFFFF;
    rec.label = kMdbNone;
  } else {
    rec.label = field & 0x3FFFFF;
  }
  return kMdbDone;
}

int MdbGetLine(MdbMap_t& map, MdbLineRecord_t& rec, std::uint16_t request, MdbAuxInfo_t* attributes) {
  map.active = MdbActive_t::kNone;
  return MdbReadLineRecord(map, rec, request, attributes);
}

int MdbGetArea(MdbMap_t& map, MdbAreaRecord_t& rec, std::uint16_t request, MdbAuxInfo_t* attributes) {
  map.active = MdbActive_t::kNone;
  return ReadArea(map, rec, request, attributes);
}

int MdbGetPoint(MdbMap_t& map, MdbPointRecord_t& rec, std::uint16_t request, MdbAuxInfo_t* attributes) {
  map.active = MdbActive_t::kNone;
  return MdbReadPoint(map, rec, request, attributes);
}

int MdbReadPoint(MdbMap_t& map, MdbPointRecord_t& rec, std::uint16_t, MdbAuxInfo_t* attributes) {
  const unsigned index = rec.ref & kRefIndexMask;
  const bool extended = (rec.ref & kRefExtended) != 0;
  int r = UseSubdivision(map, rec.ref >> 16, extended);
  if (r != kMdbDone) return r;
  rec.label = kMdbNone;
  rec.poi = kMdbNone;
  rec.subtype = 0;
  MdbPoint_t at;
  if (extended) {
    ExtRecord_t ext;
    r = FindExtRecord(map, kSecExtPoints, index, ext);
    if (r != kMdbDone) return r;
    rec.type = static_cast<std::uint16_t>(ext.type + kExtPointBase);
    rec.subtype = ext.flags & 0x1F;
    rec.label = ext.label;
    at = Position(map, ext.deltas);
    const Filter_t* filter = MdbActiveFilter(map);
    if (filter != nullptr && !MdbTypeFilterTest(filter, rec.type, rec.subtype)) return kMdbNotFound;
    r = ExtAttributes(map, kAttrExtPoint, rec.type, rec.subtype, ext, attributes);
    if (r != kMdbDone) return r;
  } else {
    if ((map.subdiv.kinds & (kKindPoints | kKindIndexedPoints)) == 0 || index == 0) return kMdbNotFound;
    const MdbSectionCursor_t& indexed = map.sections[kSecIndexedPoints];
    MdbSectionCursor_t& points = map.sections[kSecPoints];
    const unsigned indexedCount = indexed.length / 8u;
    const std::uint64_t base = StandardBase(map);
    std::uint8_t h[9] = {};
    if (index <= indexedCount) {
      if (ReadAt(map, base + indexed.start + 8u * (index - 1), h, 8) != kMdbDone) return kMdbBadData;
      points.nextIndex = static_cast<std::uint16_t>(index + 1);
      points.nextOffset = points.start;
      rec.type = h[0];
      rec.label = MdbGet24(h + 1) & 0x3FFFFF;
    } else {
      if (points.length == 0) return kMdbNotFound;
      if (index != points.nextIndex) {
        points.nextIndex = static_cast<std::uint16_t>(indexedCount + 1);
        points.nextOffset = points.start;
      }
      const std::uint32_t end = static_cast<std::uint32_t>(points.start) + points.length;
      for (;;) {
        if (points.nextOffset >= end) return kMdbNotFound;
        const std::uint32_t offset = points.nextOffset;
        if (base + offset + 9 > 0xFFFFFFFFu) return kMdbBadData;
        std::fill(h, h + 9, 0);
        const std::uint32_t got = MdbReadPadded(map.rgn.file, static_cast<std::uint32_t>(base + offset), h, 9);
        const unsigned size = (h[3] & 0x80) != 0 ? 9 : 8;
        if (got < size || offset + size > end) return kMdbBadData;
        points.nextOffset = static_cast<std::uint16_t>(offset + size);
        if (points.nextIndex++ == index) break;
      }
      rec.type = h[0];
      const std::uint32_t field = MdbGet24(h + 1);
      if ((field & 0x400000u) != 0) {
        rec.poi = field & 0x3FFFFF;
      } else {
        rec.label = field & 0x3FFFFF;
      }
      if ((h[3] & 0x80) != 0) rec.subtype = h[8] & 0x3F;
    }
    at = Position(map, h + 4);
    const Filter_t* filter = MdbActiveFilter(map);
    if (filter != nullptr && !MdbTypeFilterTest(filter, rec.type, rec.subtype)) return kMdbNotFound;
    ClearAttributes(attributes);
  }
  rec.lat = at.lat;
  rec.lon = at.lon;
  return kMdbDone;
}

int MdbFirstArea(MdbMap_t& map, MdbAreaRecord_t& rec, std::uint16_t request, MdbAuxInfo_t* attributes) {
  const int r = FirstPolySearch(map, map.areaFilter, kMdbAreas, map.cursors[0]);
  return r != kMdbDone ? r : MdbNextArea(map, rec, request, attributes);
}

int MdbNextArea(MdbMap_t& map, MdbAreaRecord_t& rec, std::uint16_t request, MdbAuxInfo_t* attributes) {
  return SearchNext(
      map, kAreas,
      [&](std::uint32_t ref) {
        rec.ref = ref;
        return ReadArea(map, rec, request, attributes);
      },
      [&] { return MdbBoxesOverlap(rec.box, map.searchRect); });
}

int MdbFirstLine(MdbMap_t& map, MdbLineRecord_t& rec, std::uint16_t request, MdbAuxInfo_t* attributes) {
  const int r = FirstPolySearch(map, map.lineFilter, kMdbLines, map.cursors[1]);
  return r != kMdbDone ? r : MdbNextLine(map, rec, request, attributes);
}

int MdbNextLine(MdbMap_t& map, MdbLineRecord_t& rec, std::uint16_t request, MdbAuxInfo_t* attributes) {
  return SearchNext(
      map, kLines,
      [&](std::uint32_t ref) {
        rec.ref = ref;
        return MdbReadLineRecord(map, rec, request, attributes);
      },
      [&] { return MdbBoxesOverlap(rec.box, map.searchRect); });
}

int MdbFirstPoint(MdbMap_t& map, MdbPointRecord_t& rec, std::uint16_t request, MdbAuxInfo_t* attributes) {
  map.extKindsMask = 0;
  MdbResetWalk(map);
  return MdbNextPoint(map, rec, request, attributes);
}

int MdbNextPoint(MdbMap_t& map, MdbPointRecord_t& rec, std::uint16_t request, MdbAuxInfo_t* attributes) {
  return SearchNext(
      map, kPoints,
      [&](std::uint32_t ref) {
        rec.ref = ref;
        return MdbReadPoint(map, rec, request, attributes);
      },
      [&] {
        const MdbPoint_t p{rec.lat, rec.lon};
        return MdbPointInBox(map.searchRect, p) && !MdbPointInBox(map.exclusion, p);
      });
}

bool MdbTypeFilterTest(const Filter_t* filter, std::uint16_t type, std::uint16_t subtype) {
  if (filter == nullptr || filter->entries.empty()) return true;
  const auto it = filter->entries.find(type);
  const std::uint32_t bit = 1u << (subtype & 31u);
  if (filter->kind == 1) return it != filter->entries.end() && (it->second & bit) != 0;
  return it == filter->entries.end() || (it->second & bit) == 0;
}

int MdbFilterAdmitsLevel(MdbMap_t& map, const Filter_t& filter, unsigned kind) {
  if (!MdbIsMapOpen(map)) return kMdbNotFound;
  if (filter.entries.empty()) return kMdbDone;
  const MdbOverview_t& standard = map.tre.overviews[kind];
  const MdbTable_t& extended = map.tre.extTypes[kind];
  if (standard.offset == 0 && extended.offset == 0) return kMdbDone;
  if (std::uint64_t{standard.count} + extended.count == 0) return kMdbNotFound;
  MdbCursor_t& lists = map.cursors[kind == kMdbAreas ? 0 : 1];
  const int r = MdbEnsureTypeList(map, kind, lists);
  if (r != kMdbDone) return r;
  for (unsigned i = 0; i < lists.typeCount; ++i) {
    const std::uint16_t type = MdbListType(lists, i);
    const std::uint32_t subtypes = MdbListSubtypes(lists, i);
    if (subtypes == 0xFFFFFFFFu) {
      if (MdbTypeFilterTest(&filter, type, 0)) return kMdbDone;
      continue;
    }
    for (unsigned s = 0; s < 32; ++s)
      if ((subtypes & (1u << s)) != 0 && MdbTypeFilterTest(&filter, type, static_cast<std::uint16_t>(s)))
        return kMdbDone;
  }
  return kMdbNotFound;
}

std::uint32_t MdbExtKindsMask(const MdbMap_t& map, const MdbCursor_t& lists, const Filter_t& filter) {
  if (filter.entries.empty() || filter.kind != 1 || (map.tre.ext.flags & (1u << 10)) == 0 ||
      !MdbListsBuilt(lists, map.level) || lists.kindsCount == 0)
    return 0;
  std::uint32_t mask = 0;
  for (const auto& [type, subtypes] : filter.entries) {
    const std::uint32_t asked = subtypes != 0 ? subtypes : 0xFFFFFFFFu;
    std::uint32_t wanted = asked;
    // Every kind that holds any of the asked subtypes, also after others
    // have covered them: a subdivision may be marked with that kind alone.
    for (unsigned i = 0; i < lists.kindsCount; ++i) {
      const MdbKindEntry_t e = MdbListKind(lists, i);
      if (e.type != type || (e.subtypes & asked) == 0) continue;
      // Kind numbers run to 254; the kinds word holds them modulo 32.
      mask |= 1u << (e.kind & 31u);
      wanted &= ~e.subtypes;
    }
    // Subtypes that no kind lists: any subdivision may hold them.
    if (wanted != 0) return 0;
  }
  return mask;
}

}  // namespace mpl
