#include "ios/IOS_LowLevelFrame.h"

#include "glo/GLO_Exception.h"

namespace ios {

LowLevelFrame_t::LowLevelFrame_t(const iol::Frame_t& frame) : iol::Frame_t(frame) { GLO_ASSERT(Fits(frame)); }

LowLevelFrame_t::LowLevelFrame_t(std::uint8_t id, iol::FrameStream_t& stream) : iol::Frame_t(id, &stream) {
  GLO_ASSERT(Size() <= 255);
}

}  // namespace ios
