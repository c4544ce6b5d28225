// The main frame: menus and their update handlers, command routing, toolbar,
// status bar, nested splitters, documents and views.
#include <gtest/gtest.h>

#include "plat/PLAT_App.h"
#include "plat/PLAT_Cursor.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_Document.h"
#include "plat/PLAT_FileDialog.h"
#include "plat/PLAT_Frame.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_Menu.h"
#include "plat/PLAT_MenuTemplate.h"
#include "plat/PLAT_Module.h"
#include "plat/PLAT_Screen.h"
#include "plat/PLAT_Splitter.h"
#include "tests/common/TestEnv.h"
#include "tests/common/TestResources.h"

namespace {

using namespace plat;

// Who handled what, in order.
std::vector<std::string> g_log;

class TestView : public Wnd_t, public View_t {
 public:
  explicit TestView(std::string name) : m_name(std::move(name)) {}
  Wnd_t& GetViewWnd() override { return *this; }
  void OnUpdate(View_t* sender, long hint, void*) override {
    g_log.push_back(m_name + " update " + std::to_string(hint) + (sender == nullptr ? "" : " from view"));
  }

 protected:
  bool OnCommand(unsigned id, unsigned) override {
    if (id != 9101) return false;
    g_log.push_back(m_name + " 9101");
    return true;
  }
  bool OnUpdateCommand(CmdUI_t& ui) override {
    if (ui.GetId() != 9101) return false;
    ui.Enable(m_name == "left");
    return true;
  }

 private:
  std::string m_name;
};

class TestDocument : public Document_t {
 public:
  bool OnCommand(unsigned id, unsigned) override {
    if (id != 9101 && id != 9102) return false;
    g_log.push_back("document " + std::to_string(id));
    return true;
  }
};

class App : public CmdTarget_t {
 public:
  bool OnCommand(unsigned id, unsigned) override {
    g_log.push_back("app " + std::to_string(id));
    return true;
  }
  bool OnUpdateCommand(CmdUI_t& ui) override {
    if (ui.GetId() != 9103) return false;
    ui.SetRadio(metric);
    return true;
  }
  bool metric = true;
};

// The frame rebuilds its second popup each time it opens, as a user menu would.
class TestFrame : public FrameWnd_t {
 public:
  std::vector<std::string> users{"anna", "Bob"};

 protected:
  void OnInitMenuPopup(Menu_t& popup, int index, bool) override {
    if (index != 1) return;
    popup.RemoveAll();
    unsigned id = 0xDFFF;
    for (const std::string& u : users) popup.AppendItem(id--, u);
    if (!users.empty()) popup.AppendSeparator();
    popup.AppendItem(9110, "&Edit users...");
  }
  bool OnUpdateCommand(CmdUI_t& ui) override {
    if (ui.GetId() == 0xDFFF) {
      ui.SetCheck(1);
      return true;
    }
    if (ui.GetId() == 9110) {
      ui.Enable(!users.empty());
      return true;
    }
    return false;
  }
};

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseTestResources();
    if (HasFatalFailure()) return;
    g_log.clear();
    SetAppCmdTarget(&app);
    const RECT r{0, 0, 900, 600};
    ASSERT_TRUE(frame.CreateFrame("Logbook", &r, 9100));
  }
  void TearDown() override {
    SetAppCmdTarget(nullptr);
    SetMenuHook(nullptr);
    SetFileDialogHook(nullptr);
    frame.DestroyWindow();
    PumpUntilIdle();
  }
  App app;
  TestFrame frame;
};

