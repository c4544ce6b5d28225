#pragma once
// The worker-thread class of the transfer: a worker thread (afx::Thread_t, with
// its stop event and its shared, detach-safe state) that also carries an access
// point to its creator's window.
//
// The parameter block is shared by the owner and the running thread, so a
// thread that outlives its owner's destructor (it ignored the stop for longer
// than the owner waits) keeps using its access point safely.
#include <memory>

#include "afx/AFX_Thread.h"
#include "dio/DIO_UIAccessPoint.h"
#include "glo/GLO_NonCopyable.h"

namespace dio {

class Thread_t : glo::NonCopyable_t {
 public:
  // What the thread function receives. It stays valid for as long as the thread runs.
  class Param_t : glo::NonCopyable_t {
   public:
    Param_t(thr::Event_t& stopEvent, plat::HWND window, unsigned message, void* argument)
        : m_stopEvent(&stopEvent), m_argument(argument), m_accessPoint(window, message, stopEvent.Handle()) {}

    // The thread's stop event (manual reset).
    thr::Event_t& StopEvent() { return *m_stopEvent; }
    // What the argument points to belongs to the creator and the thread function
    // by their own agreement.
    void* Argument() const { return m_argument; }
    // The way to the creator's window; the thread builds its references on it
    // (or on a copy of it).
    UIAccessPoint_t& AccessPoint() { return m_accessPoint; }

   private:
    thr::Event_t* m_stopEvent;  // lives in the worker thread's own shared state
    void* m_argument;
    UIAccessPoint_t m_accessPoint;
  };

  using Function_t = unsigned (*)(Param_t* param);

  // Creates the stop event, the access point for (window, message) and the
  // thread, suspended when asked (Resume then lets it run). win::Error_t when the
  // thread cannot be started or resumed.
  Thread_t(Function_t function, plat::HWND window, unsigned message, void* argument, bool startSuspended);

  // Stop(3000) with every failure swallowed; a thread still running after that
  // is left running and not waited for again.
  ~Thread_t();

  // True at once when the thread has ended; otherwise signals the stop event and
  // waits up to the given time: true when the thread ended in time.
  bool Stop(unsigned long milliseconds) { return m_thread.Stop(milliseconds); }

  // Waits for the thread to end on its own while watching the caller's own stop
  // event: glo::Terminate_t when that is signalled first.
  void WaitForEnd(plat::Handle callerStopEvent);

  void Resume();

  thr::Event_t& StopEvent() { return m_thread.StopEvent(); }
  plat::Handle Handle() const { return m_thread.Handle(); }

 private:
  struct Start_t;
  static unsigned Run(afx::Thread_t::Param_t* param);

  std::unique_ptr<Start_t> m_start;  // handed to the thread when it is resumed
  afx::Thread_t m_thread;
};

}  // namespace dio
