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

void Edit_t::SetSel(int start, int end) {
  if (QLineEdit* e = LineOf(*this)) {
    const int n = static_cast<int>(e->text().size());
    if (end < 0 || end > n) end = n;
    e->setSelection(start, end - start);
  }
  if (QPlainTextEdit* e = TextOf(*this)) {
    QTextCursor c = e->textCursor();
    const int n = static_cast<int>(e->document()->characterCount()) - 1;
    c.setPosition(std::min(start, n));
    c.setPosition(end < 0 || end > n ? n : end, QTextCursor::KeepAnchor);
    e->setTextCursor(c);
  }
}

int Edit_t::GetLineCount() const {
  if (QPlainTextEdit* e = TextOf(*this)) return e->document()->blockCount();
  return 1;
}

void Edit_t::LineScroll(int lines) {
  if (QPlainTextEdit* e = TextOf(*this)) e->verticalScrollBar()->setValue(e->verticalScrollBar()->value() + lines);
}

int Edit_t::GetFirstVisibleLine() const {
  if (QPlainTextEdit* e = TextOf(*this)) return e->verticalScrollBar()->value();
  return 0;
}

}  // namespace plat
