#include "mpl/MPL_MapInfo.h"

#include <cmath>

#include "mpl/MPL_Level.h"
#include "mpl/MPL_Subfile.h"
#include "mpl/MPL_TypeList.h"

namespace mpl {

namespace {

bool HasTypesInRange(MdbMap_t& map, std::uint16_t first, std::uint16_t last) {
  std::uint16_t types[16];
  unsigned n = 0;
  for (unsigned t = first; t <= last && n < 16; ++t) types[n++] = static_cast<std::uint16_t>(t);
  return MdbHasPointTypes(map, types, n);
}

}  // namespace

void MdbSetFilterTypes(Filter_t& filter, const std::uint16_t* types, const std::uint32_t* masks, unsigned count) {
  filter.entries.clear();
  filter.kind = 1;
  for (unsigned i = 0; i < count; ++i) filter.Add(types[i], masks ? masks[i] : Filter_t::kAnySubtype);
}

bool MdbHasPointTypes(MdbMap_t& map, const std::uint16_t* types, unsigned count) {
  const MdbOverview_t& overview = map.tre.overviews[kMdbPoints];
  if (overview.offset == 0 || overview.count == 0) return false;
  // A filter of its own: the map's point filter belongs to its searches.
  Filter_t filter;
  MdbSetFilterTypes(filter, types, nullptr, count);
  MdbCursor_t lists;
  MdbSizeLists(lists, 64, 64);
  const int r = MdbPointTypeList(map, &filter, lists);
  return (r == kMdbDone || r == kMdbNoMemory) && lists.typeCount > 0;
}

int MdbReadChartRecord(MdbMap_t& map, MarineChartRecord_t& record) {
  const MdbLbl_t& lbl = map.lbl;
  if (record.number == 0 || lbl.marineRecordSize == 0 || record.number > lbl.marineLength / lbl.marineRecordSize)
    return kMdbNotFound;
  std::uint8_t raw[46] = {};
  const std::uint32_t size = lbl.marineRecordSize < 46 ? lbl.marineRecordSize : 46u;
  const std::uint64_t at = lbl.marineOffset + std::uint64_t{record.number - 1} * lbl.marineRecordSize;
  if (at > 0xFFFFFFFFu) return kMdbBadData;
  const int r = MdbRead(map.lbl.file, static_cast<std::int64_t>(at), raw, size);
  if (r != kMdbDone) return r;
  record.chartClass = raw[0] & 3;
  switch ((raw[0] >> 2) & 3) {
    case 0: record.kind = 0; break;
    case 1: record.kind = 2; break;
    case 2: record.kind = 4; break;
    default: break;  // left as the caller had it
  }
  auto label = [&](unsigned at3) { return MdbGet24(raw + at3) & 0x3FFFFFu; };
  record.labelA = label(1);
  record.labelB = label(4);
  for (unsigned i = 0; i < 6; ++i)
    record.coords[i] = static_cast<std::int32_t>(MdbGet24(raw + 7 + 3 * i) << 8);
  record.raw25 = MdbGet32(raw + 25);
  record.labelC = label(29);
  record.labelD = label(32);
  for (unsigned i = 0; i < 3; ++i) {
    const std::uint16_t w = MdbGet16(raw + 35 + 2 * i);
    record.dates[i].year = w & 0x0FFF;
    record.dates[i].month = static_cast<std::uint8_t>(w >> 12);
    record.dates[i].day = 1;
  }
  record.dates[2].day = static_cast<std::uint8_t>(raw[41] + ((lbl.marineWord & 1) ? 1 : 0));
  record.byte42 = raw[42];
  record.labelE = label(43);
  return kMdbDone;
}

int MdbGetMapInfo(MdbMap_t& map, MapInfo_t& info, unsigned noticeCapacity, std::uint32_t* notices) {
  info = MapInfo_t();
  // The TRE header was read whole when the map opened.
  const int read = map.tre.file.IsOpen() ? kMdbDone : kMdbBadData;
  const MdbTreHeader_t& h = map.tre.header;
  const unsigned length = h.length;
  if (read == kMdbDone) {
    if (map.lbl.cities.count != 0 && (map.lbl.cities.recordSize & 0x8000) != 0)
      info.flags |= kInfoCities | kInfoCityPoints;
    else if (HasTypesInRange(map, 1, 13))
      info.flags |= kInfoCityPoints;
    if (map.net.first.length != 0) info.flags |= kInfoNetRoads;
    if (map.net.table.count != 0) info.flags |= kInfoNetTable;
    if (map.net.second.length != 0) info.flags |= kInfoNetSecond;
    if (map.lbl.table73.count != 0)
      info.flags |= kInfoPoiTable | kInfoPois;
    else if (HasTypesInRange(map, 42, 48))
      info.flags |= kInfoPois;
    if (map.lbl.exits.count != 0) info.flags |= kInfoExits;
    if (map.lbl.indexedLabels.count != 0) info.flags |= kInfoIndexedLabels;
    if (length >= 67) {
      const std::uint32_t w = h.flags;
      const std::uint32_t bits[5] = {kInfoTreBit0, kInfoTreBit1, kInfoNameOrder, kInfoTreBit3, kInfoTreBit4};
      for (unsigned b = 0; b < 5; ++b)
        if (w & (1u << b)) info.flags |= bits[b];
      if (w & 0x03FC0000u) info.flags |= kInfoDisplay;
      info.display = static_cast<std::uint8_t>(((w >> 8) & 0x1F) + ((w & 2) ? 0x20 : 0));
    }
    if (length >= 71) {
      const std::uint32_t w = h.word43;
      if (w & 1) info.flags |= kInfoTre43Bit0;
      info.word43Low = static_cast<std::uint8_t>(w >> 8);
      info.word43High = static_cast<std::uint16_t>((w >> 16) & 0xFF);
    }
    if (length >= 124) {
      const std::uint32_t d = h.scaleDistance;
      if (d != 0)
        info.scale = static_cast<std::uint8_t>(
            static_cast<std::int64_t>(std::floor(255.0 - 20.0 * std::log(static_cast<double>(static_cast<float>(d) * 0.001f)))) & 0xFF);
    }
  }
  if ((map.lbl.sortId & 0x8000) != 0 && map.lbl.labels.encoding != 6 && map.lbl.labels.encoding != 7)
    info.flags |= kInfoSortWord;
  if (map.nod.file.IsOpen()) info.flags |= kInfoRoutable;
  if (read != kMdbDone) return read;

  info.mapId = map.mapId;
  info.north = map.bounds.north;
  info.east = map.bounds.east;
  info.south = map.bounds.south;
  info.west = map.bounds.west;

  if (length >= 63 && noticeCapacity != 0 && notices != nullptr) {
    const std::uint32_t offset = h.noticeOffset;
    const std::uint32_t size = h.noticeLength;
    const std::uint16_t recordSize = h.noticeRecordSize;
    // A table without a record size has no records.
    const std::uint32_t count = recordSize == 0 ? 0 : size / recordSize;
    const std::uint32_t n = count < noticeCapacity ? count : noticeCapacity;
    for (std::uint32_t i = 0; i < n; ++i) {
      std::uint8_t rec[3];
      const int r = MdbRead(map.tre.file, std::int64_t{offset} + std::int64_t{i} * recordSize, rec, 3);
      if (r != kMdbDone) return r;
      notices[i] = MdbGet24(rec);
    }
  }

  // Never more levels than the level table holds, whatever the header says.
  const unsigned highest = map.tre.highestLevel < kMdbLevels ? map.tre.highestLevel : kMdbLevels - 1;
  for (unsigned n = 0; n <= highest; ++n)
    if (MdbLevelUsable(map, n)) info.levelBits[info.levelCount++] = map.tre.levelBits[n];

  if (MdbIsQuirkTreHeader(h)) info.flags |= kInfoDisplay;

  if (info.word43High == 18) {
    MarineChartRecord_t chart;
    chart.number = 1;
    if (MdbReadChartRecord(map, chart) == kMdbDone) {
      const unsigned year = chart.dates[1].year < 1900 ? 1900 : chart.dates[1].year;
      info.mapDate = static_cast<std::uint16_t>((year - 1900) * 16 + chart.dates[1].month);
    }
  }
  return kMdbDone;
}

}  // namespace mpl
