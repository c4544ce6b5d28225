// The link's receiver on any bytes from the line: frames are cut out of the
// stream in pieces of any size, damaged blocks are refused, and every frame it
// hands out can be dumped. The port it belongs to is a pseudo-terminal that stands
// in for the serial port.
#include <memory>
#include <string>
#include <vector>

#include "glo/GLO_Exception.h"
#include "ios/IOS_Exception.h"
#include "ios/IOS_Receiver.h"
#include "iol/IOL_Exception.h"
#include "plat/PLAT_Pty.h"
#include "spo/SPO_SerialPort.h"
#include "tests/fuzz/FuzzLine.h"
#include "tests/fuzz/FuzzSeeds.h"
#include "thr/THR_Event.h"

namespace {

using fuzz::LineBlock;

struct Port {
  plat::Pty pty;
  std::unique_ptr<spo::SerialPort_t> port;
  thr::Event_t stop{nullptr, true, true, nullptr};  // signalled: a read never waits
  Port() {
    if (!pty.Open()) __builtin_trap();
    port = std::make_unique<spo::SerialPort_t>(pty.SlavePath(), 9600, 0, 8, 0, false, false, false, 4096, 4096,
                                               17, 19, 256, 256);
  }
};

}  // namespace

std::vector<std::string> StrideFuzzSeeds() {
  const std::string ack = LineBlock(6, std::string("\xFE\x00", 2));
  return {"\x01" + LineBlock(254, ""),
          "\x03" + ack + LineBlock(27, std::string("\x10\x00", 2)) + LineBlock(12, std::string("\x06\x00", 2)),
          "\x02" + LineBlock(255, std::string("\x10\x10\x10", 3)),
          "\x05" + LineBlock(99, "x", false) + ack,
          "\x07" + std::string("\x10\x10\x03\x10\x03", 5) + ack,
          "\x01" + std::string("\x10\x06\x03\x10\x41\x10\x03", 7),
          "\x04" + std::string(300, '\x10') + ack};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Port port;
  if (size == 0) return 0;
  // The first byte sets the size of the pieces the rest arrives in.
  const std::size_t piece = data[0] % 16 + 1;
  ios::Receiver_t receiver(*port.port);
  std::vector<iol::Frame_t> frames;
  for (std::size_t at = 1; at < size; at += piece) {
    try {
      receiver.Feed(data + at, std::min(piece, size - at));
    } catch (const ios::BadRcvBlock_t&) {
    }
  }
  // The frames queued: each read from the queue, as the link takes them.
  for (;;) {
    try {
      const iol::Frame_t frame = receiver.Next(0, port.stop.Handle());
      if (frame.Size() > 255) __builtin_trap();
      (void)frame.DumpText();
    } catch (const glo::Terminate_t&) {
      break;  // the queue is empty and the port was not waited for
    } catch (const iol::Timeout_t&) {
      break;  // the queue is empty and the clock moved on meanwhile
    }
  }
  return 0;
}
