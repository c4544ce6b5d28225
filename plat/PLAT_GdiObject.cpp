#include "plat/PLAT_GdiObject.h"

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

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <optional>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_Gui.h"

namespace plat {

using namespace detail;


namespace detail {

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

}  // namespace detail

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


bool Pen_t::CreatePen(int style, int width, COLORREF colour) {
  if (!m_handle.IsNull()) return FailWith(kErrorInvalidHandle);
  if (style < kPsSolid || style > kPsInsideFrame || width < 0) return FailWith(kErrorInvalidParameter);
  auto d = NewObject(GdiKind::Pen);
  // Wide pens draw only solid: broken styles become solid above one pixel.
  d->penStyle = (width > 1 && style != kPsNull && style != kPsInsideFrame) ? kPsSolid : style;
  d->penWidth = std::max(width, 1);
  d->colour = colour;
  m_handle = GdiHandle_t(d);
  return true;
}

bool Brush_t::CreateSolidBrush(COLORREF colour) {
  if (!m_handle.IsNull()) return FailWith(kErrorInvalidHandle);
  auto d = NewObject(GdiKind::Brush);
  d->colour = colour;
  m_handle = GdiHandle_t(d);
  return true;
}

bool Brush_t::CreateHatchBrush(int style, COLORREF colour) {
  if (!m_handle.IsNull()) return FailWith(kErrorInvalidHandle);
  if (style < kHsHorizontal || style > kHsDiagCross) return FailWith(kErrorInvalidParameter);
  auto d = NewObject(GdiKind::Brush);
  d->colour = colour;
  d->hatch = style;
  m_handle = GdiHandle_t(d);
  return true;
}

namespace detail {
bool HatchPixel(int style, int x, int y) {
  const int u = x & 7, v = y & 7;
  switch (style) {
    case kHsHorizontal: return v == 7;
    case kHsVertical: return u == 7;
    case kHsFDiagonal: return u == v;
    case kHsBDiagonal: return u + v == 7;
    case kHsCross: return u == 7 || v == 7;
    case kHsDiagCross: return u == v || u + v == 7;
    default: return false;
  }
}
}  // namespace detail

bool Font_t::CreatePointFontIndirect(const LOGFONTA& logFont, const Dc_t* dc) {
  LOGFONTA lf = logFont;
  const int dpi = dc != nullptr && dc->IsValid() ? dc->GetDeviceCaps(kLogPixelsY) : 96;
  // Tenths of a point at 'dpi' dots per inch, rounded half away from zero.
  const long long scaled = static_cast<long long>(lf.lfHeight) * dpi;
  const long long pixels = (scaled >= 0 ? scaled + 360 : scaled - 360) / 720;
  lf.lfHeight = -static_cast<std::int32_t>(pixels < 0 ? -pixels : pixels);
  return CreateFontIndirect(lf);
}

bool Font_t::CreateFontIndirect(const LOGFONTA& logFont) {
  if (!m_handle.IsNull()) return FailWith(kErrorInvalidHandle);
  auto d = NewObject(GdiKind::Font);
  d->logFont = logFont;
  d->logFont.lfFaceName[31] = '\0';
  d->logFontReady = true;
  m_handle = GdiHandle_t(d);
  return true;
}

bool GetLogFont(const GdiHandle_t& font, LOGFONTA& logFont) {
  if (font.Kind() != GdiKind::Font) return FailWith(kErrorInvalidHandle);
  std::lock_guard<std::mutex> lock(g_fontMutex);
  CompleteStockFont(*font.Data());
  logFont = font.Data()->logFont;
  return true;
}

bool Bitmap_t::CreateCompatibleBitmap(Dc_t&, int width, int height) {
  if (!m_handle.IsNull()) return FailWith(kErrorInvalidHandle);
  if (width < 1 || height < 1) return FailWith(kErrorInvalidParameter);
  // Images take their resolution from the application's screen when they are
  // made; with the application in place first, text recorded in a metafile
  // replays at the very size it is drawn directly.
  EnsureGuiApplication();
  auto d = NewObject(GdiKind::Bitmap);
  d->image = QImage(width, height, QImage::Format_RGB32);
  if (d->image.isNull()) return FailWith(kErrorNotEnoughMemory);
  d->image.fill(0xFF000000u);
  m_handle = GdiHandle_t(d);
  return true;
}

bool Bitmap_t::CreateDIBSection(const BITMAPINFO& info, void** bits) {
  if (bits) *bits = nullptr;
  if (!m_handle.IsNull()) return FailWith(kErrorInvalidHandle);
  const BITMAPINFOHEADER& h = info.bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth < 1 || h.biHeight == 0 || h.biPlanes != 1)
    return FailWith(kErrorInvalidParameter);
  if (h.biBitCount != 32 || h.biCompression != kBiRgb || h.biHeight > 0) return FailWith(kErrorNotSupported);
  const long long width = h.biWidth;
  const long long height = -static_cast<long long>(h.biHeight);
  const long long bytes = width * height * 4;
  if (width > 32767 || height > 32767) return FailWith(kErrorNotEnoughMemory);
  EnsureGuiApplication();  // see CreateCompatibleBitmap
  auto d = NewObject(GdiKind::Bitmap);
  d->bits.reset(new (std::nothrow) unsigned char[std::size_t(bytes)]);
  if (!d->bits) return FailWith(kErrorNotEnoughMemory);
  std::memset(d->bits.get(), 0, std::size_t(bytes));
  d->image = QImage(d->bits.get(), int(width), int(height), qsizetype(width * 4), QImage::Format_RGB32);
  if (d->image.isNull()) return FailWith(kErrorNotEnoughMemory);
  if (bits) *bits = d->bits.get();
  m_handle = GdiHandle_t(d);
  return true;
}

