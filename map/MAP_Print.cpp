// The map window's printing and its notice pictures on the page and the screen.
#include "map/MAP_Print.h"

#include <algorithm>
#include <cmath>

#include "gdi/GDI_DibSection.h"
#include "glo/GLO_Exception.h"
#include "map/MAP_Window.h"
#include "plat/PLAT_ClientDc.h"
#include "plat/PLAT_Error.h"
#include "plat/PLAT_Print.h"
#include "tdb/TDB_ProductDir.h"
#include "tdb/TDB_Registry.h"
#include "win/WIN_Exception.h"

namespace map {

namespace {

// The show flag of a notice for a medium.
bool Shown(const tdb::Notice_t& n, bool print, bool detailMaps) {
  return print ? (detailMaps ? n.flag2 : n.flag1) : (detailMaps ? n.flag4 : n.flag3);
}

// The products' install folder, where the notice pictures are (from the
// registry the tile cache's images come from); win::RegError_t at the
// caller's line when it is unknown.
std::string InstallFolder(const mpl::ProductImageEnv_t& env, int line) {
  const tdb::Registry_t& registry = env.registry ? *env.registry : tdb::Registry_t::Instance();
  const glo::Optional_t<std::string>& folder = registry.GetInstallDir();
  if (!folder.IsPresent()) throw win::RegError_t(::glo::SourceBaseName(__FILE__), line, std::string(), plat::kErrorFileNotFound);
  return folder.Value();
}

// The scale at which a width x height view fits a page above its notices.
double FitScale(plat::Dc_t& target, int noticeHeight, int width, int height) {
  const double p = target.GetDeviceCaps(plat::kHorzRes);
  const double q = target.GetDeviceCaps(plat::kVertRes);
  return std::min((q - noticeHeight) / height, p / width);
}

plat::SIZE ClientSize(const Window_t& window) {
  const plat::RECT r = window.GetClientRect();
  return plat::SIZE{r.right - r.left, r.bottom - r.top};
}

}  // namespace

std::vector<Notice_t> ProductNotices(const tdb::Product_t& product) {
  std::vector<Notice_t> notices;
  for (const auto& [text, n] : product.GetCopyright().GetNotices())
    notices.push_back(Notice_t{n.text, n.flag1, n.flag2, n.flag3, n.flag4, n.flag5});
  return notices;
}

void PrintToPdf(Window_t& window, const std::string& path) {
  plat::PdfDocument_t document;
  if (!document.StartDoc(plat::PdfDocument_t::kA4Width, plat::PdfDocument_t::kA4Height)) throw win::Error_t(GLO_SRC);
  window.Print(document.GetDc());
  if (!document.EndDoc(path)) throw win::Error_t(GLO_SRC);
}

void Window_t::Print(plat::Dc_t& target) {
  if ((target.GetDeviceCaps(plat::kRasterCaps) & plat::kRcStretchDib) == 0)
    throw StretchDibNotSupportedException_t(GLO_SRC);
  const int notices = DrawPrintNotices(target, ProductNotices(CurrentProduct()), ShowsDetailMaps());
  const plat::SIZE size = ClientSize(*this);

  // The view rendered at the window's size into a bitmap of its own.
  plat::ClientDc_t client(*this);
  plat::Dc_t memory;
  if (!client.IsValid() || !memory.CreateCompatibleDC(&client)) throw UnknownPrintException_t(GLO_SRC);
  const plat::GdiHandle_t oldPalette = memory.SelectPalette(m_palette.GetSafeHandle(), false);
  memory.RealizePalette();
  plat::Bitmap_t bitmap;
  if (size.cx < 1 || size.cy < 1 || !bitmap.CreateCompatibleBitmap(client, size.cx, size.cy))
    throw UnknownPrintException_t(GLO_SRC);
  const plat::GdiHandle_t oldBitmap = memory.SelectObject(bitmap);
  PrepareAndRender(memory);

  // Device and logical coordinates are the same here: the page starts at (0, 0).
  const plat::POINT origin{0, 0};
  const double scale = FitScale(target, notices, size.cx, size.cy);
  const int width = static_cast<int>(size.cx * scale);
  const int height = static_cast<int>(size.cy * scale);
  plat::BITMAPINFO info{};
  const auto bits = gdi::GetBitmapBits32(memory, bitmap.GetSafeHandle(), info);
  if (!bits) throw UnknownPrintException_t(GLO_SRC);
  target.StretchDIBits(origin.x, origin.y, width, height, 0, 0, size.cx, size.cy, bits.get(), info,
                       plat::kDibRgbColors, plat::kSrcCopy);
  DrawPrintPictures(target, memory, notices);

  const plat::GdiHandle_t oldBrush = target.SelectStockObject(plat::kNullBrush);
  const plat::GdiHandle_t oldPen = target.SelectStockObject(plat::kBlackPen);
  target.Rectangle(origin.x, origin.y, origin.x + width, origin.y + height);
  target.SelectObject(oldPen);
  target.SelectObject(oldBrush);
  memory.SelectObject(oldBitmap);
  memory.SelectPalette(oldPalette, false);
}

void Window_t::PaintNotices(plat::Dc_t& dc) {
  const int height = DrawScreenNotices(dc, ProductNotices(CurrentProduct()), ShowsDetailMaps(),
                                       ClientSize(*this).cy);
  if (m_backDc) {
    DrawScreenPictures(dc, *m_backDc, height);
  } else {
    plat::Dc_t memory;
    if (memory.CreateCompatibleDC(&dc)) DrawScreenPictures(dc, memory, height);
  }
}

// The install folder is looked up at the first picture to draw: a product
// without pictures needs none.
void Window_t::DrawPrintPictures(plat::Dc_t& target, plat::Dc_t& memory, int noticeHeight) {
  const plat::SIZE size = ClientSize(*this);
  const double scale = FitScale(target, noticeHeight, size.cx, size.cy);
  const bool detailMaps = ShowsDetailMaps();
  std::string folder;
  int used = 0;
  for (const auto& [text, n] : CurrentProduct().GetCopyright().GetNotices()) {
    if (!n.flag5 || !Shown(n, true, detailMaps)) continue;
    if (folder.empty()) folder = InstallFolder(m_cache.GetProductEnv(), __LINE__);
    DrawNoticePicture(target, memory, folder, n.text, 0, 0, size.cy, scale, n.value, used);
  }
}

void Window_t::DrawScreenPictures(plat::Dc_t& paint, plat::Dc_t& back, int noticeHeight) {
  const plat::SIZE size = ClientSize(*this);
  const bool detailMaps = ShowsDetailMaps();
  std::string folder;
  int used = noticeHeight;
  for (const auto& [text, n] : CurrentProduct().GetCopyright().GetNotices()) {
    if (!n.flag5 || !Shown(n, false, detailMaps)) continue;
    if (folder.empty()) folder = InstallFolder(m_cache.GetProductEnv(), __LINE__);
    DrawNoticePicture(paint, back, folder, n.text, 0, 0, size.cy, 1.0, n.value, used);
  }
}

void Window_t::DrawNoticePicture(plat::Dc_t& target, plat::Dc_t& source, const std::string& folder,
                                 const std::string& file, int x, int y, int mapHeight, double scale, float inches,
                                 int& used) {
  plat::Bitmap_t picture;
  if (!plat::LoadBitmapFile(folder + "/" + file, picture)) return;
  plat::BITMAP bm{};
  GLO_ASSERT(picture.GetBitmap(bm));
  GLO_ASSERT(bm.bmWidth >= 1);
  const double aspect = static_cast<double>(bm.bmHeight) / bm.bmWidth;
  const int dx = target.GetDeviceCaps(plat::kLogPixelsX);
  const int dy = target.GetDeviceCaps(plat::kLogPixelsY);
  GLO_ASSERT(dx >= 1);
  const double w = dx * static_cast<double>(inches);
  const double h = w * (static_cast<double>(dy) / dx) * aspect;
  const int width = static_cast<int>(w + 0.5);
  const int height = static_cast<int>(h + 0.5);

  const plat::GdiHandle_t oldPalette = source.SelectPalette(m_palette.GetSafeHandle(), false);
  const plat::GdiHandle_t oldBitmap = source.SelectObject(picture);
  plat::BITMAPINFO info{};
  const auto bits = gdi::GetBitmapBits32(source, picture.GetSafeHandle(), info);
  if (!oldBitmap.IsNull()) source.SelectObject(oldBitmap);
  if (!oldPalette.IsNull()) source.SelectPalette(oldPalette, false);
  if (!bits) throw UnknownPrintException_t(GLO_SRC);
  target.StretchDIBits(x, static_cast<int>(mapHeight * scale) + y - used - height, width, height, 0, 0, bm.bmWidth,
                       bm.bmHeight, bits.get(), info, plat::kDibRgbColors, plat::kSrcCopy);
  used += height;
}

}  // namespace map
