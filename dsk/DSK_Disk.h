#pragma once
// An image opened through a medium: its validated first sector and its
// partitions, created when first asked for. Closing the disk writes back what
// was changed and keeps the image's checksum byte right.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "dsk/DSK_FirstImageSector.h"
#include "glo/GLO_AutoPtr.h"
#include "glo/GLO_NonCopyable.h"

namespace dsk {

class Media_t;
class Partition_t;
class PrivPartition_t;

class Disk_t : glo::NonCopyable_t, public glo::RefCounter_t {
 public:
  // Reads and validates the first sector. The medium must outlive the disk.
  Disk_t(Media_t& media, unsigned cacheBlocks);
  ~Disk_t() override;

  // The partition of table entry i (glo::Assert_t beyond the used entries).
  Partition_t& GetPartition(unsigned i);
  PrivPartition_t& GetPrivPartition(unsigned i);
  unsigned PartitionCount() const;
  std::string GetName() const;
  std::uint8_t XorByte() const { return m_sector.XorByte(); }

 private:
  Media_t& m_media;
  unsigned m_cacheBlocks;
  FirstImageSector_t m_sector;
  std::array<std::unique_ptr<PrivPartition_t>, 4> m_partitions;
};

}  // namespace dsk
