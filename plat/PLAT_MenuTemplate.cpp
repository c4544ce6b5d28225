#include "plat/PLAT_MenuTemplate.h"

#include <set>
#include <sstream>

#include "plat/PLAT_TemplateText.h"

namespace plat {

bool ParseMenuTemplates(const std::string& text, std::vector<MenuTemplate>& menus, int& errorLine,
                        std::string& error) {
  std::istringstream in(text);
  std::string line;
  int number = 0;
  std::set<std::pair<bool, unsigned>> ids;
  for (const MenuTemplate& m : menus) ids.insert({m.toolbar, m.id});
  MenuTemplate current;
  // The open popups: the list that new items go to, innermost last.
  std::vector<std::vector<MenuTemplateItem>*> open;
  int openedAt = 0;
  auto fail = [&](const std::string& message) {
    errorLine = number;
    error = message;
    return false;
  };
  while (std::getline(in, line)) {
    ++number;
    std::vector<std::string> words;
    std::vector<bool> quoted;
    if (!detail::Tokenise(line, words, quoted, error)) return fail(error);
    if (words.empty()) continue;
    if (!open.empty()) current.source += line + "\n";
    const std::string& head = words[0];
    int id = 0;
    if (head == "menu" || head == "toolbar") {
      if (!open.empty()) return fail("'" + head + "' inside a block (missing 'end')");
      if (words.size() != 2 || !detail::ToInt(words[1], id) || id < 0) return fail("expected: " + head + " <id>");
      current = MenuTemplate();
      current.id = static_cast<unsigned>(id);
      current.toolbar = head == "toolbar";
      if (!ids.insert({current.toolbar, current.id}).second) return fail(head + " " + words[1] + " is already defined");
      current.source = line + "\n";
      open.push_back(&current.items);
      openedAt = number;
      continue;
    }
    if (open.empty()) return fail("'" + head + "' outside a menu or toolbar");
    if (head == "end") {
      if (words.size() != 1) return fail("'end' takes nothing");
      open.pop_back();
      if (open.empty()) menus.push_back(current);
      continue;
    }
    MenuTemplateItem item;
    if (head == "separator") {
      if (words.size() != 1) return fail("'separator' takes nothing");
      item.kind = MenuTemplateItem::kSeparator;
    } else if (head == "popup" && !current.toolbar) {
      if (words.size() != 2 || !quoted[1]) return fail("expected: popup \"<text>\"");
      item.kind = MenuTemplateItem::kPopup;
      item.text = words[1];
    } else if ((head == "item" && !current.toolbar) || (head == "button" && current.toolbar)) {
      if (words.size() != 3 || !detail::ToInt(words[1], id) || id <= 0 || !quoted[2])
        return fail("expected: " + head + " <id> \"<text>\"");
      item.id = static_cast<unsigned>(id);
      item.text = words[2];
    } else {
      return fail("'" + head + "' does not belong in a " + (current.toolbar ? "toolbar" : "menu"));
    }
    open.back()->push_back(item);
    if (item.kind == MenuTemplateItem::kPopup) open.push_back(&open.back()->back().items);
  }
  if (!open.empty()) {
    errorLine = openedAt;
    error = "block without 'end'";
    return false;
  }
  return true;
}

bool ParseMenuTemplate(const std::string& block, MenuTemplate& menu) {
  return detail::ParseOneBlock(block, menu, ParseMenuTemplates);
}

}  // namespace plat
