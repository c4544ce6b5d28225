#include "ios/IOS_RcvBlock.h"

#include "glo/GLO_Exception.h"
#include "ios/IOS_Exception.h"

namespace ios {

RcvBlock_t::RcvBlock_t() { m_bytes.reserve(kMaxSize); }

void RcvBlock_t::Clear() {
  m_bytes.clear();
  m_overflow = false;
  m_validated = false;
}

void RcvBlock_t::Append(std::uint8_t byte) {
  m_validated = false;
  if (m_bytes.size() >= kMaxSize) {
    m_overflow = true;  // longer than any good block: it cannot check out
    return;
  }
  m_bytes.push_back(byte);
}

iol::Frame_t RcvBlock_t::Validate() {
  GLO_ASSERT(!m_bytes.empty());
  if (!m_validated) {
    const std::size_t n = m_bytes.size();
    if (m_overflow || n < 3 || m_bytes[1] != n - 3) throw BadRcvBlock_t(GLO_SRC, m_bytes);
    unsigned sum = 0;
    for (std::uint8_t b : m_bytes) sum += b;
    if ((sum & 0xFF) != 0) throw BadRcvBlock_t(GLO_SRC, m_bytes);
    m_validated = true;
  }
  return iol::Frame_t(m_bytes[0], m_bytes.data() + 2, m_bytes.size() - 3);
}

}  // namespace ios
