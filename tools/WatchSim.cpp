#include "tools/WatchSim.h"

#include <algorithm>
#include <stdexcept>

#include "plat/PLAT_Error.h"
#include "tools/SimThread.h"

namespace sim {

namespace {

// How long the watch waits for the host's reply in a multi-packet transfer.
constexpr std::chrono::milliseconds kReplyWait{5000};

Bytes S16(std::int16_t v) {
  Bytes b;
  PutU16(b, static_cast<std::uint16_t>(v));
  return b;
}

}  // namespace

struct Watch_t::Job {
  enum Kind { kFrame, kMulti, kRaw } kind = kFrame;
  std::uint16_t id = 0;
  Bytes data;
  MultiOptions options;
};

Watch_t::Watch_t(Profile profile) : m_profile(std::move(profile)) {
  if (!m_pty.Open())
    throw std::runtime_error("cannot open a pseudo-terminal (error " + std::to_string(plat::GetLastError()) + ")");
  m_thread = std::thread([this] { Run(); });
}

Watch_t::~Watch_t() {
  StopServing(m_mutex, m_stop, m_thread, [this] { m_pty.Wake(); });
}

// ---- controls ---------------------------------------------------------------

void Watch_t::SetRetry(std::chrono::milliseconds ackTimeout, int maxTransmissions) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_ackTimeout = ackTimeout;
  m_maxTransmissions = std::max(1, maxTransmissions);
}

void Watch_t::SetConversation(bool on) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_converse = on;
}

void Watch_t::SetSilent(bool silent) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_silent = silent;
}

void Watch_t::FallSilent() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_fallSilent = true;
}

void Watch_t::InjectSendFault(SendFault fault, int count) {
  std::lock_guard<std::mutex> lock(m_mutex);
  for (int i = 0; i < count; ++i) m_sendFaults.push_back(fault);
}

void Watch_t::InjectReceiveFault(ReceiveFault fault, int count) {
  std::lock_guard<std::mutex> lock(m_mutex);
  for (int i = 0; i < count; ++i) m_receiveFaults.push_back(fault);
}

void Watch_t::Enqueue(std::unique_ptr<Job> job) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_jobs.push_back(std::move(job));
  }
  m_pty.Wake();
}

void Watch_t::Send(std::uint16_t id, const Bytes& data) {
  auto job = std::make_unique<Job>();
  job->kind = Job::kFrame;
  job->id = id;
  job->data = data;
  Enqueue(std::move(job));
}

void Watch_t::SendMultiPacket(std::uint16_t packetId, const Bytes& data, const MultiOptions& options) {
  auto job = std::make_unique<Job>();
  job->kind = Job::kMulti;
  job->id = packetId;
  job->data = data;
  job->options = options;
  Enqueue(std::move(job));
}

void Watch_t::SendRaw(const Bytes& bytes) {
  auto job = std::make_unique<Job>();
  job->kind = Job::kRaw;
  job->data = bytes;
  Enqueue(std::move(job));
}

bool Watch_t::WaitIdle(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(m_mutex);
  return m_changed.wait_for(lock, timeout, [this] { return m_jobs.empty() && !m_busy; });
}

// ---- logs -------------------------------------------------------------------

Bytes Watch_t::HostBytes() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_hostBytes;
}

bool Watch_t::WaitHostBytes(std::size_t count, std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(m_mutex);
  return m_changed.wait_for(lock, timeout, [&] { return m_hostBytes.size() >= count; });
}

std::vector<Frame> Watch_t::HostFrames() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_hostFrames;
}

bool Watch_t::WaitHostFrames(std::size_t count, std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(m_mutex);
  return m_changed.wait_for(lock, timeout, [&] { return m_hostFrames.size() >= count; });
}

std::vector<Frame> Watch_t::HostMultiFrames() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_hostMulti;
}

std::vector<SendRecord> Watch_t::Sends() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_sends;
}

std::vector<double> Watch_t::AckTurnaroundsUs() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_turnarounds;
}

void Watch_t::ClearLogs() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_hostBytes.clear();
  m_hostFrames.clear();
  m_hostMulti.clear();
  m_sends.clear();
  m_turnarounds.clear();
}

bool Watch_t::IsOff() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_off;
}

int Watch_t::SessionsEnded() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_sessionsEnded;
}

// ---- the watch's thread -----------------------------------------------------

void Watch_t::Run() {
  for (;;) {
    std::unique_ptr<Job> job;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      if (m_stop) return;
      if (!m_jobs.empty() && !m_off && !m_silent) {
        job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_busy = true;
      }
    }
    if (job) {
      RunJob(*job);
      {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_busy = false;
      }
      m_changed.notify_all();
      continue;
    }
    // Frames that came in while a job ran are answered before waiting for more.
    if (m_inbox.empty()) Pump(std::chrono::milliseconds(50));
    while (!m_inbox.empty()) {
      const Frame frame = m_inbox.front();
      m_inbox.pop_front();
      Converse(frame);
    }
  }
}

