// The first sector of a map image and its partitions on any bytes.
#include "dsk/DSK_Disk.h"
#include "dsk/DSK_Partition.h"
#include "glo/GLO_Exception.h"
#include "tests/fuzz/FuzzSeeds.h"
#include "tests/fuzz/ImgFuzzSeeds.h"

std::vector<std::string> StrideFuzzSeeds() {
  std::vector<std::string> seeds = fuzz::ImageSeeds();
  for (std::string& s : seeds) s.resize(std::min<size_t>(s.size(), 2048));
  return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  imgkit::MemoryMedia_t media(fuzz::Bytes(data, size), true);
  try {
    dsk::Disk_t disk(media, 8);
    for (unsigned i = 0; i < disk.PartitionCount(); ++i) {
      try {
        dsk::Partition_t& p = disk.GetPartition(i);
        if (p.GetDescription().size() != 50) __builtin_trap();
        if (p.GetFreeSpace() + p.GetUsedSpace() == 0) __builtin_trap();
      } catch (const glo::Exception_t&) {
      }
    }
  } catch (const glo::Exception_t&) {
  }
  return 0;
}
