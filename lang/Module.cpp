// The language module: a shared object of data only. Its one exported function
// hands the loader the table of every resource by kind and id; the table itself
// is generated at build time from the string files (and later the other kinds).
#include "plat/PLAT_Module.h"

extern const StrideResourceEntry kStrideResources[];
extern const unsigned kStrideResourceCount;

extern "C" __attribute__((visibility("default"))) const StrideResourceTable* StrideResources() {
  static const StrideResourceTable table = {plat::kResourceTableMagic, plat::kResourceAbiVersion,
                                              kStrideResourceCount, kStrideResources};
  return &table;
}
