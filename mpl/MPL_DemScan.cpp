#include "mpl/MPL_DemScan.h"

#include <algorithm>
#include <vector>

#include "mpl/MPL_Dem.h"
#include "mpl/MPL_DemCache.h"
#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Exception.h"
#include "mpl/MPL_Map.h"

namespace mpl {

namespace {

constexpr std::int64_t kTurn = 0x100000000ll;
constexpr std::uint32_t kMaxMaps = 256;  // provider indexes asked per refill
constexpr int kEndOfMaps = -1;           // the provider has no map: the scan ends

bool Missing(std::int32_t v) { return v == kMdbElevNoData || v == kMdbElevWater; }

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

// The nearest grid value of a position in one map's current DEM level, or no data.
int SampleMap(MdbDemCache_t& cache, MdbMap_t& map, std::int64_t lat, std::int64_t lon, std::int32_t& out) {
  out = kMdbElevNoData;
  const MdbDem_t& dem = map.dem;
  if (dem.level >= kMdbLevels || lat > 0x40000000 || lat < -0x40000000) return kMdbDone;
  const MdbDemLevel_t& l = dem.levels[dem.level];
  if (l.tileWidth == 0 || l.tileHeight == 0 || l.latStep <= 0 || l.lonStep <= 0) return kMdbDone;
  // A map without tiles to read has no data here; the cache refuses it with 3,
  // the code of a read that failed.
  if (!dem.file.IsOpen() || l.recordSize == 0 || map.mapId == 0) return kMdbDone;
  const std::int32_t lon32 = static_cast<std::int32_t>(static_cast<std::uint32_t>(lon));
  const std::int32_t lat32 = static_cast<std::int32_t>(lat);
  if (lat32 > l.north || lat32 < l.south) return kMdbDone;
  const std::uint32_t span = static_cast<std::uint32_t>(l.east) - static_cast<std::uint32_t>(l.west);
  if (static_cast<std::uint32_t>(lon32) - static_cast<std::uint32_t>(l.west) > span) return kMdbDone;
  MdbDemGridPos_t pos;
  if (MdbDemLocate(map, MdbPoint_t{lat32, lon32}, false, pos) != kMdbDone) return kMdbDone;
  MdbDemPoint_t point;
  point.tile = static_cast<std::uint32_t>(pos.tileRow) * l.tileCols + static_cast<std::uint32_t>(pos.tileCol);
  point.y = pos.y;
  point.x = pos.x;
  // What reading the tile reports ends the scan with its code.
  return MdbDemGetElevation(cache, map, point, out, false);
}

// The interpolation between four corners with data in two steps: what the
// southward fraction b (8 bits) fixes for a cell, the value on its west edge
// and the rise to its east edge; then the value at the eastward fraction a.
// 64-bit arithmetic gives what the 32-bit form gives wherever that did not
// overflow.
struct CellTerms_t {
  std::int64_t west = 0;
  std::int64_t rise = 0;

  void Set(std::int64_t b, std::int64_t e00, std::int64_t e10, std::int64_t e01, std::int64_t e11) {
    west = e00 + ((b * (e01 - e00)) >> 8);
    rise = ((b * (e11 - e10)) >> 8) + e10 - west;
  }
  std::int32_t At(std::int64_t a) const {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(((rise * a) >> 8) + west, -0x7FFFFFFF, 0x7FFFFFFF));
  }
};

// Holds the request's tile lock, when it has one, while it lives.
struct TileLock_t {
  explicit TileLock_t(std::mutex* lock) : m_lock(lock) {
    if (m_lock) m_lock->lock();
  }
  ~TileLock_t() {
    if (m_lock) m_lock->unlock();
  }
  TileLock_t(const TileLock_t&) = delete;
  TileLock_t& operator=(const TileLock_t&) = delete;

 private:
  std::mutex* m_lock;
};

struct Scan_t {
  explicit Scan_t(MdbDemScan_t& request) : q(request) {}
  MdbDemScan_t& q;
  std::uint32_t rowFirst = 0, rowEnd = 0;  // the band of output rows
  MdbMap_t* first = nullptr;
  MdbDemLevel_t level;
  bool interpolate = true;
  std::int64_t y0 = 0, x0 = 0;          // first sample, 16.16 grid units of the first map's level
  std::int64_t ratioY = 0, ratioX = 0;  // output step / grid step, 16.16
  std::int64_t bw = 0, bh = 0;          // work block size
  std::int64_t bc0 = 0, br0 = 0;        // its first grid column and row
  bool filled = false;

  std::int64_t X(std::uint32_t col) const { return x0 + static_cast<std::int64_t>(col) * ratioX; }
  std::int64_t Y(std::uint32_t row) const { return y0 + static_cast<std::int64_t>(row) * ratioY; }

