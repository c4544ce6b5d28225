#pragma once
// The object types a map holds per zoom level, from the TRE overview tables
// (standard types) and the extended-type tables: which types are present at
// the current level, their subtypes, and the kinds they belong to.
#include <cstdint>

#include "mpl/MPL_Engine.h"

namespace mpl {

// One overview table as it is read.
struct MdbOverviewTable_t {
  std::uint32_t offset = 0;  // 0: no table
  std::uint32_t count = 0;
  std::uint16_t recordSize = 0;
  std::uint8_t typeMask = 0xFF;
  std::uint16_t typeOffset = 0;  // puts extended types past the standard ones
  bool hasSubtype = false;
  bool hasKind = false;
};

// One entry of a kinds list.
struct MdbKindEntry_t {
  std::uint16_t type = 0;
  std::uint8_t kind = 0;
  std::uint32_t subtypes = 0;  // 0xFFFFFFFF: the table has no subtypes
};

// Access to the lists in a cursor's buffers.
std::uint16_t MdbListType(const MdbCursor_t& lists, unsigned i);
std::uint32_t MdbListSubtypes(const MdbCursor_t& lists, unsigned i);
MdbKindEntry_t MdbListKind(const MdbCursor_t& lists, unsigned i);
// Sizes the cursor's three buffers for the capacities.
void MdbSizeLists(MdbCursor_t& lists, std::uint16_t typeCapacity, std::uint16_t kindsCapacity);

// Reads one table: the types present at 'level' that the filter (none: all)
// admits, appended to the cursor's lists. 3 when there is no table, 2 when a
// buffer is too small, 1 on a read error.
int MdbReadOverview(MdbMap_t& map, const MdbOverviewTable_t& table, unsigned level, const Filter_t* filter,
                    MdbCursor_t& lists);

// The standard table, then the extended table of a kind into the cursor's
// lists (counts from 0, capacities as sized): 0, 2 when too small, or 1.
int MdbAreaTypeList(MdbMap_t& map, const Filter_t* filter, MdbCursor_t& lists);
int MdbLineTypeList(MdbMap_t& map, const Filter_t* filter, MdbCursor_t& lists);
int MdbPointTypeList(MdbMap_t& map, const Filter_t* filter, MdbCursor_t& lists);

// True when the cursor holds lists built for 'level' in buffers of its capacities.
bool MdbListsBuilt(const MdbCursor_t& lists, unsigned level);

// The kind's lists (kMdbAreas, kMdbLines, kMdbPoints) of the current level,
// without a filter, in 'lists': built again when they were built for another
// level, the buffers grown until they hold the level's types.
int MdbEnsureTypeList(MdbMap_t& map, unsigned kind, MdbCursor_t& lists);

}  // namespace mpl
