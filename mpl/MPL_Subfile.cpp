#include "mpl/MPL_Subfile.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "dsk/DSK_Directory.h"
#include "dsk/DSK_Exception.h"
#include "dsk/DSK_FileBuffer.h"
#include "dsk/DSK_Media.h"
#include "mpl/MPL_Engine.h"

namespace mpl {

namespace {

// The engine's one block buffer (per thread), word-aligned for the stream reader.
alignas(4) thread_local std::uint8_t t_block[kMdbBlockSize];

}  // namespace

bool MdbIsOpen(const dsk::File_t& file) { return file.IsOpen(); }

int MdbOpenFile(dsk::File_t& file, const std::string& name, const ImageSource_t& source) {
  try {
    if (!source.IsOpen() || !source.Partition()) return kMdbBadData;
    dsk::FileBuffer_t* buffer = source.Partition()->GetRootDirectory().FindFile(name);
    if (!buffer) return kMdbBadData;
    if (file.Buffer() != buffer || file.IsOpen()) file.Close();
    file = dsk::File_t(buffer);
    file.Open(dsk::kModeRead);
    return kMdbDone;
  } catch (const dsk::MediaUnavailable_t&) {
    throw;
  } catch (const std::exception&) {
    return kMdbBadData;
  }
}

int OpenSubfile(dsk::File_t& file, const MdbMap_t& map, const std::string& extension,
                const ImageSource_t& source) {
  std::string name = map.mapName + extension;
  if (name.size() > 15) name.resize(15);
  return MdbOpenFile(file, name, source);
}

int MdbCloseFile(dsk::File_t& file) {
  try {
    file.Close();
    return kMdbDone;
  } catch (const dsk::MediaUnavailable_t&) {
    throw;
  } catch (const std::exception&) {
    return kMdbBadData;
  }
}

int MdbRead(dsk::File_t& file, std::int64_t offset, void* buffer, std::uint32_t count) {
  count &= 0xFFFF;
  try {
    if (!file.IsOpen()) return kMdbBadData;
    if (offset >= 0) file.Seek(static_cast<std::uint64_t>(offset));
    if (file.GetPosition() + count > file.GetSize()) return kMdbBadData;
    file.Read(buffer, count);
    return kMdbDone;
  } catch (const dsk::MediaUnavailable_t&) {
    throw;
  } catch (const std::exception&) {
    return kMdbBadData;
  }
}

std::uint32_t MdbReadPadded(dsk::File_t& file, std::uint32_t offset, void* buffer, std::uint32_t count) {
  std::memset(buffer, 0, count);
  const std::uint32_t size = MdbSize(file);
  if (offset >= size) return 0;
  const std::uint32_t n = std::min(count, size - offset);
  if (MdbRead(file, offset, buffer, n) != kMdbDone) {
    std::memset(buffer, 0, count);
    return 0;
  }
  return n;
}

std::int64_t MdbSeek(dsk::File_t& file, std::int64_t offset, int mode) {
  try {
    std::int64_t position;
    switch (mode) {
      case 0:
        if (offset < 0) return -1;
        position = offset;
        break;
      case 1:
        position = static_cast<std::int64_t>(file.GetPosition()) + offset;
        break;
      case 2:
        if (offset < 0) return -1;
        position = static_cast<std::int64_t>(file.GetSize()) - offset;
        break;
      default:
        return -1;
    }
    if (position < 0) return -1;
    file.Seek(static_cast<std::uint64_t>(position));
    return position;
  } catch (const dsk::MediaUnavailable_t&) {
    throw;
  } catch (const std::exception&) {
    return -1;
  }
}

std::uint32_t MdbTell(const dsk::File_t& file) {
  try {
    return static_cast<std::uint32_t>(file.GetPosition());
  } catch (const dsk::MediaUnavailable_t&) {
    throw;
  } catch (const std::exception&) {
    return 0;
  }
}

std::uint32_t MdbSize(const dsk::File_t& file) {
  try {
    return file.IsOpen() ? file.GetSize() : 0;
  } catch (const dsk::MediaUnavailable_t&) {
    throw;
  } catch (const std::exception&) {
    return 0;
  }
}

std::uint32_t MdbReadBlock(dsk::File_t& file, const std::uint8_t*& data) {
  data = t_block;
  try {
    if (!file.IsOpen()) return 0;
    const std::uint64_t p = file.GetPosition();
    const std::uint64_t size = file.GetSize();
    if (p >= size) return 0;
    const std::uint64_t b = p & ~static_cast<std::uint64_t>(kMdbBlockSize - 1);
    const std::uint32_t n = static_cast<std::uint32_t>(std::min<std::uint64_t>(kMdbBlockSize, size - b));
    file.Seek(b);
    file.Read(t_block, n);
    file.Seek(p);
    const std::uint32_t skip = static_cast<std::uint32_t>(p - b);
    data = t_block + skip;
    return n - skip;
  } catch (const dsk::MediaUnavailable_t&) {
    throw;
  } catch (const std::exception&) {
    return 0;
  }
}

}  // namespace mpl
