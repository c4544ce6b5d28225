#pragma once
// Inside the drawing layer: only plat/ includes this header. The data of a
// drawing object and the helpers that the objects and the device context share.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPicture>
#include <QRect>
#include <QRegion>

#include <memory>
#include <optional>
#include <vector>

#include "plat/PLAT_GdiObject.h"

namespace plat {

// One drawing object. Only the fields of its kind are used.
struct GdiObjData {
  GdiKind kind = GdiKind::None;
  bool stock = false;

  // Pens and brushes.
  int penStyle = kPsSolid;
  int penWidth = 1;
  bool nullBrush = false;
  int hatch = -1;  // kHsHorizontal ... kHsDiagCross; -1 solid
  COLORREF colour = 0;

  // Fonts. The toolkit font is built on first use (it needs the application).
  LOGFONTA logFont{};
  bool logFontReady = false;  // stock fonts learn their face from the application
  std::optional<QFont> qfont;

  // Bitmaps: the image, over the owned pixel buffer of a DIB section.
  QImage image;
  std::unique_ptr<unsigned char[]> bits;

  // Regions.
  QRegion region;

  // Palettes.
  std::vector<PALETTEENTRY> entries;

  // Metafiles: the recorded commands, and the same drawing already rendered
  // into an image at 'renderedAt' (null when the drawing is empty or too large
  // to keep as an image; then the commands are replayed).
  QPicture picture;
  QImage rendered;
  QPoint renderedAt;
  bool empty = false;
};

namespace detail {

std::shared_ptr<GdiObjData> NewObject(GdiKind kind);
QColor ToQColor(COLORREF c);
COLORREF FromQRgb(QRgb c);
// The kind of a region: kNullRegion, kSimpleRegion or kComplexRegion.
int RegionKind(const QRegion& r);
// The toolkit rectangle of a rectangle whose right and bottom edges are outside.
QRect ExclusiveRect(int left, int top, int right, int bottom);
// The toolkit font of a font object, made on first use.
const QFont& FontOf(GdiObjData& d);
// The one-pixel bitmap a memory context starts with.
const GdiHandle_t& StockBitmap();
// True when pixel (x, y) of the device lies on a line of the hatch style.
bool HatchPixel(int style, int x, int y);
// Makes 'bitmap' a top-down 32-bit DIB section holding a copy of an RGB32 image.
bool DibFromImage(const QImage& rgb32, Bitmap_t& bitmap);

}  // namespace detail
}  // namespace plat
