// Hover popups and the hover tip: a pip and stacked text popups drawn over
// the picture, the pixels under them saved and put back, kept inside the
// window, erased by moves beyond the hover radius and by a new picture.
#include <gtest/gtest.h>

#include <vector>

#include "glo/GLO_Exception.h"
#include "map/MAP_AbstPopupWindow.h"
#include "plat/PLAT_ImageList.h"
#include "plat/PLAT_InputProbe.h"
#include "tests/mapwin/MapWinTestUtil.h"

namespace {

using mapwintest::MapWinTest;
using mapwintest::TestWindow;

constexpr plat::COLORREF kWhite = plat::Rgb(255, 255, 255);
constexpr plat::COLORREF kBlack = plat::Rgb(0, 0, 0);

class PopupTest : public MapWinTest {
 protected:
  std::vector<plat::COLORREF> Pixels() {
    plat::ClientDc_t dc(*m_window);
    const plat::RECT r = m_window->GetClientRect();
    std::vector<plat::COLORREF> pixels;
    for (int y = 0; y < r.bottom; ++y)
      for (int x = 0; x < r.right; ++x) pixels.push_back(dc.GetPixel(x, y));
    return pixels;
  }
  map::NrstFeature_t Feature(plat::POINT at, std::vector<std::string> lines) {
    map::NrstFeature_t f;
    f.kind = map::NrstFeature_t::Kind_Point;
    f.position = m_window->GetProjector().ScreenToPosition(at);
    f.lines = std::move(lines);
    return f;
  }
  // Starts and shows a hover as the idle check does.
  bool Hover(const map::NrstFeature_t& f, plat::POINT p) {
    plat::ClientDc_t dc(*m_window);
    map::PopupWindowList_t& popups = m_window->GetPopups();
    if (!popups.BeginHover(dc, p, f, m_window->GetProjector())) return false;
    popups.ShowHover(dc, m_window->GetPalette(), f, *m_window);
    return true;
  }
};

TEST_F(PopupTest, APipAndOnePopupPerLineStackedUpwardsThenThePixelsComeBack) {
  TestWindow& w = Make(300, 200);
  w.GetScale().SetStepIndex(5);
  w.SetCenter(geo::Position_t(0, 0));
  Paint();
  const std::vector<plat::COLORREF> before = Pixels();
  const map::NrstFeature_t f = Feature(plat::POINT{100, 150}, {"first", "second line", "third"});
  ASSERT_TRUE(Hover(f, plat::POINT{101, 151}));
  const auto& windows = w.GetPopups().GetWindows();
  ASSERT_EQ(4u, windows.size());
  const plat::POINT a = *w.GetPopups().GetAnchor();
  EXPECT_EQ((plat::RECT{a.x - 3, a.y - 3, a.x + 4, a.y + 4}), windows[0]->GetRect());
  // The first line's lower left corner 5 pixels right of and above the anchor.
  EXPECT_EQ(a.x + 5, windows[1]->GetRect().left);
  EXPECT_EQ(a.y - 5, windows[1]->GetRect().bottom);
  for (std::size_t i = 2; i < windows.size(); ++i) EXPECT_LE(windows[i]->GetRect().bottom, windows[i - 1]->GetRect().top);
  // The pip is black with a white edge; a popup white with a black frame.
  EXPECT_EQ(kBlack, At(a.x, a.y));
  EXPECT_EQ(kWhite, At(a.x - 3, a.y));
  const plat::RECT r = windows[1]->GetRect();
  EXPECT_EQ(kBlack, At(r.left, r.top + 3));
  EXPECT_EQ(kWhite, At(r.left + 1, r.top + 1));
  // The same hover again is not rebuilt.
  EXPECT_FALSE(Hover(f, plat::POINT{101, 151}));
  {
    plat::ClientDc_t dc(w);
    w.GetPopups().Erase(dc);
  }
  EXPECT_TRUE(w.GetPopups().IsEmpty());
  EXPECT_TRUE(before == Pixels());
}

// A 16 x 16 symbol on the grey mask colour: a red block of 6 x 4 pixels at (5, 6).
void MakeSymbols(plat::ImageList_t& images) {
  ASSERT_TRUE(images.Create(16, 16));
  plat::Dc_t dc;
  plat::Bitmap_t strip;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  ASSERT_TRUE(strip.CreateCompatibleBitmap(dc, 32, 16));
  dc.SelectObject(strip);
  dc.FillSolidRect(plat::RECT{0, 0, 32, 16}, plat::Rgb(128, 128, 128));
  dc.FillSolidRect(plat::RECT{5, 6, 11, 10}, plat::Rgb(255, 0, 0));
  dc.FillSolidRect(plat::RECT{16, 0, 32, 16}, plat::Rgb(0, 0, 255));
  dc.DeleteDC();
  // The mask colour as the window gives it: palette-relative grey.
  EXPECT_EQ(0, images.AddMasked(strip.GetSafeHandle(), 0x02808080u));
  EXPECT_EQ(2, images.GetImageCount());
  EXPECT_EQ((plat::RECT{5, 6, 11, 10}), images.GetVisibleRect(0));
  EXPECT_EQ((plat::RECT{0, 0, 16, 16}), images.GetVisibleRect(1));
}

TEST_F(PopupTest, AFeatureWithASymbolShowsItInAWhiteDisc) {
  TestWindow& w = Make(300, 200);
  w.GetScale().SetStepIndex(5);
  w.Invalidate(true);
  Paint();
  plat::ImageList_t images;
  MakeSymbols(images);
  const std::vector<plat::COLORREF> before = Pixels();
  map::NrstFeature_t f = Feature(plat::POINT{100, 100}, {"symbol"});
  f.images = &images;
  f.iconIndex = 0;
  ASSERT_TRUE(Hover(f, plat::POINT{100, 100}));
  const plat::POINT a = *w.GetPopups().GetAnchor();
  // Radius: the visible 6 x 4 pixels give sqrt(3 * 3 + 2 * 2) + 4, rounded: 8.
  EXPECT_EQ((plat::RECT{a.x - 8, a.y - 8, a.x + 8, a.y + 8}), w.GetPopups().GetWindows()[0]->GetRect());
  // The image's top left corner half an image from the anchor; the mask shows the disc.
  EXPECT_EQ(plat::Rgb(255, 0, 0), At(a.x - 8 + 5, a.y - 8 + 6));
  EXPECT_EQ(kWhite, At(a.x - 8 + 4, a.y - 8 + 6));
  EXPECT_EQ(kBlack, At(a.x - 8, a.y));  // the disc's edge
  {
    plat::ClientDc_t dc(w);
    w.GetPopups().Erase(dc);
  }
  EXPECT_TRUE(before == Pixels());
}

TEST_F(PopupTest, PopupsStayInsideTheWindow) {
  TestWindow& w = Make(300, 200);
  w.GetScale().SetStepIndex(5);
  w.Invalidate(true);
  Paint();
  ASSERT_TRUE(Hover(Feature(plat::POINT{295, 100}, {"a long line near the right edge"}), plat::POINT{295, 100}));
  EXPECT_EQ(300, w.GetPopups().GetWindows()[1]->GetRect().right);
  ASSERT_TRUE(Hover(Feature(plat::POINT{40, 3}, {"top"}), plat::POINT{40, 3}));
  EXPECT_EQ(0, w.GetPopups().GetWindows()[1]->GetRect().top);
}

TEST_F(PopupTest, MovingBeyondTheHoverRadiusErasesThem) {
  TestWindow& w = Make(300, 200);
  w.GetScale().SetStepIndex(5);
  w.Invalidate(true);
  Paint();
  const std::vector<plat::COLORREF> before = Pixels();
  ASSERT_TRUE(Hover(Feature(plat::POINT{100, 100}, {"x"}), plat::POINT{100, 100}));
  const plat::POINT a = *w.GetPopups().GetAnchor();
  EXPECT_FALSE(w.GetPopups().IsOutside(plat::POINT{a.x + 8, a.y}));
  EXPECT_TRUE(w.GetPopups().IsOutside(plat::POINT{a.x + 8, a.y + 1}));
  plat::PostMouse(w, plat::kWmMouseMove, plat::POINT{a.x, a.y + 8});
  plat::PumpUntilIdle();
  EXPECT_FALSE(w.GetPopups().IsEmpty());
  plat::PostMouse(w, plat::kWmMouseMove, plat::POINT{a.x + 6, a.y + 6});
  plat::PumpUntilIdle();
  EXPECT_TRUE(w.GetPopups().IsEmpty());
  EXPECT_TRUE(before == Pixels());
}

TEST_F(PopupTest, APaintKeepsThemAndANewPictureErasesThem) {
  TestWindow& w = Make(300, 200);
  w.GetScale().SetStepIndex(5);
  w.Invalidate(true);
  Paint();
  ASSERT_TRUE(Hover(Feature(plat::POINT{100, 100}, {"x", "y"}), plat::POINT{100, 100}));
  const plat::RECT r = w.GetPopups().GetWindows()[2]->GetRect();
  const int passes = w.passes;
  w.Invalidate(true);
  Paint();
  EXPECT_EQ(passes, w.passes);  // no new picture: the popups are shown again
  EXPECT_EQ(kWhite, At(r.left + 1, r.top + 1));
  EXPECT_EQ(3u, w.GetPopups().GetWindows().size());
  w.SetCenter(w.GetProjector().GetCenter());
  Paint();
  EXPECT_TRUE(w.GetPopups().IsEmpty());
  EXPECT_NE(kWhite, At(r.left + 1, r.top + 1));
}

TEST_F(PopupTest, AShownPopupCannotMoveAndAHiddenOneMustHaveBeenShown) {
  TestWindow& w = Make(100, 100);
  map::PipWindow_t pip(plat::POINT{50, 50}, false);
  plat::ClientDc_t dc(w);
  EXPECT_THROW(pip.Hide(dc), glo::Exception_t);
  pip.Show(dc);
  EXPECT_THROW(pip.SetRect(plat::RECT{0, 0, 5, 5}), glo::Exception_t);
  pip.Hide(dc);
  map::PipWindow_t empty(plat::POINT{50, 50}, true);
  empty.SetRect(plat::RECT{10, 10, 10, 20});
  EXPECT_THROW(empty.Show(dc), glo::Exception_t);
}

TEST_F(PopupTest, TheHoverTipIsDrawnOnEveryPaintWhileInView) {
  TestWindow& w = Make(300, 200);
  w.GetScale().SetStepIndex(5);
  w.SetCenter(geo::Position_t(0, 0));
  Paint();
  const geo::Position_t inside = w.GetProjector().ScreenToPosition(plat::POINT{60, 120});
  w.GetHoverTip().Set(w, "tip", inside);
  w.Invalidate(true);
  Paint();
  const plat::POINT p = w.GetProjector().PositionToScreen(inside);
  EXPECT_EQ(kBlack, At(p.x, p.y));
  EXPECT_EQ(kBlack, At(p.x + 5, p.y - 6));  // the popup's frame
  // Out of view: not drawn.
  w.SetCenter(w.GetProjector().ScreenToPosition(plat::POINT{1000, 100}));
  Paint();
  w.SetCenter(geo::Position_t(0, 0));
  w.GetHoverTip().Clear();
  EXPECT_TRUE(w.GetHoverTip().IsEmpty());
}

TEST_F(PopupTest, TheIdleCheckShowsTheFeatureUnderTheRestingCursor) {
  TestWindow& w = Make(300, 200);
  w.GetScale().SetStepIndex(5);
  w.Invalidate(true);
  Paint();
  w.feature = [&](plat::POINT p) { return Feature(p, {"one", "two"}); };
  plat::SetCursorPos(w.ClientToScreen(plat::POINT{120, 120}));
  plat::PumpUntilIdle();  // the move that the cursor's placing makes
  if (plat::WindowFromPoint(plat::GetCursorPos()) != w.GetSafeHwnd()) GTEST_SKIP() << "no cursor on this display";
  w.OnIdleHover();
  EXPECT_EQ(3u, w.GetPopups().GetWindows().size());
  EXPECT_EQ(1, w.shown);
  // Input waiting ends the wait: nothing new is shown.
  {
    plat::ClientDc_t dc(w);
    w.GetPopups().Erase(dc);
  }
  plat::PostKey(w, 'A');
  w.OnIdleHover();
  EXPECT_TRUE(w.GetPopups().IsEmpty());
  plat::PumpUntilIdle();
}

}  // namespace
