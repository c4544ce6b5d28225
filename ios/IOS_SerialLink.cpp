#include "ios/IOS_SerialLink.h"

#include <algorithm>
#include <vector>

#include "bin/BIN_stream.h"
#include "ios/IOS_LowLevelFrame.h"
#include "plat/PLAT_Tick.h"

namespace ios {

namespace {

// Data bytes in a multi-packet header and in each segment when the link sends.
constexpr std::size_t kHeaderData = 249;
constexpr std::size_t kSegmentData = 254;

std::uint32_t Ticks() { return static_cast<std::uint32_t>(plat::GetTickCount()); }

bool Expired(std::uint32_t start, std::uint32_t timeoutMs) {
  return timeoutMs != iol::Link_t::kNoTimeout && Ticks() - start > timeoutMs;
}

std::vector<std::uint8_t> U16(std::uint16_t v) {
  return {static_cast<std::uint8_t>(v & 0xFF), static_cast<std::uint8_t>(v >> 8)};
}

}  // namespace

SerialLink_t::SerialLink_t(const thr::Event_t& abortEvent, const std::string& portName, unsigned long baudRate)
    : iol::Link_t(abortEvent),
      m_port(portName, baudRate, plat::kNoParity, 8, plat::kOneStopBit, false, false, false, 4096, 4096, 17, 19, 256,
             256),
      m_transmitter(m_port),
      m_receiver(m_port),
      m_multiPacket(false) {
  // The link's stop request also ends a write that waits on a stalled port.
  m_port.SetStopEvent(AbortEvent());
}

SerialLink_t::~SerialLink_t() {}

iol::Frame_t SerialLink_t::ReceiveAcked(std::uint32_t timeoutMs) {
  const std::uint32_t start = Ticks();
  for (;;) {
    if (Expired(start, timeoutMs)) throw iol::Timeout_t(GLO_SRC);
    try {
      const iol::Frame_t frame = m_receiver.Next(timeoutMs, AbortEvent());
      if (frame.Id() == kAck || frame.Id() == kNak) continue;  // nothing waits for it
      m_transmitter.Transmit(iol::Frame_t(kAck, U16(frame.Id())));
      return frame;
    } catch (const BadRcvBlock_t& bad) {
      m_transmitter.Transmit(iol::Frame_t(kNak, std::vector<std::uint8_t>{bad.BlockId()}));
    }
  }
}

void SerialLink_t::SendAcked(const iol::Frame_t& frame, std::uint32_t timeoutMs,
                             std::optional<std::uint16_t> abortId) {
  m_transmitter.Transmit(frame);
  std::uint32_t start = Ticks();
  int timeouts = 0;
  for (;;) {
    if (Expired(start, timeoutMs)) throw iol::Timeout_t(GLO_SRC);
    try {
      const iol::Frame_t reply = m_receiver.Next(timeoutMs, AbortEvent());
      if (reply.Id() == kAck) {
        iol::FrameStream_t stream(reply);
        unsigned char acked = 0;
        if (!stream.get(acked).good()) throw Exception_t(GLO_SRC);
        if (acked == frame.Id()) return;
      } else if (reply.Id() == kNak) {
        m_transmitter.Transmit(frame);
      } else if (abortId && reply.Id() == *abortId) {
        throw iol::Abort_t(GLO_SRC, 1);
      }
      // Any other frame is dropped: neither acknowledged nor kept.
    } catch (const iol::Timeout_t&) {
      if (++timeouts == 3) throw;
      m_transmitter.Transmit(frame);
      start = Ticks();
    } catch (const BadRcvBlock_t&) {
      m_transmitter.Transmit(frame);
    }
  }
}

void SerialLink_t::Send(const iol::Frame_t& frame, std::uint32_t timeoutMs) {
  // The turn-off command: the unit switches itself off and acknowledges nothing.
  if (frame.Id() == iol::kCommandPacketId && frame.Size() == 2 && frame.Data()[0] == (iol::kTurnOffCommand & 0xFF) &&
      frame.Data()[1] == (iol::kTurnOffCommand >> 8)) {
    m_transmitter.Transmit(frame);
    return;
  }
  if (LowLevelFrame_t::Fits(frame)) {
    SendAcked(frame, timeoutMs);
    return;
  }
  // More data than a block holds must not be cut short and altered on the way.
  if (frame.Id() <= 255) throw iol::BadFrame_t(frame, GLO_SRC);
  if (!m_multiPacket) throw iol::BadFrame_t(frame, GLO_SRC);
  SendMultiPacket(frame, timeoutMs);
}

void SerialLink_t::SendMultiPacket(const iol::Frame_t& frame, std::uint32_t timeoutMs) {
  const std::vector<std::uint8_t>& data = frame.Data();
  const std::uint16_t id = frame.Id();
  iol::FrameStream_t header;
  bin::write_le(header, static_cast<std::uint32_t>(data.size()));
  bin::write_le(header, id);
  std::size_t pos = std::min(data.size(), kHeaderData);
  header.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(pos));
  GLO_ASSERT(header.good());
  SendAcked(iol::Frame_t(kMultiHeader, &header), timeoutMs);
  if (pos < data.size()) WaitReply(kMultiHeader, id, 0, timeoutMs);
  std::uint8_t seg = 0;
  while (pos < data.size()) {
    const std::size_t m = std::min(data.size() - pos, kSegmentData);
    std::vector<std::uint8_t> body;
    body.reserve(m + 1);
    body.push_back(seg);
    body.insert(body.end(), data.begin() + static_cast<std::ptrdiff_t>(pos),
                data.begin() + static_cast<std::ptrdiff_t>(pos + m));
    SendAcked(iol::Frame_t(kMultiSegment, body), timeoutMs);
    WaitReply(kMultiSegment, id, seg, timeoutMs);
    pos += m;
    seg = static_cast<std::uint8_t>(seg + 1);
  }
}

