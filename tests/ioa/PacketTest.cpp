// The packets of the channel, decoded from and encoded to frames.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "glo/GLO_Exception.h"
#include "ioa/IOA_DataRqst.h"
#include "ioa/IOA_Int16.h"
#include "ioa/IOA_ProductData.h"
#include "ioa/IOA_ProductRqst.h"
#include "ioa/IOA_Protocols.h"
#include "ioa/IOA_UnitId.h"
#include "ioa/IOA_VmapRgnInfo.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

template <class Packet>
Packet Decoded(std::uint16_t id, const Bytes& data) {
  Packet p;
  p.Decode(iol::Frame_t(id, data));
  return p;
}

TEST(ProductData, DecodesNumbersAndWholeStrings) {
  // u16 product 0x01C4, s16 version -2, then strings.
  const std::string head("\xC4\x01\xFE\xFF", 4);
  const struct {
    std::string strings;
    std::vector<std::string> expected;
  } cases[] = {
      {"", {}},
      {std::string("Runner\0Maps 2\0", 14), {"Runner", "Maps 2"}},
      {std::string("Runner\0Maps", 11), {"Runner"}},  // the last lacks its NUL
      {std::string("\0", 1), {""}},
      // Windows-1252 on the wire, UTF-8 in the program.
      {std::string("Caf\xE9 \x80\0", 7), {"Caf\xC3\xA9 \xE2\x82\xAC"}},
  };
  for (const auto& c : cases) {
    const std::string wire = head + c.strings;
    const Bytes data(wire.begin(), wire.end());
    const auto p = Decoded<ioa::ProductData_t>(255, data);
    EXPECT_EQ(p.productId, 0x01C4);
    EXPECT_EQ(p.softwareVersion, -2);
    EXPECT_EQ(p.descriptions, c.expected);
  }
}

TEST(ProductData, EncodesInWindows1252AndRoundTrips) {
  ioa::ProductData_t p;
  p.productId = 77;
  p.softwareVersion = 355;
  p.descriptions = {"Caf\xC3\xA9", ""};
  const iol::Frame_t frame = p.Encode();
  EXPECT_EQ(frame.Id(), 255);
  EXPECT_EQ(frame.Data(), (Bytes{77, 0, 0x63, 0x01, 'C', 'a', 'f', 0xE9, 0, 0}));
  const auto back = Decoded<ioa::ProductData_t>(255, frame.Data());
  EXPECT_EQ(back.productId, 77);
  EXPECT_EQ(back.softwareVersion, 355);
  EXPECT_EQ(back.descriptions, p.descriptions);
}

TEST(Protocols, WholeRecordsOnlyAndRoundTrip) {
  const auto p = Decoded<ioa::Protocols_t>(253, {'L', 1, 0, 'A', 0x8A, 0x03, 'D', 0x8A});
  EXPECT_EQ(ioa::FormatProtocolIds(p.protocols), "L001 A906");
  EXPECT_TRUE(Decoded<ioa::Protocols_t>(253, {}).protocols.empty());
  EXPECT_EQ(p.Encode().Data(), (Bytes{'L', 1, 0, 'A', 0x8A, 0x03}));
}

