#include "tools/SimTrackLog.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "tools/SimThread.h"

namespace sim {

namespace {


// How long the watch waits for the host's acknowledgement of one of its frames
// in all (its retries included) before it gives the transfer up.
constexpr std::chrono::milliseconds kFrameWait{15000};
// An acknowledgement slower than this may have come after retransmissions.
constexpr std::chrono::milliseconds kSlowAck{300};

void PutFloat(Bytes& out, const std::optional<float>& value) {
  std::uint32_t bits = kNoFloatBits;
  if (value) std::memcpy(&bits, &*value, sizeof bits);
  PutU32(out, bits);
}

Bytes S16(std::int16_t v) {
  Bytes b;
  PutU16(b, static_cast<std::uint16_t>(v));
  return b;
}

}  // namespace

Bytes EncodePoint(std::uint16_t pointType, const SimTrackPoint& point) {
  Bytes b;
  PutU32(b, static_cast<std::uint32_t>(point.latitude));
  PutU32(b, static_cast<std::uint32_t>(point.longitude));
  PutU32(b, point.time);
  if (pointType == 301 || pointType == 302) {
    PutFloat(b, point.altitude);
    PutFloat(b, point.depth);
  }
  if (pointType == 302) PutFloat(b, point.temperature);
  PutU8(b, point.newTrack);
  return b;
}

Bytes EncodeHeader(std::uint16_t headerType, const SimTrack& track) {
  Bytes b;
  if (headerType == 311) {
    PutU16(b, track.index);
    return b;
  }
  PutU8(b, track.display);
  PutU8(b, track.color);
  if (track.rawName) {
    b.insert(b.end(), track.rawName->begin(), track.rawName->end());
  } else {
    const std::string wire = Utf8ToCp1252(track.name);
    b.insert(b.end(), wire.begin(), wire.end());
  }
  b.push_back(0);
  return b;
}

std::vector<Frame> TrackLogFrames(const TrackLog& log) {
  std::vector<Frame> frames;
  for (const SimTrack& track : log.tracks) {
    if (log.protocol != TrackProtocol::kA300) frames.push_back(Frame{kTrackHeaderId, EncodeHeader(log.headerType, track)});
    for (const SimTrackPoint& point : track.points)
      frames.push_back(Frame{kTrackPointId, EncodePoint(log.pointType, point)});
  }
  return frames;
}

std::vector<ProtocolEntry> TrackLogProtocols(const TrackLog& log) {
  std::vector<ProtocolEntry> list = {{'L', 1}, {'A', 10}};
  switch (log.protocol) {
    case TrackProtocol::kA300:
      list.push_back({'A', 300});
      break;
    case TrackProtocol::kA301:
      list.push_back({'A', 301});
      list.push_back({'D', log.headerType});
      break;
    case TrackProtocol::kA302:
      list.push_back({'A', 302});
      list.push_back({'D', log.headerType});
      break;
  }
  list.push_back({'D', log.pointType});
  list.push_back({'A', 906});
  list.push_back({'D', 906});
  return list;
}

// ---- the serving watch ----------------------------------------------------

TrackLogWatch_t::TrackLogWatch_t(TrackLog log, Profile base)
    : m_log(std::move(log)), m_profile(std::move(base)), m_records(TrackLogFrames(m_log)), m_watch(m_profile) {
  m_profile.protocols = m_log.protocols ? *m_log.protocols : TrackLogProtocols(m_log);
  // The watch below only acknowledges; everything it says comes from here.
  m_watch.SetConversation(false);
  // A patient watch: a host slowed down by a loaded machine must not receive a
  // record twice because the watch took a late acknowledgement for a lost one.
  m_watch.SetRetry(std::chrono::milliseconds(2500), 3);
  m_thread = std::thread([this] { Serve(); });
}

TrackLogWatch_t::~TrackLogWatch_t() {
  StopServing(m_mutex, m_stop, m_thread, [this] { m_changed.notify_all(); });
}

void TrackLogWatch_t::SetThrottle(unsigned bytesPerSecond) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_throttle = bytesPerSecond;
}

void TrackLogWatch_t::SetFaults(const TrackLogFaults& faults) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_faults = faults;
}

int TrackLogWatch_t::RecordsSent() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_recordsSent;
}

bool TrackLogWatch_t::WaitRecordsSent(int count, std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(m_mutex);
  return m_changed.wait_for(lock, timeout, [&] { return m_recordsSent >= count; });
}

int TrackLogWatch_t::TransfersCompleted() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_transfersCompleted;
}

bool TrackLogWatch_t::WaitTransfersCompleted(int count, std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(m_mutex);
  return m_changed.wait_for(lock, timeout, [&] { return m_transfersCompleted >= count; });
}

bool TrackLogWatch_t::Stopping() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_stop;
}

