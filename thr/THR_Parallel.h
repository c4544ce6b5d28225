#pragma once
// Work spread over the processors: tasks handed to a pool while the caller
// goes on making more, run by a thread for every further processor.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <vector>

#include "glo/GLO_NonCopyable.h"
#include "plat/PLAT_FileHandle.h"

namespace thr {

class WorkPool_t : glo::NonCopyable_t {
 public:
  // A pool with a thread for every processor but the caller's (none on a
  // machine with one processor). The threads start with the first tasks
  // added; when no thread can be started, the caller's thread runs the tasks
  // in Wait.
  WorkPool_t();
  // Waits for the tasks added (as Wait does, without passing failures on)
  // and ends the threads.
  ~WorkPool_t();

  // Hands a task to the pool's threads, in the order added. Tasks must only
  // touch what is theirs.
  void Add(std::function<void()> task);
  // Runs tasks on the caller's thread as well until every task added has
  // run, then passes on the exception of the first task, in the order added,
  // that threw (every task runs all the same). A processor fault in a task on
  // a pool thread counts as its exception (win::StructuredException_t).
  void Wait();

 private:
  void Work();
  // Starts one more thread when the tasks added outnumber the threads.
  void StartThread();
  // Runs the next task waiting; false when there is none.
  bool RunOne(std::unique_lock<std::mutex>& hold);

  std::mutex m_lock;
  std::condition_variable m_changed;
  std::deque<std::pair<std::size_t, std::function<void()>>> m_waiting;
  std::size_t m_added = 0;
  std::size_t m_running = 0;
  bool m_ending = false;
  std::size_t m_failedTask = 0;
  std::exception_ptr m_failure;
  std::size_t m_maxThreads = 0;
  std::vector<plat::Handle> m_threads;  // the caller's to change
};

}  // namespace thr
