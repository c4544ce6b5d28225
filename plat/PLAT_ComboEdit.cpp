#include "plat/PLAT_ComboEdit.h"

#include <QComboBox>
#include <QLineEdit>

#include "plat/PLAT_WindowImpl.h"

namespace plat {

namespace {

QComboBox* Combo(const ComboBox_t& w) {
  return w.Impl() == nullptr ? nullptr : qobject_cast<QComboBox*>(w.Impl()->widget.data());
}

}  // namespace

bool SetComboEditable(ComboBox_t& combo) {
  QComboBox* c = Combo(combo);
  if (c == nullptr) return false;
  if (c->isEditable()) return true;
  c->setEditable(true);
  c->setInsertPolicy(QComboBox::NoInsert);
  // textEdited comes from typing only, not from setting the text in code.
  QObject::connect(c->lineEdit(), &QLineEdit::textEdited, c,
                   [c] { detail::Notify(detail::OwnerOf(c), kCbnEditChange); });
  return true;
}

std::string GetComboText(const ComboBox_t& combo) {
  QComboBox* c = Combo(combo);
  return c == nullptr ? std::string() : detail::ToUtf8(c->currentText());
}

void SetComboText(ComboBox_t& combo, const std::string& text) {
  QComboBox* c = Combo(combo);
  if (c == nullptr) return;
  c->setCurrentIndex(-1);
  if (c->isEditable()) c->setEditText(detail::FromUtf8(text));
}

void TypeComboText(ComboBox_t& combo, const std::string& text) {
  QComboBox* c = Combo(combo);
  if (c == nullptr || !c->isEditable()) return;
  detail::Sync([&] {
    c->setCurrentIndex(-1);
    c->lineEdit()->setText(detail::FromUtf8(text));
    emit c->lineEdit()->textEdited(c->lineEdit()->text());
  });
}

int SelectComboString(ComboBox_t& combo, const std::string& prefix) {
  QComboBox* c = Combo(combo);
  if (c == nullptr) return -1;
  const QString p = detail::FromUtf8(prefix);
  for (int i = 0; i < c->count(); ++i) {
    if (c->itemText(i).startsWith(p, Qt::CaseInsensitive)) {
      c->setCurrentIndex(i);
      return i;
    }
  }
  return -1;
}

bool SetComboItemData(ComboBox_t& combo, int index, std::uintptr_t data) {
  QComboBox* c = Combo(combo);
  if (c == nullptr || index < 0 || index >= c->count()) return false;
  c->setItemData(index, QVariant::fromValue<qulonglong>(data));
  return true;
}

std::uintptr_t GetComboItemData(const ComboBox_t& combo, int index) {
  QComboBox* c = Combo(combo);
  if (c == nullptr || index < 0 || index >= c->count()) return 0;
  return static_cast<std::uintptr_t>(c->itemData(index).toULongLong());
}

}  // namespace plat
