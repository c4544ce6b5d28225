#pragma once
// Progress bars ("progress") and status bars ("statusbar"; kSbarsSizeGrip adds
// the size grip in the corner).
#include <string>
#include <vector>

#include "plat/PLAT_Window.h"

namespace plat {

class ProgressCtrl_t : public Wnd_t {
 public:
  bool Create(Wnd_t* parent, int id, std::uint32_t style, const RECT& rect) {
    return CreateControl("progress", parent, id, style, rect, std::string());
  }
  void SetRange(int lower, int upper);
  void GetRange(int& lower, int& upper) const;
  int SetPos(int pos);  // the previous position
  int GetPos() const;
};

class StatusBarCtrl_t : public Wnd_t {
 public:
  bool Create(Wnd_t* parent, int id, std::uint32_t style, const RECT& rect) {
    return CreateControl("statusbar", parent, id, style, rect, std::string());
  }
  // Simple mode shows one text across the bar; otherwise the parts show.
  void SetSimple(bool simple);
  bool IsSimple() const;
  // Part 0x1FF (or 255) is the simple mode's text.
  bool SetText(int part, const std::string& text);
  std::string GetText(int part) const;
  bool HasSizeGrip() const;
  // The height the bar wants for the dialog font.
  int GetIdealHeight() const;
};

}  // namespace plat
