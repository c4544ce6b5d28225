// Feature descriptions: marine attribute records turned into name/value rows
// or dialog inputs, and the points described by their text records.
#include <gtest/gtest.h>

#include <memory>
#include <variant>

#include "glo/GLO_Exception.h"
#include "map/MAP_FeatureDescription.h"
#include "map/MAP_PoiDescription.h"
#include "map/MAP_Registry.h"
#include "mpl/MPL_Map.h"
#include "mpl/MPL_Marine.h"
#include "tests/mapwin/MapWinTestUtil.h"
#include "tests/mpl/MapFacadeFixture.h"

namespace {

using Rows = map::NameValueRows_t;

mpl::MdbAuxInfo_t Record(std::uint8_t cls) {
  mpl::MdbAuxInfo_t r;
  r.bytes[0] = cls;
  return r;
}

// The user's units for every test here, put back afterwards.
class UnitsTest : public ::testing::Test {
 private:
  mapwintest::MetricUnits_t m_units;
};

using ValueRowsTest = UnitsTest;

TEST_F(ValueRowsTest, DepthsAndHeightsInTheUsersDepthUnit) {
  struct Case {
    std::uint8_t cls;
    std::uint8_t unit;
    std::int32_t value;
    Rows rows;
  };
  const Case cases[] = {
      {2, 2, 12, {{"Value", "Sounding"}, {"Depth", "12.0 m"}}},
      {3, 2, 7, {{"Value", "Sounding"}, {"Height", "7.0 m"}}},
      {2, 4, 10, {{"Value", "Sounding"}, {"Depth", "18.3 m"}}},    // fathoms
      {2, 1, 100, {{"Value", "Sounding"}, {"Depth", "3.0 m"}}},    // tenths of a foot
      {2, 3, -25, {{"Value", "Sounding"}, {"Depth", "-2.5 m"}}},   // decimetres
      {2, 0, 10, {{"Value", "Sounding"}, {"Depth", "3.0 m"}}},     // feet
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "class " << int(c.cls) << " unit " << int(c.unit));
    mpl::MdbAuxInfo_t r = Record(c.cls);
    r.bytes[4] = c.unit;
    mpl::MdbAuxPut32(r, 8, static_cast<std::uint32_t>(c.value));
    EXPECT_EQ(c.rows, map::DescribeValueAttributes("Sounding", r));
  }
  map::GetRegistry().DepthUnits.Set(mat::DepthUnits_t::Feet);
  mpl::MdbAuxInfo_t r = Record(2);
  r.bytes[4] = 4;
  mpl::MdbAuxPut32(r, 8, 10);
  EXPECT_EQ("60.0 ft", map::DescribeValueAttributes("Sounding", r)[1].second);
  // A unit code above 4 is a failed check.
  r.bytes[4] = 5;
  EXPECT_THROW(map::DescribeValueAttributes("Sounding", r), glo::Assert_t);
}

TEST_F(ValueRowsTest, CategoriesAnglesAndValues) {
  mpl::MdbAuxInfo_t all = Record(6);
  all.bytes[4] = 0xFF;
  all.bytes[5] = 0xFF;  // only bits 0 and 1 count
  const Rows rows = map::DescribeCategoryAttributes("Hazard", all);
  ASSERT_EQ(11u, rows.size());
  EXPECT_EQ((Rows::value_type{"Property", "Hazard"}), rows[0]);
  const char* names[] = {"Rock",  "Wreck", "Obstruction", "Foul ground", "Shoal",
                         "Kelp",  "Reef",  "Sand waves",  "Eddies",      "Overfalls"};
  for (int i = 0; i < 10; ++i) EXPECT_EQ((Rows::value_type{"Category", names[i]}), rows[1 + i]);

  mpl::MdbAuxInfo_t r = Record(6);
  r.bytes[4] = 0x02;
  r.bytes[5] = 0x02;
  r.bytes[6] = 2;  // metres
  r.bytes[7] = 1;
  r.bytes[8] = 1;
  mpl::MdbAuxPut16(r, 10, 15);
  mpl::MdbAuxPut16(r, 12, 3600);
  EXPECT_EQ((Rows{{"Property", "Hazard"},
                  {"Orientation", "360.0°"},
                  {"Depth", "15.0 m"},
                  {"Category", "Wreck"},
                  {"Category", "Overfalls"}}),
            map::DescribeCategoryAttributes("Hazard", r));
  // Stored values are only shown when their presence bytes say so.
  r.bytes[7] = 0;
  r.bytes[8] = 0;
  EXPECT_EQ(3u, map::DescribeCategoryAttributes("Hazard", r).size());
}

