// Stridemere Logbook. The windows of the training log are still being built; until
// they stand, the program checks its language module and reports what this build
// can already do.
#include <cstdio>

#include "app/ApplicationInfo.h"
#include "win/WIN_Locale.h"

int main() {
  win::SetRuntimeLocale(win::SystemLocaleName());
  const glo::ApplicationInfo_t* info = app::TryGetApplicationInfo();
  if (!info) {
    std::fprintf(stderr,
                 "Incorrect or missing language dll file.  Please reinstall StridemereLogbook_LANG.dll. \n");
    return 1;
  }
  std::printf(
      "%s %s (built %s %s)\n"
      "The training log's windows are not built yet. This build holds the foundation,\n"
      "the GPS data and the device link with their tests; run ./test.sh to exercise\n"
      "them, and build/bin/watch-sim to start a simulated watch.\n",
      info->Name().c_str(), info->VersionText().c_str(), info->BuildDate().c_str(),
      info->BuildTime().c_str());
  return 0;
}
