#pragma once
// The unit id (id 38), the unit's answer to command 14: a u32 that binds the
// unit to its user.
#include <cstdint>

#include "iol/IOL_Packet.h"

namespace ioa {

class UnitIdPacket_t : public iol::Packet_t {
 public:
  static constexpr std::uint16_t kId = 38;

  std::uint32_t unitId = 0;

  std::uint16_t Id() const override { return kId; }
  // iol::BadFrame_t when the 4 bytes are not there; bytes after them are ignored.
  void Decode(const iol::Frame_t& frame) override;
  iol::Frame_t Encode() const override;
};

}  // namespace ioa
