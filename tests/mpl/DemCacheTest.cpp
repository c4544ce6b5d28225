// The tile cache (clock replacement, red-black index over its slots), exact
// and interpolated samples across tile edges, the interpolation, and the
// location of positions in a level's tile grid.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "mpl/MPL_DemCache.h"
#include "tests/mpl/DemFixture.h"

namespace {

using demtest::DemMap_t;
using demtest::Level;
using imgkit::DemBuilder_t;
using imgkit::DemLevel_t;
using imgkit::DemTile_t;

// Checks the red-black rules, parent links and order; the black height.
int CheckTree(const mpl::MdbTree_t& t, const mpl::MdbTreeNode_t* n, const mpl::MdbTreeNode_t* parent,
              std::uint32_t& count) {
  if (!n) return 1;
  ++count;
  EXPECT_EQ(parent, n->parent);
  if (n->colour == 1) {
    EXPECT_FALSE(n->first && n->first->colour == 1);
    EXPECT_FALSE(n->second && n->second->colour == 1);
  }
  if (n->first) {
    EXPECT_EQ(1, t.compare(mpl::MdbTreeKey(n->first), mpl::MdbTreeKey(n), t.compareData));
  }
  if (n->second) {
    EXPECT_EQ(2, t.compare(mpl::MdbTreeKey(n->second), mpl::MdbTreeKey(n), t.compareData));
  }
  const int a = CheckTree(t, n->first, n, count);
  const int b = CheckTree(t, n->second, n, count);
  EXPECT_EQ(a, b);
  return a + (n->colour == 0 ? 1 : 0);
}

void CheckTree(const mpl::MdbTree_t& t) {
  std::uint32_t count = 0;
  if (t.root) {
    EXPECT_EQ(0, t.root->colour);
  }
  CheckTree(t, t.root, nullptr, count);
  EXPECT_EQ(t.count, count);
}

// An index of u32 keys over a pool of nodes, as an owner keeps them.
struct IntNode_t {
  mpl::MdbTreeNode_t node;
  std::uint32_t key = 0;
};

struct Pool_t {
  std::vector<IntNode_t> nodes;
  std::vector<IntNode_t*> free;
  explicit Pool_t(std::size_t n) : nodes(n) {
    for (auto& x : nodes) free.push_back(&x);
  }
};

int IntCompare(const void* a, const void* b, void*) {
  const std::uint32_t x = *static_cast<const std::uint32_t*>(a);
  const std::uint32_t y = *static_cast<const std::uint32_t*>(b);
  return x < y ? 1 : x > y ? 2 : 3;
}

mpl::MdbTreeNode_t* IntAlloc(std::size_t, void* data) {
  auto* pool = static_cast<Pool_t*>(data);
  if (pool->free.empty()) return nullptr;
  IntNode_t* n = pool->free.back();
  pool->free.pop_back();
  return &n->node;
}

void IntRelease(mpl::MdbTreeNode_t* node, void* data) {
  static_cast<Pool_t*>(data)->free.push_back(reinterpret_cast<IntNode_t*>(node));
}

TEST(DemCacheTest, TheIndexStaysARedBlackTree) {
  Pool_t pool(600);
  mpl::MdbTree_t t;
  EXPECT_EQ(1, mpl::MdbTreeInit(t));
  t.compare = &IntCompare;
  t.alloc = &IntAlloc;
  t.release = &IntRelease;
  t.allocData = &pool;
  t.keySize = sizeof(std::uint32_t);
  ASSERT_EQ(9, mpl::MdbTreeInit(t));
  mpl::MdbTreeNode_t* node = nullptr;
  std::uint32_t key = 5;
  EXPECT_EQ(4, mpl::MdbTreeFind(t, &key, node));
  EXPECT_EQ(5, mpl::MdbTreeLookup(t, &key, node));
  EXPECT_EQ(6, mpl::MdbTreeErase(t, &key));
  std::mt19937 rng(17);
  std::set<std::uint32_t> keys;
  for (int step = 0; step < 5000; ++step) {
    key = rng() % 800;
    if (rng() % 3 != 0) {
      const int r = mpl::MdbTreeInsert(t, &key, &node);
      if (keys.count(key)) {
        ASSERT_EQ(2, r);
      } else if (keys.size() == 600) {
        ASSERT_EQ(8, r);  // the pool is empty
        continue;
      } else {
        ASSERT_EQ(9, r);
      }
      EXPECT_EQ(key, *static_cast<std::uint32_t*>(mpl::MdbTreeKey(node)));
      keys.insert(key);
    } else {
      ASSERT_EQ(keys.count(key) ? 9 : 6, mpl::MdbTreeErase(t, &key));
      keys.erase(key);
    }
    if (step % 50 == 0) CheckTree(t);
    ASSERT_EQ(keys.size(), t.count);
  }
  CheckTree(t);
  for (std::uint32_t k : keys) {
    ASSERT_EQ(9, mpl::MdbTreeLookup(t, &k, node));
    EXPECT_EQ(k, *static_cast<std::uint32_t*>(mpl::MdbTreeKey(node)));
  }
  key = 801;
  EXPECT_EQ(9, mpl::MdbTreeFind(t, &key, node));  // absent: the parent for an insertion
  EXPECT_NE(nullptr, node);
}

// A level of n x n flat tiles of size 'size' whose base is the tile number.
DemBuilder_t FlatGrid(std::uint32_t n, std::uint32_t size) {
  DemBuilder_t b;
  DemLevel_t l = Level(size, n, n, size);
  l.recordFlags = 0x05;  // 2-byte offsets and bases
  for (std::uint32_t t = 0; t < n * n; ++t) {
    DemTile_t tile;
    tile.base = static_cast<std::int16_t>(t);
    l.tiles.push_back(tile);
  }
  b.levels = {l};
  return b;
}

std::vector<std::uint32_t> SlotTiles(const mpl::MdbDemCache_t& c) {
  std::vector<std::uint32_t> v;
  for (std::uint32_t i = 0; i < c.slotCount; ++i) v.push_back(c.slots[i].tile.mapId ? c.slots[i].tile.tile : 999);
  return v;
}

// A map with the builder's elevation data, its level 0 selected, and a cache
// of 'slots' tiles; 't' is the tile of the last lookup.
struct CachedDem_t {
  DemMap_t d;
  mpl::MdbDemCache_t cache;
  const mpl::MdbDemTile_t* t = nullptr;

