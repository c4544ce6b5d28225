#pragma once
// Builds the point-of-interest property records of a map's label sub-file for
// the tests: the name label, the optional local property mask and the
// properties in their order (house number, street, city, postal code, phone,
// exit, extension run, groups A and B), with numbers as packed digit text or
// label references.
#include <cstdint>
#include <optional>
#include <string>

namespace imgkit {

// Packed digit text: two symbols of "0123456789-" per byte (value = first x 11
// + second), bit 7 set on the first and the last byte; an odd count or a
// single pair is filled up with '-', which readers drop. "1125" gives 8C 9B.
std::string EncodePackedDigits(const std::string& text);
// A number given as a label reference: bits 16-22 first, then bits 0-15.
std::string EncodeNumberLabel(std::uint32_t label);
// An index into a table of 'count' records: 1, 2 or 3 bytes.
std::string EncodePoiIndex(std::uint32_t value, std::uint32_t count);
// The extension run of a data length and flag sum: 4 + 3 bits per byte, bit 7
// set on the last byte.
std::string EncodeExtensionRun(std::uint32_t length, std::uint32_t flags);

// The sizes of the tables that property indexes point into.
struct PoiTables_t {
  std::uint32_t cities = 0;
  std::uint32_t postalCodes = 0;
  std::uint32_t exits = 0;
  std::uint32_t facilities = 0;
};

struct PoiExit_t {
  std::uint32_t roadLabel = 0;
  bool flag = false;
  std::uint32_t index = 0;
  std::optional<std::uint32_t> facility;
};

struct PoiExtension_t {
  std::string data;  // its last 3 bytes are the reference when flag bit 2 is set
  std::uint32_t flags = 0;
  std::optional<std::string> run;  // in place of the encoded run
};

struct PoiGroupA_t {
  std::optional<std::uint32_t> value1, value2;  // 3 bytes each (flags bits 0 and 1)
  std::optional<std::uint8_t> byte1, byte2;     // flags bits 2 and 4
  std::optional<std::uint32_t> mask;            // flags bit 6
  std::string tail;                             // further bytes inside its length
};

struct PoiGroupB_t {
  std::uint8_t value = 0;
  std::string tail;
};

// One property record. A property is written when it is set here and enabled
// in the global flags; with a local mask, the mask says which of the enabled
// ones are set.
struct PoiRecord_t {
  std::uint32_t name = 0;
  bool localMask = false;
  std::optional<std::string> rawMask;        // in place of the computed mask bytes
  std::optional<std::string> houseNumber;    // encoded (packed digits or a label reference)
  std::optional<std::uint32_t> street;       // the 24-bit field
  std::optional<std::uint32_t> city, postalCode;
  std::optional<std::string> phone;          // encoded
  std::optional<PoiExit_t> exit;
  std::optional<PoiExtension_t> extension;
  std::optional<PoiGroupA_t> groupA;
  std::optional<PoiGroupB_t> groupB;
};

std::string EncodePoiRecord(const PoiRecord_t& record, std::uint32_t globalFlags, const PoiTables_t& tables);

}  // namespace imgkit
