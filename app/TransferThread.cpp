#include "app/TransferThread.h"

#include <memory>

#include "app/TransferProgress.h"
#include "dio/DIO_Exception.h"
#include "dio/DIO_UIAccessPoint.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"
#include "ioa/IOA_Channel.h"
#include "ioa/IOA_Int16.h"
#include "iog/IOG_Channel.h"
#include "iol/IOL_Exception.h"
#include "ios/IOS_SerialLink.h"
#include "plat/PLAT_Error.h"
#include "plat/PLAT_Event.h"
#include "plat/PLAT_MessageBox.h"
#include "spo/SPO_Exception.h"
#include "thr/THR_Progress.h"
#include "win/WIN_Exception.h"
#include "win/WIN_StructuredException.h"

namespace app {

namespace {

constexpr unsigned long kBaud = 9600;
constexpr std::uint32_t kLapTimeoutMs = 3000;

std::string Text(int id) { return glo::StringResource_t(id, GLO_SRC).Text(); }

std::string SystemText(unsigned long code) {
  std::string text;
  plat::FormatMessage(code, text);
  return text;
}

// The progress thread of one transfer: started with the progress object, and
// stopped and joined whenever the transfer leaves, so that it never reads a
// progress object that is gone.
class ProgressWorker_t {
 public:
  ProgressWorker_t(dio::UIAccessPoint_t& accessPoint, TransferProgress_t& progress) {
    auto cell = std::make_unique<TransferProgress_t*>(&progress);
    m_thread = std::make_unique<dio::Thread_t>(ProgressThreadMain, accessPoint.Window(), accessPoint.Message(),
                                               cell.get(), false);
    cell.release();  // the progress thread frees it
  }
  ~ProgressWorker_t() {
    try {
      m_thread->Stop(plat::kInfinite);
    } catch (...) {
    }
  }
  // Waits until the progress thread has written the final texts and ended.
  void WaitForEnd(plat::Handle stopEvent) { m_thread->WaitForEnd(stopEvent); }

