#pragma once
// The simulated watch: the unit's side of the serial link, served on the master
// of a pseudo-terminal whose slave path the program opens as its port.
//
// It acknowledges every frame of the host, retransmits its own frames on a NAK
// or on silence, carries multi-packet transfers both ways, answers the host from
// a profile (product data, protocol array, unit id, track log, laps, turning
// off), and can be told to misbehave: damaged frames, noise, missing or negative
// acknowledgements, silence. Tests drive it from their own thread; the watch
// runs on a thread of its own. A host that closes the port (EIO on the master)
// ends a session: the watch forgets its partial state and waits for the next.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "plat/PLAT_Pty.h"
#include "tools/SimProfile.h"
#include "tools/SimWire.h"

namespace sim {

// What the watch does with the host's next data frame.
enum class ReceiveFault {
  kNone,
  kDropAck,  // takes the frame but sends no acknowledgement
  kNak,      // answers with a NAK as if the frame were damaged, and drops it
  kSilence,  // ignores the frame completely
  kReject,   // acknowledges a step of a multi-packet transfer but rejects it
};

// Options of a multi-packet transfer from the watch, for sending bad ones.
struct MultiOptions {
  std::optional<std::uint32_t> announcedTotal;  // the total in the header (default: the true size)
  std::size_t headerBytes = 249;                // data bytes carried in the header
  std::size_t segmentBytes = 254;               // data bytes per segment
  int wrongSegmentNumberAt = -1;                // this segment carries a wrong number
};

// Outcome of the watch's sends, in order.
struct SendRecord {
  std::uint16_t id = 0;
  int transmissions = 0;  // how often the frame went out
  bool acknowledged = false;
};

class Watch_t {
 public:
  // Opens the pseudo-terminal and starts serving (throws std::runtime_error when
  // no pseudo-terminal can be made).
  explicit Watch_t(Profile profile = Profile());
  ~Watch_t();
  Watch_t(const Watch_t&) = delete;
  Watch_t& operator=(const Watch_t&) = delete;

  // The path to open as the serial port.
  const std::string& PortPath() const { return m_pty.SlavePath(); }
  const Profile& GetProfile() const { return m_profile; }

  // ---- behaviour -----------------------------------------------------------
  // The watch's wait for an acknowledgement before it sends again, and how often
  // it sends a frame in all before it gives up.
  void SetRetry(std::chrono::milliseconds ackTimeout, int maxTransmissions);
  // Whether the watch answers the host's requests from its profile (on by
  // default). Off, it still acknowledges frames but says nothing of its own.
  void SetConversation(bool on);
  // A silent watch neither acknowledges nor answers anything.
  void SetSilent(bool silent);
  // The watch falls silent in the middle of what it is sending: the next frame
  // it sends still goes out, with all its retries, but it hears nothing from
  // then on and sends nothing more. Unlike SetSilent, which may catch it
  // between two frames, the host always sees at least one unanswered frame.
  void FallSilent();
  // Damage for the next 'count' frames the watch sends (first transmissions).
  void InjectSendFault(SendFault fault, int count = 1);
  // Misbehaviour for the next 'count' data frames of the host.
  void InjectReceiveFault(ReceiveFault fault, int count = 1);

  // ---- frames from the watch (queued, sent in order by the watch's thread) --
  // Queue them once the host has opened the port: opening purges what was sent
  // before, and a session that ends drops what is still queued.
  void Send(std::uint16_t id, const Bytes& data);
  void SendMultiPacket(std::uint16_t packetId, const Bytes& data, const MultiOptions& options = MultiOptions());
  // Bytes written as they stand, after the frames queued before.
  void SendRaw(const Bytes& bytes);
  // Waits until everything queued has been sent (and acknowledged or given up).
  bool WaitIdle(std::chrono::milliseconds timeout);

  // ---- what the host did ---------------------------------------------------
  // Every byte received from the host, in order.
  Bytes HostBytes();
  bool WaitHostBytes(std::size_t count, std::chrono::milliseconds timeout);
  // Every good frame received from the host (acknowledgements included), in order.
  std::vector<Frame> HostFrames();
  bool WaitHostFrames(std::size_t count, std::chrono::milliseconds timeout);
  // Frames reassembled from multi-packet transfers of the host.
  std::vector<Frame> HostMultiFrames();
  // The outcome of every frame the watch sent.
  std::vector<SendRecord> Sends();
  // Microseconds from the last byte of each acknowledged watch frame leaving the
  // watch to the last byte of its acknowledgement arriving.
  std::vector<double> AckTurnaroundsUs();
  // Forgets the logs above.
  void ClearLogs();
  // Whether the host turned the watch off (until the host closes the port).
  bool IsOff();
  // Sessions ended by the host closing the port.
  int SessionsEnded();

 private:
  struct Job;
  using Clock = std::chrono::steady_clock;

  void Run();
  void Enqueue(std::unique_ptr<Job> job);
  // Reads from the host for at most 'timeout' and handles what arrived.
  // False when the session ended or the watch is stopping.
  bool Pump(std::chrono::milliseconds timeout);
  void OnHostFrame(const Frame& frame);
  void OnHostMulti(const Frame& frame, bool reject);
  void Transmit(std::uint8_t id, const Bytes& data, SendFault fault);
  void WriteRaw(const Bytes& bytes);
  void RunJob(Job& job);
  bool SendAcked(std::uint16_t id, const Bytes& data);
  std::optional<Frame> WaitHostFrame(std::chrono::milliseconds timeout, const std::function<bool(const Frame&)>& match);
  void SendMultiNow(std::uint16_t packetId, const Bytes& data, const MultiOptions& options);
  void EndSession();
  void Converse(const Frame& frame);

  Profile m_profile;
  plat::Pty m_pty;
  std::thread m_thread;

  std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_stop = false;
  bool m_silent = false;
  bool m_fallSilent = false;  // silent from the start of the next frame sent
  bool m_converse = true;
  bool m_off = false;
  bool m_busy = false;
  int m_sessionsEnded = 0;
  std::chrono::milliseconds m_ackTimeout{1000};
  int m_maxTransmissions = 3;
  std::deque<SendFault> m_sendFaults;
  std::deque<ReceiveFault> m_receiveFaults;
  std::deque<std::unique_ptr<Job>> m_jobs;
  Bytes m_hostBytes;
  std::vector<Frame> m_hostFrames;
  std::vector<Frame> m_hostMulti;
  std::vector<SendRecord> m_sends;
  std::vector<double> m_turnarounds;

  // Owned by the watch's thread.
  Parser m_parser;
  std::deque<Frame> m_inbox;  // host data frames not yet handled
  struct AckEvent {
    int id;  // the acknowledged id; -1 for a NAK, -2 for an ACK without data
    Clock::time_point when;
  };
  std::deque<AckEvent> m_ackEvents;
  Frame m_lastFrame;          // the host's last data frame
  bool m_lastUnacked = false; // its acknowledgement was held back
  Clock::time_point m_lastSendEnd;
  // A multi-packet transfer of the host in progress.
  struct Incoming {
    bool active = false;
    std::uint16_t packetId = 0;
    std::uint32_t total = 0;
    std::uint8_t nextSegment = 0;
    Bytes data;
  } m_incoming;
  bool m_hostPresent = false;
};

}  // namespace sim
