#include "plat/PLAT_Dc.h"

#include "plat/PLAT_GdiImpl.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPicture>
#include <QPolygon>
#include <QRegion>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_Gui.h"

namespace plat {

using namespace detail;

// ---------------------------------------------------------------------------
// Device contexts.

struct DcData {
  enum class Surface { Memory, Picture, Painter };
  Surface surface = Surface::Memory;

  GdiHandle_t pen, brush, font, bitmap, palette;
  COLORREF bkColour = Rgb(255, 255, 255);
  COLORREF textColour = 0;
  int bkMode = kOpaque;
  unsigned textAlign = 0;
  bool hasClip = false;
  QRegion clip;
  POINT pos{0, 0};
  // Bounds accumulation (SetBoundsRect): the pixels drawing may have touched.
  bool accumulate = false;
  QRect bounds;

  // Adds a drawn rectangle to the accumulated bounds, inside the clipping.
  void Touch(const QRect& r) {
    if (surface == Surface::Picture) {
      // A wide pen or a glyph may reach a little past the rectangle given.
      const int margin = 4 + (pen.Kind() == GdiKind::Pen ? pen.Data()->penWidth : 0);
      pending = r.isEmpty() ? QRect() : r.adjusted(-margin, -margin, margin, margin);
      recorded |= pending;
    }
    if (!accumulate || r.isEmpty()) return;
    const QRect visible = r & (hasClip ? clip.boundingRect() : QRect(-32768, -32768, 65536, 65536));
    bounds |= visible;
  }

  // Recording. A recording draws into 'canvas', a transparent image at
  // 'canvasAt' that grows to cover what is drawn; a drawing that would make it
  // too large switches the recording to a list of commands ('picture'), which
  // starts with the canvas so far.
  QImage canvas;
  QPoint canvasAt;
  std::unique_ptr<QPicture> picture;
  std::unique_ptr<QPainter> recorder;
  QRect recorded;  // what the recording may have touched
  QRect pending;   // what the drawing step under way may touch

  // The resolution reported for printing.
  int dpiX = 96;
  int dpiY = 96;

  // Attached painter.
  QPainter* external = nullptr;
  int width = 0;
  int height = 0;

  QRect DeviceRect() const {
    switch (surface) {
      case Surface::Memory: return bitmap.IsNull() ? QRect() : bitmap.Data()->image.rect();
      case Surface::Picture: return QRect(-32768, -32768, 65536, 65536);
      case Surface::Painter: return QRect(0, 0, width, height);
    }
    return QRect();
  }

