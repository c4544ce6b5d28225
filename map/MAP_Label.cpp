#include "map/MAP_Label.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <locale>
#include <map>
#include <memory>

#include "glo/GLO_Exception.h"
#include "glo/GLO_NoCase.h"
#include "map/MAP_Registry.h"
#include "map/MAP_Scale.h"
#include "mpl/MPL_Lbl.h"

namespace map {

namespace {

constexpr plat::COLORREF kWhite = 0x00FFFFFFu;
constexpr plat::COLORREF kBlack = 0x00000000u;
constexpr plat::COLORREF kRedRgb = 0x000000FFu;
constexpr plat::COLORREF kBlueRgb = 0x00FF0000u;

struct LabelFonts_t {
  bool created = false;
  plat::LOGFONTA rotated{};  // the unrotated face and size of line labels
  std::map<LabelFont_t, std::unique_ptr<plat::Font_t>> fonts;
};

LabelFonts_t& Fonts() {
  static LabelFonts_t fonts;
  return fonts;
}

// Rounds as the labels do: add a half and truncate toward zero.
int RoundHalf(double v) { return static_cast<int>(v + 0.5); }

std::unique_ptr<plat::Font_t> PointFont(const plat::LOGFONTA& base, int factor, bool underline) {
  plat::LOGFONTA lf = base;
  lf.lfHeight = base.lfHeight * factor;
  lf.lfUnderline = underline ? 1 : 0;
  auto font = std::make_unique<plat::Font_t>();
  GLO_ASSERT(font->CreatePointFontIndirect(lf));
  return font;
}

std::unique_ptr<plat::Font_t> CellFont(const plat::LOGFONTA& base, int height) {
  plat::LOGFONTA lf = base;
  lf.lfHeight = height;
  auto font = std::make_unique<plat::Font_t>();
  GLO_ASSERT(font->CreateFontIndirect(lf));
  return font;
}

// The text size of 'text' in a label font.
plat::SIZE Measure(plat::Dc_t& dc, LabelFont_t font, const std::string& text) {
  const plat::GdiHandle_t old = dc.SelectObject(GetLabelFont(font));
  plat::SIZE size{0, 0};
  dc.GetTextExtentPoint32(text, size);
  if (!old.IsNull()) dc.SelectObject(old);
  return size;
}

plat::POINT Pt(int x, int y) { return plat::POINT{x, y}; }

// Cross product of (b - a) and (c - a), in 64 bits.
long long Cross(plat::POINT a, plat::POINT b, plat::POINT c) {
  return (long long)(b.x - a.x) * (c.y - a.y) - (long long)(b.y - a.y) * (c.x - a.x);
}

int Sign(long long v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

// Strictly on one side of the line through a and b, both of them.
bool SameStrictSide(plat::POINT a, plat::POINT b, plat::POINT p, plat::POINT q) {
  const int s1 = Sign(Cross(a, b, p)), s2 = Sign(Cross(a, b, q));
  return s1 != 0 && s1 == s2;
}

// A point inside a box (or on its edge).
bool Inside(const std::array<plat::POINT, 4>& c, plat::POINT p) {
  // Edges 1-2 and 0-3 are opposite, as are 2-3 and 1-0: a point inside lies
  // between each pair, not strictly on the same side of both.
  const int a1 = Sign(Cross(c[1], c[2], p)), a2 = Sign(Cross(c[0], c[3], p));
  const int b1 = Sign(Cross(c[2], c[3], p)), b2 = Sign(Cross(c[1], c[0], p));
  const bool betweenA = a1 == 0 || a2 == 0 || a1 != a2;
  const bool betweenB = b1 == 0 || b2 == 0 || b1 != b2;
  return betweenA && betweenB;
}

bool SegmentsMeet(plat::POINT a, plat::POINT b, plat::POINT c, plat::POINT d) {
  const long long d1 = Cross(a, b, c), d2 = Cross(a, b, d), d3 = Cross(c, d, a), d4 = Cross(c, d, b);
  if (d1 == 0 && d2 == 0) {  // collinear: their extents must overlap
    return std::max(std::min(a.x, b.x), std::min(c.x, d.x)) <= std::min(std::max(a.x, b.x), std::max(c.x, d.x)) &&
           std::max(std::min(a.y, b.y), std::min(c.y, d.y)) <= std::min(std::max(a.y, b.y), std::max(c.y, d.y));
  }
  return !SameStrictSide(a, b, c, d) && !SameStrictSide(c, d, a, b) && Sign(d1) * Sign(d2) <= 0 &&
         Sign(d3) * Sign(d4) <= 0;
}

std::string TrimDotZero(std::string text) {
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, ".0") == 0) text.resize(text.size() - 2);
  return text;
}

// The text read whole as a number; false when it is not one.
bool ReadNumber(const std::string& text, double& value) {
  std::size_t b = 0, e = text.size();
  while (b < e && text[b] == ' ') ++b;
  while (e > b && text[e - 1] == ' ') --e;
  if (b == e) return false;
  const char* first = text.data() + b;
  if (*first == '+') ++first;
  const auto [ptr, ec] = std::from_chars(first, text.data() + e, value);
  return ec == std::errc() && ptr == text.data() + e;
}

int DepthUnit() {
  GLO_ASSERT(GetRegistry().DepthUnits.IsPresent());
  return static_cast<int>(GetRegistry().DepthUnits.Value());
}

int ElevationUnit() {
  GLO_ASSERT(GetRegistry().ElevationUnits.IsPresent());
  return static_cast<int>(GetRegistry().ElevationUnits.Value());
}

}  // namespace