iol::Frame_t SerialLink_t::Receive(std::uint32_t timeoutMs) {
  const iol::Frame_t frame = ReceiveAcked(timeoutMs);
  if (frame.Id() == kMultiSegment) throw iol::BadFrame_t(frame, GLO_SRC);  // a segment without its header
  if (frame.Id() == kMultiHeader) return ReceiveMultiPacket(frame, timeoutMs);
  return frame;
}

iol::Frame_t SerialLink_t::ReceiveMultiPacket(const iol::Frame_t& header, std::uint32_t timeoutMs) {
  iol::FrameStream_t stream(header);
  std::uint32_t total = 0;
  std::uint16_t packetId = 0;
  bin::read_le(stream, total);
  bin::read_le(stream, packetId);
  if (stream.fail()) throw iol::BadFrame_t(header, GLO_SRC);
  const std::size_t carried = header.Size() - 6;
  // The total is the unit's word only: it never sizes a buffer, and one beyond
  // any real transfer marks the header as damaged.
  if (carried > total || total > kMaxMultiPacketTotal) {
    SendReply(false, kMultiHeader, packetId, 0, timeoutMs);
    throw iol::BadFrame_t(header, GLO_SRC);
  }
  std::vector<std::uint8_t> data(header.Data().begin() + 6, header.Data().end());
  std::size_t remaining = total - carried;
  if (remaining > 0) SendReply(true, kMultiHeader, packetId, 0, timeoutMs);
  std::uint8_t seg = 0;
  while (remaining > 0) {
    const iol::Frame_t segment = ReceiveAcked(timeoutMs);
    const std::size_t size = segment.Size();
    const bool sizeOk = size >= 1 && size - 1 <= remaining && (size - 1 == kSegmentData || size - 1 == remaining);
    if (segment.Id() != kMultiSegment || !sizeOk || segment.Data()[0] != seg) {
      SendReply(false, kMultiSegment, packetId, seg, timeoutMs);
      throw iol::BadFrame_t(segment, GLO_SRC);
    }
    data.insert(data.end(), segment.Data().begin() + 1, segment.Data().end());
    remaining -= size - 1;
    SendReply(true, kMultiSegment, packetId, seg, timeoutMs);
    seg = static_cast<std::uint8_t>(seg + 1);
  }
  return iol::Frame_t(packetId, data);
}

void SerialLink_t::SendReply(bool accept, std::uint16_t answeredId, std::uint16_t packetId, std::uint8_t segment,
                             std::uint32_t timeoutMs) {
  iol::FrameStream_t body;
  bin::write_le(body, answeredId);
  bin::write_le(body, packetId);
  body.put(static_cast<char>(segment));
  GLO_ASSERT(body.good());
  SendAcked(iol::Frame_t(accept ? kMultiAccept : kMultiReject, &body), timeoutMs);
}

void SerialLink_t::WaitReply(std::uint16_t answeredId, std::uint16_t packetId, std::uint8_t segment,
                             std::uint32_t timeoutMs) {
  const iol::Frame_t reply = ReceiveAcked(timeoutMs);
  iol::FrameStream_t stream(reply);
  std::uint16_t answered = 0, id = 0;
  unsigned char seg = 0;
  bin::read_le(stream, answered);
  bin::read_le(stream, id);
  stream.get(seg);
  if (stream.fail() || answered != answeredId || id != packetId || seg != segment)
    throw iol::BadFrame_t(reply, GLO_SRC);
  if (reply.Id() != kMultiAccept) throw TransAbort_t(GLO_SRC);
}

}  // namespace ios
