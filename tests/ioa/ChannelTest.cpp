// The channel's negotiation and commands over a real pseudo-terminal, with the
// simulated watch at the far end of a real serial link.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "glo/GLO_Exception.h"
#include "ioa/IOA_Channel.h"
#include "ios/IOS_SerialLink.h"
#include "thr/THR_Event.h"
#include "tools/WatchSim.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using sim::Bytes;

const char kCommon[] = "P000 A000 A600 D600 A700 D700";

long long MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// A unit; 'protocols' null: it sends no protocol array.
sim::Profile Unit(std::uint16_t product, std::int16_t software, const char* protocols) {
  sim::Profile p;
  p.productId = product;
  p.softwareVersion = software;
  // Non-ASCII on purpose: the watch sends it in Windows-1252.
  p.descriptions = {"L\xC3\xA4ufer \xE2\x82\xAC 3", "Region EU"};
  p.protocols.reset();
  if (protocols) {
    std::vector<sim::ProtocolEntry> list;
    if (!sim::ParseProtocols(protocols, list)) throw std::logic_error(protocols);
    p.protocols = list;
  }
  return p;
}

sim::Profile Builtin(const char* name) {
  sim::Profile p;
  if (!sim::BuiltinProfile(name, p)) throw std::logic_error(name);
  return p;
}

// The host's frames other than acknowledgements.
std::vector<sim::Frame> DataFrames(sim::Watch_t& watch) {
  std::vector<sim::Frame> out;
  for (const sim::Frame& f : watch.HostFrames())
    if (f.id != 6 && f.id != 21) out.push_back(f);
  return out;
}

// Waits until the host has sent a frame with the id and data.
bool WaitHostFrame(sim::Watch_t& watch, std::uint16_t id, const Bytes& data) {
  const auto end = Clock::now() + 10s;
  while (Clock::now() < end) {
    for (const sim::Frame& f : watch.HostFrames())
      if (f.id == id && f.data == data) return true;
    std::this_thread::sleep_for(5ms);
  }
  return false;
}

class ChannelTest : public ::testing::Test {
 protected:
  void Start(const sim::Profile& profile) {
    watch = std::make_unique<sim::Watch_t>(profile);
    link = std::make_unique<ios::SerialLink_t>(abort, watch->PortPath(), 9600);
  }

  // Runs 'act' on a helper thread (joined by the fixture).
  void Meanwhile(std::function<void()> act) { helper = std::thread(std::move(act)); }

  void TearDown() override {
    if (helper.joinable()) helper.join();
  }

  thr::Event_t abort{nullptr, true, false, nullptr};
  std::unique_ptr<sim::Watch_t> watch;
  std::unique_ptr<ios::SerialLink_t> link;
  std::thread helper;
};

// ---- negotiation ---------------------------------------------------------------

struct Negotiation_t {
  const char* name;
  sim::Profile unit;
  std::string expected;  // the effective protocol list
  bool a906, a900, a010;
};

// Test names and messages show the case's name, not its bytes.
void PrintTo(const Negotiation_t& c, std::ostream* out) { *out << c.name; }

std::string Row(const char* protocols) { return std::string(protocols) + " " + kCommon; }

class NegotiationTest : public ChannelTest, public ::testing::WithParamInterface<Negotiation_t> {};

TEST_P(NegotiationTest, ProtocolListAndWire) {
  const Negotiation_t& c = GetParam();
  Start(c.unit);
  const auto start = Clock::now();
  ioa::Channel_t channel(*link);
  const long long elapsed = MsSince(start);

  EXPECT_EQ(ioa::FormatProtocolIds(channel.GetProtocols().protocols), c.expected);
  EXPECT_EQ(channel.SupportsA906(), c.a906);
  EXPECT_EQ(channel.SupportsA900(), c.a900);
  if (c.a010) {
    EXPECT_NO_THROW(channel.RequireA010());
  } else {
    EXPECT_THROW(channel.RequireA010(), ioa::Exception_t);
  }

  const bool multi = channel.GetProtocols().Contains(ioa::ProtocolId_t{'T', 1});
  EXPECT_EQ(link->MultiPacket(), multi);

  const ioa::ProductData_t& product = channel.GetProductData();
  EXPECT_EQ(product.productId, c.unit.productId);
  EXPECT_EQ(product.softwareVersion, c.unit.softwareVersion);
  EXPECT_EQ(product.descriptions, c.unit.descriptions);

  // Without an array the channel waited the whole second for one.
  if (!c.unit.protocols) {
    EXPECT_GE(elapsed, 995);
  }

  // On the wire: the product request, then the empty data request.
  const std::vector<sim::Frame> frames = DataFrames(*watch);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].id, 254);
  EXPECT_TRUE(frames[0].data.empty());
  EXPECT_EQ(frames[1].id, 28);
  EXPECT_EQ(frames[1].data, (Bytes{0, 0}));
}

