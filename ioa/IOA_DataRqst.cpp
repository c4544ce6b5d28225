#include "ioa/IOA_DataRqst.h"

#include "bin/BIN_stream.h"
#include "glo/GLO_Exception.h"

namespace ioa {

void DataRqst_t::Decode(const iol::Frame_t& frame) {
  if (frame.Id() != kId) throw glo::Assert_t(GLO_SRC);
  iol::FrameStream_t in(frame);
  std::uint16_t mask = 0;
  bin::read_le(in, mask);
  if (in.fail()) throw iol::BadFrame_t(frame, GLO_SRC);
  members.clear();
  for (unsigned i = 0; i <= kMaxMember; ++i)
    if (mask & (1u << i)) members.insert(i);
}

iol::Frame_t DataRqst_t::Encode() const {
  std::uint16_t mask = 0;
  for (unsigned i : members) {
    GLO_ASSERT(i <= kMaxMember);
    mask = static_cast<std::uint16_t>(mask | (1u << i));
  }
  iol::FrameStream_t out;
  bin::write_le(out, mask);
  GLO_ASSERT(out.good());
  return iol::Frame_t(kId, &out);
}

}  // namespace ioa
