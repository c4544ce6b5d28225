// Start-up shared by every fuzz target, as the program's own: the locale.
#include <string>

#include "plat/PLAT_Locale.h"

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  plat::SetRuntimeLocale(std::string());
  return 0;
}
