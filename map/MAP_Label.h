#pragma once
// Map labels: the label fonts, the label record of an area, a line or a
// point (text, font, colour, priority and the screen box the text covers),
// the drawing of a label with a white halo or in a shield, and the blocks of
// product notices at the bottom of a page or of the screen.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "map/MAP_ImageList.h"
#include "plat/PLAT_Dc.h"
#include "plat/PLAT_GdiObject.h"

namespace map {

// Where label texts come from: the map's label store. The flags are passed
// through unchanged.
class LabelSource_t {
 public:
  virtual ~LabelSource_t() = default;
  // The text of a label reference.
  virtual std::string GetLabelText(std::uint32_t labelId, std::uint32_t flags) = 0;
};

// The label fonts. Point fonts are named by the factor applied to the map
// font's height; the rotated font is one unrotated font, turned when drawn.
enum class LabelFont_t : std::uint8_t { X10, X11, X6, X15, X8, X7, X6Underlined, Shield15, Shield12, Rotated };

// Creates the label fonts from the map-font setting once; later calls do
// nothing, so a changed setting does not reach the labels.
void CreateLabelFonts();
bool LabelFontsCreated();
// The font object of a label font (created on first use).
const plat::Font_t& GetLabelFont(LabelFont_t font);

// Index (0..60) of the rotated font for a text angle in tenths of a degree;
// text never reads upside down. The font of index i runs at 270 + 3 i degrees.
int GetRotatedLabelFont(int angle);
// Escapement in tenths of a degree of rotated font i.
int RotatedFontEscapement(int index);

// Shield kind of a text: 2-7 for a first character of code 1-6 (the
// shield marks of the map's label texts), else 1.
int GetShieldKind(const std::string& text);
bool IsShieldText(const std::string& text);
// Width and height of a shield box for a shown text.
plat::SIZE GetLabelBoxSize(plat::Dc_t& dc, const std::string& text, int kind);
// Draws the frame of a long shield; false (nothing drawn) for kinds without one.
bool DrawShieldFrame(plat::Dc_t& dc, int kind, int width, int height, int x, int y);

// Colours of labels.
struct LabelColours_t {
  plat::COLORREF general = 0;
  plat::COLORREF second = 0;  // point types 41-48
  plat::COLORREF third = 0;   // point types 18, 64-88, 90-97
  plat::COLORREF fourth = 0;  // point types 100-102
};
LabelColours_t& GetLabelColours();

// The label data of an area.
struct AreaLabelRecord_t {
  std::uint16_t type = 0;
  std::uint32_t labelId = 0;  // 0: no label
};

// The label data of a point.
struct PointLabelRecord_t {
  SymbolPoint_t symbol;
  std::uint32_t labelId = 0;  // 0: no label
  std::int32_t value = 0;     // measured value (attribute classes 2 and 3)
  std::uint8_t unitCode = 2;  // unit of the value: 0 ft, 1 tenth ft, 2 m, 3 tenth m, 4 fathoms
  plat::COLORREF colour = 0;  // map colour of a colour-coded point (class 5)
};

enum LabelKind_t : std::int32_t { kAreaLabel = 0, kLineLabel = 1, kPointLabel = 2 };

class Label_t {
 public:
  // Corners in canonical order: 0 the largest y, 1 the smallest x, 2 the
  // smallest y, 3 the largest x.
  std::array<plat::POINT, 4> corners{};
  std::int32_t angle = 0;  // tenths of a degree
  bool upright = true;
  std::int32_t shieldKind = 1;
  std::uint32_t labelId = 0;
  std::int32_t x = 0;
  std::int32_t y = 0;
  LabelFont_t font = LabelFont_t::X10;
  std::uint32_t priority = 0;
  std::string text;
  plat::COLORREF colour = 0;
  std::int32_t kind = kAreaLabel;

  void InitAreaLabel(const AreaLabelRecord_t& area, LabelSource_t& source, plat::Dc_t& dc, plat::POINT anchor,
                     std::uint32_t priority);
  void InitPointLabel(const PointLabelRecord_t& point, int symbolIndex, LabelSource_t& source, plat::Dc_t& dc,
                      plat::POINT anchor, std::uint32_t priority);
  void InitLineLabel(plat::Dc_t& dc, std::uint32_t labelId, plat::POINT a, plat::POINT b, std::uint32_t priority,
                     const std::string& text);

  // Draws the label; shields come from the shield image list (none: the
  // short shields show their text alone).
  void Draw(plat::Dc_t& dc, const ImageList_t* shields) const;

  // True when the boxes of the two labels meet.
  static bool Overlaps(const Label_t& e, const Label_t& n);
  // Puts four corners into canonical order.
  static std::array<plat::POINT, 4> NormaliseCorners(const std::array<plat::POINT, 4>& corners);
  // Smallest and largest x and y of the box.
  int MinX() const { return corners[1].x; }
  int MaxX() const { return corners[3].x; }
  int MinY() const { return corners[2].y; }
  int MaxY() const { return corners[0].y; }

 private:
  void SetUprightBox(int left, int top, int right, int bottom);
};

// Metres written in a unit: feet (0), metres (1) or fathoms (2), fixed with
// 'decimals' decimals.
std::string FormatMetres(double metres, int unit, int decimals);

// One product notice.
struct Notice_t {
  std::string text;
  bool printWithoutDetail = false;
  bool printWithDetail = false;
  bool screenWithoutDetail = false;
  bool screenWithDetail = false;
  bool picture = false;
};

// The notice font: the map font at 7 points for this device.
bool CreateNoticeFont(plat::Dc_t& dc, plat::Font_t& font);
// Draws the notices that are texts and shown on this medium, word-wrapped
// across 'width' and stacked upward from 'bottom'; the height they took.
int DrawNoticeBlock(plat::Dc_t& dc, const std::vector<Notice_t>& notices, bool print, bool detailMaps, int width,
                    int bottom);
// The notices of a printed page, at the bottom of the device: the height
// taken plus a tenth of an inch when any notice was drawn.
int DrawPrintNotices(plat::Dc_t& dc, const std::vector<Notice_t>& notices, bool detailMaps);
// The notices of the screen, at the bottom of the window's client area.
int DrawScreenNotices(plat::Dc_t& dc, const std::vector<Notice_t>& notices, bool detailMaps, int clientHeight);

}  // namespace map
