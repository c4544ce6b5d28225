// The rich edit control, a control's own background and the picture of a
// window: paragraphs keep their alignment and face as text is appended; the
// list view measures texts and the height its rows need.
#include <gtest/gtest.h>

#include "plat/PLAT_ControlColour.h"
#include "plat/PLAT_Dc.h"
#include "plat/PLAT_DialogTemplate.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_List.h"
#include "plat/PLAT_RichEdit.h"
#include "plat/PLAT_Static.h"
#include "plat/PLAT_WindowImage.h"

namespace {

using namespace plat;

class RichEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(EnsureGuiApplication());
    ASSERT_TRUE(m_host.Create(nullptr, 0, kWsPopup | kWsVisible, RECT{0, 0, 300, 200}));
  }
  Wnd_t m_host;
};

TEST_F(RichEditTest, AppendedParagraphsKeepTheirAlignmentAndFace) {
  RichEditCtrl_t edit;
  ASSERT_TRUE(edit.Create(&m_host, 7, kWsChild | kWsVisible | kEsReadOnly, RECT{0, 0, 200, 100}));
  EXPECT_EQ(edit.GetParagraphCount(), 1);
  EXPECT_EQ(edit.GetTextLength(), 0);
  edit.AppendText("one\r\ntwo\r\n", kPfaCenter, "Courier New");
  // The empty paragraph after the last break belongs to the text and continues with the next.
  edit.AppendText("three", kPfaRight, "");
  edit.AppendText("\nfour", kPfaLeft, "DejaVu Sans");
  EXPECT_EQ(edit.GetWindowText(), "one\r\ntwo\r\nthree\r\nfour");
  EXPECT_EQ(edit.GetTextLength(), 21);
  ASSERT_EQ(edit.GetParagraphCount(), 4);
  const struct {
    const char* text;
    int alignment;
    const char* face;
  } want[] = {{"one", kPfaCenter, "Courier New"},
              {"two", kPfaCenter, "Courier New"},
              {"three", kPfaLeft, "Courier New"},  // its paragraph was touched last by "\nfour"
              {"four", kPfaLeft, "DejaVu Sans"}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(edit.GetParagraphText(i), want[i].text) << i;
    EXPECT_EQ(edit.GetParagraphAlignment(i), want[i].alignment) << i;
    EXPECT_EQ(edit.GetParagraphFace(i), want[i].face) << i;
  }
  EXPECT_EQ(edit.GetParagraphAlignment(9), 0);
}

TEST_F(RichEditTest, TemplatesKnowTheKind) {
  std::vector<DialogTemplate> dialogs;
  int line = 0;
  std::string error;
  ASSERT_TRUE(ParseDialogTemplates("dialog 9 100 50 \"T\"\n  richedit 5 1 1 90 40 \"\" readonly vscroll\nend\n",
                                   dialogs, line, error))
      << error;
  EXPECT_EQ(dialogs[0].items[0].kind, "richedit");
  EXPECT_TRUE(dialogs[0].items[0].style & kEsReadOnly);
}

TEST_F(RichEditTest, ControlBackgroundShowsInTheWindowPicture) {
  Static_t label;
  ASSERT_TRUE(label.Create(&m_host, 3, kWsChild | kWsVisible, RECT{10, 10, 110, 40}, ""));
  const auto whiteAt = [&](int x, int y) {
    Bitmap_t picture;
    EXPECT_TRUE(GrabWindowImage(m_host, picture));
    Dc_t dc;
    EXPECT_TRUE(dc.CreateCompatibleDC(nullptr));
    dc.SelectObject(picture);
    return (dc.GetPixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
  };
  EXPECT_FALSE(whiteAt(50, 25));
  ASSERT_TRUE(SetControlBackground(label, Rgb(255, 255, 255)));
  EXPECT_TRUE(whiteAt(50, 25));
  EXPECT_FALSE(whiteAt(150, 25));
  ASSERT_TRUE(SetControlBackground(label, kClrInvalid));
  EXPECT_FALSE(whiteAt(50, 25));
  Wnd_t none;
  EXPECT_FALSE(SetControlBackground(none, 0));
  Bitmap_t picture;
  EXPECT_FALSE(GrabWindowImage(none, picture));
}

TEST_F(RichEditTest, ListViewMeasuresTextsAndRows) {
  ListCtrl_t list;
  ASSERT_TRUE(list.Create(&m_host, 4, kWsChild | kWsVisible, RECT{0, 0, 200, 150}));
  EXPECT_GT(list.GetStringWidth("XXXX"), list.GetStringWidth("XX"));
  EXPECT_EQ(list.GetStringWidth(""), 0);
  list.InsertColumn(0, "Name", kLvcfmtLeft, 80);
  list.InsertColumn(1, "Value", kLvcfmtLeft, 80);
  EXPECT_GT(list.GetRowAreaWidth(), 150);
  EXPECT_LT(list.GetRowAreaWidth(), 200);
  const int empty = list.GetNeededHeight();
  EXPECT_GT(empty, 0);
  list.InsertItem(0, "a");
  const int one = list.GetNeededHeight();
  list.InsertItem(1, "b");
  const int two = list.GetNeededHeight();
  EXPECT_GT(one, empty);
  EXPECT_EQ(two - one, one - empty);
}

}  // namespace
