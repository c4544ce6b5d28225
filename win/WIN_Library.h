#pragma once
// A shared library loaded by name for as long as the object lives.
#include <string>

#include "glo/GLO_NonCopyable.h"
#include "plat/PLAT_Library.h"

namespace win {

class Library_t : glo::NonCopyable_t {
 public:
  // Loads the library by its name; win::Error_t when it cannot be loaded.
  explicit Library_t(const std::string& name);
  ~Library_t();

  const std::string& Name() const { return m_name; }
  // The loaded module, through which its functions are looked up.
  plat::LibraryHandle Module() const { return m_module; }

 private:
  std::string m_name;
  plat::LibraryHandle m_module;
};

// True when a library of that name can be loaded (it is unloaded again at once).
bool IsLibraryAvailable(const std::string& name);

}  // namespace win
