#include "ios/IOS_Receiver.h"

#include "glo/GLO_Exception.h"
#include "ios/IOS_LowLevelFrame.h"
#include "iol/IOL_Exception.h"
#include "plat/PLAT_Tick.h"

namespace ios {

Receiver_t::Receiver_t(spo::SerialPort_t& port) : m_port(port) {}

void Receiver_t::Feed(const std::uint8_t* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t b = bytes[i];
    switch (m_state) {
      case 0:  // idle
        if (b == kDle) m_state = 1;
        break;
      case 1:  // DLE seen
        if (b == kEtx || b == kDle) {
          m_state = 0;  // no frame start
        } else {
          m_block.Clear();
          m_block.Append(b);
          m_state = 2;
        }
        break;
      case 2:  // in a frame
        if (b == kDle)
          m_state = 3;
        else
          m_block.Append(b);
        break;
      case 3:  // DLE in a frame
        if (b == kDle) {
          m_block.Append(kDle);
          m_state = 2;
        } else if (b == kEtx) {
          m_state = 0;
          m_frames.push_back(m_block.Validate());
        } else {
          m_state = 0;  // a lone DLE: the block is abandoned
        }
        break;
      default:
        throw glo::Assert_t(GLO_SRC);
    }
  }
}

iol::Frame_t Receiver_t::Next(std::uint32_t timeoutMs, plat::Handle abortEvent) {
  const std::uint32_t start = static_cast<std::uint32_t>(plat::GetTickCount());
  while (m_frames.empty()) {
    if (timeoutMs != spo::SerialPort_t::kNoTimeout &&
        static_cast<std::uint32_t>(plat::GetTickCount()) - start > timeoutMs)
      throw iol::Timeout_t(GLO_SRC);
    const std::uint8_t* bytes = nullptr;
    std::size_t count = 0;
    const int result = m_port.Read(bytes, count, timeoutMs, abortEvent);
    if (result == spo::SerialPort_t::kTimedOut) throw iol::Timeout_t(GLO_SRC);
    if (result == spo::SerialPort_t::kAborted) throw glo::Terminate_t(GLO_SRC);
    if (result != spo::SerialPort_t::kRead) throw glo::Assert_t(GLO_SRC);
    Feed(bytes, count);
  }
  iol::Frame_t frame = m_frames.front();
  m_frames.pop_front();
  return frame;
}

}  // namespace ios
