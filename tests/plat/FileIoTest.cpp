#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <thread>
#include <unistd.h>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_FileIo.h"

namespace {

// A non-blocking pipe whose reader lags gets every byte in order; one whose
// reader never comes stops after the stall bound with a time-out.
TEST(PlatFileIo, WriteAllWaitsForRoomWithinItsBound) {
  int fds[2];
  ASSERT_EQ(0, ::pipe(fds));
  ASSERT_EQ(0, ::fcntl(fds[1], F_SETFL, O_NONBLOCK));
  std::string sent(1 << 20, '\0');
  for (std::size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<char>(i * 7);
  std::string received;
  std::thread reader([&] {
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0) received.append(buffer, static_cast<std::size_t>(n));
  });
  std::size_t written = 0;
  EXPECT_TRUE(plat::WriteAll(fds[1], sent.data(), sent.size(), written, 10000));
  EXPECT_EQ(sent.size(), written);
  ::close(fds[1]);
  reader.join();
  EXPECT_TRUE(received == sent);

  ASSERT_EQ(0, ::pipe(fds));
  ASSERT_EQ(0, ::fcntl(fds[1], F_SETFL, O_NONBLOCK));
  EXPECT_FALSE(plat::WriteAll(fds[1], sent.data(), sent.size(), written, 200));
  EXPECT_EQ(plat::kErrorTimeout, plat::GetLastError());
  EXPECT_GT(written, 0u);
  EXPECT_LT(written, sent.size());
  ::close(fds[0]);
  ::close(fds[1]);
}

}  // namespace
