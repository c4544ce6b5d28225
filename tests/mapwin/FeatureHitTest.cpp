// Found features: references own their map copies through copies and
// assignments, and the window's feature made from each kind of hit.
#include <gtest/gtest.h>

#include <memory>

#include "glo/GLO_Exception.h"
#include "map/MAP_FeatureHitBuild.h"
#include "map/MAP_Registry.h"
#include "mpl/MPL_Map.h"
#include "tests/mapwin/MapWinTestUtil.h"
#include "tests/mpl/MapFacadeFixture.h"

namespace {

class FeatureHitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    a = std::make_unique<mpl::Map_t>(image.source, "10000001", "");
    b = std::make_unique<mpl::Map_t>(image.source, "20000001", "");
    ASSERT_TRUE(a->IsOpen());
    ASSERT_TRUE(b->IsOpen());
  }

  map::NrstText_t Named(std::uint16_t type, const std::string& text, const std::string& shortText) {
    map::NrstText_t hit;
    hit.text = text;
    hit.shortText = shortText;
    hit.point.type = type;
    hit.point.lat = 1000;
    hit.point.lon = -2000;
    hit.ref = map::FeatureRef_t(77, a.get(), type, 0);
    return hit;
  }

  facadetest::Image_t image{facadetest::SeveralMaps()};
  std::unique_ptr<mpl::Map_t> a, b;
  plat::ImageList_t symbolImages;
  const plat::ImageList_t* symbols = &symbolImages;

 private:
  mapwintest::MetricUnits_t m_units;
};

TEST_F(FeatureHitTest, ReferencesOwnTheirMapCopiesAndAssignmentReusesTheTargetsMapObject) {
  const map::FeatureRef_t none;
  EXPECT_EQ(-1, none.reference);
  EXPECT_FALSE(none.HasMap());
  EXPECT_THROW(none.GetMap(), glo::Assert_t);

  map::FeatureRef_t ra(5, a.get(), 0x2F, 3);
  ASSERT_TRUE(ra.HasMap());
  EXPECT_NE(a.get(), ra.GetMapPtr());
  EXPECT_EQ(0x10001u, ra.GetMap().GetMapId());

  // The copy has a map object of its own that outlives the source.
  auto copy = std::make_unique<map::FeatureRef_t>(ra);
  EXPECT_NE(ra.GetMapPtr(), copy->GetMapPtr());
  map::FeatureRef_t rb(9, b.get(), 0x10, 1);
  copy.reset();
  EXPECT_EQ(0x10001u, ra.GetMap().GetMapId());

  // Map to map: the target keeps its object, which now holds the source's map.
  mpl::Map_t* const before = rb.GetMapPtr();
  rb = ra;
  EXPECT_EQ(before, rb.GetMapPtr());
  EXPECT_EQ(0x10001u, rb.GetMap().GetMapId());
  EXPECT_EQ(5, rb.reference);
  EXPECT_EQ(0x2F, rb.type);
  EXPECT_EQ(3, rb.subtype);
  EXPECT_TRUE(rb.GetMap().IsOpen());

  // No map: the target's map goes; and back again a new copy is made.
  rb = none;
  EXPECT_FALSE(rb.HasMap());
  EXPECT_EQ(-1, rb.reference);
  rb = ra;
  ASSERT_TRUE(rb.HasMap());
  EXPECT_NE(ra.GetMapPtr(), rb.GetMapPtr());
}

TEST_F(FeatureHitTest, TheEmptyFeatureAndCopiesOfAFeature) {
  const map::NrstFeature_t empty;
  EXPECT_EQ(8, empty.kind);
  EXPECT_EQ(nullptr, empty.window);
  EXPECT_TRUE(empty.lines.empty());
  EXPECT_EQ(-1, empty.ref.reference);
  EXPECT_FALSE(empty.ref.HasMap());
  EXPECT_EQ(-1, empty.iconIndex);
  EXPECT_EQ(nullptr, empty.images);
  EXPECT_FALSE(empty.position.IsPresent());
  EXPECT_FALSE(empty.value.IsPresent());
  EXPECT_TRUE(empty.suffix.empty());

  map::NrstResult_t line;
  line.name = "Contour 120";
  line.valueText = "120";
  line.position = geo::Position_t(10, 20);
  line.ref = map::FeatureRef_t(3, b.get(), 0x20, 0);
  auto source = std::make_unique<map::NrstFeature_t>(map::MakeLineFeature(nullptr, line, false));
  map::NrstFeature_t copy(*source);
  source.reset();
  EXPECT_EQ(std::vector<std::string>{"Contour 120"}, copy.lines);
  EXPECT_EQ(120.0, *copy.value);
  EXPECT_EQ(geo::Position_t(10, 20), *copy.position);
  ASSERT_TRUE(copy.ref.HasMap());
  EXPECT_EQ(0x20001u, copy.ref.GetMap().GetMapId());

  // A saver puts the feature back as it was, map copy and all.
  {
    map::NrstFeatureSaver_t saver(copy);
    copy = map::NrstFeature_t();
    copy.lines = {"other"};
  }
  EXPECT_EQ(std::vector<std::string>{"Contour 120"}, copy.lines);
  ASSERT_TRUE(copy.ref.HasMap());
  EXPECT_EQ(0x20001u, copy.ref.GetMap().GetMapId());

  // Assigning the empty feature drops everything, the map copy included.
  copy = empty;
  EXPECT_EQ(8, copy.kind);
  EXPECT_FALSE(copy.ref.HasMap());
  EXPECT_FALSE(copy.value.IsPresent());
  EXPECT_FALSE(copy.position.IsPresent());
}

