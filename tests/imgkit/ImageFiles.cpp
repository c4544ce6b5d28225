#include "tests/imgkit/ImageFiles.h"

#include <stdexcept>

namespace imgkit {

std::string ReadWhole(const dsk::Directory_t& dir, const std::string& name) {
  dsk::FileBuffer_t* buffer = dir.FindFile(name);
  if (!buffer) throw std::runtime_error("no file " + name);
  dsk::File_t file(buffer);
  file.Open(dsk::kModeRead);
  std::string data(file.GetSize(), '\0');
  file.Read(data.data(), file.GetSize());
  return data;
}

}  // namespace imgkit
