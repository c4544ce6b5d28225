#pragma once
// Errors of the link layer: a time-out, a damaged frame, an abort from the unit.
#include <cstdint>
#include <string>

#include "glo/GLO_Exception.h"
#include "iol/IOL_Frame.h"

namespace iol {

class Exception_t : public glo::CommunicationsError_t {
 public:
  Exception_t(const char* file, int line, const std::string& message = std::string())
      : glo::CommunicationsError_t(file, line, message) {}
};

// Nothing (or not the awaited frame) arrived within the time-out.
class Timeout_t : public Exception_t {
 public:
  Timeout_t(const char* file, int line) : Exception_t(file, line) {}
};

// A frame that cannot be what it claims; the message is the frame's dump.
class BadFrame_t : public Exception_t {
 public:
  BadFrame_t(const Frame_t& frame, const char* file, int line) : Exception_t(file, line, frame.DumpText()) {}
};

// The unit answered a send with the frame the sender named as its abort.
class Abort_t : public Exception_t {
 public:
  Abort_t(const char* file, int line, std::int32_t value) : Exception_t(file, line), m_value(value) {}
  std::int32_t Value() const { return m_value; }

 private:
  std::int32_t m_value;
};

}  // namespace iol
