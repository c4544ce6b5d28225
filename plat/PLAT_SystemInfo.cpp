#include "plat/PLAT_SystemInfo.h"

#include <sys/utsname.h>
#include <unistd.h>

namespace plat {

SystemDescription DescribeMachine() {
  SystemDescription d;
  struct utsname u;
  if (::uname(&u) == 0) {
    d.systemName = u.sysname;
    d.release = u.release;
    d.processor = u.machine;
  }
  const long pages = ::sysconf(_SC_PHYS_PAGES), size = ::sysconf(_SC_PAGESIZE);
  if (pages > 0 && size > 0) d.physicalMemory = static_cast<unsigned long long>(pages) * static_cast<unsigned long long>(size);
  return d;
}

unsigned ProcessorCount() {
  const long count = ::sysconf(_SC_NPROCESSORS_ONLN);
  return count > 0 ? static_cast<unsigned>(count) : 1u;
}

}  // namespace plat
