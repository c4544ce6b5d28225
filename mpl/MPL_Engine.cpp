#include "mpl/MPL_Engine.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <exception>

#include "dsk/DSK_Media.h"
#include "glo/GLO_Locale.h"
#include "mpl/MPL_Dem.h"
#include "mpl/MPL_Subfile.h"

namespace mpl {

namespace {

constexpr std::uint32_t kRgnHeaderRead = 121;
constexpr std::uint32_t kLblHeaderRead = 236;
constexpr std::uint32_t kNetHeaderRead = 67;
constexpr std::uint32_t kNodHeaderRead = 63;

bool MagicMatches(const std::uint8_t* header, const char* kind) {
  return std::memcmp(header + 2, "VORTAN ", 7) == 0 && std::memcmp(header + 9, kind, 3) == 0 &&
         MdbGet16(header + 12) == 1;
}

// The header length as the gates compare it.
int HeaderLength(const std::uint8_t* header) { return static_cast<std::int16_t>(MdbGet16(header)); }

std::uint32_t CountOf(std::uint32_t length, std::uint32_t recordSize) {
  return recordSize == 0 ? 0 : length / recordSize;
}

// Reads the header of a sub-file into a zero-filled buffer: what the file
// holds of the first 'size' bytes. False when it lacks even the common part.
bool ReadHeader(dsk::File_t& file, std::uint8_t* buffer, std::uint32_t size) {
  return MdbReadPadded(file, 0, buffer, size) >= 14;
}

int CloseOnFailure(MdbMap_t& map, int result) {
  MdbClose(map);
  return result;
}

}  // namespace

MdbExtSection_t MdbExtSection(const MdbRgn_t& rgn, unsigned k) {
  MdbExtSection_t s;
  if (k > 2) return s;
  const std::uint32_t* w = rgn.extWords.data() + 7 * k;
  s.offset = w[0];
  s.length = w[1];
  s.unused = w[2];
  s.trailer = w[3];
  s.optionMask = w[4];
  s.sizeCodes = {w[5], w[6]};
  return s;
}

const Filter_t* MdbActiveFilter(const MdbMap_t& map) {
  switch (map.active) {
    case MdbActive_t::kPoints:
      return &map.pointFilter;
    case MdbActive_t::kLines:
      return &map.lineFilter;
    case MdbActive_t::kAreas:
      return &map.areaFilter;
    default:
      return nullptr;
  }
}

void MdbResetFilter(Filter_t& filter) {
  filter.kind = 0;
  filter.entries.clear();
}

void MdbClearCursors(MdbCursor_t& cursor) {
  cursor.types.clear();
  cursor.subtypes.clear();
  cursor.kinds.clear();
}

bool MdbShiftOffset(std::uint32_t offset, unsigned shift, std::uint32_t& out) {
  out = 0;
  if (shift >= 32) return offset == 0;
  const std::uint64_t wide = static_cast<std::uint64_t>(offset) << shift;
  if (wide > 0xFFFFFFFFull) return false;
  out = static_cast<std::uint32_t>(wide);
  return true;
}

void MdbInit(MdbMap_t& map) {
  MdbClose(map);
  const ImageSource_t source = map.source;
  map = MdbMap_t();
  map.source = source;
}

bool MdbIsMapOpen(const MdbMap_t& map) { return map.mapId != 0 && map.tre.file.IsOpen(); }

void MdbClose(MdbMap_t& map) {
  map.mapId = 0;
  for (MdbCursor_t& c : map.cursors) MdbClearCursors(c);
  MdbCloseFile(map.rgn.file);
  MdbCloseFile(map.lbl.file);
  MdbCloseFile(map.net.file);
  MdbCloseFile(map.net.file2);
  MdbCloseFile(map.nod.file);
  MdbCloseFile(map.srt.file);
  MdbCloseFile(map.dem.file);
  MdbCloseFile(map.tre.file);
}

int MdbCopy(MdbMap_t& target, const MdbMap_t& source) {
  if (&target == &source) return kMdbDone;
  try {
    target = source;  // each handle is reopened on its file in its mode
    return kMdbDone;
  } catch (const dsk::MediaUnavailable_t&) {
    throw;
  } catch (const std::exception&) {
    MdbClose(target);
    return kMdbBadData;
  }
}

void MdbResetSearch(MdbMap_t& map) {
  map.searchRect = kMdbWorld;
  map.exclusion = kMdbNoExclusion;
  map.level = map.tre.lowestLevel;
  map.active = MdbActive_t::kNone;
  MdbResetFilter(map.pointFilter);
  MdbResetFilter(map.lineFilter);
  MdbResetFilter(map.areaFilter);
}

std::uint32_t MdbMapIdFromName(const std::string& mapName, unsigned month, unsigned day, unsigned hour,
                               unsigned minute) {
  const std::size_t colon = mapName.find(':');
  const std::size_t start = colon == std::string::npos ? 0 : colon + 1;
  bool digits = true;
  for (std::size_t i = start; i < mapName.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(mapName[i]))) digits = false;
  if (digits) {
    std::uint32_t v = 0;
    for (std::size_t i = start; i < mapName.size(); ++i) v = v * 10 + static_cast<std::uint32_t>(mapName[i] - '0');
    // Parsing moved past the beginning of the name: digits were read, or a colon skipped.
    if (start > 0 || !mapName.empty())
      return (v & 0x3FFFF) + ((month & 3) << 18);
  }
  const std::uint32_t id =
      (((((month - 1) * 31 + day - 1) * 24 + hour) * 60 + minute) & 0xFFFF);
  return id == 0 ? 0xFFFF : id;
}

