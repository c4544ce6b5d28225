// Handle holders: closing once, duplicating into an empty holder.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_Event.h"
#include "win/WIN_Exception.h"
#include "win/WIN_Handle.h"

namespace {

bool IsOpen(int fd) { return ::fcntl(fd, F_GETFD) != -1; }

// A second Close must not close a descriptor that reused the number meanwhile.
TEST(HandleTest, ClosingTwiceClosesOnce) {
  win::Handle_t h(::open("/dev/null", O_RDONLY | O_CLOEXEC));
  const int number = h.Get();
  ASSERT_TRUE(IsOpen(number));
  h.Close();
  EXPECT_FALSE(h.IsValid());
  const int reused = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  h.Close();
  EXPECT_TRUE(IsOpen(reused));
  ::close(reused);
}

TEST(HandleTest, DuplicateOwnsItsOwnHandleToTheSameObject) {
  win::Handle_t event(plat::CreateEvent(true, false));
  win::Handle_t copy;
  copy.Duplicate(event);
  EXPECT_NE(copy.Get(), event.Get());
  event.Close();  // the copy keeps the event alive
  ASSERT_TRUE(plat::SetEvent(copy.Get()));
  EXPECT_EQ(plat::WaitForSingleObject(copy.Get(), 0), plat::kWaitObject0);

  EXPECT_THROW(copy.Duplicate(copy), glo::Assert_t);  // only into an empty holder
  win::Handle_t empty, target;
  try {
    target.Duplicate(empty);
    FAIL() << "duplicated nothing";
  } catch (const win::Error_t& e) {
    EXPECT_EQ(e.ErrorCode(), plat::kErrorInvalidHandle);
    EXPECT_STREQ(e.SourceFile(), "WIN_Handle.cpp");
  }
}

}  // namespace
