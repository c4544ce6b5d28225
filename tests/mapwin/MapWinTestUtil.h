#pragma once
// A map window in a top-level test window, offscreen, with the DejaVu font,
// 96 dots per inch, the statute zoom steps and the test resources; a clock the
// test turns.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bin/BIN_stream.h"
#include "map/MAP_Registry.h"
#include "map/MAP_Cache.h"
#include "map/MAP_Tool.h"
#include "map/MAP_Window.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_ClientDc.h"
#include "plat/PLAT_Clock.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_Menu.h"
#include "tdb/TDB_Product.h"
#include "tests/common/TestEnv.h"
#include "tests/common/TestResources.h"
#include "tests/imgkit/ProductBuilder.h"
#include "tests/imgkit/ProductGenerator.h"

namespace mapwintest {

// Metric depth, elevation and distance units while it lives; the user's own
// units again afterwards.
class MetricUnits_t {
 public:
  MetricUnits_t()
      : m_depth(map::GetRegistry().DepthUnits.Value()),
        m_elevation(map::GetRegistry().ElevationUnits.Value()),
        m_distance(map::GetRegistry().DistanceUnitsType.Value()) {
    map::Registry_t& reg = map::GetRegistry();
    reg.DepthUnits.Set(mat::DepthUnits_t::Metres);
    reg.ElevationUnits.Set(mat::ElevationUnits_t::Metres);
    reg.DistanceUnitsType.Set(mat::DistUnitsTypes_t::Metric);
  }
  ~MetricUnits_t() {
    map::Registry_t& reg = map::GetRegistry();
    reg.DepthUnits.Set(m_depth);
    reg.ElevationUnits.Set(m_elevation);
    reg.DistanceUnitsType.Set(m_distance);
  }
  MetricUnits_t(const MetricUnits_t&) = delete;
  MetricUnits_t& operator=(const MetricUnits_t&) = delete;

 private:
  mat::DepthUnits_t m_depth;
  mat::ElevationUnits_t m_elevation;
  mat::DistUnitsTypes_t m_distance;
};

// A map window whose underlay a test supplies; everything else is the base's.
class TestWindow : public map::Window_t {
 public:
  explicit TestWindow(bool scrollBars = false) : map::Window_t("prompt %s", scrollBars) {}
  std::function<void(plat::Dc_t& screen, plat::Dc_t& back)> underlay;
  std::function<map::NrstFeature_t(plat::POINT)> feature;
  int passes = 0;
  int shown = 0;

