#include "plat/PLAT_App.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <mutex>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_Event.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_WindowImpl.h"

namespace plat {

namespace {

thread_local detail::LoopFrame* t_innermost = nullptr;
// An exception of a handler run outside every frame: rethrown by the next pump.
std::exception_ptr g_orphan;

Wnd_t* g_mainWnd = nullptr;
HWND g_mainHandle = 0;
bool g_quit = false;
int g_exitCode = 0;
std::vector<QEventLoop*> g_runLoops;
std::function<bool(long)> g_idle;

// A function posted to the user-interface thread.
class CallEvent : public QEvent {
 public:
  static QEvent::Type Kind() {
    static const int type = QEvent::registerEventType();
    return static_cast<QEvent::Type>(type);
  }
  explicit CallEvent(std::function<void()> f) : QEvent(Kind()), function(std::move(f)) {}
  std::function<void()> function;
};

class DispatcherObject : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() == CallEvent::Kind()) {
      static_cast<CallEvent*>(e)->function();
      return true;
    }
    return QObject::event(e);
  }
};

DispatcherObject* g_dispatcher = nullptr;

// Counts the events the application handles, but those of one object.
class EventCounter : public QObject {
 public:
  explicit EventCounter(QObject* ignored) : m_ignored(ignored) {}
  bool eventFilter(QObject* watched, QEvent*) override {
    if (watched != m_ignored) ++events;
    return false;
  }
  unsigned long events = 1;

 private:
  QObject* m_ignored;
};

void ThrowOrphan() {
  if (g_orphan) {
    std::exception_ptr e = g_orphan;
    g_orphan = nullptr;
    std::rethrow_exception(e);
  }
}

}  // namespace

namespace detail {

FrameScope::FrameScope(QEventLoop* loop) {
  m_frame.loop = loop;
  m_frame.outer = t_innermost;
  t_innermost = &m_frame;
}

FrameScope::~FrameScope() {
  if (t_innermost == &m_frame) t_innermost = m_frame.outer;
}

void FrameScope::Rethrow() {
  if (t_innermost == &m_frame) t_innermost = m_frame.outer;
  if (m_frame.error) {
    std::exception_ptr e = m_frame.error;
    m_frame.error = nullptr;
    std::rethrow_exception(e);
  }
}

namespace {
thread_local int t_handlerDepth = 0;
struct HandlerDepth {
  HandlerDepth() { ++t_handlerDepth; }
  ~HandlerDepth() { --t_handlerDepth; }
};
}  // namespace

bool InHandler() { return t_handlerDepth > 0; }

bool Guard(const std::function<void()>& handler) {
  // A loop that is ending for an exception runs no more handlers.
  if (t_innermost != nullptr && t_innermost->error) return false;
  try {
    HandlerDepth depth;
    handler();
    return true;
  } catch (...) {
    if (t_innermost == nullptr) {
      if (!g_orphan) g_orphan = std::current_exception();
      return false;
    }
    if (!t_innermost->error) t_innermost->error = std::current_exception();
    if (t_innermost->loop != nullptr) t_innermost->loop->exit(0);
    return false;
  }
}

bool FramePending() { return t_innermost != nullptr && t_innermost->error != nullptr; }

void Sync(const std::function<void()>& call) {
  FrameScope frame;
  call();
  frame.Rethrow();
}

QObject* Dispatcher() {
  if (g_dispatcher == nullptr) {
    EnsureGuiApplication();
    g_dispatcher = new DispatcherObject;
    g_dispatcher->moveToThread(QCoreApplication::instance()->thread());
  }
  return g_dispatcher;
}

void RunModalWidget(QWidget& widget, const std::function<void(QEventLoop& loop)>& wire,
                    const std::function<void()>& show) {
  QEventLoop loop;
  wire(loop);
  FrameScope frame(&loop);
  show();
  if (widget.isVisible()) loop.exec();
  frame.Rethrow();
}

void PostCall(std::function<void()> function) {
  QCoreApplication::postEvent(Dispatcher(), new CallEvent(std::move(function)));
}

void RunIdle() {
  Guard([] { UpdateFramesWhenIdle(); });
  if (!g_idle) return;
  long count = 0;
  while (Guard([&] {
    if (!g_idle(count)) count = -1;
  }) && count >= 0 && count < 64)
    ++count;
}

}  // namespace detail

void SetMainWnd(Wnd_t* window) {
  g_mainWnd = window;
  g_mainHandle = window != nullptr ? window->GetSafeHwnd() : 0;
}

Wnd_t* GetMainWnd() {
  if (g_mainWnd != nullptr && !IsWindow(g_mainHandle) && g_mainHandle != 0) g_mainWnd = nullptr;
  return g_mainWnd;
}

void PostQuitMessage(int exitCode) {
  g_quit = true;
  g_exitCode = exitCode;
  if (!g_runLoops.empty()) g_runLoops.front()->exit(exitCode);
}

