// Saving and loading the program's files on the file system as it is: the
// permissions a save gives, links that lead to the file, pipes and devices
// where a file is expected, and the temporary files of saves that were killed.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/DataFile.h"
#include "app/RunDatabase.h"
#include "app/XmlExport.h"
#include "plat/PLAT_Error.h"
#include "tests/app/TrainingTestUtil.h"
#include "tests/common/TestEnv.h"
#include "win/WIN_Exception.h"

namespace {

namespace fs = std::filesystem;

mode_t ModeOf(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return 0;
  return st.st_mode & 07777;
}

// Sets the umask for the life of the object.
class Umask {
 public:
  explicit Umask(mode_t mask) : m_old(::umask(mask)) {}
  ~Umask() { ::umask(m_old); }

 private:
  mode_t m_old;
};

void SaveText(const std::string& path, const std::string& text) {
  app::WriteWholeFile(path, false, [&](std::ostream& out) { out << text; });
}

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(DataFileTest, SavesKeepTheModeOfTheFileAndNewFilesFollowTheUmask) {
  const std::string folder = test::MakeTempDir("modes");
  struct Case {
    mode_t umask;
    mode_t expected;
  };
  for (const Case& c : {Case{022, 0644}, Case{002, 0664}, Case{077, 0600}}) {
    Umask mask(c.umask);
    const std::string path = folder + "/new-" + std::to_string(c.umask) + ".bin";
    SaveText(path, "first");
    EXPECT_EQ(ModeOf(path), c.expected) << std::oct << c.umask;
  }
  // An existing file keeps its own permissions, whatever the umask.
  Umask mask(077);
  const std::string kept = folder + "/kept.bin";
  test::WriteFile(kept, "old");
  ASSERT_EQ(0, ::chmod(kept.c_str(), 0640));
  SaveText(kept, "new");
  EXPECT_EQ(test::ReadFile(kept), "new");
  EXPECT_EQ(ModeOf(kept), 0640u);

  // The run database and the exported history alike.
  Umask usual(022);
  app::RunSet_t runs;
  runs.insert(trtest::MakeRun(trtest::kBase, 1, 300, 20));
  app::SaveRunDatabase(folder + "/Runner.bin", runs);
  EXPECT_EQ(ModeOf(folder + "/Runner.bin"), 0644u);
  app::ExportHistoryXml(folder + "/history.xml", runs);
  EXPECT_EQ(ModeOf(folder + "/history.xml"), 0644u);
}

TEST(DataFileTest, SavingThroughALinkReplacesTheFileItLeadsTo) {
  const std::string folder = test::MakeTempDir("links");
  fs::create_directories(folder + "/real");
  const std::string target = folder + "/real/Runner.bin";
  test::WriteFile(target, "old");
  ASSERT_EQ(0, ::chmod(target.c_str(), 0604));
  fs::create_symlink("real/Runner.bin", folder + "/Runner.bin");
  // A link to a link, as well.
  fs::create_symlink(folder + "/Runner.bin", folder + "/Again.bin");

  SaveText(folder + "/Again.bin", "new");
  EXPECT_TRUE(fs::is_symlink(folder + "/Again.bin"));
  EXPECT_TRUE(fs::is_symlink(folder + "/Runner.bin"));
  EXPECT_EQ(test::ReadFile(target), "new");
  EXPECT_EQ(ModeOf(target), 0604u);
  // The temporary file was made beside the target and is gone.
  EXPECT_EQ(Names(folder + "/real"), std::vector<std::string>{"Runner.bin"});

  // A link that leads to no file yet: the save makes the file there.
  fs::create_symlink("real/Later.bin", folder + "/Later.bin");
  SaveText(folder + "/Later.bin", "later");
  EXPECT_TRUE(fs::is_symlink(folder + "/Later.bin"));
  EXPECT_EQ(test::ReadFile(folder + "/real/Later.bin"), "later");
}

// A pipe where a data file is expected would make reading it wait for ever
// and saving would put a file in its place: both are refused.
TEST(DataFileTest, PipesAndDevicesAreNeitherReadNorWrittenOver) {
  const std::string folder = test::MakeTempDir("special");
  const std::string pipe = folder + "/Runner.bin";
  ASSERT_EQ(0, ::mkfifo(pipe.c_str(), 0600));
  const std::string link = folder + "/Device.bin";
  fs::create_symlink("/dev/null", link);
  for (const std::string& path : {pipe, link}) {
    SCOPED_TRACE(path);
    app::RunSet_t runs;
    try {
      app::LoadRunDatabase(path, runs);
      ADD_FAILURE() << "read";
    } catch (const app::NotAFile_t& e) {
      EXPECT_EQ(e.Path(), path);
      EXPECT_NE(std::string(e.what()).find("not a regular file"), std::string::npos) << e.what();
    }
    EXPECT_THROW(app::SaveRunDatabase(path, runs), glo::Exception_t);
    EXPECT_THROW(SaveText(path, "x"), app::NotAFile_t);
  }
  struct stat st;
  ASSERT_EQ(0, ::lstat(pipe.c_str(), &st));
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Names(folder), (std::vector<std::string>{"Device.bin", "Runner.bin"}));
}

TEST(DataFileTest, FileTooLargeIsReportedAsSuch) {
  const std::string path = test::MakeTempDir("large") + "/Runner.bin";
  app::RunSet_t runs;
  for (int k = 0; k < 40; ++k) runs.insert(trtest::MakeRun(trtest::kBase + k * 86400, 3, 300, 400));
  trtest::FileSizeLimit limit(16 * 1024);
  try {
    app::SaveRunDatabase(path, runs);
    FAIL() << "saved";
  } catch (const win::Error_t& e) {
    EXPECT_EQ(e.ErrorCode(), plat::kErrorFileTooLarge);
    EXPECT_NE(std::string(e.what()).find("file size exceeds the limit"), std::string::npos) << e.what();
  }
}

// A save killed half-way leaves its temporary file; the clean-up at the next
// start removes it and nothing else.
TEST(DataFileTest, LeftoversOfAKilledSaveAreRemoved) {
  const std::string folder = test::MakeTempDir("killed");
  test::WriteFile(folder + "/Runner.bin", "kept");
  test::WriteFile(folder + "/notes.saving-txt", "kept too");
  const doc::Info_t header = app::MakeFileHeader("DlRf", 1);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    try {
      app::SaveDataFile(folder + "/Runner.bin", header, [](bin::ostream& out) {
        const std::string chunk(1 << 20, 'x');
        for (int k = 0; k < 4; ++k) out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        ::raise(SIGKILL);
      });
    } catch (...) {
    }
    ::_exit(1);
  }
  int status = 0;
  ASSERT_EQ(child, ::waitpid(child, &status, 0));
  ASSERT_TRUE(WIFSIGNALED(status));
  std::vector<std::string> left = Names(folder);
  ASSERT_EQ(left.size(), 3u);
  EXPECT_EQ(left[0].rfind(".saving-", 0), 0u) << left[0];

  app::RemoveLeftoverSaves(folder);
  EXPECT_EQ(Names(folder), (std::vector<std::string>{"Runner.bin", "notes.saving-txt"}));
  EXPECT_EQ(test::ReadFile(folder + "/Runner.bin"), "kept");
}

}  // namespace
