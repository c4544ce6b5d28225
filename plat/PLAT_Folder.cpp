#include "plat/PLAT_Folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>

#include "plat/PLAT_Error.h"

namespace plat {

namespace {

std::string WithSeparator(std::string path) {
  if (path.empty() || path.back() != kPathSeparator) path += kPathSeparator;
  return path;
}

// Creates every missing folder of an absolute path.
bool CreatePath(const std::string& path) {
  for (size_t pos = 1; pos <= path.size(); ++pos) {
    if (pos != path.size() && path[pos] != kPathSeparator) continue;
    const std::string part = path.substr(0, pos);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
      SetLastErrorFromErrno(errno);
      return false;
    }
  }
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    SetLastError(kErrorPathNotFound);
    return false;
  }
  if (!S_ISDIR(st.st_mode)) {
    SetLastError(kErrorCannotMake);  // a file stands where the folder should be
    return false;
  }
  return true;
}

}  // namespace

bool GetCommonAppDataFolder(std::string& folder) {
  std::string path;
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && data[0] == '/') {
    path = data;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') {
      SetLastError(kErrorPathNotFound);
      return false;
    }
    path = WithSeparator(home) + ".local/share";
  }
  while (path.size() > 1 && path.back() == kPathSeparator) path.pop_back();
  if (!CreatePath(path)) return false;
  folder = WithSeparator(path);
  return true;
}

std::string GetTempPath() {
  const char* tmp = std::getenv("TMPDIR");
  return WithSeparator(tmp && tmp[0] ? std::string(tmp) : std::string("/tmp"));
}

std::string GetHomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return WithSeparator(home);
  const passwd* entry = ::getpwuid(::getuid());
  if (entry != nullptr && entry->pw_dir != nullptr && entry->pw_dir[0] == '/') return WithSeparator(entry->pw_dir);
  return "/";
}

bool CreateDirectory(const std::string& path) {
  if (::mkdir(path.c_str(), 0777) == 0) return true;
  const int err = errno;
  struct stat st;
  if (err == EEXIST && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
    SetLastError(kErrorCannotMake);  // a file stands where the folder should be
  else if (err == EEXIST)
    SetLastError(kErrorAlreadyExists);
  else if (err == ENOENT)
    SetLastError(kErrorPathNotFound);
  else
    SetLastErrorFromErrno(err);
  return false;
}

}  // namespace plat
