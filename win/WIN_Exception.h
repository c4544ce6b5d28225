#pragma once
// Exceptions of failed system calls.
#include <string>

#include "glo/GLO_Exception.h"

namespace win {

// "Windows Error Code: <code>\n<system text>".
std::string FormatErrorCode(unsigned long code);

// A failed system call with its error code.
class Error_t : public glo::Exception_t {
 public:
  Error_t(const char* file, int line, unsigned long errorCode);
  // Takes the calling thread's last error.
  Error_t(const char* file, int line);

  unsigned long ErrorCode() const { return m_errorCode; }

 protected:
  Error_t(const char* file, int line, unsigned long errorCode, const std::string& message);

 private:
  unsigned long m_errorCode;
};

// A failed registry call, or a stored value of the wrong type or size.
class RegError_t : public Error_t {
 public:
  RegError_t(const char* file, int line, const std::string& name, unsigned long errorCode);
};

// A failed file call (last error of the calling thread).
class FileError_t : public Error_t {
 public:
  FileError_t(const char* file, int line) : Error_t(file, line) {}
};

// A failed file-mapping call (last error of the calling thread).
class MappedFileError_t : public Error_t {
 public:
  MappedFileError_t(const char* file, int line) : Error_t(file, line) {}
};

// A file that does not exist; the message is the file name.
class FileNotFound_t : public glo::Exception_t {
 public:
  FileNotFound_t(const char* file, int line, const std::string& fileName)
      : glo::Exception_t(file, line, fileName), m_fileName(fileName) {}

  const std::string& FileName() const { return m_fileName; }

 private:
  std::string m_fileName;
};

// A locale name other than "C" that names no code page.
class NoCodePageSpecified_t : public glo::Exception_t {
 public:
  NoCodePageSpecified_t(const char* file, int line) : glo::Exception_t(file, line, std::string()) {}
};

}  // namespace win
