#include "plat/PLAT_DialogTemplate.h"

#include <cstdlib>
#include <map>
#include <set>
#include <sstream>

#include "plat/PLAT_TemplateText.h"
#include "plat/PLAT_Window.h"

namespace plat {

namespace {

const std::set<std::string>& Kinds() {
  static const std::set<std::string> kinds = {"static", "edit",     "button", "default",  "check",
                                              "radio",  "groupbox", "list",   "combo",    "tree",
                                              "listview", "datetime", "progress", "statusbar",
                                              "richedit"};
  return kinds;
}

// Flags of controls and dialogs: the bits they add, and for "hidden" the bit
// they take away (controls are visible unless hidden).
const std::map<std::string, std::uint32_t>& Flags() {
  static const std::map<std::string, std::uint32_t> flags = {
      {"group", kWsGroup},        {"tabstop", kWsTabStop},    {"disabled", kWsDisabled},
      {"vscroll", kWsVScroll},    {"hscroll", kWsHScroll},    {"border", kWsBorder},
      {"sizable", kWsThickFrame}, {"sysmenu", kWsSysMenu},    {"center", kSsCenter},
      {"right", kSsRight},        {"multiline", kEsMultiline}, {"password", kEsPassword},
      {"autohscroll", kEsAutoHScroll}, {"readonly", kEsReadOnly}, {"number", kEsNumber},
      {"sizegrip", kSbarsSizeGrip}, {"sort", kLbsSort},      {"hidden", 0}};
  return flags;
}

}  // namespace

namespace detail {

bool Tokenise(const std::string& line, std::vector<std::string>& words, std::vector<bool>& quoted,
              std::string& error) {
  size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
      continue;
    }
    if (c == '#') break;
    if (c == '"') {
      std::string text;
      ++i;
      bool closed = false;
      while (i < line.size()) {
        char ch = line[i++];
        if (ch == '"') {
          closed = true;
          break;
        }
        if (ch == '\\') {
          if (i >= line.size()) break;
          const char e = line[i++];
          switch (e) {
            case 'n': ch = '\n'; break;
            case 't': ch = '\t'; break;
            case 'r': ch = '\r'; break;
            case '"': ch = '"'; break;
            case '\\': ch = '\\'; break;
            default: error = std::string("unknown escape \\") + e; return false;
          }
        }
        text += ch;
      }
      if (!closed) {
        error = "unterminated text";
        return false;
      }
      words.push_back(text);
      quoted.push_back(true);
      continue;
    }
    size_t end = i;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r') ++end;
    words.push_back(line.substr(i, end - i));
    quoted.push_back(false);
    i = end;
  }
  return true;
}

bool ToInt(const std::string& s, int& value) {
  if (s.empty()) return false;
  char* end = nullptr;
  const bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
  const long v = hex ? std::strtol(s.c_str() + 2, &end, 16) : std::strtol(s.c_str(), &end, 10);
  if (*end != '\0' || v < -32768 || v > 65535) return false;
  value = static_cast<int>(v);
  return true;
}

}  // namespace detail

namespace {

using detail::ToInt;
using detail::Tokenise;

bool ApplyFlags(const std::vector<std::string>& words, size_t from, std::uint32_t& style, std::string& error) {
  for (size_t k = from; k < words.size(); ++k) {
    const auto it = Flags().find(words[k]);
    if (it == Flags().end()) {
      error = "unknown flag '" + words[k] + "'";
      return false;
    }
    if (words[k] == "hidden") style &= ~kWsVisible;
    else style |= it->second;
  }
  return true;
}

}  // namespace

bool ParseDialogTemplates(const std::string& text, std::vector<DialogTemplate>& dialogs, int& errorLine,
                          std::string& error) {
  std::istringstream in(text);
  std::string line;
  int number = 0;
  DialogTemplate current;
  bool open = false;
  int openedAt = 0;
  std::set<int> ids;
  std::set<unsigned> dialogIds;
  for (const DialogTemplate& d : dialogs) dialogIds.insert(d.id);
  auto fail = [&](const std::string& message) {
    errorLine = number;
    error = message;
    return false;
  };
  while (std::getline(in, line)) {
    ++number;
    std::vector<std::string> words;
    std::vector<bool> quoted;
    if (!Tokenise(line, words, quoted, error)) return fail(error);
    if (words.empty()) continue;
    if (open) current.source += line + "\n";
    const std::string& head = words[0];
    if (head == "dialog") {
      if (open) return fail("'dialog' inside a dialog (missing 'end')");
      int id = 0;
      if (words.size() < 5 || !ToInt(words[1], id) || id < 0 || !ToInt(words[2], current.cx) ||
          !ToInt(words[3], current.cy) || !quoted[4])
        return fail("expected: dialog <id> <width> <height> \"<title>\" [flags]");
      if (!dialogIds.insert(static_cast<unsigned>(id)).second)
        return fail("dialog " + words[1] + " is already defined");
      current.id = static_cast<unsigned>(id);
      current.title = words[4];
      current.style = kWsPopup | kWsCaption | kWsSysMenu;
      if (!ApplyFlags(words, 5, current.style, error)) return fail(error);
      current.items.clear();
      current.source = line + "\n";
      ids.clear();
      open = true;
      openedAt = number;
      continue;
    }
    if (!open) return fail("'" + head + "' outside a dialog");
    if (head == "end") {
      if (words.size() != 1) return fail("'end' takes nothing");
      dialogs.push_back(current);
      current = DialogTemplate();
      open = false;
      continue;
    }
    DialogItemTemplate item;
    if (head.rfind("custom:", 0) == 0) {
      item.kind = head.substr(7);
      item.custom = true;
      if (item.kind.empty()) return fail("custom control without a class name");
    } else if (Kinds().count(head) != 0) {
      item.kind = head;
    } else {
      return fail("unknown control kind '" + head + "'");
    }
    if (words.size() < 7 || !ToInt(words[1], item.id) || !ToInt(words[2], item.x) || !ToInt(words[3], item.y) ||
        !ToInt(words[4], item.cx) || !ToInt(words[5], item.cy) || !quoted[6])
      return fail("expected: <kind> <id> <x> <y> <width> <height> \"<text>\" [flags]");
    if (item.id != -1 && !ids.insert(item.id).second) return fail("control " + words[1] + " appears twice");
    item.text = words[6];
    item.style = kWsChild | kWsVisible;
    if (!ApplyFlags(words, 7, item.style, error)) return fail(error);
    current.items.push_back(item);
  }
  if (open) {
    errorLine = openedAt;
    error = "dialog without 'end'";
    return false;
  }
  return true;
}

bool ParseDialogTemplate(const std::string& block, DialogTemplate& dialog) {
  return detail::ParseOneBlock(block, dialog, ParseDialogTemplates);
}

}  // namespace plat
