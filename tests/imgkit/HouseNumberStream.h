#pragma once
// Writes the house-number bit streams of road data: the stream header with
// its delta widths and first number, and the commands (parity, width change,
// intervals without numbers, numbers records), in the compact form of the
// main stream or the full form of the alternative one. Bits go lowest first.
#include <cstdint>
#include <string>

#include "tests/imgkit/DeltaStream.h"

namespace imgkit {

class HouseNumberStream_t {
 public:
  explicit HouseNumberStream_t(bool compact) : m_compact(compact) {}
  // Widths in bits (compact: start 5-20, end 2-17; full: 0-31), modes 0 plain,
  // 1 negated; the first number in 'firstBits' bits (compact 5-20, full 0-31).
  void Header(unsigned startWidth, unsigned startMode, unsigned endWidth, unsigned endMode, std::uint32_t first,
              unsigned firstBits);
  // The parity types of both sides (0 none, 1 even, 2 odd, 3 all); the full
  // form also takes the two extra values and a label mask of 'maskWidth' bits.
  void Parity(unsigned side1, unsigned side2, int extra1 = -1, int extra2 = -1, int mask = -1, unsigned maskWidth = 0);
  // A numbers record for both sides: their start and end deltas.
  void Numbers(std::uint32_t start1, std::uint32_t end1, std::uint32_t start2, std::uint32_t end2, bool mark = false);
  // A numbers record when one side has numbers.
  void OneSide(std::uint32_t start, std::uint32_t end, bool mark = false);
  // n (1-32, or up to 1024 in the long form) intervals without numbers.
  void Skip(unsigned n);
  // A new width for the start (or end) deltas of the next record only.
  void Width(bool end, unsigned width, unsigned mode = 0);
  // Raw bits.
  void Put(std::uint32_t value, unsigned bits) { m_bits.Put(value, bits); }
  const std::string& Bytes() const { return m_bits.Bytes(); }
  unsigned BitCount() const { return m_bits.BitCount(); }

 private:
  bool m_compact;
  unsigned m_start = 0, m_end = 0;          // the header's widths
  unsigned m_stepStart = 0, m_stepEnd = 0;  // the next record's
  BitWriter_t m_bits;
};

}  // namespace imgkit
