// Image files as media: reading and writing through the platform, the prompt
// and retry for removable media, the stop event, and images read through them.
#include <gtest/gtest.h>

#include <functional>

#include "dsk/DSK_Directory.h"
#include "dsk/DSK_Disk.h"
#include "dsk/DSK_File.h"
#include "dsk/DSK_FileBuffer.h"
#include "dsk/DSK_Partition.h"
#include "mpl/MPL_FileMedia.h"
#include "plat/PLAT_FileIo.h"
#include "tests/common/TestEnv.h"
#include "tests/imgkit/ImageBuilder.h"
#include "thr/THR_Event.h"
#include "win/WIN_Exception.h"

namespace {

// Drive type, ticks and pauses under the test's control: every pause moves
// the clock on by its length.
struct FakeSystem_t : dsk::MediaSystem_t {
  bool removable = true;
  std::uint32_t tick = 5000;
  unsigned sleeps = 0;
  std::function<void()> onSleep;
  bool IsRemovable(const std::string&, std::string& drive) override {
    drive = "/media/card";
    return removable;
  }
  std::uint32_t Tick() override { return tick; }
  void Sleep(std::uint32_t ms, int) override {
    tick += ms;
    ++sleeps;
    if (onSleep) onSleep();
  }
};

struct Prompter_t : dsk::MediaPrompterIntf_t {
  std::vector<int> answers;
  std::vector<std::uint32_t> askedAt;
  std::string text, drive;
  FakeSystem_t* system = nullptr;
  int Prompt(const dsk::MediaResolverState_t& state, const std::string& d) override {
    text = state.promptText;
    drive = d;
    askedAt.push_back(system->tick);
    const int answer = answers.empty() ? dsk::kPromptCancel : answers.front();
    if (!answers.empty()) answers.erase(answers.begin());
    return answer;
  }
};

TEST(FileMediaTest, ReadsWritesAndSeeks) {
  const std::string path = test::MakeTempDir() + "/media.bin";
  test::WriteFile(path, "0123456789");
  {
    mpl::FileMedia_t media(path, true, "", nullptr, plat::kInvalidHandle);
    EXPECT_EQ(10u, media.Size());
    EXPECT_TRUE(media.IsReadOnly());
    EXPECT_EQ(path, media.Name());
    char buf[8] = {};
    media.Seek(6);
    EXPECT_EQ(4u, media.Read(buf, 8));
    EXPECT_EQ("6789", std::string(buf, 4));
    EXPECT_EQ(0u, media.Read(buf, 8));
    // A positioned read leaves the file position where it was.
    media.Seek(1);
    EXPECT_EQ(3u, media.ReadAt(7, buf, 8));
    EXPECT_EQ("789", std::string(buf, 3));
    EXPECT_EQ(2u, media.Read(buf, 2));
    EXPECT_EQ("12", std::string(buf, 2));
    EXPECT_THROW(media.Write("x", 1), glo::Assert_t);
  }
  {
    mpl::FileMedia_t media(path, false, "", nullptr, plat::kInvalidHandle);
    media.Seek(12);
    media.Write("ab", 2);
    EXPECT_EQ(14u, media.Size());
  }
  EXPECT_EQ(std::string("0123456789\0\0ab", 14), test::ReadFile(path));
  // Read-write opening creates a missing file.
  const std::string fresh = test::MakeTempDir() + "/new.img";
  mpl::FileMedia_t created(fresh, false, "", nullptr, plat::kInvalidHandle);
  EXPECT_EQ(0u, created.Size());
}

TEST(FileMediaTest, MissingFileWithoutPrompt) {
  const std::string path = test::MakeTempDir() + "/gone.img";
  struct Case_t {
    bool removable;
    const char* promptText;
  };
  for (const Case_t& c : {Case_t{false, "Map disk"}, Case_t{true, ""}}) {
    FakeSystem_t system;
    system.removable = c.removable;
    Prompter_t prompter;
    prompter.system = &system;
    try {
      mpl::FileMedia_t media(path, true, c.promptText, &prompter, plat::kInvalidHandle, system);
      ADD_FAILURE();
    } catch (const win::FileNotFound_t& e) {
      EXPECT_EQ(path, e.FileName());
    }
    EXPECT_TRUE(prompter.askedAt.empty());
  }
}

TEST(FileMediaTest, RemovableMediumIsAskedForAgainAfterTwentySeconds) {
  const std::string path = test::MakeTempDir() + "/card.img";
  FakeSystem_t system;
  Prompter_t prompter;
  prompter.system = &system;
  prompter.answers = {dsk::kPromptRetry, dsk::kPromptCancel};
  try {
    mpl::FileMedia_t media(path, true, "Map card", &prompter, plat::kInvalidHandle, system);
    ADD_FAILURE();
  } catch (const dsk::MediaUnavailable_t& e) {
    EXPECT_EQ("/media/card", e.Drive());
  }
  ASSERT_EQ(2u, prompter.askedAt.size());
  EXPECT_EQ("Map card", prompter.text);
  EXPECT_EQ(667u, system.sleeps);  // every 30 ms until 20 s have passed
  EXPECT_EQ(prompter.askedAt[0] + 667 * 30, prompter.askedAt[1]);
}

TEST(FileMediaTest, MediumPutBackEndsTheRetries) {
  const std::string path = test::MakeTempDir() + "/card.img";
  FakeSystem_t system;
  Prompter_t prompter;
  prompter.system = &system;
  prompter.answers = {dsk::kPromptRetry};
  system.onSleep = [&] {
    if (system.sleeps == 10) test::WriteFile(path, "back");
  };
  mpl::FileMedia_t media(path, true, "Map card", &prompter, plat::kInvalidHandle, system);
  EXPECT_EQ(1u, prompter.askedAt.size());
  EXPECT_FALSE(media.ResolverState().prompted);
  media.SetPromptText("Other card");
  EXPECT_EQ("Other card", media.ResolverState().promptText);
  EXPECT_EQ(4u, media.Size());
}

TEST(FileMediaTest, StopEventEndsOperations) {
  const std::string path = test::MakeTempDir() + "/stop.img";
  test::WriteFile(path, "data");
  thr::Event_t stop(nullptr, true, false, nullptr);
  mpl::FileMedia_t media(path, true, "", nullptr, stop.Handle());
  char buf[4];
  EXPECT_EQ(4u, media.Read(buf, 4));
  stop.Set();
  // Even a read that succeeds reports the stop.
  EXPECT_THROW(media.Read(buf, 4), glo::Terminate_t);
  EXPECT_THROW(mpl::FileMedia_t(path, true, "", nullptr, stop.Handle()), glo::Terminate_t);
}

TEST(FileMediaTest, SeekOnStopIsTerminate) {
  const std::string path = test::MakeTempDir() + "/stop.img";
  test::WriteFile(path, "data");
  thr::Event_t stop(nullptr, true, false, nullptr);
  mpl::FileMedia_t media(path, true, "", nullptr, stop.Handle());
  stop.Set();
  EXPECT_THROW(media.Seek(0), glo::Terminate_t);
}

TEST(FileMediaTest, ImageReadAndChangedThroughAFile) {
  imgkit::ImageBuilder_t b;
  b.xorByte = 0x21;
  b.files = {imgkit::File("MAP.TRE", std::string(1000, 't'))};
  const std::string path = test::MakeTempDir() + "/map.img";
  test::WriteFile(path, b.Build());
  {
    mpl::FileMedia_t media(path, false, "", nullptr, plat::kInvalidHandle);
    dsk::Disk_t disk(media, 64);
    EXPECT_EQ(path, disk.GetName());
    dsk::FileBuffer_t* f = disk.GetPartition(0).GetRootDirectory().FindFile("map.tre");
    ASSERT_NE(nullptr, f);
    f->Open(dsk::kModeWrite);
    std::uint64_t at = 990;
    f->Write("0123456789abc", 13, at);
    f->Close();
  }
  mpl::FileMedia_t media(path, true, "", nullptr, plat::kInvalidHandle);
  dsk::Disk_t disk(media, 8);
  dsk::File_t file(disk.GetPartition(0).GetRootDirectory().FindFile("MAP.TRE"));
  file.Open(dsk::kModeRead);
  std::string data(file.GetSize(), '\0');
  file.Read(data.data(), file.GetSize());
  EXPECT_EQ(std::string(990, 't') + "0123456789abc", data);
}

TEST(FileMediaTest, DriveOfAFixedFolder) {
  std::string mount;
  const unsigned type = plat::GetDriveType(test::Home() + "/not/there/file.img", mount);
  EXPECT_NE(plat::kDriveUnknown, type);
  EXPECT_FALSE(mount.empty());
  EXPECT_EQ(0u, (test::Home() + "/").rfind(mount, 0)) << mount;
}

}  // namespace
