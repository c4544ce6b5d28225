#pragma once
// The map reader's exception: an engine result code that the caller does not
// accept, with the caller's text, and the policy that turns codes into it.
#include <string>

#include "glo/GLO_Exception.h"

namespace mpl {

class MdbException_t : public glo::Exception_t {
 public:
  // The message is the text followed by "Error code: " and the code.
  MdbException_t(const char* file, int line, int code, const std::string& text = std::string());
  int Code() const { return m_code; }

 private:
  int m_code;
};

// Which result codes pass besides 0: mode 0 none, mode 1 also 3 (not found),
// mode 2 also 2 (out of memory) and 3.
enum MdbTolerance_t : int { kMdbStrict = 0, kMdbAcceptNotFound = 1, kMdbAcceptShortage = 2 };

// Throws MdbException_t (file, line, code) when the mode does not pass the code;
// answers the code otherwise.
int CheckMdbResult(int code, const char* file, int line, int mode);

}  // namespace mpl
