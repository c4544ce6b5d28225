#include "glo/GLO_NoCase.h"

namespace glo {

std::string ToUpper(const std::string& text, const std::locale& locale) {
  const std::ctype<char>& ctype = std::use_facet<std::ctype<char>>(locale);
  std::string result(text);
  std::mbstate_t state = std::mbstate_t();
  std::size_t pos = 0;
  while (pos < result.size()) {
    const std::size_t length = MeasureMBChar(result.data() + pos, result.size() - pos, state);
    if (length == 0) {
      // Not a character: keep the byte and go on with the next one.
      ++pos;
      continue;
    }
    if (length == 1) result[pos] = ctype.toupper(result[pos]);
    pos += length;
  }
  return result;
}

}  // namespace glo
