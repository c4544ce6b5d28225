#include "plat/PLAT_ScrollBar.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <functional>
#include <utility>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_WindowImpl.h"

namespace plat {

namespace {

// The window has no bars of its own.
constexpr unsigned long kErrorNoScrollbars = 1447;

bool ValidBar(int bar) { return bar == kSbHorz || bar == kSbVert; }

// The highest position: the range less the page.
int TopPosition(const WndImpl::ScrollBarState& s) {
  const int top = s.page > 0 ? s.max - s.page + 1 : s.max;
  return std::max(s.min, top);
}

bool CanScroll(const WndImpl::ScrollBarState& s) { return TopPosition(s) > s.min; }

std::uint32_t StyleBit(int bar) { return bar == kSbVert ? kWsVScroll : kWsHScroll; }

bool Shown(const WndImpl& impl, int bar) {
  const WndImpl::ScrollBarState& s = impl.scroll[bar];
  return s.bar != nullptr && (impl.style & StyleBit(bar)) && (CanScroll(s) || s.disableNoScroll);
}

int Extent(const QWidget* w) { return w->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, w); }

// The bar's action as a scroll message to its window.
void Deliver(WndImpl* impl, int bar, unsigned code, int position) {
  Wnd_t* owner = impl->owner;
  const unsigned message = bar == kSbVert ? kWmVScroll : kWmHScroll;
  const WPARAM wParam = (WPARAM(unsigned(position) & 0xFFFF) << 16) | WPARAM(code & 0xFFFF);
  detail::Guard([&] { owner->SendMessage(message, wParam, 0); });
}

// The thumb back where the window has put it.
void ShowPosition(WndImpl* impl, int bar) {
  if (auto* sb = qobject_cast<QScrollBar*>(impl->scroll[bar].bar.data())) {
    const QSignalBlocker block(sb);
    sb->setSliderPosition(impl->scroll[bar].pos);
    sb->setValue(impl->scroll[bar].pos);
  }
}

// Sends kSbEndScroll when the button goes up over an arrow or the trough (the
// thumb's release has its own signal).
class EndScrollFilter : public QObject {
 public:
  EndScrollFilter(QScrollBar* bar, std::function<void()> end) : QObject(bar), m_bar(bar), m_end(std::move(end)) {
    bar->installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == m_bar && m_bar->isEnabled() && event->type() == QEvent::MouseButtonRelease && !m_bar->isSliderDown() &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
      m_end();
    return false;
  }

 private:
  QScrollBar* m_bar;
  std::function<void()> m_end;
};

QScrollBar* MakeBar(WndImpl& impl, int bar) {
  auto* sb = new QScrollBar(bar == kSbVert ? Qt::Vertical : Qt::Horizontal, impl.widget);
  sb->setFocusPolicy(Qt::NoFocus);
  WndImpl* d = &impl;
  // A handler may destroy the window: its state is touched only while the
  // window of the handle is still this one.
  const HWND handle = impl.handle;
  Wnd_t* owner = impl.owner;
  const auto alive = [handle, owner, d, bar, sb] {
    return Wnd_t::FromHandle(handle) == owner && d->widget != nullptr && d->scroll[bar].bar == sb;
  };
  QObject::connect(sb, &QAbstractSlider::actionTriggered, sb, [d, bar, sb, alive](int action) {
    if (!alive()) return;
    unsigned code = 0;
    switch (action) {
      case QAbstractSlider::SliderSingleStepSub: code = kSbLineUp; break;
      case QAbstractSlider::SliderSingleStepAdd: code = kSbLineDown; break;
      case QAbstractSlider::SliderPageStepSub: code = kSbPageUp; break;
      case QAbstractSlider::SliderPageStepAdd: code = kSbPageDown; break;
      case QAbstractSlider::SliderToMinimum: code = kSbTop; break;
      case QAbstractSlider::SliderToMaximum: code = kSbBottom; break;
      case QAbstractSlider::SliderMove:
        // The thumb follows the mouse; the window hears where it is.
        Deliver(d, bar, kSbThumbTrack, sb->sliderPosition());
        return;
      default: return;
    }
    Deliver(d, bar, code, 0);
    if (alive()) sb->setSliderPosition(d->scroll[bar].pos);
  });
  QObject::connect(sb, &QAbstractSlider::sliderReleased, sb, [d, bar, sb, alive] {
    if (!alive()) return;
    Deliver(d, bar, kSbThumbPosition, sb->sliderPosition());
    if (!alive()) return;
    Deliver(d, bar, kSbEndScroll, 0);
    if (alive()) ShowPosition(d, bar);
  });
  // Holding an arrow or the trough repeats its action; letting go ends it.
  new EndScrollFilter(sb, [d, bar, alive] {
    if (alive()) Deliver(d, bar, kSbEndScroll, 0);
  });
  return sb;
}

}  // namespace

