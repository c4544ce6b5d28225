// The framed serial link over a real pseudo-terminal with the simulated watch at
// the far end. The watch's framing is its own code, so the wire bytes checked
// here are the ones a real unit would see.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "ios/IOS_SerialLink.h"
#include "plat/PLAT_Error.h"
#include "spo/SPO_Exception.h"
#include "thr/THR_Event.h"
#include "tools/WatchSim.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using sim::Bytes;

long long MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

Bytes Reply(std::uint16_t answered, std::uint16_t packetId, std::uint8_t seg) {
  Bytes b;
  sim::PutU16(b, answered);
  sim::PutU16(b, packetId);
  sim::PutU8(b, seg);
  return b;
}

// The host's frames other than acknowledgements.
std::vector<sim::Frame> DataFrames(const std::vector<sim::Frame>& frames) {
  std::vector<sim::Frame> out;
  for (const sim::Frame& f : frames)
    if (f.id != 6 && f.id != 21) out.push_back(f);
  return out;
}

Bytes Pattern(std::size_t n) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 31 + 7);
  return b;
}

class SerialLinkTest : public ::testing::Test {
 protected:
  SerialLinkTest() {
    watch.SetConversation(false);
    // Patient enough that a loaded machine causes no spurious retransmissions,
    // which would change the exchanges the tests check.
    watch.SetRetry(1000ms, 5);
  }

  std::unique_ptr<ios::SerialLink_t> Open() {
    return std::make_unique<ios::SerialLink_t>(abort, watch.PortPath(), 9600);
  }

  sim::Watch_t watch;
  thr::Event_t abort{nullptr, true, false, nullptr};
};

// ---- wire bytes ---------------------------------------------------------------

TEST_F(SerialLinkTest, TransmitterPutsTheWireBytes) {
  spo::SerialPort_t port(watch.PortPath(), 9600, 0, 8, 0, false, false, false, 4096, 4096, 17, 19, 256, 256);
  ios::Transmitter_t transmitter(port);
  struct Case {
    iol::Frame_t frame;
    Bytes wire;
  } cases[] = {
      {iol::Frame_t(254), {0x10, 0xFE, 0x00, 0x02, 0x10, 0x03}},
      {iol::Frame_t(10, {0x08, 0x00}), {0x10, 0x0A, 0x02, 0x08, 0x00, 0xEC, 0x10, 0x03}},
      {iol::Frame_t(16), {0x10, 0x10, 0x10, 0x00, 0xF0, 0x10, 0x03}},
      {iol::Frame_t(6, {0x10}), {0x10, 0x06, 0x01, 0x10, 0x10, 0xE9, 0x10, 0x03}},
      // A checksum of 0x10 is doubled too: id 0xF0, no data.
      {iol::Frame_t(0xF0), {0x10, 0xF0, 0x00, 0x10, 0x10, 0x10, 0x03}},
  };
  std::size_t expected = 0;
  for (const Case& c : cases) {
    transmitter.Transmit(c.frame);
    EXPECT_EQ(Bytes(transmitter.LastBlock().begin(), transmitter.LastBlock().end()), c.wire);
    expected += c.wire.size();
  }
  ASSERT_TRUE(watch.WaitHostBytes(expected, 5s));
  Bytes all;
  for (const Case& c : cases) all.insert(all.end(), c.wire.begin(), c.wire.end());
  EXPECT_EQ(watch.HostBytes(), all);

  EXPECT_THROW(transmitter.Transmit(iol::Frame_t(256)), glo::OutOfRange_t);
  EXPECT_THROW(transmitter.Transmit(iol::Frame_t(1, Bytes(256, 0))), glo::OutOfRange_t);
}

TEST_F(SerialLinkTest, ProductRequestIsAcknowledged) {
  auto link = Open();
  link->Send(iol::Frame_t(254), 3000);
  EXPECT_EQ(watch.HostBytes(), (Bytes{0x10, 0xFE, 0x00, 0x02, 0x10, 0x03}));
}

