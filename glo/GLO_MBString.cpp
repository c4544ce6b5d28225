#include "glo/GLO_MBString.h"

namespace glo {

std::string ValidMBPrefix(const std::string& text) {
  std::mbstate_t state = std::mbstate_t();
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t length = MeasureMBChar(text.data() + pos, text.size() - pos, state);
    if (length == 0) break;
    pos += length;
  }
  return text.substr(0, pos);
}

}  // namespace glo
