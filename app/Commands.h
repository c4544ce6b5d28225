#pragma once
// Command ids of the menu, the toolbar and the accelerators (resource 128).
namespace app {

enum Command_t : unsigned {
  kCmdExportXml = 32776,
  kCmdDeleteSelection = 32779,
  kCmdTransfer = 32782,
  kCmdStatuteUnits = 32785,
  kCmdMetricUnits = 32786,
  kCmdEditUsers = 32790,
  kCmdUndo = 0xE12B,
  kCmdRedo = 0xE12C,
  kCmdAppAbout = 0xE140,
  kCmdAppExit = 0xE141,
  kCmdHelp = 0xE146,
  // The user items of the user menu: this id and those below it.
  kCmdFirstUser = 0xDFFF,
};

// Show commands of the main window.
enum ShowCommand_t : int {
  kSwHide = 0,
  kSwShowNormal = 1,
  kSwShowMinimized = 2,
  kSwShowMaximized = 3,
  kSwShowNoActivate = 4,
  kSwShow = 5,
  kSwMinimize = 6,
  kSwShowMinNoActive = 7,
  kSwShowNa = 8,
  kSwRestore = 9,
  kSwShowDefault = 10,
};

}  // namespace app
