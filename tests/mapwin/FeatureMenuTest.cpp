// The right-click feature menus of the map window over a generated product:
// the choice menu of the features near the click, the chosen feature, the
// command menu and its commands, and the window's state after the click.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "map/MAP_FeatureMenu.h"
#include "map/MAP_Window.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_Menu.h"
#include "tdb/TDB_ProductDir.h"
#include "tdb/TDB_Registry.h"
#include "tests/common/TestEnv.h"
#include "tests/common/TestResources.h"
#include "tests/imgkit/HouseNumberStream.h"
#include "tests/imgkit/ProductBuilder.h"
#include "tests/imgkit/ProductGenerator.h"
#include "tests/mapwin/MapWinTestUtil.h"

namespace {

constexpr std::int32_t U = 0x10000;
constexpr std::int32_t G = U / 16;  // the grid of the basemap's finest level (20 bits)

imgkit::GenPos_t At(std::int32_t lat, std::int32_t lon) { return imgkit::GenPos_t{lat, lon}; }

// The junction east of the lake where Main St ends and Oak Ave begins.
constexpr std::int32_t kJunctionLat = U, kJunctionLon = 5 * U;

// Two extended areas of a harbour, 0x87 with subtypes 4 and 1, at the
// junction, added to every level's subdivision. The generator writes labels
// for its own objects only, so each borrows the label of one of the first
// two points, far off.
void AddHarbourAreas(imgkit::MapBuilder_t& m, imgkit::RgnBuilder_t& rgn) {
  // The subdivisions' centre (the box's centre on the coarsest grid) and
  // their levels, coarsest first.
  const std::int32_t lat0 = U, lon0 = 3 * U;
  const unsigned bits[] = {18, 20};
  const struct {
    std::uint8_t subtype;
    std::size_t labelPoint;
    imgkit::GenBox_t box;
  } areas[] = {{4, 0, {kJunctionLat + U / 4, kJunctionLon + U / 4, kJunctionLat - U / 4, kJunctionLon - U / 2}},
               {1, 1, {kJunctionLat + U / 2, kJunctionLon + U / 2, kJunctionLat - U / 2, kJunctionLon - U / 2}}};
  for (std::size_t i = 0; i < rgn.subdivisions.size(); ++i) {
    const std::int32_t unit = 1 << (32 - bits[i]);
    imgkit::RgnSubdivision_t& s = rgn.subdivisions[i];
    for (const auto& a : areas) {
      const std::vector<imgkit::GenPos_t> corners = imgkit::BoxOutline(a.box);
      imgkit::RgnExtObject_t o;
      o.type = 0x07;
      o.subtype = a.subtype;
      o.label = s.points.at(a.labelPoint).label;
      o.dlon = static_cast<std::int16_t>((corners[0].lon - lon0) / unit);
      o.dlat = static_cast<std::int16_t>((corners[0].lat - lat0) / unit);
      for (std::size_t c = 1; c < corners.size(); ++c)
        o.stream.points.push_back(
            {(corners[c].lon - corners[c - 1].lon) / unit, (corners[c].lat - corners[c - 1].lat) / unit, {}});
      s.extAreas.push_back(o);
    }
  }
  m.tre.extFlags = 0x07;
  m.tre.extTypeRecordSize = 3;
  // The extended area types: type, highest level, subtype.
  m.tre.extTypes[1].recordSize = 3;
  m.tre.extTypes[1].data = std::string("\x07\x01\x01\x07\x01\x04", 6);
}

// A basemap with a lake over a square and a park inside it; east of the lake
// a town park around a junction of two roads, with moorings, a cafe, a walkway
// with house numbers, a brook and the harbour's areas near it.
imgkit::GenProduct_t Product() {
  imgkit::GenProduct_t spec;
  spec.basemap.box = {2 * U, 6 * U, 0, 0};
  const imgkit::GenBox_t square{2 * U - U / 8, 3 * U - U / 8, U / 8, U / 8};
  spec.basemap.areas.push_back({0x28, "LAKE & POND", imgkit::BoxOutline(square)});
  spec.basemap.areas.push_back({0x4e, "PARK", imgkit::BoxOutline({7 * U / 4, 11 * U / 4, 5 * U / 4, 3 * U / 2})});
  spec.basemap.areas.push_back({0x4e, "TOWN PARK", imgkit::BoxOutline({3 * U / 2, 11 * U / 2, U / 2, 7 * U / 2})});
  spec.basemap.lines.push_back({0x06, "MAIN ST", {At(U, 4 * U), At(kJunctionLat, kJunctionLon)}, true});
  spec.basemap.lines.push_back({0x06, "OAK AVE", {At(kJunctionLat, kJunctionLon), At(7 * U / 4, 5 * U)}, true});
  // Even numbers from 100 on the left, odd ones from 101 on the right.
  imgkit::HouseNumberStream_t numbers(true);
  numbers.Header(8, 0, 8, 0, 100, 8);
  numbers.Parity(1, 2);
  numbers.Numbers(0, 20, 1, 20);
  spec.basemap.lines.push_back(
      {0x16, "ELM WALK", {At(U - G, 5 * U - 3 * U / 16), At(U - G, 5 * U + 9 * U / 16)}, true, numbers.Bytes()});
  spec.basemap.lines.push_back({0x18, "MILL BROOK", {At(U - 2 * G, 5 * U - U / 4), At(U - 2 * G, 5 * U + U / 4)}});
  // The first two lend their labels to the harbour's areas.
  spec.basemap.points.push_back({0x2f, "HARBOUR", At(7 * U / 4, 11 * U / 2), {}});
  spec.basemap.points.push_back({0x2f, "BASIN", At(7 * U / 4, 23 * U / 4), {}});
  spec.basemap.points.push_back({0x2f, "CAFE", At(U - G, 5 * U - G), {}});
  spec.basemap.points.push_back({0x43, "MOORINGS", At(kJunctionLat, kJunctionLon + G), {}});
  spec.basemap.customize = AddHarbourAreas;
  return spec;
}

// The window with the base's menus; 'centreOnAny' offers the centring
// command for every chosen feature with a position, not only named points.
class MenuWindow : public mapwintest::TestWindow {
 public:
  bool centreOnAny = false;
  bool propertiesOnAny = false;
  glo::Optional_t<std::string> HasFeatureProperties() const override {
    if (propertiesOnAny) return std::string("Properties");
    return map::Window_t::HasFeatureProperties();
  }
  glo::Optional_t<std::string> GetFeatureMenuText() const override {
    if (centreOnAny && GetChosenFeature().HasPosition()) return std::string("Centre");
    return map::Window_t::GetFeatureMenuText();
  }
};

// One shown menu: its entries as "id text", and the chosen feature then.
struct Shown_t {
  std::vector<std::string> items;
  map::NrstFeature_t chosen;
};

class FeatureMenuTest : public mapwintest::ProductWindowTest {
 protected:
  void SetUp() override {
    MapWinTest::SetUp();
    test::UseTestResources();
    auto window = std::make_unique<MenuWindow>();
    m_menuWindow = window.get();
    // Zoomed out: the basemap alone, centred in the park.
    OpenProduct(Product(), "featuremenu", std::move(window), 4096.0, kInPark);
  }
  // Answers the menus in turn with 'answers' and records them.
  void Answer(std::vector<unsigned> answers) {
    plat::SetMenuHook([this, answers](const plat::Menu_t& menu) {
      m_shown.push_back(Shown_t{mapwintest::MenuItems(menu), m_window->GetChosenFeature()});
      return m_shown.size() <= answers.size() ? answers[m_shown.size() - 1] : 0u;
    });
  }
  void ExpectClearedAfterClick() {
    EXPECT_EQ(m_window->GetChosenFeature().kind, map::NrstFeature_t::Kind_None);
    EXPECT_FALSE(m_window->GetMenuPoint().IsPresent());
    EXPECT_TRUE(m_window->GetHoverTip().IsEmpty());
  }

