#include "glo/GLO_SplitPath.h"

namespace glo {

SplitPath_t::SplitPath_t(const std::string& path) {
  const std::string::size_type slash = path.rfind('/');
  const std::string::size_type nameStart = slash == std::string::npos ? 0 : slash + 1;
  m_folder = path.substr(0, nameStart);
  const std::string name = path.substr(nameStart);
  const std::string::size_type dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0 || name == "..") {
    m_fileName = name;
  } else {
    m_fileName = name.substr(0, dot);
    m_extension = name.substr(dot);
  }
}

}  // namespace glo
