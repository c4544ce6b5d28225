#pragma once
// The first sector of an image: its header, the boot record that every
// partition repeats in its own first sector, and the partition table.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace dsk {

class Media_t;

constexpr std::uint32_t kSectorSize = 512;

struct Geometry_t {
  std::uint8_t sectorsPerTrack;
  std::uint16_t heads;
  std::uint16_t cylinders;
};

// The boot record (67 bytes at 0x40 of a partition's first sector).
class BootRecord_t {
 public:
  BootRecord_t() = default;
  // Takes the record from a decoded sector and checks it: block exponents in
  // range, maker signature, 512-byte sectors (dsk::BadStream_t).
  explicit BootRecord_t(const std::uint8_t* sector);

  std::uint8_t DirectoryStartSector() const { return m_bytes[0]; }
  std::uint16_t Heads() const;
  std::uint16_t SectorsPerTrack() const;
  // E1 + E2: a block is 2^BlockExponent() bytes (9 to 31).
  unsigned BlockExponent() const { return unsigned(m_bytes[0x21]) + m_bytes[0x22]; }
  std::uint16_t BlockCount() const;
  // The 20 + 30 description characters as they stand.
  std::string Description() const;

 private:
  std::array<std::uint8_t, 67> m_bytes{};
};

struct PartitionEntry_t {
  std::uint32_t relativeStart;
  std::uint32_t sectorCount;
};

class FirstImageSector_t {
 public:
  // Reads and validates the first sector of the medium, undoing its XOR byte.
  explicit FirstImageSector_t(Media_t& media);

  std::uint8_t XorByte() const { return m_xor; }
  const Geometry_t& Geometry() const { return m_geometry; }
  const BootRecord_t& Boot() const { return m_boot; }
  const std::vector<PartitionEntry_t>& Partitions() const { return m_partitions; }

  // The decoded bytes (the checksum byte at 0x0F is adjusted on close).
  std::uint8_t* Bytes() { return m_bytes.data(); }

 private:
  std::array<std::uint8_t, kSectorSize> m_bytes{};
  std::uint8_t m_xor = 0;
  Geometry_t m_geometry{};
  BootRecord_t m_boot;
  std::vector<PartitionEntry_t> m_partitions;
};

// The XOR byte that makes the stored signature at 0x10 read "DSKIMG" or
// "DSDIMG" (0 when it is stored plain or matches neither way).
std::uint8_t FindXorByte(const std::uint8_t* sector);

// The sector number of the three CHS bytes of a partition entry.
std::uint32_t ChsToSector(const Geometry_t& g, std::uint8_t head, std::uint8_t sector, std::uint8_t cylinder);

}  // namespace dsk
