#include "plat/PLAT_FileIo.h"

#include <cerrno>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_Tick.h"

namespace plat {

namespace {

// A file opened for blocking writes never answers "no room now"; one opened
// non-blocking (a pipe or a device in a file's place) gets this long to take
// more bytes.
constexpr unsigned long kFileStallMs = 30000;

}  // namespace

bool ReadFile(Handle file, void* buffer, std::uint32_t count, std::uint32_t& read) {
  read = 0;
  char* p = static_cast<char*>(buffer);
  while (read < count) {
    const ssize_t n = ::read(file, p + read, count - read);
    if (n < 0) {
      if (errno == EINTR) continue;
      SetLastErrorFromErrno(errno);
      return false;
    }
    if (n == 0) break;
    read += static_cast<std::uint32_t>(n);
  }
  return true;
}

bool ReadFileAt(Handle file, std::uint64_t offset, void* buffer, std::uint32_t count, std::uint32_t& read) {
  read = 0;
  if (offset > static_cast<std::uint64_t>(INT64_MAX) - count) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  char* p = static_cast<char*>(buffer);
  while (read < count) {
    const ssize_t n = ::pread(file, p + read, count - read, static_cast<off_t>(offset + read));
    if (n < 0) {
      if (errno == EINTR) continue;
      SetLastErrorFromErrno(errno);
      return false;
    }
    if (n == 0) break;
    read += static_cast<std::uint32_t>(n);
  }
  return true;
}

bool WriteAll(int fd, const void* bytes, std::size_t count, std::size_t& written, unsigned long stallMs,
              WaitForRoom wait, void* context) {
  written = 0;
  const unsigned char* p = static_cast<const unsigned char*>(bytes);
  unsigned long long lastProgress = GetTickCount64();
  while (written < count) {
    const ssize_t n = RetryOnInterrupt([&] { return ::write(fd, p + written, count - written); });
    if (n > 0) {
      written += static_cast<std::size_t>(n);
      lastProgress = GetTickCount64();
      continue;
    }
    if (n == 0) return FailWith(kErrorDiskFull);
    if (errno != EAGAIN && errno != EWOULDBLOCK) return FailWithErrno(errno);
    if (GetTickCount64() - lastProgress > stallMs) return FailWith(kErrorTimeout);
    if (wait) {
      if (!wait(fd, context)) return false;
    } else {
      pollfd pfd{fd, POLLOUT, 0};
      ::poll(&pfd, 1, 100);
    }
  }
  return true;
}

bool WriteFile(Handle file, const void* bytes, std::size_t count) {
  std::size_t written = 0;
  return WriteAll(file, bytes, count, written, kFileStallMs);
}

bool SetFilePointer(Handle file, std::uint64_t offset) {
  if (offset > static_cast<std::uint64_t>(INT64_MAX)) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  if (::lseek(file, static_cast<off_t>(offset), SEEK_SET) < 0) {
    SetLastErrorFromErrno(errno);
    return false;
  }
  return true;
}

namespace {

std::string ReadFirstLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

// Undoes the octal escapes of a mount point in the mount table.
std::string Unescape(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 3 < s.size()) {
      const std::string oct = s.substr(i + 1, 3);
      if (oct.find_first_not_of("01234567") == std::string::npos) {
        out += static_cast<char>(std::stoi(oct, nullptr, 8));
        i += 3;
        continue;
      }
    }
    out += s[i];
  }
  return out;
}

}  // namespace

unsigned GetDriveType(const std::string& path, std::string& mountPoint) {
  mountPoint.clear();
  std::string probe = path.empty() ? std::string(".") : path;
  struct stat st;
  while (::stat(probe.c_str(), &st) != 0) {
    const auto slash = probe.find_last_of('/');
    if (slash == std::string::npos) {
      probe = ".";
    } else if (slash == 0) {
      probe = "/";
    } else {
      probe.resize(slash);
    }
    if (probe == "." || probe == "/") {
      if (::stat(probe.c_str(), &st) != 0) return kDriveUnknown;
      break;
    }
  }
  const unsigned major = ::major(st.st_dev), minor = ::minor(st.st_dev);
  std::ifstream table("/proc/self/mountinfo");
  std::string line;
  const std::string wanted = std::to_string(major) + ":" + std::to_string(minor);
  bool found = false;
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string id, parent, device, root, point;
    fields >> id >> parent >> device >> root >> point;
    if (device == wanted) {
      mountPoint = Unescape(point);
      found = true;
    }
  }
  if (!found) return kDriveUnknown;
  if (major == 11) return kDriveCdRom;  // SCSI optical drives
  const std::string sys = "/sys/dev/block/" + wanted;
  // A partition carries its disk's flag one folder up.
  for (const char* candidate : {"/removable", "/../removable"})
    if (ReadFirstLine(sys + candidate) == "1") return kDriveRemovable;
  return kDriveFixed;
}

}  // namespace plat