MdbTreHeader_t MdbParseTreHeader(const std::uint8_t* h) {
  MdbTreHeader_t t;
  t.length = MdbGet16(h);
  t.year = MdbGet16(h + 14);
  t.month = h[16];
  t.day = h[17];
  t.hour = h[18];
  t.minute = h[19];
  auto bound = [&](unsigned at) { return static_cast<std::int32_t>(MdbGet24(h + at) << 8); };
  t.north = bound(21);
  t.east = bound(24);
  t.south = bound(27);
  t.west = bound(30);
  t.levelOffset = MdbGet32(h + 33);
  t.levelLength = MdbGet32(h + 37) & 0xFFFF;
  t.subdivOffset = MdbGet32(h + 41);
  t.noticeOffset = MdbGet32(h + 49);
  t.noticeLength = MdbGet32(h + 53);
  t.noticeRecordSize = MdbGet16(h + 57);
  t.flags = MdbGet32(h + 63);
  t.word43 = MdbGet32(h + 67);
  for (unsigned k = 0; k < 3; ++k) {
    const std::uint8_t* o = h + 74 + 14 * k;
    t.overviews[k] = {MdbGet32(o), MdbGet32(o + 4), MdbGet16(o + 8), static_cast<std::uint8_t>(o[10] & 0x3F)};
  }
  t.mapId = MdbGet32(h + 116);
  t.scaleDistance = MdbGet32(h + 120);
  t.extOffset = MdbGet32(h + 124);
  t.extLength = MdbGet32(h + 128);
  t.extRecordSize = MdbGet16(h + 132);
  t.extFlags = MdbGet32(h + 134);
  t.extTypesOffset = MdbGet32(h + 138);
  t.extTypesRecordSize = MdbGet16(h + 146);
  for (unsigned k = 0; k < 3; ++k) t.extTypeCounts[k] = MdbGet16(h + 148 + 2 * k) & 0x0FFF;
  return t;
}

bool MdbIsQuirkTreHeader(const MdbTreHeader_t& h) {
  return h.year == 2001 && h.month == 2 && h.day == 2 && h.mapId != 2125566 && (h.word43 >> 16) == 0x000B;
}

