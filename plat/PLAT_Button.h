#pragma once
// Buttons ("button", "default", "check", "radio"). A click tells the parent
// kBnClicked. Radio buttons check themselves when clicked and uncheck the
// other radio buttons of their group (PLAT_Window.h: groups start at kWsGroup).
#include "plat/PLAT_Window.h"

namespace plat {

enum : int { kBstUnchecked = 0, kBstChecked = 1 };

class Button_t : public Wnd_t {
 public:
  // kind: "button", "default", "check" or "radio".
  bool Create(Wnd_t* parent, int id, std::uint32_t style, const RECT& rect, const std::string& text,
              const std::string& kind = "button") {
    return CreateControl(kind, parent, id, style, rect, text);
  }
  // kBstChecked or kBstUnchecked (push buttons: always unchecked).
  int GetCheck() const;
  void SetCheck(int state);
  // Clicks the button as the user would (its handlers run before this returns).
  void Click();
  bool IsRadio() const;
};

}  // namespace plat