TEST(MenuTemplateTest, ParsesNestedPopupsAndRejectsBadBlocks) {
  std::vector<MenuTemplate> menus;
  int line = 0;
  std::string error;
  ASSERT_TRUE(ParseMenuTemplates("menu 0x80\n popup \"A\"\n  popup \"B\"\n   item 5 \"x\\tCtrl+X\"\n  end\n  separator\n "
                                 "end\nend\ntoolbar 128\n button 5 \"x\"\nend\n",
                                 menus, line, error))
      << error;
  ASSERT_EQ(menus.size(), 2u);
  EXPECT_EQ(menus[0].id, 128u);
  EXPECT_EQ(menus[0].items[0].items[0].items[0].text, "x\tCtrl+X");
  EXPECT_EQ(menus[0].items[0].items[1].kind, MenuTemplateItem::kSeparator);
  EXPECT_TRUE(menus[1].toolbar);
  const struct {
    const char* text;
    int line;
  } bad[] = {
      {"menu 1\n item 0 \"x\"\nend\n", 2},
      {"menu 1\n popup \"x\"\nend\n", 1},
      {"toolbar 1\n popup \"x\"\n end\nend\n", 2},
      {"menu 1\nend\nmenu 1\nend\n", 3},
      {"item 1 \"x\"\n", 1},
  };
  for (const auto& c : bad) {
    std::vector<MenuTemplate> out;
    EXPECT_FALSE(ParseMenuTemplates(c.text, out, line, error)) << c.text;
    EXPECT_EQ(line, c.line) << c.text;
  }
}

// Without a stored place the frame takes three quarters of the work area's
// width and height, centred in it.
TEST(FrameDefaultPlaceTest, ThreeQuartersOfTheWorkAreaCentred) {
  const struct {
    RECT area, expected;
  } cases[] = {
      {{0, 0, 1920, 1080}, {240, 135, 1680, 945}},
      {{0, 32, 1366, 768}, {171, 124, 1195, 676}},      // a panel at the top
      {{1920, 0, 3200, 1024}, {2080, 128, 3040, 896}},  // a second screen on the right
  };
  for (const auto& c : cases) {
    const RECT r = DefaultFrameRect(c.area);
    EXPECT_EQ(std::vector<int>({r.left, r.top, r.right, r.bottom}),
              std::vector<int>({c.expected.left, c.expected.top, c.expected.right, c.expected.bottom}));
  }
  test::UseTestResources();
  TestFrame frame;
  ASSERT_TRUE(frame.CreateFrame("Logbook", nullptr, 0));
  const RECT expected = DefaultFrameRect(GetWorkArea());
  const RECT r = frame.GetWindowRect();
  EXPECT_EQ(std::vector<int>({r.left, r.top, r.right, r.bottom}),
            std::vector<int>({expected.left, expected.top, expected.right, expected.bottom}));
  frame.DestroyWindow();
}

TEST_F(FrameTest, MenuLoadsAndPopupUpdatesRunWhenItOpens) {
  Menu_t& menu = frame.GetMenu();
  ASSERT_EQ(menu.GetMenuItemCount(), 2);
  EXPECT_EQ(menu.GetSubMenu(0)->GetMenuItemID(0), 9101u);
  EXPECT_EQ(menu.GetSubMenu(0)->GetMenuItemID(1), 0u);  // separator
  frame.PrepareMenuPopup(1);
  const Menu_t& users = *menu.GetSubMenu(1);
  ASSERT_EQ(users.GetMenuItemCount(), 4);
  EXPECT_EQ(users.GetMenuItemID(0), 0xDFFFu);
  EXPECT_EQ(users.ItemAt(0)->check, 1);
  EXPECT_EQ(users.ItemAt(1)->check, 0);
  EXPECT_TRUE(users.ItemAt(3)->enabled);
  frame.users.clear();
  frame.PrepareMenuPopup(1);
  ASSERT_EQ(users.GetMenuItemCount(), 1);
  EXPECT_FALSE(users.ItemAt(0)->enabled);  // edit users, disabled without users
}