const Negotiation_t kNegotiations[] = {
    // A protocol array: A001 is added, nothing else.
    {"Array", Unit(484, 330, "L001 A010 A100 D100 A906 D906 T001"), "L001 A010 A100 D100 A906 D906 T001 A001", true,
     false, true},
    {"ArrayWithA001", Unit(484, 330, "L001 A001 A010 A302 D311 D302"), "L001 A001 A010 A302 D311 D302", false, false,
     true},
    {"A906NotDirectlyBeforeD906", Unit(484, 330, "L001 A010 A906 D100 D906"), "L001 A010 A906 D100 D906 A001", false,
     false, true},
    {"RunnerWithTracksAndLaps", Builtin("runner"),
     "P000 L001 A010 A100 D110 A201 D202 D110 D210 A302 D311 D302 A400 D110 A906 D906 T001 A001", true, false, true},
    {"ArrayWithoutA010", Builtin("noa010"), "P000 L001 A100 D110 A302 D311 D302 A906 D906 A001", true, false, false},
    // The A900 correction, whatever the source of the list.
    {"A900FromVersionWithArray", Unit(78, 203, "L001 A010"), "L001 A010 A001 A900", false, true, true},
    {"NoA900AfterVersion205", Unit(78, 206, "L001 A010"), "L001 A010 A001", false, false, true},
    {"A900ArrayHasIt", Unit(67, 204, "L001 A010 A900"), "L001 A010 A900 A001", false, true, true},
    {"A900WithoutArrayOrRow", Unit(78, 203, nullptr), "A900", false, true, false},
    // No array: the product table, without A001.
    {"Table7", Unit(7, 0, nullptr), Row("L001 A010 A100 D100 A200 D200 D100 A500 D500"), false, false, true},
    {"Table29At399", Unit(29, 399, nullptr), Row("L001 A010 A100 D101 A200 D201 D101 A300 D300 A400 D101 A500 D500"),
     false, false, true},
    {"Table29At400", Unit(29, 400, nullptr), Row("L001 A010 A100 D102 A200 D201 D102 A300 D300 A400 D102 A500 D500"),
     false, false, true},
    {"Table77At300", Unit(77, 300, nullptr), Row("L001 A010 A100 D100 A200 D201 D100 A300 D300 A400 D400 A500 D501"),
     false, false, true},
    {"Table77At355", Builtin("tablefind"), Row("L001 A010 A100 D103 A200 D201 D103 A300 D300 A500 D501"), false, false,
     true},
    {"Table77At361", Unit(77, 361, nullptr), Row("L001 A010 A100 D103 A200 D201 D103 A300 D300 A400 D403 A500 D501"),
     false, false, true},
    {"Table36At300", Unit(36, 300, nullptr), Row("L001 A010 A100 D152 A200 D200 D152 A300 D300 A500 D500"), false,
     false, true},
    {"UnknownProduct", Builtin("unknown"), "", false, false, false},
    {"NegativeSoftwareVersion", Unit(77, -1, nullptr), "", false, false, false},
};

INSTANTIATE_TEST_SUITE_P(Channel, NegotiationTest, ::testing::ValuesIn(kNegotiations),
                         [](const ::testing::TestParamInfo<Negotiation_t>& info) { return info.param.name; });

TEST_F(ChannelTest, UnitThatAnswersTheProductRequestWithAnotherPacket) {
  Start(Unit(484, 330, "L001 A010"));
  watch->SetConversation(false);
  Meanwhile([this] {
    if (WaitHostFrame(*watch, 254, {})) watch->Send(38, {1, 2, 3, 4});
  });
  // The unit id frame is dropped; the product data never comes.
  const auto start = Clock::now();
  EXPECT_THROW(ioa::Channel_t channel(*link), iol::Timeout_t);
  EXPECT_GE(MsSince(start), 2990);
}

TEST_F(ChannelTest, ShortProductDataIsADamagedFrame) {
  Start(Unit(484, 330, "L001 A010"));
  watch->SetConversation(false);
  Meanwhile([this] {
    if (WaitHostFrame(*watch, 254, {})) watch->Send(255, {0xC4, 0x01, 0x4A});
  });
  try {
    ioa::Channel_t channel(*link);
    ADD_FAILURE() << "negotiated with a damaged product data frame";
  } catch (const iol::BadFrame_t& e) {
    EXPECT_STREQ(e.SourceFile(), "IOA_ProductData.cpp");
    EXPECT_EQ(e.Message(), "Frame: (ID,DATA)\nID: 255\n0000: c4 01 4a " + std::string(13 * 3, ' ') + "  ..J\n");
  }
}

