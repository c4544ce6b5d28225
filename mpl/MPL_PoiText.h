#pragma once
// Point-of-interest texts: the property record a point may own in the LBL
// sub-file (its name, address, city, postal code, phone, motorway exit and
// further groups) decoded into one text record, and the search for the points
// nearest a query point by bearing, property, name or along a route.
//
// House numbers and phone numbers are stored either as packed digit text
// (two symbols of "0123456789-?" per byte) or as a label reference.
#include <cstddef>
#include <cstdint>

#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Reader.h"
#include "mpl/MPL_Rgn.h"

namespace mpl {

// Sizes of the text record's buffers (terminating NUL included).
constexpr std::size_t kPoiAddressSize = 151;
constexpr std::size_t kPoiNumberSize = 51;

// Property bits of the LBL header's global flags (and of a local mask).
enum : std::uint32_t {
  kPoiHouseNumber = 1u << 0,
  kPoiStreet = 1u << 1,
  kPoiCity = 1u << 2,
  kPoiPostalCode = 1u << 3,
  kPoiPhone = 1u << 4,
  kPoiExit = 1u << 5,
  kPoiExtension = 1u << 6,
  kPoiGroupA = 1u << 7,
  kPoiGroupB = 1u << 8,
};

// Kinds of points, from their type.
enum : std::uint8_t {
  kPoiKindPlace = 0,    // types 41-48
  kPoiKindExit = 1,     // types 32-39
  kPoiKindService = 2,  // types 22-27
  kPoiKindTide = 3,     // type 29
  kPoiKindMarker = 4,   // type 18
  kPoiKindOther = 5,
};

// One decoded property record. Fields of properties that are absent keep
// their start values: all ones for references and indexes, 0 otherwise.
struct MdbPoiText_t {
  std::uint32_t record = kMdbNone;      // the record number (the point's property field)
  std::uint32_t nameLabel = kMdbNone;   // label offset of the name
  std::uint32_t city = kMdbNone;        // index into the city table
  std::uint32_t postalCode = kMdbNone;  // index into the postal-code table
  std::uint32_t street = kMdbNone;      // label offset (kind 2 with bit 22: the raw field)
  // House number, street and unit: "12 MAIN ST DEPT 4" (see the lengths).
  char address[kPoiAddressSize] = {};
  // The last packed number read (house number, then phone).
  char number[kPoiNumberSize] = {};
  std::uint8_t houseNumberLength = 0;  // leading characters of the address
  std::uint8_t unitLength = 0;         // trailing characters of the address
  std::uint8_t streetNameLength = 0;   // after the house number and a blank
  std::uint8_t kind = kPoiKindOther;
  std::uint8_t exitFlag = 0;
  std::uint32_t exitRoadLabel = kMdbNone;
  std::uint32_t exitIndex = kMdbNone;
  std::uint32_t exitFacility = kMdbNone;
  std::uint16_t extensionLength = 0;     // bytes of extension data
  std::uint32_t extensionPosition = 0;   // LBL position of the extension data
  std::uint32_t extensionFlags = 0;
  std::uint32_t extensionReference = kMdbNone;  // tide stations: the index of their notes
  std::uint32_t groupA1 = kMdbNone, groupA2 = kMdbNone;
  std::uint32_t groupAMask = 0;  // the properties a point offers
  std::uint8_t groupAFlags = 0, groupAByte1 = 0, groupAByte2 = 0;
  std::uint8_t groupB = 0;
  std::uint32_t groupBPosition = 0;  // LBL position after group B's byte
};

// The kind of a point of that type.
std::uint8_t MdbPoiKind(std::uint16_t type);

// A packed number at the reader's position into the buffer (at most size - 1
// characters, terminated): 0, or 1 on a read error. A label reference is read
// as label text with 'flags'.
int MdbReadPackedDigits(MdbBufReader_t& reader, MdbMap_t& map, char* buffer, std::size_t size,
                        std::uint32_t flags = 0);

// Decodes the property record of the point (its 'poi' field) into the text
// record; label texts are read with 'labelFlags'. 0; 1 on a read error or a
// malformed record (the fields after the fault keep their start values); 3
// when the point has no record or it lies past the property section.
int MdbReadPoiText(MdbMap_t& map, MdbPoiText_t& text, const MdbPointRecord_t& point, std::uint32_t labelFlags);
// The same with the flags of a plain name (highway shields expanded).
int MdbReadPoiTextPlain(MdbMap_t& map, MdbPoiText_t& text, const MdbPointRecord_t& point);

// One entry of the nearest text search.
struct MdbTextHit_t {
  std::uint32_t ref = 0;  // 0: empty
  std::uint32_t distance = kMdbNone;
  std::int32_t lat = 0;
  std::int32_t lon = 0;
};

// A node of a route: its position and its distance along the route from the
// first node.
struct MdbRouteNode_t {
  std::int32_t lat = 0;
  std::int32_t lon = 0;
  std::uint32_t along = 0;
};

enum : std::uint8_t {
  kTextByBearing = 0,
  kTextByProperty = 1,
  kTextByName = 2,
  kTextByRoute = 3,
  kTextAny = 4,  // no test: every point passes
};

// What the nearest text search asks of a point; the fields of the mode only.
struct MdbTextCriteria_t {
  std::uint8_t mode = kTextAny;
  // Bearing: clockwise from north, 2^32 a full turn; passes within the tolerance.
  std::uint32_t bearing = 0;
  std::uint32_t tolerance = 0;
  const char* exitName = nullptr;  // none: no exit test
  // Property: a bit shared with the point's group A mask.
  std::uint32_t properties = 0;
  // Route: the nodes and the largest distance off the route.
  const MdbRouteNode_t* nodes = nullptr;
  std::uint32_t nodeCount = 0;
  std::uint32_t maxOffRoute = 0;
  // Property, name and route: the name label must contain this (none or
  // empty: any name).
  const char* name = nullptr;
  // Where label texts are read (property, name, route and the exit test).
  char* work = nullptr;
  std::uint16_t workSize = 0;
};

// The 'capacity' nearest points of the search rectangle that pass the criteria
// (none: every point), nearest first (equal distances keep the order found);
// by route, the distance is the one along the route. 'work' holds the first
// hit's point afterwards. 0 with at least one hit, 3 none (also when the query
// point lies outside the search rectangle), else the enumerator's failure. The
// search rectangle is put back on every way out.
int MdbNearestText(MdbMap_t& map, const MdbPoint_t& query, MdbPointRecord_t& work, MdbTextHit_t* hits,
                   unsigned capacity, const MdbTextCriteria_t* criteria);

// The 'capacity' nearest points of the search rectangle (under the point
// filter) of one type: standard type 'kind', or with 'extended' the extended
// point type 'kind' (the engine's type kExtPointBase + kind); nearest first,
// equal distances in the order found, the search rectangle narrowed as the
// list fills and put back on every way out. 'work' holds the first hit's point
// afterwards and 'attributes', when given, its attribute record. 0 with at
// least one hit, 3 none (also when the query point lies outside the search
// rectangle), else the enumerator's failure.
int MdbFindNearestPoints(MdbMap_t& map, const MdbPoint_t& query, MdbPointRecord_t& work, MdbAuxInfo_t* attributes,
                         std::uint16_t request, MdbTextHit_t* hits, unsigned capacity, std::uint16_t kind,
                         bool extended);

// The distance along the route of the point: the nearest segment's start
// distance + the way from that start to the point's foot on it + the distance
// off the route (into 'offRoute'; all ones without nodes).
std::uint32_t MdbRouteDistance(const MdbPoint_t& point, const MdbRouteNode_t* nodes, std::uint32_t count,
                               std::int32_t cosine, std::uint32_t& offRoute);

}  // namespace mpl
