#include "plat/PLAT_Pty.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_FileIo.h"

namespace plat {

Pty::~Pty() { Close(); }

void Pty::Close() {
  if (m_master >= 0) ::close(m_master);
  if (m_wake >= 0) ::close(m_wake);
  m_master = -1;
  m_wake = -1;
  m_slavePath.clear();
}

bool Pty::Open() {
  Close();
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0) {
    SetLastErrorFromErrno(errno);
    return false;
  }
  char name[128];
  if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || ::ptsname_r(master, name, sizeof name) != 0) {
    SetLastErrorFromErrno(errno);
    ::close(master);
    return false;
  }
  termios t;
  if (::tcgetattr(master, &t) == 0) {
    ::cfmakeraw(&t);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    ::tcsetattr(master, TCSANOW, &t);
  }
  const int flags = ::fcntl(master, F_GETFL);
  ::fcntl(master, F_SETFL, flags | O_NONBLOCK);
  const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake < 0) {
    SetLastErrorFromErrno(errno);
    ::close(master);
    return false;
  }
  m_master = master;
  m_wake = wake;
  m_slavePath = name;
  return true;
}

bool Pty::Write(const void* bytes, std::size_t count) {
  // The slave's input queue may be full: its reader gets time, but not for ever.
  std::size_t written = 0;
  return WriteAll(m_master, bytes, count, written, 30000);
}

Pty::ReadResult Pty::Read(void* buffer, std::size_t size, std::size_t& got, int timeoutMs) {
  got = 0;
  if (m_master < 0) {
    SetLastError(kErrorInvalidHandle);
    return kFailed;
  }
  pollfd fds[2] = {{m_master, POLLIN, 0}, {m_wake, POLLIN, 0}};
  const int r = RetryOnInterrupt([&] { return ::poll(fds, 2, timeoutMs < 0 ? -1 : timeoutMs); });
  if (r < 0) {
    SetLastErrorFromErrno(errno);
    return kFailed;
  }
  if (r == 0) return kTimedOut;
  if (fds[1].revents & POLLIN) {
    std::uint64_t v;
    if (::read(m_wake, &v, sizeof v) < 0) { /* already consumed */ }
    return kWoken;
  }
  if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
    for (;;) {
      const ssize_t n = RetryOnInterrupt([&] { return ::read(m_master, buffer, size); });
      if (n > 0) {
        got = static_cast<std::size_t>(n);
        return kData;
      }
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return kTimedOut;
      if (n == 0 || errno == EIO) return kHangUp;
      SetLastErrorFromErrno(errno);
      return kFailed;
    }
  }
  return kTimedOut;
}

void Pty::Wake() {
  if (m_wake < 0) return;
  const std::uint64_t one = 1;
  if (::write(m_wake, &one, sizeof one) < 0) { /* the counter is already non-zero */ }
}

void SleepMs(unsigned ms) {
  timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

}  // namespace plat
