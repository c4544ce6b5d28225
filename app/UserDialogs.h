#pragma once
// The edit-users dialog (rename and delete users with their run databases)
// and the rename-user dialog that asks for the new name.
#include <string>

#include "glo/GLO_NonCopyable.h"
#include "plat/PLAT_Dialog.h"

namespace app {

// Where a user name is entered: a blank name (IsBlankUserName) is refused
// with string 182 and an OK button; true when refused.
bool RefuseBlankUserName(plat::Wnd_t& dialog, const std::string& name);

class EditUsersDialog_t : public plat::Dialog_t, private glo::NonCopyable_t {
 public:
  enum : int { kTemplateId = 180, kUserList = 1035, kRename = 1036, kDelete = 1037 };
  explicit EditUsersDialog_t(plat::Wnd_t* parent = nullptr) : plat::Dialog_t(kTemplateId, parent) {}

  // Shows the names of the user list; the buttons only when there is one,
  // the first row selected.
  void FillUserList();
  // The selected row's name; win::Error_t when no row is selected.
  std::string GetSelectedUser() const;

 protected:
  bool OnInitDialog() override;
  bool OnCommand(unsigned id, unsigned code) override;

 private:
  void OnRename();
  void OnDelete();
};

class RenameUserDialog_t : public plat::Dialog_t, private glo::NonCopyable_t {
 public:
  enum : int { kTemplateId = 181, kName = 1026 };
  RenameUserDialog_t(const std::string& oldName, plat::Wnd_t* parent = nullptr)
      : plat::Dialog_t(kTemplateId, parent), m_oldName(oldName) {}

 protected:
  bool OnInitDialog() override;
  // Refuses a blank name (string 182) and a name that another user has
  // (string 153); renames otherwise.
  void OnOK() override;

 private:
  std::string m_oldName;
};

}  // namespace app
