// Elevation speed: 64 x 64 coded tiles decoded per second, interpolated
// samples per second over a grid with the tile cache's hit ratio, and a
// 1,920 x 1,080 grid scan.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#include "mpl/MPL_Dem.h"
#include "mpl/MPL_DemCache.h"
#include "mpl/MPL_DemScan.h"
#include "mpl/MPL_Engine.h"
#include "tests/imgkit/DemBuilder.h"
#include "tests/imgkit/MapImage.h"
#include "tests/imgkit/MemoryMedia.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

int Provide(std::uint32_t index, const mpl::MdbBox_t&, mpl::MdbMap_t*& map, void* data) {
  if (index > 0) return 3;
  map = static_cast<mpl::MdbMap_t*>(data);
  return 0;
}

int Consume(const mpl::MdbDemScanOutput_t& out, void* data) {
  *static_cast<std::uint64_t*>(data) += static_cast<std::uint64_t>(out.rows) * out.columns;
  return 0;
}

}  // namespace

int main() {
  const imgkit::MapBuilder_t m = imgkit::MapWithDem(imgkit::RollingTerrainDem(0x01000000, 0x01000000, 1));
  auto* media = new imgkit::MemoryMedia_t(m.Build(), true);
  glo::SmartPtr_t<glo::RefCounter_t> owner(media);
  mpl::MdbMap_t map;
  // A block cache that holds the whole image: the figures are the engine's.
  if (mpl::MdbOpen(map, m.name, "", mpl::ImageSource_t(*media, owner, 1024)) != 0 || !map.dem.file.IsOpen()) {
    std::printf("map did not open\n");
    return 1;
  }
  std::vector<std::uint64_t> work(1 << 14);
  std::uint32_t used = 0;
  if (mpl::MdbDemSelectLevel(map, 0, work.data(), static_cast<std::uint32_t>(work.size() * 8), used) != 0) {
    std::printf("level not selected\n");
    return 1;
  }

  // Decoding: whole tiles, each a new tile for the decoder.
  std::vector<std::int16_t> heights(64 * 64);
  std::uint64_t tiles = 0, checksum = 0;
  auto t0 = Clock::now();
  while (Seconds(t0) < 1.0) {
    for (std::uint32_t n = 0; n < 64; ++n, ++tiles) {
      if (mpl::MdbDemDecodeTile(heights.data(), map, n) != 0) {
        std::printf("decode failed\n");
        return 1;
      }
      checksum += static_cast<std::uint16_t>(heights[n * 65 % 4096]);
    }
  }
  const double decodeSeconds = Seconds(t0);
  std::printf("decode: %.0f tiles of 64 x 64 per second (%.1f Mpoints/s)\n", tiles / decodeSeconds,
              tiles * 4096.0 / decodeSeconds / 1e6);

  // Interpolated samples over a 1000 x 1000 grid of the level, row by row,
  // through a cache of 1024 slots and one of 16.
  const mpl::MdbDemLevel_t& l = map.dem.levels[0];
  for (std::uint32_t slots : {1024u, 16u}) {
    mpl::MdbDemCache_t cache;
    mpl::MdbDemCacheInit(cache, slots);
    // A sample hits when it loads no tile (the allocation hand stays put).
    std::uint64_t hits[2] = {0, 0};
    double looked[2] = {0, 0};
    for (int pass = 0; pass < 2; ++pass) {
      const auto p0 = Clock::now();
      for (int r = 0; r < 1000; ++r)
        for (int c = 0; c < 1000; ++c) {
          const mpl::MdbPoint_t at{
              l.north - static_cast<std::int32_t>((static_cast<std::int64_t>(l.north - l.south) * r) / 1000),
              l.west + static_cast<std::int32_t>((static_cast<std::int64_t>(l.east - l.west) * c) / 1000)};
          mpl::MdbDemGridPos_t pos;
          mpl::MdbDemLocate(map, at, true, pos);
          const mpl::MdbDemPoint_t point{
              static_cast<std::uint32_t>(pos.tileRow) * l.tileCols + static_cast<std::uint32_t>(pos.tileCol), pos.y,
              pos.x};
          const std::uint32_t hand = cache.allocHand;
          const std::uint32_t held = cache.index.count;
          std::int32_t out = 0;
          if (mpl::MdbDemGetElevation(cache, map, point, out, true) != 0) {
            std::printf("sample failed\n");
            return 1;
          }
          if (cache.allocHand == hand && cache.index.count == held) ++hits[pass];
          checksum += static_cast<std::uint32_t>(out);
        }
      looked[pass] = Seconds(p0);
    }
    std::printf("interpolated samples over 1000 x 1000, cache of %u: cold %.2f M/s (hit ratio %.5f), "
                "again %.2f M/s (hit ratio %.5f)\n",
                slots, 1.0 / looked[0], hits[0] / 1e6, 1.0 / looked[1], hits[1] / 1e6);
  }

  // A 1,920 x 1,080 scan over the level, with the work buffers of 512 bytes
  // and of 64 KiB.
  for (std::uint32_t workBytes : {512u, 65536u}) {
    mpl::MdbDemCache_t cache;
    mpl::MdbDemCacheInit(cache, 1024);
    std::vector<std::int32_t> output(1920 * 12), block(workBytes / 4);
    std::uint64_t delivered = 0;
    mpl::MdbDemScan_t q;
    q.output = output.data();
    q.outputSize = static_cast<std::uint32_t>(output.size() * 4);
    q.work = block.data();
    q.workSize = workBytes;
    q.map = &map;
    q.cache = &cache;
    q.columns = 1920;
    q.rows = 1080;
    q.box = mpl::MdbBox_t{l.north - 0x4000, l.east - 0x4000, l.south + 0x4000, l.west + 0x4000};
    q.consumer = &Consume;
    q.consumerData = &delivered;
    q.provider = &Provide;
    q.providerData = &map;
    for (int run = 0; run < 2; ++run) {  // the second with the tiles cached
      delivered = 0;
      t0 = Clock::now();
      const int result = mpl::MdbScanDem(q);
      const double s = Seconds(t0);
      if (result != 0 || delivered != 1920ull * 1080) {
        std::printf("scan failed: %d, %llu samples\n", result, static_cast<unsigned long long>(delivered));
        return 1;
      }
      std::printf("scan 1920 x 1080, work %u bytes, %s: %.1f ms (%.1f M samples/s)\n", workBytes,
                  run ? "cached" : "cold", s * 1e3, 1920.0 * 1080 / s / 1e6);
    }
  }
  std::printf("(checksum %llu)\n", static_cast<unsigned long long>(checksum));
  return 0;
}
