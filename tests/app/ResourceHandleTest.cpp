// The language module as the application meets it: string resources with the
// errors of failed system calls, the application information, and start-up with a
// missing, wrong or incomplete module. Those start-up cases run a helper program
// as a child, from a folder of its own that holds the module of the case.
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
#include "tests/app/LanguageModuleTestUtil.h"
#include "tests/common/TestEnv.h"
#include "win/WIN_Exception.h"
#include "win/WIN_FileVerInfo.h"

namespace fs = std::filesystem;

namespace {

// A static object that reads the application information during static
// initialisation, as the application object does: it must never throw.
const glo::ApplicationInfo_t* const g_staticInfo = app::TryGetApplicationInfo();

using apptest::ExpectWinError;
using apptest::kScenarioVariable;

// The helper program that plays the start-up cases (tests/app/child/).
constexpr char kChildProgram[] = "test_app_language_child";

// Runs the helper program as a child from a folder of its own, beside 'module' (none:
// no module at all) named as the language module, with a working folder elsewhere.
// A deep folder gives the executable a path of more than 300 characters.
void RunChild(const std::string& scenario, const std::string& module, bool deep = false) {
  std::string dir = test::MakeTempDir("child");
  if (deep) {
    dir += "/" + std::string(150, 'd') + "/" + std::string(150, 'e');
    fs::create_directories(dir);
  }
  const std::string helper = test::ExeDir() + "/" + kChildProgram;
  const std::string exe = dir + "/" + kChildProgram;
  std::error_code ec;
  fs::create_hard_link(helper, exe, ec);
  if (ec) fs::copy_file(helper, exe);
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
    ::execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
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

}  // namespace
