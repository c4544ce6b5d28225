// The detection thread: tries the ports one after another and reports the first
// unit that answers.
#include <memory>

#include "dio/DIO_Exception.h"
#include "dio/DIO_UIAccessPoint.h"
#include "ioa/IOA_Channel.h"
#include "iol/IOL_Exception.h"
#include "plat/PLAT_App.h"
#include "ios/IOS_SerialLink.h"
#include "win/WIN_StructuredException.h"
#include "xfr/XFR_GpsDetectDlg.h"

namespace xfr {

namespace {

// The fatal report through the dialog, then the dialog closed; whatever that
// raises in turn is swallowed, the thread ends anyway.
void ReportAndClose(dio::ReferenceIntf_t& fatalRef, GpsDetectDlgIntf_t& dialog, const char* file, int line,
                    const std::string& message) {
  try {
    err::ProxyFatalDialog_t report(fatalRef, file, line, message);
    dialog.Close();
  } catch (...) {
  }
}

// Negotiates with the unit on one open link and reports it.
void ProbeUnit(iol::Link_t& link, GpsDetectDlgIntf_t& dialog, const std::string& port) {
  ioa::Channel_t channel(link);
  const std::vector<std::string>& descriptions = channel.GetProductData().descriptions;
  GLO_ASSERT(!descriptions.empty());
  const std::string& description = descriptions.front();
  if (channel.SupportsA900()) {
    ioa::VmapRgnInfo_t region;
    bool answered = true;
    try {
      channel.RequestVmapRgnInfo(region);
    } catch (const iol::Timeout_t&) {
      answered = false;
    }
    if (answered) return dialog.ReportUnitWithRegion(description, region, port);
  }
  dialog.ReportUnit(description, port);
}

}  // namespace

void RunGpsDetect(GpsDetectDlgIntf_t& dialog, const thr::Event_t& stopEvent) {
  const std::vector<std::string> ports = dialog.GetPorts();
  for (const std::string& port : ports) {
    dialog.ShowProbing(port);
    try {
      // The link and the channel close before the next port opens.
      ios::SerialLink_t link(stopEvent, port, 9600);
      ProbeUnit(link, dialog, port);
      return;  // only the first unit found is reported
    } catch (const glo::CommunicationsError_t&) {
      // No unit on this port (or none that answers properly): the next one.
    }
  }
  dialog.NoPorts();
}

unsigned GpsDetectThreadMain(afx::Thread_t::Param_t* param) {
  win::InstallSeTranslator();
  plat::SetThreadStopEvent(param->StopEvent().Handle());
  GpsDetectThreadBlock_t block;
  {
    const std::unique_ptr<GpsDetectThreadBlock_t> owned(static_cast<GpsDetectThreadBlock_t*>(param->Argument()));
    block = *owned;
  }
  // Both access points stop with the thread's stop event, which is also the
  // link's abort event.
  try {
    dio::UIAccessPoint_t dialogPoint(block.window, block.message, param->StopEvent().Handle());
    dio::RemoteReference_t dialogRef({dio::kGpsDetectDlgInterface, 1}, dialogPoint);
    ProxyGpsDetectDlg_t dialog(dialogRef);
    dio::UIAccessPoint_t fatalPoint(block.window, block.message, param->StopEvent().Handle());
    dio::RemoteReference_t fatalRef({dio::kFatalDialogInterface, 1}, fatalPoint);
    try {
      RunGpsDetect(dialog, param->StopEvent());
    } catch (const glo::Terminate_t&) {
      // Stopped: end quietly.
    } catch (const dio::ExitThread_t&) {
    } catch (const dio::Exception_t& e) {
      // The way to the dialog is broken: report from here.
      try {
        err::FatalDialog_t report(e);
      } catch (...) {
      }
    } catch (const glo::Exception_t& e) {
      ReportAndClose(fatalRef, dialog, e.SourceFile(), e.Line(), e.what());
    } catch (const win::StructuredException_t& e) {
      ReportAndClose(fatalRef, dialog, GLO_SRC, e.what());
    } catch (const std::exception& e) {
      ReportAndClose(fatalRef, dialog, GLO_SRC, e.what());
    } catch (...) {
      ReportAndClose(fatalRef, dialog, GLO_SRC, "Unknown error.");
    }
  } catch (...) {
    // The access points could not be made: nothing can be reported.
  }
  return 0;
}

}  // namespace xfr
