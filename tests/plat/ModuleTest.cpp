#include <gtest/gtest.h>

#include <string>

#include "plat/PLAT_Module.h"

namespace {

TEST(PlatModule, ModulePathIsThisExecutable) {
  const std::string path = plat::ModulePath();
  EXPECT_EQ(path.substr(path.rfind('/') + 1), "test_plat");
  EXPECT_EQ(plat::ModuleDir() + "/test_plat", path);
}

}  // namespace
