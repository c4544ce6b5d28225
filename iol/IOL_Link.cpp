#include "iol/IOL_Link.h"

#include "plat/PLAT_FileHandle.h"
#include "plat/PLAT_Tick.h"
#include "win/WIN_Exception.h"

namespace iol {

Link_t::Link_t(const thr::Event_t& abortEvent) : m_defaultTimeout(kDefaultTimeout) {
  // A handle of our own to the owner's event; the owner keeps and closes its own.
  const plat::Handle duplicate = plat::DuplicateHandle(abortEvent.Handle());
  if (duplicate == plat::kInvalidHandle) throw win::Error_t(GLO_SRC);
  m_abortEvent.Attach(duplicate);
}

Link_t::~Link_t() {}

void Link_t::SendPacket(const Packet_t& packet, std::uint32_t timeoutMs) { Send(packet.Encode(), timeoutMs); }

void Link_t::ReceivePacket(Packet_t& packet, std::uint32_t timeoutMs) {
  const std::uint32_t start = static_cast<std::uint32_t>(plat::GetTickCount());
  for (;;) {
    if (timeoutMs != kNoTimeout && static_cast<std::uint32_t>(plat::GetTickCount()) - start > timeoutMs)
      throw Timeout_t(GLO_SRC);
    const Frame_t frame = Receive(timeoutMs);
    if (frame.Id() == packet.Id()) {
      packet.Decode(frame);
      return;
    }
    // Another packet: the link has acknowledged it already; it is dropped.
  }
}

Frame_t Link_t::ReceiveFrame() { return Receive(m_defaultTimeout); }

}  // namespace iol
