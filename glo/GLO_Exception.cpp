#include "glo/GLO_Exception.h"

#include "plat/PLAT_Error.h"

namespace glo {

Exception_t::Exception_t(const char* file, int line, const std::string& message)
    : m_file(file), m_line(line), m_message(message) {}

Exception_t::~Exception_t() = default;

const char* Exception_t::what() const noexcept { return m_message.c_str(); }

InvalidInput_t::InvalidInput_t(const std::string& text, const char* file, int line)
    : Exception_t(file, line, std::string()), m_text(text) {}

std::string ErrorText() {
  std::string text;
  if (!plat::FormatMessage(plat::GetLastError(), text)) return "Unable to get error text";
  if (text.size() > 255) text.resize(255);
  return text;
}

}  // namespace glo
