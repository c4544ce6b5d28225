// The program as its user runs it, with a second thread at the keyboard: the
// program starts as the real one does, then the driver shows a real message
// box (Help) and answers it with Enter, exports the history through the real
// file dialog (typing a name and Enter) and chooses File > Exit. The process
// ends as the program does; the test reads its exit code. With the argument
// "terminate" the driver asks the process to end (SIGTERM) instead of Exit.
// With "terminate-unsaved" the user list cannot be saved: the driver asks the
// process to end, answers the question with its default (No), asks again and
// answers Yes.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "app/AppSettings.h"
#include "app/Application.h"
#include "app/ApplicationInfo.h"
#include "app/Commands.h"
#include "app/DataFile.h"
#include "app/RunDatabase.h"
#include "app/TransferDialog.h"
#include "app/UserDatabase.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Event.h"
#include "plat/PLAT_Frame.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_Input.h"
#include "plat/PLAT_Window.h"
#include "tests/app/TrainingTestUtil.h"

namespace {

// Whether the main window is up and whether a modal window is, as the
// user-interface thread sees them.
bool HasMainWindow() {
  bool has = false;
  plat::CallOnUiThread([&has] { has = plat::GetMainWnd() != nullptr; });
  return has;
}
bool ModalOpen() {
  bool open = false;
  plat::CallOnUiThread([&open] { open = plat::IsModalWindowOpen(); });
  return open;
}
void AwaitModal(bool open) {
  while (ModalOpen() != open) ::usleep(10000);
}
// Signalled once the program's message loop has ended.
const plat::Handle g_ended = plat::CreateEvent(true, false);
std::atomic<bool> g_driverGaveUp{false};
// As AwaitModal, for a modal window that may never come: false when the
// program ended first.
bool AwaitModalOrEnd() {
  for (;;) {
    const auto open = std::make_shared<std::atomic<bool>>(false);
    if (!plat::CallOnUiThread([open] { *open = plat::IsModalWindowOpen(); }, g_ended)) return false;
    if (*open) return true;
    ::usleep(10000);
  }
}

// A command chosen from the menu. It runs (with the windows it shows) while
// this thread goes on at the keyboard.
std::thread Choose(unsigned id) {
  return std::thread([id] {
    plat::CallOnUiThread([id] {
      if (auto* frame = dynamic_cast<plat::FrameWnd_t*>(plat::GetMainWnd())) frame->RouteCommand(id);
    });
  });
}

// A key press where the keyboard's focus is, inside whatever window is up.
void Press(unsigned key, unsigned flags = 0) {
  plat::CallOnUiThread([key, flags] { plat::SendKeyToFocus(key, flags); });
}

// The user list's temporary file cannot be made where the list lies.
void MakeTheListUnsaveable() {
  const std::string list = app::UserDatabase_t(app::DataFolder()).FilePath();
  if (std::rename(list.c_str(), (list + ".keep").c_str()) != 0 || ::mkdir(list.c_str(), 0755) != 0) std::perror("list");
  if (std::FILE* f = std::fopen((list + "/x").c_str(), "w")) std::fclose(f);
}

// A termination request whose save fails asks; the first answer is the
// default, No, the second Yes.
void DriveUnsaved() {
  while (!HasMainWindow()) ::usleep(20000);
  MakeTheListUnsaveable();
  for (const unsigned answer : {unsigned(plat::kVkReturn), unsigned('Y')}) {
    ::kill(::getpid(), SIGTERM);
    if (!AwaitModalOrEnd()) {
      g_driverGaveUp = true;
      return;
    }
    Press(answer);
    if (answer == plat::kVkReturn) AwaitModal(false);
  }
}

void Drive(bool terminate) {
  while (!HasMainWindow()) ::usleep(20000);
  // Help shows a message box; Enter presses its OK.
  std::thread help = Choose(app::kCmdHelp);
  AwaitModal(true);
  Press(plat::kVkReturn);
  help.join();
  // Export: the file dialog takes a typed name and Enter.
  std::thread exportXml = Choose(app::kCmdExportXml);
  AwaitModal(true);
  for (const unsigned key : {'H', 'I', 'S', 'T'}) Press(key);
  Press(plat::kVkReturn);
  exportXml.join();
  if (terminate) {
    ::kill(::getpid(), SIGTERM);
    return;
  }
  Choose(app::kCmdAppExit).join();
}

// A user with a history of three runs, the current user, unless the data
// folder holds a user list already; the process works in its home folder.
void Prepare() {
  if (const char* home = std::getenv("HOME")) {
    if (::chdir(home) != 0) std::perror("chdir");
  }
  app::UserDatabase_t users(app::DataFolder());
  if (app::FileExists(users.FilePath())) return;
  users.Load();
  users.AddUser(1234, "Runner");
  users.SaveList();
  app::RunSet_t runs;
  for (int i = 0; i < 3; ++i) runs.insert(trtest::MakeRun(trtest::kBase + i * 86400, 2, 300, 20));
  app::SaveRunDatabase(users.DocumentPath("Runner"), runs);
  app::GetAppSettings().currentUser.Set("Runner");
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (app::TryGetApplicationInfo() == nullptr || !plat::EnsureGuiApplication()) return 3;
  Prepare();
  int code = 0;
  {
    std::thread driver;
    app::Application_t application;
    application.SetTransferCommand(app::RunTransferDialog);
    application.SetSplashPause(0);
    if (application.InitInstance(app::kSwShowNormal)) {
      driver = mode == "terminate-unsaved" ? std::thread(DriveUnsaved) : std::thread(Drive, mode == "terminate");
      code = application.Run();
      plat::SetEvent(g_ended);
    }
    // Ending without the data saved is a failure.
    if (application.ExitInstance() != 0) code = 1;
    if (driver.joinable()) driver.join();
  }
  // As the program's main does.
  plat::EndGuiApplication();
  return g_driverGaveUp ? 4 : code;
}
