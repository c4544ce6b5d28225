#include "plat/PLAT_List.h"

#include <QComboBox>
#include <QHeaderView>
#include <QListWidget>
#include <QScrollBar>
#include <QTreeWidget>

#include <algorithm>

#include "plat/PLAT_WindowImpl.h"

namespace plat {

namespace {
QListWidget* ListOf(const Wnd_t& w) { return qobject_cast<QListWidget*>(w.Impl()->widget.data()); }
QComboBox* ComboOf(const Wnd_t& w) { return qobject_cast<QComboBox*>(w.Impl()->widget.data()); }
QTreeWidget* ViewOf(const Wnd_t& w) { return qobject_cast<QTreeWidget*>(w.Impl()->widget.data()); }
}  // namespace

// ---- list box ----

int ListBox_t::AddString(const std::string& text) {
  QListWidget* l = ListOf(*this);
  if (l == nullptr) return kLbErr;
  auto* item = new QListWidgetItem(detail::FromUtf8(text));
  l->addItem(item);
  if (l->isSortingEnabled()) l->sortItems();
  return l->row(item);
}

void ListBox_t::ResetContent() {
  if (QListWidget* l = ListOf(*this)) {
    QSignalBlocker block(l);
    l->clear();
  }
}

int ListBox_t::GetCount() const {
  QListWidget* l = ListOf(*this);
  return l == nullptr ? kLbErr : l->count();
}

int ListBox_t::GetCurSel() const {
  QListWidget* l = ListOf(*this);
  if (l == nullptr || l->currentItem() == nullptr || !l->currentItem()->isSelected()) return kLbErr;
  return l->currentRow();
}

int ListBox_t::SetCurSel(int index) {
  QListWidget* l = ListOf(*this);
  if (l == nullptr || index >= l->count()) return kLbErr;
  QSignalBlocker block(l);
  if (index < 0) {
    l->setCurrentRow(-1);
    l->clearSelection();
    return kLbErr;
  }
  l->setCurrentRow(index);
  return index;
}

bool ListBox_t::GetText(int index, std::string& text) const {
  QListWidget* l = ListOf(*this);
  if (l == nullptr || index < 0 || index >= l->count()) return false;
  text = detail::ToUtf8(l->item(index)->text());
  return true;
}

int ListBox_t::FindStringExact(int start, const std::string& text) const {
  QListWidget* l = ListOf(*this);
  if (l == nullptr) return kLbErr;
  const QString t = detail::FromUtf8(text);
  const int n = l->count();
  for (int k = 1; k <= n; ++k) {
    const int row = ((start < 0 ? -1 : start) + k) % n;
    if (l->item(row)->text().compare(t, Qt::CaseInsensitive) == 0) return row;
  }
  return kLbErr;
}

// ---- combo box ----

int ComboBox_t::AddString(const std::string& text) {
  QComboBox* c = ComboOf(*this);
  if (c == nullptr) return kLbErr;
  c->addItem(detail::FromUtf8(text));
  return c->count() - 1;
}

void ComboBox_t::ResetContent() {
  if (QComboBox* c = ComboOf(*this)) c->clear();
}

int ComboBox_t::GetCount() const {
  QComboBox* c = ComboOf(*this);
  return c == nullptr ? kLbErr : c->count();
}

int ComboBox_t::GetCurSel() const {
  QComboBox* c = ComboOf(*this);
  return c == nullptr ? kLbErr : c->currentIndex();
}

int ComboBox_t::SetCurSel(int index) {
  QComboBox* c = ComboOf(*this);
  if (c == nullptr || index >= c->count()) return kLbErr;
  c->setCurrentIndex(index < 0 ? -1 : index);
  return index < 0 ? kLbErr : index;
}

bool ComboBox_t::GetLBText(int index, std::string& text) const {
  QComboBox* c = ComboOf(*this);
  if (c == nullptr || index < 0 || index >= c->count()) return false;
  text = detail::ToUtf8(c->itemText(index));
  return true;
}

void ComboBox_t::SelectAsUser(int index) {
  QComboBox* c = ComboOf(*this);
  if (c == nullptr || index < 0 || index >= c->count()) return;
  detail::Sync([&] {
    c->setCurrentIndex(index);
    emit c->activated(index);
  });
}

// ---- list view ----

int ListCtrl_t::InsertColumn(int index, const std::string& title, int format, int width) {
  QTreeWidget* v = ViewOf(*this);
  if (v == nullptr) return -1;
  const int n = v->columnCount();
  if (index < 0 || index > n) index = n;
  QTreeWidgetItem* header = v->headerItem();
  QStringList titles;
  for (int c = 0; c < n; ++c) titles << header->text(c);
  titles.insert(index, detail::FromUtf8(title));
  v->setColumnCount(n + 1);
  // Rows move their texts right of the new column.
  for (int r = 0; r < v->topLevelItemCount(); ++r) {
    QTreeWidgetItem* it = v->topLevelItem(r);
    for (int c = n; c > index; --c) it->setText(c, it->text(c - 1));
    it->setText(index, QString());
  }
  v->setHeaderLabels(titles);
  const Qt::Alignment a = format == kLvcfmtRight ? Qt::AlignRight : format == kLvcfmtCenter ? Qt::AlignHCenter : Qt::AlignLeft;
  header->setTextAlignment(index, a | Qt::AlignVCenter);
  v->setProperty(QStringLiteral("plat.align%1").arg(index).toUtf8().constData(), int(a));
  if (width < 0) v->resizeColumnToContents(index);
  else v->setColumnWidth(index, width);
  return index;
}

int ListCtrl_t::GetColumnCount() const {
  QTreeWidget* v = ViewOf(*this);
  return v == nullptr ? 0 : v->columnCount();
}

int ListCtrl_t::GetColumnWidth(int column) const {
  QTreeWidget* v = ViewOf(*this);
  return v == nullptr || column < 0 || column >= v->columnCount() ? 0 : v->columnWidth(column);
}

bool ListCtrl_t::SetColumnWidth(int column, int width) {
  QTreeWidget* v = ViewOf(*this);
  if (v == nullptr || column < 0 || column >= v->columnCount()) return false;
  if (width < 0) v->resizeColumnToContents(column);
  else v->setColumnWidth(column, width);
  return true;
}

std::string ListCtrl_t::GetColumnTitle(int column) const {
  QTreeWidget* v = ViewOf(*this);
  return v == nullptr ? std::string() : detail::ToUtf8(v->headerItem()->text(column));
}

int ListCtrl_t::InsertItem(int row, const std::string& text) {
  QTreeWidget* v = ViewOf(*this);
  if (v == nullptr) return -1;
  const int n = v->topLevelItemCount();
  if (row < 0 || row > n) row = n;
  auto* it = new QTreeWidgetItem;
  it->setText(0, detail::FromUtf8(text));
  for (int c = 0; c < v->columnCount(); ++c)
    it->setTextAlignment(c, Qt::Alignment(v->property(QStringLiteral("plat.align%1").arg(c).toUtf8().constData()).toInt()) | Qt::AlignVCenter);
  v->insertTopLevelItem(row, it);
  return row;
}

bool ListCtrl_t::SetItemText(int row, int column, const std::string& text) {
  QTreeWidget* v = ViewOf(*this);
  if (v == nullptr || row < 0 || row >= v->topLevelItemCount() || column < 0 || column >= std::max(1, v->columnCount()))
    return false;
  v->topLevelItem(row)->setText(column, detail::FromUtf8(text));
  return true;
}

std::string ListCtrl_t::GetItemText(int row, int column) const {
  QTreeWidget* v = ViewOf(*this);
  if (v == nullptr || row < 0 || row >= v->topLevelItemCount()) return std::string();
  return detail::ToUtf8(v->topLevelItem(row)->text(column));
}

bool ListCtrl_t::SetItemData(int row, std::uintptr_t data) {
  QTreeWidget* v = ViewOf(*this);
  if (v == nullptr || row < 0 || row >= v->topLevelItemCount()) return false;
  v->topLevelItem(row)->setData(0, Qt::UserRole, QVariant::fromValue<qulonglong>(data));
  return true;
}

std::uintptr_t ListCtrl_t::GetItemData(int row) const {
  QTreeWidget* v = ViewOf(*this);
  if (v == nullptr || row < 0 || row >= v->topLevelItemCount()) return 0;
  return static_cast<std::uintptr_t>(v->topLevelItem(row)->data(0, Qt::UserRole).toULongLong());
}

int ListCtrl_t::GetItemCount() const {
  QTreeWidget* v = ViewOf(*this);
  return v == nullptr ? 0 : v->topLevelItemCount();
}

bool ListCtrl_t::DeleteItem(int row) {
  QTreeWidget* v = ViewOf(*this);
  if (v == nullptr || row < 0 || row >= v->topLevelItemCount()) return false;
  delete v->takeTopLevelItem(row);
  return true;
}

void ListCtrl_t::DeleteAllItems() {
  if (QTreeWidget* v = ViewOf(*this)) v->clear();
}

int ListCtrl_t::GetSelectedItem() const {
  QTreeWidget* v = ViewOf(*this);
  if (v == nullptr) return -1;
  const QList<QTreeWidgetItem*> s = v->selectedItems();
  return s.isEmpty() ? -1 : v->indexOfTopLevelItem(s.front());
}

bool ListCtrl_t::SelectItem(int row) {
  QTreeWidget* v = ViewOf(*this);
  if (v == nullptr || row >= v->topLevelItemCount()) return false;
  detail::Sync([&] {
    if (row < 0) v->clearSelection();
    else v->setCurrentItem(v->topLevelItem(row));
  });
  return true;
}

int ListCtrl_t::GetStringWidth(const std::string& text) const {
  QTreeWidget* v = ViewOf(*this);
  return v == nullptr ? 0 : v->fontMetrics().horizontalAdvance(detail::FromUtf8(text));
}

int ListCtrl_t::GetRowAreaWidth() const {
  QTreeWidget* v = ViewOf(*this);
  if (v == nullptr) return 0;
  // From the control's size: the viewport keeps a stale size until the control is first shown.
  const QScrollBar* bar = v->verticalScrollBar();
  const bool barShown = v->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn ||
                        (v->verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded && bar->isVisibleTo(v));
  return std::max(0, v->width() - 2 * v->frameWidth() - (barShown ? bar->sizeHint().width() : 0));
}

int ListCtrl_t::GetNeededHeight() const {
  QTreeWidget* v = ViewOf(*this);
  if (v == nullptr) return 0;
  // Measured as shown: styled, even before the control was first shown.
  v->ensurePolished();
  v->header()->ensurePolished();
  int rows = 0;
  for (int r = 0; r < v->topLevelItemCount(); ++r) rows += std::max(0, v->sizeHintForRow(r));
  const int header = v->header()->isHidden() ? 0 : v->header()->sizeHint().height();
  return rows + header + 2 * v->frameWidth();
}

}  // namespace plat
