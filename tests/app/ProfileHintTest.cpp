// The profile's readout text in the width it gets: whole on one line or two,
// broken at blanks, and cut with an ellipsis only where even two lines cannot
// hold it; drawn inside the pane at the size the main window first opens with
// on a 1280 x 800 screen and in a narrower pane.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/FrameRules.h"
#include "app/GraphText.h"
#include "app/MainFrame.h"
#include "app/ProfileGraph.h"
#include "app/ProfileView.h"
#include "glo/GLO_StringResource.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_Screen.h"
#include "tests/app/AppTestUtil.h"
#include "tests/app/GraphTestUtil.h"
#include "tests/app/TrainingTestUtil.h"

namespace {

const char* const kHint = "Click or drag to read the distance and elevation";

// Ten pixels for every character (UTF-8 continuation bytes take none).
int TenPerCharacter(const std::string& text) {
  int width = 0;
  for (const char c : text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) width += 10;
  return width;
}

TEST(FitTextLines, WholeOnOneOrMoreLinesElseEndsInAnEllipsis) {
  const struct {
    const char* text;
    int width, maxLines;
    std::vector<std::string> lines;
    bool whole;
  } cases[] = {
      {kHint, 480, 2, {kHint}, true},
      {kHint, 470, 2, {"Click or drag to read the distance and", "elevation"}, true},
      {kHint, 250, 2, {"Click or drag to read the", "distance and elevation"}, true},
      {kHint, 200, 2, {"Click or drag to", "read the distance a\xE2\x80\xA6"}, false},
      {kHint, 160, 3, {"Click or drag to", "read the", "distance and el\xE2\x80\xA6"}, false},
      {kHint, 250, 1, {"Click or drag to read th\xE2\x80\xA6"}, false},
      // The blanks at a break belong to neither line.
      {"Distance: 100 m,  Elevation: 120 m", 200, 2, {"Distance: 100 m,", "Elevation: 120 m"}, true},
      // A word wider than a line ends the text there; no blank before the ellipsis.
      {"Elevation: 120 m", 60, 2, {"Eleva\xE2\x80\xA6"}, false},
      {"Distance 100", 100, 1, {"Distance\xE2\x80\xA6"}, false},
      {kHint, 5, 2, {}, false},
      {"", 5, 2, {}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " in " + std::to_string(c.width) + " x " + std::to_string(c.maxLines));
    const app::FittedText_t fitted = app::FitTextLines(c.text, c.width, c.maxLines, TenPerCharacter);
    EXPECT_EQ(c.lines, fitted.lines);
    EXPECT_EQ(c.whole, fitted.whole);
  }
}

// The program with one run whose track has altitudes.
class ProfileHintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plat::EnsureGuiApplication());
    app::RunSet_t runs;
    runs.insert(trtest::MakeRun(trtest::kBase, 2, 300, 20));
    apptest::WriteHistory("Ann", runs);
    ASSERT_TRUE(apptest::StartApplication(m_app));
  }
  void TearDown() override { apptest::CloseApplication(m_app); }

  // The main window at the size it first opens with on a 1280 x 800 screen,
  // its panes laid out as on a first start but for a map pane 'widerMap'
  // pixels wider, and the run selected: the profile's control.
  app::TrkProfileGraphCtrl_t* ShowRunProfile(int widerMap) {
    app::MainFrame_t& frame = *m_app->Frame();
    frame.MoveWindow(plat::DefaultFrameRect(plat::RECT{0, 0, 1280, 800}));
    plat::PumpUntilIdle();
    const plat::RECT client = frame.GetClientRect();
    const app::PaneSizes_t sizes = app::InitialPaneSizes(client.right, client.bottom, {}, {}, {});
    frame.OuterSplitter().SetColumnInfo(0, sizes.tree, 0);
    frame.OuterSplitter().RecalcLayout();
    frame.RightSplitter().SetRowInfo(0, sizes.summary, 0);
    frame.RightSplitter().RecalcLayout();
    frame.LowerSplitter().SetColumnInfo(0, sizes.map + widerMap, 0);
    frame.LowerSplitter().RecalcLayout();
    plat::TreeCtrl_t& tree = frame.GetTreeView().Control();
    tree.SelectItem(tree.GetChildItem(tree.GetChildItem(tree.GetRootItem())));
    plat::PumpUntilIdle();
    return dynamic_cast<app::ProfileView_t&>(frame.GetProfileView()).GetGraph();
  }

  std::unique_ptr<app::Application_t> m_app;
};

// How dark the pixels of the rectangle are, summed over it.
long Ink(const graphtest::Canvas_t& canvas, const plat::RECT& r) {
  long ink = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      const plat::COLORREF c = canvas.At(x, y);
      ink += 765 - plat::GetRValue(c) - plat::GetGValue(c) - plat::GetBValue(c);
    }
  return ink;
}

TEST_F(ProfileHintTest, HintIsDrawnInsideThePaneWholeWhereTwoLinesHoldIt) {
  const std::string hint = glo::StringResource_t(132, GLO_SRC).Text();
  ASSERT_EQ(kHint, hint);
  // The hint on one line of the profile's font where nothing bounds it.
  graphtest::Canvas_t reference(1000, 40);
  plat::Font_t font, verticalFont;
  app::CreateGraphFonts(font, verticalFont);
  reference.dc.SelectObject(font);
  reference.dc.SetBkMode(plat::kTransparent);
  reference.dc.TextOut(10, 10, hint);
  const long whole = Ink(reference, plat::RECT{0, 0, 1000, 40});
  ASSERT_GT(whole, 0);

  // At the first size the hint takes two lines; with 120 pixels fewer even
  // two cannot hold it.
  for (const int widerMap : {0, 120}) {
    SCOPED_TRACE(widerMap);
    app::TrkProfileGraphCtrl_t* graph = ShowRunProfile(widerMap);
    ASSERT_NE(nullptr, graph);
    const plat::RECT client = graph->GetClientRect();
    const plat::RECT readout = graph->GetReadoutRect();
    graphtest::Canvas_t canvas(client.right, client.bottom);
    graph->Paint(canvas.dc);
    graphtest::MaybeSave(*graph, "profile-hint-" + std::to_string(widerMap));
    // Nothing is drawn right of the readout, above the plot.
    EXPECT_EQ(0, Ink(canvas, plat::RECT{readout.right, readout.top, client.right, readout.bottom}));
    const long drawn = Ink(canvas, readout);
    if (widerMap == 0) {
      EXPECT_NEAR(whole, drawn, whole / 50);
    } else {
      EXPECT_GT(drawn, whole / 2);
      EXPECT_LT(drawn, whole * 9 / 10);
    }
  }
}

}  // namespace
