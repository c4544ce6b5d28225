#include "tests/imgkit/HouseNumberStream.h"

#include <stdexcept>

namespace imgkit {

void HouseNumberStream_t::Header(unsigned startWidth, unsigned startMode, unsigned endWidth, unsigned endMode,
                                 std::uint32_t first, unsigned firstBits) {
  m_start = m_stepStart = startWidth;
  m_end = m_stepEnd = endWidth;
  if (m_compact) {
    if (startWidth < 5 || endWidth < 2 || firstBits < 5) throw std::invalid_argument("compact header widths");
    const std::uint32_t h = (startMode & 3) | ((startWidth - 5) & 0xF) << 2 | (endMode & 3) << 6 |
                            ((endWidth - 2) & 0xF) << 8 | ((firstBits - 5) & 0xF) << 13;
    m_bits.Put(h, 17);
  } else {
    const std::uint32_t h = (startMode & 3) | (startWidth & 0x1F) << 2 | (endMode & 3) << 7 | (endWidth & 0x1F) << 9 |
                            (firstBits & 0x1F) << 15;
    m_bits.Put(h, 20);
  }
  m_bits.Put(first, firstBits);
}

void HouseNumberStream_t::Parity(unsigned side1, unsigned side2, int extra1, int extra2, int mask,
                                 unsigned maskWidth) {
  const std::uint32_t t = (side1 & 3) << 2 | (side2 & 3) << 4;
  m_bits.Put(t & 7, 3);
  m_bits.Put(t >> 3, 3);
  if (!m_compact) {
    m_bits.Put((extra1 >= 0 ? 1u : 0u) | (extra2 >= 0 ? 2u : 0u) | (mask >= 0 ? 4u : 0u), 3);
    if (extra1 >= 0) m_bits.Put(static_cast<std::uint32_t>(extra1), 8);
    if (extra2 >= 0) m_bits.Put(static_cast<std::uint32_t>(extra2), 8);
    if (mask >= 0) m_bits.Put(static_cast<std::uint32_t>(mask), maskWidth);
  }
}

void HouseNumberStream_t::Numbers(std::uint32_t start1, std::uint32_t end1, std::uint32_t start2, std::uint32_t end2,
                                  bool mark) {
  m_bits.Put(1, 3);  // bits 1 and 2 clear
  m_bits.Put(0, 2);  // bits 4 and 5: both deltas of side 1 are read
  m_bits.Put(start1, m_stepStart);
  m_bits.Put(end1, m_stepEnd);
  m_bits.Put(0, 1);  // side 2's start delta follows
  m_bits.Put(0, 1);  // side 2's end delta follows
  m_bits.Put(start2, m_stepStart);
  m_bits.Put(end2, m_stepEnd);
  if (!m_compact) m_bits.Put(mark ? 1 : 0, 1);
  m_stepStart = m_start;
  m_stepEnd = m_end;
}

void HouseNumberStream_t::OneSide(std::uint32_t start, std::uint32_t end, bool mark) {
  m_bits.Put(1, 3);
  m_bits.Put(start, m_stepStart);
  m_bits.Put(end, m_stepEnd);
  if (!m_compact) m_bits.Put(mark ? 1 : 0, 1);
  m_stepStart = m_start;
  m_stepEnd = m_end;
}

void HouseNumberStream_t::Skip(unsigned n) {
  if (n == 0 || n > 1024) throw std::invalid_argument("intervals to skip");
  const std::uint32_t count = n - 1;
  if (count < 32) {
    m_bits.Put(6, 3);                     // bits 1-2 set, bit 3 clear
    m_bits.Put((count << 1) & 0x3F, 6);   // bit 3 clear, bits 4-8 the count
  } else {
    m_bits.Put(6, 3);
    m_bits.Put(1 | ((count & 0x1F) << 1), 6);  // bit 3 set: five more bits
    m_bits.Put(count >> 5, 5);
  }
}

void HouseNumberStream_t::Width(bool end, unsigned width, unsigned mode) {
  m_bits.Put(2, 3);
  if (m_compact) {
    const unsigned stored = width - (end ? 2 : 5);
    m_bits.Put((end ? 1u : 0u) | (mode & 3) << 1 | (stored & 0xF) << 3, 7);
  } else {
    m_bits.Put((end ? 1u : 0u) | (mode & 3) << 1 | (width & 0x1F) << 3, 8);
  }
  (end ? m_stepEnd : m_stepStart) = width;
}

}  // namespace imgkit
