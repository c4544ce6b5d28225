#include "plat/PLAT_RichEdit.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include "plat/PLAT_WindowImpl.h"

namespace plat {

namespace {

QTextEdit* EditOf(const Wnd_t& w) { return qobject_cast<QTextEdit*>(w.Impl()->widget.data()); }

Qt::Alignment ToQt(int alignment) {
  switch (alignment) {
    case kPfaRight: return Qt::AlignRight | Qt::AlignAbsolute;
    case kPfaCenter: return Qt::AlignHCenter;
    default: return Qt::AlignLeft | Qt::AlignAbsolute;
  }
}

QTextBlock BlockOf(const Wnd_t& w, int paragraph) {
  QTextEdit* e = EditOf(w);
  if (e == nullptr || paragraph < 0) return QTextBlock();
  return e->document()->findBlockByNumber(paragraph);
}

}  // namespace

void RichEditCtrl_t::AppendText(const std::string& text, int alignment, const std::string& face) {
  QTextEdit* e = EditOf(*this);
  if (e == nullptr) return;
  detail::Sync([&] {
    QTextCursor c(e->document());
    c.movePosition(QTextCursor::End);
    QTextBlockFormat block = c.blockFormat();
    block.setAlignment(ToQt(alignment));
    c.setBlockFormat(block);
    QTextCharFormat chars = c.charFormat();
    if (!face.empty()) chars.setFontFamilies(QStringList{detail::FromUtf8(face)});
    QString t = detail::FromUtf8(text);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QStringList lines = t.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
      if (i > 0) c.insertBlock(block, chars);
      c.insertText(lines[i], chars);
    }
  });
}

int RichEditCtrl_t::GetTextLength() const {
  QTextEdit* e = EditOf(*this);
  if (e == nullptr) return 0;
  // One character per paragraph break in the document, two in the window text.
  const QTextDocument* d = e->document();
  return static_cast<int>(d->characterCount() - 1) + (d->blockCount() - 1);
}

int RichEditCtrl_t::GetParagraphCount() const {
  QTextEdit* e = EditOf(*this);
  return e == nullptr ? 0 : e->document()->blockCount();
}

std::string RichEditCtrl_t::GetParagraphText(int paragraph) const {
  const QTextBlock b = BlockOf(*this, paragraph);
  return b.isValid() ? detail::ToUtf8(b.text()) : std::string();
}

int RichEditCtrl_t::GetParagraphAlignment(int paragraph) const {
  const QTextBlock b = BlockOf(*this, paragraph);
  if (!b.isValid()) return 0;
  const Qt::Alignment a = b.blockFormat().alignment();
  if (a & Qt::AlignHCenter) return kPfaCenter;
  if (a & Qt::AlignRight) return kPfaRight;
  return kPfaLeft;
}

std::string RichEditCtrl_t::GetParagraphFace(int paragraph) const {
  const QTextBlock b = BlockOf(*this, paragraph);
  if (!b.isValid()) return std::string();
  QTextCharFormat f = b.charFormat();
  if (b.length() > 1) {
    const QTextBlock::iterator it = b.begin();
    if (!it.atEnd()) f = it.fragment().charFormat();
  }
  const QStringList families = f.fontFamilies().toStringList();
  return families.isEmpty() ? std::string() : detail::ToUtf8(families.front());
}

}  // namespace plat
