// Marine features of a generated map from their attribute blocks to the rows
// of their property dialogs: the map reader decodes each block into the
// attribute record, and the descriptions read that record; and the same rows
// reached through the map window's feature menu.
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "glo/GLO_StringResource.h"
#include "map/MAP_FeatureDescription.h"
#include "map/MAP_LightDescription.h"
#include "map/MAP_PropertyDialogs.h"
#include "map/MAP_Registry.h"
#include "map/MAP_Window.h"
#include "mpl/MPL_Map.h"
#include "mpl/MPL_MapDirectory.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_List.h"
#include "plat/PLAT_Menu.h"
#include "tdb/TDB_ProductDir.h"
#include "tdb/TDB_Registry.h"
#include "tests/common/TestEnv.h"
#include "tests/imgkit/MarineBuilder.h"
#include "tests/imgkit/ProductBuilder.h"
#include "tests/imgkit/ProductGenerator.h"
#include "tests/mapwin/DialogLayoutCheck.h"
#include "tests/mapwin/MapWinTestUtil.h"
#include "tests/mpl/MapFacadeFixture.h"
#include "tests/mpl/MarineMap.h"

namespace {

using Rows = map::NameValueRows_t;

using dialogtest::Text;

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int c : b) s.push_back(static_cast<char>(c));
  return s;
}

// Rows of the name/value dialogs the modal hook sees.
void RecordNameValueDialogs(std::vector<Rows>& shown) {
  plat::SetModalHook([&shown](plat::Dialog_t& d) {
    plat::ListCtrl_t& list = dynamic_cast<map::NameValuePropertiesDialog_t&>(d).List();
    Rows rows;
    for (int i = 0; i < list.GetItemCount(); ++i) rows.emplace_back(list.GetItemText(i, 0), list.GetItemText(i, 1));
    shown.push_back(rows);
    d.EndDialog(plat::kIdOk);
  });
}

// A generated map whose extended points carry the given blocks, in metric
// units; point i (from 1) is Point(i).
class MarineFeatureTest : public ::testing::Test {
 protected:
  struct Block_t {
    std::uint16_t type;
    std::uint8_t subtype;
    std::string block;
  };
  void Open(const std::vector<Block_t>& blocks) {
    std::vector<imgkit::RgnExtObject_t> points;
    for (const Block_t& b : blocks) {
      points.push_back(marinetest::WithBlock(b.type, b.subtype, b.block));
      m_types.push_back({b.type, b.subtype});
    }
    rgntest::Fixture_t f = marinetest::WithObjects(points);
    f.map.name = "10000001";
    m_image = std::make_unique<facadetest::Image_t>(facadetest::FilesOf(f));
    m_map = std::make_unique<mpl::Map_t>(m_image->source, "10000001", "");
    ASSERT_TRUE(m_map->IsOpen());
  }
  map::NrstFeature_t Point(unsigned i, const std::string& title) const {
    const auto ref = static_cast<std::int32_t>(mpl::MdbMakeRef(4, i, true));
    return map::NrstFeature_t(nullptr, map::NrstFeature_t::Kind_Point, title,
                              map::FeatureRef_t(ref, m_map.get(), m_types.at(i - 1).first, m_types.at(i - 1).second),
                              nullptr, 0, {}, {}, "");
  }
  static Rows RowsOf(const map::NrstFeature_t& feature) {
    EXPECT_TRUE(feature.HasProperties());
    const map::FeatureDescription_t d = map::DescribeFeature(feature);
    EXPECT_TRUE(std::holds_alternative<map::NameValueInput_t>(d));
    return std::holds_alternative<map::NameValueInput_t>(d) ? std::get<map::NameValueInput_t>(d).rows : Rows{};
  }

  std::unique_ptr<facadetest::Image_t> m_image;
  std::unique_ptr<mpl::Map_t> m_map;
  std::vector<std::pair<std::uint16_t, std::uint8_t>> m_types;

 private:
  mapwintest::MetricUnits_t m_units;
};

