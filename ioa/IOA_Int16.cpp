#include "ioa/IOA_Int16.h"

#include "bin/BIN_stream.h"
#include "glo/GLO_Exception.h"

namespace ioa {

void Int16_t::Decode(const iol::Frame_t& frame) {
  if (frame.Id() != m_id) throw glo::Assert_t(GLO_SRC);
  iol::FrameStream_t in(frame);
  bin::read_le(in, value);
  if (in.fail()) throw iol::BadFrame_t(frame, GLO_SRC);
}

iol::Frame_t Int16_t::Encode() const {
  iol::FrameStream_t out;
  bin::write_le(out, value);
  GLO_ASSERT(out.good());
  return iol::Frame_t(m_id, &out);
}

}  // namespace ioa
