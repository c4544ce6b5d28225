#pragma once
// Road data: the block after a road record's line references that describes
// the road's addresses between its nodes (postal codes and cities per side as
// run streams, house-number ranges as a bit stream, extra descriptors, a code
// stream saying which labels apply, a continuation record), and the address
// at a point of a road with its house numbers interpolated.
#include <array>
#include <cstdint>

#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Geometry.h"
#include "mpl/MPL_Net.h"
#include "mpl/MPL_Reader.h"

namespace mpl {

// A postal-code or city list: none, one index for the whole road, or a run stream.
struct MdbRoadIndexes_t {
  std::uint8_t form = 0;  // 0 none, 1 single index, 2 stream
  std::uint32_t index = kMdbNone;
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
  std::uint8_t width = 1;  // bytes per index
};

struct MdbRoadDescriptor_t {
  std::uint8_t type = 0;
  bool ownKind = false;
  bool sized = false;       // a size and data (offset), else a value
  std::uint32_t value = 0;  // the value, or the data's offset
  std::uint32_t size = 0;
};

struct MdbRoadData_t {
  std::uint32_t intervals = 0;
  MdbRoadIndexes_t postal, cities;
  std::uint32_t numbers = 0, numbersLength = 0;  // the house-number stream (0: none)
  std::uint8_t descriptorCount = 0;
  std::array<MdbRoadDescriptor_t, 3> descriptors;
  std::uint32_t alternative = 0, alternativeLength = 0;  // the alternative number stream
  std::uint32_t alternativeValue = 0;
  std::uint32_t codes = 0, codesLength = 0;  // the code stream
  std::uint32_t continuation = kMdbNone;
  std::uint32_t end = 0;  // the offset after the block
};

// The header of a decoded road's data block: 3 when the road has none.
int MdbReadRoadData(MdbMap_t& map, const MdbRoad_t& road, MdbRoadData_t& data);

// A run stream of postal codes or cities.
struct MdbRunState_t {
  std::uint32_t offset = 0, end = 0;
  std::uint8_t width = 1;
  std::uint32_t run = 0;
  std::uint32_t value1 = kMdbNone, value2 = kMdbNone;
};
int MdbRunStep(MdbMap_t& map, MdbRunState_t& state);

// The code stream: bit n of 'value' set when label n applies.
struct MdbCodeRunState_t {
  std::uint32_t offset = 0, end = 0;
  std::uint32_t run = 0;
  std::uint32_t value = 0x0F;
};
int MdbCodeRunStep(MdbMap_t& map, MdbCodeRunState_t& state, unsigned labelCount);

// The house-number bit stream and the numbers of the current interval.
struct MdbNumberState_t {
  std::uint32_t offset = 0, end = 0;  // bytes of the stream in the NET sub-file
  std::uint32_t bit = 0;              // bits used so far
  bool header = false;
  std::uint8_t startCode = 0, endCode = 0;
  std::uint16_t numberWidth = 0;      // the NET header's width
  std::uint8_t maskWidth = 0;
  std::array<std::int32_t, 2> current{};
  std::array<std::int32_t, 2> lastEnd{};
  std::array<std::uint8_t, 2> parity{};
  std::array<std::int32_t, 2> lo{}, hi{};
  std::array<bool, 2> rising{};
  std::array<bool, 2> valid{};
  std::array<std::uint8_t, 2> extra{};
  std::uint32_t labelMask = 0x0F;
  std::uint32_t skip = 0;
  bool marked = false;
};
// n (0-32) bits of the stream, lowest first; 1 past its end.
int MdbReadBits(MdbMap_t& map, MdbNumberState_t& state, unsigned n, std::uint32_t& value);
// One number of a width code; 1 for a width above 32 bits.
int MdbReadNumber(MdbMap_t& map, std::uint8_t code, MdbNumberState_t& state, std::int32_t& value);
// The commands up to the next interval's numbers.
int MdbNumbersNext(MdbMap_t& map, MdbNumberState_t& state, bool compact);

struct MdbAddressGroup_t {
  std::uint32_t number = 0;
  std::uint32_t city = kMdbNone;
  std::uint32_t postal = kMdbNone;
  std::uint8_t extra = 0;
};

struct MdbAddress_t {
  std::uint32_t label = kMdbNone;
  std::uint32_t distance = 0;
  MdbPoint_t nearest;
  std::int32_t bearing = 0;
  std::uint16_t interval = 0;
  std::uint8_t labelNumber = 0;
  std::array<MdbAddressGroup_t, 2> groups;
};

// The address at the nearest point of a road (a result of MdbFindRoadNear on
// the lowest level); 'descriptor' (1-based, 0 none) names an extra descriptor
// whose value gives the city.
int MdbAddressAt(MdbMap_t& map, MdbLineRecord_t& line, std::uint16_t request, const MdbRoadNear_t& near,
                 MdbAddress_t& address, unsigned descriptor = 0);

}  // namespace mpl
