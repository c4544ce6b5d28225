#include "plat/PLAT_Serial.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_FileIo.h"
#include "plat/PLAT_Event.h"
#include "plat/PLAT_Tick.h"

namespace plat {

namespace {

std::mutex g_mutex;
std::map<unsigned, std::string> g_mapping;
SerialLineErrorSource g_errorSource;

struct Speed {
  unsigned long baud;
  speed_t code;
};

constexpr Speed kSpeeds[] = {
    {110, B110},       {300, B300},       {600, B600},       {1200, B1200},     {2400, B2400},
    {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},
    {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
};

bool SpeedCode(unsigned long baud, speed_t& code) {
  for (const Speed& s : kSpeeds) {
    if (s.baud == baud) {
      code = s.code;
      return true;
    }
  }
  return false;
}

unsigned long BaudOf(speed_t code) {
  for (const Speed& s : kSpeeds)
    if (s.code == code) return s.baud;
  return 0;
}

}  // namespace

std::string SerialDevicePath(const std::string& portName) {
  if (!portName.empty() && portName[0] == '/') return portName;
  if (portName.size() < 4) return std::string();
  const char* p = portName.c_str();
  if ((p[0] != 'C' && p[0] != 'c') || (p[1] != 'O' && p[1] != 'o') || (p[2] != 'M' && p[2] != 'm'))
    return std::string();
  unsigned long n = 0;
  for (std::size_t i = 3; i < portName.size(); ++i) {
    if (portName[i] < '0' || portName[i] > '9') return std::string();
    n = n * 10 + static_cast<unsigned long>(portName[i] - '0');
    if (n > 65535) return std::string();
  }
  if (n == 0) return std::string();
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    const auto it = g_mapping.find(static_cast<unsigned>(n));
    if (it != g_mapping.end()) return it->second;
  }
  return "/dev/ttyS" + std::to_string(n - 1);
}

void SetSerialDeviceMapping(unsigned comNumber, const std::string& devicePath) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (devicePath.empty())
    g_mapping.erase(comNumber);
  else
    g_mapping[comNumber] = devicePath;
}

namespace {

std::string g_deviceFolder = "/dev";
std::string g_ttyClassFolder = "/sys/class/tty";

// The number after 'prefix' in 'name' ("ttyUSB12" -> 12), or -1 when the rest
// is not all digits.
long NumberAfter(const std::string& name, const std::string& prefix) {
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return -1;
  long n = 0;
  for (std::size_t i = prefix.size(); i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9' || n > 99999) return -1;
    n = n * 10 + (name[i] - '0');
  }
  return n;
}

// False when the tty class entry of the device says the kernel found no UART
// behind it (type 0); true when it says otherwise or there is no entry.
bool HasUart(const std::string& ttyClassFolder, const std::string& name) {
  const int fd = ::open((ttyClassFolder + "/" + name + "/type").c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return true;
  char text[16] = {};
  const ssize_t got = ::read(fd, text, sizeof text - 1);
  ::close(fd);
  if (got <= 0) return true;
  std::size_t end = static_cast<std::size_t>(got);
  while (end > 0 && (text[end - 1] == '\n' || text[end - 1] == ' ')) --end;
  return !(end == 1 && text[0] == '0');
}

}  // namespace

std::vector<std::string> ListSerialDevices() {
  std::string deviceFolder, ttyClassFolder;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    deviceFolder = g_deviceFolder;
    ttyClassFolder = g_ttyClassFolder;
  }
  static const char* const kKinds[] = {"ttyS", "ttyUSB", "ttyACM"};
  std::vector<std::pair<long, std::string>> found[3];
  if (DIR* dir = ::opendir(deviceFolder.c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      for (int kind = 0; kind < 3; ++kind) {
        const long n = NumberAfter(name, kKinds[kind]);
        if (n < 0) continue;
        if (kind == 0 && !HasUart(ttyClassFolder, name)) continue;
        found[kind].emplace_back(n, deviceFolder + "/" + name);
      }
    }
    ::closedir(dir);
  }
  std::vector<std::string> paths;
  for (auto& kind : found) {
    std::sort(kind.begin(), kind.end());
    for (auto& [n, path] : kind) paths.push_back(std::move(path));
  }
  return paths;
}

void SetSerialDeviceFolders(const std::string& deviceFolder, const std::string& ttyClassFolder) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_deviceFolder = deviceFolder.empty() ? "/dev" : deviceFolder;
  g_ttyClassFolder = ttyClassFolder.empty() ? "/sys/class/tty" : ttyClassFolder;
}

