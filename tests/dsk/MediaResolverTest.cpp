// The media resolver on threads that defer their prompts: where it would ask
// for the medium it gives up with MediaPromptDeferred_t instead, for as long
// as the outermost deferring scope of that thread lives.
#include <gtest/gtest.h>

#include <thread>

#include "dsk/DSK_Media.h"
#include "plat/PLAT_FileHandle.h"

namespace {

struct RemovableDrive_t : dsk::MediaSystem_t {
  bool IsRemovable(const std::string&, std::string& drive) override {
    drive = "/media/card";
    return true;
  }
  std::uint32_t Tick() override { return 1000; }
  void Sleep(std::uint32_t, int) override {}
};

struct CountingPrompter_t : dsk::MediaPrompterIntf_t {
  int Prompt(const dsk::MediaResolverState_t&, const std::string&) override {
    ++prompts;
    return dsk::kPromptRetry;
  }
  int prompts = 0;
};

TEST(MediaResolverTest, ADeferringThreadGivesUpWhereItWouldPrompt) {
  RemovableDrive_t drive;
  CountingPrompter_t prompter;
  dsk::MediaResolverState_t state;
  state.promptText = "the map card";
  state.prompter = &prompter;
  auto resolve = [&] { return dsk::ResolveMedia(state, drive, "/media/card/map.img", plat::kInvalidHandle); };
  {
    const dsk::DeferMediaPrompts_t outer;
    { const dsk::DeferMediaPrompts_t inner; }
    try {
      resolve();
      ADD_FAILURE() << "no failure";
    } catch (const dsk::MediaPromptDeferred_t& e) {
      EXPECT_EQ("/media/card", e.Drive());
    }
    EXPECT_EQ(0, prompter.prompts);
    EXPECT_FALSE(state.prompted);
    // Another thread prompts as before.
    bool retried = false;
    std::thread other([&] { retried = resolve(); });
    other.join();
    EXPECT_TRUE(retried);
    EXPECT_EQ(1, prompter.prompts);
    state.prompted = false;
  }
  EXPECT_TRUE(resolve());
  EXPECT_EQ(2, prompter.prompts);
}

}  // namespace
