#pragma once
// A system event: manual-reset (signalled until reset) or auto-reset (the wait
// that sees it signalled resets it). Handle() gives the raw handle for waits on
// several objects (thr::WaitForAny, plat::WaitForMultipleObjects) and, through
// plat::PollDescriptor, for polls together with other descriptors.
#include <initializer_list>

#include "glo/GLO_NonCopyable.h"
#include "plat/PLAT_Event.h"
#include "win/WIN_Handle.h"

namespace thr {

// Wait for ever.
constexpr unsigned long kInfinite = plat::kInfinite;

class Event_t : glo::NonCopyable_t {
 public:
  // Creates the event; win::Error_t with the system code on failure. Security
  // attributes and names have no meaning here (pass null).
  Event_t(const void* securityAttributes, bool manualReset, bool initiallySignalled, const char* name);

  // Signals the event (win::Error_t on failure).
  void Set();

  // Waits on the event alone: true when signalled, false when the time ran out
  // (0 polls without blocking); win::Error_t for any other result.
  bool Wait(unsigned long milliseconds);

  plat::Handle Handle() const noexcept { return m_handle.Get(); }

 private:
  win::Handle_t m_handle;
};

// Waits until one of the objects is signalled: the index of the first signalled
// one in the list (earlier ones win when several are), or -1 when the time ran
// out; win::Error_t when the wait fails.
int WaitForAny(std::initializer_list<plat::Handle> objects, unsigned long milliseconds);
int WaitForAny(const plat::Handle* objects, unsigned long count, unsigned long milliseconds);

}  // namespace thr
