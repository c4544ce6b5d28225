#pragma once
// Tide stations built from records in memory, and the fixed zone, locale and
// tide settings of the tide window tests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "map/MAP_Registry.h"
#include "map/MAP_TideSettings.h"
#include "mpl/MPL_HarmonicTideStationBase.h"
#include "tests/common/TestEnv.h"
#include "tests/imgkit/TideBuilder.h"

namespace tidetest {

// A harmonic station (point subtype 0) with the given zone, mean level
// (thousandths of a foot) and constituents; with corrections, a subordinate
// station of that reference (point subtype 1).
class Station_t {
 public:
  Station_t(int utcMinutes, std::uint16_t z0, const std::vector<imgkit::TideConstituentFields_t>& list,
            std::uint32_t notes = 0xFFFFFFFFu, const imgkit::TideCorrectionsFields_t* corrections = nullptr) {
    imgkit::TideSectionBuilder_t section;
    const std::uint32_t at = section.AddHarmonic(utcMinutes, z0, list);
    std::uint32_t pointer = 0;
    const std::string lbl = imgkit::BuildTideLbl(
        section.Bytes(),
        imgkit::EncodeStationPointer(static_cast<std::uint32_t>(section.Bytes().size()), at) +
            (corrections ? imgkit::EncodeCorrections(*corrections) : std::string()),
        pointer);
    m_map = std::make_unique<imgkit::TideMap_t>(lbl);
    mpl::TidePointInfo_t point;
    point.type = 29;
    point.subtype = corrections ? 1 : 0;
    point.stationPointer = pointer;
    point.notes = notes;
    m_station = std::make_unique<mpl::HarmonicTideStation_t>(m_map->map, point, false);
  }
  mpl::HarmonicTideStation_t& Get() { return *m_station; }
  mpl::HarmonicTideStation_t* operator->() { return m_station.get(); }

 private:
  std::unique_ptr<imgkit::TideMap_t> m_map;
  std::unique_ptr<mpl::HarmonicTideStation_t> m_station;
};

// A semidiurnal curve of about 1.6 m either side of a mean level of 0.3 m.
inline std::vector<imgkit::TideConstituentFields_t> SemidiurnalList() {
  return {{0, 900, 400}, {1, 250, 1200}, {3, 300, 2000}};
}

// The UTC time of calendar fields.
inline glo::Time_t Utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return glo::Time_t(static_cast<std::uint16_t>(y), static_cast<std::uint16_t>(mo), static_cast<std::uint16_t>(d),
                     static_cast<std::uint16_t>(h), static_cast<std::uint16_t>(mi), static_cast<std::uint16_t>(s));
}

// The locale of the tide tests: each test sets it for itself, and checks that
// it is the one in force.
inline constexpr const char* kTideTestLocale = "en_US.UTF-8";

// A fixed zone (with daylight saving), the US English locale and the tide
// settings each test expects: local time, no user offset, depths in metres.
// Everything is put back after.
class TideEnvTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::tzset();
    map::TideSettings_t& s = map::GetTideSettings();
    m_local = s.UseLocalTime.Value();
    m_offset = s.UserUtcOffset.Value();
    m_depth = map::GetRegistry().DepthUnits.Value();
    SetTimeMode(true, 0.0);
    map::GetRegistry().DepthUnits.Set(mat::DepthUnits_t::Metres);
    ASSERT_EQ(map::GetTimeFormatInfo().picture, "h:mm:ss tt") << "the locale in force is not " << kTideTestLocale;
  }
  void TearDown() override {
    SetTimeMode(m_local, m_offset.GetSeconds());
    map::GetRegistry().DepthUnits.Set(m_depth);
  }
  static void SetTimeMode(bool local, double offsetSeconds) {
    map::GetTideSettings().UseLocalTime.Set(local);
    map::GetTideSettings().UserUtcOffset.Set(glo::TimeSpan_t(offsetSeconds));
  }

 private:
  test::EnvOverride m_tz{"TZ", "America/New_York"};
  test::EnvOverride m_locale{"LC_ALL", kTideTestLocale};
  bool m_local = true;
  glo::TimeSpan_t m_offset;
  mat::DepthUnits_t m_depth = mat::DepthUnits_t::Metres;
};

}  // namespace tidetest

#include "glo/GLO_StringResource.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_MessageBox.h"

namespace tidetest {

// The GUI, the language module and the DejaVu label font for window tests;
// message boxes are answered and kept.
class TideGuiTest : public TideEnvTest {
 protected:
  void SetUp() override {
    TideEnvTest::SetUp();
    ASSERT_TRUE(plat::EnsureGuiApplication());
    plat::SetResourceHandle(glo::GetResourceModule());
    m_font = map::GetRegistry().MapFontSetting.Value();
    map::GetRegistry().MapFontSetting.Set(map::MapFont_t{"DejaVu Sans", -13, 400, false});
    plat::SetMessageBoxHook([this](const std::string& text, const std::string&, unsigned) {
      messages.push_back(text);
      return 1;
    });
  }
  void TearDown() override {
    plat::SetMessageBoxHook(nullptr);
    plat::PumpUntilIdle();
    map::GetRegistry().MapFontSetting.Set(m_font);
    TideEnvTest::TearDown();
  }
  std::vector<std::string> messages;

 private:
  map::MapFont_t m_font;
};

}  // namespace tidetest

#include "tests/mapwin/DialogLayoutCheck.h"

namespace tidetest {

using dialogtest::MaybeSave;

}  // namespace tidetest
