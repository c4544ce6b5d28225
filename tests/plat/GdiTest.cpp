// The drawing layer: GDI's object model and pixel rules on top of Qt.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_Gdi.h"
#include "tests/plat/DcCanvas.h"

namespace {

using namespace plat;
using namespace plattest;

void ExpectRect(const RECT& r, int l, int t, int rr, int b) {
  EXPECT_EQ(r.left, l);
  EXPECT_EQ(r.top, t);
  EXPECT_EQ(r.right, rr);
  EXPECT_EQ(r.bottom, b);
}

TEST(GdiLayout, LogFontAndHeadersKeepTheirLayout) {
  EXPECT_EQ(sizeof(LOGFONTA), 60u);
  EXPECT_EQ(offsetof(LOGFONTA, lfItalic), 20u);
  EXPECT_EQ(offsetof(LOGFONTA, lfFaceName), 28u);
  EXPECT_EQ(sizeof(BITMAPINFOHEADER), 40u);
  EXPECT_EQ(Rgb(1, 2, 3), 0x030201u);
}

TEST(GdiSelect, SelectionReturnsTheReplacedObject) {
  Canvas c(4, 4);
  EXPECT_EQ(c.original.Kind(), GdiKind::Bitmap);
  EXPECT_TRUE(c.original.IsStock());
  Pen_t red, blue;
  ASSERT_TRUE(red.CreatePen(kPsSolid, 1, kRed));
  ASSERT_TRUE(blue.CreatePen(kPsSolid, 1, kBlue));
  EXPECT_EQ(c.dc.SelectObject(red), GetStockObject(kBlackPen));
  EXPECT_EQ(c.dc.SelectObject(blue), red.GetSafeHandle());
  EXPECT_EQ(c.dc.SelectStockObject(kNullBrush), GetStockObject(kWhiteBrush));
  EXPECT_EQ(c.dc.GetCurrentObject(GdiKind::Pen), blue.GetSafeHandle());
  // A null handle is refused with the last error set.
  SetLastError(0);
  EXPECT_TRUE(c.dc.SelectObject(GdiHandle_t()).IsNull());
  EXPECT_EQ(GetLastError(), static_cast<unsigned long>(kErrorInvalidHandle));
  EXPECT_TRUE(GetStockObject(9).IsNull());
  EXPECT_EQ(GetStockObject(kBlackPen), GetStockObject(kBlackPen));
}

TEST(GdiSelect, DeletingASelectedObjectLeavesTheContextDrawing) {
  Canvas c(10, 4);
  {
    Pen_t pen;
    ASSERT_TRUE(pen.CreatePen(kPsSolid, 1, kRed));
    c.dc.SelectObject(pen);
  }
  c.dc.MoveTo(0, 1);
  EXPECT_TRUE(c.dc.LineTo(9, 1));
  EXPECT_EQ(c.At(3, 1), kRed);
}

TEST(GdiPixels, RectangleExcludesRightAndBottomEdges) {
  Canvas c(20, 20);
  Brush_t brush;
  ASSERT_TRUE(brush.CreateSolidBrush(kBlue));
  c.dc.SelectObject(brush);
  ASSERT_TRUE(c.dc.Rectangle(2, 3, 12, 9));
  ExpectRect(c.Ink(), 2, 3, 12, 9);
  EXPECT_EQ(c.At(2, 3), kBlack);
  EXPECT_EQ(c.At(11, 8), kBlack);
  EXPECT_EQ(c.At(3, 4), kBlue);
  EXPECT_EQ(c.At(10, 7), kBlue);
  // Without a pen the fill is one pixel smaller each way.
  c.Clear();
  c.dc.SelectStockObject(kNullPen);
  c.dc.Rectangle(2, 3, 12, 9);
  ExpectRect(c.Ink(), 2, 3, 11, 8);
  // FillRect covers exactly left..right-1, top..bottom-1.
  c.Clear();
  ASSERT_TRUE(c.dc.FillRect(RECT{5, 5, 8, 7}, brush.GetSafeHandle()));
  ExpectRect(c.Ink(), 5, 5, 8, 7);
  EXPECT_EQ(c.Count(kBlue), 6);
}

TEST(GdiPixels, EllipseFitsInsideItsExclusiveBox) {
  Canvas c(30, 30);
  c.dc.SelectStockObject(kNullBrush);
  ASSERT_TRUE(c.dc.Ellipse(4, 5, 24, 17));
  ExpectRect(c.Ink(), 4, 5, 24, 17);
  EXPECT_EQ(c.At(4, 5), kWhite);    // corners stay outside
  EXPECT_EQ(c.At(14, 11), kWhite);  // null brush: hollow
}

TEST(GdiPixels, LinesLeaveOutTheirLastPoint) {
  Canvas c(20, 20);
  c.dc.MoveTo(2, 2);
  ASSERT_TRUE(c.dc.LineTo(12, 2));
  ExpectRect(c.Ink(), 2, 2, 12, 3);
  c.Clear();
  c.dc.MoveTo(5, 15);
  c.dc.LineTo(5, 4);
  ExpectRect(c.Ink(), 5, 5, 6, 16);
  // Every direction leaves out the last point and keeps the first.
  const struct { int x0, y0, x1, y1; RECT ink; } lines[] = {
      {12, 7, 2, 7, {3, 7, 13, 8}}, {4, 2, 4, 12, {4, 2, 5, 12}},
      {2, 2, 8, 8, {2, 2, 8, 8}},   {8, 8, 2, 2, {3, 3, 9, 9}},
  };
  for (const auto& l : lines) {
    c.Clear();
    c.dc.MoveTo(l.x0, l.y0);
    c.dc.LineTo(l.x1, l.y1);
    ExpectRect(c.Ink(), l.ink.left, l.ink.top, l.ink.right, l.ink.bottom);
    EXPECT_EQ(c.At(l.x0, l.y0), kBlack);
    EXPECT_EQ(c.At(l.x1, l.y1), kWhite);
  }
  // A polyline draws every vertex but the last.
  c.Clear();
  const POINT pts[] = {{1, 1}, {10, 1}, {10, 10}};
  ASSERT_TRUE(c.dc.Polyline(pts, 3));
  EXPECT_EQ(c.At(10, 1), kBlack);
  EXPECT_EQ(c.At(10, 9), kBlack);
  EXPECT_EQ(c.At(10, 10), kWhite);
  EXPECT_EQ(c.Count(kBlack), 18);
  POINT pos{};
  c.dc.MoveTo(0, 0, &pos);
  EXPECT_EQ(pos.x, 2);
  EXPECT_EQ(pos.y, 2);
}

TEST(GdiPixels, WidePensHaveRoundEndsCentredOnTheLine) {
  Canvas c(40, 20);
  Pen_t pen;
  ASSERT_TRUE(pen.CreatePen(kPsSolid, 5, kRed));
  c.dc.SelectObject(pen);
  c.dc.MoveTo(10, 10);
  c.dc.LineTo(30, 10);
  // Five rows centred on y = 10; the ends reach two pixels beyond the points.
  ExpectRect(c.Ink(), 8, 8, 33, 13);
  EXPECT_EQ(c.At(32, 10), kRed);
  EXPECT_EQ(c.At(32, 8), kWhite);  // round, not square
  EXPECT_EQ(c.At(20, 8), kRed);
  EXPECT_EQ(c.At(20, 12), kRed);
  // Broken styles are drawn solid above one pixel.
  Pen_t wideDot;
  ASSERT_TRUE(wideDot.CreatePen(kPsDot, 3, kBlue));
  c.Clear();
  c.dc.SelectObject(wideDot);
  c.dc.MoveTo(2, 3);
  c.dc.LineTo(30, 3);
  for (int x = 2; x <= 30; ++x) EXPECT_EQ(c.At(x, 3), kBlue) << x;
}

TEST(GdiPixels, DottedPenGapsTakeTheBackgroundInOpaqueMode) {
  Canvas c(30, 6);
  Pen_t dot;
  ASSERT_TRUE(dot.CreatePen(kPsDot, 1, kBlack));
  c.dc.SelectObject(dot);
  c.dc.SetBkColor(kRed);
  EXPECT_EQ(c.dc.GetBkMode(), kOpaque);
  c.dc.MoveTo(0, 1);
  c.dc.LineTo(24, 1);
  EXPECT_EQ(c.dc.SetBkMode(kTransparent), kOpaque);
  c.dc.MoveTo(0, 3);
  c.dc.LineTo(24, 3);
  for (int x = 0; x < 24; ++x) {
    const bool on = (x / 3) % 2 == 0;
    EXPECT_EQ(c.At(x, 1), on ? kBlack : kRed) << x;
    EXPECT_EQ(c.At(x, 3), on ? kBlack : kWhite) << x;
  }
  EXPECT_EQ(c.At(24, 1), kWhite);
  EXPECT_EQ(c.dc.SetBkMode(7), 0);
}

TEST(GdiPixels, PolygonFillsInsideItsOutline) {
  Canvas c(20, 20);
  Brush_t brush;
  brush.CreateSolidBrush(kBlue);
  c.dc.SelectObject(brush);
  const POINT square[] = {{2, 2}, {12, 2}, {12, 12}, {2, 12}};
  ASSERT_TRUE(c.dc.Polygon(square, 4));
  ExpectRect(c.Ink(), 2, 2, 13, 13);
  EXPECT_EQ(c.At(12, 12), kBlack);
  EXPECT_EQ(c.At(7, 7), kBlue);
}

TEST(GdiClip, ClipRegionGetSetIntersectExclude) {
  Canvas c(20, 20);
  Region_t saved;
  ASSERT_TRUE(saved.CreateRectRgn(0, 0, 0, 0));
  EXPECT_FALSE(c.dc.HasClipRgn());
  EXPECT_EQ(c.dc.GetClipRgn(saved), 0);
  EXPECT_EQ(c.dc.IntersectClipRect(5, 5, 10, 10), kSimpleRegion);
  EXPECT_EQ(c.dc.GetClipRgn(saved), 1);
  RECT box{};
  EXPECT_EQ(saved.GetRgnBox(box), kSimpleRegion);
  ExpectRect(box, 5, 5, 10, 10);
  EXPECT_EQ(c.dc.ExcludeClipRect(7, 5, 8, 10), kComplexRegion);
  c.dc.FillSolidRect(RECT{0, 0, 20, 20}, kBlue);
  EXPECT_EQ(c.At(7, 6), kClrInvalid);  // outside the clip region
  EXPECT_EQ(c.dc.SelectClipRgn(GdiHandle_t()), kSimpleRegion);
  EXPECT_EQ(c.Count(kBlue), 20);
  EXPECT_EQ(c.At(7, 6), kWhite);
  EXPECT_FALSE(c.dc.HasClipRgn());
  EXPECT_EQ(c.dc.GetClipRgn(saved), 0);
  // Exclusion without a clip region starts from the whole surface.
  c.Clear();
  c.dc.ExcludeClipRect(0, 0, 10, 20);
  c.dc.FillSolidRect(RECT{0, 0, 20, 20}, kBlue);
  EXPECT_EQ(c.Count(kBlue), 200);
  // Selecting a region clips to a copy of it.
  Region_t ellipse;
  ellipse.CreateEllipticRgn(0, 0, 20, 20);
  c.Clear();
  c.dc.SelectClipRgn(ellipse.GetSafeHandle());
  ellipse.CombineRgn(ellipse.GetSafeHandle(), GdiHandle_t(), kRgnCopy);
  c.dc.FillSolidRect(RECT{0, 0, 20, 20}, kBlue);
  c.dc.SelectClipRgn(GdiHandle_t());
  EXPECT_EQ(c.At(0, 0), kWhite);
  EXPECT_EQ(c.At(10, 10), kBlue);
}

TEST(GdiRegion, KindsBoxesAndCombinations) {
  Region_t r, a, b;
  ASSERT_TRUE(r.CreateRectRgn(0, 0, 0, 0));
  RECT box{1, 1, 1, 1};
  EXPECT_EQ(r.GetRgnBox(box), kNullRegion);
  ExpectRect(box, 0, 0, 0, 0);
  a.CreateRectRgn(0, 0, 10, 10);
  b.CreateRectRgn(20, 0, 30, 10);
  EXPECT_EQ(r.CombineRgn(r.GetSafeHandle(), a.GetSafeHandle(), kRgnOr), kSimpleRegion);
  EXPECT_EQ(r.CombineRgn(r.GetSafeHandle(), b.GetSafeHandle(), kRgnOr), kComplexRegion);
  EXPECT_EQ(r.GetRgnBox(box), kComplexRegion);
  ExpectRect(box, 0, 0, 30, 10);
  EXPECT_TRUE(r.PtInRegion(9, 9));
  EXPECT_FALSE(r.PtInRegion(10, 5));
  EXPECT_EQ(r.CombineRgn(r.GetSafeHandle(), a.GetSafeHandle(), kRgnDiff), kSimpleRegion);
  EXPECT_TRUE(r.EqualRgn(b.GetSafeHandle()));
  EXPECT_EQ(r.CombineRgn(a.GetSafeHandle(), b.GetSafeHandle(), kRgnAnd), kNullRegion);
  EXPECT_EQ(r.CombineRgn(a.GetSafeHandle(), b.GetSafeHandle(), 9), kRegionError);
  EXPECT_EQ(r.CombineRgn(GdiHandle_t(), b.GetSafeHandle(), kRgnOr), kRegionError);
  Region_t e;
  e.CreateEllipticRgn(0, 0, 10, 10);
  EXPECT_TRUE(e.PtInRegion(5, 5));
  EXPECT_FALSE(e.PtInRegion(0, 0));
  EXPECT_EQ(e.GetRgnBox(box), kComplexRegion);
  ExpectRect(box, 0, 0, 10, 10);
}

TEST(GdiRegion, PolygonsFillAlternatelyAndMeetRectangles) {
  // A ring: the outer square, then the inner one traced the same way round,
  // which alternate filling leaves out.
  const POINT ring[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {3, 3}, {7, 3}, {7, 7}, {3, 7}, {3, 3}};
  Region_t r;
  ASSERT_TRUE(r.CreatePolygonRgn(ring, 10));
  RECT box{};
  EXPECT_EQ(r.GetRgnBox(box), kComplexRegion);
  ExpectRect(box, 0, 0, 10, 10);
  EXPECT_TRUE(r.PtInRegion(1, 1));
  EXPECT_FALSE(r.PtInRegion(5, 5));
  EXPECT_FALSE(r.PtInRegion(10, 5));
  EXPECT_FALSE(r.RectInRegion(RECT{4, 4, 7, 7}));  // inside the hole
  EXPECT_TRUE(r.RectInRegion(RECT{4, 4, 8, 7}));   // reaches the ring
  EXPECT_FALSE(r.RectInRegion(RECT{10, 0, 20, 10}));
  EXPECT_FALSE(r.CreatePolygonRgn(ring, 10));  // holds one already
  Region_t empty;
  ASSERT_TRUE(empty.CreatePolygonRgn(nullptr, 0));
  EXPECT_EQ(empty.GetRgnBox(box), kNullRegion);
  EXPECT_FALSE(empty.RectInRegion(RECT{0, 0, 10, 10}));
}

TEST(GdiBlt, SourceCopyInsideTheClip) {
  Canvas src(10, 10), dst(10, 10);
  src.dc.FillSolidRect(RECT{0, 0, 10, 10}, kRed);
  src.dc.SetPixel(1, 1, kBlue);
  dst.dc.IntersectClipRect(0, 0, 10, 5);
  ASSERT_TRUE(dst.dc.BitBlt(2, 2, 6, 6, src.dc, 0, 0, kSrcCopy));
  EXPECT_EQ(dst.At(3, 3), kBlue);
  EXPECT_EQ(dst.At(7, 4), kRed);
  dst.dc.SelectClipRgn(GdiHandle_t());
  EXPECT_EQ(dst.At(7, 5), kWhite);  // clipped away
  EXPECT_EQ(dst.At(8, 4), kWhite);  // beyond the block
  EXPECT_FALSE(dst.dc.BitBlt(0, 0, 2, 2, src.dc, 0, 0, 0x008800C6u));  // SRCAND: not supported
}

TEST(GdiBlt, SourcePaintOrsTheBlockOntoTheTarget) {
  Canvas src(2, 1), dst(3, 1);
  src.dc.FillSolidRect(RECT{0, 0, 2, 1}, kRed);
  src.dc.SetPixel(1, 0, kBlack);
  dst.dc.FillSolidRect(RECT{0, 0, 3, 1}, kBlue);
  ASSERT_TRUE(dst.dc.BitBlt(0, 0, 2, 1, src.dc, 0, 0, kSrcPaint));
  EXPECT_EQ(dst.At(0, 0), Rgb(255, 0, 255));
  EXPECT_EQ(dst.At(1, 0), kBlue);  // black adds nothing
  EXPECT_EQ(dst.At(2, 0), kBlue);
}

TEST(GdiBitmap, DibSectionBitsAreThePixels) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 3;
  info.bmiHeader.biHeight = -2;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  Bitmap_t dib;
  void* bits = nullptr;
  ASSERT_TRUE(dib.CreateDIBSection(info, &bits));
  ASSERT_NE(bits, nullptr);
  auto* px = static_cast<std::uint32_t*>(bits);
  px[3 + 2] = 0x00FF0000u;  // row 1, column 2: red (bytes blue, green, red, unused)
  Dc_t dc;
  dc.CreateCompatibleDC(nullptr);
  dc.SelectObject(dib);
  EXPECT_EQ(dc.GetPixel(2, 1), kRed);
  dc.SetPixel(0, 0, kBlue);
  EXPECT_EQ(px[0] & 0xFFFFFFu, 0x0000FFu);
  BITMAP bm{};
  ASSERT_TRUE(dib.GetBitmap(bm));
  EXPECT_EQ(bm.bmWidth, 3);
  EXPECT_EQ(bm.bmHeight, 2);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  // Bottom-up sections are not offered.
  info.bmiHeader.biHeight = 2;
  Bitmap_t bottomUp;
  EXPECT_FALSE(bottomUp.CreateDIBSection(info, &bits));
  EXPECT_EQ(GetLastError(), static_cast<unsigned long>(kErrorNotSupported));
}

