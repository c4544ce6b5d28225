#include "dio/DIO_Thread.h"

#include "dio/DIO_Exception.h"
#include "plat/PLAT_Thread.h"
#include "win/WIN_Exception.h"

namespace dio {

Thread_t::Param_t::Param_t(plat::HWND window, unsigned message, void* argument)
    : m_stopEvent(nullptr, true, false, nullptr),
      m_argument(argument),
      m_accessPoint(window, message, m_stopEvent.Handle()) {}

Thread_t::Thread_t(Function_t function, plat::HWND window, unsigned message, void* argument, bool startSuspended)
    : m_param(std::make_shared<Param_t>(window, message, argument)) {
  GLO_ASSERT(function != nullptr);
  // The thread holds its own reference to the parameter block.
  std::shared_ptr<Param_t> param = m_param;
  const plat::Handle h = plat::CreateThread([function, param] { function(param.get()); }, true);
  if (h == plat::kInvalidHandle) throw win::Error_t(GLO_SRC);
  m_thread.Attach(h);
  if (!startSuspended) Resume();
}

Thread_t::~Thread_t() {
  try {
    Stop(3000);
  } catch (...) {
    // A destructor does not throw.
  }
  // Closing the handle joins an ended thread and detaches one still running;
  // the parameter block then lives on with that thread.
  m_thread.Close();
}

bool Thread_t::Stop(unsigned long milliseconds) {
  if (plat::WaitForSingleObject(m_thread.Get(), 0) == plat::kWaitObject0) return true;
  m_param->StopEvent().Set();
  const unsigned long r = plat::WaitForSingleObject(m_thread.Get(), milliseconds);
  if (r == plat::kWaitObject0) return true;
  if (r == plat::kWaitTimeout) return false;
  throw win::Error_t(GLO_SRC);
}

void Thread_t::WaitForEnd(plat::Handle callerStopEvent) {
  const plat::Handle objects[2] = {m_thread.Get(), callerStopEvent};
  const unsigned long r = plat::WaitForMultipleObjects(2, objects, false, plat::kInfinite);
  if (r == plat::kWaitObject0) return;
  if (r == plat::kWaitObject0 + 1) throw glo::Terminate_t(GLO_SRC);
  throw Exception_t(GLO_SRC);
}

void Thread_t::Resume() {
  if (!plat::ResumeThread(m_thread.Get())) throw win::Error_t(GLO_SRC);
}

}  // namespace dio