int RunMessageLoop() {
  EnsureGuiApplication();
  detail::Dispatcher();
  ThrowOrphan();
  g_quit = false;
  QEventLoop loop;
  // Idle work whenever the queue has emptied after events were handled: a
  // zero timer started as the loop is about to wait, stopped when the work is
  // done, and not started again before another event arrives.
  QTimer idle;
  idle.setInterval(0);
  long idleCount = 0;
  EventCounter counter(&idle);
  QCoreApplication::instance()->installEventFilter(&counter);
  unsigned long idleSeen = 0;
  QObject::connect(&idle, &QTimer::timeout, [&] {
    bool more = false;
    if (idleCount == 0) detail::Guard([] { detail::UpdateFramesWhenIdle(); });
    if (g_idle) detail::Guard([&] { more = g_idle(idleCount); });
    ++idleCount;
    if (!more || idleCount >= 64) {
      idle.stop();
      idleSeen = counter.events;
    }
  });
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  QMetaObject::Connection awake;
  if (dispatcher != nullptr)
    awake = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [&] {
      if (!idle.isActive() && counter.events != idleSeen) {
        idleCount = 0;
        idle.start();
      }
    });
  g_runLoops.push_back(&loop);
  detail::FrameScope frame(&loop);
  int code = 0;
  if (!g_quit) code = loop.exec();
  g_runLoops.pop_back();
  if (awake) QObject::disconnect(awake);
  frame.Rethrow();
  ThrowOrphan();
  return g_quit ? g_exitCode : code;
}

void PumpUntilIdle() {
  EnsureGuiApplication();
  detail::Dispatcher();
  ThrowOrphan();
  detail::FrameScope frame;
  // Posted events can post more; a few quiet passes in a row mean idle.
  for (int quiet = 0, pass = 0; quiet < 3 && pass < 10000 && !detail::FramePending(); ++pass) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QAbstractEventDispatcher* events = QAbstractEventDispatcher::instance();
    QCoreApplication::sendPostedEvents();
    const bool busy = events != nullptr && events->processEvents(QEventLoop::AllEvents);
    quiet = busy ? 0 : quiet + 1;
  }
  if (!detail::FramePending()) detail::RunIdle();
  frame.Rethrow();
  ThrowOrphan();
}

bool PumpUntil(const std::function<bool()>& condition, unsigned long milliseconds) {
  QElapsedTimer timer;
  timer.start();
  for (;;) {
    PumpUntilIdle();
    if (condition()) return true;
    if (static_cast<unsigned long>(timer.elapsed()) >= milliseconds) return false;
    detail::FrameScope frame;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    frame.Rethrow();
  }
}

void SetIdleHandler(std::function<bool(long count)> handler) { g_idle = std::move(handler); }

bool IsUiThread() {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr) return true;
  return QThread::currentThread() == app->thread();
}

namespace {

// What a cross-thread call and its caller share; lives with the last of them.
struct CallState {
  std::mutex mutex;
  bool started = false;
  bool abandoned = false;
  std::exception_ptr error;
  Handle done = kInvalidHandle;
  ~CallState() {
    if (done != kInvalidHandle) CloseHandle(done);
  }
};

}  // namespace

namespace {
thread_local Handle t_stopEvent = kInvalidHandle;
}

void SetThreadStopEvent(Handle stopEvent) { t_stopEvent = stopEvent; }
Handle GetThreadStopEvent() { return t_stopEvent; }

bool IsModalWindowOpen() { return HasGuiApplication() && QApplication::activeModalWidget() != nullptr; }

int GetWheelScrollLines() {
  EnsureGuiApplication();
  return QApplication::wheelScrollLines();
}

bool CallOnUiThread(const std::function<void()>& function, Handle stopEvent) {
  if (IsUiThread()) {
    function();
    return true;
  }
  auto state = std::make_shared<CallState>();
  state->done = CreateEvent(true, false);
  if (state->done == kInvalidHandle) return false;
  detail::PostCall([state, function] {
    {
      std::lock_guard<std::mutex> lock(state->mutex);
      if (state->abandoned) return;
      state->started = true;
    }
    try {
      function();
    } catch (...) {
      state->error = std::current_exception();
    }
    SetEvent(state->done);
  });
  Handle waits[2] = {state->done, stopEvent};
  const unsigned long count = stopEvent == kInvalidHandle ? 1 : 2;
  for (;;) {
    const unsigned long r = WaitForMultipleObjects(count, waits, false, kInfinite);
    if (r == kWaitObject0) break;
    if (r == kWaitObject0 + 1) {
      std::lock_guard<std::mutex> lock(state->mutex);
      state->abandoned = true;
      return false;
    }
    return false;
  }
  if (state->error) std::rethrow_exception(state->error);
  return true;
}

}  // namespace plat
