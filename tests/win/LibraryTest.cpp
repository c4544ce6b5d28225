// Libraries loaded by name, and the probe for optional ones.
#include <gtest/gtest.h>

#include "plat/PLAT_Error.h"
#include "win/WIN_Exception.h"
#include "win/WIN_Library.h"

namespace {

TEST(LibraryTest, AvailabilityOfLibraries) {
  struct Case {
    const char* name;
    bool available;
  } cases[] = {
      {"libm.so.6", true},
      {"uxtheme.dll", false},  // Windows only
      {"libno-such-library.so", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(win::IsLibraryAvailable(c.name), c.available) << c.name;
}

TEST(LibraryTest, LoadedLibraryGivesItsFunctions) {
  win::Library_t math("libm.so.6");
  EXPECT_EQ(math.Name(), "libm.so.6");
  auto cosine = reinterpret_cast<double (*)(double)>(plat::GetProcAddress(math.Module(), "cos"));
  ASSERT_NE(cosine, nullptr);
  EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
  EXPECT_EQ(plat::GetProcAddress(math.Module(), "NoSuchFunction"), nullptr);
  EXPECT_EQ(plat::GetLastError(), plat::kErrorProcNotFound);
}

TEST(LibraryTest, MissingLibraryThrowsModuleNotFound) {
  try {
    win::Library_t missing("uxtheme.dll");
    FAIL() << "loaded";
  } catch (const win::Error_t& e) {
    EXPECT_EQ(e.ErrorCode(), plat::kErrorModNotFound);
    EXPECT_STREQ(e.SourceFile(), "WIN_Library.cpp");
  }
}

}  // namespace
