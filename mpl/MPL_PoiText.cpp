#include "mpl/MPL_PoiText.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "mpl/MPL_Lbl.h"
#include "mpl/MPL_Map.h"
#include "mpl/MPL_Nearest.h"
#include "mpl/MPL_Srt.h"
#include "mpl/MPL_Subfile.h"

namespace mpl {

namespace {

constexpr std::uint32_t kLabelBits = 0x3FFFFF;
constexpr unsigned kReaderWindow = 16;
// The longest runs a record may hold: a local mask of 5 bytes (35 property
// bits) and an extension run of 4 bytes (its 16-bit length sum).
constexpr unsigned kMaxMaskBytes = 5;
constexpr unsigned kMaxExtensionBytes = 4;

constexpr char kDigitSymbols[] = "0123456789-?";
constexpr const char* kUnitNames[] = {"# ", "APT ", "BLDG ", "DEPT ", "FL ", "RM ", "STE ", "UNIT "};

// The bytes an index into a table of 'count' records takes.
std::uint16_t IndexSize(std::uint32_t count) { return count < 256 ? 1 : count < 65536 ? 2 : 3; }

std::uint32_t Little(const std::uint8_t* p, unsigned n) {
  std::uint32_t v = 0;
  for (unsigned i = 0; i < n; ++i) v |= static_cast<std::uint32_t>(p[i]) << (8 * i);
  return v;
}

// Reads an n-byte little-endian value (n <= 4).
int ReadValue(MdbBufReader_t& reader, unsigned n, std::uint32_t& value) {
  std::uint8_t b[4] = {};
  if (MdbBufRead(reader, b, static_cast<std::uint16_t>(n)) != kMdbDone) return kMdbBadData;
  value = Little(b, n);
  return kMdbDone;
}

int ReadByte(MdbBufReader_t& reader, std::uint8_t& value) {
  return MdbBufRead(reader, &value, 1) == kMdbDone ? kMdbDone : kMdbBadData;
}

void Store(char* buffer, std::size_t size, const std::string& text) {
  if (size == 0) return;
  const std::size_t n = std::min(text.size(), size - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

// A label text, read as the record's readers do: a read error is the only
// failure, a missing or damaged label gives what text there is.
int LabelText(MdbMap_t& map, std::uint32_t offset, char* buffer, std::size_t size, std::uint32_t flags) {
  const int r = MdbReadLabelText(map, offset, buffer, size, flags);
  return r == kMdbBadData ? kMdbBadData : kMdbDone;
}

// The address text from the street text and the house number: "12 MAIN ST
// DEPT 4". A '-' on its own in the house number starts the unit, whose first
// character chooses its name; "--" stands for one '-'. Whatever does not fit
// into the address is cut from its end, and the lengths describe what was kept.
void BuildAddress(MdbPoiText_t& text, const std::string& street, const std::string& houseText, bool haveNumber) {
  std::string house;
  std::string unit;
  bool haveUnit = false;
  if (haveNumber) {
    for (std::size_t i = 0; i < houseText.size(); ++i) {
      if (houseText[i] != '-') {
        house.push_back(houseText[i]);
      } else if (i + 1 < houseText.size() && houseText[i + 1] == '-') {
        house.push_back('-');
        ++i;
      } else {
        const std::string rest = houseText.substr(i + 1);
        if (!rest.empty()) {
          const unsigned designator = rest[0] >= '0' && rest[0] <= '7' ? static_cast<unsigned>(rest[0] - '0') : 0;
          unit = std::string(kUnitNames[designator]) + rest.substr(1);
          haveUnit = true;
        }
        break;
      }
    }
  }
  constexpr std::size_t kRoom = kPoiAddressSize - 1;
  std::string address;
  // Appends a part after a blank (none at the start); what does not fit is cut.
  auto append = [&](const std::string& part) -> std::size_t {
    const std::size_t blank = address.empty() ? 0 : 1;
    if (part.empty() || address.size() + blank >= kRoom) return 0;
    if (blank != 0) address.push_back(' ');
    const std::size_t n = std::min(part.size(), kRoom - address.size());
    address += part.substr(0, n);
    return n;
  };
  const std::size_t houseLength = append(house);
  const std::size_t streetLength = append(street);
  const std::size_t unitLength = haveUnit ? append(unit) : 0;
  Store(text.address, sizeof text.address, address);
  text.houseNumberLength = static_cast<std::uint8_t>(houseLength);
  text.streetNameLength = static_cast<std::uint8_t>(streetLength);
  text.unitLength = static_cast<std::uint8_t>(unitLength);
}

class Decoder_t {
 public:
  Decoder_t(MdbMap_t& map, MdbPoiText_t& text, std::uint32_t flags) : m_map(map), m_text(text), m_flags(flags) {}

  int Run(std::uint32_t start) {
    if (MdbBufOpen(m_reader, m_map.lbl.file, start, m_window, kReaderWindow) != kMdbDone) return kMdbBadData;
    std::uint32_t field = 0;
    if (ReadValue(m_reader, 3, field) != kMdbDone) return kMdbBadData;
    m_text.nameLabel = field & kLabelBits;
    std::uint64_t local = 0;
    const bool hasLocal = (field & 0x800000u) != 0;
    if (hasLocal) {
      for (unsigned i = 0;; ++i) {
        if (i == kMaxMaskBytes) return kMdbBadData;
        std::uint8_t b = 0;
        if (ReadByte(m_reader, b) != kMdbDone) return kMdbBadData;
        local |= static_cast<std::uint64_t>(b & 0x7F) << (7 * i);
        if ((b & 0x80) != 0) break;
      }
    }
    const std::uint32_t global = m_map.lbl.properties.flags;
    unsigned used = 0;
    auto present = [&](std::uint32_t bit) {
      if ((global & bit) == 0) return false;
      const bool on = !hasLocal || ((local >> used) & 1u) != 0;
      ++used;
      return on;
    };
    int r = kMdbDone;
    bool haveNumber = false;
    if (present(kPoiHouseNumber)) {
      r = MdbReadPackedDigits(m_reader, m_map, m_text.number, sizeof m_text.number, m_flags);
      if (r != kMdbDone) return r;
      haveNumber = true;
    }
    std::string street;
    if (present(kPoiStreet)) {
      if (ReadValue(m_reader, 3, field) != kMdbDone) return kMdbBadData;
      if (m_text.kind == kPoiKindService && (field & 0x400000u) != 0) {
        m_text.street = field;
      } else {
        m_text.street = field & kLabelBits;
        char buffer[kPoiAddressSize];
        if (LabelText(m_map, m_text.street, buffer, sizeof buffer, m_flags) != kMdbDone) return kMdbBadData;
        street = buffer;
      }
    }
    BuildAddress(m_text, street, haveNumber ? std::string(m_text.number) : std::string(), haveNumber);
    // The house number now lives in the address: the buffer is left for the
    // phone, so that a point without one shows no phone number.
    m_text.number[0] = '\0';
    if (present(kPoiCity) && ReadIndex(m_map.lbl.cities.count, m_text.city) != kMdbDone) return kMdbBadData;
    if (present(kPoiPostalCode) && ReadIndex(m_map.lbl.indexedLabels.count, m_text.postalCode) != kMdbDone)
      return kMdbBadData;
    if (present(kPoiPhone)) {
      r = MdbReadPackedDigits(m_reader, m_map, m_text.number, sizeof m_text.number, m_flags);
      if (r != kMdbDone) return r;
    }
    if (present(kPoiExit)) {
      if (ReadValue(m_reader, 3, field) != kMdbDone) return kMdbBadData;
      m_text.exitRoadLabel = field & kLabelBits;
      m_text.exitFlag = (field >> 22) & 1u;
      if (ReadIndex(m_map.lbl.exits.count, m_text.exitIndex) != kMdbDone) return kMdbBadData;
      if ((field & 0x800000u) != 0 && ReadIndex(m_map.lbl.facilities.count, m_text.exitFacility) != kMdbDone)
        return kMdbBadData;
    }
    if (present(kPoiExtension) && (r = Extension()) != kMdbDone) return r;
    if (present(kPoiGroupA) && (r = GroupA()) != kMdbDone) return r;
    if (present(kPoiGroupB) && (r = GroupB()) != kMdbDone) return r;
    return kMdbDone;
  }

 private:
  int ReadIndex(std::uint32_t count, std::uint32_t& out) { return ReadValue(m_reader, IndexSize(count), out); }

  // Skips to 'position' (the record goes on there).
  int SkipTo(std::uint64_t position) {
    if (position > m_reader.end) return kMdbBadData;
    if (position == MdbBufTell(m_reader)) return kMdbDone;
    // The sub-file's end is no place to seek to, but one to read up to.
    const bool atEnd = position == m_reader.end;
    if (MdbBufSeek(m_reader, static_cast<std::uint32_t>(position - (atEnd ? 1 : 0))) != kMdbDone)
      return kMdbBadData;
    std::uint8_t last = 0;
    return !atEnd || ReadByte(m_reader, last) == kMdbDone ? kMdbDone : kMdbBadData;
  }

  int Extension() {
    std::uint32_t length = 0, flags = 0;
    for (unsigned i = 0;; ++i) {
      if (i == kMaxExtensionBytes) return kMdbBadData;
      std::uint8_t b = 0;
      if (ReadByte(m_reader, b) != kMdbDone) return kMdbBadData;
      length |= static_cast<std::uint32_t>(b & 0x0F) << (4 * i);
      flags |= static_cast<std::uint32_t>((b >> 4) & 0x07) << (3 * i);
      if ((b & 0x80) != 0) break;
    }
    m_text.extensionLength = static_cast<std::uint16_t>(length);
    m_text.extensionFlags = flags;
    m_text.extensionPosition = MdbBufTell(m_reader);
    const std::uint64_t end = std::uint64_t{m_text.extensionPosition} + length;
    if ((flags & 4u) != 0 && length >= 3) {
      if (SkipTo(end - 3) != kMdbDone) return kMdbBadData;
      std::uint32_t reference = 0;
      if (ReadValue(m_reader, 3, reference) != kMdbDone) return kMdbBadData;
      m_text.extensionReference = reference;
      return kMdbDone;
    }
    return length == 0 ? kMdbDone : SkipTo(end);
  }

  int GroupA() {
    std::uint32_t length = 0;
    if (MdbBufReadVarint(m_reader, length) != kMdbDone) return kMdbBadData;
    const std::uint64_t end = std::uint64_t{MdbBufTell(m_reader)} + length;
    std::uint8_t flags = 0;
    if (ReadByte(m_reader, flags) != kMdbDone) return kMdbBadData;
    m_text.groupAFlags = flags;
    if ((flags & 0x01) != 0 && ReadValue(m_reader, 3, m_text.groupA1) != kMdbDone) return kMdbBadData;
    if ((flags & 0x02) != 0 && ReadValue(m_reader, 3, m_text.groupA2) != kMdbDone) return kMdbBadData;
    if ((flags & 0x0C) != 0 && ReadByte(m_reader, m_text.groupAByte1) != kMdbDone) return kMdbBadData;
    if ((flags & 0x30) != 0 && ReadByte(m_reader, m_text.groupAByte2) != kMdbDone) return kMdbBadData;
    if ((flags & 0x40) != 0 && ReadValue(m_reader, 4, m_text.groupAMask) != kMdbDone) return kMdbBadData;
    return SkipTo(end);
  }

  int GroupB() {
    std::uint32_t length = 0;
    if (MdbBufReadVarint(m_reader, length) != kMdbDone) return kMdbBadData;
    const std::uint64_t end = std::uint64_t{MdbBufTell(m_reader)} + length;
    if (ReadByte(m_reader, m_text.groupB) != kMdbDone) return kMdbBadData;
    m_text.groupBPosition = MdbBufTell(m_reader);
    // The record's last group: what follows is not read, but it must exist.
    if (end > m_reader.end) return kMdbBadData;
    return kMdbDone;
  }

  MdbMap_t& m_map;
  MdbPoiText_t& m_text;
  std::uint32_t m_flags;
  MdbBufReader_t m_reader;
  std::uint8_t m_window[kReaderWindow] = {};
};

}  // namespace

std::uint8_t MdbPoiKind(std::uint16_t type) {
  if (type >= 22 && type <= 27) return kPoiKindService;
  if (type >= 32 && type <= 39) return kPoiKindExit;
  if (type >= 41 && type <= 48) return kPoiKindPlace;
  if (type == 29) return kPoiKindTide;
  if (type == 18) return kPoiKindMarker;
  return kPoiKindOther;
}

int MdbReadPackedDigits(MdbBufReader_t& reader, MdbMap_t& map, char* buffer, std::size_t size, std::uint32_t flags) {
  if (buffer != nullptr && size > 0) buffer[0] = '\0';
  std::uint8_t b = 0;
  if (ReadByte(reader, b) != kMdbDone) return kMdbBadData;
  if ((b & 0x80) == 0) {
    std::uint8_t low[2] = {};
    if (MdbBufRead(reader, low, 2) != kMdbDone) return kMdbBadData;
    const std::uint32_t label = (static_cast<std::uint32_t>(b) << 16) | Little(low, 2);
    if (buffer == nullptr || size == 0) return kMdbDone;
    return LabelText(map, label & kLabelBits, buffer, size, flags);
  }
  std::string text;
  for (bool first = true;; first = false) {
    const unsigned v = b & 0x7Fu;
    text.push_back(kDigitSymbols[v / 11]);
    text.push_back(kDigitSymbols[v % 11]);
    if (!first && (b & 0x80) != 0) break;
    if (ReadByte(reader, b) != kMdbDone) return kMdbBadData;
  }
  while (!text.empty() && text.back() == '-') text.pop_back();
  if (buffer != nullptr) Store(buffer, size, text);
  return kMdbDone;
}

int MdbReadPoiText(MdbMap_t& map, MdbPoiText_t& text, const MdbPointRecord_t& point, std::uint32_t labelFlags) {
  text = MdbPoiText_t();
  text.record = point.poi;
  text.kind = MdbPoiKind(point.type);
  if (point.poi == kMdbNone) return kMdbNotFound;
  const MdbLblSection_t& section = map.lbl.properties;
  std::uint32_t shifted = 0;
  if (!MdbShiftOffset(point.poi, section.shift, shifted) || shifted >= section.length) return kMdbNotFound;
  const std::uint64_t start = std::uint64_t{section.offset} + shifted;
  if (start > 0xFFFFFFFFull) return kMdbNotFound;
  Decoder_t decoder(map, text, labelFlags);
  return decoder.Run(static_cast<std::uint32_t>(start));
}

int MdbReadPoiTextPlain(MdbMap_t& map, MdbPoiText_t& text, const MdbPointRecord_t& point) {
  return MdbReadPoiText(map, text, point, kLabelExpandShield);
}

int MdbReadPointDetails(MdbMap_t& map, const MdbPointRecord_t& point, MdbPointDetails_t& details,
                        std::uint32_t flags) {
  details = MdbPointDetails_t();
  const int r = MdbReadPoiText(map, details.text, point, flags);
  if (r != kMdbDone) return r;
  details.name = details.text.address;
  details.length1 = details.text.houseNumberLength;
  details.length2 = details.text.streetNameLength;
  details.length3 = details.text.unitLength;
  if (details.text.kind == kPoiKindTide) {
    details.stationPointer = details.text.extensionPosition;
    details.notes = details.text.extensionReference;
  }
  return kMdbDone;
}

std::uint32_t MdbRouteDistance(const MdbPoint_t& point, const MdbRouteNode_t* nodes, std::uint32_t count,
                               std::int32_t cosine, std::uint32_t& offRoute) {
  offRoute = kMdbNone;
  if (nodes == nullptr || count == 0) return kMdbNone;
  std::uint32_t best = 0;
  MdbPoint_t bestFoot;
  const std::uint32_t segments = count == 1 ? 1 : count - 1;
  for (std::uint32_t i = 0; i < segments; ++i) {
    const MdbPoint_t a{nodes[i].lat, nodes[i].lon};
    const MdbPoint_t b = count == 1 ? a : MdbPoint_t{nodes[i + 1].lat, nodes[i + 1].lon};
    MdbPoint_t foot;
    const std::uint32_t d = MdbDistanceToSegment(a, b, point, foot, cosine);
    if (i == 0 || d < offRoute) {
      offRoute = d;
      best = i;
      bestFoot = foot;
    }
  }
  MdbPoint_t unused;
  const MdbPoint_t start{nodes[best].lat, nodes[best].lon};
  const std::uint64_t along =
      std::uint64_t{nodes[best].along} + MdbDistanceToSegment(start, start, bestFoot, unused, cosine) + offRoute;
  return along > 0xFFFFFFFEull ? 0xFFFFFFFEu : static_cast<std::uint32_t>(along);
}

namespace {

// The name label of a point (its own label or its property record's), read
// into the buffer; 0, or 1 on a read error.
int PointName(MdbMap_t& map, const MdbPointRecord_t& point, char* buffer, std::size_t size) {
  if (buffer != nullptr && size > 0) buffer[0] = '\0';
  std::uint32_t label = point.label;
  if (label == kMdbNone && point.poi != kMdbNone) {
    const int r = MdbReadPoiLabel(map, point.poi, label);
    if (r == kMdbBadData) return r;
  }
  if (label == kMdbNone || buffer == nullptr || size == 0) return kMdbDone;
  return LabelText(map, label, buffer, size, 0);
}

// Whether the point's name contains the criteria's name (any name when it has
// none): 0 yes, 3 no, 1 on a read error.
int NameMatches(MdbMap_t& map, const MdbPointRecord_t& point, const MdbTextCriteria_t& c) {
  if (c.name == nullptr || c.name[0] == '\0') return kMdbDone;
  std::string local;
  char* buffer = c.work;
  std::size_t size = c.workSize;
  if (buffer == nullptr || size == 0) {
    local.assign(kPoiAddressSize, '\0');
    buffer = local.data();
    size = local.size();
  }
  const int r = PointName(map, point, buffer, size);
  if (r != kMdbDone) return r;
  return MdbSrtFind(map.srt, buffer, c.name) != nullptr ? kMdbDone : kMdbNotFound;
}

std::uint32_t Magnitude(std::int32_t v) {
  return v < 0 ? 0u - static_cast<std::uint32_t>(v) : static_cast<std::uint32_t>(v);
}

// Whether the point passes: 0 yes, 3 no, else a failure that ends the search.
int Passes(MdbMap_t& map, const MdbPoint_t& query, const MdbPointRecord_t& point, std::int32_t cosine,
           const MdbTextCriteria_t* c, std::uint32_t& distance) {
  if (c == nullptr) return kMdbDone;
  switch (c->mode) {
    case kTextByBearing: {
      const std::int32_t dlon = static_cast<std::int32_t>(static_cast<std::uint32_t>(point.lon) -
                                                          static_cast<std::uint32_t>(query.lon));
      const std::int32_t dlat = static_cast<std::int32_t>(static_cast<std::uint32_t>(point.lat) -
                                                          static_cast<std::uint32_t>(query.lat));
      // A point on the query point lies in every direction.
      if (dlon != 0 || dlat != 0) {
        const std::uint32_t bearing = 0x40000000u - static_cast<std::uint32_t>(MdbAtan2(MdbMulQ31(dlon, cosine), dlat));
        const std::int32_t off = static_cast<std::int32_t>(bearing - c->bearing);
        if (Magnitude(off) > c->tolerance) return kMdbNotFound;
      }
      if (c->exitName == nullptr || point.poi == kMdbNone) return kMdbDone;
      MdbPoiText_t text;
      if (MdbReadPoiTextPlain(map, text, point) != kMdbDone || text.exitIndex == kMdbNone) return kMdbNotFound;
      std::string local(kPoiAddressSize, '\0');
      char* buffer = c->work != nullptr && c->workSize > 0 ? c->work : local.data();
      const std::size_t size = c->work != nullptr && c->workSize > 0 ? c->workSize : local.size();
      if (LabelText(map, text.exitRoadLabel, buffer, size, 0) != kMdbDone) return kMdbNotFound;
      return std::strcmp(buffer, c->exitName) == 0 ? kMdbDone : kMdbNotFound;
    }
    case kTextByProperty: {
      MdbPoiText_t text;
      if (MdbReadPoiTextPlain(map, text, point) != kMdbDone) return kMdbNotFound;
      if ((text.groupAMask & c->properties) == 0) return kMdbNotFound;
      const int r = NameMatches(map, point, *c);
      return r == kMdbBadData ? kMdbNotFound : r;
    }
    case kTextByName:
      return NameMatches(map, point, *c);
    case kTextByRoute: {
      std::uint32_t off = kMdbNone;
      distance = MdbRouteDistance({point.lat, point.lon}, c->nodes, c->nodeCount, cosine, off);
      if (off == kMdbNone || off > c->maxOffRoute) return kMdbNotFound;
      return NameMatches(map, point, *c);
    }
    default:
      return kMdbDone;
  }
}

// Restores the search rectangle on every way out.
class RectGuard_t {
 public:
  explicit RectGuard_t(MdbMap_t& map) : m_map(map), m_saved(map.searchRect) {}
  ~RectGuard_t() { m_map.searchRect = m_saved; }
  RectGuard_t(const RectGuard_t&) = delete;
  RectGuard_t& operator=(const RectGuard_t&) = delete;

 private:
  MdbMap_t& m_map;
  MdbBox_t m_saved;
};

// The 'capacity' nearest points of the search rectangle that 'pass' admits
// (pass(point, cosine, distance): 0 yes, 3 no, else a failure that ends the
// search; it may put its own distance), nearest first, equal distances in the
// order found. With 'shrink' a full list narrows the search rectangle to its
// last distance. 'work' holds the first hit's point afterwards. The search
// rectangle is put back on every way out.
template <typename Pass>
int NearestPoints(MdbMap_t& map, const MdbPoint_t& query, std::uint16_t request, MdbPointRecord_t& work,
                  MdbTextHit_t* hits, unsigned capacity, bool shrink, Pass pass) {
  for (unsigned i = 0; i < capacity; ++i) hits[i] = MdbTextHit_t();
  if (capacity == 0 || !MdbPointInBox(map.searchRect, query)) return kMdbNotFound;
  const std::int32_t queryCosine = MdbLatitudeFactor(query.lat);
  std::vector<MdbPointRecord_t> records(capacity);
  unsigned filled = 0;
  int r;
  {
    RectGuard_t guard(map);
    MdbPointRecord_t point;
    r = MdbFirstPoint(map, point, request, nullptr);
    while (r == kMdbDone) {
      const std::int32_t mean = static_cast<std::int32_t>((std::int64_t{query.lat} + point.lat) / 2);
      const std::int32_t cosine = MdbLatitudeFactor(mean);
      const std::int32_t dlon = static_cast<std::int32_t>(static_cast<std::uint32_t>(point.lon) -
                                                          static_cast<std::uint32_t>(query.lon));
      const std::int32_t dlat = static_cast<std::int32_t>(static_cast<std::uint32_t>(point.lat) -
                                                          static_cast<std::uint32_t>(query.lat));
      std::uint32_t distance = MdbScaledHypot(dlon, dlat, cosine);
      const int passed = pass(point, cosine, distance);
      if (passed != kMdbDone && passed != kMdbNotFound) return passed;
      if (passed == kMdbDone) {
        unsigned at = 0;
        while (at < filled && hits[at].distance <= distance) ++at;
        if (at < capacity) {
          for (unsigned j = std::min(filled, capacity - 1); j > at; --j) {
            hits[j] = hits[j - 1];
            records[j] = records[j - 1];
          }
          hits[at] = MdbTextHit_t{point.ref, distance, point.lat, point.lon};
          records[at] = point;
          if (filled < capacity) ++filled;
          if (filled == capacity && shrink)
            MdbShrinkSearchRect(map.searchRect, query, queryCosine, hits[capacity - 1].distance);
        }
      }
      r = MdbNextPoint(map, point, request, nullptr);
    }
  }
  if (r != kMdbNotFound) return r;
  if (filled == 0) return kMdbNotFound;
  work = records[0];
  return kMdbDone;
}

}  // namespace

int MdbNearestText(MdbMap_t& map, const MdbPoint_t& query, MdbPointRecord_t& work, MdbTextHit_t* hits,
                   unsigned capacity, const MdbTextCriteria_t* criteria) {
  // Along a route the distances are no distances from the query point: the
  // rectangle keeps its size.
  const bool byRoute = criteria != nullptr && criteria->mode == kTextByRoute;
  return NearestPoints(map, query, 1, work, hits, capacity, !byRoute,
                       [&](const MdbPointRecord_t& point, std::int32_t cosine, std::uint32_t& distance) {
                         return Passes(map, query, point, cosine, criteria, distance);
                       });
}

int MdbFindNearestPoints(MdbMap_t& map, const MdbPoint_t& query, MdbPointRecord_t& work, MdbAuxInfo_t* attributes,
                         std::uint16_t request, MdbTextHit_t* hits, unsigned capacity, std::uint16_t kind,
                         bool extended) {
  // Standard types lie below kExtPointBase; the extended ones are numbered past it.
  const std::uint32_t type = extended ? std::uint32_t{kExtPointBase} + kind : kind;
  const bool possible = extended || kind < kExtPointBase;
  int r = NearestPoints(map, query, request, work, hits, capacity, true,
                        [&](const MdbPointRecord_t& point, std::int32_t, std::uint32_t&) {
                          return possible && point.type == type ? kMdbDone : kMdbNotFound;
                        });
  if (r == kMdbDone && attributes != nullptr) r = MdbGetPoint(map, work, request, attributes);
  return r;
}

}  // namespace mpl
