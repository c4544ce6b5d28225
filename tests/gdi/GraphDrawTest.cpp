// The graph controls' drawing helpers: centred text, the focus frame and the
// paint through a bitmap.
#include <gtest/gtest.h>

#include "gdi/GDI_GraphDraw.h"
#include "plat/PLAT_Gdi.h"

namespace {

using plat::Rgb;

constexpr plat::COLORREF kWhite = Rgb(255, 255, 255);
constexpr plat::COLORREF kBlack = Rgb(0, 0, 0);
constexpr plat::COLORREF kRed = Rgb(255, 0, 0);

// A memory context over a white bitmap.
struct Canvas {
  Canvas(int w, int h) {
    EXPECT_TRUE(dc.CreateCompatibleDC(nullptr));
    EXPECT_TRUE(bitmap.CreateCompatibleBitmap(dc, w, h));
    dc.SelectObject(bitmap);
    dc.FillSolidRect(plat::RECT{0, 0, w, h}, kWhite);
  }
  plat::COLORREF At(int x, int y) const { return dc.GetPixel(x, y) & 0xFFFFFF; }
  plat::Dc_t dc;
  plat::Bitmap_t bitmap;
};

TEST(GraphDraw, CentredTextKeepsTheAlignment) {
  Canvas c(100, 40);
  c.dc.SelectStockObject(plat::kDefaultGuiFont);
  c.dc.SetBkMode(plat::kOpaque);
  c.dc.SetBkColor(kRed);  // the text cell shows where the text went
  c.dc.SetTextAlign(plat::kTaRight | plat::kTaBottom);
  plat::SIZE size{0, 0};
  ASSERT_TRUE(c.dc.GetTextExtentPoint32("Wx", size));
  gdi::DrawCentredText(c.dc, plat::RECT{10, 4, 90, 36}, "Wx");
  const int left = (100 - size.cx) / 2, top = (40 - size.cy) / 2;
  EXPECT_EQ(kRed, c.At(left, top));
  EXPECT_EQ(kRed, c.At(left + size.cx - 1, top + size.cy - 1));
  EXPECT_EQ(kWhite, c.At(left - 1, top));
  EXPECT_EQ(kWhite, c.At(left + size.cx, top + size.cy - 1));
  EXPECT_EQ(plat::kTaRight | plat::kTaBottom, c.dc.SetTextAlign(plat::kTaLeft | plat::kTaTop));
}

TEST(GraphDraw, FocusFrameDotsEveryOtherPixelOfTheEdges) {
  Canvas c(12, 10);
  gdi::DrawFocusFrame(c.dc, plat::RECT{2, 1, 9, 7});  // right and bottom edges excluded
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool edge = (x == 2 || x == 8) && y >= 1 && y <= 6 ? true : (y == 1 || y == 6) && x >= 2 && x <= 8;
      EXPECT_EQ(edge && (x + y) % 2 == 0 ? kBlack : kWhite, c.At(x, y)) << x << "," << y;
    }
  Canvas empty(4, 4);
  gdi::DrawFocusFrame(empty.dc, plat::RECT{2, 2, 2, 3});
  EXPECT_EQ(kWhite, empty.At(2, 2));
}

TEST(GraphDraw, BufferedPaintCopiesTheClientArea) {
  Canvas c(20, 10);
  gdi::PaintBuffered(c.dc, 15, 8, [](plat::Dc_t& memory) {
    memory.FillSolidRect(plat::RECT{0, 0, 15, 8}, kBlack);
    memory.SetPixel(3, 2, kRed);
  });
  EXPECT_EQ(kRed, c.At(3, 2));
  EXPECT_EQ(kBlack, c.At(14, 7));
  EXPECT_EQ(kWhite, c.At(15, 7));
  EXPECT_EQ(kWhite, c.At(14, 8));
}

}  // namespace
