// Decoding rows and looking up cached tiles allocate nothing; a miss
// allocates only the tile's height array. Counted by the program's own
// allocation functions while a test has counting switched on. The image's
// block cache keeps its own books on every read, so the decoder here reads
// its chunks through a read callback over the sub-file's bytes in memory.
#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

#include "mpl/MPL_DemCache.h"
#include "tests/mpl/DemFixture.h"

namespace {

std::atomic<bool> g_counting{false};
std::atomic<long> g_allocations{0};

const std::string* g_dem = nullptr;

int MemoryChunk(std::uint8_t* destination, std::uint32_t length, std::uint32_t& position, mpl::MdbMap_t&) {
  if (!g_dem || position > g_dem->size()) return 3;
  const std::uint32_t n = std::min<std::uint32_t>(length, static_cast<std::uint32_t>(g_dem->size()) - position);
  std::memcpy(destination, g_dem->data() + position, n);
  std::memset(destination + n, 0, length - n);
  position += n;
  return 0;
}

struct Counting_t {
  Counting_t() {
    g_allocations = 0;
    g_counting = true;
  }
  ~Counting_t() { g_counting = false; }
  long Count() const { return g_allocations.load(); }
};

}  // namespace

// Every form of the global allocation functions is replaced, so that memory
// of any form comes back to the same allocator (the library's nothrow and
// aligned forms would otherwise hand out memory that ours free).
namespace {

void* Allocate(std::size_t size, std::size_t alignment = 0) noexcept {
  if (g_counting) ++g_allocations;
  if (size == 0) size = 1;
  if (alignment <= alignof(std::max_align_t)) return std::malloc(size);
  return std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
}

void* AllocateOrThrow(std::size_t size, std::size_t alignment = 0) {
  if (void* p = Allocate(size, alignment)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t n) { return AllocateOrThrow(n); }
void* operator new[](std::size_t n) { return AllocateOrThrow(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return Allocate(n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return Allocate(n); }
void* operator new(std::size_t n, std::align_val_t a) { return AllocateOrThrow(n, static_cast<std::size_t>(a)); }
void* operator new[](std::size_t n, std::align_val_t a) { return AllocateOrThrow(n, static_cast<std::size_t>(a)); }
void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return Allocate(n, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return Allocate(n, static_cast<std::size_t>(a));
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

TEST(DemAllocTest, DecodingAndLookupsAllocateNothing) {
  imgkit::DemBuilder_t b;
  imgkit::DemLevel_t l = demtest::Level(32, 3, 3, 32);
  l.recordFlags = 0x09;
  for (std::uint32_t n = 0; n < 9; ++n) {
    imgkit::DemTile_t t;
    t.values = demtest::Surface(32, 32, 2000, n);
    t.maxDiff = 2000;
    l.tiles.push_back(t);
  }
  l.highest = 30000;
  b.levels = {l};
  const std::string dem = b.Build();
  g_dem = &dem;
  {
    demtest::DemMap_t d;
    ASSERT_EQ(0, d.Open(dem));
    ASSERT_EQ(0, d.Select(0));  // the tile table lies in the buffer
    ASSERT_NE(nullptr, d.map.dem.table);
    d.map.dem.state->read = &MemoryChunk;
    {
      Counting_t counting;
      for (std::uint32_t n = 0; n < 9; ++n)
        for (std::uint16_t r = 0; r < 32; r += 3) ASSERT_EQ(0, mpl::MdbDemGetRow(d.map, n, r));
      ASSERT_EQ(0, mpl::MdbDemGetRow(d.map, 0, 1));  // back: the tile starts over
      EXPECT_EQ(0, counting.Count());
    }
    mpl::MdbDemCache_t cache;
    ASSERT_EQ(0, mpl::MdbDemCacheInit(cache, 16));
    const mpl::MdbDemTile_t* t = nullptr;
    {
      Counting_t counting;
      ASSERT_EQ(0, mpl::MdbDemCacheGet(cache, d.map, 4, t));
      EXPECT_EQ(1, counting.Count());  // the height array
    }
    for (std::uint32_t n = 0; n < 9; ++n) ASSERT_EQ(0, mpl::MdbDemCacheGet(cache, d.map, n, t));
    {
      Counting_t counting;
      std::int32_t out = 0;
      for (std::uint32_t n = 0; n < 9; ++n) {
        ASSERT_EQ(0, mpl::MdbDemCacheGet(cache, d.map, n, t));
        ASSERT_EQ(0, mpl::MdbDemGetElevation(cache, d.map, mpl::MdbDemPoint_t{n, 0x1F8000, 0x1F8000}, out, true));
        ASSERT_EQ(0, mpl::MdbDemGetElevation(cache, d.map, mpl::MdbDemPoint_t{n, 0x48000, 0x58000}, out, false));
      }
      mpl::MdbDemGridPos_t pos;
      ASSERT_EQ(0, mpl::MdbDemLocate(d.map, mpl::MdbPoint_t{d.map.dem.levels[0].north - 1000, 5000}, true, pos));
      EXPECT_EQ(0, counting.Count());
    }
  }
  g_dem = nullptr;
}

}  // namespace
