#include "dsk/DSK_FileBuffer.h"

#include <algorithm>
#include <cstring>

#include "dsk/DSK_Directory.h"
#include "dsk/DSK_Exception.h"
#include "dsk/DSK_Partition.h"

namespace dsk {

FileBuffer_t::FileBuffer_t(PrivPartition_t& partition, Directory_t* owner, const std::string& name,
                           std::uint32_t size, std::uint8_t attributes, const std::vector<std::uint16_t>& blocks)
    : m_partition(partition),
      m_owner(owner),
      m_name(name),
      m_readOnly((attributes & kAttrReadOnly) != 0),
      m_directory((attributes & kAttrDirectory) != 0),
      m_size(size),
      m_blocks(blocks),
      m_blockSize(partition.BlockSize()),
      m_blockShift(partition.BlockShift()),
      m_blockMask(partition.BlockSize() - 1) {
  for (std::uint16_t b : m_blocks) m_partition.MarkUsed(b);
}

std::uint8_t FileBuffer_t::Attributes() const {
  return static_cast<std::uint8_t>((m_readOnly ? kAttrReadOnly : 0) | (m_directory ? kAttrDirectory : 0));
}

void FileBuffer_t::TakeLayout(const FileBuffer_t& other) {
  m_size = other.m_size;
  m_blocks = other.m_blocks;
}

void FileBuffer_t::Open(std::uint32_t mode) {
  if (m_openCount == 0) {
    if (mode == kModeWrite && m_readOnly) throw BadFile_t(GLO_SRC, m_name);
    m_mode = mode;
  } else if (mode == kModeWrite || m_mode == kModeWrite) {
    throw FileIsOpen_t(GLO_SRC, m_name);
  }
  ++m_openCount;
}

void FileBuffer_t::Close() {
  if (m_openCount == 0) throw FileNotOpen_t(GLO_SRC, m_name);
  --m_openCount;
  if (m_openCount == 0 && m_modified && m_owner) {
    // Cleared first: a rewrite that fails is reported once, not at every
    // later close.
    m_modified = false;
    m_owner->Flush();
  }
}

void FileBuffer_t::Read(void* destination, std::uint32_t count, std::uint64_t& position) {
  if (m_openCount == 0) throw FileNotOpen_t(GLO_SRC, m_name);
  if (count == 0) return;
  const std::uint64_t p = position;
  const std::uint64_t e = p + count;
  position = e;
  if (e > m_size) throw BadFilePosition_t(GLO_SRC, m_name, e);
  // A block list shorter than the size: the missing blocks cannot be read.
  if (((e - 1) >> m_blockShift) >= m_blocks.size()) throw BadFile_t(GLO_SRC, m_name);

  auto* out = static_cast<std::uint8_t*>(destination);
  std::uint64_t index = p >> m_blockShift;
  std::uint32_t offset = static_cast<std::uint32_t>(p & m_blockMask);
  std::uint64_t left = count;
  while (left > 0) {
    const std::uint32_t chunk = static_cast<std::uint32_t>(std::min<std::uint64_t>(left, m_blockSize - offset));
    const std::uint8_t* block = m_partition.BlockPointer(m_blocks[index]);
    std::memcpy(out, block + offset, chunk);
    out += chunk;
    left -= chunk;
    offset = 0;
    ++index;
  }
}

// Allocates the blocks missing for the first 'end' bytes.
void FileBuffer_t::Grow(std::uint64_t end) {
  const std::uint64_t needed = (end + m_blockMask) >> m_blockShift;
  if (m_blocks.size() < needed) {
    const size_t before = m_blocks.size();
    if (IsRootFile()) {
      // The root directory lies on consecutive blocks: growth that cannot
      // stay so gives back what it took.
      try {
        while (m_blocks.size() < needed) {
          m_blocks.push_back(static_cast<std::uint16_t>(m_partition.AllocateBlock()));
          if (m_blocks.size() > 1 && m_blocks[m_blocks.size() - 1] != m_blocks[m_blocks.size() - 2] + 1)
            throw RootDirFull_t(GLO_SRC);
        }
      } catch (...) {
        while (m_blocks.size() > before) {
          m_partition.FreeBlock(m_blocks.back());
          m_blocks.pop_back();
        }
        throw;
      }
    } else {
      // Blocks taken before a full disk stay in the list.
      try {
        while (m_blocks.size() < needed)
          m_blocks.push_back(static_cast<std::uint16_t>(m_partition.AllocateBlock()));
      } catch (...) {
        m_modified = m_blocks.size() != before || m_modified;
        throw;
      }
    }
    m_modified = true;
  }
}

void FileBuffer_t::Write(const void* source, std::uint32_t count, std::uint64_t& position) {
  if (m_openCount == 0) throw FileNotOpen_t(GLO_SRC, m_name);
  if (count == 0) return;
  const std::uint64_t p = position;
  const std::uint64_t e = p + count;
  // The end is the new position before anything is allocated, also when the
  // write then fails.
  position = e;
  if (e > 0xFFFFFFFFull) throw BadFilePosition_t(GLO_SRC, m_name, e);
  Grow(e);
  if (e > m_size) {
    m_size = static_cast<std::uint32_t>(e);
    m_modified = true;
  }

  m_scratch.resize(m_blockSize);
  const auto* in = static_cast<const std::uint8_t*>(source);
  std::uint64_t index = p >> m_blockShift;
  std::uint32_t offset = static_cast<std::uint32_t>(p & m_blockMask);
  std::uint64_t left = count;
  while (left > 0) {
    const std::uint32_t chunk = static_cast<std::uint32_t>(std::min<std::uint64_t>(left, m_blockSize - offset));
    const std::uint16_t block = m_blocks[index];
    if (chunk == m_blockSize) {
      m_partition.WriteBlock(block, in);
    } else {
      m_partition.ReadBlock(block, m_scratch.data());
      std::memcpy(m_scratch.data() + offset, in, chunk);
      m_partition.WriteBlock(block, m_scratch.data());
    }
    in += chunk;
    left -= chunk;
    offset = 0;
    ++index;
  }
}

void FileBuffer_t::SetSize(std::uint32_t size) {
  if (m_openCount == 0) throw FileNotOpen_t(GLO_SRC, m_name);
  if (m_readOnly) throw BadFile_t(GLO_SRC, m_name);
  if (size == m_size) return;
  if (size > m_size) {
    // The blocks follow the size, so that the file can be read to its end.
    Grow(size);
    m_size = size;
    m_modified = true;
    return;
  }
  const std::uint64_t within = size & m_blockMask;
  const std::uint64_t index = size >> m_blockShift;
  if (within != 0 && index < m_blocks.size()) {
    m_scratch.resize(m_blockSize);
    m_partition.ReadBlock(m_blocks[index], m_scratch.data());
    std::memset(m_scratch.data() + within, 0xFF, m_blockSize - within);
    m_partition.WriteBlock(m_blocks[index], m_scratch.data());
  }
  const std::uint64_t keep = (std::uint64_t(size) + m_blockMask) >> m_blockShift;
  while (m_blocks.size() > keep) {
    m_partition.FreeBlock(m_blocks.back());
    m_blocks.pop_back();
    m_modified = true;
  }
  m_size = size;
  m_modified = true;
}

void FileBuffer_t::ChangeReadOnly(bool readOnly, int line) {
  if (m_openCount != 0) throw FileIsOpen_t(glo::SourceBaseName(__FILE__), line, m_name);
  if (m_readOnly == readOnly) return;
  m_readOnly = readOnly;
  if (m_owner) m_owner->Flush();
}

void FileBuffer_t::SetReadOnly() { ChangeReadOnly(true, __LINE__); }
void FileBuffer_t::ClearReadOnly() { ChangeReadOnly(false, __LINE__); }

void FileBuffer_t::AddBlocks(std::uint32_t n) {
  for (std::uint32_t i = 0; i < n; ++i) {
    m_blocks.push_back(static_cast<std::uint16_t>(m_partition.AllocateBlock()));
    m_modified = true;
  }
}

}  // namespace dsk