void CreateLabelFonts() {
  LabelFonts_t& f = Fonts();
  if (f.created) return;
  const plat::LOGFONTA base = GetRegistry().MapFont();
  f.fonts[LabelFont_t::X10] = PointFont(base, 10, false);
  f.fonts[LabelFont_t::X11] = PointFont(base, 11, false);
  f.fonts[LabelFont_t::X6] = PointFont(base, 6, false);
  f.fonts[LabelFont_t::X15] = PointFont(base, 15, false);
  f.fonts[LabelFont_t::X8] = PointFont(base, 8, false);
  f.fonts[LabelFont_t::X7] = PointFont(base, 7, false);
  f.fonts[LabelFont_t::X6Underlined] = PointFont(base, 6, true);
  f.fonts[LabelFont_t::Shield15] = CellFont(base, 15);
  f.fonts[LabelFont_t::Shield12] = CellFont(base, 12);
  // Line labels: one unrotated font, turned to the text's angle when drawn.
  f.rotated = base;
  f.rotated.lfHeight = static_cast<std::int32_t>(base.lfHeight * 10 * 0.83);
  f.rotated.lfEscapement = 0;
  f.rotated.lfOrientation = 0;
  auto rotated = std::make_unique<plat::Font_t>();
  GLO_ASSERT(rotated->CreatePointFontIndirect(f.rotated));
  f.fonts[LabelFont_t::Rotated] = std::move(rotated);
  f.created = true;
}

bool LabelFontsCreated() { return Fonts().created; }

const plat::Font_t& GetLabelFont(LabelFont_t font) {
  CreateLabelFonts();
  return *Fonts().fonts.at(font);
}

int RotatedFontEscapement(int index) {
  int e = 2700 + 30 * index;
  if (e >= 3600) e -= 3600;
  return e;
}

int GetRotatedLabelFont(int a) {
  if (a >= 930 && a <= 1770)
    a += 1800;
  else if (a >= 1800 && a <= 2670)
    a -= 1800;
  const int index = a + 900 < 3600 ? RoundHalf((a + 900) * 0.033333335) : RoundHalf((a - 2700) * 0.033333335);
  return std::clamp(index, 0, 60);
}

int GetShieldKind(const std::string& text) {
  if (text.empty()) return 1;
  const char c = text[0];
  return c >= 1 && c <= 6 ? c + 1 : 1;
}

bool IsShieldText(const std::string& text) { return GetShieldKind(text) >= 2; }

plat::SIZE GetLabelBoxSize(plat::Dc_t& dc, const std::string& text, int kind) {
  if (kind == 1) return plat::SIZE{0, 0};
  if (text.size() < 4) return plat::SIZE{kShieldImageSize, kShieldImageSize};
  const plat::SIZE size = Measure(dc, kind == 2 ? LabelFont_t::Shield12 : LabelFont_t::Shield15, text);
  return plat::SIZE{size.cx + 6, 19};
}

