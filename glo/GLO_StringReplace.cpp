#include "glo/GLO_StringReplace.h"

#include <cmath>
#include <cstring>

#include "glo/GLO_Exception.h"

namespace glo {

std::string StringReplace(const std::string& templateText, const std::vector<std::string>& arguments,
                          const char* file, int line) {
  std::string text(templateText);
  std::vector<bool> used(arguments.size(), false);
  std::string::size_type pos = text.find('%');
  while (pos != std::string::npos) {
    if (pos + 1 >= text.size()) throw Assert_t(file, line);
    const char next = text[pos + 1];
    if (next == '%') {
      text.erase(pos, 1);
      pos = text.find('%', pos + 1);
      continue;
    }
    if (next == '\0' || std::strchr("0123456789", next) == nullptr) throw Assert_t(GLO_SRC);
    const std::size_t number = static_cast<std::size_t>(next - '0');
    if (number >= arguments.size()) throw Assert_t(GLO_SRC);
    text.replace(pos, 2, arguments[number]);
    used[number] = true;
    pos = text.find('%', pos + arguments[number].size());
  }
  for (bool wasUsed : used)
    if (!wasUsed) throw Assert_t(file, line);
  return text;
}

int DecimalsForDigits(double x, int digits) {
  if (x == 0) return 0;
  x = std::fabs(x);  // a negative value shows as many digits as its positive twin
  // Stops counting once the count reaches the digits, which also ends the walk for
  // an infinite value.
  int integerDigits = 0;
  while (x >= 1 && integerDigits < digits) {
    x *= 0.1;
    ++integerDigits;
  }
  return integerDigits >= digits ? 0 : digits - integerDigits;
}

}  // namespace glo
