#pragma once
// The child dialog with the port selector that other dialogs embed. It tells
// its parent of every change by kWmNotify with an NmHdr_t.
#include <cstdint>
#include <optional>
#include <string>

#include "glo/GLO_NonCopyable.h"
#include "plat/PLAT_Dialog.h"
#include "xfr/XFR_SerialCommSettingCtrl.h"

namespace xfr {

// The notification message and what it points to.
constexpr unsigned kWmNotify = 0x004E;
struct NmHdr_t {
  plat::HWND hwndFrom = 0;
  std::uintptr_t idFrom = 0;
  unsigned code = 0;
};
// Notification codes.
enum : unsigned {
  kPortSelected = 0,  // chosen from the list, or selected by the search
  kPortTyped = 1,
  kBaudSelected = 2,
};

class SerialCommSettingCtrlDlg_t : public plat::Dialog_t, glo::NonCopyable_t {
 public:
  // The template's id is the dialog's control id too. Registers the window class
  // "SerialCommSettingCtrlDlg" the first time.
  SerialCommSettingCtrlDlg_t(unsigned templateId, const std::string& initialPort,
                             std::optional<std::uint32_t> initialBaud = std::nullopt);
  ~SerialCommSettingCtrlDlg_t() override;

  // Creates the dialog as a child of the parent, which receives the notifications.
  bool CreateInPlace(plat::Wnd_t& parent);
  // For the parent's OK: false (the parent stays open) when the parent saves and
  // the choice is not valid; the user has been told why.
  bool ValidateOnSave(bool saving) const;

  SerialCommSettingCtrl_t& Ctrl() { return m_ctrl; }
  const SerialCommSettingCtrl_t& Ctrl() const { return m_ctrl; }

 protected:
  bool OnInitDialog() override;
  bool OnCommand(unsigned id, unsigned code) override;

 private:
  void Notify(unsigned code);

  SerialCommSettingCtrl_t m_ctrl;
  unsigned m_templateId;
  plat::Wnd_t* m_parent = nullptr;
  std::optional<std::uint32_t> m_initialBaud;
};

}  // namespace xfr
