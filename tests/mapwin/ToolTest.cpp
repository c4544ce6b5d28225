// The tool hook: mouse input reaches an installed tool with the popups hidden
// around each call (the tool gets the hover's anchor), the first move after
// the cursor entered is an enter, keys wait while the tool holds a button,
// and without a tool clicks only end a drag.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plat/PLAT_Input.h"
#include "plat/PLAT_InputProbe.h"
#include "plat/PLAT_ScrollBar.h"
#include "tests/mapwin/MapWinTestUtil.h"

namespace {

using mapwintest::MapWinTest;
using mapwintest::TestWindow;

class RecordingTool : public map::Tool_t {
 public:
  std::vector<std::string> calls;
  bool leftDown = false;
  bool rightDown = false;

  void Activate() override { calls.push_back("activate"); }
  void Deactivate() override { calls.push_back("deactivate"); }
  bool OnSetCursor(plat::HWND, unsigned, unsigned) override { return true; }
  bool IsLeftDown() const override { return leftDown; }
  void OnLButtonDown(unsigned, int x, int y) override { Add("ldown", x, y); }
  void OnLButtonUp(unsigned, int x, int y) override { Add("lup", x, y); }
  void OnLButtonDblClk(unsigned, int x, int y) override { Add("ldbl", x, y); }
  bool IsRightDown() const override { return rightDown; }
  void OnRButtonDown(unsigned, int x, int y) override { Add("rdown", x, y); }
  void OnMenuDone() override {}
  void OnRButtonDblClk(unsigned, int x, int y) override { Add("rdbl", x, y); }
  void OnMouseEnter(unsigned, int x, int y) override { Add("enter", x, y); }
  void OnMouseMove(unsigned, int x, int y) override { Add("move", x, y); }
  void OnMouseLeave() override { calls.push_back("leave"); }
  bool AbortsOnClick() const override { return true; }
  void BeforeRender() override { calls.push_back("before"); }
  void AfterRender(plat::POINT) override { calls.push_back("after"); }

 private:
  void Add(const char* what, int x, int y) {
    calls.push_back(std::string(what) + " " + std::to_string(x) + "," + std::to_string(y));
  }
};

TEST_F(MapWinTest, WithoutAToolClicksOnlyEndADrag) {
  TestWindow& w = Make(200, 100, true);
  w.SendMessage(plat::kWmHScroll, plat::kSbThumbTrack | (3u << 16));
  ASSERT_TRUE(w.IsTracking());
  plat::SendClick(w, plat::POINT{50, 50}, false, true);
  EXPECT_FALSE(w.IsTracking());
  plat::SendClick(w, plat::POINT{50, 50}, true);
  EXPECT_FALSE(w.IsTracking());
}

TEST_F(MapWinTest, TheToolGetsTheMouseWithThePopupsHiddenAndTheHoverAnchor) {
  TestWindow& w = Make(200, 100);
  RecordingTool tool;
  w.SetTool(&tool);
  w.SetInteractive(true);
  EXPECT_EQ("activate", tool.calls.back());
  tool.calls.clear();
  plat::PostMouse(w, plat::kWmMouseMove, plat::POINT{10, 20});
  plat::PostMouse(w, plat::kWmMouseMove, plat::POINT{11, 20});
  plat::PumpUntilIdle();
  EXPECT_EQ((std::vector<std::string>{"enter 10,20", "move 11,20"}), tool.calls);
  tool.calls.clear();
  // A hover at (60, 60): the tool gets its anchor, and the popups are back afterwards.
  map::NrstFeature_t f;
  f.kind = map::NrstFeature_t::Kind_Point;
  f.position = w.GetProjector().ScreenToPosition(plat::POINT{60, 60});
  f.lines = {"here"};
  {
    plat::ClientDc_t dc(w);
    ASSERT_TRUE(w.GetPopups().BeginHover(dc, plat::POINT{60, 60}, f, w.GetProjector()));
    w.GetPopups().ShowHover(dc, w.GetPalette(), f, w);
  }
  const plat::POINT a = *w.GetPopups().GetAnchor();
  plat::SendClick(w, plat::POINT{a.x + 2, a.y + 2});
  ASSERT_EQ(2u, tool.calls.size());
  EXPECT_EQ("ldown " + std::to_string(a.x) + "," + std::to_string(a.y), tool.calls[0]);
  EXPECT_EQ("lup " + std::to_string(a.x) + "," + std::to_string(a.y), tool.calls[1]);
  EXPECT_EQ(2u, w.GetPopups().GetWindows().size());
  EXPECT_FALSE(w.IsTracking());
  // Leaving erases the popups and tells the tool.
  tool.calls.clear();
  plat::PostMouse(w, plat::kWmMouseMove, plat::POINT{a.x + 1, a.y});
  plat::PumpUntilIdle();
  w.Leave();  // the cursor leaves the window
  EXPECT_TRUE(w.GetPopups().IsEmpty());
  EXPECT_EQ("leave", tool.calls.back());
  // The next move is an enter again.
  tool.calls.clear();
  plat::PostMouse(w, plat::kWmMouseMove, plat::POINT{30, 30});
  plat::PumpUntilIdle();
  EXPECT_EQ((std::vector<std::string>{"enter 30,30"}), tool.calls);
  w.SetInteractive(false);
  EXPECT_EQ("deactivate", tool.calls.back());
  w.SetTool(nullptr);
}

TEST_F(MapWinTest, KeysWaitWhileTheToolHoldsAButton) {
  TestWindow& w = Make(200, 100);
  RecordingTool tool;
  w.SetTool(&tool);
  w.GetScale().SetStepIndex(5);
  tool.leftDown = true;
  plat::SendKey(w, plat::kVkOemPlus);
  EXPECT_EQ(5, w.GetScale().GetStepIndex());
  tool.leftDown = false;
  tool.rightDown = true;
  plat::SendKey(w, plat::kVkOemPlus);
  EXPECT_EQ(5, w.GetScale().GetStepIndex());
  tool.rightDown = false;
  plat::SendKey(w, plat::kVkOemPlus);
  EXPECT_EQ(4, w.GetScale().GetStepIndex());
  // Every paint tells the tool before and after it renders.
  tool.calls.clear();
  w.Invalidate(true);
  Paint();
  EXPECT_EQ((std::vector<std::string>{"before", "after"}), tool.calls);
  w.SetTool(nullptr);
}

TEST_F(MapWinTest, AToolThatAbortsOnClicksEndsThePassOnAQueuedClick) {
  mapwintest::ManualClock clock;
  TestWindow& w = Make(200, 100);
  RecordingTool tool;
  w.SetTool(&tool);
  w.GetScale().SetStepIndex(5);
  w.Invalidate(true);
  Paint();
  for (const bool right : {false, true}) {
    int checks = 0;
    w.underlay = mapwintest::CheckingUnderlay(w, clock, checks, 20, 30, 4, [&] {
      plat::PostMouse(w, right ? plat::kWmRButtonDown : plat::kWmLButtonDown, plat::POINT{5, 5});
      if (!right) plat::PostMouse(w, plat::kWmLButtonUp, plat::POINT{5, 5});
    });
    w.SetCenter(w.GetProjector().GetCenter());
    w.UpdateWindow();
    EXPECT_EQ(5, checks) << right;
    w.underlay = nullptr;
    plat::PumpUntilIdle();
  }
  w.SetTool(nullptr);
}

}  // namespace
