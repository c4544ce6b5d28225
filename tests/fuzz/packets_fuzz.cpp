// Every packet and track record decoder on any payload: the first byte picks the
// data type, the rest is the frame's data. A decoded packet is turned into the
// program's values and encoded again.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gdb/GDB_Track.h"
#include "glo/GLO_Exception.h"
#include "ioa/IOA_DataRqst.h"
#include "ioa/IOA_Int16.h"
#include "ioa/IOA_ProductData.h"
#include "ioa/IOA_ProductRqst.h"
#include "ioa/IOA_Protocols.h"
#include "ioa/IOA_UnitId.h"
#include "ioa/IOA_VmapRgnInfo.h"
#include "iog/IOG_TrackHeader.h"
#include "iog/IOG_TrackPoint.h"
#include "tests/fuzz/FuzzSeeds.h"

namespace {

using Make = std::function<std::unique_ptr<iol::Packet_t>()>;

template <typename T>
Make Maker() {
  return [] { return std::unique_ptr<iol::Packet_t>(new T()); };
}

const std::vector<Make>& Makers() {
  static const std::vector<Make> makers = {
      Maker<ioa::ProductData_t>(),  Maker<ioa::Protocols_t>(),   Maker<ioa::UnitIdPacket_t>(),
      Maker<ioa::VmapRgnInfo_t>(),  Maker<ioa::DataRqst_t>(),    Maker<ioa::ProductRqst_t>(),
      Maker<ioa::Records_t>(),      Maker<ioa::XferCmplt_t>(),   Maker<ioa::Command_t>(),
      Maker<iog::D300TrkPt_t>(),    Maker<iog::D301TrkPt_t>(),   Maker<iog::D302TrkPt_t>(),
      Maker<iog::D310TrkHdr_t>(),   Maker<iog::D311TrkHdr_t>(),
  };
  return makers;
}

}  // namespace

std::vector<std::string> StrideFuzzSeeds() {
  // One seed per data type: a good payload, taken from its own encoder.
  std::vector<std::string> seeds;
  for (std::size_t i = 0; i < Makers().size(); ++i) {
    const iol::Frame_t frame = Makers()[i]()->Encode();
    seeds.push_back(std::string(1, static_cast<char>(i)) +
                    std::string(frame.Data().begin(), frame.Data().end()));
  }
  seeds.push_back(std::string("\x00\x91\x01\x20\x03" "Stride Watch 1\0Extra\0Cut", 30));
  seeds.push_back(std::string("\x01" "A\x0a\x00" "D\x2d\x01" "L\x01\x00" "\x00\x00\x00", 13));
  seeds.push_back(std::string("\x0c\x01\x11" "Caf\xE9\0", 8));
  seeds.push_back(std::string("\x0c\x01\x10" "x", 4));  // colour outside the table
  return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::unique_ptr<iol::Packet_t> packet = Makers()[data[0] % Makers().size()]();
  try {
    packet->Decode(iol::Frame_t(packet->Id(), data + 1, size - 1));
    if (auto* point = dynamic_cast<iog::TrackPoint_t*>(packet.get())) {
      gdb::TrackPoint_t value;
      bool newTrack = false;
      point->ToGdb(value, newTrack);
    } else if (auto* header = dynamic_cast<iog::TrackHeader_t*>(packet.get())) {
      gdb::TrackId_t key;
      gdb::Track_t track;
      header->ToGdb(key, track);
    }
    const iol::Frame_t again = packet->Encode();
    if (again.Id() != packet->Id()) __builtin_trap();
  } catch (const glo::Exception_t&) {
  }
  return 0;
}