namespace {

// The records of the level table, one per level number 0 to 8, each naming
// its level, whether it has data of its own, its resolution bits and its
// subdivision count. Fills the level fields; the subdivision total is returned
// through 'total'.
int ParseLevels(MdbTre_t& tre, const std::uint8_t* levels, std::uint32_t records, std::uint32_t& total) {
  total = 0;
  std::array<std::uint32_t, kMdbLevels> counts{};
  std::array<bool, kMdbLevels> seen{};
  tre.levelMask = 0xFFFF;
  tre.lowestLevel = 8;
  tre.highestLevel = 0;
  for (std::uint32_t i = 0; i < records; ++i) {
    const std::uint8_t* r = levels + 4 * i;
    const unsigned n = r[0] & 0x7F;
    if (n >= kMdbLevels || seen[n]) return kMdbBadData;
    seen[n] = true;
    const std::uint16_t subdivs = MdbGet16(r + 2);
    total += subdivs;
    counts[n] = subdivs;
    tre.levelBits[n] = r[1];
    if (!(r[0] & 0x80)) tre.levelMask = static_cast<std::uint16_t>(tre.levelMask & ~(1u << n));
    tre.lowestLevel = static_cast<std::uint8_t>(std::min<unsigned>(tre.lowestLevel, n));
    tre.highestLevel = static_cast<std::uint8_t>(std::max<unsigned>(tre.highestLevel, n));
  }
  // Subdivisions are numbered from 1 at the least detailed level on; the
  // numbers must fit in 16 bits.
  if (total > 0xFFFF) return kMdbBadData;
  tre.totalSubdivs = static_cast<std::uint16_t>(total);
  std::uint32_t running = 1;
  for (int n = kMdbLevels - 1; n >= 0; --n) {
    if (counts[n] == 0) continue;
    tre.firstSubdiv[n] = static_cast<std::uint16_t>(running);
    running += counts[n];
  }
  return kMdbDone;
}

// The flag word, the type overviews and, in headers of 2001 on, the extended
// subdivision table and the extended type overviews, as far as the header
// length reaches.
int ReadTreTables(MdbTre_t& tre, int length, std::uint32_t total) {
  const MdbTreHeader_t& h = tre.header;
  if (length > 63) {
    tre.flags = h.flags;
    tre.valueA = ((tre.flags >> 18) & 0xFF) + ((tre.flags & (1u << 26)) ? 64 : 0);
    tre.valueB = (tre.flags >> 13) & 0x1F;
  }
  auto overview = [&](unsigned k) {
    MdbOverview_t& o = tre.overviews[k];
    o.offset = h.overviews[k].offset;
    o.recordSize = h.overviews[k].recordSize;
    o.count = CountOf(h.overviews[k].length, o.recordSize);
    o.extra = h.overviews[k].extra;
  };
  if (length > 74) overview(kMdbLines);
  if (length > 88) overview(kMdbAreas);
  if (length > 112) overview(kMdbPoints);

  if (length > 134 && h.year >= 2001) {
    MdbExtSubdivTable_t& ext = tre.ext;
    ext.offset = h.extOffset;
    ext.recordSize = h.extRecordSize;
    ext.flags = h.extFlags;
    const std::uint32_t extRecords = CountOf(h.extLength, ext.recordSize);
    // The table has one record more than the subdivisions it covers, which
    // are the last ones; a table covering more than there are is bad.
    if (extRecords >= 2) {
      ext.lastIndex = extRecords - 1;
      if (ext.lastIndex > total) return kMdbBadData;
      ext.firstCovered = total - ext.lastIndex + 1;
    }
  }
  if (length > 148 && h.year >= 2001) {
    std::uint64_t at = h.extTypesOffset;
    for (unsigned k = 0; k < 3; ++k) {
      MdbTable_t& t = tre.extTypes[k];
      t.count = h.extTypeCounts[k];
      t.recordSize = h.extTypesRecordSize;
      t.offset = static_cast<std::uint32_t>(at);
      at += static_cast<std::uint64_t>(t.count) * t.recordSize;
      if (at > 0xFFFFFFFFull) return kMdbBadData;
    }
  }
  return kMdbDone;
}

}  // namespace