bool DrawShieldFrame(plat::Dc_t& dc, int kind, int w, int h, int x, int y) {
  const int left = x - w / 2, right = left + w, top = y - h / 2, bottom = top + h;
  plat::COLORREF outer = 0, inner = 0;
  bool rounded = false;
  switch (kind) {
    case 4:
    case 7: inner = kWhite; break;
    case 5: outer = kRedRgb; inner = kBlueRgb; rounded = true; break;
    case 6: outer = kBlack; inner = kWhite; rounded = true; break;
    default: return false;
  }
  const plat::GdiHandle_t oldPen = dc.SelectStockObject(plat::kBlackPen);
  plat::Brush_t outerBrush, innerBrush;
  innerBrush.CreateSolidBrush(inner);
  if (rounded) {
    outerBrush.CreateSolidBrush(outer);
    const plat::GdiHandle_t oldBrush = dc.SelectObject(outerBrush);
    dc.RoundRect(left, top, right, bottom, 3, 3);
    dc.SelectObject(oldBrush);
  }
  const plat::GdiHandle_t oldBrush = dc.SelectObject(innerBrush);
  dc.Rectangle(left, top + 3, right, bottom - 3);
  dc.SelectObject(oldBrush);
  dc.SelectObject(oldPen);
  return true;
}

LabelColours_t& GetLabelColours() {
  static LabelColours_t colours;
  return colours;
}

std::string FormatMetres(double metres, int unit, int decimals) {
  double v = metres;
  if (unit == 0) v = metres / 0.3048;
  else if (unit == 2) v = metres / 1.8288;
  char buffer[64];
  const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimals);
  if (ec != std::errc()) return std::string();
  std::string text(buffer, ptr);
  if (text.find_first_not_of("-0.") == std::string::npos && text[0] == '-') text.erase(0, 1);  // no "-0"
  return text;
}

void Label_t::SetUprightBox(int left, int top, int right, int bottom) {
  corners = {Pt(left, bottom), Pt(left, top), Pt(right, top), Pt(right, bottom)};
  upright = true;
}

void Label_t::InitAreaLabel(const AreaLabelRecord_t& area, LabelSource_t& source, plat::Dc_t& dc, plat::POINT anchor,
                            std::uint32_t prio) {
  CreateLabelFonts();
  angle = 0;
  shieldKind = 1;
  labelId = area.labelId;
  priority = prio;
  colour = GetLabelColours().general;
  kind = kAreaLabel;
  text = source.GetLabelText(area.labelId, mpl::kLabelTitleCase);
  const int t = area.type;
  if ((t >= 4 && t <= 19) || t == 23 || t == 24 || t == 26)
    font = LabelFont_t::X6;
  else if ((t >= 20 && t <= 22) || t == 25 || (t >= 30 && t <= 32))
    font = LabelFont_t::X8;
  else if ((t >= 60 && t <= 68) || (t >= 70 && t <= 73) || t == 76)
    font = LabelFont_t::X7;
  else
    font = LabelFont_t::X10;
  const plat::SIZE size = Measure(dc, font, text);
  x = anchor.x - size.cx / 2;
  y = anchor.y - size.cy / 2;
  SetUprightBox(x - 2, y - 2, x + size.cx + 2, y + size.cy + 2);
}

