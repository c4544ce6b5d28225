#pragma once
// The transfer dialog: the user picks the port and whether the unit is turned
// off afterwards; OK identifies the unit, finds (or asks for) its user, runs
// the transfer progress dialog and adds the new runs to the document as one
// undoable action.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "afx/AFX_Thread.h"
#include "app/LapPacket.h"
#include "gdb/GDB_Database.h"
#include "glo/GLO_NonCopyable.h"
#include "plat/PLAT_Dialog.h"
#include "xfr/XFR_SerialCommSettingCtrlDlg.h"

namespace app {

class TransferDialog_t : public plat::Dialog_t, private glo::NonCopyable_t {
 public:
  enum : int { kTemplateId = 145, kOptionsTemplateId = 139, kPortSelectorTemplateId = 5846 };
  enum : int { kOptionsPlace = 1025, kPortPlace = 1019, kTurnOff = 1024 };
  // Messages of the probe.
  enum : int {
    kStrProbeCommErrorHead = 191,
    kStrProbeCommErrorTail = 180,
    kStrProbePortError = 181,
    kStrProbeFailed = 192,
  };

  explicit TransferDialog_t(plat::Wnd_t* parent = nullptr);
  ~TransferDialog_t() override;

  const std::string& GetUserName() const { return m_userName; }
  std::uint32_t GetUnitId() const { return m_unitId; }
  xfr::SerialCommSettingCtrlDlg_t& PortSelector() { return m_portSelector; }

  // Reads the unit id at 9600 baud; false, after telling the user, when that
  // fails. The link runs on a worker while the dialog stays alive: Cancel
  // stops the reading within moments and ends the dialog without a message.
  bool ProbeUnit();
  // Whether the unit's id is being read now.
  bool IsProbing() const { return m_probe != nullptr; }
  // True when the unit has a user, or the new-unit dialog named one; false
  // when that dialog was cancelled.
  bool ResolveUser();
  // Makes the unit's user the current one. A user who is new to the document
  // (a new name, or the first user of an empty list) starts from the runs
  // stored under that name, if any; the current user's runs are saved first.
  void BindUnitToUser();

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

 private:
  std::string SelectedPort() const;

  plat::Dialog_t m_options;
  xfr::SerialCommSettingCtrlDlg_t m_portSelector;
  std::string m_userName;
  std::uint32_t m_unitId = 0;
  afx::Thread_t* m_probe = nullptr;  // the worker reading the unit id, while it runs
  bool m_cancelled = false;          // Cancel came while it ran
};

// The transfer command (32782, and the start without users): the transfer
// dialog, run modally.
void RunTransferDialog();

}  // namespace app
