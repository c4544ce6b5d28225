#include "dsk/DSK_Disk.h"

#include "dsk/DSK_Bytes.h"
#include "dsk/DSK_Media.h"
#include "dsk/DSK_Partition.h"

namespace dsk {

Disk_t::Disk_t(Media_t& media, unsigned cacheBlocks)
    : m_media(media), m_cacheBlocks(cacheBlocks), m_sector(media) {}

Disk_t::~Disk_t() {
  // Every cached block is released before the checksum byte is settled, so
  // that blocks that were only read cancel out.
  bool dirty = false;
  for (auto& partition : m_partitions) {
    if (!partition) continue;
    try {
      partition->Cache().ReleaseAll();
    } catch (...) {
    }
    if (partition->Cache().IsDirty()) {
      dirty = true;
      std::uint8_t* bytes = m_sector.Bytes();
      bytes[0x0F] = static_cast<std::uint8_t>(bytes[0x0F] + partition->Cache().Accumulator());
    }
  }
  if (dirty) {
    try {
      std::array<std::uint8_t, kSectorSize> stored;
      std::copy(m_sector.Bytes(), m_sector.Bytes() + kSectorSize, stored.begin());
      XorBytes(stored.data(), kSectorSize, m_sector.XorByte());
      m_media.Seek(0);
      m_media.Write(stored.data(), kSectorSize);
    } catch (...) {
    }
  }
  for (auto& partition : m_partitions) {
    try {
      partition.reset();
    } catch (...) {
    }
  }
}

Partition_t& Disk_t::GetPartition(unsigned i) { return GetPrivPartition(i); }

PrivPartition_t& Disk_t::GetPrivPartition(unsigned i) {
  GLO_ASSERT(i < m_sector.Partitions().size());
  if (!m_partitions[i])
    m_partitions[i] = std::make_unique<PrivPartition_t>(m_media, m_cacheBlocks, m_sector.Partitions()[i].relativeStart,
                                                        m_sector.Partitions()[i].sectorCount, m_sector.XorByte());
  return *m_partitions[i];
}

unsigned Disk_t::PartitionCount() const { return static_cast<unsigned>(m_sector.Partitions().size()); }

std::string Disk_t::GetName() const { return m_media.Name(); }

}  // namespace dsk
