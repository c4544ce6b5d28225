#pragma once
// The failures of the device protocol's application layer.
#include <string>

#include "iol/IOL_Exception.h"

namespace ioa {

// A protocol the unit lacks, or a protocol error of a download. The message is
// the thrower's (empty from the channel).
class Exception_t : public iol::Exception_t {
 public:
  Exception_t(const char* file, int line, const std::string& message = std::string())
      : iol::Exception_t(file, line, message) {}
};

}  // namespace ioa
