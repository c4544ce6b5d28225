// The DEM reader on any sub-file: the input is the DEM sub-file of a map
// whose levels 0 to 8 exist. Its header and level records are read; every
// level that can be decoded is selected, its first tiles are decoded through
// the tile cache, sampled exactly and interpolated, and a small grid scan runs
// over the level's first tile.
#include <algorithm>
#include <cstring>
#include <vector>

#include "dsk/DSK_Directory.h"
#include "dsk/DSK_Disk.h"
#include "dsk/DSK_File.h"
#include "dsk/DSK_FileBuffer.h"
#include "dsk/DSK_Partition.h"
#include "glo/GLO_Exception.h"
#include "mpl/MPL_Dem.h"
#include "mpl/MPL_DemCache.h"
#include "mpl/MPL_DemScan.h"
#include "mpl/MPL_Engine.h"
#include "tests/fuzz/FuzzSeeds.h"
#include "tests/imgkit/DemBuilder.h"
#include "tests/imgkit/ImageBuilder.h"
#include "tests/imgkit/MemoryMedia.h"

namespace {

std::vector<std::uint16_t> Slope(std::uint32_t w, std::uint32_t h, std::uint16_t m) {
  std::vector<std::uint16_t> v;
  for (std::uint32_t r = 0; r < h; ++r)
    for (std::uint32_t c = 0; c < w; ++c) v.push_back(static_cast<std::uint16_t>((r * 7 + c * 3 + (r * c) % 5) % (m + 1)));
  return v;
}

imgkit::DemLevel_t Level(std::uint8_t number, std::uint32_t size, std::uint32_t cols, std::uint32_t rows,
                         std::uint32_t last, std::uint16_t flags, std::uint16_t m, std::uint16_t quant) {
  imgkit::DemLevel_t l;
  l.level = number;
  l.tileWidth = l.tileHeight = size;
  l.lastColWidth = l.lastRowHeight = last;
  l.tileCols = cols;
  l.tileRows = rows;
  l.recordFlags = flags;
  l.quant = quant;
  for (std::uint32_t n = 0; n < cols * rows; ++n) {
    std::uint32_t w = 0, h = 0;
    imgkit::DemTileSize(l, n, w, h);
    imgkit::DemTile_t t;
    if (n % 3 == 2) {
      t.special = static_cast<std::uint8_t>(n);
    } else {
      t.values = Slope(w, h, m);
      t.maxDiff = m;
      t.base = static_cast<std::int16_t>(n);
      t.special = (flags & 16) ? 1 : 0;
    }
    l.tiles.push_back(t);
  }
  return l;
}

int Provide(std::uint32_t index, const mpl::MdbBox_t&, mpl::MdbMap_t*& map, void* data) {
  if (index > 0) return 3;
  map = static_cast<mpl::MdbMap_t*>(data);
  return 0;
}

int Consume(const mpl::MdbDemScanOutput_t& out, void*) {
  if (out.rows == 0 || out.columns == 0) __builtin_trap();
  return 0;
}

}  // namespace

