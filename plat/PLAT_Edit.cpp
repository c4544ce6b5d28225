#include "plat/PLAT_Edit.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>

#include "plat/PLAT_WindowImpl.h"

namespace plat {

namespace {
QLineEdit* LineOf(const Wnd_t& w) { return qobject_cast<QLineEdit*>(w.Impl()->widget.data()); }
QPlainTextEdit* TextOf(const Wnd_t& w) { return qobject_cast<QPlainTextEdit*>(w.Impl()->widget.data()); }
}  // namespace

void Edit_t::SetReadOnly(bool readOnly) {
  if (QLineEdit* e = LineOf(*this)) e->setReadOnly(readOnly);
  if (QPlainTextEdit* e = TextOf(*this)) e->setReadOnly(readOnly);
}

bool Edit_t::IsReadOnly() const {
  if (QLineEdit* e = LineOf(*this)) return e->isReadOnly();
  if (QPlainTextEdit* e = TextOf(*this)) return e->isReadOnly();
  return false;
}

}  // namespace plat
