#include "thr/THR_Parallel.h"

#include <utility>

#include "plat/PLAT_Event.h"
#include "plat/PLAT_SystemInfo.h"
#include "plat/PLAT_Thread.h"
#include "win/WIN_StructuredException.h"

namespace thr {

WorkPool_t::WorkPool_t() : m_maxThreads(plat::ProcessorCount() - 1) {}

void WorkPool_t::StartThread() {
  if (m_threads.size() >= m_maxThreads || m_threads.size() >= m_added) return;
  try {
    m_threads.reserve(m_maxThreads);
    const plat::Handle thread = plat::CreateThread([this]() { Work(); }, false);
    if (thread == plat::kInvalidHandle) {
      m_maxThreads = m_threads.size();  // no more then
      return;
    }
    m_threads.push_back(thread);  // room was reserved: cannot throw
  } catch (...) {
    m_maxThreads = m_threads.size();  // fewer threads; the caller's runs what they do not
  }
}

WorkPool_t::~WorkPool_t() {
  try {
    Wait();
  } catch (...) {
    // The tasks' failures were the caller's to ask for.
  }
  {
    const std::lock_guard<std::mutex> hold(m_lock);
    m_ending = true;
  }
  m_changed.notify_all();
  for (const plat::Handle thread : m_threads) {
    plat::WaitForSingleObject(thread, plat::kInfinite);
    plat::CloseHandle(thread);
  }
}

void WorkPool_t::Add(std::function<void()> task) {
  {
    const std::lock_guard<std::mutex> hold(m_lock);
    m_waiting.emplace_back(m_added, std::move(task));
    ++m_added;
  }
  StartThread();
  m_changed.notify_one();
}

bool WorkPool_t::RunOne(std::unique_lock<std::mutex>& hold) {
  if (m_waiting.empty()) return false;
  std::pair<std::size_t, std::function<void()>> task = std::move(m_waiting.front());
  m_waiting.pop_front();
  ++m_running;
  hold.unlock();
  std::exception_ptr failure;
  try {
    task.second();
  } catch (...) {
    failure = std::current_exception();
  }
  task.second = nullptr;  // what the task holds goes before the pool hears it is done
  hold.lock();
  --m_running;
  if (failure && (!m_failure || task.first < m_failedTask)) {
    m_failure = failure;
    m_failedTask = task.first;
  }
  if (m_waiting.empty() && m_running == 0) m_changed.notify_all();
  return true;
}

void WorkPool_t::Work() {
  // A fault in a task is thrown like any failure of it, so that it reaches
  // the caller of Wait and its report (and rescue of the data) there, as on
  // the program's other threads.
  win::InstallSeTranslator();
  std::unique_lock<std::mutex> hold(m_lock);
  for (;;) {
    if (RunOne(hold)) continue;
    if (m_ending) return;
    m_changed.wait(hold);
  }
}

void WorkPool_t::Wait() {
  std::unique_lock<std::mutex> hold(m_lock);
  for (;;) {
    if (RunOne(hold)) continue;
    if (m_running == 0) break;
    m_changed.wait(hold);
  }
  std::exception_ptr failure = std::move(m_failure);
  m_failure = nullptr;
  if (failure) std::rethrow_exception(failure);
}

}  // namespace thr
