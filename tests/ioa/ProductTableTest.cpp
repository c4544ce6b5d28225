#include <gtest/gtest.h>

#include <string>

#include "ioa/IOA_ProductTable.h"

namespace {

const char kCommon[] = " P000 A000 A600 D600 A700 D700";

struct Lookup_t {
  int product;
  int version;
  int result;
  int rowVersion;
  const char* protocols;  // before the common ones
};

TEST(ProductTable, Lookups) {
  const ioa::ProductTable_t table;
  EXPECT_EQ(table.Size(), 55u);
  const Lookup_t cases[] = {
      {29, 399, 0, 0, "L001 A010 A100 D101 A200 D201 D101 A300 D300 A400 D101 A500 D500"},
      {29, 400, 0, 400, "L001 A010 A100 D102 A200 D201 D102 A300 D300 A400 D102 A500 D500"},
      {29, 32767, 0, 400, "L001 A010 A100 D102 A200 D201 D102 A300 D300 A400 D102 A500 D500"},
      {77, 300, 0, 0, "L001 A010 A100 D100 A200 D201 D100 A300 D300 A400 D400 A500 D501"},
      {77, 301, 0, 301, "L001 A010 A100 D103 A200 D201 D103 A300 D300 A400 D403 A500 D501"},
      {77, 355, 0, 350, "L001 A010 A100 D103 A200 D201 D103 A300 D300 A500 D501"},
      {77, 361, 0, 361, "L001 A010 A100 D103 A200 D201 D103 A300 D300 A400 D403 A500 D501"},
      {77, 1000, 0, 361, "L001 A010 A100 D103 A200 D201 D103 A300 D300 A400 D403 A500 D501"},
      {36, 300, 0, 300, "L001 A010 A100 D152 A200 D200 D152 A300 D300 A500 D500"},
      {36, 299, 0, 0, "L001 A010 A100 D152 A200 D200 D152 A300 D300 A400 D152 A500 D500"},
      {7, 0, 0, 0, "L001 A010 A100 D100 A200 D200 D100 A500 D500"},
      {20, 100, 0, 0, "L002 A011 A100 D150 A200 D201 D150 A400 D450 A500 D550"},
      {112, 5, 0, 0, "L001 A010 A100 D152 A200 D201 D152 A300 D300 A500 D501"},
      {8, 0, 1, 0, nullptr},
      {65535, 300, 1, 0, nullptr},
      {77, -1, 2, 0, nullptr},
      {29, -32768, 2, 0, nullptr},
  };
  for (const Lookup_t& c : cases) {
    ioa::ProductTable_t::Row_t row;
    row.productId = -7;
    EXPECT_EQ(table.Find(c.product, c.version, row), c.result) << c.product << "/" << c.version;
    if (c.result != 0) {
      EXPECT_EQ(row.productId, -7);  // untouched
      continue;
    }
    EXPECT_EQ(row.productId, c.product);
    EXPECT_EQ(row.minSoftwareVersion, c.rowVersion);
    EXPECT_EQ(ioa::FormatProtocolIds(row.protocols), std::string(c.protocols) + kCommon)
        << c.product << "/" << c.version;
  }
}

TEST(ProductTable, EveryRowEndsWithTheCommonProtocolsAndNoNegotiatedOnes) {
  const ioa::ProductTable_t table;
  const ioa::ProtocolList_t banned = {{'A', 1}, {'A', 906}, {'D', 906}, {'T', 1}};
  int rows = 0;
  for (int product = 0; product < 256; ++product) {
    for (int version : {0, 300, 301, 350, 361, 400}) {
      ioa::ProductTable_t::Row_t row;
      if (table.Find(product, version, row) != 0 || row.minSoftwareVersion != version) continue;
      ++rows;
      const std::string text = ioa::FormatProtocolIds(row.protocols);
      ASSERT_GE(text.size(), sizeof kCommon - 1);
      EXPECT_EQ(text.substr(text.size() - (sizeof kCommon - 1)), kCommon) << product;
      for (const ioa::ProtocolId_t& id : row.protocols)
        for (const ioa::ProtocolId_t& bad : banned) EXPECT_NE(id, bad) << product;
    }
  }
  EXPECT_EQ(rows, 55);
}

TEST(ProtocolIds, ParseAndFormat) {
  ioa::ProtocolList_t list;
  ioa::ParseProtocolIds("  L001   A10 D906 T1 x", list);
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[0], (ioa::ProtocolId_t{'L', 1}));
  EXPECT_EQ(list[1].ToString(), "A010");
  EXPECT_EQ(ioa::FormatProtocolIds(list), "L001 A010 D906 T001");
  ioa::ParseProtocolIds("", list);
  EXPECT_EQ(list.size(), 4u);
}

// The unit may send any byte as a tag: every one stays visible in a list.
TEST(ProtocolIds, TagsThatDoNotPrintAreShownInHex) {
  const struct {
    char tag;
    std::uint16_t number;
    const char* text;
  } cases[] = {
      {'\0', 10, "<00>010"}, {' ', 1, "<20>001"}, {'\x7F', 300, "<7F>300"},
      {'\xE9', 65535, "<E9>65535"}, {'~', 7, "~007"},
  };
  for (const auto& c : cases) EXPECT_EQ(ioa::ProtocolId_t({c.tag, c.number}).ToString(), c.text) << c.text;
  EXPECT_EQ(ioa::FormatProtocolIds({{'A', 10}, {'\0', 0}, {'D', 906}}), "A010 <00>000 D906");
}

}  // namespace
