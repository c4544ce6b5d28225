#include "ios/IOS_Transmitter.h"

#include "glo/GLO_Exception.h"
#include "ios/IOS_LowLevelFrame.h"

namespace ios {

Transmitter_t::Transmitter_t(spo::SerialPort_t& port) : m_port(port) { m_buffer.reserve(512); }

void Transmitter_t::Put(std::uint8_t byte) {
  m_buffer.push_back(byte);
  if (byte == kDle) m_buffer.push_back(kDle);
}

void Transmitter_t::Transmit(const iol::Frame_t& frame) {
  if (frame.Size() > 255) throw glo::OutOfRange_t(GLO_SRC);
  if (frame.Id() > 255) throw glo::OutOfRange_t(GLO_SRC);
  m_buffer.clear();
  m_sum = 0;
  m_buffer.push_back(kDle);
  const std::uint8_t id = static_cast<std::uint8_t>(frame.Id());
  const std::uint8_t size = static_cast<std::uint8_t>(frame.Size());
  Put(id);
  m_sum = static_cast<std::uint8_t>(m_sum + id);
  Put(size);
  m_sum = static_cast<std::uint8_t>(m_sum + size);
  for (std::uint8_t b : frame.Data()) {
    Put(b);
    m_sum = static_cast<std::uint8_t>(m_sum + b);
  }
  Put(static_cast<std::uint8_t>(0x100 - m_sum));
  m_buffer.push_back(kDle);
  m_buffer.push_back(kEtx);
  m_port.Write(m_buffer.data(), m_buffer.size());
}

}  // namespace ios
