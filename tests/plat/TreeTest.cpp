// The tree control: items inserted with their children at once are the items
// that inserting them one by one makes, and stay open to changes item by item.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "plat/PLAT_Gui.h"
#include "plat/PLAT_Static.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Tree.h"
#include "tests/common/TestEnv.h"

namespace {

using namespace plat;

// Pictures told apart by their digit.
std::vector<std::string> Pictures(int count) {
  std::vector<std::string> pictures;
  Wnd_t host;
  EXPECT_TRUE(host.Create(nullptr, 0, kWsPopup, RECT{0, 0, 16, 16}));
  for (int i = 0; i < count; ++i) {
    Static_t label;
    EXPECT_TRUE(label.Create(&host, 1, kWsChild | kWsVisible, RECT{0, 0, 16, 16}, std::to_string(i)));
    const std::string path = test::Home() + "/picture.png";
    EXPECT_TRUE(label.SaveImage(path));
    pictures.push_back(test::ReadFile(path));
  }
  return pictures;
}

class TreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(EnsureGuiApplication());
    ASSERT_TRUE(m_host.Create(nullptr, 0, kWsPopup | kWsVisible, RECT{0, 0, 440, 300}));
    ASSERT_TRUE(m_one.Create(&m_host, 1, kWsChild | kWsVisible, RECT{0, 0, 220, 300}));
    ASSERT_TRUE(m_all.Create(&m_host, 2, kWsChild | kWsVisible, RECT{220, 0, 440, 300}));
    const std::vector<std::string> pictures = Pictures(4);
    ASSERT_TRUE(m_one.SetImages(pictures));
    ASSERT_TRUE(m_all.SetImages(pictures));
  }

  // Every item depth first as "level:text:data", every item with children
  // expanded.
  static std::vector<std::string> Items(TreeCtrl_t& tree) {
    std::vector<std::string> items;
    std::function<void(HTREEITEM, int)> walk = [&](HTREEITEM item, int level) {
      for (; item; item = tree.GetNextSiblingItem(item)) {
        items.push_back(std::to_string(level) + ":" + tree.GetItemText(item) + ":" +
                        std::to_string(tree.GetItemData(item)));
        if (tree.ItemHasChildren(item)) tree.Expand(item, true);
        walk(tree.GetChildItem(item), level + 1);
      }
    };
    walk(tree.GetRootItem(), 0);
    return items;
  }
  static std::string Picture(TreeCtrl_t& tree, const char* name) {
    const std::string path = test::Home() + "/" + name + ".png";
    EXPECT_TRUE(tree.SaveImage(path));
    return test::ReadFile(path);
  }

  Wnd_t m_host;
  TreeCtrl_t m_one;  // filled item by item
  TreeCtrl_t m_all;  // filled a subtree at a time
};

TEST_F(TreeTest, ItemsInsertedAtOnceMatchItemsInsertedOneByOne) {
  // A root, a week placed first, a week with a run of two laps placed after
  // it, and an item whose picture is not one of the tree's (none shows).
  const auto add = [&](const std::string& text, HTREEITEM parent, HTREEITEM after, int image, std::uintptr_t data) {
    const HTREEITEM item = m_one.InsertItem(text, parent, after);
    EXPECT_NE(item, 0u);
    EXPECT_EQ(m_one.SetItemImage(item, image), image < 4);
    if (data) {
      EXPECT_TRUE(m_one.SetItemData(item, data));
    }
    return item;
  };
  const HTREEITEM root = add("History", kTviRoot, kTviLast, 0, 0);
  const HTREEITEM older = add("Week 1", root, kTviLast, 1, 0);
  add("Run 1", older, kTviLast, 2, 11);
  add("Week 0", root, kTviFirst, 1, 0);
  const HTREEITEM week = add("Week 2", root, older, 1, 0);
  const HTREEITEM run = add("Run 2", week, kTviLast, 2, 22);
  add("Lap 1", run, kTviLast, 3, 0);
  add("Lap 2", run, kTviLast, 3, 0);
  add("Odd", root, kTviLast, 7, 33);

  const HTREEITEM top = m_all.InsertItemTree({"History", 0, 0, {}});
  const HTREEITEM first = m_all.InsertItemTree({"Week 1", 1, 0, {{"Run 1", 2, 11, {}}}}, top);
  EXPECT_NE(m_all.InsertItemTree({"Week 0", 1, 0, {}}, top, kTviFirst), 0u);
  EXPECT_NE(m_all.InsertItemTree({"Week 2", 1, 0, {{"Run 2", 2, 22, {{"Lap 1", 3, 0, {}}, {"Lap 2", 3, 0, {}}}}}},
                                 top, first),
            0u);
  EXPECT_NE(m_all.InsertItemTree({"Odd", 7, 33, {}}, top), 0u);

  const std::vector<std::string> items = Items(m_one);
  EXPECT_EQ(items, (std::vector<std::string>{"0:History:0", "1:Week 0:0", "1:Week 1:0", "2:Run 1:11", "1:Week 2:0",
                                             "2:Run 2:22", "3:Lap 1:0", "3:Lap 2:0", "1:Odd:33"}));
  EXPECT_EQ(Items(m_all), items);
  EXPECT_EQ(m_all.GetCount(), m_one.GetCount());
  // The same texts and pictures on the screen, and a changed picture shows.
  const std::string picture = Picture(m_one, "one");
  EXPECT_TRUE(Picture(m_all, "all") == picture);
  EXPECT_TRUE(m_one.SetItemImage(run, 0));
  EXPECT_FALSE(Picture(m_one, "changed") == picture);
}