TEST_F(SerialLinkTest, ReceivedFrameIsAcknowledgedWithItsIdAsU16) {
  auto link = Open();
  watch.Send(255, {0x01, 0x02});
  const iol::Frame_t frame = link->Receive(3000);
  EXPECT_EQ(frame.Id(), 255);
  EXPECT_EQ(frame.Data(), (std::vector<std::uint8_t>{1, 2}));
  ASSERT_TRUE(watch.WaitIdle(5s));
  EXPECT_EQ(watch.HostBytes(), (Bytes{0x10, 0x06, 0x02, 0xFF, 0x00, 0xF9, 0x10, 0x03}));
}

TEST_F(SerialLinkTest, TurnOffGoesOutWithoutWaiting) {
  watch.SetConversation(true);
  auto link = Open();
  const auto start = Clock::now();
  link->Send(iol::Frame_t(10, {0x08, 0x00}), 3000);
  EXPECT_LT(MsSince(start), 500);
  ASSERT_TRUE(watch.WaitHostBytes(8, 5s));
  EXPECT_EQ(watch.HostBytes(), (Bytes{0x10, 0x0A, 0x02, 0x08, 0x00, 0xEC, 0x10, 0x03}));
  for (int i = 0; i < 100 && !watch.IsOff(); ++i) std::this_thread::sleep_for(10ms);
  EXPECT_TRUE(watch.IsOff());
}

// ---- receiving ----------------------------------------------------------------

TEST_F(SerialLinkTest, NoiseOutsideFramesIsIgnored) {
  auto link = Open();
  // Bytes before the first DLE, then DLE ETX and DLE DLE where a frame would start.
  watch.SendRaw({0x55, 0xAA, 0x03, 0x10, 0x03, 0x10, 0x10, 0x41});
  watch.Send(38, {1, 2, 3, 4});
  const iol::Frame_t frame = link->Receive(3000);
  EXPECT_EQ(frame.Id(), 38);
  ASSERT_TRUE(watch.WaitIdle(5s));
  EXPECT_EQ(watch.Sends().at(0).transmissions, 1);
  for (const sim::Frame& f : watch.HostFrames()) EXPECT_NE(f.id, 21) << "no NAK for noise";
}

TEST_F(SerialLinkTest, DamagedFramesAreNakedAndTheRetransmissionTaken) {
  struct Case {
    const char* name;
    sim::SendFault fault;
    bool naked;
  } cases[] = {
      {"bad checksum", sim::SendFault::kBadChecksum, true},
      {"damaged length", sim::SendFault::kDamagedLength, true},
      {"noise before the frame", sim::SendFault::kNoise, false},
  };
  auto link = Open();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    watch.ClearLogs();
    watch.InjectSendFault(c.fault);
    watch.Send(0x26, {0x11, 0x22, 0x33});
    const iol::Frame_t frame = link->Receive(3000);
    EXPECT_EQ(frame.Id(), 0x26);
    EXPECT_EQ(frame.Data(), (std::vector<std::uint8_t>{0x11, 0x22, 0x33}));
    ASSERT_TRUE(watch.WaitIdle(5s));
    const Bytes host = watch.HostBytes();
    const Bytes nak{0x10, 0x15, 0x01, 0x26, 0xC4, 0x10, 0x03};
    const Bytes ack{0x10, 0x06, 0x02, 0x26, 0x00, 0xD2, 0x10, 0x03};
    Bytes expected = c.naked ? nak : Bytes();
    expected.insert(expected.end(), ack.begin(), ack.end());
    EXPECT_EQ(host, expected) << sim::Hex(host);
    EXPECT_EQ(watch.Sends().at(0).transmissions, c.naked ? 2 : 1);
  }
}

