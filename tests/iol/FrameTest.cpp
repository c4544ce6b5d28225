// Frames, their text dump, the packet decoding rules and the packet operations
// of the link interface.
#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <thread>

#include "bin/BIN_stream.h"
#include "iol/IOL_Link.h"
#include "thr/THR_Event.h"

namespace {

using namespace std::chrono_literals;

// A packet of one u32 field, decoded and encoded by the common rules.
class U32Packet_t : public iol::Packet_t {
 public:
  std::uint16_t Id() const override { return 38; }
  void Decode(const iol::Frame_t& frame) override {
    GLO_ASSERT(frame.Id() == Id());
    iol::FrameStream_t stream(frame);
    bin::read_le(stream, value);
    if (stream.fail()) throw iol::BadFrame_t(frame, GLO_SRC);
  }
  iol::Frame_t Encode() const override {
    iol::FrameStream_t stream;
    bin::write_le(stream, value);
    GLO_ASSERT(stream.good());
    return iol::Frame_t(Id(), &stream);
  }
  std::uint32_t value = 0;
};

TEST(FrameDump, FormatsHeadingIdAndHexLines) {
  struct Case {
    iol::Frame_t frame;
    std::string text;
  } cases[] = {
      {iol::Frame_t(38, {0x01, 0x02, 0x41, 0x7F}),
       "Frame: (ID,DATA)\nID: 38\n0000: 01 02 41 7f " + std::string(36, ' ') + "  ..A.\n"},
      {iol::Frame_t(300), "Frame: (ID,DATA)\nID: 300\n"},
  };
  std::vector<std::uint8_t> seventeen;
  for (std::uint8_t b = 0x41; b <= 0x51; ++b) seventeen.push_back(b);
  const std::string two = "Frame: (ID,DATA)\nID: 7\n"
                          "0000: 41 42 43 44 45 46 47 48 49 4a 4b 4c 4d 4e 4f 50   ABCDEFGHIJKLMNOP\n"
                          "0010: 51 " + std::string(45, ' ') + "  Q\n";
  for (const Case& c : cases) EXPECT_EQ(c.frame.DumpText(), c.text);
  EXPECT_EQ(iol::Frame_t(7, seventeen).DumpText(), two);
}

TEST(Frame, CopiesShareTheirData) {
  auto first = std::make_unique<iol::Frame_t>(5, std::vector<std::uint8_t>{1, 2, 3});
  const iol::Frame_t copy = *first;
  EXPECT_EQ(&copy.Data(), &first->Data());
  first.reset();
  EXPECT_EQ(copy.Data(), (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(copy.Id(), 5);
  EXPECT_TRUE(iol::Frame_t().Data().empty());
  EXPECT_EQ(iol::Frame_t().Id(), 0);
}

TEST(Frame, TakesWhatRemainsInAStream) {
  iol::FrameStream_t stream;
  stream.write("abcdef", 6);
  unsigned char c;
  stream.get(c).get(c);
  const iol::Frame_t frame(9, &stream);
  EXPECT_EQ(std::string(frame.Data().begin(), frame.Data().end()), "cdef");
  EXPECT_TRUE(iol::Frame_t(9, nullptr).Data().empty());
}

TEST(PacketDecoding, ShortFramesFailAndExtraBytesAreIgnored) {
  U32Packet_t packet;
  try {
    packet.Decode(iol::Frame_t(38, {1, 2, 3}));
    ADD_FAILURE();
  } catch (const iol::BadFrame_t& e) {
    EXPECT_EQ(e.Message(), iol::Frame_t(38, {1, 2, 3}).DumpText());
  }
  packet.Decode(iol::Frame_t(38, {0x78, 0x56, 0x34, 0x12, 0xAA, 0xBB}));
  EXPECT_EQ(packet.value, 0x12345678u);
  EXPECT_THROW(packet.Decode(iol::Frame_t(27, {1, 2, 3, 4})), glo::Assert_t);
  EXPECT_EQ(packet.Encode().Data(), (std::vector<std::uint8_t>{0x78, 0x56, 0x34, 0x12}));
}

// A link that hands out scripted frames and records what is sent.
class ScriptedLink_t : public iol::Link_t {
 public:
  explicit ScriptedLink_t(const thr::Event_t& abort) : iol::Link_t(abort) {}
  iol::Frame_t Receive(std::uint32_t timeoutMs) override {
    ++receives;
    if (incoming.empty()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
      throw iol::Timeout_t(GLO_SRC);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    iol::Frame_t f = incoming.front();
    incoming.pop_front();
    return f;
  }
  void Send(const iol::Frame_t& frame, std::uint32_t) override { sent.push_back(frame); }

  std::deque<iol::Frame_t> incoming;
  std::vector<iol::Frame_t> sent;
  int receives = 0;
  int delayMs = 0;
};

class LinkPacketTest : public ::testing::Test {
 protected:
  thr::Event_t abort{nullptr, true, false, nullptr};
  ScriptedLink_t link{abort};
};

TEST_F(LinkPacketTest, ReceivePacketDropsOtherIds) {
  link.incoming = {iol::Frame_t(27, {0x02, 0x00}), iol::Frame_t(38, {0x15, 0xCD, 0x5B, 0x07})};
  U32Packet_t packet;
  link.ReceivePacket(packet, 3000);
  EXPECT_EQ(packet.value, 123456789u);
  EXPECT_EQ(link.receives, 2);
}

TEST_F(LinkPacketTest, ReceivePacketTimesOutWhileOtherFramesKeepComing) {
  for (int i = 0; i < 100; ++i) link.incoming.push_back(iol::Frame_t(27, {0x02, 0x00}));
  link.delayMs = 20;
  U32Packet_t packet;
  const auto start = std::chrono::steady_clock::now();
  try {
    link.ReceivePacket(packet, 100);
    ADD_FAILURE();
  } catch (const iol::Timeout_t& e) {
    EXPECT_STREQ(e.SourceFile(), "IOL_Link.cpp");
  }
  EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
  EXPECT_LT(link.receives, 50);
}

TEST_F(LinkPacketTest, SendPacketEncodesAndReceiveFrameUsesTheDefault) {
  U32Packet_t packet;
  packet.value = 0x01020304;
  link.SendPacket(packet, 3000);
  ASSERT_EQ(link.sent.size(), 1u);
  EXPECT_EQ(link.sent[0].Id(), 38);
  EXPECT_EQ(link.sent[0].Data(), (std::vector<std::uint8_t>{4, 3, 2, 1}));
  EXPECT_EQ(link.DefaultTimeout(), 3000u);
  link.incoming = {iol::Frame_t(99)};
  EXPECT_EQ(link.ReceiveFrame().Id(), 99);
}

TEST_F(LinkPacketTest, KeepsItsOwnAbortHandle) {
  auto owner = std::make_unique<thr::Event_t>(nullptr, true, false, nullptr);
  ScriptedLink_t own(*owner);
  EXPECT_NE(own.AbortEvent(), owner->Handle());
  owner->Set();
  owner.reset();  // the owner closes its own handle; the link's stays valid
  EXPECT_EQ(thr::WaitForAny({own.AbortEvent()}, 0), 0);
}

}  // namespace
