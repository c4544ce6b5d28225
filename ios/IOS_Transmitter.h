#pragma once
// Turns a frame into a DLE-framed block and writes it to the port.
#include <cstdint>
#include <vector>

#include "iol/IOL_Frame.h"
#include "spo/SPO_SerialPort.h"

namespace ios {

class Transmitter_t {
 public:
  explicit Transmitter_t(spo::SerialPort_t& port);

  // glo::OutOfRange_t for more than 255 data bytes or an id above 255.
  void Transmit(const iol::Frame_t& frame);

  // The bytes of the last frame transmitted.
  const std::vector<std::uint8_t>& LastBlock() const { return m_buffer; }

 private:
  void Put(std::uint8_t byte);

  spo::SerialPort_t& m_port;
  std::uint8_t m_sum = 0;
  std::vector<std::uint8_t> m_buffer;
};

}  // namespace ios
