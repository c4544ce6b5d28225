// The main frame's rules: the start-up show command, the stored rectangle
// against the desktop, the first pane sizes, the resize rule and the user menu.
#include <gtest/gtest.h>

#include "app/Commands.h"
#include "app/FrameRules.h"
#include "tests/common/TestEnv.h"

namespace {

TEST(FrameRulesTest, ShowCommandTable) {
  const glo::Optional_t<bool> none;
  const glo::Optional_t<bool> yes(true);
  const glo::Optional_t<bool> no(false);
  for (int command = 0; command <= 11; ++command) {
    const bool showing = command == 1 || command == 3 || command == 4 || command == 5 || command == 8 ||
                         command == 9 || command == 10;
    EXPECT_EQ(app::StartShowCommand(command, yes), showing ? 3 : command) << command;
    EXPECT_EQ(app::StartShowCommand(command, no), command) << command;
    EXPECT_EQ(app::StartShowCommand(command, none), command) << command;
  }
}

TEST(FrameRulesTest, StoredRectangleMustLieOnTheDesktop) {
  // Two screens side by side.
  const plat::RECT desktop{0, 0, 3840, 1080};
  const struct {
    plat::RECT frame;
    bool fits;
  } cases[] = {
      {{100, 100, 900, 700}, true},    {{2000, 50, 3000, 1000}, true},  {{0, 0, 3840, 1080}, true},
      {{-10, 100, 800, 700}, false},   {{3000, 100, 3900, 700}, false}, {{100, 500, 900, 1100}, false},
      {{500, 500, 500, 900}, false},   {{900, 100, 100, 700}, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(app::FitsDesktop(c.frame, desktop), c.fits) << c.frame.left << "," << c.frame.top;
}

TEST(FrameRulesTest, PaneSizesAndTheResizeRule) {
  const auto first = app::InitialPaneSizes(900, 601, {}, {}, {});
  EXPECT_EQ(first.tree, 300);
  EXPECT_EQ(first.summary, 300);
  EXPECT_EQ(first.map, 300);
  const auto stored = app::InitialPaneSizes(900, 600, 250, 200, 0);
  EXPECT_EQ(stored.tree, 250);
  EXPECT_EQ(stored.summary, 200);
  EXPECT_EQ(stored.map, 0);
  // The lower row keeps its 250 pixels; the summary takes the change.
  EXPECT_EQ(app::SummaryHeightAfterResize(300, 350, 250), 400);
  EXPECT_EQ(app::SummaryHeightAfterResize(300, 150, 250), 200);
  EXPECT_EQ(app::SummaryHeightAfterResize(50, 100, 250), 0);
}

TEST(FrameRulesTest, UserMenuOrderAndIds) {
  app::UserDatabase_t users(test::MakeTempDir("menu") + "/");
  EXPECT_TRUE(app::BuildUserMenuIds(users).empty());
  users.AddUser(7, "carl");
  users.AddUser(3, "anna");
  users.AddUser(9, "Bob");
  users.AddUser(4, "anna");  // one name of two units is listed once
  const app::UserMenuIds_t ids = app::BuildUserMenuIds(users);
  const app::UserMenuIds_t expected{{0xDFFF, "Bob"}, {0xDFFE, "anna"}, {0xDFFD, "carl"}};
  EXPECT_EQ(ids, expected);
}

}  // namespace