void Watch_t::EndSession() {
  m_parser.Reset();
  m_inbox.clear();
  m_ackEvents.clear();
  m_incoming = Incoming();
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_off = false;
    m_jobs.clear();
    ++m_sessionsEnded;
  }
  m_changed.notify_all();
}

bool Watch_t::Pump(std::chrono::milliseconds timeout) {
  std::uint8_t buffer[4096];
  std::size_t got = 0;
  const auto result = m_pty.Read(buffer, sizeof buffer, got, static_cast<int>(timeout.count()));
  switch (result) {
    case plat::Pty::kWoken:
      return true;
    case plat::Pty::kTimedOut:
      m_hostPresent = true;
      return true;
    case plat::Pty::kFailed:
      plat::SleepMs(5);
      return true;
    case plat::Pty::kHangUp:
      // No one holds the port open: the host closed it, which ends the session.
      if (m_hostPresent) EndSession();
      m_hostPresent = false;
      plat::SleepMs(5);
      return false;
    case plat::Pty::kData:
      break;
  }
  m_hostPresent = true;
  const Clock::time_point now = Clock::now();
  bool silent, off;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_hostBytes.insert(m_hostBytes.end(), buffer, buffer + got);
    silent = m_silent;
    off = m_off;
  }
  m_changed.notify_all();
  for (std::size_t i = 0; i < got; ++i) {
    const Parser::Result r = m_parser.Feed(buffer[i]);
    if (r == Parser::kNothing) continue;
    if (r == Parser::kBadBlock) {
      if (!silent && !off) Transmit(kNak, Bytes{m_parser.BadId()}, SendFault::kNone);
      continue;
    }
    const Frame frame = m_parser.Last();
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_hostFrames.push_back(frame);
      off = m_off;
    }
    m_changed.notify_all();
    if (silent || off) continue;  // a switched-off watch hears nothing
    if (frame.id == kAck)
      m_ackEvents.push_back({frame.data.empty() ? -2 : frame.data[0], now});
    else if (frame.id == kNak)
      m_ackEvents.push_back({-1, now});
    else
      OnHostFrame(frame);
  }
  return true;
}

void Watch_t::OnHostFrame(const Frame& frame) {
  ReceiveFault fault = ReceiveFault::kNone;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_receiveFaults.empty()) {
      fault = m_receiveFaults.front();
      m_receiveFaults.pop_front();
    }
  }
  if (fault == ReceiveFault::kSilence) return;
  bool converse;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    converse = m_converse;
  }
  if (converse && frame.id == kCommandId && frame.data.size() == 2 && GetU16(frame.data, 0) == kCmdTurnOff) {
    // The watch switches itself off at once and acknowledges nothing.
    std::lock_guard<std::mutex> lock(m_mutex);
    m_off = true;
    return;
  }
  if (fault == ReceiveFault::kNak) {
    Transmit(kNak, Bytes{static_cast<std::uint8_t>(frame.id)}, SendFault::kNone);
    return;
  }
  // A frame equal to the last one whose acknowledgement was held back is its
  // retransmission: acknowledge it, but do not act on it twice.
  const bool repeat = m_lastUnacked && m_lastFrame.id == frame.id && m_lastFrame.data == frame.data;
  m_lastFrame = frame;
  m_lastUnacked = fault == ReceiveFault::kDropAck;
  if (fault != ReceiveFault::kDropAck) {
    Bytes ack;
    PutU16(ack, frame.id);
    Transmit(kAck, ack, SendFault::kNone);
  }
  if (repeat) return;
  if (frame.id == kMultiHeader || frame.id == kMultiSegment)
    OnHostMulti(frame, fault == ReceiveFault::kReject);
  else
    m_inbox.push_back(frame);
}

