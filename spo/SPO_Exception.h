#pragma once
// Errors of the serial port. Besides the English message of every program
// exception they give a text for the user from the language module.
#include <string>

#include "glo/GLO_Exception.h"

namespace spo {

// Base of the serial port's errors.
class Exception_t : public glo::CommunicationsError_t {
 public:
  Exception_t(const char* file, int line, const std::string& message)
      : glo::CommunicationsError_t(file, line, message) {}
};

// A failed call on the port, with its Windows-numbered error code (the calling
// thread's last error when constructed without one).
class CommFileError_t : public Exception_t {
 public:
  CommFileError_t(const char* file, int line);
  CommFileError_t(const char* file, int line, unsigned long errorCode);

  unsigned long ErrorCode() const { return m_errorCode; }
  // The system text of the code, for the user.
  std::string GetText() const;

 private:
  unsigned long m_errorCode;
};

// Line errors reported by the driver (the communication error flags).
class CommError_t : public Exception_t {
 public:
  CommError_t(const char* file, int line, unsigned long flags);

  unsigned long Flags() const { return m_flags; }
  // The language module's text for the flags: one flag gives its own string,
  // any other value string 5411 with the value in place of "%0".
  std::string GetText() const;

  // The English message for the flags: the text of the first known flag set
  // (in a fixed order), else "Unknown Communications Error: " and the value.
  static std::string EnglishText(unsigned long flags);

 private:
  unsigned long m_flags;
};

}  // namespace spo
