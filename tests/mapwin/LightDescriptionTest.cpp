// Marine light descriptions: the rows of lights with and without sectors from
// their attribute records and flash and sector lists.
#include <gtest/gtest.h>

#include <map>

#include "glo/GLO_Exception.h"
#include "map/MAP_LightDescription.h"
#include "map/MAP_Registry.h"
#include "mpl/MPL_Map.h"
#include "mpl/MPL_Marine.h"
#include "tests/imgkit/MarineBuilder.h"
#include "tests/mapwin/MapWinTestUtil.h"
#include "tests/mpl/MapFacadeFixture.h"
#include "tests/mpl/MarineMap.h"

namespace {

using Rows = map::NameValueRows_t;

// Lists and labels in memory; labels whose text is not set read as "".
class FakeLights : public map::LightSource_t {
 public:
  std::vector<mpl::MdbLightFlash_t> GetFlashes(const mpl::MdbAuxInfo_t&) override {
    ++flashReads;
    return flashes;
  }
  std::vector<mpl::MdbLightSector_t> GetSectors(const mpl::MdbAuxInfo_t&) override { return sectors; }
  std::string GetLabel(std::uint32_t offset) override { return labels[offset]; }

  std::vector<mpl::MdbLightFlash_t> flashes;
  std::vector<mpl::MdbLightSector_t> sectors;
  std::map<std::uint32_t, std::string> labels;
  int flashReads = 0;
};

// A light with sectors and nothing but its class, its character code and no labels.
mpl::MdbAuxInfo_t SectorLight(std::uint8_t character) {
  mpl::MdbAuxInfo_t r;
  r.bytes[0] = 7;
  r.bytes[4] = character;
  mpl::MdbAuxPut16(r, 18, 0xFFFF);
  for (unsigned at : {20u, 24u, 28u}) mpl::MdbAuxPut32(r, at, mpl::kMdbNone);
  return r;
}

mpl::MdbAuxInfo_t Light(std::uint8_t colour, std::uint8_t lightColour, std::uint8_t character) {
  mpl::MdbAuxInfo_t r;
  r.bytes[0] = 8;
  r.bytes[4] = colour;
  r.bytes[5] = lightColour;
  r.bytes[6] = character;
  for (unsigned at : {8u, 12u, 16u}) mpl::MdbAuxPut32(r, at, mpl::kMdbNone);
  return r;
}

class LightDescriptionTest : public ::testing::Test {
 protected:
  FakeLights lights;