void Watch_t::OnHostMulti(const Frame& frame, bool reject) {
  auto reply = [this](std::uint8_t kind, std::uint16_t answered, std::uint16_t packetId, std::uint8_t seg) {
    auto job = std::make_unique<Job>();
    job->kind = Job::kFrame;
    job->id = kind;
    PutU16(job->data, answered);
    PutU16(job->data, packetId);
    PutU8(job->data, seg);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_jobs.push_front(std::move(job));
  };
  auto complete = [this]() {
    const Frame whole{m_incoming.packetId, m_incoming.data};
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_hostMulti.push_back(whole);
    }
    m_changed.notify_all();
    m_inbox.push_back(whole);
    m_incoming = Incoming();
  };
  if (reject) {
    reply(kMultiReject, frame.id, frame.data.size() >= 6 && frame.id == kMultiHeader ? GetU16(frame.data, 4) : m_incoming.packetId,
          frame.id == kMultiHeader || frame.data.empty() ? 0 : frame.data[0]);
    m_incoming = Incoming();
    return;
  }
  if (frame.id == kMultiHeader) {
    if (frame.data.size() < 6) {
      reply(kMultiReject, kMultiHeader, 0, 0);
      return;
    }
    const std::uint32_t total = GetU32(frame.data, 0);
    const std::uint16_t packetId = GetU16(frame.data, 4);
    const std::size_t carried = frame.data.size() - 6;
    if (carried > total) {
      reply(kMultiReject, kMultiHeader, packetId, 0);
      m_incoming = Incoming();
      return;
    }
    m_incoming.active = true;
    m_incoming.packetId = packetId;
    m_incoming.total = total;
    m_incoming.nextSegment = 0;
    m_incoming.data.assign(frame.data.begin() + 6, frame.data.end());
    if (carried == total)
      complete();
    else
      reply(kMultiAccept, kMultiHeader, packetId, 0);
    return;
  }
  // A segment.
  const std::uint8_t seg = frame.data.empty() ? 0 : frame.data[0];
  if (!m_incoming.active || frame.data.empty()) {
    reply(kMultiReject, kMultiSegment, m_incoming.packetId, seg);
    return;
  }
  const std::size_t m = frame.data.size() - 1;
  const std::size_t remaining = m_incoming.total - m_incoming.data.size();
  if (seg != m_incoming.nextSegment || m > remaining || (m != 254 && m != remaining)) {
    reply(kMultiReject, kMultiSegment, m_incoming.packetId, seg);
    m_incoming = Incoming();
    return;
  }
  m_incoming.data.insert(m_incoming.data.end(), frame.data.begin() + 1, frame.data.end());
  reply(kMultiAccept, kMultiSegment, m_incoming.packetId, seg);
  ++m_incoming.nextSegment;
  if (m_incoming.data.size() == m_incoming.total) complete();
}

void Watch_t::WriteRaw(const Bytes& bytes) {
  if (!bytes.empty()) m_pty.Write(bytes.data(), bytes.size());
}

void Watch_t::Transmit(std::uint8_t id, const Bytes& data, SendFault fault) {
  WriteRaw(EncodeFrame(id, data, fault));
  m_lastSendEnd = Clock::now();
}

void Watch_t::RunJob(Job& job) {
  switch (job.kind) {
    case Job::kRaw:
      WriteRaw(job.data);
      break;
    case Job::kFrame:
      if (job.id <= 255 && job.data.size() <= 255) SendAcked(job.id, job.data);
      break;
    case Job::kMulti:
      SendMultiNow(job.id, job.data, job.options);
      break;
  }
}

bool Watch_t::SendAcked(std::uint16_t id, const Bytes& data) {
  SendFault fault = SendFault::kNone;
  std::chrono::milliseconds ackTimeout;
  int maxTransmissions;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_sendFaults.empty()) {
      fault = m_sendFaults.front();
      m_sendFaults.pop_front();
    }
    ackTimeout = m_ackTimeout;
    maxTransmissions = m_maxTransmissions;
    if (m_fallSilent) {
      m_fallSilent = false;
      m_silent = true;  // this frame still goes out, unheard
    }
  }
  SendRecord record;
  record.id = id;
  auto finish = [&](bool acked) {
    record.acknowledged = acked;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_sends.push_back(record);
    }
    m_changed.notify_all();
    return acked;
  };
  m_ackEvents.clear();
  const std::uint8_t id8 = static_cast<std::uint8_t>(id);
  while (record.transmissions < maxTransmissions) {
    Transmit(id8, data, record.transmissions == 0 ? fault : SendFault::kNone);
    ++record.transmissions;
    const Clock::time_point deadline = Clock::now() + ackTimeout;
    bool resend = false;
    while (!resend) {
      while (!m_ackEvents.empty() && !resend) {
        const AckEvent ev = m_ackEvents.front();
        m_ackEvents.pop_front();
        if (ev.id == id8) {
          const double us = std::chrono::duration<double, std::micro>(ev.when - m_lastSendEnd).count();
          {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_turnarounds.push_back(us);
          }
          return finish(true);
        }
        if (ev.id == -1) resend = true;  // NAK: send again at once
      }
      if (resend) break;
      const Clock::time_point now = Clock::now();
      if (now >= deadline) break;
      bool stopping;
      {
        std::lock_guard<std::mutex> lock(m_mutex);
        stopping = m_stop;
      }
      if (stopping) return finish(false);
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now) + std::chrono::milliseconds(1);
      if (!Pump(left)) return finish(false);  // the session ended
    }
  }
  return finish(false);
}

