#include "plat/PLAT_Thread.h"

#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <fcntl.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

#include "plat/PLAT_Error.h"

namespace plat {

namespace {

// What the running thread and its handles share. The thread keeps its own
// reference, so none of this is freed while it runs.
struct ThreadShared {
  explicit ThreadShared(int fd) : finishedFd(fd) {}
  ~ThreadShared() {
    if (finishedFd >= 0) ::close(finishedFd);
  }
  ThreadShared(const ThreadShared&) = delete;
  ThreadShared& operator=(const ThreadShared&) = delete;

  std::mutex mutex;
  std::condition_variable startCondition;
  bool resumed = false;
  bool cancelled = false;  // the last handle went before the thread was resumed
  bool finished = false;   // the function has returned
  int finishedFd;          // the thread's own descriptor of the finished event
};

// The waitable state behind every handle of one thread; owns the std::thread.
struct ThreadObject : detail::KernelObject {
  ThreadObject() : detail::KernelObject(kThread) {}
  ~ThreadObject() override {
    try {
      bool ended;
      {
        std::lock_guard<std::mutex> lock(shared->mutex);
        if (!shared->resumed) shared->cancelled = true;
        ended = shared->cancelled || shared->finished;
      }
      shared->startCondition.notify_all();
      if (!thread.joinable()) return;
      const bool self = thread.get_id() == std::this_thread::get_id();
      // A thread that ended (or never started) is about to return: join it. One
      // still running is abandoned to itself, never destroyed while joinable.
      if (ended && !self)
        thread.join();
      else
        thread.detach();
    } catch (...) {
      // Destructors do not throw.
    }
  }

  std::shared_ptr<ThreadShared> shared;
  std::thread thread;
};

void ThreadMain(std::shared_ptr<ThreadShared> shared, std::function<void()> function) {
  {
    std::unique_lock<std::mutex> lock(shared->mutex);
    shared->startCondition.wait(lock, [&] { return shared->resumed || shared->cancelled; });
    if (!shared->resumed) return;
  }
  function();
  function = nullptr;  // the function's captures go before the thread counts as ended
  {
    std::lock_guard<std::mutex> lock(shared->mutex);
    shared->finished = true;
  }
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = ::write(shared->finishedFd, &one, sizeof one);
}

std::shared_ptr<ThreadObject> FindThread(Handle h) {
  auto object = std::dynamic_pointer_cast<ThreadObject>(detail::FindObject(h));
  if (!object) SetLastError(kErrorInvalidHandle);
  return object;
}

}  // namespace

Handle CreateThread(std::function<void()> function, bool suspended) {
  const int ownFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (ownFd < 0) {
    SetLastErrorFromErrno(errno);
    return kInvalidHandle;
  }
  auto shared = std::make_shared<ThreadShared>(ownFd);
  const int handle = ::fcntl(ownFd, F_DUPFD_CLOEXEC, 0);
  if (handle < 0) {
    SetLastErrorFromErrno(errno);
    return kInvalidHandle;
  }
  auto object = std::make_shared<ThreadObject>();
  object->shared = shared;
  try {
    object->thread = std::thread(ThreadMain, shared, std::move(function));
  } catch (const std::system_error& e) {
    ::close(handle);
    SetLastErrorFromErrno(e.code().value() ? e.code().value() : EAGAIN);
    return kInvalidHandle;
  }
  detail::RegisterObject(handle, object);
  if (!suspended) ResumeThread(handle);
  return handle;
}

bool ResumeThread(Handle thread) {
  auto object = FindThread(thread);
  if (!object) return false;
  {
    std::lock_guard<std::mutex> lock(object->shared->mutex);
    object->shared->resumed = true;
  }
  object->shared->startCondition.notify_all();
  return true;
}

}  // namespace plat