TEST(ReceiveBlock, NeverGrowsPastTheLargestGoodBlock) {
  ios::RcvBlock_t block;
  for (int i = 0; i < 1000; ++i) block.Append(0x20);
  EXPECT_EQ(block.Size(), ios::RcvBlock_t::kMaxSize);
  try {
    block.Validate();
    ADD_FAILURE();
  } catch (const ios::BadRcvBlock_t& e) {
    EXPECT_EQ(e.BlockId(), 0x20);
    EXPECT_EQ(e.Message().rfind("RcvBlock: (ID,SZ,DATA,CKSM)\n0000: 20 20 ", 0), 0u);
  }
  // The largest good block: 255 data bytes.
  Bytes good{0x22, 0xFF};
  Bytes data(255, 0x01);
  good.insert(good.end(), data.begin(), data.end());
  good.push_back(sim::Checksum(Bytes(good.begin(), good.end())));
  block.Clear();
  for (std::uint8_t b : good) block.Append(b);
  EXPECT_EQ(block.Validate().Size(), 255u);
}

TEST_F(SerialLinkTest, OverlongBlockIsNakedLikeAnyDamagedBlock) {
  auto link = Open();
  Bytes block{0x33, 0x00};
  Bytes filler = Pattern(400);
  for (auto& b : filler)
    if (b == 0x10) b = 0x11;
  block.insert(block.end(), filler.begin(), filler.end());
  block.push_back(0x00);
  watch.SendRaw(sim::WrapBlock(block));
  watch.Send(0x34, {0x01});
  const iol::Frame_t frame = link->Receive(3000);
  EXPECT_EQ(frame.Id(), 0x34);
  // The link's NAK and its ACK of the good frame, as the watch read them.
  ASSERT_TRUE(watch.WaitHostFrames(2, 5s));
  const auto frames = watch.HostFrames();
  EXPECT_EQ(frames[0].id, 21);
  EXPECT_EQ(frames[0].data, (Bytes{0x33}));
}

TEST_F(SerialLinkTest, StrayAcknowledgementsAreDroppedWhileReceiving) {
  auto link = Open();
  watch.SendRaw(sim::EncodeFrame(6, {0x01, 0x00}));
  watch.SendRaw(sim::EncodeFrame(21, {0x01}));
  watch.Send(40, {0x07});
  EXPECT_EQ(link->Receive(3000).Id(), 40);
}

TEST_F(SerialLinkTest, DamagedBlocksUntilTheTimeOutEndTheReceive) {
  auto link = Open();
  // A damaged block every 20 ms: each is answered with a NAK, none is a frame.
  std::atomic<bool> feeding{true};
  std::thread feeder([&] {
    while (feeding) {
      watch.SendRaw(sim::EncodeFrame(0x26, {1}, sim::SendFault::kBadChecksum));
      std::this_thread::sleep_for(20ms);
    }
  });
  const auto start = Clock::now();
  try {
    link->Receive(200);
    ADD_FAILURE();
  } catch (const iol::Timeout_t&) {
  }
  EXPECT_GE(MsSince(start), 200);
  feeding = false;
  feeder.join();
  int naks = 0;
  for (const sim::Frame& f : watch.HostFrames()) {
    EXPECT_EQ(f.id, 21);
    naks += f.id == 21;
  }
  EXPECT_GE(naks, 3);
}

// ---- sending --------------------------------------------------------------------

TEST_F(SerialLinkTest, UnitThatNaksGetsTheFrameAgain) {
  auto link = Open();
  watch.InjectReceiveFault(sim::ReceiveFault::kNak, 2);
  const auto start = Clock::now();
  link->Send(iol::Frame_t(28, {0x00, 0x00}), 2000);
  EXPECT_LT(MsSince(start), 1000) << "a NAK makes the frame go out again at once";
  const auto frames = DataFrames(watch.HostFrames());
  ASSERT_EQ(frames.size(), 3u);
  for (const auto& f : frames) EXPECT_EQ(f.id, 28);
}

