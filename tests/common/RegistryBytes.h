#pragma once
// The stored form of a settings value, for tests of what settings write.
#include <string>
#include <utility>

#include "plat/PLAT_Registry.h"

namespace test {

// Type and bytes of a value; {0, "missing"} when it cannot be read.
using RegBytes_t = std::pair<unsigned long, std::string>;

inline RegBytes_t ReadRegBytes(plat::HKEY key, const std::string& name) {
  unsigned long type = 0;
  unsigned long size = 0;
  if (plat::RegQueryValueEx(key, name, &type, nullptr, &size) != 0) return {0, "missing"};
  std::string bytes(size, '\0');
  if (plat::RegQueryValueEx(key, name, &type, reinterpret_cast<unsigned char*>(bytes.data()), &size) != 0)
    return {0, "missing"};
  return {type, bytes};
}

}  // namespace test
