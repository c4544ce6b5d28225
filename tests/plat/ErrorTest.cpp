#include <gtest/gtest.h>

#include <cerrno>
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

TEST(PlatError, ModulePathIsThisExecutable) {
  const std::string path = plat::ModulePath();
  EXPECT_EQ(path.substr(path.rfind('/') + 1), "test_plat");
  EXPECT_EQ(plat::ModuleDir() + "/test_plat", path);
}

}  // namespace
