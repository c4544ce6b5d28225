// Rounded rectangles and text drawn into a rectangle with word breaks.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "plat/PLAT_Gdi.h"
#include "plat/PLAT_Gui.h"
#include "tests/plat/DcCanvas.h"

namespace {

using namespace plat;
using namespace plattest;

// The text font of these tests: one installed face at a fixed cell height.
void SelectTestFont(Dc_t& dc, Font_t& font) {
  LOGFONTA lf{};
  lf.lfHeight = -13;
  lf.lfWeight = 400;
  std::strcpy(lf.lfFaceName, "DejaVu Sans");
  ASSERT_TRUE(font.CreateFontIndirect(lf));
  dc.SelectObject(font);
}

int Width(Dc_t& dc, const std::string& text) {
  SIZE size{0, 0};
  dc.GetTextExtentPoint32(text, size);
  return size.cx;
}

TEST(DcRoundRect, CornersAreCutAndTheInsideIsFilled) {
  ASSERT_TRUE(EnsureGuiApplication());
  Canvas c(30, 20);
  Brush_t red;
  ASSERT_TRUE(red.CreateSolidBrush(kRed));
  c.dc.SelectStockObject(kBlackPen);
  c.dc.SelectObject(red);
  ASSERT_TRUE(c.dc.RoundRect(2, 2, 22, 12, 3, 3));
  // The outline runs along the outermost pixels, right and bottom excluded.
  EXPECT_EQ(c.At(12, 2), kBlack);
  EXPECT_EQ(c.At(12, 11), kBlack);
  EXPECT_EQ(c.At(2, 7), kBlack);
  EXPECT_EQ(c.At(21, 7), kBlack);
  EXPECT_EQ(c.At(12, 7), kRed);
  EXPECT_EQ(c.At(12, 12), kWhite);
  EXPECT_EQ(c.At(22, 7), kWhite);
  // The corner pixels themselves stay as they were.
  EXPECT_EQ(c.At(2, 2), kWhite);
  EXPECT_EQ(c.At(21, 2), kWhite);
  EXPECT_EQ(c.At(2, 11), kWhite);
  EXPECT_EQ(c.At(21, 11), kWhite);
}

TEST(DcRoundRect, WithoutCornersItIsARectangle) {
  ASSERT_TRUE(EnsureGuiApplication());
  Canvas a(20, 20), b(20, 20);
  for (Canvas* c : {&a, &b}) {
    c->dc.SelectStockObject(kBlackPen);
    c->dc.SelectStockObject(kGrayBrush);
  }
  a.dc.RoundRect(3, 4, 15, 13, 0, 0);
  b.dc.Rectangle(3, 4, 15, 13);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(a.At(x, y), b.At(x, y)) << x << "," << y;
}

TEST(DcDrawText, WordBreakMeasuresAndDrawsLineByLine) {
  ASSERT_TRUE(EnsureGuiApplication());
  Canvas c(300, 120);
  Font_t font;
  SelectTestFont(c.dc, font);
  TEXTMETRICA tm{};
  ASSERT_TRUE(c.dc.GetTextMetrics(tm));
  const int h = tm.tmHeight;
  const int twoWords = Width(c.dc, "alpha beta");
  struct Case {
    const char* text;
    int width;
    unsigned format;
    int lines;
  };
  const Case cases[] = {
      {"alpha beta gamma", twoWords, kDtWordBreak, 2},   // breaks before the word that passes the edge
      {"alpha beta gamma", twoWords - 1, kDtWordBreak, 3},
      {"alpha beta gamma", twoWords, 0, 1},               // no word breaks without the flag
      {"alpha\nbeta", 300, 0, 2},                         // line feeds end lines
      {"alpha\r\nbeta\n\ngamma", 300, kDtWordBreak, 4},   // an empty line counts
      {"", 300, kDtWordBreak, 0},
  };
  for (const Case& k : cases) {
    RECT r{10, 20, 10 + k.width, 21};
    EXPECT_EQ(c.dc.DrawText(k.text, r, k.format | kDtCalcRect), k.lines * h) << k.text;
    EXPECT_EQ(r.bottom, 20 + k.lines * h) << k.text;
  }
  // Measuring widens the rectangle to a word too wide for it; without word
  // breaks the right edge is the line's end.
  RECT narrow{0, 0, 10, 0};
  c.dc.DrawText("alpha", narrow, kDtWordBreak | kDtCalcRect);
  EXPECT_EQ(narrow.right, Width(c.dc, "alpha"));
  RECT wide{0, 0, 200, 0};
  c.dc.DrawText("alpha", wide, kDtWordBreak | kDtCalcRect);
  EXPECT_EQ(wide.right, 200);
  c.dc.DrawText("alpha", wide, kDtCalcRect);
  EXPECT_EQ(wide.right, Width(c.dc, "alpha"));
  EXPECT_FALSE(c.Inked(0, 0, 300, 120));  // measuring draws nothing

  // Drawn in opaque mode: each line's cell on the background colour, the
  // second line one line height below the first.
  c.dc.SetBkMode(kOpaque);
  c.dc.SetBkColor(kBlue);
  c.dc.SetTextColor(kBlack);
  RECT box{10, 20, 10 + twoWords, 20 + 2 * h};
  EXPECT_EQ(c.dc.DrawText("alpha beta gamma", box, kDtWordBreak), 2 * h);
  EXPECT_EQ(c.At(10, 20), kBlue);
  EXPECT_EQ(c.At(10, 20 + h), kBlue);
  EXPECT_EQ(c.At(10 + Width(c.dc, "gamma") + 1, 20 + h), kWhite);
  EXPECT_FALSE(c.Inked(0, 20 + 2 * h, 300, 120));
}

TEST(DcDrawText, ClippedToTheRectangleUnlessAskedNotTo) {
  ASSERT_TRUE(EnsureGuiApplication());
  Canvas c(200, 80);
  Font_t font;
  SelectTestFont(c.dc, font);
  TEXTMETRICA tm{};
  c.dc.GetTextMetrics(tm);
  c.dc.SetBkMode(kOpaque);
  c.dc.SetBkColor(kBlue);
  // Two lines into a rectangle one line high: the second is cut away.
  RECT r{5, 5, 150, 5 + tm.tmHeight};
  c.dc.DrawText("one\ntwo", r, 0);
  EXPECT_TRUE(c.Inked(5, 5, 150, 5 + tm.tmHeight));
  EXPECT_FALSE(c.Inked(0, 5 + tm.tmHeight, 200, 80));
  c.dc.DrawText("one\ntwo", r, kDtNoClip);
  EXPECT_EQ(c.At(5, 5 + tm.tmHeight), kBlue);
  // Centred and right-aligned lines.
  Canvas d(200, 40);
  Font_t f2;
  SelectTestFont(d.dc, f2);
  d.dc.SetBkMode(kOpaque);
  d.dc.SetBkColor(kBlue);
  const int w = Width(d.dc, "mid");
  RECT centre{0, 0, 100, 20};
  d.dc.DrawText("mid", centre, kDtCenter);
  EXPECT_EQ(d.At((100 - w) / 2, 1), kBlue);
  EXPECT_EQ(d.At((100 - w) / 2 - 1, 1), kWhite);
  RECT right{0, 20, 100, 40};
  d.dc.DrawText("mid", right, kDtRight);
  EXPECT_EQ(d.At(99, 21), kBlue);
  EXPECT_EQ(d.At(100 - w - 1, 21), kWhite);
}

}  // namespace
