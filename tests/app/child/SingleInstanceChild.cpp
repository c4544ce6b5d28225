// The later start of the single-instance test: exits 0 when another instance
// holds the name given as the argument (and was asked to come forward), 1
// when this process got it, 2 on a wrong call.
#include "plat/PLAT_SingleInstance.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  plat::SingleInstance_t instance(argv[1]);
  return instance.Acquire() ? 1 : 0;
}
