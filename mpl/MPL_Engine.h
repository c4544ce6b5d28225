#pragma once
// The map engine's context: one map of an image, its sub-files with the fields
// of their headers, the level and search state and the object-search cursors.
// The engine is procedural: every operation takes the context (or one sub-file
// of it) and answers a result code; none throws, except that an unavailable
// medium (dsk::MediaUnavailable_t) passes through unchanged.
#include <array>
#include <cstdint>
#include <locale>
#include <map>
#include <string>
#include <vector>

#include "dsk/DSK_File.h"
#include "mpl/MPL_DemTypes.h"
#include "mpl/MPL_Filter.h"
#include "mpl/MPL_Geometry.h"
#include "mpl/MPL_EngineImage.h"

namespace mpl {

// Result codes of every engine operation.
enum : int {
  kMdbDone = 0,
  kMdbBadData = 1,  // read error or bad data
  kMdbNoMemory = 2,
  kMdbNotFound = 3,  // not found, or nothing more
};

// Levels are numbered 0 (most detailed) to 8.
constexpr unsigned kMdbLevels = 9;

// A table of fixed-size records inside a sub-file.
struct MdbTable_t {
  std::uint32_t offset = 0;
  std::uint32_t count = 0;
  std::uint16_t recordSize = 0;
};

// A TRE overview of the types present (lines, areas, points).
struct MdbOverview_t {
  std::uint32_t offset = 0;
  std::uint32_t count = 0;
  std::uint16_t recordSize = 0;
  std::uint8_t extra = 0;  // low 6 bits of the byte after the record size
};

// The extended-subdivision table of TRE.
struct MdbExtSubdivTable_t {
  std::uint32_t offset = 0;
  std::uint16_t recordSize = 0;
  std::uint32_t lastIndex = 0;     // records - 1 (0 when the record size is 0)
  std::uint32_t flags = 0;         // bits 0-2 areas, lines, points present; bit 10 kinds words
  std::uint32_t firstCovered = 0;  // first subdivision with a record (0: none)
};

// Indexes of the three kinds of object in per-kind arrays.
enum : unsigned { kMdbLines = 0, kMdbAreas = 1, kMdbPoints = 2 };

// The TRE header, read whole (188 bytes) when the map opens. Layout (byte
// offsets; values little-endian, coordinates 24-bit signed in map units):
//     0  u16  header length; the fields past the common part count only when
//             the header reaches beyond them
//     2       "VORTAN " and "TRE" at 9; u16 1 at 12
//    14  u16  year of creation, then bytes month 16, day 17, hour 18, minute 19
//    21  s24  north, 24 east, 27 south, 30 west bound
//    33  u32  level table offset, 37 its length (low 16 bits; 4 bytes a level)
//    41  u32  subdivision table offset
//    49  u32  notice table offset, 53 its length, 57 u16 its record size
//    63  u32  flag word: bits 0-4 capabilities (bit 2 name order), 8-12 and
//             bit 1 the display value, 13-17 valueB, 18-25 and 26 valueA
//    67  u32  word43: bit 0 a capability, bits 8-15 and 16-23 (18: marine chart)
//    74       line overview: u32 offset, 78 u32 length, 82 u16 record size,
//             84 byte whose low 6 bits are the extra value
//    88       area overview, laid out the same
//   102       point overview, laid out the same
//   116  u32  map id (low 28 bits)
//   120  u32  scale distance
//   124  u32  extended subdivision table offset, 128 its length, 132 u16 its
//             record size, 134 u32 its flags
//   138  u32  extended type overviews' base offset, 146 u16 their record size,
//             148, 150, 152 u16 the line, area and point counts (low 12 bits)
struct MdbTreHeader_t {
  std::uint16_t length = 0;  // as stored
  std::uint16_t year = 0;
  std::uint8_t month = 0, day = 0, hour = 0, minute = 0;
  std::int32_t north = 0, east = 0, south = 0, west = 0;  // the 24 bits in the top of the word
  std::uint32_t levelOffset = 0;
  std::uint32_t levelLength = 0;  // the low 16 bits of the stored word
  std::uint32_t subdivOffset = 0;
  std::uint32_t noticeOffset = 0;
  std::uint32_t noticeLength = 0;
  std::uint16_t noticeRecordSize = 0;
  std::uint32_t flags = 0;
  std::uint32_t word43 = 0;
  struct Overview_t {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    std::uint16_t recordSize = 0;
    std::uint8_t extra = 0;  // low 6 bits
  };
  std::array<Overview_t, 3> overviews{};  // by kMdbLines, kMdbAreas, kMdbPoints
  std::uint32_t mapId = 0;                // the whole stored word
  std::uint32_t scaleDistance = 0;
  std::uint32_t extOffset = 0;
  std::uint32_t extLength = 0;
  std::uint16_t extRecordSize = 0;
  std::uint32_t extFlags = 0;
  std::uint32_t extTypesOffset = 0;
  std::uint16_t extTypesRecordSize = 0;
  std::array<std::uint16_t, 3> extTypeCounts{};  // low 12 bits
};

struct MdbTre_t {
  dsk::File_t file;
  MdbTreHeader_t header;
  std::uint32_t subdivOffset = 0;
  std::uint16_t totalSubdivs = 0;
  std::uint16_t levelMask = 0;  // bit n: level n absent or without data of its own
  std::array<std::uint16_t, kMdbLevels> firstSubdiv{};  // 0: level absent
  std::array<std::uint8_t, kMdbLevels> levelBits{};
  std::uint8_t lowestLevel = 0;
  std::uint8_t highestLevel = 0;
  MdbExtSubdivTable_t ext;
  std::uint32_t flags = 0;
  // Derived from the flag word and copied with the context; nothing reads them.
  std::uint32_t valueA = 0;
  std::uint32_t valueB = 0;
  std::array<MdbOverview_t, 3> overviews;  // by kMdbLines, kMdbAreas, kMdbPoints
  std::array<MdbTable_t, 3> extTypes;      // the same order
  std::uint16_t spare = 0;                 // cleared with the context; nothing reads it
};

// The three extended sections of RGN, seven words each.
struct MdbExtSection_t {
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
  std::uint32_t unused = 0;      // nothing reads it
  std::uint32_t trailer = 0;     // 2 bits per group, bytes to skip after an object
  std::uint32_t optionMask = 0;  // bits 0-28 optional fields; bit 29 presence flags
  std::array<std::uint32_t, 2> sizeCodes{};
};

struct MdbRgn_t {
  dsk::File_t file;
  std::uint32_t dataOffset = 0;
  std::uint32_t dataLength = 0;
  // The 21 words as stored: extended areas, lines, points (seven words each).
  std::array<std::uint32_t, 21> extWords{};
  std::array<std::uint32_t, 2> more{};
  std::array<std::uint16_t, 5> work{};  // cleared with the context; nothing reads it
};

// The extended section of kind k (0 areas, 1 lines, 2 points) of the RGN words.
MdbExtSection_t MdbExtSection(const MdbRgn_t& rgn, unsigned k);

struct MdbLblSection_t {
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
  std::uint8_t shift = 0;
  std::uint8_t encoding = 0;  // label section: text encoding; property section: unused
  std::uint32_t flags = 0;    // property section
};

struct MdbLbl_t {
  dsk::File_t file;
  MdbLblSection_t labels;
  MdbTable_t countries, regions;
  MdbTable_t cities;  // record size: low 15 bits; bit 15 set when bit 31 of the word at 69 is clear
  MdbTable_t table73;
  MdbLblSection_t properties;
  MdbTable_t table100;  // kept; nothing reads it
  MdbTable_t indexedLabels;
  MdbTable_t exits;
  MdbTable_t facilities;
  std::uint32_t facilityFlags = 0;
  MdbTable_t table156;
  std::uint16_t codePage = 0;
  std::uint16_t sortCodePage = 0;  // word at 172
  std::uint16_t sortId = 0;        // word at 174
  // Kept as the header holds them; nothing reads them.
  std::array<std::uint32_t, 4> words176{};
  std::uint32_t word192 = 0;
  std::array<std::uint32_t, 3> words196{};
  std::uint32_t marineOffset = 0, marineLength = 0;
  std::uint16_t marineRecordSize = 0;
  std::uint32_t marineWord = 0;
  std::uint32_t offset222 = 0, length222 = 0;
  std::array<std::uint8_t, 2> bytes234{};
};

struct MdbNetSection_t {
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
  std::uint8_t shift = 0;
};

struct MdbNet_t {
  dsk::File_t file;
  dsk::File_t file2;
  MdbNetSection_t first, second;
  MdbTable_t table;
  std::uint16_t shiftValue = 0;  // byte at 54 + 5 when the byte at 53 is 1 (up to 260)
  std::uint32_t word55 = 0;  // kept; nothing reads it
  std::uint32_t mask = 0;  // 1 when the header is too short for it
  std::uint32_t flags = 0;
  std::array<std::uint8_t, kMdbLevels> levelIndex{};  // 0xFF: level without subdivisions
};

// Of the NOD header only the flag word is read (at open); the other words are
// kept as the header holds them.
struct MdbNod_t {
  dsk::File_t file;
  std::uint32_t word21 = 0, word25 = 0;
  std::uint32_t flags = 0;  // the word at 29
  std::uint8_t byte33 = 0, byte34 = 0;
  std::uint16_t word35 = 0;
  std::uint32_t word37 = 0, word41 = 0;
  std::uint32_t word49 = 0, word53 = 0;
  std::uint16_t word57 = 0;
};

// A sub-file with the fields of its reader (a sort table): copies reopen the
// handle on the same file in the same mode.
struct MdbSubfile_t {
  dsk::File_t file;
  std::array<std::uint32_t, 2> head{};  // kept; nothing reads it
  std::array<std::uint32_t, 13> words{};
};

// The subdivision loaded last.
struct MdbSubdivision_t {
  std::uint16_t number = 0;  // 0: none
  std::uint8_t level = 0;
  std::uint8_t bits = 0;
  std::uint32_t rgnOffset = 0;  // 28 bits
  std::uint8_t kinds = 0;       // bit 0 points, 1 indexed points, 2 lines, 3 areas, 4 end of areas
  bool lastOfGroup = false;
  bool extLoaded = false;
  std::uint16_t dataLength = 0;
  std::uint16_t firstChild = 0;  // 0 on the lowest level
  std::int32_t centreLat = 0;
  std::int32_t centreLon = 0;
  MdbBox_t box;
};

// Where the current subdivision's extended objects lie in the RGN extended
// sections (by 0 areas, 1 lines, 2 points), and its kinds word.
struct MdbExtPointers_t {
  std::array<std::uint32_t, 3> start{};
  std::array<std::uint32_t, 3> length{};
  std::uint32_t kindsWord = 0;
};

// A walk through one object section of a subdivision.
struct MdbSectionCursor_t {
  std::uint16_t length = 0;
  std::uint16_t start = 0;
  std::uint16_t nextIndex = 0;  // 1-based
  std::uint16_t nextOffset = 0;
};

// Section cursors by their index in MdbMap_t::sections.
enum : unsigned {
  kSecPoints = 0,
  kSecIndexedPoints,
  kSecLines,
  kSecAreas,
  kSecExtAreas,
  kSecExtLines,
  kSecExtPoints,
  kSecCount
};

// The present types of one kind at one level, built by the type lists.
struct MdbCursor_t {
  std::uint16_t typeCapacity = 0;
  std::uint16_t typeCount = 0;
  std::uint16_t kindsCount = 0;
  std::uint16_t kindsCapacity = 0;
  std::uint8_t level = 0;
  std::vector<std::uint8_t> types;     // u16 each
  std::vector<std::uint8_t> subtypes;  // u32 masks, one per type
  std::vector<std::uint8_t> kinds;     // u16 type, kind byte, u32 subtype mask
};

// Which filter a running search tests.
enum class MdbActive_t : std::uint8_t { kNone, kPoints, kLines, kAreas };

// Walk states by kind (points, lines, areas).
enum : unsigned { kWalkPoints = 0, kWalkLines = 1, kWalkAreas = 2 };

// The engine context of one map. Copies are independent: each sub-file handle
// is reopened on the same file, the image source and locale are shared.
struct MdbMap_t {
  std::string mapName;   // up to 10 characters
  std::string sortName;  // up to 10 characters; empty: no sort table of its own
  ImageSource_t source;
  std::locale locale;
  std::uint32_t mapId = 0;  // 0: no map open
  MdbBox_t bounds;

