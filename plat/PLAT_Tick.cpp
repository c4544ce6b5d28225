#include "plat/PLAT_Tick.h"

#include <chrono>

namespace plat {

unsigned long long GetTickCount64() {
  return static_cast<unsigned long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                             std::chrono::steady_clock::now().time_since_epoch())
                                             .count());
}

unsigned long GetTickCount() { return static_cast<unsigned long>(GetTickCount64() & 0xFFFFFFFFull); }

}  // namespace plat
