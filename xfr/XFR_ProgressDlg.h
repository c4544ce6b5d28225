#pragma once
// The progress dialog in front of the user while a worker talks to the device.
// It serves the calls of the workers that its derived dialog starts: the
// progress dialog itself ({3, 1}), a message box ({1, 1}) and the fatal report
// ({2, 1}).
#include <cstdint>
#include <memory>
#include <string>

#include "dio/DIO_FatalDialog.h"
#include "dio/DIO_LocalAccessPoint.h"
#include "glo/GLO_NonCopyable.h"
#include "plat/PLAT_Bars.h"
#include "plat/PLAT_Dialog.h"
#include "xfr/XFR_MessageBox.h"

namespace xfr {

// Template and control ids.
enum : unsigned {
  kProgressDlgTemplate = 5807,
  kProgressBar = 5800,
  kProgressText1 = 5801,
  kProgressText2 = 5802,
  kProgressText3 = 5803,
  // The task that a worker's failure report names: the transfer.
  kTransferTaskString = 7309,
};

class ProgressDlgIntf_t {
 public:
  virtual ~ProgressDlgIntf_t() = default;
  virtual void SetItemText(std::uint32_t controlId, const std::string& text) = 0;
  virtual void SetPos(std::uint32_t position) = 0;
  virtual void SetTitle(const std::string& text) = 0;
  virtual void HideProgressBar() = 0;
  virtual void SetBusy() = 0;
  virtual void ClearBusy() = 0;
  virtual void SetFinished() = 0;
  virtual void Close() = 0;
};

// A progress bar that shows a moving pattern instead of a position: a band
// pattern 26 pixels wide moved one pixel every 25 ms.
class IndefiniteProgressCtrl_t : public plat::ProgressCtrl_t {
 public:
  static constexpr unsigned kSteps = 26;
  // Takes over the template's bar and starts the animation.
  bool Attach(int id, plat::Wnd_t* dialog);
  unsigned Step() const { return m_step; }

 protected:
  void OnTimer(unsigned id) override;

 private:
  unsigned m_timer = 0;
  unsigned m_step = 0;
};

class ProgressDlg_t : public plat::Dialog_t, public ProgressDlgIntf_t, glo::NonCopyable_t {
 public:
  // 'delay' (ms, 0 for none) keeps the dialog collapsed that long; with
  // 'indefiniteMarker' the bar shows the moving pattern.
  ProgressDlg_t(plat::Wnd_t* parent, std::uint32_t delay, const void* indefiniteMarker);
  ~ProgressDlg_t() override;

  void SetItemText(std::uint32_t controlId, const std::string& text) override;
  void SetPos(std::uint32_t position) override;
  void SetTitle(const std::string& text) override;
  void HideProgressBar() override;
  void SetBusy() override;
  void ClearBusy() override;
  void SetFinished() override;
  // Ends with OK when finished, else Cancel; StopWork is not called.
  void Close() override;

  bool IsBusy() const { return m_busy; }
  bool IsFinished() const { return m_finished; }

 protected:
  // The derived dialog's hook, called before OK or Cancel ends the dialog: stop
  // the worker.
  virtual void StopWork() = 0;
  // Present but invisible: at (0, 0) with no size.
  virtual void Collapse();
  // Back to the saved size, centred on the parent window.
  virtual void CenterOnParent();

  bool OnInitDialog() override;
  // Only once finished.
  void OnOK() override;
  // Not while busy.
  void OnCancel() override;
  bool OnMessage(unsigned message, plat::WPARAM wParam, plat::LPARAM lParam, plat::LRESULT& result) override;
  void OnTimer(unsigned id) override;

 private:
  plat::Wnd_t& Item(std::uint32_t controlId);

  const void* m_indefinite;
  std::unique_ptr<plat::ProgressCtrl_t> m_progress;
  bool m_finished = false;
  bool m_busy = false;
  err::FatalDialog_t m_fatal;
  MessageBox_t m_messageBox;
  err::FatalDialogRef_t m_fatalRef;
  MessageBoxRef_t m_messageBoxRef;
  std::unique_ptr<dio::ReferenceIntf_t> m_progressRef;
  dio::LocalAccessPoint_t m_local;
  dio::UIServer_t m_server;
  plat::Wnd_t* m_parent;
  plat::RECT m_rect{};
  unsigned m_timer = 0;
  std::uint32_t m_delay;
};

class ProxyProgressDlg_t : public ProgressDlgIntf_t, public dio::Proxy_t {
 public:
  explicit ProxyProgressDlg_t(dio::ReferenceIntf_t& reference) : dio::Proxy_t(reference) {}
  void SetItemText(std::uint32_t controlId, const std::string& text) override;
  void SetPos(std::uint32_t position) override;
  void SetTitle(const std::string& text) override;
  void HideProgressBar() override { CallWithout(3); }
  void SetBusy() override { CallWithout(4); }
  void ClearBusy() override { CallWithout(5); }
  void SetFinished() override { CallWithout(6); }
  void Close() override { CallWithout(7); }

 private:
  void CallWithout(std::uint32_t index);
};

// Indices 0 to 7 in the interface's order; CallConst refuses every call.
class ProgressDlgRef_t : public dio::ReferenceIntf_t {
 public:
  explicit ProgressDlgRef_t(ProgressDlgIntf_t& dialog) : m_dialog(&dialog) {}
  void CallConst(dio::Stack_t& stack) override;
  void Call(dio::Stack_t& stack) override;

 private:
  ProgressDlgIntf_t* m_dialog;
};

}  // namespace xfr
