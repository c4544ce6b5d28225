// The application-data and temporary folders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

#include "plat/PLAT_Error.h"
#include "tests/common/TestEnv.h"
#include "win/WIN_Exception.h"
#include "win/WIN_Folder.h"

namespace {

bool IsFolder(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Points an environment variable elsewhere for one test.
class EnvOverride {
 public:
  EnvOverride(const char* name, const char* value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old, m_had = true;
    if (value)
      ::setenv(name, value, 1);
    else
      ::unsetenv(name);
  }
  ~EnvOverride() {
    if (m_had)
      ::setenv(m_name, m_old.c_str(), 1);
    else
      ::unsetenv(m_name);
  }

 private:
  const char* m_name;
  std::string m_old;
  bool m_had = false;
};

TEST(FolderTest, CommonAppDataFolderIsCreatedAndReused) {
  const std::string data = test::MakeTempDir("data");
  EnvOverride env("XDG_DATA_HOME", (data + "/not/yet").c_str());
  const std::string folder = win::GetCommonAppDataFolder("StridemereLogbook");
  EXPECT_EQ(folder, data + "/not/yet/VORTAN/StridemereLogbook/");
  EXPECT_TRUE(IsFolder(folder));
  EXPECT_EQ(win::GetCommonAppDataFolder("StridemereLogbook"), folder);  // both exist already
}

TEST(FolderTest, DataFolderFallsBackToHome) {
  const std::string home = test::MakeTempDir("home");
  EnvOverride data("XDG_DATA_HOME", nullptr);
  EnvOverride homeEnv("HOME", (home + "/").c_str());
  EXPECT_EQ(win::GetCommonAppDataFolder("App"), home + "/.local/share/VORTAN/App/");
}

TEST(FolderTest, FileInTheWayIsAnError) {
  const std::string data = test::MakeTempDir("blocked");
  test::WriteFile(data + "/VORTAN", "a file, not a folder");
  EnvOverride env("XDG_DATA_HOME", data.c_str());
  try {
    win::GetCommonAppDataFolder("App");
    FAIL() << "no error";
  } catch (const win::Error_t& e) {
    EXPECT_EQ(e.ErrorCode(), plat::kErrorFileExists);
    EXPECT_STREQ(e.SourceFile(), "WIN_Folder.cpp");
  }
}

TEST(FolderTest, TempFolderFromEnvironmentElseTmp) {
  {
    EnvOverride env("TMPDIR", "/some/where");
    EXPECT_EQ(win::GetTempFolder(), "/some/where/");
  }
  {
    EnvOverride env("TMPDIR", nullptr);
    EXPECT_EQ(win::GetTempFolder(), "/tmp/");
  }
}

}  // namespace
