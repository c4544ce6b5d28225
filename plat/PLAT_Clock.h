#pragma once
// The millisecond clock of timed drawing work (progress checks, hover waits):
// the system's tick count unless a test installs a clock of its own.
#include <cstdint>
#include <functional>

namespace plat {

// Milliseconds since an arbitrary start, wrapping at 2^32: the installed clock,
// else the system's tick count.
std::uint32_t GetClockTicks();

// Installs a clock (user-interface thread); an empty function restores the
// system's tick count.
void SetClockSource(std::function<std::uint32_t()> clock);

}  // namespace plat
