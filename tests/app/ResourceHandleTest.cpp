// The language module as the application meets it: string resources with the
// errors of failed system calls, the application information, and start-up with a
// missing, wrong or incomplete module. Those start-up cases run this test program
// again as a child, from a folder of its own that holds the module of the case.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "app/ApplicationInfo.h"
#include "app/ResourceHandle.h"
#include "glo/GLO_StringResource.h"
#include "plat/PLAT_Error.h"
#include "plat/PLAT_Module.h"
#include "tests/common/TestEnv.h"
#include "win/WIN_Exception.h"
#include "win/WIN_FileVerInfo.h"

namespace fs = std::filesystem;

namespace {

// A static object that reads the application information during static
// initialisation, as the application object does: it must never throw.
const glo::ApplicationInfo_t* const g_staticInfo = app::TryGetApplicationInfo();

constexpr char kScenarioVariable[] = "STRIDE_LANG_SCENARIO";

std::string Digits(size_t n) {
  std::string text;
  for (size_t k = 0; k < n; ++k) text += static_cast<char>('0' + k % 10);
  return text;
}

// Expects 'call' to throw win::Error_t with this code and source file.
template <typename Call>
void ExpectWinError(Call call, unsigned long code, const char* file) {
  try {
    call();
    ADD_FAILURE() << "no exception";
  } catch (const win::Error_t& e) {
    EXPECT_EQ(code, e.ErrorCode());
    EXPECT_STREQ(file, e.SourceFile());
  }
}

void ExpectKeptFailure(unsigned long code, const char* file) {
  EXPECT_EQ(nullptr, g_staticInfo);
  const std::exception_ptr failure = app::ApplicationInfoFailure();
  ASSERT_TRUE(failure);
  ExpectWinError([&] { std::rethrow_exception(failure); }, code, file);
}

// Runs this program as a child from a folder of its own, beside 'module' (none:
// no module at all) named as the language module, with a working folder elsewhere.
// A deep folder gives the executable a path of more than 300 characters.
void RunChild(const std::string& scenario, const std::string& module, bool deep = false) {
  std::string dir = test::MakeTempDir("child");
  if (deep) {
    dir += "/" + std::string(150, 'd') + "/" + std::string(150, 'e');
    fs::create_directories(dir);
  }
  const std::string exe = dir + "/" + fs::path(fs::canonical("/proc/self/exe")).filename().string();
  std::error_code ec;
  fs::create_hard_link("/proc/self/exe", exe, ec);
  if (ec) fs::copy_file(fs::canonical("/proc/self/exe"), exe);
  if (!module.empty()) fs::copy_file(test::ExeDir() + "/" + module, dir + "/StridemereLogbook_LANG.dll");
  const std::string work = test::MakeTempDir("work");
  const std::string output = work + "/output.txt";

  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    if (::chdir(work.c_str()) != 0) ::_exit(90);
    ::setenv(kScenarioVariable, scenario.c_str(), 1);
    if (!std::freopen(output.c_str(), "w", stdout)) ::_exit(91);
    ::dup2(STDOUT_FILENO, STDERR_FILENO);
    ::execl(exe.c_str(), exe.c_str(), "--gtest_filter=LanguageModuleChild.Run", static_cast<char*>(nullptr));
    ::_exit(92);
  }
  int status = 0;
  ASSERT_EQ(pid, ::waitpid(pid, &status, 0));
  const std::string text = test::ReadFile(output);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << text;
  EXPECT_NE(std::string::npos, text.find("[       OK ] LanguageModuleChild.Run")) << text;
}

TEST(StringResourceTest, TextAndId) {
  const glo::StringResource_t name(190, GLO_SRC);
  EXPECT_EQ(190, name.Id());
  EXPECT_EQ("Stridemere Logbook", name.Text());
}

TEST(StringResourceTest, MissingStringIsAWindowsErrorAtTheCallersPlace) {
  plat::SetLastError(plat::kErrorAccessDenied);  // whatever came before
  try {
    glo::StringResource_t text(65535, "Caller.cpp", 42);
    FAIL() << "no exception";
  } catch (const win::Error_t& e) {
    EXPECT_EQ(plat::kErrorResourceNameNotFound, e.ErrorCode());
    EXPECT_STREQ("Caller.cpp", e.SourceFile());
    EXPECT_EQ(42, e.Line());
    EXPECT_EQ("Windows Error Code: 1814\nThe specified resource name cannot be found in the image file.\r\n",
              e.Message());
  }
}

TEST(ResourceHandleTest, PathsAndVersionCheck) {
  EXPECT_EQ(fs::canonical("/proc/self/exe").string(), app::ModulePath());
  EXPECT_EQ(test::ExeDir() + "/StridemereLogbook_LANG.dll", app::LanguageDllPath());
  EXPECT_EQ(glo::GetResourceModule(), app::LoadLanguageDll());
  EXPECT_NE(nullptr, app::LoadLanguageDll(test::ExeDir() + "/StridemereLogbook_LANG_long.dll"));
  ExpectWinError([] { app::LoadLanguageDll(test::ExeDir() + "/StridemereLogbook_LANG_v2501.dll"); },
                 plat::kErrorRevisionMismatch, "GLO_StringResource.cpp");
  ExpectWinError([] { app::LoadLanguageDll(test::Home() + "/none.dll"); }, plat::kErrorFileNotFound,
                 "GLO_StringResource.cpp");
}

TEST(ApplicationInfoTest, NameVersionAndClassName) {
  ASSERT_NE(nullptr, g_staticInfo);
  const glo::ApplicationInfo_t& info = app::GetApplicationInfo();
  EXPECT_EQ(g_staticInfo, &info);
  EXPECT_EQ(glo::StringResource_t(190, GLO_SRC).Text(), info.Name());
  EXPECT_EQ((std::array<int, 4>{2, 5, 0, 0}), info.Version());
  EXPECT_EQ("2.5.0.0", info.VersionText());
  EXPECT_EQ(win::FileVerInfo_t(app::ModulePath()).ClassNameGuid(), info.WindowClassName());
  EXPECT_EQ(38u, info.WindowClassName().size());
  EXPECT_EQ(11u, info.BuildDate().size());  // "Mmm dd yyyy"
  EXPECT_EQ(8u, info.BuildTime().size());   // "hh:mm:ss"
  EXPECT_TRUE(info.IsRelease());
  EXPECT_FALSE(app::ApplicationInfoFailure());
}

TEST(LanguageModuleStartTest, FromAnotherWorkingFolderAndALongPath) {
  RunChild("real", "StridemereLogbook_LANG.dll", true);
}
TEST(LanguageModuleStartTest, LongTextsAndTemplates) { RunChild("long", "StridemereLogbook_LANG_long.dll"); }
TEST(LanguageModuleStartTest, ModuleWithoutTheApplicationName) {
  RunChild("nostring", "StridemereLogbook_LANG_nostring.dll");
}
TEST(LanguageModuleStartTest, ModuleOfAnotherVersion) { RunChild("v2501", "StridemereLogbook_LANG_v2501.dll"); }
TEST(LanguageModuleStartTest, NoModule) { RunChild("missing", ""); }

// The child's part of the start-up cases; skipped unless run as a child.
TEST(LanguageModuleChild, Run) {
  const char* value = std::getenv(kScenarioVariable);
  if (!value) GTEST_SKIP() << "runs only as a child of LanguageModuleStartTest";
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
