// The block cache and the partition's opening: LRU order, media reads, the
// checksum accumulator of loaded blocks, the root directory's own records.
#include <gtest/gtest.h>

#include <numeric>

#include "dsk/DSK_Cache.h"
#include "dsk/DSK_Directory.h"
#include "dsk/DSK_Disk.h"
#include "dsk/DSK_Exception.h"
#include "dsk/DSK_File.h"
#include "dsk/DSK_FileBuffer.h"
#include "dsk/DSK_Partition.h"
#include "tests/imgkit/ImageBuilder.h"
#include "tests/imgkit/MemoryMedia.h"

namespace {

using imgkit::ImageBuilder_t;
using imgkit::MemoryMedia_t;

// 32 blocks of 512 bytes; block n holds the byte n throughout.
std::string Blocks(unsigned count = 32) {
  std::string s;
  for (unsigned n = 0; n < count; ++n) s.append(512, static_cast<char>(n));
  return s;
}

std::vector<std::uint32_t> Range(std::uint32_t from, std::uint32_t to) {
  std::vector<std::uint32_t> v;
  for (std::uint32_t n = from; n < to; ++n) v.push_back(n);
  return v;
}

TEST(CacheTest, LeastRecentlyUsedBlockLeaves) {
  MemoryMedia_t media(Blocks(), true);
  dsk::Cache_t cache(media, 8, 32, 9, 0, 0);
  std::uint8_t block[512];
  for (std::uint32_t n = 0; n < 8; ++n) cache.ReadBlock(n, block);
  EXPECT_EQ(8u, media.Reads());
  // The working set fits: touching it again reads nothing.
  for (std::uint32_t n : {3u, 0u, 7u, 3u}) cache.ReadBlock(n, block);
  EXPECT_EQ(8u, media.Reads());
  EXPECT_EQ(3u, cache.CachedBlocks().front());

  cache.ReadBlock(8, block);  // block 1 is now the oldest
  const auto held = cache.CachedBlocks();
  EXPECT_EQ(std::vector<std::uint32_t>({8, 3, 7, 0, 6, 5, 4, 2}), held);
  cache.ReadBlock(1, block);
  EXPECT_EQ(10u, media.Reads());
  EXPECT_EQ(1, block[0]);
}

TEST(CacheTest, InOrderPastCapacityEvictsTheFirst) {
  MemoryMedia_t media(Blocks(), true);
  dsk::Cache_t cache(media, 8, 32, 9, 0, 0);
  std::uint8_t block[512];
  for (std::uint32_t n = 0; n <= 8; ++n) cache.ReadBlock(n, block);
  EXPECT_EQ(Range(1, 9), [&] {
    auto v = cache.CachedBlocks();
    std::sort(v.begin(), v.end());
    return v;
  }());
  cache.ReadBlock(0, block);
  EXPECT_EQ(10u, media.Reads());
}

TEST(CacheTest, TouchingTheNewestBlockLeavesTheStamps) {
  MemoryMedia_t media(Blocks(), true);
  dsk::Cache_t cache(media, 8, 32, 9, 0, 0);
  std::uint8_t block[512];
  cache.ReadBlock(5, block);
  const auto stamp = cache.StampCounter();
  cache.ReadBlock(5, block);
  cache.GetBlock(5);
  EXPECT_EQ(stamp, cache.StampCounter());
  EXPECT_EQ(1u, media.Reads());
}

TEST(CacheTest, StampsPastThirtyTwoBits) {
  MemoryMedia_t media(Blocks(), true);
  dsk::Cache_t cache(media, 4, 32, 9, 0, 0);
  cache.SetStampCounter(0xFFFFFFFFull - 2);
  std::uint8_t block[512];
  for (std::uint32_t n = 0; n < 4; ++n) cache.ReadBlock(n, block);  // stamps cross 2^32
  cache.ReadBlock(0, block);
  cache.ReadBlock(9, block);  // block 1 is the oldest, whatever its stamp's low bits
  auto held = cache.CachedBlocks();
  EXPECT_EQ(std::vector<std::uint32_t>({9, 0, 3, 2}), held);
}

TEST(CacheTest, BlocksAtTheEndOfTheMedium) {
  // 2.5 blocks of data: block 2 is cut short, block 3 lies wholly past the end.
  std::string bytes = Blocks(3);
  bytes.resize(1024 + 256);
  MemoryMedia_t media(bytes, true);
  dsk::Cache_t cache(media, 8, 32, 9, 0, 0);
  std::uint8_t block[512];

  cache.ReadBlock(3, block);
  EXPECT_TRUE(std::all_of(block, block + 512, [](std::uint8_t b) { return b == 0xFF; }));
  EXPECT_EQ(0, cache.Accumulator());

  cache.ReadBlock(2, block);
  EXPECT_EQ(2, block[255]);
  EXPECT_EQ(0xFF, block[256]);
  EXPECT_EQ(static_cast<std::uint8_t>(256 * 2 + 256 * 0xFF), cache.Accumulator());
  cache.ReleaseAll();
  EXPECT_EQ(0, cache.Accumulator());
}

TEST(CacheTest, XorByteIsUndoneOnLoad) {
  std::string bytes = Blocks(2);
  for (char& c : bytes) c ^= 0x5A;
  MemoryMedia_t media(bytes, true);
  dsk::Cache_t cache(media, 8, 2, 9, 0x5A, 0);
  std::uint8_t block[512];
  cache.ReadBlock(1, block);
  EXPECT_EQ(1, block[0]);
  EXPECT_EQ(1, block[511]);
}

TEST(CacheTest, BlockRangeOnReadOnlyMedia) {
  MemoryMedia_t media(Blocks(), true);
  dsk::Cache_t cache(media, 8, 4, 9, 0, 0);
  std::uint8_t block[512];
  EXPECT_THROW(cache.ReadBlock(5, block), glo::Assert_t);
  EXPECT_THROW(cache.ReadBlock(4, block), dsk::BadFile_t);
  EXPECT_THROW(cache.WriteBlock(0, block), dsk::BadFile_t);
  EXPECT_EQ(4u, cache.BlockCount());
}

TEST(PartitionTest, RootDirectoryOwnRecords) {
  {  // No own records: an empty root of size 0.
    ImageBuilder_t b;
    b.rootOwnRecords = false;
    MemoryMedia_t media(b.Build(), true);
    dsk::Disk_t disk(media, 8);
    auto& p = disk.GetPrivPartition(0);
    EXPECT_EQ(0u, p.RootFile().Size());
    EXPECT_EQ(0u, p.GetRootDirectory().Count());
    EXPECT_EQ(std::uint64_t(256) * 512, p.GetFreeSpace());
  }
  struct Case_t {
    const char* what;
    std::vector<std::uint8_t> parts;
    std::uint8_t attributes;
  };
  for (const Case_t& c : {Case_t{"parts 0, 2", {0, 2}, 3}, Case_t{"attributes 1", {}, 1},
                          Case_t{"attributes 2", {}, 2}, Case_t{"starts at part 1", {1}, 3}}) {
    ImageBuilder_t b;
    b.rootBlocks = 250 * 2;  // two own records
    b.blockCount = 600;
    b.rootOwnParts = c.parts;
    b.rootOwnAttributes = c.attributes;
    MemoryMedia_t media(b.Build(), true);
    dsk::Disk_t disk(media, 8);
    EXPECT_THROW(disk.GetPartition(0), dsk::BadStream_t) << c.what;
  }
}

TEST(PartitionTest, SpaceAndBlocksInUse) {
  ImageBuilder_t b;
  b.e2 = 1;
  b.blockCount = 100;
  b.files = {imgkit::File("A.B", std::string(3000, 'a')), imgkit::File("C", "")};
  MemoryMedia_t media(b.Build(), true);
  dsk::Disk_t disk(media, 8);
  auto& p = disk.GetPrivPartition(0);
  const std::uint32_t root = p.RootFile().Blocks().size();
  EXPECT_EQ(std::uint64_t(root + 3) * 1024, p.GetUsedSpace());
  EXPECT_EQ(std::uint64_t(100) * 1024, p.GetUsedSpace() + p.GetFreeSpace());
  EXPECT_TRUE(p.IsUsed(0));
  EXPECT_FALSE(p.IsUsed(99));
  EXPECT_THROW(p.IsUsed(100), glo::Assert_t);
  std::uint8_t block[1024];
  EXPECT_THROW(p.ReadBlock(99, block), glo::Assert_t);
}

TEST(PartitionTest, BlockLargerThanTheMedium) {
  ImageBuilder_t b;
  b.e2 = 5;  // 16 KB blocks
  b.blockCount = 4;
  std::string image = b.Build();
  image.resize(8192);
  MemoryMedia_t media(image, true);
  dsk::Disk_t disk(media, 8);
  EXPECT_THROW(disk.GetPartition(0), dsk::BadStream_t);
}

TEST(PartitionTest, RecordsOutsideThePartitionAreRefused) {
  // The root's own records fill the partition: the next record would lie in
  // a block past its end.
  ImageBuilder_t b;
  b.blockCount = 2;
  b.directoryStart = 1;
  b.rootBlocks = 2;
  MemoryMedia_t media(b.Build(), true);
  dsk::Disk_t disk(media, 8);
  EXPECT_THROW(disk.GetPartition(0), dsk::BadStream_t);
}

}  // namespace
