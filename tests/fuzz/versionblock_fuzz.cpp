// Version blocks on any bytes: as a block in memory, and as a file whose version
// section is looked for.
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "plat/PLAT_VersionInfo.h"
#include "tests/fuzz/FuzzSeeds.h"

std::vector<std::string> StrideFuzzSeeds() {
  auto text = [](const std::string& s) { return std::vector<unsigned char>(s.begin(), s.end() + 1); };
  const std::vector<unsigned char> block = plat::MakeVersionBlock(
      {{"\\", {0, 0, 2, 0, 0, 0, 5, 0, 0, 0, 2, 0, 0, 0, 5, 0}},
       {"\\VarFileInfo\\Translation", {0x09, 0x04, 0xe4, 0x04}},
       {"\\StringFileInfo\\040904e4\\FileDescription", text("Stridemere Logbook")}});
  std::string elf("\x7f" "ELF\x02\x01\x01", 7);
  elf.resize(64, '\0');
  return {std::string(block.begin(), block.end()), std::string("SVB1\xff\xff\xff\xff", 8), elf};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<unsigned char> block(data, data + size);
  const unsigned char* value = nullptr;
  std::size_t valueSize = 0;
  for (const char* key : {"\\", "\\VarFileInfo\\Translation", "\\StringFileInfo\\040904e4\\FileDescription"}) {
    if (plat::QueryVersionValue(block, key, value, valueSize) && valueSize > size) __builtin_trap();
  }
  unsigned version[4];
  plat::QueryFileVersion(block, version);

  // The same bytes as a file.
  static const std::string path = [] {
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/stride-fuzz-version-" + std::to_string(::getpid());
  }();
  if (FILE* file = std::fopen(path.c_str(), "wb")) {
    const bool written = std::fwrite(data, 1, size, file) == size;
    std::fclose(file);
    std::vector<unsigned char> fromFile;
    if (written) plat::ReadVersionBlock(path, fromFile);
    std::remove(path.c_str());
  }
  return 0;
}
