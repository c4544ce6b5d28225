// The unit and map-font settings, and the zoom steps with their labels.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "gdi/GDI_DefaultFont.h"
#include "glo/GLO_StringResource.h"
#include "map/MAP_Registry.h"
#include "map/MAP_UnitsZoomScaleTable.h"
#include "plat/PLAT_Error.h"
#include "tests/common/RegistryBytes.h"
#include "tests/common/TestEnv.h"
#include "win/WIN_RegSettingsKey.h"

namespace {

using mat::DistUnitsTypes_t;
using Raw_t = test::RegBytes_t;

std::string Text(unsigned id) { return glo::LoadStringResource(id, GLO_SRC); }

class MapSettings : public ::testing::Test {
 protected:
  MapSettings() : m_key(win::HkeyCurrentUser(), "Software\\MapTest" + std::to_string(++s_counter)) {}

  Raw_t Raw(const std::string& name) const { return test::ReadRegBytes(m_key.Handle(), name); }

  void Store(const std::string& name, unsigned long type, const std::string& bytes) const {
    m_key.WriteValue(name, type, bytes.data(), static_cast<unsigned long>(bytes.size()));
  }

  static int s_counter;
  win::RegKey_t m_key;
};
int MapSettings::s_counter = 0;

std::string Le32(int v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(static_cast<unsigned>(v) >> (8 * i));
  return s;
}

TEST_F(MapSettings, FirstStartWritesEveryDefault) {
  const map::Registry_t settings(m_key);
  EXPECT_EQ(6u, m_key.ValueCount());
  EXPECT_EQ(Raw_t(plat::kRegBinary, Le32(0)), Raw("DistanceUnitsType"));
  EXPECT_EQ(Raw_t(plat::kRegBinary, Le32(0)), Raw("ElevationUnits"));
  EXPECT_EQ(Raw_t(plat::kRegBinary, Le32(0)), Raw("DepthUnits"));
  EXPECT_EQ(Raw_t(plat::kRegBinary, Le32(0)), Raw("AreaUnits"));
  EXPECT_EQ(Raw_t(plat::kRegBinary, Le32(1)), Raw("TemperatureUnits"));
  const plat::LOGFONTA gui = gdi::GetDefaultGuiLogFont();
  EXPECT_EQ(plat::kRegSz, Raw("MapFont").first);
  EXPECT_EQ("13;400;0;" + std::string(gui.lfFaceName) + '\0', Raw("MapFont").second);
  const plat::LOGFONTA font = settings.MapFont();
  EXPECT_EQ(0, std::memcmp(&gui, &font, sizeof font));  // the default GUI font's description
}

TEST_F(MapSettings, LegacyUnitSystemNameIsConvertedOnce) {
  const struct {
    const char* what;
    unsigned long type;
    std::string stored;
    DistUnitsTypes_t result;
  } cases[] = {
      {"Nautical", plat::kRegSz, std::string("Nautical\0", 9), DistUnitsTypes_t::Nautical},
      {"Metric without zero", plat::kRegSz, "Metric", DistUnitsTypes_t::Metric},
      {"lower case", plat::kRegSz, std::string("nautical\0", 9), DistUnitsTypes_t::Statute},
      {"other text", plat::kRegSz, std::string("Furlongs\0", 9), DistUnitsTypes_t::Statute},
      {"another type", plat::kRegDword, Le32(2), DistUnitsTypes_t::Statute},
  };
  for (const auto& c : cases) {
    Store("DistanceUnitsType", plat::kRegBinary, Le32(1));
    Store("DistanceUnits", c.type, c.stored);
    const map::Registry_t settings(m_key);
    EXPECT_EQ(c.result, settings.DistanceUnitsType.Value()) << c.what;
    EXPECT_EQ(Le32(static_cast<int>(c.result)), Raw("DistanceUnitsType").second) << c.what;
    EXPECT_FALSE(m_key.ValueExists("DistanceUnits")) << c.what;
  }
}

TEST_F(MapSettings, DamagedValuesAreReplacedByTheirDefault) {
  Store("ElevationUnits", plat::kRegBinary, std::string("\x01\x00", 2));
  Store("DepthUnits", plat::kRegBinary, Le32(7));        // no such unit
  Store("DistanceUnitsType", plat::kRegDword, Le32(1));  // another type
  Store("AreaUnits", plat::kRegBinary, Le32(99));        // any area choice is kept
  Store("MapFont", plat::kRegBinary, std::string(60, 'x'));
  const map::Registry_t settings(m_key);
  EXPECT_EQ(mat::ElevationUnits_t::Feet, settings.ElevationUnits.Value());
  EXPECT_EQ(Raw_t(plat::kRegBinary, Le32(0)), Raw("ElevationUnits"));
  EXPECT_EQ(Raw_t(plat::kRegBinary, Le32(0)), Raw("DepthUnits"));
  EXPECT_EQ(Raw_t(plat::kRegBinary, Le32(0)), Raw("DistanceUnitsType"));
  EXPECT_EQ(Le32(99), Raw("AreaUnits").second);
  EXPECT_EQ(plat::kRegSz, Raw("MapFont").first);
}

TEST_F(MapSettings, MapFontDescription) {
  const struct {
    std::string text;
    bool valid;
  } cases[] = {
      {"-12;700;1;DejaVu Serif", true}, {"10;400;0;", true},       {"10;400;2;Sans", false},
      {"10;1001;0;Sans", false},         {"x;400;0;Sans", false},   {"10;400;0", false},
      {"10;400;0;" + std::string(32, 'f'), false},                   {"", false},
  };
  for (const auto& c : cases) {
    map::MapFont_t font;
    EXPECT_EQ(c.valid, map::ParseMapFontText(c.text, font)) << c.text;
    if (c.valid) {
      EXPECT_EQ(c.text, map::MapFontText(font));
    }
  }
  m_key.WriteString("MapFont", "-12;700;1;DejaVu Serif");
  const plat::LOGFONTA lf = map::Registry_t(m_key).MapFont();
  EXPECT_EQ(-12, lf.lfHeight);
  EXPECT_EQ(700, lf.lfWeight);
  EXPECT_EQ(1, lf.lfItalic);
  EXPECT_STREQ("DejaVu Serif", lf.lfFaceName);
  EXPECT_EQ(gdi::GetDefaultGuiLogFont().lfQuality, lf.lfQuality);
}

TEST_F(MapSettings, ProcessWideSettingsDriveTheConverters) {
  map::Registry_t& settings = map::GetRegistry();
  settings.DepthUnits.Set(mat::DepthUnits_t::Fathoms);
  settings.DistanceUnitsType.Set(DistUnitsTypes_t::Metric);
  EXPECT_EQ(Text(8016), map::GetDepthConverter().GetSmallUnitName());
  EXPECT_EQ(Text(8017), map::GetDistanceConverter().GetLargeUnitName());
  EXPECT_EQ(1000.0, settings.DistanceZoomScale().MetresPerUnit());
  // Written through: a second settings object over the same key sees the change.
  EXPECT_EQ(mat::DepthUnits_t::Fathoms, map::Registry_t(app::GetSettingsKey()).DepthUnits.Value());
}

TEST(ZoomSteps, LaddersOfEveryUnit) {
  const auto& table = map::GetUnitsZoomScaleTable();
  const auto& metric = table.FindDistance(DistUnitsTypes_t::Metric);
  const auto& statute = table.FindDistance(DistUnitsTypes_t::Statute);
  const auto& nautical = table.FindDistance(DistUnitsTypes_t::Nautical);
  const auto& feet = table.FindElevation(mat::ElevationUnits_t::Feet);
  const auto& metres = table.FindElevation(mat::ElevationUnits_t::Metres);
  EXPECT_EQ(32, metric.GetCount());
  EXPECT_EQ(30, statute.GetCount());
  EXPECT_EQ(30, nautical.GetCount());
  EXPECT_EQ(16, feet.GetCount());
  EXPECT_EQ(16, metres.GetCount());
  EXPECT_DOUBLE_EQ(1.0, metric.GetStep(22));
  EXPECT_NEAR(1.0717e5, metric.GetScaleAt(22), 5.0);
  EXPECT_DOUBLE_EQ(4294967296.0 / 40075.01668557844, metric.GetScaleAt(22));
  EXPECT_DOUBLE_EQ(4294967296.0 / map::kEquatorCircumference, metres.GetScaleAt(2));  // 1 m
  EXPECT_DOUBLE_EQ(0.8 / 5280, statute.GetStep(0));
  EXPECT_DOUBLE_EQ(8 / 6076.1154855643035, nautical.GetStep(5));
  EXPECT_DOUBLE_EQ(0.002, nautical.GetStep(6));
  EXPECT_DOUBLE_EQ(15, statute.GetStep(29));
  EXPECT_DOUBLE_EQ(1000, feet.GetStep(15));
  // One mile is the same length on the ground in either table.
  EXPECT_NEAR(statute.GetScaleAt(22) / 1609.344, metric.GetScaleAt(22) / 1000, 1e-9);
  for (const auto* scale : {&metric, &statute, &nautical})
    for (int i = 1; i < scale->GetCount(); ++i) EXPECT_LT(scale->GetStep(i - 1), scale->GetStep(i));
  EXPECT_THROW(table.FindDistance(static_cast<DistUnitsTypes_t>(3)), glo::OutOfRange_t);
  EXPECT_THROW(table.FindElevation(static_cast<mat::ElevationUnits_t>(2)), glo::OutOfRange_t);
}

TEST(ZoomSteps, NearestStepKeepsTheLowerOfATie) {
  const map::DistanceZoomScale_t scale(1.0, 0.5, {1, 2, 3});  // scales 2, 4, 6
  const struct {
    double scale;
    int index;
  } cases[] = {{0, 0}, {2, 0}, {3, 0}, {3.0001, 1}, {5, 1}, {5.5, 2}, {100, 2}};
  for (const auto& c : cases) {
    double s = c.scale;
    EXPECT_EQ(c.index, scale.NearestStep(s)) << c.scale;
    EXPECT_EQ(scale.GetScaleAt(c.index), s);
  }
  const auto& metric = map::GetUnitsZoomScaleTable().FindDistance(DistUnitsTypes_t::Metric);
  double beyond = metric.GetScaleAt(31) * 10;
  EXPECT_EQ(31, metric.NearestStep(beyond));
  double near = metric.GetScaleAt(22) * 1.01;
  EXPECT_EQ(22, metric.NearestStep(near));
}

TEST(ZoomSteps, LabelsInTheUsersUnits) {
  map::Registry_t& settings = map::GetRegistry();
  settings.DistanceUnitsType.Set(DistUnitsTypes_t::Metric);
  settings.ElevationUnits.Set(mat::ElevationUnits_t::Feet);
  const auto& table = map::GetUnitsZoomScaleTable();
  const auto& metric = table.FindDistance(DistUnitsTypes_t::Metric);
  EXPECT_EQ("1000 " + Text(8015), metric.FormatStepText(10));  // 0.01 km: 1000 m is not above the threshold
  EXPECT_EQ("1.5 " + Text(8017), metric.FormatStepText(11));   // 0.015 km
  const auto& feet = table.FindElevation(mat::ElevationUnits_t::Feet);
  EXPECT_EQ("30 " + Text(8014), feet.FormatLength(5, 3));  // 3 × 10 ft
  // The statute ladder labelled while the user has metric units.
  EXPECT_EQ("1.60934 " + Text(8017), table.FindDistance(DistUnitsTypes_t::Statute).FormatLength(22, 1));
  settings.ElevationUnits.Set(mat::ElevationUnits_t::Metres);
  EXPECT_EQ("9.144 " + Text(8015), feet.FormatLength(5, 3));
}

}  // namespace
