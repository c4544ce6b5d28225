#pragma once
// Builds a map's label sub-file (LBL) for the tests: labels in the encodings
// 6 (six-bit), 7 (seven-bit), 9 and 10 (code page bytes), the index tables
// (countries, regions, cities, indexed labels, exits, exit facilities, the
// table that closes the last exit's range) and the point-of-interest
// properties, behind a header that describes them.
#include <cstdint>
#include <string>
#include <vector>

#include "tests/imgkit/SubfileHeader.h"

namespace imgkit {

// The six-bit form of a text: four values in three bytes, the text's
// characters through the three tables, ended by the value 0x3F and padded
// with 1 bits to whole groups.
std::string EncodeSixBit(const std::string& text);
// One byte per character, bit 7 set on the last.
std::string EncodeSevenBit(const std::string& text);
// The bytes as they are, ended by 0 (encodings 9 and 10).
std::string EncodeCodePageLabel(const std::string& text);

struct LblBuilder_t {
  LblHeader_t header;  // encoding, shift, code page...; offsets and lengths are filled in
  std::string labels = std::string(1, '\0');  // the label section; offset 0 is the empty label
  std::string properties;                     // the point-of-interest properties
  std::string countries, regions, cities, indexed, exits, facilities;
  std::uint32_t table156Count = 0;            // records of the table at 156 (3 bytes each)
  bool shortFacilities = false;               // 4-byte facility records (flag bit 1)

  // Appends a label in the header's encoding (aligned to the shift) and
  // answers its label offset.
  std::uint32_t AddLabel(const std::string& text);
  // Appends raw bytes as a label.
  std::uint32_t AddRawLabel(const std::string& bytes);
  // Appends a property record; answers its offset (unshifted: the property shift is 0).
  std::uint32_t AddPoi(std::uint32_t label);

  void AddCountry(std::uint32_t label);
  void AddRegion(std::uint16_t country, std::uint32_t label);
  // word: bits 0-13 region, 14 country number, 15 point form (label = point index | subdivision << 8).
  void AddCity(std::uint32_t labelOrPoint, std::uint16_t word);
  void AddIndexed(std::uint32_t label);
  void AddExit(std::uint32_t label, std::uint32_t firstIndex);
  void AddFacility(std::uint32_t label, bool last, std::uint8_t type, std::uint8_t direction,
                   std::uint8_t facilities);

  std::string Build() const;
};

}  // namespace imgkit
