#include "ioa/IOA_ProductData.h"

#include "bin/BIN_record.h"
#include "glo/GLO_Exception.h"
#include "ioa/IOA_Text.h"

namespace ioa {

void ProductData_t::Decode(const iol::Frame_t& frame) {
  if (frame.Id() != kId) throw glo::Assert_t(GLO_SRC);
  iol::FrameStream_t in(frame);
  bin::read_le(in, productId);
  bin::read_le(in, softwareVersion);
  if (in.fail()) throw iol::BadFrame_t(frame, GLO_SRC);
  descriptions.clear();
  for (;;) {
    std::string text;
    bin::read_string(in, text);
    // A failed read means the data ended before the string's NUL.
    if (in.fail()) break;
    descriptions.push_back(Cp1252ToUtf8(text));
  }
}

iol::Frame_t ProductData_t::Encode() const {
  iol::FrameStream_t out;
  bin::write_le(out, productId);
  bin::write_le(out, static_cast<std::uint16_t>(softwareVersion));
  for (const std::string& text : descriptions) bin::write_string(out, Utf8ToCp1252(text));
  GLO_ASSERT(out.good());
  return iol::Frame_t(kId, &out);
}

}  // namespace ioa
