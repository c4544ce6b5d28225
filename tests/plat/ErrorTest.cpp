#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <thread>

#include "plat/PLAT_Error.h"

namespace {

TEST(PlatError, ErrnoMapsToWindowsCodes) {
  struct Case { int err; unsigned long code; };
  const Case cases[] = {{ENOENT, 2}, {ENOTDIR, 3}, {EACCES, 5}, {EBUSY, 5}, {EEXIST, 80}, {EINVAL, 87}};
  for (const Case& c : cases) EXPECT_EQ(plat::ErrnoToError(c.err), c.code) << c.err;
}

TEST(PlatError, LastErrorIsPerThread) {
  plat::SetLastError(5);
  std::thread other([] { EXPECT_EQ(plat::GetLastError(), 0u); plat::SetLastError(2); });
  other.join();
  EXPECT_EQ(plat::GetLastError(), 5u);
}

// A Windows code and an errno value are told apart by type: 13 is EACCES but
// also "the data is invalid", so neither helper takes the other's numbers.
template <typename T>
concept TakenAsCode = requires(T v) { plat::FailWith(v); };
template <typename T>
concept TakenAsErrno = requires(T v) { plat::FailWithErrno(v); };
static_assert(TakenAsCode<unsigned long> && !TakenAsCode<int>);
static_assert(TakenAsErrno<int> && !TakenAsErrno<unsigned long> && !TakenAsErrno<decltype(plat::kErrorInvalidData)>);

}  // namespace
