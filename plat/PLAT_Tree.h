#pragma once
// Tree controls ("tree"). Items are named by handles; kTviRoot and kTviLast
// place new items. The parent hears kTvnSelChanged when the selection changes
// and kNmDblClk on a double click.
#include <cstdint>
#include <string>
#include <vector>

#include "plat/PLAT_Window.h"

namespace plat {

using HTREEITEM = std::uintptr_t;  // 0 is no item
constexpr HTREEITEM kTviRoot = 0;
constexpr HTREEITEM kTviFirst = ~std::uintptr_t(0) - 1;
constexpr HTREEITEM kTviLast = ~std::uintptr_t(0);

// An item with the items under it, for InsertItemTree.
struct TreeItem_t {
  std::string text;
  int image = -1;  // an index into the pictures set with SetImages; none when outside them
  std::uintptr_t data = 0;
  std::vector<TreeItem_t> children;
};

class TreeCtrl_t : public Wnd_t {
 public:
  bool Create(Wnd_t* parent, int id, std::uint32_t style, const RECT& rect) {
    return CreateControl("tree", parent, id, style, rect, std::string());
  }
  // A new item under 'parent' (kTviRoot), after 'after' (an item, kTviFirst or
  // kTviLast); 0 when the parent or the place is not an item of this tree.
  HTREEITEM InsertItem(const std::string& text, HTREEITEM parent = kTviRoot, HTREEITEM after = kTviLast);
  // 'item' and the items under it, placed as InsertItem places one, as one
  // change of the tree: the same items that InsertItem, SetItemImage and
  // SetItemData would make one by one, in a fraction of the time. The new
  // top item, or 0 as InsertItem.
  HTREEITEM InsertItemTree(const TreeItem_t& item, HTREEITEM parent = kTviRoot, HTREEITEM after = kTviLast);
  bool DeleteItem(HTREEITEM item);
  void DeleteAllItems();
  std::string GetItemText(HTREEITEM item) const;
  bool SetItemText(HTREEITEM item, const std::string& text);
  bool SetItemData(HTREEITEM item, std::uintptr_t data);
  std::uintptr_t GetItemData(HTREEITEM item) const;
  HTREEITEM GetRootItem() const;
  HTREEITEM GetChildItem(HTREEITEM item) const;
  HTREEITEM GetNextSiblingItem(HTREEITEM item) const;
  HTREEITEM GetPrevSiblingItem(HTREEITEM item) const;
  HTREEITEM GetParentItem(HTREEITEM item) const;
  HTREEITEM GetSelectedItem() const;
  bool SelectItem(HTREEITEM item);  // 0 clears the selection
  bool Expand(HTREEITEM item, bool expand);
  bool ItemHasChildren(HTREEITEM item) const;
  int GetCount() const;
  // The item's rectangle in the client area while it is shown (its parents
  // expanded; it may reach beyond a side that is scrolled out of view): the
  // whole row, or with 'textOnly' the part of its text that is drawn (a text
  // wider than its room is cut there). False when not shown.
  bool GetItemRect(HTREEITEM item, RECT& rect, bool textOnly) const;
  // The item's picture, an index into the pictures set with SetImages.
  bool SetItemImage(HTREEITEM item, int image);
  // Pictures for the items: the bytes of PNG images (resources of the language
  // module, for example).
  bool SetImages(const std::vector<std::string>& pngFiles);
};

}  // namespace plat
