// The helper program of the language-module start-up tests (ResourceHandleTest):
// started from a folder of its own beside the module of a case, it plays the case
// named by the environment and reports like any test program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

#include "app/ApplicationInfo.h"
#include "app/ResourceHandle.h"
#include "glo/GLO_StringResource.h"
#include "plat/PLAT_Error.h"
#include "tests/app/LanguageModuleTestUtil.h"

namespace fs = std::filesystem;

namespace {

using apptest::ExpectWinError;
using apptest::kScenarioVariable;

// A static object that reads the application information during static
// initialisation, as the application object does: it must never throw.
const glo::ApplicationInfo_t* const g_staticInfo = app::TryGetApplicationInfo();

std::string Digits(size_t n) {
  std::string text;
  for (size_t k = 0; k < n; ++k) text += static_cast<char>('0' + k % 10);
  return text;
}

void ExpectKeptFailure(unsigned long code, const char* file) {
  EXPECT_EQ(nullptr, g_staticInfo);
  const std::exception_ptr failure = app::ApplicationInfoFailure();
  ASSERT_TRUE(failure);
  ExpectWinError([&] { std::rethrow_exception(failure); }, code, file);
}

// The start-up case named by the environment.
TEST(LanguageModuleChild, Run) {
  const char* value = std::getenv(kScenarioVariable);
  ASSERT_NE(nullptr, value) << "started without a case: it is run by LanguageModuleStartTest";
  const std::string scenario = value;

  if (scenario == "real") {
    EXPECT_GT(app::ModulePath().size(), 300u);
    EXPECT_EQ(fs::canonical("/proc/self/exe").string(), app::ModulePath());
    ASSERT_NE(nullptr, g_staticInfo);
    EXPECT_EQ("Stridemere Logbook", app::GetApplicationInfo().Name());
  } else if (scenario == "long") {
    for (size_t n : {254u, 300u, 512u}) EXPECT_EQ(Digits(n), glo::StringResource_t(int(64000 + n), GLO_SRC).Text());
    EXPECT_EQ(Digits(300), glo::LoadStringResource(64300, GLO_SRC));
    EXPECT_EQ("X", glo::StringResource_t(64100, GLO_SRC).Format("X", GLO_SRC));
    const glo::StringResource_t order(64101, GLO_SRC);
    EXPECT_EQ("second before first", order.FormatArgs({"first", "second"}, GLO_SRC));
    EXPECT_EQ("100% of 5% and 5% again", glo::StringResource_t(64102, GLO_SRC).Format("5%", GLO_SRC));
    // A template that leaves an argument unused is a fault at the caller's place.
    try {
      order.FormatArgs({"a", "b", "c"}, "Caller.cpp", 9);
      ADD_FAILURE() << "no exception";
    } catch (const glo::Assert_t& e) {
      EXPECT_STREQ("Caller.cpp", e.SourceFile());
    }
  } else if (scenario == "nostring") {
    // The module loads; only its string 190 is missing.
    ExpectKeptFailure(plat::kErrorResourceNameNotFound, "ApplicationInfo.cpp");
    EXPECT_NE(nullptr, glo::GetResourceModule());
    EXPECT_THROW(app::GetApplicationInfo(), win::Error_t);
    EXPECT_THROW(glo::LoadStringResource(190, GLO_SRC), glo::Exception_t);
  } else if (scenario == "v2501" || scenario == "missing") {
    const unsigned long code = scenario == "v2501" ? plat::kErrorRevisionMismatch : plat::kErrorFileNotFound;
    ExpectKeptFailure(code, "GLO_StringResource.cpp");
    // Nothing is kept but the failure: every later use tries again, and fails the same way.
    ExpectWinError([] { glo::GetResourceModule(); }, code, "GLO_StringResource.cpp");
    ExpectWinError([] { app::GetApplicationInfo(); }, code, "GLO_StringResource.cpp");
    ExpectWinError([] { glo::StringResource_t(190, GLO_SRC); }, code, "GLO_StringResource.cpp");
    try {
      glo::LoadStringResource(190, GLO_SRC);
      ADD_FAILURE() << "no exception";
    } catch (const glo::Exception_t& e) {
      EXPECT_STREQ("GLO_StringResource.cpp", e.SourceFile());
      EXPECT_EQ(0u, e.Message().rfind("Windows Error Code: " + std::to_string(code) + "\n", 0)) << e.Message();
    }
  } else {
    FAIL() << "unknown scenario " << scenario;
  }
}

}  // namespace
