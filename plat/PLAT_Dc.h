#pragma once
// The device context: draws with the drawing objects of PLAT_GdiObject.h into
// a bitmap, a recording (metafile) or a window's painter.
#include <cstdint>
#include <memory>
#include <string>

#include "plat/PLAT_GdiObject.h"

namespace plat {

// Format flags of Dc_t::DrawText.
enum : unsigned {
  kDtLeft = 0x0000,
  kDtTop = 0x0000,
  kDtCenter = 0x0001,
  kDtRight = 0x0002,
  kDtWordBreak = 0x0010,
  kDtNoClip = 0x0100,
  kDtCalcRect = 0x0400,
};

// The raster capability (kRasterCaps) of contexts that can take StretchDIBits.
constexpr int kRcStretchDib = 0x2000;
// Raster operation of BitBlt: the source ORed onto the target.
constexpr std::uint32_t kSrcPaint = 0x00EE0086u;

// ---------------------------------------------------------------------------
// The device context.

struct DcData;

class Dc_t {
 public:
  Dc_t();
  Dc_t(const Dc_t&) = delete;
  Dc_t& operator=(const Dc_t&) = delete;
  virtual ~Dc_t();

  // True while the context draws somewhere.
  bool IsValid() const;

  // A memory context with a one-pixel bitmap selected; select a bitmap to draw
  // into it. The other context may be null. False when this one is in use.
  bool CreateCompatibleDC(Dc_t* other);
  // A context that records everything drawn into it until CloseMetaFile.
  bool CreateMetaFile();
  // Ends the recording; the metafile handle, null on failure.
  GdiHandle_t CloseMetaFile();
  // Plays a recorded metafile into this context at its own coordinates, inside
  // this context's clip region. The context's state is unchanged afterwards.
  bool PlayMetaFile(const GdiHandle_t& metaFile);
  // Releases the context and everything it has selected.
  bool DeleteDC();

  // Context that draws through an existing QPainter of the platform's window
  // code (passed as void* so that no toolkit type appears here), over a device
  // of the given size. The painter must outlive the context.
  bool AttachPainter(void* painter, int width, int height);

  // Selection of pens, brushes, fonts and bitmaps: the previous object, or the
  // null handle on failure. A region handle sets the clip region to a copy of it
  // and returns the null handle (use SelectClipRgn for its result).
  GdiHandle_t SelectObject(const GdiHandle_t& object);
  GdiHandle_t SelectObject(const GdiObject_t& object) { return SelectObject(object.GetSafeHandle()); }
  GdiHandle_t SelectStockObject(int index);
  GdiHandle_t GetCurrentObject(GdiKind kind) const;

  // Palettes: the previous palette. Realising maps nothing on a true-colour
  // device and returns 0.
  GdiHandle_t SelectPalette(const GdiHandle_t& palette, bool forceBackground);
  unsigned RealizePalette();

  COLORREF SetBkColor(COLORREF colour);
  COLORREF GetBkColor() const;
  int SetBkMode(int mode);  // kTransparent or kOpaque; 0 on a bad mode
  int GetBkMode() const;
  COLORREF SetTextColor(COLORREF colour);
  COLORREF GetTextColor() const;
  unsigned SetTextAlign(unsigned flags);
  unsigned GetTextAlign() const;

  // Clipping. GetClipRgn: 1 and a copy in 'region' when a clip region exists,
  // 0 when none does, -1 on failure. The others return the kind of the new
  // clipping (kNullRegion, kSimpleRegion, kComplexRegion), kRegionError on failure.
  int GetClipRgn(Region_t& region) const;
  // A null handle removes the clip region.
  int SelectClipRgn(const GdiHandle_t& region);
  int ExtSelectClipRgn(const GdiHandle_t& region, int mode);
  int IntersectClipRect(int left, int top, int right, int bottom);
  int ExcludeClipRect(int left, int top, int right, int bottom);
  int GetClipBox(RECT& box) const;
  bool HasClipRgn() const;

  // Drawing.
  bool MoveTo(int x, int y, POINT* previous = nullptr);
  bool LineTo(int x, int y);
  bool Polyline(const POINT* points, int count);
  bool Polygon(const POINT* points, int count);
  bool Rectangle(int left, int top, int right, int bottom);
  bool Ellipse(int left, int top, int right, int bottom);
  bool FillRect(const RECT& rect, const GdiHandle_t& brush);
  bool FillSolidRect(const RECT& rect, COLORREF colour);
  COLORREF SetPixel(int x, int y, COLORREF colour);
  COLORREF GetPixel(int x, int y) const;
  bool TextOut(int x, int y, const std::string& text);
  bool GetTextExtentPoint32(const std::string& text, SIZE& size) const;
  bool GetTextMetrics(TEXTMETRICA& metrics) const;
  // Copies a width x height block from the source context: kSrcCopy, or
  // kSrcPaint (ORed onto what is there).
  bool BitBlt(int x, int y, int width, int height, const Dc_t& source, int sx, int sy,
              std::uint32_t rop);

  // Copies a width x height block from the source context, leaving alone the
  // pixels whose source colour is 'transparent'.
  bool TransparentBlt(int x, int y, int width, int height, const Dc_t& source, int sx, int sy, COLORREF transparent);

  // Bounds accumulation: from SetBoundsRect(true) on, every drawing adds the
  // rectangle it may have touched (inside the clipping and the device);
  // GetBoundsRect gives the rectangle so far (false when empty) and, with
  // 'reset', starts again. SetBoundsRect(false) stops and empties it.
  void SetBoundsRect(bool enable);
  bool GetBoundsRect(RECT& bounds, bool reset);

  // Fills a width x height block with the selected brush (kPatCopy only).
  bool PatBlt(int x, int y, int width, int height, std::uint32_t rop);

  int GetDeviceCaps(int index) const;

  // ---- rounded rectangles and text in a rectangle ----
  // A rectangle drawn as Rectangle draws one, with its corners rounded off by
  // quarters of a cornerWidth x cornerHeight ellipse.
  bool RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
  // Draws the text in the rectangle, line by line from its top, in the text
  // colour and, in opaque mode, on the background colour; kDtLeft, kDtCenter or
  // kDtRight place each line. Line feeds end lines; with kDtWordBreak a line
  // also ends at the blank before a word that would pass the right edge (a word
  // wider than the rectangle keeps a line of its own). The drawing is clipped
  // to the rectangle unless kDtNoClip. With kDtCalcRect nothing is drawn: the
  // rectangle's bottom is set below the last line and its right edge widened
  // to the widest line (without kDtWordBreak set to it). '&' is plain text.
  // Answers the height of the text, 0 on failure.
  int DrawText(const std::string& text, RECT& rect, unsigned format);

  // Printing (PLAT_Print.h). The dots per inch the context reports as
  // kLogPixelsX and kLogPixelsY (96 until set); false for values below 1.
  bool SetResolution(int dotsPerInchX, int dotsPerInchY);
  // Copies the sw x sh block at (sx, sy) of a 32-bit uncompressed DIB (rows
  // top-down for a negative header height, else bottom-up; sy counts from
  // the top row) stretched to width x height at (x, y), kSrcCopy only. The
  // number of rows copied, 0 on failure.
  int StretchDIBits(int x, int y, int width, int height, int sx, int sy, int sw, int sh, const void* bits,
                    const BITMAPINFO& info, unsigned usage, std::uint32_t rop);

 private:
  std::unique_ptr<DcData> m_d;
};

}  // namespace plat
