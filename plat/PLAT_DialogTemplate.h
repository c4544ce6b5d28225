#pragma once
// Dialog templates: the layout of a dialog as the language module carries it.
//
// A template file holds any number of dialogs:
//
//   # comment
//   dialog 5605 320 180 "Title" sizable
//     static    5607   7   7 306  24 "Introduction"
//     edit      5601   7  34 306 110 "" multiline readonly vscroll tabstop
//     button    5600   7 156  60  14 "&Copy" tabstop group
//     default      1 253 156  60  14 "OK" tabstop
//     custom:SerialCommSettingCtrl 1001 7 7 100 40 ""
//   end
//
// A dialog line gives the id, the width and height in dialog units, the title
// and the dialog's flags. Every control line gives the kind, the control id
// (-1 for none), x, y, width and height in dialog units, the text in double
// quotes (C escapes \n \t \" \\) and flags. Kinds: static, edit, button,
// default (the default push button), check, radio, groupbox, list, combo,
// tree, listview, datetime, progress, statusbar, richedit, and custom:<class name> for a
// window class registered by the program. Dialog units: 4 horizontal units are
// the average character width of the dialog font, 8 vertical units its height.
//
// The language module stores each dialog as the text of its own block (the
// lines from "dialog" to "end"); the same parser reads it back.
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

struct DialogItemTemplate {
  std::string kind;       // "static", ..., or the registered class name of a custom control
  bool custom = false;
  int id = -1;
  int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  std::string text;
  std::uint32_t style = 0;  // window style bits and the kind's own bits
};

struct DialogTemplate {
  unsigned id = 0;
  int cx = 0, cy = 0;  // dialog units
  std::string title;
  std::uint32_t style = 0;
  std::vector<DialogItemTemplate> items;  // in template order (tab and group order)
  std::string source;  // the text of the dialog's block
};

// The kind's own style bits of controls (the classic values).
enum : std::uint32_t {
  kSsCenter = 0x0001,
  kSsRight = 0x0002,
  kEsMultiline = 0x0004,
  kEsPassword = 0x0020,
  kEsAutoHScroll = 0x0080,
  kEsReadOnly = 0x0800,
  kEsNumber = 0x2000,
  kSbarsSizeGrip = 0x0100,
  kLbsSort = 0x0002,
};

// Parses every dialog of a template text. False with the line number (1-based)
// and a message on the first error: unknown kind or flag, bad number, missing
// "end", unterminated text, a duplicate control id inside a dialog (except -1),
// or a duplicate dialog id.
bool ParseDialogTemplates(const std::string& text, std::vector<DialogTemplate>& dialogs, int& errorLine,
                          std::string& error);

// Parses the one dialog of a block as stored in the language module.
bool ParseDialogTemplate(const std::string& block, DialogTemplate& dialog);

}  // namespace plat