void TrackLogWatch_t::Serve() {
  std::size_t seen = 0;
  while (!Stopping()) {
    if (!m_watch.WaitHostFrames(seen + 1, std::chrono::milliseconds(50))) continue;
    const std::vector<Frame> frames = m_watch.HostFrames();
    if (frames.size() < seen) seen = 0;  // the logs were cleared
    for (std::size_t i = seen; i < frames.size(); ++i) OnHostFrame(frames[i]);
    seen = frames.size();
  }
}

void TrackLogWatch_t::OnHostFrame(const Frame& frame) {
  if (frame.id == kProductRequestId) {
    Negotiate();
  } else if (frame.id == kCommandId && frame.data.size() >= 2) {
    const std::int16_t command = static_cast<std::int16_t>(GetU16(frame.data, 0));
    if (command == kCmdTracks) Transfer(command);
  }
  // Acknowledgements, the data request and other commands need no answer.
}

void TrackLogWatch_t::Negotiate() {
  Bytes data;
  PutU16(data, m_profile.productId);
  PutU16(data, static_cast<std::uint16_t>(m_profile.softwareVersion));
  for (const std::string& text : m_profile.descriptions) {
    const std::string wire = Utf8ToCp1252(text);
    data.insert(data.end(), wire.begin(), wire.end());
    data.push_back(0);
  }
  if (data.size() > 255) data.resize(255);
  m_watch.Send(kProductDataId, data);
  Bytes array;
  for (const ProtocolEntry& p : *m_profile.protocols) {
    PutU8(array, static_cast<std::uint8_t>(p.tag));
    PutU16(array, p.number);
  }
  m_watch.Send(kProtocolArrayId, array);
}

bool TrackLogWatch_t::SendPaced(std::uint16_t id, const Bytes& data, Clock::time_point& wire, unsigned rate) {
  const int sessions = m_watch.SessionsEnded();
  if (rate > 0) {
    // The frame reaches the host once all its bytes have crossed the wire.
    const std::size_t bytes = EncodeFrame(static_cast<std::uint8_t>(id), data).size();
    wire = std::max(wire, Clock::now()) + std::chrono::microseconds(bytes * 1000000u / rate);
    std::this_thread::sleep_until(wire);
  }
  const std::size_t sendsBefore = m_sendsLogged;
  const Clock::time_point sent = Clock::now();
  m_watch.Send(id, data);
  if (!m_watch.WaitIdle(kFrameWait)) return false;
  ++m_sendsLogged;
  // A frame acknowledged at once needs no look at the watch's send log (which
  // grows with every frame and is copied whole); one that took long, or a host
  // that closed the port meanwhile, may have been given up.
  if (m_watch.SessionsEnded() != sessions || Clock::now() - sent > kSlowAck) {
    const std::vector<SendRecord> sends = m_watch.Sends();
    m_sendsLogged = sends.size();
    if (sends.size() <= sendsBefore || !sends.back().acknowledged) return false;
  }
  if (rate > 0) {
    // The host's acknowledgement occupies the wire as long as its bytes take.
    Bytes ack;
    PutU16(ack, id);
    const std::size_t bytes = EncodeFrame(6, ack).size();
    wire = Clock::now() + std::chrono::microseconds(bytes * 1000000u / rate);
  }
  return true;
}

void TrackLogWatch_t::Transfer(std::int16_t command) {
  TrackLogFaults faults;
  unsigned rate;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    faults = m_faults;
    rate = m_throttle;
    m_recordsSent = 0;
  }
  m_sendsLogged = m_watch.Sends().size();
  std::vector<Frame> records = m_records;
  if (faults.extraFrameAt >= 0) {
    const std::size_t at = std::min(records.size(), static_cast<std::size_t>(faults.extraFrameAt));
    records.insert(records.begin() + static_cast<std::ptrdiff_t>(at), faults.extraFrame);
  }
  // The count goes out as 16 bits, as the unit keeps it.
  const long long count = static_cast<long long>(records.size()) + faults.countDelta;
  const std::uint16_t wireCount = static_cast<std::uint16_t>(static_cast<unsigned long long>(count) & 0xFFFFu);

  Clock::time_point wire = Clock::now();
  if (!SendPaced(kRecordsId, S16(static_cast<std::int16_t>(wireCount)), wire, rate)) return;
  for (const Frame& record : records) {
    if (Stopping()) return;
    if (!SendPaced(record.id, record.data, wire, rate)) return;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      ++m_recordsSent;
    }
    m_changed.notify_all();
  }
  if (!SendPaced(kTransferCompleteId, S16(command == kCmdTracks ? faults.completeValue : command), wire, rate))
    return;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_transfersCompleted;
  }
  m_changed.notify_all();
}

}  // namespace sim
