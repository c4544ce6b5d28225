#pragma once
// The communication settings under "CommSettingsConfiguration" of the
// application's settings key, each assignment written at once.
#include <cstdint>
#include <string>

#include "win/WIN_RegKey.h"
#include "win/WIN_RegValue.h"

namespace xfr {

class CommSettingCtrlDlg_t {
 public:
  // How the unit is reached; this system writes the default and never reads it.
  enum XferMethod_t : std::uint32_t { kSerialTransfer = 0 };
};

class CommSettings_t {
 public:
  // Builds the keys and values in member order (missing or unreadable ones get
  // their defaults written back); a stored baud of 0 becomes 115200.
  explicit CommSettings_t(const win::RegKey_t& settingsKey);

  win::RegKey_t ConfigurationKey;                                    // "CommSettingsConfiguration"
  win::RegKey_t SerialKey;                                           // "Serial"
  win::RegValue_t<unsigned long> Baud;                               // 115200, kept only
  win::RegValue_t<std::string> Port;                                 // "COM1"
  win::RegKey_t UsbGpsKey;                                           // "UsbGps"
  // Kept only and without a default: a stored value of the wrong type or size is
  // taken as absent (and left as it is) instead of failing every use of the
  // settings.
  win::ConstRegValue_t<unsigned long> UsbUnitId;
  win::RegValue_t<CommSettingCtrlDlg_t::XferMethod_t> TransferMethod;  // 0, kept only
};

// The process-wide settings over app::GetSettingsKey(), built on first use; a
// failure leaves none, and the next call tries again.
CommSettings_t& GetCommSettings();

}  // namespace xfr
