#pragma once
// The wire format of the watch's link, as the simulated watch writes and reads
// it. Written on its own from the format, sharing no code with the program's
// link classes, so that a misreading of the format on one side shows up as a
// failed exchange instead of hiding on both.
//
// One frame on the wire: DLE, id, size, data..., checksum, DLE, ETX, where the
// checksum makes id + size + data + checksum 0 modulo 256, and every 0x10 among
// id, size, data and checksum is sent twice.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kDle = 0x10;
constexpr std::uint8_t kEtx = 0x03;
constexpr std::uint8_t kAck = 6;
constexpr std::uint8_t kNak = 21;
constexpr std::uint8_t kMultiHeader = 123;
constexpr std::uint8_t kMultiSegment = 124;
constexpr std::uint8_t kMultiAccept = 125;
constexpr std::uint8_t kMultiReject = 126;

// The packets of the watch's protocol that the simulator sends or answers.
constexpr std::uint8_t kCommandId = 10;  // the s16 of a command frame
constexpr std::uint8_t kTransferCompleteId = 12;
constexpr std::uint8_t kRecordsId = 27;
constexpr std::uint8_t kDataRequestId = 28;
constexpr std::uint8_t kUnitIdId = 38;
constexpr std::uint8_t kRegionInfoId = 95;
constexpr std::uint8_t kProtocolArrayId = 253;
constexpr std::uint8_t kProductRequestId = 254;
constexpr std::uint8_t kProductDataId = 255;

// The device commands the watch understands.
constexpr std::int16_t kCmdTracks = 6;
constexpr std::int16_t kCmdTurnOff = 8;
constexpr std::int16_t kCmdUnitId = 14;
constexpr std::int16_t kCmdRegionInfo = 63;
constexpr std::int16_t kCmdLaps = 117;

// A frame as the simulator handles it. The id is 16 bits because a multi-packet
// transfer carries a packet id above 255.
struct Frame {
  std::uint16_t id = 0;
  Bytes data;
};

// Damage done to a frame that the watch sends.
enum class SendFault {
  kNone,
  kBadChecksum,    // the checksum byte is off by one
  kDamagedLength,  // the size byte is off by one (the checksum no longer fits either)
  kNoise,          // bytes without any DLE come first (line noise between frames)
};

// The checksum of a block's id, size and data.
std::uint8_t Checksum(const Bytes& idSizeData);

// The wire bytes of one frame (id and data below 256 bytes), optionally damaged.
Bytes EncodeFrame(std::uint8_t id, const Bytes& data, SendFault fault = SendFault::kNone);
// Wraps arbitrary block bytes (id, size, data, checksum as given) in DLE ... DLE
// ETX with DLE doubling; for blocks no honest sender would make.
Bytes WrapBlock(const Bytes& block);

// Little-endian helpers for payloads.
void PutU8(Bytes& out, std::uint8_t v);
void PutU16(Bytes& out, std::uint16_t v);
void PutU32(Bytes& out, std::uint32_t v);
std::uint16_t GetU16(const Bytes& in, std::size_t offset);
std::uint32_t GetU32(const Bytes& in, std::size_t offset);

// Hex form "10 FE 00" of bytes, for test messages and the command's trace.
std::string Hex(const Bytes& bytes);

// Reads the host's byte stream back into frames. Bytes outside a frame are
// skipped; DLE ETX and DLE DLE are no frame start.
class Parser {
 public:
  enum Result { kNothing, kFrame, kBadBlock };

  // Feeds one byte. kFrame: Last() is a good frame; kBadBlock: a block ended
  // whose size or checksum is wrong (BadId() is its first byte).
  Result Feed(std::uint8_t byte);
  const Frame& Last() const { return m_last; }
  std::uint8_t BadId() const { return m_badId; }
  void Reset();

 private:
  enum State { kIdle, kAfterDle, kInBlock, kDleInBlock };
  State m_state = kIdle;
  Bytes m_block;
  Frame m_last;
  std::uint8_t m_badId = 0;
};

}  // namespace sim
