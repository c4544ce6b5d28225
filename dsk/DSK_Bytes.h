#pragma once
// Little-endian fields of image sectors and records.
#include <cstdint>

namespace dsk {

inline std::uint16_t GetU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t GetU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline void PutU16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void PutU32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The byte sum of a buffer, modulo 256.
inline std::uint8_t ByteSum(const std::uint8_t* p, std::uint64_t n) {
  std::uint8_t s = 0;
  for (std::uint64_t i = 0; i < n; ++i) s = static_cast<std::uint8_t>(s + p[i]);
  return s;
}

inline void XorBytes(std::uint8_t* p, std::uint64_t n, std::uint8_t x) {
  if (x == 0) return;
  for (std::uint64_t i = 0; i < n; ++i) p[i] ^= x;
}

}  // namespace dsk
