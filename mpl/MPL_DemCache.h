#pragma once
// Decoded DEM tiles in a cache of fixed slots shared by all maps, found
// through a red-black index whose nodes are the slots themselves and reused
// with a two-handed clock; elevation samples (exact or interpolated) and the
// location of a position in the current level's tile grid.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "mpl/MPL_Geometry.h"

namespace mpl {

struct MdbMap_t;

// ---- Ordered index over caller-allocated nodes --------------------------

// A node: its links and colour, followed by a copy of its key.
struct MdbTreeNode_t {
  MdbTreeNode_t* parent = nullptr;
  MdbTreeNode_t* first = nullptr;   // smaller keys
  MdbTreeNode_t* second = nullptr;  // larger keys
  std::uint8_t colour = 0;          // 1 red, 0 black
};

// Compare (key, node key, data): 1 smaller, 2 larger, 3 equal, else failure.
using MdbTreeCompare_t = int (*)(const void* key, const void* nodeKey, void* data);
using MdbTreeAlloc_t = MdbTreeNode_t* (*)(std::size_t size, void* data);
using MdbTreeRelease_t = void (*)(MdbTreeNode_t* node, void* data);

struct MdbTree_t {
  void* compareData = nullptr;
  void* allocData = nullptr;
  MdbTreeCompare_t compare = nullptr;
  MdbTreeAlloc_t alloc = nullptr;
  MdbTreeRelease_t release = nullptr;
  std::size_t keySize = 0;
  MdbTreeNode_t* root = nullptr;
  std::uint32_t count = 0;
};

inline void* MdbTreeKey(MdbTreeNode_t* node) { return reinterpret_cast<std::uint8_t*>(node) + sizeof(MdbTreeNode_t); }
inline const void* MdbTreeKey(const MdbTreeNode_t* node) {
  return reinterpret_cast<const std::uint8_t*>(node) + sizeof(MdbTreeNode_t);
}

int MdbTreeInit(MdbTree_t& tree);
int MdbTreeFind(const MdbTree_t& tree, const void* key, MdbTreeNode_t*& node);
int MdbTreeLookup(const MdbTree_t& tree, const void* key, MdbTreeNode_t*& node);
int MdbTreeInsert(MdbTree_t& tree, const void* key, MdbTreeNode_t** node);
int MdbTreeErase(MdbTree_t& tree, const void* key);

// ---- Tile cache ----------------------------------------------------------

// The tile record of a slot; also the index key (map id, level, tile number).
struct MdbDemTile_t {
  std::uint8_t flags = 0;  // bit 0 referenced, bit 1 last tile row, bit 2 last tile column
  std::uint8_t level = 0;
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  std::uint32_t tile = 0;
  std::uint32_t mapId = 0;  // 0: a free slot
  std::int16_t* heights = nullptr;  // width x height stored heights, owned by the cache
};

constexpr std::uint8_t kMdbDemReferenced = 1;
constexpr std::uint8_t kMdbDemLastRow = 2;
constexpr std::uint8_t kMdbDemLastCol = 4;

struct MdbDemSlot_t {
  MdbTreeNode_t node;
  MdbDemTile_t tile;
};

struct MdbDemCache_t {
  std::unique_ptr<MdbDemSlot_t[]> slots;
  std::uint32_t allocHand = 0;
  std::uint32_t agingHand = 0;
  std::uint32_t slotCount = 0;
  MdbTree_t index;

  MdbDemCache_t() = default;
  MdbDemCache_t(const MdbDemCache_t&) = delete;
  MdbDemCache_t& operator=(const MdbDemCache_t&) = delete;
  ~MdbDemCache_t();
};

// The largest height array a tile may have. Real tiles stay far below it; a
// record claiming more (up to 65,535 x 65,535 points) makes the load fail with
// 2 before anything is allocated or evicted.
constexpr std::size_t kMdbDemMaxHeightBytes = std::size_t{64} << 20;

int MdbDemCacheInit(MdbDemCache_t& cache, std::uint32_t slots);
int MdbDemCacheClear(MdbDemCache_t& cache);
// The tile of the map's current level, decoded on a miss; 'out' points into the cache.
int MdbDemCacheGet(MdbDemCache_t& cache, MdbMap_t& map, std::uint32_t tile, const MdbDemTile_t*& out);
int MdbDemCacheLoad(MdbDemCache_t& cache, MdbMap_t& map, std::uint32_t tile);
int MdbDemCacheEvict(MdbDemCache_t& cache);
int MdbDemTileCompare(const void* key, const void* nodeKey, void* data);
MdbTreeNode_t* MdbDemSlotAlloc(std::size_t size, void* data);

// ---- Sampling -------------------------------------------------------------

// Elevations in 1/256 metre; these two mark no data and water.
constexpr std::int32_t kMdbElevNoData = static_cast<std::int32_t>(0x80000000u);
constexpr std::int32_t kMdbElevWater = static_cast<std::int32_t>(0x80000001u);

// A sample request: the tile, and 16.16 row (y) and column (x) inside it.
struct MdbDemPoint_t {
  std::uint32_t tile = 0;
  std::int32_t y = 0;
  std::int32_t x = 0;
};

struct MdbDemGridPos_t {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t tileCol = 0;
  std::int32_t tileRow = 0;
};

int MdbDemGetElevation(MdbDemCache_t& cache, MdbMap_t& map, const MdbDemPoint_t& point, std::int32_t& out,
                       bool interpolate);
// Bilinear interpolation between four corners (x and y fractions 0..65535).
std::int32_t MdbDemInterpolate(std::uint32_t fx, std::uint32_t fy, const std::int32_t corners[4]);
// Where a position lies in the current level's tiles; 3 without a current level.
int MdbDemLocate(const MdbMap_t& map, const MdbPoint_t& position, bool keepFractions, MdbDemGridPos_t& out);
// A stored height in 1/256 metre.
std::int32_t MdbDemElevation(std::int16_t stored, bool metres);

}  // namespace mpl
