#include "ioa/IOA_UnitId.h"

#include "bin/BIN_stream.h"
#include "glo/GLO_Exception.h"

namespace ioa {

void UnitIdPacket_t::Decode(const iol::Frame_t& frame) {
  if (frame.Id() != kId) throw glo::Assert_t(GLO_SRC);
  iol::FrameStream_t in(frame);
  bin::read_le(in, unitId);
  if (in.fail()) throw iol::BadFrame_t(frame, GLO_SRC);
}

iol::Frame_t UnitIdPacket_t::Encode() const {
  iol::FrameStream_t out;
  bin::write_le(out, unitId);
  GLO_ASSERT(out.good());
  return iol::Frame_t(kId, &out);
}

}  // namespace ioa
