#pragma once
// A partition of an image: a flat file system of fixed-size blocks with a block
// bitmap, a block cache and a root directory on consecutive blocks from block 0.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dsk/DSK_Cache.h"
#include "dsk/DSK_FirstImageSector.h"
#include "glo/GLO_NonCopyable.h"

namespace dsk {

class Directory_t;
class FileBuffer_t;
class Media_t;

class Partition_t {
 public:
  // A fresh empty file system whose root directory just holds files of these sizes.
  virtual void FormatForFiles(const std::vector<std::uint32_t>& sizes) = 0;
  // A fresh empty file system whose root directory occupies blocks 0 to n - 1.
  virtual void Format(std::uint32_t rootBlocks) = 0;
  virtual void FormatDefault() = 0;
  virtual Directory_t& GetRootDirectory() = 0;
  virtual std::uint64_t GetFreeSpace() const = 0;
  virtual std::uint64_t GetUsedSpace() const = 0;
  virtual std::string GetDescription() const = 0;

 protected:
  ~Partition_t() = default;
};

class PrivPartition_t final : public Partition_t, glo::NonCopyable_t {
 public:
  // Opens the partition of 'sectorCount' sectors that starts at sector
  // 'relativeStart' of the image.
  PrivPartition_t(Media_t& media, unsigned cacheBlocks, std::uint32_t relativeStart, std::uint32_t sectorCount,
                  std::uint8_t xorByte);
  ~PrivPartition_t();

  void FormatForFiles(const std::vector<std::uint32_t>& sizes) override;
  void Format(std::uint32_t rootBlocks) override;
  void FormatDefault() override;
  Directory_t& GetRootDirectory() override;
  std::uint64_t GetFreeSpace() const override;
  std::uint64_t GetUsedSpace() const override;
  std::string GetDescription() const override;

  const BootRecord_t& Boot() const { return m_boot; }
  std::uint32_t BlockSize() const { return m_cache.BlockSize(); }
  unsigned BlockShift() const { return m_cache.Exponent(); }
  std::uint32_t BlockCount() const { return static_cast<std::uint32_t>(m_free.size()); }
  Cache_t& Cache() { return m_cache; }
  FileBuffer_t& RootFile() const;

  // The block bitmap.
  bool IsUsed(std::uint32_t n) const;
  void MarkUsed(std::uint32_t n);
  // The lowest free block, now used (dsk::DiskFull_t when none is free).
  std::uint32_t AllocateBlock();
  // Frees a used block and overwrites it with 0xFF.
  void FreeBlock(std::uint32_t n);

  // Blocks through the cache; each must be in use.
  void ReadBlock(std::uint32_t n, void* destination);
  const std::uint8_t* BlockPointer(std::uint32_t n);
  void WriteBlock(std::uint32_t n, const void* source);

 private:
  void ReadRootFile();

  BootRecord_t m_boot;
  Cache_t m_cache;
  std::vector<bool> m_free;
  std::unique_ptr<FileBuffer_t> m_rootFile;
  std::unique_ptr<Directory_t> m_root;
};

}  // namespace dsk
