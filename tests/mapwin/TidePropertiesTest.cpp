// The properties command of a tide station: the tide dialog, modally, from
// the station, start, days and title of the description.
#include <gtest/gtest.h>

#include <memory>

#include "map/MAP_PropertyDialogs.h"
#include "map/MAP_TideDialog.h"
#include "plat/PLAT_App.h"
#include "tests/mapwin/TideTestSupport.h"
#include "win/WIN_RegSettingsKey.h"

namespace {

class TideProperties : public tidetest::TideGuiTest {
 protected:
  void SetUp() override {
    tidetest::TideGuiTest::SetUp();
    ASSERT_TRUE(m_main.Create(nullptr, 0, plat::kWsOverlappedWindow, plat::RECT{0, 0, 800, 600}, "Main"));
    plat::SetMainWnd(&m_main);
    const win::RegKey_t& key = app::GetSettingsKey();
    if (key.ValueExists("Position")) key.DeleteValue("Position");
  }
  void TearDown() override {
    plat::SetModalHook(nullptr);
    plat::SetMainWnd(nullptr);
    m_main.DestroyWindow();
    tidetest::TideGuiTest::TearDown();
  }
  plat::Wnd_t m_main;
  tidetest::Station_t station{0, 1000, tidetest::SemidiurnalList()};
};

TEST_F(TideProperties, TheTideDialogShowsTheDescribedStation) {
  map::TideInput_t input;
  input.station = std::shared_ptr<mpl::TideStation_t>(&station.Get(), [](mpl::TideStation_t*) {});
  input.start = tidetest::Utc(2020, 1, 15, 12);
  input.days = 1;
  input.title = "Harbour Mouth";
  int shown = 0;
  plat::SetModalHook([&](plat::Dialog_t& d) {
    auto& tide = dynamic_cast<map::TideDialog_t&>(d);
    ++shown;
    EXPECT_EQ(1, tide.GetDays());
    EXPECT_EQ(input.start, tide.GetStart());
    EXPECT_EQ("Harbour Mouth", d.GetDlgItem(map::TideDialog_t::kIdTitle)->GetWindowText());
    d.EndDialog(plat::kIdOk);
  });
  map::ShowFeatureDescription(input);
  EXPECT_EQ(1, shown);
}

}  // namespace
