#include "mpl/MPL_Lbl.h"

#include <algorithm>
#include <cstring>

#include "mpl/MPL_LabelUtils.h"
#include "mpl/MPL_Net.h"
#include "mpl/MPL_Rgn.h"
#include "mpl/MPL_Subfile.h"
#include "plat/PLAT_CodePageLocale.h"

namespace mpl {

namespace {

constexpr std::uint32_t kLabelMask = 0x3FFFFF;
// The result of a label with a third escape.
constexpr int kLabelBadData = 2;

// The three character tables of the six-bit encoding; 0 marks a shift.
constexpr char kSixBit[3][48] = {
    {' ', 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O',
     'P', 'Q', 'R', 'S', 'T', 'U', 'V', 'W', 'X', 'Y', 'Z', 0,    0,    0x1D, 0x1E, 0x1F,
     '0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 0x01, 0x02, 0x03, 0x04, 0x05, 0x06},
    {'`', 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n', 'o',
     'p', 'q', 'r', 's', 't', 'u', 'v', 'w', 'x', 'y', 'z', '{', '|', '}', '~', ' ',
     ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', 0x1B, 0x1C, ' ', ' ', ' '},
    {'@', '!', '"', '#', '$', '%', '&', '\'', '(', ')', '*', '+', ',', '-', '.', '/',
     ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ':', ';', '<', '=', '>', '?',
     static_cast<char>(0xB0), ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', '[', '\\', ']', '^', '_'},
};

// The decoder's state, kept from block to block.
struct Decoder_t {
  std::uint8_t encoding = 0;
  bool doubleByte = false;
  std::string text;
  std::size_t capacity = 0;  // characters the caller's buffer holds
  bool done = false;
  int result = kMdbDone;
  // six-bit
  std::uint32_t bits = 0;
  unsigned bitCount = 0;
  unsigned table = 0;
  // encodings 9 and 10
  unsigned escapeLeft = 0;  // escaped bytes still to drop
  unsigned escapes = 0;
  bool leadPending = false;  // a lead byte waits for its second byte
  char lead = 0;

  bool Full() const { return text.size() >= capacity; }

  void Put(char c) {
    if (Full())
      done = true;
    else
      text.push_back(c);
    if (Full()) done = true;
  }

  void SixBit(std::uint8_t byte) {
    bits = (bits << 8) | byte;
    bitCount += 8;
    while (!done && bitCount >= 2) {
      // The top two bits of the next value tell whether the label ends.
      if (((bits >> (bitCount - 2)) & 3u) == 3u) {
        done = true;
        return;
      }
      if (bitCount < 6) return;
      const unsigned v = (bits >> (bitCount - 6)) & 0x3Fu;
      bitCount -= 6;
      bits &= (1u << bitCount) - 1u;
      if (table == 0 && (v == 0x1B || v == 0x1C)) {
        table = v == 0x1B ? 1 : 2;
        continue;
      }
      Put(kSixBit[table][v]);
      table = 0;
    }
  }

  void SevenBit(std::uint8_t byte) {
    const std::uint8_t c = byte & 0x7F;
    if (c == 0) {
      done = true;
      return;
    }
    Put((c >= 7 && c <= 26) || c == 127 ? ' ' : static_cast<char>(c));
    if (byte & 0x80) done = true;
  }

  void CodePage(std::uint8_t byte) {
    if (escapeLeft > 0) {
      --escapeLeft;
      return;
    }
    if (leadPending) {
      leadPending = false;
      if (byte == 0) {
        // A lead byte before the terminator is a character of its own.
        Put(lead);
        done = true;
        return;
      }
      if (text.size() + 2 > capacity) {
        done = true;
        return;
      }
      text.push_back(lead);
      text.push_back(static_cast<char>(byte));
      if (Full()) done = true;
      return;
    }
    if (byte == 0) {
      done = true;
      return;
    }
    if (byte == 7) {
      if (++escapes >= 3) {
        result = kLabelBadData;  // the third escape
        done = true;
        return;
      }
      escapeLeft = 2;
      return;
    }
    if (doubleByte && byte > 128 && byte != 255) {
      leadPending = true;
      lead = static_cast<char>(byte);
      return;
    }
    Put((byte >= 8 && byte <= 26) || byte == 127 ? ' ' : static_cast<char>(byte));
  }

  void Feed(std::uint8_t byte) {
    switch (encoding) {
      case 6: SixBit(byte); break;
      case 7: SevenBit(byte); break;
      default: CodePage(byte); break;
    }
  }

  // The section ended inside the label.
  void End() {
    if (leadPending && !Full()) text.push_back(lead);
    leadPending = false;
  }
};

// Decodes the label at 'offset' (shifted) of the section into 'text', at most
// 'capacity' characters.
int DecodeLabel(MdbMap_t& map, std::uint32_t offset, std::size_t capacity, std::string& text) {
  const MdbLblSection_t& section = map.lbl.labels;
  Decoder_t d;
  d.encoding = section.encoding;
  d.doubleByte = section.encoding == 10 && MdbIsDoubleByteCodePage(map.lbl.codePage);
  d.capacity = capacity;
  if (capacity == 0 || (d.encoding != 6 && d.encoding != 7 && d.encoding != 9 && d.encoding != 10)) {
    text.clear();
    return kMdbDone;
  }
  std::uint32_t position = section.offset + offset;
  std::uint32_t left = section.length - offset;  // the label stops at the section's end
  if (MdbSeek(map.lbl.file, position, 0) < 0) return kMdbBadData;
  while (!d.done && left > 0) {
    const std::uint8_t* data = nullptr;
    std::uint32_t n = MdbReadBlock(map.lbl.file, data);
    if (n == 0) return kMdbBadData;
    n = std::min(n, left);
    std::uint32_t used = 0;
    while (used < n && !d.done) d.Feed(data[used++]);
    left -= used;
    position += used;
    if (!d.done && MdbSeek(map.lbl.file, position, 0) < 0) return kMdbBadData;
  }
  if (!d.done) d.End();
  text = std::move(d.text);
  return d.result;
}

std::size_t Length(const char* text, std::size_t size) {
  const void* nul = std::memchr(text, 0, size);
  return nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - text) : size;
}

void Store(const std::string& text, char* buffer, std::size_t size) {
  if (size == 0) return;
  const std::size_t n = std::min(text.size(), size - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

bool IsShieldCode(char c) { return c >= 1 && c <= 6; }

void FormatText(std::string& t, std::size_t size, std::uint32_t flags) {
  const std::size_t limit = size == 0 ? 0 : size - 1;
  // 1. Names.
  if (!(flags & kLabelRaw)) {
    const std::size_t sep = t.find(kLabelNameSeparator);
    if (sep != std::string::npos)
      t = (flags & (kLabelSecondName | kLabelOnlySecondName)) ? t.substr(sep + 1) : t.substr(0, sep);
    else if (flags & kLabelOnlySecondName)
      t.clear();
  }
  // 2. Shield.
  if ((flags & kLabelExpandShield) && !t.empty() && IsShieldCode(t[0])) {
    const std::string prefix =
        (flags & kLabelBaseName) ? std::string(" ")
                                 : std::string(GetShieldPrefixText(static_cast<std::uint8_t>(t[0]),
                                                                   !(flags & kLabelShieldVariant)));
    if (!prefix.empty()) {
      t = prefix + t.substr(1);
      if (t.size() > limit) t.resize(limit);
      const bool marked = t.find(kLabelPrefixEnd) != std::string::npos ||
                          t.find(kLabelHiddenPrefixEnd) != std::string::npos;
      if (!marked && !t.empty()) {
        const std::size_t end = std::min(prefix.size(), t.size());
        if (flags & kLabelMarkShield) {
          if (t.size() < limit)
            t.insert(end, 1, kLabelHiddenPrefixEnd);
          else
            t.back() = kLabelHiddenPrefixEnd;
        } else if ((flags & kLabelBaseName) && end > 0) {
          t[end - 1] = kLabelPrefixEnd;
        }
      }
    }
  }
  // 3. Markers kept.
  if (flags & (kLabelKeepMarkers | kLabelKeepMarkers2)) return;
  if (flags & kLabelBaseName) {
    const std::size_t at = t.find_first_of("\x1E\x1F\x1B\x1C");
    if (at == std::string::npos) return;
    if (t[at] == kLabelPrefixEnd || t[at] == kLabelHiddenPrefixEnd) {
      const std::size_t end = t.find_first_of("\x1F\x1C", at + 1);
      std::string base = t.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
      if (IsShieldCode(t[0])) base.insert(base.begin(), t[0]);
      t = base;
    } else {
      t.resize(at);
    }
  } else if (flags & kLabelSuffixOnly) {
    const std::size_t at = t.find_first_of("\x1F\x1C");
    if (at == std::string::npos) {
      t.clear();
    } else if (t[at] == kLabelSuffixStart) {
      t = " " + t.substr(at + 1);
    } else {
      t = t.substr(at + 1);
    }
  } else if (flags & (kLabelPrefixBlank | kLabelPrefixBlank2)) {
    std::replace(t.begin(), t.end(), static_cast<char>(kLabelPrefixEnd), ' ');
  } else if (!(flags & (kLabelRaw | kLabelMarkShield))) {
    std::string out;
    out.reserve(t.size());
    for (char c : t) {
      if (c == kLabelHiddenPrefixEnd || c == kLabelHiddenSuffixStart) continue;
      out.push_back(c == kLabelPrefixEnd || c == kLabelSuffixStart ? ' ' : c);
    }
    t = std::move(out);
  }
}

// The first 'bytes' bytes of record n (1-based) of a table of records 'size' apart.
int ReadTableRecord(MdbMap_t& map, const MdbTable_t& table, std::uint32_t n, std::uint16_t size, std::uint8_t* out,
                    std::uint16_t bytes) {
  const std::uint64_t at = static_cast<std::uint64_t>(table.offset) + static_cast<std::uint64_t>(n - 1) * size;
  if (at > 0xFFFFFFFFu) return kMdbBadData;
  return MdbRead(map.lbl.file, static_cast<std::int64_t>(at), out, bytes);
}

// The label maps of one map id whose texts carry a stray ":" note.
bool HasLabelFix(const MdbMap_t& map, std::uint32_t label) {
  if (map.mapId != 2097537) return false;
  for (std::uint32_t l : {1420u, 4636u, 4706u, 4827u, 5320u})
    if (label == l) return true;
  return false;
}

}  // namespace

bool MdbIsDoubleByteCodePage(std::uint32_t codePage) {
  return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950;
}

int MdbReadLabelText(MdbMap_t& map, std::uint32_t offset, char* buffer, std::size_t size, std::uint32_t flags) {
  if (buffer != nullptr && size > 0) buffer[0] = '\0';
  if (offset == kMdbNone) return kMdbNotFound;
  std::string text;
  int result = kMdbDone;
  if (offset != 0) {
    std::uint32_t shifted = 0;
    if (!MdbShiftOffset(offset, map.lbl.labels.shift, shifted) || shifted >= map.lbl.labels.length)
      return kMdbNotFound;
    result = DecodeLabel(map, shifted, size == 0 ? 0 : size - 1, text);
    if (result == kMdbBadData) return result;
  }
  if (buffer == nullptr || size == 0) return result;
  FormatText(text, size, flags);
  Store(text, buffer, size);
  return result;
}

void MdbFormatLabelText(char* text, std::size_t size, std::uint32_t flags) {
  if (text == nullptr || size == 0) return;
  std::string t(text, Length(text, size));
  FormatText(t, size, flags);
  Store(t, text, size);
}

int MdbReadCountry(MdbMap_t& map, std::uint32_t n, std::uint32_t& label) {
  label = kMdbNone;
  if (n == 0) {
    label = 0;
    return kMdbDone;
  }
  if (n > map.lbl.countries.count) return kMdbNotFound;
  std::uint8_t r[3];
  if (ReadTableRecord(map, map.lbl.countries, n, map.lbl.countries.recordSize, r, 3) != kMdbDone) return kMdbBadData;
  label = MdbGet24(r) & kLabelMask;
  return kMdbDone;
}

int MdbReadRegion(MdbMap_t& map, std::uint32_t n, std::uint32_t& label, std::uint32_t& country) {
  label = kMdbNone;
  country = 0;
  if (n == 0) {
    label = 0;
    return kMdbDone;
  }
  if (n > map.lbl.regions.count) return kMdbNotFound;
  std::uint8_t r[5];
  if (ReadTableRecord(map, map.lbl.regions, n, map.lbl.regions.recordSize, r, 5) != kMdbDone) return kMdbBadData;
  country = MdbGet16(r) & 0x3FFFu;
  label = MdbGet24(r + 2) & kLabelMask;
  return kMdbDone;
}

int MdbReadCityRegion(MdbMap_t& map, std::uint32_t regionWord, std::uint32_t& countryLabel,
                      std::uint32_t& regionLabel) {
  countryLabel = 0;
  regionLabel = 0;
  const std::uint32_t number = regionWord & 0x3FFFu;
  if (number == 0) return kMdbDone;
  if (regionWord & 0x4000u) return MdbReadCountry(map, number, countryLabel);
  std::uint32_t country = 0;
  const int result = MdbReadRegion(map, number, regionLabel, country);
  if (result != kMdbDone) return result;
  return MdbReadCountry(map, country, countryLabel);
}

int MdbReadCity(MdbMap_t& map, MdbCityRecord_t& city) {
  const MdbTable_t& table = map.lbl.cities;
  if (city.number == 0 || city.number > table.count) return kMdbNotFound;
  std::uint8_t r[5];
  if (ReadTableRecord(map, table, city.number, table.recordSize & 0x7FFF, r, 5) != kMdbDone) return kMdbBadData;
  const std::uint16_t word = MdbGet16(r + 3);
  const bool pointForm = (word & 0x8000u) != 0;
  if (pointForm) {
    city.pointRef = MdbMakeRef(MdbGet16(r + 1), r[0]);
  } else {
    city.pointRef = kMdbNone;
    city.label = MdbGet24(r) & kLabelMask;
  }
  int result = MdbReadCityRegion(map, word & 0x7FFFu, city.countryLabel, city.regionLabel);
  if (result != kMdbDone) return result;
  if (pointForm) {
    MdbPointRecord_t point;
    point.ref = city.pointRef;
    result = MdbGetPoint(map, point, 0, nullptr);
    if (result != kMdbDone) return result;
    if (point.label != kMdbNone) {
      city.label = point.label;
    } else {
      result = MdbReadPoiLabel(map, point.poi, city.label);
      if (result != kMdbDone) return result;
    }
  }
  return kMdbDone;
}

int MdbReadExit(MdbMap_t& map, MdbExitRecord_t& exit) {
  const MdbTable_t& table = map.lbl.exits;
  if (exit.number == 0 || exit.number > table.count) return kMdbNotFound;
  std::uint8_t r[6];
  if (ReadTableRecord(map, table, exit.number, table.recordSize, r, 6) != kMdbDone) return kMdbBadData;
  exit.label = MdbGet24(r) & kLabelMask;
  exit.firstIndex = MdbGet24(r + 3) & kLabelMask;
  std::uint32_t end = 0;  // the first index past this exit's range
  if (exit.number < table.count) {
    std::uint8_t next[6];
    if (ReadTableRecord(map, table, exit.number + 1, table.recordSize, next, 6) != kMdbDone) return kMdbBadData;
    end = MdbGet24(next + 3) & kLabelMask;
  } else {
    end = map.lbl.table156.count + 1;
  }
  // A range that would run backwards is empty.
  exit.count = end > exit.firstIndex ? end - exit.firstIndex : 0;
  return kMdbDone;
}

namespace {

std::uint16_t FacilitySize(const MdbMap_t& map) { return (map.lbl.facilityFlags & 2u) ? 4 : 5; }

}  // namespace

int MdbReadExitFacility(MdbMap_t& map, MdbExitFacilityRecord_t& facility) {
  const MdbTable_t& table = map.lbl.facilities;
  if (facility.number == 0 || facility.number > table.count) return kMdbNotFound;
  const std::uint16_t size = FacilitySize(map);
  std::uint8_t r[5] = {};
  if (ReadTableRecord(map, table, facility.number, size, r, size) != kMdbDone) return kMdbBadData;
  facility.label = MdbGet24(r) & kLabelMask;
  facility.type = r[3] & 0x1F;
  facility.direction = static_cast<std::uint8_t>(r[3] >> 5);
  facility.facilities = size == 5 ? r[4] : 0;
  return kMdbDone;
}

int MdbCountExitFacilities(MdbMap_t& map, std::uint32_t n, std::uint32_t& count) {
  const MdbTable_t& table = map.lbl.facilities;
  count = 1;
  if (n == 0 || n > table.count) return kMdbNotFound;
  const std::uint16_t size = FacilitySize(map);
  count = 0;
  // Up to the exit's last facility, and never past the table's last record.
  for (std::uint32_t i = n; i <= table.count; ++i) {
    std::uint8_t r[5] = {};
    if (ReadTableRecord(map, table, i, size, r, size) != kMdbDone) return kMdbBadData;
    ++count;
    if (r[2] & 0x80u) break;
  }
  return kMdbDone;
}

int MdbReadPoiLabel(MdbMap_t& map, std::uint32_t poiOffset, std::uint32_t& label) {
  label = kMdbNone;
  if (poiOffset == kMdbNone) return kMdbNotFound;
  const MdbLblSection_t& section = map.lbl.properties;
  std::uint32_t shifted = 0;
  if (!MdbShiftOffset(poiOffset, section.shift, shifted) || shifted >= section.length) return kMdbNotFound;
  // A record cut off by the section's end is none.
  if (section.length - shifted < 3) return kMdbNotFound;
  std::uint8_t r[3];
  if (MdbRead(map.lbl.file, static_cast<std::int64_t>(section.offset) + shifted, r, 3) != kMdbDone)
    return kMdbBadData;
  label = MdbGet24(r) & kLabelMask;
  return kMdbDone;
}

int MdbReadIndexedLabel(MdbMap_t& map, std::uint32_t n, std::uint32_t& label) {
  label = kMdbNone;
  if (n == 0) {
    label = 0;
    return kMdbDone;
  }
  const MdbTable_t& table = map.lbl.indexedLabels;
  if (n > table.count || table.recordSize < 3) return kMdbNotFound;
  std::uint8_t r[3];
  const std::uint64_t at = static_cast<std::uint64_t>(table.offset) + static_cast<std::uint64_t>(n - 1) * table.recordSize;
  if (MdbRead(map.lbl.file, static_cast<std::int64_t>(at), r, 3) != kMdbDone) return kMdbBadData;
  label = MdbGet24(r) & kLabelMask;
  return kMdbDone;
}

namespace {

// What an object's record gives its label: the label, the type and subtype
// (a line's direction flag as its subtype) for the flags and the description,
// and for a line or road its record with the label it was given.
struct ObjectLabel_t {
  std::uint32_t label = kMdbNone;
  std::uint16_t type = 0, subtype = 0;
  bool described = false;  // a kind whose type has a description
  MdbLineRecord_t roadLine;
};

// The label of the object, read from the map where the record lacks it.
int FindObjectLabel(MdbMap_t& map, const void* record, unsigned kind, std::uint32_t flags, ObjectLabel_t& o) {
  int result = kMdbDone;
  o.described = kind == kLabelOfArea || kind == kLabelOfLine || kind == kLabelOfRoad || kind == kLabelOfPoint ||
                kind == kLabelOfNetIndex;
  switch (kind) {
    case kLabelOfArea: {
      MdbAreaRecord_t area = *static_cast<const MdbAreaRecord_t*>(record);
      if (area.label == kMdbNone) result = MdbGetArea(map, area, 0, nullptr);
      o.label = area.label;
      o.type = area.type;
      o.subtype = area.subtype;
      break;
    }
    case kLabelOfExit: {
      MdbExitRecord_t exit = *static_cast<const MdbExitRecord_t*>(record);
      if (exit.number != 0) result = MdbReadExit(map, exit);
      o.label = exit.label;
      break;
    }
    case kLabelOfLine:
    case kLabelOfRoad:
    case kLabelOfNetIndex: {
      // A line or road without a label of its own takes its road's label.
      std::uint8_t direction = 0;
      result = MdbRoadObjectLabel(map, record, kind, flags, o.label, o.type, direction);
      o.subtype = direction;
      if (kind != kLabelOfNetIndex) {
        o.roadLine = *static_cast<const MdbLineRecord_t*>(record);
        o.roadLine.label = o.label;
      }
      if (result == kMdbDone && o.label == kMdbNone) result = kMdbNotFound;
      break;
    }
    case kLabelOfPoint: {
      MdbPointRecord_t point = *static_cast<const MdbPointRecord_t*>(record);
      if (point.ref != 0 && point.label == kMdbNone && point.poi == kMdbNone)
        result = MdbGetPoint(map, point, 0, nullptr);
      if (result == kMdbDone && point.label == kMdbNone) result = MdbReadPoiLabel(map, point.poi, point.label);
      o.label = point.label;
      o.type = point.type;
      o.subtype = point.subtype;
      break;
    }
    case kLabelOfOffset: o.label = *static_cast<const std::uint32_t*>(record); break;
    case kLabelOfIndexed: result = MdbReadIndexedLabel(map, *static_cast<const std::uint32_t*>(record), o.label); break;
    default:
      result = kMdbNotFound;
      o.described = false;
      break;
  }
  return result;
}

// The text flags that some point and line types add.
std::uint32_t TypeFlags(unsigned kind, std::uint16_t type) {
  std::uint32_t flags = 0;
  if (kind == kLabelOfPoint) {
    if (type == 98) flags |= kLabelKeepMarkers2;
    if (type == 99) flags |= kLabelKeepMarkers;
    if (type == 100 || type == 102) flags |= kLabelPrefixBlank;
    if (type == 101) flags |= kLabelPrefixBlank2;
  } else if (kind == kLabelOfLine || kind == kLabelOfRoad || kind == kLabelOfNetIndex) {
    if (type >= 32 && type <= 34) flags |= kLabelKeepMarkers;
    if (type >= 35 && type <= 37) flags |= kLabelKeepMarkers2;
  }
  return flags;
}

// The type's description in place of an empty text, when the flags ask for
// it (marker lines 8 and 9 always have it with kLabelDescribeMarked); true
// when the text became the description.
bool Describe(unsigned kind, const ObjectLabel_t& o, std::uint32_t flags, std::size_t workSize, std::string& text) {
  const char* prefix = nullptr;
  const char* description = nullptr;
  bool marker = false;
  if (kind == kLabelOfArea) {
    description = GetAreaTypeText(o.type, static_cast<std::uint8_t>(o.subtype));
  } else if (kind == kLabelOfPoint) {
    description = GetPointTypeText(o.type, static_cast<std::uint8_t>(o.subtype), &prefix);
  } else {
    description = GetLineTypeText(o.type, static_cast<std::uint8_t>(o.subtype));
    marker = o.type == 8 || o.type == 9;
  }
  if (!(flags & kLabelDescribe) && !marker) return false;
  text = std::string(prefix ? prefix : "") + description;
  if (text.size() > workSize - 1) text.resize(workSize - 1);
  return true;
}

// A stray note after a "C" in a few labels of one map: the text ends before
// the character that precedes that "C".
void CutStrayNote(std::string& text) {
  for (std::size_t i = 0; i + 4 < text.size(); ++i) {
    if (text[i] == 'C' && text[i + 4] == ':') {
      text.resize(i == 0 ? 0 : i - 1);
      break;
    }
  }
}

// Appends the road's direction to a line's text, reading the line for its
// road when the record lacks the road.
void AddRoadDirection(MdbMap_t& map, MdbLineRecord_t roadLine, std::size_t workSize, std::string& text) {
  if (roadLine.netOffset == kMdbNone && roadLine.ref != 0) {
    MdbLineRecord_t read;
    read.ref = roadLine.ref;
    if (MdbGetLine(map, read, 0, nullptr) == kMdbDone) roadLine.netOffset = read.netOffset;
  }
  std::vector<char> work(text.begin(), text.end());
  work.resize(workSize, '\0');
  if (MdbAddRoadDirection(map, roadLine, work.data(), work.size())) text = work.data();
}

}  // namespace

int MdbGetObjectLabel(MdbMap_t& map, const void* record, unsigned kind, char* buffer, std::size_t size,
                      std::uint32_t flags) {
  if (buffer != nullptr && size > 0) buffer[0] = '\0';
  ObjectLabel_t o;
  int result = FindObjectLabel(map, record, kind, flags, o);
  if (result == kMdbBadData || buffer == nullptr || size == 0) return result;

  flags |= TypeFlags(kind, o.type);
  // The text, in the caller's buffer size or at least 30 characters.
  const std::size_t workSize = std::max<std::size_t>(size, 31);
  std::string text;
  if (o.label != kMdbNone) {
    std::vector<char> work(workSize);
    result = MdbReadLabelText(map, o.label, work.data(), work.size(), flags);
    if (result == kMdbBadData) return result;
    text = work.data();
  }
  if (text.empty() && o.described && (flags & (kLabelDescribe | kLabelDescribeMarked)) &&
      Describe(kind, o, flags, workSize, text))
    result = kMdbDone;
  // The prefix of point types 32 to 39.
  if (kind == kLabelOfPoint && o.type >= 32 && o.type <= 39 && !(flags & kLabelBaseName)) {
    const std::string prefix = GetShieldPrefixText(32, true);
    if (prefix.size() + text.size() <= workSize - 1) text = prefix + text;
    while (!text.empty() && text.back() == ' ') text.pop_back();
  }
  if (HasLabelFix(map, o.label)) CutStrayNote(text);
  // Case, then the road's direction on a line, then the caller's size.
  if (flags & kLabelTitleCase) {
    std::vector<char> work(text.begin(), text.end());
    work.push_back('\0');
    FormatLabelTitleCase(&map, work.data());
    text = work.data();
  }
  if ((flags & kLabelRoadDirection) && (kind == kLabelOfLine || kind == kLabelOfRoad) && !text.empty())
    AddRoadDirection(map, o.roadLine, workSize, text);
  Store(text, buffer, size);
  return result;
}

std::string MdbLabelToUtf8(const MdbMap_t& map, const std::string& text) {
  std::string out;
  if (!plat::CodePageToUtf8(map.lbl.codePage != 0 ? map.lbl.codePage : 1252, text, out))
    plat::CodePageToUtf8(1252, text, out);
  return out;
}

}  // namespace mpl
