#pragma once
// The signature of a product description file (record T) and the checksum it
// carries: a 20-byte block whose bytes 2, 9, 12 and 17 hold the CRC-32 of the
// file before its last 23 bytes (the T record), most significant byte first.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "bin/BIN_stream.h"

namespace tdb {

constexpr std::size_t kSignatureSize = 20;
// The T record with its 20-byte signature: type, length and payload.
constexpr std::size_t kSignatureRecordSize = 23;

class Signature_t {
 public:
  Signature_t() = default;
  Signature_t(const Signature_t&) = default;
  Signature_t& operator=(const Signature_t&) = default;
  virtual ~Signature_t() = default;

  // Reads one T record in place of the current bytes; another record type is
  // glo::Exception_t; a stream that has already failed is left alone.
  virtual void Read(bin::istream& in);

  const std::string& GetBytes() const { return m_bytes; }

 private:
  std::string m_bytes;
};

// Reverses the lowest 'bits' bits of the value.
std::uint32_t Reflect(std::uint32_t value, unsigned bits);
// The 256-entry table of the reflected CRC-32, built once.
const std::array<std::uint32_t, 256>& InitCrc32Table();
// The reflected CRC-32 of ISO 3309 (initial value and final XOR all ones); 0
// for no bytes.
std::uint32_t Crc32(const void* data, std::size_t length);

// A signature block for the data: filler bytes that vary from call to call
// and the data's CRC-32 in bytes 2, 9, 12 and 17.
void MakeSignature(const void* data, std::size_t length, std::uint8_t* block);
// 0 when bytes 2, 9, 12 and 17 of both blocks agree, else 4.
int CompareSignatures(const std::uint8_t* a, const std::uint8_t* b);

}  // namespace tdb
