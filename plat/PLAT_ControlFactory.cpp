// The toolkit widget behind each control kind, and the notifications each sends
// to its parent.
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTextEdit>
#include <QTreeWidget>

#include "plat/PLAT_DialogTemplate.h"
#include "plat/PLAT_WindowImpl.h"

namespace plat {

namespace detail {

// The control object that a widget belongs to now (the object may change when
// a member control takes the window over).
Wnd_t* OwnerOf(QObject* widget) {
  if (widget == nullptr) return nullptr;
  const QVariant h = widget->property("plat.handle");
  return h.isValid() ? Wnd_t::FromHandle(h.toULongLong()) : nullptr;
}

void NotifyFrom(QObject* widget, unsigned code) { Notify(OwnerOf(widget), code); }

// Radio buttons of a group: the clicked one checked, the others not.
void CheckRadioInGroup(QObject* widget) {
  Wnd_t* button = OwnerOf(widget);
  if (button == nullptr || button->GetParent() == nullptr) return;
  Wnd_t* parent = button->GetParent();
  for (Wnd_t* other = parent->GetNextDlgGroupItem(button); other != nullptr && other != button;
       other = parent->GetNextDlgGroupItem(other))
    if (auto* radio = qobject_cast<QRadioButton*>(other->Impl()->widget.data())) radio->setChecked(false);
  if (auto* radio = qobject_cast<QRadioButton*>(widget)) radio->setChecked(true);
}

// A static text shows '&' only as "&&".
QString StaticText(const std::string& text) {
  QString out;
  const QString in = FromUtf8(text);
  for (qsizetype i = 0; i < in.size(); ++i) {
    if (in[i] == '&') {
      if (i + 1 < in.size() && in[i + 1] == '&') out += '&', ++i;
      continue;
    }
    out += in[i];
  }
  return out;
}

QWidget* MakeControlWidget(const std::string& kind, std::uint32_t style, const std::string& text, QWidget* parent) {
  const QString t = FromUtf8(text);
  if (kind == "static") {
    auto* w = new QLabel(StaticText(text), parent);
    w->setWordWrap(true);
    Qt::Alignment a = Qt::AlignTop;
    a |= (style & kSsCenter) ? Qt::AlignHCenter : (style & kSsRight) ? Qt::AlignRight : Qt::AlignLeft;
    w->setAlignment(a);
    return w;
  }
  if (kind == "groupbox") {
    auto* w = new QGroupBox(t, parent);
    w->setAttribute(Qt::WA_TransparentForMouseEvents, true);
    return w;
  }
  if (kind == "edit") {
    if (style & kEsMultiline) {
      auto* w = new QPlainTextEdit(t, parent);
      w->setReadOnly(style & kEsReadOnly);
      w->setLineWrapMode((style & kWsHScroll) ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
      w->setVerticalScrollBarPolicy((style & kWsVScroll) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
      QObject::connect(w, &QPlainTextEdit::textChanged, w, [w] { NotifyFrom(w, kEnChange); });
      return w;
    }
    auto* w = new QLineEdit(t, parent);
    w->setReadOnly(style & kEsReadOnly);
    if (style & kEsPassword) w->setEchoMode(QLineEdit::Password);
    if (style & kEsNumber) w->setValidator(new QIntValidator(0, 2147483647, w));
    QObject::connect(w, &QLineEdit::textChanged, w, [w] { NotifyFrom(w, kEnChange); });
    return w;
  }
  if (kind == "richedit") {
    auto* w = new QTextEdit(parent);
    w->setAcceptRichText(false);
    w->setReadOnly(style & kEsReadOnly);
    // Read-only: the text can be selected and copied, and keys such as Enter go on to the dialog.
    if (style & kEsReadOnly) w->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    w->setVerticalScrollBarPolicy((style & kWsVScroll) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    QObject::connect(w, &QTextEdit::textChanged, w, [w] { NotifyFrom(w, kEnChange); });
    return w;
  }
  if (kind == "button" || kind == "default") {
    auto* w = new QPushButton(t, parent);
    w->setAutoDefault(false);
    w->setDefault(kind == "default");
    QObject::connect(w, &QPushButton::clicked, w, [w] { NotifyFrom(w, kBnClicked); });
    return w;
  }
  if (kind == "check") {
    auto* w = new QCheckBox(t, parent);
    QObject::connect(w, &QCheckBox::clicked, w, [w] { NotifyFrom(w, kBnClicked); });
    return w;
  }
  if (kind == "radio") {
    auto* w = new QRadioButton(t, parent);
    w->setAutoExclusive(false);
    QObject::connect(w, &QRadioButton::clicked, w, [w] {
      CheckRadioInGroup(w);
      NotifyFrom(w, kBnClicked);
    });
    return w;
  }
  if (kind == "list") {
    auto* w = new QListWidget(parent);
    w->setSortingEnabled(style & kLbsSort);
    QObject::connect(w, &QListWidget::currentRowChanged, w, [w] { NotifyFrom(w, kLbnSelChange); });
    QObject::connect(w, &QListWidget::itemDoubleClicked, w, [w] { NotifyFrom(w, kLbnDblClk); });
    return w;
  }
  if (kind == "combo") {
    auto* w = new QComboBox(parent);
    QObject::connect(w, &QComboBox::activated, w, [w] { NotifyFrom(w, kLbnSelChange); });
    return w;
  }
  if (kind == "tree" || kind == "listview") {
    auto* w = new QTreeWidget(parent);
    if (kind == "tree") {
      w->setHeaderHidden(true);
      // As wide as its widest label, never cut: a narrow pane scrolls sideways.
      w->header()->setStretchLastSection(false);
      w->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
      w->setTextElideMode(Qt::ElideNone);
      w->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    } else {
      w->setRootIsDecorated(false);
      w->setColumnCount(0);
      w->header()->setStretchLastSection(false);
    }
    w->setSelectionMode(QAbstractItemView::SingleSelection);
    QObject::connect(w, &QTreeWidget::currentItemChanged, w, [w] { NotifyFrom(w, kTvnSelChanged); });
    QObject::connect(w, &QTreeWidget::itemDoubleClicked, w, [w] { NotifyFrom(w, kNmDblClk); });
    return w;
  }
  if (kind == "datetime") {
    auto* w = new QDateTimeEdit(parent);
    w->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    w->setCalendarPopup(true);
    QObject::connect(w, &QDateTimeEdit::dateTimeChanged, w, [w] { NotifyFrom(w, kDtnDateTimeChange); });
    return w;
  }
  if (kind == "progress") {
    auto* w = new QProgressBar(parent);
    w->setRange(0, 100);
    w->setValue(0);
    w->setTextVisible(false);
    return w;
  }
  if (kind == "statusbar") {
    auto* w = new QStatusBar(parent);
    w->setSizeGripEnabled(style & kSbarsSizeGrip);
    return w;
  }
  return nullptr;
}

}  // namespace detail
}  // namespace plat
