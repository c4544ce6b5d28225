#include "plat/PLAT_Library.h"

#include <dlfcn.h>

#include "plat/PLAT_Error.h"

namespace plat {

LibraryHandle LoadLibrary(const std::string& name) {
  if (name.empty()) {
    SetLastError(kErrorModNotFound);
    return nullptr;
  }
  void* library = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) SetLastError(kErrorModNotFound);
  return library;
}

bool FreeLibrary(LibraryHandle library) {
  if (!library || ::dlclose(library) != 0) {
    SetLastError(kErrorInvalidHandle);
    return false;
  }
  return true;
}

void* GetProcAddress(LibraryHandle library, const std::string& name) {
  void* address = library ? ::dlsym(library, name.c_str()) : nullptr;
  if (!address) SetLastError(kErrorProcNotFound);
  return address;
}

}  // namespace plat
