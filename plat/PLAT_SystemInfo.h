#pragma once
// What the program reports about the machine it runs on.
#include <string>

namespace plat {

// The system's name and release, the processor and the physical memory in bytes.
struct SystemDescription {
  std::string systemName;
  std::string release;
  std::string processor;
  unsigned long long physicalMemory = 0;
};
SystemDescription DescribeMachine();

// The number of processors this process may run on (at least 1).
unsigned ProcessorCount();

}  // namespace plat
