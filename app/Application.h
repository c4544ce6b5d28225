#pragma once
#include <string>
// The application object: the start-up order of the program, the message loop
// inside the last-resort catch chain, and the application-wide commands
// (about box, help, unit system, delete selection, transfer).
#include <functional>
#include <memory>

#include "glo/GLO_NonCopyable.h"
#include "plat/PLAT_CmdTarget.h"
#include "plat/PLAT_SingleInstance.h"

namespace app {

class Document_t;
class MainFrame_t;
class SplashWindow_t;

class Application_t : public plat::CmdTarget_t, private glo::NonCopyable_t {
 public:
  Application_t();
  ~Application_t() override;

  // Start-up: true when the message loop is to run. False when the language
  // module is unusable, another instance runs (it was brought forward), or a
  // failure was reported (the main window then closed, saving what it had).
  bool InitInstance(int showCommand);
  // The message loop; an exception that escapes it is reported, the main
  // window closed, and 0 returned.
  int Run();
  // Closes what start-up made; the exit code: 1 when the main window closed
  // although a save failed (the program ends without its data saved), else 0.
  int ExitInstance();

  bool OnCommand(unsigned id, unsigned code) override;
  bool OnUpdateCommand(plat::CmdUI_t& ui) override;

  // The pause after the splash window shows (2000 ms); 0 for tests and timing.
  void SetSplashPause(unsigned milliseconds) { m_splashPause = milliseconds; }
  // The transfer command; without one it does nothing.
  void SetTransferCommand(std::function<void()> transfer) { m_transfer = std::move(transfer); }

  MainFrame_t* Frame() const { return m_frame.get(); }

 private:
  void StartUp(int showCommand);
  // Closes the main window; without 'ask' a failed save does not keep it open.
  void CloseMainWindow(bool ask);
  // From here a request to end the program from outside (logging out,
  // shutting down) closes it as File > Exit does: when a save fails the user
  // is asked, and No keeps the program running.
  void HandleTerminationRequests();
  void OnUnits(bool metric);

  std::unique_ptr<plat::SingleInstance_t> m_instance;
  std::unique_ptr<SplashWindow_t> m_splash;
  std::unique_ptr<Document_t> m_document;
  std::unique_ptr<MainFrame_t> m_frame;
  std::function<void()> m_transfer;
  unsigned m_splashPause = 2000;
};

// Whether start-up has passed the point after which a failure no longer ends
// the program.
bool IsStartUpDone();

// Help Topics: there is no help file; the message names the README, found
// beside the program or, for a program run from its build folder (build/bin),
// in the source folder two levels up. The README's path, or empty.
enum : int { kStrNoHelpFile = 7180, kStrNoHelpFileReadme = 7181 };
std::string FindReadme(const std::string& programFolder);

// The text shown when the language module cannot be used.
extern const char kMissingLanguageModuleText[];

}  // namespace app
