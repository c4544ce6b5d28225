#include "xfr/XFR_GpsDetectDlg.h"

#include "dio/DIO_Exception.h"
#include "glo/GLO_StringResource.h"
#include "glo/GLO_NoCase.h"

namespace xfr {

GpsDetectDlg_t::GpsDetectDlg_t(const std::vector<std::string>& ports)
    : plat::Dialog_t(kGpsDetectDlgTemplate, nullptr),
      // A failure of the search ends the search, not the program.
      m_fatal(err::FatalDialog_t::ForTask(kDetectTaskString)),
      m_ports(ports),
      m_fatalRef(m_fatal),
      m_selfRef(std::make_unique<GpsDetectDlgRef_t>(static_cast<GpsDetectDlgIntf_t&>(*this))),
      m_server(m_local) {
  m_local.Register({dio::kFatalDialogInterface, 1}, m_fatalRef);
  m_local.Register({dio::kGpsDetectDlgInterface, 1}, *m_selfRef);
}

GpsDetectDlg_t::~GpsDetectDlg_t() { StopThread(); }

void GpsDetectDlg_t::StopThread() {
  // Signals the stop and waits at most 3000 ms.
  m_thread.reset();
}

void GpsDetectDlg_t::SetText(unsigned id, const std::string& text) {
  plat::Wnd_t* item = GetDlgItem(static_cast<int>(id));
  GLO_ASSERT(item != nullptr);
  item->SetWindowText(text);
}

void GpsDetectDlg_t::ShowProbing(const std::string& port) {
  SetText(kDetectText1, glo::StringResource_t(5818, GLO_SRC).Format(port, GLO_SRC));
}

void GpsDetectDlg_t::NoPorts() {
  SetText(kDetectText1, glo::StringResource_t(5819, GLO_SRC));
  SetText(kDetectText2, glo::StringResource_t(5820, GLO_SRC));
  SetText(kDetectButton, glo::StringResource_t(5817, GLO_SRC));
}

void GpsDetectDlg_t::ReportUnit(const std::string& description, const std::string& port) {
  SetText(kDetectText1, glo::StringResource_t(5821, GLO_SRC).Format(port, GLO_SRC));
  SetText(kDetectText2, glo::StringResource_t(5822, GLO_SRC).Format(description, GLO_SRC));
  SetText(kDetectButton, glo::StringResource_t(5817, GLO_SRC));
  m_detectedPort = port;
}

void GpsDetectDlg_t::ReportUnitWithRegion(const std::string& description, const ioa::VmapRgnInfo_t& region,
                                          const std::string& port) {
  m_region = region;
  ReportUnit(description, port);
}

void GpsDetectDlg_t::Close() { EndDialog(plat::kIdCancel); }

bool GpsDetectDlg_t::OnInitDialog() {
  plat::Dialog_t::OnInitDialog();
  auto block = std::make_unique<GpsDetectThreadBlock_t>(GpsDetectThreadBlock_t{GetSafeHwnd(), dio::kCallMessage});
  m_thread = std::make_unique<afx::Thread_t>(GpsDetectThreadMain, block.get(), true);
  block.release();  // the thread's from here on
  m_thread->Resume();
  return true;
}

bool GpsDetectDlg_t::OnCommand(unsigned id, unsigned code) {
  if (id != kDetectButton || code != plat::kBnClicked) return plat::Dialog_t::OnCommand(id, code);
  plat::Wnd_t* button = GetDlgItem(kDetectButton);
  GLO_ASSERT(button != nullptr);
  const bool confirm =
      glo::EqualNoCase(button->GetWindowText(), glo::StringResource_t(5817, GLO_SRC).Text(), std::locale());
  EndDialog(confirm ? plat::kIdOk : plat::kIdCancel);
  return true;
}

bool GpsDetectDlg_t::OnMessage(unsigned message, plat::WPARAM wParam, plat::LPARAM lParam, plat::LRESULT& result) {
  return m_server.HandleMessage(message, wParam, lParam, result) ||
         plat::Dialog_t::OnMessage(message, wParam, lParam, result);
}

void GpsDetectDlg_t::OnDestroy() {
  StopThread();
  plat::Dialog_t::OnDestroy();
}

// ---- the worker's side --------------------------------------------------------

const std::vector<std::string>& ProxyGpsDetectDlg_t::GetPorts() {
  dio::Stack_t stack;
  Call(0, stack);
  m_ports = stack.PopStrings();
  return m_ports;
}

void ProxyGpsDetectDlg_t::ShowProbing(const std::string& port) {
  dio::Stack_t stack;
  stack.PushString(port);
  Call(1, stack);
  dio::CheckEmpty(stack, GLO_SRC);
}

void ProxyGpsDetectDlg_t::NoPorts() {
  dio::Stack_t stack;
  Call(2, stack);
  dio::CheckEmpty(stack, GLO_SRC);
}

void ProxyGpsDetectDlg_t::ReportUnitWithRegion(const std::string& description, const ioa::VmapRgnInfo_t& region,
                                               const std::string& port) {
  dio::Stack_t stack;
  stack.PushString(description);
  stack.PushRegion(region);
  stack.PushString(port);
  Call(3, stack);
  dio::CheckEmpty(stack, GLO_SRC);
}

void ProxyGpsDetectDlg_t::ReportUnit(const std::string& description, const std::string& port) {
  dio::Stack_t stack;
  stack.PushString(description);
  stack.PushString(port);
  Call(4, stack);
  dio::CheckEmpty(stack, GLO_SRC);
}

void ProxyGpsDetectDlg_t::Close() {
  dio::Stack_t stack;
  Call(5, stack);
  dio::CheckEmpty(stack, GLO_SRC);
}

// ---- the stub -----------------------------------------------------------------

void GpsDetectDlgRef_t::CallConst(dio::Stack_t& stack) {
  std::uint32_t index = 0;
  stack.Pop(&index, sizeof index);
  stack.PushU32(index);
  if (index != 0) throw dio::Exception_t(GLO_SRC);
  Call(stack);
}

void GpsDetectDlgRef_t::Call(dio::Stack_t& stack) {
  const bool oneWay = stack.IsOneWay();
  const std::uint32_t index = stack.PopU32();
  switch (index) {
    case 0:
      dio::CheckEmpty(stack, GLO_SRC);
      stack.PushStrings(m_dialog->GetPorts());
      break;
    case 1: {
      const std::string port = stack.PopString();
      dio::CheckEmpty(stack, GLO_SRC);
      m_dialog->ShowProbing(port);
      break;
    }
    case 2:
      dio::CheckEmpty(stack, GLO_SRC);
      m_dialog->NoPorts();
      break;
    case 3: {
      const std::string port = stack.PopString();
      const ioa::VmapRgnInfo_t region = stack.PopRegion();
      const std::string description = stack.PopString();
      dio::CheckEmpty(stack, GLO_SRC);
      m_dialog->ReportUnitWithRegion(description, region, port);
      break;
    }
    case 4: {
      const std::string port = stack.PopString();
      const std::string description = stack.PopString();
      dio::CheckEmpty(stack, GLO_SRC);
      m_dialog->ReportUnit(description, port);
      break;
    }
    case 5:
      dio::CheckEmpty(stack, GLO_SRC);
      m_dialog->Close();
      break;
    default:
      throw dio::Exception_t(GLO_SRC);
  }
  if (!oneWay) stack.PushU32(index);
}

}  // namespace xfr