  std::int64_t LatOf(std::int64_t row) const { return static_cast<std::int64_t>(level.north) - row * level.latStep; }
  std::int64_t LonOf(std::int64_t col) const { return static_cast<std::int64_t>(level.west) + col * level.lonStep; }

  int Fill(std::int64_t col0, std::int64_t row0) {
    bc0 = col0;
    br0 = row0;
    filled = true;
    std::int32_t* block = q.work;
    std::fill(block, block + bw * bh, kMdbElevNoData);
    const TileLock_t lock(q.tileLock);
    MdbBox_t box;
    box.north = static_cast<std::int32_t>(std::clamp<std::int64_t>(LatOf(row0), -0x40000000, 0x40000000));
    box.south = static_cast<std::int32_t>(std::clamp<std::int64_t>(LatOf(row0 + bh - 1), -0x40000000, 0x40000000));
    box.west = static_cast<std::int32_t>(static_cast<std::uint32_t>(LonOf(col0)));
    box.east = static_cast<std::int32_t>(static_cast<std::uint32_t>(LonOf(col0 + bw - 1)));
    for (std::uint32_t index = 0; index < kMaxMaps; ++index) {
      MdbMap_t* map = nullptr;
      const int answer = q.provider(index, box, map, q.providerData);
      if (answer == kMdbNotFound) return index == 0 ? kEndOfMaps : kMdbDone;
      if (answer != kMdbDone) return answer;
      if (!map) return kMdbDone;
      bool missing = false;
      for (std::int64_t r = 0; r < bh; ++r)
        for (std::int64_t c = 0; c < bw; ++c) {
          std::int32_t& cell = block[r * bw + c];
          if (cell != kMdbElevNoData) continue;
          const int result = SampleMap(*q.cache, *map, LatOf(row0 + r), LonOf(col0 + c), cell);
          if (result != kMdbDone) return result;
          missing = missing || cell == kMdbElevNoData;
        }
      if (!missing) return kMdbDone;
    }
    return kMdbDone;
  }

  std::int32_t Raw(std::int64_t col, std::int64_t row) const { return q.work[(row - br0) * bw + (col - bc0)]; }

  std::int32_t Value(std::int64_t col, std::int64_t row) const {
    const std::int32_t v = Raw(col, row);
    return (v == kMdbElevWater && q.waterZero) ? 0 : v;
  }

  // next - previous; water counts 0, a neighbour without data the corner's own value.
  static std::int32_t Difference(std::int32_t previous, std::int32_t corner, std::int32_t next) {
    auto plain = [](std::int32_t v) { return v == kMdbElevWater ? 0 : v; };
    corner = plain(corner);
    previous = plain(previous);
    next = plain(next);
    if (previous == kMdbElevNoData) previous = corner;
    if (next == kMdbElevNoData) next = corner;
    if (previous == kMdbElevNoData || next == kMdbElevNoData) return kMdbElevNoData;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(static_cast<std::int64_t>(next) - previous,
                                                              -0x7FFFFFFF, 0x7FFFFFFF));
  }

  void Corner(std::int64_t col, std::int64_t row, std::int32_t out[3]) const {
    const std::int32_t v = Raw(col, row);
    out[0] = Difference(Raw(col - 1, row), v, Raw(col + 1, row));
    out[1] = Difference(Raw(col, row - 1), v, Raw(col, row + 1));
    out[2] = Value(col, row);
  }

