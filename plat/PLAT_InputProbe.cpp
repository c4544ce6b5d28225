#include "plat/PLAT_InputProbe.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

#include <deque>
#include <memory>
#include <utility>

#include "plat/PLAT_Gui.h"
#include "plat/PLAT_WindowImpl.h"

namespace plat {

namespace {

bool IsUserInput(QEvent::Type t) {
  switch (t) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease: return true;
    default: return false;
  }
}

// Paint requests while the probe looks are dropped and asked for again when
// the probe ends; timers are dropped (they fire again). Other window events go
// through as they come.
bool IsPaintRequest(QEvent::Type t) {
  return t == QEvent::Paint || t == QEvent::UpdateRequest || t == QEvent::UpdateLater;
}

HWND HandleOf(QObject* o) {
  for (; o != nullptr; o = o->parent()) {
    const QVariant v = o->property("plat.handle");
    if (v.isValid()) return HWND(v.toULongLong());
  }
  return 0;
}

struct Held_t {
  QPointer<QObject> target;
  std::unique_ptr<QEvent> event;
};

class Holder : public QObject {
 public:
  bool eventFilter(QObject* receiver, QEvent* e) override {
    if (!peeking) return false;
    const QEvent::Type t = e->type();
    if (IsUserInput(t)) {
      QObject* target = receiver;
      QueuedInput_t in;
      // Input that comes from the window system reaches the top-level window
      // first: it is meant for the widget under the point or with the focus.
      if (auto* window = qobject_cast<QWindow*>(receiver)) {
        QWidget* top = QApplication::topLevelAt(window->geometry().center());
        for (QWidget* w : QApplication::topLevelWidgets())
          if (w->windowHandle() == window) top = w;
        QWidget* widget = top;
        if (auto* m = dynamic_cast<QMouseEvent*>(e); m != nullptr && top != nullptr) {
          QWidget* child = top->childAt(m->position().toPoint());
          if (child != nullptr) widget = child;
        } else if (QApplication::focusWidget() != nullptr) {
          widget = QApplication::focusWidget();
        }
        if (widget == nullptr) return false;
        Describe(e, widget, window, in);
      } else if (auto* widget = qobject_cast<QWidget*>(receiver)) {
        Describe(e, widget, nullptr, in);
      } else {
        return false;
      }
      input.push_back(in);
      held.push_back(Held_t{QPointer<QObject>(target), std::unique_ptr<QEvent>(e->clone())});
      return true;
    }
    // A request to close waits as input does: no window goes away under a
    // pass that looks at the queue.
    if (t == QEvent::Close && (receiver->isWidgetType() || receiver->isWindowType())) {
      held.push_back(Held_t{QPointer<QObject>(receiver), std::unique_ptr<QEvent>(e->clone())});
      return true;
    }
    if (t == QEvent::Timer) return true;
    if (IsPaintRequest(t)) {
      if (receiver->isWidgetType()) {
        repaint.push_back(QPointer<QWidget>(static_cast<QWidget*>(receiver)));
        return true;
      }
      if (auto* window = qobject_cast<QWindow*>(receiver)) {
        windows.push_back(QPointer<QWindow>(window));
        return true;
      }
    }
    return false;
  }

  static void Describe(QEvent* e, QWidget* widget, QWindow* window, QueuedInput_t& in) {
    in.window = HandleOf(widget);
    switch (e->type()) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease: {
        auto* k = static_cast<QKeyEvent*>(e);
        in.message = e->type() == QEvent::KeyPress ? kWmKeyDown : kWmKeyUp;
        in.key = detail::VirtualKeyOf(k->key(), (k->modifiers() & Qt::KeypadModifier) != 0);
        in.flags = detail::MouseFlagsOf(0, int(k->modifiers()));
        return;
      }
      case QEvent::Wheel: {
        auto* w = static_cast<QWheelEvent*>(e);
        in.message = kWmMouseWheel;
        in.flags = detail::MouseFlagsOf(int(w->buttons()), int(w->modifiers()));
        in.point = detail::ToPoint(widget->mapFromGlobal(w->globalPosition().toPoint()));
        return;
      }
      default: {
        auto* m = static_cast<QMouseEvent*>(e);
        const bool right = m->button() == Qt::RightButton;
        switch (e->type()) {
          case QEvent::MouseButtonPress: in.message = right ? kWmRButtonDown : kWmLButtonDown; break;
          case QEvent::MouseButtonRelease: in.message = right ? kWmRButtonUp : kWmLButtonUp; break;
          case QEvent::MouseButtonDblClick: in.message = right ? kWmRButtonDblClk : kWmLButtonDblClk; break;
          default: in.message = kWmMouseMove; break;
        }
        in.flags = detail::MouseFlagsOf(int(m->buttons()), int(m->modifiers()));
        const QPoint global = m->globalPosition().toPoint();
        in.point = detail::ToPoint(window != nullptr ? widget->mapFromGlobal(global) : m->position().toPoint());
        return;
      }
    }
  }

  int depth = 0;
  bool peeking = false;
  std::vector<QueuedInput_t> input;
  std::deque<Held_t> held;
  std::vector<QPointer<QWidget>> repaint;
  std::vector<QPointer<QWindow>> windows;
};

Holder& TheHolder() {
  static Holder* holder = new Holder;  // lives as long as the process
  return *holder;
}

}  // namespace

