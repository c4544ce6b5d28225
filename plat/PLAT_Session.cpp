#include "plat/PLAT_Session.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "plat/PLAT_Gui.h"
#include "plat/PLAT_WindowImpl.h"

namespace plat {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP};
// How often an open modal window that refused to close is asked again.
constexpr int kRetryMs = 100;

int g_pipe[2] = {-1, -1};

// Only what is safe in a signal handler: one byte into the pipe.
extern "C" void OnTerminationSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
  errno = saved;
}

struct Session_t {
  std::function<void()> handler;
  std::unique_ptr<QSocketNotifier> notifier;
  std::unique_ptr<QTimer> retry;
};

Session_t& Session() {
  static Session_t session;
  return session;
}

// Cancels the innermost modal window; true when none is open.
bool CancelModalWindow() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr) return true;
  if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
  else modal->close();
  return false;
}

void Proceed() {
  Session_t& session = Session();
  if (!session.handler || !session.retry) return;
  if (!CancelModalWindow()) {
    session.retry->start(kRetryMs);
    return;
  }
  const std::function<void()> handler = session.handler;
  detail::Guard([&] { handler(); });
}

void OnRequest() {
  char bytes[16];
  while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
  }
  Proceed();
}

}  // namespace

void SetTerminationHandler(std::function<void()> handler) {
  if (!handler) {
    for (const int s : kSignals) ::signal(s, SIG_DFL);
    // The notifier and the timer go with the handler, before the
    // application object does.
    Session_t& session = Session();
    session.handler = nullptr;
    session.retry.reset();
    session.notifier.reset();
    return;
  }
  // The application object first: the notifier and the timer must go before it.
  EnsureGuiApplication();
  Session_t& session = Session();
  session.handler = std::move(handler);
  if (g_pipe[0] < 0 && ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  if (!session.notifier) {
    session.notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    QObject::connect(session.notifier.get(), &QSocketNotifier::activated, [] { OnRequest(); });
    session.retry = std::make_unique<QTimer>();
    session.retry->setSingleShot(true);
    QObject::connect(session.retry.get(), &QTimer::timeout, [] { Proceed(); });
  }
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int s : kSignals) ::sigaction(s, &action, nullptr);
}

}  // namespace plat
