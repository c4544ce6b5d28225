#include "app/AppSettings.h"

#include "win/WIN_RegSettingsKey.h"

namespace app {

AppSettings_t::AppSettings_t(const win::RegKey_t& settingsKey)
    : key(settingsKey),
      currentUser(key, "CurrentUser", std::string()),
      graphType(key, "GraphType", 0),
      frameRect(key, "FrameRect"),
      startMaximized(key, "StartMaximized"),
      turnOff(key, "TurnOff", false),
      splitSize0(key, "SplitSize0"),
      splitSize1(key, "SplitSize1"),
      splitSize2(key, "SplitSize2") {}

AppSettings_t& GetAppSettings() {
  static AppSettings_t settings(GetSettingsKey());
  return settings;
}

}  // namespace app
