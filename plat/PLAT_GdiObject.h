#pragma once
// Drawing objects: pens, brushes, fonts, bitmaps, regions, palettes and
// metafiles with the classic GDI model, and the plain data types of drawing.
// The device context that draws with them is in PLAT_Dc.h.
//
// The model:
// - Drawing objects are reference-counted handles (GdiHandle_t). A device context
//   holds a reference to every object selected into it, so deleting an object's
//   owner while it is selected never leaves the context with a dangling object.
// - Selecting a pen, brush, font, bitmap or palette returns the object it
//   replaces; a failure returns the null handle and sets the last error.
// - Pixels follow GDI's rules: no antialiasing; rectangles, ellipses, regions and
//   filled rectangles exclude their right and bottom edges; a line excludes its
//   last point; wide pens have round ends and joins; broken pens fill their gaps
//   with the background colour in opaque background mode.
// - The device is always true colour: palettes are kept and selected but change
//   no pixel; palette-relative colours take their entry from the selected palette.
//
// Colours are COLORREF values 0x00BBGGRR. Failures set plat::GetLastError.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plat {

// ---------------------------------------------------------------------------
// Plain data types, laid out as the system's drawing interfaces lay them out.

using COLORREF = std::uint32_t;

constexpr COLORREF Rgb(unsigned r, unsigned g, unsigned b) {
  return (r & 0xFFu) | ((g & 0xFFu) << 8) | ((b & 0xFFu) << 16);
}
constexpr unsigned GetRValue(COLORREF c) { return c & 0xFFu; }
constexpr unsigned GetGValue(COLORREF c) { return (c >> 8) & 0xFFu; }
constexpr unsigned GetBValue(COLORREF c) { return (c >> 16) & 0xFFu; }
// A colour that names an entry of the selected palette.
constexpr COLORREF PaletteIndex(unsigned index) { return 0x01000000u | (index & 0xFFFFu); }

constexpr COLORREF kClrInvalid = 0xFFFFFFFFu;

struct POINT {
  std::int32_t x;
  std::int32_t y;

  friend bool operator==(const POINT&, const POINT&) = default;
};

struct SIZE {
  std::int32_t cx;
  std::int32_t cy;

  friend bool operator==(const SIZE&, const SIZE&) = default;
};

struct RECT {
  std::int32_t left;
  std::int32_t top;
  std::int32_t right;
  std::int32_t bottom;

  friend bool operator==(const RECT&, const RECT&) = default;
};

// A logical font: 60 bytes, 32-bit integer fields.
struct LOGFONTA {
  std::int32_t lfHeight;
  std::int32_t lfWidth;
  std::int32_t lfEscapement;
  std::int32_t lfOrientation;  // kept but not read: text turns by lfEscapement alone
  std::int32_t lfWeight;
  std::uint8_t lfItalic;
  std::uint8_t lfUnderline;
  std::uint8_t lfStrikeOut;
  std::uint8_t lfCharSet;
  std::uint8_t lfOutPrecision;
  std::uint8_t lfClipPrecision;
  std::uint8_t lfQuality;
  std::uint8_t lfPitchAndFamily;
  char lfFaceName[32];
};
static_assert(sizeof(LOGFONTA) == 60, "LOGFONTA keeps its 60-byte layout");

struct PALETTEENTRY {
  std::uint8_t peRed;
  std::uint8_t peGreen;
  std::uint8_t peBlue;
  std::uint8_t peFlags;
};

struct RGBQUAD {
  std::uint8_t rgbBlue;
  std::uint8_t rgbGreen;
  std::uint8_t rgbRed;
  std::uint8_t rgbReserved;
};

struct BITMAPINFOHEADER {
  std::uint32_t biSize;
  std::int32_t biWidth;
  std::int32_t biHeight;  // negative: rows run top-down
  std::uint16_t biPlanes;
  std::uint16_t biBitCount;
  std::uint32_t biCompression;
  std::uint32_t biSizeImage;
  std::int32_t biXPelsPerMeter;
  std::int32_t biYPelsPerMeter;
  std::uint32_t biClrUsed;
  std::uint32_t biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER is 40 bytes");

struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};

struct BITMAP {
  std::int32_t bmType;
  std::int32_t bmWidth;
  std::int32_t bmHeight;
  std::int32_t bmWidthBytes;
  std::uint16_t bmPlanes;
  std::uint16_t bmBitsPixel;
  void* bmBits;
};