TEST_F(FrameTest, CommandsGoToTheFocusedViewThenDocumentFrameAndApplication) {
  Splitter_t split;
  ASSERT_TRUE(split.CreateStatic(&frame, 1, 2, kWsChild | kWsVisible, 0xE900));
  TestView left("left"), right("right");
  ASSERT_TRUE(split.CreateView(0, 0, left, 200));
  ASSERT_TRUE(split.CreateView(0, 1, right, 200));
  TestDocument doc;
  doc.AddView(left);
  doc.AddView(right);
  frame.SetActiveView(&right);
  frame.ShowWindow(true);
  PumpUntilIdle();

  right.SetFocus();
  EXPECT_TRUE(frame.RouteCommand(9101));  // the focused view
  EXPECT_TRUE(frame.RouteCommand(9102));  // its document
  EXPECT_TRUE(frame.RouteCommand(9999));  // the application
  left.SetFocus();
  EXPECT_TRUE(frame.RouteCommand(9101));
  EXPECT_EQ(g_log, (std::vector<std::string>{"right 9101", "document 9102", "app 9999", "left 9101"}));

  // The menu's state comes from the same route.
  frame.PrepareMenuPopup(0);
  EXPECT_TRUE(frame.GetMenu().GetSubMenu(0)->ItemAt(0)->enabled);
  right.SetFocus();
  frame.PrepareMenuPopup(0);
  EXPECT_FALSE(frame.GetMenu().GetSubMenu(0)->ItemAt(0)->enabled);

  // Views hear of changes, but the one that made them.
  g_log.clear();
  doc.UpdateAllViews(&left, 7);
  doc.UpdateAllViews(nullptr);
  EXPECT_EQ(g_log, (std::vector<std::string>{"right update 7 from view", "left update 0", "right update 0"}));
}

TEST_F(FrameTest, ToolBarFollowsItsUpdateHandlersAndKeepsItsLayoutAsBytes) {
  ASSERT_TRUE(frame.CreateToolBar(9100, "Toolbar"));
  frame.ShowWindow(true);
  PumpUntilIdle();
  bool enabled = false;
  int check = -1;
  ASSERT_TRUE(frame.GetToolBarButtonState(9103, enabled, check));
  EXPECT_TRUE(enabled);
  EXPECT_EQ(check, 1);
  app.metric = false;
  PumpUntilIdle();
  ASSERT_TRUE(frame.GetToolBarButtonState(9103, enabled, check));
  EXPECT_EQ(check, 0);
  EXPECT_TRUE(frame.ClickToolBarButton(9101));
  EXPECT_EQ(g_log, (std::vector<std::string>{"app 9101"}));

  const std::vector<std::uint8_t> state = frame.SaveBarState();
  EXPECT_FALSE(state.empty());
  EXPECT_TRUE(frame.LoadBarState(state));
  EXPECT_FALSE(frame.LoadBarState({1, 2, 3}));
}

TEST_F(FrameTest, ToolBarButtonsShowTheirPicturesWhereTheModuleHasThem) {
  // Toolbar 9100 has no picture strip: its buttons show their text.
  ASSERT_TRUE(frame.CreateToolBar(9100, "Toolbar"));
  EXPECT_FALSE(frame.ToolBarButtonHasPicture(9101));
  EXPECT_FALSE(frame.ToolBarButtonHasPicture(9103));
  // The program's toolbar has one picture per button.
  TestFrame other;
  const RECT r{0, 0, 600, 300};
  ASSERT_TRUE(other.CreateFrame("Logbook", &r, 9100));
  ASSERT_TRUE(other.CreateToolBar(128, "Toolbar"));
  for (unsigned id : {32782u, 32776u, 57643u, 57644u, 32779u, 57664u}) EXPECT_TRUE(other.ToolBarButtonHasPicture(id)) << id;
  EXPECT_FALSE(other.ToolBarButtonHasPicture(4242));
  other.DestroyWindow();
}

TEST_F(FrameTest, StatusBarPanes) {
  ASSERT_TRUE(frame.CreateStatusBar({kIdSeparator, kIdIndicatorCaps, kIdIndicatorNum, kIdIndicatorScrl}));
  EXPECT_EQ(frame.GetPaneCount(), 4);
  EXPECT_TRUE(frame.SetPaneText(0, "Ready"));
  EXPECT_EQ(frame.GetPaneText(0), "Ready");
  EXPECT_FALSE(frame.SetPaneText(4, "x"));
}

