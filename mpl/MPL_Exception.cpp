#include "mpl/MPL_Exception.h"

namespace mpl {

MdbException_t::MdbException_t(const char* file, int line, int code, const std::string& text)
    : glo::Exception_t(file, line, text + "Error code: " + std::to_string(code)), m_code(code) {}

int CheckMdbResult(int code, const char* file, int line, int mode) {
  bool pass = code == 0;
  if (mode == kMdbAcceptNotFound) pass = pass || code == 3;
  if (mode == kMdbAcceptShortage) pass = pass || code == 2 || code == 3;
  if (!pass) throw MdbException_t(file, line, code);
  return code;
}

}  // namespace mpl