  void Open(const DemBuilder_t& b, std::uint32_t slots) {
    ASSERT_EQ(0, d.Open(b));
    ASSERT_EQ(0, d.Select(0));
    ASSERT_EQ(0, mpl::MdbDemCacheInit(cache, slots));
  }
  int Get(std::uint32_t tile) { return mpl::MdbDemCacheGet(cache, d.map, tile, t); }
};

TEST(DemCacheTest, ClockReplacesTheFirstUnreferencedSlot) {
  DemMap_t d;
  ASSERT_EQ(0, d.Open(FlatGrid(3, 2)));
  ASSERT_EQ(0, d.Select(0));
  mpl::MdbDemCache_t cache;
  EXPECT_EQ(1, mpl::MdbDemCacheInit(cache, 0));
  ASSERT_EQ(0, mpl::MdbDemCacheInit(cache, 4));
  const mpl::MdbDemTile_t* t = nullptr;
  for (std::uint32_t n = 0; n < 4; ++n) {
    ASSERT_EQ(0, mpl::MdbDemCacheGet(cache, d.map, n, t));
    EXPECT_EQ(n, t->tile);
    EXPECT_EQ(mpl::kMdbDemReferenced, t->flags & mpl::kMdbDemReferenced);
  }
  EXPECT_EQ(0u, cache.allocHand);
  EXPECT_EQ(0u, cache.agingHand);
  // Full: the aging hand clears slot 0, which the allocation hand then takes.
  ASSERT_EQ(0, mpl::MdbDemCacheGet(cache, d.map, 4, t));
  EXPECT_EQ((std::vector<std::uint32_t>{4, 1, 2, 3}), SlotTiles(cache));
  EXPECT_EQ(1u, cache.allocHand);
  EXPECT_EQ(1u, cache.agingHand);
  // A hit on tile 2 (the aging hand clears slot 1), then a miss: slot 1 goes.
  ASSERT_EQ(0, mpl::MdbDemCacheGet(cache, d.map, 2, t));
  EXPECT_EQ(2u, t->tile);
  ASSERT_EQ(0, mpl::MdbDemCacheGet(cache, d.map, 5, t));
  EXPECT_EQ((std::vector<std::uint32_t>{4, 5, 2, 3}), SlotTiles(cache));
  EXPECT_EQ(4u, cache.index.count);
  CheckTree(cache.index);
  EXPECT_EQ(5, t->heights[0]);
  // Misses that are refused leave the cache as it was.
  EXPECT_EQ(3, mpl::MdbDemCacheGet(cache, d.map, 9, t));
  EXPECT_EQ((std::vector<std::uint32_t>{4, 5, 2, 3}), SlotTiles(cache));
  EXPECT_EQ(0, mpl::MdbDemCacheClear(cache));
  EXPECT_EQ(0u, cache.index.count);
  EXPECT_EQ(nullptr, cache.index.root);
}

TEST(DemCacheTest, HoldsMoreTilesThanItsSlotsThroughTheIndex) {
  DemMap_t d;
  ASSERT_EQ(0, d.Open(FlatGrid(33, 2)));  // 1,089 tiles
  ASSERT_EQ(0, d.Select(0));
  mpl::MdbDemCache_t cache;
  ASSERT_EQ(0, mpl::MdbDemCacheInit(cache, 1024));
  const mpl::MdbDemTile_t* t = nullptr;
  for (int pass = 0; pass < 2; ++pass)
    for (std::uint32_t n = 0; n < 33 * 33; ++n) {
      ASSERT_EQ(0, mpl::MdbDemCacheGet(cache, d.map, (n * 7 + pass) % (33 * 33), t));
      ASSERT_EQ(static_cast<std::int16_t>((n * 7 + pass) % (33 * 33)), t->heights[3]);
    }
  EXPECT_EQ(1024u, cache.index.count);
  CheckTree(cache.index);
  // Every slot that holds a tile is found through the index, and no other.
  std::uint32_t held = 0;
  for (std::uint32_t i = 0; i < cache.slotCount; ++i) {
    const mpl::MdbDemSlot_t& s = cache.slots[i];
    if (!s.tile.mapId) continue;
    ++held;
    mpl::MdbTreeNode_t* node = nullptr;
    ASSERT_EQ(9, mpl::MdbTreeLookup(cache.index, &s.tile, node));
    EXPECT_EQ(&s.node, node);
  }
  EXPECT_EQ(1024u, held);
}

TEST(DemCacheTest, MapsAreKeptApartAndMapIdZeroIsRefused) {
  DemMap_t a, b, zero;
  ASSERT_EQ(0, a.Open(FlatGrid(2, 2), 0x111));
  DemBuilder_t other = FlatGrid(2, 2);
  other.levels[0].tiles[1].base = 500;
  ASSERT_EQ(0, b.Open(other, 0x222));
  ASSERT_EQ(0, a.Select(0));
  ASSERT_EQ(0, b.Select(0));
  mpl::MdbDemCache_t cache;
  ASSERT_EQ(0, mpl::MdbDemCacheInit(cache, 8));
  const mpl::MdbDemTile_t* t = nullptr;
  ASSERT_EQ(0, mpl::MdbDemCacheGet(cache, a.map, 1, t));
  EXPECT_EQ(1, t->heights[0]);
  ASSERT_EQ(0, mpl::MdbDemCacheGet(cache, b.map, 1, t));
  EXPECT_EQ(500, t->heights[0]);
  ASSERT_EQ(0, mpl::MdbDemCacheGet(cache, a.map, 1, t));
  EXPECT_EQ(1, t->heights[0]);
  EXPECT_EQ(2u, cache.index.count);
  // A map whose id is 0 would look like a free slot: never looked up.
  ASSERT_EQ(0, zero.Open(FlatGrid(2, 2), 0x222));
  ASSERT_EQ(0, zero.Select(0));
  zero.map.mapId = 0;
  EXPECT_EQ(3, mpl::MdbDemCacheGet(cache, zero.map, 1, t));
  EXPECT_EQ(2u, cache.index.count);
  CheckTree(cache.index);
}

TEST(DemCacheTest, ACorruptTileIsNeverCached) {
  struct Case {
    const char* what;
    std::string stream;
    int expect;
  };
  // Tiles are 14 points wide. "11111111" brings a run to 12 with 2 extra
  // bits, "0" "11" adds 3: 15 points. The ones after it would decode every
  // further row as a run.
  const Case cases[] = {
      {"zeros to the sub-file's end", std::string(1, '\0'), 3},
      {"a run past the row's end", std::string("\xFF\x7F") + std::string(32, '\xFF'), 2},
  };
  for (const Case& c : cases) {
    DemBuilder_t b = FlatGrid(2, 14);
    DemTile_t bad;
    bad.maxDiff = 100;
    bad.stream = c.stream;
    b.levels[0].tiles[3] = bad;
    CachedDem_t m;
    m.Open(b, 4);
    ASSERT_EQ(0, m.Get(0));
    for (int attempt = 0; attempt < 2; ++attempt) {
      EXPECT_EQ(c.expect, m.Get(3)) << c.what;
      EXPECT_EQ(nullptr, m.t);
      EXPECT_EQ(1u, m.cache.index.count);
      EXPECT_EQ(0u, m.cache.slots[1].tile.mapId);
      EXPECT_EQ(nullptr, m.cache.slots[1].tile.heights);
    }
    ASSERT_EQ(0, m.Get(2));
    EXPECT_EQ(2, m.t->heights[0]);
  }
}

// A record may claim a tile of up to 65,535 x 65,535 points. One whose height
// array would pass 64 MiB (8,192 x 4,097 here) is refused at once and the
// cache keeps what it held.
TEST(DemCacheTest, AHeightArrayBeyondTheBoundIsRefused) {
  DemBuilder_t b;
  DemLevel_t l = Level(8192, 2, 1, 4);
  l.tileHeight = l.lastRowHeight = 4097;
  b.levels = {l};
  CachedDem_t m;
  m.Open(b, 4);
  ASSERT_EQ(0, m.Get(1));  // 4 x 4,097
  EXPECT_EQ(2, m.Get(0));
  EXPECT_EQ(nullptr, m.t);
  EXPECT_EQ((std::vector<std::uint32_t>{1, 999, 999, 999}), SlotTiles(m.cache));
  EXPECT_EQ(1u, m.cache.allocHand);
}

// Coded tiles of 4 x 4 in a 3 x 2 grid whose values are 10 x row + column of
// the whole grid, base 0, heights in metres.
struct Grid_t {
  DemMap_t d;
  mpl::MdbDemCache_t cache;
  std::int32_t At(std::int32_t row, std::int32_t col) const { return (10 * row + col) * 256; }
  void Open(std::int32_t west, std::uint32_t feetFlags = 0, std::uint32_t lastCol = 4) {
    DemBuilder_t b;
    b.flags = feetFlags;
    DemLevel_t l = Level(4, 3, 2, lastCol);
    l.west = west;
    l.lonStep = west == static_cast<std::int32_t>(0x80000000u) ? static_cast<std::int32_t>((0x100000000ll + 7 + lastCol) / (8 + lastCol)) : 0x100;
    l.recordFlags = 0x01;
    for (std::uint32_t n = 0; n < 6; ++n) {
      std::uint32_t w = 0, h = 0;
      imgkit::DemTileSize(l, n, w, h);
      std::vector<std::uint16_t> v;
      for (std::uint32_t r = 0; r < h; ++r)
        for (std::uint32_t c = 0; c < w; ++c) v.push_back(static_cast<std::uint16_t>(10 * ((n / 3) * 4 + r) + (n % 3) * 4 + c));
      DemTile_t t;
      t.values = v;
      t.maxDiff = 100;
      l.tiles.push_back(t);
    }
    b.levels = {l};
    ASSERT_EQ(0, d.Open(b));
    ASSERT_EQ(0, d.Select(0));
    ASSERT_EQ(0, mpl::MdbDemCacheInit(cache, 16));
  }
  std::int32_t Sample(std::uint32_t tile, std::int32_t y, std::int32_t x, bool interpolate, int* result = nullptr) {
    std::int32_t out = 0;
    const int r = mpl::MdbDemGetElevation(cache, d.map, mpl::MdbDemPoint_t{tile, y, x}, out, interpolate);
    if (result) *result = r;
    return out;
  }
};

TEST(DemCacheTest, ExactSamples) {
  Grid_t g;
  g.Open(0);
  EXPECT_EQ(g.At(2, 5), g.Sample(1, 2 << 16, 1 << 16, false));
  EXPECT_EQ(g.At(7, 11), g.Sample(5, (3 << 16) | 0xFFFF, (3 << 16) | 0x8000, false));
  int result = -1;
  EXPECT_EQ(mpl::kMdbElevNoData, g.Sample(0, 4 << 16, 0, false, &result));  // outside its tile
  EXPECT_EQ(0, result);
  EXPECT_EQ(mpl::kMdbElevNoData, g.Sample(0, -1, 0, false, &result));
  EXPECT_EQ(mpl::kMdbElevNoData, g.Sample(6, 0, 0, false, &result));
  EXPECT_EQ(3, result);

  // Stored heights: metres, feet and the two special values.
  EXPECT_EQ(25600, mpl::MdbDemElevation(100, true));
  EXPECT_EQ(7800, mpl::MdbDemElevation(100, false));
  EXPECT_EQ(mpl::kMdbElevNoData, mpl::MdbDemElevation(-32768, true));
  EXPECT_EQ(mpl::kMdbElevWater, mpl::MdbDemElevation(-32767, false));
  Grid_t feet;
  feet.Open(0, 1);
  EXPECT_EQ((10 * 2 + 5) * 78, feet.Sample(1, 2 << 16, 1 << 16, false));
}

TEST(DemCacheTest, InterpolatedSamplesCrossTileEdges) {
  Grid_t g;
  g.Open(0);
  const std::int32_t half = 0x8000;
  // Inside one tile: the mean of four corners.
  EXPECT_EQ((g.At(1, 1) + g.At(1, 2) + g.At(2, 1) + g.At(2, 2)) / 4, g.Sample(0, (1 << 16) | half, (1 << 16) | half, true));
  // Last column of tile 0 continues into tile 1; last row into tile 3; both into tile 4.
  EXPECT_EQ((g.At(1, 3) + g.At(1, 4)) / 2, g.Sample(0, 1 << 16, (3 << 16) | half, true));
  EXPECT_EQ((g.At(3, 1) + g.At(4, 1)) / 2, g.Sample(0, (3 << 16) | half, 1 << 16, true));
  EXPECT_EQ((g.At(3, 3) + g.At(3, 4) + g.At(4, 3) + g.At(4, 4)) / 4,
            g.Sample(0, (3 << 16) | half, (3 << 16) | half, true));
  // The last tile column of a level that does not span the globe: the
  // missing corners take corner 0's height.
  EXPECT_EQ(g.At(1, 11), g.Sample(2, 1 << 16, (3 << 16) | half, true));
  // The last tile row: likewise.
  EXPECT_EQ(g.At(7, 1), g.Sample(3, (3 << 16) | half, 1 << 16, true));

  // A level spanning the globe continues into the first tile of the row.
  Grid_t globe;
  globe.Open(static_cast<std::int32_t>(0x80000000u));
  ASSERT_EQ(0x7FFFFFFF, globe.d.map.dem.levels[0].east);
  EXPECT_EQ((globe.At(1, 11) + globe.At(1, 0)) / 2, globe.Sample(2, 1 << 16, (3 << 16) | half, true));
  EXPECT_EQ((globe.At(5, 11) + globe.At(5, 0)) / 2, globe.Sample(5, 1 << 16, (3 << 16) | half, true));
}

TEST(DemCacheTest, FourCornersInOneTileAreOneLookup) {
  Grid_t g;
  g.Open(0);
  ASSERT_EQ(0, mpl::MdbDemCacheInit(g.cache, 6));
  for (std::uint32_t n = 0; n < 6; ++n) g.Sample(n, 0, 0, false);
  ASSERT_EQ(6u, g.cache.index.count);  // full: every lookup moves the aging hand once
  std::uint32_t before = g.cache.agingHand;
  g.Sample(4, (1 << 16) | 0x4000, (2 << 16) | 0xC000, true);
  EXPECT_EQ((before + 1) % 6, g.cache.agingHand);
  before = g.cache.agingHand;
  g.Sample(0, (3 << 16) | 0x4000, (3 << 16) | 0xC000, true);  // tiles 0, 1, 3, 4
  EXPECT_EQ((before + 4) % 6, g.cache.agingHand);
}

TEST(DemCacheTest, Interpolation) {
  struct Case {
    std::uint32_t fx, fy;
    std::int32_t c[4];
    std::int32_t expect;
  };
  const std::int32_t nd = mpl::kMdbElevNoData, water = mpl::kMdbElevWater;
  const Case cases[] = {
      {0, 0, {25600, 25600, 25600, 25600}, 25600},
      {0xFFFF, 0x1234, {25600, 25600, 25600, 25600}, 25600},
      {0x8000, 0x8000, {0, 0, 0, 1000}, 250},
      {0x8000, 0x8000, {100, 200, 300, nd}, nd},        // the nearest corner is c3
      {0x7FFF, 0, {nd, 5, 5, 5}, nd},                   // the nearest corner is c0
      {0x7FFF, 0, {water, 5, 5, 5}, water},
      {0, 0, {1000, nd, water, 0}, 1000},               // the others take the nearest corner's height
      {0x4000, 0x4000, {1000, nd, water, 2000}, 1063},
      {0x8000, 0, {0x7FFFFF00, 0x7FFFFF00, 0, 0}, 0x7FFFFF00},
      {0x8000, 0, {-0x7FFFFF00, 0x7FFFFF00, 0, 0}, 0},
      {0x8000, 0, {-100, -200, 0, 0}, -151},  // negative values round downwards
      {0xC000, 0, {-100, -200, 0, 0}, -176},
      {0x8000, 0, {100, 200, 0, 0}, 150},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.expect, mpl::MdbDemInterpolate(c.fx, c.fy, c.c)) << c.fx << " " << c.fy << " " << c.c[0];
}

TEST(DemCacheTest, LocatesPositionsInTheTileGrid) {
  Grid_t g;
  g.Open(0x1000);
  const mpl::MdbDemLevel_t& l = g.d.map.dem.levels[0];
  mpl::MdbDemGridPos_t p;
  ASSERT_EQ(0, mpl::MdbDemLocate(g.d.map, mpl::MdbPoint_t{l.north, l.west}, true, p));
  EXPECT_EQ(0, p.x);
  EXPECT_EQ(0, p.y);
  EXPECT_EQ(0, p.tileCol);
  EXPECT_EQ(0, p.tileRow);
  // Row 5.25, column 9.75: tile row 1, column 2, inside at 1.25 and 1.75.
  const mpl::MdbPoint_t inside{l.north - 5 * l.latStep - l.latStep / 4, l.west + 9 * l.lonStep + 3 * l.lonStep / 4};
  ASSERT_EQ(0, mpl::MdbDemLocate(g.d.map, inside, true, p));
  EXPECT_EQ(1, p.tileRow);
  EXPECT_EQ(2, p.tileCol);
  EXPECT_EQ(0x14000, p.y);
  EXPECT_EQ(0x1C000, p.x);
  ASSERT_EQ(0, mpl::MdbDemLocate(g.d.map, inside, false, p));  // rounded to the nearest point
  EXPECT_EQ(0x10000, p.y);
  EXPECT_EQ(0x20000, p.x);
  // West of the grid longitudes wrap round to the far east: the last tile
  // column, beyond its width. North of it: the first tile row, above its top.
  ASSERT_EQ(0, mpl::MdbDemLocate(g.d.map, mpl::MdbPoint_t{l.north + 5 * l.latStep, l.west - 5 * l.lonStep}, false, p));
  EXPECT_EQ(2, p.tileCol);
  EXPECT_GE(p.x, 4 << 16);
  EXPECT_EQ(0, p.tileRow);
  EXPECT_LT(p.y, 0);
  mpl::MdbMap_t none;
  EXPECT_EQ(3, mpl::MdbDemLocate(none, inside, true, p));
}

}  // namespace
