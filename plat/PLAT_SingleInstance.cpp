#include "plat/PLAT_SingleInstance.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_Folder.h"
#include "plat/PLAT_LogFile.h"

namespace plat {

namespace {

constexpr char kRequest[] = "forward\n";

// The user's own folder for the lock and the socket: the runtime folder, else
// "stride-<uid>" (mode 0700, the user's own) in the temporary folder, which
// other users share. When even that cannot be had, the names carry the user id
// in the temporary folder itself.
std::string RuntimeFolder(std::string& suffix) {
  suffix.clear();
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && runtime[0] == '/') {
    std::string folder(runtime);
    if (folder.back() != '/') folder += '/';
    return folder;
  }
  const std::string uid = std::to_string(::geteuid());
  const std::string own = GetTempPath() + "stride-" + uid + "/";
  if (EnsurePrivateFolder(own)) return own;
  suffix = "-" + uid;
  return GetTempPath();
}

bool MakeAddress(const std::string& path, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

// Connects to the first instance and sends the request; false when it cannot
// be reached (yet).
bool SendRequest(const std::string& socketPath) {
  sockaddr_un address;
  if (!MakeAddress(socketPath, address)) return false;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  bool sent = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
              ::send(fd, kRequest, sizeof kRequest - 1, MSG_NOSIGNAL) == static_cast<ssize_t>(sizeof kRequest - 1);
  ::close(fd);
  return sent;
}

}  // namespace

struct SingleInstance_t::Impl {
  std::string lockPath;
  std::string socketPath;
  int lockFd = -1;
  int listenFd = -1;
  std::unique_ptr<QSocketNotifier> notifier;
  std::function<void()> handler = BringApplicationForward;

  void OnConnection() {
    const int client = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) return;
    char buffer[16] = {};
    const ssize_t got = ::recv(client, buffer, sizeof buffer - 1, 0);
    ::close(client);
    if (got > 0 && std::strncmp(buffer, kRequest, sizeof kRequest - 1) == 0 && handler) {
      try {
        handler();
      } catch (...) {
        // Coming forward is a courtesy; a failure must not disturb the program.
      }
    }
  }

  void Listen() {
    sockaddr_un address;
    if (!MakeAddress(socketPath, address)) return;
    ::unlink(socketPath.c_str());  // left by an instance that died; we hold the lock
    listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listenFd < 0) return;
    if (::bind(listenFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listenFd, 4) != 0) {
      ::close(listenFd);
      listenFd = -1;
      return;
    }
    notifier = std::make_unique<QSocketNotifier>(listenFd, QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, [this] { OnConnection(); });
  }

  ~Impl() {
    notifier.reset();
    if (listenFd >= 0) {
      ::close(listenFd);
      ::unlink(socketPath.c_str());
    }
    if (lockFd >= 0) ::close(lockFd);  // releases the lock; the file stays for the next start
  }
};

SingleInstance_t::SingleInstance_t(const std::string& name) : m_impl(std::make_unique<Impl>()) {
  std::string suffix;
  const std::string folder = RuntimeFolder(suffix);
  m_impl->lockPath = folder + name + suffix + ".lock";
  m_impl->socketPath = folder + name + suffix + ".socket";
}

SingleInstance_t::~SingleInstance_t() = default;

const std::string& SingleInstance_t::LockPath() const { return m_impl->lockPath; }

void SingleInstance_t::SetActivateHandler(std::function<void()> handler) { m_impl->handler = std::move(handler); }

bool SingleInstance_t::Acquire() {
  if (m_impl->lockFd >= 0) return true;
  const int fd = ::open(m_impl->lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    SetLastError(kErrorAccessDenied);
    return true;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
    m_impl->lockFd = fd;
    m_impl->Listen();
    return true;
  }
  ::close(fd);
  // The first instance may hold the lock a moment before it listens.
  for (int attempt = 0; attempt < 40; ++attempt) {
    if (SendRequest(m_impl->socketPath)) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

void BringApplicationForward() {
  QWidget* main = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (!w->isVisible() && !w->isMinimized()) continue;
    if (w->isMinimized()) w->showNormal();
    if (!main) main = w;
  }
  QWidget* target = QApplication::activeModalWidget();
  if (!target) target = QApplication::activeWindow();
  if (!target) target = main;
  if (!target) return;
  target->raise();
  target->activateWindow();
}

}  // namespace plat
