#pragma once
// Failures of the cross-thread call machinery.
#include <string>

#include "glo/GLO_Exception.h"

namespace dio {

// A failed check of the call path (stack underflow, unknown key or method,
// leftover arguments, a changed echo, an unexpected wait result). Empty message.
class Exception_t : public glo::Exception_t {
 public:
  Exception_t(const char* file, int line) : glo::Exception_t(file, line, std::string()) {}

 protected:
  Exception_t(const char* file, int line, const std::string& message) : glo::Exception_t(file, line, message) {}
};

// Posting the call message failed: the system's English text of the calling
// thread's last error, which is kept.
class WindowsError_t : public Exception_t {
 public:
  WindowsError_t(const char* file, int line);
  unsigned long ErrorCode() const { return m_code; }

 private:
  WindowsError_t(const char* file, int line, unsigned long code);
  unsigned long m_code;
};

// Thrown by a worker to end itself without a report; its catch chain catches it first.
class ExitThread_t {};

}  // namespace dio
