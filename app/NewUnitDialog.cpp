#include "app/NewUnitDialog.h"

#include "afx/AFX_InitControlMember.h"
#include "app/ApplicationInfo.h"
#include "app/UserDatabase.h"
#include "app/UserDialogs.h"
#include "glo/GLO_StringResource.h"
#include "plat/PLAT_ComboEdit.h"
#include "plat/PLAT_MessageBox.h"

namespace app {

NewUnitDialog_t::NewUnitDialog_t(std::uint32_t unitId, plat::Wnd_t* parent)
    : plat::Dialog_t(kTemplateId, parent), m_unitId(unitId) {}

NewUnitDialog_t::~NewUnitDialog_t() = default;

bool NewUnitDialog_t::OnInitDialog() {
  plat::Dialog_t::OnInitDialog();
  afx::InitControlMember(*this, kUserBox, m_userBox);
  plat::SetComboEditable(m_userBox);
  for (const auto& entry : GetUserDatabase()) m_userBox.AddString(entry.second);
  plat::SetComboText(m_userBox, std::string());
  return true;
}

void NewUnitDialog_t::OnOK() {
  m_userName = plat::GetComboText(m_userBox);
  const std::string caption = GetApplicationInfo().Name();
  bool existing = false;
  for (const auto& entry : GetUserDatabase()) existing = existing || entry.second == m_userName;
  if (existing) {
    // A user of the list, whatever names earlier versions let in: the watch
    // joins that user once the question is answered.
    if (plat::MessageBox(this, glo::StringResource_t(kStrExistingUser, GLO_SRC).Text(), caption,
                         plat::kMbOkCancel) == plat::kIdCancel)
      return;
    plat::Dialog_t::OnOK();
    return;
  }
  if (RefuseBlankUserName(*this, m_userName)) return;
  // The name becomes the name of the user's run database: one that cannot be
  // a file name is refused here, before the transfer goes on.
  try {
    CheckNewUserName(m_userName);
  } catch (const glo::InvalidInput_t& e) {
    plat::MessageBox(this, e.Text(), caption, plat::kMbOk | plat::kMbIconExclamation);
    return;
  }
  plat::Dialog_t::OnOK();
}

}  // namespace app