TEST_F(SerialLinkTest, DroppedAckIsRecoveredAfterTheTimeOut) {
  auto link = Open();
  watch.InjectReceiveFault(sim::ReceiveFault::kDropAck);
  // An acknowledgement of another id is no acknowledgement.
  watch.SendRaw(sim::EncodeFrame(6, {0x99, 0x00}));
  ASSERT_TRUE(watch.WaitIdle(5s));
  const auto start = Clock::now();
  link->Send(iol::Frame_t(28, {0x00, 0x00}), 400);
  const long long spent = MsSince(start);
  EXPECT_GE(spent, 400);
  EXPECT_LT(spent, 3000);
  EXPECT_EQ(DataFrames(watch.HostFrames()).size(), 2u);
}

TEST_F(SerialLinkTest, DamagedBlockWhileSendingMakesTheFrameGoOutAgain) {
  auto link = Open();
  watch.InjectReceiveFault(sim::ReceiveFault::kSilence);
  watch.SendRaw(sim::EncodeFrame(6, {28, 0}, sim::SendFault::kBadChecksum));
  ASSERT_TRUE(watch.WaitIdle(5s));
  link->Send(iol::Frame_t(28, {0x00, 0x00}), 2000);
  EXPECT_EQ(DataFrames(watch.HostFrames()).size(), 2u);
}

TEST_F(SerialLinkTest, SilentUnitGetsThreeSendsThenTimeOut) {
  auto link = Open();
  watch.SetSilent(true);
  const auto start = Clock::now();
  try {
    link->Send(iol::Frame_t(254), 100);
    ADD_FAILURE();
  } catch (const iol::Timeout_t& e) {
    EXPECT_STREQ(e.SourceFile(), "IOS_Receiver.cpp");
  }
  const long long spent = MsSince(start);
  EXPECT_GE(spent, 300);
  EXPECT_LT(spent, 2000);
  EXPECT_EQ(watch.HostFrames().size(), 3u);
  // The link stays usable.
  watch.SetSilent(false);
  watch.ClearLogs();
  link->Send(iol::Frame_t(254), 3000);
  EXPECT_EQ(watch.HostFrames().size(), 1u);
}

TEST_F(SerialLinkTest, SilentUnitWithTheRealTimeOut) {
  auto link = Open();
  watch.SetSilent(true);
  const auto start = Clock::now();
  EXPECT_THROW(link->Send(iol::Frame_t(254), link->DefaultTimeout()), iol::Timeout_t);
  const long long spent = MsSince(start);
  EXPECT_GE(spent, 9000);
  EXPECT_LT(spent, 15000);
  EXPECT_EQ(watch.HostFrames().size(), 3u);
}

TEST_F(SerialLinkTest, FramesWithoutTheAckEndTheSendAfterTheTimeOut) {
  auto link = Open();
  watch.InjectReceiveFault(sim::ReceiveFault::kSilence, 10);
  watch.SetRetry(30ms, 100);
  watch.Send(50, {0x01});  // repeated by the watch, never acknowledged by the link
  const auto start = Clock::now();
  try {
    link->Send(iol::Frame_t(28, {0x00, 0x00}), 300);
    ADD_FAILURE();
  } catch (const iol::Timeout_t& e) {
    EXPECT_STREQ(e.SourceFile(), "IOS_SerialLink.cpp");
  }
  EXPECT_GE(MsSince(start), 300);
  EXPECT_EQ(DataFrames(watch.HostFrames()).size(), 1u);
}

TEST_F(SerialLinkTest, AckWithoutDataIsAnError) {
  auto link = Open();
  watch.InjectReceiveFault(sim::ReceiveFault::kSilence);
  watch.SendRaw(sim::EncodeFrame(6, {}));
  ASSERT_TRUE(watch.WaitIdle(5s));
  try {
    link->Send(iol::Frame_t(28, {0x00, 0x00}), 2000);
    ADD_FAILURE();
  } catch (const ios::TransAbort_t&) {
    ADD_FAILURE();
  } catch (const ios::Exception_t& e) {
    EXPECT_STREQ(e.SourceFile(), "IOS_SerialLink.cpp");
    EXPECT_EQ(e.Message(), "");
  }
}

