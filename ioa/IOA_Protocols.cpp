#include "ioa/IOA_Protocols.h"

#include <algorithm>

#include "bin/BIN_stream.h"
#include "glo/GLO_Exception.h"

namespace ioa {

void Protocols_t::Decode(const iol::Frame_t& frame) {
  if (frame.Id() != kId) throw glo::Assert_t(GLO_SRC);
  iol::FrameStream_t in(frame);
  protocols.clear();
  for (;;) {
    unsigned char tag = 0;
    std::uint16_t number = 0;
    in.get(tag);
    bin::read_le(in, number);
    if (in.fail()) break;
    protocols.push_back(ProtocolId_t{static_cast<char>(tag), number});
  }
}

iol::Frame_t Protocols_t::Encode() const {
  iol::FrameStream_t out;
  for (const ProtocolId_t& id : protocols) {
    out.put(id.tag);
    bin::write_le(out, id.number);
  }
  GLO_ASSERT(out.good());
  return iol::Frame_t(kId, &out);
}

bool Protocols_t::Contains(const ProtocolId_t& id) const {
  return std::find(protocols.begin(), protocols.end(), id) != protocols.end();
}

void Protocols_t::AddUnique(const ProtocolId_t& id) {
  if (!Contains(id)) protocols.push_back(id);
}

}  // namespace ioa