bool GetBitmapInfo(const GdiHandle_t& bitmap, BITMAP& info) {
  if (bitmap.Kind() != GdiKind::Bitmap) return FailWith(kErrorInvalidHandle);
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
  if (bitmap.Kind() != GdiKind::Bitmap) return FailWith(kErrorInvalidHandle), 0;
  const BITMAPINFOHEADER& h = info.bmiHeader;
  const QImage& img = bitmap.Data()->image;
  if (bits == nullptr || h.biBitCount != 32 || h.biCompression != kBiRgb || h.biWidth != img.width() ||
      startRow < 0 || rows < 0)
    return FailWith(kErrorInvalidParameter), 0;
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
  if (!m_handle.IsNull()) return FailWith(kErrorInvalidHandle);
  auto d = NewObject(GdiKind::Region);
  d->region = QRegion(ExclusiveRect(left, top, right, bottom));
  m_handle = GdiHandle_t(d);
  return true;
}

bool Region_t::CreateEllipticRgn(int left, int top, int right, int bottom) {
  if (!m_handle.IsNull()) return FailWith(kErrorInvalidHandle);
  auto d = NewObject(GdiKind::Region);
  const QRect r = ExclusiveRect(left, top, right, bottom);
  if (!r.isEmpty()) d->region = QRegion(r, QRegion::Ellipse);
  m_handle = GdiHandle_t(d);
  return true;
}

int Region_t::CombineRgn(const GdiHandle_t& a, const GdiHandle_t& b, int mode) {
  if (m_handle.Kind() != GdiKind::Region || a.Kind() != GdiKind::Region) return FailWith(kErrorInvalidHandle), 0;
  if (mode != kRgnCopy && b.Kind() != GdiKind::Region) return FailWith(kErrorInvalidHandle), 0;
  const QRegion& ra = a.Data()->region;
  QRegion result;
  switch (mode) {
    case kRgnAnd: result = ra & b.Data()->region; break;
    case kRgnOr: result = ra | b.Data()->region; break;
    case kRgnXor: result = ra ^ b.Data()->region; break;
    case kRgnDiff: result = ra - b.Data()->region; break;
    case kRgnCopy: result = ra; break;
    default: return FailWith(kErrorInvalidParameter), 0;
  }
  m_handle.Data()->region = result;
  return RegionKind(result);
}

int Region_t::GetRgnBox(RECT& box) const {
  if (m_handle.Kind() != GdiKind::Region) return FailWith(kErrorInvalidHandle), 0;
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

bool Region_t::CreatePolygonRgn(const POINT* points, int count) {
  if (!m_handle.IsNull()) return FailWith(kErrorInvalidHandle);
  if (count < 0 || (count > 0 && !points)) return FailWith(kErrorInvalidParameter);
  auto d = NewObject(GdiKind::Region);
  if (count > 0) {
    QPolygon polygon(count);
    for (int i = 0; i < count; ++i) polygon.setPoint(i, points[i].x, points[i].y);
    d->region = QRegion(polygon, Qt::OddEvenFill);
  }
  m_handle = GdiHandle_t(d);
  return true;
}

bool Region_t::RectInRegion(const RECT& rect) const {
  return m_handle.Kind() == GdiKind::Region &&
         m_handle.Data()->region.intersects(ExclusiveRect(rect.left, rect.top, rect.right, rect.bottom));
}

std::vector<RECT> GetRegionRects(const GdiHandle_t& region) {
  std::vector<RECT> out;
  if (region.Kind() != GdiKind::Region) return out;
  for (const QRect& r : region.Data()->region)
    out.push_back(RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
  return out;
}

bool Palette_t::CreatePalette(const std::vector<PALETTEENTRY>& entries) {
  if (!m_handle.IsNull()) return FailWith(kErrorInvalidHandle);
  if (entries.empty() || entries.size() > 1024) return FailWith(kErrorInvalidParameter);
  auto d = NewObject(GdiKind::Palette);
  d->entries = entries;
  m_handle = GdiHandle_t(d);
  return true;
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
  if (metaFile.Kind() != GdiKind::MetaFile) return FailWith(kErrorInvalidHandle);
  metaFile.Reset();
  return true;
}

}  // namespace plat
