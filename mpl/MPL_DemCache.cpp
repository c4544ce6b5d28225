#include "mpl/MPL_DemCache.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "mpl/MPL_Dem.h"
#include "mpl/MPL_Engine.h"

namespace mpl {

static_assert(offsetof(MdbDemSlot_t, tile) == sizeof(MdbTreeNode_t), "a slot's record is its node's key");

// ---- Ordered index --------------------------------------------------------

namespace {

constexpr std::uint8_t kRed = 1;
constexpr std::uint8_t kBlack = 0;

bool IsRed(const MdbTreeNode_t* n) { return n && n->colour == kRed; }

void Replace(MdbTree_t& t, MdbTreeNode_t* old, MdbTreeNode_t* with) {
  MdbTreeNode_t* p = old->parent;
  if (!p)
    t.root = with;
  else if (p->first == old)
    p->first = with;
  else
    p->second = with;
  if (with) with->parent = p;
}

// The two sides of a node: 'near' is the side a fix-up came from, 'far' the
// other. Each rotation and fix-up is written once for one side and serves the
// mirrored case with the sides swapped.
using Side_t = MdbTreeNode_t* MdbTreeNode_t::*;
constexpr Side_t kFirst = &MdbTreeNode_t::first;
constexpr Side_t kSecond = &MdbTreeNode_t::second;

// x's child on the far side rises; x goes down on the near side.
void Rotate(MdbTree_t& t, MdbTreeNode_t* x, Side_t nearSide, Side_t farSide) {
  MdbTreeNode_t* y = x->*farSide;
  x->*farSide = y->*nearSide;
  if (y->*nearSide) (y->*nearSide)->parent = x;
  Replace(t, x, y);
  y->*nearSide = x;
  x->parent = y;
}

void InsertFix(MdbTree_t& t, MdbTreeNode_t* z) {
  while (IsRed(z->parent)) {
    MdbTreeNode_t* p = z->parent;
    MdbTreeNode_t* g = p->parent;
    // The parent's side under the grandparent, and the uncle on the other.
    const Side_t nearSide = p == g->first ? kFirst : kSecond;
    const Side_t farSide = nearSide == kFirst ? kSecond : kFirst;
    MdbTreeNode_t* u = g->*farSide;
    if (IsRed(u)) {
      p->colour = kBlack;
      u->colour = kBlack;
      g->colour = kRed;
      z = g;
      continue;
    }
    if (z == p->*farSide) {
      z = p;
      Rotate(t, z, nearSide, farSide);
      p = z->parent;
    }
    p->colour = kBlack;
    g->colour = kRed;
    Rotate(t, g, farSide, nearSide);
  }
  t.root->colour = kBlack;
}

void EraseFix(MdbTree_t& t, MdbTreeNode_t* x, MdbTreeNode_t* parent) {
  while (x != t.root && !IsRed(x)) {
    // x's side under its parent, and its sibling on the other.
    const Side_t nearSide = x == parent->first ? kFirst : kSecond;
    const Side_t farSide = nearSide == kFirst ? kSecond : kFirst;
    MdbTreeNode_t* w = parent->*farSide;
    if (IsRed(w)) {
      w->colour = kBlack;
      parent->colour = kRed;
      Rotate(t, parent, nearSide, farSide);
      w = parent->*farSide;
    }
    if (!IsRed(w->first) && !IsRed(w->second)) {
      w->colour = kRed;
      x = parent;
      parent = x->parent;
    } else {
      if (!IsRed(w->*farSide)) {
        (w->*nearSide)->colour = kBlack;
        w->colour = kRed;
        Rotate(t, w, farSide, nearSide);
        w = parent->*farSide;
      }
      w->colour = parent->colour;
      parent->colour = kBlack;
      (w->*farSide)->colour = kBlack;
      Rotate(t, parent, nearSide, farSide);
      x = t.root;
      break;
    }
  }
  if (x) x->colour = kBlack;
}

}  // namespace

int MdbTreeInit(MdbTree_t& tree) {
  tree.root = nullptr;
  tree.count = 0;
  return tree.compare && tree.alloc && tree.keySize != 0 ? 9 : 1;
}

int MdbTreeFind(const MdbTree_t& tree, const void* key, MdbTreeNode_t*& node) {
  node = tree.root;
  if (!node) return 4;
  for (;;) {
    const int order = tree.compare(key, MdbTreeKey(node), tree.compareData);
    MdbTreeNode_t* next;
    if (order == 1)
      next = node->first;
    else if (order == 2)
      next = node->second;
    else if (order == 3)
      return 2;
    else
      return 0;
    if (!next) return 9;
    node = next;
  }
}

int MdbTreeLookup(const MdbTree_t& tree, const void* key, MdbTreeNode_t*& node) {
  MdbTreeNode_t* found = nullptr;
  if (MdbTreeFind(tree, key, found) == 2) {
    node = found;
    return 9;
  }
  node = nullptr;
  return 5;
}

int MdbTreeInsert(MdbTree_t& tree, const void* key, MdbTreeNode_t** out) {
  if (out) *out = nullptr;
  MdbTreeNode_t* parent = nullptr;
  const int found = MdbTreeFind(tree, key, parent);
  if (found == 0) return 0;
  if (found == 2) {
    if (out) *out = parent;
    return 2;
  }
  MdbTreeNode_t* node = tree.alloc(sizeof(MdbTreeNode_t) + tree.keySize, tree.allocData);
  if (!node) return 8;
  std::memmove(MdbTreeKey(node), key, tree.keySize);
  node->parent = found == 4 ? nullptr : parent;
  node->first = node->second = nullptr;
  node->colour = kRed;
  if (found == 4) {
    tree.root = node;
  } else if (tree.compare(key, MdbTreeKey(parent), tree.compareData) == 1) {
    parent->first = node;
  } else {
    parent->second = node;
  }
  InsertFix(tree, node);
  ++tree.count;
  if (out) *out = node;
  return 9;
}

int MdbTreeErase(MdbTree_t& tree, const void* key) {
  MdbTreeNode_t* z = nullptr;
  const int found = MdbTreeFind(tree, key, z);
  if (found == 0) return 0;
  if (found != 2) return 6;
  MdbTreeNode_t* x = nullptr;
  MdbTreeNode_t* xParent = nullptr;
  std::uint8_t removedColour = z->colour;
  if (!z->first) {
    x = z->second;
    xParent = z->parent;
    Replace(tree, z, z->second);
  } else if (!z->second) {
    x = z->first;
    xParent = z->parent;
    Replace(tree, z, z->first);
  } else {
    // The successor takes the node's place (links and colour); keys stay put.
    MdbTreeNode_t* y = z->second;
    while (y->first) y = y->first;
    removedColour = y->colour;
    x = y->second;
    if (y->parent == z) {
      xParent = y;
    } else {
      xParent = y->parent;
      Replace(tree, y, y->second);
      y->second = z->second;
      y->second->parent = y;
    }
    Replace(tree, z, y);
    y->first = z->first;
    y->first->parent = y;
    y->colour = z->colour;
  }
  if (removedColour == kBlack) EraseFix(tree, x, xParent);
  z->parent = z->first = z->second = nullptr;
  --tree.count;
  if (tree.release) tree.release(z, tree.allocData);
  return 9;
}

// ---- Tile cache -----------------------------------------------------------

namespace {

void FreeSlot(MdbDemSlot_t& slot) {
  delete[] slot.tile.heights;
  slot.tile.heights = nullptr;
  slot.tile.mapId = 0;
  slot.tile.flags = 0;
}

// Removes a slot's tile from the index and frees the slot.
int DropSlot(MdbDemCache_t& cache, MdbDemSlot_t& slot) {
  if (slot.tile.mapId != 0) {
    const MdbDemTile_t key = slot.tile;
    if (MdbTreeErase(cache.index, &key) != 9) return kMdbBadData;
  }
  FreeSlot(slot);
  return kMdbDone;
}

}  // namespace

MdbDemCache_t::~MdbDemCache_t() { MdbDemCacheClear(*this); }

int MdbDemTileCompare(const void* key, const void* nodeKey, void*) {
  const auto* a = static_cast<const MdbDemTile_t*>(key);
  const auto* b = static_cast<const MdbDemTile_t*>(nodeKey);
  if (a->mapId != b->mapId) return a->mapId < b->mapId ? 1 : 2;
  if (a->level != b->level) return a->level < b->level ? 1 : 2;
  if (a->tile != b->tile) return a->tile < b->tile ? 1 : 2;
  return 3;
}

MdbTreeNode_t* MdbDemSlotAlloc(std::size_t size, void* data) {
  auto* cache = static_cast<MdbDemCache_t*>(data);
  if (!cache || !cache->slots || size != sizeof(MdbDemSlot_t) || cache->allocHand >= cache->slotCount)
    return nullptr;
  return &cache->slots[cache->allocHand].node;
}

int MdbDemCacheClear(MdbDemCache_t& cache) {
  if (cache.slots)
    for (std::uint32_t i = 0; i < cache.slotCount; ++i) FreeSlot(cache.slots[i]);
  cache.slots.reset();
  cache.slotCount = 0;
  cache.allocHand = 0;
  cache.agingHand = 0;
  cache.index.root = nullptr;
  cache.index.count = 0;
  return kMdbDone;
}

int MdbDemCacheInit(MdbDemCache_t& cache, std::uint32_t slots) {
  MdbDemCacheClear(cache);
  if (slots == 0) return kMdbBadData;
  cache.index = MdbTree_t();
  cache.index.compare = &MdbDemTileCompare;
  cache.index.alloc = &MdbDemSlotAlloc;
  cache.index.allocData = &cache;
  cache.index.keySize = sizeof(MdbDemTile_t);
  if (MdbTreeInit(cache.index) != 9) return kMdbBadData;
  cache.slots.reset(new (std::nothrow) MdbDemSlot_t[slots]());
  if (!cache.slots) return kMdbNoMemory;
  cache.slotCount = slots;
  return kMdbDone;
}

int MdbDemCacheEvict(MdbDemCache_t& cache) {
  if (!cache.slots || cache.slotCount == 0) return kMdbBadData;
  for (;;) {
    MdbDemSlot_t& slot = cache.slots[cache.allocHand];
    if (slot.tile.mapId == 0 || !(slot.tile.flags & kMdbDemReferenced)) return DropSlot(cache, slot);
    slot.tile.flags = static_cast<std::uint8_t>(slot.tile.flags & ~kMdbDemReferenced);
    cache.allocHand = (cache.allocHand + 1) % cache.slotCount;
  }
}

int MdbDemCacheLoad(MdbDemCache_t& cache, MdbMap_t& map, std::uint32_t tile) {
  std::uint16_t height = 0, width = 0;
  bool lastCol = false, lastRow = false;
  int result = MdbDemTileSize(map, tile, height, width, lastCol, lastRow);
  if (result != kMdbDone) return result;
  const std::size_t values = static_cast<std::size_t>(width) * height;
  if (values * sizeof(std::int16_t) > kMdbDemMaxHeightBytes) return kMdbNoMemory;
  result = MdbDemCacheEvict(cache);
  if (result != kMdbDone) return result;
  const std::uint32_t at = cache.allocHand;
  MdbDemSlot_t& slot = cache.slots[at];
  slot.tile.flags = 0;
  slot.tile.level = map.dem.level;
  slot.tile.tile = tile;
  slot.tile.mapId = 0;  // free until it is in the index
  delete[] slot.tile.heights;
  slot.tile.heights = nullptr;
  // Held here until the tile is decoded: a read that fails, or an unavailable
  // medium passing through, frees it.
  std::unique_ptr<std::int16_t[]> heights(new (std::nothrow) std::int16_t[values]);
  for (std::uint32_t step = 1; !heights && step < cache.slotCount; ++step) {
    // Short of memory: free further tiles in clock order and try again.
    MdbDemSlot_t& other = cache.slots[(at + step) % cache.slotCount];
    if (other.tile.mapId == 0) continue;
    if (DropSlot(cache, other) != kMdbDone) return kMdbBadData;
    heights.reset(new (std::nothrow) std::int16_t[values]);
  }
  if (!heights) return kMdbNoMemory;
  slot.tile.width = width;
  slot.tile.height = height;
  if (lastCol) slot.tile.flags |= kMdbDemLastCol;
  if (lastRow) slot.tile.flags |= kMdbDemLastRow;
  result = MdbDemDecodeTile(heights.get(), map, tile);
  if (result != kMdbDone) return result;
  slot.tile.heights = heights.release();
  slot.tile.mapId = map.mapId;
  slot.tile.flags |= kMdbDemReferenced;
  if (MdbTreeInsert(cache.index, &slot.tile, nullptr) != 9) {
    FreeSlot(slot);
    return kMdbBadData;
  }
  cache.allocHand = (at + 1) % cache.slotCount;
  return kMdbDone;
}

int MdbDemCacheGet(MdbDemCache_t& cache, MdbMap_t& map, std::uint32_t tile, const MdbDemTile_t*& out) {
  out = nullptr;
  const MdbDem_t& dem = map.dem;
  if (!dem.file.IsOpen() || dem.level >= kMdbLevels || map.mapId == 0 || !cache.slots) return kMdbNotFound;
  const MdbDemLevel_t& l = dem.levels[dem.level];
  if (l.recordSize == 0 || l.tileWidth == 0 || l.tileHeight == 0 ||
      static_cast<std::uint64_t>(tile) >= static_cast<std::uint64_t>(l.tileCols) * l.tileRows)
    return kMdbNotFound;
  if (cache.index.count == cache.slotCount) {
    MdbDemTile_t& aged = cache.slots[cache.agingHand].tile;
    if (aged.mapId != 0) aged.flags = static_cast<std::uint8_t>(aged.flags & ~kMdbDemReferenced);
    cache.agingHand = (cache.agingHand + 1) % cache.slotCount;
  }
  MdbDemTile_t key;
  key.mapId = map.mapId;
  key.level = dem.level;
  key.tile = tile;
  MdbTreeNode_t* node = nullptr;
  if (MdbTreeLookup(cache.index, &key, node) == 9) {
    auto* found = static_cast<MdbDemTile_t*>(MdbTreeKey(node));
    found->flags |= kMdbDemReferenced;
    out = found;
    return kMdbDone;
  }
  const int result = MdbDemCacheLoad(cache, map, tile);
  if (result != kMdbDone) return result;
  key.mapId = map.mapId;
  if (MdbTreeLookup(cache.index, &key, node) != 9) return kMdbBadData;
  out = static_cast<MdbDemTile_t*>(MdbTreeKey(node));
  return kMdbDone;
}

// ---- Sampling -------------------------------------------------------------

std::int32_t MdbDemElevation(std::int16_t stored, bool metres) {
  if (stored == kMdbDemNoData) return kMdbElevNoData;
  if (stored == kMdbDemWater) return kMdbElevWater;
  return static_cast<std::int32_t>(stored) * (metres ? 256 : 78);
}

std::int32_t MdbDemInterpolate(std::uint32_t fx, std::uint32_t fy, const std::int32_t corners[4]) {
  fx &= 0xFFFF;
  fy &= 0xFFFF;
  const std::int32_t nearest = corners[(fx >= 0x8000 ? 1 : 0) + (fy >= 0x8000 ? 2 : 0)];
  if (nearest == kMdbElevNoData || nearest == kMdbElevWater) return nearest;
  std::int64_t c[4];
  for (int i = 0; i < 4; ++i)
    c[i] = (corners[i] == kMdbElevNoData || corners[i] == kMdbElevWater) ? nearest : corners[i];
  const std::int64_t left = c[0] * 256 + (((c[2] - c[0]) * static_cast<std::int64_t>(fy)) >> 8);
  const std::int64_t right = c[1] * 256 + (((c[3] - c[1]) * static_cast<std::int64_t>(fy)) >> 8);
  const std::int64_t s = left + (((right - left) * static_cast<std::int64_t>(fx)) >> 16);
  const std::int64_t r = s >= 0 ? ((s >> 7) + 1) >> 1 : ((s >> 7) - 1) >> 1;
  if (r < -0x7FFFFFFF || r > 0x7FFFFFFF) return kMdbElevNoData;
  return static_cast<std::int32_t>(r);
}

int MdbDemGetElevation(MdbDemCache_t& cache, MdbMap_t& map, const MdbDemPoint_t& point, std::int32_t& out,
                       bool interpolate) {
  out = kMdbElevNoData;
  if (!map.dem.file.IsOpen()) return kMdbNotFound;
  const bool metres = map.dem.metres != 0;
  if (!interpolate) {
    const MdbDemTile_t* t = nullptr;
    const int result = MdbDemCacheGet(cache, map, point.tile, t);
    if (result != kMdbDone) return result;
    if (!t->heights) return kMdbNoMemory;
    const std::int32_t r = point.y >> 16;
    const std::int32_t c = point.x >> 16;
    if (r < 0 || c < 0 || r >= t->height || c >= t->width) return kMdbDone;
    out = MdbDemElevation(t->heights[static_cast<std::size_t>(r) * t->width + c], metres);
    return kMdbDone;
  }
  if (map.dem.level >= kMdbLevels) return kMdbNotFound;
  const MdbDemLevel_t& l = map.dem.levels[map.dem.level];
  const bool wraps = l.east == 0x7FFFFFFF && l.west == static_cast<std::int32_t>(0x80000000u);
  std::int32_t corners[4] = {kMdbElevNoData, kMdbElevNoData, kMdbElevNoData, kMdbElevNoData};
  const MdbDemTile_t* previous = nullptr;
  std::uint8_t flags0 = 0;
  for (int i = 0; i < 4; ++i) {
    std::int64_t tile = point.tile;
    std::int64_t col = static_cast<std::int64_t>(point.x >> 16) + i % 2;
    std::int64_t row = static_cast<std::int64_t>(point.y >> 16) + i / 2;
    if (i > 0) {
      if (!(flags0 & kMdbDemLastCol)) {
        if (col >= l.tileWidth) {
          col -= l.tileWidth;
          tile += 1;
        }
      } else if (wraps && col >= l.lastColWidth) {
        tile -= tile % l.tileCols;
        col = 0;
      }
      if (!(flags0 & kMdbDemLastRow) && row >= l.tileHeight) {
        row -= l.tileHeight;
        tile += l.tileCols;
      }
    }
    const MdbDemTile_t* t = previous;
    if (!t || t->mapId != map.mapId || t->level != map.dem.level || t->tile != tile) {
      if (tile < 0 || tile > 0xFFFFFFFFll) return kMdbNotFound;
      const int result = MdbDemCacheGet(cache, map, static_cast<std::uint32_t>(tile), t);
      if (result != kMdbDone) return result;
    }
    if (!t->heights) return kMdbBadData;
    previous = t;
    if (i == 0) flags0 = t->flags;
    if (row >= 0 && col >= 0 && row < t->height && col < t->width)
      corners[i] = MdbDemElevation(t->heights[static_cast<std::size_t>(row) * t->width + col], metres);
    else
      corners[i] = corners[0];
  }
  out = MdbDemInterpolate(static_cast<std::uint32_t>(point.x) & 0xFFFF, static_cast<std::uint32_t>(point.y) & 0xFFFF,
                          corners);
  return kMdbDone;
}

int MdbDemLocate(const MdbMap_t& map, const MdbPoint_t& position, bool keepFractions, MdbDemGridPos_t& out) {
  out = MdbDemGridPos_t();
  if (map.dem.level >= kMdbLevels) return kMdbNotFound;
  const MdbDemLevel_t& l = map.dem.levels[map.dem.level];
  if (l.tileWidth == 0 || l.tileHeight == 0 || l.tileCols == 0 || l.tileRows == 0 || l.latStep <= 0 ||
      l.lonStep <= 0)
    return kMdbNotFound;
  std::int64_t lon = position.lon;
  while (lon < l.west) lon += 0x100000000ll;
  const std::int64_t bigX = ((lon - l.west) * 65536) / l.lonStep;
  const std::int32_t dLat = static_cast<std::int32_t>(static_cast<std::uint32_t>(l.north) -
                                                      static_cast<std::uint32_t>(position.lat));
  const std::int64_t bigY = (static_cast<std::int64_t>(dLat) * 65536) / l.latStep;
  auto round = [](std::int64_t v) { return v >= 0 ? ((v >> 15) + 1) >> 1 : ((v >> 15) - 1) >> 1; };
  const std::int64_t col = keepFractions ? bigX >> 16 : round(bigX);
  const std::int64_t row = keepFractions ? bigY >> 16 : round(bigY);
  // Positions west or north of the grid fall in its first tile with a
  // negative offset, so that they sample as no data.
  const std::int64_t tileRow = std::clamp<std::int64_t>(row < 0 ? 0 : row / l.tileHeight, 0, l.tileRows - 1);
  const std::int64_t tileCol = std::clamp<std::int64_t>(col < 0 ? 0 : col / l.tileWidth, 0, l.tileCols - 1);
  std::int64_t y = (row - tileRow * l.tileHeight) * 65536;
  std::int64_t x = (col - tileCol * l.tileWidth) * 65536;
  if (keepFractions) {
    y += bigY & 0xFFFF;
    x += bigX & 0xFFFF;
  }
  out.y = static_cast<std::int32_t>(std::clamp<std::int64_t>(y, INT32_MIN, INT32_MAX));
  out.x = static_cast<std::int32_t>(std::clamp<std::int64_t>(x, INT32_MIN, INT32_MAX));
  out.tileRow = static_cast<std::int32_t>(tileRow);
  out.tileCol = static_cast<std::int32_t>(tileCol);
  return kMdbDone;
}

}  // namespace mpl