TEST(GdiPalette, TrueColourDeviceKeepsPalettesButMapsNothing) {
  Canvas c(4, 4);
  EXPECT_EQ(c.dc.GetDeviceCaps(kRasterCaps) & kRcPalette, 0);
  Palette_t pal;
  ASSERT_TRUE(pal.CreatePalette({PALETTEENTRY{0, 0, 255, 0}, PALETTEENTRY{0, 255, 0, 0}}));
  EXPECT_EQ(pal.GetNearestPaletteIndex(Rgb(0, 250, 3)), 1);
  const GdiHandle_t previous = c.dc.SelectPalette(pal.GetSafeHandle(), false);
  EXPECT_EQ(previous, GetStockObject(kDefaultPalette));
  EXPECT_EQ(c.dc.RealizePalette(), 0u);
  EXPECT_EQ(c.dc.SelectPalette(previous, false), pal.GetSafeHandle());
  EXPECT_TRUE(c.dc.SelectPalette(GdiHandle_t(), false).IsNull());
  // A palette-relative colour takes its entry from the selected palette.
  c.dc.SelectPalette(pal.GetSafeHandle(), false);
  c.dc.FillSolidRect(RECT{0, 0, 1, 1}, PaletteIndex(0));
  EXPECT_EQ(c.At(0, 0), kBlue);
}

