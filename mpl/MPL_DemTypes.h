#pragma once
// The elevation members of the engine context: the DEM sub-file, its level
// table and the cursor of the tile and row being decoded. The decoder state
// and the two row buffers live in a work buffer that the caller owns.
#include <array>
#include <cstdint>

#include "dsk/DSK_File.h"

namespace mpl {

struct MdbMap_t;

// One DEM level (a regular grid of heights cut into tiles).
struct MdbDemLevel_t {
  std::uint16_t recordFlags = 0;  // widths of the tile record fields
  std::uint16_t recordSize = 0;   // 0: the level has no tiles
  std::uint16_t quant = 0;        // v: decoded differences are multiples of 2v + 1
  std::int16_t highest = 0;
  std::int16_t lowest = 0;
  std::uint16_t tileWidth = 0;
  std::uint16_t tileHeight = 0;
  std::uint16_t lastRowHeight = 0;
  std::uint16_t lastColWidth = 0;
  std::uint32_t tileCols = 0;
  std::uint32_t tileRows = 0;
  std::uint32_t tableOffset = 0;
  std::uint32_t dataOffset = 0;
  std::int32_t latStep = 0;
  std::int32_t lonStep = 0;
  std::int32_t north = 0;
  std::int32_t east = 0;
  std::int32_t south = 0;
  std::int32_t west = 0;
};

// The decoder's read callback: reads 'length' bytes of the DEM sub-file at
// 'position' (shortened at the sub-file's end, the rest zero-filled) and
// advances the position.
using MdbDemReadFn_t = int (*)(std::uint8_t* destination, std::uint32_t length, std::uint32_t& position,
                               MdbMap_t& map);

constexpr std::uint32_t kMdbDemChunk = 508;

// The decoder state of the current tile.
struct MdbDemState_t {
  std::uint8_t n = 0;  // bits of M
  std::array<std::uint8_t, kMdbDemChunk> chunk{};
  std::uint8_t runIndex = 0;
  std::uint8_t escape = 0;  // L
  std::uint8_t lastRunBits = 0;
  std::array<std::uint8_t, 4> count{};
  std::uint8_t q = 0;
  std::uint8_t runBits = 0;
  std::int8_t bitShift = 0;
  std::array<std::uint16_t, 4> sum{};
  std::array<std::int16_t, 4> bias{};
  std::int16_t chunkPos = 0;
  std::uint16_t quant = 0;
  std::uint16_t maxDiff = 0;  // M
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  std::uint16_t rowsDecoded = 0xFFFF;
  std::uint16_t levels = 0;  // Q
  std::uint16_t runUnit = 1;
  std::uint32_t bits = 0;
  std::uint32_t dataOffset = 0;
  std::uint32_t fetched = 0;
  MdbDemReadFn_t read = nullptr;
  MdbMap_t* data = nullptr;
};

constexpr std::uint8_t kMdbDemNoLevel = 9;
constexpr std::uint16_t kMdbDemNoRow = 0xFFFF;
constexpr std::uint32_t kMdbDemNoTile = 0x80000000u;

// The DEM members of a map. A copy shares no work buffer: it keeps the level
// table but has no level selected.
struct MdbDem_t {
  dsk::File_t file;
  std::uint8_t metres = 0;  // 1: heights in metres, 0: in feet
  std::uint32_t length = 0;
  std::array<MdbDemLevel_t, 9> levels{};
  std::uint8_t flat = 0;
  std::uint8_t special = 0;
  std::uint8_t level = kMdbDemNoLevel;
  std::uint16_t row = kMdbDemNoRow;
  std::int16_t base = 0;
  std::uint32_t tile = kMdbDemNoTile;
  MdbDemState_t* state = nullptr;
  std::uint16_t* rowCur = nullptr;
  std::uint16_t* rowPrev = nullptr;
  const std::uint8_t* table = nullptr;
  std::uint32_t tableSize = 0;

  MdbDem_t() = default;
  MdbDem_t(const MdbDem_t& other);
  MdbDem_t& operator=(const MdbDem_t& other);
  MdbDem_t(MdbDem_t&&) noexcept = default;
  MdbDem_t& operator=(MdbDem_t&&) noexcept = default;
  ~MdbDem_t() = default;
};

// Back to "no level selected, no tile, no row".
void MdbDemResetCursor(MdbDem_t& dem);

}  // namespace mpl