TEST_F(FeatureHitTest, NamedPointsInTheHoverAndTheMenu) {
  map::GetRegistry().ElevationUnits.Set(mat::ElevationUnits_t::Metres);
  struct Case {
    const char* name;
    std::uint16_t type;
    const char* shortText;
    int icon;
    bool menu;
    bool images;        // the pip shows the icon
    bool position;
    bool value;
    double number;
    const char* detail;
  };
  const Case cases[] = {
      {"icon in the hover", 0x2C, "", 12, false, true, true, false, 0, ""},
      {"no icon in the hover: no pip", 0x2C, "", 0, false, false, false, false, 0, ""},
      {"no icon in the menu: still the pip", 0x2C, "", 0, true, true, true, false, 0, ""},
      {"a summit's height in feet", 0x65, "1000", 0, false, false, false, true, 1000, " (305 m)"},
      {"first height type", 0x64, "10", 0, false, false, false, true, 10, " (3 m)"},
      {"a depth keeps its value, no height", 0x67, "12.5", 0, false, false, false, true, 12.5, ""},
      {"a short text that is no number", 0x66, "high", 0, false, false, false, false, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const map::NrstText_t hit = Named(c.type, "Peak", c.shortText);
    const map::NrstFeature_t f = map::MakePointFeature(nullptr, hit, symbols, c.icon, c.menu);
    EXPECT_EQ(3, f.kind);
    EXPECT_EQ(std::vector<std::string>{"Peak"}, f.lines);
    EXPECT_EQ(c.icon, f.iconIndex);
    EXPECT_EQ(c.images ? symbols : nullptr, f.images);
    EXPECT_EQ(c.position, f.position.IsPresent());
    if (c.position) {
      EXPECT_EQ(geo::Position_t(1000, -2000), *f.position);
    }
    ASSERT_EQ(c.value, f.value.IsPresent());
    if (c.value) {
      EXPECT_EQ(c.number, *f.value);
    }
    EXPECT_EQ(c.detail, f.suffix);
    EXPECT_EQ(77, f.ref.reference);
    EXPECT_TRUE(f.ref.HasMap());
  }
  map::GetRegistry().ElevationUnits.Set(mat::ElevationUnits_t::Feet);
  EXPECT_EQ(" (1000 ft)", map::MakePointFeature(nullptr, Named(0x65, "Peak", "1000"), symbols, 0, false).suffix);

  // A named point must carry its map.
  map::NrstText_t orphan = Named(0x2C, "Lost", "");
  orphan.ref = map::FeatureRef_t();
  EXPECT_THROW(map::MakePointFeature(nullptr, orphan, symbols, 1, false), glo::Assert_t);
}

TEST_F(FeatureHitTest, JunctionsLinesAndAreas) {
  map::NrstHit_t junction;
  junction.texts = {"Main St", "Elm St"};
  junction.position = geo::Position_t(5, 6);
  junction.ref = map::FeatureRef_t(4, a.get(), 6, 0);
  const map::NrstFeature_t j = map::MakeJunctionFeature(nullptr, junction);
  EXPECT_EQ(4, j.kind);
  EXPECT_EQ(junction.texts, j.lines);
  EXPECT_EQ(geo::Position_t(5, 6), *j.position);
  EXPECT_EQ(-1, j.iconIndex);
  EXPECT_FALSE(j.value.IsPresent());

  map::NrstResult_t line;
  line.name = "12 Main St";
  line.address = true;
  line.position = geo::Position_t(7, 8);
  line.ref = map::FeatureRef_t(8, a.get(), 6, 0);
  EXPECT_EQ(6, map::MakeLineFeature(nullptr, line, false).kind);  // the hover shows addresses as lines
  EXPECT_EQ(5, map::MakeLineFeature(nullptr, line, true).kind);
  line.address = false;
  const map::NrstFeature_t l = map::MakeLineFeature(nullptr, line, true);
  EXPECT_EQ(6, l.kind);
  EXPECT_EQ(geo::Position_t(7, 8), *l.position);
  EXPECT_FALSE(l.value.IsPresent());
  line.valueText = "3.5x";
  EXPECT_FALSE(map::MakeLineFeature(nullptr, line, false).value.IsPresent());

  map::NrstEntry_t area;
  area.texts = {"Lake", "Park"};
  area.ref = map::FeatureRef_t(2, b.get(), 0x3C, 0);
  const map::NrstFeature_t hover = map::MakeAreaFeature(nullptr, area);
  EXPECT_EQ(7, hover.kind);
  EXPECT_EQ(area.texts, hover.lines);
  EXPECT_FALSE(hover.position.IsPresent());
  map::NrstLink_t link{"Lake", area.ref};
  const map::NrstFeature_t chosen = map::MakeAreaFeature(nullptr, link, geo::Position_t(1, 2));
  EXPECT_EQ(std::vector<std::string>{"Lake"}, chosen.lines);
  EXPECT_EQ(geo::Position_t(1, 2), *chosen.position);
  EXPECT_EQ(-1, chosen.iconIndex);
}

}  // namespace
