#pragma once
// The transfer thread: talks to the unit while the transfer progress dialog is
// shown. It starts the progress thread, downloads the track log into the
// transfer's GPS database and the laps into its lap list, turns the unit off
// when asked, and lets the progress thread finish the dialog. A failure is told
// through the dialog's message box or fatal report and closes the dialog; a
// stop request ends the thread silently.
#include <string>
#include <vector>

#include "app/LapPacket.h"
#include "dio/DIO_FatalDialog.h"
#include "dio/DIO_Reference.h"
#include "dio/DIO_Thread.h"
#include "gdb/GDB_Database.h"
#include "thr/THR_Event.h"
#include "xfr/XFR_MessageBox.h"
#include "xfr/XFR_ProgressDlg.h"

namespace app {

// String ids of the transfer's messages.
enum : int {
  kStrCommErrorHead = 135,
  kStrCommErrorTail = 136,
  kStrPortError = 137,
  kStrNoAnswer = 138,
  kStrNoLapProtocol = 164,
};

// The thread's argument, built on the heap by the progress dialog; the thread
// frees it. The database and the lap list belong to the transfer dialog, which
// keeps them until the thread has ended.
struct XferThreadParams_t {
  std::string port;
  bool turnOff = false;
  gdb::Database_t* tracks = nullptr;
  std::vector<LapPacket_t>* laps = nullptr;
};

class XferThread_t {
 public:
  // The stop event is the thread's own; every wait of the transfer watches it.
  XferThread_t(dio::UIAccessPoint_t& accessPoint, thr::Event_t& stopEvent, xfr::ProgressDlgIntf_t& dialog,
               xfr::MessageBoxIntf_t& messageBox, const std::string& port, bool turnOff, gdb::Database_t& tracks,
               std::vector<LapPacket_t>& laps);

  // The transfer; never lets an exception escape.
  void Run();

 private:
  void Transfer();
  // Shows the message (exclamation icon, OK) and closes the dialog; a failure
  // of either is swallowed.
  void Tell(const std::string& text);
  void Close();

  dio::UIAccessPoint_t& m_accessPoint;
  thr::Event_t& m_stopEvent;
  xfr::ProgressDlgIntf_t& m_dialog;
  xfr::MessageBoxIntf_t& m_messageBox;
  std::string m_port;
  bool m_turnOff;
  gdb::Database_t& m_tracks;
  std::vector<LapPacket_t>& m_laps;
};

// The thread procedure (argument: an XferThreadParams_t). Returns 0.
unsigned TransferThreadMain(dio::Thread_t::Param_t* param);

// Reports the exception being handled through the fatal report behind the
// reference: a program exception with its own place and message, anything else
// at (file, line) with its text or "Unknown error". A failure of the report
// itself is swallowed. Call only from a catch block.
void ReportWorkerFailure(dio::ReferenceIntf_t& fatalReport, const char* file, int line);

}  // namespace app
