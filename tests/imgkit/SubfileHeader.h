#pragma once
// Builders of the headers that every sub-file of a map begins with: the common
// part (length, kind, format word, creation date) and the headers of RGN, LBL,
// NET, NOD and DEM with the fields the map engine reads at open. Each header
// is exactly its length long: fields that do not fit are left out.
#include <array>
#include <cstdint>
#include <string>

namespace imgkit {

// Little-endian fields in a byte string, growing it as needed.
void Put8(std::string& s, std::size_t at, std::uint32_t v);
void Put16(std::string& s, std::size_t at, std::uint32_t v);
void Put24(std::string& s, std::size_t at, std::uint32_t v);
void Put32(std::string& s, std::size_t at, std::uint32_t v);

struct Date_t {
  std::uint16_t year = 2005;
  std::uint8_t month = 6;
  std::uint8_t day = 15;
  std::uint8_t hour = 12;
  std::uint8_t minute = 30;
  std::uint8_t second = 0;
};

// The first 21 bytes of a sub-file: length, "VORTAN " and the kind (3
// characters, e.g. "TRE"), the format word and the date.
std::string CommonHeader(std::uint16_t length, const std::string& kind, const Date_t& date = Date_t(),
                         std::uint16_t format = 1);

// A header of 'length' bytes (at least 21) with its common part, zero after it.
std::string BlankHeader(std::uint16_t length, const std::string& kind, const Date_t& date = Date_t());

struct RgnHeader_t {
  std::uint16_t length = 29;
  Date_t date;
  std::uint32_t dataOffset = 0;
  std::uint32_t dataLength = 0;
  // Extended areas, lines, points: offset, length, (unused), trailer pattern,
  // optional-field mask, two words of size codes.
  std::array<std::uint32_t, 21> ext{};
  std::array<std::uint32_t, 2> more{};
  std::string Build() const;
};

// A table descriptor of LBL: offset, length, record size and the word after it.
struct LblTable_t {
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
  std::uint16_t recordSize = 0;
  std::uint32_t word = 0;
};

struct LblHeader_t {
  std::uint16_t length = 196;
  Date_t date;
  std::uint32_t labelOffset = 0, labelLength = 0;
  std::uint8_t labelShift = 0, encoding = 6;
  LblTable_t countries, regions, cities, table73;  // cities: word bit 31 clears record-size bit 15
  std::uint32_t propOffset = 0, propLength = 0;
  std::uint8_t propShift = 0;
  std::uint32_t propFlags = 0;
  LblTable_t table100, indexed, exits, facilities, table156;  // facilities: word = flags
  std::uint16_t codePage = 0, sortCodePage = 0, sortId = 0;
  std::array<std::uint32_t, 4> words176{};
  std::uint32_t word192 = 0;
  std::array<std::uint32_t, 3> words196{};
  std::uint32_t marineOffset = 0, marineLength = 0;
  std::uint16_t marineRecordSize = 0;
  std::uint32_t marineWord = 0;
  std::uint32_t offset222 = 0, length222 = 0;
  std::array<std::uint8_t, 2> bytes234{};
  std::string Build() const;
};

struct NetSection_t {
  std::uint32_t offset = 0, length = 0;
  std::uint8_t shift = 0;
};

struct NetHeader_t {
  std::uint16_t length = 67;
  Date_t date;
  NetSection_t first, second;
  std::uint32_t tableOffset = 0, tableLength = 0;
  std::uint16_t tableRecordSize = 0;
  std::uint8_t byte53 = 0, byte54 = 0;
  std::uint32_t word55 = 0, mask = 0, flags = 0;
  std::string Build() const;
};

struct NodHeader_t {
  std::uint16_t length = 63;
  Date_t date;
  std::uint32_t word21 = 0, word25 = 0, flags = 0;
  std::uint8_t byte33 = 0, byte34 = 0;
  std::uint16_t word35 = 0;
  std::uint32_t word37 = 0, word41 = 0, word49 = 0, word53 = 0;
  std::uint16_t word57 = 0;
  std::string Build() const;
};

// A DEM sub-file's header: the common part only.
std::string DemHeader(std::uint16_t length = 41, const Date_t& date = Date_t());

// The engine's variable-length number of 1 to 4 bytes (7, 14, 21 or 29 bits).
std::string Varint(std::uint32_t value);

}  // namespace imgkit
