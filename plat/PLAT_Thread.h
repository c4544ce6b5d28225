#pragma once
// Threads and critical sections.
//
// A thread handle is waitable like a manual-reset event that becomes signalled
// when the thread function returns (PLAT_Event.h). A thread made suspended waits
// at its start until it is resumed. When the last handle to a thread is closed,
// a finished thread is joined and a thread still running is detached (it goes on
// on its own; nothing of the handle's state is freed under it); a thread that was
// never resumed ends without running its function.
#include <functional>
#include <mutex>

#include "plat/PLAT_FileHandle.h"

namespace plat {

// A recursive lock: the thread that holds it may enter it again.
class CriticalSection {
 public:
  CriticalSection() = default;
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  void Enter() { m_mutex.lock(); }
  void Leave() { m_mutex.unlock(); }

 private:
  std::recursive_mutex m_mutex;
};

// Starts a thread running 'function'; kInvalidHandle and last error on failure.
// An exception that leaves the function ends the process.
Handle CreateThread(std::function<void()> function, bool suspended);

// Lets a suspended thread run; false (and last error) when the handle is not a
// thread. Resuming a running thread does nothing.
bool ResumeThread(Handle thread);

}  // namespace plat
