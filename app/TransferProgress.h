#pragma once
// The transfer progress dialog and the progress thread that keeps it up to
// date. The dialog starts the transfer thread when it opens and stops it (and
// waits for it to end) when it closes; the progress thread shows the phase and
// the percentage of the transfer and finishes the dialog at the end.
#include <memory>
#include <string>
#include <vector>

#include "app/LapPacket.h"
#include "dio/DIO_Thread.h"
#include "gdb/GDB_Database.h"
#include "ioa/IOA_Channel.h"
#include "thr/THR_Progress.h"
#include "xfr/XFR_ProgressDlg.h"

namespace app {

// The progress of one transfer, shared by the transfer and progress threads.
using TransferProgress_t = thr::PhasedProgress_t<ioa::Phase_t>;

// String ids of the progress texts.
enum : int {
  kStrFinishedTitle = 139,
  kStrFinishedStatus = 140,
  kStrPercent = 141,
  kStrTransferTitle = 142,
  kStrPhaseStarted = 143,
  kStrPhaseTracks = 146,
  kStrPhaseLaps = 147,
};

class XferDialog_t : public xfr::ProgressDlg_t {
 public:
  // The database and the lap list are the caller's and must outlive the dialog.
  XferDialog_t(const std::string& port, bool turnOff, gdb::Database_t& tracks, std::vector<LapPacket_t>& laps);
  ~XferDialog_t() override;

 protected:
  // The base's initialisation, then the transfer thread is started.
  bool OnInitDialog() override;
  // Stops the transfer thread and waits until it has ended.
  void StopWork() override;

 private:
  std::unique_ptr<dio::Thread_t> m_thread;
  std::string m_port;
  bool m_turnOff;
  gdb::Database_t* m_tracks;
  std::vector<LapPacket_t>* m_laps;
};

class ProgThread_t {
 public:
  ProgThread_t(thr::Event_t& stopEvent, TransferProgress_t& progress, xfr::ProgressDlgIntf_t& dialog)
      : m_stopEvent(stopEvent), m_progress(progress), m_dialog(dialog) {}

  // Follows the progress until phase 11, then writes the final texts and marks
  // the dialog finished. A stop ends it quietly; a failure is reported through
  // the fatal report behind the reference. Never closes the dialog.
  void Run(dio::ReferenceIntf_t& fatalReport);
  // The phase text (control 5802) of the current phase.
  void ShowPhase();
  // The bar and the percentage text (control 5801).
  void ShowProgress();

  // The text of a phase; glo::Assert_t for a phase without one. False for
  // phase 11, which leaves the text as it is.
  static bool PhaseText(ioa::Phase_t phase, std::string& text);

 private:
  void Follow();

  thr::Event_t& m_stopEvent;
  TransferProgress_t& m_progress;
  xfr::ProgressDlgIntf_t& m_dialog;
};

// The progress thread procedure; the argument is a heap cell holding the
// address of the progress object, which the thread frees. Returns 0.
unsigned ProgressThreadMain(dio::Thread_t::Param_t* param);

}  // namespace app
