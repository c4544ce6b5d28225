#include "app/UserDialogs.h"

#include "app/ApplicationInfo.h"
#include "app/Document.h"
#include "app/UserDatabase.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"
#include "plat/PLAT_Button.h"
#include "plat/PLAT_Edit.h"
#include "plat/PLAT_Error.h"
#include "plat/PLAT_List.h"
#include "plat/PLAT_MessageBox.h"
#include "win/WIN_Exception.h"

namespace app {

namespace {

// A control of the dialog's template; a missing one is a broken template.
template <typename Control_t>
Control_t& Item(const plat::Wnd_t& dialog, int id) {
  auto* control = dynamic_cast<Control_t*>(dialog.GetDlgItem(id));
  GLO_ASSERT(control != nullptr);
  return *control;
}

void UpdateViews() {
  if (HasDocument()) GetDocument().UpdateAllViews();
}

int Ask(plat::Wnd_t* owner, int stringId, const std::string& name, unsigned type) {
  return plat::MessageBox(owner, glo::StringResource_t(stringId, GLO_SRC).Format(name, GLO_SRC),
                          GetApplicationInfo().Name(), type);
}

// A rename or delete that the file system refused (or whose list could not be
// written): the user is told with the system's text; nothing was changed.
void TellFileFailure(plat::Wnd_t* owner, int stringId, const std::string& name, const glo::Exception_t& e) {
  std::string system = e.what();
  if (const auto* error = dynamic_cast<const win::Error_t*>(&e)) {
    std::string text;
    if (plat::FormatMessage(error->ErrorCode(), text) && !text.empty()) system = text;
  }
  plat::MessageBox(owner, glo::StringResource_t(stringId, GLO_SRC).FormatArgs({name, system}, GLO_SRC),
                   GetApplicationInfo().Name(), plat::kMbOk | plat::kMbIconExclamation);
}

}  // namespace

bool RefuseBlankUserName(plat::Wnd_t& dialog, const std::string& name) {
  if (!IsBlankUserName(name)) return false;
  plat::MessageBox(&dialog, glo::StringResource_t(kStrEmptyUserName, GLO_SRC).Text(), GetApplicationInfo().Name(),
                   plat::kMbOk);
  return true;
}

bool EditUsersDialog_t::OnInitDialog() {
  plat::Dialog_t::OnInitDialog();
  FillUserList();
  return true;
}

void EditUsersDialog_t::FillUserList() {
  auto& list = Item<plat::ListBox_t>(*this, kUserList);
  list.ResetContent();
  for (const auto& entry : GetUserDatabase()) list.AddString(entry.second);
  const bool any = list.GetCount() > 0;
  Item<plat::Button_t>(*this, kRename).EnableWindow(any);
  Item<plat::Button_t>(*this, kDelete).EnableWindow(any);
  if (any) list.SetCurSel(0);
}

std::string EditUsersDialog_t::GetSelectedUser() const {
  const auto& list = Item<plat::ListBox_t>(*this, kUserList);
  std::string name;
  const int row = list.GetCurSel();
  if (row < 0 || !list.GetText(row, name)) throw win::Error_t(GLO_SRC, plat::kErrorInvalidParameter);
  return name;
}

bool EditUsersDialog_t::OnCommand(unsigned id, unsigned code) {
  if (code == plat::kBnClicked && id == kRename) {
    OnRename();
    return true;
  }
  if (code == plat::kBnClicked && id == kDelete) {
    OnDelete();
    return true;
  }
  return plat::Dialog_t::OnCommand(id, code);
}

void EditUsersDialog_t::OnRename() {
  RenameUserDialog_t rename(GetSelectedUser(), this);
  if (rename.DoModal() == plat::kIdOk) FillUserList();
}

void EditUsersDialog_t::OnDelete() {
  const std::string name = GetSelectedUser();
  if (Ask(this, 152, name, plat::kMbYesNo) != plat::kIdYes) return;
  try {
    GetUserDatabase().DeleteUser(name);
  } catch (const glo::Assert_t&) {
    throw;
  } catch (const glo::Exception_t& e) {
    TellFileFailure(this, 7301, name, e);
    return;
  }
  UpdateViews();
  FillUserList();
}

bool RenameUserDialog_t::OnInitDialog() {
  plat::Dialog_t::OnInitDialog();
  Item<plat::Edit_t>(*this, kName).SetWindowText(m_oldName);
  return true;
}

void RenameUserDialog_t::OnOK() {
  const std::string newName = Item<plat::Edit_t>(*this, kName).GetWindowText();
  if (newName != m_oldName) {
    if (RefuseBlankUserName(*this, newName)) return;
    for (const auto& entry : GetUserDatabase()) {
      if (entry.second == newName) {
        Ask(this, 153, newName, plat::kMbOk);
        return;
      }
    }
    try {
      GetUserDatabase().RenameUser(m_oldName, newName);
    } catch (const glo::InvalidInput_t& e) {
      // A name that cannot name the user's file: the user may try another.
      plat::MessageBox(this, e.Text(), GetApplicationInfo().Name(), plat::kMbOk | plat::kMbIconExclamation);
      return;
    } catch (const glo::Assert_t&) {
      throw;
    } catch (const glo::Exception_t& e) {
      // The file system refused the rename: the dialog stays for another try.
      TellFileFailure(this, 7300, m_oldName, e);
      return;
    }
    UpdateViews();
  }
  plat::Dialog_t::OnOK();
}

}  // namespace app
