#include "xfr/XFR_SerialCommSettingCtrlDlg.h"

#include <memory>

#include "glo/GLO_Exception.h"
#include "plat/PLAT_ComboEdit.h"

namespace xfr {

SerialCommSettingCtrlDlg_t::SerialCommSettingCtrlDlg_t(unsigned templateId, const std::string& initialPort,
                                                       std::optional<std::uint32_t> initialBaud)
    : plat::Dialog_t(templateId, nullptr),
      m_ctrl(initialPort, initialBaud),
      m_templateId(templateId),
      m_initialBaud(initialBaud) {
  if (!plat::IsWindowClassRegistered("SerialCommSettingCtrlDlg"))
    GLO_ASSERT(plat::RegisterWindowClass("SerialCommSettingCtrlDlg", [] { return std::make_unique<plat::Wnd_t>(); }));
}

SerialCommSettingCtrlDlg_t::~SerialCommSettingCtrlDlg_t() {
  try {
    if (HasWindow()) DestroyWindow();
  } catch (...) {
  }
  m_parent = nullptr;
}

bool SerialCommSettingCtrlDlg_t::CreateInPlace(plat::Wnd_t& parent) {
  m_parent = &parent;
  return CreateChild(&parent, static_cast<int>(m_templateId));
}

bool SerialCommSettingCtrlDlg_t::ValidateOnSave(bool saving) const { return !saving || m_ctrl.IsValid(); }

bool SerialCommSettingCtrlDlg_t::OnInitDialog() {
  plat::Dialog_t::OnInitDialog();
  m_ctrl.Attach(*this);
  return false;
}

bool SerialCommSettingCtrlDlg_t::OnCommand(unsigned id, unsigned code) {
  if (id == kPortList && code == plat::kLbnSelChange) {
    Notify(kPortSelected);
  } else if (id == kPortList && code == plat::kCbnEditChange) {
    Notify(kPortTyped);
  } else if (id == kDetectPortButton && code == plat::kBnClicked) {
    if (m_ctrl.DetectPort()) Notify(kPortSelected);
  } else if (id == kBaudList && code == plat::kLbnSelChange) {
    GLO_ASSERT(m_initialBaud.has_value());
    Notify(kBaudSelected);
  } else {
    return plat::Dialog_t::OnCommand(id, code);
  }
  return true;
}

void SerialCommSettingCtrlDlg_t::Notify(unsigned code) {
  if (m_parent == nullptr || !m_parent->HasWindow()) return;
  NmHdr_t header;
  header.hwndFrom = GetSafeHwnd();
  header.idFrom = static_cast<std::uintptr_t>(GetDlgCtrlID());
  header.code = code;
  m_parent->SendMessage(kWmNotify, header.idFrom, reinterpret_cast<plat::LPARAM>(&header));
}

}  // namespace xfr