int MdbReadTreHeader(MdbMap_t& map, std::uint32_t& mapId) {
  MdbTre_t& tre = map.tre;
  if (OpenSubfile(tre.file, map, ".TRE", map.source) != kMdbDone) return kMdbBadData;
  std::uint8_t bytes[kMdbTreHeaderSize];
  if (MdbRead(tre.file, 0, bytes, kMdbTreHeaderSize) != kMdbDone) return kMdbBadData;
  if (!MagicMatches(bytes, "TRE")) return kMdbBadData;
  tre.header = MdbParseTreHeader(bytes);
  const MdbTreHeader_t& h = tre.header;
  const int length = HeaderLength(bytes);

  // The level table: at most one record per level number.
  const std::uint32_t records = h.levelLength / 4;
  if (records > kMdbLevels) return kMdbBadData;
  std::uint8_t levels[4 * kMdbLevels] = {};
  if (records > 0 && MdbRead(tre.file, h.levelOffset, levels, 4 * records) != kMdbDone) return kMdbBadData;

  map.bounds.north = h.north;
  map.bounds.east = h.east;
  map.bounds.south = h.south;
  map.bounds.west = h.west;
  if (map.bounds.west == map.bounds.east)
    map.bounds.east = static_cast<std::int32_t>(static_cast<std::uint32_t>(map.bounds.east) - 1);

  mapId = length > 116 ? h.mapId & 0x0FFFFFFF : MdbMapIdFromName(map.mapName, h.month, h.day, h.hour, h.minute);
  tre.subdivOffset = h.subdivOffset;

  std::uint32_t total = 0;
  int result = ParseLevels(tre, levels, records, total);
  if (result == kMdbDone) result = ReadTreTables(tre, length, total);
  if (result != kMdbDone) return result;
  if (MdbIsQuirkTreHeader(h)) {
    tre.valueA = 71;
    tre.valueB = 6;
  }
  return kMdbDone;
}

int MdbReadRgnHeader(MdbMap_t& map) {
  MdbRgn_t& rgn = map.rgn;
  if (OpenSubfile(rgn.file, map, ".RGN", map.source) != kMdbDone) return kMdbBadData;
  std::uint8_t h[kRgnHeaderRead];
  if (!ReadHeader(rgn.file, h, kRgnHeaderRead) || !MagicMatches(h, "RGN")) return kMdbBadData;
  const int length = HeaderLength(h);
  rgn.dataOffset = MdbGet32(h + 21);
  rgn.dataLength = MdbGet32(h + 25);
  if (length > 104)
    for (unsigned i = 0; i < rgn.extWords.size(); ++i) rgn.extWords[i] = MdbGet32(h + 29 + 4 * i);
  if (length > 112) rgn.more = {MdbGet32(h + 113), MdbGet32(h + 117)};
  return kMdbDone;
}

