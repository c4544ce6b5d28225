#pragma once
// Edit controls ("edit"): one line, or several with kEsMultiline. The text is
// the window text; the parent hears kEnChange, kEnSetFocus and kEnKillFocus.
#include "plat/PLAT_Window.h"

namespace plat {

class Edit_t : public Wnd_t {
 public:
  bool Create(Wnd_t* parent, int id, std::uint32_t style, const RECT& rect, const std::string& text = {}) {
    return CreateControl("edit", parent, id, style, rect, text);
  }
  void SetReadOnly(bool readOnly);
  bool IsReadOnly() const;
};

}  // namespace plat
