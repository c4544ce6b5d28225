#pragma once
// The product request (id 254, no data): the first frame of every
// conversation, answered by the unit's product data.
#include <cstdint>

#include "iol/IOL_Packet.h"

namespace ioa {

class ProductRqst_t : public iol::Packet_t {
 public:
  static constexpr std::uint16_t kId = 254;

  std::uint16_t Id() const override { return kId; }
  // Reads nothing; a frame of another id is glo::Assert_t.
  void Decode(const iol::Frame_t& frame) override;
  // A frame with empty data.
  iol::Frame_t Encode() const override;
};

}  // namespace ioa
