#include "dio/DIO_Thread.h"

#include "dio/DIO_Exception.h"
#include "plat/PLAT_App.h"

namespace dio {

// What the thread takes over when it starts: the function and its share of the
// parameter block.
struct Thread_t::Start_t {
  Function_t function;
  std::shared_ptr<Param_t> param;
};

unsigned Thread_t::Run(afx::Thread_t::Param_t* threadParam) {
  const std::unique_ptr<Start_t> start(static_cast<Start_t*>(threadParam->Argument()));
  const std::shared_ptr<Param_t> param = start->param;
  // Reports and other calls this thread makes to the user-interface thread end
  // when it is told to stop.
  plat::SetThreadStopEvent(param->StopEvent().Handle());
  return start->function(param.get());
}

Thread_t::Thread_t(Function_t function, plat::HWND window, unsigned message, void* argument, bool startSuspended)
    : m_start(std::make_unique<Start_t>(Start_t{GLO_ASSERT(function), nullptr})),
      m_thread(Run, m_start.get(), true) {
  m_start->param = std::make_shared<Param_t>(m_thread.StopEvent(), window, message, argument);
  if (!startSuspended) Resume();
}

// The worker thread is stopped (or left to end on its own) first; a thread that
// was never resumed never runs, and its start block goes with this object.
Thread_t::~Thread_t() = default;

void Thread_t::WaitForEnd(plat::Handle callerStopEvent) {
  const plat::Handle objects[2] = {m_thread.Handle(), callerStopEvent};
  const unsigned long r = plat::WaitForMultipleObjects(2, objects, false, plat::kInfinite);
  if (r == plat::kWaitObject0) return;
  if (r == plat::kWaitObject0 + 1) throw glo::Terminate_t(GLO_SRC);
  throw Exception_t(GLO_SRC);
}

void Thread_t::Resume() {
  if (m_start == nullptr) return;  // running already
  Start_t* start = m_start.release();
  try {
    m_thread.Resume();
  } catch (...) {
    m_start.reset(start);
    throw;
  }
}

}  // namespace dio
