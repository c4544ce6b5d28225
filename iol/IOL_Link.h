#pragma once
// The link interface: moves frames to and from the unit. Every wait watches the
// owner's abort event (the stop event of a worker), which ends it with
// glo::Terminate_t. On top of Receive and Send sit the packet operations that
// every exchange of the device protocol uses.
#include <cstdint>

#include "glo/GLO_NonCopyable.h"
#include "iol/IOL_Exception.h"
#include "iol/IOL_Frame.h"
#include "iol/IOL_Packet.h"
#include "thr/THR_Event.h"
#include "win/WIN_Handle.h"

namespace iol {

class Link_t : glo::NonCopyable_t {
 public:
  // A time-out that never expires.
  static constexpr std::uint32_t kNoTimeout = 0xFFFFFFFFu;
  static constexpr std::uint32_t kDefaultTimeout = 3000;

  // Keeps a duplicate of the owner's event handle (the owner keeps and closes its
  // own event); win::Error_t when it cannot be duplicated.
  explicit Link_t(const thr::Event_t& abortEvent);
  virtual ~Link_t();

  // The next frame from the unit, waiting at most 'timeoutMs'.
  virtual Frame_t Receive(std::uint32_t timeoutMs) = 0;
  // Sends the frame and returns when the unit has taken it.
  virtual void Send(const Frame_t& frame, std::uint32_t timeoutMs) = 0;

  // Encodes the packet and sends its frame.
  void SendPacket(const Packet_t& packet, std::uint32_t timeoutMs);
  // Receives frames until one carries the packet's id and decodes it; frames of
  // other ids are dropped. iol::Timeout_t when the time-out passes first (each
  // Receive gets the whole time-out, so the wait may last up to two of them).
  void ReceivePacket(Packet_t& packet, std::uint32_t timeoutMs);
  // The next frame, whatever its id, within the default time-out.
  Frame_t ReceiveFrame();

  std::uint32_t DefaultTimeout() const { return m_defaultTimeout; }
  plat::Handle AbortEvent() const { return m_abortEvent.Get(); }

 protected:
  win::Handle_t m_abortEvent;
  std::uint32_t m_defaultTimeout;
};

}  // namespace iol
