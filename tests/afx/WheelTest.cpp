// Mouse-wheel scrolling: direction, amount, page limit and disabled bars.
#include <gtest/gtest.h>


#include "afx/AFX_WheelSupportWindow.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Gui.h"

namespace {

TEST(WheelTest, AmountPerNotch) {
  const struct {
    int delta, lines, line, page, expected;
  } cases[] = {
      {120, 3, 20, 100, -60},   // a notch forward: up by three lines
      {-120, 3, 20, 50, 50},    // backward: at most one page
      {120, 3, 20, 50, -50},    // forward too: the page limits the size either way
      {120, -1, 20, 50, -50},   // page scrolling: one page
      {-120, -1, 20, 50, 50},
      {60, 3, 10, 100, -20},    // half a notch: 1.5 lines, rounded to the nearest
      {120, 3, 0, 0, 0},        // the base's sizes of 0 scroll nothing
      {240, 3, 20, 0, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(afx::WheelScrollAmount(c.delta, c.lines, c.line, c.page), c.expected)
        << c.delta << " " << c.lines << " " << c.line << " " << c.page;
}

class Scroller : public afx::WheelSupportWindow_t {
 public:
  int dx = 99, dy = 99, calls = 0;
  int GetVertLineSize() override { return 20; }
  int GetVertPageSize() override { return 1000; }
  int GetHorzLineSize() override { return 7; }
  int GetHorzPageSize() override { return 1000; }
  bool OnWheelScroll(int x, int y, plat::POINT) override {
    dx = x, dy = y, ++calls;
    return true;
  }
  bool Wheel(unsigned flags, int delta) { return OnMouseWheel(flags, delta, plat::POINT{5, 5}); }
};

TEST(WheelTest, DirectionsAndDisabledBars) {
  ASSERT_TRUE(plat::EnsureGuiApplication());
  const int lines = afx::GetWheelScrollLines();
  ASSERT_GT(lines, 0);
  {
    Scroller w;  // no scroll bar at all: not handled
    ASSERT_TRUE(w.Create(nullptr, 0, plat::kWsOverlappedWindow, plat::RECT{0, 0, 100, 100}));
    EXPECT_FALSE(w.Wheel(0, 120));
    EXPECT_EQ(w.calls, 0);
  }
  {
    Scroller w;
    ASSERT_TRUE(w.Create(nullptr, 0, plat::kWsOverlappedWindow | plat::kWsVScroll | plat::kWsHScroll,
                         plat::RECT{0, 0, 100, 100}));
    EXPECT_FALSE(w.Wheel(plat::kMkShift, 120));  // left to the default processing
    EXPECT_FALSE(w.Wheel(plat::kMkControl, 120));
    EXPECT_EQ(w.calls, 0);
    EXPECT_TRUE(w.Wheel(0, 120));  // vertical first
    EXPECT_EQ(w.dx, 0);
    EXPECT_EQ(w.dy, -20 * lines);
    // A disabled vertical bar still takes the vertical branch: nothing scrolls.
    w.EnableScrollBar(true, false);
    EXPECT_TRUE(w.Wheel(0, 120));
    EXPECT_EQ(w.dx, 0);
    EXPECT_EQ(w.dy, 0);
  }
  {
    Scroller w;  // horizontal only
    ASSERT_TRUE(w.Create(nullptr, 0, plat::kWsOverlappedWindow | plat::kWsHScroll, plat::RECT{0, 0, 100, 100}));
    EXPECT_TRUE(w.Wheel(0, -120));
    EXPECT_EQ(w.dx, 7 * lines);
    EXPECT_EQ(w.dy, 0);
  }
}

}  // namespace
