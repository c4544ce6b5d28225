#pragma once
// Reads the port and cuts the byte stream into frames. Its state, a partial
// block and complete frames not yet handed out persist between calls.
#include <cstddef>
#include <cstdint>
#include <deque>

#include "ios/IOS_RcvBlock.h"
#include "iol/IOL_Frame.h"
#include "plat/PLAT_FileHandle.h"
#include "spo/SPO_SerialPort.h"

namespace ios {

class Receiver_t {
 public:
  explicit Receiver_t(spo::SerialPort_t& port);

  // The next complete frame, reading the port as needed for at most 'timeoutMs'
  // (0xFFFFFFFF: no limit). iol::Timeout_t when nothing complete arrives in
  // time, glo::Terminate_t when the abort event is signalled, ios::BadRcvBlock_t
  // when a damaged block arrives.
  iol::Frame_t Next(std::uint32_t timeoutMs, plat::Handle abortEvent);

  // Runs the bytes through the frame state machine; complete good frames are
  // queued. A damaged block throws ios::BadRcvBlock_t at once; the bytes after it
  // in the same call are dropped.
  void Feed(const std::uint8_t* bytes, std::size_t count);

 private:
  spo::SerialPort_t& m_port;
  int m_state = 0;
  RcvBlock_t m_block;
  std::deque<iol::Frame_t> m_frames;
};

}  // namespace ios
