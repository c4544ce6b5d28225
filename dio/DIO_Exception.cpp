#include "dio/DIO_Exception.h"

#include "plat/PLAT_Error.h"

namespace dio {

WindowsError_t::WindowsError_t(const char* file, int line) : WindowsError_t(file, line, plat::GetLastError()) {}

WindowsError_t::WindowsError_t(const char* file, int line, unsigned long code)
    : Exception_t(file, line, (plat::SetLastError(code), glo::ErrorText())), m_code(code) {}

}  // namespace dio
