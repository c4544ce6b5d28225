#pragma once
// Encodes the bit-packed coordinate streams of a map's areas and lines: the
// info byte with the two axis width codes, the sign modes, the extra-field
// layout, escaped deltas and the padding of the last byte, which never decodes
// as one more point.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace imgkit {

// Bits per delta of a width code 0-15: 2 to 11, then 13, 15, ... 23.
unsigned DeltaWidth(unsigned code);

// Bits written least significant first, bytes in order.
class BitWriter_t {
 public:
  void Put(std::uint32_t value, unsigned bits);
  unsigned BitCount() const { return m_bits; }
  const std::string& Bytes() const { return m_bytes; }

 private:
  std::string m_bytes;
  unsigned m_bits = 0;
};

// How one axis is stored: signed deltas of code width + 1 bits with escapes,
// or magnitudes of code width bits with a sign common to every delta.
struct DeltaAxis_t {
  enum Sign_t { kSigned, kPositive, kNegative };
  unsigned code = 0;
  Sign_t sign = kSigned;
};

// The fields that write one signed delta of 'bits' bits: as many escapes
// (only the top bit set) as it needs, then the final value, each 'bits' wide.
std::vector<std::uint32_t> EscapedFields(std::int32_t delta, unsigned bits);

struct DeltaPoint_t {
  std::int32_t dlon = 0;  // level units from the previous point
  std::int32_t dlat = 0;
  std::optional<std::uint32_t> extra;  // absent: presence bit 0 (or 0 without one)
};

struct DeltaStream_t {
  // Extended stream: the extra-field layout is written into the stream.
  bool extended = false;
  // Bits of the extra field per point: 0 none; a basic stream knows only 1
  // (the node flag), an extended one 1 to 8, optionally behind a presence bit.
  unsigned extraBits = 0;
  bool presence = false;
  std::optional<std::uint32_t> startExtra;
  std::vector<DeltaPoint_t> points;
  // Absent: the narrowest form for the deltas (a common sign when they share one).
  std::optional<DeltaAxis_t> lon, lat;
};

// The axis forms Encode would choose.
DeltaAxis_t ChooseAxis(const std::vector<std::int32_t>& deltas);

// The stream: info byte and bits. Throws std::invalid_argument when the given
// forms cannot hold the deltas or leave padding that would decode as a point.
std::string Encode(const DeltaStream_t& stream);

}  // namespace imgkit
