#pragma once
// The map region information (id 95), the unit's answer to command 63:
// u16 first, u16 second, u32 third and a kind byte 0 to 4, which older units
// leave out (then it reads as 0). The channel keeps the fields as they come;
// the device detection reports them.
#include <cstdint>

#include "iol/IOL_Packet.h"

namespace ioa {

class VmapRgnInfo_t : public iol::Packet_t {
 public:
  static constexpr std::uint16_t kId = 95;
  static constexpr std::uint8_t kMaxKind = 4;

  std::uint16_t first = 0;
  std::uint16_t second = 0;
  std::uint32_t third = 0;
  std::uint8_t kind = 0;

  std::uint16_t Id() const override { return kId; }
  // iol::BadFrame_t when the first 8 bytes are not there, or when the kind
  // byte is above 4.
  void Decode(const iol::Frame_t& frame) override;
  // All four fields, 9 bytes.
  iol::Frame_t Encode() const override;
};

}  // namespace ioa
