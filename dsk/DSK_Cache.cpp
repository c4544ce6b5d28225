#include "dsk/DSK_Cache.h"

#include <algorithm>
#include <cstring>

#include "dsk/DSK_Bytes.h"
#include "dsk/DSK_Exception.h"
#include "dsk/DSK_Media.h"

namespace dsk {

Cache_t::Cache_t(Media_t& media, unsigned capacity, std::uint32_t blockCount, unsigned exponent,
                 std::uint8_t xorByte, std::uint64_t partitionOffset, std::uint64_t partitionBytes)
    : m_media(media),
      m_capacity(capacity),
      m_blockCount(blockCount),
      m_exponent(exponent),
      m_xor(xorByte),
      m_offset(partitionOffset),
      m_partitionBytes(partitionBytes) {
  GLO_ASSERT(capacity > 0 && exponent < 32);
}

Cache_t::~Cache_t() {
  // Write back what can be written; a block that fails is dropped.
  while (!m_byStamp.empty()) {
    try {
      Evict(m_byStamp.begin());
    } catch (...) {
      const std::uint32_t n = m_byStamp.begin()->second;
      m_byStamp.erase(m_byStamp.begin());
      m_byBlock.erase(n);
    }
  }
}

bool Cache_t::IsReadOnly() const { return m_media.IsReadOnly(); }

CacheBlock_t& Cache_t::GetBlock(std::uint32_t n) {
  auto found = m_byBlock.find(n);
  if (found != m_byBlock.end()) {
    Entry_t& entry = found->second;
    if (entry.stamp != m_byStamp.rbegin()->first) {
      m_byStamp.erase(entry.stamp);
      entry.stamp = m_counter++;
      m_byStamp.emplace(entry.stamp, n);
    }
    return *entry.block;
  }
  // Make room first: a block that cannot be written back stays, and nothing
  // new is read for an operation that fails.
  if (m_byBlock.size() >= m_capacity) Evict(m_byStamp.begin());
  std::unique_ptr<CacheBlock_t> block = Load(n);
  CacheBlock_t& result = *block;
  const std::uint64_t stamp = m_counter++;
  m_byStamp.emplace(stamp, n);
  m_byBlock.emplace(n, Entry_t{stamp, std::move(block)});
  return result;
}

std::unique_ptr<CacheBlock_t> Cache_t::Load(std::uint32_t n) {
  auto block = std::make_unique<CacheBlock_t>();
  const std::uint32_t size = BlockSize();
  block->offset = m_offset + (std::uint64_t(n) << m_exponent);
  block->data.assign(size, 0xFF);
  std::uint32_t got = 0;
  while (got < size) {
    const std::uint32_t r = m_media.ReadAt(block->offset + got, block->data.data() + got, size - got);
    if (r == 0) break;
    got += r;
  }
  block->bytesRead = got;
  if (got > 0) {
    XorBytes(block->data.data(), got, m_xor);
    block->readSum = ByteSum(block->data.data(), got);
    block->contributed = ByteSum(block->data.data(), size);
    m_accumulator = static_cast<std::uint8_t>(m_accumulator + block->contributed);
  }
  return block;
}

void Cache_t::Evict(std::map<std::uint64_t, std::uint32_t>::iterator oldest) {
  const std::uint32_t n = oldest->second;
  auto entry = m_byBlock.find(n);
  Release(*entry->second.block);
  m_byStamp.erase(oldest);
  m_byBlock.erase(entry);
}

void Cache_t::Release(CacheBlock_t& block) {
  if (block.dirty) {
    WriteBack(block);
  } else {
    m_accumulator = static_cast<std::uint8_t>(m_accumulator - block.contributed);
  }
}

// Writes a dirty block and settles the accumulator with the exact change of the
// image's decoded byte sum: the block's new bytes, less what its place held on
// the medium, plus any 0xFF padding that the medium had to grow by to reach it.
void Cache_t::WriteBack(CacheBlock_t& block) {
  const std::uint32_t size = BlockSize();
  std::uint64_t mediaSize = m_media.Size();
  if (mediaSize < block.offset) {
    std::vector<std::uint8_t> pad(static_cast<size_t>(std::min<std::uint64_t>(block.offset - mediaSize, 65536)),
                                  static_cast<std::uint8_t>(0xFF ^ m_xor));
    m_media.Seek(mediaSize);
    while (mediaSize < block.offset) {
      const auto chunk = static_cast<std::uint32_t>(std::min<std::uint64_t>(block.offset - mediaSize, pad.size()));
      m_media.Write(pad.data(), chunk);
      mediaSize += chunk;
      m_accumulator = static_cast<std::uint8_t>(m_accumulator - chunk * 0xFFu);
    }
  }
  // Bytes of the block's place that came into being since it was loaded are
  // padding written for blocks further on.
  const std::uint64_t heldEnd = std::min<std::uint64_t>(mediaSize, block.offset + size);
  const std::uint64_t readEnd = block.offset + block.bytesRead;
  const std::uint64_t grown = heldEnd > readEnd ? heldEnd - readEnd : 0;
  const std::uint8_t held = static_cast<std::uint8_t>(block.readSum + grown * 0xFFu);

  std::vector<std::uint8_t> stored(block.data);
  XorBytes(stored.data(), size, m_xor);
  m_media.Seek(block.offset);
  m_media.Write(stored.data(), size);
  const std::uint8_t now = ByteSum(block.data.data(), size);
  m_accumulator = static_cast<std::uint8_t>(m_accumulator + held - now - block.contributed);
  block.dirty = false;
}

void Cache_t::ReleaseAll() {
  while (!m_byStamp.empty()) Evict(m_byStamp.begin());
}

void Cache_t::ReadBlock(std::uint32_t n, void* destination) {
  GLO_ASSERT(n <= m_blockCount);
  if (n == m_blockCount) {
    if (m_media.IsReadOnly()) throw BadFile_t(GLO_SRC, std::string());
    ++m_blockCount;
  }
  const CacheBlock_t& block = GetBlock(n);
  std::memcpy(destination, block.data.data(), block.data.size());
}

bool Cache_t::Holds(std::uint32_t n) const {
  return ((std::uint64_t(n) + 1) << m_exponent) <= m_partitionBytes;
}

void Cache_t::WriteBlock(std::uint32_t n, const void* source) {
  if (m_media.IsReadOnly()) throw BadFile_t(GLO_SRC, std::string());
  GLO_ASSERT(n <= m_blockCount);
  // A block past the partition's end would make the image grow up to it.
  if (!Holds(n)) throw DiskFull_t(GLO_SRC);
  if (n == m_blockCount) ++m_blockCount;
  CacheBlock_t& block = GetBlock(n);
  std::memcpy(block.data.data(), source, block.data.size());
  block.dirty = true;
  m_dirty = true;
}

std::vector<std::uint32_t> Cache_t::CachedBlocks() const {
  std::vector<std::uint32_t> blocks;
  for (auto it = m_byStamp.rbegin(); it != m_byStamp.rend(); ++it) blocks.push_back(it->second);
  return blocks;
}

}  // namespace dsk