TEST(GdiText, DefaultFontDrawsAndMeasuresText) {
  const LOGFONTA lf = GetDefaultGuiLogFontData();
  EXPECT_NE(lf.lfFaceName[0], '\0');
  EXPECT_LT(lf.lfHeight, 0);
  Canvas c(120, 40);
  c.dc.SelectStockObject(kDefaultGuiFont);
  SIZE one{}, three{};
  ASSERT_TRUE(c.dc.GetTextExtentPoint32("W", one));
  ASSERT_TRUE(c.dc.GetTextExtentPoint32("WWW", three));
  EXPECT_GT(one.cx, 0);
  EXPECT_GT(one.cy, 0);
  EXPECT_GT(three.cx, 2 * one.cx);
  c.dc.SetTextColor(kBlack);
  c.dc.SetBkMode(kTransparent);
  ASSERT_TRUE(c.dc.TextOut(5, 5, "WWW"));
  const RECT ink = c.Ink();
  EXPECT_GE(ink.left, 5);
  EXPECT_LE(ink.right, 5 + three.cx + 1);
  EXPECT_GE(ink.top, 5);
  EXPECT_LE(ink.bottom, 5 + three.cy);
  // Opaque mode fills the text cell with the background colour.
  c.Clear();
  c.dc.SetBkMode(kOpaque);
  c.dc.SetBkColor(kRed);
  c.dc.TextOut(5, 5, "WWW");
  EXPECT_EQ(c.At(5, 5), kRed);
  EXPECT_EQ(c.At(5 + three.cx - 1, 5 + three.cy - 1), kRed);
  EXPECT_EQ(c.At(5 + three.cx, 5), kWhite);
  // A font of our own.
  LOGFONTA big = lf;
  big.lfHeight = -24;
  big.lfWeight = 700;
  Font_t font;
  ASSERT_TRUE(font.CreateFontIndirect(big));
  c.dc.SelectObject(font);
  SIZE bigSize{};
  c.dc.GetTextExtentPoint32("WWW", bigSize);
  EXPECT_GT(bigSize.cy, three.cy);
}

