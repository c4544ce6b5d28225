#include "plat/PLAT_Gdi.h"

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

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <optional>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_Gui.h"

namespace plat {

// One drawing object. Only the fields of its kind are used.
struct GdiObjData {
  GdiKind kind = GdiKind::None;
  bool stock = false;

  // Pens and brushes.
  int penStyle = kPsSolid;
  int penWidth = 1;
  bool nullBrush = false;
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

  // Metafiles.
  QPicture picture;
};

namespace {

std::mutex g_fontMutex;

std::shared_ptr<GdiObjData> NewObject(GdiKind kind) {
  auto d = std::make_shared<GdiObjData>();
  d->kind = kind;
  return d;
}

QColor ToQColor(COLORREF c) { return QColor(int(GetRValue(c)), int(GetGValue(c)), int(GetBValue(c))); }

COLORREF FromQRgb(QRgb c) { return Rgb(unsigned(qRed(c)), unsigned(qGreen(c)), unsigned(qBlue(c))); }

int RegionKind(const QRegion& r) {
  if (r.isEmpty()) return kNullRegion;
  return r.rectCount() == 1 ? kSimpleRegion : kComplexRegion;
}

// The rectangle from left to right and top to bottom, right and bottom excluded.
QRect ExclusiveRect(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  return QRect(left, top, right - left, bottom - top);
}

// The 20 fixed colours of the default palette.
std::vector<PALETTEENTRY> DefaultPaletteEntries() {
  static const unsigned char rgb[20][3] = {
      {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
      {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
      {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
      {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
  std::vector<PALETTEENTRY> e;
  for (auto& c : rgb) e.push_back(PALETTEENTRY{c[0], c[1], c[2], 0});
  return e;
}

LOGFONTA MakeLogFont(const QFont& f, int height) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWeight = 400;
  lf.lfCharSet = 0;
  lf.lfOutPrecision = 7;
  lf.lfClipPrecision = 0;
  lf.lfQuality = 2;
  lf.lfPitchAndFamily = 0x22;
  const QByteArray face = f.family().toUtf8();
  std::strncpy(lf.lfFaceName, face.constData(), sizeof(lf.lfFaceName) - 1);
  return lf;
}

int FontPixelSize(const QFont& f) {
  if (f.pixelSize() > 0) return f.pixelSize();
  return std::max(1, int(std::lround(f.pointSizeF() * 96.0 / 72.0)));
}

// Completes a stock font's logical font from the application's fonts.
void CompleteStockFont(GdiObjData& d) {
  if (d.logFontReady) return;
  EnsureGuiApplication();
  const bool fixed = d.logFont.lfPitchAndFamily == 1;
  const QFont f = fixed ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : QGuiApplication::font();
  LOGFONTA lf = MakeLogFont(f, -FontPixelSize(f));
  if (fixed) lf.lfPitchAndFamily = 0x31;  // fixed pitch, modern family
  d.logFont = lf;
  d.logFontReady = true;
}

const QFont& FontOf(GdiObjData& d) {
  std::lock_guard<std::mutex> lock(g_fontMutex);
  if (!d.qfont) {
    EnsureGuiApplication();
    CompleteStockFont(d);
    const LOGFONTA& lf = d.logFont;
    QFont f = QGuiApplication::font();
    char face[33] = {};
    std::memcpy(face, lf.lfFaceName, 32);
    if (face[0] != '\0') f.setFamily(QString::fromUtf8(face));
    int px = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
    if (lf.lfHeight > 0) px = std::max(1, int(std::lround(px * 0.85)));  // cell height to character height
    if (px == 0) px = FontPixelSize(QGuiApplication::font());
    f.setPixelSize(px);
    const int weight = lf.lfWeight <= 0 ? 400 : std::clamp(int(lf.lfWeight), 1, 1000);
    f.setWeight(QFont::Weight(weight));
    f.setItalic(lf.lfItalic != 0);
    f.setUnderline(lf.lfUnderline != 0);
    f.setStrikeOut(lf.lfStrikeOut != 0);
    if (lf.lfQuality == 3) f.setStyleStrategy(QFont::NoAntialias);  // non-antialiased quality
    d.qfont = f;
  }
  return *d.qfont;
}

GdiHandle_t MakeStock(int index) {
  std::shared_ptr<GdiObjData> d;
  auto pen = [&](int style, COLORREF c) {
    d = NewObject(GdiKind::Pen);
    d->penStyle = style;
    d->colour = c;
  };
  auto brush = [&](COLORREF c, bool isNull) {
    d = NewObject(GdiKind::Brush);
    d->colour = c;
    d->nullBrush = isNull;
  };
  auto font = [&](bool fixed) {
    d = NewObject(GdiKind::Font);
    d->logFont.lfPitchAndFamily = fixed ? 1 : 0;  // completed on first use
  };
  switch (index) {
    case kWhiteBrush: brush(Rgb(255, 255, 255), false); break;
    case kLtGrayBrush: brush(Rgb(192, 192, 192), false); break;
    case kGrayBrush: brush(Rgb(128, 128, 128), false); break;
    case kDkGrayBrush: brush(Rgb(64, 64, 64), false); break;
    case kBlackBrush: brush(Rgb(0, 0, 0), false); break;
    case kNullBrush: brush(0, true); break;
    case kWhitePen: pen(kPsSolid, Rgb(255, 255, 255)); break;
    case kBlackPen: pen(kPsSolid, 0); break;
    case kNullPen: pen(kPsNull, 0); break;
    case kOemFixedFont:
    case kAnsiFixedFont:
    case kSystemFixedFont: font(true); break;
    case kAnsiVarFont:
    case kSystemFont:
    case kDeviceDefaultFont:
    case kDefaultGuiFont: font(false); break;
    case kDefaultPalette:
      d = NewObject(GdiKind::Palette);
      d->entries = DefaultPaletteEntries();
      break;
    default: return GdiHandle_t();
  }
  d->stock = true;
  return GdiHandle_t(d);
}

// The one-pixel bitmap every memory context starts with; nothing draws into it.
const GdiHandle_t& StockBitmap() {
  static const GdiHandle_t h = [] {
    auto d = NewObject(GdiKind::Bitmap);
    d->stock = true;
    d->image = QImage(1, 1, QImage::Format_RGB32);
    d->image.fill(0);
    return GdiHandle_t(d);
  }();
  return h;
}

}  // namespace

GdiKind GdiHandle_t::Kind() const { return m_data ? m_data->kind : GdiKind::None; }
bool GdiHandle_t::IsStock() const { return m_data && m_data->stock; }

GdiHandle_t GetStockObject(int index) {
  static const std::vector<GdiHandle_t> table = [] {
    std::vector<GdiHandle_t> t;
    for (int i = 0; i <= kDefaultGuiFont; ++i) t.push_back(MakeStock(i));
    return t;
  }();
  if (index < 0 || index >= int(table.size()) || table[std::size_t(index)].IsNull()) {
    SetLastError(kErrorInvalidParameter);
    return GdiHandle_t();
  }
  return table[std::size_t(index)];
}

LOGFONTA GetDefaultGuiLogFontData() {
  GdiHandle_t h = GetStockObject(kDefaultGuiFont);
  LOGFONTA lf{};
  GetLogFont(h, lf);
  return lf;
}

// ---------------------------------------------------------------------------

GdiObject_t::~GdiObject_t() = default;

bool GdiObject_t::DeleteObject() {
  if (m_handle.IsNull()) {
    SetLastError(kErrorInvalidHandle);
    return false;
  }
  m_handle.Reset();
  return true;
}

bool GdiObject_t::Attach(const GdiHandle_t& handle) {
  if (!m_handle.IsNull() || handle.IsNull()) {
    SetLastError(kErrorInvalidHandle);
    return false;
  }
  m_handle = handle;
  return true;
}

GdiHandle_t GdiObject_t::Detach() {
  GdiHandle_t h = m_handle;
  m_handle.Reset();
  return h;
}

namespace {
bool Refuse(unsigned long code) {
  SetLastError(code);
  return false;
}
}  // namespace

bool Pen_t::CreatePen(int style, int width, COLORREF colour) {
  if (!m_handle.IsNull()) return Refuse(kErrorInvalidHandle);
  if (style < kPsSolid || style > kPsInsideFrame || width < 0) return Refuse(kErrorInvalidParameter);
  auto d = NewObject(GdiKind::Pen);
  // Wide pens draw only solid: broken styles become solid above one pixel.
  d->penStyle = (width > 1 && style != kPsNull && style != kPsInsideFrame) ? kPsSolid : style;
  d->penWidth = std::max(width, 1);
  d->colour = colour;
  m_handle = GdiHandle_t(d);
  return true;
}

bool Brush_t::CreateSolidBrush(COLORREF colour) {
  if (!m_handle.IsNull()) return Refuse(kErrorInvalidHandle);
  auto d = NewObject(GdiKind::Brush);
  d->colour = colour;
  m_handle = GdiHandle_t(d);
  return true;
}

bool Font_t::CreateFontIndirect(const LOGFONTA& logFont) {
  if (!m_handle.IsNull()) return Refuse(kErrorInvalidHandle);
  auto d = NewObject(GdiKind::Font);
  d->logFont = logFont;
  d->logFont.lfFaceName[31] = '\0';
  d->logFontReady = true;
  m_handle = GdiHandle_t(d);
  return true;
}

bool GetLogFont(const GdiHandle_t& font, LOGFONTA& logFont) {
  if (font.Kind() != GdiKind::Font) return Refuse(kErrorInvalidHandle);
  std::lock_guard<std::mutex> lock(g_fontMutex);
  CompleteStockFont(*font.Data());
  logFont = font.Data()->logFont;
  return true;
}

bool Bitmap_t::CreateCompatibleBitmap(Dc_t&, int width, int height) {
  if (!m_handle.IsNull()) return Refuse(kErrorInvalidHandle);
  if (width < 1 || height < 1) return Refuse(kErrorInvalidParameter);
  // Images take their resolution from the application's screen when they are
  // made; with the application in place first, text recorded in a metafile
  // replays at the very size it is drawn directly.
  EnsureGuiApplication();
  auto d = NewObject(GdiKind::Bitmap);
  d->image = QImage(width, height, QImage::Format_RGB32);
  if (d->image.isNull()) return Refuse(kErrorNotEnoughMemory);
  d->image.fill(0xFF000000u);
  m_handle = GdiHandle_t(d);
  return true;
}

bool Bitmap_t::CreateDIBSection(const BITMAPINFO& info, void** bits) {
  if (bits) *bits = nullptr;
  if (!m_handle.IsNull()) return Refuse(kErrorInvalidHandle);
  const BITMAPINFOHEADER& h = info.bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth < 1 || h.biHeight == 0 || h.biPlanes != 1)
    return Refuse(kErrorInvalidParameter);
  if (h.biBitCount != 32 || h.biCompression != kBiRgb || h.biHeight > 0) return Refuse(kErrorNotSupported);
  const long long width = h.biWidth;
  const long long height = -static_cast<long long>(h.biHeight);
  const long long bytes = width * height * 4;
  if (width > 32767 || height > 32767) return Refuse(kErrorNotEnoughMemory);
  EnsureGuiApplication();  // see CreateCompatibleBitmap
  auto d = NewObject(GdiKind::Bitmap);
  d->bits.reset(new (std::nothrow) unsigned char[std::size_t(bytes)]);
  if (!d->bits) return Refuse(kErrorNotEnoughMemory);
  std::memset(d->bits.get(), 0, std::size_t(bytes));
  d->image = QImage(d->bits.get(), int(width), int(height), qsizetype(width * 4), QImage::Format_RGB32);
  if (d->image.isNull()) return Refuse(kErrorNotEnoughMemory);
  if (bits) *bits = d->bits.get();
  m_handle = GdiHandle_t(d);
  return true;
}

bool GetBitmapInfo(const GdiHandle_t& bitmap, BITMAP& info) {
  if (bitmap.Kind() != GdiKind::Bitmap) return Refuse(kErrorInvalidHandle);
  const GdiObjData& d = *bitmap.Data();
  info.bmType = 0;
  info.bmWidth = d.image.width();
  info.bmHeight = d.image.height();
  info.bmWidthBytes = d.image.width() * 4;
  info.bmPlanes = 1;
  info.bmBitsPixel = 32;
  info.bmBits = d.bits.get();
  return true;
}

bool Bitmap_t::GetBitmap(BITMAP& bitmap) const { return GetBitmapInfo(m_handle, bitmap); }

int GetDIBits(const GdiHandle_t& bitmap, int startRow, int rows, void* bits, const BITMAPINFO& info) {
  if (bitmap.Kind() != GdiKind::Bitmap) return Refuse(kErrorInvalidHandle), 0;
  const BITMAPINFOHEADER& h = info.bmiHeader;
  const QImage& img = bitmap.Data()->image;
  if (bits == nullptr || h.biBitCount != 32 || h.biCompression != kBiRgb || h.biWidth != img.width() ||
      startRow < 0 || rows < 0)
    return Refuse(kErrorInvalidParameter), 0;
  const bool topDown = h.biHeight < 0;
  const int height = img.height();
  int copied = 0;
  auto* out = static_cast<unsigned char*>(bits);
  for (int i = 0; i < rows && startRow + i < height; ++i) {
    // Row i of the output is scan line startRow + i counted from the top
    // (top-down) or from the bottom (bottom-up).
    const int src = topDown ? startRow + i : height - 1 - (startRow + i);
    std::memcpy(out + std::size_t(i) * std::size_t(img.width()) * 4, img.constScanLine(src),
                std::size_t(img.width()) * 4);
    ++copied;
  }
  return copied;
}

bool Region_t::CreateRectRgn(int left, int top, int right, int bottom) {
  if (!m_handle.IsNull()) return Refuse(kErrorInvalidHandle);
  auto d = NewObject(GdiKind::Region);
  d->region = QRegion(ExclusiveRect(left, top, right, bottom));
  m_handle = GdiHandle_t(d);
  return true;
}

bool Region_t::CreateEllipticRgn(int left, int top, int right, int bottom) {
  if (!m_handle.IsNull()) return Refuse(kErrorInvalidHandle);
  auto d = NewObject(GdiKind::Region);
  const QRect r = ExclusiveRect(left, top, right, bottom);
  if (!r.isEmpty()) d->region = QRegion(r, QRegion::Ellipse);
  m_handle = GdiHandle_t(d);
  return true;
}

int Region_t::CombineRgn(const GdiHandle_t& a, const GdiHandle_t& b, int mode) {
  if (m_handle.Kind() != GdiKind::Region || a.Kind() != GdiKind::Region) return Refuse(kErrorInvalidHandle), 0;
  if (mode != kRgnCopy && b.Kind() != GdiKind::Region) return Refuse(kErrorInvalidHandle), 0;
  const QRegion& ra = a.Data()->region;
  QRegion result;
  switch (mode) {
    case kRgnAnd: result = ra & b.Data()->region; break;
    case kRgnOr: result = ra | b.Data()->region; break;
    case kRgnXor: result = ra ^ b.Data()->region; break;
    case kRgnDiff: result = ra - b.Data()->region; break;
    case kRgnCopy: result = ra; break;
    default: return Refuse(kErrorInvalidParameter), 0;
  }
  m_handle.Data()->region = result;
  return RegionKind(result);
}

int Region_t::GetRgnBox(RECT& box) const {
  if (m_handle.Kind() != GdiKind::Region) return Refuse(kErrorInvalidHandle), 0;
  const QRegion& r = m_handle.Data()->region;
  const QRect b = r.boundingRect();
  if (r.isEmpty())
    box = RECT{0, 0, 0, 0};
  else
    box = RECT{b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
  return RegionKind(r);
}

bool Region_t::PtInRegion(int x, int y) const {
  return m_handle.Kind() == GdiKind::Region && m_handle.Data()->region.contains(QPoint(x, y));
}

bool Region_t::EqualRgn(const GdiHandle_t& other) const {
  return m_handle.Kind() == GdiKind::Region && other.Kind() == GdiKind::Region &&
         m_handle.Data()->region == other.Data()->region;
}

bool Region_t::OffsetRgn(int dx, int dy) {
  if (m_handle.Kind() != GdiKind::Region) return Refuse(kErrorInvalidHandle);
  m_handle.Data()->region.translate(dx, dy);
  return true;
}

std::vector<RECT> GetRegionRects(const GdiHandle_t& region) {
  std::vector<RECT> out;
  if (region.Kind() != GdiKind::Region) return out;
  for (const QRect& r : region.Data()->region)
    out.push_back(RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
  return out;
}

bool Palette_t::CreatePalette(const std::vector<PALETTEENTRY>& entries) {
  if (!m_handle.IsNull()) return Refuse(kErrorInvalidHandle);
  if (entries.empty() || entries.size() > 1024) return Refuse(kErrorInvalidParameter);
  auto d = NewObject(GdiKind::Palette);
  d->entries = entries;
  m_handle = GdiHandle_t(d);
  return true;
}

int Palette_t::GetEntryCount() const {
  return m_handle.Kind() == GdiKind::Palette ? int(m_handle.Data()->entries.size()) : 0;
}

int Palette_t::GetPaletteEntries(int start, int count, PALETTEENTRY* entries) const {
  if (m_handle.Kind() != GdiKind::Palette || start < 0 || count < 0) return 0;
  const auto& e = m_handle.Data()->entries;
  int n = 0;
  for (; n < count && start + n < int(e.size()); ++n) entries[n] = e[std::size_t(start + n)];
  return n;
}

int Palette_t::GetNearestPaletteIndex(COLORREF c) const {
  if (m_handle.Kind() != GdiKind::Palette) return -1;
  const auto& e = m_handle.Data()->entries;
  int best = 0;
  long bestDist = -1;
  for (std::size_t i = 0; i < e.size(); ++i) {
    const long dr = long(e[i].peRed) - long(GetRValue(c));
    const long dg = long(e[i].peGreen) - long(GetGValue(c));
    const long db = long(e[i].peBlue) - long(GetBValue(c));
    const long dist = dr * dr + dg * dg + db * db;
    if (bestDist < 0 || dist < bestDist) {
      bestDist = dist;
      best = int(i);
    }
  }
  return best;
}

bool DeleteMetaFile(GdiHandle_t& metaFile) {
  if (metaFile.Kind() != GdiKind::MetaFile) return Refuse(kErrorInvalidHandle);
  metaFile.Reset();
  return true;
}

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

  // Recording.
  std::unique_ptr<QPicture> picture;
  std::unique_ptr<QPainter> recorder;

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

// Runs a drawing step with a painter on the context's surface, set up with the
// context's clip region and without antialiasing. False when there is nowhere
// to draw.
template <typename F>
bool Paint(DcData& d, F&& draw) {
  switch (d.surface) {
    case DcData::Surface::Memory: {
      if (d.bitmap.IsNull()) return Refuse(kErrorInvalidHandle);
      GdiObjData& bm = *d.bitmap.Data();
      if (bm.stock) return true;  // the one-pixel default bitmap keeps nothing
      QPainter p(&bm.image);
      if (!p.isActive()) return Refuse(kErrorInvalidHandle);
      p.setRenderHint(QPainter::Antialiasing, false);
      if (d.hasClip) p.setClipRegion(d.clip);
      draw(p);
      return true;
    }
    case DcData::Surface::Picture:
    case DcData::Surface::Painter: {
      QPainter* p = d.surface == DcData::Surface::Picture ? d.recorder.get() : d.external;
      if (p == nullptr || !p->isActive()) return Refuse(kErrorInvalidHandle);
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

QBrush MakeBrush(const DcData& d) {
  if (d.brush.IsNull() || d.brush.Data()->nullBrush) return QBrush(Qt::NoBrush);
  return QBrush(d.Resolve(d.brush.Data()->colour));
}

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
  if (m_d) return Refuse(kErrorInvalidHandle);
  auto d = std::make_unique<DcData>();
  InitDefaults(*d);
  d->surface = DcData::Surface::Memory;
  d->bitmap = StockBitmap();
  m_d = std::move(d);
  return true;
}

bool Dc_t::CreateMetaFile() {
  if (m_d) return Refuse(kErrorInvalidHandle);
  EnsureGuiApplication();  // see Bitmap_t::CreateCompatibleBitmap
  auto d = std::make_unique<DcData>();
  InitDefaults(*d);
  d->surface = DcData::Surface::Picture;
  d->picture = std::make_unique<QPicture>();
  d->recorder = std::make_unique<QPainter>();
  if (!d->recorder->begin(d->picture.get())) return Refuse(kErrorNotEnoughMemory);
  m_d = std::move(d);
  return true;
}

GdiHandle_t Dc_t::CloseMetaFile() {
  if (!m_d || m_d->surface != DcData::Surface::Picture) {
    SetLastError(kErrorInvalidHandle);
    return GdiHandle_t();
  }
  m_d->recorder->end();
  auto mf = NewObject(GdiKind::MetaFile);
  mf->picture = *m_d->picture;
  m_d.reset();
  return GdiHandle_t(mf);
}

bool Dc_t::PlayMetaFile(const GdiHandle_t& metaFile) {
  if (!m_d) return Refuse(kErrorInvalidHandle);
  if (metaFile.Kind() != GdiKind::MetaFile) return Refuse(kErrorInvalidHandle);
  const QPicture& pic = metaFile.Data()->picture;
  return Paint(*m_d, [&](QPainter& p) { p.drawPicture(0, 0, pic); });
}

bool Dc_t::DeleteDC() {
  if (!m_d) return Refuse(kErrorInvalidHandle);
  if (m_d->recorder && m_d->recorder->isActive()) m_d->recorder->end();
  m_d.reset();
  return true;
}

bool Dc_t::AttachPainter(void* painter, int width, int height) {
  if (m_d || painter == nullptr) return Refuse(kErrorInvalidHandle);
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
  if (!m_d || (mode != kTransparent && mode != kOpaque)) return Refuse(kErrorInvalidParameter), 0;
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
  if (!m_d || region.GetSafeHandle().Kind() != GdiKind::Region) return Refuse(kErrorInvalidHandle), -1;
  if (!m_d->hasClip) return 0;
  region.GetSafeHandle().Data()->region = m_d->clip;
  return 1;
}

bool Dc_t::HasClipRgn() const { return m_d && m_d->hasClip; }

int Dc_t::SelectClipRgn(const GdiHandle_t& region) {
  if (!m_d) return Refuse(kErrorInvalidHandle), 0;
  if (region.IsNull()) {
    m_d->hasClip = false;
    m_d->clip = QRegion();
    return kSimpleRegion;
  }
  return ExtSelectClipRgn(region, kRgnCopy);
}

int Dc_t::ExtSelectClipRgn(const GdiHandle_t& region, int mode) {
  if (!m_d) return Refuse(kErrorInvalidHandle), 0;
  if (region.IsNull()) {
    if (mode != kRgnCopy) return Refuse(kErrorInvalidParameter), 0;
    return SelectClipRgn(region);
  }
  if (region.Kind() != GdiKind::Region) return Refuse(kErrorInvalidHandle), 0;
  const QRegion& r = region.Data()->region;
  const QRegion current = m_d->hasClip ? m_d->clip : QRegion(m_d->DeviceRect());
  QRegion result;
  switch (mode) {
    case kRgnAnd: result = current & r; break;
    case kRgnOr: result = current | r; break;
    case kRgnXor: result = current ^ r; break;
    case kRgnDiff: result = current - r; break;
    case kRgnCopy: result = r; break;
    default: return Refuse(kErrorInvalidParameter), 0;
  }
  m_d->clip = result;
  m_d->hasClip = true;
  return RegionKind(result);
}

int Dc_t::IntersectClipRect(int left, int top, int right, int bottom) {
  if (!m_d) return Refuse(kErrorInvalidHandle), 0;
  const QRegion r(ExclusiveRect(left, top, right, bottom));
  m_d->clip = m_d->hasClip ? (m_d->clip & r) : r;
  m_d->hasClip = true;
  return RegionKind(m_d->clip);
}

int Dc_t::ExcludeClipRect(int left, int top, int right, int bottom) {
  if (!m_d) return Refuse(kErrorInvalidHandle), 0;
  const QRegion r(ExclusiveRect(left, top, right, bottom));
  m_d->clip = (m_d->hasClip ? m_d->clip : QRegion(m_d->DeviceRect())) - r;
  m_d->hasClip = true;
  return RegionKind(m_d->clip);
}

int Dc_t::GetClipBox(RECT& box) const {
  if (!m_d) return Refuse(kErrorInvalidHandle), 0;
  const QRegion r = m_d->hasClip ? (m_d->clip & QRegion(m_d->DeviceRect())) : QRegion(m_d->DeviceRect());
  const QRect b = r.boundingRect();
  box = r.isEmpty() ? RECT{0, 0, 0, 0} : RECT{b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
  return RegionKind(r);
}

bool Dc_t::MoveTo(int x, int y, POINT* previous) {
  if (!m_d) return Refuse(kErrorInvalidHandle);
  if (previous) *previous = m_d->pos;
  m_d->pos = POINT{x, y};
  return true;
}

bool Dc_t::LineTo(int x, int y) {
  if (!m_d) return Refuse(kErrorInvalidHandle);
  const POINT pts[2] = {m_d->pos, POINT{x, y}};
  const bool ok = Polyline(pts, 2);
  m_d->pos = POINT{x, y};
  return ok;
}

bool Dc_t::Polyline(const POINT* points, int count) {
  if (!m_d) return Refuse(kErrorInvalidHandle);
  if (points == nullptr || count < 2) return Refuse(kErrorInvalidParameter);
  QPolygon poly(count);
  for (int i = 0; i < count; ++i) poly.setPoint(i, points[i].x, points[i].y);
  const DcData& d = *m_d;
  return Paint(*m_d, [&](QPainter& p) { DrawPolyline(d, p, poly); });
}

bool Dc_t::Polygon(const POINT* points, int count) {
  if (!m_d) return Refuse(kErrorInvalidHandle);
  if (points == nullptr || count < 2) return Refuse(kErrorInvalidParameter);
  QPolygon poly(count);
  for (int i = 0; i < count; ++i) poly.setPoint(i, points[i].x, points[i].y);
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
  if (!m_d) return Refuse(kErrorInvalidHandle);
  const QRect r = ExclusiveRect(left, top, right, bottom);
  if (r.width() < 1 || r.height() < 1) return true;
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
  if (!m_d) return Refuse(kErrorInvalidHandle);
  const QRect r = ExclusiveRect(left, top, right, bottom);
  if (r.width() < 1 || r.height() < 1) return true;
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
  if (!m_d) return Refuse(kErrorInvalidHandle);
  if (brush.Kind() != GdiKind::Brush) return Refuse(kErrorInvalidHandle);
  if (brush.Data()->nullBrush || rect.right <= rect.left || rect.bottom <= rect.top) return true;
  const QColor c = m_d->Resolve(brush.Data()->colour);
  const QRect r(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  return Paint(*m_d, [&](QPainter& p) { p.fillRect(r, c); });
}

bool Dc_t::FillSolidRect(const RECT& rect, COLORREF colour) {
  if (!m_d) return Refuse(kErrorInvalidHandle);
  if (rect.right <= rect.left || rect.bottom <= rect.top) return true;
  const QColor c = m_d->Resolve(colour);
  const QRect r(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  return Paint(*m_d, [&](QPainter& p) { p.fillRect(r, c); });
}

COLORREF Dc_t::SetPixel(int x, int y, COLORREF colour) {
  if (!m_d) return kClrInvalid;
  if (!m_d->DeviceRect().contains(x, y) || (m_d->hasClip && !m_d->clip.contains(QPoint(x, y))))
    return kClrInvalid;
  const QColor c = m_d->Resolve(colour);
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
  if (!m_d) return Refuse(kErrorInvalidHandle);
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
  if (!m_d) return Refuse(kErrorInvalidHandle);
  const QFontMetrics fm(CurrentFont(*m_d));
  const QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
  size.cx = fm.horizontalAdvance(s);
  size.cy = fm.height();
  return true;
}

bool Dc_t::GetTextMetrics(TEXTMETRICA& tm) const {
  if (!m_d) return Refuse(kErrorInvalidHandle);
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
  if (!m_d || !source.m_d) return Refuse(kErrorInvalidHandle);
  if (rop != kSrcCopy) return Refuse(kErrorNotSupported);
  if (source.m_d->surface != DcData::Surface::Memory || source.m_d->bitmap.IsNull())
    return Refuse(kErrorInvalidHandle);
  if (width <= 0 || height <= 0) return true;
  // A copy of the source block, so that source and target may overlap.
  const QImage block = source.m_d->bitmap.Data()->image.copy(QRect(sx, sy, width, height));
  return Paint(*m_d, [&](QPainter& p) {
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QPoint(x, y), block);
  });
}

int Dc_t::GetDeviceCaps(int index) const {
  if (!m_d) return 0;
  const QRect r = m_d->DeviceRect();
  switch (index) {
    case kHorzRes: return r.width();
    case kVertRes: return r.height();
    case kBitsPixel: return 32;
    case kRasterCaps: return 0x0001 | 0x0008 | 0x0800;  // bit blocks, large bitmaps, stretching; no palette
    case kLogPixelsX:
    case kLogPixelsY: return 96;
    default: return 0;
  }
}

}  // namespace plat
