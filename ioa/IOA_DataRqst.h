#pragma once
// The data request (id 28) that ends the negotiation: a u16 bit mask of a set
// of small numbers, 0 to 12. The program always sends the empty set.
#include <cstdint>
#include <set>

#include "iol/IOL_Packet.h"

namespace ioa {

class DataRqst_t : public iol::Packet_t {
 public:
  static constexpr std::uint16_t kId = 28;
  static constexpr unsigned kMaxMember = 12;

  std::set<unsigned> members;

  std::uint16_t Id() const override { return kId; }
  // Every set bit 0 to 12 adds its number; bits 13 to 15 are ignored.
  // iol::BadFrame_t when the mask is not there.
  void Decode(const iol::Frame_t& frame) override;
  // The mask of the members; a member above 12 is glo::Assert_t.
  iol::Frame_t Encode() const override;
};

}  // namespace ioa
