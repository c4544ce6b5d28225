// The program in a process of its own, as its user runs it: after a real
// message box and the real file dialog it ends with exit code 0, by File >
// Exit and by a termination request (logging out), with nothing lost.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/DataFile.h"
#include "app/RunDatabase.h"
#include "app/UserDatabase.h"
#include "tests/common/TestEnv.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// A hang is a failure too: the child is stopped after this long.
constexpr int kHangSeconds = 120;

// Runs the program's session child; its exit code (-signal when a signal
// ended it, -1000 when it hung and was stopped).
int RunSession(const std::string& mode) {
  const std::string path = test::ExeDir() + "/test_app_session_child";
  char* const argv[] = {const_cast<char*>(path.c_str()), const_cast<char*>(mode.c_str()), nullptr};
  pid_t pid = 0;
  if (::posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0) return -2000;
  int status = 0;
  for (int waited = 0; waited < kHangSeconds * 100; ++waited) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    if (done < 0) return -3000;
    ::usleep(10000);
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, &status, 0);
  return -1000;
}

// A virtual display of its own, when the machine has the X server for one:
// the toolkit's failures at exit show on a display, not off-screen.
class VirtualDisplay {
 public:
  VirtualDisplay() {
    std::string server;
    if (const char* path = std::getenv("PATH")) {
      std::string paths = path;
      for (std::size_t start = 0; start <= paths.size();) {
        const std::size_t end = std::min(paths.find(':', start), paths.size());
        const std::string candidate = paths.substr(start, end - start) + "/Xvfb";
        if (::access(candidate.c_str(), X_OK) == 0) {
          server = candidate;
          break;
        }
        start = end + 1;
      }
    }
    int fds[2];
    if (server.empty() || ::pipe(fds) != 0) return;
    const std::string fd = std::to_string(fds[1]);
    const char* argv[] = {server.c_str(), "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                          nullptr};
    if (::posix_spawn(&m_pid, server.c_str(), nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) m_pid = 0;
    ::close(fds[1]);
    std::string number;
    char c = 0;
    while (m_pid != 0 && ::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    ::close(fds[0]);
    if (!number.empty()) m_display = ":" + number;
  }
  ~VirtualDisplay() {
    if (m_pid == 0) return;
    ::kill(m_pid, SIGTERM);
    int status = 0;
    ::waitpid(m_pid, &status, 0);
  }
  // ":N", or empty when there is none (the program then runs off-screen).
  const std::string& Name() const { return m_display; }

 private:
  pid_t m_pid = 0;
  std::string m_display;
};

// A home folder of its own, with the data, settings and temporary folders
// below it, for the program's process.
struct FreshHome {
  const std::string path = test::MakeTempDir("session");
  const bool made = fs::create_directories(path + "/tmp");
  test::EnvOverride home{"HOME", path.c_str()};
  test::EnvOverride data{"XDG_DATA_HOME", (path + "/data").c_str()};
  test::EnvOverride config{"XDG_CONFIG_HOME", (path + "/config").c_str()};
  test::EnvOverride temp{"TMPDIR", (path + "/tmp").c_str()};
  test::EnvOverride runtime{"XDG_RUNTIME_DIR", nullptr};
};

// The exported histories below a folder.
std::vector<std::string> Exports(const std::string& folder) {
  std::vector<std::string> found;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file() && entry.path().extension() == ".xml" &&
        test::ReadFile(entry.path().string()).find("<History") != std::string::npos)
      found.push_back(entry.path().string());
  return found;
}

TEST(SessionTest, AfterAMessageBoxAndAnExportTheProgramEndsWithZeroAndKeepsEverything) {
  const VirtualDisplay display;
  test::EnvOverride screen("DISPLAY", display.Name().empty() ? nullptr : display.Name().c_str());
  test::EnvOverride platform("QT_QPA_PLATFORM", display.Name().empty() ? "offscreen" : "xcb");
  for (const char* mode : {"exit", "terminate"}) {
    SCOPED_TRACE(mode);
    SCOPED_TRACE(display.Name().empty() ? "off-screen" : "on the display " + display.Name());
    const FreshHome fresh;
    const std::string& home = fresh.path;
    EXPECT_EQ(RunSession(mode), 0);

    EXPECT_EQ(Exports(home).size(), 1u);
    app::UserDatabase_t users(app::DataFolder());
    EXPECT_EQ(users.Load().status, app::LoadOutcome_t::kLoaded);
    ASSERT_EQ(users.size(), 1u);
    EXPECT_EQ(users.begin()->second, "Runner");
    app::RunSet_t runs;
    EXPECT_EQ(app::LoadRunDatabase(users.DocumentPath("Runner"), runs).status, app::LoadOutcome_t::kLoaded);
    EXPECT_EQ(runs.size(), 3u);
    // The close saved the layout as well.
    EXPECT_NE(test::ReadFile(home + "/config/VORTAN/registry-user.txt").find("SplitSize0"), std::string::npos);
  }
}

// With the user list unsaveable, a termination request says why and asks as
// closing does: No keeps the program running, Yes ends it with exit code 1.
// The runs are saved all the same.
TEST(SessionTest, ATerminationRequestWhoseSaveFailsAsksAndEndsWithOne) {
  test::EnvOverride platform("QT_QPA_PLATFORM", "offscreen");
  const FreshHome home;
  EXPECT_EQ(RunSession("terminate-unsaved"), 1);
  app::UserDatabase_t users(app::DataFolder());
  app::RunSet_t runs;
  EXPECT_EQ(app::LoadRunDatabase(users.DocumentPath("Runner"), runs).status, app::LoadOutcome_t::kLoaded);
  EXPECT_EQ(runs.size(), 3u);
}

}  // namespace
