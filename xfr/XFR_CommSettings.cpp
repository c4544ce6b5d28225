#include "xfr/XFR_CommSettings.h"

#include "win/WIN_RegSettingsKey.h"

namespace xfr {

namespace {

constexpr unsigned long kDefaultBaud = 115200;

glo::Optional_t<unsigned long> ReadIfReadable(const win::RegKey_t& key, const std::string& name) {
  try {
    return win::ConstRegValue_t<unsigned long>(key, name).Optional();
  } catch (const win::RegError_t&) {
    return {};
  }
}

}  // namespace

CommSettings_t::CommSettings_t(const win::RegKey_t& settingsKey)
    : ConfigurationKey(settingsKey, "CommSettingsConfiguration"),
      SerialKey(ConfigurationKey, "Serial"),
      Baud(SerialKey, "Baud", kDefaultBaud),
      Port(SerialKey, "Port", std::string("COM1")),
      UsbGpsKey(ConfigurationKey, "UsbGps"),
      UsbUnitId(UsbGpsKey, "UsbUnitId", ReadIfReadable(UsbGpsKey, "UsbUnitId")),
      TransferMethod(ConfigurationKey, "TransferMethod", CommSettingCtrlDlg_t::kSerialTransfer) {
  if (Baud.Value() == 0) Baud.Set(kDefaultBaud);
}

CommSettings_t& GetCommSettings() {
  static CommSettings_t settings(app::GetSettingsKey());
  return settings;
}

}  // namespace xfr