TEST_F(MarineFeatureTest, DepthAndHeightPoints) {
  Open({
      {0x103, 1, imgkit::AttrShort(0x45)},                // a depth: metres by e bit 6, 5
      {0x103, 4, imgkit::AttrShort(0x90, Bytes({44}))},   // a height: unit code 2, 44
      {0x103, 1, imgkit::AttrShort(0x8C, Bytes({0x40}))}, // a depth in tenths of a foot: 0x440 = 1088
      {0x103, 1, imgkit::AttrShort(0xA3, Bytes({0xFF, 0xFF}))},  // -1 m (unit 0 is feet: -0.3 m)
  });
  EXPECT_EQ((Rows{{Text(4465), "Sounding"}, {Text(4555), "5.0 m"}}), RowsOf(Point(1, "Sounding")));
  EXPECT_EQ((Rows{{Text(4465), "Rock"}, {Text(4568), "44.0 m"}}), RowsOf(Point(2, "Rock")));
  EXPECT_EQ((Rows{{Text(4465), "Shoal"}, {Text(4555), "33.2 m"}}), RowsOf(Point(3, "Shoal")));
  EXPECT_EQ((Rows{{Text(4465), "Hole"}, {Text(4555), "-0.3 m"}}), RowsOf(Point(4, "Hole")));
}

TEST_F(MarineFeatureTest, ALightWithSectorsAndFlashes) {
  imgkit::LightBlock_t light;
  light.flag = true;
  light.value6 = 2;  // the character
  light.small1 = 3;  // range 1 in decimetres (the unit codes are 2 bits here)
  light.small2 = 2;  // range 2 in metres
  light.value1 = 185;
  light.value1Bytes = 1;
  light.value2 = 1500;
  light.value2Bytes = 2;
  light.value16 = 55;    // the period, 5.5 s
  light.value12 = 3600;  // the bearing
  light.nibble = 0x0A;   // two lights, the second wording
  light.sectors = imgkit::SectorEntry(0, 1, 12, false) + imgkit::SectorEntry(900, 2, 0, false) +
                  imgkit::SectorEntry(1805, 3, 7, true);
  light.flashCount = 2;
  light.flashes = imgkit::FlashEntry(5, 1) + imgkit::FlashEntry(15) + imgkit::FlashEntry(30);
  // The variant: colour 5, light colour 2, character 3 and a period of 40.
  std::string variant;
  variant += Bytes({0x05, 0x08});  // w: colour 5, kind 2 (bits 10-13), no flash count
  variant += Bytes({0x83, 40, 0});  // character 3, a period in two bytes
  Open({{0x101, 0, imgkit::LightAttr(light)}, {0x102, 0, imgkit::AttrLong(0xE1, variant)}});

  EXPECT_EQ((Rows{{Text(4464), "North Mole"},
                  {Text(4578), map::GetLightCharacterName(2)},
                  {Text(4579), "5.5 s"},
                  {Text(4583), "0.5 s on, 1.5 s off; 0.5 s on, 3.0 s off"},
                  {Text(4590), "Red, 12 NM, from 0.0° to 90.0°"},
                  {Text(4590), "Green, from 90.0° to 180.5°"},
                  {Text(4590), "Yellow, 7 NM, from 180.5° to 0.0°"},
                  {Text(4591), "360.0°"},
                  {Text(4595), "18.5 m"},
                  {Text(4595), "1.5 km"},
                  {Text(6001), "2 lights, vertically arranged"},
                  {Text(6002), Text(6003)}}),
            RowsOf(Point(1, "North Mole")));
  EXPECT_EQ((Rows{{Text(4464), "Buoy"},
                  {Text(6004), map::GetColourName(5)},
                  {Text(6005), map::GetLightColourName(2)},
                  {Text(6006), map::GetLightCharacterName(3)},
                  {Text(4579), "4.0 s"},
                  {Text(6012), Text(6013)}}),
            RowsOf(Point(2, "Buoy")));
}

TEST_F(MarineFeatureTest, Class9Objects) {
  Open({
      {0x104, 8, imgkit::AttrShort(0x93, Bytes({42}))},  // a wreck, level 5: 42 in metres
      {0x104, 2, imgkit::AttrShort(0x13)},               // a wreck, level 2
      {0x104, 2, imgkit::AttrShort(0xDF, Bytes({2, 0x7D, 0}))},  // e AND 7 = 7: rock from the byte; 125 dm
  });
  // A special point: the value is a height without decimals.
  EXPECT_EQ((Rows{{Text(4464), "Wreck A"}, {Text(4574), Text(4571)}, {Text(4568), "42 m"}}),
            RowsOf(Point(1, "Wreck A")));
  EXPECT_EQ((Rows{{Text(4464), "Wreck B"}, {Text(4574), Text(4571)}, {Text(4555), Text(4576)}}),
            RowsOf(Point(2, "Wreck B")));
  EXPECT_EQ((Rows{{Text(4464), "Rock"}, {Text(4574), Text(4570)}, {Text(4555), "12.5 m"}}),
            RowsOf(Point(3, "Rock")));
}

