#pragma once
// The search for the port of the unit: a dialog that starts the detection
// thread and shows what it reports through the cross-thread calls ({4, 1} the
// dialog, {2, 1} the fatal report).
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "afx/AFX_Thread.h"
#include "dio/DIO_FatalDialog.h"
#include "dio/DIO_LocalAccessPoint.h"
#include "ioa/IOA_VmapRgnInfo.h"
#include "plat/PLAT_Dialog.h"
#include "thr/THR_Event.h"

namespace xfr {

enum : unsigned {
  kGpsDetectDlgTemplate = 5808,
  kDetectText1 = 5804,
  kDetectText2 = 5805,
  kDetectButton = 5806,
  // The task that a failure report of the search names.
  kDetectTaskString = 7310,
};

// Method indices across threads: GetPorts 0, ShowProbing 1, NoPorts 2,
// ReportUnitWithRegion 3, ReportUnit 4, Close 5.
class GpsDetectDlgIntf_t {
 public:
  virtual ~GpsDetectDlgIntf_t() = default;
  virtual const std::vector<std::string>& GetPorts() = 0;
  virtual void ShowProbing(const std::string& port) = 0;
  virtual void NoPorts() = 0;
  virtual void ReportUnit(const std::string& description, const std::string& port) = 0;
  virtual void ReportUnitWithRegion(const std::string& description, const ioa::VmapRgnInfo_t& region,
                                    const std::string& port) = 0;
  virtual void Close() = 0;
};

class GpsDetectDlg_t : public plat::Dialog_t, public GpsDetectDlgIntf_t {
 public:
  // The ports belong to the caller, who keeps them while the dialog lives.
  explicit GpsDetectDlg_t(const std::vector<std::string>& ports);
  ~GpsDetectDlg_t() override;

  const std::vector<std::string>& GetPorts() override { return m_ports; }
  void ShowProbing(const std::string& port) override;
  void NoPorts() override;
  void ReportUnit(const std::string& description, const std::string& port) override;
  void ReportUnitWithRegion(const std::string& description, const ioa::VmapRgnInfo_t& region,
                            const std::string& port) override;
  void Close() override;

  // The reported port; empty when no unit was found.
  const std::string& DetectedPort() const { return m_detectedPort; }
  const std::optional<ioa::VmapRgnInfo_t>& Region() const { return m_region; }

 protected:
  bool OnInitDialog() override;
  bool OnCommand(unsigned id, unsigned code) override;
  bool OnMessage(unsigned message, plat::WPARAM wParam, plat::LPARAM lParam, plat::LRESULT& result) override;
  // The thread is stopped before the window goes, so that it never calls a
  // window that is gone.
  void OnDestroy() override;

 private:
  void SetText(unsigned id, const std::string& text);
  void StopThread();

  err::FatalDialog_t m_fatal;
  std::string m_detectedPort;
  std::unique_ptr<afx::Thread_t> m_thread;
  std::optional<ioa::VmapRgnInfo_t> m_region;
  const std::vector<std::string>& m_ports;
  err::FatalDialogRef_t m_fatalRef;
  std::unique_ptr<dio::ReferenceIntf_t> m_selfRef;
  dio::LocalAccessPoint_t m_local;
  dio::UIServer_t m_server;
};

class ProxyGpsDetectDlg_t : public GpsDetectDlgIntf_t, public dio::Proxy_t {
 public:
  explicit ProxyGpsDetectDlg_t(dio::ReferenceIntf_t& reference) : dio::Proxy_t(reference) {}
  // Refilled on every call.
  const std::vector<std::string>& GetPorts() override;
  void ShowProbing(const std::string& port) override;
  void NoPorts() override;
  void ReportUnit(const std::string& description, const std::string& port) override;
  void ReportUnitWithRegion(const std::string& description, const ioa::VmapRgnInfo_t& region,
                            const std::string& port) override;
  void Close() override;

 private:
  std::vector<std::string> m_ports;
};

// CallConst runs GetPorts (index 0) only.
class GpsDetectDlgRef_t : public dio::ReferenceIntf_t {
 public:
  explicit GpsDetectDlgRef_t(GpsDetectDlgIntf_t& dialog) : m_dialog(&dialog) {}
  void CallConst(dio::Stack_t& stack) override;
  void Call(dio::Stack_t& stack) override;

 private:
  GpsDetectDlgIntf_t* m_dialog;
};

// What the dialog hands its thread on the heap; the thread frees it.
struct GpsDetectThreadBlock_t {
  plat::HWND window;
  unsigned message;
};

// The detection thread's function; its argument is a GpsDetectThreadBlock_t.
unsigned GpsDetectThreadMain(afx::Thread_t::Param_t* param);

// Tries each port of the dialog's list at 9600 baud and reports the first unit
// that answers, or that none did.
void RunGpsDetect(GpsDetectDlgIntf_t& dialog, const thr::Event_t& stopEvent);

}  // namespace xfr
