// The serial port over a real pseudo-terminal, with the simulated watch holding
// the far end.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "glo/GLO_StringResource.h"
#include "plat/PLAT_Error.h"
#include "plat/PLAT_Pty.h"
#include "plat/PLAT_Serial.h"
#include "spo/SPO_SerialPort.h"
#include "tests/common/TestEnv.h"
#include "thr/THR_Event.h"
#include "tools/WatchSim.h"
#include "win/WIN_Exception.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::unique_ptr<spo::SerialPort_t> OpenPort(const std::string& name) {
  return std::make_unique<spo::SerialPort_t>(name, 9600, 0, 8, 0, false, false, false, 4096, 4096, 17, 19, 256,
                                             256);
}

long long MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Waits until the port reports 'count' bytes queued.
bool WaitQueued(spo::SerialPort_t& port, unsigned long count) {
  const auto start = Clock::now();
  while (MsSince(start) < 5000) {
    unsigned long errors = 0;
    spo::ComStat_t status;
    port.File().ClearError(errors, status);
    if (status.inQueue >= count) return true;
    std::this_thread::sleep_for(2ms);
  }
  return false;
}

class SerialPortTest : public ::testing::Test {
 protected:
  void TearDown() override { plat::SetSerialLineErrorSource(nullptr); }

  sim::Watch_t watch;
  thr::Event_t abort{nullptr, true, false, nullptr};
};

TEST(SerialPortNames, MapsComNamesToDevices) {
  EXPECT_EQ(plat::SerialDevicePath("COM1"), "/dev/ttyS0");
  EXPECT_EQ(plat::SerialDevicePath("com12"), "/dev/ttyS11");
  EXPECT_EQ(plat::SerialDevicePath("/dev/pts/7"), "/dev/pts/7");
  EXPECT_EQ(plat::SerialDevicePath("COM0"), "");
  EXPECT_EQ(plat::SerialDevicePath("COMx"), "");
  EXPECT_EQ(plat::SerialDevicePath("LPT1"), "");
  plat::SetSerialDeviceMapping(3, "/dev/ttyUSB0");
  EXPECT_EQ(plat::SerialDevicePath("COM3"), "/dev/ttyUSB0");
  plat::SetSerialDeviceMapping(3, "");
  EXPECT_EQ(plat::SerialDevicePath("COM3"), "/dev/ttyS2");
}

TEST(SerialPortOpen, FailuresCarryTheWindowsCode) {
  const std::string dir = test::MakeTempDir("ports");
  test::WriteFile(dir + "/plainfile", "not a terminal");
  struct Case {
    std::string name;
    unsigned long code;
  } cases[] = {
      {dir + "/nosuchport", plat::kErrorFileNotFound},
      {"COM0", plat::kErrorFileNotFound},
      {dir + "/plainfile", plat::kErrorInvalidFunction},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      OpenPort(c.name);
      ADD_FAILURE() << "opened";
    } catch (const spo::CommFileError_t& e) {
      EXPECT_EQ(e.ErrorCode(), c.code);
      EXPECT_STREQ(e.SourceFile(), "SPO_CommFile.cpp");
      EXPECT_EQ(e.Message(), win::FormatErrorCode(c.code));
      EXPECT_FALSE(e.GetText().empty());
    }
  }
}

TEST_F(SerialPortTest, PortInUseGivesCode5AndFreesOnClose) {
  auto first = OpenPort(watch.PortPath());
  try {
    OpenPort(watch.PortPath());
    ADD_FAILURE() << "opened twice";
  } catch (const spo::CommFileError_t& e) {
    EXPECT_EQ(e.ErrorCode(), plat::kErrorAccessDenied);
    EXPECT_NE(e.Message().find("Windows Error Code: 5\n"), std::string::npos);
  }
  first.reset();
  EXPECT_NO_THROW(OpenPort(watch.PortPath()));
}

