#pragma once
// Builds the RGN sub-file of a test map: per subdivision its standard points,
// indexed points, lines and areas behind their offset table, and the extended
// areas, lines and points in the three extended sections, with their optional
// fields, attribute blocks and trailers. Tells where each subdivision's data
// went, for its TRE records.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/imgkit/DeltaStream.h"
#include "tests/imgkit/MapImage.h"
#include "tests/imgkit/SubfileHeader.h"

namespace imgkit {

struct RgnPoint_t {
  std::uint8_t type = 0;
  std::uint32_t label = 0;  // 22 bits
  bool poi = false;         // the offset names a point of interest
  std::optional<std::uint8_t> subtype;
  std::int16_t dlon = 0;  // level units from the subdivision's centre
  std::int16_t dlat = 0;
};

struct RgnIndexedPoint_t {
  std::uint8_t type = 0;
  std::uint32_t label = 0;
  std::int16_t dlon = 0;
  std::int16_t dlat = 0;
};

// A standard line or area.
struct RgnPoly_t {
  std::uint8_t type = 0;     // lines 6 bits, areas 7 bits
  bool direction = false;    // lines
  std::uint32_t label = 0;   // the 24-bit field as stored (lines: bit 23 a road, 22 and 23 node flags)
  std::int16_t dlon = 0;
  std::int16_t dlat = 0;
  DeltaStream_t stream;
  std::optional<std::string> rawStream;  // in place of the encoded stream
  bool wideLength = false;               // a two-byte length even when one would do
};

struct RgnExtObject_t {
  std::uint8_t type = 0;
  std::uint8_t subtype = 0;               // 5 bits
  std::optional<std::uint32_t> label;     // 24 bits as stored
  std::int16_t dlon = 0;
  std::int16_t dlat = 0;
  DeltaStream_t stream;                   // areas and lines (written as an extended stream)
  std::optional<std::string> rawStream;
  std::optional<std::string> attributes;  // the attribute block's bytes
  std::optional<std::string> optional;    // the optional fields' bytes
  std::string trailer;                    // empty: as many zeros as the section's pattern says
};

struct RgnSubdivision_t {
  std::vector<RgnPoint_t> points;
  std::vector<RgnIndexedPoint_t> indexed;
  std::vector<RgnPoly_t> lines;
  std::vector<RgnPoly_t> areas;
  std::optional<std::string> areasEnd;  // the fifth section
  std::vector<RgnExtObject_t> extAreas, extLines, extPoints;
  // Damage: the kind flags and the offset table in place of the right ones.
  std::optional<std::uint8_t> kinds;
  std::optional<std::vector<std::uint16_t>> table;
};

// An extended section's descriptor words after its offset and length.
struct RgnExtSection_t {
  std::uint32_t unused = 0;
  std::uint32_t trailer = 0;     // 2 bits per group, bytes after every object
  std::uint32_t optionMask = 0;  // bits 0-28 fields, bit 29 presence flags
  std::array<std::uint32_t, 2> sizeCodes{};
};

// Where a subdivision's data went.
struct RgnPlaced_t {
  std::uint32_t offset = 0;  // from the object data's start
  std::uint8_t kinds = 0;    // object-kind flags 0-4
  std::array<std::uint32_t, 3> extOffset{};  // from each extended section's start: areas, lines, points
};

struct RgnImage_t {
  RgnHeader_t header;  // data offset = header length, the extended sections after the data
  std::string data;    // the object data, then the extended areas, lines and points
  std::vector<RgnPlaced_t> placed;
  std::uint32_t dataEnd = 0;              // the offset after the last subdivision's data
  std::array<std::uint32_t, 3> extEnd{};  // the same for the extended sections
  // The whole sub-file.
  std::string File() const;
};

// The object records as stored.
std::string EncodePoint(const RgnPoint_t& p);
std::string EncodeIndexedPoint(const RgnIndexedPoint_t& p);
std::string EncodePoly(const RgnPoly_t& p, bool line);
std::string EncodeExtObject(const RgnExtObject_t& o, bool withStream);

struct RgnBuilder_t {
  // In the order of the subdivisions' numbers.
  std::vector<RgnSubdivision_t> subdivisions;
  std::array<RgnExtSection_t, 3> ext;  // areas, lines, points
  std::uint16_t headerLength = 125;
  std::array<std::uint32_t, 2> more{};  // the two words at 113
  RgnImage_t Build() const;
  // Puts the sub-file into the map and the data's places into its TRE
  // subdivisions (taken in the order of their numbers: the highest level
  // number first), with the end offset after the last one.
  void Place(MapBuilder_t& map) const;
};

}  // namespace imgkit