TEST_F(SerialLinkTest, FramesTooLargeForABlockAreRefusedUntouched) {
  auto link = Open();
  link->SetMultiPacket(true);
  const iol::Frame_t big(38, Pattern(256));
  try {
    link->Send(big, 1000);
    ADD_FAILURE();
  } catch (const iol::BadFrame_t& e) {
    EXPECT_EQ(e.Message(), big.DumpText());
  }
  link->SetMultiPacket(false);
  const iol::Frame_t wide(300, Pattern(10));
  try {
    link->Send(wide, 1000);
    ADD_FAILURE();
  } catch (const iol::BadFrame_t& e) {
    EXPECT_STREQ(e.SourceFile(), "IOS_SerialLink.cpp");
  }
  std::this_thread::sleep_for(50ms);
  EXPECT_TRUE(watch.HostBytes().empty());
}

// ---- abort -------------------------------------------------------------------------

TEST_F(SerialLinkTest, AbortEndsAPendingReadAtOnce) {
  auto link = Open();
  std::atomic<long long> setAt{0};
  const auto start = Clock::now();
  std::thread stopper([&] {
    std::this_thread::sleep_for(200ms);
    setAt = MsSince(start);
    abort.Set();
  });
  try {
    link->Receive(iol::Link_t::kNoTimeout);
    ADD_FAILURE();
  } catch (const glo::Terminate_t& e) {
    EXPECT_STREQ(e.SourceFile(), "IOS_Receiver.cpp");
  }
  const long long endedAt = MsSince(start);
  stopper.join();
  EXPECT_LT(endedAt - setAt, 100);
  // A send waiting for its acknowledgement ends the same way.
  watch.SetSilent(true);
  EXPECT_THROW(link->Send(iol::Frame_t(254), 3000), glo::Terminate_t);
}

// ---- port errors -----------------------------------------------------------------

TEST_F(SerialLinkTest, PortInUseAndNoSuchPort) {
  auto link = Open();
  try {
    Open();
    ADD_FAILURE();
  } catch (const spo::CommFileError_t& e) {
    EXPECT_EQ(e.ErrorCode(), plat::kErrorAccessDenied);
  }
  try {
    ios::SerialLink_t other(abort, watch.PortPath() + "-missing", 9600);
    ADD_FAILURE();
  } catch (const spo::CommFileError_t& e) {
    EXPECT_EQ(e.ErrorCode(), plat::kErrorFileNotFound);
  }
}

// ---- multi-packet transfers ---------------------------------------------------------

TEST_F(SerialLinkTest, MultiPacketFromTheUnitIsReassembled) {
  auto link = Open();
  const Bytes data = Pattern(600);
  watch.SendMultiPacket(0x1F4, data);
  const iol::Frame_t frame = link->Receive(3000);
  EXPECT_EQ(frame.Id(), 0x1F4);
  EXPECT_EQ(Bytes(frame.Data().begin(), frame.Data().end()), data);
  ASSERT_TRUE(watch.WaitIdle(5s));
  // The watch sent a header with 249 bytes, then segments of 254 and 97.
  const auto sends = watch.Sends();
  ASSERT_EQ(sends.size(), 3u);
  EXPECT_EQ(sends[0].id, 123);
  EXPECT_EQ(sends[1].id, 124);
  EXPECT_EQ(sends[2].id, 124);
  const auto replies = DataFrames(watch.HostFrames());
  ASSERT_EQ(replies.size(), 3u);
  const Bytes expected[] = {Reply(123, 0x1F4, 0), Reply(124, 0x1F4, 0), Reply(124, 0x1F4, 1)};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(replies[i].id, 125);
    EXPECT_EQ(replies[i].data, expected[i]);
  }
}

