// The framed serial link on any bytes from the unit: frames with their
// acknowledgements, damaged and repeated blocks, and multi-packet transfers. A
// pseudo-terminal stands in for the port; what the link answers is read off its
// far end and dropped. The first byte of an input allows multi-packet transfers
// (bit 0); the rest is what the unit sends.
#include <string>
#include <vector>

#include "glo/GLO_Exception.h"
#include "iol/IOL_Exception.h"
#include "ios/IOS_SerialLink.h"
#include "plat/PLAT_Pty.h"
#include "tests/fuzz/FuzzLine.h"
#include "tests/fuzz/FuzzSeeds.h"
#include "thr/THR_Event.h"

namespace {

using fuzz::LineBlock;

struct Line {
  plat::Pty pty;
  thr::Event_t stop{nullptr, true, false, nullptr};
  Line() {
    if (!pty.Open()) __builtin_trap();
  }
  // Drops what the link sent to the unit.
  void Drain() {
    char buffer[1024];
    std::size_t got = 0;
    while (pty.Read(buffer, sizeof buffer, got, 0) == plat::Pty::kData) {
    }
  }
};

}  // namespace

std::vector<std::string> StrideFuzzSeeds() {
  const std::string single(1, '\0');  // no multi-packet transfers
  const std::string header = LineBlock(123, std::string("\x00\xFF\x02\x00\x00", 5) + "abc");  // multi-packet
  return {single + LineBlock(255, std::string("\x91\x01\x20\x03", 4) + std::string("Watch\0", 6)),
          single + LineBlock(27, std::string("\x02\x00", 2)) + LineBlock(27, std::string("\x02\x00", 2)),
          "\x01" + header + LineBlock(124, std::string("\x01\x00\xFF", 3) + "def"),
          "\x01" + LineBlock(123, std::string("\x10\x10\x10", 3)),
          single + LineBlock(6, std::string("\xFF\x00", 2)) + LineBlock(21, std::string("\xFF\x00", 2)),
          single + std::string("\x10\x0c\x02\x06\x00\xEC\x10\x03", 8)};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Line line;
  if (size == 0) return 0;
  line.Drain();
  try {
    ios::SerialLink_t link(line.stop, line.pty.SlavePath(), 9600);
    link.SetMultiPacket((data[0] & 1) != 0);
    if (!line.pty.Write(data + 1, size - 1)) __builtin_trap();
    for (int frames = 0; frames < 64; ++frames) {
      try {
        const iol::Frame_t frame = link.Receive(2);
        if (frame.Size() > 65535) __builtin_trap();
      } catch (const iol::Timeout_t&) {
        break;
      } catch (const glo::CommunicationsError_t&) {
        // a damaged or refused frame: the link goes on with the next
      }
      line.Drain();
    }
  } catch (const glo::Exception_t&) {
  }
  line.Drain();
  return 0;
}
