#pragma once
// The thread a simulated device serves from.
#include <mutex>
#include <thread>

namespace sim {

// Ends a serving thread: sets the stop flag it watches under its owner's lock,
// wakes it the owner's way and waits until it has ended.
template <typename Wake>
void StopServing(std::mutex& mutex, bool& stop, std::thread& thread, Wake wake) {
  {
    std::lock_guard<std::mutex> lock(mutex);
    stop = true;
  }
  wake();
  if (thread.joinable()) thread.join();
}

}  // namespace sim
