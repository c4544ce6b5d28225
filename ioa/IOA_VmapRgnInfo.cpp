#include "ioa/IOA_VmapRgnInfo.h"

#include "bin/BIN_stream.h"
#include "glo/GLO_Exception.h"

namespace ioa {

void VmapRgnInfo_t::Decode(const iol::Frame_t& frame) {
  if (frame.Id() != kId) throw glo::Assert_t(GLO_SRC);
  iol::FrameStream_t in(frame);
  bin::read_le(in, first);
  bin::read_le(in, second);
  bin::read_le(in, third);
  if (in.fail()) throw iol::BadFrame_t(frame, GLO_SRC);
  unsigned char byte = 0;
  in.get(byte);
  if (in.fail()) {
    // No kind byte: an older unit.
    kind = 0;
    in.clear();
    return;
  }
  if (byte > kMaxKind) throw iol::BadFrame_t(frame, GLO_SRC);
  kind = byte;
}

iol::Frame_t VmapRgnInfo_t::Encode() const {
  iol::FrameStream_t out;
  bin::write_le(out, first);
  bin::write_le(out, second);
  bin::write_le(out, third);
  bin::write_le(out, kind);
  GLO_ASSERT(out.good());
  return iol::Frame_t(kId, &out);
}

}  // namespace ioa