TEST_F(SerialLinkTest, MultiPacketHeaderWithAllTheDataNeedsNoReply) {
  auto link = Open();
  const Bytes data = Pattern(200);
  watch.SendMultiPacket(0x1F4, data);
  const iol::Frame_t frame = link->Receive(3000);
  EXPECT_EQ(Bytes(frame.Data().begin(), frame.Data().end()), data);
  ASSERT_TRUE(watch.WaitIdle(5s));
  EXPECT_TRUE(DataFrames(watch.HostFrames()).empty());
}

TEST_F(SerialLinkTest, BadMultiPacketTransfersAreRejected) {
  struct Case {
    const char* name;
    sim::MultiOptions options;
    std::size_t size;
    Bytes reject;  // the reply the link sends, empty for none
  } cases[] = {
      {"header carries more than its total", {100, 249, 254, -1}, 600, Reply(123, 0x1F4, 0)},
      {"total beyond the cap", {2u * 1024 * 1024, 249, 254, -1}, 600, Reply(123, 0x1F4, 0)},
      {"wrong segment number", {std::nullopt, 249, 254, 1}, 800, Reply(124, 0x1F4, 1)},
      {"segment of a wrong length", {std::nullopt, 249, 200, -1}, 600, Reply(124, 0x1F4, 0)},
  };
  auto link = Open();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    watch.ClearLogs();
    watch.SendMultiPacket(0x1F4, Pattern(c.size), c.options);
    EXPECT_THROW(link->Receive(3000), iol::BadFrame_t);
    ASSERT_TRUE(watch.WaitIdle(10s));
    const auto frames = DataFrames(watch.HostFrames());
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back().id, 126);
    EXPECT_EQ(frames.back().data, c.reject);
  }
}

TEST_F(SerialLinkTest, SegmentWithoutHeaderAndShortHeaderAreBadFrames) {
  auto link = Open();
  watch.Send(124, {0x00, 0x01, 0x02});
  EXPECT_THROW(link->Receive(3000), iol::BadFrame_t);
  watch.Send(123, {0x01, 0x02, 0x03});
  EXPECT_THROW(link->Receive(3000), iol::BadFrame_t);
  ASSERT_TRUE(watch.WaitIdle(5s));
  EXPECT_TRUE(DataFrames(watch.HostFrames()).empty()) << "no reply for either";
}

TEST_F(SerialLinkTest, MultiPacketToTheUnit) {
  auto link = Open();
  link->SetMultiPacket(true);
  const Bytes data = Pattern(1000);
  link->Send(iol::Frame_t(0x1F4, std::vector<std::uint8_t>(data.begin(), data.end())), 3000);
  const auto whole = watch.HostMultiFrames();
  ASSERT_EQ(whole.size(), 1u);
  EXPECT_EQ(whole[0].id, 0x1F4);
  EXPECT_EQ(whole[0].data, data);
  // Header with 249 bytes, then 254, 254 and 243.
  const auto frames = DataFrames(watch.HostFrames());
  ASSERT_EQ(frames.size(), 4u);
  EXPECT_EQ(frames[0].data.size(), 6u + 249u);
  EXPECT_EQ(frames[1].data.size(), 255u);
  EXPECT_EQ(frames[3].data.size(), 244u);
  EXPECT_EQ(frames[3].data[0], 2);
}

TEST_F(SerialLinkTest, UnitRejectingAStepAbortsTheTransfer) {
  auto link = Open();
  link->SetMultiPacket(true);
  watch.InjectReceiveFault(sim::ReceiveFault::kNone);  // the header goes through
  watch.InjectReceiveFault(sim::ReceiveFault::kReject);
  EXPECT_THROW(link->Send(iol::Frame_t(0x1F4, std::vector<std::uint8_t>(Pattern(600))), 3000), ios::TransAbort_t);
}

}  // namespace
