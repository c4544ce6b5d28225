#pragma once
// Builds DEM sub-files: the header, level records, tile tables and tile bit
// streams. Tiles are flat (no bit stream) or coded by a mirror of the engine's
// adaptive row coder; a raw stream can stand in for the coded one.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/imgkit/MapImage.h"

namespace imgkit {

// The coded form of a tile's values and what a decoder reads back from it
// (with a quantisation v > 0 values are rounded to the code's steps).
struct DemCoded_t {
  std::string bytes;
  std::vector<std::uint16_t> decoded;  // width x height, row after row
};

// Encodes width x height values in 0..M with quantisation v.
DemCoded_t EncodeDemTile(const std::vector<std::uint16_t>& values, std::uint16_t width, std::uint16_t height,
                         std::uint16_t maxDiff, std::uint16_t quant);

struct DemTile_t {
  std::vector<std::uint16_t> values;  // width x height codes 0..M; empty for a flat tile
  std::int16_t base = 0;
  std::uint16_t maxDiff = 0;  // 0: flat
  std::uint8_t special = 0;
  std::optional<std::string> stream;       // raw bit stream in place of the coded one
  std::optional<std::uint32_t> dataOffset; // in place of where the stream was put
};

struct DemLevel_t {
  std::uint8_t kind = 0;  // record byte 0: not 0 makes the record skipped
  std::uint8_t level = 0;
  std::uint32_t tileWidth = 4, tileHeight = 4;
  std::uint32_t lastColWidth = 4, lastRowHeight = 4;  // stored minus 1
  std::uint16_t quant = 0;
  std::uint32_t tileCols = 1, tileRows = 1;  // stored minus 1
  std::optional<std::uint32_t> storedCols, storedRows;  // raw fields in place of count - 1
  std::uint16_t recordFlags = 0;
  std::optional<std::uint16_t> recordSize;  // default: the fields' bytes
  std::optional<std::uint32_t> tableOffset, dataOffset;
  std::int32_t west = 0, north = 0x00100000;
  std::int32_t latStep = 0x100, lonStep = 0x100;
  std::int16_t lowest = -1000, highest = 9000;
  std::vector<DemTile_t> tiles;  // tile number order; missing tiles are flat with base 0

  std::uint16_t RecordBytes() const;
};

// Where Build() put each level's table and data.
struct DemLayout_t {
  std::vector<std::uint32_t> tableOffsets;
  std::vector<std::uint32_t> dataOffsets;
  std::vector<std::vector<std::vector<std::uint16_t>>> decoded;  // per level, per tile
};

struct DemBuilder_t {
  std::uint16_t format = 1;
  std::uint32_t flags = 0;  // bit 0 feet
  std::uint16_t stride = 60;
  std::vector<DemLevel_t> levels;
  std::string Build(DemLayout_t* layout = nullptr) const;
};

// Size of tile n of a level (the last tile row and column have their own).
void DemTileSize(const DemLevel_t& level, std::uint32_t tile, std::uint32_t& width, std::uint32_t& height);

// A DEM of one level for measurements: 8 x 8 coded tiles of 64 x 64 points
// every 0x400 semicircles south-east of (north, west), a rolling surface with
// noise (M = 2000; 3-byte offsets, 2-byte bases and M). Tile n's base is
// 100 + n x baseStep.
std::string RollingTerrainDem(std::int32_t north, std::int32_t west, std::int16_t baseStep);

// A map of one level at 24 bits (id 0x4242) whose sub-files hold nothing but
// what opening needs, with 'dem' as its DEM sub-file.
MapBuilder_t MapWithDem(const std::string& dem);

}  // namespace imgkit
