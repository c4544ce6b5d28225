#pragma once
// The application's settings under the "Settings" key: the current user, the
// graph kind, the main frame's position and pane sizes, the unit switch-off.
#include <string>

#include "plat/PLAT_Gdi.h"
#include "win/WIN_RegKey.h"
#include "win/WIN_RegValue.h"

namespace app {

class AppSettings_t {
 public:
  // Reads every value; those with a default are written back at once.
  explicit AppSettings_t(const win::RegKey_t& key);

  win::RegKey_t key;
  win::RegValue_t<std::string> currentUser;   // "CurrentUser", "" when no user exists
  win::RegValue_t<int> graphType;             // "GraphType": 0 pace, 1 speed
  win::RegValue_t<plat::RECT> frameRect;      // "FrameRect": the frame's restored rectangle
  win::RegValue_t<bool> startMaximized;       // "StartMaximized"
  win::RegValue_t<bool> turnOff;              // "TurnOff": switch the unit off after a transfer
  win::RegValue_t<int> splitSize0;            // "SplitSize0": width of the history pane
  win::RegValue_t<int> splitSize1;            // "SplitSize1": height of the summary pane
  win::RegValue_t<int> splitSize2;            // "SplitSize2": width of the map pane
};

// The settings of the process, built on first use under app::GetSettingsKey().
AppSettings_t& GetAppSettings();

}  // namespace app
