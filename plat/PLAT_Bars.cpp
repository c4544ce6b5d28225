#include "plat/PLAT_Bars.h"

#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

#include "plat/PLAT_WindowImpl.h"

namespace plat {

namespace {
QProgressBar* BarOf(const Wnd_t& w) { return qobject_cast<QProgressBar*>(w.Impl()->widget.data()); }
QStatusBar* StatusOf(const Wnd_t& w) { return qobject_cast<QStatusBar*>(w.Impl()->widget.data()); }

// The status bar's panes are labels named by their part number; the simple
// mode's text is the bar's own message.
QLabel* Pane(QStatusBar* bar, int part) {
  return bar->findChild<QLabel*>(QStringLiteral("part%1").arg(part), Qt::FindDirectChildrenOnly);
}
}  // namespace

void ProgressCtrl_t::SetRange(int lower, int upper) {
  if (QProgressBar* b = BarOf(*this)) b->setRange(lower, upper);
}

void ProgressCtrl_t::GetRange(int& lower, int& upper) const {
  lower = upper = 0;
  if (QProgressBar* b = BarOf(*this)) lower = b->minimum(), upper = b->maximum();
}

int ProgressCtrl_t::SetPos(int pos) {
  QProgressBar* b = BarOf(*this);
  if (b == nullptr) return 0;
  const int old = b->value() < b->minimum() ? b->minimum() : b->value();
  b->setValue(std::clamp(pos, b->minimum(), b->maximum()));
  return old;
}

int ProgressCtrl_t::GetPos() const {
  QProgressBar* b = BarOf(*this);
  return b == nullptr ? 0 : std::max(b->value(), b->minimum());
}

void StatusBarCtrl_t::SetSimple(bool simple) {
  QStatusBar* bar = StatusOf(*this);
  if (bar == nullptr) return;
  bar->setProperty("plat.simple", simple);
  for (QLabel* l : bar->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
    if (l->objectName().startsWith(QStringLiteral("part"))) l->setVisible(!simple);
  if (!simple) bar->clearMessage();
}

bool StatusBarCtrl_t::IsSimple() const {
  QStatusBar* bar = StatusOf(*this);
  return bar != nullptr && bar->property("plat.simple").toBool();
}

bool StatusBarCtrl_t::SetText(int part, const std::string& text) {
  QStatusBar* bar = StatusOf(*this);
  if (bar == nullptr) return false;
  if ((part & 0xFF) == 0xFF) {
    bar->showMessage(detail::FromUtf8(text));
    bar->setProperty("plat.simpleText", detail::FromUtf8(text));
    return true;
  }
  QLabel* l = Pane(bar, part);
  if (l == nullptr) return false;
  l->setText(detail::FromUtf8(text));
  return true;
}

std::string StatusBarCtrl_t::GetText(int part) const {
  QStatusBar* bar = StatusOf(*this);
  if (bar == nullptr) return std::string();
  if ((part & 0xFF) == 0xFF) return detail::ToUtf8(bar->property("plat.simpleText").toString());
  QLabel* l = Pane(bar, part);
  return l == nullptr ? std::string() : detail::ToUtf8(l->text());
}

bool StatusBarCtrl_t::HasSizeGrip() const {
  QStatusBar* bar = StatusOf(*this);
  return bar != nullptr && bar->isSizeGripEnabled();
}

int StatusBarCtrl_t::GetIdealHeight() const {
  QStatusBar* bar = StatusOf(*this);
  return bar == nullptr ? 0 : bar->sizeHint().height();
}

}  // namespace plat
