// The elevation grid scan: samples on and between grid points, the sampling
// modes, water, the buffer checks, work blocks and strips of every size, and
// a box across the 180-degree meridian.
#include <gtest/gtest.h>

#include <map>

#include "mpl/MPL_DemCache.h"
#include "mpl/MPL_DemScan.h"
#include "mpl/MPL_Map.h"
#include "tests/mpl/DemFixture.h"
#include "tests/mpl/MapFacadeFixture.h"

namespace {

using demtest::DemMap_t;
using demtest::Level;
using imgkit::DemBuilder_t;
using imgkit::DemLevel_t;
using imgkit::DemTile_t;

constexpr std::int32_t kStep = 0x100;

// 64 x 64 points in 4 x 4 tiles of 16 whose height is 3 x row + column metres;
// 'water' makes tile 5 a flat tile of water.
DemBuilder_t Surface(std::int32_t west, bool water = false) {
  DemBuilder_t b;
  DemLevel_t l = Level(16, 4, 4, 16);
  l.west = west;
  l.north = 0x100000;
  l.latStep = l.lonStep = kStep;
  l.recordFlags = 0x11;  // 2-byte offsets, a special-value byte
  for (std::uint32_t n = 0; n < 16; ++n) {
    DemTile_t t;
    if (water && n == 5) {
      t.special = 1;
    } else {
      for (std::uint32_t r = 0; r < 16; ++r)
        for (std::uint32_t c = 0; c < 16; ++c)
          t.values.push_back(static_cast<std::uint16_t>(3 * ((n / 4) * 16 + r) + (n % 4) * 16 + c));
      t.maxDiff = 255;
    }
    l.tiles.push_back(t);
  }
  b.levels = {l};
  return b;
}

std::int32_t Height(std::int64_t row, std::int64_t col) { return static_cast<std::int32_t>((3 * row + col) * 256); }

struct Sample_t {
  std::int32_t ew, ns, elevation;
  bool operator==(const Sample_t&) const = default;
};

struct Scan_t {
  DemMap_t d;
  mpl::MdbDemCache_t cache;
  std::vector<std::int32_t> output, work;
  std::map<std::pair<std::uint32_t, std::uint32_t>, Sample_t> samples;  // (row, col)
  int duplicates = 0;
  int batches = 0;
  mpl::MdbDemScan_t q;

  static int Consume(const mpl::MdbDemScanOutput_t& o, void* data) {
    auto* s = static_cast<Scan_t*>(data);
    ++s->batches;
    for (std::uint32_t r = 0; r < o.rows; ++r)
      for (std::uint32_t c = 0; c < o.columns; ++c) {
        const std::int32_t* v = o.samples + (static_cast<std::size_t>(r) * o.columns + c) * 3;
        if (!s->samples.emplace(std::make_pair(o.firstRow + r, o.firstCol + c), Sample_t{v[0], v[1], v[2]}).second)
          ++s->duplicates;
      }
    return 0;
  }
  static int Provide(std::uint32_t index, const mpl::MdbBox_t&, mpl::MdbMap_t*& map, void* data) {
    if (index > 0) return 3;
    map = &static_cast<Scan_t*>(data)->d.map;
    return 0;
  }

