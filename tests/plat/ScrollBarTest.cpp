// A window's own scroll bars: range, page and position kept by the window,
// the client area they take, and the user's clicks arriving as scroll messages.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "plat/PLAT_App.h"
#include "plat/PLAT_Error.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_Input.h"
#include "plat/PLAT_ScrollBar.h"
#include "tests/common/TestEnv.h"

namespace {

using namespace plat;

// Moves its vertical bar by a tenth of the range per page, as a program does.
class Scroller : public Wnd_t {
 public:
  std::vector<std::pair<unsigned, unsigned>> got;  // message, action
  int lastWidth = -1, lastHeight = -1;

 protected:
  void OnSize(int w, int h) override {
    lastWidth = w;
    lastHeight = h;
  }
  bool OnMessage(unsigned message, WPARAM wParam, LPARAM, LRESULT& result) override {
    if (message != kWmHScroll && message != kWmVScroll) return false;
    const unsigned code = unsigned(wParam & 0xFFFF);
    got.emplace_back(message, code);
    const int bar = message == kWmVScroll ? kSbVert : kSbHorz;
    if (code == kSbPageUp) SetScrollPos(bar, GetScrollPos(bar) - 10);
    if (code == kSbPageDown) SetScrollPos(bar, GetScrollPos(bar) + 10);
    result = 0;
    return true;
  }
};

SCROLLINFO Range(int min, int max, unsigned page, bool keepShown) {
  SCROLLINFO info;
  info.fMask = kSifRange | kSifPage | (keepShown ? kSifDisableNoScroll : 0u);
  info.nMin = min;
  info.nMax = max;
  info.nPage = page;
  return info;
}

TEST(ScrollBarTest, BarsKeepRangePageAndPositionAndTakeTheirRoom) {
  ASSERT_TRUE(EnsureGuiApplication());
  Wnd_t top;
  Scroller w;
  ASSERT_TRUE(top.Create(nullptr, 0, kWsOverlappedWindow | kWsVisible, RECT{0, 0, 300, 300}));
  ASSERT_TRUE(w.Create(&top, 3, kWsChild | kWsVisible | kWsVScroll | kWsHScroll, RECT{0, 0, 200, 150}));
  // No bar before the program gives it a range.
  EXPECT_EQ(w.GetClientRect().right, 200);
  EXPECT_EQ(w.GetClientRect().bottom, 150);

  EXPECT_EQ(w.SetScrollInfo(kSbVert, Range(0, 99, 20, true)), 0);
  const int width = w.GetClientRect().right;
  EXPECT_LT(width, 200);
  EXPECT_GT(width, 150);
  EXPECT_EQ(w.lastWidth, width);
  EXPECT_EQ(w.GetClientRect().bottom, 150);

  // The position stays inside the range less the page.
  EXPECT_EQ(w.SetScrollPos(kSbVert, 500), 0);
  SCROLLINFO info;
  info.fMask = kSifAll;
  ASSERT_TRUE(w.GetScrollInfo(kSbVert, info));
  EXPECT_EQ(info.nMin, 0);
  EXPECT_EQ(info.nMax, 99);
  EXPECT_EQ(info.nPage, 20u);
  EXPECT_EQ(info.nPos, 80);
  EXPECT_EQ(w.SetScrollPos(kSbVert, -3), 80);
  EXPECT_EQ(w.GetScrollPos(kSbVert), 0);

  // A range that cannot scroll hides the bar, or shows it disabled when asked.
  w.SetScrollInfo(kSbHorz, Range(0, 9, 20, false));
  EXPECT_EQ(w.GetClientRect().bottom, 150);
  w.SetScrollInfo(kSbHorz, Range(0, 9, 20, true));
  EXPECT_LT(w.GetClientRect().bottom, 150);
  EXPECT_EQ(w.lastHeight, w.GetClientRect().bottom);
  int min = -1, max = -1;
  w.GetScrollRange(kSbHorz, min, max);
  EXPECT_EQ(min, 0);
  EXPECT_EQ(max, 9);

  EXPECT_EQ(w.SetScrollInfo(7, Range(0, 9, 1, true)), 0);
  EXPECT_EQ(GetLastError(), unsigned(kErrorInvalidParameter));
  EXPECT_FALSE(w.GetScrollInfo(-1, info));
}

TEST(ScrollBarTest, ClicksOnTheBarReachTheWindowAsScrollMessages) {
  ASSERT_TRUE(EnsureGuiApplication());
  Wnd_t top;
  Scroller w;
  ASSERT_TRUE(top.Create(nullptr, 0, kWsOverlappedWindow | kWsVisible, RECT{0, 0, 300, 300}));
  ASSERT_TRUE(w.Create(&top, 3, kWsChild | kWsVisible | kWsVScroll, RECT{0, 0, 200, 200}));
  w.SetScrollInfo(kSbVert, Range(0, 99, 20, true));
  PumpUntilIdle();
  const RECT client = w.GetClientRect();
  const int barX = (client.right + 200) / 2;

  // Below the thumb (at the top): a page down, which the window carries out.
  SendClick(w, POINT{barX, 160});
  ASSERT_FALSE(w.got.empty());
  EXPECT_EQ(w.got.front(), std::make_pair(unsigned(kWmVScroll), unsigned(kSbPageDown)));
  EXPECT_EQ(w.got.back(), std::make_pair(unsigned(kWmVScroll), unsigned(kSbEndScroll)));
  EXPECT_EQ(w.GetScrollPos(kSbVert), 10);

  // A click inside the client area is no scroll.
  w.got.clear();
  SendClick(w, POINT{client.right - 5, 100});
  EXPECT_TRUE(w.got.empty());

  // A disabled bar sends nothing.
  w.EnableScrollBar(true, false);
  SendClick(w, POINT{barX, 160});
  EXPECT_TRUE(w.got.empty());
  EXPECT_EQ(w.GetScrollPos(kSbVert), 10);
  w.EnableScrollBar(true, true);
  SendClick(w, POINT{barX, 20});  // above the thumb now
  ASSERT_FALSE(w.got.empty());
  EXPECT_EQ(w.got.front().second, unsigned(kSbPageUp));
  EXPECT_EQ(w.GetScrollPos(kSbVert), 0);

  // A click on the thumb: its position, then the end.
  w.got.clear();
  const int extent = GetScrollBarExtent();
  SendClick(w, POINT{barX, extent + (200 - 2 * extent) / 10});
  EXPECT_EQ(w.got, (std::vector<std::pair<unsigned, unsigned>>{{kWmVScroll, kSbThumbPosition}, {kWmVScroll, kSbEndScroll}}));

  const std::string path = test::Home() + "/bars.png";
  ASSERT_TRUE(top.SaveImage(path));
}

}  // namespace
