#include "thr/THR_Delay.h"

#include "glo/GLO_Exception.h"

namespace thr {

void Delay(unsigned long milliseconds, Event_t& stopEvent) {
  const unsigned long r = plat::WaitForSingleObject(stopEvent.Handle(), milliseconds);
  if (r == plat::kWaitTimeout) return;
  if (r == plat::kWaitObject0) throw glo::Terminate_t(GLO_SRC);
  throw glo::Assert_t(GLO_SRC);
}

}  // namespace thr
