#include "thr/THR_Event.h"

#include "win/WIN_Exception.h"

namespace thr {

Event_t::Event_t(const void* /*securityAttributes*/, bool manualReset, bool initiallySignalled,
                 const char* /*name*/) {
  const plat::Handle h = plat::CreateEvent(manualReset, initiallySignalled);
  if (h == plat::kInvalidHandle) throw win::Error_t(GLO_SRC);
  m_handle.Attach(h);
}

void Event_t::Set() {
  if (!plat::SetEvent(m_handle.Get())) throw win::Error_t(GLO_SRC);
}

bool Event_t::Wait(unsigned long milliseconds) {
  const unsigned long r = plat::WaitForSingleObject(m_handle.Get(), milliseconds);
  if (r == plat::kWaitObject0) return true;
  if (r == plat::kWaitTimeout) return false;
  throw win::Error_t(GLO_SRC);
}

int WaitForAny(const plat::Handle* objects, unsigned long count, unsigned long milliseconds) {
  const unsigned long r = plat::WaitForMultipleObjects(count, objects, false, milliseconds);
  if (r == plat::kWaitTimeout) return -1;
  if (r < plat::kWaitObject0 + count) return static_cast<int>(r - plat::kWaitObject0);
  throw win::Error_t(GLO_SRC);
}

int WaitForAny(std::initializer_list<plat::Handle> objects, unsigned long milliseconds) {
  return WaitForAny(objects.begin(), static_cast<unsigned long>(objects.size()), milliseconds);
}

}  // namespace thr
