#include "plat/PLAT_Button.h"

#include <QAbstractButton>
#include <QRadioButton>

#include "plat/PLAT_WindowImpl.h"

namespace plat {

namespace {
QAbstractButton* ButtonOf(const Wnd_t& w) { return qobject_cast<QAbstractButton*>(w.Impl()->widget.data()); }
}  // namespace

int Button_t::GetCheck() const {
  QAbstractButton* b = ButtonOf(*this);
  return b != nullptr && b->isCheckable() && b->isChecked() ? kBstChecked : kBstUnchecked;
}

void Button_t::SetCheck(int state) {
  QAbstractButton* b = ButtonOf(*this);
  if (b != nullptr && b->isCheckable()) b->setChecked(state == kBstChecked);
}

void Button_t::Click() {
  QAbstractButton* b = ButtonOf(*this);
  if (b != nullptr && b->isEnabled()) detail::Sync([&] { b->click(); });
}

bool Button_t::IsRadio() const { return qobject_cast<QRadioButton*>(Impl()->widget.data()) != nullptr; }

}  // namespace plat
