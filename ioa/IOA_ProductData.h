#pragma once
// The unit's product data (id 255): its product id, its software version and
// its description texts, the first of which describes the product.
//
// On the wire: u16 product id, s16 software version, then NUL-terminated
// Windows-1252 strings up to the end of the data. The packet holds the texts in
// UTF-8.
#include <cstdint>
#include <string>
#include <vector>

#include "iol/IOL_Packet.h"

namespace ioa {

class ProductData_t : public iol::Packet_t {
 public:
  static constexpr std::uint16_t kId = 255;

  std::uint16_t productId = 0;
  std::int16_t softwareVersion = 0;
  std::vector<std::string> descriptions;

  std::uint16_t Id() const override { return kId; }
  // Reads the two numbers (iol::BadFrame_t when they are not both there), then
  // strings while a whole one, ended by its NUL, can be read. A last string
  // without its NUL is dropped.
  void Decode(const iol::Frame_t& frame) override;
  // The numbers, then each text in Windows-1252 with its NUL.
  iol::Frame_t Encode() const override;
};

}  // namespace ioa
