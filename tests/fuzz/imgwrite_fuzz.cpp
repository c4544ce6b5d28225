// Writing files of a map image: the input is a list of operations (write,
// truncate, close and reopen the image) on a few files of a built image. The
// files must read back as a plain model of them says, and the image's byte
// sum must stay what it was.
#include <map>

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

const char* const kNames[] = {"A.DAT", "B.DAT", "C.DAT"};

std::string Read(dsk::Partition_t& p, const char* name) { return imgkit::ReadWhole(p.GetRootDirectory(), name); }

}  // namespace

std::vector<std::string> StrideFuzzSeeds() {
  // Each operation is 4 bytes: kind, file, two bytes of position or size.
  return {std::string("\x00\x00\x10\x00\x01\x01\x00\x02\x02\x02\x40\x00", 12),
          std::string("\x00\x01\xf0\x07\x00\x02\x00\x00\x01\x01\x58\x02\x03\x00\x00\x00\x00\x00\x00\x20", 20),
          std::string("\x04\x00\x00\x00\x00\x00\x00\x30\x00\x00\x00\x40\x00\x00\x00\x50", 16)};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  imgkit::ImageBuilder_t b;
  b.blockCount = 48;
  b.xorByte = data[0] & 1 ? 0x5A : 0;
  b.trimToData = (data[0] & 2) != 0;
  std::map<std::string, std::string> model;
  for (const char* name : kNames) {
    model[name] = std::string(300 + 200 * model.size(), static_cast<char>('a' + model.size()));
    b.files.push_back(imgkit::File(name, model[name]));
  }
  imgkit::MemoryMedia_t media(b.Build(), false);
  const std::uint8_t sum = imgkit::DecodedSum(media.Bytes(), b.xorByte);
  auto disk = std::make_unique<dsk::Disk_t>(media, 2);
  for (std::size_t at = 1; at + 4 <= size; at += 4) {
    const std::uint8_t kind = data[at] % 5;
    const char* name = kNames[data[at + 1] % 3];
    const std::uint32_t value = data[at + 2] | (std::uint32_t(data[at + 3]) << 8);
    dsk::FileBuffer_t& f = *disk->GetPartition(0).GetRootDirectory().FindFile(name);
    std::string& m = model[name];
    try {
      if (kind <= 1) {  // write a run of bytes at a position
        const std::string bytes(1 + value % 1500, static_cast<char>(value));
        std::uint64_t position = value % 6000;
        f.Open(dsk::kModeWrite);
        f.Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()), position);
        if (m.size() < value % 6000) m.resize(value % 6000, '\xFF');
        m.replace(value % 6000, bytes.size(), bytes);
        f.Close();
      } else if (kind == 2) {  // truncate
        const std::uint32_t s = value % 4000;
        f.Open(dsk::kModeWrite);
        f.SetSize(s);
        if (s < m.size()) m.resize(s);
        else m.resize(s, '\xFF');
        f.Close();
      } else if (kind == 3) {  // close the image and open it again
        disk.reset();
        disk = std::make_unique<dsk::Disk_t>(media, 2);
      } else if (Read(disk->GetPartition(0), name) != m) {
        __builtin_trap();
      }
    } catch (const dsk::DiskFull_t&) {
      return 0;  // a full disk leaves the model behind: stop here
    } catch (const dsk::RootDirFull_t&) {
      return 0;
    }
  }
  for (const char* name : kNames)
    if (Read(disk->GetPartition(0), name) != model[name]) __builtin_trap();
  disk.reset();
  if (imgkit::DecodedSum(media.Bytes(), b.xorByte) != sum) __builtin_trap();
  dsk::Disk_t again(media, 8);
  for (const char* name : kNames)
    if (Read(again.GetPartition(0), name) != model[name]) __builtin_trap();
  return 0;
}
