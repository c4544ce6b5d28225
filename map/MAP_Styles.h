#pragma once
// The brushes and pens that every map window shares, made for one colour
// scheme at a time, and the rules that choose an area's brush and a line's pen
// by feature type. All colours are palette indices of the map palette.
#include <cstdint>

#include "plat/PLAT_Gdi.h"

namespace map {

// One drawing style: a brush (kind Solid, Hatch or Hollow) or a pen (kind Pen
// with a pen style and width). Colours are palette entries per scheme.
struct StyleSpec_t {
  enum Kind_t { Solid, Hatch, Hollow, Pen } kind;
  int style;  // hatch style or pen style
  int width;  // pens
  int color0;
  int color1;
};

// The brushes of the set: brush 0 the hollow brush, then the area brushes in
// the order of the area rules (each subtype of type 0x81 with a brush of its
// own), the background, the map area and black. The alternate map area uses
// the brush of type 0x81 subtype 1 (the same style).
enum BrushId_t : int {
  Brush_Hollow = 0,
  Brush_White,          // solid 1 / 0: basemap-alternate areas 0x28-0x49
  Brush_Water,          // solid 9 / 8
  Brush_Park,           // solid 11 / 7
  Brush_AltCity,        // solid 39 / 16
  Brush_City,           // solid 14 / 0
  Brush_Sand,           // solid 20 / 16
  Brush_Grey,           // solid 15
  Brush_DiagCrossWater, // hatch diagonal cross 9 / 10
  Brush_VertWater,      // hatch vertical 9
  Brush_VertOrange,     // hatch vertical 49
  Brush_VertTeal,       // hatch vertical 47
  Brush_HorzBrown,      // hatch horizontal 17
  Brush_HorzWater,      // hatch horizontal 9
  Brush_FDiagSlate,     // hatch forward diagonal 48
  Brush_BDiagBrown,     // hatch backward diagonal 17
  Brush_Khaki,          // solid 46 / 17: 0x81 subtype 1 (also the alternate map area)
  Brush_Area81Sub2,     // solid 39 / 16: 0x81 subtype 2
  Brush_DiagCrossGrey,  // hatch diagonal cross 33: 0x81 subtype 3, 0x86 subtypes 1 and 18
  Brush_Area81Sub4,     // solid 1 / 0: 0x81 subtype 4
  Brush_DarkBrown,      // solid 42: 0x81 subtype 5
  Brush_Depth1,         // solid 44
  Brush_Depth2,         // solid 23 / 28
  Brush_Depth3,         // solid 24 / 29
  Brush_Depth4,         // solid 25 / 30
  Brush_Depth5,         // solid 26 / 31
  Brush_Depth6,         // solid 27 / 32
  Brush_Magenta,        // solid 38
  Brush_BDiagBlue,      // hatch backward diagonal 3
  Brush_FDiagPink,      // hatch forward diagonal 5
  Brush_VertBrown,      // hatch vertical 17
  Brush_Default,        // solid 1 / 16
  Brush_Background,     // solid 14 / 16: the fill of the whole back buffer
  Brush_MapArea,        // solid 12 / 0: the map's area
  Brush_Black,          // solid 0
  Brush_Count
};

// The pens of the set: pen 0 the default of the line pen table, then the
// line pens in the order of the line rules (types that share a pen share its
// slot; subtypes of types 0x41 and 0x47 with a style of their own have their
// own slot), the graticule pen and the thin grey outline.
enum PenId_t : int {
  Pen_Default = 0,  // solid 1, 0 / 13
  Pen_Solid3_2,
  Pen_Solid3_4,
  Pen_Solid2_4,
  Pen_Solid2_0_13,
  Pen_Solid1_15,
  Pen_Solid3_15,
  Pen_Dash1_15,
  Pen_Solid3_16_13,
  Pen_Dot1_15,
  Pen_Solid1_10_3,
  Pen_Dash1_0_1,
  Pen_Solid2_15,
  Pen_Solid1_18_17,
  Pen_Solid2_18_17,
  Pen_Solid3_18_17,
  Pen_Solid1_19_34,
  Pen_Dash1_10_8,
  Pen_Solid1_4,
  Pen_Solid1_0_15,
  Pen_Line41Sub1,  // solid 1, 15
  Pen_Solid1_38,
  Pen_Solid2_0_1,
  Pen_Solid1_34,
  Pen_Solid1_5,
  Pen_Dash1_0_19,
  Pen_Solid1_3,
  Pen_Line47Sub4,  // solid 1, 5
  Pen_Solid1_17,
  Pen_Solid1_0_1,
  Pen_Solid1_6,
  Pen_Graticule,  // solid 1, 0 / 13
  Pen_ThinGrey,  // solid 1, 13: outline of hollow areas 0x4a
  Pen_Count
};

const StyleSpec_t& GetBrushSpec(BrushId_t id);
const StyleSpec_t& GetPenSpec(PenId_t id);

static_assert(Brush_Count == 35 && Pen_Count == 33);

// The process-wide set. Create makes every object for the scheme (0 or 1) and
// answers false when the set was made for that scheme already; objects made
// for another scheme are replaced. Brush and pen handles stay valid until the
// next scheme change.
class GdiSet_t {
 public:
  static GdiSet_t& Instance();

  bool Create(int scheme);
  bool IsCreated() const { return m_created; }
  int GetScheme() const { return m_scheme; }

  const plat::GdiHandle_t& Brush(BrushId_t id) const { return m_brushes[id].GetSafeHandle(); }
  const plat::GdiHandle_t& Pen(PenId_t id) const { return m_pens[id].GetSafeHandle(); }

 private:
  GdiSet_t() = default;
  plat::Brush_t m_brushes[Brush_Count];
  plat::Pen_t m_pens[Pen_Count];
  int m_scheme = 0;
  bool m_created = false;
};

// The brush of an area without a colour attribute, by type and subtype;
// 'basemapAlternate' when the area belongs to the basemap and the product
// asks for alternate colours. Areas 0x4a also get the thin grey outline
// ('outline' set to Pen_ThinGrey, else left alone).
BrushId_t AreaBrush(std::uint16_t type, std::uint8_t subtype, bool basemapAlternate, PenId_t* outline = nullptr);

// The pen of a line without a pen attribute, by type and subtype.
PenId_t LinePen(std::uint16_t type, std::uint8_t subtype);

// The map-area brush: the khaki one when the product asks for alternate colours.
inline BrushId_t MapAreaBrush(bool alternateColors) { return alternateColors ? Brush_Khaki : Brush_MapArea; }

}  // namespace map
