#pragma once
// A map of the engine tests with a built DEM sub-file, and a work buffer for
// decoding one of its levels.
#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "mpl/MPL_Dem.h"
#include "mpl/MPL_Engine.h"
#include "tests/imgkit/DemBuilder.h"
#include "tests/imgkit/MapImage.h"
#include "tests/mpl/MapFixture.h"

namespace demtest {

// A level of tiles x tiles points over a grid of 'cols' x 'rows' tiles.
inline imgkit::DemLevel_t Level(std::uint32_t tileSize, std::uint32_t cols, std::uint32_t rows,
                                std::uint32_t lastSize = 0) {
  imgkit::DemLevel_t l;
  l.tileWidth = l.tileHeight = tileSize;
  l.lastColWidth = l.lastRowHeight = lastSize ? lastSize : tileSize;
  l.tileCols = cols;
  l.tileRows = rows;
  return l;
}

// Codes 0..M of a smooth surface with noise, width x height.
inline std::vector<std::uint16_t> Surface(std::uint32_t width, std::uint32_t height, std::uint16_t maxDiff,
                                          std::uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<std::uint16_t> v(static_cast<std::size_t>(width) * height);
  for (std::uint32_t r = 0; r < height; ++r)
    for (std::uint32_t c = 0; c < width; ++c) {
      const std::int64_t base = static_cast<std::int64_t>(maxDiff) * (r + c) / (width + height);
      const std::int64_t noise = static_cast<std::int64_t>(rng() % 7) - 3;
      v[static_cast<std::size_t>(r) * width + c] =
          static_cast<std::uint16_t>(std::clamp<std::int64_t>(base + noise, 0, maxDiff));
    }
  return v;
}

struct DemMap_t {
  mpl::MdbMap_t map;
  imgkit::MemoryMedia_t* media = nullptr;
  std::vector<std::uint64_t> work;  // 8-byte aligned
  std::uint32_t used = 0;

  int Open(const std::string& dem, std::uint32_t mapId = 0x123456) {
    imgkit::MapBuilder_t b = mpltest::BasicMap();
    b.tre.mapId = mapId;
    b.extra.push_back({b.name + ".DEM", dem});
    return mpl::MdbOpen(map, b.name, "", imgkit::OpenImage(b.Build(), &media));
  }
  int Open(const imgkit::DemBuilder_t& dem, std::uint32_t mapId = 0x123456) { return Open(dem.Build(), mapId); }

  int Select(unsigned level, std::uint32_t bytes = 1u << 17) {
    work.assign((bytes + 7) / 8, 0);
    return mpl::MdbDemSelectLevel(map, level, work.data(), bytes, used);
  }

  // Row r of tile t as the current-row buffer holds it.
  std::vector<std::uint16_t> Row(std::uint32_t tile, std::uint16_t row, int* result = nullptr) {
    const int r = mpl::MdbDemGetRow(map, tile, row);
    if (result) *result = r;
    std::uint16_t h = 0, w = 0;
    bool lc = false, lr = false;
    mpl::MdbDemTileSize(map, tile, h, w, lc, lr);
    return std::vector<std::uint16_t>(map.dem.rowCur + 1, map.dem.rowCur + 1 + w);
  }
};

}  // namespace demtest
