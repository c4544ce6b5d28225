#include "plat/PLAT_SystemInfo.h"

#include <sched.h>
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
  // The processors this process may run on, else all that are online.
  cpu_set_t set;
  CPU_ZERO(&set);
  if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
    return static_cast<unsigned>(CPU_COUNT(&set));
  const long count = ::sysconf(_SC_NPROCESSORS_ONLN);
  return count > 0 ? static_cast<unsigned>(count) : 1u;
}

}  // namespace plat