std::optional<Frame> Watch_t::WaitHostFrame(std::chrono::milliseconds timeout,
                                            const std::function<bool(const Frame&)>& match) {
  const Clock::time_point deadline = Clock::now() + timeout;
  for (;;) {
    for (auto it = m_inbox.begin(); it != m_inbox.end(); ++it) {
      if (match(*it)) {
        Frame f = *it;
        m_inbox.erase(it);
        return f;
      }
    }
    const Clock::time_point now = Clock::now();
    if (now >= deadline) return std::nullopt;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      if (m_stop) return std::nullopt;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now) + std::chrono::milliseconds(1);
    if (!Pump(left)) return std::nullopt;
  }
}

void Watch_t::SendMultiNow(std::uint16_t packetId, const Bytes& data, const MultiOptions& options) {
  const std::uint32_t total = options.announcedTotal.value_or(static_cast<std::uint32_t>(data.size()));
  const std::size_t inHeader = std::min(options.headerBytes, data.size());
  Bytes header;
  PutU32(header, total);
  PutU16(header, packetId);
  header.insert(header.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(inHeader));
  if (!SendAcked(kMultiHeader, header)) return;
  if (inHeader >= data.size() || total <= inHeader) return;  // nothing more to come: no reply
  auto replyTo = [packetId](std::uint16_t answered, int seg) {
    return [=](const Frame& f) {
      return (f.id == kMultiAccept || f.id == kMultiReject) && f.data.size() >= 5 &&
             GetU16(f.data, 0) == answered && GetU16(f.data, 2) == packetId &&
             (seg < 0 || f.data[4] == static_cast<std::uint8_t>(seg));
    };
  };
  // The host's answer to a bad step is a reject whatever the segment number.
  std::optional<Frame> reply = WaitHostFrame(kReplyWait, replyTo(kMultiHeader, 0));
  if (!reply || reply->id != kMultiAccept) return;
  std::size_t pos = inHeader;
  int seg = 0;
  const std::size_t step = std::max<std::size_t>(1, options.segmentBytes);
  while (pos < data.size()) {
    const std::size_t m = std::min(step, data.size() - pos);
    Bytes body;
    PutU8(body, static_cast<std::uint8_t>(seg == options.wrongSegmentNumberAt ? seg + 1 : seg));
    body.insert(body.end(), data.begin() + static_cast<std::ptrdiff_t>(pos),
                data.begin() + static_cast<std::ptrdiff_t>(pos + m));
    if (!SendAcked(kMultiSegment, body)) return;
    reply = WaitHostFrame(kReplyWait, replyTo(kMultiSegment, -1));
    if (!reply || reply->id != kMultiAccept) return;
    pos += m;
    ++seg;
  }
}

void Watch_t::Converse(const Frame& frame) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_converse) return;
  }
  switch (frame.id) {
    case kProductRequestId: {
      Bytes data;
      PutU16(data, m_profile.productId);
      PutU16(data, static_cast<std::uint16_t>(m_profile.softwareVersion));
      for (const std::string& text : m_profile.descriptions) {
        const std::string wire = Utf8ToCp1252(text);
        data.insert(data.end(), wire.begin(), wire.end());
        data.push_back(0);
      }
      if (data.size() > 255) data.resize(255);
      Send(kProductDataId, data);
      if (m_profile.protocols) {
        Bytes array;
        for (const ProtocolEntry& p : *m_profile.protocols) {
          PutU8(array, static_cast<std::uint8_t>(p.tag));
          PutU16(array, p.number);
        }
        if (array.size() > 255) array.resize(255 - 255 % 3);
        Send(kProtocolArrayId, array);
      }
      break;
    }
    case kCommandId: {
      if (frame.data.size() < 2) break;
      const std::int16_t command = static_cast<std::int16_t>(GetU16(frame.data, 0));
      auto transfer = [&](const std::vector<Frame>& frames, int countDelta = 0) {
        Send(kRecordsId, S16(static_cast<std::int16_t>(static_cast<int>(frames.size()) + countDelta)));
        for (const Frame& f : frames) {
          if (f.id > 255 || f.data.size() > 255)
            SendMultiPacket(f.id, f.data);
          else
            Send(f.id, f.data);
        }
        Send(kTransferCompleteId, S16(command));
      };
      if (command == kCmdUnitId) {
        Bytes data;
        PutU32(data, m_profile.unitId);
        Send(kUnitIdId, data);
      } else if (command == kCmdTracks) {
        transfer(m_profile.trackLog);
      } else if (command == kCmdLaps) {
        transfer(m_profile.laps, m_profile.lapCountDelta);
      } else if (command == kCmdRegionInfo) {
        if (m_profile.regionInfo) Send(kRegionInfoId, *m_profile.regionInfo);
      }
      break;
    }
    case kDataRequestId:
    default:
      break;
  }
}

}  // namespace sim