std::vector<std::string> StrideFuzzSeeds() {
  std::vector<std::string> seeds;
  imgkit::DemBuilder_t b;
  b.levels = {Level(0, 8, 2, 2, 5, 0x01, 60, 0)};
  seeds.push_back(b.Build());
  b.flags = 1;
  b.levels = {Level(1, 12, 3, 1, 4, 0x1D, 900, 1), Level(3, 4, 1, 2, 3, 0x0F, 40000, 0)};
  b.levels[1].west = static_cast<std::int32_t>(0x80000000u);
  b.levels[1].lonStep = 0x20000000;
  seeds.push_back(b.Build());
  b.levels = {Level(2, 6, 2, 2, 6, 0x11, 200, 3)};
  b.levels[0].kind = 0;
  seeds.push_back(b.Build());
  std::string cut = seeds[0];
  cut.resize(cut.size() - 20);
  seeds.push_back(cut);
  std::string damaged = seeds[1];
  for (std::size_t i = 200; i < damaged.size(); i += 37) damaged[i] = static_cast<char>(damaged[i] ^ 0x5A);
  seeds.push_back(damaged);
  return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 14 || size > 1 << 16) return 0;
  const std::string dem = fuzz::Bytes(data, size);
  imgkit::ImageBuilder_t b;
  b.blockCount = static_cast<std::uint16_t>(16 + size / 512);
  b.trimToData = true;
  b.files.push_back(imgkit::File("T.DEM", dem));
  imgkit::MemoryMedia_t media(b.Build(), true);
  try {
    dsk::Disk_t disk(media, 4);
    mpl::MdbMap_t map;
    map.mapId = 7;
    map.tre.lowestLevel = 0;
    map.tre.highestLevel = 8;
    map.dem.file = dsk::File_t(disk.GetPartition(0).GetRootDirectory().FindFile("T.DEM"));
    map.dem.file.Open(dsk::kModeRead);
    if (mpl::MdbDemReadHeader(map) != 0) return 0;
    std::vector<std::uint64_t> work(1 << 15);
    mpl::MdbDemCache_t cache;
    if (mpl::MdbDemCacheInit(cache, 6) != 0) __builtin_trap();
    for (unsigned level = 0; level <= 8; ++level) {
      const mpl::MdbDemLevel_t l = map.dem.levels[level];
      // Keep each input quick: tiles of at most 4096 points.
      const std::uint32_t w = std::max(l.tileWidth, l.lastColWidth);
      const std::uint32_t h = std::max(l.tileHeight, l.lastRowHeight);
      if (w * h > 4096) continue;
      std::uint32_t used = 0;
      if (mpl::MdbDemSelectLevel(map, level, work.data(), static_cast<std::uint32_t>(work.size() * 8), used) != 0)
        continue;
      if (used > work.size() * 8) __builtin_trap();
      const std::uint32_t tiles = static_cast<std::uint32_t>(
          std::min<std::uint64_t>(static_cast<std::uint64_t>(l.tileCols) * l.tileRows, 8));
      for (std::uint32_t t = 0; t < tiles; ++t) {
        const mpl::MdbDemTile_t* tile = nullptr;
        if (mpl::MdbDemCacheGet(cache, map, t, tile) != 0) continue;
        if (!tile || !tile->heights || tile->tile != t) __builtin_trap();
        std::int32_t out = 0;
        const std::int32_t y = ((tile->height - 1) << 16) | 0x9000;
        const std::int32_t x = ((tile->width - 1) << 16) | 0x7000;
        mpl::MdbDemGetElevation(cache, map, mpl::MdbDemPoint_t{t, y, x}, out, true);
        mpl::MdbDemGetElevation(cache, map, mpl::MdbDemPoint_t{t, 0, x}, out, false);
      }
      mpl::MdbDemGridPos_t pos;
      mpl::MdbDemLocate(map, mpl::MdbPoint_t{l.south, l.east}, true, pos);
      mpl::MdbDemLocate(map, mpl::MdbPoint_t{l.north, l.west}, false, pos);
      std::vector<std::int32_t> output(8 * 3 * 4), block(64);
      mpl::MdbDemScan_t q;
      q.output = output.data();
      q.outputSize = static_cast<std::uint32_t>(output.size() * 4);
      q.work = block.data();
      q.workSize = static_cast<std::uint32_t>(block.size() * 4);
      q.map = &map;
      q.cache = &cache;
      q.columns = 8;
      q.rows = 8;
      // Over the level's first tile, so that an input decodes few tiles.
      const std::int64_t south = std::max<std::int64_t>(static_cast<std::int64_t>(l.north) - static_cast<std::int64_t>(l.tileHeight) * l.latStep, l.south);
      const std::int64_t east = static_cast<std::int64_t>(l.west) + static_cast<std::int64_t>(l.tileWidth) * l.lonStep;
      q.box = mpl::MdbBox_t{l.north, static_cast<std::int32_t>(static_cast<std::uint32_t>(east)), static_cast<std::int32_t>(south), l.west};
      q.mode = static_cast<std::uint8_t>(level % 3);
      q.consumer = &Consume;
      q.provider = &Provide;
      q.providerData = &map;
      mpl::MdbScanDem(q);
    }
  } catch (const glo::Exception_t&) {
  }
  return 0;
}
