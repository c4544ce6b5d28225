#include "xfr/XFR_SerialCommSettingCtrl.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "glo/GLO_StringResource.h"
#include "plat/PLAT_ComboEdit.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_MessageBox.h"
#include "plat/PLAT_Serial.h"
#include "spo/SPO_CommFile.h"
#include "xfr/XFR_GpsDetectDlg.h"
#include "xfr/XFR_MessageBox.h"

namespace xfr {

namespace {

constexpr unsigned long kErrorAccessDenied = 5;
constexpr std::uint32_t kBauds[] = {115200, 57600, 38400, 19200, 9600};

// Opens the port: 0 when it opened (and was closed again), else the error code.
unsigned long TryOpen(const std::string& port) {
  try {
    spo::CommFile_t file(port, 0);
    return 0;
  } catch (const spo::CommFileError_t& e) {
    return e.ErrorCode() == 0 ? ~0ul : e.ErrorCode();
  }
}

void Tell(int stringId, const std::string* port) {
  const glo::StringResource_t text(stringId, GLO_SRC);
  MessageBox_t().Show(port != nullptr ? text.Format(*port, GLO_SRC) : text.Text(),
                      plat::kMbOk | plat::kMbIconExclamation, 0);
}

// The control classes that templates may name.
void RegisterClassOnce(const char* name) {
  if (plat::IsWindowClassRegistered(name)) return;
  GLO_ASSERT(plat::RegisterWindowClass(name, [] { return std::make_unique<plat::Wnd_t>(); }));
}

void Take(plat::Wnd_t& member, unsigned id, plat::Wnd_t& dialog) {
  GLO_ASSERT(member.SubclassDlgItem(static_cast<int>(id), &dialog));
}

}  // namespace

bool CanOpenPort(const std::string& port) { return TryOpen(port) == 0; }

bool PortExists(const std::string& port) {
  const unsigned long code = TryOpen(port);
  return code == 0 || code == kErrorAccessDenied;
}

SerialCommSettingCtrl_t::SerialCommSettingCtrl_t(const std::string& initialPort,
                                                 std::optional<std::uint32_t> initialBaud)
    : m_initialPort(initialPort), m_initialBaud(initialBaud) {
  RegisterClassOnce("SerialCommSettingCtrl");
}

void SerialCommSettingCtrl_t::Attach(plat::Wnd_t& dialog) {
  Take(m_portList, kPortList, dialog);
  if (m_initialBaud) {
    Take(m_baudList, kBaudList, dialog);
    Take(m_label, kBaudLabel, dialog);
  }
  Take(m_detect, kDetectPortButton, dialog);
  GLO_ASSERT(plat::SetComboEditable(m_portList));
  FillPortList();
  plat::SetComboText(m_portList, m_initialPort);
  if (m_initialBaud) {
    for (const std::uint32_t baud : kBauds) {
      const int i = m_baudList.AddString(std::to_string(baud));
      plat::SetComboItemData(m_baudList, i, baud);
    }
    m_baudList.SetCurSel(0);
    for (int i = 0; i < m_baudList.GetCount(); ++i) {
      if (plat::GetComboItemData(m_baudList, i) == *m_initialBaud) {
        m_baudList.SetCurSel(i);
        break;
      }
    }
  }
}

void SerialCommSettingCtrl_t::FillPortList() {
  m_portList.ResetContent();
  std::vector<std::string> named;
  for (int n = 1; n <= 8; ++n) {
    const std::string com = "COM" + std::to_string(n);
    m_portList.AddString(com);
    named.push_back(plat::SerialDevicePath(com));
  }
  // Then the machine's own serial devices by path, but none twice.
  for (const std::string& path : plat::ListSerialDevices())
    if (std::find(named.begin(), named.end(), path) == named.end()) m_portList.AddString(path);
}

std::string SerialCommSettingCtrl_t::GetText() const { return plat::GetComboText(m_portList); }

std::optional<std::string> SerialCommSettingCtrl_t::GetPort() const {
  const std::string text = GetText();
  if (text.empty() || !CanOpenPort(text)) return std::nullopt;
  return text;
}

bool SerialCommSettingCtrl_t::IsValid() const {
  if (GetPort()) return true;
  const std::string text = GetText();
  if (text.empty())
    Tell(5814, nullptr);
  else
    Tell(PortExists(text) ? 5829 : 5815, &text);
  return false;
}

bool SerialCommSettingCtrl_t::DetectPort() {
  std::vector<std::string> ports;
  for (int i = 0; i < m_portList.GetCount(); ++i) {
    std::string text;
    if (m_portList.GetLBText(i, text)) ports.push_back(text);
  }
  GpsDetectDlg_t dialog(ports);
  if (dialog.DoModal() != plat::kIdOk) return false;
  const std::string& port = dialog.DetectedPort();
  if (port.empty() || port == GetText()) return false;
  GLO_ASSERT(plat::SelectComboString(m_portList, port) >= 0);
  return true;
}

std::uint32_t SerialCommSettingCtrl_t::GetBaud() const {
  GLO_ASSERT(m_initialBaud.has_value());
  return static_cast<std::uint32_t>(plat::GetComboItemData(m_baudList, m_baudList.GetCurSel()));
}

}  // namespace xfr
