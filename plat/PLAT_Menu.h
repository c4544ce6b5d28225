#pragma once
// Menus: items with command ids, separators and popups, their enabled, check
// and radio states. A menu can be loaded from the resource module
// (PLAT_MenuTemplate.h), changed, shown as a frame's menu bar (PLAT_Frame.h) or
// as a popup menu at a point.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "plat/PLAT_Gdi.h"

namespace plat {

class Wnd_t;

class Menu_t {
 public:
  struct Item_t {
    unsigned id = 0;  // 0 for a separator and a popup
    std::string text;
    bool separator = false;
    bool enabled = true;
    int check = 0;
    bool radio = false;
    std::shared_ptr<Menu_t> popup;  // set for a popup
  };

  // Loads menu 'id' of the resource module; false (last error) when it has none.
  bool LoadMenu(unsigned id);

  int GetMenuItemCount() const { return static_cast<int>(m_items.size()); }
  // The command id at a position: 0 for a separator, 0xFFFFFFFF for a popup or
  // a position out of range.
  unsigned GetMenuItemID(int position) const;
  std::string GetMenuString(int position) const;
  // The popup at a position; null for another item.
  Menu_t* GetSubMenu(int position) const;
  const Item_t* ItemAt(int position) const;
  // The item of a command anywhere in the menu and its popups; null when none.
  Item_t* FindCommand(unsigned id);

  void AppendItem(unsigned id, const std::string& text);
  void AppendSeparator();
  Menu_t& AppendPopup(const std::string& text);
  bool DeleteMenu(int position);  // by position
  void RemoveAll() { m_items.clear(); }

  bool EnableMenuItem(unsigned id, bool enable);
  bool CheckMenuItem(unsigned id, int check);

 private:
  std::vector<Item_t> m_items;
};

// Shows a popup menu at a screen point and returns the command chosen, 0 when
// none. Before it shows, the owner's frame (when it has one) runs the update
// handlers of its items. A handler's exception leaves as with dialogs.
unsigned TrackPopupMenu(Menu_t& menu, Wnd_t* owner, POINT screenPoint);

// Test hook: when set, TrackPopupMenu shows nothing and returns what the hook
// chooses for the menu (after the update handlers ran). Null removes it.
using MenuHook = std::function<unsigned(const Menu_t& menu)>;
void SetMenuHook(MenuHook hook);

}  // namespace plat