struct TEXTMETRICA {
  std::int32_t tmHeight;
  std::int32_t tmAscent;
  std::int32_t tmDescent;
  std::int32_t tmInternalLeading;
  std::int32_t tmExternalLeading;
  std::int32_t tmAveCharWidth;
  std::int32_t tmMaxCharWidth;
  std::int32_t tmWeight;
};

// ---------------------------------------------------------------------------
// Constants (values of the system's drawing interfaces).

enum : int {
  // Pen styles.
  kPsSolid = 0,
  kPsDash = 1,
  kPsDot = 2,
  kPsDashDot = 3,
  kPsDashDotDot = 4,
  kPsNull = 5,
  kPsInsideFrame = 6,
  // Stock objects.
  kWhiteBrush = 0,
  kLtGrayBrush = 1,
  kGrayBrush = 2,
  kDkGrayBrush = 3,
  kBlackBrush = 4,
  kNullBrush = 5,
  kWhitePen = 6,
  kBlackPen = 7,
  kNullPen = 8,
  kOemFixedFont = 10,
  kAnsiFixedFont = 11,
  kAnsiVarFont = 12,
  kSystemFont = 13,
  kDeviceDefaultFont = 14,
  kDefaultPalette = 15,
  kSystemFixedFont = 16,
  kDefaultGuiFont = 17,
  // Background modes.
  kTransparent = 1,
  kOpaque = 2,
  // Region combination modes.
  kRgnAnd = 1,
  kRgnOr = 2,
  kRgnXor = 3,
  kRgnDiff = 4,
  kRgnCopy = 5,
  // Region kinds (results of region operations); 0 is a failure.
  kRegionError = 0,
  kNullRegion = 1,
  kSimpleRegion = 2,
  kComplexRegion = 3,
  // Text alignment flags.
  kTaLeft = 0,
  kTaTop = 0,
  kTaRight = 2,
  kTaCenter = 6,
  kTaBottom = 8,
  kTaBaseline = 24,
  // Device capabilities.
  kHorzRes = 8,
  kVertRes = 10,
  kBitsPixel = 12,
  kRasterCaps = 38,
  kLogPixelsX = 88,
  kLogPixelsY = 90,
  kRcPalette = 0x100,
  // Bitmap header values.
  kBiRgb = 0,
  kDibRgbColors = 0,
};

// Raster operation of BitBlt: the plain source copy.
constexpr std::uint32_t kSrcCopy = 0x00CC0020u;
// Raster operation of PatBlt: the selected brush.
constexpr std::uint32_t kPatCopy = 0x00F00021u;

// ---------------------------------------------------------------------------
// Handles.

struct GdiObjData;

enum class GdiKind { None, Pen, Brush, Font, Bitmap, Region, Palette, MetaFile };

// A reference to a drawing object (or none). Copies refer to the same object;
// two handles are equal when they refer to the same object.
class GdiHandle_t {
 public:
  GdiHandle_t() = default;
  explicit GdiHandle_t(std::shared_ptr<GdiObjData> data) : m_data(std::move(data)) {}

  bool IsNull() const { return !m_data; }
  explicit operator bool() const { return static_cast<bool>(m_data); }
  GdiKind Kind() const;
  bool IsStock() const;
  void Reset() { m_data.reset(); }

  friend bool operator==(const GdiHandle_t& a, const GdiHandle_t& b) { return a.m_data == b.m_data; }
  friend bool operator!=(const GdiHandle_t& a, const GdiHandle_t& b) { return a.m_data != b.m_data; }

  GdiObjData* Data() const { return m_data.get(); }
  const std::shared_ptr<GdiObjData>& Shared() const { return m_data; }

 private:
  std::shared_ptr<GdiObjData> m_data;
};

// The process-wide stock object of an index (kWhiteBrush ... kDefaultGuiFont);
// the null handle (last error 87) for another index. Stock objects live for the
// whole process; deleting them does nothing.
GdiHandle_t GetStockObject(int index);

// The application's default font as a logical font (the stock GUI font).
LOGFONTA GetDefaultGuiLogFontData();

// ---------------------------------------------------------------------------
// Owners of drawing objects. Each owns at most one object; DeleteObject drops
// it. Non-copyable; the destructor drops the object.

class Dc_t;

class GdiObject_t {
 public:
  GdiObject_t() = default;
  GdiObject_t(const GdiObject_t&) = delete;
  GdiObject_t& operator=(const GdiObject_t&) = delete;
  virtual ~GdiObject_t();

