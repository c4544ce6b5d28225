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

}  // namespace plat
