#pragma once
// Builds the NET sub-file of a test map: the road records with the bytes
// stored before them (extra byte, second extra byte, nibbles, per-label codes)
// in the road section, and the NET index table of road labels, behind a
// header that describes both.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/imgkit/SubfileHeader.h"

namespace imgkit {

struct NetLabel_t {
  std::uint32_t label = 0;              // 22 bits
  std::optional<std::uint32_t> extra;   // 22 bits, six bytes for the label
};

struct NetRoad_t {
  std::vector<NetLabel_t> labels;
  std::uint8_t flags = 0x04;  // bit 2: no extra byte; bit 0 is set when a count needs 15 bits
  std::uint32_t length = 0;   // 24 bits
  // The line references per level that has subdivisions, the lowest first:
  // subdivision << 16 | index.
  std::vector<std::vector<std::uint32_t>> lines;
  std::optional<std::uint8_t> extraByte;           // stored when flags bit 2 is clear
  std::optional<std::uint8_t> byte2;               // stored when flags bit 7 is set
  std::optional<std::uint8_t> nibbles01, nibbles23;  // byte2 bit 0
  std::vector<std::uint8_t> codes;                 // per label, 2 x (byte2 bits 2-3) bits
  std::string data;                                // the road data after the references
  std::optional<std::string> raw;                  // the record as stored instead
};

// The bytes stored before a record (in file order) and the record.
std::string EncodeRoadPrefix(const NetRoad_t& road);
std::string EncodeRoad(const NetRoad_t& road);

struct NetImage_t {
  std::string file;
  std::vector<std::uint32_t> offsets;  // each road's NET offset
};

struct NetBuilder_t {
  NetHeader_t header;  // sections filled in
  std::uint8_t shift = 0;
  std::vector<NetRoad_t> roads;
  // NET index entries: a road number (its NET offset is written) or, past the
  // roads, a raw NET offset; each entry 5 bytes padded to 1 << indexShift.
  std::vector<std::uint32_t> index;
  std::uint8_t indexShift = 3;
  std::optional<unsigned> numberWidth;  // the house-number width (5 to 260)
  NetImage_t Build() const;
};

}  // namespace imgkit