  const GdiHandle_t& GetSafeHandle() const { return m_handle; }
  bool IsNull() const { return m_handle.IsNull(); }
  // Drops the object; false (last error 6) when there was none.
  bool DeleteObject();
  // Takes a handle over (false when one is held already or the handle is null).
  bool Attach(const GdiHandle_t& handle);
  GdiHandle_t Detach();

 protected:
  GdiHandle_t m_handle;
};

class Pen_t : public GdiObject_t {
 public:
  // Styles kPsSolid ... kPsInsideFrame; width 0 or 1 gives a one-pixel pen.
  bool CreatePen(int style, int width, COLORREF colour);
};

// Hatch styles of CreateHatchBrush.
enum : int {
  kHsHorizontal = 0,
  kHsVertical = 1,
  kHsFDiagonal = 2,  // top left to bottom right
  kHsBDiagonal = 3,  // bottom left to top right
  kHsCross = 4,
  kHsDiagCross = 5,
};

class Brush_t : public GdiObject_t {
 public:
  bool CreateSolidBrush(COLORREF colour);
  // A hatched brush: lines of the colour in an 8 x 8 pattern aligned to the
  // device's origin; between them the background colour in opaque background
  // mode, nothing in transparent mode. False (last error 87) for another style.
  bool CreateHatchBrush(int style, COLORREF colour);
};


class Font_t : public GdiObject_t {
 public:
  bool CreateFontIndirect(const LOGFONTA& logFont);
  // A font whose lfHeight is a size in tenths of a point, turned into the
  // character height in pixels at the context's vertical resolution (96 dots
  // per inch without a context).
  bool CreatePointFontIndirect(const LOGFONTA& logFont, const Dc_t* dc = nullptr);
};

// Reads the logical font of a font handle; false for another kind of handle.
bool GetLogFont(const GdiHandle_t& font, LOGFONTA& logFont);

class Bitmap_t : public GdiObject_t {
 public:
  // A 32-bit bitmap of that size, all black; width and height at least 1.
  bool CreateCompatibleBitmap(Dc_t& dc, int width, int height);
  // A 32-bit DIB section whose pixel bits the caller may write (4 bytes per
  // pixel: blue, green, red, unused, rows top-down). Only 32-bit uncompressed
  // top-down sections (negative header height); others fail with last error 50.
  bool CreateDIBSection(const BITMAPINFO& info, void** bits);
  // The bitmap's description; false when no bitmap is held.
  bool GetBitmap(BITMAP& bitmap) const;
};

// The description of a bitmap handle; false for another kind of handle.
bool GetBitmapInfo(const GdiHandle_t& bitmap, BITMAP& info);

// Copies rows of a bitmap as 32-bit pixels in the layout the header asks for
// (32 bits, uncompressed; negative height top-down). Returns the number of rows
// copied, 0 on failure.
int GetDIBits(const GdiHandle_t& bitmap, int startRow, int rows, void* bits, const BITMAPINFO& info);

class Region_t : public GdiObject_t {
 public:
  bool CreateRectRgn(int left, int top, int right, int bottom);
  bool CreateEllipticRgn(int left, int top, int right, int bottom);
  // This region := a (mode) b; b is ignored for kRgnCopy. Returns the kind of the
  // result, kRegionError (last error 87 or 6) for a null region or a bad mode.
  int CombineRgn(const GdiHandle_t& a, const GdiHandle_t& b, int mode);
  // The bounding box and the kind; kRegionError without a region.
  int GetRgnBox(RECT& box) const;
  bool PtInRegion(int x, int y) const;
  bool EqualRgn(const GdiHandle_t& other) const;
  // A polygon region filled alternately (a point is inside when a ray from it
  // crosses the outline an odd number of times); no points make it empty.
  bool CreatePolygonRgn(const POINT* points, int count);
  // Whether some part of the rectangle lies in the region.
  bool RectInRegion(const RECT& rect) const;
};

// The rectangles of a region (for drawing and tests).
std::vector<RECT> GetRegionRects(const GdiHandle_t& region);

class Palette_t : public GdiObject_t {
 public:
  bool CreatePalette(const std::vector<PALETTEENTRY>& entries);
  // The index of the entry nearest to a colour; -1 without a palette.
  int GetNearestPaletteIndex(COLORREF colour) const;
};

// Drops the metafile (false for another kind of handle or none).
bool DeleteMetaFile(GdiHandle_t& metaFile);

}  // namespace plat