void Label_t::InitPointLabel(const PointLabelRecord_t& point, int symbolIndex, LabelSource_t& source, plat::Dc_t& dc,
                             plat::POINT anchor, std::uint32_t prio) {
  CreateLabelFonts();
  const int t = point.symbol.type;
  const int sub = point.symbol.subtype;
  angle = 0;
  shieldKind = 1;
  x = anchor.x;
  y = anchor.y;
  font = LabelFont_t::X10;
  colour = GetLabelColours().general;
  kind = kPointLabel;
  priority = prio;
  bool centred = false;

  std::uint32_t flags = mpl::kLabelTitleCase | mpl::kLabelBaseName;
  if ((t >= 22 && t <= 28) || (t >= 32 && t <= 39) || t == 262)
    flags = mpl::kLabelBaseName;
  else if (t == 265 && sub == 1)
    flags = mpl::kLabelSecondName | mpl::kLabelBaseName;
  labelId = point.labelId;
  text = point.labelId != 0 ? source.GetLabelText(point.labelId, flags) : std::string();

  const LabelColours_t& colours = GetLabelColours();
  if (t == 0 || (t >= 22 && t <= 29) || t == 261) font = LabelFont_t::X7;
  else if (t >= 1 && t <= 5) font = LabelFont_t::X11;
  else if (t >= 11 && t <= 13) font = LabelFont_t::X8;
  else if (t == 18 || (t >= 64 && t <= 88) || (t >= 90 && t <= 97)) { font = LabelFont_t::X6; colour = colours.third; }
  else if (t == 20 || t == 21) { font = LabelFont_t::X15; centred = true; }
  else if (t == 30) centred = true;
  else if (t == 31) { font = LabelFont_t::X11; centred = true; }
  else if (t >= 32 && t <= 39) font = LabelFont_t::X8;
  else if (t == 40 || t == 262) { font = LabelFont_t::X7; centred = true; }
  else if (t >= 41 && t <= 48) { font = LabelFont_t::X6; colour = colours.second; }
  else if (t == 89) font = sub <= 1 ? LabelFont_t::X8 : LabelFont_t::X7;
  else if (t == 98 || t == 99) font = LabelFont_t::X7;
  else if (t >= 100 && t <= 102) { font = LabelFont_t::X6; colour = colours.fourth; }
  else if (t == 259) font = point.symbol.attrClass == 3 ? LabelFont_t::X6Underlined : LabelFont_t::X6;
  else if (t == 265) font = sub == 1 ? LabelFont_t::X7 : sub == 2 ? LabelFont_t::X6 : sub == 3 ? LabelFont_t::X8 : LabelFont_t::X10;

  // Values read as metres and written in the user's unit.
  double metres = 0;
  if (t == 98 && DepthUnit() != 0) {
    text = ReadNumber(text, metres) ? FormatMetres(metres, DepthUnit(), 1) : std::string();
  } else if (t == 99 && ElevationUnit() != 0) {
    text = ReadNumber(text, metres) ? FormatMetres(metres, ElevationUnit(), 0) : std::string();
  } else if (t >= 100 && t <= 102) {
    text = point.labelId != 0 ? source.GetLabelText(point.labelId, mpl::kLabelRaw) : std::string();
    const std::size_t mark = text.find('\x1f');
    if (mark != std::string::npos && ElevationUnit() != 0 && ReadNumber(text.substr(mark + 1), metres))
      text += " " + FormatMetres(metres, ElevationUnit(), 0);
  }

  const std::uint8_t cls = point.symbol.attrClass;
  if (cls == 2 || cls == 3) {
    if (symbolIndex == 0) centred = true;
    text = TrimDotZero(FormatMetres(MdbUnitsToMetres(point.value, point.unitCode), DepthUnit(), 1));
  } else if (cls == 5) {
    colour = point.colour;
  }

  const plat::SIZE size = Measure(dc, font, text);
  if (centred) {
    x -= size.cx / 2;
    y -= size.cy / 2;
  } else {
    y -= size.cy;
  }
  x += GetIconSize(symbolIndex) / 2;
  SetUprightBox(x - 2, y - 2, x + size.cx + 2, y + size.cy + 2);
}

void Label_t::InitLineLabel(plat::Dc_t& dc, std::uint32_t id, plat::POINT a, plat::POINT b, std::uint32_t prio,
                            const std::string& labelText) {
  CreateLabelFonts();
  x = (a.x + b.x) / 2;
  y = (a.y + b.y) / 2;
  labelId = id;
  priority = prio;
  font = LabelFont_t::X10;
  colour = GetLabelColours().general;
  kind = kLineLabel;
  upright = true;
  angle = 0;
  text = labelText;
  shieldKind = GetShieldKind(text);
  if (shieldKind >= 2) {
    const std::size_t blank = text.find(' ');
    if (blank != std::string::npos) text.resize(blank);
    const plat::SIZE size = GetLabelBoxSize(dc, text.substr(1), shieldKind);
    SetUprightBox(x - size.cx / 2 - 2, y - size.cy / 2 - 2, x + size.cx / 2 + 2, y + size.cy / 2 + 2);
    return;
  }
  if (a.x > b.x || (a.x == b.x && a.y < b.y)) std::swap(a, b);
  const int dx = b.x - a.x, dy = a.y - b.y;
  if (dx == 0) {
    angle = 900;
  } else if (dy == 0) {
    angle = 0;
  } else {
    angle = static_cast<int>(std::atan2(double(dy), double(dx)) * 1800.0 / 3.14159265358979323846);
    if (angle < 0) angle += 3600;
  }
  angle = RoundHalf(angle * 0.033333335) * 30;
  if (angle >= 3600) angle -= 3600;
  font = LabelFont_t::Rotated;
  const plat::SIZE size = Measure(dc, font, text);
  const double rad = angle * 3.14159265358979323846 / 1800.0;
  const double cs = std::cos(rad), sn = std::sin(rad);
  const int cx = x, cy = y;
  auto at = [&](double u, double v) {
    return Pt(cx + RoundHalf(u * cs - v * sn), cy - RoundHalf(u * sn + v * cs));
  };
  const double half = size.cx / 2 + 2;
  const std::array<plat::POINT, 4> box = {at(-half, 0), at(-half, size.cy + 4), at(half, size.cy + 4), at(half, 0)};
  const plat::POINT origin = at(-(size.cx / 2), size.cy + 2);
  x = origin.x;
  y = origin.y;
  corners = NormaliseCorners(box);
  if (angle == 0 || angle == 900 || angle == 2700) {
    upright = true;
    ++priority;
  } else {
    upright = false;
  }
}

