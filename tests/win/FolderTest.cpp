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
TEST(FolderTest, CommonAppDataFolderIsCreatedAndReused) {
  const std::string data = test::MakeTempDir("data");
  test::EnvOverride env("XDG_DATA_HOME", (data + "/not/yet").c_str());
  const std::string folder = win::GetCommonAppDataFolder("StridemereLogbook");
  EXPECT_EQ(folder, data + "/not/yet/VORTAN/StridemereLogbook/");
  EXPECT_TRUE(IsFolder(folder));
  EXPECT_EQ(win::GetCommonAppDataFolder("StridemereLogbook"), folder);  // both exist already
}

TEST(FolderTest, DataFolderFallsBackToHome) {
  const std::string home = test::MakeTempDir("home");
  test::EnvOverride data("XDG_DATA_HOME", nullptr);
  test::EnvOverride homeEnv("HOME", (home + "/").c_str());
  EXPECT_EQ(win::GetCommonAppDataFolder("App"), home + "/.local/share/VORTAN/App/");
}

TEST(FolderTest, FileInTheWayIsAnError) {
  const std::string data = test::MakeTempDir("blocked");
  test::WriteFile(data + "/VORTAN", "a file, not a folder");
  test::EnvOverride env("XDG_DATA_HOME", data.c_str());
  try {
    win::GetCommonAppDataFolder("App");
    FAIL() << "no error";
  } catch (const win::Error_t& e) {
    // The folder cannot be made; "the file exists" would mislead.
    EXPECT_EQ(e.ErrorCode(), plat::kErrorCannotMake);
    EXPECT_NE(std::string(e.what()).find("cannot be created"), std::string::npos) << e.what();
    EXPECT_STREQ(e.SourceFile(), "WIN_Folder.cpp");
  }
  // The data folder itself is a file.
  test::EnvOverride file("XDG_DATA_HOME", (data + "/VORTAN").c_str());
  try {
    win::GetCommonAppDataFolder("App");
    FAIL() << "no error";
  } catch (const win::Error_t& e) {
    EXPECT_EQ(e.ErrorCode(), plat::kErrorCannotMake);
  }
}

TEST(FolderTest, TempFolderFromEnvironmentElseTmp) {
  {
    test::EnvOverride env("TMPDIR", "/some/where");
    EXPECT_EQ(win::GetTempFolder(), "/some/where/");
  }
  {
    test::EnvOverride env("TMPDIR", nullptr);
    EXPECT_EQ(win::GetTempFolder(), "/tmp/");
  }
}

}  // namespace
