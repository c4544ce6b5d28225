// The index tables of the LBL sub-file (countries, regions, cities, exits,
// exit facilities, points of interest, indexed labels), house numbers and the
// labels of map objects.
#include <gtest/gtest.h>

#include "glo/GLO_StringResource.h"
#include "mpl/MPL_HouseNumber.h"
#include "mpl/MPL_Lbl.h"
#include "mpl/MPL_Rgn.h"
#include "tests/mpl/LblMap.h"
#include "tests/mpl/RgnMap.h"

namespace {

using imgkit::LblBuilder_t;
using lbltest::LblMap_t;

constexpr std::uint32_t kNone = 0xFFFFFFFF;

TEST(LblTablesTest, CountriesRegionsAndCityRegions) {
  LblBuilder_t b;
  b.AddCountry(0x111);
  b.AddCountry(0x3FFFFF | 0xC00000);  // the top bits are not the label's
  b.AddRegion(0xC002, 0x222);         // country 2 in the low 14 bits
  LblMap_t m(b);
  std::uint32_t label = 7, country = 7, region = 7;
  EXPECT_EQ(0, mpl::MdbReadCountry(m.map, 0, label));
  EXPECT_EQ(0u, label);
  EXPECT_EQ(0, mpl::MdbReadCountry(m.map, 1, label));
  EXPECT_EQ(0x111u, label);
  EXPECT_EQ(0, mpl::MdbReadCountry(m.map, 2, label));
  EXPECT_EQ(0x3FFFFFu, label);
  EXPECT_EQ(3, mpl::MdbReadCountry(m.map, 3, label));
  EXPECT_EQ(kNone, label);
  EXPECT_EQ(0, mpl::MdbReadRegion(m.map, 1, label, country));
  EXPECT_EQ(0x222u, label);
  EXPECT_EQ(2u, country);
  EXPECT_EQ(3, mpl::MdbReadRegion(m.map, 2, label, country));
  EXPECT_EQ(kNone, label);

  EXPECT_EQ(0, mpl::MdbReadCityRegion(m.map, 1, country, region));
  EXPECT_EQ(0x222u, region);
  EXPECT_EQ(0x3FFFFFu, country);
  EXPECT_EQ(0, mpl::MdbReadCityRegion(m.map, 0x4001, country, region));
  EXPECT_EQ(0u, region);
  EXPECT_EQ(0x111u, country);
  EXPECT_EQ(0, mpl::MdbReadCityRegion(m.map, 0, country, region));
  EXPECT_EQ(0u, region);
  EXPECT_EQ(0u, country);
}

// A city names its label, or a point whose label (or point of interest) it takes.
TEST(LblTablesTest, CitiesByLabelAndByPoint) {
  rgntest::Fixture_t f = rgntest::BasicObjects();
  LblBuilder_t b;
  b.header.encoding = 9;
  const std::uint32_t town = b.AddLabel("TOWN");
  const std::uint32_t village = b.AddLabel("VILLAGE");
  b.AddCountry(0x10);
  b.AddRegion(1, 0x20);
  b.AddCity(town, 1);                 // region 1
  b.AddCity(1u | (2u << 8), 0x8000 | 0x4001);  // point 1 of subdivision 2, country 1
  b.AddCity(3u | (2u << 8), 0x8000);  // point 3 of subdivision 2: a point of interest
  const std::uint32_t poi = b.AddPoi(village);
  // Point 1 of subdivision 2 comes first in its point data, point 3 third.
  f.rgn.subdivisions[1].indexed[0].label = village;
  f.rgn.subdivisions[1].points[1].poi = true;  // the point-of-interest form
  f.rgn.subdivisions[1].points[1].label = poi;
  imgkit::MapBuilder_t m = f.map;
  f.rgn.Place(m);
  LblMap_t map(b, m);
  ASSERT_EQ(0, map.result);

  mpl::MdbCityRecord_t city;
  city.number = 1;
  ASSERT_EQ(0, mpl::MdbReadCity(map.map, city));
  EXPECT_EQ(town, city.label);
  EXPECT_EQ(kNone, city.pointRef);
  EXPECT_EQ(0x20u, city.regionLabel);
  EXPECT_EQ(0x10u, city.countryLabel);

  city = mpl::MdbCityRecord_t();
  city.number = 2;
  ASSERT_EQ(0, mpl::MdbReadCity(map.map, city));
  EXPECT_EQ(mpl::MdbMakeRef(2, 1), city.pointRef);
  EXPECT_EQ(village, city.label);
  EXPECT_EQ(0u, city.regionLabel);
  EXPECT_EQ(0x10u, city.countryLabel);

  city = mpl::MdbCityRecord_t();
  city.number = 3;
  ASSERT_EQ(0, mpl::MdbReadCity(map.map, city));
  EXPECT_EQ(village, city.label);

  for (std::uint32_t n : {0u, 4u}) {
    city.number = n;
    EXPECT_EQ(3, mpl::MdbReadCity(map.map, city));
  }
}

// Records further apart than their fields: the header's record size places them.
TEST(LblTablesTest, WideRecords) {
  LblBuilder_t b;
  b.AddCity(0x111, 0);
  b.cities += std::string(11, '\x7F');
  b.AddCity(0x222, 0);
  b.cities += std::string(11, '\x7F');
  b.AddExit(0x333, 1);
  b.exits += std::string(10, '\x7F');
  b.AddExit(0x444, 3);
  b.exits += std::string(10, '\x7F');
  std::string bytes = b.Build();
  imgkit::Put16(bytes, 67, 16);   // city records 16 bytes apart
  imgkit::Put32(bytes, 63, 32);
  imgkit::Put16(bytes, 136, 16);  // exit records as well
  imgkit::Put32(bytes, 132, 32);
  LblMap_t m(bytes, mpltest::BasicMap());
  ASSERT_EQ(0, m.result);
  mpl::MdbCityRecord_t city;
  city.number = 2;
  ASSERT_EQ(0, mpl::MdbReadCity(m.map, city));
  EXPECT_EQ(0x222u, city.label);
  mpl::MdbExitRecord_t exit;
  exit.number = 1;
  ASSERT_EQ(0, mpl::MdbReadExit(m.map, exit));
  EXPECT_EQ(0x333u, exit.label);
  EXPECT_EQ(2u, exit.count);
}

TEST(LblTablesTest, ExitsAndTheirRanges) {
  LblBuilder_t b;
  b.AddExit(0x100, 1);
  b.AddExit(0x200, 4);  // exit 1: records 1-3
  b.AddExit(0x300, 2);  // runs backwards: none
  b.AddExit(0x400, 5);  // the last: to the end of the table at 156
  b.table156Count = 7;
  LblMap_t m(b);
  struct {
    std::uint32_t n, label, first, count;
  } const cases[] = {{1, 0x100, 1, 3}, {2, 0x200, 4, 0}, {3, 0x300, 2, 3}, {4, 0x400, 5, 3}};
  for (const auto& c : cases) {
    mpl::MdbExitRecord_t exit;
    exit.number = c.n;
    ASSERT_EQ(0, mpl::MdbReadExit(m.map, exit));
    EXPECT_EQ(c.label, exit.label);
    EXPECT_EQ(c.first, exit.firstIndex);
    EXPECT_EQ(c.count, exit.count) << c.n;
  }
  mpl::MdbExitRecord_t exit;
  exit.number = 5;
  EXPECT_EQ(3, mpl::MdbReadExit(m.map, exit));

  // The last exit's first index beyond the table's count: no records.
  LblBuilder_t past;
  past.AddExit(0x100, 9);
  past.table156Count = 3;
  LblMap_t m2(past);
  exit.number = 1;
  ASSERT_EQ(0, mpl::MdbReadExit(m2.map, exit));
  EXPECT_EQ(0u, exit.count);
}

TEST(LblTablesTest, ExitFacilitiesAndTheirCount) {
  for (bool shortRecords : {false, true}) {
    SCOPED_TRACE(shortRecords);
    LblBuilder_t b;
    b.shortFacilities = shortRecords;
    b.AddFacility(0x10, false, 3, 5, 0xAA);
    b.AddFacility(0x20, true, 31, 7, 0x55);
    b.AddFacility(0x30, false, 1, 0, 0x01);  // the table ends before a last mark
    LblMap_t m(b);
    mpl::MdbExitFacilityRecord_t f;
    f.number = 2;
    ASSERT_EQ(0, mpl::MdbReadExitFacility(m.map, f));
    EXPECT_EQ(0x20u, f.label);
    EXPECT_EQ(31, f.type);
    EXPECT_EQ(7, f.direction);
    EXPECT_EQ(shortRecords ? 0 : 0x55, f.facilities);
    f.number = 4;
    EXPECT_EQ(3, mpl::MdbReadExitFacility(m.map, f));

    std::uint32_t count = 0;
    EXPECT_EQ(0, mpl::MdbCountExitFacilities(m.map, 1, count));
    EXPECT_EQ(2u, count);
    EXPECT_EQ(0, mpl::MdbCountExitFacilities(m.map, 3, count));
    EXPECT_EQ(1u, count);  // stops at the table's last record
    EXPECT_EQ(3, mpl::MdbCountExitFacilities(m.map, 0, count));
    EXPECT_EQ(1u, count);
    EXPECT_EQ(3, mpl::MdbCountExitFacilities(m.map, 4, count));
  }
}

TEST(LblTablesTest, PointsOfInterestAndIndexedLabels) {
  LblBuilder_t b;
  const std::uint32_t poi = b.AddPoi(0x123);
  b.properties += "\x01\x02";  // a record cut off by the section's end
  b.AddIndexed(0x456);
  LblMap_t m(b);
  std::uint32_t label = 0;
  EXPECT_EQ(0, mpl::MdbReadPoiLabel(m.map, poi, label));
  EXPECT_EQ(0x123u, label);
  EXPECT_EQ(3, mpl::MdbReadPoiLabel(m.map, kNone, label));
  EXPECT_EQ(3, mpl::MdbReadPoiLabel(m.map, 3, label));
  EXPECT_EQ(kNone, label);
  EXPECT_EQ(3, mpl::MdbReadPoiLabel(m.map, 5, label));
  m.map.lbl.properties.shift = 31;  // 2 << 31 overflows
  EXPECT_EQ(3, mpl::MdbReadPoiLabel(m.map, 2, label));

  EXPECT_EQ(0, mpl::MdbReadIndexedLabel(m.map, 1, label));
  EXPECT_EQ(0x456u, label);
  EXPECT_EQ(0, mpl::MdbReadIndexedLabel(m.map, 0, label));
  EXPECT_EQ(0u, label);
  EXPECT_EQ(3, mpl::MdbReadIndexedLabel(m.map, 2, label));
  EXPECT_EQ(kNone, label);
}

TEST(HouseNumberTest, Formats) {
  struct {
    std::uint32_t value;
    std::uint8_t format;
    const char* expected;
  } const cases[] = {
      {1234, 0x00, "1234"},    {1234, 0x0F, "1234"},    {5, 0x01, "A5"},          {5, 0x21, "B5"},
      {5, 0x04, "Y5"},         {5, 0x65, "W5"},         {5, 0x85, " 5"},          {5, 0x06, "5E"},
      {5, 0x26, "5W"},         {5, 0x46, "5 "},         {12034, 0x27, "12S034"},  {1234, 0x08, "N1W234"},
      {1234, 0xE8, "W1S234"},  {123456, 0x29, "N12E3456"}, {1234567, 0x4A, "S12W34567"}, {1234, 0x0B, "12-34"},
      {1234, 0x0C, "1-234"},   {123456, 0x0D, "12-3456"}, {1234, 0x0E, "01234"},   {42, 0x0E, "042"},
      {420, 0x0E, "0420"},
  };
  for (const auto& c : cases) {
    char buffer[32];
    mpl::FormatHouseNumber(buffer, sizeof buffer, c.value, c.format);
    EXPECT_STREQ(c.expected, buffer) << c.value << " " << static_cast<int>(c.format);
  }
  char small[4];
  mpl::FormatHouseNumber(small, sizeof small, 1234, 0x08);
  EXPECT_STREQ("N1W", small);
}

std::string Resource(unsigned id) { return glo::LoadStringResource(id, __FILE__, __LINE__); }

TEST(LblObjectLabelTest, KindsDescriptionsAndPrefixes) {
  LblBuilder_t b;
  b.header.encoding = 9;
  const std::uint32_t name = b.AddLabel("HILL");
  const std::uint32_t irish = b.AddLabel("O'NEIL");
  const std::uint32_t poiName = b.AddLabel("MUSEUM");
  const std::uint32_t poi = b.AddPoi(poiName);
  b.AddIndexed(name);
  b.AddExit(name, 1);
  b.table156Count = 1;
  LblMap_t m(b);
  char buffer[64];

  mpl::MdbPointRecord_t point;
  point.type = 0x2C;
  point.poi = poi;
  EXPECT_EQ(0, mpl::MdbGetObjectLabel(m.map, &point, mpl::kLabelOfPoint, buffer, sizeof buffer, 0));
  EXPECT_STREQ("MUSEUM", buffer);

  // No label: the type's description, with flag bit 3.
  point = mpl::MdbPointRecord_t();
  point.type = 28;
  point.subtype = 2;
  mpl::MdbGetObjectLabel(m.map, &point, mpl::kLabelOfPoint, buffer, sizeof buffer, mpl::kLabelDescribe);
  EXPECT_EQ(Resource(6395), buffer);
  mpl::MdbAreaRecord_t area;
  area.type = 15;
  area.label = 0;
  mpl::MdbGetObjectLabel(m.map, &area, mpl::kLabelOfArea, buffer, sizeof buffer, mpl::kLabelDescribe);
  EXPECT_EQ(Resource(6342), buffer);
  // Bit 6 describes only the marked line types 8 and 9.
  mpl::MdbLineRecord_t line;
  line.label = 0;
  line.type = 8;
  mpl::MdbGetObjectLabel(m.map, &line, mpl::kLabelOfLine, buffer, sizeof buffer, mpl::kLabelDescribeMarked);
  EXPECT_EQ(Resource(6487), buffer);
  line.type = 7;
  mpl::MdbGetObjectLabel(m.map, &line, mpl::kLabelOfLine, buffer, sizeof buffer, mpl::kLabelDescribeMarked);
  EXPECT_STREQ("", buffer);

  // Point types 32 to 39 carry the exit prefix.
  point = mpl::MdbPointRecord_t();
  point.type = 33;
  point.label = name;
  mpl::MdbGetObjectLabel(m.map, &point, mpl::kLabelOfPoint, buffer, sizeof buffer, 0);
  EXPECT_EQ(Resource(6523) + "HILL", buffer);
  mpl::MdbGetObjectLabel(m.map, &point, mpl::kLabelOfPoint, buffer, sizeof buffer, mpl::kLabelBaseName);
  EXPECT_STREQ("HILL", buffer);

  const std::uint32_t one = 1;
  EXPECT_EQ(0, mpl::MdbGetObjectLabel(m.map, &one, mpl::kLabelOfIndexed, buffer, sizeof buffer, 0));
  EXPECT_STREQ("HILL", buffer);
  EXPECT_EQ(0, mpl::MdbGetObjectLabel(m.map, &name, mpl::kLabelOfOffset, buffer, sizeof buffer,
                                      mpl::kLabelTitleCase));
  EXPECT_STREQ("Hill", buffer);
  // Title case sees the whole label before the caller's size cuts it.
  char small[4];
  mpl::MdbGetObjectLabel(m.map, &irish, mpl::kLabelOfOffset, small, sizeof small, mpl::kLabelTitleCase);
  EXPECT_STREQ("O'N", small);
  mpl::MdbExitRecord_t exit;
  exit.number = 1;
  EXPECT_EQ(0, mpl::MdbGetObjectLabel(m.map, &exit, mpl::kLabelOfExit, buffer, sizeof buffer, 0));
  EXPECT_STREQ("HILL", buffer);
  // Road indexes need the road data: not found.
  EXPECT_EQ(3, mpl::MdbGetObjectLabel(m.map, &one, mpl::kLabelOfNetIndex, buffer, sizeof buffer, 0));
  EXPECT_STREQ("", buffer);
}

// The note after a "C" in a few labels of one map is cut, bounds-checked.
TEST(LblObjectLabelTest, LabelFixOfOneMap) {
  struct {
    const char* text;
    const char* expected;
  } const cases[] = {{"AB CDEF:GH", "AB"}, {"CDEF:X", ""}, {"XCDEF:", ""}, {"ABC:", "ABC:"}, {"NO NOTE", "NO NOTE"}};
  for (const auto& c : cases) {
    LblBuilder_t b;
    b.header.encoding = 9;
    b.labels.resize(1420, 'x');
    b.labels.back() = '\0';
    const std::uint32_t label = b.AddLabel(c.text);
    ASSERT_EQ(1420u, label);
    LblMap_t m(b);
    char buffer[64];
    m.map.mapId = 2097537;
    mpl::MdbGetObjectLabel(m.map, &label, mpl::kLabelOfOffset, buffer, sizeof buffer, 0);
    EXPECT_STREQ(c.expected, buffer) << c.text;
    m.map.mapId = 2097538;
    mpl::MdbGetObjectLabel(m.map, &label, mpl::kLabelOfOffset, buffer, sizeof buffer, 0);
    EXPECT_STREQ(c.text, buffer);
  }
}

}  // namespace