 private:
  std::unique_ptr<dio::Thread_t> m_thread;
};

}  // namespace

XferThread_t::XferThread_t(dio::UIAccessPoint_t& accessPoint, thr::Event_t& stopEvent,
                           xfr::ProgressDlgIntf_t& dialog, xfr::MessageBoxIntf_t& messageBox, const std::string& port,
                           bool turnOff, gdb::Database_t& tracks, std::vector<LapPacket_t>& laps)
    : m_accessPoint(accessPoint),
      m_stopEvent(stopEvent),
      m_dialog(dialog),
      m_messageBox(messageBox),
      m_port(port),
      m_turnOff(turnOff),
      m_tracks(tracks),
      m_laps(laps) {}

void XferThread_t::Transfer() {
  TransferProgress_t progress(0, ioa::kPhaseStarted, 0);
  ProgressWorker_t progressThread(m_accessPoint, progress);
  m_dialog.SetTitle(Text(kStrTransferTitle));
  progress.SetPhase(ioa::kPhaseStarted, 0);

  ios::SerialLink_t link(m_stopEvent, m_port, kBaud);
  iog::Channel_t channel(link);
  channel.EnableA302();
  if (!channel.SupportsA906()) {
    // Through the dialog, like every other message of this thread.
    m_messageBox.Show(Text(kStrNoLapProtocol), plat::kMbOk, 0);
    throw dio::ExitThread_t();
  }
  channel.DownloadTracks(m_tracks, progress);
  channel.Pause();

  link.SendPacket(ioa::Command_t(ioa::Command_t::kSendLaps), kLapTimeoutMs);
  ioa::Records_t records;
  link.ReceivePacket(records, kLapTimeoutMs);
  // The unit counts its laps in 16 bits; a count it cannot have sent as a
  // signed value is taken as the unsigned one.
  const std::uint32_t count = static_cast<std::uint16_t>(records.value);
  progress.SetPhase(ioa::kPhaseLaps, count);
  LapPacket_t packet;
  for (std::uint32_t i = 0; i < count; ++i) {
    const iol::Frame_t frame = link.ReceiveFrame();
    if (frame.Id() != LapPacket_t::kId) continue;  // counted, but no lap
    progress.Increment();
    packet.Decode(frame);
    m_laps.push_back(packet);
  }
  if (m_turnOff) channel.TurnOffPower();
  progress.SetPhase(ioa::kPhaseFinished, 0);
  progressThread.WaitForEnd(m_stopEvent.Handle());
}

void XferThread_t::Close() {
  try {
    m_dialog.Close();
  } catch (...) {
  }
}

void XferThread_t::Tell(const std::string& text) {
  try {
    m_messageBox.Show(text, plat::kMbOk | plat::kMbIconExclamation, 0);
  } catch (...) {
    return;  // stopped while the message was up: the dialog is going away
  }
  Close();
}

void XferThread_t::Run() {
  dio::RemoteReference_t fatalRef({dio::kFatalDialogInterface, 1}, m_accessPoint);
  try {
    Transfer();
  } catch (const dio::ExitThread_t&) {
    Close();
  } catch (const glo::Terminate_t&) {
    // Stopped: the dialog is already going away.
  } catch (const dio::Exception_t& e) {
    // The way to the dialog is broken: report from here.
    try {
      err::FatalDialog_t report(e);
    } catch (...) {
    }
  } catch (const spo::CommError_t& e) {
    try {
      Tell(Text(kStrCommErrorHead) + e.GetText() + "\n" + Text(kStrCommErrorTail));
    } catch (...) {
    }
  } catch (const spo::CommFileError_t& e) {
    try {
      Tell(glo::StringResource_t(kStrPortError, GLO_SRC).Format(m_port, GLO_SRC) + e.GetText());
    } catch (...) {
    }
  } catch (const win::Error_t& e) {
    try {
      Tell(SystemText(e.ErrorCode()));
    } catch (...) {
    }
  } catch (const iol::Timeout_t&) {
    try {
      Tell(Text(kStrNoAnswer));
    } catch (...) {
    }
  } catch (...) {
    ReportWorkerFailure(fatalRef, GLO_SRC);
    Close();
  }
}

void ReportWorkerFailure(dio::ReferenceIntf_t& fatalReport, const char* file, int line) {
  try {
    try {
      throw;
    } catch (const glo::Exception_t& e) {
      err::ProxyFatalDialog_t report(fatalReport, e.SourceFile(), e.Line(), e.what());
    } catch (const win::StructuredException_t& e) {
      err::ProxyFatalDialog_t report(fatalReport, file, line, e.what());
    } catch (const std::exception& e) {
      err::ProxyFatalDialog_t report(fatalReport, file, line, e.what());
    } catch (...) {
      err::ProxyFatalDialog_t report(fatalReport, file, line, "Unknown error");
    }
  } catch (...) {
  }
}

unsigned TransferThreadMain(dio::Thread_t::Param_t* param) {
  win::InstallSeTranslator();
  XferThreadParams_t block;
  {
    const std::unique_ptr<XferThreadParams_t> owned(static_cast<XferThreadParams_t*>(param->Argument()));
    block = *owned;
  }
  try {
    dio::UIAccessPoint_t& point = param->AccessPoint();
    dio::RemoteReference_t dialogRef({dio::kProgressDlgInterface, 1}, point);
    xfr::ProxyProgressDlg_t dialog(dialogRef);
    dio::RemoteReference_t boxRef({dio::kMessageBoxInterface, 1}, point);
    xfr::ProxyMessageBox_t box(boxRef);
    XferThread_t thread(point, param->StopEvent(), dialog, box, block.port, block.turnOff, *block.tracks, *block.laps);
    thread.Run();
  } catch (...) {
    // Nothing could be set up: nothing can be reported either.
  }
  return 0;
}

}  // namespace app