// Everything a track drawing does, recorded or drawn directly, moved by (dx, dy).
void DrawScene(Dc_t& dc, const GdiHandle_t& wide, const GdiHandle_t& dotted, const GdiHandle_t& brush, int dx = 0,
               int dy = 0) {
  dc.SetBkColor(Rgb(255, 255, 255));
  dc.SetBkMode(kOpaque);
  dc.SelectObject(wide);
  POINT pts[] = {{3, 30}, {20, 8}, {45, 25}, {60, 5}};
  for (POINT& p : pts) p = POINT{p.x + dx, p.y + dy};
  dc.Polyline(pts, 4);
  dc.SelectObject(dotted);
  dc.Polyline(pts, 4);
  dc.SelectObject(brush);
  dc.Ellipse(30 + dx, 30 + dy, 42 + dx, 40 + dy);
  dc.Ellipse(8 + dx, 12 + dy, 13 + dx, 17 + dy);
  dc.Rectangle(5 + dx, 33 + dy, 15 + dx, 39 + dy);
  dc.SetTextColor(kBlue);
  dc.TextOut(40 + dx, 2 + dy, "ab");
}

// How many pixels of the two canvases of 64 x 44 differ.
int Differing(const Canvas& a, const Canvas& b) {
  int differing = 0;
  for (int y = 0; y < 44; ++y)
    for (int x = 0; x < 64; ++x) differing += a.At(x, y) != b.At(x, y);
  return differing;
}

