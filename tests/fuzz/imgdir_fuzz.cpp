// The directories and files of a map image on any bytes: the whole tree is
// walked and every file read to its end, then read on past it.
#include "dsk/DSK_Directory.h"
#include "dsk/DSK_Disk.h"
#include "dsk/DSK_Exception.h"
#include "dsk/DSK_File.h"
#include "dsk/DSK_FileBuffer.h"
#include "dsk/DSK_Partition.h"
#include "glo/GLO_Exception.h"
#include "tests/fuzz/FuzzSeeds.h"
#include "tests/fuzz/ImgFuzzSeeds.h"

namespace {

void Walk(const dsk::Directory_t& dir, unsigned depth) {
  if (depth > dsk::kMaxDirectoryDepth + 1) __builtin_trap();
  std::string buffer;
  for (auto it = dir.Begin(); it != dir.End(); ++it) {
    dsk::File_t file = *it;
    try {
      file.Open(dsk::kModeRead);
      buffer.resize(file.GetSize() < (1u << 20) ? file.GetSize() : (1u << 20));
      file.Read(buffer.data(), static_cast<std::uint32_t>(buffer.size()));
      file.Seek(file.GetSize());
      if (!file.AtEnd()) __builtin_trap();
      char c;
      try {
        file.Read(&c, 1);
        __builtin_trap();  // a read past the end must fail
      } catch (const dsk::BadFilePosition_t&) {
      }
    } catch (const dsk::FileError_t&) {
    }
    if (const dsk::Directory_t* sub = dir.FindDirectory(it.Name())) Walk(*sub, depth + 1);
  }
}

}  // namespace

std::vector<std::string> StrideFuzzSeeds() { return fuzz::ImageSeeds(); }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  imgkit::MemoryMedia_t media(fuzz::Bytes(data, size), true);
  try {
    dsk::Disk_t disk(media, 4);
    if (disk.PartitionCount() == 0) return 0;
    Walk(disk.GetPartition(0).GetRootDirectory(), 0);
  } catch (const glo::Exception_t&) {
  }
  if (media.Writes() != 0) __builtin_trap();  // reading never writes
  return 0;
}
