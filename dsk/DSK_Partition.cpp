#include "dsk/DSK_Partition.h"

#include <algorithm>
#include <cstring>

#include "dsk/DSK_Bytes.h"
#include "dsk/DSK_Directory.h"
#include "dsk/DSK_Exception.h"
#include "dsk/DSK_FileBuffer.h"
#include "dsk/DSK_Media.h"
#include "dsk/DSK_PartitionParams.h"

namespace dsk {

namespace {

struct PartitionStart_t {
  std::uint64_t offset;
  BootRecord_t boot;
};

// Reads and checks the partition's own first sector; an offset beyond the
// medium is malformed.
PartitionStart_t ReadStart(Media_t& media, std::uint32_t relativeStart, std::uint8_t xorByte) {
  const std::uint64_t offset = std::uint64_t(relativeStart) * kSectorSize;
  if (offset >= media.Size()) throw BadStream_t(GLO_SRC);
  std::uint8_t sector[kSectorSize] = {};
  media.Seek(offset);
  std::uint32_t got = 0;
  while (got < kSectorSize) {
    const std::uint32_t n = media.Read(sector + got, kSectorSize - got);
    if (n == 0) break;
    got += n;
  }
  XorBytes(sector, got, xorByte);
  const BootRecord_t boot(sector);
  // A block larger than the whole medium would only cost memory: no image
  // holds one.
  if ((std::uint64_t(1) << boot.BlockExponent()) > media.Size()) throw BadStream_t(GLO_SRC);
  return PartitionStart_t{offset, boot};
}

}  // namespace

PrivPartition_t::PrivPartition_t(Media_t& media, unsigned cacheBlocks, std::uint32_t relativeStart,
                                 std::uint32_t sectorCount, std::uint8_t xorByte)
    : m_boot(ReadStart(media, relativeStart, xorByte).boot),
      m_cache(media, cacheBlocks, m_boot.BlockCount(), m_boot.BlockExponent(), xorByte,
              std::uint64_t(relativeStart) * kSectorSize, std::uint64_t(sectorCount) * kSectorSize),
      m_free(m_boot.BlockCount(), true) {
  ReadRootFile();
  m_root = std::make_unique<Directory_t>(*m_rootFile);
}

PrivPartition_t::~PrivPartition_t() = default;

void PrivPartition_t::ReadRootFile() {
  const std::uint32_t mask = BlockSize() - 1;
  std::uint64_t p = std::uint64_t(m_boot.DirectoryStartSector()) * kRecordSize;
  unsigned part = 0;
  std::uint32_t size = 0;
  std::vector<std::uint16_t> blocks;
  for (;;) {
    const std::uint64_t block = p >> BlockShift();
    if (block >= BlockCount()) throw BadStream_t(GLO_SRC);
    const std::uint8_t* record = m_cache.GetBlock(static_cast<std::uint32_t>(block)).data.data() + (p & mask);
    if (record[0] != 1 || !RecordName(record).empty()) break;
    if (record[17] != part) throw BadStream_t(GLO_SRC);
    if (part == 0) {
      if ((record[16] & 3) != 3) throw BadStream_t(GLO_SRC);
      size = GetU32(record + 12);
    }
    for (unsigned i = 0; i < kBlocksPerRecord; ++i) {
      const std::uint16_t b = GetU16(record + 32 + 2 * i);
      if (b == 0xFFFF) break;
      blocks.push_back(b);
    }
    ++part;
    p += kRecordSize;
  }
  m_rootFile = std::make_unique<FileBuffer_t>(*this, nullptr, std::string(), size, kAttrDirectory | kAttrReadOnly,
                                              blocks);
}

FileBuffer_t& PrivPartition_t::RootFile() const {
  GLO_ASSERT(m_rootFile != nullptr);
  return *m_rootFile;
}

Directory_t& PrivPartition_t::GetRootDirectory() {
  GLO_ASSERT(m_root != nullptr);
  return *m_root;
}

std::uint64_t PrivPartition_t::GetFreeSpace() const {
  GLO_ASSERT(m_root != nullptr);
  return std::uint64_t(std::count(m_free.begin(), m_free.end(), true)) * BlockSize();
}

std::uint64_t PrivPartition_t::GetUsedSpace() const {
  GLO_ASSERT(m_root != nullptr);
  return std::uint64_t(std::count(m_free.begin(), m_free.end(), false)) * BlockSize();
}

std::string PrivPartition_t::GetDescription() const { return m_boot.Description(); }

bool PrivPartition_t::IsUsed(std::uint32_t n) const {
  GLO_ASSERT(n < m_free.size());
  return !m_free[n];
}

void PrivPartition_t::MarkUsed(std::uint32_t n) {
  GLO_ASSERT(n < m_free.size());
  m_free[n] = false;
}

std::uint32_t PrivPartition_t::AllocateBlock() {
  const auto it = std::find(m_free.begin(), m_free.end(), true);
  if (it == m_free.end()) throw DiskFull_t(GLO_SRC);
  *it = false;
  return static_cast<std::uint32_t>(it - m_free.begin());
}

void PrivPartition_t::FreeBlock(std::uint32_t n) {
  GLO_ASSERT(IsUsed(n));
  m_free[n] = true;
  // A block beyond the partition's sectors has nothing on the medium to blank.
  if (!m_cache.Holds(n)) return;
  const std::vector<std::uint8_t> blank(BlockSize(), 0xFF);
  m_cache.WriteBlock(n, blank.data());
}

void PrivPartition_t::ReadBlock(std::uint32_t n, void* destination) {
  GLO_ASSERT(IsUsed(n));
  m_cache.ReadBlock(n, destination);
}

const std::uint8_t* PrivPartition_t::BlockPointer(std::uint32_t n) {
  GLO_ASSERT(IsUsed(n));
  return m_cache.GetBlock(n).data.data();
}

void PrivPartition_t::WriteBlock(std::uint32_t n, const void* source) {
  GLO_ASSERT(IsUsed(n));
  m_cache.WriteBlock(n, source);
}

void PrivPartition_t::Format(std::uint32_t rootBlocks) {
  GLO_ASSERT(rootBlocks != 0);
  const std::uint64_t start = std::uint64_t(m_boot.DirectoryStartSector()) * kRecordSize;
  const std::uint64_t rootBytes = std::uint64_t(rootBlocks) * BlockSize();
  // The root must hold the reserved sectors and at least one record after them.
  if (start == 0 || rootBytes < start + kRecordSize || rootBlocks > BlockCount()) throw glo::OutOfRange_t(GLO_SRC);
  if (m_root && m_root->AnyOpen()) throw FileIsOpen_t(GLO_SRC, std::string());
  if (m_rootFile && m_rootFile->OpenCount() != 0) throw FileIsOpen_t(GLO_SRC, std::string());
  if (m_cache.IsReadOnly()) throw BadFile_t(GLO_SRC, std::string());

  m_root.reset();
  m_rootFile.reset();
  std::fill(m_free.begin(), m_free.end(), true);
  m_rootFile = std::make_unique<FileBuffer_t>(*this, nullptr, std::string(), 0, kAttrDirectory,
                                              std::vector<std::uint16_t>());
  FileBuffer_t& root = *m_rootFile;
  root.Open(kModeWrite);
  try {
    std::uint64_t position = kSectorSize;
    const std::vector<std::uint8_t> zeros(start - kSectorSize, 0);
    root.Write(zeros.data(), static_cast<std::uint32_t>(zeros.size()), position);
    position = start;
    const std::vector<std::uint8_t> fill(BlockSize(), 0xFF);
    while (position < rootBytes) {
      const auto chunk = static_cast<std::uint32_t>(std::min<std::uint64_t>(fill.size(), rootBytes - position));
      root.Write(fill.data(), chunk, position);
    }
    position = start;
    const std::uint64_t records = rootBytes / kRecordSize - start / kRecordSize;
    const unsigned own = RecordsNeeded(root.Blocks().size());
    std::vector<std::uint8_t> freeRecord(kRecordSize, 0xFF);
    freeRecord[0] = 0;
    for (std::uint64_t k = 0; k < records; ++k) {
      if (k < own) {
        const auto record = BuildRecord(std::string(), root.Size(), k == 0 ? kAttrDirectory | kAttrReadOnly : 0xFF,
                                        static_cast<unsigned>(k), root.Blocks());
        auto bytes = record;
        if (k > 0) PutU32(&bytes[12], 0xFFFFFFFF);
        root.Write(bytes.data(), kRecordSize, position);
      } else {
        root.Write(freeRecord.data(), kRecordSize, position);
      }
    }
  } catch (...) {
    try {
      root.Close();
    } catch (...) {
    }
    throw;
  }
  root.Close();
  root.ForceReadOnly(true);
  m_root = std::make_unique<Directory_t>(root);
  m_root->Flush();
}

void PrivPartition_t::FormatDefault() { Format(DefaultRootBlocks(BlockSize(), BlockCount())); }

void PrivPartition_t::FormatForFiles(const std::vector<std::uint32_t>& sizes) {
  Format(RootBlocksForFiles(BlockSize(), sizes));
}

}  // namespace dsk
