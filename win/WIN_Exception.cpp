#include "win/WIN_Exception.h"

#include "plat/PLAT_Error.h"

namespace win {

std::string FormatErrorCode(unsigned long code) {
  std::string text;
  if (!plat::FormatMessage(code, text)) {
    if (plat::GetLastError() == plat::kErrorResourceLangNotFound) throw glo::Assert_t(GLO_SRC);
    text = "No system text is known for this code.\r\n";
  }
  return "Windows Error Code: " + std::to_string(code) + "\n" + text;
}

Error_t::Error_t(const char* file, int line, unsigned long errorCode)
    : Error_t(file, line, errorCode, FormatErrorCode(errorCode)) {}

Error_t::Error_t(const char* file, int line) : Error_t(file, line, plat::GetLastError()) {}

Error_t::Error_t(const char* file, int line, unsigned long errorCode, const std::string& message)
    : glo::Exception_t(file, line, message), m_errorCode(errorCode) {}

RegError_t::RegError_t(const char* file, int line, const std::string& name, unsigned long errorCode)
    : Error_t(file, line, errorCode, FormatErrorCode(errorCode) + "; Reg name: " + name) {}

}  // namespace win
