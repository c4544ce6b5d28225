// Regions, bitmaps, DIB sections, metafiles and the selection guards.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <type_traits>

#include "gdi/GDI_Bitmap.h"
#include "gdi/GDI_BkModeSaver.h"
#include "gdi/GDI_Clipper.h"
#include "gdi/GDI_DefaultFont.h"
#include "gdi/GDI_DibSection.h"
#include "gdi/GDI_MetaFile.h"
#include "gdi/GDI_ObjectSelector.h"
#include "gdi/GDI_Region.h"
#include "gdi/GDI_SmartBrush.h"
#include "gdi/GDI_SmartFont.h"
#include "gdi/GDI_SmartPalette.h"
#include "gdi/GDI_SmartPen.h"
#include "gdi/GDI_SmartPointBuffer.h"
#include "gdi/GDI_SmartSelectObj.h"
#include "glo/GLO_AutoPtr.h"
#include "win/WIN_Exception.h"

namespace {

using plat::Rgb;

constexpr plat::COLORREF kWhite = Rgb(255, 255, 255);
constexpr plat::COLORREF kRed = Rgb(255, 0, 0);
constexpr plat::COLORREF kBlue = Rgb(0, 0, 255);

static_assert(std::has_virtual_destructor_v<gdi::Clipper_t>);

// A memory context drawing into a white DIB section.
struct Surface {
  explicit Surface(int w = 16, int h = 16) {
    EXPECT_TRUE(dc.CreateCompatibleDC(nullptr));
    dib.Create(dc, w, h);
    dc.SelectObject(dib);
    dc.FillSolidRect(plat::RECT{0, 0, w, h}, kWhite);
  }
  plat::Dc_t dc;
  gdi::DibSection_t dib;
};

template <typename E, typename F>
void ExpectThrowFrom(F&& f, const char* file) {
  try {
    f();
    ADD_FAILURE() << "nothing thrown";
  } catch (const E& e) {
    EXPECT_STREQ(e.SourceFile(), file);
  }
}

TEST(GdiRegion, EmptyRegionAndCombinations) {
  gdi::Region_t r;
  EXPECT_EQ(r.GetType(), plat::kNullRegion);
  r |= gdi::Region_t(plat::RECT{0, 0, 10, 10}, gdi::Region_t::Rectangle);
  EXPECT_EQ(r.GetType(), plat::kSimpleRegion);
  r |= gdi::Region_t(plat::RECT{20, 0, 30, 10}, gdi::Region_t::Rectangle);
  EXPECT_EQ(r.GetType(), plat::kComplexRegion);
  gdi::Region_t copy(r);
  copy -= gdi::Region_t(plat::RECT{20, 0, 30, 10}, gdi::Region_t::Rectangle);
  EXPECT_EQ(copy.GetType(), plat::kSimpleRegion);
  EXPECT_EQ(r.GetType(), plat::kComplexRegion);  // the copy is independent
  plat::RECT box{};
  EXPECT_EQ(r.GetBox(box), plat::kComplexRegion);
  EXPECT_EQ(box.right, 30);
  const gdi::Region_t both = gdi::Intersect(r, gdi::Region_t(plat::RECT{5, 5, 25, 25}, gdi::Region_t::Ellipse));
  EXPECT_EQ(both.GetType(), plat::kComplexRegion);
  copy = gdi::Region_t();
  EXPECT_EQ(copy.GetType(), plat::kNullRegion);
  ExpectThrowFrom<glo::Assert_t>([] { gdi::Region_t(plat::RECT{0, 0, 1, 1}, 2); }, "GDI_Region.cpp");
  // A region without a handle (moved out by a caller) reports a Windows failure.
  gdi::Region_t detached;
  detached.Detach();
  ExpectThrowFrom<win::Error_t>([&] { detached.GetType(); }, "GDI_Region.cpp");
}

TEST(GdiClipper, RestoresNoClipRegion) {
  Surface s;
  {
    gdi::Clipper_t clip(s.dc, plat::RECT{2, 2, 6, 6});
    EXPECT_TRUE(s.dc.HasClipRgn());
    s.dc.IntersectClipRect(3, 3, 4, 4);
  }
  EXPECT_FALSE(s.dc.HasClipRgn());
  {
    gdi::Clipper_t clip(s.dc);
    s.dc.IntersectClipRect(0, 0, 1, 1);
  }
  EXPECT_FALSE(s.dc.HasClipRgn());
}

TEST(GdiClipper, RestoresTheSavedClipRegion) {
  Surface s;
  s.dc.IntersectClipRect(0, 0, 8, 8);
  {
    gdi::Clipper_t clip(s.dc);  // removes clipping for its lifetime
    EXPECT_FALSE(s.dc.HasClipRgn());
    s.dc.FillSolidRect(plat::RECT{0, 0, 16, 16}, kRed);
    s.dc.IntersectClipRect(0, 0, 2, 2);
  }
  plat::RECT box{};
  EXPECT_EQ(s.dc.GetClipBox(box), plat::kSimpleRegion);
  EXPECT_EQ(box.right, 8);
  EXPECT_EQ(box.bottom, 8);
  s.dc.SelectClipRgn(plat::GdiHandle_t());
  EXPECT_EQ(s.dc.GetPixel(12, 12), kRed);
}

TEST(GdiSelector, TwoSelectionsRestoreTheFirstObject) {
  Surface s;
  const plat::GdiHandle_t before = s.dc.GetCurrentObject(plat::GdiKind::Pen);
  plat::Pen_t a, b;
  a.CreatePen(plat::kPsSolid, 1, kRed);
  b.CreatePen(plat::kPsSolid, 1, kBlue);
  {
    gdi::ObjectSelector_t sel(s.dc);
    sel.Select(a);
    sel.Select(b);
    EXPECT_EQ(s.dc.GetCurrentObject(plat::GdiKind::Pen), b.GetSafeHandle());
    sel.SelectStockObject(plat::kNullPen);
  }
  EXPECT_EQ(s.dc.GetCurrentObject(plat::GdiKind::Pen), before);
  gdi::ObjectSelector_t sel(s.dc);
  ExpectThrowFrom<win::Error_t>([&] { sel.Select(plat::GdiHandle_t()); }, "GDI_ObjectSelector.h");
  ExpectThrowFrom<win::Error_t>([&] { sel.SelectStockObject(9); }, "GDI_ObjectSelector.h");
}

TEST(GdiGuards, PenBrushAndBackgroundComeBackAfterAnException) {
  Surface s;
  const plat::GdiHandle_t pen = s.dc.GetCurrentObject(plat::GdiKind::Pen);
  const plat::GdiHandle_t brush = s.dc.GetCurrentObject(plat::GdiKind::Brush);
  try {
    gdi::SmartPen_t p(s.dc, plat::kPsSolid, 3, kRed);
    gdi::SmartBrush_t b(s.dc, kBlue);
    gdi::BkModeSaver_t bk(s.dc);
    s.dc.SetBkMode(plat::kTransparent);
    s.dc.SetBkColor(kRed);
    s.dc.Rectangle(2, 2, 12, 12);
    EXPECT_EQ(s.dc.GetPixel(6, 6), kBlue);
    throw std::runtime_error("while drawing");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(s.dc.GetCurrentObject(plat::GdiKind::Pen), pen);
  EXPECT_EQ(s.dc.GetCurrentObject(plat::GdiKind::Brush), brush);
  EXPECT_EQ(s.dc.GetBkMode(), plat::kOpaque);
  EXPECT_EQ(s.dc.GetBkColor(), kWhite);
}

TEST(GdiGuards, SecondCreationOnAGuardIsRefused) {
  Surface s;
  gdi::SmartBrush_t brush(s.dc);
  brush.CreateSolid(kRed);
  ExpectThrowFrom<glo::Exception_t>([&] { brush.CreateSolid(kBlue); }, "GDI_SmartBrush.h");
  gdi::SmartPen_t pen(s.dc);
  pen.Create(plat::kPsDot, 1, kRed);
  ExpectThrowFrom<glo::Exception_t>([&] { pen.Create(plat::kPsSolid, 1, kRed); }, "GDI_SmartPen.h");
  plat::Font_t font;
  const plat::LOGFONTA lf = gdi::GetDefaultGuiLogFont();
  ASSERT_TRUE(font.CreateFontIndirect(lf));
  const plat::GdiHandle_t before = s.dc.GetCurrentObject(plat::GdiKind::Font);
  {
    gdi::SmartFont_t f(s.dc, &font);
    EXPECT_EQ(s.dc.GetCurrentObject(plat::GdiKind::Font), font.GetSafeHandle());
    ExpectThrowFrom<glo::Exception_t>([&] { f.Select(font); }, "GDI_SmartFont.h");
  }
  EXPECT_EQ(s.dc.GetCurrentObject(plat::GdiKind::Font), before);
  {
    gdi::SmartPen_t stock(s.dc, plat::kNullPen);
    gdi::SmartSelectObj_t sel(s.dc, plat::GetStockObject(plat::kBlackBrush));
    EXPECT_EQ(s.dc.GetCurrentObject(plat::GdiKind::Brush), plat::GetStockObject(plat::kBlackBrush));
  }
  EXPECT_EQ(s.dc.GetCurrentObject(plat::GdiKind::Brush), brush.GetBrush().GetSafeHandle());
}

TEST(GdiGuards, PaletteIsSelectedAndRestored) {
  Surface s;
  plat::Palette_t pal;
  ASSERT_TRUE(pal.CreatePalette({plat::PALETTEENTRY{1, 2, 3, 0}}));
  const plat::GdiHandle_t before = s.dc.GetCurrentObject(plat::GdiKind::Palette);
  {
    gdi::SmartPalette_t guard(s.dc, pal);
    EXPECT_EQ(s.dc.GetCurrentObject(plat::GdiKind::Palette), pal.GetSafeHandle());
  }
  EXPECT_EQ(s.dc.GetCurrentObject(plat::GdiKind::Palette), before);
  plat::Palette_t none;
  ExpectThrowFrom<glo::Assert_t>([&] { gdi::SmartPalette_t guard(s.dc, none); }, "GDI_SmartPalette.h");
  // A guard whose context is gone cannot restore; it ends without throwing
  // (a throwing destructor would end the process here).
  plat::Dc_t gone;
  ASSERT_TRUE(gone.CreateCompatibleDC(nullptr));
  {
    gdi::SmartPalette_t guard(gone, pal);
    gone.DeleteDC();
  }
  EXPECT_FALSE(gone.IsValid());
}

TEST(GdiDibSection, HeaderValuesAndPixels) {
  Surface s(3, 2);
  const plat::BITMAPINFOHEADER& h = s.dib.GetInfo().bmiHeader;
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, 3);
  EXPECT_EQ(h.biHeight, -2);
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(h.biBitCount, 32);
  EXPECT_EQ(h.biCompression, 0u);
  EXPECT_EQ(h.biSizeImage, 24u);
  EXPECT_EQ(s.dib.GetPixelCount(), 6);
  ASSERT_NE(s.dib.GetBits(), nullptr);
  s.dib.GetBits()[5] = 0x000000FFu;  // last pixel: blue
  EXPECT_EQ(s.dc.GetPixel(2, 1), kBlue);
  s.dc.SetPixel(0, 0, kRed);
  EXPECT_EQ(s.dib.GetBits()[0] & 0xFFFFFFu, 0xFF0000u);
  // Read back as 32-bit pixels, bottom-up.
  plat::BITMAPINFO info{};
  auto bits = gdi::GetBitmapBits32(s.dc, s.dib.GetSafeHandle(), info);
  ASSERT_TRUE(bits);
  EXPECT_EQ(info.bmiHeader.biHeight, 2);
  EXPECT_EQ(info.bmiHeader.biSizeImage, 0u);
  std::uint32_t first = 0;
  std::memcpy(&first, bits.get() + 3 * 4, 4);  // second row of the buffer: top scan line
  EXPECT_EQ(first & 0xFFFFFFu, 0xFF0000u);
  EXPECT_FALSE(gdi::GetBitmapBits32(s.dc, plat::GdiHandle_t(), info));
  // A failed creation reports the Windows error.
  gdi::DibSection_t bad;
  ExpectThrowFrom<win::Error_t>([&] { bad.Create(s.dc, 0, 5); }, "GDI_DibSection.cpp");
  ExpectThrowFrom<win::Error_t>([&] { bad.Create(s.dc, 50000, 50000); }, "GDI_DibSection.cpp");
}

TEST(GdiBitmap, DrawCopiesTheWholeBitmapAndLeavesThePalette) {
  Surface target(12, 12);
  gdi::Bitmap_t bitmap;
  ASSERT_TRUE(bitmap.CreateCompatibleBitmap(target.dc, 3, 2));
  {
    plat::Dc_t mem;
    mem.CreateCompatibleDC(nullptr);
    mem.SelectObject(bitmap);
    mem.FillSolidRect(plat::RECT{0, 0, 3, 2}, kRed);
  }
  plat::Palette_t* pal = new plat::Palette_t;
  pal->CreatePalette({plat::PALETTEENTRY{0, 0, 255, 0}});
  bitmap.SetPalette(pal);
  const plat::GdiHandle_t palette = target.dc.GetCurrentObject(plat::GdiKind::Palette);
  bitmap.Draw(target.dc, 4, 5);
  EXPECT_EQ(target.dc.GetPixel(4, 5), kRed);
  EXPECT_EQ(target.dc.GetPixel(6, 6), kRed);
  EXPECT_EQ(target.dc.GetPixel(7, 6), kWhite);
  EXPECT_EQ(target.dc.GetPixel(4, 7), kWhite);
  EXPECT_EQ(target.dc.GetCurrentObject(plat::GdiKind::Palette), palette);
}

TEST(GdiMetaFile, SharedRecordingIsReleasedWithTheLastReference) {
  ExpectThrowFrom<glo::Assert_t>([] { gdi::MetaFile_t m{plat::GdiHandle_t()}; }, "GDI_MetaFile.h");
  plat::Dc_t rec;
  ASSERT_TRUE(rec.CreateMetaFile());
  rec.FillSolidRect(plat::RECT{1, 1, 3, 3}, kBlue);
  glo::SmartPtr_t<gdi::MetaFile_t> a(new gdi::MetaFile_t(rec.CloseMetaFile()));
  glo::SmartPtr_t<gdi::MetaFile_t> b(a);
  EXPECT_EQ(a->RefCount(), 2);
  a = nullptr;
  Surface s;
  ASSERT_TRUE(b->Play(s.dc));
  EXPECT_EQ(s.dc.GetPixel(2, 2), kBlue);
  EXPECT_EQ(s.dc.GetPixel(3, 3), kWhite);
}

TEST(GdiHelpers, DefaultFontPointsAndRounding) {
  const plat::LOGFONTA lf = gdi::GetDefaultGuiLogFont();
  EXPECT_EQ(lf.lfHeight, 13);
  EXPECT_EQ(lf.lfWeight, 400);
  EXPECT_EQ(lf.lfOutPrecision, 7);
  EXPECT_EQ(lf.lfClipPrecision, 0);
  EXPECT_EQ(lf.lfQuality, 2);
  EXPECT_EQ(lf.lfPitchAndFamily, 0x22);
  EXPECT_STREQ(lf.lfFaceName, plat::GetDefaultGuiLogFontData().lfFaceName);

  const struct { double x, y; int rx, ry; } cases[] = {
      {0.5, -0.5, 1, -1}, {1.49, -1.49, 1, -1}, {2.5, -2.5, 3, -3}, {-0.4, 0.4, 0, 0},
      {3e9, -3e9, INT32_MAX, INT32_MIN}};  // beyond 32 bits: saturated, not wrapped
  for (const auto& c : cases) {
    const plat::POINT p = gdi::RoundToPoint(c.x, c.y);
    EXPECT_EQ(p.x, c.rx) << c.x;
    EXPECT_EQ(p.y, c.ry) << c.y;
  }
  gdi::SmartPointBuffer_t buffer(std::vector<plat::POINT>{{1, 2}, {3, 4}});
  gdi::SmartPointBuffer_t copy(buffer);
  copy[1].x = 9;
  EXPECT_EQ(buffer[1].x, 3);
  EXPECT_EQ(copy.GetCount(), 2u);
  ExpectThrowFrom<glo::Assert_t>([&] { copy[2]; }, "GDI_SmartPointBuffer.h");
}

}  // namespace