  void Open(const DemBuilder_t& b) { Open(b.Build()); }
  void Open(const std::string& dem) {
    ASSERT_EQ(0, d.Open(dem));
    ASSERT_EQ(0, d.Select(0));
    ASSERT_EQ(0, mpl::MdbDemCacheInit(cache, 64));
  }
  // A box from grid point (row, col) of 'rows' x 'cols' samples 'step' grid steps apart.
  int Run(double row, double col, std::uint32_t rows, std::uint32_t cols, double step,
          std::uint32_t workBytes = 4096, std::uint32_t outputBytes = 1 << 16) {
    const mpl::MdbDemLevel_t& l = d.map.dem.levels[0];
    output.assign(outputBytes / 4 + 1, 0x5A5A5A5A);
    work.assign(workBytes / 4 + 1, 0);
    samples.clear();
    duplicates = batches = 0;
    q.output = output.data();
    q.outputSize = outputBytes;
    q.work = work.data();
    q.workSize = workBytes;
    q.map = &d.map;
    q.cache = &cache;
    q.columns = cols;
    q.rows = rows;
    q.box.north = l.north - static_cast<std::int32_t>(row * kStep);
    q.box.west = static_cast<std::int32_t>(static_cast<std::uint32_t>(l.west) + static_cast<std::uint32_t>(col * kStep));
    q.box.south = q.box.north - static_cast<std::int32_t>(rows * step * kStep);
    q.box.east = static_cast<std::int32_t>(static_cast<std::uint32_t>(q.box.west) +
                                           static_cast<std::uint32_t>(cols * step * kStep));
    q.consumer = &Consume;
    q.consumerData = this;
    q.provider = &Provide;
    q.providerData = this;
    return mpl::MdbScanDem(q);
  }
};

TEST(DemScanTest, SamplesOnGridPointsWithTheirDifferences) {
  Scan_t s;
  s.Open(Surface(0));
  ASSERT_EQ(0, s.Run(10, 10, 8, 8, 1.0));
  ASSERT_EQ(64u, s.samples.size());
  EXPECT_EQ(0, s.duplicates);
  for (const auto& [at, v] : s.samples) {
    EXPECT_EQ(Height(10 + at.first, 10 + at.second), v.elevation);
    EXPECT_EQ(2 * 256, v.ew);  // next column - previous column
    EXPECT_EQ(6 * 256, v.ns);  // next row - previous row
  }
}

TEST(DemScanTest, InterpolatesBetweenGridPoints) {
  Scan_t s;
  s.Open(Surface(0));
  s.q.compute = mpl::kMdbScanElevations;
  ASSERT_EQ(0, s.Run(20.5, 30, 4, 16, 0.5));
  for (const auto& [at, v] : s.samples) {
    const std::int64_t twice = 3 * (41 + static_cast<std::int64_t>(at.first)) + 60 + at.second;  // 2 x height
    EXPECT_EQ(static_cast<std::int32_t>(twice * 128), v.elevation) << at.first << " " << at.second;
    EXPECT_EQ(0x5A5A5A5A, v.ew);  // not asked for: left as the buffer held it
    EXPECT_EQ(0x5A5A5A5A, v.ns);
  }
  EXPECT_EQ(150 * 256, mpl::MdbDemScanInterpolate(0x8000, 0, 100 * 256, 200 * 256, 0, 0));
  // Differences beyond what 32 bits could multiply.
  EXPECT_EQ(0x3FFF8000, mpl::MdbDemScanInterpolate(0, 0x8000, 0, 0, 0x7FFF0000, 0x7FFF0000));
  EXPECT_EQ(-0x3FFF8000, mpl::MdbDemScanInterpolate(0x8000, 0, 0, -0x7FFF0000, 0, 0));
  EXPECT_EQ(mpl::kMdbElevWater, mpl::MdbDemScanInterpolate(0x8000, 0x8000, 1, 1, 1, mpl::kMdbElevWater));
  EXPECT_EQ(7, mpl::MdbDemScanInterpolate(0x8000, 0x8000, mpl::kMdbElevNoData, 7, 7, 7));
}

TEST(DemScanTest, SamplingModes) {
  struct Case {
    std::uint8_t mode;
    double step;
    bool nearest;
  };
  // Samples start 0.75 of a cell south-east of a grid point.
  const Case cases[] = {{0, 2.0, false}, {1, 2.0, true}, {1, 0.5, false}, {2, 0.5, true}};
  for (const Case& c : cases) {
    Scan_t s;
    s.Open(Surface(0));
    s.q.mode = c.mode;
    ASSERT_EQ(0, s.Run(5.75, 5.75, 4, 4, c.step));
    const Sample_t first = s.samples.at({0, 0});
    EXPECT_EQ(c.nearest ? Height(6, 6) : Height(5, 5) + 192 * 4, first.elevation) << int{c.mode} << " " << c.step;
  }
  Scan_t bad;
  bad.Open(Surface(0));
  bad.q.mode = 3;
  EXPECT_EQ(1, bad.Run(5, 5, 4, 4, 1.0));
}

TEST(DemScanTest, WaterCountsAsZeroWhenAsked) {
  for (std::uint8_t zero : {0, 1}) {
    Scan_t s;
    s.Open(Surface(0, true));
    s.q.waterZero = zero;
    ASSERT_EQ(0, s.Run(20, 20, 2, 2, 1.0));  // inside tile 5
    EXPECT_EQ(zero ? 0 : mpl::kMdbElevWater, s.samples.at({0, 0}).elevation);
    // Next to the water tile the differences count water as 0.
    ASSERT_EQ(0, s.Run(20, 15, 1, 1, 1.0));
    EXPECT_EQ(0 - Height(20, 14), s.samples.at({0, 0}).ew);
  }
}

TEST(DemScanTest, RefusesWhatItCannotScan) {
  Scan_t s;
  s.Open(Surface(0));
  struct Case {
    const char* what;
    std::uint32_t work, output, cols;
    int expect;
  };
  const Case cases[] = {
      {"work below 64 bytes", 60, 1 << 16, 8, 2},
      {"output below a strip's row", 4096, 12 * 8 - 4, 8, 2},
      {"output of one strip row", 4096, 12 * 8, 8, 0},
      {"no columns", 4096, 1 << 16, 0, 3},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expect, s.Run(10, 10, 8, c.cols, 1.0, c.work, c.output)) << c.what;
  s.q.consumer = nullptr;
  s.q.consumerData = nullptr;
  EXPECT_EQ(3, mpl::MdbScanDem(s.q));
}

// A sub-file cut short inside its tile data: the failed read ends the scan
// with its code, not with cells left without data.
TEST(DemScanTest, AReadErrorEndsTheScan) {
  imgkit::DemLayout_t layout;
  std::string dem = Surface(0).Build(&layout);
  dem.resize(layout.dataOffsets[0] + 40);
  Scan_t s;
  s.Open(dem);
  EXPECT_EQ(3, s.Run(0, 0, 64, 64, 1.0));
}

// Work blocks from the smallest (4 x 4) to the whole grid and output buffers
// from one row of a strip upwards give the same samples, each once.
TEST(DemScanTest, BlocksAndStripsOfEverySize) {
  Scan_t reference;
  reference.Open(Surface(0));
  ASSERT_EQ(0, reference.Run(3.3, 2.6, 30, 40, 1.37, 1 << 16, 1 << 20));
  ASSERT_EQ(1200u, reference.samples.size());
  EXPECT_EQ(1, reference.batches);
  struct Case {
    std::uint32_t work, output;
  };
  for (const Case& c : {Case{64, 12 * 40}, Case{64, 1000}, Case{200, 12 * 40}, Case{1000, 5000}, Case{4096, 24 * 40}}) {
    Scan_t s;
    s.Open(Surface(0));
    ASSERT_EQ(0, s.Run(3.3, 2.6, 30, 40, 1.37, c.work, c.output)) << c.work;
    EXPECT_EQ(0, s.duplicates) << c.work;
    EXPECT_EQ(reference.samples, s.samples) << c.work << " " << c.output;
    EXPECT_GT(s.batches, 1) << c.work;
  }
  // Bands of rows scanned one by one (the last to the end) give those rows of it.
  Scan_t bands;
  bands.Open(Surface(0));
  for (const auto& [first, rows] : {std::pair{0u, 7u}, std::pair{7u, 1u}, std::pair{8u, 13u}, std::pair{21u, 0u}}) {
    const auto before = bands.samples;
    bands.q.bandFirst = first;
    bands.q.bandRows = rows;
    ASSERT_EQ(0, bands.Run(3.3, 2.6, 30, 40, 1.37, 200, 12 * 40)) << first;
    EXPECT_EQ(0, bands.duplicates);
    EXPECT_EQ(first, bands.samples.begin()->first.first);
    EXPECT_EQ(rows ? first + rows - 1 : 29u, bands.samples.rbegin()->first.first);
    bands.samples.insert(before.begin(), before.end());
  }
  EXPECT_EQ(reference.samples, bands.samples);
  bands.q.bandFirst = 30;
  EXPECT_EQ(3, bands.Run(3.3, 2.6, 30, 40, 1.37));
}

// A box across the 180-degree meridian over a level that stops there.
TEST(DemScanTest, ABoxAcrossTheMeridian) {
  Scan_t s;
  s.Open(Surface(static_cast<std::int32_t>(0x80000000u - 40u * kStep)));  // column 40 lies on the meridian
  const mpl::MdbDemLevel_t& l = s.d.map.dem.levels[0];
  ASSERT_LT(l.east, l.west);
  ASSERT_EQ(0, s.Run(8, 36, 4, 16, 1.0));
  ASSERT_LT(s.q.box.east, s.q.box.west);
  ASSERT_EQ(64u, s.samples.size());
  for (const auto& [at, v] : s.samples) EXPECT_EQ(Height(8 + at.first, 36 + at.second), v.elevation);
}

// The map object's scan: the samples of the engine's scan with water as 0,
// the finder's maps, and its errors.
struct FacadeScan_t {
  explicit FacadeScan_t(const DemBuilder_t& dem) : image(Files(dem)), map(image.source, "12345678", "") {
    map.LoadDemLevel(24);
    EXPECT_EQ(0, mpl::MdbDemCacheInit(cache, 64));
  }
  static std::vector<imgkit::MapFile_t> Files(const DemBuilder_t& dem) {
    imgkit::MapBuilder_t m = mpltest::BasicMap();
    m.name = "12345678";
    m.extra.push_back({m.name + ".DEM", dem.Build()});
    return m.Files();
  }
  static int Consume(const mpl::MdbDemScanOutput_t& o, void* data) {
    auto* self = static_cast<FacadeScan_t*>(data);
    if (self->fail != 0) return self->fail;
    for (std::uint32_t r = 0; r < o.rows; ++r)
      for (std::uint32_t c = 0; c < o.columns; ++c) {
        const std::int32_t* v = o.samples + (static_cast<std::size_t>(r) * o.columns + c) * 3;
        self->samples[{o.firstRow + r, o.firstCol + c}] = Sample_t{v[0], v[1], v[2]};
      }
    return 0;
  }
  static int Find(std::uint32_t index, const mpl::MdbBox_t&, mpl::MdbMap_t*& map, void* data) {
    auto* self = static_cast<FacadeScan_t*>(data);
    ++self->asked;
    if (index > 0) return 3;
    map = &self->map.Engine();
    return 0;
  }
  void Scan(std::uint32_t width, std::uint32_t height, const geo::Box_t& box) {
    samples.clear();
    map.ScanDem(width, height, box, cache, &Consume, &Find, this);
  }