TEST_F(SerialPortTest, ComNameReachesTheMappedDevice) {
  plat::SetSerialDeviceMapping(7, watch.PortPath());
  auto port = OpenPort("COM7");
  plat::SetSerialDeviceMapping(7, "");
  const std::uint8_t bytes[] = {0x10, 0xFE, 0x00, 0x02, 0x10, 0x03};
  EXPECT_EQ(port->Write(bytes, sizeof bytes), 0);
  ASSERT_TRUE(watch.WaitHostBytes(sizeof bytes, 5s));
  EXPECT_EQ(watch.HostBytes(), sim::Bytes(bytes, bytes + sizeof bytes));
}

TEST_F(SerialPortTest, WriteOfNothingSucceeds) {
  auto port = OpenPort(watch.PortPath());
  EXPECT_EQ(port->Write(nullptr, 0), 0);
}

TEST_F(SerialPortTest, ReadHandsOutAtMost256BytesAtATime) {
  auto port = OpenPort(watch.PortPath());
  sim::Bytes sent(300);
  for (std::size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<std::uint8_t>(i * 7);
  watch.SendRaw(sent);
  ASSERT_TRUE(WaitQueued(*port, 300));

  const std::uint8_t* bytes = nullptr;
  std::size_t count = 0;
  ASSERT_EQ(port->Read(bytes, count, 1000, abort.Handle()), 0);
  ASSERT_EQ(count, 256u);
  EXPECT_EQ(sim::Bytes(bytes, bytes + count), sim::Bytes(sent.begin(), sent.begin() + 256));
  const auto start = Clock::now();
  ASSERT_EQ(port->Read(bytes, count, 1000, abort.Handle()), 0);
  EXPECT_LT(MsSince(start), 100);
  ASSERT_EQ(count, 44u);
  EXPECT_EQ(sim::Bytes(bytes, bytes + count), sim::Bytes(sent.begin() + 256, sent.end()));
}

TEST_F(SerialPortTest, AbortComesFirstAndLeavesBytesQueued) {
  auto port = OpenPort(watch.PortPath());
  watch.SendRaw(sim::Bytes(20, 0x41));
  ASSERT_TRUE(WaitQueued(*port, 20));
  abort.Set();
  const std::uint8_t* bytes = nullptr;
  std::size_t count = 0;
  EXPECT_EQ(port->Read(bytes, count, 1000, abort.Handle()), 2);
  EXPECT_TRUE(WaitQueued(*port, 20));
}

TEST_F(SerialPortTest, TimeOutWithNothingArriving) {
  auto port = OpenPort(watch.PortPath());
  const std::uint8_t* bytes = nullptr;
  std::size_t count = 0;
  const auto start = Clock::now();
  EXPECT_EQ(port->Read(bytes, count, 100, abort.Handle()), 1);
  // The read promises more than 100 ms; measured finely, not in whole milliseconds.
  const auto spent = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
  EXPECT_GE(spent, 100000);
  EXPECT_LT(spent, 1500000);
}

TEST_F(SerialPortTest, EndlessReadEndsOnBytesOrAbort) {
  auto port = OpenPort(watch.PortPath());
  const std::uint8_t* bytes = nullptr;
  std::size_t count = 0;
  std::thread later([this] {
    std::this_thread::sleep_for(150ms);
    watch.SendRaw({0x55});
  });
  EXPECT_EQ(port->Read(bytes, count, spo::SerialPort_t::kNoTimeout, abort.Handle()), 0);
  later.join();
  EXPECT_EQ(count, 1u);

  std::atomic<long long> setAt{0};
  const auto start = Clock::now();
  std::thread stopper([&] {
    std::this_thread::sleep_for(150ms);
    setAt = MsSince(start);
    abort.Set();
  });
  EXPECT_EQ(port->Read(bytes, count, spo::SerialPort_t::kNoTimeout, abort.Handle()), 2);
  const long long endedAt = MsSince(start);
  stopper.join();
  EXPECT_LT(endedAt - setAt, 50) << "the abort must end the wait at once";
}

TEST_F(SerialPortTest, LineErrorsAreReportedOnceWithTheirTexts) {
  auto port = OpenPort(watch.PortPath());
  struct Case {
    unsigned long flags;
    const char* english;
    std::string userText;
  } cases[] = {
      {0x0008, "The hardware detected a framing error.", glo::StringResource_t(5403, GLO_SRC).Text()},
      {0x000A, "The hardware detected a framing error.",
       glo::StringResource_t(5411, GLO_SRC).Format("10", GLO_SRC)},
      {0x8000, "The requested mode is not supported, or the hFile parameter is invalid.",
       glo::StringResource_t(5400, GLO_SRC).Text()},
      {0x0040, "Unknown Communications Error: 64", glo::StringResource_t(5411, GLO_SRC).Format("64", GLO_SRC)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    std::atomic<int> pending{1};
    plat::SetSerialLineErrorSource([&](const std::string& path, int) -> unsigned long {
      EXPECT_EQ(path, watch.PortPath());
      return pending.exchange(0) ? c.flags : 0;
    });
    const std::uint8_t* bytes = nullptr;
    std::size_t count = 0;
    try {
      port->Read(bytes, count, 1000, abort.Handle());
      ADD_FAILURE() << "no error";
    } catch (const spo::CommError_t& e) {
      EXPECT_EQ(e.Flags(), c.flags);
      EXPECT_EQ(e.Message(), c.english);
      EXPECT_EQ(e.GetText(), c.userText);
      EXPECT_STREQ(e.SourceFile(), "SPO_SerialPort.cpp");
    }
    // Reported once: the next read just times out.
    EXPECT_EQ(port->Read(bytes, count, 20, abort.Handle()), 1);
  }
  EXPECT_NE(glo::StringResource_t(5411, GLO_SRC).Text().find("%0"), std::string::npos);
}

TEST_F(SerialPortTest, LineErrorAfterAWriteThrows) {
  auto port = OpenPort(watch.PortPath());
  std::atomic<int> pending{1};
  plat::SetSerialLineErrorSource(
      [&](const std::string&, int) -> unsigned long { return pending.exchange(0) ? 0x0002 : 0; });
  const std::uint8_t byte = 0x42;
  try {
    port->Write(&byte, 1);
    ADD_FAILURE() << "no error";
  } catch (const spo::CommError_t& e) {
    EXPECT_EQ(e.Flags(), 0x0002u);
    EXPECT_EQ(e.Message(), "A character-buffer overrun has occurred. The next character is lost.");
  }
  EXPECT_EQ(port->Write(&byte, 1), 0);  // the port stays usable
}

TEST_F(SerialPortTest, FarEndGoingAwayIsAnError) {
  auto watch2 = std::make_unique<sim::Watch_t>();
  auto port = OpenPort(watch2->PortPath());
  watch2.reset();  // closes the master: the device is gone
  const std::uint8_t* bytes = nullptr;
  std::size_t count = 0;
  try {
    port->Read(bytes, count, 2000, abort.Handle());
    ADD_FAILURE() << "no error";
  } catch (const spo::CommFileError_t& e) {
    // The port's own error, which device detection takes as "try the next port".
    EXPECT_EQ(e.ErrorCode(), plat::kErrorIoDevice);
  }
}

// A far end that stops reading fills the line: the write waits for room until the
// stop event is signalled, then ends with the stop request.
TEST_F(SerialPortTest, StopEventEndsAWriteThatWaitsForRoom) {
  plat::Pty pty;
  ASSERT_TRUE(pty.Open());
  auto port = OpenPort(pty.SlavePath());
  port->SetStopEvent(abort.Handle());
  std::thread stopper([this] {
    std::this_thread::sleep_for(200ms);
    abort.Set();
  });
  const std::vector<std::uint8_t> bytes(4 << 20, 0x41);  // far beyond what the line buffers
  const auto start = Clock::now();
  EXPECT_THROW(port->Write(bytes.data(), bytes.size()), glo::Terminate_t);
  stopper.join();
  EXPECT_LT(MsSince(start), 10000);
}

}  // namespace