// A replayed recording sets exactly the pixels the direct drawing sets, wherever
// the drawing lies: inside the target or across its edges, and also when it
// spans thousands of pixels.
TEST(GdiMetaFile, ReplayIsPixelEqualAtAnyPlace) {
  Pen_t wide, narrow, dotted;
  Brush_t brush;
  wide.CreatePen(kPsSolid, 9, kRed);
  narrow.CreatePen(kPsSolid, 5, Rgb(0, 255, 255));
  dotted.CreatePen(kPsDot, 1, kBlack);
  brush.CreateSolidBrush(Rgb(0, 128, 0));
  struct Case {
    const Pen_t* pen;
    int dx, dy;
    bool longLine;
  };
  const Case cases[] = {{&wide, 0, 0, false},     {&narrow, 7, 3, false},    {&wide, -20, -9, false},
                        {&narrow, 30, 20, false}, {&wide, -45, -25, false}, {&narrow, 13, -17, false},
                        {&wide, 0, 0, true},      {&narrow, 5, -4, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy);
    Canvas direct(64, 44), replayed(64, 44);
    Dc_t recorder;
    ASSERT_TRUE(recorder.CreateMetaFile());
    const POINT line[] = {{-6000, -5000}, {6000, 5000}};
    for (Dc_t* dc : {&recorder, &direct.dc}) {
      DrawScene(*dc, c.pen->GetSafeHandle(), dotted.GetSafeHandle(), brush.GetSafeHandle(), c.dx, c.dy);
      if (c.longLine) {
        dc->SelectObject(*c.pen);
        dc->Polyline(line, 2);
        dc->SelectObject(brush);
        dc->Ellipse(50, 30, 58, 38);
      }
    }
    GdiHandle_t mf = recorder.CloseMetaFile();
    ASSERT_EQ(mf.Kind(), GdiKind::MetaFile);
    ASSERT_TRUE(replayed.dc.PlayMetaFile(mf));
    EXPECT_EQ(Differing(direct, replayed), 0);
    // Replayed twice, it is the same again.
    ASSERT_TRUE(replayed.dc.PlayMetaFile(mf));
    EXPECT_EQ(Differing(direct, replayed), 0);
  }
}