TEST_F(TreeTest, ItemsInsertedAtOnceAreRefusedAsOneAndChangeItemByItem) {
  const HTREEITEM root = m_all.InsertItemTree({"History", 0, 0, {}});
  const HTREEITEM week = m_all.InsertItemTree({"Week", 1, 0, {{"Run", 2, 5, {{"Lap 1", 3, 0, {}}}}}}, root);
  const HTREEITEM other = m_one.InsertItem("Elsewhere");
  // Not a parent or a place of this tree: nothing is inserted.
  EXPECT_EQ(m_all.InsertItemTree({"Lost", 1, 0, {}}, other), 0u);
  EXPECT_EQ(m_all.InsertItemTree({"Lost", 1, 0, {}}, root, other), 0u);
  EXPECT_EQ(m_all.InsertItemTree({"Lost", 1, 0, {}}, week, root), 0u);
  EXPECT_EQ(m_all.GetCount(), 4);

  const HTREEITEM run = m_all.GetChildItem(week);
  EXPECT_EQ(m_all.GetParentItem(m_all.GetChildItem(run)), run);
  EXPECT_TRUE(m_all.SetItemText(run, "Run A"));
  EXPECT_NE(m_all.InsertItem("Lap 2", run), 0u);
  EXPECT_TRUE(m_all.DeleteItem(m_all.GetChildItem(run)));
  EXPECT_TRUE(m_all.SelectItem(run));
  EXPECT_EQ(m_all.GetSelectedItem(), run);
  EXPECT_EQ(Items(m_all), (std::vector<std::string>{"0:History:0", "1:Week:0", "2:Run A:5", "3:Lap 2:0"}));

  // Pictures given again serve the items that follow; a tree without pictures
  // shows none.
  EXPECT_TRUE(m_all.SetImages(Pictures(1)));
  EXPECT_FALSE(m_all.SetItemImage(run, 2));
  EXPECT_TRUE(m_all.SetItemImage(run, 0));
  TreeCtrl_t bare;
  ASSERT_TRUE(bare.Create(&m_host, 3, kWsChild, RECT{0, 0, 100, 100}));
  EXPECT_FALSE(bare.SetItemImage(bare.InsertItem("Item"), 0));
}

// A label is never cut while the tree could show it: in a pane too narrow for
// it the tree scrolls sideways, and the whole text is drawn.
TEST_F(TreeTest, LabelsAreDrawnWholeAndScrollSidewaysInANarrowPane) {
  const std::string week = "31 May 2026 - 6 Jun 2026";
  const HTREEITEM root = m_one.InsertItem("History - a user with a long name");
  const HTREEITEM item = m_one.InsertItem(week, root);
  ASSERT_TRUE(m_one.SetItemImage(root, 0) && m_one.SetItemImage(item, 1));
  m_one.Expand(root, true);
  Dc_t dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  for (const int width : {400, 220, 120}) {
    SCOPED_TRACE(width);
    m_one.MoveWindow(0, 0, width, 300);
    PumpUntilIdle();
    RECT text{};
    ASSERT_TRUE(m_one.GetItemRect(item, text, true));
    RECT row{};
    ASSERT_TRUE(m_one.GetItemRect(item, row, false));
    // Drawn whole: the text's room is at least what the text needs.
    SIZE needed{0, 0};
    dc.SelectObject(m_one.GetFont());
    dc.GetTextExtentPoint32(week, needed);
    EXPECT_GE(text.right - text.left + 2, needed.cx);
    Picture(m_one, ("tree-" + std::to_string(width)).c_str());
  }
}

}  // namespace