// The properties command opens the rows of a sounding in the name/value
// dialog; a point whose class has no dialog opens nothing.
TEST_F(MarineFeatureTest, ThePropertiesCommandShowsTheRowsModally) {
  ASSERT_TRUE(plat::EnsureGuiApplication());
  plat::SetResourceHandle(glo::GetResourceModule());
  Open({{0x103, 1, imgkit::AttrShort(0x45)}, {0x105, 0, imgkit::AttrShort(0x03)}});
  std::vector<Rows> shown;
  RecordNameValueDialogs(shown);
  Point(1, "Sounding").ShowProperties();
  EXPECT_FALSE(Point(2, "Colour").HasProperties());
  Point(2, "Colour").ShowProperties();
  plat::SetModalHook(nullptr);
  EXPECT_EQ((std::vector<Rows>{{{Text(4465), "Sounding"}, {Text(4555), "5.0 m"}}}), shown);
}

constexpr std::int32_t U = 0x10000;
constexpr std::int32_t G = U / 16;  // the grid of the basemap's finest level

// A generated basemap with a rock (a height), a wreck and a sounding within
// two grid steps of each other, in a map window with a tool, so that a right
// click between them opens the feature menus.
class MarineMenuTest : public mapwintest::ProductWindowTest {
 protected:
  void SetUp() override {
    MapWinTest::SetUp();
    plat::SetResourceHandle(glo::GetResourceModule());
    imgkit::GenProduct_t spec;
    spec.basemap.box = {U, U, 0, 0};
    spec.basemap.marine = {{0x03, 4, "ROCK", {U / 2, U / 2}, imgkit::AttrShort(0x90, Bytes({44}))},
                           {0x04, 8, "WRECK", {U / 2, U / 2 + G}, imgkit::AttrShort(0x93, Bytes({42}))},
                           {0x03, 1, "SOUNDING", {U / 2 + G, U / 2}, imgkit::AttrShort(0x45)}};
    OpenProduct(spec, "marinemenu", std::make_unique<mapwintest::TestWindow>(), 1024.0, kBetween);
  }

  // Between the rock and the wreck, within reach of the sounding.
  static inline const geo::Position_t kBetween{U / 2, U / 2 + G / 2};
  mapwintest::MetricUnits_t m_units;
};

// The properties command through the menus: the choice menu lists the wreck
// and the rock (a sounding is no named point); the one chosen offers the
// centring and properties commands, and the properties command opens its
// rows in the name/value dialog without ending the tool's menu.
TEST_F(MarineMenuTest, PropertiesCommandThroughTheFeatureMenu) {
  const struct {
    unsigned entry;
    Rows rows;
  } cases[] = {
      {6800, {{Text(4464), "Wreck"}, {Text(4574), Text(4571)}, {Text(4568), "42 m"}}},
      {6801, {{Text(4465), "Rock"}, {Text(4568), "44.0 m"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entry);
    std::vector<std::vector<std::string>> menus;
    plat::SetMenuHook([&](const plat::Menu_t& menu) {
      menus.push_back(mapwintest::MenuItems(menu));
      return menus.size() == 1 ? c.entry : map::Window_t::kCmdFeatureProperties;
    });
    std::vector<Rows> shown;
    RecordNameValueDialogs(shown);
    m_tool.menuDone = 0;
    EXPECT_TRUE(m_window->OnRButtonUp(0, Pixel(kBetween)));
    ASSERT_EQ(menus.size(), 2u);
    EXPECT_EQ(menus[0], (std::vector<std::string>{"6800 Wreck", "6801 Rock"}));
    EXPECT_EQ(menus[1], (std::vector<std::string>{"6143 " + Text(6122), "6145 " + Text(6121)}));
    EXPECT_EQ(shown, std::vector<Rows>{c.rows});
    EXPECT_EQ(m_tool.menuDone, 0);
    EXPECT_EQ(m_window->GetChosenFeature().kind, map::NrstFeature_t::Kind_None);
  }
}

}  // namespace
