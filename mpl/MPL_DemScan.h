#pragma once
// The elevation grid scan: samples the DEM of one or more maps on a regular
// grid of rows x columns over a box and hands the samples (east-west
// difference, north-south difference, elevation; three int32 each, metres x
// 256) to a consumer, a batch of rows of one vertical strip at a time.
#include <cstdint>
#include <mutex>

#include "mpl/MPL_Geometry.h"

namespace mpl {

struct MdbMap_t;
struct MdbDemCache_t;

// What a batch of the scan holds.
struct MdbDemScanOutput_t {
  const std::int32_t* samples = nullptr;  // rows x columns samples, 3 values each
  std::uint32_t firstRow = 0;
  std::uint32_t firstCol = 0;
  std::uint32_t columns = 0;
  std::uint32_t rows = 0;
};

using MdbDemConsumer_t = int (*)(const MdbDemScanOutput_t& output, void* data);
// Gives the map of index 'index' whose DEM (with a current level) covers part
// of the box: 0 with a map, 3 when there is none (more).
using MdbDemProvider_t = int (*)(std::uint32_t index, const MdbBox_t& box, MdbMap_t*& map, void* data);

constexpr std::uint8_t kMdbScanElevations = 1;
constexpr std::uint8_t kMdbScanDifferences = 2;

struct MdbDemScan_t {
  std::uint8_t compute = 0;    // bit 0 elevations, bit 1 differences; neither: both
  std::uint8_t mode = 0;       // 0 interpolate, 1 unless the step is at least the grid's, 2 nearest
  std::uint8_t waterZero = 0;  // water counts as elevation 0
  std::int32_t* output = nullptr;
  std::uint32_t outputSize = 0;  // bytes
  MdbMap_t* map = nullptr;
  std::int32_t* work = nullptr;
  std::uint32_t workSize = 0;  // bytes
  std::uint32_t columns = 0;
  std::uint32_t rows = 0;
  MdbBox_t box;
  MdbDemConsumer_t consumer = nullptr;
  void* consumerData = nullptr;
  MdbDemProvider_t provider = nullptr;
  void* providerData = nullptr;
  MdbDemCache_t* cache = nullptr;  // the tiles are read through it
  // The band of output rows this scan writes: from bandFirst, bandRows of them
  // (0: to the last row), each sample as the scan of all rows gives it.
  std::uint32_t bandFirst = 0;
  std::uint32_t bandRows = 0;
  // When set, held while the scan asks the provider and reads tiles, so that
  // scans of several bands over the same maps and cache can run at once.
  std::mutex* tileLock = nullptr;
};

int MdbScanDem(MdbDemScan_t& request);

// The scan's interpolation between the corners E00 (north-west), E10
// (north-east), E01 (south-west), E11 (south-east); fa eastwards, fb
// southwards, 16-bit fractions.
std::int32_t MdbDemScanInterpolate(std::uint32_t fa, std::uint32_t fb, std::int32_t e00, std::int32_t e10,
                                   std::int32_t e01, std::int32_t e11);

}  // namespace mpl
