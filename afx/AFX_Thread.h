#pragma once
// A worker thread with a stop event. The owner never kills the thread: it
// signals the stop event and waits a bounded time for the thread to end.
//
// The stop event and the parameter block live in a state that the owner and the
// running thread share, so a thread that outlives its owner's destructor (it
// ignored the stop for longer than the owner waits) keeps using them safely; the
// state goes with the last of the two. Such a thread is left to end on its own.
#include <memory>

#include "glo/GLO_NonCopyable.h"
#include "thr/THR_Event.h"
#include "win/WIN_Handle.h"

namespace afx {

class Thread_t : glo::NonCopyable_t {
 public:
  // What the thread function receives: the stop event to watch and the creator's
  // argument. It stays valid for as long as the thread runs.
  class Param_t : glo::NonCopyable_t {
   public:
    explicit Param_t(void* argument) : m_stopEvent(nullptr, true, false, nullptr), m_argument(argument) {}

    thr::Event_t& StopEvent() { return m_stopEvent; }
    // What the argument points to belongs to the creator and the thread function
    // by their own agreement.
    void* Argument() const { return m_argument; }

   private:
    thr::Event_t m_stopEvent;  // manual reset, created unsignalled
    void* m_argument;
  };

  using Function_t = unsigned (*)(Param_t* param);

  // Creates the stop event and starts the thread, suspended when asked (Resume
  // then lets it run). win::Error_t when it cannot be started or resumed.
  Thread_t(Function_t function, void* argument, bool startSuspended);

  // Stop(3000) with every failure swallowed; a thread still running after that
  // is left running and not waited for again.
  ~Thread_t();

  // True at once when the thread has ended; otherwise signals the stop event and
  // waits up to the given time: true when the thread ended in time.
  bool Stop(unsigned long milliseconds);

  // Lets a thread that was started suspended run; win::Error_t on failure.
  void Resume();

  thr::Event_t& StopEvent() { return m_param->StopEvent(); }
  // The thread's handle: signalled when the thread has ended.
  plat::Handle Handle() const { return m_thread.Get(); }

 private:
  std::shared_ptr<Param_t> m_param;
  win::Handle_t m_thread;
};

}  // namespace afx
