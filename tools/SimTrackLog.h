#pragma once
// The simulated watch's track log: tracks of points as the unit keeps them, the
// frames it sends for them under the track protocols A300 (points only, a flag
// on the first point of each track), A301 and A302 (a header before the points
// of each track), and a watch that serves that log on a pseudo-terminal.
//
// The watch answers the product request with its product data and a protocol
// array naming the log's protocol and data types, and the track command (6)
// with the record count, the records and the transfer-complete frame. It can be
// throttled to the pace of a 9600-baud wire, where every byte of its frames and
// of the host's acknowledgements takes 1/960 s, and it can be told to send a
// wrong record count, a record of an unexpected type or a wrong completion.
// Faults in the data itself (names that are not valid text, flags inside a
// track, times beyond the 32-bit limit) are written into the log.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tools/SimProfile.h"
#include "tools/SimWire.h"
#include "tools/WatchSim.h"

namespace sim {

// The bits of the float the unit sends for "no value" (1.0e25).
constexpr std::uint32_t kNoFloatBits = 0x69045951u;

// Device track point and header packet ids.
constexpr std::uint16_t kTrackPointId = 34;
constexpr std::uint16_t kTrackHeaderId = 99;

enum class TrackProtocol { kA300, kA301, kA302 };

struct SimTrackPoint {
  std::int32_t latitude = 0;   // semicircles
  std::int32_t longitude = 0;  // semicircles
  std::uint32_t time = 0;      // seconds since 1989-12-31 00:00:00 UTC; 0 none
  std::optional<float> altitude;     // D301, D302; absent sent as kNoFloatBits
  std::optional<float> depth;        // D301, D302
  std::optional<float> temperature;  // D302
  std::uint8_t newTrack = 0;         // the flag byte as sent (any non-zero = set)
};

struct SimTrack {
  std::string name;               // D310 identifier, UTF-8 (sent in Windows-1252)
  std::optional<Bytes> rawName;   // when given, the identifier bytes sent as they stand
  std::uint16_t index = 0;        // D311
  std::uint8_t display = 1;       // D310 display flag
  std::uint8_t color = 255;       // D310 colour byte (0 to 16, 255 default)
  std::vector<SimTrackPoint> points;
};

struct TrackLog {
  TrackProtocol protocol = TrackProtocol::kA302;
  std::uint16_t pointType = 302;   // 300, 301 or 302
  std::uint16_t headerType = 311;  // 310 or 311 (A301 and A302 only)
  // Under A300 the points of all tracks go out in order with the flags they
  // carry; the headers are not sent.
  std::vector<SimTrack> tracks;
  // When given, the protocol array the watch sends instead of TrackLogProtocols.
  std::optional<std::vector<ProtocolEntry>> protocols;
};

// The data bytes of one point or header record of the given data type.
Bytes EncodePoint(std::uint16_t pointType, const SimTrackPoint& point);
Bytes EncodeHeader(std::uint16_t headerType, const SimTrack& track);

// Every record of the log in the order the unit sends them (without the record
// count and the transfer-complete frame).
std::vector<Frame> TrackLogFrames(const TrackLog& log);

// A protocol array with device commands (A010), the log's protocol and data
// types, and the lap protocol: L001 A010 A30x [D31x] D30x A906 D906.
std::vector<ProtocolEntry> TrackLogProtocols(const TrackLog& log);

// Mischief in the transfer itself.
struct TrackLogFaults {
  int countDelta = 0;             // added to the record count that is announced
  int extraFrameAt = -1;          // before this record (or at the end when past it)...
  Frame extraFrame;               // ...this frame is sent as well (counted as a record)
  std::int16_t completeValue = 6; // the value of the transfer-complete frame
};

// A watch serving one track log. Negotiation and the track command are answered
// here (the underlying Watch_t only acknowledges and retransmits).
class TrackLogWatch_t {
 public:
  // 'base' gives the product data; its protocol array is replaced by that of the log.
  explicit TrackLogWatch_t(TrackLog log, Profile base = Profile());
  ~TrackLogWatch_t();
  TrackLogWatch_t(const TrackLogWatch_t&) = delete;
  TrackLogWatch_t& operator=(const TrackLogWatch_t&) = delete;

  const std::string& PortPath() const { return m_watch.PortPath(); }
  Watch_t& GetWatch() { return m_watch; }
  const TrackLog& GetLog() const { return m_log; }

  // Paces the transfer at this many bytes a second (960 for 9600 baud), counting
  // the host's acknowledgements as wire time too; 0 (the default) sends as fast
  // as the host acknowledges.
  void SetThrottle(unsigned bytesPerSecond);
  void SetFaults(const TrackLogFaults& faults);

  // Records sent (and acknowledged) in the current or last transfer.
  int RecordsSent();
  // Waits until at least 'count' records of the current transfer went out.
  bool WaitRecordsSent(int count, std::chrono::milliseconds timeout);
  // Transfers run to their transfer-complete frame.
  int TransfersCompleted();
  bool WaitTransfersCompleted(int count, std::chrono::milliseconds timeout);

 private:
  using Clock = std::chrono::steady_clock;

  void Serve();
  void OnHostFrame(const Frame& frame);
  void Negotiate();
  void Transfer(std::int16_t command);
  // Sends one frame and waits for its acknowledgement; false when the host went
  // away or never acknowledged it.
  bool SendPaced(std::uint16_t id, const Bytes& data, Clock::time_point& wire, unsigned rate);
  bool Stopping();

  TrackLog m_log;
  Profile m_profile;
  std::vector<Frame> m_records;
  Watch_t m_watch;

  std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_stop = false;
  unsigned m_throttle = 0;
  TrackLogFaults m_faults;
  int m_recordsSent = 0;
  int m_transfersCompleted = 0;
  std::size_t m_sendsLogged = 0;  // the watch's send log as far as known (serving thread only)
  std::thread m_thread;
};

}  // namespace sim