int MdbReadLblHeader(MdbMap_t& map) {
  MdbLbl_t& lbl = map.lbl;
  if (OpenSubfile(lbl.file, map, ".LBL", map.source) != kMdbDone) return kMdbBadData;
  std::uint8_t h[kLblHeaderRead];
  if (!ReadHeader(lbl.file, h, kLblHeaderRead) || !MagicMatches(h, "LBL")) return kMdbBadData;
  const int length = HeaderLength(h);
  auto table = [&](MdbTable_t& t, unsigned at) {
    t.offset = MdbGet32(h + at);
    t.recordSize = MdbGet16(h + at + 8);
    t.count = CountOf(MdbGet32(h + at + 4), t.recordSize);
  };
  // Descriptors follow each other; the first one the header is too short for
  // ends the reading.
  if (length < 31) return kMdbDone;
  lbl.labels.offset = MdbGet32(h + 21);
  lbl.labels.length = MdbGet32(h + 25);
  lbl.labels.shift = h[29];
  lbl.labels.encoding = h[30];
  if (length < 45) return kMdbDone;
  table(lbl.countries, 31);
  if (length < 59) return kMdbDone;
  table(lbl.regions, 45);
  if (length < 73) return kMdbDone;
  {
    const std::uint16_t size = MdbGet16(h + 67) & 0x7FFF;
    lbl.cities.offset = MdbGet32(h + 59);
    lbl.cities.count = CountOf(MdbGet32(h + 63), size);
    lbl.cities.recordSize = static_cast<std::uint16_t>(size | ((MdbGet32(h + 69) & 0x80000000u) ? 0 : 0x8000));
  }
  if (length < 87) return kMdbDone;
  table(lbl.table73, 73);
  if (length < 100) return kMdbDone;
  lbl.properties.offset = MdbGet32(h + 87);
  lbl.properties.length = MdbGet32(h + 91);
  lbl.properties.shift = h[95];
  lbl.properties.flags = MdbGet32(h + 96);
  if (length < 114) return kMdbDone;
  table(lbl.table100, 100);
  if (length < 128) return kMdbDone;
  table(lbl.indexedLabels, 114);
  if (length < 142) return kMdbDone;
  table(lbl.exits, 128);
  if (length < 156) return kMdbDone;
  table(lbl.facilities, 142);
  lbl.facilityFlags = MdbGet32(h + 152);
  if (length < 170) return kMdbDone;
  table(lbl.table156, 156);
  if (length < 192) return kMdbDone;
  lbl.codePage = MdbGet16(h + 170);
  lbl.sortCodePage = MdbGet16(h + 172);
  lbl.sortId = MdbGet16(h + 174);
  for (unsigned i = 0; i < 4; ++i) lbl.words176[i] = MdbGet32(h + 176 + 4 * i);
  if (length < 196) return kMdbDone;
  lbl.word192 = MdbGet32(h + 192);
  if (length < 208) return kMdbDone;
  for (unsigned i = 0; i < 3; ++i) lbl.words196[i] = MdbGet32(h + 196 + 4 * i);
  if (length < 222) return kMdbDone;
  lbl.marineOffset = MdbGet32(h + 208);
  lbl.marineLength = MdbGet32(h + 212);
  lbl.marineRecordSize = MdbGet16(h + 216);
  lbl.marineWord = MdbGet32(h + 218);
  if (length < 236) return kMdbDone;
  lbl.offset222 = MdbGet32(h + 222);
  lbl.length222 = MdbGet32(h + 226);
  lbl.bytes234 = {h[234], h[235]};
  return kMdbDone;
}

int MdbReadNetHeader(MdbMap_t& map) {
  MdbNet_t& net = map.net;
  net.levelIndex.fill(0xFF);
  if (OpenSubfile(net.file, map, ".NET", map.source) != kMdbDone) return kMdbBadData;
  OpenSubfile(net.file2, map, ".NET", map.source);
  std::uint8_t h[kNetHeaderRead];
  if (!ReadHeader(net.file, h, kNetHeaderRead) || !MagicMatches(h, "NET")) return kMdbBadData;
  const int length = HeaderLength(h);
  if (length >= 30) net.first = {MdbGet32(h + 21), MdbGet32(h + 25), h[29]};
  if (length >= 39) net.second = {MdbGet32(h + 30), MdbGet32(h + 34), h[38]};
  if (length >= 55) {
    net.table.offset = MdbGet32(h + 39);
    net.table.recordSize = MdbGet16(h + 47);
    net.table.count = CountOf(MdbGet32(h + 43), net.table.recordSize);
    if (h[53] == 1) net.shiftValue = static_cast<std::uint16_t>(h[54] + 5);
  }
  if (length >= 56) net.word55 = MdbGet32(h + 55);
  net.mask = 1;
  if (length >= 60) {
    net.mask = MdbGet32(h + 59);
    net.flags = MdbGet32(h + 63);
  }
  std::uint8_t running = 0;
  for (unsigned n = 0; n < kMdbLevels; ++n)
    if (map.tre.firstSubdiv[n] != 0) net.levelIndex[n] = running++;
  for (unsigned i = 0; i < kMdbLevels; ++i) {
    if (!(net.mask & (1u << (i + 5)))) continue;
    if (i == 1)
      net.flags |= 0x400010;
    else if (i <= 5)
      net.flags |= 0x442010;
    else
      net.flags |= 0x4000000;
  }
  return kMdbDone;
}