void SetSerialLineErrorSource(SerialLineErrorSource source) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_errorSource = std::move(source);
}

// The flags for the error counters that grew since the last call.
unsigned long DriverLineErrors(SerialDevice& device) {
  serial_icounter_struct counts;
  std::memset(&counts, 0, sizeof counts);
  if (::ioctl(device.m_fd, TIOCGICOUNT, &counts) != 0) return 0;  // no counters: no errors
  unsigned long flags = 0;
  if (device.m_haveCounters) {
    if (static_cast<std::uint64_t>(counts.frame) != device.m_frame) flags |= kCeFrame;
    if (static_cast<std::uint64_t>(counts.overrun) != device.m_overrun) flags |= kCeOverrun;
    if (static_cast<std::uint64_t>(counts.parity) != device.m_parity) flags |= kCeRxParity;
    if (static_cast<std::uint64_t>(counts.brk) != device.m_brk) flags |= kCeBreak;
    if (static_cast<std::uint64_t>(counts.buf_overrun) != device.m_bufOverrun) flags |= kCeRxOver;
  }
  device.m_haveCounters = true;
  device.m_frame = static_cast<std::uint64_t>(counts.frame);
  device.m_overrun = static_cast<std::uint64_t>(counts.overrun);
  device.m_parity = static_cast<std::uint64_t>(counts.parity);
  device.m_brk = static_cast<std::uint64_t>(counts.brk);
  device.m_bufOverrun = static_cast<std::uint64_t>(counts.buf_overrun);
  return flags;
}

SerialDevice::~SerialDevice() { Close(); }

void SerialDevice::Close() {
  if (m_fd >= 0) {
    ::ioctl(m_fd, TIOCNXCL);
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
  }
  m_fd = -1;
  m_path.clear();
  m_haveCounters = false;
}

bool SerialDevice::Open(const std::string& portName) {
  Close();
  const std::string path = SerialDevicePath(portName);
  if (path.empty()) return FailWith(kErrorFileNotFound);
  const int fd = RetryOnInterrupt([&] { return ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK); });
  if (fd < 0) return FailWithErrno(errno);
  if (!::isatty(fd)) {
    ::close(fd);
    return FailWith(kErrorInvalidFunction);
  }
  // The lock is what makes a second opener fail even as root, who may pass TIOCEXCL.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int err = errno;
    ::close(fd);
    return FailWithErrno(err == EWOULDBLOCK ? EBUSY : err);
  }
  ::ioctl(fd, TIOCEXCL);
  m_fd = fd;
  m_path = path;
  m_timeouts = SerialTimeouts();
  DriverLineErrors(*this);  // the counters start from here
  return true;
}

bool SerialDevice::GetState(SerialState& state) {
  if (m_fd < 0) return FailWith(kErrorInvalidHandle);
  termios t;
  if (::tcgetattr(m_fd, &t) != 0) return FailWithErrno(errno);
  state.baudRate = BaudOf(cfgetospeed(&t));
  switch (t.c_cflag & CSIZE) {
    case CS5: state.byteSize = 5; break;
    case CS6: state.byteSize = 6; break;
    case CS7: state.byteSize = 7; break;
    default: state.byteSize = 8; break;
  }
  state.fParity = (t.c_iflag & INPCK) != 0;
  state.parity = (t.c_cflag & PARENB) ? ((t.c_cflag & PARODD) ? kOddParity : kEvenParity) : kNoParity;
  state.stopBits = (t.c_cflag & CSTOPB) ? kTwoStopBits : kOneStopBit;
  state.fOutxCtsFlow = (t.c_cflag & CRTSCTS) != 0;
  state.fRtsControl = state.fOutxCtsFlow ? kRtsControlHandshake : kRtsControlEnable;
  state.fOutX = (t.c_iflag & IXON) != 0;
  state.fInX = (t.c_iflag & IXOFF) != 0;
  state.xonChar = static_cast<char>(t.c_cc[VSTART]);
  state.xoffChar = static_cast<char>(t.c_cc[VSTOP]);
  state.fBinary = true;
  return true;
}

