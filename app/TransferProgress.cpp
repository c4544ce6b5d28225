#include "app/TransferProgress.h"

#include "app/TransferThread.h"
#include "dio/DIO_Exception.h"
#include "dio/DIO_FatalDialog.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"
#include "plat/PLAT_Event.h"
#include "thr/THR_Event.h"
#include "win/WIN_StructuredException.h"

namespace app {

namespace {

constexpr unsigned long kRefreshMs = 1000;

}  // namespace

XferDialog_t::XferDialog_t(const std::string& port, bool turnOff, gdb::Database_t& tracks,
                           std::vector<LapPacket_t>& laps)
    : xfr::ProgressDlg_t(nullptr, 0, nullptr), m_port(port), m_turnOff(turnOff), m_tracks(&tracks), m_laps(&laps) {}

XferDialog_t::~XferDialog_t() {
  try {
    StopWork();
  } catch (...) {
  }
}

bool XferDialog_t::OnInitDialog() {
  const bool result = xfr::ProgressDlg_t::OnInitDialog();
  auto block = std::make_unique<XferThreadParams_t>();
  block->port = m_port;
  block->turnOff = m_turnOff;
  block->tracks = m_tracks;
  block->laps = m_laps;
  m_thread = std::make_unique<dio::Thread_t>(TransferThreadMain, GetSafeHwnd(), dio::kCallMessage, block.get(), false);
  block.release();  // the thread frees it
  return result;
}

void XferDialog_t::StopWork() {
  if (!m_thread) return;
  // Every wait of the thread watches its stop event, so it ends soon; the
  // database and the lap list it writes must not go before it has.
  m_thread->Stop(plat::kInfinite);
  m_thread.reset();
}

bool ProgThread_t::PhaseText(ioa::Phase_t phase, std::string& text) {
  int id = 0;
  switch (phase) {
    case ioa::kPhaseStarted:
      id = kStrPhaseStarted;
      break;
    case ioa::kPhaseTracks:
      id = kStrPhaseTracks;
      break;
    case ioa::kPhaseLaps:
      id = kStrPhaseLaps;
      break;
    case ioa::kPhaseFinished:
      return false;
    default:
      throw glo::Assert_t(GLO_SRC);
  }
  text = glo::StringResource_t(id, GLO_SRC).Text();
  return true;
}

void ProgThread_t::ShowPhase() {
  std::string text;
  if (PhaseText(m_progress.GetPhase(), text)) m_dialog.SetItemText(xfr::kProgressText2, text);
}

void ProgThread_t::ShowProgress() {
  static const std::string format = glo::StringResource_t(kStrPercent, GLO_SRC).Text();
  const int percent = m_progress.Percent();
  m_dialog.SetPos(static_cast<std::uint32_t>(percent));
  std::string text = format;
  const std::size_t at = text.find("%0");
  if (at != std::string::npos) text.replace(at, 2, std::to_string(percent));
  m_dialog.SetItemText(xfr::kProgressText1, text);
}

void ProgThread_t::Follow() {
  m_dialog.SetItemText(xfr::kProgressText3, std::string());
  while (m_progress.GetPhase() != ioa::kPhaseFinished) {
    switch (thr::WaitForAny({m_stopEvent.Handle(), m_progress.ChangeEvent().Handle()}, kRefreshMs)) {
      case 0:
        throw glo::Terminate_t(GLO_SRC);
      case 1:
        ShowPhase();
        ShowProgress();
        break;
      case -1:
        ShowProgress();
        break;
      default:
        throw glo::Assert_t(GLO_SRC);
    }
  }
  m_dialog.SetItemText(xfr::kProgressText2, std::string());
  m_dialog.SetTitle(glo::StringResource_t(kStrFinishedTitle, GLO_SRC).Text());
  m_dialog.SetItemText(xfr::kProgressText3, glo::StringResource_t(kStrFinishedStatus, GLO_SRC).Text());
  m_dialog.SetItemText(xfr::kProgressText1, std::string());
  m_dialog.SetFinished();
  m_dialog.HideProgressBar();
}

void ProgThread_t::Run(dio::ReferenceIntf_t& fatalReport) {
  try {
    Follow();
  } catch (const glo::Terminate_t&) {
  } catch (const dio::Exception_t& e) {
    try {
      err::FatalDialog_t report(e);
    } catch (...) {
    }
  } catch (...) {
    ReportWorkerFailure(fatalReport, GLO_SRC);
  }
}

unsigned ProgressThreadMain(dio::Thread_t::Param_t* param) {
  win::InstallSeTranslator();
  TransferProgress_t* progress;
  {
    const std::unique_ptr<TransferProgress_t*> cell(static_cast<TransferProgress_t**>(param->Argument()));
    progress = *cell;
  }
  try {
    dio::UIAccessPoint_t& point = param->AccessPoint();
    dio::RemoteReference_t dialogRef({dio::kProgressDlgInterface, 1}, point);
    xfr::ProxyProgressDlg_t dialog(dialogRef);
    dio::RemoteReference_t fatalRef({dio::kFatalDialogInterface, 1}, point);
    ProgThread_t(param->StopEvent(), *progress, dialog).Run(fatalRef);
  } catch (...) {
  }
  return 0;
}

}  // namespace app
