// Shared main of every test executable: each test process gets its own
// temporary home, data, config and temp folders, so no test touches the real ones.
#include <gtest/gtest.h>

#include "plat/PLAT_Locale.h"

namespace test {
void InitEnvironment();
void RemoveEnvironment();
}  // namespace test

int main(int argc, char** argv) {
  test::InitEnvironment();
  // The locale the program sets at start-up.
  plat::SetRuntimeLocale(std::string());
  ::testing::InitGoogleTest(&argc, argv);
  const int rc = RUN_ALL_TESTS();
  test::RemoveEnvironment();
  return rc;
}
