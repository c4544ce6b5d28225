#include "plat/PLAT_File.h"

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_FileIo.h"

namespace plat {

namespace {

struct MappingObject : detail::KernelObject {
  MappingObject() : detail::KernelObject(kMapping) {}
  unsigned long protection = kPageReadOnly;
  std::uint64_t size = 0;
};

// The views in use: their page-aligned start and length, by the address handed out.
struct View {
  void* base;
  size_t length;
};

std::mutex& ViewMutex() {
  static auto* m = new std::mutex;
  return *m;
}

std::map<const void*, View>& Views() {
  static auto* views = new std::map<const void*, View>;
  return *views;
}

// The address of every empty view: never read, never unmapped.
char g_emptyView;

// A missing file reports 2, but 3 when a folder on its path is missing.
unsigned long OpenError(int err, const std::string& fileName) {
  if (err != ENOENT) return ErrnoToError(err);
  const auto slash = fileName.rfind('/');
  if (slash == std::string::npos || slash == 0) return kErrorFileNotFound;
  struct stat st;
  const std::string folder = fileName.substr(0, slash);
  if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return kErrorPathNotFound;
  return kErrorFileNotFound;
}

std::shared_ptr<MappingObject> FindMapping(Handle h) {
  auto object = std::dynamic_pointer_cast<MappingObject>(detail::FindObject(h));
  if (!object) SetLastError(kErrorInvalidHandle);
  return object;
}

}  // namespace

Handle CreateFile(const std::string& fileName, unsigned long desiredAccess, unsigned long /*shareMode*/,
                  unsigned long creationDisposition, unsigned long /*flagsAndAttributes*/) {
  const bool read = (desiredAccess & kGenericRead) != 0;
  const bool write = (desiredAccess & kGenericWrite) != 0;
  int flags = O_CLOEXEC;
  if (read && write)
    flags |= O_RDWR;
  else if (write)
    flags |= O_WRONLY;
  else if (read)
    flags |= O_RDONLY;
  else {
    SetLastError(kErrorInvalidParameter);
    return kInvalidHandle;
  }
  switch (creationDisposition) {
    case kCreateNew: flags |= O_CREAT | O_EXCL; break;
    case kCreateAlways: flags |= O_CREAT | O_TRUNC; break;
    case kOpenExisting: break;
    case kOpenAlways: flags |= O_CREAT; break;
    case kTruncateExisting: flags |= O_TRUNC; break;
    default: SetLastError(kErrorInvalidParameter); return kInvalidHandle;
  }
  if ((flags & O_TRUNC) && !write) {
    SetLastError(kErrorInvalidParameter);
    return kInvalidHandle;
  }
  const int fd = RetryOnInterrupt([&] { return ::open(fileName.c_str(), flags, 0666); });
  if (fd < 0) {
    SetLastError(OpenError(errno, fileName));
    return kInvalidHandle;
  }
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {  // folders are not files
    ::close(fd);
    SetLastError(kErrorAccessDenied);
    return kInvalidHandle;
  }
  return fd;
}

bool GetFileSize(Handle file, std::uint64_t& size) {
  struct stat st;
  if (::fstat(file, &st) != 0) {
    SetLastErrorFromErrno(errno);
    return false;
  }
  size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

bool FlushFileBuffers(Handle file) {
  if (RetryOnInterrupt([&] { return ::fsync(file); }) != 0) {
    SetLastErrorFromErrno(errno);
    return false;
  }
  return true;
}

Handle CreateFileMapping(Handle file, unsigned long protection, std::uint64_t maximumSize) {
  if (protection != kPageReadOnly && protection != kPageReadWrite && protection != kPageWriteCopy) {
    SetLastError(kErrorInvalidParameter);
    return kInvalidHandle;
  }
  std::uint64_t fileSize = 0;
  if (!GetFileSize(file, fileSize)) return kInvalidHandle;
  const int accessMode = ::fcntl(file, F_GETFL);
  if (accessMode < 0) {
    SetLastErrorFromErrno(errno);
    return kInvalidHandle;
  }
  const bool fileWritable = (accessMode & O_ACCMODE) == O_RDWR;
  const bool fileReadable = (accessMode & O_ACCMODE) != O_WRONLY;
  if (!fileReadable || (protection == kPageReadWrite && !fileWritable)) {
    SetLastError(kErrorAccessDenied);
    return kInvalidHandle;
  }
  const std::uint64_t size = maximumSize == 0 ? fileSize : maximumSize;
  if (size > fileSize) {
    if (protection != kPageReadWrite) {
      SetLastError(kErrorInvalidParameter);
      return kInvalidHandle;
    }
    if (size > static_cast<std::uint64_t>(INT64_MAX) || ::ftruncate(file, static_cast<off_t>(size)) != 0) {
      SetLastErrorFromErrno(size > static_cast<std::uint64_t>(INT64_MAX) ? EFBIG : errno);
      return kInvalidHandle;
    }
  }
  const int fd = ::fcntl(file, F_DUPFD_CLOEXEC, 0);
  if (fd < 0) {
    SetLastErrorFromErrno(errno);
    return kInvalidHandle;
  }
  auto object = std::make_shared<MappingObject>();
  object->protection = protection;
  object->size = size;
  detail::RegisterObject(fd, std::move(object));
  return fd;
}

bool GetMappingSize(Handle mapping, std::uint64_t& size) {
  auto object = FindMapping(mapping);
  if (!object) return false;
  size = object->size;
  return true;
}

void* MapViewOfFile(Handle mapping, unsigned long desiredAccess, std::uint64_t offset,
                    std::uint64_t bytes) {
  auto object = FindMapping(mapping);
  if (!object) return nullptr;
  if (offset > object->size || (bytes != 0 && bytes > object->size - offset)) {
    SetLastError(kErrorInvalidParameter);
    return nullptr;
  }
  const std::uint64_t length = bytes == 0 ? object->size - offset : bytes;
  int prot = PROT_READ;
  int flags = MAP_SHARED;
  if (desiredAccess == kFileMapCopy) {
    prot |= PROT_WRITE;
    flags = MAP_PRIVATE;
  } else if (desiredAccess & kFileMapWrite) {
    if (object->protection != kPageReadWrite) {
      SetLastError(kErrorAccessDenied);
      return nullptr;
    }
    prot |= PROT_WRITE;
  } else if (!(desiredAccess & kFileMapRead)) {
    SetLastError(kErrorInvalidParameter);
    return nullptr;
  }
  if (length == 0) return &g_emptyView;
  // mmap wants a page-aligned offset: map from the page that holds 'offset'.
  const std::uint64_t page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
  const std::uint64_t delta = offset % page;
  const std::uint64_t total = length + delta;
  if (total > SIZE_MAX || total < length) {  // never truncate a size that does not fit
    SetLastError(kErrorNotEnoughMemory);
    return nullptr;
  }
  void* base = ::mmap(nullptr, static_cast<size_t>(total), prot, flags, mapping,
                      static_cast<off_t>(offset - delta));
  if (base == MAP_FAILED) {
    SetLastErrorFromErrno(errno);
    return nullptr;
  }
  void* address = static_cast<char*>(base) + delta;
  std::lock_guard<std::mutex> lock(ViewMutex());
  Views()[address] = View{base, static_cast<size_t>(total)};
  return address;
}

bool UnmapViewOfFile(const void* address) {
  if (address == &g_emptyView) return true;
  View view;
  {
    std::lock_guard<std::mutex> lock(ViewMutex());
    auto it = Views().find(address);
    if (it == Views().end()) {
      SetLastError(kErrorInvalidParameter);
      return false;
    }
    view = it->second;
    Views().erase(it);
  }
  if (::munmap(view.base, view.length) != 0) {
    SetLastErrorFromErrno(errno);
    return false;
  }
  return true;
}

}  // namespace plat
