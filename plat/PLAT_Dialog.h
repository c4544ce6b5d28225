#pragma once
// Dialogs built from the dialog templates of the resource module
// (PLAT_DialogTemplate.h). A modal dialog runs its own loop in DoModal until
// EndDialog; OK (id 1) and Cancel (id 2) buttons, Enter on the default button,
// Escape and closing the window end it through OnOK and OnCancel.
#include <functional>
#include <memory>
#include <string>

#include "plat/PLAT_Module.h"
#include "plat/PLAT_Window.h"

namespace plat {

// The module that dialog templates (and the other resources of this layer)
// come from. The application sets it once at start-up.
void SetResourceHandle(ModuleHandle module);
ModuleHandle GetResourceHandle();

// Window classes of custom controls in dialog templates ("custom:<name>"): the
// factory makes the window object, which a dialog creates with Wnd_t::Create
// (a self-drawn child window) and owns. False when the name is taken.
using WindowFactory = std::function<std::unique_ptr<Wnd_t>()>;
bool RegisterWindowClass(const std::string& name, WindowFactory factory);
bool IsWindowClassRegistered(const std::string& name);

class Dialog_t : public Wnd_t {
 public:
  explicit Dialog_t(unsigned templateId, Wnd_t* parent = nullptr);
  ~Dialog_t() override;

  // Shows the dialog modally and returns the EndDialog result; -1 when the
  // template cannot be had or a custom control class is not registered (last
  // error 1813/1814/13/1407). An exception of OnInitDialog or of any handler
  // run while the dialog is up leaves DoModal (the window destroyed first).
  int DoModal();
  // Makes the dialog a child window of 'parent' (the template's size, at 0, 0)
  // for embedding; no loop runs. False as DoModal.
  bool CreateChild(Wnd_t* parent, int id);

  // Ends the modal loop with that result (hides the window at once).
  void EndDialog(int result);
  bool IsEnding() const { return m_ended; }

  unsigned GetTemplateId() const { return m_templateId; }
  // Dialog units to pixels of this dialog's font.
  RECT MapDialogRect(const RECT& dialogUnits) const;

 protected:
  // The controls exist; true to give the focus to the first tab stop.
  virtual bool OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  bool OnCommand(unsigned id, unsigned code) override;
  void OnClose() override;

 private:
  bool Build(Wnd_t* parent, bool child, int id);

  unsigned m_templateId;
  Wnd_t* m_parentWnd;
  int m_result = 0;
  bool m_ended = false;
  void* m_loop = nullptr;  // the running modal loop
};

// Test hook: called inside the loop of every modal dialog once it is up
// (OnInitDialog has run); it may read and set controls, click buttons or call
// EndDialog. A null hook removes it.
using ModalHook = std::function<void(Dialog_t& dialog)>;
void SetModalHook(ModalHook hook);

}  // namespace plat