TEST_F(ChannelTest, StopRequestDuringTheWaitForTheArrayIsNotSwallowed) {
  Start(Unit(7, 0, nullptr));
  Meanwhile([this] {
    // The product data has been acknowledged: the channel now waits for the array.
    if (WaitHostFrame(*watch, 6, {255, 0})) abort.Set();
  });
  EXPECT_THROW(ioa::Channel_t channel(*link), glo::Terminate_t);
}

// ---- commands ------------------------------------------------------------------

TEST_F(ChannelTest, ReadsTheUnitId) {
  sim::Profile unit = Builtin("runner");
  unit.unitId = 3456789012u;  // above 2^31: read unsigned
  Start(unit);
  ioa::Channel_t channel(*link);
  EXPECT_EQ(channel.ReadUnitId(), 3456789012u);
  EXPECT_EQ(DataFrames(*watch).back().id, 10);
  EXPECT_EQ(DataFrames(*watch).back().data, (Bytes{14, 0}));
}

TEST_F(ChannelTest, UnitIdAfterAnotherPacketIsFound) {
  Start(Builtin("runner"));
  ioa::Channel_t channel(*link);
  watch->SetConversation(false);
  Meanwhile([this] {
    if (!WaitHostFrame(*watch, 10, {14, 0})) return;
    watch->Send(27, {1, 0});
    watch->Send(38, {0x78, 0x56, 0x34, 0x12});
  });
  EXPECT_EQ(channel.ReadUnitId(), 0x12345678u);
}

TEST_F(ChannelTest, UnitThatAnswersTheUnitIdRequestWithAnotherPacket) {
  Start(Builtin("runner"));
  ioa::Channel_t channel(*link);
  watch->SetConversation(false);
  Meanwhile([this] {
    if (WaitHostFrame(*watch, 10, {14, 0})) watch->Send(12, {14, 0});
  });
  EXPECT_THROW(channel.ReadUnitId(), iol::Timeout_t);
  helper.join();
  // The conversation goes on afterwards.
  watch->SetConversation(true);
  EXPECT_EQ(channel.ReadUnitId(), watch->GetProfile().unitId);
}

TEST_F(ChannelTest, RequestsTheMapRegionInformation) {
  sim::Profile unit = Unit(78, 203, nullptr);
  unit.regionInfo = Bytes{0x01, 0x00, 0x02, 0x01, 0x78, 0x56, 0x34, 0x12, 0x03};
  Start(unit);
  ioa::Channel_t channel(*link);
  ioa::VmapRgnInfo_t info;
  channel.RequestVmapRgnInfo(info);
  EXPECT_EQ(info.first, 1);
  EXPECT_EQ(info.second, 0x0102);
  EXPECT_EQ(info.third, 0x12345678u);
  EXPECT_EQ(info.kind, 3);
  EXPECT_EQ(DataFrames(*watch).back().data, (Bytes{63, 0}));
}

TEST_F(ChannelTest, TurnsTheUnitOffWithoutWaitingForAnAcknowledgement) {
  Start(Builtin("runner"));
  ioa::Channel_t channel(*link);
  const auto start = Clock::now();
  channel.TurnOffPower();
  EXPECT_LT(MsSince(start), 1500);  // well below the link's 3000 ms wait
  for (int i = 0; i < 500 && !watch->IsOff(); ++i) std::this_thread::sleep_for(10ms);
  EXPECT_TRUE(watch->IsOff());
  EXPECT_EQ(DataFrames(*watch).back().id, 10);
  EXPECT_EQ(DataFrames(*watch).back().data, (Bytes{8, 0}));
}

TEST_F(ChannelTest, PauseWaitsAndEndsOnTheStopEvent) {
  Start(Builtin("runner"));
  ioa::Channel_t channel(*link);
  auto start = Clock::now();
  channel.Pause();
  EXPECT_GE(MsSince(start), 195);

  Meanwhile([this] {
    std::this_thread::sleep_for(50ms);
    abort.Set();
  });
  start = Clock::now();
  EXPECT_THROW(channel.Pause(), glo::Terminate_t);
  EXPECT_THROW(channel.Pause(), glo::Terminate_t);  // still stopped: at once
}

}  // namespace
