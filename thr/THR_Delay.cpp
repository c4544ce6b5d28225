#include "thr/THR_Delay.h"

#include "glo/GLO_Exception.h"
#include "plat/PLAT_Event.h"

namespace thr {

void Delay(unsigned long milliseconds, plat::Handle stopEvent) {
  const unsigned long r = plat::WaitForSingleObject(stopEvent, milliseconds);
  if (r == plat::kWaitTimeout) return;
  if (r == plat::kWaitObject0) throw glo::Terminate_t(GLO_SRC);
  throw glo::Assert_t(GLO_SRC);
}

}  // namespace thr
