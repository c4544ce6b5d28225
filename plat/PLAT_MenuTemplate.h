#pragma once
// Menu and toolbar templates, as the language module carries them.
//
//   menu 128
//     popup "&File"
//       item 32782 "&Transfer...\tCtrl+T"
//       separator
//       item 57665 "E&xit"
//     end
//   end
//
//   toolbar 128
//     button 32782 "Transfer"
//     separator
//     button 57665 "Exit"
//   end
//
// An item gives its command id and its text ("\t" and a key combination such as
// Ctrl+T, Ctrl+Shift+F5 or Del adds a shortcut); popups nest. A toolbar button
// gives its command id and its tool tip. Numbers are decimal or 0x hexadecimal.
// The module stores each block's text; the same parser reads it back.
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

struct MenuTemplateItem {
  enum Kind { kItem, kSeparator, kPopup };
  Kind kind = kItem;
  unsigned id = 0;
  std::string text;
  std::vector<MenuTemplateItem> items;  // of a popup
};

struct MenuTemplate {
  unsigned id = 0;
  bool toolbar = false;  // a toolbar: items are buttons and separators
  std::vector<MenuTemplateItem> items;
  std::string source;
};

// Parses every menu and toolbar of a template text; false with the line number
// and a message on the first error (unknown keyword, bad number or text, a
// missing "end", a popup in a toolbar, a duplicate id of the same kind).
bool ParseMenuTemplates(const std::string& text, std::vector<MenuTemplate>& menus, int& errorLine,
                        std::string& error);

// Parses the one block as stored in the language module.
bool ParseMenuTemplate(const std::string& block, MenuTemplate& menu);

}  // namespace plat