 private:
  mapwintest::MetricUnits_t m_units;
};

TEST_F(LightDescriptionTest, ALightWithSectorsInFull) {
  mpl::MdbAuxInfo_t r = SectorLight(2);
  r.bytes[5] = 4;  // range 1 in fathoms
  r.bytes[6] = 2;  // range 2 in metres
  r.bytes[7] = 1;
  mpl::MdbAuxPut32(r, 8, 10);
  mpl::MdbAuxPut32(r, 12, 1500);
  mpl::MdbAuxPut16(r, 16, 55);
  mpl::MdbAuxPut16(r, 18, 3600);
  mpl::MdbAuxPut32(r, 20, 3);
  mpl::MdbAuxPut32(r, 24, 1);
  mpl::MdbAuxPut32(r, 28, 2);
  r.bytes[32] = 0x0A;
  r.bytes[44] = 1;
  lights.flashes = {{5, 15}, {5, 30}};
  lights.sectors = {{0, 900, 1, 12}, {900, 1805, 2, 0}, {1805, 0, 3, 7}};
  lights.labels = {{1, "Harbour light"}, {2, "Note B"}, {3, "C 12"}};
  EXPECT_EQ((Rows{{"Property", "North Mole"},
                  {"Character", "Flashing"},
                  {"Period", "5.5 s"},
                  {"Flash sequence", "0.5 s on, 1.5 s off; 0.5 s on, 3.0 s off"},
                  {"Sector", "Red, 12 NM, from 0.0° to 90.0°"},
                  {"Sector", "Green, from 90.0° to 180.5°"},
                  {"Sector", "Yellow, 7 NM, from 180.5° to 0.0°"},
                  {"Bearing", "360.0°"},
                  {"Name", "Harbour light"},
                  {"Note", "Note B"},
                  {"Reference", "C 12"},
                  {"Range", "18.3 m"},
                  {"Range", "1.5 km"},
                  {"Number of lights", "2 lights, vertically arranged"},
                  {"Status", "Special purpose"}}),
            map::DescribeSectorLight("North Mole", r, lights));
}

TEST_F(LightDescriptionTest, SectorLightRowsThatComeAndGo) {
  struct Case {
    const char* name;
    std::uint8_t character, byte44, count;
    std::uint16_t bearing;
    std::vector<mpl::MdbLightSector_t> sectors;
    std::vector<mpl::MdbLightFlash_t> flashes;
    Rows rows;  // after the title row
  };
  const Case cases[] = {
      {"no character, no flashes although byte 44 says so", 0, 1, 0, 0xFFFF, {}, {}, {{"Character", "Undetermined"}}},
      {"one sector: its colour and range", 1, 0, 0, 0xFFFF, {{0, 3600, 5, 9}}, {},
       {{"Character", "Fixed"}, {"Colour", "Blue"}, {"Range", "9 NM"}}},
      {"one sector without range", 1, 0, 0, 0xFFFF, {{0, 3600, 0, 0}}, {}, {{"Character", "Fixed"}, {"Colour", "White"}}},
      {"Morse code with its letter and no flash row", 11, 'U', 0, 0xFFFF, {}, {{5, 5}},
       {{"Character", "Morse code \"U\""}}},
      {"bearing 3601 is none", 1, 0, 0, 3601, {}, {}, {{"Character", "Fixed"}}},
      {"bearing 0", 1, 0, 0, 0, {}, {}, {{"Character", "Fixed"}, {"Bearing", "0.0°"}}},
      {"one light", 1, 0, 0x01, 0xFFFF, {}, {}, {{"Character", "Fixed"}, {"Number of lights", "1 light"}}},
      {"several lights", 1, 0, 0x03, 0xFFFF, {}, {}, {{"Character", "Fixed"}, {"Number of lights", "3 lights"}}},
      {"one light, second wording", 1, 0, 0x09, 0xFFFF, {}, {},
       {{"Character", "Fixed"}, {"Number of lights", "1 light, vertically arranged"}}},
      {"bit 3 alone is no light", 1, 0, 0x08, 0xFFFF, {}, {}, {{"Character", "Fixed"}}},
      {"last character code", 31, 0, 0, 0xFFFF, {}, {}, {{"Character", "Fixed and alternating flashing"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeLights source;
    source.sectors = c.sectors;
    source.flashes = c.flashes;
    mpl::MdbAuxInfo_t r = SectorLight(c.character);
    r.bytes[44] = c.byte44;
    r.bytes[32] = c.count;
    mpl::MdbAuxPut16(r, 18, c.bearing);
    Rows rows = c.rows;
    rows.insert(rows.begin(), {"Property", "Light"});
    EXPECT_EQ(rows, map::DescribeSectorLight("Light", r, source));
  }
  // The flash list is not read for Morse code.
  FakeLights source;
  source.flashes = {{5, 5}};
  mpl::MdbAuxInfo_t r = SectorLight(11);
  r.bytes[44] = 'A';
  map::DescribeSectorLight("Light", r, source);
  EXPECT_EQ(0, source.flashReads);
}

TEST_F(LightDescriptionTest, LabelsAPresentButEmptyGivesNoRowBAndCDo) {
  mpl::MdbAuxInfo_t r = SectorLight(1);
  mpl::MdbAuxPut32(r, 20, 3);
  mpl::MdbAuxPut32(r, 24, 1);
  mpl::MdbAuxPut32(r, 28, 2);
  EXPECT_EQ((Rows{{"Property", "L"}, {"Character", "Fixed"}, {"Note", ""}, {"Reference", ""}}),
            map::DescribeSectorLight("L", r, lights));
  mpl::MdbAuxInfo_t l = Light(0, 0, 0);
  mpl::MdbAuxPut32(l, 8, 3);
  mpl::MdbAuxPut32(l, 12, 1);
  mpl::MdbAuxPut32(l, 16, 2);
  EXPECT_EQ((Rows{{"Property", "L"}, {"Light colour", "White"}, {"Note", ""}, {"Reference", ""}}),
            map::DescribeLight("L", l, lights));
}

TEST_F(LightDescriptionTest, ALightWithoutSectors) {
  mpl::MdbAuxInfo_t r = Light(7, 4, 2);
  r.bytes[7] = 1;
  mpl::MdbAuxPut32(r, 12, 1);
  mpl::MdbAuxPut16(r, 20, 100);
  r.bytes[22] = 1;
  lights.flashes = {{10, 90}};
  lights.labels = {{1, "Buoy 3"}};
  // The flag row's label and value are the colour words of 6012 and 6013.
  EXPECT_EQ((Rows{{"Property", "Buoy"},
                  {"Colour", "Grey"},
                  {"Light colour", "Orange"},
                  {"Character", "Flashing"},
                  {"Period", "10.0 s"},
                  {"Flash sequence", "1.0 s on, 9.0 s off"},
                  {"Name", "Buoy 3"},
                  {"Grey", "Brown"}}),
            map::DescribeLight("Buoy", r, lights));

  // No colour, no character: only the light colour row; Morse code shows its letter.
  EXPECT_EQ((Rows{{"Property", "Buoy"}, {"Light colour", "Red"}}), map::DescribeLight("Buoy", Light(0, 1, 0), lights));
  mpl::MdbAuxInfo_t morse = Light(0, 2, 11);
  morse.bytes[22] = 'K';
  EXPECT_EQ((Rows{{"Property", "Buoy"}, {"Light colour", "Green"}, {"Character", "Morse code \"K\""}}),
            map::DescribeLight("Buoy", morse, lights));
}

TEST_F(LightDescriptionTest, NameTablesAndWrongClasses) {
  const std::pair<int, const char*> colours[] = {{0, "Undetermined"}, {1, "Red"},  {2, "Green"},
                                                 {3, "Blue"},         {4, "Yellow"}, {5, "Black"},
                                                 {25, "White and orange"}};
  for (const auto& [code, name] : colours) EXPECT_EQ(name, map::GetColourName(static_cast<std::uint8_t>(code)));
  const char* lightColours[] = {"White", "Red", "Green", "Yellow", "Orange", "Blue"};
  for (int code = 0; code < 6; ++code) EXPECT_EQ(lightColours[code], map::GetLightColourName(static_cast<std::uint8_t>(code)));
  EXPECT_THROW(map::GetColourName(26), glo::Assert_t);
  EXPECT_THROW(map::GetLightColourName(6), glo::Assert_t);
  EXPECT_THROW(map::GetLightCharacterName(32), glo::Assert_t);
  // A sector colour outside the table is a failed check too.
  lights.sectors = {{0, 10, 6, 0}};
  EXPECT_THROW(map::DescribeSectorLight("L", SectorLight(1), lights), glo::Assert_t);

  EXPECT_THROW(map::DescribeSectorLight("L", Light(0, 0, 0), lights), glo::Assert_t);
  EXPECT_THROW(map::DescribeLight("L", SectorLight(1), lights), glo::Assert_t);
}

// The map's lists of a light as the map reader yields them.
TEST(MapLightSourceTest, TheListsOfALightOfAGeneratedMap) {
  imgkit::LightBlock_t light;
  light.sectors = imgkit::SectorEntry(900, 1, 10, false) + imgkit::SectorEntry(2700, 2, 12, true);
  light.flashCount = 3;
  light.flashes = imgkit::FlashEntry(5, 1) + imgkit::FlashEntry(70) + imgkit::FlashEntry(10) +
                  imgkit::FlashEntry(20) + imgkit::FlashEntry(30);
  rgntest::Fixture_t f = marinetest::WithObjects({marinetest::WithBlock(0x101, 0, imgkit::LightAttr(light))});
  f.map.name = "10000001";
  facadetest::Image_t image(facadetest::FilesOf(f));
  mpl::Map_t map(image.source, "10000001", "");
  ASSERT_TRUE(map.IsOpen());
  const mpl::Point_t point = map.GetPointRecord(mpl::MdbMakeRef(4, 1, true));
  ASSERT_EQ(7, point.aux.bytes[0]);

  map::MapLightSource_t source(map);
  const std::vector<mpl::MdbLightSector_t> sectors = source.GetSectors(point.aux);
  ASSERT_EQ(2u, sectors.size());
  EXPECT_EQ(900, sectors[0].start);
  EXPECT_EQ(2700, sectors[0].end);
  EXPECT_EQ(1, sectors[0].colour);
  EXPECT_EQ(10, sectors[0].range);
  EXPECT_EQ(2700, sectors[1].start);
  EXPECT_EQ(900, sectors[1].end);
  const std::vector<mpl::MdbLightFlash_t> flashes = source.GetFlashes(point.aux);
  ASSERT_EQ(3u, flashes.size());
  EXPECT_EQ(5, flashes[0].on);
  EXPECT_EQ(10, flashes[0].off);
  EXPECT_EQ(70, flashes[2].on);
  EXPECT_EQ(30, flashes[2].off);
}

}  // namespace
