#pragma once
// Roads of the NET sub-file: the road record that groups a road's lines over
// all levels with up to four labels, the bytes stored before it, the road's
// lines on the current level, its labels and the one to show, the direction
// letter of a label, the nearest point of a road to a position, and the NET
// index of road labels.
#include <array>
#include <cstddef>
#include <cstdint>

#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Geometry.h"
#include "mpl/MPL_Rgn.h"

namespace mpl {

// A decoded road record.
struct MdbRoad_t {
  std::uint32_t netOffset = kMdbNone;
  std::array<std::uint32_t, 4> labels{kMdbNone, kMdbNone, kMdbNone, kMdbNone};
  std::array<std::uint32_t, 4> extras{kMdbNone, kMdbNone, kMdbNone, kMdbNone};
  std::uint32_t length = 0;      // kept shifted left by 8
  std::uint32_t properties = 0;  // road flag bits 1, 3, 4 (when taken), 5, 6; bit 9: bit 1 of byte -2
  std::uint8_t highestLevel = 0;
  std::uint8_t extraByte = 0xF0;
  bool reversed = false;
  std::uint32_t count = 0;       // lines on the current level
  std::int32_t position = 0;     // the next one (reversed: counts down; -1 when none remain)
  std::uint32_t listStart = 0;   // NET offsets of the current level's references
  std::uint32_t listEnd = 0;     // ... and of the end of all levels' references
  MdbBox_t box = kMdbWorld;
  std::array<std::uint8_t, 4> nibbles{};
  std::array<std::uint8_t, 4> codes{};
  // Beside the record's fields: its flags byte, its label count and its start.
  std::uint8_t flags = 0;
  std::uint8_t labelCount = 0;
  std::uint32_t start = 0;
  std::uint32_t firstCount = 0;  // lines on the lowest level
};

// Property bits.
enum : std::uint32_t { kRoadHasData = 1u << 4 };

// The NET sub-file offset of a road record (0 when it lies past the road section).
std::uint32_t MdbRoadRecordOffset(const MdbMap_t& map, std::uint32_t netOffset);

// Decodes the record of road.netOffset (the rest of 'road' is reset); with a
// line record and a non-zero request also the road's box.
int MdbDecodeRoad(MdbMap_t& map, MdbRoad_t& road, bool reversed, MdbLineRecord_t* line, std::uint16_t request);
// The next n references of the road's lines on the current level.
int MdbRoadLines(MdbMap_t& map, MdbRoad_t& road, std::uint32_t* references, unsigned n);
// The reference of the road's first line on its lowest level (0xFFFFFFFF on failure).
int MdbRoadFirstLine(MdbMap_t& map, std::uint32_t netOffset, std::uint32_t& reference);
// One label (by number 0-3, or by its extra value when that is not 0xFFFFFFFF)
// or, with a mode of 4 or more, all four into labels[0..3]. The flag word:
// the extra byte, and byte -2 in bits 8-15.
int MdbRoadLabels(MdbMap_t& map, std::uint32_t netOffset, std::uint32_t wantedExtra, unsigned numberOrMode,
                  std::uint32_t* labels, std::uint32_t* flagWord);
// The label to show: 'netOffset' becomes the record that holds it.
int MdbChooseRoadLabel(MdbMap_t& map, std::uint32_t& netOffset, std::uint32_t& label, unsigned& number,
                       bool follow, bool shieldFirst);
bool MdbRoadLabelIsPlain(unsigned mode, unsigned number, const char* text);
// Appends " N", " S", " E", " W" or " O" by the label's code; true when appended.
bool MdbAddRoadDirection(MdbMap_t& map, const MdbLineRecord_t& line, char* text, std::size_t size);

struct MdbRoadNear_t {
  std::uint32_t ref = 0;
  std::uint32_t netOffset = kMdbNone;
  std::uint32_t label = kMdbNone;
  MdbPoint_t segmentStart, segmentEnd;
  std::uint16_t segment = 0;
  std::uint16_t lineType = 0;
  std::uint8_t direction = 0;  // 1-9 compass code, 10 two-way
  std::uint8_t position = 0;   // 0 at the line's start, 2 at its end, else 1
  std::uint32_t distance = 0;
  MdbPoint_t nearest;
};

int MdbFindRoadNear(MdbMap_t& map, std::uint32_t lineRef, const MdbPoint_t& point, MdbLineRecord_t& line,
                    std::uint16_t request, MdbRoadNear_t& result);
int MdbNetIndexRoad(MdbMap_t& map, std::uint32_t index, std::uint32_t& netOffset);

// The label of a line (kind 2), a road (kind 3, a line record with its type,
// label and road offset) or a NET index (kind 7, a std::uint32_t) as the label
// routine of LBL needs it: for a line without a label of its own the road's
// label (chosen among the road's labels, following continuations, when the
// flags ask for the choice, else its first). 'type' and 'direction' give the
// line's type and direction flag for the type description (kind 7: of the
// road's first line). 0, 3 without a label, 1 on a read failure.
int MdbRoadObjectLabel(MdbMap_t& map, const void* record, unsigned kind, std::uint32_t flags, std::uint32_t& label,
                       std::uint16_t& type, std::uint8_t& direction);

// The continuation NET offset at the end of a road's data (kMdbNone without
// one): implemented with the road data.
int MdbRoadContinuation(MdbMap_t& map, const MdbRoad_t& road, std::uint32_t& netOffset);

}  // namespace mpl
