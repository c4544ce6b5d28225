#pragma once
// Commands and their update handlers.
//
// A command (a menu item, a toolbar button, an accelerator) is an id. A frame
// routes it along its targets — the view with the focus (or the active view),
// that view's document, the frame, the application — until one handles it
// (OnCommand returns true). Before a menu opens, and for the toolbar when the
// program is idle, each command's state is asked for the same way: the first
// target whose OnUpdateCommand returns true sets it.
#include <string>

namespace plat {

// The state of one command's menu item or toolbar button.
class CmdUI_t {
 public:
  explicit CmdUI_t(unsigned id) : m_id(id) {}
  unsigned GetId() const { return m_id; }
  void Enable(bool on = true) { m_enabled = on; }
  // 0 unchecked, 1 checked.
  void SetCheck(int check = 1) { m_check = check, m_radio = false; }
  // The radio mark instead of the check mark.
  void SetRadio(bool on = true) { m_check = on ? 1 : 0, m_radio = true; }
  void SetText(const std::string& text) { m_text = text, m_hasText = true; }

  bool IsEnabled() const { return m_enabled; }
  int GetCheck() const { return m_check; }
  bool IsRadio() const { return m_radio; }
  bool HasText() const { return m_hasText; }
  const std::string& GetText() const { return m_text; }

 private:
  unsigned m_id;
  bool m_enabled = true;
  int m_check = 0;
  bool m_radio = false;
  bool m_hasText = false;
  std::string m_text;
};

class CmdTarget_t {
 public:
  virtual ~CmdTarget_t() = default;
  // A command (code 0) or a control's notification; true when handled.
  virtual bool OnCommand(unsigned id, unsigned code);
  // Sets the command's state; true when this target knows the command.
  virtual bool OnUpdateCommand(CmdUI_t& ui);
};

// The application's target, the last one of every route (null: none).
void SetAppCmdTarget(CmdTarget_t* target);
CmdTarget_t* GetAppCmdTarget();

}  // namespace plat