  int Run() {
    const std::uint32_t cols = q.columns;
    const std::uint8_t compute = (q.compute & 3) == 0 ? 3 : (q.compute & 3);
    // Strips: as many output columns as the block's width can serve.
    std::uint32_t widest = 0;
    for (std::uint32_t c0 = 0; c0 < cols;) {
      const std::int64_t start = (X(c0) >> 16) - 1;
      std::uint32_t c1 = c0 + 1;
      while (c1 < cols && (X(c1) >> 16) + 2 - start < bw) ++c1;
      widest = std::max(widest, c1 - c0);
      c0 = c1;
    }
    if (static_cast<std::uint64_t>(q.outputSize) < 12ull * widest) return kMdbNoMemory;
    for (std::uint32_t c0 = 0; c0 < cols;) {
      const std::int64_t start = (X(c0) >> 16) - 1;
      std::uint32_t c1 = c0 + 1;
      while (c1 < cols && (X(c1) >> 16) + 2 - start < bw) ++c1;
      const std::uint32_t width = c1 - c0;
      const std::uint32_t batchRows = static_cast<std::uint32_t>(q.outputSize / (12ull * width));
      filled = false;
      std::uint32_t batchFirst = rowFirst, inBatch = 0;
      for (std::uint32_t row = rowFirst; row < rowEnd; ++row) {
        const std::int64_t y = Y(row);
        const std::int64_t r = y >> 16;
        const std::uint32_t fy = static_cast<std::uint32_t>(y & 0xFFFF);
        if (!filled || r - 1 < br0 || r + 2 >= br0 + bh) {
          const int result = Fill(start, r - 1);
          if (result == kEndOfMaps) return kMdbDone;
          if (result != kMdbDone) return result;
        }
        std::int32_t* out = q.output + static_cast<std::size_t>(inBatch) * width * 3;
        // The corners are refreshed when a sample enters another grid cell;
        // a value whose four corners all have data interpolates through the
        // cell's terms.
        std::int32_t e[4][3];
        CellTerms_t terms[3];
        bool plain[3] = {};
        bool haveCorners = false;
        std::int64_t cornersCol = 0;
        for (std::uint32_t col = c0; col < c1; ++col, out += 3) {
          const std::int64_t x = X(col);
          const std::int64_t c = x >> 16;
          const std::uint32_t fx = static_cast<std::uint32_t>(x & 0xFFFF);
          if (!interpolate) {
            Corner(c + (fx >= 0x8000 ? 1 : 0), r + (fy >= 0x8000 ? 1 : 0), out);
            continue;
          }
          if (!haveCorners || c != cornersCol) {
            if (haveCorners && c == cornersCol + 1) {
              // The next cell east: its west corners are this cell's east ones.
              std::copy(e[1], e[1] + 3, e[0]);
              std::copy(e[3], e[3] + 3, e[2]);
            } else {
              Corner(c, r, e[0]);
              Corner(c, r + 1, e[2]);
            }
            Corner(c + 1, r, e[1]);
            Corner(c + 1, r + 1, e[3]);
            haveCorners = true;
            cornersCol = c;
            for (int k = 0; k < 3; ++k) {
              plain[k] = !Missing(e[0][k]) && !Missing(e[1][k]) && !Missing(e[2][k]) && !Missing(e[3][k]);
              if (plain[k]) terms[k].Set(fy >> 8, e[0][k], e[1][k], e[2][k], e[3][k]);
            }
          }
          for (int k = 0; k < 3; ++k) {
            const bool wanted = k == 2 ? (compute & kMdbScanElevations) != 0 : (compute & kMdbScanDifferences) != 0;
            if (!wanted) continue;
            out[k] = plain[k] ? terms[k].At(fx >> 8) : MdbDemScanInterpolate(fx, fy, e[0][k], e[1][k], e[2][k], e[3][k]);
          }
        }
        ++inBatch;
        if (inBatch == batchRows || row + 1 == rowEnd) {
          MdbDemScanOutput_t batch;
          batch.samples = q.output;
          batch.firstRow = batchFirst;
          batch.firstCol = c0;
          batch.columns = width;
          batch.rows = inBatch;
          const int result = q.consumer(batch, q.consumerData);
          if (result != 0) return result;
          batchFirst = row + 1;
          inBatch = 0;
        }
      }
      c0 = c1;
    }
    return kMdbDone;
  }
};

}  // namespace

std::int32_t MdbDemScanInterpolate(std::uint32_t fa, std::uint32_t fb, std::int32_t e00, std::int32_t e10,
                                   std::int32_t e01, std::int32_t e11) {
  fa &= 0xFFFF;
  fb &= 0xFFFF;
  const std::int32_t corners[4] = {e00, e10, e01, e11};
  const std::int32_t nearest = corners[(fa >= 0x8000 ? 1 : 0) + (fb >= 0x8000 ? 2 : 0)];
  if (Missing(nearest)) return nearest;
  std::int64_t e[4];
  for (int i = 0; i < 4; ++i) e[i] = Missing(corners[i]) ? nearest : corners[i];
  CellTerms_t terms;
  terms.Set(fb >> 8, e[0], e[1], e[2], e[3]);
  return terms.At(fa >> 8);
}