std::array<plat::POINT, 4> Label_t::NormaliseCorners(const std::array<plat::POINT, 4>& c) {
  int minX = c[0].x, maxX = c[0].x, minY = c[0].y, maxY = c[0].y;
  for (const auto& p : c) {
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
  }
  int onEdge = 0;
  for (const auto& p : c)
    if ((p.x == minX || p.x == maxX) && (p.y == minY || p.y == maxY)) ++onEdge;
  if (onEdge == 4) return {Pt(minX, maxY), Pt(minX, minY), Pt(maxX, minY), Pt(maxX, maxY)};
  std::size_t i0 = 0, i1 = 0, i2 = 0, i3 = 0;
  for (std::size_t i = 1; i < 4; ++i) {
    if (c[i].y > c[i0].y) i0 = i;
    if (c[i].x < c[i1].x) i1 = i;
    if (c[i].y < c[i2].y) i2 = i;
    if (c[i].x > c[i3].x) i3 = i;
  }
  return {c[i0], c[i1], c[i2], c[i3]};
}

bool Label_t::Overlaps(const Label_t& e, const Label_t& n) {
  if (!(n.MaxX() >= e.MinX() && e.MaxX() >= n.MinX() && e.MaxY() >= n.MinY() && n.MaxY() >= e.MinY())) return false;
  if (e.upright && n.upright) return true;
  for (const auto& p : n.corners)
    if (Inside(e.corners, p)) return true;
  for (const auto& p : e.corners)
    if (Inside(n.corners, p)) return true;
  const plat::POINT* ec = e.corners.data();
  const plat::POINT* nc = n.corners.data();
  return SegmentsMeet(ec[1], ec[3], nc[1], nc[3]) || SegmentsMeet(ec[1], ec[3], nc[2], nc[0]) ||
         SegmentsMeet(ec[2], ec[0], nc[1], nc[3]) || SegmentsMeet(ec[2], ec[0], nc[2], nc[0]);
}

