#pragma once
// The port selector: an editable list of serial ports, optionally a list of baud
// rates with its label, and a button that searches the listed ports for the unit.
#include <cstdint>
#include <optional>
#include <string>

#include "plat/PLAT_Button.h"
#include "plat/PLAT_List.h"
#include "plat/PLAT_Static.h"

namespace xfr {

enum : unsigned {
  kPortList = 5835,
  kBaudList = 5836,
  kDetectPortButton = 5838,
  kBaudLabel = 5841,
};

// Opens the port and closes it again: true when that worked.
bool CanOpenPort(const std::string& port);
// True when the port opens, or exists but is in use by someone else (access denied).
bool PortExists(const std::string& port);

class SerialCommSettingCtrl_t {
 public:
  // Registers the window class "SerialCommSettingCtrl" the first time.
  SerialCommSettingCtrl_t(const std::string& initialPort, std::optional<std::uint32_t> initialBaud);

  // Takes over the controls of the dialog (with the baud list and its label when
  // a baud was given), fills the lists and shows the initial choice.
  void Attach(plat::Wnd_t& dialog);
  // COM1 to COM8, then the serial devices present on the machine by path
  // (those a COMn of the list stands for are not listed twice).
  void FillPortList();

  // The selected entry's text, or what was typed.
  std::string GetText() const;
  // The port when it can be opened now.
  std::optional<std::string> GetPort() const;
  // True when GetPort gives a name; else tells the user why not and is false.
  bool IsValid() const;
  // Runs the search over the listed ports; true when it selected another port.
  bool DetectPort();
  // The selected baud rate; glo::Assert_t without the baud list.
  std::uint32_t GetBaud() const;

  plat::ComboBox_t& PortList() { return m_portList; }

 private:
  plat::ComboBox_t m_portList;
  plat::ComboBox_t m_baudList;
  plat::Static_t m_label;
  plat::Button_t m_detect;
  std::string m_initialPort;
  std::optional<std::uint32_t> m_initialBaud;
};

}  // namespace xfr
