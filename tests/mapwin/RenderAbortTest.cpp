// A render looks at the queued input every 100 ms of its pass and gives up
// when that input changes the view anyway; the input then reaches the window
// in its order. A pass that was cut short, or that had another pass started
// inside it, leaves the full redraw pending.
#include <gtest/gtest.h>

#include "plat/PLAT_InputProbe.h"
#include "tests/mapwin/MapWinTestUtil.h"

namespace {

using mapwintest::ManualClock;
using mapwintest::MapWinTest;
using mapwintest::TestWindow;

constexpr plat::COLORREF kRed = plat::Rgb(255, 0, 0);
constexpr plat::COLORREF kBlue = plat::Rgb(0, 0, 255);

TEST_F(MapWinTest, AQueuedArrowKeyEndsThePassAtTheNextCheckAndThenPans) {
  ManualClock clock;
  TestWindow& w = Make(200, 100);
  w.GetScale().SetStepIndex(8);
  Paint();
  int checks = 0;
  w.underlay = mapwintest::CheckingUnderlay(w, clock, checks, 40, 30, 5, [&] { plat::PostKey(w, plat::kVkLeft); });
  const geo::Position_t before = w.GetProjector().GetCenter();
  const geo::Position_t panned = w.GetProjector().ScreenToPosition(plat::POINT{100 - 10, 50});
  w.Invalidate(true);
  w.SetCenter(w.GetProjector().GetCenter());
  w.UpdateWindow();
  EXPECT_EQ(6, checks);  // the key was seen by the check after it arrived
  EXPECT_TRUE(w.IsFullRedrawPending());
  EXPECT_EQ(before, w.GetProjector().GetCenter());  // not panned yet
  // The held key reaches the window afterwards, pans, and the next pass completes.
  plat::PumpUntilIdle();
  w.UpdateWindow();
  EXPECT_EQ(panned, w.GetProjector().GetCenter());
  EXPECT_EQ(40, checks);
  EXPECT_FALSE(w.IsFullRedrawPending());
}

TEST_F(MapWinTest, OnlyKeysThatChangeTheViewEndThePass) {
  ManualClock clock;
  TestWindow& w = Make(200, 100);
  const struct {
    unsigned key;
    unsigned flags;
    int step;  // -1: the coarsest
    bool toFrame;
    bool aborts;
  } cases[] = {
      {plat::kVkUp, 0, 5, false, true},          {plat::kVkHome, 0, 5, false, true},
      {plat::kVkAdd, 0, 0, false, false},        {plat::kVkAdd, 0, 5, false, true},
      {plat::kVkOemPlus, 0, 0, false, false},    {plat::kVkSubtract, 0, -1, false, false},
      {plat::kVkOemMinus, 0, 5, false, true},    {'X', 0, 5, false, false},
      {plat::kVkLeft, 0, 5, true, false},  // input for another window
      {plat::kVkControl, 0, 5, false, false},
  };
  for (const auto& c : cases) {
    if (c.step < 0)
      w.GetScale().ToCoarsest();
    else
      w.GetScale().SetStepIndex(c.step);
    w.underlay = nullptr;
    w.Invalidate(true);
    Paint();
    int checks = 0;
    w.underlay = mapwintest::CheckingUnderlay(w, clock, checks, 20, 30, 4, [&] {
      if (c.toFrame)
        plat::PostKey(m_frame, c.key, c.flags);
      else
        plat::PostKey(w, c.key, c.flags);
    });
    w.Invalidate(true);
    w.SetCenter(w.GetProjector().GetCenter());
    w.UpdateWindow();
    EXPECT_EQ(c.aborts, checks < 20) << "key " << c.key << " at step " << c.step;
    w.underlay = nullptr;
    plat::PumpUntilIdle();
  }
}

// A queued Control key ends the pass only while Control and G are both down
// now: Control as the window system tells it, G by its last key message.
TEST_F(MapWinTest, ControlEndsThePassOnlyWithControlAndGDownNow) {
  ManualClock clock;
  TestWindow& w = Make(200, 100);
  w.GetScale().SetStepIndex(5);
  Paint();
  unsigned modifiers = 0;
  plat::SetAsyncModifiersSource([&] { return modifiers; });
  const struct {
    bool controlDown;  // what the window system says now
    int g;             // 0 no G key, 1 pressed and held, 2 pressed and released
    bool aborts;
  } cases[] = {{true, 1, true}, {true, 2, false}, {false, 1, false}, {true, 0, false}};
  for (const auto& c : cases) {
    modifiers = c.controlDown ? unsigned(plat::kMkControl) : 0u;
    int checks = 0;
    w.underlay = mapwintest::CheckingUnderlay(w, clock, checks, 20, 30, 4, [&] {
      plat::PostKey(w, plat::kVkControl, plat::kMkControl, false);
      if (c.g != 0) plat::PostKey(w, 'G', plat::kMkControl, c.g == 2);
    });
    w.SetCenter(w.GetProjector().GetCenter());
    w.UpdateWindow();
    EXPECT_EQ(c.aborts, checks < 20) << c.controlDown << " " << c.g;
    w.underlay = nullptr;
    plat::PumpUntilIdle();
  }
  plat::SetAsyncModifiersSource(nullptr);
}

TEST_F(MapWinTest, TheCheckLooksAtTheQueueOnlyAfter100Milliseconds) {
  ManualClock clock;
  TestWindow& w = Make(200, 100);
  w.GetScale().SetStepIndex(5);
  Paint();
  int checks = 0;
  w.underlay = mapwintest::CheckingUnderlay(w, clock, checks, 20, 10, 0, [&] { plat::PostKey(w, plat::kVkDown); });
  w.SetCenter(w.GetProjector().GetCenter());
  w.UpdateWindow();
  EXPECT_EQ(11, checks);  // 110 ms after the start of the pass
  w.underlay = nullptr;
  plat::PumpUntilIdle();
}

TEST_F(MapWinTest, APassWithAnotherPaintInsideItLeavesNoHalfPicture) {
  ManualClock clock;
  TestWindow& w = Make(100, 60);
  int pass = 0;
  bool abort = true;
  w.underlay = [&](plat::Dc_t& screen, plat::Dc_t& back) {
    ++pass;
    if (pass == 1) {
      back.FillSolidRect(plat::RECT{0, 0, 50, 60}, kRed);  // half of the picture
      {
        // A paint dispatched while the pass runs: it finds the pass busy.
        plat::ClientDc_t dc(w);
        w.PrepareAndRender(dc);
      }
      if (abort) {
        // Home ends a pass but changes no view.
        plat::PostKey(w, plat::kVkHome);
        clock.now += 200;
        w.CheckRenderProgress(screen);
      }
      back.FillSolidRect(plat::RECT{50, 0, 100, 60}, kRed);
      return;
    }
    back.FillSolidRect(plat::RECT{0, 0, 100, 60}, kBlue);
  };
  w.SetCenter(w.GetProjector().GetCenter());
  w.UpdateWindow();
  EXPECT_EQ(1, pass);
  EXPECT_TRUE(w.IsFullRedrawPending());
  // A paint without a change of view draws the picture again, whole.
  plat::PumpUntilIdle();
  w.Invalidate(true);
  Paint();
  EXPECT_EQ(2, pass);
  EXPECT_EQ(kBlue, At(10, 10));
  EXPECT_EQ(kBlue, At(90, 10));
  EXPECT_FALSE(w.IsFullRedrawPending());

  // A pass that completes with another paint inside it draws again by itself.
  pass = 0;
  abort = false;
  w.SetCenter(w.GetProjector().GetCenter());
  w.UpdateWindow();
  plat::PumpUntilIdle();
  w.UpdateWindow();
  EXPECT_EQ(2, pass);
  EXPECT_EQ(kBlue, At(60, 10));
  EXPECT_FALSE(w.IsFullRedrawPending());
}

TEST_F(MapWinTest, AProgressiveCopyShowsOnlyWhatWasDrawnSinceTheLastCopy) {
  ManualClock clock;
  TestWindow& w = Make(100, 60);
  const plat::COLORREF green = plat::Rgb(0, 255, 0);
  plat::COLORREF seen[3] = {};
  w.underlay = [&](plat::Dc_t& screen, plat::Dc_t& back) {
    w.SetProgressiveBlit(true);
    clock.now += 150;
    w.CheckRenderProgress(screen);  // the background fill goes out
    back.FillSolidRect(plat::RECT{10, 10, 20, 20}, kRed);
    screen.FillSolidRect(plat::RECT{50, 10, 60, 20}, green);  // not in the back buffer
    w.CheckRenderProgress(screen);  // less than 100 ms since the last copy: nothing
    seen[0] = screen.GetPixel(15, 15);
    clock.now += 150;
    w.CheckRenderProgress(screen);
    seen[1] = screen.GetPixel(15, 15);
    seen[2] = screen.GetPixel(55, 15);
    w.SetProgressiveBlit(false);
  };
  w.SetCenter(w.GetProjector().GetCenter());
  w.UpdateWindow();
  EXPECT_EQ(plat::Rgb(235, 235, 235), seen[0]);
  EXPECT_EQ(kRed, seen[1]);
  EXPECT_EQ(green, seen[2]);
}

TEST(DrawingBounds, AccumulateWhatIsDrawnInsideTheClipping) {
  ASSERT_TRUE(plat::EnsureGuiApplication());
  plat::Dc_t dc;
  plat::Bitmap_t bitmap;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  ASSERT_TRUE(bitmap.CreateCompatibleBitmap(dc, 200, 100));
  dc.SelectObject(bitmap);
  plat::RECT r{};
  dc.FillSolidRect(plat::RECT{0, 0, 10, 10}, kRed);  // before accumulation
  dc.SetBoundsRect(true);
  EXPECT_FALSE(dc.GetBoundsRect(r, false));
  dc.FillSolidRect(plat::RECT{20, 30, 40, 50}, kRed);
  dc.SetPixel(100, 5, kRed);
  ASSERT_TRUE(dc.GetBoundsRect(r, true));
  EXPECT_EQ((plat::RECT{20, 5, 101, 50}), r);
  EXPECT_FALSE(dc.GetBoundsRect(r, false));
  dc.IntersectClipRect(0, 0, 50, 100);
  dc.FillSolidRect(plat::RECT{40, 0, 200, 10}, kBlue);
  ASSERT_TRUE(dc.GetBoundsRect(r, false));
  EXPECT_EQ((plat::RECT{40, 0, 50, 10}), r);
  dc.SetBoundsRect(false);
  dc.FillSolidRect(plat::RECT{0, 0, 5, 5}, kBlue);
  EXPECT_FALSE(dc.GetBoundsRect(r, false));
}

TEST(InputProbe, HoldsInputInOrderAndDeliversItAfterwards) {
  ASSERT_TRUE(plat::EnsureGuiApplication());
  struct Keys : plat::Wnd_t {
    std::vector<unsigned> keys;
    bool OnKeyDown(unsigned key, unsigned, unsigned) override {
      keys.push_back(key);
      return true;
    }
  } window;
  ASSERT_TRUE(window.Create(nullptr, 0, plat::kWsPopup | plat::kWsVisible, plat::RECT{0, 0, 50, 50}));
  {
    plat::InputProbe_t probe;
    EXPECT_TRUE(plat::IsInputProbeActive());
    EXPECT_TRUE(probe.Peek().empty());
    plat::PostKey(window, 'A');
    plat::PostMouse(window, plat::kWmLButtonDown, plat::POINT{5, 6});
    plat::PostKey(window, 'B');
    const std::vector<plat::QueuedInput_t>& held = probe.Peek();
    ASSERT_EQ(5u, held.size());  // A down, A up, button, B down, B up
    EXPECT_EQ(plat::kWmKeyDown, held[0].message);
    EXPECT_EQ(unsigned('A'), held[0].key);
    EXPECT_EQ(window.GetSafeHwnd(), held[0].window);
    EXPECT_EQ(plat::kWmLButtonDown, held[2].message);
    EXPECT_EQ(5, held[2].point.x);
    EXPECT_EQ(6, held[2].point.y);
    EXPECT_EQ(unsigned('B'), held[3].key);
    EXPECT_TRUE(window.keys.empty());  // nothing was taken
  }
  EXPECT_FALSE(plat::IsInputProbeActive());
  plat::PumpUntilIdle();
  EXPECT_EQ((std::vector<unsigned>{'A', 'B'}), window.keys);
}

}  // namespace
