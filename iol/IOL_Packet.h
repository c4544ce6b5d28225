#pragma once
// The base of all device packets: a typed view of one frame that knows its id
// and turns itself into a frame and back.
//
// Every decoder follows the same rules: a frame of another id is glo::Assert_t;
// the fields are read in order from an iol::FrameStream_t on the frame; a stream
// that failed after a required field throws iol::BadFrame_t; optional trailing
// fields are read until the first failed read; bytes after the last known field
// are ignored, so a unit may send longer payloads than the program knows.
#include <cstdint>

#include "iol/IOL_Exception.h"
#include "iol/IOL_Frame.h"

namespace iol {

// The command packet (a signed 16-bit command), and the command that turns the
// unit off, which the link itself also recognises.
constexpr std::uint16_t kCommandPacketId = 10;
constexpr std::int16_t kTurnOffCommand = 8;

class Packet_t {
 public:
  virtual ~Packet_t() {}
  virtual std::uint16_t Id() const = 0;
  virtual void Decode(const Frame_t& frame) = 0;
  virtual Frame_t Encode() const = 0;
};

}  // namespace iol
