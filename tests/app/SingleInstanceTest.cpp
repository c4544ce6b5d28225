// One instance per user: a second process finds the first, asks it to come
// forward and gives up; once the first has ended, a new start is first.
#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>

#include "plat/PLAT_App.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_SingleInstance.h"
#include "tests/common/TestEnv.h"

extern char** environ;

namespace {

pid_t StartLaterInstance(const std::string& name) {
  const std::string path = test::ExeDir() + "/test_app_instance_child";
  char* const argv[] = {const_cast<char*>(path.c_str()), const_cast<char*>(name.c_str()), nullptr};
  pid_t pid = 0;
  EXPECT_EQ(::posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ), 0);
  return pid;
}

// Pumps the event loop until the process has ended; its exit code.
int AwaitExit(pid_t pid) {
  int status = 0;
  for (;;) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (done < 0) return -1;
    plat::PumpUntilIdle();
    ::usleep(10000);
  }
}

TEST(SingleInstanceTest, SecondStartBringsTheFirstForwardAndEnds) {
  ASSERT_TRUE(plat::EnsureGuiApplication());
  // The lock and the socket lie in this process's own temporary folder.
  test::EnvOverride runtime("XDG_RUNTIME_DIR", nullptr);
  int forwarded = 0;
  {
    plat::SingleInstance_t first("instance-test");
    first.SetActivateHandler([&] { ++forwarded; });
    ASSERT_TRUE(first.Acquire());
    EXPECT_EQ(AwaitExit(StartLaterInstance("instance-test")), 0);
    // The request may still wait in the queue when the child has gone.
    plat::PumpUntil([&] { return forwarded > 0; }, 5000);
    EXPECT_EQ(forwarded, 1);
    // Another name is another program.
    EXPECT_EQ(AwaitExit(StartLaterInstance("instance-other")), 1);
  }
  EXPECT_EQ(AwaitExit(StartLaterInstance("instance-test")), 1);
  EXPECT_EQ(forwarded, 1);
}

}  // namespace