namespace detail {

void ScrollBarInsets(const WndImpl& impl, int& right, int& bottom) {
  right = bottom = 0;
  if (impl.widget == nullptr) return;
  if (Shown(impl, kSbVert)) right = Extent(impl.widget);
  if (Shown(impl, kSbHorz)) bottom = Extent(impl.widget);
}

void PlaceScrollBars(WndImpl& impl) {
  QWidget* w = impl.widget;
  if (w == nullptr) return;
  int right = 0, bottom = 0;
  ScrollBarInsets(impl, right, bottom);
  for (int bar : {kSbHorz, kSbVert}) {
    const WndImpl::ScrollBarState& s = impl.scroll[bar];
    auto* sb = qobject_cast<QScrollBar*>(s.bar.data());
    if (sb == nullptr) continue;
    if (!Shown(impl, bar)) {
      sb->hide();
      continue;
    }
    {
      const QSignalBlocker block(sb);
      sb->setRange(s.min, TopPosition(s));
      sb->setPageStep(std::max(1, s.page));
      sb->setSingleStep(1);
      sb->setSliderPosition(s.pos);
      sb->setValue(s.pos);
    }
    const bool disabled = bar == kSbVert ? impl.vScrollDisabled : impl.hScrollDisabled;
    sb->setEnabled(CanScroll(s) && !disabled);
    if (bar == kSbVert)
      sb->setGeometry(w->width() - right, 0, right, std::max(0, w->height() - bottom));
    else
      sb->setGeometry(0, w->height() - bottom, std::max(0, w->width() - right), bottom);
    sb->show();
    sb->raise();
  }
  if (right > 0 && bottom > 0) {
    if (impl.scrollCorner == nullptr) {
      impl.scrollCorner = new QWidget(w);
      impl.scrollCorner->setAutoFillBackground(true);
    }
    impl.scrollCorner->setGeometry(w->width() - right, w->height() - bottom, right, bottom);
    impl.scrollCorner->show();
    impl.scrollCorner->raise();
  } else if (impl.scrollCorner != nullptr) {
    impl.scrollCorner->hide();
  }
}

QWidget* ScrollBarAt(const WndImpl& impl, POINT clientPoint) {
  for (int bar : {kSbHorz, kSbVert}) {
    QWidget* sb = impl.scroll[bar].bar;
    if (sb != nullptr && !sb->isHidden() && sb->geometry().contains(QPoint(clientPoint.x, clientPoint.y))) return sb;
  }
  return nullptr;
}

}  // namespace detail

int Wnd_t::SetScrollInfo(int bar, const SCROLLINFO& info, bool redraw) {
  WndImpl& d = *m_impl;
  if (!ValidBar(bar) || d.widget == nullptr) {
    SetLastError(ValidBar(bar) ? (unsigned long)kErrorInvalidWindowHandle : (unsigned long)kErrorInvalidParameter);
    return 0;
  }
  WndImpl::ScrollBarState& s = d.scroll[bar];
  int oldRight = 0, oldBottom = 0;
  detail::ScrollBarInsets(d, oldRight, oldBottom);
  if (info.fMask & kSifRange) {
    s.min = info.nMin;
    s.max = std::max(info.nMin, info.nMax);
  }
  if (info.fMask & kSifPage) s.page = int(std::min<unsigned>(info.nPage, unsigned(s.max - s.min + 1)));
  if (info.fMask & kSifPos) s.pos = info.nPos;
  s.pos = std::clamp(s.pos, s.min, TopPosition(s));
  s.disableNoScroll = (info.fMask & kSifDisableNoScroll) != 0;
  s.used = true;
  if (s.bar == nullptr) s.bar = MakeBar(d, bar);
  detail::Sync([&] {
    detail::PlaceScrollBars(d);
    int right = 0, bottom = 0;
    detail::ScrollBarInsets(d, right, bottom);
    // A bar that comes or goes changes the client area.
    if (right != oldRight || bottom != oldBottom) {
      const RECT c = GetClientRect();
      OnSize(c.right, c.bottom);
    }
  });
  if (redraw) Invalidate(false);
  return s.pos;
}

bool Wnd_t::GetScrollInfo(int bar, SCROLLINFO& info) const {
  if (!ValidBar(bar)) return FailWith(kErrorInvalidParameter);
  const WndImpl::ScrollBarState& s = m_impl->scroll[bar];
  if (!(GetStyle() & StyleBit(bar)) && !s.used) return FailWith(kErrorNoScrollbars);
  if (info.fMask & kSifRange) {
    info.nMin = s.min;
    info.nMax = s.max;
  }
  if (info.fMask & kSifPage) info.nPage = unsigned(s.page);
  if (info.fMask & kSifPos) info.nPos = s.pos;
  if (info.fMask & kSifTrackPos) {
    auto* sb = qobject_cast<QScrollBar*>(s.bar.data());
    info.nTrackPos = sb != nullptr && sb->isSliderDown() ? sb->sliderPosition() : s.pos;
  }
  return true;
}

int Wnd_t::SetScrollPos(int bar, int position, bool redraw) {
  if (!ValidBar(bar)) {
    SetLastError(kErrorInvalidParameter);
    return 0;
  }
  const int old = m_impl->scroll[bar].pos;
  SCROLLINFO info;
  info.fMask = kSifPos | (m_impl->scroll[bar].disableNoScroll ? kSifDisableNoScroll : 0u);
  info.nPos = position;
  SetScrollInfo(bar, info, redraw);
  return old;
}

int GetScrollBarExtent() {
  EnsureGuiApplication();
  return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

int Wnd_t::GetScrollPos(int bar) const { return ValidBar(bar) ? m_impl->scroll[bar].pos : 0; }

void Wnd_t::GetScrollRange(int bar, int& minimum, int& maximum) const {
  minimum = maximum = 0;
  if (!ValidBar(bar)) return;
  minimum = m_impl->scroll[bar].min;
  maximum = m_impl->scroll[bar].max;
}

}  // namespace plat
