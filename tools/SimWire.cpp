#include "tools/SimWire.h"

#include <cstdio>

namespace sim {

std::uint8_t Checksum(const Bytes& idSizeData) {
  unsigned sum = 0;
  for (std::uint8_t b : idSizeData) sum += b;
  return static_cast<std::uint8_t>((0x100 - (sum & 0xFF)) & 0xFF);
}

Bytes WrapBlock(const Bytes& block) {
  Bytes out;
  out.reserve(block.size() * 2 + 3);
  out.push_back(kDle);
  for (std::uint8_t b : block) {
    out.push_back(b);
    if (b == kDle) out.push_back(kDle);
  }
  out.push_back(kDle);
  out.push_back(kEtx);
  return out;
}

Bytes EncodeFrame(std::uint8_t id, const Bytes& data, SendFault fault) {
  Bytes block;
  block.push_back(id);
  block.push_back(static_cast<std::uint8_t>(data.size()));
  block.insert(block.end(), data.begin(), data.end());
  block.push_back(Checksum(block));
  if (fault == SendFault::kBadChecksum) block.back() = static_cast<std::uint8_t>(block.back() + 1);
  if (fault == SendFault::kDamagedLength) block[1] = static_cast<std::uint8_t>(block[1] + 1);
  Bytes out;
  if (fault == SendFault::kNoise) out = {0x55, 0x00, 0xFF, 0x03, 0xAA, 0x7E};
  const Bytes wire = WrapBlock(block);
  out.insert(out.end(), wire.begin(), wire.end());
  return out;
}

void PutU8(Bytes& out, std::uint8_t v) { out.push_back(v); }

void PutU16(Bytes& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(Bytes& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}

std::uint16_t GetU16(const Bytes& in, std::size_t offset) {
  if (offset + 2 > in.size()) return 0;
  return static_cast<std::uint16_t>(in[offset] | (in[offset + 1] << 8));
}

std::uint32_t GetU32(const Bytes& in, std::size_t offset) {
  if (offset + 4 > in.size()) return 0;
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | in[offset + static_cast<std::size_t>(i)];
  return v;
}

std::string Hex(const Bytes& bytes) {
  std::string s;
  char buf[4];
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(buf, sizeof buf, "%02X", bytes[i]);
    if (i) s += ' ';
    s += buf;
  }
  return s;
}

void Parser::Reset() {
  m_state = kIdle;
  m_block.clear();
}

Parser::Result Parser::Feed(std::uint8_t byte) {
  switch (m_state) {
    case kIdle:
      if (byte == kDle) m_state = kAfterDle;
      return kNothing;
    case kAfterDle:
      if (byte == kDle || byte == kEtx) {
        m_state = kIdle;
        return kNothing;
      }
      m_block.assign(1, byte);
      m_state = kInBlock;
      return kNothing;
    case kInBlock:
      if (byte == kDle)
        m_state = kDleInBlock;
      else if (m_block.size() < 1024)  // a runaway block is cut short; it cannot check out
        m_block.push_back(byte);
      return kNothing;
    case kDleInBlock:
      if (byte == kDle) {
        m_block.push_back(kDle);
        m_state = kInBlock;
        return kNothing;
      }
      m_state = kIdle;
      if (byte != kEtx) return kNothing;  // a lone DLE: the block is abandoned
      {
        unsigned sum = 0;
        for (std::uint8_t b : m_block) sum += b;
        const bool sizeOk = m_block.size() >= 3 && m_block[1] == m_block.size() - 3;
        if (!sizeOk || (sum & 0xFF) != 0) {
          m_badId = m_block[0];
          return kBadBlock;
        }
        m_last.id = m_block[0];
        m_last.data.assign(m_block.begin() + 2, m_block.end() - 1);
        return kFrame;
      }
  }
  return kNothing;
}

}  // namespace sim
