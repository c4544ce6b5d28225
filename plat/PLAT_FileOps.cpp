#include "plat/PLAT_FileOps.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_File.h"

namespace plat {

namespace {

// The folder part of a path ("." when it has none).
std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// A fault set by a test in place of a real result of SyncFolder (0: none).
std::atomic<int> g_folderFault{0};
std::atomic<FolderStep_t> g_folderFaultStep{FolderStep_t::kSync};

// The errno value that a test makes the step meet, 0 when none.
int FolderFault(FolderStep_t step) { return g_folderFaultStep == step ? g_folderFault.load() : 0; }

// Writes a folder's entries through to the disk. A folder that this process
// may change but not read cannot be opened for a sync, and some file systems
// do not sync folders (EINVAL, EBADF or ENOTSUP from the sync): the entries
// stand all the same, so neither is a failure.
bool SyncFolder(const std::string& folder) {
  int err = FolderFault(FolderStep_t::kOpen);
  const int dir = err != 0 ? -1 : ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) {
    if (err == 0) err = errno;
    return err == EACCES || FailWithErrno(err);
  }
  err = FolderFault(FolderStep_t::kSync);
  if (err == 0 && ::fsync(dir) != 0) err = errno;
  ::close(dir);
  if (err != 0 && err != EINVAL && err != EBADF && err != ENOTSUP) return FailWithErrno(err);
  return true;
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
  return FailWithErrno(errno);
}

bool MoveFile(const std::string& from, const std::string& to) {
  // A hard link never replaces its target; the old name then goes.
  if (::link(from.c_str(), to.c_str()) != 0) {
    const int err = errno;
    if (err != EPERM && err != ENOTSUP && err != EXDEV) return FailWithErrno(err);
    // A file system without hard links: rename without replacing.
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) return FailWithErrno(errno);
    return true;
  }
  if (::unlink(from.c_str()) != 0) {
    const int err = errno;
    ::unlink(to.c_str());
    return FailWithErrno(err);
  }
  return true;
}

bool DeleteFile(const std::string& path) {
  if (::unlink(path.c_str()) != 0) return FailWithErrno(errno);
  return true;
}

bool GetFileKind(const std::string& path, FileKind_t& kind) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    if (errno != ENOENT && errno != ENOTDIR) return FailWithErrno(errno);
    kind = FileKind_t::kMissing;
    return true;
  }
  kind = S_ISREG(st.st_mode) ? FileKind_t::kRegular : S_ISDIR(st.st_mode) ? FileKind_t::kFolder : FileKind_t::kOther;
  return true;
}

bool ResolveLinks(const std::string& path, std::string& target) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(current.c_str(), &st) != 0) {
      if (errno != ENOENT && errno != ENOTDIR) return FailWithErrno(errno);
      target = current;
      return true;
    }
    if (!S_ISLNK(st.st_mode)) {
      target = current;
      return true;
    }
    std::vector<char> buffer(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
    const ssize_t n = ::readlink(current.c_str(), buffer.data(), buffer.size());
    if (n < 0) return FailWithErrno(errno);
    if (static_cast<size_t>(n) >= buffer.size()) continue;  // changed meanwhile: read it again
    const std::string link(buffer.data(), static_cast<size_t>(n));
    if (link.empty()) return FailWithErrno(ENOENT);
    current = link[0] == '/' ? link : FolderOf(current) + "/" + link;
  }
  return FailWithErrno(ELOOP);
}

Handle CreateUniqueFile(const std::string& stem, std::string& path) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937_64 random{std::random_device{}() ^ (static_cast<std::uint64_t>(::getpid()) << 32)};
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = stem;
    for (int k = 0; k < 8; ++k) name += kLetters[random() % (sizeof kLetters - 1)];
    // Created as any new file is: the umask decides its permissions.
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      path = name;
      return fd;
    }
    if (errno != EEXIST) {
      SetLastErrorFromErrno(errno);
      return kInvalidHandle;
    }
  }
  SetLastError(kErrorFileExists);
  return kInvalidHandle;
}

bool MatchFileMode(Handle file, const std::string& like) {
  struct stat st;
  if (::stat(like.c_str(), &st) != 0) {
    if (errno == ENOENT) return true;
    return FailWithErrno(errno);
  }
  // Owner and group first (only allowed to some), as a change of owner clears
  // the set-id bits.
  if (::fchown(file, st.st_uid, st.st_gid) != 0) {
    // Not allowed: the file stays the saver's own.
  }
  if (::fchmod(file, st.st_mode & 07777) != 0) return FailWithErrno(errno);
  return true;
}

Handle CreateFileBeside(const std::string& target, const std::string& prefix, std::string& path) {
  const auto slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const Handle file = CreateUniqueFile(folder + prefix, path);
  if (file == kInvalidHandle) return kInvalidHandle;
  if (!MatchFileMode(file, target)) {
    const unsigned long code = GetLastError();
    ::close(file);
    ::unlink(path.c_str());
    SetLastError(code);
    return kInvalidHandle;
  }
  return file;
}

bool ListFiles(const std::string& folder, const std::string& prefix, std::vector<std::string>& names) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return FailWithErrno(errno);
  names.clear();
  const std::string base = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    struct stat st;
    if (::lstat((base + name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(name);
  }
  ::closedir(dir);
  return true;
}

bool ReplaceFile(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) return FailWithErrno(errno);
  return SyncFolder(FolderOf(to));
}

void SetFolderFaultForTests(FolderStep_t step, int err) {
  g_folderFaultStep = step;
  g_folderFault = err;
}

bool ReplaceFileWith(Handle file, const std::string& path, const std::string& target, const void* bytes,
                     std::size_t count, const std::function<bool(Handle)>& ready) {
  const bool written = WriteFile(file, bytes, count) && FlushFileBuffers(file) && (!ready || ready(file));
  const unsigned long code = GetLastError();
  const bool closed = CloseHandle(file);
  if (!written || !closed || !ReplaceFile(path, target)) {
    const unsigned long failure = !written ? code : GetLastError();
    DeleteFile(path);
    return FailWith(failure != 0 ? failure : kErrorWriteFault);
  }
  return true;
}

bool GetFileWriteTime(const std::string& path, std::int64_t& seconds) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return FailWithErrno(errno);
  seconds = static_cast<std::int64_t>(st.st_mtim.tv_sec);
  return true;
}

}  // namespace plat
