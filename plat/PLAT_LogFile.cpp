#include "plat/PLAT_LogFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_FileIo.h"

namespace plat {

bool GetUserTempFolder(std::string& folder) {
  for (const char* name : {"TMPDIR", "XDG_RUNTIME_DIR"}) {
    const char* v = std::getenv(name);
    if (v != nullptr && v[0] == '/') {
      folder = v;
      if (folder.back() != '/') folder += '/';
      return true;
    }
  }
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') {
    folder = std::string(home) + (home[std::char_traits<char>::length(home) - 1] == '/' ? "" : "/") + ".cache/";
    return true;
  }
  SetLastError(kErrorPathNotFound);
  return false;
}

bool EnsurePrivateFolder(const std::string& folder) {
  std::string path = folder;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
    SetLastErrorFromErrno(errno);
    return false;
  }
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) {
    SetLastErrorFromErrno(errno);
    return false;
  }
  if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) {
    SetLastError(kErrorAccessDenied);
    return false;
  }
  if ((st.st_mode & 077) != 0 && ::chmod(path.c_str(), st.st_mode & 0700) != 0) {
    SetLastErrorFromErrno(errno);
    return false;
  }
  return true;
}

bool EnsureFolder(const std::string& folder) {
  std::string path = folder;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  for (size_t pos = 1; pos <= path.size(); ++pos) {
    if (pos != path.size() && path[pos] != '/') continue;
    if (::mkdir(path.substr(0, pos).c_str(), 0700) != 0 && errno != EEXIST) {
      SetLastErrorFromErrno(errno);
      return false;
    }
  }
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    SetLastErrorFromErrno(errno);
    return false;
  }
  if (!S_ISDIR(st.st_mode)) {
    SetLastError(kErrorPathNotFound);
    return false;
  }
  return true;
}

Handle OpenLogForAppend(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) {
    SetLastErrorFromErrno(errno);
    return kInvalidHandle;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    SetLastError(kErrorAccessDenied);
    return kInvalidHandle;
  }
  return fd;
}

bool WriteAndFlush(Handle file, const std::string& bytes) {
  if (!WriteFile(file, bytes.data(), bytes.size())) return false;
  if (::fsync(file) != 0 && errno != EINVAL) {
    SetLastErrorFromErrno(errno);
    return false;
  }
  return true;
}

}  // namespace plat