TEST_F(ValueRowsTest, CategoryAndLevelOfClassNine) {
  struct Case {
    const char* name;
    std::uint16_t type;
    std::uint8_t subtype;
    std::uint8_t category, level, unit;
    std::int32_t value;
    Rows rows;
  };
  const Case cases[] = {
      {"undetermined category, dry", 0x10, 0, 0, 1, 2, 0,
       {{"Property", "Rock A"}, {"Kind", "Undetermined"}, {"Depth", "Always dry"}}},
      {"category 1 gives no row, level 0 none", 0x10, 0, 1, 0, 2, 0, {{"Property", "Rock A"}}},
      {"category 5, level 4", 0x10, 0, 5, 4, 2, 0,
       {{"Property", "Rock A"}, {"Kind", "Coral"}, {"Depth", "Undetermined"}}},
      {"category 6 and level 6 give nothing", 0x10, 0, 6, 6, 2, 0, {{"Property", "Rock A"}}},
      {"a value as a distance", 0x10, 0, 2, 5, 3, 125,
       {{"Property", "Rock A"}, {"Kind", "Rock"}, {"Depth", "12.5 m"}}},
      {"a special point's value is a height", 0x104, 8, 3, 5, 2, 1234,
       {{"Property", "Rock A"}, {"Kind", "Wreck"}, {"Height", "1234 m"}}},
      {"a special point labels every level as a height", 0x104, 12, 4, 2, 2, 0,
       {{"Property", "Rock A"}, {"Kind", "Obstruction"}, {"Height", "Always under water"}}},
      {"other subtypes are not special", 0x104, 9, 4, 3, 2, 0,
       {{"Property", "Rock A"}, {"Kind", "Obstruction"}, {"Depth", "Covers and uncovers"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    map::NrstFeature_t f(nullptr, map::NrstFeature_t::Kind_Point, "Rock A", map::FeatureRef_t(1, nullptr, c.type, c.subtype),
                         nullptr, 0, {}, {}, "");
    mpl::MdbAuxInfo_t r = Record(9);
    r.bytes[4] = c.category;
    r.bytes[5] = c.level;
    r.bytes[6] = c.unit;
    mpl::MdbAuxPut32(r, 8, static_cast<std::uint32_t>(c.value));
    EXPECT_EQ(c.rows, map::DescribeLevelAttributes(f, r));
  }
  // The same special type found as a line is not special.
  map::NrstFeature_t line(nullptr, map::NrstFeature_t::Kind_Line, "Rock A", map::FeatureRef_t(1, nullptr, 0x104, 8),
                          nullptr, -1, {}, {}, "");
  mpl::MdbAuxInfo_t r = Record(9);
  r.bytes[5] = 1;
  EXPECT_EQ("Depth", map::DescribeLevelAttributes(line, r).back().first);
}

// Dispatch by class, on features of each kind that carry a map.
class DispatchTest : public UnitsTest {
 protected:
  void SetUp() override {
    UnitsTest::SetUp();
    m_map = std::make_unique<mpl::Map_t>(m_image.source, "10000001", "");
    ASSERT_TRUE(m_map->IsOpen());
  }
  map::NrstFeature_t Feature(int kind, bool withMap = true) {
    return map::NrstFeature_t(nullptr, kind, "Title", map::FeatureRef_t(1, withMap ? m_map.get() : nullptr, 0x10, 0),
                              nullptr, -1, {}, {}, "");
  }
  facadetest::Image_t m_image{facadetest::SeveralMaps()};
  std::unique_ptr<mpl::Map_t> m_map;
};

TEST_F(DispatchTest, WhichClassesHaveProperties) {
  const map::NrstFeature_t point = Feature(3), line = Feature(6), area = Feature(7);
  for (int cls = 0; cls < 20; ++cls) {
    SCOPED_TRACE(cls);
    const bool always = cls >= 6 && cls <= 12;
    EXPECT_EQ(always || cls == 2 || cls == 3, point.HasAttributeProperties(static_cast<std::uint8_t>(cls)));
    EXPECT_EQ(always, line.HasAttributeProperties(static_cast<std::uint8_t>(cls)));
    EXPECT_EQ(always, area.HasAttributeProperties(static_cast<std::uint8_t>(cls)));
  }
  // Features without a map, and junctions, have nothing to show.
  EXPECT_FALSE(Feature(3, false).HasProperties());
  EXPECT_FALSE(Feature(4).HasProperties());
  EXPECT_FALSE(Feature(8).HasProperties());
  EXPECT_TRUE(std::holds_alternative<std::monostate>(map::DescribeFeature(Feature(4))));

  // A line and an area of the map without marine attributes: read, nothing to show.
  for (int kind : {6, 7}) {
    SCOPED_TRACE(kind);
    map::NrstFeature_t f = Feature(kind);
    f.ref.reference = static_cast<std::int32_t>(mpl::MdbMakeRef(2, 1));
    EXPECT_FALSE(f.HasProperties());
    EXPECT_TRUE(std::holds_alternative<std::monostate>(map::DescribeFeature(f)));
    // A reference the map does not hold is the map reader's error.
    f.ref.reference = static_cast<std::int32_t>(mpl::MdbMakeRef(2, 60));
    EXPECT_THROW(f.HasProperties(), mpl::MdbException_t);
  }
}

TEST_F(DispatchTest, EachClassGivesTheInputOfItsDialog) {
  const map::NrstFeature_t point = Feature(3), line = Feature(6);
  mpl::MdbAuxInfo_t r = Record(10);
  mpl::MdbAuxPut32(r, 4, 0x2001);
  const auto facility = std::get<map::FacilityInput_t>(map::DescribeAttributes(line, r));
  EXPECT_EQ("Title", facility.title);
  EXPECT_EQ(0x2001u, facility.bits);

  r.bytes[0] = 11;
  const auto chart = std::get<map::MarineChartInput_t>(map::DescribeAttributes(line, r));
  EXPECT_EQ(0x2001u, chart.number);
  EXPECT_EQ(line.ref.GetMapPtr(), chart.map);

  r.bytes[0] = 12;
  const auto paragraph = std::get<map::ParagraphInput_t>(map::DescribeAttributes(point, r));
  EXPECT_EQ("Title", paragraph.title);
  EXPECT_EQ(0x2001u, paragraph.textEntity);
  EXPECT_EQ(point.ref.GetMapPtr(), paragraph.map);
  // The classes that refer to the map need one.
  EXPECT_THROW(map::DescribeAttributes(Feature(6, false), r), glo::Assert_t);

  // Values show on points only; classes without a description give nothing.
  r = Record(2);
  r.bytes[4] = 2;
  EXPECT_EQ(2u, std::get<map::NameValueInput_t>(map::DescribeAttributes(point, r)).rows.size());
  EXPECT_TRUE(std::holds_alternative<std::monostate>(map::DescribeAttributes(line, r)));
  for (std::uint8_t cls : {0, 1, 4, 5, 13, 200}) {
    SCOPED_TRACE(int(cls));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(map::DescribeAttributes(point, Record(cls))));
  }
  EXPECT_EQ(1u, std::get<map::NameValueInput_t>(map::DescribeAttributes(line, Record(6))).rows.size());
  // Category code 0 is undetermined.
  EXPECT_EQ(2u, std::get<map::NameValueInput_t>(map::DescribeAttributes(line, Record(9))).rows.size());
}

// Points of a generated map described by their text records; the map's
// property records are stood in for by a reader of text records.
mpl::MdbPointDetails_t g_details;

int StandInDetails(mpl::MdbMap_t&, const mpl::MdbPointRecord_t& point, mpl::MdbPointDetails_t& details,
                   std::uint32_t flags) {
  if (point.poi == mpl::kMdbNone || flags != 2052) return 3;
  details = g_details;
  return 0;
}

class PointDispatchTest : public DispatchTest {
 protected:
  void SetUp() override {
    DispatchTest::SetUp();
    mpl::SetPointDetailsReader(StandInDetails);
    g_details = mpl::MdbPointDetails_t();
  }
  void TearDown() override {
    mpl::SetPointDetailsReader(nullptr);
    DispatchTest::TearDown();
  }
  // Point 4 of subdivision 2 owns a property record, point 3 does not.
  map::NrstFeature_t Point(unsigned index) {
    return map::NrstFeature_t(nullptr, map::NrstFeature_t::Kind_Point, "Cafe",
                              map::FeatureRef_t(static_cast<std::int32_t>(mpl::MdbMakeRef(2, index)), m_map.get(), 0x21, 0),
                              nullptr, 0, {}, {}, "");
  }
};

TEST_F(PointDispatchTest, ThePointKindOfTheTextRecordChoosesTheDialog) {
  g_details.name = "1 Main St";
  for (std::uint8_t kind : {0, 2}) {
    g_details.text.kind = kind;
    const map::NrstFeature_t f = Point(4);
    EXPECT_TRUE(f.HasProperties());
    EXPECT_EQ("Cafe\r\n1 Main St", std::get<map::PoiInput_t>(map::DescribeFeature(f)).text);
  }
  g_details.text.kind = 1;
  const map::NrstFeature_t exitPoint = Point(4);
  const auto exit = std::get<map::ExitInput_t>(map::DescribeFeature(exitPoint));
  EXPECT_EQ(exitPoint.ref.GetMapPtr(), exit.map);
  EXPECT_EQ("", exit.heading);

  // Group A fields come before the point kind.
  g_details.text.groupAFlags = 0x40;
  EXPECT_EQ((Rows{{"Property", "Cafe"}, {"Address", "1 Main St"}}),
            std::get<map::NameValueInput_t>(map::DescribeFeature(Point(4))).rows);
  g_details.text.groupAFlags = 0;

  // Kinds 4 and 5 have nothing to show, and fail nothing.
  for (std::uint8_t kind : {4, 5}) {
    g_details.text.kind = kind;
    EXPECT_FALSE(Point(4).HasProperties());
    EXPECT_TRUE(std::holds_alternative<std::monostate>(map::DescribeFeature(Point(4))));
  }
  // A tide station is made by the map, which refuses a point of another type.
  g_details.text.kind = 3;
  EXPECT_TRUE(Point(4).HasProperties());
  EXPECT_THROW(map::DescribeFeature(Point(4)), glo::Assert_t);

  // Without a property record there is nothing to describe.
  g_details.text.kind = 0;
  EXPECT_FALSE(Point(3).HasProperties());
  EXPECT_TRUE(std::holds_alternative<std::monostate>(map::DescribeFeature(Point(3))));
  EXPECT_THROW(map::DescribePointText(Point(3), m_map->GetPointRecord(mpl::MdbMakeRef(2, 3))), glo::Assert_t);
}

// ---------------------------------------------------------------------------
// Points by their text records.

// A map's side of the descriptions in memory: labels are "L<offset>/<flags>".
class FakePoiSource : public map::PoiSource_t {
 public:
  std::string GetLabel(std::uint32_t offset, std::uint32_t flags) override {
    return "L" + std::to_string(offset) + "/" + std::to_string(flags);
  }
  City_t GetCity(std::uint32_t n) override {
    if (n == 99) throw mpl::MdbException_t(GLO_SRC, 1);
    return n == 1 ? City_t{10, mpl::kMdbNone} : n == 2 ? City_t{mpl::kMdbNone, 20} : City_t{10, 20};
  }
  std::string GetPostalCode(std::uint32_t n) override { return "P" + std::to_string(n); }
  bool PostalCodeFirst() override { return postalFirst; }
  std::uint32_t GetExitLabel(std::uint32_t n) override { return 500 + n; }
  std::vector<mpl::MdbExitFacilityRecord_t> GetExitFacilities(std::uint32_t first) override {
    mpl::MdbExitFacilityRecord_t f;
    f.number = first;
    return {f, f};
  }
  bool postalFirst = false;
};

mpl::MdbPointDetails_t Details(const std::string& address, std::uint32_t city, std::uint32_t postal,
                               const std::string& number) {
  mpl::MdbPointDetails_t d;
  d.name = address;
  d.text.city = city;
  d.text.postalCode = postal;
  std::copy(number.begin(), number.end(), d.text.number);
  return d;
}

using PoiTextTest = UnitsTest;

TEST_F(PoiTextTest, TheAddressTextJoinsItsLinesWithCrLf) {
  struct Case {
    const char* name;
    mpl::MdbPointDetails_t details;
    bool postalFirst;
    const char* text;
  };
  const std::uint32_t none = mpl::kMdbNone;
  const Case cases[] = {
      {"only a number", Details("", none, none, "555-1234"), false, "Cafe\r\n555-1234"},
      {"street, city with region after its separator", Details("12 Main St", 3, none, ""), false,
       "Cafe\r\n12 Main St\r\nL10/2048, L20/16"},
      {"region without a city", Details("", 2, none, ""), false, "Cafe\r\nL20/16"},
      {"postal code after the city", Details("", 1, 7, ""), false, "Cafe\r\nL10/2048 P7"},
      {"postal code first", Details("", 1, 7, ""), true, "Cafe\r\nP7 L10/2048"},
      {"postal code alone, after", Details("", none, 7, ""), false, "Cafe\r\nP7"},
      {"postal code alone, first", Details("", none, 7, ""), true, "Cafe\r\nP7"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakePoiSource source;
    source.postalFirst = c.postalFirst;
    EXPECT_EQ(c.text, map::DescribePoiText("Cafe", c.details, source));
  }
  FakePoiSource source;
  EXPECT_THROW(map::DescribePoiText("Cafe", Details("", 99, none, ""), source), mpl::MdbException_t);
}

TEST_F(PoiTextTest, ExitInputs) {
  FakePoiSource source;
  mpl::MdbPointDetails_t d;
  d.text.nameLabel = 40;
  d.text.exitIndex = 3;
  d.text.exitRoadLabel = 60;
  d.text.exitFacility = 8;
  d.text.exitFlag = 1;
  mpl::Map_t closed;
  mpl::Map_t* const map = &closed;
  const map::ExitInput_t exit = map::DescribeExit(d, source, map);
  EXPECT_EQ("L503/4: L40/2048", exit.heading);
  EXPECT_EQ("L60/2048", exit.description);
  EXPECT_TRUE(exit.flag);
  ASSERT_EQ(2u, exit.facilities.size());
  EXPECT_EQ(8u, exit.facilities[0].number);
  EXPECT_EQ(map, exit.map);

  // Without a name label the heading stays empty, highway or not.
  d.text.nameLabel = mpl::kMdbNone;
  d.text.exitRoadLabel = mpl::kMdbNone;
  d.text.exitFacility = mpl::kMdbNone;
  d.text.exitFlag = 0;
  const map::ExitInput_t bare = map::DescribeExit(d, source, nullptr);
  EXPECT_EQ("", bare.heading);
  EXPECT_EQ("", bare.description);
  EXPECT_FALSE(bare.flag);
  EXPECT_TRUE(bare.facilities.empty());
}

TEST_F(PoiTextTest, ExtendedRowsWithCountsAndFacilities) {
  FakePoiSource source;
  mpl::MdbPointDetails_t d = Details("1 Quay", 2, 7, "555");
  d.text.groupA1 = 70;
  d.text.groupA2 = 71;
  d.text.groupAFlags = 0x01 | 0x02 | (2 << 2) | (1 << 4) | 0x40;
  d.text.groupAByte1 = 12;  // count 2
  d.text.groupAByte2 = 40;  // count 1
  d.text.groupAMask = (1u << 1) | (1u << 6) | (1u << 21) | (1u << 13) | (1u << 28);
  EXPECT_EQ((Rows{{"Property", "Harbour"},
                  {"Address", "1 Quay"},
                  {"City", "L20/2048"},
                  {"Postal code", "P7"},
                  {"Phone", "555"},
                  {"Information", "L70/2048"},
                  {"Remark", "L71/0"},
                  {"Capacity", "40 persons"},
                  {"Spaces", "12 boats"},
                  {"Amenities", "Toilets, Laundry"},
                  {"Leisure", "Camping, Picnic area"}}),
            map::DescribePoiDetails("Harbour", d, source));

  // Only the facility flag and no facilities: the title and the address rows.
  mpl::MdbPointDetails_t bare = Details("1 Quay", mpl::kMdbNone, mpl::kMdbNone, "");
  bare.text.groupAFlags = 0x40;
  EXPECT_EQ((Rows{{"Property", "Harbour"}, {"Address", "1 Quay"}}), map::DescribePoiDetails("Harbour", bare, source));

  EXPECT_EQ("", map::GetCountUnitName(0));
  EXPECT_EQ("vehicles", map::GetCountUnitName(3));
  EXPECT_THROW(map::GetCountUnitName(4), glo::Assert_t);
}

}  // namespace
