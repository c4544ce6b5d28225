#pragma once
// The worker's way to the user-interface thread.
//
// A call moves the worker's stack into a call record that the worker and the
// queue of posted calls own together, posts the call message with the record's
// ticket to the dialog's window and waits for the done signal or the stop event.
// A worker that is stopped while its message is still queued takes the record
// out of the queue under the queue's lock, so the dispatcher finds nothing under
// that ticket and drops the message; a record the dispatcher has already taken
// lives on with the dispatcher until the call has run, and the worker no longer
// looks at it. No message ever designates freed memory.
#include <atomic>
#include <cstdint>
#include <memory>

#include "dio/DIO_Reference.h"
#include "plat/PLAT_Window.h"
#include "thr/THR_Event.h"
#include "win/WIN_Handle.h"

namespace dio {

// The done event of one access point with the ticket of the call it was
// signalled for, so that a late signal of an abandoned call is not taken for the
// answer to the next one.
class DoneSignal_t : glo::NonCopyable_t {
 public:
  DoneSignal_t() : m_event(nullptr, false, false, nullptr) {}
  void Signal(std::uint64_t ticket) {
    m_done.store(ticket);
    m_event.Set();
  }
  bool IsDone(std::uint64_t ticket) const { return m_done.load() == ticket; }
  plat::Handle Handle() const { return m_event.Handle(); }

 private:
  thr::Event_t m_event;  // auto-reset
  std::atomic<std::uint64_t> m_done{0};
};

// One call in flight.
struct CallRecord_t {
  Stack_t stack;
};

// The record queued under the ticket, taken out of the queue; null when its
// worker has abandoned it (or the ticket is unknown). User-interface thread.
std::shared_ptr<CallRecord_t> TakeQueuedCall(std::uint64_t ticket);

class UIAccessPoint_t : public AccessPointIntf_t {
 public:
  // Duplicates the stop event and creates a done event of its own.
  UIAccessPoint_t(plat::HWND window, unsigned message, plat::Handle stopEvent);
  // A copy owns a duplicate of the stop event and a done event of its own, so
  // copies never answer each other's calls.
  UIAccessPoint_t(const UIAccessPoint_t& other);
  UIAccessPoint_t& operator=(const UIAccessPoint_t&) = delete;
  ~UIAccessPoint_t() override;

  // Posts the call and waits, without a time-out, for its end: the done signal
  // wins when both are signalled; the stop event throws glo::Terminate_t; a failed
  // post throws dio::WindowsError_t; a failed wait dio::Exception_t.
  void Call(Stack_t& stack) override;

  plat::HWND Window() const { return m_window; }
  unsigned Message() const { return m_message; }
  plat::Handle StopEvent() const { return m_stopEvent.Get(); }

 private:
  plat::HWND m_window;
  unsigned m_message;
  win::Handle_t m_stopEvent;
  std::shared_ptr<DoneSignal_t> m_done;
};

}  // namespace dio