InputProbe_t::InputProbe_t() {
  EnsureGuiApplication();
  Holder& h = TheHolder();
  if (h.depth++ == 0) {
    h.input.clear();
    qApp->installEventFilter(&h);
  }
}

InputProbe_t::~InputProbe_t() {
  Holder& h = TheHolder();
  if (--h.depth > 0) return;
  qApp->removeEventFilter(&h);
  h.input.clear();
  // Everything held goes back into the queue in its order.
  std::deque<Held_t> held;
  held.swap(h.held);
  for (Held_t& e : held)
    if (e.target) QCoreApplication::postEvent(e.target.data(), e.event.release());
  std::vector<QPointer<QWidget>> repaint;
  repaint.swap(h.repaint);
  for (const QPointer<QWidget>& w : repaint)
    if (w) w->update();
  std::vector<QPointer<QWindow>> windows;
  windows.swap(h.windows);
  for (const QPointer<QWindow>& w : windows)
    if (w) w->requestUpdate();
}

const std::vector<QueuedInput_t>& InputProbe_t::Peek() {
  Holder& h = TheHolder();
  if (!h.peeking) {
    h.peeking = true;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    h.peeking = false;
  }
  return h.input;
}

const std::vector<QueuedInput_t>& InputProbe_t::Held() const { return TheHolder().input; }

bool IsInputProbeActive() { return TheHolder().depth > 0; }

void PostKey(Wnd_t& window, unsigned virtualKey, unsigned flags, bool release) {
  QWidget* w = window.Impl()->widget;
  if (w == nullptr) return;
  int key = 0;
  for (int k = Qt::Key_Space; k <= Qt::Key_Z && key == 0; ++k)
    if (detail::VirtualKeyOf(k, false) == virtualKey) key = k;
  for (int k = Qt::Key_Escape; k <= Qt::Key_F12 && key == 0; ++k)
    if (detail::VirtualKeyOf(k, false) == virtualKey) key = k;
  bool keypad = false;
  if (key == 0)
    for (int k = Qt::Key_Space; k <= Qt::Key_Z && key == 0; ++k)
      if (detail::VirtualKeyOf(k, true) == virtualKey) key = k, keypad = true;
  if (virtualKey == kVkControl) key = Qt::Key_Control;
  if (key == 0) return;
  Qt::KeyboardModifiers m;
  if (flags & kMkShift) m |= Qt::ShiftModifier;
  if (flags & kMkControl) m |= Qt::ControlModifier;
  if (keypad) m |= Qt::KeypadModifier;
  QCoreApplication::postEvent(w, new QKeyEvent(QEvent::KeyPress, key, m));
  if (release) QCoreApplication::postEvent(w, new QKeyEvent(QEvent::KeyRelease, key, m));
}

void PostMouse(Wnd_t& window, unsigned message, POINT clientPoint, unsigned flags) {
  QWidget* w = window.Impl()->widget;
  if (w == nullptr) return;
  const QPointF local(clientPoint.x, clientPoint.y);
  const QPointF global = w->mapToGlobal(local);
  QEvent::Type type = QEvent::MouseMove;
  Qt::MouseButton button = Qt::NoButton;
  switch (message) {
    case kWmLButtonDown: type = QEvent::MouseButtonPress, button = Qt::LeftButton; break;
    case kWmLButtonUp: type = QEvent::MouseButtonRelease, button = Qt::LeftButton; break;
    case kWmRButtonDown: type = QEvent::MouseButtonPress, button = Qt::RightButton; break;
    case kWmRButtonUp: type = QEvent::MouseButtonRelease, button = Qt::RightButton; break;
    case kWmLButtonDblClk: type = QEvent::MouseButtonDblClick, button = Qt::LeftButton; break;
    default: break;
  }
  Qt::MouseButtons buttons;
  if (flags & kMkLButton) buttons |= Qt::LeftButton;
  if (flags & kMkRButton) buttons |= Qt::RightButton;
  if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) buttons |= button;
  Qt::KeyboardModifiers m;
  if (flags & kMkShift) m |= Qt::ShiftModifier;
  if (flags & kMkControl) m |= Qt::ControlModifier;
  QCoreApplication::postEvent(w, new QMouseEvent(type, local, global, button, buttons, m));
}

namespace {
std::function<unsigned()>& ModifiersSource() {
  static std::function<unsigned()> source;
  return source;
}
}  // namespace

unsigned GetAsyncModifiers() {
  if (ModifiersSource()) return ModifiersSource()();
  EnsureGuiApplication();
  const Qt::KeyboardModifiers m = QGuiApplication::queryKeyboardModifiers();
  return ((m & Qt::ShiftModifier) ? kMkShift : 0u) | ((m & Qt::ControlModifier) ? kMkControl : 0u);
}

void SetAsyncModifiersSource(std::function<unsigned()> source) { ModifiersSource() = std::move(source); }

POINT GetCursorPos() { return detail::ToPoint(QCursor::pos()); }

void SetCursorPos(POINT p) { QCursor::setPos(p.x, p.y); }

HWND WindowFromPoint(POINT p) {
  QWidget* w = QApplication::widgetAt(p.x, p.y);
  return w != nullptr ? HandleOf(w) : 0;
}

}  // namespace plat
