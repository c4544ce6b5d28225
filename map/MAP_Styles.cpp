#include "map/MAP_Styles.h"

#include <utility>

#include "glo/GLO_Exception.h"
#include "glo/GLO_LookupTable.h"
#include "map/MAP_Color.h"

namespace map {

namespace {

using S = StyleSpec_t;

const S kBrushSpecs[Brush_Count] = {
    {S::Hollow, 0, 0, 0, 0},
    {S::Solid, 0, 0, 1, 0},
    {S::Solid, 0, 0, 9, 8},
    {S::Solid, 0, 0, 11, 7},
    {S::Solid, 0, 0, 39, 16},
    {S::Solid, 0, 0, 14, 0},
    {S::Solid, 0, 0, 20, 16},
    {S::Solid, 0, 0, 15, 15},
    {S::Hatch, plat::kHsDiagCross, 0, 9, 10},
    {S::Hatch, plat::kHsVertical, 0, 9, 9},
    {S::Hatch, plat::kHsVertical, 0, 49, 49},
    {S::Hatch, plat::kHsVertical, 0, 47, 47},
    {S::Hatch, plat::kHsHorizontal, 0, 17, 17},
    {S::Hatch, plat::kHsHorizontal, 0, 9, 9},
    {S::Hatch, plat::kHsFDiagonal, 0, 48, 48},
    {S::Hatch, plat::kHsBDiagonal, 0, 17, 17},
    {S::Solid, 0, 0, 46, 17},
    {S::Solid, 0, 0, 39, 16},
    {S::Hatch, plat::kHsDiagCross, 0, 33, 33},
    {S::Solid, 0, 0, 1, 0},
    {S::Solid, 0, 0, 42, 42},
    {S::Solid, 0, 0, 44, 44},
    {S::Solid, 0, 0, 23, 28},
    {S::Solid, 0, 0, 24, 29},
    {S::Solid, 0, 0, 25, 30},
    {S::Solid, 0, 0, 26, 31},
    {S::Solid, 0, 0, 27, 32},
    {S::Solid, 0, 0, 38, 38},
    {S::Hatch, plat::kHsBDiagonal, 0, 3, 3},
    {S::Hatch, plat::kHsFDiagonal, 0, 5, 5},
    {S::Hatch, plat::kHsVertical, 0, 17, 17},
    {S::Solid, 0, 0, 1, 16},
    {S::Solid, 0, 0, 14, 16},
    {S::Solid, 0, 0, 12, 0},
    {S::Solid, 0, 0, 0, 0},
};

constexpr int kSolid = plat::kPsSolid, kDash = plat::kPsDash, kDot = plat::kPsDot;

const S kPenSpecs[Pen_Count] = {
    {S::Pen, kSolid, 1, 0, 13},   // Pen_Default
    {S::Pen, kSolid, 3, 2, 2},    // Pen_Solid3_2
    {S::Pen, kSolid, 3, 4, 4},    // Pen_Solid3_4
    {S::Pen, kSolid, 2, 4, 4},    // Pen_Solid2_4
    {S::Pen, kSolid, 2, 0, 13},   // Pen_Solid2_0_13
    {S::Pen, kSolid, 1, 15, 15},  // Pen_Solid1_15
    {S::Pen, kSolid, 3, 15, 15},  // Pen_Solid3_15
    {S::Pen, kDash, 1, 15, 15},   // Pen_Dash1_15
    {S::Pen, kSolid, 3, 16, 13},  // Pen_Solid3_16_13
    {S::Pen, kDot, 1, 15, 15},    // Pen_Dot1_15
    {S::Pen, kSolid, 1, 10, 3},   // Pen_Solid1_10_3
    {S::Pen, kDash, 1, 0, 1},     // Pen_Dash1_0_1
    {S::Pen, kSolid, 2, 15, 15},  // Pen_Solid2_15
    {S::Pen, kSolid, 1, 18, 17},  // Pen_Solid1_18_17
    {S::Pen, kSolid, 2, 18, 17},  // Pen_Solid2_18_17
    {S::Pen, kSolid, 3, 18, 17},  // Pen_Solid3_18_17
    {S::Pen, kSolid, 1, 19, 34},  // Pen_Solid1_19_34
    {S::Pen, kDash, 1, 10, 8},    // Pen_Dash1_10_8
    {S::Pen, kSolid, 1, 4, 4},    // Pen_Solid1_4
    {S::Pen, kSolid, 1, 0, 15},   // Pen_Solid1_0_15
    {S::Pen, kSolid, 1, 15, 15},  // Pen_Line41Sub1
    {S::Pen, kSolid, 1, 38, 38},  // Pen_Solid1_38
    {S::Pen, kSolid, 2, 0, 1},    // Pen_Solid2_0_1
    {S::Pen, kSolid, 1, 34, 34},  // Pen_Solid1_34
    {S::Pen, kSolid, 1, 5, 5},    // Pen_Solid1_5
    {S::Pen, kDash, 1, 0, 19},    // Pen_Dash1_0_19
    {S::Pen, kSolid, 1, 3, 3},    // Pen_Solid1_3
    {S::Pen, kSolid, 1, 5, 5},    // Pen_Line47Sub4
    {S::Pen, kSolid, 1, 17, 17},  // Pen_Solid1_17
    {S::Pen, kSolid, 1, 0, 1},    // Pen_Solid1_0_1
    {S::Pen, kSolid, 1, 6, 6},    // Pen_Solid1_6
    {S::Pen, kSolid, 1, 0, 13},   // Pen_Graticule
    {S::Pen, kSolid, 1, 13, 13},  // Pen_ThinGrey
};

// The two-level line pen table: type -> (subtype -> pen).
using SubTable_t = glo::LookupTable_t<std::uint8_t, PenId_t>;
using PenTable_t = glo::LookupTable_t<std::uint16_t, SubTable_t>;

SubTable_t Only(PenId_t pen) { return SubTable_t(nullptr, 0, pen); }

const PenTable_t& LinePens() {
  static const PenTable_t table = [] {
    const SubTable_t::Entry_t rows41[] = {{1, Pen_Line41Sub1}, {8, Pen_Solid1_38}, {9, Pen_Solid2_0_1}};
    const SubTable_t::Entry_t rows47[] = {{1, Pen_Dash1_0_19}, {2, Pen_Default},  {3, Pen_Solid1_3},
                                          {4, Pen_Line47Sub4},   {5, Pen_Solid1_17}, {6, Pen_Solid1_0_1},
                                          {7, Pen_Solid1_6}};
    const PenTable_t::Entry_t rows[] = {
        {0x01, Only(Pen_Solid3_2)},      {0x02, Only(Pen_Solid3_4)},      {0x03, Only(Pen_Solid2_4)},
        {0x04, Only(Pen_Solid2_0_13)},   {0x05, Only(Pen_Default)},       {0x06, Only(Pen_Solid1_15)},
        {0x07, Only(Pen_Solid1_15)},     {0x08, Only(Pen_Solid3_15)},     {0x09, Only(Pen_Solid3_15)},
        {0x0a, Only(Pen_Dash1_15)},      {0x0b, Only(Pen_Solid3_16_13)},  {0x16, Only(Pen_Dot1_15)},
        {0x18, Only(Pen_Solid1_10_3)},   {0x1f, Only(Pen_Solid1_10_3)},   {0x1a, Only(Pen_Dash1_0_1)},
        {0x1b, Only(Pen_Dash1_0_1)},     {0x1c, Only(Pen_Solid2_15)},     {0x1d, Only(Pen_Solid2_15)},
        {0x1e, Only(Pen_Solid2_15)},     {0x20, Only(Pen_Solid1_18_17)},  {0x21, Only(Pen_Solid2_18_17)},
        {0x22, Only(Pen_Solid3_18_17)},  {0x23, Only(Pen_Solid1_19_34)},  {0x24, Only(Pen_Solid1_19_34)},
        {0x25, Only(Pen_Solid1_19_34)},  {0x26, Only(Pen_Dash1_10_8)},    {0x2b, Only(Pen_Solid1_4)},
        {0x40, Only(Pen_Solid1_0_15)},   {0x41, SubTable_t(rows41, Pen_Solid1_0_15)},
        {0x43, Only(Pen_Solid1_34)},     {0x44, Only(Pen_Solid1_0_15)},   {0x46, Only(Pen_Solid1_0_15)},
        {0x45, Only(Pen_Solid1_5)},      {0x47, SubTable_t(rows47, Pen_Default)},
    };
    return PenTable_t(rows, Only(Pen_Default));
  }();
  return table;
}

// Built before any window exists.
[[maybe_unused]] const bool g_penTableBuilt = (LinePens(), true);

bool MakeBrush(plat::Brush_t& brush, const S& spec, int scheme) {
  const unsigned colour = static_cast<unsigned>(scheme == 0 ? spec.color0 : spec.color1);
  switch (spec.kind) {
    case S::Hollow: return brush.Attach(plat::GetStockObject(plat::kNullBrush));
    case S::Hatch: return brush.CreateHatchBrush(spec.style, plat::PaletteIndex(colour));
    default: return brush.CreateSolidBrush(plat::PaletteIndex(colour));
  }
}

}  // namespace

const StyleSpec_t& GetBrushSpec(BrushId_t id) { return kBrushSpecs[id]; }
const StyleSpec_t& GetPenSpec(PenId_t id) { return kPenSpecs[id]; }

GdiSet_t& GdiSet_t::Instance() {
  static GdiSet_t set;
  return set;
}

bool GdiSet_t::Create(int scheme) {
  if (m_created && scheme == m_scheme) return false;
  for (auto& b : m_brushes)
    if (!b.IsNull()) b.DeleteObject();
  for (auto& p : m_pens)
    if (!p.IsNull()) p.DeleteObject();
  m_created = false;
  for (int i = 0; i < Brush_Count; ++i)
    if (!MakeBrush(m_brushes[i], kBrushSpecs[i], scheme)) throw glo::Assert_t(GLO_SRC);
  for (int i = 0; i < Pen_Count; ++i) {
    const S& spec = kPenSpecs[i];
    const unsigned colour = static_cast<unsigned>(scheme == 0 ? spec.color0 : spec.color1);
    if (!m_pens[i].CreatePen(spec.style, spec.width, plat::PaletteIndex(colour))) throw glo::Assert_t(GLO_SRC);
  }
  SetLabelColorScheme(scheme);
  m_scheme = scheme;
  m_created = true;
  return true;
}

BrushId_t AreaBrush(std::uint16_t type, std::uint8_t subtype, bool basemapAlternate, PenId_t* outline) {
  if (type >= 0x28 && type <= 0x49) return basemapAlternate ? Brush_White : Brush_Water;
  if (type >= 0x14 && type <= 0x20) return Brush_Park;
  if (type >= 0x01 && type <= 0x03) return basemapAlternate ? Brush_AltCity : Brush_City;
  switch (type) {
    case 0x0d: return Brush_Sand;
    case 0x0e: return Brush_Grey;
    case 0x4a:
      if (outline != nullptr) *outline = Pen_ThinGrey;
      return Brush_Hollow;
    case 0x4c: return Brush_DiagCrossWater;
    case 0x4d: return Brush_VertWater;
    case 0x4e: return Brush_VertOrange;
    case 0x4f: return Brush_VertTeal;
    case 0x50: return Brush_HorzBrown;
    case 0x51: return Brush_HorzWater;
    case 0x52: return Brush_FDiagSlate;
    case 0x53: return Brush_BDiagBrown;
    case 0x81:
      switch (subtype) {
        case 1: return Brush_Khaki;
        case 2: return Brush_Area81Sub2;
        case 3: return Brush_DiagCrossGrey;
        case 4: return Brush_Area81Sub4;
        case 5: return Brush_DarkBrown;
        default: return Brush_Default;
      }
    case 0x83:
      if (subtype >= 1 && subtype <= 6) return static_cast<BrushId_t>(Brush_Depth1 + (subtype - 1));
      return Brush_Default;
    case 0x84:
    case 0x85: return Brush_Hollow;
    case 0x86:
      if (subtype == 1 || subtype == 18) return Brush_DiagCrossGrey;
      if (subtype == 10) return Brush_Magenta;
      return Brush_Hollow;
    case 0x87:
      switch (subtype) {
        case 1: return Brush_BDiagBlue;
        case 2: return Brush_FDiagPink;
        case 3: return Brush_VertBrown;
        default: return Brush_Default;
      }
    default: return Brush_Default;
  }
}

PenId_t LinePen(std::uint16_t type, std::uint8_t subtype) { return LinePens().Find(type).Find(subtype); }

}  // namespace map