// A recording made of many short strokes grows its canvas stroke by stroke
// until it would pass the size limit and turns into a list of commands: the
// replay still sets exactly the pixels of the direct drawing.
TEST(GdiMetaFile, RecordingThatGrowsPastTheLimitReplaysPixelEqual) {
  Pen_t pen;
  pen.CreatePen(kPsSolid, 3, kRed);
  Canvas direct(64, 44), replayed(64, 44);
  Dc_t recorder;
  ASSERT_TRUE(recorder.CreateMetaFile());
  for (Dc_t* dc : {&recorder, &direct.dc}) {
    dc->SelectObject(pen);
    // A zigzag from (-3000, -3000) to (5000, 5000) through the target.
    dc->MoveTo(-3000, -3000);
    for (int i = 1; i <= 400; ++i) dc->LineTo(-3000 + 20 * i + (i % 2) * 9, -3000 + 20 * i - (i % 2) * 9);
  }
  GdiHandle_t mf = recorder.CloseMetaFile();
  ASSERT_EQ(mf.Kind(), GdiKind::MetaFile);
  ASSERT_TRUE(replayed.dc.PlayMetaFile(mf));
  EXPECT_EQ(Differing(direct, replayed), 0);
  EXPECT_GT(direct.Count(kRed), 100);
}

