// One instance per user: a second process finds the first, asks it to come
// forward and gives up; once the first has ended, a new start is first.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Without a runtime folder the temporary folder is shared by every user: a lock
// file of the same name there, held by another user's instance, is not ours.
TEST(SingleInstanceTest, LockOfAnotherUserInTheSharedFolderIsNotOurs) {
  ASSERT_TRUE(plat::EnsureGuiApplication());
  test::EnvOverride runtime("XDG_RUNTIME_DIR", nullptr);
  const std::string shared = test::MakeTempDir("shared");
  test::EnvOverride tmp("TMPDIR", shared.c_str());
  const int other = ::open((shared + "/instance-shared.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  ASSERT_GE(other, 0);
  ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
  {
    plat::SingleInstance_t mine("instance-shared");
    EXPECT_TRUE(mine.Acquire());
    const std::string lock = mine.LockPath();
    const std::string folder = lock.substr(0, lock.rfind('/'));
    EXPECT_NE(folder, shared);
    struct stat st;
    ASSERT_EQ(::lstat(folder.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_uid, ::geteuid());
    EXPECT_EQ(st.st_mode & 0777, 0700u);
  }
  ::close(other);
}

}  // namespace
