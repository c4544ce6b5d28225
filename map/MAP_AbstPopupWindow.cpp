#include "map/MAP_AbstPopupWindow.h"

#include <cmath>

#include "gdi/GDI_Clipper.h"
#include "gdi/GDI_ObjectSelector.h"
#include "glo/GLO_Exception.h"
#include "map/MAP_Registry.h"
#include "map/MAP_Window.h"
#include "plat/PLAT_ClientDc.h"
#include "win/WIN_Exception.h"

namespace map {

AbstPopupWindow_t::~AbstPopupWindow_t() = default;

void AbstPopupWindow_t::SetRect(const plat::RECT& rect) {
  if (m_saved) throw glo::Exception_t(GLO_SRC, std::string());
  m_rect = rect;
}

void AbstPopupWindow_t::Show(plat::Dc_t& dc) {
  plat::Dc_t memory;
  if (!memory.CreateCompatibleDC(&dc)) throw win::Error_t(GLO_SRC);
  const int width = m_rect.right - m_rect.left, height = m_rect.bottom - m_rect.top;
  if (!m_saved) {
    if (width <= 0 || height <= 0) throw glo::Exception_t(GLO_SRC, std::string());
    auto saved = std::make_unique<plat::Bitmap_t>();
    if (!saved->CreateCompatibleBitmap(dc, width, height)) throw win::Error_t(GLO_SRC);
    m_saved = std::move(saved);
  }
  {
    gdi::ObjectSelector_t select(memory, *m_saved);
    if (!memory.BitBlt(0, 0, width, height, dc, m_rect.left, m_rect.top, plat::kSrcCopy)) throw win::Error_t(GLO_SRC);
  }
  gdi::Clipper_t clip(dc, m_rect);
  Paint(dc);
}

void AbstPopupWindow_t::Hide(plat::Dc_t& dc) {
  if (!m_saved) throw glo::Exception_t(GLO_SRC, std::string());
  plat::Dc_t memory;
  if (!memory.CreateCompatibleDC(&dc)) throw win::Error_t(GLO_SRC);
  gdi::ObjectSelector_t select(memory, *m_saved);
  if (!dc.BitBlt(m_rect.left, m_rect.top, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top, memory, 0, 0,
                 plat::kSrcCopy))
    throw win::Error_t(GLO_SRC);
}

PipWindow_t::PipWindow_t(plat::POINT anchor, bool inverted) : m_inverted(inverted) {
  SetRect(plat::RECT{anchor.x - 3, anchor.y - 3, anchor.x + 4, anchor.y + 4});
}

void PipWindow_t::Paint(plat::Dc_t& dc) {
  gdi::ObjectSelector_t brush(dc), pen(dc);
  brush.SelectStockObject(m_inverted ? plat::kWhiteBrush : plat::kBlackBrush);
  pen.SelectStockObject(m_inverted ? plat::kBlackPen : plat::kWhitePen);
  const plat::RECT& r = GetRect();
  dc.Rectangle(r.left, r.top, r.right, r.bottom);
}

IconPipWindow_t::IconPipWindow_t(plat::POINT anchor, const plat::ImageList_t& images, int iconIndex)
    : m_iconIndex(iconIndex), m_images(&images) {
  const plat::RECT visible = images.GetVisibleRect(iconIndex);
  const int w = visible.right - visible.left, h = visible.bottom - visible.top;
  const double halfW = w / 2, halfH = h / 2;
  const int r = static_cast<int>(std::floor(std::sqrt(halfW * halfW + halfH * halfH) + 4 + 0.5));
  const plat::SIZE size = images.GetImageSize();
  m_iconX = anchor.x - size.cx / 2;
  m_iconY = anchor.y - size.cx / 2;
  SetRect(plat::RECT{anchor.x - r, anchor.y - r, anchor.x + r, anchor.y + r});
}

void IconPipWindow_t::Paint(plat::Dc_t& dc) {
  {
    gdi::ObjectSelector_t brush(dc), pen(dc);
    brush.SelectStockObject(plat::kWhiteBrush);
    pen.SelectStockObject(plat::kBlackPen);
    const plat::RECT& r = GetRect();
    dc.Ellipse(r.left, r.top, r.right, r.bottom);
  }
  m_images->Draw(dc, m_iconIndex, m_iconX, m_iconY);
}

const plat::Font_t& GetPopupFont() {
  static const plat::Font_t& font = [] () -> const plat::Font_t& {
    static plat::Font_t f;
    plat::LOGFONTA lf = GetRegistry().MapFont();
    // The map font's height read as points, at 0.83 of its size, in tenths.
    const int height = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
    lf.lfHeight = static_cast<std::int32_t>(height * 10 * 0.83);
    if (!f.CreatePointFontIndirect(lf)) throw win::Error_t(GLO_SRC);
    return f;
  }();
  return font;
}

PopupWindow_t::PopupWindow_t(const std::string& text, plat::POINT anchor, Window_t& window, plat::COLORREF fill)
    : m_fill(fill), m_text(text) {
  plat::SIZE extent{0, 0};
  {
    plat::ClientDc_t dc(window);
    plat::Dc_t fallback;
    plat::Dc_t* measure = &dc;
    if (!dc.IsValid()) {
      fallback.CreateCompatibleDC(nullptr);
      measure = &fallback;
    }
    gdi::ObjectSelector_t font(*measure, GetPopupFont());
    measure->GetTextExtentPoint32(text, extent);
  }
  plat::RECT r{anchor.x, anchor.y, anchor.x + extent.cx + 8, anchor.y + extent.cy + 4};
  const int dx = 5, dy = -extent.cy - 9;
  r = plat::RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
  const plat::RECT client = window.GetClientRect();
  if (r.right > client.right) {
    const int excess = r.right - client.right;
    r.left -= excess;
    r.right -= excess;
  }
  if (r.top < client.top) {
    const int below = client.top - r.top;
    r.top += below;
    r.bottom += below;
  }
  SetRect(r);
}

void PopupWindow_t::Paint(plat::Dc_t& dc) {
  const plat::COLORREF bkColour = dc.GetBkColor(), textColour = dc.GetTextColor();
  const int bkMode = dc.GetBkMode();
  const unsigned align = dc.GetTextAlign();
  plat::Brush_t fill;
  if (!fill.CreateSolidBrush(m_fill)) throw win::Error_t(GLO_SRC);
  {
    gdi::ObjectSelector_t brush(dc, fill), pen(dc);
    pen.SelectStockObject(plat::kBlackPen);
    const plat::RECT& r = GetRect();
    dc.Rectangle(r.left, r.top, r.right, r.bottom);
  }
  gdi::ObjectSelector_t font(dc, GetPopupFont());
  dc.SetTextColor(plat::Rgb(0, 0, 0));
  dc.SetBkMode(plat::kTransparent);
  dc.SetTextAlign(plat::kTaLeft | plat::kTaTop);
  dc.TextOut(GetRect().left + 4, GetRect().top + 2, m_text);
  dc.SetBkColor(bkColour);
  dc.SetBkMode(bkMode);
  dc.SetTextColor(textColour);
  dc.SetTextAlign(align);
}

}  // namespace map
