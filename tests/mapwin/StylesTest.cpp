// The map palette, the colour table, the label colours and the shared brushes
// and pens, checked by their rules and by the pixels they draw.
#include <gtest/gtest.h>

#include "glo/GLO_Exception.h"
#include "map/MAP_Color.h"
#include "map/MAP_Palette.h"
#include "map/MAP_Styles.h"
#include "plat/PLAT_Gdi.h"
#include "plat/PLAT_Gui.h"

namespace {

using namespace map;

constexpr plat::COLORREF kPaper = plat::Rgb(1, 2, 3);

// A memory context with the map palette selected, over a bitmap of a colour
// that is no palette entry.
class Canvas {
 public:
  Canvas(int w, int h) {
    EXPECT_TRUE(plat::EnsureGuiApplication());
    EXPECT_TRUE(CreateMapPalette(palette));
    EXPECT_TRUE(dc.CreateCompatibleDC(nullptr));
    EXPECT_TRUE(bitmap.CreateCompatibleBitmap(dc, w, h));
    dc.SelectObject(bitmap);
    dc.SelectPalette(palette.GetSafeHandle(), false);
    dc.FillSolidRect(plat::RECT{0, 0, w, h}, kPaper);
  }
  plat::Palette_t palette;
  plat::Bitmap_t bitmap;
  plat::Dc_t dc;
};

plat::COLORREF Entry(int i) { return PaletteColor(i); }

TEST(MapStyles, PaletteEntriesAndColourTables) {
  const auto& table = GetPaletteTable();
  ASSERT_EQ(52u, table.size());
  const struct {
    int index;
    unsigned r, g, b;
  } entries[] = {{0, 0, 0, 0}, {1, 255, 255, 255}, {6, 255, 255, 0}, {12, 255, 255, 230}, {14, 235, 235, 235},
                 {33, 200, 200, 200}, {46, 220, 212, 148}, {51, 0, 160, 0}};
  for (const auto& e : entries) {
    EXPECT_EQ(plat::Rgb(e.r, e.g, e.b), Entry(e.index)) << e.index;
    EXPECT_EQ(0, table[e.index].peFlags);
  }
  // Colour index -> palette index; scheme 1 differs in 5 and 8 only.
  const struct {
    std::uint8_t index;
    unsigned scheme0, scheme1;
  } colours[] = {{0, 33, 33}, {5, 38, 45}, {8, 0, 50}, {14, 46, 46}, {15, 1, 1}};
  for (const auto& c : colours) {
    EXPECT_EQ(plat::PaletteIndex(c.scheme0), GetColor(c.index, 0)) << int(c.index);
    EXPECT_EQ(plat::PaletteIndex(c.scheme1), GetColor(c.index, 1)) << int(c.index);
  }
  EXPECT_THROW(GetColor(16, 0), glo::Assert_t);
  EXPECT_THROW(GetColor(16, 1), glo::Assert_t);
}

TEST(MapStyles, LabelColoursFollowTheScheme) {
  SetLabelColorScheme(1);
  EXPECT_EQ(plat::PaletteIndex(50), GetLabelColor(LabelColor_General));
  EXPECT_EQ(plat::PaletteIndex(9), GetLabelColor(LabelColor_Fourth));
  EXPECT_EQ(1, GetLabelColorScheme());
  SetLabelColorScheme(0);
  EXPECT_EQ(plat::PaletteIndex(0), GetLabelColor(LabelColor_General));
  EXPECT_EQ(plat::PaletteIndex(2), GetLabelColor(LabelColor_Second));
  EXPECT_EQ(plat::PaletteIndex(2), GetLabelColor(LabelColor_Third));
}

TEST(MapStyles, AreaBrushAndLinePenRules) {
  const struct {
    std::uint16_t type;
    std::uint8_t subtype;
    bool alternate;
    BrushId_t brush;
  } areas[] = {
      {0x28, 0, false, Brush_Water},       {0x49, 3, true, Brush_White},       {0x14, 0, false, Brush_Park},
      {0x02, 0, true, Brush_AltCity},      {0x03, 0, false, Brush_City},       {0x0d, 0, false, Brush_Sand},
      {0x4c, 0, false, Brush_DiagCrossWater}, {0x53, 0, false, Brush_BDiagBrown}, {0x81, 1, false, Brush_Khaki},
      {0x81, 5, false, Brush_DarkBrown},   {0x81, 9, false, Brush_Default},    {0x83, 4, false, Brush_Depth4},
      {0x84, 0, false, Brush_Hollow},      {0x86, 18, false, Brush_DiagCrossGrey}, {0x86, 10, false, Brush_Magenta},
      {0x86, 2, false, Brush_Hollow},      {0x87, 2, false, Brush_FDiagPink},  {0x99, 0, false, Brush_Default},
      {0x81, 2, false, Brush_Area81Sub2},  {0x81, 4, false, Brush_Area81Sub4}, {0x81, 3, false, Brush_DiagCrossGrey},
  };
  for (const auto& a : areas) EXPECT_EQ(a.brush, AreaBrush(a.type, a.subtype, a.alternate)) << std::hex << a.type;
  PenId_t outline = Pen_Default;
  EXPECT_EQ(Brush_Hollow, AreaBrush(0x4a, 0, false, &outline));
  EXPECT_EQ(Pen_ThinGrey, outline);

  const struct {
    std::uint16_t type;
    std::uint8_t subtype;
    PenId_t pen;
  } lines[] = {{0x01, 0, Pen_Solid3_2},   {0x14, 0, Pen_Default},      {0x16, 3, Pen_Dot1_15},
               {0x1f, 0, Pen_Solid1_10_3}, {0x41, 8, Pen_Solid1_38},   {0x41, 2, Pen_Solid1_0_15},
               {0x47, 1, Pen_Dash1_0_19}, {0x47, 9, Pen_Default},      {0x2b, 0, Pen_Solid1_4},
               {0x41, 1, Pen_Line41Sub1}, {0x47, 4, Pen_Line47Sub4},  {0x47, 2, Pen_Default},
               {0x05, 0, Pen_Default},    {0x06, 0, Pen_Solid1_15},   {0x45, 0, Pen_Solid1_5}};
  for (const auto& l : lines) EXPECT_EQ(l.pen, LinePen(l.type, l.subtype)) << std::hex << l.type;
  // The default pen: solid, 1 pixel, black in scheme 0 and grey in scheme 1.
  const StyleSpec_t& pen = GetPenSpec(LinePen(0x14, 0));
  EXPECT_EQ(plat::kPsSolid, pen.style);
  EXPECT_EQ(1, pen.width);
  EXPECT_EQ(0, pen.color0);
  EXPECT_EQ(13, pen.color1);
}

// The set has a slot for every brush and pen the rules name; the subtype
// slots carry the same style as the type slots they repeat.
TEST(MapStyles, SlotsOfTheSet) {
  EXPECT_EQ(35, Brush_Count);
  EXPECT_EQ(33, Pen_Count);
  const auto same = [](const StyleSpec_t& a, const StyleSpec_t& b) {
    return a.kind == b.kind && a.style == b.style && a.width == b.width && a.color0 == b.color0 &&
           a.color1 == b.color1;
  };
  EXPECT_TRUE(same(GetBrushSpec(Brush_Area81Sub2), GetBrushSpec(Brush_AltCity)));
  EXPECT_TRUE(same(GetBrushSpec(Brush_Area81Sub4), GetBrushSpec(Brush_White)));
  EXPECT_TRUE(same(GetBrushSpec(MapAreaBrush(true)), GetBrushSpec(Brush_Khaki)));
  EXPECT_TRUE(same(GetPenSpec(Pen_Line41Sub1), GetPenSpec(Pen_Solid1_15)));
  EXPECT_TRUE(same(GetPenSpec(Pen_Line47Sub4), GetPenSpec(Pen_Solid1_5)));
  EXPECT_TRUE(same(GetPenSpec(Pen_Graticule), GetPenSpec(Pen_Default)));
  EXPECT_EQ(StyleSpec_t::Hollow, GetBrushSpec(Brush_Hollow).kind);
  EXPECT_EQ(0, int(Brush_Hollow));
  EXPECT_EQ(0, int(Pen_Default));
  // Every slot is an object of its own.
  GdiSet_t& set = GdiSet_t::Instance();
  set.Create(0);
  for (int i = 1; i < Brush_Count; ++i)
    for (int j = 0; j < i; ++j) EXPECT_NE(set.Brush(BrushId_t(i)), set.Brush(BrushId_t(j))) << i << " " << j;
  for (int i = 1; i < Pen_Count; ++i)
    for (int j = 0; j < i; ++j) EXPECT_NE(set.Pen(PenId_t(i)), set.Pen(PenId_t(j))) << i << " " << j;
}

TEST(MapStyles, EveryBrushAndPenDrawsItsPaletteColour) {
  GdiSet_t& set = GdiSet_t::Instance();
  set.Create(0);
  for (int scheme : {1, 0}) {
    EXPECT_TRUE(set.Create(scheme));
    EXPECT_FALSE(set.Create(scheme));  // made already for that scheme
    for (int i = 0; i < Brush_Count; ++i) {
      const StyleSpec_t& spec = GetBrushSpec(BrushId_t(i));
      Canvas canvas(16, 16);
      canvas.dc.SetBkColor(plat::PaletteIndex(13));
      canvas.dc.FillRect(plat::RECT{0, 0, 16, 16}, set.Brush(BrushId_t(i)));
      const plat::COLORREF colour = Entry(scheme == 0 ? spec.color0 : spec.color1);
      switch (spec.kind) {
        case StyleSpec_t::Hollow: EXPECT_EQ(kPaper, canvas.dc.GetPixel(3, 3)); break;
        case StyleSpec_t::Solid: EXPECT_EQ(colour, canvas.dc.GetPixel(3, 3)) << i; break;
        default: {
          // An 8 x 8 hatch aligned to the origin, the gaps in the background colour.
          for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
              const int u = x & 7, v = y & 7;
              bool on = false;
              switch (spec.style) {
                case plat::kHsHorizontal: on = v == 7; break;
                case plat::kHsVertical: on = u == 7; break;
                case plat::kHsFDiagonal: on = u == v; break;
                case plat::kHsBDiagonal: on = u + v == 7; break;
                case plat::kHsDiagCross: on = u == v || u + v == 7; break;
              }
              ASSERT_EQ(on ? colour : Entry(13), canvas.dc.GetPixel(x, y)) << i << " at " << x << "," << y;
            }
        }
      }
    }
    for (int i = 0; i < Pen_Count; ++i) {
      const StyleSpec_t& spec = GetPenSpec(PenId_t(i));
      Canvas canvas(40, 16);
      canvas.dc.SetBkMode(plat::kTransparent);
      canvas.dc.SelectObject(set.Pen(PenId_t(i)));
      canvas.dc.MoveTo(2, 8);
      canvas.dc.LineTo(38, 8);
      const plat::COLORREF colour = Entry(scheme == 0 ? spec.color0 : spec.color1);
      EXPECT_EQ(colour, canvas.dc.GetPixel(3, 8)) << i;
      // Width in rows across the line.
      int rows = 0;
      for (int y = 0; y < 16; ++y) rows += canvas.dc.GetPixel(3, y) == colour;
      EXPECT_EQ(spec.width, rows) << i;
      if (spec.style != plat::kPsSolid) {
        int gaps = 0;
        for (int x = 2; x < 38; ++x) gaps += canvas.dc.GetPixel(x, 8) != colour;
        EXPECT_GT(gaps, 0) << i;
      }
    }
  }
}

}  // namespace
