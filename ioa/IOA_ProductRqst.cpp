#include "ioa/IOA_ProductRqst.h"

#include "glo/GLO_Exception.h"

namespace ioa {

void ProductRqst_t::Decode(const iol::Frame_t& frame) {
  if (frame.Id() != kId) throw glo::Assert_t(GLO_SRC);
}

iol::Frame_t ProductRqst_t::Encode() const { return iol::Frame_t(kId); }

}  // namespace ioa
