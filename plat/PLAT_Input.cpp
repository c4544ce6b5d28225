#include "plat/PLAT_Input.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QString>
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

namespace {

// The text a key types: letters (capitals with Shift), digits and the space.
QString KeyText(unsigned vk, unsigned flags) {
  if (flags & kMkControl) return QString();
  if (vk >= 'A' && vk <= 'Z') return QString(QChar((flags & kMkShift) ? char(vk) : char(vk - 'A' + 'a')));
  if (vk >= '0' && vk <= '9' && !(flags & kMkShift)) return QString(QChar(char(vk)));
  if (vk == kVkSpace) return QStringLiteral(" ");
  return QString();
}

void SendKeyTo(QWidget* w, unsigned virtualKey, unsigned flags) {
  const int key = QtKey(virtualKey);
  if (w == nullptr || key == 0) return;
  const Qt::KeyboardModifiers modifiers = Modifiers(flags) | (IsKeypadKey(virtualKey) ? Qt::KeypadModifier : Qt::NoModifier);
  const QString text = KeyText(virtualKey, flags);
  const QPointer<QWidget> target(w);
  detail::Sync([&] {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    // The press may have closed the window.
    if (target.isNull()) return;
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
  });
}

}  // namespace

void SendKey(Wnd_t& window, unsigned virtualKey, unsigned flags) {
  SendKeyTo(window.Impl()->widget, virtualKey, flags);
}

bool SendKeyToFocus(unsigned virtualKey, unsigned flags) {
  QWidget* target = QApplication::focusWidget();
  // A window that shows on a screen without a window manager may not have
  // been activated: the innermost modal window's focus child takes the key.
  QWidget* modal = QApplication::activeModalWidget();
  if (modal != nullptr && (target == nullptr || target->window() != modal))
    target = modal->focusWidget() != nullptr ? modal->focusWidget() : modal;
  if (target == nullptr) target = QApplication::activeWindow();
  if (target == nullptr) return false;
  SendKeyTo(target, virtualKey, flags);
  return true;
}

}  // namespace plat
