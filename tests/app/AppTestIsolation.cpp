// Every test of the program starts from what a fresh process finds: an empty
// data folder, a settings file with its keys but no values, the process-wide
// user list empty and not loaded, the settings objects read again and no path
// barred from saving. So the tests pass in any order, all in one process.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "app/AppSettings.h"
#include "app/DataFile.h"
#include "app/UserDatabase.h"
#include "map/MAP_Registry.h"
#include "plat/PLAT_Registry.h"
#include "tests/common/TestEnv.h"
#include "win/WIN_RegSettingsKey.h"
#include "xfr/XFR_CommSettings.h"

namespace {

namespace fs = std::filesystem;

// Keeps the keys of the settings file (the process holds some of them open)
// and drops its values.
void DropSettingValues() {
  const std::string path = plat::UserHivePath();
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return;
  std::istringstream in(test::ReadFile(path));
  std::string kept;
  for (std::string line; std::getline(in, line);)
    if (line.empty() || line[0] == '[' || line.find('=') == std::string::npos) kept += line + "\n";
  test::WriteFile(path, kept);
}

void EmptyDataFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (!data || data[0] != '/') return;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(data, error)) fs::remove_all(entry.path(), error);
}

class FreshStart_t : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override {
    EmptyDataFolder();
    app::LiftSaveBars();
    app::GetUserDatabase() = app::UserDatabase_t();
    DropSettingValues();
    app::GetAppSettings() = app::AppSettings_t(app::GetSettingsKey());
    map::GetRegistry() = map::Registry_t(app::GetSettingsKey());
    xfr::GetCommSettings() = xfr::CommSettings_t(app::GetSettingsKey());
  }
};

const bool g_registered = [] {
  ::testing::UnitTest::GetInstance()->listeners().Append(new FreshStart_t);
  return true;
}();

}  // namespace
