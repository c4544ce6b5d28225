// Stridemere Logbook: the training log of a GPS running watch.
#include <cstdio>

#include "app/Application.h"
#include "app/ApplicationInfo.h"
#include "app/Commands.h"
#include "app/TransferDialog.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_MessageBox.h"

int main() {
  // The first read of the language module; without it no window is made.
  const bool haveModule = app::TryGetApplicationInfo() != nullptr;
  if (!plat::EnsureGuiApplication()) {
    std::fprintf(stderr, "%s\n", haveModule ? "The display cannot be opened." : app::kMissingLanguageModuleText);
    return 1;
  }
  if (!haveModule) {
    std::fprintf(stderr, "%s\n", app::kMissingLanguageModuleText);
    plat::MessageBox(nullptr, app::kMissingLanguageModuleText, "Stridemere Logbook", plat::kMbOk | plat::kMbIconStop);
    return 1;
  }
  int code = 0;
  {
    app::Application_t application;
    application.SetTransferCommand(app::RunTransferDialog);
    if (application.InitInstance(app::kSwShowNormal)) code = application.Run();
    // Ending without the data saved is a failure.
    if (application.ExitInstance() != 0) code = 1;
  }
  // The toolkit goes before its process-wide objects are destroyed at exit.
  plat::EndGuiApplication();
  return code;
}
