// Whole-file saves over real files in the test's own folder.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_FileOps.h"
#include "tests/common/TestEnv.h"

namespace {

class FileOpsTest : public ::testing::Test {
 protected:
  ~FileOpsTest() override { plat::SetFolderFaultForTests(plat::FolderStep_t::kSync, 0); }
};

// A folder that cannot be opened to sync it, or whose file system does not
// sync folders, leaves the save made; any other error of the folder's sync
// fails the save with its code, and the new file is gone either way.
TEST_F(FileOpsTest, SaveOutcomeOfTheFolderSync) {
  using plat::FolderStep_t;
  const struct {
    const char* what;
    FolderStep_t step;
    int err;
    unsigned long code;  // 0: saved
  } cases[] = {
      {"folder cannot be read", FolderStep_t::kOpen, EACCES, 0},
      {"folder open fails", FolderStep_t::kOpen, EIO, plat::kErrorIoDevice},
      {"sync not supported (EINVAL)", FolderStep_t::kSync, EINVAL, 0},
      {"sync not supported (EBADF)", FolderStep_t::kSync, EBADF, 0},
      {"sync not supported (ENOTSUP)", FolderStep_t::kSync, ENOTSUP, 0},
      {"sync refused", FolderStep_t::kSync, EACCES, plat::kErrorAccessDenied},
      {"sync fails", FolderStep_t::kSync, EIO, plat::kErrorIoDevice},
      {"disk full", FolderStep_t::kSync, ENOSPC, plat::kErrorDiskFull},
  };
  const std::string target = test::MakeTempDir("save") + "/file.txt";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test::WriteFile(target, "old");
    std::string path;
    const plat::Handle file = plat::CreateFileBeside(target, "file.txt.new-", path);
    ASSERT_NE(plat::kInvalidHandle, file);
    plat::SetFolderFaultForTests(c.step, c.err);
    const bool saved = plat::ReplaceFileWith(file, path, target, "new", 3);
    plat::SetFolderFaultForTests(c.step, 0);
    EXPECT_EQ(c.code == 0, saved);
    if (saved) {
      EXPECT_EQ("new", test::ReadFile(target));
    } else {
      EXPECT_EQ(c.code, plat::GetLastError());
    }
    EXPECT_FALSE(std::filesystem::exists(path));
  }
}

}  // namespace
