#pragma once
// One block as received: everything between the opening DLE and the closing
// DLE ETX with doubled DLEs reduced (id, size, data, checksum). The buffer never
// grows past the largest good block (258 bytes); a longer block is remembered
// as too long and fails validation like any other damaged block.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "iol/IOL_Frame.h"

namespace ios {

class RcvBlock_t {
 public:
  static constexpr std::size_t kMaxSize = 258;

  RcvBlock_t();

  void Clear();
  void Append(std::uint8_t byte);
  std::size_t Size() const { return m_bytes.size(); }

  // Checks length, size byte and checksum (once per block) and gives the frame:
  // ios::BadRcvBlock_t when the block is damaged.
  iol::Frame_t Validate();

 private:
  bool m_validated = false;
  bool m_overflow = false;
  std::vector<std::uint8_t> m_bytes;
};

}  // namespace ios
