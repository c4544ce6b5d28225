#include "win/WIN_Library.h"

#include "win/WIN_Exception.h"

namespace win {

Library_t::Library_t(const std::string& name) : m_name(name), m_module(plat::LoadLibrary(name)) {
  if (!m_module) throw Error_t(GLO_SRC);
}

Library_t::~Library_t() {
  if (m_module) plat::FreeLibrary(m_module);
}

bool IsLibraryAvailable(const std::string& name) {
  try {
    Library_t library(name);
    return true;
  } catch (const Error_t&) {
    return false;
  }
}

}  // namespace win