  MdbTre_t tre;
  MdbRgn_t rgn;
  MdbLbl_t lbl;
  MdbNet_t net;
  MdbNod_t nod;
  MdbSubfile_t srt;
  MdbDem_t dem;

  // Level and search block.
  std::uint8_t level = 0;
  std::array<std::uint16_t, kMdbLevels> walk{};  // last subdivision visited per level
  MdbActive_t active = MdbActive_t::kNone;
  Filter_t pointFilter, lineFilter, areaFilter;
  MdbBox_t searchRect;
  MdbBox_t exclusion;
  std::array<std::uint32_t, 3> walkStates{};  // by kWalkPoints, kWalkLines, kWalkAreas
  std::uint32_t extKindsMask = 0;

  // Object-search cursors: areas, then lines.
  std::array<MdbCursor_t, 2> cursors;

  // The subdivision loaded last, its extended pointers and its section cursors.
  MdbSubdivision_t subdiv;
  MdbExtPointers_t extPointers;
  std::array<MdbSectionCursor_t, kSecCount> sections;
  std::uint16_t sectionsSubdiv = 0;  // the subdivision the cursors belong to

  std::vector<std::uint8_t> work;  // copied with the context; nothing uses it
};

// The filter a running search tests, or null.
const Filter_t* MdbActiveFilter(const MdbMap_t& map);

// The exclusion box when nothing is excluded: its north lies below every latitude.
constexpr MdbBox_t kMdbNoExclusion{static_cast<std::int32_t>(0xBFFFFFFF), 0x7FFFFFFF,
                                   static_cast<std::int32_t>(0xBFFFFFFF), 0x7FFFFFFF};
// The whole world as a search rectangle.
constexpr MdbBox_t kMdbWorld{0x40000000, 0x7FFFFFFF, static_cast<std::int32_t>(0xC0000000),
                             static_cast<std::int32_t>(0x80000000)};

// The closed state: names empty, map id 0, every field 0, buffers emptied.
void MdbInit(MdbMap_t& map);
// Opens a map (its TRE, RGN, LBL, NET, NOD, SRT and DEM sub-files) of the image.
int MdbOpen(MdbMap_t& map, const std::string& mapName, const std::string& sortName, const ImageSource_t& source);
// Drops the cursors and closes every sub-file; harmless when closed.
void MdbClose(MdbMap_t& map);
// Makes 'target' an independent copy of 'source'.
int MdbCopy(MdbMap_t& target, const MdbMap_t& source);
// Open: a map id and an open TRE sub-file.
bool MdbIsMapOpen(const MdbMap_t& map);

// Search rectangle = the world, nothing excluded, the lowest level current, no
// active filter, the three filters emptied.
void MdbResetSearch(MdbMap_t& map);
void MdbResetFilter(Filter_t& filter);
void MdbClearCursors(MdbCursor_t& cursor);

// The header readers, each opening its sub-file (used by MdbOpen).
int MdbReadTreHeader(MdbMap_t& map, std::uint32_t& mapId);
int MdbReadRgnHeader(MdbMap_t& map);
int MdbReadLblHeader(MdbMap_t& map);
int MdbReadNetHeader(MdbMap_t& map);
int MdbReadNodHeader(MdbMap_t& map);
// The map's sort table by its sort name (MPL_Srt.cpp).
int MdbOpenMapSrt(MdbMap_t& map);
// Opens the DEM sub-file and reads its header. A map without one, or with one
// that is not usable, has no elevations and is no error.
int MdbOpenDem(MdbMap_t& map);

// The id of a map whose TRE header carries none, from its name and creation date.
std::uint32_t MdbMapIdFromName(const std::string& mapName, unsigned month, unsigned day, unsigned hour,
                               unsigned minute);
// The fields of the TRE header bytes (kMdbTreHeaderSize of them).
constexpr std::uint32_t kMdbTreHeaderSize = 188;
MdbTreHeader_t MdbParseTreHeader(const std::uint8_t* bytes);
// True for the TRE header of the 2001-02-02 writer whose flag-derived values
// are wrong.
bool MdbIsQuirkTreHeader(const MdbTreHeader_t& header);

// Shift helpers. A level of r resolution bits stores coordinates in units of
// 2^((32 - r) mod 32).
inline unsigned MdbLevelShift(unsigned bits) { return (32u - bits) & 31u; }
inline std::int32_t MdbShiftDelta(std::int32_t delta, unsigned bits) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(delta) << MdbLevelShift(bits));
}
// An offset scaled by a shift from the file: false when it does not fit in 32 bits.
bool MdbShiftOffset(std::uint32_t offset, unsigned shift, std::uint32_t& out);

}  // namespace mpl
