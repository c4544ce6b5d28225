#pragma once
// The framed serial link: frames to DLE-framed blocks on a serial port and back.
// It acknowledges every frame it hands to its caller, waits for the
// acknowledgement of every frame it sends (sending again after a NAK, a damaged
// block or a time-out, three sends in all to a silent unit), and carries frames
// whose id does not fit in a byte as multi-packet transfers. It runs on the
// caller's thread; every wait also watches the abort event.
#include <cstdint>
#include <optional>
#include <string>

#include "ios/IOS_Exception.h"
#include "ios/IOS_Receiver.h"
#include "ios/IOS_Transmitter.h"
#include "iol/IOL_Link.h"
#include "spo/SPO_SerialPort.h"

namespace ios {

class SerialLink_t : public iol::Link_t {
 public:
  // Link frame ids.
  static constexpr std::uint16_t kAck = 6;
  static constexpr std::uint16_t kNak = 21;
  static constexpr std::uint16_t kMultiHeader = 123;
  static constexpr std::uint16_t kMultiSegment = 124;
  static constexpr std::uint16_t kMultiAccept = 125;
  static constexpr std::uint16_t kMultiReject = 126;
  // The most data a multi-packet transfer from the unit may announce; a larger
  // total is taken as a damaged header.
  static constexpr std::uint32_t kMaxMultiPacketTotal = 1024 * 1024;

  // Opens the port ("COMn" or a device path) at the baud rate: no parity, 8 data
  // bits, one stop bit, no flow control. spo::CommFileError_t when it cannot be opened.
  SerialLink_t(const thr::Event_t& abortEvent, const std::string& portName, unsigned long baudRate);
  ~SerialLink_t() override;

  // The next frame from the unit, acknowledged, with a multi-packet transfer
  // reassembled into one frame.
  iol::Frame_t Receive(std::uint32_t timeoutMs) override;
  // Sends the frame and returns when the unit has acknowledged it (the turn-off
  // command is not acknowledged: it returns at once). A frame of more than 255
  // data bytes, or an id above 255 without multi-packet transfers, is refused
  // with iol::BadFrame_t.
  void Send(const iol::Frame_t& frame, std::uint32_t timeoutMs) override;

  // Whether frames with ids above 255 may be sent as multi-packet transfers
  // (the channel allows it when the unit lists protocol T001).
  void SetMultiPacket(bool allowed) { m_multiPacket = allowed; }
  bool MultiPacket() const { return m_multiPacket; }

  // The next frame that is neither ACK nor NAK, acknowledged; a damaged block is
  // answered with a NAK and the wait goes on.
  iol::Frame_t ReceiveAcked(std::uint32_t timeoutMs);
  // Transmits the frame until the unit acknowledges it. A frame with the abort id
  // from the unit ends the send with iol::Abort_t.
  void SendAcked(const iol::Frame_t& frame, std::uint32_t timeoutMs,
                 std::optional<std::uint16_t> abortId = std::nullopt);
  // Sends a multi-packet accept (125) or reject (126) reply.
  void SendReply(bool accept, std::uint16_t answeredId, std::uint16_t packetId, std::uint8_t segment,
                 std::uint32_t timeoutMs);
  // Waits for the unit's reply to a multi-packet step: ios::TransAbort_t for a
  // reject, iol::BadFrame_t for a reply to something else.
  void WaitReply(std::uint16_t answeredId, std::uint16_t packetId, std::uint8_t segment, std::uint32_t timeoutMs);

 private:
  iol::Frame_t ReceiveMultiPacket(const iol::Frame_t& header, std::uint32_t timeoutMs);
  void SendMultiPacket(const iol::Frame_t& frame, std::uint32_t timeoutMs);

  spo::SerialPort_t m_port;
  Transmitter_t m_transmitter;
  Receiver_t m_receiver;
  bool m_multiPacket;
};

}  // namespace ios