  // Closer in, at the junction: the search reaches two grid steps (8 pixels
  // of 1024 units), and the cafe's kind of point is not drawn.
  void ZoomToJunction() { View(1024.0, geo::Position_t(kJunctionLat, kJunctionLon)); }

  static inline const geo::Position_t kInPark{3 * U / 2, 2 * U};
  // Half a step south of the junction, between it and the walkway.
  static inline const geo::Position_t kAtJunction{kJunctionLat - G / 2, kJunctionLon};
  // Half a step north of Main St, far from the junction, in the harbour.
  static inline const geo::Position_t kOnMainSt{kJunctionLat + G / 2, kJunctionLon - 6 * G};
  static inline const geo::Position_t kLakeOnly{U / 2, U / 2};
  MenuWindow* m_menuWindow = nullptr;
  std::vector<Shown_t> m_shown;
};

// Two areas under the click: the choice menu lists both (the ampersand
// doubled so that it shows); the one picked is the chosen feature while the
// command menu runs, which has no commands for a plain area; afterwards the
// window holds no feature and the tool was told once.
TEST_F(FeatureMenuTest, ChoiceMenuListsTheAreasAndPicksOne) {
  Answer({6801, 0});
  const plat::POINT click = Pixel(kInPark);
  EXPECT_TRUE(m_window->OnRButtonUp(0, click));
  ASSERT_EQ(m_shown.size(), 2u);
  EXPECT_EQ(m_shown[0].items, (std::vector<std::string>{"6800 Lake && Pond", "6801 Park"}));
  EXPECT_EQ(m_shown[0].chosen.kind, map::NrstFeature_t::Kind_None);
  const map::NrstFeature_t& chosen = m_shown[1].chosen;
  EXPECT_EQ(chosen.kind, map::NrstFeature_t::Kind_Area);
  EXPECT_EQ(chosen.lines, std::vector<std::string>{"Park"});
  EXPECT_EQ(chosen.ref.type, 0x4e);
  ASSERT_TRUE(chosen.HasPosition());
  EXPECT_EQ(*chosen.position, m_window->GetProjector().ScreenToPosition(click));
  EXPECT_TRUE(m_shown[1].items.empty());
  EXPECT_EQ(m_tool.menuDone, 1);
  ExpectClearedAfterClick();
}

// Dismissing the choice menu skips the command menu and tells the tool.
TEST_F(FeatureMenuTest, DismissedChoiceSkipsTheCommandMenu) {
  Answer({0});
  EXPECT_TRUE(m_window->OnRButtonUp(0, Pixel(kInPark)));
  EXPECT_EQ(m_shown.size(), 1u);
  EXPECT_EQ(m_tool.menuDone, 1);
  ExpectClearedAfterClick();
}

// One feature under the click: no choice menu, the command menu opens for it.
TEST_F(FeatureMenuTest, OneFeatureSkipsTheChoiceMenu) {
  Answer({0});
  EXPECT_TRUE(m_window->OnRButtonUp(0, Pixel(kLakeOnly)));
  ASSERT_EQ(m_shown.size(), 1u);
  EXPECT_EQ(m_shown[0].chosen.kind, map::NrstFeature_t::Kind_Area);
  EXPECT_EQ(m_shown[0].chosen.lines, std::vector<std::string>{"Lake & Pond"});
  EXPECT_EQ(m_tool.menuDone, 1);
  ExpectClearedAfterClick();
}

// Nothing under the click: no choice menu, an empty command menu.
TEST_F(FeatureMenuTest, NothingFoundShowsAnEmptyCommandMenu) {
  Answer({});
  EXPECT_TRUE(m_window->OnRButtonUp(0, Pixel(geo::Position_t{-U, -U})));
  ASSERT_EQ(m_shown.size(), 1u);
  EXPECT_TRUE(m_shown[0].items.empty());
  EXPECT_EQ(m_shown[0].chosen.kind, map::NrstFeature_t::Kind_None);
  EXPECT_EQ(m_tool.menuDone, 1);
  ExpectClearedAfterClick();
}

// Without a tool no menu shows; a tool holding the left button only gets
// the end-of-menu notice.
TEST_F(FeatureMenuTest, NoToolOrLeftButtonDownShowsNoMenu) {
  Answer({6800, 0});
  m_window->SetTool(nullptr);
  EXPECT_FALSE(m_window->OnRButtonUp(0, Pixel(kInPark)));
  m_window->SetTool(&m_tool);
  m_tool.leftDown = true;
  EXPECT_TRUE(m_window->OnRButtonUp(0, Pixel(kInPark)));
  EXPECT_TRUE(m_shown.empty());
  EXPECT_EQ(m_tool.menuDone, 1);
  ExpectClearedAfterClick();
}

// The centring command moves the view's centre to the chosen feature; for a
// feature type without a step of its own it zooms in to step 23 from the
// coarsest only from a coarser view.
TEST_F(FeatureMenuTest, CentringCommandMovesTheView) {
  m_menuWindow->centreOnAny = true;
  map::Scale_t& scale = m_window->GetScale();
  for (const int before : {29, 20}) {
    SCOPED_TRACE(before);
    m_shown.clear();
    m_tool.menuDone = 0;
    m_window->GetProjector().SetCenter(kInPark);
    scale.SetStepFromCoarsest(before);
    Answer({6801, map::Window_t::kCmdCentreOnFeature});
    const plat::POINT click{Pixel(kInPark).x + 2, Pixel(kInPark).y + 1};
    const geo::Position_t at = m_window->GetProjector().ScreenToPosition(click);
    EXPECT_TRUE(m_window->OnRButtonUp(0, click));
    ASSERT_EQ(m_shown.size(), 2u);
    EXPECT_EQ(m_shown[1].items, (std::vector<std::string>{"6143 Centre"}));
    EXPECT_EQ(m_window->GetProjector().GetCenter(), at);
    EXPECT_EQ(scale.GetCount() - 1 - scale.GetStepIndex(), before < 23 ? 23 : before);
    EXPECT_EQ(m_tool.menuDone, 1);
    ExpectClearedAfterClick();
  }
}

// Offered on a plain area, the properties command shows nothing (the area
// has no description) and, unlike the other commands, does not end the
// tool's menu.
TEST_F(FeatureMenuTest, PropertiesCommandOnAFeatureWithoutDescription) {
  m_menuWindow->propertiesOnAny = true;
  int dialogs = 0;
  plat::SetModalHook([&](plat::Dialog_t& d) {
    ++dialogs;
    d.EndDialog(plat::kIdOk);
  });
  Answer({map::Window_t::kCmdFeatureProperties});
  EXPECT_TRUE(m_window->OnRButtonUp(0, Pixel(kLakeOnly)));
  plat::SetModalHook(nullptr);
  ASSERT_EQ(m_shown.size(), 1u);
  EXPECT_EQ(m_shown[0].items, (std::vector<std::string>{"6145 Properties"}));
  EXPECT_EQ(dialogs, 0);
  EXPECT_EQ(m_tool.menuDone, 0);
  ExpectClearedAfterClick();
}

// The choice menu over what the searches find: near the junction the
// moorings (named by their symbol), the junction for both its roads (not
// listed on their own), the walkway's address, the brook and, beside them,
// only the harbour's kept kind of area (not the town park nor the basin's
// subtype); on Main St far from the junction the road itself. Each entry
// chooses its feature for the command menu; afterwards the window holds none.
TEST_F(FeatureMenuTest, EntriesFromTheSearchesAndTheFeaturesTheyChoose) {
  ZoomToJunction();
  struct Entry_t {
    int kind;
    std::string text;
    std::uint16_t type;
  };
  const struct {
    const char* what;
    geo::Position_t at;
    std::vector<std::string> items;
    std::vector<Entry_t> chosen;
  } clicks[] = {
      {"at the junction",
       kAtJunction,
       {"6800 Anchor: Moorings", "6801 Junction: Main St / Oak Ave", "6802 Address: 104 Elm Walk",
        "6803 Mill Brook", "6804 Harbour"},
       {{map::NrstFeature_t::Kind_Point, "Moorings", 0x43},
        {map::NrstFeature_t::Kind_Junction, "Main St / Oak Ave", 0x06},
        {map::NrstFeature_t::Kind_Address, "104 Elm Walk", 0x16},
        {map::NrstFeature_t::Kind_Line, "Mill Brook", 0x18},
        {map::NrstFeature_t::Kind_Area, "Harbour", 0x87}}},
      {"on a road without a junction in reach",
       kOnMainSt,
       {"6800 Main St", "6801 Harbour"},
       {{map::NrstFeature_t::Kind_Line, "Main St", 0x06}, {map::NrstFeature_t::Kind_Area, "Harbour", 0x87}}},
  };
  for (const auto& click : clicks) {
    for (std::size_t i = 0; i < click.chosen.size(); ++i) {
      SCOPED_TRACE(std::string(click.what) + " #" + std::to_string(i));
      m_shown.clear();
      m_tool.menuDone = 0;
      Answer({static_cast<unsigned>(6800 + i), 0});
      EXPECT_TRUE(m_window->OnRButtonUp(0, Pixel(click.at)));
      ASSERT_EQ(m_shown.size(), 2u);
      EXPECT_EQ(m_shown[0].items, click.items);
      const map::NrstFeature_t& chosen = m_shown[1].chosen;
      EXPECT_EQ(chosen.kind, click.chosen[i].kind);
      EXPECT_EQ(chosen.lines, std::vector<std::string>{click.chosen[i].text});
      EXPECT_EQ(chosen.ref.type, click.chosen[i].type);
      EXPECT_TRUE(chosen.ref.HasMap());
      EXPECT_TRUE(chosen.HasPosition());
      EXPECT_EQ(m_tool.menuDone, 1);
      ExpectClearedAfterClick();
    }
  }
}

// A kind of point that is not drawn at the zoom (the cafe) is listed only
// when the hover tip marks the very position of the click.
TEST_F(FeatureMenuTest, PointsNotDrawnOnlyUnderTheHoverTip) {
  ZoomToJunction();
  const plat::POINT click = Pixel(kAtJunction);
  const geo::Position_t at = m_window->GetProjector().ScreenToPosition(click);
  const struct {
    const char* what;
    glo::Optional_t<geo::Position_t> tip;
    std::vector<std::string> names;
  } cases[] = {
      {"no hover tip", {}, {"Moorings"}},
      {"the tip at the click", at, {"Cafe", "Moorings"}},
      {"the tip elsewhere", geo::Position_t(kJunctionLat, kJunctionLon), {"Moorings"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    m_window->GetHoverTip().Clear();
    if (c.tip.IsPresent()) m_window->GetHoverTip().Set(*m_window, "Tip", *c.tip);
    std::vector<std::string> names;
    for (const map::NrstText_t& n : m_window->CollectMenuFeatures(click).names) names.push_back(n.text);
    EXPECT_EQ(names, c.names);
  }
  m_window->GetHoverTip().Clear();
}

// A menu of every kind of entry, built by hand: the entries' texts and
// order, and the feature each entry chooses.
TEST_F(FeatureMenuTest, EntriesOfEachKindAndTheFeaturesTheyChoose) {
  map::FeatureMenu_t features;
  features.junction = map::JunctionMenuEntry_t(map::NrstHit_t{{"Main St", "Oak Ave"}, kInPark, 0, {}});
  map::NrstResult_t address;
  address.name = "12 Main St";
  address.address = true;
  address.position = kInPark;
  map::NrstResult_t contour;
  contour.name = "Contour";
  contour.valueText = "250";
  contour.position = kLakeOnly;
  features.lines = {address, contour};
  features.areas = {{"Park", {}}};
  plat::Menu_t menu;
  m_window->BuildFeatureChoiceMenu(features, menu);
  EXPECT_EQ(mapwintest::MenuItems(menu), (std::vector<std::string>{"6800 Junction: Main St / Oak Ave",
                                                                    "6801 Address: 12 Main St", "6802 Contour",
                                                                    "6803 Park"}));
  const struct {
    std::size_t index;
    int kind;
    std::string text;
  } cases[] = {{0, map::NrstFeature_t::Kind_Junction, "Main St / Oak Ave"},
               {1, map::NrstFeature_t::Kind_Address, "12 Main St"},
               {2, map::NrstFeature_t::Kind_Line, "Contour"},
               {3, map::NrstFeature_t::Kind_Area, "Park"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.index);
    m_window->SelectMenuFeature(features, c.index, Pixel(kInPark));
    EXPECT_EQ(m_window->GetChosenFeature().kind, c.kind);
    EXPECT_EQ(m_window->GetChosenFeature().lines, std::vector<std::string>{c.text});
    EXPECT_TRUE(m_window->GetChosenFeature().HasPosition());
    EXPECT_FALSE(m_window->GetHoverTip().IsEmpty());
  }
  ASSERT_TRUE(m_window->GetChosenFeature().HasPosition());
  EXPECT_FALSE(m_window->GetChosenFeature().value.IsPresent());
  m_window->SelectMenuFeature(features, 2, Pixel(kInPark));
  ASSERT_TRUE(m_window->GetChosenFeature().value.IsPresent());
  EXPECT_EQ(*m_window->GetChosenFeature().value, 250.0);
  // Past the last entry the chosen feature stays.
  m_window->SelectMenuFeature(features, 4, Pixel(kInPark));
  EXPECT_EQ(m_window->GetChosenFeature().kind, map::NrstFeature_t::Kind_Line);
  m_window->GetHoverTip().Clear();
}

// A named point chosen from the menu offers the centring command; centring
// on a city (type 3) selects step 15 from the coarsest, on a type without a
// step of its own (0x20) step 23 only from a coarser view.
TEST_F(FeatureMenuTest, CentringOnNamedPointsZoomsByType) {
  map::Scale_t& scale = m_window->GetScale();
  const struct {
    std::uint16_t type;
    int before;
    int after;
  } cases[] = {{3, 29, 15}, {3, 10, 15}, {0x20, 10, 23}, {0x20, 29, 29}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type * 100 + c.before);
    map::FeatureMenu_t features;
    map::NrstText_t point;
    point.text = "Harbour";
    point.point.type = c.type;
    point.point.lat = U / 2;
    point.point.lon = U / 2;
    point.ref = map::FeatureRef_t(0, &m_window->GetBasemap(), c.type, 0);
    features.names = {point};
    plat::Menu_t choice;
    m_window->BuildFeatureChoiceMenu(features, choice);
    ASSERT_EQ(choice.GetMenuItemCount(), 1);
    EXPECT_TRUE(choice.GetMenuString(0).ends_with("Harbour"));
    scale.SetStepFromCoarsest(c.before);
    m_window->SelectMenuFeature(features, 0, Pixel(kInPark));
    EXPECT_EQ(m_window->GetChosenFeature().kind, map::NrstFeature_t::Kind_Point);
    const glo::Optional_t<std::string> centre = m_window->GetFeatureMenuText();
    ASSERT_TRUE(centre.IsPresent());
    EXPECT_EQ(*centre, "Center on Feature");
    EXPECT_TRUE(m_window->ShowFeatureProperties(0, Pixel(kInPark), map::Window_t::kCmdCentreOnFeature));
    EXPECT_EQ(m_window->GetProjector().GetCenter(), kLakeOnly);
    EXPECT_EQ(scale.GetCount() - 1 - scale.GetStepIndex(), c.after);
    m_window->GetHoverTip().Clear();
  }
  EXPECT_EQ(m_tool.menuDone, 4);
}

// A listed junction stands for the roads (types 1 to 12); areas beside
// other entries are only the two kept kinds, alone they all stay.
TEST(FeatureMenuTrim, JunctionRoadsAndAreasBesideOthers) {
  const auto line = [](std::uint16_t type) {
    map::NrstResult_t l;
    l.ref.type = type;
    return l;
  };
  const auto area = [](std::uint16_t type, std::uint8_t subtype) {
    map::NrstLink_t a;
    a.ref.type = type;
    a.ref.subtype = subtype;
    return a;
  };
  const auto types = [](const map::FeatureMenu_t& m) {
    std::vector<int> t;
    for (const auto& l : m.lines) t.push_back(l.ref.type);
    for (const auto& a : m.areas) t.push_back(a.ref.type * 16 + a.ref.subtype);
    return t;
  };
  map::FeatureMenu_t onlyAreas;
  onlyAreas.areas = {area(0x4e, 0), area(0x87, 4)};
  map::TrimMenuFeatures(onlyAreas);
  EXPECT_EQ(types(onlyAreas), (std::vector<int>{0x4e0, 0x874}));

  map::FeatureMenu_t withJunction;
  withJunction.junction.present = true;
  withJunction.lines = {line(1), line(12), line(13), line(0x20)};
  withJunction.areas = {area(0x4e, 0), area(0x87, 4), area(0x81, 4), area(0x81, 3), area(0x87, 0)};
  map::TrimMenuFeatures(withJunction);
  EXPECT_EQ(types(withJunction), (std::vector<int>{13, 0x20, 0x874, 0x814}));

  map::FeatureMenu_t roadsWithoutJunction;
  roadsWithoutJunction.lines = {line(1)};
  roadsWithoutJunction.areas = {area(0x4e, 0)};
  map::TrimMenuFeatures(roadsWithoutJunction);
  EXPECT_EQ(types(roadsWithoutJunction), std::vector<int>{1});
}

// The menu texts: ampersands doubled, doubled quotes made single.
TEST(FeatureMenuText, EscapesAmpersandsAndQuotes) {
  EXPECT_EQ(map::Window_t::EscapeMenuText("A & B"), "A && B");
  EXPECT_EQ(map::Window_t::EscapeMenuText("\"\"Q\"\" \"x"), "\"Q\" \"x");
  EXPECT_EQ(map::Window_t::EscapeMenuText(""), "");
}

// The junction entry joins the junction's names; no names, no entry.
TEST(FeatureMenuText, JunctionEntryJoinsItsNames) {
  map::NrstHit_t hit;
  EXPECT_FALSE(map::JunctionMenuEntry_t(hit).present);
  hit.texts = {"Main St", "Oak Ave"};
  const map::JunctionMenuEntry_t entry(hit);
  EXPECT_TRUE(entry.present);
  EXPECT_EQ(entry.text, "Main St / Oak Ave");
}

// The step from the coarsest that centring selects per feature type.
TEST(FeatureMenuText, CentringStepByType) {
  const struct {
    std::uint16_t type;
    int step;
  } cases[] = {{1, 15}, {4, 15}, {5, 17}, {6, 17}, {7, 19}, {9, 19}, {10, 23}, {13, 23}, {0, -1}, {14, -1}, {0x20, -1}};
  for (const auto& c : cases) EXPECT_EQ(map::CentringStepForType(c.type), c.step) << c.type;
}

}  // namespace
