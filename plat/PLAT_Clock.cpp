#include "plat/PLAT_Clock.h"

#include "plat/PLAT_Tick.h"

namespace plat {

namespace {
std::function<std::uint32_t()>& Source() {
  static std::function<std::uint32_t()> source;
  return source;
}
}  // namespace

std::uint32_t GetClockTicks() {
  const auto& source = Source();
  return source ? source() : static_cast<std::uint32_t>(GetTickCount());
}

void SetClockSource(std::function<std::uint32_t()> clock) { Source() = std::move(clock); }

}  // namespace plat
