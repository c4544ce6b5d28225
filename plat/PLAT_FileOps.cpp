#include "plat/PLAT_FileOps.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "plat/PLAT_Error.h"

namespace plat {

namespace {

// The folder part of a path ("." when it has none).
std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool Fail(int err) {
  SetLastErrorFromErrno(err);
  return false;
}

}  // namespace

bool FindFile(const std::string& path, bool& exists) {
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0) {
    exists = true;
    return true;
  }
  if (errno == ENOENT || errno == ENOTDIR) {
    exists = false;
    return true;
  }
  return Fail(errno);
}

bool MoveFile(const std::string& from, const std::string& to) {
  // A hard link never replaces its target; the old name then goes.
  if (::link(from.c_str(), to.c_str()) != 0) {
    const int err = errno;
    if (err != EPERM && err != ENOTSUP && err != EXDEV) return Fail(err);
    // A file system without hard links: rename without replacing.
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) return Fail(errno);
    return true;
  }
  if (::unlink(from.c_str()) != 0) {
    const int err = errno;
    ::unlink(to.c_str());
    return Fail(err);
  }
  return true;
}

bool DeleteFile(const std::string& path) {
  if (::unlink(path.c_str()) != 0) return Fail(errno);
  return true;
}

Handle CreateUniqueFile(const std::string& stem, std::string& path) {
  std::vector<char> name(stem.begin(), stem.end());
  for (int k = 0; k < 6; ++k) name.push_back('X');
  name.push_back('\0');
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) {
    SetLastErrorFromErrno(errno);
    return kInvalidHandle;
  }
  path.assign(name.data());
  return fd;
}

bool WriteFile(Handle file, const void* bytes, std::size_t count) {
  const char* p = static_cast<const char*>(bytes);
  while (count > 0) {
    const ssize_t n = ::write(file, p, count);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail(errno);
    }
    if (n == 0) return Fail(ENOSPC);
    p += n;
    count -= static_cast<std::size_t>(n);
  }
  return true;
}

bool ReplaceFile(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) return Fail(errno);
  const int dir = ::open(FolderOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return Fail(errno);
  const int rc = ::fsync(dir);
  const int err = errno;
  ::close(dir);
  // Folders that cannot be synced (some file systems) have kept the rename all the same.
  if (rc != 0 && err != EINVAL && err != ENOTSUP) return Fail(err);
  return true;
}

bool GetFileWriteTime(const std::string& path, std::int64_t& seconds) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return Fail(errno);
  seconds = static_cast<std::int64_t>(st.st_mtim.tv_sec);
  return true;
}

}  // namespace plat
