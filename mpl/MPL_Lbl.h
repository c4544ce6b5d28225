#pragma once
// The label sub-file (LBL): label texts in their encodings with the marker and
// shield processing, the label of any map object, the small index tables
// (countries, regions, cities, exits, exit facilities, points of interest,
// indexed labels), and the UTF-8 form of a label for display.
//
// Labels stay in the map's code page inside the engine; MdbLabelToUtf8 turns
// one into the program's UTF-8 where it is shown.
#include <cstddef>
#include <cstdint>
#include <string>

#include "mpl/MPL_Engine.h"

namespace mpl {

// Label flags.
enum : std::uint32_t {
  kLabelRaw = 1u << 0,
  kLabelBaseName = 1u << 1,
  kLabelExpandShield = 1u << 2,
  kLabelDescribe = 1u << 3,
  kLabelSecondName = 1u << 4,
  kLabelRoadChoice = 1u << 5,
  kLabelDescribeMarked = 1u << 6,
  kLabelOnlySecondName = 1u << 7,
  kLabelKeepMarkers = 1u << 8,
  kLabelPrefixBlank = 1u << 9,
  kLabelTruncate = 1u << 10,
  kLabelTitleCase = 1u << 11,
  kLabelKeepMarkers2 = 1u << 12,
  kLabelPrefixBlank2 = 1u << 13,
  kLabelRoadDirection = 1u << 15,
  kLabelMarkShield = 1u << 17,
  kLabelSuffixOnly = 1u << 18,
  kLabelShieldVariant = 1u << 19,
};

// Control characters inside label texts.
enum : char {
  kLabelNameSeparator = 0x1D,
  kLabelPrefixEnd = 0x1E,
  kLabelSuffixStart = 0x1F,
  kLabelHiddenPrefixEnd = 0x1B,
  kLabelHiddenSuffixStart = 0x1C,
};

// Object kinds of MdbGetObjectLabel and the record each one takes.
enum : unsigned {
  kLabelOfArea = 0,         // MdbAreaRecord_t
  kLabelOfExit = 1,         // MdbExitRecord_t
  kLabelOfLine = 2,         // MdbLineRecord_t
  kLabelOfRoad = 3,         // MdbLineRecord_t (type, label and road offset)
  kLabelOfPoint = 4,        // MdbPointRecord_t
  kLabelOfOffset = 5,       // std::uint32_t label offset
  kLabelOfIndexed = 6,      // std::uint32_t indexed-label number
  kLabelOfNetIndex = 7,     // std::uint32_t road index
};

struct MdbCityRecord_t {
  std::uint32_t number = 0;  // 1-based, input
  std::uint32_t pointRef = 0xFFFFFFFF;
  std::uint32_t label = 0xFFFFFFFF;
  std::uint32_t regionLabel = 0xFFFFFFFF;
  std::uint32_t countryLabel = 0xFFFFFFFF;
};

struct MdbExitFacilityRecord_t {
  std::uint32_t number = 0;  // 1-based, input
  std::uint32_t label = 0xFFFFFFFF;
  std::uint8_t direction = 0;
  std::uint8_t type = 0;
  std::uint8_t facilities = 0;
};

struct MdbExitRecord_t {
  std::uint32_t number = 0;  // 1-based, input; 0 for MdbGetObjectLabel: the label as given
  std::uint32_t label = 0xFFFFFFFF;
  std::uint32_t firstIndex = 0;
  std::uint32_t count = 0;
};

// Decodes the label at 'offset' into the buffer (at most size - 1 characters,
// terminated) and post-processes it with 'flags': 0, 1 read error, 2 bad data
// (the text decoded so far is kept), 3 no label or one past the section.
int MdbReadLabelText(MdbMap_t& map, std::uint32_t offset, char* buffer, std::size_t size, std::uint32_t flags);
// The post-processing alone, on a NUL-terminated text in a buffer of 'size'.
void MdbFormatLabelText(char* text, std::size_t size, std::uint32_t flags);
// The label text of a map object of kind 'kind' (see above).
int MdbGetObjectLabel(MdbMap_t& map, const void* record, unsigned kind, char* buffer, std::size_t size,
                      std::uint32_t flags);

int MdbReadCountry(MdbMap_t& map, std::uint32_t n, std::uint32_t& label);
int MdbReadRegion(MdbMap_t& map, std::uint32_t n, std::uint32_t& label, std::uint32_t& country);
int MdbReadCityRegion(MdbMap_t& map, std::uint32_t regionWord, std::uint32_t& countryLabel,
                      std::uint32_t& regionLabel);
int MdbReadCity(MdbMap_t& map, MdbCityRecord_t& city);
int MdbReadExit(MdbMap_t& map, MdbExitRecord_t& exit);
int MdbReadExitFacility(MdbMap_t& map, MdbExitFacilityRecord_t& facility);
int MdbCountExitFacilities(MdbMap_t& map, std::uint32_t n, std::uint32_t& count);
int MdbReadPoiLabel(MdbMap_t& map, std::uint32_t poiOffset, std::uint32_t& label);
int MdbReadIndexedLabel(MdbMap_t& map, std::uint32_t n, std::uint32_t& label);

// True for the code pages whose bytes above 128 (but 255) lead two-byte characters.
bool MdbIsDoubleByteCodePage(std::uint32_t codePage);

// A label text of the map (in its code page; 1252 when it names none) in UTF-8.
std::string MdbLabelToUtf8(const MdbMap_t& map, const std::string& text);

}  // namespace mpl
