#pragma once
// The summary of an open map (id, coverage, levels, capability flags and a few
// display values of the TRE header), its marine chart records and the test
// whether its point-type overview lists given types.
#include <array>
#include <cstdint>

#include "mpl/MPL_Engine.h"

namespace mpl {

// Capability flags of MapInfo_t::flags.
enum : std::uint32_t {
  kInfoCities = 0x1,
  kInfoNetRoads = 0x2,
  kInfoNetTable = 0x4,
  kInfoNetSecond = 0x8,
  kInfoPoiTable = 0x10,
  kInfoTreBit0 = 0x20,
  kInfoTreBit1 = 0x40,
  kInfoTre43Bit0 = 0x80,
  kInfoExits = 0x100,
  kInfoIndexedLabels = 0x200,
  kInfoSortWord = 0x800,
  kInfoNameOrder = 0x1000,
  kInfoTreBit3 = 0x2000,
  kInfoRoutable = 0x4000,
  kInfoTreBit4 = 0x8000,
  kInfoCityPoints = 0x20000,
  kInfoPois = 0x40000,
  kInfoDisplay = 0x80000,
};

struct MapInfo_t {
  std::uint8_t levelCount = 0;
  std::array<std::uint8_t, kMdbLevels> levelBits{};  // usable levels, ascending level number
  std::uint8_t display = 0;
  std::uint8_t word43Low = 0;    // bits 8-15 of the TRE word at 0x43
  std::uint16_t word43High = 0;  // bits 16-23; 18 marks a marine chart
  std::uint8_t scale = 0;
  std::uint32_t mapId = 0;
  std::uint32_t flags = 0;
  std::int32_t north = 0, east = 0, south = 0, west = 0;
  std::uint16_t mapDate = 0;  // (year - 1900) x 16 + month of a chart; 0 otherwise
};

struct MarineChartRecord_t {
  std::uint32_t number = 0;  // 1-based; set by the caller
  std::uint8_t kind = 0;     // 0, 2 or 4
  std::uint8_t chartClass = 0;
  std::uint8_t byte42 = 0;
  std::uint32_t labelA = 0, labelB = 0;
  std::array<std::int32_t, 6> coords{};
  std::uint32_t raw25 = 0;
  std::uint32_t labelC = 0, labelD = 0;
  struct Date_t {
    std::uint8_t month = 0, day = 0;
    std::uint16_t year = 0;
  };
  std::array<Date_t, 3> dates{};
  std::uint32_t labelE = 0;
};

// Fills the info: 0, or the read error of the TRE header (the flags from LBL,
// NET and NOD set all the same) or of the notice table. With a non-zero
// capacity up to that many notice label offsets go to 'notices'.
int MdbGetMapInfo(MdbMap_t& map, MapInfo_t& info, unsigned noticeCapacity = 0, std::uint32_t* notices = nullptr);
// The chart record numbered record.number: 0, 3 when there is none, or a read error.
int MdbReadChartRecord(MdbMap_t& map, MarineChartRecord_t& record);
// True when the point-type overview lists one of the types at the current
// level. Leaves the map's point filter set to those types.
bool MdbHasPointTypes(MdbMap_t& map, const std::uint16_t* types, unsigned count);
// The filter := kind 1 with each type (a type met twice ORs its masks); no
// masks: every subtype.
void MdbSetFilterTypes(Filter_t& filter, const std::uint16_t* types, const std::uint32_t* masks, unsigned count);

}  // namespace mpl
