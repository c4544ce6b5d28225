#pragma once
// The unit's protocol array (id 253): 3 bytes per protocol, the tag letter and
// the u16 number. The channel also keeps its effective protocol list in one.
#include <cstdint>

#include "iol/IOL_Packet.h"
#include "ioa/IOA_ProtocolId.h"

namespace ioa {

class Protocols_t : public iol::Packet_t {
 public:
  static constexpr std::uint16_t kId = 253;

  ProtocolList_t protocols;

  std::uint16_t Id() const override { return kId; }
  // Reads whole records until the data ends; a partial last record is ignored.
  void Decode(const iol::Frame_t& frame) override;
  // Each protocol as 3 bytes.
  iol::Frame_t Encode() const override;

  // Whether the protocol is anywhere in the list.
  bool Contains(const ProtocolId_t& id) const;
  // Appends the protocol unless it is already in the list.
  void AddUnique(const ProtocolId_t& id);
};

}  // namespace ioa
