#include "plat/PLAT_FileHandle.h"

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <unistd.h>

#include "plat/PLAT_Error.h"

namespace plat {

namespace {

std::mutex& TableMutex() {
  static std::mutex* m = new std::mutex;  // never destroyed: threads may outlive static destruction
  return *m;
}

std::map<Handle, std::shared_ptr<detail::KernelObject>>& Table() {
  static auto* table = new std::map<Handle, std::shared_ptr<detail::KernelObject>>;
  return *table;
}

}  // namespace

bool CloseHandle(Handle handle) {
  if (handle < 0) {
    SetLastError(kErrorInvalidHandle);
    return false;
  }
  std::shared_ptr<detail::KernelObject> object;
  int rc;
  {
    // Remove the entry before the descriptor number can be reused.
    std::lock_guard<std::mutex> lock(TableMutex());
    auto it = Table().find(handle);
    if (it != Table().end()) {
      object = std::move(it->second);
      Table().erase(it);
    }
    rc = ::close(handle);
  }
  const int err = errno;
  // The last reference to a thread may be dropped here (joins or detaches it),
  // outside the table lock.
  object.reset();
  if (rc != 0 && err != EINTR) {
    SetLastErrorFromErrno(err);
    return false;
  }
  return true;
}

Handle DuplicateHandle(Handle handle) {
  std::lock_guard<std::mutex> lock(TableMutex());
  const int fd = ::fcntl(handle, F_DUPFD_CLOEXEC, 0);
  if (fd < 0) {
    SetLastErrorFromErrno(errno);
    return kInvalidHandle;
  }
  auto it = Table().find(handle);
  if (it != Table().end()) Table()[fd] = it->second;
  return fd;
}

namespace detail {

void RegisterObject(Handle handle, std::shared_ptr<KernelObject> object) {
  std::lock_guard<std::mutex> lock(TableMutex());
  Table()[handle] = std::move(object);
}

std::shared_ptr<KernelObject> FindObject(Handle handle) {
  std::lock_guard<std::mutex> lock(TableMutex());
  auto it = Table().find(handle);
  return it == Table().end() ? nullptr : it->second;
}

}  // namespace detail

}  // namespace plat
