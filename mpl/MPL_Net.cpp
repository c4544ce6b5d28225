#include "mpl/MPL_Net.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "mpl/MPL_Lbl.h"
#include "mpl/MPL_Reader.h"
#include "mpl/MPL_Subfile.h"

namespace mpl {

// A road record in the road section of NET (values little-endian):
//   label entries, one to four of 3 bytes each:
//       bits 0-21  the LBL label offset
//       bit 22     a 3-byte extra value follows (its low 22 bits)
//       bit 23     the last entry
//   flags byte:
//       bit 0      the level counts are 2 bytes wide (else 1)
//       bits 1, 3, 5, 6  kept as they are in the road's properties
//       bit 2      no extra byte before the record (it reads as 0xF0)
//       bit 4      the road has data (taken only when NET has a shift value)
//       bit 7      more bytes before the record (see below)
//   3 bytes        the road's length
//   level counts   one per level with subdivisions, from the lowest up:
//                  1 byte (bits 0-6 the count, bit 7 the last) or, with flag
//                  bit 0, 2 bytes (bits 0-14 the count, bit 15 the last)
//   line references, 3 bytes each, level after level: byte 0 the line's index,
//                  bytes 1-2 its subdivision
//   road data      (see MdbRoadContinuation)
//
// Bytes stored before the record, read backwards from its start:
//   -1             the extra byte (unless flag bit 2): its low nibble is the
//                  label mode
//   then, with flag bit 7, byte -2:
//       bit 0      nibble bytes follow: one for labels 0 and 1 (low nibble
//                  first), with more than two labels one more for labels 2, 3
//       bit 1      property bit 9
//       bits 2-3   half the width of the labels' direction codes; the codes
//                  follow, label 0 in the lowest bits of the first byte read

namespace {

// Label entry bits.
constexpr std::uint32_t kEntryLabel = 0x3FFFFF;
constexpr std::uint32_t kEntryHasExtra = 0x400000;
constexpr std::uint32_t kEntryLast = 0x800000;

// Flag byte bits.
enum : std::uint8_t {
  kFlagWideCounts = 0x01,
  kFlagNoExtraByte = 0x04,
  kFlagHasData = 0x10,
  kFlagBytesBefore = 0x80,
  kFlagProperties = 0x02 | 0x08 | 0x20 | 0x40,
};

// Bits of byte -2.
enum : std::uint8_t { kBeforeNibbles = 0x01, kBeforeProperty = 0x02 };

constexpr unsigned kRecordRead = 46;
constexpr unsigned kLabelRead = 25;

// The next byte before the record, read backwards.
int ByteBefore(MdbMap_t& map, std::uint32_t& cursor, std::uint8_t& b) {
  if (cursor == 0) return kMdbBadData;
  --cursor;
  return MdbRead(map.net.file, cursor, &b, 1);
}

// The bytes of a record that the section and the sub-file hold, at most 'want'.
int ReadRecord(MdbMap_t& map, std::uint32_t start, std::uint8_t* buffer, unsigned want, unsigned& got) {
  const std::uint64_t sectionEnd = std::uint64_t{map.net.first.offset} + map.net.first.length;
  const std::uint64_t fileEnd = MdbSize(map.net.file);
  const std::uint64_t end = std::min(sectionEnd, fileEnd);
  got = start >= end ? 0 : static_cast<unsigned>(std::min<std::uint64_t>(want, end - start));
  if (got == 0) return kMdbBadData;
  return MdbRead(map.net.file, start, buffer, got);
}

// The levels that have subdivisions.
unsigned LevelsWithSubdivisions(const MdbMap_t& map) {
  unsigned n = 0;
  for (unsigned i = 0; i < kMdbLevels; ++i)
    if (map.net.levelIndex[i] != 0xFF) ++n;
  return n;
}

// Walks the label entries of a record: 0 with the byte after them, 1 when
// they run past the bytes read.
struct LabelEntry_t {
  std::uint32_t label;
  std::uint32_t extra;
};
int WalkLabels(const std::uint8_t* b, unsigned got, unsigned& pos, LabelEntry_t* entries, unsigned& count) {
  count = 0;
  pos = 0;
  while (count < 4) {
    if (pos + 3 > got) return kMdbBadData;
    const std::uint32_t raw = MdbGet24(b + pos);
    pos += 3;
    LabelEntry_t e{raw & kEntryLabel, kEntryLabel};
    if ((raw & kEntryHasExtra) != 0) {
      if (pos + 3 > got) return kMdbBadData;
      e.extra = MdbGet24(b + pos) & kEntryLabel;
      pos += 3;
    }
    entries[count++] = e;
    if ((raw & kEntryLast) != 0) break;
  }
  return kMdbDone;
}

// The level above 'level' that has resolution bits (or 'level' when none).
unsigned NextLevelUp(const MdbMap_t& map, unsigned level) {
  for (unsigned n = level + 1; n < kMdbLevels; ++n)
    if (map.tre.levelBits[n] != 0) return n;
  return level;
}

// Reads a line by reference, with the filter cleared.
int ReadLine(MdbMap_t& map, std::uint32_t ref, MdbLineRecord_t& line, std::uint16_t request) {
  line.ref = ref;
  return MdbGetLine(map, line, request, nullptr);
}

}  // namespace

std::uint32_t MdbRoadRecordOffset(const MdbMap_t& map, std::uint32_t netOffset) {
  if (netOffset == kMdbNone) return 0;
  const std::uint64_t rel = std::uint64_t{netOffset & 0x3FFFFF} << (map.net.first.shift & 31);
  if (rel >= map.net.first.length) return 0;
  const std::uint64_t at = map.net.first.offset + rel;
  return at > 0xFFFFFFFFu ? 0 : static_cast<std::uint32_t>(at);
}

namespace {

// The label entries at the record's start; 'pos' ends on the flags byte.
int DecodeLabels(MdbRoad_t& road, const std::uint8_t* b, unsigned got, unsigned& pos, unsigned& count) {
  LabelEntry_t entries[4];
  if (WalkLabels(b, got, pos, entries, count) != kMdbDone) return kMdbBadData;
  for (unsigned i = 0; i < count; ++i) {
    road.labels[i] = entries[i].label;
    road.extras[i] = entries[i].extra;
  }
  road.labelCount = 0;
  while (road.labelCount < count && road.labels[road.labelCount] != 0) ++road.labelCount;
  return kMdbDone;
}

// The flags byte, and the bytes before the record that it announces.
int DecodeFlags(MdbMap_t& map, MdbRoad_t& road, std::uint8_t flags, unsigned count) {
  road.flags = flags;
  const bool takeData = (flags & kFlagHasData) != 0 && map.net.shiftValue != 0;
  road.properties = flags & kFlagProperties;
  if (takeData) road.properties |= kRoadHasData;
  std::uint32_t cursor = road.start;
  if ((flags & kFlagNoExtraByte) == 0 && ByteBefore(map, cursor, road.extraByte) != kMdbDone) return kMdbBadData;
  if ((flags & kFlagBytesBefore) == 0) return kMdbDone;
  std::uint8_t b2 = 0, n = 0;
  if (ByteBefore(map, cursor, b2) != kMdbDone) return kMdbBadData;
  if ((b2 & kBeforeProperty) != 0) road.properties |= 1u << 9;
  if ((b2 & kBeforeNibbles) != 0) {
    if (ByteBefore(map, cursor, n) != kMdbDone) return kMdbBadData;
    road.nibbles[0] = n & 0xF;
    road.nibbles[1] = n >> 4;
    if (count > 2) {
      if (ByteBefore(map, cursor, n) != kMdbDone) return kMdbBadData;
      road.nibbles[2] = n & 0xF;
      road.nibbles[3] = n >> 4;
    }
  }
  const unsigned width = 2u * ((b2 >> 2) & 3u);
  if (width == 0) return kMdbDone;
  std::uint32_t bits = 0;
  unsigned have = 0;
  for (unsigned i = 0; i < count; ++i) {
    while (have < width) {
      std::uint8_t c = 0;
      if (ByteBefore(map, cursor, c) != kMdbDone) return kMdbBadData;
      bits |= static_cast<std::uint32_t>(c) << have;
      have += 8;
    }
    road.codes[i] = static_cast<std::uint8_t>(bits & ((1u << width) - 1));
    bits >>= width;
    have -= width;
  }
  return kMdbDone;
}

// The length and the level counts from 'pos' on: the current level's line
// count and where its references start, and the road's highest level.
int DecodeLevelCounts(const MdbMap_t& map, MdbRoad_t& road, const std::uint8_t* b, unsigned got, unsigned pos) {
  if (pos + 3 > got) return kMdbBadData;
  road.length = MdbGet24(b + pos) << 8;
  pos += 3;
  const bool wide = (road.flags & kFlagWideCounts) != 0;
  const unsigned maxCounts = std::min(LevelsWithSubdivisions(map), kMdbLevels);
  const std::uint8_t current = map.level < kMdbLevels ? map.net.levelIndex[map.level] : 0xFF;
  std::uint32_t before = 0, all = 0;
  unsigned level = map.tre.lowestLevel;
  for (unsigned i = 0;; ++i) {
    if (i >= maxCounts) return kMdbBadData;
    std::uint32_t value = 0;
    bool last = false;
    if (wide) {
      if (pos + 2 > got) return kMdbBadData;
      const std::uint16_t v = MdbGet16(b + pos);
      pos += 2;
      value = v & 0x7FFF;
      last = (v & 0x8000) != 0;
    } else {
      if (pos + 1 > got) return kMdbBadData;
      value = b[pos] & 0x7F;
      last = (b[pos] & 0x80) != 0;
      pos += 1;
    }
    if (i == 0) {
      road.firstCount = value;
    } else {
      level = NextLevelUp(map, level);
    }
    if (i < current) before += value;
    if (i == current) road.count = value;
    all += value;
    if (last) break;
  }
  road.highestLevel = static_cast<std::uint8_t>(level);
  road.listStart = road.start + pos + 3 * before;
  road.listEnd = road.start + pos + 3 * all;
  road.position = road.reversed ? static_cast<std::int32_t>(road.count) - 1 : 0;
  return kMdbDone;
}

// The road's box on the current level: that of its only line, or the ellipse
// over its first and last points and its length, widened by one unit of the
// level and rounded outwards to whole units.
int DecodeBox(MdbMap_t& map, MdbRoad_t& road, MdbLineRecord_t& line, std::uint16_t request) {
  MdbRoad_t walk = road;
  walk.reversed = false;
  walk.position = 0;
  std::uint32_t first = 0;
  int r = MdbRoadLines(map, walk, &first, 1);
  if (r != kMdbDone) return r == kMdbNotFound ? kMdbDone : r;
  r = ReadLine(map, first, line, road.count == 1 ? request : 1);
  if (r != kMdbDone) return r;
  MdbBox_t box = line.box;
  if (road.count > 1) {
    if (line.points.empty()) return kMdbBadData;
    const MdbPoint_t a = line.points.front();
    walk.position = static_cast<std::int32_t>(road.count) - 1;
    std::uint32_t lastRef = 0;
    r = MdbRoadLines(map, walk, &lastRef, 1);
    if (r != kMdbDone) return r;
    r = ReadLine(map, lastRef, line, kRequestCount);
    if (r != kMdbDone) return r;
    if (line.points.empty()) return kMdbBadData;
    MdbEllipseBox(a, line.points.back(), static_cast<std::int32_t>(std::min<std::uint32_t>(road.length, 0x7FFFFFFF)),
                  box);
  }
  const unsigned bits = map.tre.levelBits[map.level < kMdbLevels ? map.level : 0];
  const std::int64_t u = bits == 0 || bits >= 32 ? 1 : std::int64_t{1} << (32 - bits);
  const auto down = [u](std::int64_t v) { return v >= 0 ? v / u * u : -((-v + u - 1) / u) * u; };
  const auto up = [u](std::int64_t v) { return v >= 0 ? (v + u - 1) / u * u : -((-v) / u) * u; };
  const auto clamp = [](std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
  };
  road.box.north = clamp(up(std::int64_t{box.north} + u));
  road.box.east = clamp(up(std::int64_t{box.east} + u));
  road.box.south = clamp(down(std::int64_t{box.south} - u));
  road.box.west = clamp(down(std::int64_t{box.west} - u));
  return kMdbDone;
}

}  // namespace

int MdbDecodeRoad(MdbMap_t& map, MdbRoad_t& road, bool reversed, MdbLineRecord_t* line, std::uint16_t request) {
  const std::uint32_t netOffset = road.netOffset;
  road = MdbRoad_t{};
  road.netOffset = netOffset;
  road.reversed = reversed;
  road.highestLevel = map.tre.lowestLevel;
  const std::uint32_t start = MdbRoadRecordOffset(map, netOffset);
  if (start == 0) return kMdbNotFound;
  road.start = start;
  std::uint8_t b[kRecordRead] = {};
  unsigned got = 0;
  if (ReadRecord(map, start, b, kRecordRead, got) != kMdbDone) return kMdbBadData;
  unsigned count = 0, pos = 0;
  if (DecodeLabels(road, b, got, pos, count) != kMdbDone) return kMdbBadData;
  if (pos >= got) return kMdbBadData;
  if (DecodeFlags(map, road, b[pos++], count) != kMdbDone) return kMdbBadData;
  if (DecodeLevelCounts(map, road, b, got, pos) != kMdbDone) return kMdbBadData;
  if (line == nullptr || request == 0) return kMdbDone;
  return DecodeBox(map, road, *line, request);
}

int MdbRoadLines(MdbMap_t& map, MdbRoad_t& road, std::uint32_t* references, unsigned n) {
  if (road.netOffset == kMdbNone || n == 0 || road.position < 0) return kMdbNotFound;
  const std::uint32_t position = static_cast<std::uint32_t>(road.position);
  if (position >= road.count) return kMdbNotFound;
  const std::uint32_t remaining = road.reversed ? position + 1 : road.count - position;
  if (remaining < n) return kMdbNotFound;
  const std::uint32_t firstIndex = road.reversed ? position - n + 1 : position;
  std::vector<std::uint8_t> b(3u * n);
  const std::uint64_t at = std::uint64_t{road.listStart} + 3ull * firstIndex;
  if (at + b.size() > 0xFFFFFFFFu) return kMdbBadData;
  if (MdbRead(map.net.file, static_cast<std::int64_t>(at), b.data(), static_cast<std::uint32_t>(b.size())) !=
      kMdbDone)
    return kMdbBadData;
  for (unsigned i = 0; i < n; ++i)
    references[i] = (static_cast<std::uint32_t>(MdbGet16(&b[3 * i + 1])) << 16) | b[3 * i];
  if (road.reversed) {
    std::reverse(references, references + n);
    road.position -= static_cast<std::int32_t>(n);
  } else {
    road.position += static_cast<std::int32_t>(n);
  }
  return kMdbDone;
}

int MdbRoadFirstLine(MdbMap_t& map, std::uint32_t netOffset, std::uint32_t& reference) {
  reference = kMdbNone;
  const std::uint32_t start = MdbRoadRecordOffset(map, netOffset);
  if (start == 0) return kMdbNotFound;
  MdbBufReader_t in;
  std::uint8_t window[16];
  if (MdbBufOpen(in, map.net.file, start, window, sizeof window) != kMdbDone) return kMdbBadData;
  std::uint8_t b[3];
  for (unsigned i = 0; i < 4; ++i) {
    if (MdbBufRead(in, b, 3) != kMdbDone) return kMdbBadData;
    const std::uint32_t raw = MdbGet24(b);
    if ((raw & kEntryHasExtra) != 0 && MdbBufRead(in, b, 3) != kMdbDone) return kMdbBadData;
    if ((raw & kEntryLast) != 0) break;
  }
  std::uint8_t flags = 0;
  if (MdbBufRead(in, &flags, 1) != kMdbDone || MdbBufRead(in, b, 3) != kMdbDone) return kMdbBadData;
  const unsigned width = (flags & kFlagWideCounts) != 0 ? 2 : 1;
  const unsigned maxCounts = LevelsWithSubdivisions(map);
  for (unsigned i = 0;; ++i) {
    if (i >= maxCounts) return kMdbBadData;
    if (MdbBufRead(in, b, static_cast<std::uint16_t>(width)) != kMdbDone) return kMdbBadData;
    if ((b[width - 1] & 0x80) != 0) break;
  }
  if (MdbBufRead(in, b, 3) != kMdbDone) return kMdbBadData;
  reference = (static_cast<std::uint32_t>(MdbGet16(b + 1)) << 16) | b[0];
  return kMdbDone;
}

int MdbRoadLabels(MdbMap_t& map, std::uint32_t netOffset, std::uint32_t wantedExtra, unsigned numberOrMode,
                  std::uint32_t* labels, std::uint32_t* flagWord) {
  const bool all = numberOrMode >= 4;
  if (labels != nullptr) {
    for (unsigned i = 0; i < (all ? 4u : 1u); ++i) labels[i] = kMdbNone;
  }
  if (flagWord != nullptr) *flagWord = 0;
  const std::uint32_t start = MdbRoadRecordOffset(map, netOffset);
  if (start == 0) return kMdbNotFound;
  const bool single = wantedExtra == kMdbNone && !all && flagWord == nullptr;
  const unsigned want = single ? 6 * numberOrMode + 6 : kLabelRead;
  std::uint8_t b[kLabelRead] = {};
  unsigned got = 0;
  if (ReadRecord(map, start, b, want, got) != kMdbDone) return kMdbBadData;
  LabelEntry_t entries[4];
  unsigned count = 0, pos = 0;
  const int walked = WalkLabels(b, got, pos, entries, count);
  if (walked != kMdbDone && !single) return walked;
  if (flagWord != nullptr && walked == kMdbDone && pos < got) {
    const std::uint8_t flags = b[pos];
    std::uint32_t cursor = start;
    std::uint8_t extra = 0xF0, b2 = 0;
    if ((flags & kFlagNoExtraByte) == 0 && ByteBefore(map, cursor, extra) != kMdbDone) return kMdbBadData;
    *flagWord = extra;
    if ((flags & kFlagBytesBefore) != 0) {
      if (ByteBefore(map, cursor, b2) != kMdbDone) return kMdbBadData;
      *flagWord |= static_cast<std::uint32_t>(b2) << 8;
    }
  }
  if (all) {
    for (unsigned i = 0; i < count && labels != nullptr; ++i) labels[i] = entries[i].label;
    return kMdbDone;
  }
  for (unsigned i = 0; i < count; ++i) {
    const bool match = wantedExtra != kMdbNone ? entries[i].extra == wantedExtra : i == numberOrMode;
    if (match) {
      if (labels != nullptr) labels[0] = entries[i].label;
      return kMdbDone;
    }
  }
  return walked != kMdbDone ? walked : kMdbNotFound;
}

bool MdbRoadLabelIsPlain(unsigned mode, unsigned number, const char* text) {
  if (mode == 6) return false;
  if (mode >= 1 && mode <= 4 && number + 1 >= mode) return false;
  const auto c0 = static_cast<unsigned char>(text != nullptr ? text[0] : 0);
  if (c0 == 0 || (c0 >= 2 && c0 <= 6)) return false;
  if (c0 == 1) {
    for (const char* p = text + 1; *p != '\0'; ++p) {
      const char c = *p;
      if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
    }
    return true;
  }
  if (mode == 0) {
    static const char* const kPrefixes[] = {"BIA-", "BLM-", "CO HWY ", "CO RD ", "CR-", "FOREST RTE ",
                                            "INDIAN RTE ", "NF-", "SH ", "SR-", "TH "};
    for (const char* prefix : kPrefixes)
      if (std::strncmp(text, prefix, std::strlen(prefix)) == 0) return false;
  }
  return true;
}

int MdbChooseRoadLabel(MdbMap_t& map, std::uint32_t& netOffset, std::uint32_t& label, unsigned& number, bool follow,
                       bool shieldFirst) {
  MdbRoad_t road;
  road.netOffset = netOffset;
  int r = MdbDecodeRoad(map, road, false, nullptr, 0);
  label = kMdbNone;
  number = 0;
  if (r != kMdbDone) return r;
  label = road.labels[0];
  std::uint32_t holder = netOffset;
  bool chosen = false;
  unsigned visits = 0;
  // A chain of continuation records ends at most after as many records as
  // the road section could hold; a loop ends it too.
  for (unsigned records = 0; records < 64; ++records) {
    const unsigned mode = road.extraByte & 0xF;
    bool ended = false;
    for (unsigned i = 0; i < 4; ++i, ++visits) {
      const std::uint32_t l = road.labels[i];
      if (l == 0 || l == kMdbNone) {
        ended = true;
        break;
      }
      char text[13] = {};
      r = MdbReadLabelText(map, l, text, sizeof text, kLabelTruncate);
      if (r == kMdbBadData) return r;
      const auto c0 = static_cast<unsigned char>(text[0]);
      if (visits == 0 && shieldFirst && c0 >= 1 && c0 <= 6) {
        label = l;
        number = 0;
        netOffset = road.netOffset;
        return kMdbDone;
      }
      if (MdbRoadLabelIsPlain(mode, visits % 4, text)) {
        label = l;
        number = visits % 4;
        netOffset = road.netOffset;
        return kMdbDone;
      }
      if (!chosen) {
        chosen = true;
        label = l;
        number = visits % 4;
        holder = road.netOffset;
      }
    }
    if (ended || !follow) break;
    std::uint32_t next = kMdbNone;
    r = MdbRoadContinuation(map, road, next);
    if (r == kMdbBadData) return r;
    if (next == kMdbNone || next == road.netOffset) break;
    road = MdbRoad_t{};
    road.netOffset = next;
    r = MdbDecodeRoad(map, road, false, nullptr, 0);
    if (r != kMdbDone) return r;
  }
  netOffset = holder;
  return kMdbDone;
}

bool MdbAddRoadDirection(MdbMap_t& map, const MdbLineRecord_t& line, char* text, std::size_t size) {
  if (line.label == kMdbNone || line.netOffset == kMdbNone || text == nullptr || size < 3) return false;
  const std::size_t length = std::strlen(text);
  if (length >= size - 3) return false;
  MdbRoad_t road;
  road.netOffset = line.netOffset;
  if (MdbDecodeRoad(map, road, false, nullptr, 0) != kMdbDone) return false;
  for (unsigned i = 0; i < 4; ++i) {
    if (road.labels[i] != line.label) continue;
    const unsigned c = road.codes[i];
    if (c < 1 || c > 8) return false;
    static const char kLetters[] = "NSEWNSEO";
    text[length] = ' ';
    text[length + 1] = kLetters[c - 1];
    text[length + 2] = '\0';
    return true;
  }
  return false;
}

int MdbFindRoadNear(MdbMap_t& map, std::uint32_t lineRef, const MdbPoint_t& point, MdbLineRecord_t& line,
                    std::uint16_t request, MdbRoadNear_t& result) {
  const std::int32_t factor = MdbLatitudeFactor(point.lat);
  result = MdbRoadNear_t{};
  std::uint16_t wanted = static_cast<std::uint16_t>((request & kRequestCount) < 2 ? kRequestCount : request);
  int r = ReadLine(map, lineRef, line, wanted);
  if (r != kMdbDone) return r;
  bool found = false;
  std::uint32_t keptRef = 0;
  const auto test = [&](const MdbLineRecord_t& l) {
    const std::size_t n = l.points.size();
    const std::size_t segments = n <= 1 ? n : n - 1;
    for (std::size_t i = 0; i < segments; ++i) {
      const MdbPoint_t a = l.points[i];
      const MdbPoint_t b = n == 1 ? l.points[0] : l.points[i + 1];
      MdbPoint_t nearest;
      const std::uint32_t d = MdbDistanceToSegment(a, b, point, nearest, factor);
      if (found && d >= result.distance) continue;
      found = true;
      result.distance = d;
      result.nearest = nearest;
      result.segmentStart = a;
      result.segmentEnd = b;
      result.segment = static_cast<std::uint16_t>(i);
      result.ref = l.ref;
      result.lineType = l.type;
      result.direction = l.direction != 0 ? 1 : 10;
      keptRef = l.ref;
      const bool atStart = i == 0 && nearest.lat == l.points[0].lat && nearest.lon == l.points[0].lon;
      const bool atEnd = i + 1 == segments && nearest.lat == b.lat && nearest.lon == b.lon;
      result.position = atStart ? 0 : atEnd ? 2 : 1;
    }
  };
  const unsigned level = map.level < kMdbLevels ? map.level : 0;
  const unsigned subdivision = lineRef >> 16;
  bool here = subdivision >= map.tre.firstSubdiv[level];
  if (here && level > map.tre.lowestLevel) {
    for (int below = static_cast<int>(level) - 1; below >= 0; --below) {
      if (map.tre.firstSubdiv[below] == 0) continue;
      here = subdivision < map.tre.firstSubdiv[below];
      break;
    }
  }
  if (here) {
    result.netOffset = line.netOffset;
    result.label = line.label;
    test(line);
  } else {
    if (line.netOffset == kMdbNone) return kMdbNotFound;
    MdbRoad_t road;
    road.netOffset = line.netOffset;
    r = MdbDecodeRoad(map, road, false, nullptr, 0);
    if (r != kMdbDone) return r;
    if (road.count == 0) return kMdbNotFound;
    result.netOffset = road.netOffset;
    result.label = road.labels[0];
    std::uint32_t lastRead = line.ref;
    while (road.position < static_cast<std::int32_t>(road.count)) {
      std::uint32_t refs[4];
      const unsigned n = std::min<unsigned>(4, road.count - static_cast<std::uint32_t>(road.position));
      r = MdbRoadLines(map, road, refs, n);
      if (r != kMdbDone) return r;
      for (unsigned i = 0; i < n; ++i) {
        r = ReadLine(map, refs[i], line, wanted);
        if (r != kMdbDone) return r;
        lastRead = refs[i];
        test(line);
      }
    }
    if (found && lastRead != keptRef) {
      r = ReadLine(map, keptRef, line, wanted);
      if (r != kMdbDone) return r;
    }
  }
  if (!found) return kMdbNotFound;
  if (result.direction == 1)
    result.direction = static_cast<std::uint8_t>(MdbCompassDirection(result.segmentStart, result.segmentEnd));
  return kMdbDone;
}

int MdbNetIndexRoad(MdbMap_t& map, std::uint32_t index, std::uint32_t& netOffset) {
  netOffset = kMdbNone;
  if (index == kMdbNone) return kMdbNotFound;
  const MdbNetSection_t& t = map.net.second;
  const std::uint64_t rel = std::uint64_t{index} << (t.shift & 31);
  if (rel >= t.length) return kMdbNotFound;
  std::uint8_t b[5];
  if (std::uint64_t{t.offset} + rel + 5 > 0xFFFFFFFFu) return kMdbBadData;
  if (MdbRead(map.net.file, static_cast<std::int64_t>(t.offset + rel), b, 5) != kMdbDone) return kMdbBadData;
  netOffset = MdbGet24(b + 2) & 0x3FFFFF;
  return kMdbDone;
}

int MdbRoadObjectLabel(MdbMap_t& map, const void* record, unsigned kind, std::uint32_t flags, std::uint32_t& label,
                       std::uint16_t& type, std::uint8_t& direction) {
  label = kMdbNone;
  type = 0;
  direction = 0;
  if (kind == kLabelOfNetIndex) {
    const std::uint32_t index = *static_cast<const std::uint32_t*>(record);
    std::uint32_t net = kMdbNone;
    int r = MdbNetIndexRoad(map, index, net);
    if (r != kMdbDone) return r;
    r = MdbRoadLabels(map, net, index, 0, &label, nullptr);
    if (r != kMdbDone) return r;
    std::uint32_t ref = kMdbNone;
    MdbLineRecord_t line;
    if (MdbRoadFirstLine(map, net, ref) == kMdbDone && ReadLine(map, ref, line, 0) == kMdbDone) {
      type = line.type;
      direction = line.direction;
    }
    return kMdbDone;
  }
  MdbLineRecord_t line = *static_cast<const MdbLineRecord_t*>(record);
  if (kind == kLabelOfRoad) {
    type = line.type;
    direction = line.direction;
    if (line.label != kMdbNone) {
      label = line.label;
      return kMdbDone;
    }
    if (line.netOffset == kMdbNone) return kMdbNotFound;
    return MdbRoadLabels(map, line.netOffset, kMdbNone, 0, &label, nullptr);
  }
  bool read = false;
  if (line.netOffset != kMdbNone && line.ref == 0) {
    std::uint32_t ref = kMdbNone;
    if (MdbRoadFirstLine(map, line.netOffset, ref) == kMdbDone) {
      line.ref = ref;
      read = true;
    }
  } else if (line.ref != 0 && line.netOffset == kMdbNone && line.label == kMdbNone) {
    read = true;
  }
  if (read) {
    MdbLineRecord_t again;
    if (ReadLine(map, line.ref, again, 0) == kMdbDone) line = again;
  }
  type = line.type;
  direction = line.direction;
  if (line.label != kMdbNone) {
    label = line.label;
    return kMdbDone;
  }
  if (line.netOffset == kMdbNone) return kMdbNotFound;
  if ((flags & kLabelRoadChoice) != 0) {
    std::uint32_t net = line.netOffset;
    unsigned number = 0;
    return MdbChooseRoadLabel(map, net, label, number, true, false);
  }
  return MdbRoadLabels(map, line.netOffset, kMdbNone, 0, &label, nullptr);
}

}  // namespace mpl
