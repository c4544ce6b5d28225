#pragma once
// Message boxes: a text, a caption, a set of buttons and an icon, shown
// modally; the result is the id of the button pressed (kIdOk, kIdYes, ...).
#include <functional>
#include <string>

namespace plat {

class Wnd_t;

enum : unsigned {
  kMbOk = 0x00,
  kMbOkCancel = 0x01,
  kMbAbortRetryIgnore = 0x02,
  kMbYesNoCancel = 0x03,
  kMbYesNo = 0x04,
  kMbRetryCancel = 0x05,
  kMbIconStop = 0x10,
  kMbIconQuestion = 0x20,
  kMbIconExclamation = 0x30,
  kMbIconInformation = 0x40,
  kMbDefButton2 = 0x100,
  kMbDefButton3 = 0x200,
};

// Shows the box over 'owner' (or the main window) and returns the button's id;
// closing it without a button gives Cancel where there is one, else the only
// button's id. Handler exceptions leave as with dialogs (PLAT_Dialog.h).
int MessageBox(Wnd_t* owner, const std::string& text, const std::string& caption, unsigned type);

// Test hook: when set, MessageBox shows nothing and returns what the hook
// answers for (text, caption, type). A null hook removes it.
using MessageBoxHook = std::function<int(const std::string& text, const std::string& caption, unsigned type)>;
void SetMessageBoxHook(MessageBoxHook hook);

}  // namespace plat
