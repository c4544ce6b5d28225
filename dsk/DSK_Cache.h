#pragma once
// The block cache of one partition: blocks are read from the medium once while
// they stay among the most recently used, decoded from the image's XOR byte,
// and written back when they leave. The cache also keeps the checksum
// accumulator that tells how much the image's checksum byte must change.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

#include "glo/GLO_NonCopyable.h"

namespace dsk {

class Media_t;

struct CacheBlock_t {
  std::uint64_t offset = 0;      // byte offset in the image
  bool dirty = false;
  std::vector<std::uint8_t> data;  // decoded
  std::uint8_t contributed = 0;  // what loading the block added to the accumulator
  std::uint32_t bytesRead = 0;   // bytes that the medium held when it was loaded
  std::uint8_t readSum = 0;      // their byte sum
};

class Cache_t : glo::NonCopyable_t {
 public:
  // 'partitionBytes' is the length the partition table gives the partition:
  // no block is written beyond it (by default there is no such bound).
  Cache_t(Media_t& media, unsigned capacity, std::uint32_t blockCount, unsigned exponent, std::uint8_t xorByte,
          std::uint64_t partitionOffset, std::uint64_t partitionBytes = UINT64_MAX);
  // Releases every block; a failing write-back is swallowed here only.
  ~Cache_t();

  // Block n, loaded when it is not cached.
  CacheBlock_t& GetBlock(std::uint32_t n);
  // Copies block n; n equal to the block count extends the partition by one.
  void ReadBlock(std::uint32_t n, void* destination);
  // Overwrites block n and marks it dirty (dsk::BadFile_t on read-only media,
  // dsk::DiskFull_t for a block that does not lie within the partition).
  void WriteBlock(std::uint32_t n, const void* source);
  // Whether block n lies wholly within the partition's sectors.
  bool Holds(std::uint32_t n) const;

  // Releases every cached block, writing back the dirty ones. A failing
  // write-back keeps its block cached and throws.
  void ReleaseAll();

  std::uint8_t Accumulator() const { return m_accumulator; }
  bool IsDirty() const { return m_dirty; }
  std::uint32_t BlockCount() const { return m_blockCount; }
  std::uint32_t BlockSize() const { return std::uint32_t(1) << m_exponent; }
  unsigned Exponent() const { return m_exponent; }
  unsigned Capacity() const { return m_capacity; }
  bool IsReadOnly() const;

  // The numbers of the cached blocks, most recently used first.
  std::vector<std::uint32_t> CachedBlocks() const;
  // The use-stamp counter (tests move it near the limits of narrower counters).
  std::uint64_t StampCounter() const { return m_counter; }
  void SetStampCounter(std::uint64_t value) { m_counter = value; }

 private:
  struct Entry_t {
    std::uint64_t stamp;
    std::unique_ptr<CacheBlock_t> block;
  };

  std::unique_ptr<CacheBlock_t> Load(std::uint32_t n);
  void Release(CacheBlock_t& block);
  void WriteBack(CacheBlock_t& block);
  void Evict(std::map<std::uint64_t, std::uint32_t>::iterator oldest);

  Media_t& m_media;
  unsigned m_capacity;
  std::uint32_t m_blockCount;
  unsigned m_exponent;
  std::uint8_t m_xor;
  std::uint64_t m_offset;
  std::uint64_t m_partitionBytes;
  std::uint8_t m_accumulator = 0;
  bool m_dirty = false;
  std::uint64_t m_counter = 0;
  std::unordered_map<std::uint32_t, Entry_t> m_byBlock;
  std::map<std::uint64_t, std::uint32_t> m_byStamp;  // oldest first
};

}  // namespace dsk
