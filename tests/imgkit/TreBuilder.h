#pragma once
// Builds the TRE sub-file of a map: the 188-byte header, the level table, the
// subdivision records (14 bytes on the lowest level number, 16 elsewhere)
// followed by the 4-byte end offset of the last one's RGN data, the
// extended-subdivision table, the three overviews and the extended-type
// tables. Subdivisions are numbered from 1 at the highest level number down.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/imgkit/SubfileHeader.h"

namespace imgkit {

struct TreSubdiv_t {
  std::uint32_t rgnOffset = 0;  // 28 bits, from the start of the RGN object data
  std::uint8_t kinds = 0;       // bits 0-3 with the offset, bit 4 in the height word
  std::int32_t centreLat = 0;   // semicircles, stored divided by 256
  std::int32_t centreLon = 0;
  std::uint16_t halfWidth = 1;  // level units, 15 bits; 0 stands for 0x8000
  std::uint16_t halfHeight = 1;
  bool last = false;             // last subdivision of its group
  std::uint16_t firstChild = 0;  // not stored on the lowest level number
  // Bytes of its extended areas, lines and points, and its kinds word.
  std::array<std::uint32_t, 3> extLength{};
  std::uint32_t extKinds = 0;
};

struct TreLevel_t {
  std::uint8_t number = 0;  // stored in bits 0-6
  std::uint8_t bits = 24;
  bool noData = false;      // bit 7: the level has no data of its own
  std::vector<TreSubdiv_t> subdivs;
  std::optional<std::uint16_t> storedCount;  // in place of the number of subdivisions
};

// A table of records stored as given.
struct TreTable_t {
  std::string data;
  std::uint16_t recordSize = 0;
  std::uint8_t extra = 0;  // the byte after an overview's record size
};

// Where the last Build() put the parts of the file.
struct TreLayout_t {
  std::uint32_t levelOffset = 0;
  std::uint32_t subdivOffset = 0;
  std::uint32_t extOffset = 0;
  std::uint32_t extRecords = 0;
  std::uint32_t total = 0;
  std::vector<std::uint32_t> recordOffsets;  // by subdivision number - 1
  std::vector<std::uint32_t> effectiveKinds; // kinds words as stored, by number - 1
};

struct TreBuilder_t {
  std::uint16_t headerLength = 188;
  Date_t date;
  std::int32_t north = 0x00100000, east = 0x00100000, south = 0, west = 0;  // stored divided by 256
  std::uint32_t mapId = 0x123;  // at 116
  std::uint32_t flags = 0;      // at 63
  std::uint32_t word67 = 0;     // written over the bytes at 67 when not 0
  std::vector<TreLevel_t> levels;  // in level-table order
  // The end offset written after the last subdivision record; absent: the last
  // subdivision's own offset.
  std::optional<std::uint32_t> rgnEnd;
  // Extended-subdivision table: written when extFlags is not 0.
  std::uint32_t extFlags = 0;
  std::uint16_t extRecordSize = 0;   // 0: as the fields need
  std::uint16_t extFirstCovered = 1;  // records from this subdivision on, one more at the end
  std::optional<std::uint32_t> extTableLength;  // in place of the records' length
  bool coverChildKinds = true;  // a parent's kinds word covers its children's
  std::array<TreTable_t, 3> overviews;  // lines, areas, points
  std::array<TreTable_t, 3> extTypes;   // lines, areas, points
  std::uint16_t extTypeRecordSize = 0;

  std::string Build() const;
  mutable TreLayout_t layout;
};

// The 14 or 16 bytes of one subdivision record.
std::string SubdivRecord(const TreSubdiv_t& s, bool lowest);

}  // namespace imgkit
