#include "thr/THR_Parallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <vector>

#include "plat/PLAT_Event.h"
#include "plat/PLAT_SystemInfo.h"
#include "plat/PLAT_Thread.h"

namespace thr {

void ForEachIndex(std::size_t count, const std::function<void(std::size_t)>& task) {
  if (count == 0) return;
  std::atomic<std::size_t> next{0};
  std::mutex failureLock;
  std::size_t failedIndex = count;
  std::exception_ptr failure;
  const auto work = [&]() {
    for (std::size_t i = next++; i < count; i = next++) {
      try {
        task(i);
      } catch (...) {
        const std::lock_guard<std::mutex> hold(failureLock);
        if (i < failedIndex) {
          failedIndex = i;
          failure = std::current_exception();
        }
      }
    }
  };

  const std::size_t helpers = std::min<std::size_t>(plat::ProcessorCount(), count) - 1;
  std::vector<plat::Handle> threads;
  threads.reserve(helpers);
  try {
    for (std::size_t h = 0; h < helpers; ++h) {
      const plat::Handle thread = plat::CreateThread(work, false);
      if (thread == plat::kInvalidHandle) break;
      threads.push_back(thread);  // room was reserved: cannot throw
    }
  } catch (...) {
    // Fewer threads then; the ones started must be waited for all the same.
  }
  work();
  for (const plat::Handle thread : threads) {
    plat::WaitForSingleObject(thread, plat::kInfinite);
    plat::CloseHandle(thread);
  }
  if (failure) std::rethrow_exception(failure);
}

}  // namespace thr
