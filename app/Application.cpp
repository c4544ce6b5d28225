#include "app/Application.h"

#include <filesystem>

#include "app/AboutBox.h"
#include "app/AppSettings.h"
#include "app/ApplicationInfo.h"
#include "app/CatchChain.h"
#include "app/Commands.h"
#include "app/DataFile.h"
#include "app/Document.h"
#include "app/FrameRules.h"
#include "app/MainFrame.h"
#include "app/UserDatabase.h"
#include "err/ERR_FatalDialog.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"
#include "map/MAP_Registry.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_Error.h"
#include "plat/PLAT_MessageBox.h"
#include "plat/PLAT_Module.h"
#include "plat/PLAT_Profile.h"
#include "plat/PLAT_Registry.h"
#include "plat/PLAT_Session.h"
#include "win/WIN_Locale.h"
#include "win/WIN_StructuredException.h"

namespace app {

const char kMissingLanguageModuleText[] =
    "Incorrect or missing language dll file.  Please reinstall StridemereLogbook_LANG.dll. ";

namespace {

bool g_startUpDone = false;

// The entries of the recent-file list.
constexpr unsigned kRecentFiles = 4;

void ShowLoadMessage(const LoadOutcome_t& outcome) {
  if (outcome.messageId == 0) return;
  plat::MessageBox(nullptr, glo::StringResource_t(outcome.messageId, GLO_SRC).Text(), GetApplicationInfo().Name(),
                   plat::kMbOk | plat::kMbIconExclamation);
}

}  // namespace

bool IsStartUpDone() { return g_startUpDone; }

Application_t::Application_t() = default;

Application_t::~Application_t() {
  try {
    ExitInstance();
  } catch (...) {
  }
}

bool Application_t::InitInstance(int showCommand) {
  try {
    plat::SetResourceHandle(glo::GetResourceModule());
  } catch (const win::Error_t&) {
    plat::MessageBox(nullptr, kMissingLanguageModuleText, "Stridemere Logbook", plat::kMbOk | plat::kMbIconStop);
    return false;
  }
  err::SetApplicationInfoSource(&GetApplicationInfo);
  bool done = false;
  err::FatalDialog_t report;
  try {
    win::InstallSeTranslator();
    win::SetRuntimeLocale(win::SystemLocaleName());
    m_instance = std::make_unique<plat::SingleInstance_t>(GetApplicationInfo().WindowClassName());
    if (!m_instance->Acquire()) return false;
    // No other instance can be saving now: what killed saves left goes.
    RemoveLeftoverSaves(DataFolder());
    plat::RemoveLeftoverHiveFiles();
    plat::SetAppCmdTarget(this);
    // The standard profile settings below the program's own key, with a
    // recent-file list that no menu shows; saved at exit.
    plat::LoadStdProfileSettings(std::string("Software\\VORTAN\\") + GetApplicationInfo().Name(), kRecentFiles);
    StartUp(showCommand);
    done = true;
    // Also while the first transfer runs.
    HandleTerminationRequests();
    if (GetUserDatabase().empty() && m_transfer) {
      // A failure in the first transfer is reported; the program goes on.
      RunInCatchChain(m_transfer, report);
    }
    m_splash.reset();
  } catch (...) {
    m_splash.reset();
    ReportCaughtException(report);
  }
  if (!done) CloseMainWindow(false);
  return done;
}

void Application_t::StartUp(int showCommand) {
  m_splash = std::make_unique<SplashWindow_t>();
  plat::PumpUntil([] { return false; }, m_splashPause);
  const int show = StartShowCommand(showCommand, GetAppSettings().startMaximized.Optional());

  m_document = std::make_unique<Document_t>();
  m_frame = std::make_unique<MainFrame_t>();
  m_frame->Create();
  m_document->SendInitialUpdate();

  if (show == kSwShowMaximized)
    m_frame->ShowMaximized();
  else if (show == kSwShowMinimized || show == kSwMinimize || show == kSwShowMinNoActive)
    m_frame->ShowMinimized();
  else if (show != kSwHide)
    m_frame->ShowWindow(true);
  m_frame->RecalcPanes();
  m_frame->UpdateWindow();

  ShowLoadMessage(GetUserDatabase().Load());
  m_document->LoadDatabase();
  TreeView_t& tree = m_frame->GetTreeView();
  const plat::HTREEITEM root = tree.Control().GetRootItem();
  GLO_ASSERT(root != 0);
  m_document->UpdateAllViews();
  tree.Control().Expand(root, true);
  tree.Control().SetFocus();
  g_startUpDone = true;
}

void Application_t::CloseMainWindow(bool ask) {
  if (!m_frame || !m_frame->HasWindow()) return;
  if (ask) m_frame->SendMessage(plat::kWmClose);
  else m_frame->CloseWithoutAsking();
}

void Application_t::HandleTerminationRequests() {
  plat::SetTerminationHandler([this] { CloseMainWindow(true); });
}

int Application_t::Run() {
  int result = 0;
  err::FatalDialog_t report;
  // Closed already (a termination request during the first transfer).
  if (!m_frame || !m_frame->HasWindow()) return 0;
  HandleTerminationRequests();
  const bool ended = RunInCatchChain([&] { result = plat::RunMessageLoop(); }, report);
  plat::SetTerminationHandler(nullptr);
  if (ended) return result;
  CloseMainWindow(false);
  return 0;
}

int Application_t::ExitInstance() {
  plat::SetTerminationHandler(nullptr);
  g_startUpDone = false;
  plat::SetAppCmdTarget(nullptr);
  const int code = m_frame && m_frame->ClosedUnsaved() ? 1 : 0;
  plat::SaveStdProfileSettings();
  m_splash.reset();
  m_frame.reset();
  m_document.reset();
  m_instance.reset();
  // Windows whose removal waits for the event loop go now, before the process ends.
  plat::PumpUntilIdle();
  return code;
}

void Application_t::OnUnits(bool metric) {
  map::Registry_t& units = map::GetRegistry();
  units.DistanceUnitsType.Set(metric ? mat::DistUnitsTypes_t::Metric : mat::DistUnitsTypes_t::Statute);
  units.ElevationUnits.Set(metric ? mat::ElevationUnits_t::Metres : mat::ElevationUnits_t::Feet);
  if (HasDocument()) GetDocument().UpdateAllViews();
}

std::string FindReadme(const std::string& programFolder) {
  std::error_code error;
  for (const char* relative : {"README.md", "../../README.md"}) {
    const std::filesystem::path candidate = std::filesystem::path(programFolder) / relative;
    if (std::filesystem::is_regular_file(candidate, error)) {
      const std::filesystem::path found = std::filesystem::weakly_canonical(candidate, error);
      return error ? candidate.lexically_normal().string() : found.string();
    }
  }
  return std::string();
}

bool Application_t::OnCommand(unsigned id, unsigned code) {
  if (code != 0) return false;
  switch (id) {
    case kCmdAppAbout: {
      AboutDialog_t about(m_frame.get());
      about.DoModal();
      return true;
    }
    case kCmdHelp: {
      const std::string readme = FindReadme(plat::ModuleDir());
      plat::MessageBox(m_frame.get(),
                       readme.empty() ? glo::StringResource_t(kStrNoHelpFile, GLO_SRC).Text()
                                      : glo::StringResource_t(kStrNoHelpFileReadme, GLO_SRC).Format(readme, GLO_SRC),
                       GetApplicationInfo().Name(), plat::kMbOk | plat::kMbIconInformation);
      return true;
    }
    case kCmdDeleteSelection:
      GetDocument().DeleteSelection();
      GetDocument().UpdateAllViews();
      return true;
    case kCmdTransfer:
      if (m_transfer) m_transfer();
      return true;
    case kCmdMetricUnits:
      OnUnits(true);
      return true;
    case kCmdStatuteUnits:
      OnUnits(false);
      return true;
    case kCmdAppExit:
      CloseMainWindow(true);
      return true;
    default:
      return false;
  }
}

bool Application_t::OnUpdateCommand(plat::CmdUI_t& ui) {
  switch (ui.GetId()) {
    case kCmdTransfer:
      ui.Enable(true);
      return true;
    case kCmdMetricUnits:
    case kCmdStatuteUnits: {
      const auto wanted = ui.GetId() == kCmdMetricUnits ? mat::DistUnitsTypes_t::Metric : mat::DistUnitsTypes_t::Statute;
      ui.Enable(true);
      ui.SetRadio(map::GetRegistry().DistanceUnitsType.Value() == wanted);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace app