TEST_F(FrameTest, NestedSplittersKeepTheirSizes) {
  Splitter_t outer, rightSplit, lower;
  Wnd_t tree, form, map, profile;
  ASSERT_TRUE(outer.CreateStatic(&frame, 1, 2, kWsChild | kWsVisible, 0xE900));
  ASSERT_TRUE(outer.CreateView(0, 0, tree, 300));
  ASSERT_TRUE(rightSplit.CreateStatic(&outer, 2, 1, kWsChild | kWsVisible | kWsBorder, outer.IdFromRowCol(0, 1)));
  ASSERT_TRUE(rightSplit.CreateView(0, 0, form, 250));
  ASSERT_TRUE(lower.CreateStatic(&rightSplit, 1, 2, kWsChild | kWsVisible | kWsBorder, rightSplit.IdFromRowCol(1, 0)));
  ASSERT_TRUE(lower.CreateView(0, 0, map, 200));
  ASSERT_TRUE(lower.CreateView(0, 1, profile, 200));
  EXPECT_FALSE(Splitter_t().CreateStatic(&frame, 2, 2, kWsChild, 0xE900));  // a grid is not offered
  frame.ShowWindow(true);  // the ideal sizes apply once the splitters have theirs
  PumpUntilIdle();
  EXPECT_EQ(outer.GetPane(0, 1), &rightSplit);
  EXPECT_EQ(rightSplit.GetPane(1, 0), &lower);
  int current = 0, minimum = 0;
  outer.GetColumnInfo(0, current, minimum);
  EXPECT_EQ(current, 300);
  rightSplit.GetRowInfo(0, current, minimum);
  EXPECT_EQ(current, 250);
  lower.GetColumnInfo(0, current, minimum);
  EXPECT_EQ(current, 200);
  // A bigger frame: only the last panes grow.
  frame.MoveWindow(RECT{0, 0, 1000, 700});
  PumpUntilIdle();
  outer.GetColumnInfo(0, current, minimum);
  EXPECT_EQ(current, 300);
  rightSplit.GetRowInfo(0, current, minimum);
  EXPECT_EQ(current, 250);

  outer.SetColumnInfo(0, 220, 0);
  outer.RecalcLayout();
  outer.GetColumnInfo(0, current, minimum);
  EXPECT_EQ(current, 220);
  EXPECT_EQ(tree.GetClientRect().right, 220);
}

TEST_F(FrameTest, ClosingTheMainFrameEndsTheLoop) {
  SetMainWnd(&frame);
  frame.ShowWindow(true);
  ASSERT_TRUE(PostMessage(frame.GetSafeHwnd(), kWmClose));
  EXPECT_EQ(RunMessageLoop(), 0);
  EXPECT_FALSE(frame.HasWindow());
}

TEST_F(FrameTest, PopupMenuFileDialogAndWaitCursorHooks) {
  Menu_t popup;
  popup.AppendItem(9101, "Open");
  popup.AppendItem(9103, "Metric");
  app.metric = true;
  SetMenuHook([](const Menu_t& m) {
    EXPECT_EQ(m.ItemAt(1)->check, 1);  // the update handlers ran first
    EXPECT_TRUE(m.ItemAt(1)->radio);
    return m.GetMenuItemID(1);
  });
  EXPECT_EQ(TrackPopupMenu(popup, &frame, POINT{10, 10}), 9103u);

  SetFileDialogHook([](const FileDialogOptions& o, std::string& path) {
    path = "/tmp/history." + o.defaultExtension;
    return true;
  });
  FileDialogOptions options;
  options.defaultExtension = "xml";
  std::string path;
  EXPECT_TRUE(GetSaveFileName(&frame, options, path));
  EXPECT_EQ(path, "/tmp/history.xml");

  EXPECT_FALSE(IsWaitCursorShown());
  {
    WaitCursor_t wait;
    EXPECT_TRUE(IsWaitCursorShown());
  }
  EXPECT_FALSE(IsWaitCursorShown());
}

}  // namespace