  // A colour as drawn: palette-relative colours come from the selected palette.
  QColor Resolve(COLORREF c) const {
    const unsigned tag = c >> 24;
    if (tag == 1 && palette.Kind() == GdiKind::Palette) {
      const auto& e = palette.Data()->entries;
      std::size_t i = c & 0xFFFFu;
      if (i >= e.size()) i = 0;
      if (!e.empty()) return QColor(e[i].peRed, e[i].peGreen, e[i].peBlue);
    }
    return ToQColor(c & 0x00FFFFFFu);
  }
};

namespace {

// The largest image a recording keeps, in pixels.
constexpr qint64 kLargestCanvas = 4096 * 4096;

// Makes the recording's canvas cover 'needed'; false when it would grow too large.
bool CoverCanvas(DcData& d, const QRect& needed) {
  const QRect current(d.canvasAt, d.canvas.size());
  if (!d.canvas.isNull() && current.contains(needed)) return true;
  QRect want = d.canvas.isNull() ? needed : (current | needed);
  const auto area = [](const QRect& r) { return qint64(r.width()) * r.height(); };
  if (area(want) > kLargestCanvas) return false;
  // Growing again and again by a little would fill and copy the whole canvas
  // every time: it grows by its own size towards each side it has to grow (at
  // least 64 pixels), or by half of that, a quarter and so on, as the limit
  // allows.
  if (!d.canvas.isNull()) {
    int stepX = std::max(64, current.width()), stepY = std::max(64, current.height());
    for (; stepX > 0 || stepY > 0; stepX /= 2, stepY /= 2) {
      const QRect grown =
          want.marginsAdded(QMargins(needed.left() < current.left() ? stepX : 0, needed.top() < current.top() ? stepY : 0,
                                     needed.right() > current.right() ? stepX : 0,
                                     needed.bottom() > current.bottom() ? stepY : 0));
      if (area(grown) <= kLargestCanvas) {
        want = grown;
        break;
      }
    }
  }
  QImage grown(want.size(), QImage::Format_ARGB32_Premultiplied);
  if (grown.isNull()) return false;
  grown.fill(Qt::transparent);
  if (!d.canvas.isNull()) {
    QPainter p(&grown);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(d.canvasAt - want.topLeft(), d.canvas);
  }
  d.canvas = std::move(grown);
  d.canvasAt = want.topLeft();
  return true;
}

// True when no pixel of the part of the image is drawn (premultiplied: all
// bits zero).
bool IsBlank(const QImage& image, const QRect& part) {
  for (int y = part.top(); y <= part.bottom(); ++y) {
    const auto* row = reinterpret_cast<const quint32*>(image.constScanLine(y)) + part.left();
    for (int x = 0; x < part.width(); ++x)
      if (row[x] != 0) return false;
  }
  return true;
}

// Switches a recording from its canvas to a list of commands. The list keeps
// an image compressed, and a canvas that grew to the limit is mostly blank:
// it goes in as the tiles that hold something.
bool StartCommands(DcData& d) {
  d.picture = std::make_unique<QPicture>();
  d.recorder = std::make_unique<QPainter>();
  if (!d.recorder->begin(d.picture.get())) {
    d.recorder.reset();
    return false;
  }
  if (!d.canvas.isNull()) {
    constexpr int kTile = 128;
    for (int y = 0; y < d.canvas.height(); y += kTile) {
      for (int x = 0; x < d.canvas.width(); x += kTile) {
        const QRect tile = QRect(x, y, kTile, kTile) & d.canvas.rect();
        if (!IsBlank(d.canvas, tile)) d.recorder->drawImage(d.canvasAt + tile.topLeft(), d.canvas.copy(tile));
      }
    }
    d.canvas = QImage();
  }
  return true;
}

// Runs a drawing step with a painter on the context's surface, set up with the
// context's clip region and without antialiasing. False when there is nowhere
// to draw.
template <typename F>
bool Paint(DcData& d, F&& draw) {
  switch (d.surface) {
    case DcData::Surface::Memory: {
      if (d.bitmap.IsNull()) return FailWith(kErrorInvalidHandle);
      GdiObjData& bm = *d.bitmap.Data();
      if (bm.stock) return true;  // the one-pixel default bitmap keeps nothing
      QPainter p(&bm.image);
      if (!p.isActive()) return FailWith(kErrorInvalidHandle);
      p.setRenderHint(QPainter::Antialiasing, false);
      if (d.hasClip) p.setClipRegion(d.clip);
      draw(p);
      return true;
    }
    case DcData::Surface::Picture:
      if (!d.recorder) {
        const QRect needed = std::exchange(d.pending, QRect());
        if (needed.isEmpty()) return true;  // nothing to draw
        if (CoverCanvas(d, needed)) {
          QPainter p(&d.canvas);
          if (!p.isActive()) return FailWith(kErrorNotEnoughMemory);
          p.setRenderHint(QPainter::Antialiasing, false);
          p.translate(-d.canvasAt.x(), -d.canvasAt.y());
          if (d.hasClip) p.setClipRegion(d.clip);
          draw(p);
          return true;
        }
        if (!StartCommands(d)) return FailWith(kErrorNotEnoughMemory);
      }
      [[fallthrough]];
    case DcData::Surface::Painter: {
      QPainter* p = d.surface == DcData::Surface::Picture ? d.recorder.get() : d.external;
      if (p == nullptr || !p->isActive()) return FailWith(kErrorInvalidHandle);
      p->save();
      p->setRenderHint(QPainter::Antialiasing, false);
      // Intersect, so that a recording replayed under a clip region stays inside it.
      if (d.hasClip) p->setClipRegion(d.clip, Qt::IntersectClip);
      draw(*p);
      p->restore();
      return true;
    }
  }
  return false;
}

const GdiObjData* PenOf(const DcData& d) { return d.pen.Data(); }

bool IsNullPen(const DcData& d) { return d.pen.IsNull() || d.pen.Data()->penStyle == kPsNull; }
bool IsWidePen(const DcData& d) { return !IsNullPen(d) && d.pen.Data()->penWidth > 1; }

QVector<qreal> DashPattern(int style) {
  switch (style) {
    case kPsDash: return {18, 6};
    case kPsDot: return {3, 3};
    case kPsDashDot: return {9, 6, 3, 6};
    case kPsDashDotDot: return {9, 3, 3, 3, 3, 3};
    default: return {};
  }
}

// The pen for outlines. One-pixel pens leave out the last point of a line;
// wide pens have round ends and joins.
QPen MakePen(const DcData& d, bool forBackground = false) {
  if (IsNullPen(d)) return QPen(Qt::NoPen);
  const GdiObjData& pd = *PenOf(d);
  if (pd.penWidth > 1) {
    QPen pen(d.Resolve(pd.colour), pd.penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    return pen;
  }
  QPen pen(forBackground ? d.Resolve(d.bkColour) : d.Resolve(pd.colour));
  pen.setWidth(1);
  pen.setCosmetic(true);
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::MiterJoin);
  const QVector<qreal> dashes = DashPattern(pd.penStyle);
  if (!dashes.isEmpty() && !forBackground) pen.setDashPattern(dashes);
  return pen;
}

bool IsBrokenPen(const DcData& d) { return !IsNullPen(d) && !DashPattern(d.pen.Data()->penStyle).isEmpty(); }

// The toolkit brush of a brush object: a solid colour, or for a hatched brush
// an 8 x 8 tile whose gaps hold the background colour in opaque mode.
QBrush BrushOf(const DcData& d, const GdiHandle_t& brush) {
  if (brush.IsNull() || brush.Data()->nullBrush) return QBrush(Qt::NoBrush);
  const GdiObjData& b = *brush.Data();
  if (b.hatch < 0) return QBrush(d.Resolve(b.colour));
  QImage tile(8, 8, QImage::Format_ARGB32);
  const QRgb on = d.Resolve(b.colour).rgb();
  const QRgb off = d.bkMode == kOpaque ? d.Resolve(d.bkColour).rgb() : qRgba(0, 0, 0, 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) tile.setPixel(x, y, HatchPixel(b.hatch, x, y) ? on : off);
  return QBrush(tile);
}

QBrush MakeBrush(const DcData& d) { return BrushOf(d, d.brush); }

// Strokes a path-like shape with the context's pen: broken pens in opaque mode
// first lay down the background colour under the gaps. Wide pens are centred on
// the pixels the coordinates name.
template <typename F>
void Stroke(const DcData& d, QPainter& p, F&& shape) {
  if (IsNullPen(d)) return;
  p.setBrush(Qt::NoBrush);
  if (IsWidePen(d)) {
    p.save();
    p.translate(0.5, 0.5);
    p.setPen(MakePen(d));
    shape(p);
    p.restore();
    return;
  }
  if (IsBrokenPen(d) && d.bkMode == kOpaque) {
    p.setPen(MakePen(d, true));
    shape(p);
  }
  p.setPen(MakePen(d));
  shape(p);
}

// The pixels of a one-pixel polyline as GDI sets them: each segment from its
// first point up to, not including, its last point (Bresenham steps).
void LinePixels(const QPolygon& poly, QVector<QPoint>& out) {
  for (int i = 0; i + 1 < poly.size(); ++i) {
    int x = poly[i].x(), y = poly[i].y();
    const int x1 = poly[i + 1].x(), y1 = poly[i + 1].y();
    const int dx = std::abs(x1 - x), dy = std::abs(y1 - y);
    const int sx = x < x1 ? 1 : -1, sy = y < y1 ? 1 : -1;
    if (dx >= dy) {
      int err = dx / 2;
      for (int n = 0; n < dx; ++n) {
        out.append(QPoint(x, y));
        x += sx;
        err -= dy;
        if (err < 0) {
          y += sy;
          err += dx;
        }
      }
    } else {
      int err = dy / 2;
      for (int n = 0; n < dy; ++n) {
        out.append(QPoint(x, y));
        y += sy;
        err -= dx;
        if (err < 0) {
          x += sx;
          err += dy;
        }
      }
    }
  }
}

// Draws a polyline with the context's pen: one-pixel pens pixel by pixel (the
// dash pattern advances one step per pixel along the whole polyline), wide pens
// as round-ended strokes.
void DrawPolyline(const DcData& d, QPainter& p, const QPolygon& poly) {
  if (IsNullPen(d)) return;
  if (IsWidePen(d)) {
    Stroke(d, p, [&](QPainter& q) { q.drawPolyline(poly); });
    return;
  }
  QVector<QPoint> pixels;
  LinePixels(poly, pixels);
  if (pixels.isEmpty()) return;
  const QVector<qreal> dashes = DashPattern(d.pen.Data()->penStyle);
  QPen pen(d.Resolve(d.pen.Data()->colour));
  pen.setWidth(1);
  pen.setCosmetic(true);
  if (dashes.isEmpty()) {
    p.setPen(pen);
    p.drawPoints(pixels.constData(), int(pixels.size()));
    return;
  }
  int period = 0;
  for (qreal v : dashes) period += int(v);
  QVector<QPoint> on, off;
  for (int i = 0; i < pixels.size(); ++i) {
    int phase = i % period;
    bool isOn = true;
    for (int k = 0; k < dashes.size(); ++k) {
      if (phase < int(dashes[k])) {
        isOn = k % 2 == 0;
        break;
      }
      phase -= int(dashes[k]);
    }
    (isOn ? on : off).append(pixels[i]);
  }
  if (d.bkMode == kOpaque && !off.isEmpty()) {
    QPen bk(pen);
    bk.setColor(d.Resolve(d.bkColour));
    p.setPen(bk);
    p.drawPoints(off.constData(), int(off.size()));
  }
  if (!on.isEmpty()) {
    p.setPen(pen);
    p.drawPoints(on.constData(), int(on.size()));
  }
}

QFont CurrentFont(const DcData& d) {
  GdiHandle_t f = d.font.IsNull() ? GetStockObject(kSystemFont) : d.font;
  return FontOf(*f.Data());
}

}  // namespace

Dc_t::Dc_t() = default;

Dc_t::~Dc_t() {
  try {
    DeleteDC();
  } catch (...) {
  }
}

bool Dc_t::IsValid() const { return static_cast<bool>(m_d); }

namespace {
void InitDefaults(DcData& d) {
  d.pen = GetStockObject(kBlackPen);
  d.brush = GetStockObject(kWhiteBrush);
  d.font = GetStockObject(kSystemFont);
  d.palette = GetStockObject(kDefaultPalette);
}
}  // namespace

bool Dc_t::CreateCompatibleDC(Dc_t*) {
  if (m_d) return FailWith(kErrorInvalidHandle);
  auto d = std::make_unique<DcData>();
  InitDefaults(*d);
  d->surface = DcData::Surface::Memory;
  d->bitmap = StockBitmap();
  m_d = std::move(d);
  return true;
}

bool Dc_t::CreateMetaFile() {
  if (m_d) return FailWith(kErrorInvalidHandle);
  EnsureGuiApplication();  // see Bitmap_t::CreateCompatibleBitmap
  auto d = std::make_unique<DcData>();
  InitDefaults(*d);
  d->surface = DcData::Surface::Picture;
  m_d = std::move(d);
  return true;
}

GdiHandle_t Dc_t::CloseMetaFile() {
  if (!m_d || m_d->surface != DcData::Surface::Picture) {
    SetLastError(kErrorInvalidHandle);
    return GdiHandle_t();
  }
  auto mf = NewObject(GdiKind::MetaFile);
  // Replaying a list of commands parses it and strokes every wide line again,
  // on every paint. Without antialiasing every pixel a drawing sets is set
  // opaque (nothing blends), so a drawing is kept as the transparent image it
  // was drawn into, and a replay only composes that image over the target.
  if (m_d->recorder) {
    m_d->recorder->end();
    const QRect bounds = (m_d->recorded | m_d->picture->boundingRect()).adjusted(-2, -2, 2, 2);
    if (!bounds.isEmpty() && qint64(bounds.width()) * bounds.height() <= kLargestCanvas) {
      QImage image(bounds.size(), QImage::Format_ARGB32_Premultiplied);
      if (!image.isNull()) {
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.translate(-bounds.left(), -bounds.top());
        painter.drawPicture(0, 0, *m_d->picture);
        painter.end();
        mf->rendered = std::move(image);
        mf->renderedAt = bounds.topLeft();
      }
    }
    if (mf->rendered.isNull()) mf->picture = *m_d->picture;
  } else if (m_d->canvas.isNull()) {
    mf->empty = true;
  } else {
    // The canvas grew with room to spare: keep only what drawing may have touched.
    const QRect canvasRect(m_d->canvasAt, m_d->canvas.size());
    const QRect kept = canvasRect & m_d->recorded;
    if (kept == canvasRect) {
      mf->rendered = std::move(m_d->canvas);
    } else {
      mf->rendered = m_d->canvas.copy(kept.translated(-m_d->canvasAt));
    }
    mf->renderedAt = kept.topLeft();
  }
  m_d.reset();
  return GdiHandle_t(mf);
}

bool Dc_t::PlayMetaFile(const GdiHandle_t& metaFile) {
  if (!m_d) return FailWith(kErrorInvalidHandle);
  if (metaFile.Kind() != GdiKind::MetaFile) return FailWith(kErrorInvalidHandle);
  const GdiObjData& mf = *metaFile.Data();
  if (mf.empty) return Paint(*m_d, [](QPainter&) {});
  if (!mf.rendered.isNull()) {
    m_d->Touch(QRect(mf.renderedAt, mf.rendered.size()));
    return Paint(*m_d, [&](QPainter& p) {
      p.setCompositionMode(QPainter::CompositionMode_SourceOver);
      p.drawImage(mf.renderedAt, mf.rendered);
    });
  }
  const QPicture& pic = mf.picture;
  m_d->Touch(pic.boundingRect().adjusted(-2, -2, 2, 2));
  return Paint(*m_d, [&](QPainter& p) { p.drawPicture(0, 0, pic); });
}

bool Dc_t::DeleteDC() {
  if (!m_d) return FailWith(kErrorInvalidHandle);
  if (m_d->recorder && m_d->recorder->isActive()) m_d->recorder->end();
  m_d.reset();
  return true;
}

bool Dc_t::AttachPainter(void* painter, int width, int height) {
  if (m_d || painter == nullptr) return FailWith(kErrorInvalidHandle);
  auto d = std::make_unique<DcData>();
  InitDefaults(*d);
  d->surface = DcData::Surface::Painter;
  d->external = static_cast<QPainter*>(painter);
  d->width = width;
  d->height = height;
  m_d = std::move(d);
  return true;
}

GdiHandle_t Dc_t::SelectObject(const GdiHandle_t& object) {
  if (!m_d || object.IsNull()) {
    SetLastError(kErrorInvalidHandle);
    return GdiHandle_t();
  }
  GdiHandle_t* slot = nullptr;
  switch (object.Kind()) {
    case GdiKind::Pen: slot = &m_d->pen; break;
    case GdiKind::Brush: slot = &m_d->brush; break;
    case GdiKind::Font: slot = &m_d->font; break;
    case GdiKind::Bitmap:
      if (m_d->surface != DcData::Surface::Memory) {
        SetLastError(kErrorInvalidParameter);
        return GdiHandle_t();
      }
      slot = &m_d->bitmap;
      break;
    case GdiKind::Region:
      SelectClipRgn(object);
      SetLastError(kErrorSuccess);
      return GdiHandle_t();
    default: SetLastError(kErrorInvalidParameter); return GdiHandle_t();
  }
  GdiHandle_t previous = *slot;
  *slot = object;
  return previous;
}

GdiHandle_t Dc_t::SelectStockObject(int index) {
  GdiHandle_t h = GetStockObject(index);
  if (h.IsNull()) return h;
  if (h.Kind() == GdiKind::Palette) return SelectPalette(h, false);
  return SelectObject(h);
}

GdiHandle_t Dc_t::GetCurrentObject(GdiKind kind) const {
  if (!m_d) return GdiHandle_t();
  switch (kind) {
    case GdiKind::Pen: return m_d->pen;
    case GdiKind::Brush: return m_d->brush;
    case GdiKind::Font: return m_d->font;
    case GdiKind::Bitmap: return m_d->bitmap;
    case GdiKind::Palette: return m_d->palette;
    default: return GdiHandle_t();
  }
}

GdiHandle_t Dc_t::SelectPalette(const GdiHandle_t& palette, bool) {
  if (!m_d || palette.Kind() != GdiKind::Palette) {
    SetLastError(kErrorInvalidHandle);
    return GdiHandle_t();
  }
  GdiHandle_t previous = m_d->palette;
  m_d->palette = palette;
  return previous;
}

unsigned Dc_t::RealizePalette() { return 0; }

COLORREF Dc_t::SetBkColor(COLORREF colour) {
  if (!m_d) return kClrInvalid;
  std::swap(m_d->bkColour, colour);
  return colour;
}
COLORREF Dc_t::GetBkColor() const { return m_d ? m_d->bkColour : kClrInvalid; }

int Dc_t::SetBkMode(int mode) {
  if (!m_d || (mode != kTransparent && mode != kOpaque)) return FailWith(kErrorInvalidParameter), 0;
  std::swap(m_d->bkMode, mode);
  return mode;
}
int Dc_t::GetBkMode() const { return m_d ? m_d->bkMode : 0; }

COLORREF Dc_t::SetTextColor(COLORREF colour) {
  if (!m_d) return kClrInvalid;
  std::swap(m_d->textColour, colour);
  return colour;
}
COLORREF Dc_t::GetTextColor() const { return m_d ? m_d->textColour : kClrInvalid; }

unsigned Dc_t::SetTextAlign(unsigned flags) {
  if (!m_d) return 0xFFFFFFFFu;
  std::swap(m_d->textAlign, flags);
  return flags;
}
unsigned Dc_t::GetTextAlign() const { return m_d ? m_d->textAlign : 0; }

int Dc_t::GetClipRgn(Region_t& region) const {
  if (!m_d || region.GetSafeHandle().Kind() != GdiKind::Region) return FailWith(kErrorInvalidHandle), -1;
  if (!m_d->hasClip) return 0;
  region.GetSafeHandle().Data()->region = m_d->clip;
  return 1;
}

bool Dc_t::HasClipRgn() const { return m_d && m_d->hasClip; }

int Dc_t::SelectClipRgn(const GdiHandle_t& region) {
  if (!m_d) return FailWith(kErrorInvalidHandle), 0;
  if (region.IsNull()) {
    m_d->hasClip = false;
    m_d->clip = QRegion();
    return kSimpleRegion;
  }
  return ExtSelectClipRgn(region, kRgnCopy);
}

int Dc_t::ExtSelectClipRgn(const GdiHandle_t& region, int mode) {
  if (!m_d) return FailWith(kErrorInvalidHandle), 0;
  if (region.IsNull()) {
    if (mode != kRgnCopy) return FailWith(kErrorInvalidParameter), 0;
    return SelectClipRgn(region);
  }
  if (region.Kind() != GdiKind::Region) return FailWith(kErrorInvalidHandle), 0;
  const QRegion& r = region.Data()->region;
  const QRegion current = m_d->hasClip ? m_d->clip : QRegion(m_d->DeviceRect());
  QRegion result;
  switch (mode) {
    case kRgnAnd: result = current & r; break;
    case kRgnOr: result = current | r; break;
    case kRgnXor: result = current ^ r; break;
    case kRgnDiff: result = current - r; break;
    case kRgnCopy: result = r; break;
    default: return FailWith(kErrorInvalidParameter), 0;
  }
  m_d->clip = result;
  m_d->hasClip = true;
  return RegionKind(result);
}

int Dc_t::IntersectClipRect(int left, int top, int right, int bottom) {
  if (!m_d) return FailWith(kErrorInvalidHandle), 0;
  const QRegion r(ExclusiveRect(left, top, right, bottom));
  m_d->clip = m_d->hasClip ? (m_d->clip & r) : r;
  m_d->hasClip = true;
  return RegionKind(m_d->clip);
}

int Dc_t::ExcludeClipRect(int left, int top, int right, int bottom) {
  if (!m_d) return FailWith(kErrorInvalidHandle), 0;
  const QRegion r(ExclusiveRect(left, top, right, bottom));
  m_d->clip = (m_d->hasClip ? m_d->clip : QRegion(m_d->DeviceRect())) - r;
  m_d->hasClip = true;
  return RegionKind(m_d->clip);
}

int Dc_t::GetClipBox(RECT& box) const {
  if (!m_d) return FailWith(kErrorInvalidHandle), 0;
  const QRegion r = m_d->hasClip ? (m_d->clip & QRegion(m_d->DeviceRect())) : QRegion(m_d->DeviceRect());
  const QRect b = r.boundingRect();
  box = r.isEmpty() ? RECT{0, 0, 0, 0} : RECT{b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
  return RegionKind(r);
}

bool Dc_t::MoveTo(int x, int y, POINT* previous) {
  if (!m_d) return FailWith(kErrorInvalidHandle);
  if (previous) *previous = m_d->pos;
  m_d->pos = POINT{x, y};
  return true;
}

bool Dc_t::LineTo(int x, int y) {
  if (!m_d) return FailWith(kErrorInvalidHandle);
  const POINT pts[2] = {m_d->pos, POINT{x, y}};
  const bool ok = Polyline(pts, 2);
  m_d->pos = POINT{x, y};
  return ok;
}

bool Dc_t::Polyline(const POINT* points, int count) {
  if (!m_d) return FailWith(kErrorInvalidHandle);
  if (points == nullptr || count < 2) return FailWith(kErrorInvalidParameter);
  QPolygon poly(count);
  for (int i = 0; i < count; ++i) poly.setPoint(i, points[i].x, points[i].y);
  {
    const int w = IsWidePen(*m_d) ? m_d->pen.Data()->penWidth : 1;
    m_d->Touch(poly.boundingRect().adjusted(-w, -w, w, w));
  }
  const DcData& d = *m_d;
  return Paint(*m_d, [&](QPainter& p) { DrawPolyline(d, p, poly); });
}

bool Dc_t::Polygon(const POINT* points, int count) {
  if (!m_d) return FailWith(kErrorInvalidHandle);
  if (points == nullptr || count < 2) return FailWith(kErrorInvalidParameter);
  QPolygon poly(count);
  for (int i = 0; i < count; ++i) poly.setPoint(i, points[i].x, points[i].y);
  {
    const int w = IsWidePen(*m_d) ? m_d->pen.Data()->penWidth : 1;
    m_d->Touch(poly.boundingRect().adjusted(-w, -w, w, w));
  }
  const DcData& d = *m_d;
  return Paint(*m_d, [&](QPainter& p) {
    const QBrush brush = MakeBrush(d);
    if (brush.style() != Qt::NoBrush) {
      p.setPen(Qt::NoPen);
      p.setBrush(brush);
      p.drawPolygon(poly, Qt::OddEvenFill);
    }
    Stroke(d, p, [&](QPainter& q) { q.drawPolygon(poly, Qt::OddEvenFill); });
  });
}

bool Dc_t::Rectangle(int left, int top, int right, int bottom) {
  if (!m_d) return FailWith(kErrorInvalidHandle);
  const QRect r = ExclusiveRect(left, top, right, bottom);
  if (r.width() < 1 || r.height() < 1) return true;
  m_d->Touch(r.adjusted(-3, -3, 3, 3));
  const DcData& d = *m_d;
  // The outline runs along the outermost pixels (right and bottom excluded); the
  // fill covers the inside, and without a pen one pixel less each way.
  const QRectF frame(r.left(), r.top(), r.width() - 1, r.height() - 1);
  return Paint(*m_d, [&](QPainter& p) {
    const QBrush brush = MakeBrush(d);
    if (brush.style() != Qt::NoBrush) p.fillRect(frame, brush);
    Stroke(d, p, [&](QPainter& q) { q.drawRect(frame); });
  });
}

bool Dc_t::Ellipse(int left, int top, int right, int bottom) {
  if (!m_d) return FailWith(kErrorInvalidHandle);
  const QRect r = ExclusiveRect(left, top, right, bottom);
  if (r.width() < 1 || r.height() < 1) return true;
  m_d->Touch(r.adjusted(-3, -3, 3, 3));
  const DcData& d = *m_d;
  const QRectF frame(r.left(), r.top(), r.width() - 1, r.height() - 1);
  return Paint(*m_d, [&](QPainter& p) {
    const QBrush brush = MakeBrush(d);
    if (brush.style() != Qt::NoBrush) {
      p.setPen(Qt::NoPen);
      p.setBrush(brush);
      p.drawEllipse(frame);
    }
    Stroke(d, p, [&](QPainter& q) { q.drawEllipse(frame); });
  });
}

bool Dc_t::FillRect(const RECT& rect, const GdiHandle_t& brush) {
  if (!m_d) return FailWith(kErrorInvalidHandle);
  if (brush.Kind() != GdiKind::Brush) return FailWith(kErrorInvalidHandle);
  if (brush.Data()->nullBrush || rect.right <= rect.left || rect.bottom <= rect.top) return true;
  const QBrush b = BrushOf(*m_d, brush);
  const QRect r(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  m_d->Touch(r);
  return Paint(*m_d, [&](QPainter& p) {
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.fillRect(r, b);
  });
}

bool Dc_t::FillSolidRect(const RECT& rect, COLORREF colour) {
  if (!m_d) return FailWith(kErrorInvalidHandle);
  if (rect.right <= rect.left || rect.bottom <= rect.top) return true;
  const QColor c = m_d->Resolve(colour);
  const QRect r(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  m_d->Touch(r);
  return Paint(*m_d, [&](QPainter& p) { p.fillRect(r, c); });
}

COLORREF Dc_t::SetPixel(int x, int y, COLORREF colour) {
  if (!m_d) return kClrInvalid;
  if (!m_d->DeviceRect().contains(x, y) || (m_d->hasClip && !m_d->clip.contains(QPoint(x, y))))
    return kClrInvalid;
  const QColor c = m_d->Resolve(colour);
  m_d->Touch(QRect(x, y, 1, 1));
  const bool ok = Paint(*m_d, [&](QPainter& p) { p.fillRect(QRect(x, y, 1, 1), c); });
  return ok ? Rgb(unsigned(c.red()), unsigned(c.green()), unsigned(c.blue())) : kClrInvalid;
}

COLORREF Dc_t::GetPixel(int x, int y) const {
  if (!m_d || m_d->surface != DcData::Surface::Memory || m_d->bitmap.IsNull()) return kClrInvalid;
  const QImage& img = m_d->bitmap.Data()->image;
  if (!img.rect().contains(x, y)) return kClrInvalid;
  if (m_d->hasClip && !m_d->clip.contains(QPoint(x, y))) return kClrInvalid;
  return FromQRgb(img.pixel(x, y));
}

bool Dc_t::TextOut(int x, int y, const std::string& text) {
  if (!m_d) return FailWith(kErrorInvalidHandle);
  if (text.empty()) return true;
  const QFont font = CurrentFont(*m_d);
  const QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
  const QFontMetrics fm(font);
  const int width = fm.horizontalAdvance(s);
  const int height = fm.height();
  const int ascent = fm.ascent();
  const unsigned align = m_d->textAlign;
  // Reference point -> left end of the baseline.
  int left = x;
  if ((align & kTaCenter) == kTaCenter)
    left = x - width / 2;
  else if (align & kTaRight)
    left = x - width;
  int top = y;
  if ((align & kTaBaseline) == kTaBaseline)
    top = y - ascent;
  else if (align & kTaBottom)
    top = y - height;
  LOGFONTA lf{};
  GetLogFont(m_d->font.IsNull() ? GetStockObject(kSystemFont) : m_d->font, lf);
  const double angle = -lf.lfEscapement / 10.0;
  if (angle != 0.0) {
    const int r = width + height;
    m_d->Touch(QRect(x - r, y - r, 2 * r, 2 * r));
  } else {
    m_d->Touch(QRect(left, top, width, height));
  }
  if (m_d->surface == DcData::Surface::Picture && !m_d->pending.isEmpty()) {
    // Glyphs may overhang their cells: a recording keeps room for that.
    m_d->pending.adjust(-height, -height, height, height);
    m_d->recorded |= m_d->pending;
  }
  const DcData& d = *m_d;
  return Paint(*m_d, [&](QPainter& p) {
    p.translate(x, y);
    if (angle != 0.0) p.rotate(angle);
    const int dx = left - x, dy = top - y;
    if (d.bkMode == kOpaque) p.fillRect(QRect(dx, dy, width, height), d.Resolve(d.bkColour));
    p.setFont(font);
    p.setPen(d.Resolve(d.textColour));
    p.drawText(QPoint(dx, dy + ascent), s);
  });
}

bool Dc_t::GetTextExtentPoint32(const std::string& text, SIZE& size) const {
  if (!m_d) return FailWith(kErrorInvalidHandle);
  const QFontMetrics fm(CurrentFont(*m_d));
  const QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
  size.cx = fm.horizontalAdvance(s);
  size.cy = fm.height();
  return true;
}

bool Dc_t::GetTextMetrics(TEXTMETRICA& tm) const {
  if (!m_d) return FailWith(kErrorInvalidHandle);
  const QFont font = CurrentFont(*m_d);
  const QFontMetrics fm(font);
  tm = TEXTMETRICA{};
  tm.tmHeight = fm.height();
  tm.tmAscent = fm.ascent();
  tm.tmDescent = fm.descent();
  tm.tmInternalLeading = std::max(0, fm.height() - font.pixelSize());
  tm.tmExternalLeading = std::max(0, fm.leading());
  tm.tmAveCharWidth = fm.averageCharWidth();
  tm.tmMaxCharWidth = fm.maxWidth();
  tm.tmWeight = font.weight();
  return true;
}

bool Dc_t::BitBlt(int x, int y, int width, int height, const Dc_t& source, int sx, int sy, std::uint32_t rop) {
  if (!m_d || !source.m_d) return FailWith(kErrorInvalidHandle);
  if (rop != kSrcCopy && rop != kSrcPaint) return FailWith(kErrorNotSupported);
  if (source.m_d->surface != DcData::Surface::Memory || source.m_d->bitmap.IsNull())
    return FailWith(kErrorInvalidHandle);
  if (width <= 0 || height <= 0) return true;
  // A copy of the source block, so that source and target may overlap.
  const QImage block = source.m_d->bitmap.Data()->image.copy(QRect(sx, sy, width, height));
  m_d->Touch(QRect(x, y, width, height));
  return Paint(*m_d, [&](QPainter& p) {
    p.setCompositionMode(rop == kSrcPaint ? QPainter::RasterOp_SourceOrDestination
                                          : QPainter::CompositionMode_Source);
    p.drawImage(QPoint(x, y), block);
  });
}

bool Dc_t::TransparentBlt(int x, int y, int width, int height, const Dc_t& source, int sx, int sy,
                          COLORREF transparent) {
  if (!m_d || !source.m_d) return FailWith(kErrorInvalidHandle);
  if (source.m_d->surface != DcData::Surface::Memory || source.m_d->bitmap.IsNull())
    return FailWith(kErrorInvalidHandle);
  if (width <= 0 || height <= 0) return true;
  QImage block =
      source.m_d->bitmap.Data()->image.copy(QRect(sx, sy, width, height)).convertToFormat(QImage::Format_ARGB32);
  const QRgb key = source.m_d->Resolve(transparent).rgb() & 0x00FFFFFFu;
  for (int row = 0; row < block.height(); ++row) {
    auto* line = reinterpret_cast<QRgb*>(block.scanLine(row));
    for (int col = 0; col < block.width(); ++col)
      if ((line[col] & 0x00FFFFFFu) == key) line[col] = 0;
  }
  m_d->Touch(QRect(x, y, width, height));
  return Paint(*m_d, [&](QPainter& p) {
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.drawImage(QPoint(x, y), block);
  });
}

void Dc_t::SetBoundsRect(bool enable) {
  if (!m_d) return;
  m_d->accumulate = enable;
  m_d->bounds = QRect();
}

bool Dc_t::GetBoundsRect(RECT& bounds, bool reset) {
  if (!m_d) return FailWith(kErrorInvalidHandle);
  const QRect b = m_d->bounds & m_d->DeviceRect();
  bounds = b.isEmpty() ? RECT{0, 0, 0, 0} : RECT{b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
  if (reset) m_d->bounds = QRect();
  return !b.isEmpty();
}

bool Dc_t::PatBlt(int x, int y, int width, int height, std::uint32_t rop) {
  if (!m_d) return FailWith(kErrorInvalidHandle);
  if (rop != kPatCopy) return FailWith(kErrorNotSupported);
  if (width <= 0 || height <= 0) return true;
  const QBrush b = MakeBrush(*m_d);
  if (b.style() == Qt::NoBrush) return true;
  m_d->Touch(QRect(x, y, width, height));
  return Paint(*m_d, [&](QPainter& p) { p.fillRect(QRect(x, y, width, height), b); });
}

int Dc_t::GetDeviceCaps(int index) const {
  if (!m_d) return 0;
  const QRect r = m_d->DeviceRect();
  switch (index) {
    case kHorzRes: return r.width();
    case kVertRes: return r.height();
    case kBitsPixel: return 32;
    case kRasterCaps: return 0x0001 | 0x0008 | 0x0800 | kRcStretchDib;  // no palette
    case kLogPixelsX: return m_d->dpiX;
    case kLogPixelsY: return m_d->dpiY;
    default: return 0;
  }
}

bool Dc_t::SetResolution(int dotsPerInchX, int dotsPerInchY) {
  if (!m_d) return FailWith(kErrorInvalidHandle);
  if (dotsPerInchX < 1 || dotsPerInchY < 1) return FailWith(kErrorInvalidParameter);
  m_d->dpiX = dotsPerInchX;
  m_d->dpiY = dotsPerInchY;
  return true;
}

int Dc_t::StretchDIBits(int x, int y, int width, int height, int sx, int sy, int sw, int sh, const void* bits,
                        const BITMAPINFO& info, unsigned usage, std::uint32_t rop) {
  if (!m_d) return FailWith(kErrorInvalidHandle), 0;
  const BITMAPINFOHEADER& h = info.bmiHeader;
  if (bits == nullptr || usage != kDibRgbColors || rop != kSrcCopy || h.biBitCount != 32 ||
      h.biCompression != kBiRgb || h.biWidth < 1 || h.biHeight == 0 || h.biWidth > 32767 || h.biHeight > 32767 ||
      h.biHeight < -32767)
    return FailWith(kErrorInvalidParameter), 0;
  const int dibHeight = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  const QRect source = QRect(sx, sy, sw, sh) & QRect(0, 0, h.biWidth, dibHeight);
  if (sw <= 0 || sh <= 0 || width <= 0 || height <= 0 || source.isEmpty()) return 0;
  // The DIB as an image over the caller's bits; bottom-up rows are turned over.
  QImage image(static_cast<const uchar*>(bits), h.biWidth, dibHeight, qsizetype(h.biWidth) * 4,
               QImage::Format_RGB32);
  if (h.biHeight > 0) image = image.mirrored(false, true);
  const QRect target(x, y, width, height);
  m_d->Touch(target);
  const bool drawn = Paint(*m_d, [&](QPainter& p) {
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(QRectF(target), image, QRectF(sx, sy, sw, sh));
  });
  return drawn ? source.height() : 0;
}

}  // namespace plat

// ---------------------------------------------------------------------------
// Rounded rectangles and text in a rectangle.

namespace plat {

namespace {

// The lines of a text: line feeds end lines (a carriage return before one is
// dropped); with 'wrap' a line also ends before a word that would pass 'width'.
std::vector<QString> TextLines(const QFontMetrics& fm, const QString& text, int width, bool wrap) {
  std::vector<QString> lines;
  if (text.isEmpty()) return lines;
  const QStringList paragraphs = text.split(QLatin1Char('\n'));
  for (QString paragraph : paragraphs) {
    if (paragraph.endsWith(QLatin1Char('\r'))) paragraph.chop(1);
    if (!wrap) {
      lines.push_back(paragraph);
      continue;
    }
    QString line;
    bool started = false;
    for (const QString& word : paragraph.split(QLatin1Char(' '))) {
      const QString longer = started ? line + QLatin1Char(' ') + word : word;
      if (started && !line.isEmpty() && fm.horizontalAdvance(longer) > width) {
        lines.push_back(line);
        line = word;
      } else {
        line = longer;
      }
      started = true;
    }
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

bool Dc_t::RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) {
  if (!m_d) return FailWith(kErrorInvalidHandle);
  const QRect r = ExclusiveRect(left, top, right, bottom);
  if (r.width() < 1 || r.height() < 1) return true;
  m_d->Touch(r.adjusted(-3, -3, 3, 3));
  const DcData& d = *m_d;
  const int L = r.left(), T = r.top(), R = r.left() + r.width() - 1, B = r.top() + r.height() - 1;
  // Each corner is a quarter of the ellipse through the centres of the pixels
  // of its cornerWidth x cornerHeight box; a pixel belongs to the shape when
  // its centre lies inside. 'Inset' is how far a row starts in from the left.
  const double rx = (std::min(std::abs(cornerWidth), r.width()) - 1) / 2.0;
  const double ry = (std::min(std::abs(cornerHeight), r.height()) - 1) / 2.0;
  const bool rounded = rx >= 0.5 && ry >= 0.5;
  const auto inset = [&](int y) {
    if (!rounded) return 0;
    const double cy = y < T + ry ? T + ry : y > B - ry ? B - ry : y;
    const double dy = (y - cy) / ry;
    if (dy == 0) return 0;
    const double dx = rx * std::sqrt(std::max(0.0, 1 - dy * dy));
    return int(std::ceil(rx - dx - 1e-9));
  };
  std::vector<int> starts(std::size_t(B - T + 1));
  for (int y = T; y <= B; ++y) starts[std::size_t(y - T)] = inset(y);
  const auto startOf = [&](int y) { return starts[std::size_t(y - T)]; };
  return Paint(*m_d, [&](QPainter& p) {
    const QBrush brush = MakeBrush(d);
    const bool pen = !IsNullPen(d);
    if (brush.style() != Qt::NoBrush)
      for (int y = T; y <= (pen ? B : B - 1); ++y) {
        const int in = startOf(y);
        const int last = pen ? R - in : R - 1 - in;
        if (last >= L + in) p.fillRect(QRect(L + in, y, last - L - in + 1, 1), brush);
      }
    if (!pen) return;
    if (IsWidePen(d)) {
      const QRectF frame(L, T, R - L, B - T);
      Stroke(d, p, [&](QPainter& q) { q.drawRoundedRect(frame, rx + 0.5, ry + 0.5, Qt::AbsoluteSize); });
      return;
    }
    // The outline: the shape's pixels next to a pixel outside it.
    QVector<QPoint> outline;
    for (int y = T; y <= B; ++y) {
      const int in = startOf(y);
      if (y == T || y == B) {
        for (int x = L + in; x <= R - in; ++x) outline.append(QPoint(x, y));
        continue;
      }
      const int neighbour = std::max(startOf(y - 1), startOf(y + 1));
      for (int x = L + in; x <= std::max(L + in, L + neighbour - 1); ++x) outline.append(QPoint(x, y));
      for (int x = std::min(R - in, R - neighbour + 1); x <= R - in; ++x) outline.append(QPoint(x, y));
    }
    QPen line(d.Resolve(d.pen.Data()->colour));
    line.setWidth(1);
    line.setCosmetic(true);
    p.setPen(line);
    p.drawPoints(outline.constData(), int(outline.size()));
  });
}

int Dc_t::DrawText(const std::string& text, RECT& rect, unsigned format) {
  if (!m_d) return FailWith(kErrorInvalidHandle), 0;
  const QFont font = CurrentFont(*m_d);
  const QFontMetrics fm(font);
  const QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
  const bool wrap = (format & kDtWordBreak) != 0;
  const std::vector<QString> lines = TextLines(fm, s, rect.right - rect.left, wrap);
  const int lineHeight = fm.height();
  const int height = int(lines.size()) * lineHeight;
  // Each line's cell, placed by the format, one line height below the last.
  std::vector<QRect> cells;
  cells.reserve(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const int w = fm.horizontalAdvance(lines[i]);
    const int x = (format & kDtCenter) ? rect.left + (rect.right - rect.left - w) / 2
                  : (format & kDtRight) ? rect.right - w
                                        : rect.left;
    cells.emplace_back(x, rect.top + int(i) * lineHeight, w, lineHeight);
  }
  if (format & kDtCalcRect) {
    int widest = 0;
    for (const QRect& cell : cells) widest = std::max(widest, cell.width());
    rect.right = wrap ? std::max(rect.right, rect.left + widest) : rect.left + widest;
    rect.bottom = rect.top + height;
    return height;
  }
  if (lines.empty()) return height;
  const QRect box(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  const bool clip = (format & kDtNoClip) == 0;
  if (clip && box.isEmpty()) return height;
  QRect touched;
  for (const QRect& cell : cells) touched |= cell;
  m_d->Touch(clip ? (touched & box) : touched.adjusted(-lineHeight, 0, lineHeight, 0));
  const DcData& d = *m_d;
  const bool ok = Paint(*m_d, [&](QPainter& p) {
    if (clip) p.setClipRect(box, Qt::IntersectClip);
    p.setFont(font);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (d.bkMode == kOpaque) p.fillRect(cells[i], d.Resolve(d.bkColour));
      p.setPen(d.Resolve(d.textColour));
      p.drawText(QPoint(cells[i].left(), cells[i].top() + fm.ascent()), lines[i]);
    }
  });
  return ok ? height : 0;
}

}  // namespace plat