bool SerialDevice::SetState(const SerialState& state) {
  if (m_fd < 0) return FailWith(kErrorInvalidHandle);
  termios t;
  if (::tcgetattr(m_fd, &t) != 0) return FailWithErrno(errno);
  speed_t speed;
  if (!SpeedCode(state.baudRate, speed)) return FailWith(kErrorInvalidParameter);
  ::cfmakeraw(&t);
  t.c_cflag |= CLOCAL | CREAD;
  t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
  switch (state.byteSize) {
    case 5: t.c_cflag |= CS5; break;
    case 6: t.c_cflag |= CS6; break;
    case 7: t.c_cflag |= CS7; break;
    case 8: t.c_cflag |= CS8; break;
    default: return FailWith(kErrorInvalidParameter);
  }
  if (state.parity == kOddParity)
    t.c_cflag |= PARENB | PARODD;
  else if (state.parity == kEvenParity)
    t.c_cflag |= PARENB;
  else if (state.parity != kNoParity)
    return FailWith(kErrorInvalidParameter);
  if (state.stopBits == kTwoStopBits)
    t.c_cflag |= CSTOPB;
  else if (state.stopBits != kOneStopBit)
    return FailWith(kErrorInvalidParameter);
  if (state.fParity) t.c_iflag |= INPCK;
  if (state.fOutxCtsFlow) t.c_cflag |= CRTSCTS;
  t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  if (state.fOutX) t.c_iflag |= IXON;
  if (state.fInX) t.c_iflag |= IXOFF;
  t.c_cc[VSTART] = static_cast<cc_t>(state.xonChar);
  t.c_cc[VSTOP] = static_cast<cc_t>(state.xoffChar);
  // Reads never block: a read returns at once with what is queued.
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  ::cfsetispeed(&t, speed);
  ::cfsetospeed(&t, speed);
  if (::tcsetattr(m_fd, TCSANOW, &t) != 0) return FailWithErrno(errno);
  // Raise DTR and RTS as asked; a pseudo-terminal has no modem lines.
  int lines = 0;
  if (state.fDtrControl != kDtrControlDisable) lines |= TIOCM_DTR;
  if (state.fRtsControl != kRtsControlDisable) lines |= TIOCM_RTS;
  if (lines != 0) ::ioctl(m_fd, TIOCMBIS, &lines);
  return true;
}

bool SerialDevice::GetTimeouts(SerialTimeouts& timeouts) {
  if (m_fd < 0) return FailWith(kErrorInvalidHandle);
  timeouts = m_timeouts;
  return true;
}

bool SerialDevice::SetTimeouts(const SerialTimeouts& timeouts) {
  if (m_fd < 0) return FailWith(kErrorInvalidHandle);
  m_timeouts = timeouts;
  return true;
}

bool SerialDevice::Setup(unsigned long inQueue, unsigned long outQueue) {
  if (m_fd < 0) return FailWith(kErrorInvalidHandle);
  if (inQueue == 0 || outQueue == 0) return FailWith(kErrorInvalidParameter);
  return true;
}

bool SerialDevice::Purge(unsigned long flags) {
  if (m_fd < 0) return FailWith(kErrorInvalidHandle);
  const bool tx = (flags & (kPurgeTxAbort | kPurgeTxClear)) != 0;
  const bool rx = (flags & (kPurgeRxAbort | kPurgeRxClear)) != 0;
  if (!tx && !rx) return true;
  if (::tcflush(m_fd, tx && rx ? TCIOFLUSH : (tx ? TCOFLUSH : TCIFLUSH)) != 0) return FailWithErrno(errno);
  return true;
}

bool SerialDevice::ClearError(unsigned long& errors, SerialStatus& status) {
  if (m_fd < 0) return FailWith(kErrorInvalidHandle);
  // The queues first: a call that fails must not take (and so lose) the errors.
  int in = 0;
  if (::ioctl(m_fd, FIONREAD, &in) != 0) return FailWithErrno(errno);
  int out = 0;
  if (::ioctl(m_fd, TIOCOUTQ, &out) != 0) out = 0;
  SerialLineErrorSource source;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    source = g_errorSource;
  }
  errors = source ? source(m_path, m_fd) : DriverLineErrors(*this);
  status.inQueue = in > 0 ? static_cast<unsigned long>(in) : 0;
  status.outQueue = out > 0 ? static_cast<unsigned long>(out) : 0;
  return true;
}

namespace {

// How long a write or a drain may make no progress before it fails.
constexpr std::uint64_t kStallMs = 30000;

// The poll entries of the device (for 'events') and the waitable handles after it.
std::vector<pollfd> PollSet(int fd, short events, const Handle* others, std::size_t otherCount) {
  std::vector<pollfd> fds(otherCount + 1);
  fds[0] = pollfd{fd, events, 0};
  for (std::size_t i = 0; i < otherCount; ++i) fds[i + 1] = pollfd{PollDescriptor(others[i]), POLLIN, 0};
  return fds;
}

// The index of the first other handle that is signalled, or -1.
int SignalledOther(const std::vector<pollfd>& fds) {
  for (std::size_t i = 1; i < fds.size(); ++i)
    if (fds[i].revents != 0) return static_cast<int>(i - 1);
  return -1;
}

}  // namespace

