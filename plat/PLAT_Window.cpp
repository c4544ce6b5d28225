#include "plat/PLAT_Window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QResizeEvent>
#include <QScreen>
#include <QTimerEvent>
#include <QWheelEvent>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <unordered_map>

#include "plat/PLAT_App.h"
#include "plat/PLAT_Error.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_WindowImpl.h"

namespace plat {

namespace {

std::mutex g_windowsMutex;
std::unordered_map<HWND, Wnd_t*> g_windows;
std::atomic<HWND> g_nextHandle{0x10000};

unsigned MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
  unsigned f = 0;
  if (buttons & Qt::LeftButton) f |= kMkLButton;
  if (buttons & Qt::RightButton) f |= kMkRButton;
  if (buttons & Qt::MiddleButton) f |= kMkMButton;
  if (mods & Qt::ShiftModifier) f |= kMkShift;
  if (mods & Qt::ControlModifier) f |= kMkControl;
  return f;
}

unsigned VirtualKey(int key, bool keypad) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return kVkF1 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace: return kVkBack;
    case Qt::Key_Tab: return kVkTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return kVkReturn;
    case Qt::Key_Shift: return kVkShift;
    case Qt::Key_Control: return kVkControl;
    case Qt::Key_Escape: return kVkEscape;
    case Qt::Key_Space: return kVkSpace;
    case Qt::Key_PageUp: return kVkPrior;
    case Qt::Key_PageDown: return kVkNext;
    case Qt::Key_End: return kVkEnd;
    case Qt::Key_Home: return kVkHome;
    case Qt::Key_Left: return kVkLeft;
    case Qt::Key_Up: return kVkUp;
    case Qt::Key_Right: return kVkRight;
    case Qt::Key_Down: return kVkDown;
    case Qt::Key_Insert: return kVkInsert;
    case Qt::Key_Delete: return kVkDelete;
    // Plus and minus: the keypad's keys, or the main block's "=+" and "-_" keys.
    case Qt::Key_Plus: return keypad ? kVkAdd : kVkOemPlus;
    case Qt::Key_Equal: return kVkOemPlus;
    case Qt::Key_Minus: return keypad ? kVkSubtract : kVkOemMinus;
    case Qt::Key_Underscore: return kVkOemMinus;
    default: return 0;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Shared helpers.

namespace detail {

HWND RegisterWindow(Wnd_t* window) {
  const HWND h = ++g_nextHandle;
  std::lock_guard<std::mutex> lock(g_windowsMutex);
  g_windows[h] = window;
  return h;
}

void UnregisterWindow(HWND handle) {
  std::lock_guard<std::mutex> lock(g_windowsMutex);
  g_windows.erase(handle);
}

POINT ToPoint(const QPoint& p) { return POINT{p.x(), p.y()}; }
RECT ToRect(const QRect& r) { return RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
QRect ToQRect(const RECT& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }
std::string ToUtf8(const QString& s) { return s.toUtf8().toStdString(); }
QString FromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

COLORREF FaceColour() {
  const QColor c = QApplication::palette().color(QPalette::Window);
  return Rgb(unsigned(c.red()), unsigned(c.green()), unsigned(c.blue()));
}

void Notify(Wnd_t* control, unsigned code) {
  if (control == nullptr) return;
  Wnd_t* parent = control->GetParent();
  if (parent == nullptr) return;
  const int id = control->GetDlgCtrlID();
  const HWND parentHandle = parent->GetSafeHwnd();
  Guard([&] {
    if (IsWindow(parentHandle))
      parent->SendMessage(kWmCommand, (WPARAM(code & 0xFFFF) << 16) | WPARAM(unsigned(id) & 0xFFFF),
                          LPARAM(control->GetSafeHwnd()));
  });
}

void DialogBaseUnits(int& x, int& y) {
  EnsureGuiApplication();
  const QFontMetrics fm(QApplication::font());
  const int width = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  x = std::max(1, (width / 26 + 1) / 2);
  y = std::max(1, fm.height());
}

unsigned VirtualKeyOf(int key, bool keypad) { return VirtualKey(key, keypad); }
unsigned MouseFlagsOf(int buttons, int modifiers) {
  return MouseFlags(Qt::MouseButtons(buttons), Qt::KeyboardModifiers(modifiers));
}

}  // namespace detail

// ---------------------------------------------------------------------------
// The window state.

void WndImpl::Attach(QWidget* w, Wnd_t* parentWnd, int controlId, std::uint32_t windowStyle) {
  widget = w;
  id = controlId;
  style = windowStyle;
  parent = parentWnd;
  handle = detail::RegisterWindow(owner);
  w->setProperty("plat.handle", QVariant::fromValue<qulonglong>(handle));
  w->installEventFilter(&events);
  if (parentWnd != nullptr) parentWnd->m_impl->children.push_back(owner);
}

void WndImpl::Detach() {
  if (widget) widget->removeEventFilter(&events);
  widget = nullptr;
}

bool WndEvents::eventFilter(QObject* watched, QEvent* e) {
  WndImpl* d = m_impl;
  if (watched != d->widget.data() || d->destroying) return false;
  Wnd_t* w = d->owner;
  switch (e->type()) {
    case QEvent::Resize: {
      const QSize s = static_cast<QResizeEvent*>(e)->size();
      detail::PlaceScrollBars(*d);
      int barRight = 0, barBottom = 0;
      detail::ScrollBarInsets(*d, barRight, barBottom);
      detail::Guard([&] { w->OnSize(s.width() - barRight, s.height() - barBottom); });
      return false;
    }
    case QEvent::Move: {
      const QPoint p = d->widget->pos();
      detail::Guard([&] { w->OnMove(p.x(), p.y()); });
      return false;
    }
    case QEvent::Paint: {
      if (!d->selfDrawn) return false;
      if (d->frontEnabled) {
        detail::PaintThroughFrontBuffer(*d);
        return true;
      }
      QPainter painter(d->widget);
      Dc_t dc;
      dc.AttachPainter(&painter, d->widget->width(), d->widget->height());
      detail::Guard([&] {
        w->OnEraseBkgnd(dc);
        w->OnPaint(dc);
      });
      return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
      auto* m = static_cast<QMouseEvent*>(e);
      const unsigned flags = MouseFlags(m->buttons(), m->modifiers());
      const POINT pt = detail::ToPoint(m->position().toPoint());
      bool handled = false;
      detail::Guard([&] {
        const bool left = m->button() == Qt::LeftButton, right = m->button() == Qt::RightButton;
        if (e->type() == QEvent::MouseMove) handled = w->OnMouseMove(flags, pt);
        else if (e->type() == QEvent::MouseButtonPress && left) handled = w->OnLButtonDown(flags, pt);
        else if (e->type() == QEvent::MouseButtonPress && right) handled = w->OnRButtonDown(flags, pt);
        else if (e->type() == QEvent::MouseButtonRelease && left) handled = w->OnLButtonUp(flags, pt);
        else if (e->type() == QEvent::MouseButtonRelease && right) handled = w->OnRButtonUp(flags, pt);
        else if (e->type() == QEvent::MouseButtonDblClick && left) handled = w->OnLButtonDblClk(flags, pt);
      });
      return handled;
    }
    case QEvent::Wheel: {
      auto* wh = static_cast<QWheelEvent*>(e);
      const QPoint a = wh->angleDelta();
      const int delta = a.y() != 0 ? a.y() : a.x();
      const unsigned flags = MouseFlags(wh->buttons(), wh->modifiers());
      const POINT pt = detail::ToPoint(wh->globalPosition().toPoint());
      bool handled = false;
      detail::Guard([&] { handled = w->OnMouseWheel(flags, delta, pt); });
      if (handled) e->accept();
      return handled;
    }
    case QEvent::KeyPress: {
      auto* k = static_cast<QKeyEvent*>(e);
      const unsigned vk = VirtualKey(k->key(), (k->modifiers() & Qt::KeypadModifier) != 0);
      if (vk == 0) return false;
      unsigned flags = 0;
      if (k->modifiers() & Qt::ShiftModifier) flags |= kMkShift;
      if (k->modifiers() & Qt::ControlModifier) flags |= kMkControl;
      bool handled = false;
      detail::Guard([&] { handled = w->OnKeyDown(vk, k->isAutoRepeat() ? 2u : 1u, flags); });
      return handled;
    }
    case QEvent::Leave:
      detail::Guard([&] { w->OnMouseLeave(); });
      return false;
    case QEvent::FocusIn:
      detail::Guard([&] { w->OnSetFocus(); });
      if (d->parent != nullptr && (d->style & kWsChild)) detail::Notify(w, kEnSetFocus);
      return false;
    case QEvent::FocusOut:
      detail::Guard([&] { w->OnKillFocus(); });
      if (d->parent != nullptr && (d->style & kWsChild)) detail::Notify(w, kEnKillFocus);
      return false;
    case QEvent::Close:
      e->ignore();
      detail::Guard([&] { w->OnClose(); });
      return true;
    default:
      return false;
  }
}

void WndEvents::timerEvent(QTimerEvent* event) {
  for (const auto& [id, qtId] : m_impl->timers)
    if (qtId == event->timerId()) {
      const unsigned programId = id;
      Wnd_t* w = m_impl->owner;
      detail::Guard([&] { w->OnTimer(programId); });
      return;
    }
}

// ---------------------------------------------------------------------------
// Wnd_t.

Wnd_t::Wnd_t() : m_impl(std::make_unique<WndImpl>(this)) {}

Wnd_t::~Wnd_t() {
  try {
    DestroyWindow();
  } catch (...) {
  }
  // Children made from a template go with their parent, windows or not.
  m_impl->placeholders.clear();
}

bool Wnd_t::Create(Wnd_t* parent, int id, std::uint32_t style, const RECT& rect, const std::string& text) {
  if (HasWindow()) return FailWith(kErrorInvalidParameter);
  if ((style & kWsChild) && (parent == nullptr || !parent->HasWindow())) return FailWith(kErrorInvalidWindowHandle);
  EnsureGuiApplication();
  detail::Dispatcher();
  auto* w = new QWidget((style & kWsChild) ? parent->m_impl->widget.data() : nullptr);
  if (!(style & kWsChild)) w->setWindowTitle(detail::FromUtf8(text));
  w->setAttribute(Qt::WA_OpaquePaintEvent, true);
  w->setMouseTracking(true);
  w->setFocusPolicy(Qt::StrongFocus);
  return Finish(w, parent, id, style, rect, true);
}

bool Wnd_t::CreateControl(const std::string& kind, Wnd_t* parent, int id, std::uint32_t style, const RECT& rect,
                          const std::string& text) {
  if (HasWindow()) return FailWith(kErrorInvalidParameter);
  if (parent == nullptr || !parent->HasWindow()) return FailWith(kErrorInvalidWindowHandle);
  QWidget* w = detail::MakeControlWidget(kind, style | kWsChild, text, parent->m_impl->widget);
  if (w == nullptr) return FailWith(kErrorInvalidParameter);
  return Finish(w, parent, id, style | kWsChild, rect, false);
}

bool Wnd_t::Finish(void* widget, Wnd_t* parent, int id, std::uint32_t style, const RECT& rect, bool selfDrawn) {
  auto* w = static_cast<QWidget*>(widget);
  m_impl->selfDrawn = selfDrawn;
  m_impl->Attach(w, (style & kWsChild) ? parent : nullptr, id, style);
  if (!(style & kWsChild)) m_impl->parent = parent;  // the owner of a top-level window
  if (style & kWsDisabled) w->setEnabled(false);
  detail::Sync([&] {
    MoveWindow(rect, false);
    OnCreate();
    if (style & kWsVisible) w->show();
    else if (style & kWsChild) w->hide();
  });
  return true;
}

void Wnd_t::OnCreate() {}

bool Wnd_t::SubclassDlgItem(int id, Wnd_t* parent) {
  if (HasWindow()) return FailWith(kErrorInvalidParameter);
  if (parent == nullptr || !parent->HasWindow()) return FailWith(kErrorInvalidWindowHandle);
  Wnd_t* child = parent->GetDlgItem(id);
  if (child == nullptr || child == this) return FailWith(kErrorResourceNameNotFound);
  WndImpl& from = *child->m_impl;
  WndImpl& to = *m_impl;
  QWidget* w = from.widget;
  from.Detach();
  to.widget = w;
  w->installEventFilter(&to.events);
  to.handle = from.handle;
  to.id = from.id;
  to.style = from.style;
  to.parent = parent;
  to.selfDrawn = from.selfDrawn;
  to.children = std::move(from.children);
  for (Wnd_t* c : to.children) c->m_impl->parent = this;
  from.handle = 0;
  from.parent = nullptr;
  {
    std::lock_guard<std::mutex> lock(g_windowsMutex);
    g_windows[to.handle] = this;
  }
  auto& siblings = parent->m_impl->children;
  std::replace(siblings.begin(), siblings.end(), child, this);
  auto& owned = parent->m_impl->placeholders;
  owned.erase(std::remove_if(owned.begin(), owned.end(), [&](const std::unique_ptr<Wnd_t>& p) { return p.get() == child; }),
              owned.end());
  return true;
}

bool Wnd_t::DestroyWindow() {
  WndImpl& d = *m_impl;
  if (d.widget.isNull() || d.destroying) {
    if (d.handle != 0 && d.widget.isNull()) {
      // The toolkit deleted the widget under us (its parent went first).
      detail::UnregisterWindow(d.handle);
      d.handle = 0;
    }
    return false;
  }
  const bool mainWindow = GetMainWnd() == this;
  d.destroying = true;
  try {
    OnDestroy();
  } catch (...) {
    d.destroying = false;
    throw;
  }
  const std::vector<Wnd_t*> children = d.children;
  for (Wnd_t* c : children) c->DestroyWindow();
  d.children.clear();
  for (auto& [id, qtId] : d.timers) d.events.killTimer(qtId);
  d.timers.clear();
  if (d.parent != nullptr) {
    auto& siblings = d.parent->m_impl->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  QWidget* w = d.widget;
  d.Detach();
  w->hide();
  // Inside a handler the widget (or a child's) may be on the stack: it goes
  // when control returns to the loop. Otherwise at once.
  if (detail::InHandler()) {
    w->setParent(nullptr);
    w->deleteLater();
  } else {
    delete w;
  }
  const HWND handle = d.handle;
  detail::UnregisterWindow(handle);
  d.handle = 0;
  d.parent = nullptr;
  d.destroying = false;
  if (mainWindow) {
    SetMainWnd(nullptr);
    PostQuitMessage(0);
  }
  return true;
}

HWND Wnd_t::GetSafeHwnd() const { return m_impl->widget.isNull() ? 0 : m_impl->handle; }
int Wnd_t::GetDlgCtrlID() const { return m_impl->id; }
std::uint32_t Wnd_t::GetStyle() const {
  std::uint32_t s = m_impl->style;
  if (QWidget* w = m_impl->widget) {
    s = w->isVisible() || !w->isHidden() ? (s | kWsVisible) : (s & ~kWsVisible);
    s = w->isEnabled() ? (s & ~kWsDisabled) : (s | kWsDisabled);
  }
  return s;
}

void Wnd_t::ModifyStyle(std::uint32_t remove, std::uint32_t add) {
  m_impl->style = (m_impl->style & ~remove) | add;
}

Wnd_t* Wnd_t::GetParent() const { return m_impl->parent; }

Wnd_t* Wnd_t::GetDlgItem(int id) const {
  for (Wnd_t* c : m_impl->children)
    if (c->m_impl->id == id) return c;
  return nullptr;
}

std::vector<Wnd_t*> Wnd_t::GetChildren() const { return m_impl->children; }

Wnd_t* Wnd_t::GetNextDlgGroupItem(Wnd_t* control, bool previous) const {
  const auto& c = m_impl->children;
  const auto it = std::find(c.begin(), c.end(), control);
  if (it == c.end()) return nullptr;
  const size_t at = static_cast<size_t>(it - c.begin());
  // The group: from the nearest kWsGroup child at or before 'at' up to the next one.
  size_t first = at;
  while (first > 0 && !(c[first]->m_impl->style & kWsGroup)) --first;
  size_t end = at + 1;
  while (end < c.size() && !(c[end]->m_impl->style & kWsGroup)) ++end;
  const size_t size = end - first;
  const size_t next = previous ? first + (at - first + size - 1) % size : first + (at - first + 1) % size;
  return c[next];
}

RECT Wnd_t::GetClientRect() const {
  QWidget* w = m_impl->widget;
  if (w == nullptr) return RECT{0, 0, 0, 0};
  int barRight = 0, barBottom = 0;
  detail::ScrollBarInsets(*m_impl, barRight, barBottom);
  return RECT{0, 0, std::max(0, w->width() - barRight), std::max(0, w->height() - barBottom)};
}

RECT Wnd_t::GetWindowRect() const {
  QWidget* w = m_impl->widget;
  if (w == nullptr) return RECT{0, 0, 0, 0};
  if (w->isWindow()) return detail::ToRect(w->geometry());
  return detail::ToRect(QRect(w->mapToGlobal(QPoint(0, 0)), w->size()));
}

POINT Wnd_t::ScreenToClient(POINT p) const {
  QWidget* w = m_impl->widget;
  if (w == nullptr) return p;
  return detail::ToPoint(w->mapFromGlobal(QPoint(p.x, p.y)));
}

POINT Wnd_t::ClientToScreen(POINT p) const {
  QWidget* w = m_impl->widget;
  if (w == nullptr) return p;
  return detail::ToPoint(w->mapToGlobal(QPoint(p.x, p.y)));
}

void Wnd_t::ScreenToClient(RECT& r) const {
  const POINT a = ScreenToClient(POINT{r.left, r.top});
  r = RECT{a.x, a.y, a.x + (r.right - r.left), a.y + (r.bottom - r.top)};
}

void Wnd_t::ClientToScreen(RECT& r) const {
  const POINT a = ClientToScreen(POINT{r.left, r.top});
  r = RECT{a.x, a.y, a.x + (r.right - r.left), a.y + (r.bottom - r.top)};
}

bool Wnd_t::MoveWindow(int x, int y, int width, int height, bool repaint) {
  QWidget* w = m_impl->widget;
  if (w == nullptr) return FailWith(kErrorInvalidWindowHandle);
  width = std::max(0, width);
  height = std::max(0, height);
  detail::Sync([&] {
    w->setGeometry(x, y, width, height);
    if (repaint) w->update();
  });
  return true;
}

bool Wnd_t::MoveWindow(const RECT& r, bool repaint) {
  return MoveWindow(r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
}

void Wnd_t::SetMinTrackSize(int width, int height) {
  if (QWidget* w = m_impl->widget) w->setMinimumSize(std::max(0, width), std::max(0, height));
}

bool Wnd_t::ShowWindow(bool show) {
  QWidget* w = m_impl->widget;
  if (w == nullptr) return false;
  const bool was = !w->isHidden();
  detail::Sync([&] { w->setVisible(show); });
  return was;
}

void Wnd_t::ShowMaximized() {
  if (QWidget* w = m_impl->widget) detail::Sync([&] { w->showMaximized(); });
}

void Wnd_t::ShowMinimized() {
  if (QWidget* w = m_impl->widget) detail::Sync([&] { w->showMinimized(); });
}

bool Wnd_t::IsZoomed() const {
  QWidget* w = m_impl->widget;
  return w != nullptr && w->isMaximized();
}

bool Wnd_t::IsIconic() const {
  QWidget* w = m_impl->widget;
  return w != nullptr && w->isMinimized();
}

RECT Wnd_t::GetNormalRect() const {
  QWidget* w = m_impl->widget;
  if (w == nullptr) return RECT{0, 0, 0, 0};
  const QRect n = w->normalGeometry();
  return n.isValid() && (w->isMaximized() || w->isMinimized()) ? detail::ToRect(n) : GetWindowRect();
}

bool Wnd_t::HasFocusWithin() const {
  QWidget* w = m_impl->widget;
  QWidget* f = QApplication::focusWidget();
  return w != nullptr && f != nullptr && (f == w || w->isAncestorOf(f));
}

bool Wnd_t::IsWindowVisible() const {
  QWidget* w = m_impl->widget;
  return w != nullptr && w->isVisible();
}

bool Wnd_t::EnableWindow(bool enable) {
  QWidget* w = m_impl->widget;
  if (w == nullptr) return false;
  const bool wasDisabled = !w->isEnabled();
  w->setEnabled(enable);
  return wasDisabled;
}

bool Wnd_t::IsWindowEnabled() const {
  QWidget* w = m_impl->widget;
  return w != nullptr && w->isEnabled();
}

void Wnd_t::SetFocus() {
  if (QWidget* w = m_impl->widget) detail::Sync([&] { w->setFocus(Qt::OtherFocusReason); });
}

void Wnd_t::SetWindowText(const std::string& text) {
  QWidget* w = m_impl->widget;
  if (w == nullptr) return;
  detail::Sync([&] {
    const QString t = detail::FromUtf8(text);
    if (w->isWindow()) {
      w->setWindowTitle(t);
      return;
    }
    // Controls keep their text in the property that shows it.
    if (w->metaObject()->indexOfProperty("plainText") >= 0) {
      QString plain = t;
      plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
      w->setProperty("plainText", plain);
    } else if (w->metaObject()->indexOfProperty("text") >= 0) {
      w->setProperty("text", t);
    } else {
      w->setWindowTitle(t);
    }
  });
}

std::string Wnd_t::GetWindowText() const {
  QWidget* w = m_impl->widget;
  if (w == nullptr) return std::string();
  if (w->isWindow()) return detail::ToUtf8(w->windowTitle());
  if (w->metaObject()->indexOfProperty("plainText") >= 0) {
    QString plain = w->property("plainText").toString();
    plain.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return detail::ToUtf8(plain);
  }
  if (w->metaObject()->indexOfProperty("text") >= 0) return detail::ToUtf8(w->property("text").toString());
  return detail::ToUtf8(w->windowTitle());
}

void Wnd_t::EnableScrollBar(bool vertical, bool enable) {
  (vertical ? m_impl->vScrollDisabled : m_impl->hScrollDisabled) = !enable;
  detail::PlaceScrollBars(*m_impl);
}

bool Wnd_t::IsScrollBarEnabled(bool vertical) const {
  if (!(GetStyle() & (vertical ? kWsVScroll : kWsHScroll))) return false;
  return !(vertical ? m_impl->vScrollDisabled : m_impl->hScrollDisabled);
}

void Wnd_t::SetIconFrom(const Wnd_t& other) {
  QWidget* w = m_impl->widget;
  QWidget* o = other.m_impl->widget;
  if (w != nullptr && o != nullptr) w->setWindowIcon(o->windowIcon());
}

void Wnd_t::Invalidate(bool) {
  m_impl->frontStale = true;
  if (QWidget* w = m_impl->widget) w->update();
}

void Wnd_t::InvalidateRect(const RECT& r, bool) {
  m_impl->frontStale = true;
  if (QWidget* w = m_impl->widget) w->update(m_impl->frontEnabled ? w->rect() : detail::ToQRect(r));
}

void Wnd_t::UpdateWindow() {
  if (QWidget* w = m_impl->widget) detail::Sync([&] { w->repaint(); });
}

LRESULT Wnd_t::SendMessage(unsigned message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kWmClose: OnClose(); return 0;
    case kWmCommand: return OnCommand(unsigned(wParam & 0xFFFF), unsigned((wParam >> 16) & 0xFFFF)) ? 1 : 0;
    default: {
      LRESULT result = 0;
      return OnMessage(message, wParam, lParam, result) ? result : 0;
    }
  }
}

bool Wnd_t::SaveImage(const std::string& path) {
  QWidget* w = m_impl->widget;
  if (w == nullptr) return FailWith(kErrorInvalidWindowHandle);
  QPixmap image;
  detail::Sync([&] { image = w->grab(); });
  return image.save(QString::fromStdString(path), "PNG") ? true : FailWith(kErrorWriteFault);
}

Wnd_t* Wnd_t::FromHandle(HWND handle) {
  std::lock_guard<std::mutex> lock(g_windowsMutex);
  const auto it = g_windows.find(handle);
  return it == g_windows.end() ? nullptr : it->second;
}

// ---- default handlers ----

void Wnd_t::OnSize(int, int) {}
void Wnd_t::OnMove(int, int) {}
bool Wnd_t::OnEraseBkgnd(Dc_t& dc) {
  const RECT r = GetClientRect();
  dc.FillSolidRect(r, detail::FaceColour());
  return true;
}
void Wnd_t::OnPaint(Dc_t&) {}
bool Wnd_t::OnLButtonDown(unsigned, POINT) { return false; }
bool Wnd_t::OnLButtonUp(unsigned, POINT) { return false; }
bool Wnd_t::OnLButtonDblClk(unsigned, POINT) { return false; }
bool Wnd_t::OnRButtonDown(unsigned, POINT) { return false; }
bool Wnd_t::OnRButtonUp(unsigned, POINT) { return false; }
bool Wnd_t::OnMouseMove(unsigned, POINT) { return false; }
bool Wnd_t::OnMouseWheel(unsigned, int, POINT) { return false; }
void Wnd_t::OnMouseLeave() {}
bool Wnd_t::OnKeyDown(unsigned, unsigned, unsigned) { return false; }
void Wnd_t::OnSetFocus() {}
void Wnd_t::OnKillFocus() {}
void Wnd_t::OnTimer(unsigned) {}
void Wnd_t::OnClose() { DestroyWindow(); }
bool Wnd_t::OnCommand(unsigned, unsigned) { return false; }
bool Wnd_t::OnMessage(unsigned, WPARAM, LPARAM, LRESULT&) { return false; }
void Wnd_t::OnDestroy() {}

// ---------------------------------------------------------------------------
// Messages from any thread.

bool IsWindow(HWND window) {
  std::lock_guard<std::mutex> lock(g_windowsMutex);
  return window != 0 && g_windows.count(window) != 0;
}

bool PostMessage(HWND window, unsigned message, WPARAM wParam, LPARAM lParam) {
  if (!IsWindow(window)) return FailWith(kErrorInvalidWindowHandle);
  detail::PostCall([window, message, wParam, lParam] {
    Wnd_t* w = Wnd_t::FromHandle(window);
    if (w != nullptr) detail::Guard([&] { w->SendMessage(message, wParam, lParam); });
  });
  return true;
}

}  // namespace plat
