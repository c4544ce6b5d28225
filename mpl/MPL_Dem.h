#pragma once
// The DEM sub-file: its header and level records, the selection of a level
// for decoding, tile records, and the row decoder of the tiles' adaptive bit
// code. Every routine answers a result code (0 done, 1 read error or bad
// data, 2 buffer too small, 3 not usable); none throws and none allocates.
#include <cstdint>

#include "mpl/MPL_DemTypes.h"

namespace mpl {

// Heights of the tiles: the two special stored values.
constexpr std::int16_t kMdbDemNoData = -32768;
constexpr std::int16_t kMdbDemWater = -32767;

// The header of an open DEM sub-file with its level records.
int MdbDemReadHeader(MdbMap_t& map);
// The level record whose byte 1 lies at 'offset'.
int MdbDemReadLevel(MdbMap_t& map, std::uint32_t offset);
// The work buffer a level needs; 0 when it cannot be decoded.
std::uint32_t MdbDemWorkSize(const MdbMap_t& map, unsigned level);
// Makes the level current, its decoder in 'buffer' (which must outlive it).
int MdbDemSelectLevel(MdbMap_t& map, unsigned level, void* buffer, std::uint32_t size, std::uint32_t& used);
// Tile record n of the current level into the state; 'flat' when it has no bit stream.
int MdbDemReadTileRecord(MdbMap_t& map, std::uint32_t tile, MdbDemState_t& state, std::uint8_t& flat);
// Afterwards map.dem.rowCur[1..width] holds that row of that tile.
int MdbDemGetRow(MdbMap_t& map, std::uint32_t tile, std::uint16_t row);
// The size of tile n of the current level.
int MdbDemTileSize(const MdbMap_t& map, std::uint32_t tile, std::uint16_t& height, std::uint16_t& width,
                   bool& lastCol, bool& lastRow);
// Decodes a whole tile into 'heights' (width x height stored heights).
int MdbDemDecodeTile(std::int16_t* heights, MdbMap_t& map, std::uint32_t tile);
// One decoded value of the current tile to a stored height; status 1 without a decoder.
void MdbDemToHeight(const MdbMap_t& map, std::int32_t& value, int& status);
// The decoder's read callback.
int MdbDemReadChunk(std::uint8_t* destination, std::uint32_t length, std::uint32_t& position, MdbMap_t& map);

// The bits of the run-length counter at each run index.
extern const std::uint8_t kMdbDemRunBits[32];

}  // namespace mpl