TEST(GdiMetaFile, ReplayIsPixelEqualToDirectDrawing) {
  Pen_t wide, dotted;
  Brush_t brush;
  wide.CreatePen(kPsSolid, 6, kRed);
  dotted.CreatePen(kPsDot, 1, kBlack);
  brush.CreateSolidBrush(Rgb(0, 128, 0));
  Canvas direct(64, 44), replayed(64, 44);
  DrawScene(direct.dc, wide.GetSafeHandle(), dotted.GetSafeHandle(), brush.GetSafeHandle());

  Dc_t recorder;
  ASSERT_TRUE(recorder.CreateMetaFile());
  DrawScene(recorder, wide.GetSafeHandle(), dotted.GetSafeHandle(), brush.GetSafeHandle());
  GdiHandle_t mf = recorder.CloseMetaFile();
  ASSERT_EQ(mf.Kind(), GdiKind::MetaFile);
  EXPECT_FALSE(recorder.IsValid());
  const GdiHandle_t penBefore = replayed.dc.GetCurrentObject(GdiKind::Pen);
  ASSERT_TRUE(replayed.dc.PlayMetaFile(mf));
  EXPECT_EQ(replayed.dc.GetCurrentObject(GdiKind::Pen), penBefore);
  EXPECT_EQ(Differing(direct, replayed), 0);
  EXPECT_GT(direct.Count(kRed), 50);

  // Replayed under a clip region, it stays inside it.
  replayed.Clear();
  replayed.dc.IntersectClipRect(0, 0, 32, 44);
  replayed.dc.PlayMetaFile(mf);
  replayed.dc.SelectClipRgn(GdiHandle_t());
  EXPECT_EQ(replayed.Ink().right <= 32, true);
  EXPECT_TRUE(DeleteMetaFile(mf));
  EXPECT_FALSE(DeleteMetaFile(mf));
}

}  // namespace
