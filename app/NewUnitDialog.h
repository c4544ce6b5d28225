#pragma once
// The new-unit dialog: asks which user a unit that no user owns belongs to. A
// new name is typed, or an existing user picked (who then moves to the unit).
// The dialog only collects the name; the transfer dialog binds the unit.
#include <cstdint>
#include <string>

#include "app/UserDatabase.h"
#include "glo/GLO_NonCopyable.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_List.h"

namespace app {

class NewUnitDialog_t : public plat::Dialog_t, private glo::NonCopyable_t {
 public:
  enum : int { kTemplateId = 179, kUserBox = 1034 };
  enum : int { kStrEmptyName = kStrEmptyUserName, kStrExistingUser = 184 };

  explicit NewUnitDialog_t(std::uint32_t unitId, plat::Wnd_t* parent = nullptr);
  ~NewUnitDialog_t() override;

  // The chosen name; meaningful after DoModal gave IDOK.
  std::string GetUserName() const { return m_userName; }
  std::uint32_t GetUnitId() const { return m_unitId; }

 protected:
  // The users' names in the box, in ascending unit id, and an empty edit text.
  bool OnInitDialog() override;
  // A name of an existing user is asked about (string 184), whatever the
  // name: Cancel keeps the dialog open. Any other name is new: an empty or
  // blank one is refused (string 182), as is one that cannot be a file name
  // (the refusal's text).
  void OnOK() override;

 private:
  std::string m_userName;
  std::uint32_t m_unitId;
  plat::ComboBox_t m_userBox;
};

}  // namespace app