void Label_t::Draw(plat::Dc_t& dc, const ImageList_t* shields) const {
  const plat::COLORREF oldColour = dc.GetTextColor();
  const unsigned oldAlign = dc.GetTextAlign();
  if (shieldKind <= 1) {
    plat::Font_t turned;
    const plat::Font_t* use = &GetLabelFont(font);
    if (font == LabelFont_t::Rotated) {
      plat::LOGFONTA lf = Fonts().rotated;
      lf.lfEscapement = lf.lfOrientation = RotatedFontEscapement(GetRotatedLabelFont(angle));
      GLO_ASSERT(turned.CreatePointFontIndirect(lf));
      use = &turned;
    }
    const plat::GdiHandle_t oldFont = dc.SelectObject(*use);
    dc.SetTextAlign(plat::kTaLeft | plat::kTaTop);
    dc.SetTextColor(kWhite);
    dc.TextOut(x - 1, y, text);
    dc.TextOut(x + 1, y, text);
    dc.TextOut(x, y - 1, text);
    dc.TextOut(x, y + 1, text);
    dc.SetTextColor(colour);
    dc.TextOut(x, y, text);
    if (!oldFont.IsNull()) dc.SelectObject(oldFont);
  } else {
    const std::string upper = glo::ToUpper(text, std::locale());
    const std::string shown = upper.size() > 1 ? upper.substr(1) : std::string();
    struct Look_t { LabelFont_t font; plat::COLORREF colour; int dx, dy; };
    static const Look_t looks[6] = {{LabelFont_t::Shield12, kWhite, 1, -5}, {LabelFont_t::Shield15, kBlack, 1, -6},
                                    {LabelFont_t::Shield15, kBlack, 1, -7}, {LabelFont_t::Shield15, kWhite, 1, -7},
                                    {LabelFont_t::Shield15, kBlack, 1, -7}, {LabelFont_t::Shield15, kBlack, 0, -7}};
    const Look_t& look = looks[std::clamp(shieldKind, 2, 7) - 2];
    bool drawn = true;
    if (shown.size() <= 3) {
      if (shields != nullptr) shields->Draw(dc, shieldKind, x - 13, y - 13);
    } else {
      const plat::SIZE box = GetLabelBoxSize(dc, shown, shieldKind);
      drawn = DrawShieldFrame(dc, shieldKind, box.cx, box.cy, x, y);
    }
    if (drawn) {
      const plat::GdiHandle_t oldFont = dc.SelectObject(GetLabelFont(look.font));
      dc.SetTextAlign(plat::kTaCenter | plat::kTaTop);
      dc.SetTextColor(look.colour);
      dc.TextOut(x + look.dx, y + look.dy, shown);
      if (!oldFont.IsNull()) dc.SelectObject(oldFont);
    }
  }
  dc.SetTextColor(oldColour);
  dc.SetTextAlign(oldAlign);
}

bool CreateNoticeFont(plat::Dc_t& dc, plat::Font_t& font) {
  plat::LOGFONTA lf = GetRegistry().MapFont();
  lf.lfHeight = 70;
  return font.CreatePointFontIndirect(lf, &dc);
}

int DrawNoticeBlock(plat::Dc_t& dc, const std::vector<Notice_t>& notices, bool print, bool detailMaps, int width,
                    int bottom) {
  plat::Font_t font;
  GLO_ASSERT(CreateNoticeFont(dc, font));
  const plat::GdiHandle_t oldFont = dc.SelectObject(font);
  const plat::COLORREF oldBk = dc.SetBkColor(kWhite);
  const int oldMode = dc.SetBkMode(plat::kOpaque);
  const unsigned oldAlign = dc.SetTextAlign(plat::kTaLeft | plat::kTaTop);
  int used = 0;
  for (const Notice_t& n : notices) {
    if (n.picture) continue;
    const bool show = print ? (detailMaps ? n.printWithDetail : n.printWithoutDetail)
                            : (detailMaps ? n.screenWithDetail : n.screenWithoutDetail);
    if (!show) continue;
    // Measured word-wrapped across the width, then drawn above what the
    // notices before it took.
    plat::RECT measure{0, 0, width, 0};
    const int height = dc.DrawText(n.text, measure, plat::kDtWordBreak | plat::kDtCalcRect);
    plat::RECT box{0, bottom - used - height, width, bottom - used};
    dc.DrawText(n.text, box, plat::kDtWordBreak);
    used += height;
  }
  dc.SetTextAlign(oldAlign);
  dc.SetBkMode(oldMode);
  dc.SetBkColor(oldBk);
  if (!oldFont.IsNull()) dc.SelectObject(oldFont);
  return used;
}

int DrawPrintNotices(plat::Dc_t& dc, const std::vector<Notice_t>& notices, bool detailMaps) {
  const int used = DrawNoticeBlock(dc, notices, true, detailMaps, dc.GetDeviceCaps(plat::kHorzRes),
                                   dc.GetDeviceCaps(plat::kVertRes));
  return used > 0 ? used + dc.GetDeviceCaps(plat::kLogPixelsY) / 10 : 0;
}

int DrawScreenNotices(plat::Dc_t& dc, const std::vector<Notice_t>& notices, bool detailMaps, int clientHeight) {
  return DrawNoticeBlock(dc, notices, false, detailMaps, dc.GetDeviceCaps(plat::kHorzRes), clientHeight);
}

}  // namespace map