namespace {

// While a write waits for room: the port, and the handles whose signal ends it.
bool WaitForPortRoom(int /*fd*/, void* context) {
  std::vector<pollfd>& fds = *static_cast<std::vector<pollfd>*>(context);
  const int r = RetryOnInterrupt([&] { return ::poll(fds.data(), fds.size(), 100); });
  if (r < 0) return FailWithErrno(errno);
  if (r > 0 && SignalledOther(fds) >= 0) return FailWith(kErrorOperationAborted);
  if (r > 0 && (fds[0].revents & (POLLERR | POLLNVAL))) return FailWith(kErrorWriteFault);
  return true;
}

}  // namespace

bool SerialDevice::Write(const void* bytes, std::size_t count, std::size_t& written, const Handle* others,
                         std::size_t otherCount) {
  written = 0;
  if (m_fd < 0) return FailWith(kErrorInvalidHandle);
  std::vector<pollfd> fds = PollSet(m_fd, POLLOUT, others, otherCount);
  return WriteAll(m_fd, bytes, count, written, kStallMs, &WaitForPortRoom, &fds);
}

bool SerialDevice::Drain(const Handle* others, std::size_t otherCount) {
  if (m_fd < 0) return FailWith(kErrorInvalidHandle);
  // The driver's output count, watched rather than waited for with tcdrain, which
  // a stalled adapter never lets return.
  std::vector<pollfd> fds = PollSet(-1, 0, others, otherCount);
  int last = -1;
  std::uint64_t lastProgress = GetTickCount64();
  for (;;) {
    int queued = 0;
    if (::ioctl(m_fd, TIOCOUTQ, &queued) != 0) return FailWithErrno(errno);
    if (queued <= 0) return true;
    if (last < 0 || queued < last) {
      last = queued;
      lastProgress = GetTickCount64();
    } else if (GetTickCount64() - lastProgress > kStallMs) {
      return FailWith(kErrorTimeout);
    }
    const int r = RetryOnInterrupt([&] { return ::poll(fds.data(), fds.size(), 5); });
    if (r < 0) return FailWithErrno(errno);
    if (r > 0 && SignalledOther(fds) >= 0) return FailWith(kErrorOperationAborted);
  }
}

bool SerialDevice::Read(void* bytes, std::size_t count, std::size_t& got) {
  got = 0;
  if (m_fd < 0) return FailWith(kErrorInvalidHandle);
  unsigned char* p = static_cast<unsigned char*>(bytes);
  while (got < count) {
    const ssize_t n = RetryOnInterrupt([&] { return ::read(m_fd, p + got, count - got); });
    if (n > 0) {
      got += static_cast<std::size_t>(n);
      continue;
    }
    if (n == 0 || errno == EAGAIN || errno == EWOULDBLOCK) return true;  // nothing more queued
    return FailWithErrno(errno);
  }
  return true;
}

SerialDevice::WaitResult SerialDevice::Wait(unsigned long timeoutMs, const Handle* others, std::size_t otherCount,
                                            std::size_t* which) {
  if (m_fd < 0) {
    SetLastError(kErrorInvalidHandle);
    return kWaitFailed;
  }
  std::vector<pollfd> fds = PollSet(m_fd, POLLIN, others, otherCount);
  const std::uint64_t start = GetTickCount64();
  for (;;) {
    int wait = -1;
    if (timeoutMs != 0xFFFFFFFFul) {
      const std::uint64_t spent = GetTickCount64() - start;
      wait = spent >= timeoutMs ? 0 : static_cast<int>(timeoutMs - spent);
    }
    const int r = ::poll(fds.data(), fds.size(), wait);
    if (r < 0) {
      if (errno == EINTR) continue;  // the time left is worked out again
      SetLastErrorFromErrno(errno);
      return kWaitFailed;
    }
    if (r == 0) return kTimedOut;
    const int other = SignalledOther(fds);
    if (other >= 0) {
      if (which) *which = static_cast<std::size_t>(other);
      return kOtherReady;
    }
    if (fds[0].revents & POLLIN) return kReadable;
    if (fds[0].revents & (POLLHUP | POLLERR)) return kHangUp;
    if (fds[0].revents & POLLNVAL) {
      SetLastError(kErrorInvalidHandle);
      return kWaitFailed;
    }
  }
}

}  // namespace plat
