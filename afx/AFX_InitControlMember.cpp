#include "afx/AFX_InitControlMember.h"

#include "glo/GLO_Exception.h"

namespace afx {

bool InitControlMember(plat::Wnd_t& dialog, int id, plat::Wnd_t& member) {
  GLO_ASSERT(!member.HasWindow());
  GLO_ASSERT(dialog.HasWindow());
  GLO_ASSERT(id != 0);
  GLO_ASSERT(id != -1);
  GLO_ASSERT(dialog.GetDlgItem(id) != nullptr);
  GLO_ASSERT(member.SubclassDlgItem(id, &dialog));
  return true;
}

}  // namespace afx
