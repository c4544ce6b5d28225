#include "mpl/MPL_TypeList.h"

#include <cstring>

#include "mpl/MPL_Reader.h"
#include "mpl/MPL_Rgn.h"

namespace mpl {

namespace {

constexpr unsigned kKindEntrySize = 7;  // u16 type, kind byte, u32 subtype mask
// A level no list is built for.
constexpr std::uint8_t kNoLevel = 0xFF;

void Put16(std::uint8_t* p, std::uint16_t v) { std::memcpy(p, &v, 2); }
void Put32(std::uint8_t* p, std::uint32_t v) { std::memcpy(p, &v, 4); }
std::uint16_t Get16(const std::uint8_t* p) {
  std::uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
std::uint32_t Get32(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

int AddKind(MdbCursor_t& lists, std::uint16_t type, std::uint8_t kind, std::uint32_t bit) {
  for (unsigned i = 0; i < lists.kindsCount; ++i) {
    std::uint8_t* e = lists.kinds.data() + i * kKindEntrySize;
    if (Get16(e) == type && e[2] == kind) {
      Put32(e + 3, Get32(e + 3) | bit);
      return kMdbDone;
    }
  }
  if (lists.kindsCount >= lists.kindsCapacity) return kMdbNoMemory;
  std::uint8_t* e = lists.kinds.data() + lists.kindsCount * kKindEntrySize;
  Put16(e, type);
  e[2] = kind;
  Put32(e + 3, bit);
  ++lists.kindsCount;
  return kMdbDone;
}

int KindList(MdbMap_t& map, unsigned kind, const Filter_t* filter, MdbCursor_t& lists) {
  lists.typeCount = 0;
  lists.kindsCount = 0;
  const std::uint32_t flags = map.tre.ext.flags;
  static constexpr std::uint8_t kMask[3] = {0x3F, 0x7F, 0x7F};         // lines, areas, points
  static constexpr std::uint16_t kOffset[3] = {kExtLineBase, kExtAreaBase, kExtPointBase};
  static constexpr std::uint32_t kKindFlag[3] = {1u << 6, 1u << 7, 1u << 8};
  const MdbOverview_t& ov = map.tre.overviews[kind];
  MdbOverviewTable_t standard;
  standard.offset = ov.offset;
  standard.count = ov.count;
  standard.recordSize = ov.recordSize;
  standard.typeMask = kMask[kind];
  standard.hasSubtype = kind == kMdbPoints;
  standard.hasKind = (flags & kKindFlag[kind]) != 0;
  int r = MdbReadOverview(map, standard, map.level, filter, lists);
  if (r != kMdbDone && r != kMdbNotFound) return r;
  const MdbTable_t& et = map.tre.extTypes[kind];
  MdbOverviewTable_t extended;
  extended.offset = et.offset;
  extended.count = et.count;
  extended.recordSize = et.recordSize;
  extended.typeMask = 0xFF;
  extended.typeOffset = kOffset[kind];
  extended.hasSubtype = true;
  extended.hasKind = (flags & (1u << 9)) != 0;
  r = MdbReadOverview(map, extended, map.level, filter, lists);
  return r == kMdbNotFound ? kMdbDone : r;
}

}  // namespace

std::uint16_t MdbListType(const MdbCursor_t& lists, unsigned i) { return Get16(lists.types.data() + 2 * i); }
std::uint32_t MdbListSubtypes(const MdbCursor_t& lists, unsigned i) {
  return Get32(lists.subtypes.data() + 4 * i);
}
MdbKindEntry_t MdbListKind(const MdbCursor_t& lists, unsigned i) {
  const std::uint8_t* e = lists.kinds.data() + i * kKindEntrySize;
  return MdbKindEntry_t{Get16(e), e[2], Get32(e + 3)};
}

void MdbSizeLists(MdbCursor_t& lists, std::uint16_t typeCapacity, std::uint16_t kindsCapacity) {
  lists.typeCapacity = typeCapacity;
  lists.kindsCapacity = kindsCapacity;
  lists.types.assign(2u * typeCapacity, 0);
  lists.subtypes.assign(4u * typeCapacity, 0);
  lists.kinds.assign(kKindEntrySize * kindsCapacity, 0);
  lists.typeCount = 0;
  lists.kindsCount = 0;
}

int MdbReadOverview(MdbMap_t& map, const MdbOverviewTable_t& table, unsigned level, const Filter_t* filter,
                    MdbCursor_t& lists) {
  if (table.offset == 0) return kMdbNotFound;
  MdbBufReader_t reader;
  std::uint8_t window[16];
  if (MdbBufOpen(reader, map.tre.file, table.offset, window, sizeof window) != kMdbDone) return kMdbBadData;
  const unsigned fields = 2u + (table.hasSubtype ? 1u : 0u) + (table.hasKind ? 1u : 0u);
  for (std::uint32_t i = 0; i < table.count; ++i) {
    if (lists.typeCount >= lists.typeCapacity) return kMdbNoMemory;
    const std::uint64_t at = table.offset + std::uint64_t{i} * table.recordSize;
    if (at > 0xFFFFFFFFu) return kMdbBadData;
    if (i != 0 && MdbBufSeek(reader, static_cast<std::uint32_t>(at)) != kMdbDone) return kMdbBadData;
    std::uint8_t rec[4] = {};
    if (MdbBufRead(reader, rec, static_cast<std::uint16_t>(fields)) != kMdbDone) return kMdbBadData;
    const std::uint16_t type = static_cast<std::uint16_t>((rec[0] & table.typeMask) + table.typeOffset);
    const std::uint8_t subtype = table.hasSubtype ? rec[2] : 0;
    const std::uint8_t kindByte = table.hasKind ? rec[table.hasSubtype ? 3 : 2] : 0;
    if (rec[1] < level || !MdbTypeFilterTest(filter, type, subtype)) continue;
    // Records of one type follow each other: a new type starts a new entry.
    if (lists.typeCount == 0 || MdbListType(lists, lists.typeCount - 1u) != type) {
      Put16(lists.types.data() + 2u * lists.typeCount, type);
      Put32(lists.subtypes.data() + 4u * lists.typeCount, table.hasSubtype ? 0u : 0xFFFFFFFFu);
      ++lists.typeCount;
    }
    const std::uint32_t bit = table.hasSubtype ? 1u << (subtype & 31u) : 0xFFFFFFFFu;
    std::uint8_t* mask = lists.subtypes.data() + 4u * (lists.typeCount - 1u);
    if (table.hasSubtype) Put32(mask, Get32(mask) | bit);
    if (kindByte >= 1) {
      const int r = AddKind(lists, type, static_cast<std::uint8_t>(kindByte - 1), bit);
      if (r != kMdbDone) return r;
    }
  }
  return kMdbDone;
}

int MdbAreaTypeList(MdbMap_t& map, const Filter_t* filter, MdbCursor_t& lists) {
  return KindList(map, kMdbAreas, filter, lists);
}
int MdbLineTypeList(MdbMap_t& map, const Filter_t* filter, MdbCursor_t& lists) {
  return KindList(map, kMdbLines, filter, lists);
}
int MdbPointTypeList(MdbMap_t& map, const Filter_t* filter, MdbCursor_t& lists) {
  return KindList(map, kMdbPoints, filter, lists);
}

bool MdbListsBuilt(const MdbCursor_t& lists, unsigned level) {
  return lists.typeCapacity != 0 && lists.level == level && lists.types.size() == 2u * lists.typeCapacity &&
         lists.subtypes.size() == 4u * lists.typeCapacity &&
         lists.kinds.size() == kKindEntrySize * lists.kindsCapacity && lists.typeCount <= lists.typeCapacity &&
         lists.kindsCount <= lists.kindsCapacity;
}

int MdbEnsureTypeList(MdbMap_t& map, unsigned kind, MdbCursor_t& lists) {
  if (MdbListsBuilt(lists, map.level)) return kMdbDone;
  std::uint32_t capacity = lists.typeCapacity != 0 ? lists.typeCapacity : 32;
  for (;;) {
    MdbSizeLists(lists, static_cast<std::uint16_t>(capacity), static_cast<std::uint16_t>(capacity));
    const int r = KindList(map, kind, nullptr, lists);
    if (r == kMdbDone) {
      lists.level = map.level;
      return r;
    }
    lists.level = kNoLevel;
    if (r != kMdbNoMemory || capacity >= 0x8000) return r;
    capacity *= 2;
  }
}

}  // namespace mpl
