#pragma once
// The packets that carry one s16 value: the commands to the unit, the record
// count that opens a transfer and the transfer-complete mark that ends it. Each
// object carries its own id.
#include <cstdint>

#include "iol/IOL_Packet.h"

namespace ioa {

class Int16_t : public iol::Packet_t {
 public:
  Int16_t(std::uint8_t id, std::int16_t value) : value(value), m_id(id) {}

  std::int16_t value;

  std::uint16_t Id() const override { return m_id; }
  // iol::BadFrame_t when the 2 bytes are not there.
  void Decode(const iol::Frame_t& frame) override;
  iol::Frame_t Encode() const override;

 private:
  std::uint8_t m_id;
};

// A command to the unit (id 10).
class Command_t : public Int16_t {
 public:
  static constexpr std::uint16_t kId = iol::kCommandPacketId;

  // The commands the program sends.
  enum : std::int16_t {
    kSendTracks = 6,
    kTurnOff = iol::kTurnOffCommand,
    kSendUnitId = 14,
    kSendVmapRgnInfo = 63,
    kSendLaps = 117,
  };

  explicit Command_t(std::int16_t command = 0) : Int16_t(kId, command) {}
};

// The number of records the unit sends next (id 27).
class Records_t : public Int16_t {
 public:
  static constexpr std::uint16_t kId = 27;
  explicit Records_t(std::int16_t count = 0) : Int16_t(kId, count) {}
};

// The end of a transfer, with the command that asked for it (id 12).
class XferCmplt_t : public Int16_t {
 public:
  static constexpr std::uint16_t kId = 12;
  explicit XferCmplt_t(std::int16_t command = 0) : Int16_t(kId, command) {}
};

}  // namespace ioa
