#pragma once
// Static text controls and group boxes ("static", "groupbox").
#include "plat/PLAT_Window.h"

namespace plat {

class Static_t : public Wnd_t {
 public:
  // Style kSsCenter or kSsRight aligns the text; an '&' marks nothing ("&&" is one '&').
  bool Create(Wnd_t* parent, int id, std::uint32_t style, const RECT& rect, const std::string& text) {
    return CreateControl("static", parent, id, style, rect, text);
  }
};

}  // namespace plat
