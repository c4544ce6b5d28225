#include "app/TransferDialog.h"

#include <atomic>
#include <exception>

#include "afx/AFX_GetDlgItem.h"
#include "app/AppSettings.h"
#include "app/ApplicationInfo.h"
#include "app/Document.h"
#include "app/NewUnitDialog.h"
#include "app/RunImport.h"
#include "app/TransferProgress.h"
#include "app/TransferThread.h"
#include "app/UserDatabase.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"
#include "ioa/IOA_Channel.h"
#include "iol/IOL_Exception.h"
#include "ios/IOS_SerialLink.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Button.h"
#include "plat/PLAT_Cursor.h"
#include "plat/PLAT_Error.h"
#include "plat/PLAT_MessageBox.h"
#include "spo/SPO_Exception.h"
#include "thr/THR_Event.h"
#include "win/WIN_Exception.h"
#include "xfr/XFR_CommSettings.h"

namespace app {

namespace {

std::string Text(int id) { return glo::StringResource_t(id, GLO_SRC).Text(); }

// Moves the window over the placeholder control of its parent.
void PlaceOver(plat::Wnd_t& window, const plat::Wnd_t& parent, int placeholderId) {
  plat::RECT rect = afx::GetDlgItem(parent, placeholderId).GetWindowRect();
  parent.ScreenToClient(rect);
  window.MoveWindow(rect);
}

}  // namespace

TransferDialog_t::TransferDialog_t(plat::Wnd_t* parent)
    : plat::Dialog_t(kTemplateId, parent),
      m_options(kOptionsTemplateId, nullptr),
      m_portSelector(kPortSelectorTemplateId, xfr::GetCommSettings().Port.Value()) {}

TransferDialog_t::~TransferDialog_t() {
  try {
    if (m_portSelector.HasWindow()) m_portSelector.DestroyWindow();
    if (m_options.HasWindow()) m_options.DestroyWindow();
  } catch (...) {
  }
}

bool TransferDialog_t::OnInitDialog() {
  plat::Dialog_t::OnInitDialog();
  GLO_ASSERT(m_options.CreateChild(this, kOptionsTemplateId));
  PlaceOver(m_options, *this, kOptionsPlace);
  GLO_ASSERT(m_portSelector.CreateInPlace(m_options));
  PlaceOver(m_portSelector, m_options, kPortPlace);
  auto* turnOff = dynamic_cast<plat::Button_t*>(&afx::GetDlgItem(m_options, kTurnOff));
  GLO_ASSERT(turnOff != nullptr);
  turnOff->SetCheck(GetAppSettings().turnOff.Value() ? plat::kBstChecked : plat::kBstUnchecked);
  return true;
}

std::string TransferDialog_t::SelectedPort() const { return m_portSelector.Ctrl().GetText(); }

void TransferDialog_t::OnOK() {
  if (m_probe != nullptr) return;  // reading the unit already
  if (!m_portSelector.ValidateOnSave(true)) return;
  auto* turnOff = dynamic_cast<plat::Button_t*>(&afx::GetDlgItem(m_options, kTurnOff));
  GLO_ASSERT(turnOff != nullptr);
  GetAppSettings().turnOff.Set(turnOff->GetCheck() == plat::kBstChecked);
  xfr::GetCommSettings().Port.Set(SelectedPort());

  gdb::Database_t tracks(gdb::Name_t(), 3);
  std::vector<LapPacket_t> laps;
  if (!ProbeUnit()) return;
  if (!ResolveUser()) return;
  {
    XferDialog_t progress(SelectedPort(), GetAppSettings().turnOff.Value(), tracks, laps);
    if (progress.DoModal() != plat::kIdOk) {
      plat::Dialog_t::OnOK();
      return;
    }
  }
  plat::WaitCursor_t wait;
  BindUnitToUser();
  Document_t& document = GetDocument();
  const ImportedRuns_t imported = GroupLapsIntoRuns(laps, tracks, document.GetRuns());
  document.AddRunsFromTransfer(imported.runs, imported.replaced);
  document.UpdateAllViews();
  plat::Dialog_t::OnOK();
}

namespace {

// What the worker that reads the unit id and the dialog share.
struct Probe_t {
  std::string port;
  std::uint32_t unitId = 0;
  std::exception_ptr failure;  // what ended the reading, when it failed
  std::atomic<bool> done{false};
};

// The worker: the link's waits watch its stop event, so Cancel ends them.
unsigned ProbeThreadMain(afx::Thread_t::Param_t* param) {
  auto& probe = *static_cast<Probe_t*>(param->Argument());
  try {
    ios::SerialLink_t link(param->StopEvent(), probe.port, 9600);
    ioa::Channel_t channel(link);
    probe.unitId = channel.ReadUnitId();
  } catch (...) {
    probe.failure = std::current_exception();
  }
  probe.done = true;
  return 0;
}

}  // namespace

void TransferDialog_t::OnCancel() {
  if (m_probe == nullptr) return plat::Dialog_t::OnCancel();
  // The reading stops at its next wait; OK ends the dialog when it has.
  m_cancelled = true;
  m_probe->Stop(0);
}

bool TransferDialog_t::ProbeUnit() {
  const std::string port = SelectedPort();
  std::string message;
  {
    plat::WaitCursor_t wait;
    Probe_t probe;
    probe.port = port;
    m_cancelled = false;
    // Only Cancel stays usable while the unit is read.
    plat::Wnd_t* ok = GetDlgItem(plat::kIdOk);
    if (ok != nullptr) ok->EnableWindow(false);
    m_options.EnableWindow(false);
    {
      afx::Thread_t thread(ProbeThreadMain, &probe, false);
      m_probe = &thread;
      try {
        plat::PumpUntil([&] { return probe.done.load(); }, plat::kInfinite);
      } catch (...) {
        m_probe = nullptr;
        throw;
      }
      m_probe = nullptr;
    }
    if (ok != nullptr) ok->EnableWindow(true);
    m_options.EnableWindow(true);
    if (m_cancelled) {
      plat::Dialog_t::OnCancel();
      return false;
    }
    if (!probe.failure) {
      m_unitId = probe.unitId;
      return true;
    }
    try {
      std::rethrow_exception(probe.failure);
    } catch (const glo::Terminate_t&) {
      return false;  // stopped: nothing to tell
    } catch (const spo::CommError_t& e) {
      try {
        message = Text(kStrProbeCommErrorHead) + e.GetText() + "\n" + Text(kStrProbeCommErrorTail);
      } catch (...) {
      }
    } catch (const spo::CommFileError_t& e) {
      try {
        message = glo::StringResource_t(kStrProbePortError, GLO_SRC).Format(port, GLO_SRC) + e.GetText();
      } catch (...) {
      }
    } catch (const win::Error_t& e) {
      plat::FormatMessage(e.ErrorCode(), message);
    } catch (const iol::Timeout_t&) {
      try {
        message = Text(kStrNoAnswer);
      } catch (...) {
      }
    } catch (...) {
      try {
        message = Text(kStrProbeFailed);
      } catch (...) {
      }
    }
  }
  try {
    plat::MessageBox(this, message, GetApplicationInfo().Name(), plat::kMbOk | plat::kMbIconExclamation);
  } catch (...) {
  }
  return false;
}

bool TransferDialog_t::ResolveUser() {
  const UserDatabase_t& users = GetUserDatabase();
  if (users.find(m_unitId) != users.end()) return true;
  NewUnitDialog_t dialog(m_unitId, this);
  if (dialog.DoModal() == plat::kIdCancel) return false;
  m_userName = dialog.GetUserName();
  return true;
}

void TransferDialog_t::BindUnitToUser() {
  Document_t& document = GetDocument();
  UserDatabase_t& users = GetUserDatabase();
  const auto listed = users.find(m_unitId);
  if (listed != users.end()) {
    m_userName = listed->second;
    document.BindNewUser(m_unitId, m_userName);
    document.SetCurrentUser(m_userName);
    document.LoadDatabase();
    return;
  }
  for (const auto& [unit, name] : users) {
    if (name != m_userName) continue;
    users.BindUnit(m_unitId, unit, m_userName);
    return;
  }
  // A new user, or the first of an empty list: the runs in the document are
  // the current user's and are saved under that name only; the new user's
  // history is what is stored under the new name (nothing when no file).
  document.BindNewUser(m_unitId, m_userName);
  document.SetCurrentUser(m_userName);
  document.LoadDatabase();
}

void RunTransferDialog() {
  TransferDialog_t dialog;
  dialog.DoModal();
}

}  // namespace app
