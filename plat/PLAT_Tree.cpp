#include "plat/PLAT_Tree.h"

#include <QHash>
#include <QIcon>
#include <QPixmap>
#include <QHeaderView>
#include <QTreeWidget>

#include <algorithm>

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

// The pictures of the trees, by tree (looked up for every item that gets one).
QHash<const QTreeWidget*, QList<QIcon>>& Images() {
  static auto* images = new QHash<const QTreeWidget*, QList<QIcon>>;
  return *images;
}

const QList<QIcon>& ImagesOf(const QTreeWidget* t) {
  static const QList<QIcon> none;
  const auto found = Images().constFind(t);
  return found != Images().constEnd() ? *found : none;
}

void SetData(QTreeWidgetItem* item, std::uintptr_t data) {
  item->setData(0, Qt::UserRole, QVariant::fromValue<qulonglong>(data));
}

// An item of one column, in no tree yet.
QTreeWidgetItem* NewItem(const std::string& text) {
  auto* item = new QTreeWidgetItem;
  item->setText(0, detail::FromUtf8(text));
  return item;
}

// 'item' and the items under it, in no tree yet.
QTreeWidgetItem* Detached(const TreeItem_t& item, const QList<QIcon>& icons) {
  QTreeWidgetItem* q = NewItem(item.text);
  if (item.image >= 0 && item.image < icons.size()) q->setIcon(0, icons[item.image]);
  if (item.data != 0) SetData(q, item.data);
  for (const TreeItem_t& child : item.children) q->addChild(Detached(child, icons));
  return q;
}

// Where a new item goes under 'parent' (kTviRoot) after 'after' (an item,
// kTviFirst or kTviLast): its parent item (null at the top) and index. False
// when the parent or the place is not an item of the tree.
bool Place(QTreeWidget* t, HTREEITEM parent, HTREEITEM after, QTreeWidgetItem*& p, int& at) {
  if (t == nullptr || (parent != kTviRoot && !Owns(t, parent))) return false;
  p = parent == kTviRoot ? nullptr : ItemOf(parent);
  if (after == kTviFirst) {
    at = 0;
  } else if (after == kTviLast) {
    at = p != nullptr ? p->childCount() : t->topLevelItemCount();
  } else {
    if (!Owns(t, after) || ItemOf(after)->parent() != p) return false;
    at = (p != nullptr ? p->indexOfChild(ItemOf(after)) : t->indexOfTopLevelItem(ItemOf(after))) + 1;
  }
  return true;
}

HTREEITEM Insert(QTreeWidget* t, QTreeWidgetItem* p, int at, QTreeWidgetItem* item) {
  if (p != nullptr) p->insertChild(at, item);
  else t->insertTopLevelItem(at, item);
  return HandleOf(item);
}
}  // namespace

HTREEITEM TreeCtrl_t::InsertItem(const std::string& text, HTREEITEM parent, HTREEITEM after) {
  QTreeWidget* t = TreeOf(*this);
  QTreeWidgetItem* p = nullptr;
  int at = 0;
  if (!Place(t, parent, after, p, at)) return 0;
  return Insert(t, p, at, NewItem(text));
}

HTREEITEM TreeCtrl_t::InsertItemTree(const TreeItem_t& item, HTREEITEM parent, HTREEITEM after) {
  QTreeWidget* t = TreeOf(*this);
  QTreeWidgetItem* p = nullptr;
  int at = 0;
  if (!Place(t, parent, after, p, at)) return 0;
  // Built whole before it joins the tree: the tree's model then announces one
  // insertion instead of one per item and one per picture and datum.
  return Insert(t, p, at, Detached(item, ImagesOf(t)));
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
  SetData(ItemOf(h), data);
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
  QList<QIcon> icons;
  for (const std::string& f : pngFiles) {
    QPixmap p;
    if (!p.loadFromData(reinterpret_cast<const uchar*>(f.data()), static_cast<uint>(f.size()), "PNG")) return false;
    icons << QIcon(p);
  }
  if (!Images().contains(t)) QObject::connect(t, &QObject::destroyed, [t] { Images().remove(t); });
  Images().insert(t, icons);
  return true;
}

bool TreeCtrl_t::SetItemImage(HTREEITEM h, int image) {
  QTreeWidget* t = TreeOf(*this);
  if (!Owns(t, h)) return false;
  const QList<QIcon>& icons = ImagesOf(t);
  if (image < 0 || image >= icons.size()) return false;
  ItemOf(h)->setIcon(0, icons[image]);
  return true;
}

bool TreeCtrl_t::GetItemRect(HTREEITEM item, RECT& rect, bool textOnly) const {
  QTreeWidget* t = TreeOf(*this);
  if (t == nullptr || !Owns(t, item)) return false;
  QTreeWidgetItem* it = ItemOf(item);
  for (QTreeWidgetItem* p = it->parent(); p != nullptr; p = p->parent())
    if (!p->isExpanded()) return false;
  const QRect row = t->visualItemRect(it);
  if (!row.isValid()) return false;
  const QPoint offset = t->viewport()->mapTo(t, QPoint(0, 0));
  QRect r = row.translated(offset);
  if (textOnly) {
    // The text follows the picture; it is cut at the end of its column.
    const int picture = it->icon(0).isNull() ? 0 : t->iconSize().width() + 4;
    const int left = r.left() + picture + 3;
    const int columnEnd = t->header()->sectionViewportPosition(0) + t->columnWidth(0) + offset.x();
    const int end = std::min(left + t->fontMetrics().horizontalAdvance(it->text(0)), columnEnd);
    r = QRect(QPoint(left, r.top()), QPoint(std::max(left, end) - 1, r.bottom()));
  }
  rect = RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
  return true;
}

}  // namespace plat