  facadetest::Image_t image;
  mpl::Map_t map;
  mpl::MdbDemCache_t cache;
  std::map<std::pair<std::uint32_t, std::uint32_t>, Sample_t> samples;
  int asked = 0;
  int fail = 0;
};

TEST(DemScanTest, TheMapObjectScansWithWaterAsZero) {
  FacadeScan_t f(Surface(0, true));
  ASSERT_TRUE(f.map.HasDem());
  // Rows 18-25 and columns 10-49 at 1.25 grid steps: across the water tile.
  Scan_t direct;
  direct.Open(Surface(0, true));
  direct.q.waterZero = 1;
  ASSERT_EQ(0, direct.Run(18, 10, 8, 32, 1.25, 512, 32 * 48));
  const mpl::MdbBox_t b = direct.q.box;
  f.Scan(32, 8, geo::Box_t(b.north, b.south, b.east, b.west));
  EXPECT_GT(f.asked, 0);
  ASSERT_EQ(256u, f.samples.size());
  EXPECT_EQ(direct.samples, f.samples);
  EXPECT_EQ(0, f.samples.at({2, 6}).elevation);  // row 20.5, column 17.5: water
  EXPECT_EQ(Height(18, 10), f.samples.at({0, 0}).elevation);
  // Nothing to scan is no error; a consumer's code is, and so is a row wider than the
  // engine's 32-bit buffer size.
  EXPECT_NO_THROW(f.Scan(0, 8, geo::Box_t(b.north, b.south, b.east, b.west)));
  f.fail = 1;
  EXPECT_THROW(f.Scan(32, 8, geo::Box_t(b.north, b.south, b.east, b.west)), mpl::MdbException_t);
  EXPECT_THROW(f.Scan(0x6000000, 8, geo::Box_t(b.north, b.south, b.east, b.west)), mpl::MdbException_t);
  mpl::Map_t closed;
  EXPECT_THROW(closed.ScanDem(4, 4, geo::Box_t(b.north, b.south, b.east, b.west), f.cache, &FacadeScan_t::Consume,
                              &FacadeScan_t::Find, &f),
               glo::Assert_t);
}

}  // namespace
