#pragma once
// A critical section (recursive: its holder may enter it again) and the scoped
// lock that holds one for exactly the span of a guarded operation.
#include "glo/GLO_NonCopyable.h"
#include "plat/PLAT_Thread.h"

namespace thr {

using CriticalSection_t = plat::CriticalSection;

class Lock_t : glo::NonCopyable_t {
 public:
  explicit Lock_t(CriticalSection_t& section) : m_section(&section) { m_section->Enter(); }
  ~Lock_t() { m_section->Leave(); }

 private:
  CriticalSection_t* m_section;
};

}  // namespace thr