TEST(DataRqst, MaskBitsZeroToTwelve) {
  EXPECT_EQ(Decoded<ioa::DataRqst_t>(28, {0xFF, 0xFF}).members,
            (std::set<unsigned>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  EXPECT_EQ(Decoded<ioa::DataRqst_t>(28, {0x05, 0xE0}).members, (std::set<unsigned>{0, 2}));
  EXPECT_EQ(ioa::DataRqst_t().Encode().Data(), (Bytes{0, 0}));
  ioa::DataRqst_t r;
  r.members = {1, 12};
  EXPECT_EQ(r.Encode().Data(), (Bytes{0x02, 0x10}));
  r.members = {13};
  EXPECT_THROW(r.Encode(), glo::Assert_t);
}

TEST(VmapRgnInfo, KindIsOptionalButBounded) {
  const Bytes eight = {1, 0, 2, 0, 0x78, 0x56, 0x34, 0x12};
  auto p = Decoded<ioa::VmapRgnInfo_t>(95, eight);
  EXPECT_EQ(p.first, 1);
  EXPECT_EQ(p.second, 2);
  EXPECT_EQ(p.third, 0x12345678u);
  EXPECT_EQ(p.kind, 0);
  Bytes nine = eight;
  nine.push_back(4);
  EXPECT_EQ(Decoded<ioa::VmapRgnInfo_t>(95, nine).kind, 4);
  EXPECT_EQ(Decoded<ioa::VmapRgnInfo_t>(95, nine).Encode().Data(), nine);
  nine.back() = 5;
  EXPECT_THROW(Decoded<ioa::VmapRgnInfo_t>(95, nine), iol::BadFrame_t);
}

TEST(Int16Family, IdsAndValues) {
  EXPECT_EQ(ioa::Command_t(ioa::Command_t::kTurnOff).Encode().Data(), (Bytes{0x08, 0x00}));
  EXPECT_EQ(ioa::Command_t().Id(), 10);
  EXPECT_EQ(ioa::Records_t().Id(), 27);
  EXPECT_EQ(ioa::XferCmplt_t().Id(), 12);
  EXPECT_EQ(Decoded<ioa::Records_t>(27, {0xFE, 0xFF, 0x99}).value, -2);
  EXPECT_EQ(Decoded<ioa::XferCmplt_t>(12, {117, 0}).value, 117);
}

TEST(UnitId, IgnoresExtraBytes) {
  EXPECT_EQ(Decoded<ioa::UnitIdPacket_t>(38, {0x04, 0x03, 0x02, 0xF1, 0xAA, 0xBB}).unitId, 0xF1020304u);
  ioa::UnitIdPacket_t u;
  u.unitId = 3456789012u;
  EXPECT_EQ(Decoded<ioa::UnitIdPacket_t>(38, u.Encode().Data()).unitId, 3456789012u);
}

// Every decoder: short data is a damaged frame whose text is the frame's dump,
// and a frame of another id is a programming error.
TEST(Packets, ShortDataAndWrongIds) {
  const struct {
    std::function<std::unique_ptr<iol::Packet_t>()> make;
    Bytes shortData;  // empty: the packet has no required field
    const char* file;
  } cases[] = {
      {[] { return std::make_unique<ioa::ProductRqst_t>(); }, {}, "IOA_ProductRqst.cpp"},
      {[] { return std::make_unique<ioa::ProductData_t>(); }, {1, 0, 2}, "IOA_ProductData.cpp"},
      {[] { return std::make_unique<ioa::Protocols_t>(); }, {}, "IOA_Protocols.cpp"},
      {[] { return std::make_unique<ioa::DataRqst_t>(); }, {1}, "IOA_DataRqst.cpp"},
      {[] { return std::make_unique<ioa::UnitIdPacket_t>(); }, {1, 2, 3}, "IOA_UnitId.cpp"},
      {[] { return std::make_unique<ioa::Command_t>(); }, {1}, "IOA_Int16.cpp"},
      {[] { return std::make_unique<ioa::VmapRgnInfo_t>(); }, {1, 0, 2, 0, 3, 0, 0}, "IOA_VmapRgnInfo.cpp"},
  };
  for (const auto& c : cases) {
    auto packet = c.make();
    const std::uint16_t id = packet->Id();
    if (!c.shortData.empty()) {
      try {
        packet->Decode(iol::Frame_t(id, c.shortData));
        ADD_FAILURE() << "no error for packet " << id;
      } catch (const iol::BadFrame_t& e) {
        EXPECT_STREQ(e.SourceFile(), c.file);
        EXPECT_EQ(e.Message(), iol::Frame_t(id, c.shortData).DumpText());
      }
    }
    try {
      packet->Decode(iol::Frame_t(static_cast<std::uint16_t>(id + 1), Bytes(16, 1)));
      ADD_FAILURE() << "no assertion for packet " << id;
    } catch (const glo::Assert_t& e) {
      EXPECT_STREQ(e.SourceFile(), c.file);
    }
  }
}

}  // namespace
