#include "afx/AFX_Resources.h"

#include "glo/GLO_StringResource.h"
#include "plat/PLAT_Dialog.h"

namespace afx {

void EnsureResourceHandle() {
  if (plat::GetResourceHandle() == nullptr) plat::SetResourceHandle(glo::GetResourceModule());
}

}  // namespace afx
