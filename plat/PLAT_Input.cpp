#include "plat/PLAT_Input.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "plat/PLAT_WindowImpl.h"

namespace plat {

namespace {

Qt::KeyboardModifiers Modifiers(unsigned flags) {
  Qt::KeyboardModifiers m;
  if (flags & kMkShift) m |= Qt::ShiftModifier;
  if (flags & kMkControl) m |= Qt::ControlModifier;
  return m;
}

int QtKey(unsigned vk) {
  if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + int(vk - 'A');
  if (vk >= '0' && vk <= '9') return Qt::Key_0 + int(vk - '0');
  if (vk >= kVkF1 && vk < kVkF1 + 12) return Qt::Key_F1 + int(vk - kVkF1);
  switch (vk) {
    case kVkBack: return Qt::Key_Backspace;
    case kVkTab: return Qt::Key_Tab;
    case kVkReturn: return Qt::Key_Return;
    case kVkEscape: return Qt::Key_Escape;
    case kVkSpace: return Qt::Key_Space;
    case kVkPrior: return Qt::Key_PageUp;
    case kVkNext: return Qt::Key_PageDown;
    case kVkEnd: return Qt::Key_End;
    case kVkHome: return Qt::Key_Home;
    case kVkLeft: return Qt::Key_Left;
    case kVkUp: return Qt::Key_Up;
    case kVkRight: return Qt::Key_Right;
    case kVkDown: return Qt::Key_Down;
    case kVkInsert: return Qt::Key_Insert;
    case kVkDelete: return Qt::Key_Delete;
    case kVkAdd: return Qt::Key_Plus;
    case kVkSubtract: return Qt::Key_Minus;
    case kVkOemPlus: return Qt::Key_Equal;
    case kVkOemMinus: return Qt::Key_Minus;
    default: return 0;
  }
}

// The keys that only the keypad sends under these codes.
bool IsKeypadKey(unsigned vk) { return vk == kVkAdd || vk == kVkSubtract; }

}  // namespace

bool SendWheel(Wnd_t& window, int delta, unsigned flags, POINT clientPoint) {
  QWidget* w = window.Impl()->widget;
  if (w == nullptr) return false;
  const QPointF global = w->mapToGlobal(QPointF(clientPoint.x, clientPoint.y));
  bool accepted = false;
  // As the toolkit does with the user's wheel: up the parents until one takes it.
  detail::Sync([&] {
    for (QWidget* target = w; target != nullptr && !accepted; target = target->parentWidget()) {
      QWheelEvent e(target->mapFromGlobal(global), global, QPoint(), QPoint(0, delta), Qt::NoButton,
                    Modifiers(flags), Qt::NoScrollPhase, false);
      e.setAccepted(false);
      QApplication::sendEvent(target, &e);
      accepted = e.isAccepted();
      if (target->isWindow()) break;
    }
  });
  return accepted;
}

void SendClick(Wnd_t& window, POINT clientPoint, bool right, bool doubleClick) {
  QWidget* w = window.Impl()->widget;
  if (w == nullptr) return;
  QPointF local(clientPoint.x, clientPoint.y);
  const QPointF global = w->mapToGlobal(local);
  // A point on one of the window's own scroll bars goes to the bar.
  if (QWidget* bar = detail::ScrollBarAt(*window.Impl(), clientPoint)) {
    local = bar->mapFrom(w, local);
    w = bar;
  }
  const Qt::MouseButton b = right ? Qt::RightButton : Qt::LeftButton;
  detail::Sync([&] {
    QMouseEvent press(QEvent::MouseButtonPress, local, global, b, b, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, b, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
    if (doubleClick) {
      QMouseEvent twice(QEvent::MouseButtonDblClick, local, global, b, b, Qt::NoModifier);
      QApplication::sendEvent(w, &twice);
      QMouseEvent up(QEvent::MouseButtonRelease, local, global, b, Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(w, &up);
    }
  });
}

void SendKey(Wnd_t& window, unsigned virtualKey, unsigned flags) {
  QWidget* w = window.Impl()->widget;
  const int key = QtKey(virtualKey);
  if (w == nullptr || key == 0) return;
  const Qt::KeyboardModifiers modifiers = Modifiers(flags) | (IsKeypadKey(virtualKey) ? Qt::KeypadModifier : Qt::NoModifier);
  detail::Sync([&] {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(w, &release);
  });
}

}  // namespace plat