  void DrawUnderlay(plat::Dc_t& screen, plat::Dc_t& back) override {
    ++passes;
    if (underlay) underlay(screen, back);
  }
  map::NrstFeature_t FindNearestFeatureAt(plat::POINT p, bool) override {
    return feature ? feature(p) : map::NrstFeature_t();
  }
  void OnHoverShown() override { ++shown; }
  void Leave() { OnMouseLeave(); }
};

// A product as its description file describes it.
inline tdb::Product_t ReadProduct(const imgkit::ProductFile_t& file) {
  tdb::Product_t product("loc", "bmap", "", {}, {}, "", false);
  bin::stringstream in;
  in.str(file.Build());
  product.Read(in);
  return product;
}

// A menu's entries as "id text".
inline std::vector<std::string> MenuItems(const plat::Menu_t& menu) {
  std::vector<std::string> items;
  for (int i = 0; i < menu.GetMenuItemCount(); ++i)
    items.push_back(std::to_string(menu.GetMenuItemID(i)) + " " + menu.GetMenuString(i));
  return items;
}

// A tool that only counts the end-of-menu notices.
class CountingTool : public map::Tool_t {
 public:
  int menuDone = 0;
  bool leftDown = false;
  void Activate() override {}
  void Deactivate() override {}
  bool OnSetCursor(plat::HWND, unsigned, unsigned) override { return true; }
  bool IsLeftDown() const override { return leftDown; }
  void OnLButtonDown(unsigned, int, int) override {}
  void OnLButtonUp(unsigned, int, int) override {}
  void OnLButtonDblClk(unsigned, int, int) override {}
  bool IsRightDown() const override { return false; }
  void OnRButtonDown(unsigned, int, int) override {}
  void OnMenuDone() override { ++menuDone; }
  void OnRButtonDblClk(unsigned, int, int) override {}
  void OnMouseEnter(unsigned, int, int) override {}
  void OnMouseMove(unsigned, int, int) override {}
  void OnMouseLeave() override {}
  bool AbortsOnClick() const override { return false; }
  void BeforeRender() override {}
  void AfterRender(plat::POINT) override {}
};

// The clock of the drawing work, turned by hand.
class ManualClock {
 public:
  ManualClock() {
    plat::SetClockSource([this] { return now; });
  }
  ~ManualClock() { plat::SetClockSource(nullptr); }
  ManualClock(const ManualClock&) = delete;
  ManualClock& operator=(const ManualClock&) = delete;
  std::uint32_t now = 5000;
};

// An underlay that checks the render progress 'count' times, turning the
// clock by 'tick' milliseconds before each check; before check 'postAt' of
// its first pass it calls 'post' (to queue input). 'checks' counts the
// checks of the last pass.
inline std::function<void(plat::Dc_t&, plat::Dc_t&)> CheckingUnderlay(map::Window_t& window, ManualClock& clock,
                                                                       int& checks, int count, std::uint32_t tick,
                                                                       int postAt, std::function<void()> post) {
  return [&window, &clock, &checks, count, tick, postAt, post = std::move(post), posted = false](
             plat::Dc_t& screen, plat::Dc_t&) mutable {
    checks = 0;
    for (int i = 0; i < count; ++i) {
      clock.now += tick;
      if (i == postAt && !posted) {
        posted = true;
        post();
      }
      ++checks;
      window.CheckRenderProgress(screen);
    }
  };
}

class MapWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseTestResources();  // the symbol and shield images of a render
    map::GetRegistry().DistanceUnitsType.Set(mat::DistUnitsTypes_t(0));
    map::GetRegistry().MapFontSetting.Set(map::MapFont_t{"DejaVu Sans", -13, 400, false});
    ASSERT_TRUE(m_frame.Create(nullptr, 0, plat::kWsPopup | plat::kWsVisible, plat::RECT{0, 0, 400, 300}));
  }
  void TearDown() override {
    m_window.reset();
    m_frame.DestroyWindow();
    plat::PumpUntilIdle();
  }
  TestWindow& Make(int width = 300, int height = 200, bool scrollBars = false) {
    m_window = std::make_unique<TestWindow>(scrollBars);
    EXPECT_TRUE(m_window->CreateMapWindow(&m_frame, 1, plat::RECT{0, 0, width, height}));
    m_window->SetInteractive(true);
    Paint();
    return *m_window;
  }
  // Paints what is pending now.
  void Paint() {
    plat::PumpUntilIdle();
    m_window->UpdateWindow();
  }
  plat::COLORREF At(int x, int y) {
    plat::ClientDc_t dc(*m_window);
    return dc.GetPixel(x, y);
  }
  // A pixel of the back buffer.
  plat::COLORREF Back(int x, int y) { return m_window->GetBackDc()->GetPixel(x, y); }
  plat::Wnd_t m_frame;
  std::unique_ptr<TestWindow> m_window;
};

// A map window over the basemap of a product generated into the test's
// settings, its tiles looked up in the products read from there; the tool
// for the right-click menus and the menu and dialog hooks are taken down
// afterwards.
class ProductWindowTest : public MapWinTest {
 protected:
  // Writes the product under a new folder named after 'stem' and opens its
  // basemap in 'window' (400 x 300).
  void OpenProduct(const imgkit::GenProduct_t& spec, const std::string& stem, std::unique_ptr<TestWindow> window) {
    m_window.reset();  // it may hold maps of the products read before
    m_product = imgkit::WriteProduct(spec, test::MakeTempDir(stem));
    m_installed = std::make_unique<imgkit::InstalledProducts_t>();
    imgkit::MachineHive_t::WriteEmpty();
    m_window = std::move(window);
    ASSERT_TRUE(m_window->CreateMapWindow(&m_frame, 1, plat::RECT{0, 0, 400, 300}));
    Paint();
    m_window->GetCache().SetProductEnv(m_installed->Env());
    m_window->OpenMapFile(m_product.basemapPath, "insert %s", "");
    ASSERT_TRUE(m_window->GetBasemap().IsOpen());
  }
  // The same, then views it at 'scale' around 'centre' and installs a
  // counting tool.
  void OpenProduct(const imgkit::GenProduct_t& spec, const std::string& stem, std::unique_ptr<TestWindow> window,
                   double scale, const geo::Position_t& centre) {
    OpenProduct(spec, stem, std::move(window));
    if (HasFatalFailure()) return;
    View(scale, centre);
    m_window->SetTool(&m_tool);
  }
  // Paints the view at 'scale' around 'centre'.
  void View(double scale, const geo::Position_t& centre) {
    m_window->GetProjector().SetScale(scale);
    m_window->GetProjector().SetCenter(centre);
    m_window->Invalidate(false);
    Paint();
  }
  plat::POINT Pixel(const geo::Position_t& p) { return m_window->GetProjector().PositionToScreen(p); }
  void TearDown() override {
    plat::SetMenuHook(nullptr);
    plat::SetModalHook(nullptr);
    if (m_window) m_window->SetTool(nullptr);
    MapWinTest::TearDown();
    imgkit::MachineHive_t::WriteEmpty();
  }

  imgkit::GeneratedProduct_t m_product;
  std::unique_ptr<imgkit::InstalledProducts_t> m_installed;
  CountingTool m_tool;
};

}  // namespace mapwintest
