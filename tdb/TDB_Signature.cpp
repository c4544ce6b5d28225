#include "tdb/TDB_Signature.h"

#include <random>

#include "bin/BIN_record.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_Time.h"
#include "tdb/TDB_Records.h"

namespace tdb {

namespace {

constexpr std::size_t kCrcBytes[4] = {2, 9, 12, 17};

}  // namespace

void Signature_t::Read(bin::istream& in) {
  if (in.fail()) return;
  bin::oldrecord_t record(0);
  if (!ReadShortRecord(in, record) || record.type() != 'T') throw glo::Exception_t(GLO_SRC, std::string());
  m_bytes.assign(record.view());
}

std::uint32_t Reflect(std::uint32_t value, unsigned bits) {
  std::uint32_t result = 0;
  for (unsigned i = 0; i < bits; ++i)
    if (value & (std::uint32_t(1) << i)) result |= std::uint32_t(1) << (bits - 1 - i);
  return result;
}

const std::array<std::uint32_t, 256>& InitCrc32Table() {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t entry = Reflect(i, 8) << 24;
      for (int step = 0; step < 8; ++step) entry = (entry & 0x80000000u) ? (entry << 1) ^ 0x04C11DB7u : entry << 1;
      t[i] = Reflect(entry, 32);
    }
    return t;
  }();
  return table;
}

std::uint32_t Crc32(const void* data, std::size_t length) {
  if (length == 0) return 0;
  const auto& table = InitCrc32Table();
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < length; ++i) crc = table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

void MakeSignature(const void* data, std::size_t length, std::uint8_t* block) {
  std::minstd_rand filler(static_cast<std::uint32_t>(glo::Time_t().GetValue()));
  for (std::size_t i = 0; i < kSignatureSize; ++i) block[i] = static_cast<std::uint8_t>(filler() >> 7);
  const std::uint32_t crc = Crc32(data, length);
  for (int i = 0; i < 4; ++i) block[kCrcBytes[i]] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
}

int CompareSignatures(const std::uint8_t* a, const std::uint8_t* b) {
  for (const std::size_t i : kCrcBytes)
    if (a[i] != b[i]) return 4;
  return 0;
}

}  // namespace tdb
