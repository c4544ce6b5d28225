#include "plat/PLAT_Event.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include "plat/PLAT_Error.h"

namespace plat {

namespace {

using Clock = std::chrono::steady_clock;

// The state of a waitable handle (of an event when 'eventOnly'); null and last
// error for any other handle.
std::shared_ptr<detail::KernelObject> FindWaitable(Handle h, bool eventOnly = false) {
  auto object = detail::FindObject(h);
  if (!object || !object->Waitable() || (eventOnly && object->kind != detail::KernelObject::kEvent)) {
    SetLastError(kErrorInvalidHandle);
    return nullptr;
  }
  return object;
}

// Poll time-out for what is left until the deadline.
int RemainingMs(bool forever, Clock::time_point deadline) {
  if (forever) return -1;
  const auto now = Clock::now();
  if (now >= deadline) return 0;
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
  return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

// Takes the signal of a readable object: manual-reset objects keep it.
bool Take(Handle h, const detail::KernelObject& object) {
  if (object.manualReset) return true;
  std::uint64_t value;
  return ::read(h, &value, sizeof value) == static_cast<ssize_t>(sizeof value);
}

}  // namespace

Handle CreateEvent(bool manualReset, bool initiallySignalled) {
  const int fd = ::eventfd(initiallySignalled ? 1 : 0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (fd < 0) {
    SetLastErrorFromErrno(errno);
    return kInvalidHandle;
  }
  auto object = std::make_shared<detail::KernelObject>(detail::KernelObject::kEvent);
  object->manualReset = manualReset;
  detail::RegisterObject(fd, std::move(object));
  return fd;
}

bool SetEvent(Handle event) {
  if (!FindWaitable(event, true)) return false;
  const std::uint64_t one = 1;
  if (::write(event, &one, sizeof one) != static_cast<ssize_t>(sizeof one)) {
    // EAGAIN: the counter is at its maximum, the event is signalled anyway.
    if (errno == EAGAIN) return true;
    SetLastErrorFromErrno(errno);
    return false;
  }
  return true;
}

unsigned long WaitForSingleObject(Handle object, unsigned long milliseconds) {
  return WaitForMultipleObjects(1, &object, false, milliseconds);
}

unsigned long WaitForMultipleObjects(unsigned long count, const Handle* objects, bool waitAll,
                                     unsigned long milliseconds) {
  if (count == 0 || count > 64 || objects == nullptr || waitAll) {
    SetLastError(kErrorInvalidParameter);
    return kWaitFailed;
  }
  std::shared_ptr<detail::KernelObject> state[64];
  struct pollfd fds[64];
  for (unsigned long i = 0; i < count; ++i) {
    state[i] = FindWaitable(objects[i]);
    if (!state[i]) return kWaitFailed;
    fds[i].fd = objects[i];
    fds[i].events = POLLIN;
    fds[i].revents = 0;
  }
  const bool forever = milliseconds == kInfinite;
  const auto deadline = Clock::now() + std::chrono::milliseconds(forever ? 0 : milliseconds);
  for (;;) {
    const int n = ::poll(fds, count, RemainingMs(forever, deadline));
    if (n < 0) {
      if (errno == EINTR) continue;
      SetLastErrorFromErrno(errno);
      return kWaitFailed;
    }
    if (n == 0) {
      if (forever || Clock::now() >= deadline) return kWaitTimeout;
      continue;
    }
    for (unsigned long i = 0; i < count; ++i) {
      if (fds[i].revents & (POLLERR | POLLNVAL)) {
        SetLastError(kErrorInvalidHandle);
        return kWaitFailed;
      }
      // The lowest signalled index wins, as with the system's own multi-wait.
      if ((fds[i].revents & POLLIN) && Take(objects[i], *state[i])) return kWaitObject0 + i;
    }
    // Every readable auto-reset event was taken by another waiter: wait again.
    if (!forever && Clock::now() >= deadline) return kWaitTimeout;
  }
}

int PollDescriptor(Handle object) {
  auto state = detail::FindObject(object);
  return state && state->Waitable() ? object : -1;
}

}  // namespace plat
