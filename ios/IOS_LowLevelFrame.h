#pragma once
// A frame that goes on the wire as it is: id and data length both below 256.
#include <cstdint>

#include "iol/IOL_Frame.h"

namespace ios {

// The bytes that open and close a frame on the wire (DLE id ... DLE ETX); a DLE
// inside a frame is sent twice.
constexpr std::uint8_t kDle = 0x10;
constexpr std::uint8_t kEtx = 0x03;

class LowLevelFrame_t : public iol::Frame_t {
 public:
  // glo::Assert_t when the frame does not fit.
  explicit LowLevelFrame_t(const iol::Frame_t& frame);
  // The id byte and the bytes that remain in the stream (glo::Assert_t for more than 255).
  LowLevelFrame_t(std::uint8_t id, iol::FrameStream_t& stream);

  // Whether a frame fits on the wire without a multi-packet transfer.
  static bool Fits(const iol::Frame_t& frame) { return frame.Id() <= 255 && frame.Size() <= 255; }
};

}  // namespace ios
