#include "plat/PLAT_Tree.h"

#include <QIcon>
#include <QTreeWidget>

#include "plat/PLAT_WindowImpl.h"

namespace plat {

namespace {
QTreeWidget* TreeOf(const Wnd_t& w) { return qobject_cast<QTreeWidget*>(w.Impl()->widget.data()); }
QTreeWidgetItem* ItemOf(HTREEITEM h) { return reinterpret_cast<QTreeWidgetItem*>(h); }
HTREEITEM HandleOf(QTreeWidgetItem* item) { return reinterpret_cast<HTREEITEM>(item); }
// True when the handle is an item of this tree.
bool Owns(QTreeWidget* t, HTREEITEM h) {
  return t != nullptr && h != 0 && h != kTviFirst && h != kTviLast && ItemOf(h)->treeWidget() == t;
}
QTreeWidgetItem* Sibling(QTreeWidgetItem* item, int step) {
  QTreeWidgetItem* p = item->parent();
  QTreeWidget* t = item->treeWidget();
  const int at = p != nullptr ? p->indexOfChild(item) : t->indexOfTopLevelItem(item);
  const int n = p != nullptr ? p->childCount() : t->topLevelItemCount();
  const int k = at + step;
  if (k < 0 || k >= n) return nullptr;
  return p != nullptr ? p->child(k) : t->topLevelItem(k);
}
}  // namespace

HTREEITEM TreeCtrl_t::InsertItem(const std::string& text, HTREEITEM parent, HTREEITEM after) {
  QTreeWidget* t = TreeOf(*this);
  if (t == nullptr || (parent != kTviRoot && !Owns(t, parent))) return 0;
  QTreeWidgetItem* p = parent == kTviRoot ? nullptr : ItemOf(parent);
  const int n = p != nullptr ? p->childCount() : t->topLevelItemCount();
  int at = n;
  if (after == kTviFirst) {
    at = 0;
  } else if (after != kTviLast) {
    if (!Owns(t, after) || ItemOf(after)->parent() != p) return 0;
    at = (p != nullptr ? p->indexOfChild(ItemOf(after)) : t->indexOfTopLevelItem(ItemOf(after))) + 1;
  }
  auto* item = new QTreeWidgetItem(QStringList(detail::FromUtf8(text)));
  if (p != nullptr) p->insertChild(at, item);
  else t->insertTopLevelItem(at, item);
  return HandleOf(item);
}

bool TreeCtrl_t::DeleteItem(HTREEITEM h) {
  QTreeWidget* t = TreeOf(*this);
  if (!Owns(t, h)) return false;
  detail::Sync([&] { delete ItemOf(h); });
  return true;
}

void TreeCtrl_t::DeleteAllItems() {
  if (QTreeWidget* t = TreeOf(*this)) detail::Sync([&] { t->clear(); });
}

std::string TreeCtrl_t::GetItemText(HTREEITEM h) const {
  return Owns(TreeOf(*this), h) ? detail::ToUtf8(ItemOf(h)->text(0)) : std::string();
}

bool TreeCtrl_t::SetItemText(HTREEITEM h, const std::string& text) {
  if (!Owns(TreeOf(*this), h)) return false;
  ItemOf(h)->setText(0, detail::FromUtf8(text));
  return true;
}

bool TreeCtrl_t::SetItemData(HTREEITEM h, std::uintptr_t data) {
  if (!Owns(TreeOf(*this), h)) return false;
  ItemOf(h)->setData(0, Qt::UserRole, QVariant::fromValue<qulonglong>(data));
  return true;
}

std::uintptr_t TreeCtrl_t::GetItemData(HTREEITEM h) const {
  if (!Owns(TreeOf(*this), h)) return 0;
  return static_cast<std::uintptr_t>(ItemOf(h)->data(0, Qt::UserRole).toULongLong());
}

HTREEITEM TreeCtrl_t::GetRootItem() const {
  QTreeWidget* t = TreeOf(*this);
  return t == nullptr || t->topLevelItemCount() == 0 ? 0 : HandleOf(t->topLevelItem(0));
}

HTREEITEM TreeCtrl_t::GetChildItem(HTREEITEM h) const {
  if (!Owns(TreeOf(*this), h) || ItemOf(h)->childCount() == 0) return 0;
  return HandleOf(ItemOf(h)->child(0));
}

HTREEITEM TreeCtrl_t::GetNextSiblingItem(HTREEITEM h) const {
  return Owns(TreeOf(*this), h) ? HandleOf(Sibling(ItemOf(h), 1)) : 0;
}

HTREEITEM TreeCtrl_t::GetPrevSiblingItem(HTREEITEM h) const {
  return Owns(TreeOf(*this), h) ? HandleOf(Sibling(ItemOf(h), -1)) : 0;
}

HTREEITEM TreeCtrl_t::GetParentItem(HTREEITEM h) const {
  return Owns(TreeOf(*this), h) ? HandleOf(ItemOf(h)->parent()) : 0;
}

HTREEITEM TreeCtrl_t::GetSelectedItem() const {
  QTreeWidget* t = TreeOf(*this);
  return t == nullptr ? 0 : HandleOf(t->currentItem());
}

bool TreeCtrl_t::SelectItem(HTREEITEM h) {
  QTreeWidget* t = TreeOf(*this);
  if (t == nullptr || (h != 0 && !Owns(t, h))) return false;
  detail::Sync([&] { t->setCurrentItem(ItemOf(h)); });
  return true;
}

bool TreeCtrl_t::Expand(HTREEITEM h, bool expand) {
  if (!Owns(TreeOf(*this), h)) return false;
  ItemOf(h)->setExpanded(expand);
  return true;
}

bool TreeCtrl_t::IsExpanded(HTREEITEM h) const { return Owns(TreeOf(*this), h) && ItemOf(h)->isExpanded(); }

bool TreeCtrl_t::ItemHasChildren(HTREEITEM h) const { return Owns(TreeOf(*this), h) && ItemOf(h)->childCount() > 0; }

int TreeCtrl_t::GetCount() const {
  QTreeWidget* t = TreeOf(*this);
  if (t == nullptr) return 0;
  int n = 0;
  for (QTreeWidgetItemIterator it(t); *it; ++it) ++n;
  return n;
}

bool TreeCtrl_t::SetImages(const std::vector<std::string>& pngFiles) {
  QTreeWidget* t = TreeOf(*this);
  if (t == nullptr) return false;
  QVariantList icons;
  for (const std::string& f : pngFiles) {
    QPixmap p;
    if (!p.loadFromData(reinterpret_cast<const uchar*>(f.data()), static_cast<uint>(f.size()), "PNG")) return false;
    icons << QVariant::fromValue(QIcon(p));
  }
  t->setProperty("plat.images", icons);
  return true;
}

bool TreeCtrl_t::SetItemImage(HTREEITEM h, int image) {
  QTreeWidget* t = TreeOf(*this);
  if (!Owns(t, h)) return false;
  const QVariantList icons = t->property("plat.images").toList();
  if (image < 0 || image >= icons.size()) return false;
  ItemOf(h)->setIcon(0, icons[image].value<QIcon>());
  return true;
}

}  // namespace plat