int MdbScanDem(MdbDemScan_t& q) {
  if (!q.consumer || !q.provider || q.columns == 0 || q.rows == 0) return kMdbNotFound;
  if (!q.output || !q.work || !q.cache || q.workSize < 64 || q.outputSize < 12) return kMdbNoMemory;
  if (q.bandFirst >= q.rows) return kMdbNotFound;
  Scan_t scan(q);
  scan.rowFirst = q.bandFirst;
  scan.rowEnd = q.bandRows == 0 ? q.rows : q.bandFirst + std::min(q.bandRows, q.rows - q.bandFirst);
  // Grid set-up from the first map's current level.
  int answer = kMdbDone;
  {
    const TileLock_t lock(q.tileLock);
    answer = q.provider(0, q.box, scan.first, q.providerData);
  }
  if (answer != kMdbDone) return answer;
  if (!scan.first || scan.first->dem.level >= kMdbLevels) return kMdbNotFound;
  scan.level = scan.first->dem.levels[scan.first->dem.level];
  const MdbDemLevel_t& l = scan.level;
  if (l.latStep <= 0 || l.lonStep <= 0) return kMdbNotFound;
  const bool globe = l.east == 0x7FFFFFFF && l.west == static_cast<std::int32_t>(0x80000000u);

  // Output steps in 16.16 semicircles; across the meridian east - west is taken eastwards.
  const std::int64_t latSpan = static_cast<std::int64_t>(q.box.north) - q.box.south;
  std::int64_t lonSpan = static_cast<std::int64_t>(q.box.east) - q.box.west;
  if (lonSpan < 0) lonSpan += kTurn;
  if (latSpan < 0) return kMdbNotFound;
  const std::int64_t stepLat = (latSpan * 65536 + q.rows / 2) / q.rows;
  const std::int64_t stepLon = (lonSpan * 65536 + q.columns / 2) / q.columns;
  scan.ratioY = stepLat / l.latStep;
  scan.ratioX = stepLon / l.lonStep;
  switch (q.mode) {
    case 0:
      scan.interpolate = true;
      break;
    case 1:
      scan.interpolate = !(scan.ratioY >= 0x10000 && scan.ratioX >= 0x10000);
      break;
    case 2:
      scan.interpolate = false;
      break;
    default:
      return kMdbBadData;
  }
  if (scan.ratioY == 0 || scan.ratioX == 0 || scan.ratioY > 0x7FFFFFFF || scan.ratioX > 0x7FFFFFFF)
    return kMdbNotFound;

  // The first sample (the box's north-west corner) in grid units.
  std::int64_t lonRel = static_cast<std::int64_t>(q.box.west) - l.west;
  if (globe) {
    if (lonRel < 0) lonRel += kTurn;
  } else if (lonRel < -0x80000000ll) {
    lonRel += kTurn;
  } else if (lonRel >= 0x80000000ll) {
    lonRel -= kTurn;
  }
  scan.x0 = FloorDiv(lonRel * 65536, l.lonStep);
  scan.y0 = FloorDiv((static_cast<std::int64_t>(l.north) - q.box.north) * 65536, l.latStep);

  // The work block: at least 4 x 4, as wide as the buffer allows.
  const std::int64_t cells = q.workSize / 4;
  const std::int64_t needCols = (scan.X(q.columns - 1) >> 16) - (scan.x0 >> 16) + 4;
  const std::int64_t needRows = (scan.Y(scan.rowEnd - 1) >> 16) - (scan.Y(scan.rowFirst) >> 16) + 4;
  if (scan.ratioX > 7 * 0x10000 || scan.ratioY > 7 * 0x10000) {
    scan.bw = scan.bh = 4;
  } else {
    scan.bw = std::min(cells / 4, needCols);
    scan.bh = scan.bw == needCols ? std::min(cells / scan.bw, needRows) : 4;
  }
  return scan.Run();
}

// The map object's scan: a row of four samples a column for the output and a
// work block of 512 bytes.
void Map_t::ScanDem(std::uint32_t width, std::uint32_t height, const geo::Box_t& box, MdbDemCache_t& cache,
                    MdbDemConsumer_t block, MdbDemProvider_t finder, void* data) {
  if (!IsOpen()) throw glo::Assert_t(GLO_SRC);
  // A row too wide for the engine's 32-bit buffer size is a buffer too small.
  if (width > 0xFFFFFFFFu / 48) CheckMdbResult(kMdbNoMemory, GLO_SRC, kMdbAcceptNotFound);
  std::vector<std::int32_t> output(static_cast<std::size_t>(width) * 12, 0);
  std::vector<std::int32_t> work(128, 0);
  MdbDemScan_t request;
  request.waterZero = 1;
  request.output = output.data();
  request.outputSize = width * 48;
  request.map = &m_map;
  request.work = work.data();
  request.workSize = 512;
  request.columns = width;
  request.rows = height;
  request.box = {box.GetNorth(), box.GetEast(), box.GetSouth(), box.GetWest()};
  request.consumer = block;
  request.consumerData = data;
  request.provider = finder;
  request.providerData = data;
  request.cache = &cache;
  CheckMdbResult(MdbScanDem(request), GLO_SRC, kMdbAcceptNotFound);
}

}  // namespace mpl
