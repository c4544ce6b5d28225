#include "dsk/DSK_FirstImageSector.h"

#include <cstring>

#include "dsk/DSK_Bytes.h"
#include "dsk/DSK_Exception.h"
#include "dsk/DSK_Media.h"

namespace dsk {

namespace {

constexpr unsigned kBootOffset = 0x40;
constexpr unsigned kTableOffset = 0x1BE;
constexpr unsigned kMaxBlockExponent = 31;

bool IsSignature(const std::uint8_t* p, std::uint8_t x) {
  char s[6];
  for (int i = 0; i < 6; ++i) s[i] = static_cast<char>(p[i] ^ x);
  return std::memcmp(s, "DSKIMG", 6) == 0 || std::memcmp(s, "DSDIMG", 6) == 0;
}

}  // namespace

std::uint8_t FindXorByte(const std::uint8_t* sector) {
  const std::uint8_t* sig = sector + 0x10;
  if (IsSignature(sig, 0)) return 0;
  const std::uint8_t x = static_cast<std::uint8_t>(sig[0] ^ 'D');
  return IsSignature(sig, x) ? x : 0;
}

BootRecord_t::BootRecord_t(const std::uint8_t* sector) {
  std::memcpy(m_bytes.data(), sector + kBootOffset, m_bytes.size());
  // The exponents are checked as plain numbers, so that no shift can wrap.
  const unsigned e1 = m_bytes[0x21];
  if (BlockExponent() < 9 || BlockExponent() > kMaxBlockExponent) throw BadStream_t(GLO_SRC);
  if (std::memcmp(m_bytes.data() + 1, "VORTAN", 6) != 0) throw BadStream_t(GLO_SRC);
  if (e1 != 9) throw BadStream_t(GLO_SRC);
}

std::uint16_t BootRecord_t::Heads() const { return GetU16(&m_bytes[0x1D]); }
std::uint16_t BootRecord_t::SectorsPerTrack() const { return GetU16(&m_bytes[0x1F]); }
std::uint16_t BootRecord_t::BlockCount() const { return GetU16(&m_bytes[0x23]); }

std::string BootRecord_t::Description() const {
  return std::string(reinterpret_cast<const char*>(&m_bytes[0x09]), 20) +
         std::string(reinterpret_cast<const char*>(&m_bytes[0x25]), 30);
}

std::uint32_t ChsToSector(const Geometry_t& g, std::uint8_t head, std::uint8_t sector, std::uint8_t cylinder) {
  const std::uint32_t spt = g.sectorsPerTrack;
  const std::uint32_t perCylinder = (spt * g.heads) & 0xFFFFu;
  const std::uint32_t c = (std::uint32_t(sector) >> 6) * 256u + cylinder;
  return c * perCylinder + head * spt + (sector & 0x3Fu) - 1u;
}

FirstImageSector_t::FirstImageSector_t(Media_t& media) {
  media.Seek(0);
  std::uint32_t got = 0;
  while (got < kSectorSize) {
    const std::uint32_t n = media.Read(m_bytes.data() + got, kSectorSize - got);
    if (n == 0) break;
    got += n;
  }
  m_xor = FindXorByte(m_bytes.data());
  XorBytes(m_bytes.data(), kSectorSize, m_xor);
  const std::uint8_t* b = m_bytes.data();

  // Header.
  if (!IsSignature(b + 0x10, 0)) throw BadStream_t(GLO_SRC);
  if (GetU16(b + 0x16) != kSectorSize) throw BadStream_t(GLO_SRC);
  if (GetU16(b + 0x18) == 0) throw BadStream_t(GLO_SRC);
  if (GetU16(b + 0x1A) == 0) throw BadStream_t(GLO_SRC);
  if (GetU16(b + 0x1C) == 0) throw BadStream_t(GLO_SRC);

  m_boot = BootRecord_t(b);

  m_geometry.sectorsPerTrack = b[0x18];
  m_geometry.heads = GetU16(b + 0x1A);
  m_geometry.cylinders = GetU16(b + 0x1C);
  GLO_ASSERT(m_geometry.sectorsPerTrack != 0 && m_geometry.heads != 0 && m_geometry.cylinders != 0);

  // Partition table: the used entries follow each other without gaps. The
  // running total is kept in 64 bits so that it cannot wrap onto a start.
  std::uint64_t total = 0;
  for (unsigned i = 0; i < 4; ++i) {
    const std::uint8_t* e = b + kTableOffset + 16 * i;
    const PartitionEntry_t entry{GetU32(e + 8), GetU32(e + 12)};
    if (entry.sectorCount == 0) break;
    if (entry.relativeStart != total) throw BadStream_t(GLO_SRC);
    if (ChsToSector(m_geometry, e[1], e[2], e[3]) != total) throw BadStream_t(GLO_SRC);
    total += entry.sectorCount;
    if (ChsToSector(m_geometry, e[5], e[6], e[7]) != total - 1) throw BadStream_t(GLO_SRC);
    if (e[0] != 0) throw BadStream_t(GLO_SRC);
    if (e[4] != 0) throw BadStream_t(GLO_SRC);
    m_partitions.push_back(entry);
  }
  if (GetU16(b + 0x1FE) != 0xAA55) throw BadStream_t(GLO_SRC);

  if (m_boot.Heads() != m_geometry.heads || m_boot.SectorsPerTrack() != m_geometry.sectorsPerTrack)
    throw BadStream_t(GLO_SRC);
}

}  // namespace dsk
