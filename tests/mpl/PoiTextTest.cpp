// Point-of-interest property records and the nearest text search, on maps
// whose points own records in a built label sub-file.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "mpl/MPL_Map.h"
#include "mpl/MPL_PoiText.h"
#include "tests/imgkit/LblBuilder.h"
#include "tests/imgkit/MapImage.h"
#include "tests/imgkit/ParagraphBuilder.h"
#include "tests/imgkit/PoiTextBuilder.h"
#include "tests/mpl/LblMap.h"
#include "tests/mpl/MapFacadeFixture.h"
#include "tests/mpl/MapFixture.h"
#include "tests/mpl/RgnMap.h"

namespace {

using imgkit::PoiRecord_t;

// The centre of the one level-0 subdivision; a level unit is 256 semicircles.
constexpr std::int32_t kCentre = rgntest::kLow;
constexpr std::int32_t kUnit = 256;

constexpr std::uint32_t kAllProperties = 0x1FF;

mpl::MdbPoint_t At(std::int16_t dlat, std::int16_t dlon) {
  return {kCentre + dlat * kUnit, kCentre + dlon * kUnit};
}

// A point of the map: type, its property record's offset (or a plain label
// when 'poi' is false) and its place in level units from the centre.
imgkit::RgnPoint_t Point(std::uint8_t type, std::uint32_t offset, std::int16_t dlat, std::int16_t dlon,
                         bool poi = true) {
  imgkit::RgnPoint_t p;
  p.type = type;
  p.label = offset;
  p.poi = poi;
  p.dlat = dlat;
  p.dlon = dlon;
  return p;
}

// The RGN test map with the points in its first level-0 subdivision (the
// others empty) and the builder's label sub-file.
struct PoiMap_t {
  PoiMap_t(const imgkit::LblBuilder_t& lbl, const std::vector<imgkit::RgnPoint_t>& points, std::uint32_t treFlags = 0) {
    rgntest::Fixture_t f = rgntest::BasicObjects();
    imgkit::MapBuilder_t& m = f.map;
    m.tre.flags = treFlags;
    imgkit::RgnSubdivision_t s;
    s.points = points;
    f.rgn.subdivisions = {imgkit::RgnSubdivision_t{}, s, imgkit::RgnSubdivision_t{}, imgkit::RgnSubdivision_t{}};
    f.rgn.Place(m);
    files = lbltest::WithLbl(m, lbl.Build());
    image = imgkit::MapImage(files);
    result = mpl::MdbOpen(map, m.name, "", imgkit::OpenImage(image));
  }
  std::vector<imgkit::MapFile_t> files;
  std::string image;
  mpl::MdbMap_t map;
  int result = -1;
};

// A label builder with code-page labels and the global property flags.
imgkit::LblBuilder_t Labels(std::uint32_t flags) {
  imgkit::LblBuilder_t lbl;
  lbl.header.encoding = 9;
  lbl.header.propFlags = flags;
  return lbl;
}

// Decodes one record of the builder's properties as the point of that type.
struct Decoded_t {
  int result = -1;
  mpl::MdbPoiText_t text;
};
Decoded_t Decode(const imgkit::LblBuilder_t& lbl, std::uint32_t offset, std::uint16_t type = 0x2A) {
  PoiMap_t m(lbl, {});
  EXPECT_EQ(0, m.result);
  mpl::MdbPointRecord_t point;
  point.type = type;
  point.poi = offset;
  Decoded_t d;
  d.result = mpl::MdbReadPoiTextPlain(m.map, d.text, point);
  return d;
}

TEST(PoiTextTest, PackedNumbersAndLabelReferences) {
  EXPECT_EQ(std::string("\x8C\x9B", 2), imgkit::EncodePackedDigits("1125"));
  EXPECT_EQ(std::string("\x8C\xF8", 2), imgkit::EncodePackedDigits("11"));
  struct Case_t {
    const char* what;
    std::string bytes;  // the phone field
    const char* number;
    int result;
  };
  imgkit::LblBuilder_t lbl = Labels(mpl::kPoiPhone);
  const std::uint32_t label = lbl.AddLabel("221B");
  const std::vector<Case_t> cases = {
      {"two pairs", std::string("\x8C\x9B", 2), "1125", 0},
      {"a trailing pair of dashes is dropped", std::string("\x8C\xF8", 2), "11", 0},
      {"middle bytes have bit 7 clear", std::string("\x8C\x17\x9B", 3), "112125", 0},
      {"the symbol past the digits", std::string("\xFF\x80", 2), "?600", 0},
      {"a label reference", imgkit::EncodeNumberLabel(label), "221B", 0},
      {"a run that never ends", std::string("\x8C\x17\x17", 3), "", 1},
  };
  for (const Case_t& c : cases) {
    imgkit::LblBuilder_t b = lbl;
    PoiRecord_t r;
    r.phone = c.bytes;
    const std::uint32_t offset = static_cast<std::uint32_t>(b.properties.size());
    b.properties += imgkit::EncodePoiRecord(r, mpl::kPoiPhone, {});
    const Decoded_t d = Decode(b, offset);
    EXPECT_EQ(c.result, d.result) << c.what;
    if (c.result == 0) {
      EXPECT_STREQ(c.number, d.text.number) << c.what;
    }
  }
}

TEST(PoiTextTest, AddressOfHouseNumberStreetAndUnit) {
  struct Case_t {
    const char* house;   // packed digits; a label text when it starts with '@'
    const char* street;  // null: no street
    const char* address;
    unsigned houseLength, streetLength, unit;
  };
  const Case_t cases[] = {
      {"12-34", "MAIN ST", "12 MAIN ST DEPT 4", 2, 7, 6},
      {"1--2", "MAIN ST", "1-2 MAIN ST", 3, 7, 0},
      {"12", nullptr, "12", 2, 0, 0},
      {nullptr, "MAIN ST", "MAIN ST", 0, 7, 0},
      {"5-71", nullptr, "5 UNIT 1", 1, 0, 6},
      {"@9-X2", "ELM RD", "9 ELM RD # 2", 1, 6, 3},
      {"@7-6", "ELM RD", "7 ELM RD STE ", 1, 6, 4},
  };
  for (const Case_t& c : cases) {
    imgkit::LblBuilder_t lbl = Labels(mpl::kPoiHouseNumber | mpl::kPoiStreet);
    PoiRecord_t r;
    r.localMask = true;
    if (c.house != nullptr)
      r.houseNumber = c.house[0] == '@' ? imgkit::EncodeNumberLabel(lbl.AddLabel(c.house + 1))
                                        : imgkit::EncodePackedDigits(c.house);
    if (c.street != nullptr) r.street = lbl.AddLabel(c.street);
    lbl.properties = imgkit::EncodePoiRecord(r, lbl.header.propFlags, {});
    const Decoded_t d = Decode(lbl, 0);
    ASSERT_EQ(0, d.result) << c.address;
    EXPECT_STREQ(c.address, d.text.address);
    EXPECT_EQ(c.houseLength, d.text.houseNumberLength) << c.address;
    EXPECT_EQ(c.streetLength, d.text.streetNameLength) << c.address;
    EXPECT_EQ(c.unit, d.text.unitLength) << c.address;
    EXPECT_STREQ("", d.text.number) << c.address;  // no phone: the house number is not taken for one
    if (c.street == nullptr) {
      EXPECT_EQ(mpl::kMdbNone, d.text.street);
    }
  }
}

// A street of 200 characters does not fit: the address stops at 150
// characters, and the lengths still describe its parts.
TEST(PoiTextTest, LongAddressIsCutWithConsistentLengths) {
  for (const char* house : {"12-34", "12"}) {
    imgkit::LblBuilder_t lbl = Labels(mpl::kPoiHouseNumber | mpl::kPoiStreet);
    lbl.header.labelShift = 0;
    PoiRecord_t r;
    r.houseNumber = imgkit::EncodePackedDigits(house);
    r.street = lbl.AddLabel(std::string(200, 'S'));
    lbl.properties = imgkit::EncodePoiRecord(r, lbl.header.propFlags, {});
    const Decoded_t d = Decode(lbl, 0);
    ASSERT_EQ(0, d.result);
    const std::string address = d.text.address;
    EXPECT_EQ(150u, address.size());
    EXPECT_EQ('\0', d.text.address[150]);
    EXPECT_EQ(2u, d.text.houseNumberLength);
    EXPECT_EQ(147u, d.text.streetNameLength);
    EXPECT_EQ(0u, d.text.unitLength);
    EXPECT_EQ("12 " + std::string(147, 'S'), address);
  }
}

TEST(PoiTextTest, EveryPropertyWithAndWithoutLocalMask) {
  imgkit::LblBuilder_t lbl = Labels(kAllProperties);
  const std::uint32_t name = lbl.AddLabel("HARBOUR INN");
  const std::uint32_t street = lbl.AddLabel("QUAY ST");
  const std::uint32_t road = lbl.AddLabel("A1");
  // 300 cities: city indexes take two bytes; the other tables one.
  for (unsigned i = 0; i < 300; ++i) lbl.AddCity(0, 0);
  lbl.AddIndexed(0);
  lbl.AddExit(road, 1);
  lbl.AddFacility(0, true, 1, 1, 1);
  const imgkit::PoiTables_t tables{300, 1, 1, 1};
  PoiRecord_t r;
  r.name = name;
  r.houseNumber = imgkit::EncodePackedDigits("42");
  r.street = street;
  r.city = 0x123;
  r.postalCode = 1;
  r.phone = imgkit::EncodePackedDigits("5550100");
  r.exit = imgkit::PoiExit_t{road, true, 1, 1};
  r.extension = imgkit::PoiExtension_t{std::string("\x01\x02\x34\x12\x00", 5), 4, std::nullopt};
  imgkit::PoiGroupA_t a;
  a.value1 = 0x010203;
  a.value2 = 0x040506;
  a.byte1 = 7;
  a.byte2 = 8;
  a.mask = 0x80000001u;
  a.tail = "zz";
  r.groupA = a;
  r.groupB = imgkit::PoiGroupB_t{9, "tail"};
  for (bool local : {false, true}) {
    r.localMask = local;
    imgkit::LblBuilder_t b = lbl;
    b.properties = imgkit::EncodePoiRecord(r, kAllProperties, tables);
    const Decoded_t d = Decode(b, 0, 0x24);
    ASSERT_EQ(0, d.result) << local;
    const mpl::MdbPoiText_t& t = d.text;
    EXPECT_EQ(0u, t.record);
    EXPECT_EQ(name, t.nameLabel);
    EXPECT_EQ(street, t.street);
    EXPECT_STREQ("42 QUAY ST", t.address);
    EXPECT_EQ(0x123u, t.city);
    EXPECT_EQ(1u, t.postalCode);
    EXPECT_STREQ("5550100", t.number);
    EXPECT_EQ(mpl::kPoiKindExit, t.kind);
    EXPECT_EQ(road, t.exitRoadLabel);
    EXPECT_EQ(1u, t.exitFlag);
    EXPECT_EQ(1u, t.exitIndex);
    EXPECT_EQ(1u, t.exitFacility);
    EXPECT_EQ(5u, t.extensionLength);
    EXPECT_EQ(4u, t.extensionFlags);
    EXPECT_EQ(0x1234u, t.extensionReference);
    EXPECT_EQ(0x010203u, t.groupA1);
    EXPECT_EQ(0x040506u, t.groupA2);
    EXPECT_EQ(7u, t.groupAByte1);
    EXPECT_EQ(8u, t.groupAByte2);
    EXPECT_EQ(0x80000001u, t.groupAMask);
    EXPECT_EQ(0x57u, t.groupAFlags);
    EXPECT_EQ(9u, t.groupB);
  }
  // With a local mask, properties left out take no bytes: only the city here.
  PoiRecord_t few;
  few.localMask = true;
  few.city = 0x1FF;
  lbl.properties = imgkit::EncodePoiRecord(few, kAllProperties, tables);
  EXPECT_EQ(3u + 2u + 2u, lbl.properties.size());
  const Decoded_t d = Decode(lbl, 0);
  ASSERT_EQ(0, d.result);
  EXPECT_EQ(0x1FFu, d.text.city);
  EXPECT_EQ(mpl::kMdbNone, d.text.street);
  EXPECT_EQ(mpl::kMdbNone, d.text.postalCode);
  EXPECT_EQ(mpl::kMdbNone, d.text.exitIndex);
  EXPECT_STREQ("", d.text.address);
}

TEST(PoiTextTest, KindsAndServiceStreetField) {
  const struct {
    std::uint16_t type;
    std::uint8_t kind;
  } kinds[] = {{22, 2}, {27, 2}, {32, 1}, {39, 1}, {41, 0}, {48, 0}, {29, 3}, {18, 4}, {28, 5}, {49, 5}, {0, 5}};
  for (const auto& k : kinds) EXPECT_EQ(k.kind, mpl::MdbPoiKind(k.type)) << k.type;
  // A service point's street field with bit 22 is kept raw and read as no text.
  imgkit::LblBuilder_t lbl = Labels(mpl::kPoiStreet);
  PoiRecord_t r;
  r.street = 0x400000u | lbl.AddLabel("MAIN ST");
  lbl.properties = imgkit::EncodePoiRecord(r, mpl::kPoiStreet, {});
  Decoded_t d = Decode(lbl, 0, 23);
  ASSERT_EQ(0, d.result);
  EXPECT_EQ(*r.street, d.text.street);
  EXPECT_STREQ("", d.text.address);
  d = Decode(lbl, 0, 42);
  ASSERT_EQ(0, d.result);
  EXPECT_EQ(*r.street & 0x3FFFFFu, d.text.street);
  EXPECT_STREQ("MAIN ST", d.text.address);
}

// Runs longer than their fields (a local mask of six bytes, an extension run
// of five) make a bad record; a record that is missing gives "not found".
TEST(PoiTextTest, OverlongRunsAndMissingRecords) {
  struct Case_t {
    const char* what;
    std::uint32_t flags;
    PoiRecord_t record;
    int result;
  };
  PoiRecord_t mask5;
  mask5.localMask = true;
  mask5.rawMask = std::string("\x00\x00\x00\x00\x80", 5);
  PoiRecord_t mask6 = mask5;
  mask6.rawMask = std::string("\x00\x00\x00\x00\x00\x80", 6);
  PoiRecord_t run4;
  run4.extension = imgkit::PoiExtension_t{"", 0, std::string("\x00\x00\x00\x80", 4)};
  PoiRecord_t run5 = run4;
  run5.extension->run = std::string("\x00\x00\x00\x00\x80", 5);
  PoiRecord_t cut;
  cut.houseNumber = std::string("\x8C", 1);  // the section ends inside the number
  const Case_t cases[] = {
      {"mask of five bytes", kAllProperties, mask5, 0},
      {"mask of six bytes", kAllProperties, mask6, 1},
      {"run of four bytes", mpl::kPoiExtension, run4, 0},
      {"run of five bytes", mpl::kPoiExtension, run5, 1},
      {"record cut short", mpl::kPoiHouseNumber, cut, 1},
  };
  for (const Case_t& c : cases) {
    imgkit::LblBuilder_t lbl = Labels(c.flags);
    lbl.properties = imgkit::EncodePoiRecord(c.record, c.flags, {});
    EXPECT_EQ(c.result, Decode(lbl, 0).result) << c.what;
  }
  imgkit::LblBuilder_t lbl = Labels(0);
  lbl.properties = imgkit::EncodePoiRecord(PoiRecord_t(), 0, {});
  EXPECT_EQ(3, Decode(lbl, static_cast<std::uint32_t>(lbl.properties.size())).result);
  EXPECT_EQ(3, Decode(lbl, mpl::kMdbNone).result);
  EXPECT_EQ(0, Decode(lbl, 0).result);
}

TEST(PoiTextTest, RouteDistanceKernel) {
  // A route east along the equator-ish centre line, then north.
  const std::int32_t c = kCentre, u = 0x1000;
  const mpl::MdbRouteNode_t nodes[] = {{c, c, 0}, {c, c + 4 * u, 4 * u}, {c + 4 * u, c + 4 * u, 8 * u}};
  const std::int32_t one = 0x7FFFFFFF;  // no longitude scaling
  struct Case_t {
    mpl::MdbPoint_t point;
    std::uint32_t along, off;
  };
  const Case_t cases[] = {
      {{c + u, c + 2 * u}, 3 * u, u},              // beside the first leg
      {{c + 2 * u, c + 5 * u}, 7 * u, u},          // beside the second leg
      {{c - u, c - u}, 5793, 5793},                // before the start: the start node
      {{c, c + 4 * u}, 4 * u, 0},                  // on the corner: the first leg wins
  };
  for (const Case_t& k : cases) {
    std::uint32_t off = 0;
    const std::uint32_t along = mpl::MdbRouteDistance(k.point, nodes, 3, one, off);
    EXPECT_NEAR(k.off, off, 1);
    EXPECT_NEAR(k.along, along, 2);
  }
  std::uint32_t off = 0;
  EXPECT_EQ(mpl::kMdbNone, mpl::MdbRouteDistance({c, c}, nodes, 0, one, off));
  EXPECT_EQ(mpl::kMdbNone, off);
}

// Points around the query point (the centre): names, properties and an exit.
struct SearchMap_t {
  SearchMap_t() : lbl(Labels(mpl::kPoiExit | mpl::kPoiGroupA)) {
    const std::uint32_t cafe = lbl.AddLabel("BLUE CAFE");
    const std::uint32_t inn = lbl.AddLabel("OLD INN");
    const std::uint32_t fuel = lbl.AddLabel("FUEL STOP");
    const std::uint32_t a1 = lbl.AddLabel("A1");
    const std::uint32_t m6 = lbl.AddLabel("M6");
    lbl.AddExit(a1, 1);
    lbl.AddExit(m6, 1);
    auto record = [&](std::uint32_t name, std::optional<std::uint32_t> mask, std::optional<std::uint32_t> road) {
      PoiRecord_t r;
      r.localMask = true;
      r.name = name;
      if (road) r.exit = imgkit::PoiExit_t{*road, false, 1, std::nullopt};
      if (mask) {
        imgkit::PoiGroupA_t a;
        a.mask = *mask;
        r.groupA = a;
      }
      const auto offset = static_cast<std::uint32_t>(lbl.properties.size());
      lbl.properties += imgkit::EncodePoiRecord(r, lbl.header.propFlags, {0, 0, 2, 0});
      return offset;
    };
    // North 10 units, east 20, south 30, west 40, and one 50 units north-east
    // without a property record.
    points = {Point(0x2A, record(cafe, 0x3, std::nullopt), 10, 0),
              Point(0x2B, record(inn, 0x4, std::nullopt), 0, 20),
              Point(0x20, record(fuel, std::nullopt, a1), -30, 0),
              Point(0x21, record(fuel, 0x1, m6), 0, -40),
              Point(0x2C, lbl.AddLabel("PLAIN CAFE"), 35, 35, false)};
  }
  imgkit::LblBuilder_t lbl;
  std::vector<imgkit::RgnPoint_t> points;
};

// The references of the hits in order (0 for empty entries), as point indexes
// (1-based) of the subdivision.
std::vector<std::uint32_t> Found(const std::vector<mpl::MdbTextHit_t>& hits) {
  std::vector<std::uint32_t> out;
  for (const mpl::MdbTextHit_t& h : hits) out.push_back(h.ref & mpl::kRefIndexMask);
  return out;
}

TEST(PoiTextTest, NearestTextSearchByEveryKind) {
  const SearchMap_t s;
  PoiMap_t m(s.lbl, s.points);
  ASSERT_EQ(0, m.result);
  const mpl::MdbPoint_t query = At(0, 0);
  char work[64];
  struct Case_t {
    const char* what;
    mpl::MdbTextCriteria_t criteria;
    std::vector<std::uint32_t> found;  // capacity 3
  };
  auto criteria = [&](std::uint8_t mode) {
    mpl::MdbTextCriteria_t c;
    c.mode = mode;
    c.work = work;
    c.workSize = sizeof work;
    return c;
  };
  std::vector<Case_t> cases;
  cases.push_back({"any point", criteria(mpl::kTextAny), {1, 2, 3}});
  {
    mpl::MdbTextCriteria_t c = criteria(mpl::kTextByBearing);
    c.bearing = 0x40000000;  // east
    c.tolerance = 0x08000000;
    cases.push_back({"east", c, {2, 0, 0}});
    c.bearing = 0xA0000000u;  // south-west: the tolerance reaches south and west
    c.tolerance = 0x20000000;
    cases.push_back({"south and west", c, {3, 4, 0}});
    c.exitName = "M6";
    cases.push_back({"west with exit M6", c, {4, 0, 0}});
  }
  {
    mpl::MdbTextCriteria_t c = criteria(mpl::kTextByProperty);
    c.properties = 0x1;
    cases.push_back({"property bit 0", c, {1, 4, 0}});
    c.name = "CAFE";
    cases.push_back({"property bit 0 named cafe", c, {1, 0, 0}});
    c.name = "";
    c.properties = 0x8;
    cases.push_back({"a property no point has", c, {0, 0, 0}});
  }
  {
    mpl::MdbTextCriteria_t c = criteria(mpl::kTextByName);
    c.name = "CAFE";
    cases.push_back({"named cafe", c, {1, 5, 0}});
    c.name = "";
    cases.push_back({"empty name", c, {1, 2, 3}});
    c.name = "NOWHERE";
    cases.push_back({"no such name", c, {0, 0, 0}});
  }
  static const mpl::MdbRouteNode_t route[] = {{kCentre - 100 * kUnit, kCentre - 40 * kUnit, 0},
                                              {kCentre + 100 * kUnit, kCentre - 40 * kUnit, 200 * kUnit}};
  {
    mpl::MdbTextCriteria_t c = criteria(mpl::kTextByRoute);
    c.nodes = route;
    c.nodeCount = 2;
    c.maxOffRoute = 45 * kUnit;
    // Along the route northward: south point (70 + 40 off), west (100 + 0),
    // north (110 + 40), east is 60 units off.
    cases.push_back({"along a route", c, {4, 3, 1}});
    c.name = "FUEL";
    cases.push_back({"along a route named fuel", c, {4, 3, 0}});
  }
  for (const Case_t& c : cases) {
    std::vector<mpl::MdbTextHit_t> hits(3);
    mpl::MdbPointRecord_t first;
    const mpl::MdbBox_t before = m.map.searchRect;
    const int r = mpl::MdbNearestText(m.map, query, first, hits.data(), 3, &c.criteria);
    EXPECT_EQ(c.found[0] != 0 ? 0 : 3, r) << c.what;
    EXPECT_EQ(c.found, Found(hits)) << c.what;
    if (r == 0) {
      EXPECT_EQ(hits[0].ref, first.ref) << c.what;
      EXPECT_EQ(hits[0].lat, first.lat) << c.what;
    }
    EXPECT_EQ(0, std::memcmp(&before, &m.map.searchRect, sizeof before)) << c.what;
  }
  // Distances and positions of the plain search, nearest first.
  std::vector<mpl::MdbTextHit_t> hits(5);
  mpl::MdbPointRecord_t first;
  ASSERT_EQ(0, mpl::MdbNearestText(m.map, query, first, hits.data(), 5, nullptr));
  EXPECT_EQ((std::vector<std::uint32_t>{1, 2, 3, 4, 5}), Found(hits));
  EXPECT_NEAR(10 * kUnit, hits[0].distance, 2);
  EXPECT_NEAR(40 * kUnit, hits[3].distance, 2);
  EXPECT_EQ(At(-30, 0).lat, hits[2].lat);
  EXPECT_EQ(At(0, -40).lon, hits[3].lon);
  // A query point outside the search rectangle finds nothing.
  m.map.searchRect = {At(5, 5).lat, At(5, 5).lon, At(-5, -5).lat, At(-5, -5).lon};
  EXPECT_EQ(3, mpl::MdbNearestText(m.map, At(20, 20), first, hits.data(), 5, nullptr));
  EXPECT_EQ(0u, hits[0].ref);
}

TEST(PoiTextTest, EqualDistancesKeepTheOrderFound) {
  imgkit::LblBuilder_t lbl = Labels(0);
  PoiMap_t m(lbl, {Point(0x2A, 0, 0, 10, false), Point(0x2A, 0, 0, -10, false), Point(0x2A, 0, 0, 5, false)});
  ASSERT_EQ(0, m.result);
  std::vector<mpl::MdbTextHit_t> hits(2);
  mpl::MdbPointRecord_t first;
  ASSERT_EQ(0, mpl::MdbNearestText(m.map, At(0, 0), first, hits.data(), 2, nullptr));
  EXPECT_EQ((std::vector<std::uint32_t>{3, 1}), Found(hits));
}

TEST(PoiTextTest, MapSearchTextAndTextEntities) {
  const SearchMap_t s;
  PoiMap_t m(s.lbl, s.points);
  ASSERT_EQ(0, m.result);
  facadetest::Image_t image(m.files);
  mpl::Map_t map(image.source, "12345678", "");
  std::vector<mpl::MdbTextHit_t> hits(2);
  mpl::MdbPointRecord_t first;
  ASSERT_TRUE(map.SearchText(At(0, 0), first, hits, "cafe"));
  EXPECT_EQ((std::vector<std::uint32_t>{1, 5}), Found(hits));
  EXPECT_EQ(hits[0].ref, first.ref);
  ASSERT_TRUE(map.SearchText(At(0, 0), first, hits, ""));
  EXPECT_EQ((std::vector<std::uint32_t>{1, 2}), Found(hits));
  EXPECT_FALSE(map.SearchText(At(0, 0), first, hits, "nowhere"));
  mpl::Filter_t inns;
  inns.kind = 1;
  inns.entries[0x2B] = 0xFFFFFFFFu;
  map.SetPointFilter(inns);
  ASSERT_TRUE(map.SearchText(At(0, 0), first, hits, ""));
  EXPECT_EQ((std::vector<std::uint32_t>{2, 0}), Found(hits));
  const mpl::Map_t closed;
  EXPECT_FALSE(mpl::Map_t(closed).SearchText(At(0, 0), first, hits, ""));
}

TEST(PoiTextTest, TextEntityReadsTheAddressInTheMapsOrder) {
  for (bool order : {false, true}) {
    imgkit::LblBuilder_t lbl = Labels(mpl::kPoiHouseNumber | mpl::kPoiStreet | mpl::kPoiExtension);
    PoiRecord_t shop;
    shop.localMask = true;
    shop.houseNumber = imgkit::EncodePackedDigits("12-34");
    shop.street = lbl.AddLabel("MAIN ST");
    PoiRecord_t tide;
    tide.localMask = true;
    tide.extension = imgkit::PoiExtension_t{std::string("\x10\x00\x00\x07\x00\x00", 6), 4, std::nullopt};
    lbl.properties = imgkit::EncodePoiRecord(shop, lbl.header.propFlags, {});
    const auto tideOffset = static_cast<std::uint32_t>(lbl.properties.size());
    lbl.properties += imgkit::EncodePoiRecord(tide, lbl.header.propFlags, {});
    PoiMap_t m(lbl, {Point(0x2A, 0, 1, 1), Point(29, tideOffset, 2, 2)}, order ? 0x4 : 0);
    ASSERT_EQ(0, m.result);
    facadetest::Image_t image(m.files);
    mpl::Map_t map(image.source, "12345678", "");
    mpl::Point_t point;
    point.record.type = 0x2A;
    point.record.poi = 0;
    const mpl::MdbPointDetails_t details = map.GetTextEntity(point, 2052);
    EXPECT_EQ(order ? "MAIN ST 12 DEPT 4" : "12 MAIN ST DEPT 4", details.name);
    EXPECT_STREQ("12 MAIN ST DEPT 4", details.text.address);
    EXPECT_EQ(mpl::kMdbNone, details.notes);
    point.record.type = 29;
    point.record.poi = tideOffset;
    const mpl::MdbPointDetails_t station = map.GetTextEntity(point, 0);
    EXPECT_EQ(7u, station.notes);
    EXPECT_EQ(station.text.extensionPosition, station.stationPointer);
    point.record.poi = mpl::kMdbNone;
    EXPECT_THROW(map.GetTextEntity(point, 0), mpl::MdbException_t);
  }
}

TEST(PoiTextTest, TextEntitiesOfAParagraph) {
  imgkit::ParagraphFiles_t files;
  files.offsetShift = 0;
  files.paragraphs = {{imgkit::PlainPart("x")},
                      {imgkit::PlainPart(std::string(200, 'a'), 2), imgkit::PlainPart("end", 9)}};
  imgkit::MapBuilder_t m = mpltest::BasicMap();
  std::vector<imgkit::MapFile_t> mapFiles = m.Files();
  for (imgkit::MapFile_t& f : mapFiles) {
    if (f.name == m.name + ".LBL") f.data = files.Lbl();
    if (f.name == m.name + ".RGN") f.data = files.Rgn();
  }
  facadetest::Image_t image(mapFiles);
  mpl::Map_t map(image.source, m.name, "");
  ASSERT_TRUE(map.IsOpen());
  std::vector<std::pair<std::string, int>> found;
  for (const mpl::TextEntity_t& e : map.TextEntitySearch(static_cast<std::uint32_t>(files.Number(1))))
    found.emplace_back(e.text, e.MatchKind());
  // A part longer than the workspace's buffer comes whole; a kind above 4 reads as 0.
  EXPECT_EQ((std::vector<std::pair<std::string, int>>{{std::string(200, 'a'), 2}, {"end", 0}}), found);
  const mpl::Map_t closed;
  mpl::Map_t copy(closed);
  mpl::TextEntityWorkspace_t workspace;
  EXPECT_THROW(copy.GetFirstTextEntity(workspace, 0), glo::Assert_t);
}

}  // namespace
