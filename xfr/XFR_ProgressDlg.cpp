#include "xfr/XFR_ProgressDlg.h"

#include "dio/DIO_Exception.h"
#include "glo/GLO_StringResource.h"

namespace xfr {

namespace {

constexpr unsigned kDelayTimer = 1;
constexpr unsigned kAnimationTimer = 1;
constexpr unsigned kAnimationPeriod = 25;
constexpr unsigned kCancel = plat::kIdCancel;

}  // namespace

// ---- the moving pattern ----------------------------------------------------

bool IndefiniteProgressCtrl_t::Attach(int id, plat::Wnd_t* dialog) {
  if (!SubclassDlgItem(id, dialog)) return false;
  SetRange(0, 0);  // the platform's busy pattern
  m_timer = kAnimationTimer;
  SetTimer(m_timer, kAnimationPeriod);
  return true;
}

void IndefiniteProgressCtrl_t::OnTimer(unsigned id) {
  if (id != m_timer) return plat::ProgressCtrl_t::OnTimer(id);
  KillTimer(m_timer);
  m_step = (m_step + 1) % kSteps;
  Invalidate(true);
  UpdateWindow();
  SetTimer(m_timer, kAnimationPeriod);
}

// ---- the dialog ---------------------------------------------------------------

ProgressDlg_t::ProgressDlg_t(plat::Wnd_t* parent, std::uint32_t delay, const void* indefiniteMarker)
    : plat::Dialog_t(kProgressDlgTemplate, parent),
      m_indefinite(indefiniteMarker),
      m_progress(indefiniteMarker != nullptr ? std::make_unique<IndefiniteProgressCtrl_t>()
                                             : std::make_unique<plat::ProgressCtrl_t>()),
      // A worker's failure ends the transfer, not the program.
      m_fatal(err::FatalDialog_t::ForTask(kTransferTaskString)),
      m_fatalRef(m_fatal),
      m_messageBoxRef(m_messageBox),
      m_progressRef(std::make_unique<ProgressDlgRef_t>(static_cast<ProgressDlgIntf_t&>(*this))),
      m_server(m_local),
      m_parent(parent),
      m_delay(delay) {
  m_local.Register({dio::kFatalDialogInterface, 1}, m_fatalRef);
  m_local.Register({dio::kMessageBoxInterface, 1}, m_messageBoxRef);
  m_local.Register({dio::kProgressDlgInterface, 1}, *m_progressRef);
}

ProgressDlg_t::~ProgressDlg_t() {
  m_local.Unregister({dio::kProgressDlgInterface, 1});
  if (HasWindow()) DestroyWindow();
}

plat::Wnd_t& ProgressDlg_t::Item(std::uint32_t controlId) {
  plat::Wnd_t* item = GetDlgItem(static_cast<int>(controlId));
  GLO_ASSERT(item != nullptr);
  return *item;
}

void ProgressDlg_t::SetItemText(std::uint32_t controlId, const std::string& text) {
  Item(controlId).SetWindowText(text);
}

void ProgressDlg_t::SetPos(std::uint32_t position) { m_progress->SetPos(static_cast<int>(position)); }

void ProgressDlg_t::SetTitle(const std::string& text) { SetWindowText(text); }

void ProgressDlg_t::HideProgressBar() { m_progress->ShowWindow(false); }

void ProgressDlg_t::SetBusy() {
  Item(kCancel).EnableWindow(false);
  ModifyStyle(plat::kWsSysMenu, 0);
  Invalidate(true);
  UpdateWindow();
  m_busy = true;
}

void ProgressDlg_t::ClearBusy() {
  Item(kCancel).EnableWindow(true);
  ModifyStyle(0, plat::kWsSysMenu);
  Invalidate(true);
  UpdateWindow();
  m_busy = false;
}

void ProgressDlg_t::SetFinished() {
  plat::Wnd_t& cancel = Item(kCancel);
  cancel.SetFocus();
  cancel.SetWindowText(glo::StringResource_t(5809, GLO_SRC));
  m_finished = true;
}

void ProgressDlg_t::Close() { EndDialog(m_finished ? plat::kIdOk : plat::kIdCancel); }

void ProgressDlg_t::Collapse() { MoveWindow(0, 0, 0, 0, false); }

void ProgressDlg_t::CenterOnParent() {
  GLO_ASSERT(m_parent != nullptr && m_parent->HasWindow());
  const plat::RECT p = m_parent->GetWindowRect();
  const int width = m_rect.right - m_rect.left;
  const int height = m_rect.bottom - m_rect.top;
  MoveWindow((p.left + p.right) / 2 - width / 2, (p.top + p.bottom) / 2 - height / 2, width, height, true);
}

bool ProgressDlg_t::OnInitDialog() {
  plat::Dialog_t::OnInitDialog();
  GLO_ASSERT(m_progress != nullptr);
  bool attached;
  if (m_indefinite != nullptr)
    attached = static_cast<IndefiniteProgressCtrl_t&>(*m_progress).Attach(kProgressBar, this);
  else
    attached = m_progress->SubclassDlgItem(kProgressBar, this);
  GLO_ASSERT(attached);
  SetItemText(kProgressText2, std::string());
  SetItemText(kProgressText3, glo::StringResource_t(5810, GLO_SRC));
  SetItemText(kProgressText1, std::string());
  Item(kProgressText1).SetFocus();
  m_rect = GetWindowRect();
  SetPos(50);
  Invalidate(true);
  m_progress->UpdateWindow();
  if (m_delay != 0) {
    Collapse();
    if (SetTimer(kDelayTimer, m_delay)) m_timer = kDelayTimer;
  }
  return false;
}

void ProgressDlg_t::OnOK() {
  if (!m_finished) return;
  StopWork();
  EndDialog(plat::kIdOk);
}

void ProgressDlg_t::OnCancel() {
  if (m_busy) return;
  StopWork();
  EndDialog(m_finished ? plat::kIdOk : plat::kIdCancel);
}

bool ProgressDlg_t::OnMessage(unsigned message, plat::WPARAM wParam, plat::LPARAM lParam, plat::LRESULT& result) {
  return m_server.HandleMessage(message, wParam, lParam, result) ||
         plat::Dialog_t::OnMessage(message, wParam, lParam, result);
}

void ProgressDlg_t::OnTimer(unsigned id) {
  if (id != m_timer || m_timer == 0) return plat::Dialog_t::OnTimer(id);
  KillTimer(m_timer);
  m_timer = 0;
  // An indefinite bar never shows a position below 50.
  if (m_indefinite == nullptr && m_progress->GetPos() < 50) CenterOnParent();
}

// ---- the worker's side --------------------------------------------------------

void ProxyProgressDlg_t::SetItemText(std::uint32_t controlId, const std::string& text) {
  dio::Stack_t stack;
  stack.PushU32(controlId);
  stack.PushString(text);
  Call(0, stack);
  dio::CheckEmpty(stack, GLO_SRC);
}

void ProxyProgressDlg_t::SetPos(std::uint32_t position) {
  dio::Stack_t stack;
  stack.PushU32(position);
  Call(1, stack);
  dio::CheckEmpty(stack, GLO_SRC);
}

void ProxyProgressDlg_t::SetTitle(const std::string& text) {
  dio::Stack_t stack;
  stack.PushString(text);
  Call(2, stack);
  dio::CheckEmpty(stack, GLO_SRC);
}

void ProxyProgressDlg_t::CallWithout(std::uint32_t index) {
  dio::Stack_t stack;
  Call(index, stack);
  dio::CheckEmpty(stack, GLO_SRC);
}

// ---- the stub -----------------------------------------------------------------

void ProgressDlgRef_t::CallConst(dio::Stack_t& /*stack*/) { throw dio::Exception_t(GLO_SRC); }

void ProgressDlgRef_t::Call(dio::Stack_t& stack) {
  const bool oneWay = stack.IsOneWay();
  const std::uint32_t index = stack.PopU32();
  switch (index) {
    case 0: {
      const std::string text = stack.PopString();
      const std::uint32_t id = stack.PopU32();
      dio::CheckEmpty(stack, GLO_SRC);
      m_dialog->SetItemText(id, text);
      break;
    }
    case 1: {
      const std::uint32_t position = stack.PopU32();
      dio::CheckEmpty(stack, GLO_SRC);
      m_dialog->SetPos(position);
      break;
    }
    case 2: {
      const std::string text = stack.PopString();
      dio::CheckEmpty(stack, GLO_SRC);
      m_dialog->SetTitle(text);
      break;
    }
    case 3: case 4: case 5: case 6: case 7: {
      dio::CheckEmpty(stack, GLO_SRC);
      void (ProgressDlgIntf_t::*const calls[])() = {&ProgressDlgIntf_t::HideProgressBar, &ProgressDlgIntf_t::SetBusy,
                                                    &ProgressDlgIntf_t::ClearBusy, &ProgressDlgIntf_t::SetFinished,
                                                    &ProgressDlgIntf_t::Close};
      (m_dialog->*calls[index - 3])();
      break;
    }
    default:
      throw dio::Exception_t(GLO_SRC);
  }
  if (!oneWay) stack.PushU32(index);
}

}  // namespace xfr
