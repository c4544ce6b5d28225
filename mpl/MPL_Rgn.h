#pragma once
// The objects of a map's RGN sub-file: the object sections of a subdivision,
// the standard and extended records of points, lines and areas, reading one by
// its reference, and the searches over the subdivisions of the current level
// by search rectangle, exclusion box and type filter.
#include <array>
#include <cstdint>
#include <vector>

#include "mpl/MPL_Engine.h"

namespace mpl {

// An object reference: bits 0-11 the index in its section (1-based), bit 15 an
// extended object, bits 16-31 the subdivision.
constexpr std::uint32_t kRefIndexMask = 0xFFF;
constexpr std::uint32_t kRefExtended = 0x8000;
inline std::uint32_t MdbMakeRef(unsigned subdivision, unsigned index, bool extended = false) {
  return (static_cast<std::uint32_t>(subdivision) << 16) | (extended ? kRefExtended : 0) | (index & kRefIndexMask);
}

// No label, no road, no point of interest.
constexpr std::uint32_t kMdbNone = 0xFFFFFFFF;

// Type numbers of extended objects: past the standard range of their kind.
constexpr std::uint16_t kExtAreaBase = 128;
constexpr std::uint16_t kExtLineBase = 64;
constexpr std::uint16_t kExtPointBase = 256;

// The request of the readers: bits 0-14 the points wanted (0 the header only,
// 1 the first point), bit 15 the extra bit of each point in bit 0 of its latitude.
constexpr std::uint16_t kRequestCount = 0x7FFF;
constexpr std::uint16_t kRequestNodeFlags = 0x8000;

// The attribute record of an extended object's attribute block. Byte 0 is the
// attribute class: 0 no block, 1 a block kept undecoded.
struct MdbAuxInfo_t {
  std::array<std::uint8_t, 52> bytes{};
};

struct MdbPointRecord_t {
  std::uint16_t type = 0;
  std::uint16_t subtype = 0;
  std::uint32_t ref = 0;
  std::uint32_t label = kMdbNone;  // 22 bits
  std::int32_t lat = 0;
  std::int32_t lon = 0;
  std::uint32_t poi = kMdbNone;  // 22 bits
};

struct MdbAreaRecord_t {
  std::uint16_t type = 0;
  std::uint16_t subtype = 0;
  std::uint32_t ref = 0;
  std::uint32_t label = kMdbNone;
  MdbBox_t box;
  std::vector<MdbPoint_t> points;
};

struct MdbLineRecord_t : MdbAreaRecord_t {
  std::uint8_t direction = 0;
  std::uint32_t netOffset = kMdbNone;
};

// The object-kind flags of a subdivision.
enum : std::uint8_t {
  kKindPoints = 1,
  kKindIndexedPoints = 2,
  kKindLines = 4,
  kKindAreas = 8,
  kKindAreasEnd = 16,
};

// Sets the seven section cursors for the current subdivision (when they belong
// to another one).
int MdbLoadSections(MdbMap_t& map);

// Read by reference (record.ref): the standard line or area of section
// kSecLines or kSecAreas, and the extended one of kSecExtLines or kSecExtAreas.
int MdbReadPolyObject(MdbMap_t& map, unsigned section, MdbAreaRecord_t& record, std::uint16_t request,
                      std::uint32_t* labelField = nullptr);
int MdbReadExtPolyObject(MdbMap_t& map, unsigned section, MdbAreaRecord_t& record, std::uint16_t request,
                         MdbAuxInfo_t* attributes);
// A line (standard or extended by the reference) with its road and direction;
// MdbGetLine clears the active filter first.
int MdbReadLineRecord(MdbMap_t& map, MdbLineRecord_t& record, std::uint16_t request, MdbAuxInfo_t* attributes);
int MdbGetLine(MdbMap_t& map, MdbLineRecord_t& record, std::uint16_t request, MdbAuxInfo_t* attributes);
// An area by reference; the active filter is cleared first.
int MdbGetArea(MdbMap_t& map, MdbAreaRecord_t& record, std::uint16_t request, MdbAuxInfo_t* attributes);
// A point by reference: MdbGetPoint clears the active filter first, MdbReadPoint
// tests it.
int MdbGetPoint(MdbMap_t& map, MdbPointRecord_t& record, std::uint16_t request, MdbAuxInfo_t* attributes);
int MdbReadPoint(MdbMap_t& map, MdbPointRecord_t& record, std::uint16_t request, MdbAuxInfo_t* attributes);

// The searches over the current level: 0 with the next object, 3 at the end.
int MdbFirstArea(MdbMap_t& map, MdbAreaRecord_t& record, std::uint16_t request, MdbAuxInfo_t* attributes);
int MdbNextArea(MdbMap_t& map, MdbAreaRecord_t& record, std::uint16_t request, MdbAuxInfo_t* attributes);
int MdbFirstLine(MdbMap_t& map, MdbLineRecord_t& record, std::uint16_t request, MdbAuxInfo_t* attributes);
int MdbNextLine(MdbMap_t& map, MdbLineRecord_t& record, std::uint16_t request, MdbAuxInfo_t* attributes);
int MdbFirstPoint(MdbMap_t& map, MdbPointRecord_t& record, std::uint16_t request, MdbAuxInfo_t* attributes);
int MdbNextPoint(MdbMap_t& map, MdbPointRecord_t& record, std::uint16_t request, MdbAuxInfo_t* attributes);

// True when the filter (none: admits all) admits the type and subtype; the
// subtype picks bit (subtype mod 32) of an entry's mask.
bool MdbTypeFilterTest(const Filter_t* filter, std::uint16_t type, std::uint16_t subtype);

// Whether the filter admits any type of the kind (kMdbAreas or kMdbLines)
// present at the current level: 0 yes, 3 no, else a failure code. Builds the
// kind's type lists for the level in its search cursor as needed.
int MdbFilterAdmitsLevel(MdbMap_t& map, const Filter_t& filter, unsigned kind);
// The extended-kinds mask of a search with that filter over the kind's lists
// (0: no pruning).
std::uint32_t MdbExtKindsMask(const MdbMap_t& map, const MdbCursor_t& lists, const Filter_t& filter);

// The bytes an extended object's attribute block takes, read at 'offset'.
int MdbSkipAttributes(dsk::File_t& rgn, std::uint32_t& offset);

}  // namespace mpl