int MdbReadNodHeader(MdbMap_t& map) {
  MdbNod_t& nod = map.nod;
  if (nod.file.IsOpen()) MdbCloseFile(nod.file);
  nod = MdbNod_t();
  if (OpenSubfile(nod.file, map, ".NOD", map.source) != kMdbDone) return kMdbBadData;
  std::uint8_t h[kNodHeaderRead];
  if (!ReadHeader(nod.file, h, kNodHeaderRead) || !MagicMatches(h, "NOD")) return kMdbBadData;
  const int length = HeaderLength(h);
  if (length >= 49) {
    nod.word21 = MdbGet32(h + 21);
    nod.word25 = MdbGet32(h + 25);
    nod.flags = MdbGet32(h + 29);
    nod.byte33 = h[33];
    nod.byte34 = h[34];
    nod.word35 = MdbGet16(h + 35);
    nod.word37 = MdbGet32(h + 37);
    nod.word41 = MdbGet32(h + 41);
  }
  if (length >= 63) {
    nod.word49 = MdbGet32(h + 49);
    nod.word53 = MdbGet32(h + 53);
    nod.word57 = MdbGet16(h + 57);
  }
  return kMdbDone;
}

int MdbOpenDem(MdbMap_t& map) {
  MdbCloseFile(map.dem.file);
  map.dem = MdbDem_t();
  if (OpenSubfile(map.dem.file, map, ".DEM", map.source) != kMdbDone) {
    map.dem = MdbDem_t();
    return kMdbDone;
  }
  const int result = MdbDemReadHeader(map);
  if (result == kMdbDone) return kMdbDone;
  MdbCloseFile(map.dem.file);
  map.dem = MdbDem_t();
  return result == kMdbNotFound ? kMdbDone : result;
}

int MdbOpen(MdbMap_t& map, const std::string& mapName, const std::string& sortName, const ImageSource_t& source) {
  if (map.tre.file.IsOpen() || map.rgn.file.IsOpen() || map.lbl.file.IsOpen() || map.net.file.IsOpen() ||
      map.net.file2.IsOpen() || map.nod.file.IsOpen() || map.srt.file.IsOpen() || map.dem.file.IsOpen())
    MdbClose(map);
  MdbInit(map);
  map.mapName = mapName.substr(0, 10);
  map.sortName = sortName.substr(0, 10);
  map.source = source;

  std::uint32_t mapId = 0;
  int result = MdbReadTreHeader(map, mapId);
  if (result != kMdbDone) return CloseOnFailure(map, result);
  result = MdbReadRgnHeader(map);
  if (result != kMdbDone) return CloseOnFailure(map, result);
  result = MdbReadLblHeader(map);
  if (result != kMdbDone) return CloseOnFailure(map, result);
  // NET and NOD are optional: a missing or foreign one leaves its fields 0
  // (the readers write none before the magic has matched).
  MdbReadNetHeader(map);
  if (MdbReadNodHeader(map) == kMdbDone)
    map.tre.flags = (map.tre.flags & ~(1u << 5)) | (((map.nod.flags >> 8) & 1u) << 5);
  if (!map.sortName.empty()) {
    result = MdbOpenMapSrt(map);
    if (result != kMdbDone) return CloseOnFailure(map, result);
  }
  result = MdbOpenDem(map);
  if (result != kMdbDone) return CloseOnFailure(map, result);

  map.locale = std::locale::classic();
  if (map.lbl.codePage != 0) {
    try {
      map.locale = glo::MakeLocale(std::string(), std::string(), map.lbl.codePage);
    } catch (const std::exception&) {
      // A code page this system cannot build: labels stay in the classic locale.
    }
  }
  MdbResetSearch(map);
  map.mapId = mapId;
  return kMdbDone;
}

}  // namespace mpl
