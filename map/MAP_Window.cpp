#include "map/MAP_Window.h"

#include <algorithm>
#include <cmath>

#include "gdi/GDI_ObjectSelector.h"
#include "gdi/GDI_SmartPalette.h"
#include "glo/GLO_StringResource.h"
#include "map/MAP_Palette.h"
#include "map/MAP_Registry.h"
#include "map/MAP_Styles.h"
#include "plat/PLAT_ClientDc.h"
#include "plat/PLAT_Clock.h"
#include "plat/PLAT_ScrollBar.h"
#include "win/WIN_Exception.h"

namespace map {

// ---------------------------------------------------------------------------
// The render guard.

namespace {

struct KeyLess_t {
  bool operator()(const std::pair<const char*, int>& a, const std::pair<const char*, int>& b) const {
    if (a.first != b.first) return std::less<const char*>()(a.first, b.first);
    return a.second < b.second;
  }
};

std::set<std::pair<const char*, int>, KeyLess_t>& ActivePasses() {
  static std::set<std::pair<const char*, int>, KeyLess_t> passes;
  return passes;
}

// The key of the window's drawing pass.
const char* const kRenderFile = "MAP_Window";
constexpr int kRenderLine = 885;

// Progress is looked at no more often than this.
constexpr std::uint32_t kProgressInterval = 100;

// The keys whose queued press ends a render.
constexpr unsigned kAbortKeys[] = {plat::kVkControl, plat::kVkUp,   plat::kVkDown,      plat::kVkRight, plat::kVkLeft,
                                   plat::kVkPrior,   plat::kVkNext, plat::kVkHome,      plat::kVkEnd,   plat::kVkAdd,
                                   plat::kVkSubtract, plat::kVkOemPlus, plat::kVkOemMinus};

}  // namespace

RenderGuard_t::RenderGuard_t(const char* file, int line) : m_key(file, line) {
  m_alreadyActive = !ActivePasses().insert(m_key).second;
}

RenderGuard_t::~RenderGuard_t() {
  if (m_alreadyActive) return;
  try {
    ActivePasses().erase(m_key);
  } catch (...) {
  }
}

// ---------------------------------------------------------------------------
// Construction.

Window_t::Window_t(std::string promptText, bool scrollBars)
    : m_promptText(std::move(promptText)),
      m_projector(2147483648.0, geo::Position_t(0, 0), plat::RECT{0, 0, 0, 0}, 0),
      m_scale(m_projector, 0),
      m_progressMark(plat::GetClockTicks()),
      m_scrollBars(scrollBars) {
  if (!CreateMapPalette(m_palette)) throw glo::Exception_t(GLO_SRC, std::string());
}

Window_t::~Window_t() {
  try {
    m_backDc.reset();
    m_backBitmap.reset();
  } catch (...) {
  }
  try {
    m_popups.Clear();
  } catch (...) {
  }
}

bool Window_t::CreateMapWindow(plat::Wnd_t* parent, int id, const plat::RECT& rect) {
  std::uint32_t style = plat::kWsChild | plat::kWsVisible;
  if (m_scrollBars) style |= plat::kWsHScroll | plat::kWsVScroll;
  return Create(parent, id, style, rect);
}

void Window_t::OnCreate() {
  EnableFrontBuffer(true);
  UpdateClientRect();
  CreateGdiObjects(GetColorScheme());
}

void Window_t::UpdateClientRect() {
  if (m_scrollBars) {
    const auto setBars = [this](const plat::RECT& client) {
      const auto setBar = [this](int bar, int size) {
        plat::SCROLLINFO info;
        info.fMask = plat::kSifRange | plat::kSifPos;
        info.nMin = -(size / 2) - (size % 2);
        info.nMax = size / 2;
        info.nPos = 0;
        SetScrollInfo(bar, info, true);
      };
      setBar(plat::kSbHorz, client.right - client.left);
      setBar(plat::kSbVert, client.bottom - client.top);
    };
    // The first bars take their room from the client area: set them again for
    // what is left.
    const plat::RECT before = GetClientRect();
    setBars(before);
    if (GetClientRect() != before) setBars(GetClientRect());
  }
  m_projector.SetClientRect(GetClientRect());
}

void Window_t::CreateGdiObjects(int scheme) {
  if (!GdiSet_t::Instance().Create(scheme)) return;
  Invalidate(true);
}

void Window_t::SetInteractive(bool on) {
  m_interactive = on;
  if (m_tool == nullptr) return;
  if (on) {
    m_tool->Activate();
  } else {
    ErasePopups();
    m_tool->Deactivate();
  }
}

void Window_t::ErasePopups() {
  plat::ClientDc_t dc(*this);
  if (dc.IsValid())
    m_popups.Erase(dc);
  else
    m_popups.Clear();
}

// ---------------------------------------------------------------------------
// Sizes, zoom and pan.

int Window_t::GetHorzLineSize() {
  const plat::RECT r = m_projector.GetClientRect();
  return (r.right - r.left) / 20;
}
int Window_t::GetVertLineSize() {
  const plat::RECT r = m_projector.GetClientRect();
  return (r.bottom - r.top) / 20;
}
int Window_t::GetHorzPageSize() {
  const plat::RECT r = m_projector.GetClientRect();
  return (r.right - r.left) * 9 / 10;
}
int Window_t::GetVertPageSize() {
  const plat::RECT r = m_projector.GetClientRect();
  return (r.bottom - r.top) * 9 / 10;
}

namespace {
plat::POINT CentreOf(const plat::RECT& r) {
  return plat::POINT{r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2};
}
bool Inside(const plat::RECT& r, plat::POINT p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}
}  // namespace

bool Window_t::OnWheelScroll(int dx, int dy, plat::POINT screenPoint) {
  if (dx == 0 && dy == 0) return false;
  const plat::POINT p = ScreenToClient(screenPoint);
  const plat::RECT client = m_projector.GetClientRect();
  if (!Inside(client, p)) return false;
  const plat::POINT c = CentreOf(client);
  CenterAtPoint(plat::POINT{c.x + dx, c.y + dy});
  return true;
}

void Window_t::SetCenter(const geo::Position_t& position) {
  m_projector.SetCenter(position);
  Invalidate(true);
}

void Window_t::CenterAtPoint(plat::POINT clientPoint) {
  const geo::Position_t position = m_projector.ScreenToPosition(clientPoint);
  // Into [-2^31, 2^31): the position's longitude is a 32-bit angle already.
  SetCenter(geo::Position_t(position.GetLatitude(), position.GetLongitude()));
}

int Window_t::GetHoverRadius(const NrstFeature_t&) const { return 8; }

void Window_t::ZoomIn() {
  if (m_tracking) return;
  if (m_scale.GetStepIndex() > 0) m_scale.SetStepIndex(m_scale.GetStepIndex() - 1);
  Invalidate(true);
}

void Window_t::ZoomOut() {
  if (m_tracking) return;
  if (m_scale.GetStepIndex() < m_scale.GetCount() - 1) m_scale.SetStepIndex(m_scale.GetStepIndex() + 1);
  Invalidate(true);
}

void Window_t::ZoomFinest() {
  if (m_tracking) return;
  if (m_scale.GetStepIndex() != 0) m_scale.SetStepIndex(0);
  Invalidate(true);
}

void Window_t::ZoomAll() {
  if (m_tracking) return;
  // No basemap is ever open here: the coarsest step.
  m_scale.ToCoarsest();
  Invalidate(true);
}

void Window_t::ZoomToBox(const geo::Box_t& box) {
  if (m_tracking || box.IsEmpty()) return;
  m_scale.FitBox(box);
  SetCenter(box.GetCenter());
}

void Window_t::OnScroll(bool vertical, unsigned code, int position) {
  const plat::RECT client = m_projector.GetClientRect();
  const plat::POINT c = CentreOf(client);
  const int line = vertical ? GetVertLineSize() : GetHorzLineSize();
  const int page = vertical ? GetVertPageSize() : GetHorzPageSize();
  const auto offset = [&](int d) { return vertical ? plat::POINT{c.x, c.y + d} : plat::POINT{c.x + d, c.y}; };
  int& last = vertical ? m_lastVertThumb : m_lastHorzThumb;
  int& other = vertical ? m_lastHorzThumb : m_lastVertThumb;
  switch (code) {
    case plat::kSbLineUp: CenterAtPoint(offset(-line)); break;
    case plat::kSbLineDown: CenterAtPoint(offset(line)); break;
    case plat::kSbPageUp: CenterAtPoint(offset(-page)); break;
    case plat::kSbPageDown: CenterAtPoint(offset(page)); break;
    case plat::kSbThumbTrack: {
      if (!m_tracking) {
        m_tracking = true;
        last = position;
        other = 0;
        break;
      }
      const int delta = position - last;
      last = position;
      if (vertical)
        OnVertThumbTrack(position);
      else
        OnHorzThumbTrack(position);
      const plat::POINT centre = m_projector.GetCenterPoint();
      CenterAtPoint(vertical ? plat::POINT{centre.x, centre.y + delta} : plat::POINT{centre.x + delta, centre.y});
      break;
    }
    case plat::kSbThumbPosition: {
      const int delta = position - last;
      last = position;
      m_tracking = false;
      const plat::POINT centre = m_projector.GetCenterPoint();
      CenterAtPoint(vertical ? plat::POINT{centre.x, centre.y + delta} : plat::POINT{centre.x + delta, centre.y});
      CenterAtPoint(c);
      break;
    }
    default: break;
  }
}

bool Window_t::OnMessage(unsigned message, plat::WPARAM wParam, plat::LPARAM lParam, plat::LRESULT& result) {
  if (message == plat::kWmHScroll || message == plat::kWmVScroll) {
    const unsigned code = unsigned(wParam & 0xFFFF);
    const int position = static_cast<std::int16_t>((wParam >> 16) & 0xFFFF);
    OnScroll(message == plat::kWmVScroll, code, position);
    result = 0;
    return true;
  }
  return afx::WheelSupportWindow_t::OnMessage(message, wParam, lParam, result);
}

bool Window_t::OnKeyDown(unsigned key, unsigned, unsigned flags) {
  if (m_tool != nullptr && (m_tool->IsLeftDown() || m_tool->IsRightDown())) return true;
  const bool ctrl = (flags & plat::kMkControl) != 0, shift = (flags & plat::kMkShift) != 0;
  const auto scroll = [this](unsigned message, unsigned code) { SendMessage(message, code); };
  switch (key) {
    case plat::kVkPrior: scroll(plat::kWmVScroll, plat::kSbPageUp); return true;
    case plat::kVkNext: scroll(plat::kWmVScroll, plat::kSbPageDown); return true;
    case plat::kVkEnd: scroll(plat::kWmVScroll, plat::kSbBottom); return true;
    case plat::kVkHome: scroll(plat::kWmVScroll, plat::kSbTop); return true;
    case plat::kVkLeft: scroll(plat::kWmHScroll, ctrl ? plat::kSbPageUp : plat::kSbLineUp); return true;
    case plat::kVkUp: scroll(plat::kWmVScroll, ctrl ? plat::kSbPageUp : plat::kSbLineUp); return true;
    case plat::kVkRight: scroll(plat::kWmHScroll, ctrl ? plat::kSbPageDown : plat::kSbLineDown); return true;
    case plat::kVkDown: scroll(plat::kWmVScroll, ctrl ? plat::kSbPageDown : plat::kSbLineDown); return true;
    case plat::kVkOemPlus:
      if (ctrl) {
        ZoomFinest();
        return true;
      }
      if (shift) return false;
      ZoomIn();
      return true;
    case plat::kVkOemMinus:
      if (ctrl) {
        ZoomAll();
        return true;
      }
      return false;
    default: return false;
  }
}

// ---------------------------------------------------------------------------
// Mouse and tool.

bool Window_t::OnLButtonDown(unsigned flags, plat::POINT point) {
  SetCursorFor(plat::kWmLButtonDown);
  if (m_tool == nullptr) return false;
  WithPopupsHidden(point, [&](plat::POINT p) { m_tool->OnLButtonDown(flags, p.x, p.y); });
  m_tracking = true;
  return true;
}

bool Window_t::OnRButtonDown(unsigned flags, plat::POINT point) {
  SetCursorFor(plat::kWmRButtonDown);
  if (m_tool == nullptr) return false;
  WithPopupsHidden(point, [&](plat::POINT p) { m_tool->OnRButtonDown(flags, p.x, p.y); });
  m_tracking = true;
  return true;
}

bool Window_t::OnLButtonUp(unsigned flags, plat::POINT point) {
  m_tracking = false;
  if (m_tool == nullptr) return false;
  WithPopupsHidden(point, [&](plat::POINT p) { m_tool->OnLButtonUp(flags, p.x, p.y); });
  return true;
}

bool Window_t::OnLButtonDblClk(unsigned flags, plat::POINT point) {
  if (m_tool == nullptr) return false;
  WithPopupsHidden(point, [&](plat::POINT p) { m_tool->OnLButtonDblClk(flags, p.x, p.y); });
  return true;
}

bool Window_t::OnMouseMove(unsigned flags, plat::POINT point) {
  SetCursorFor(plat::kWmMouseMove);
  if (!m_interactive) return false;
  if ((!m_popups.IsEmpty() && m_popups.IsOutside(point)) || m_tracking) ErasePopups();
  bool first = false;
  if (!m_leaveTracked) {
    m_leaveTracked = true;
    first = true;
  }
  if (m_tool != nullptr) {
    m_tracking = (flags & plat::kMkLButton) != 0 && m_tool->IsLeftDown();
    WithPopupsHidden(point, [&](plat::POINT p) {
      if (first)
        m_tool->OnMouseEnter(flags, p.x, p.y);
      else
        m_tool->OnMouseMove(flags, p.x, p.y);
    });
  }
  return true;
}

void Window_t::OnMouseLeave() {
  if (!m_leaveTracked) return;
  m_leaveTracked = false;
  ErasePopups();
  if (m_menuPoint) return;
  if (m_tool != nullptr) {
    plat::POINT p{0, 0};
    HidePopups(p);
    m_tool->OnMouseLeave();
    ShowPopups();
  }
  if (m_tracking) {
    m_tracking = false;
    m_projector.SetCenter(m_projector.GetCenter());
    Invalidate(true);
  }
}

void Window_t::HidePopups(plat::POINT& point) {
  if (const auto& anchor = m_popups.GetAnchor()) point = *anchor;
  plat::ClientDc_t dc(*this);
  if (dc.IsValid()) m_popups.HideAll(dc);
}

void Window_t::ShowPopups() {
  plat::ClientDc_t dc(*this);
  if (dc.IsValid()) m_popups.ShowAll(dc, m_palette);
}

void Window_t::NotifyToolBeforeRender() {
  if (m_interactive && m_tool != nullptr) m_tool->BeforeRender();
}

void Window_t::NotifyToolAfterRender(plat::Dc_t&) {
  if (!m_interactive || m_tool == nullptr) return;
  m_tool->AfterRender(m_menuPoint ? *m_menuPoint : ScreenToClient(plat::GetCursorPos()));
}

// ---------------------------------------------------------------------------
// Painting.

void Window_t::OnSize(int, int) {
  UpdateClientRect();
  m_rebuildBackBuffer = true;
  Invalidate(true);
}

void Window_t::Paint(plat::Dc_t& dc) {
  PrepareAndRender(dc);
  if (!IsTracking()) PaintNotices(dc);
}

void Window_t::PrepareAndRender(plat::Dc_t& dc) {
  m_viewChanged = m_projector.TakeViewChanged();
  const bool erased = m_viewChanged || m_fullRedraw || m_rebuildBackBuffer;
  if (erased) {
    if (!m_popups.IsEmpty()) m_popups.HideAll(dc);
    m_popups.Clear();
  }
  {
    gdi::SmartPalette_t palette(dc, m_palette);
    NotifyToolBeforeRender();
    RenderToBackBuffer(dc);
    NotifyToolAfterRender(dc);
  }
  if (!erased && !m_popups.IsEmpty()) {
    plat::ClientDc_t client(*this);
    if (client.IsValid()) m_popups.ShowAll(client, m_palette);
  }
}

void Window_t::RenderToBackBuffer(plat::Dc_t& dc) {
  m_progressMark = plat::GetClockTicks();
  const plat::RECT client = m_projector.GetClientRect();
  const int width = std::max(1, client.right - client.left), height = std::max(1, client.bottom - client.top);
  const bool rebuild = m_rebuildBackBuffer;
  if (m_rebuildBackBuffer) {
    m_backDc.reset();
    m_backBitmap.reset();
    auto backDc = std::make_unique<plat::Dc_t>();
    if (!backDc->CreateCompatibleDC(&dc)) throw glo::Assert_t(GLO_SRC);
    auto bitmap = std::make_unique<plat::Bitmap_t>();
    if (!bitmap->CreateCompatibleBitmap(dc, width, height)) throw glo::Assert_t(GLO_SRC);
    if (backDc->SelectObject(*bitmap).IsNull()) throw glo::Assert_t(GLO_SRC);
    if (backDc->SelectPalette(m_palette.GetSafeHandle(), false).IsNull()) throw glo::Assert_t(GLO_SRC);
    backDc->RealizePalette();
    m_backDc = std::move(backDc);
    m_backBitmap = std::move(bitmap);
    m_fullRedraw = true;
    m_rebuildBackBuffer = false;
  }
  PrepareMapsForRender(dc, rebuild, width, height);
  m_backDc->SetBoundsRect(true);
  bool completed = false;
  {
    // Input that arrives while the pass runs waits for the pass (held by the
    // probe, looked at by the progress check, delivered afterwards).
    const bool ownProbe = !m_probe;
    if (ownProbe) m_probe = std::make_unique<plat::InputProbe_t>();
    try {
      completed = RenderMap(dc);
    } catch (const RenderAborted_t&) {
      completed = false;
    } catch (...) {
      if (ownProbe) m_probe.reset();
      throw;
    }
    if (ownProbe) m_probe.reset();
  }
  // Only a pass that ran to its end, with no other pass inside it, leaves a
  // whole picture; otherwise the next paint draws again.
  if (completed && !m_passInterrupted) {
    m_fullRedraw = false;
  } else {
    m_fullRedraw = true;
    if (completed) Invalidate(false);
  }
  if (!dc.BitBlt(client.left, client.top, width, height, *m_backDc, 0, 0, plat::kSrcCopy))
    throw glo::Assert_t(GLO_SRC);
  DrawOverlay(dc);
}

bool Window_t::RenderMap(plat::Dc_t& dc) {
  RenderGuard_t guard(kRenderFile, kRenderLine);
  if (guard.AlreadyActive()) {
    m_passInterrupted = true;
    return false;
  }
  m_passInterrupted = false;
  if (!m_viewChanged && !m_fullRedraw) return true;
  const plat::RECT client = m_projector.GetClientRect();
  gdi::ObjectSelector_t brush(*m_backDc, GdiSet_t::Instance().Brush(Brush_Background));
  if (!m_backDc->PatBlt(0, 0, client.right - client.left, client.bottom - client.top, plat::kPatCopy))
    throw glo::Assert_t(GLO_SRC);
  DrawUnderlay(dc, *m_backDc);
  DrawMapLayers(dc);
  CheckRenderProgress(dc);
  return true;
}

void Window_t::CheckRenderProgress(plat::Dc_t& dc) {
  const std::uint32_t elapsed = plat::GetClockTicks() - m_progressMark;
  if (elapsed <= kProgressInterval) return;
  if (m_probe) {
    const std::vector<plat::QueuedInput_t>& input = m_probe->Peek();
    const plat::HWND self = GetSafeHwnd();
    const auto queued = [&](unsigned message, std::size_t from = 0) -> std::size_t {
      for (std::size_t i = from; i < input.size(); ++i)
        if (input[i].window == self && input[i].message == message) return i;
      return input.size();
    };
    if (m_tool != nullptr && m_tool->AbortsOnClick()) {
      const std::size_t down = queued(plat::kWmLButtonDown);
      if (down < input.size() && queued(plat::kWmLButtonUp, down + 1) < input.size())
        throw RenderAborted_t(GLO_SRC);
      if (queued(plat::kWmRButtonDown) < input.size() && !m_scale.AtCoarsest()) throw RenderAborted_t(GLO_SRC);
    }
    for (std::size_t i = 0; i < input.size(); ++i) {
      if (input[i].window != self || input[i].message != plat::kWmKeyDown) continue;
      const unsigned key = input[i].key;
      if (std::find(std::begin(kAbortKeys), std::end(kAbortKeys), key) == std::end(kAbortKeys)) continue;
      if ((key == plat::kVkSubtract || key == plat::kVkOemMinus) && m_scale.AtCoarsest()) continue;
      if ((key == plat::kVkAdd || key == plat::kVkOemPlus) && m_scale.GetStepIndex() == 0) continue;
      if (key == plat::kVkControl && !ControlAndGDownNow(input)) continue;
      throw RenderAborted_t(GLO_SRC);
    }
  }
  OnRenderProgress();
  if (m_progressiveBlit && m_backDc) {
    // Only what was drawn since the last copy.
    plat::RECT drawn{0, 0, 0, 0};
    if (m_backDc->GetBoundsRect(drawn, true))
      dc.BitBlt(drawn.left, drawn.top, drawn.right - drawn.left, drawn.bottom - drawn.top, *m_backDc, drawn.left,
                drawn.top, plat::kSrcCopy);
    m_progressMark = plat::GetClockTicks();
  }
}

void Window_t::DrawOverlay(plat::Dc_t& dc) {
  m_hoverTip.Draw(dc);
  DrawScaleText(dc);
}

namespace {

// The notice over the scale bar: the view is finer than the maps drawn, or
// detail maps are shown.
constexpr int kBeyondDetailNotice = 4437;
constexpr int kDetailMapsNotice = 4438;
constexpr int kBeyondDetailColour = 6;
constexpr int kScaleBoxColour = 1;

// Fills the box of a scale text of 'size' at (left, top), one pixel wider at
// each side and one pixel lower at top and bottom, and draws the text in it.
void DrawBoxedText(plat::Dc_t& dc, int left, int top, const plat::SIZE& size, const std::string& text, int colour) {
  dc.FillSolidRect(plat::RECT{left - 1, top + 1, left + size.cx + 1, top + size.cy - 1}, plat::PaletteIndex(colour));
  dc.TextOut(left, top, text);
}

}  // namespace

std::optional<Window_t::ScaleNotice_t> Window_t::GetScaleNotice() const {
  if (!m_basemap.IsOpen()) return std::nullopt;
  if (m_projector.GetZoomBits() > m_detailLevel + 1) {
    static const glo::StringResource_t beyond(kBeyondDetailNotice, GLO_SRC);
    return ScaleNotice_t{beyond.Text(), kBeyondDetailColour};
  }
  if (m_detailMapsShown) {
    static const glo::StringResource_t detail(kDetailMapsNotice, GLO_SRC);
    return ScaleNotice_t{detail.Text(), kScaleBoxColour};
  }
  return std::nullopt;
}

void Window_t::DrawScaleText(plat::Dc_t& dc) {
  const plat::RECT client = m_projector.GetClientRect();
  int x0 = client.right - 120, y = client.bottom - 16;
  plat::LOGFONTA lf = GetRegistry().MapFont();
  lf.lfHeight = 100;
  plat::Font_t font;
  if (!font.CreatePointFontIndirect(lf, &dc)) throw win::Error_t(GLO_SRC);
  gdi::ObjectSelector_t selectFont(dc, font);
  const plat::COLORREF bkColour = dc.GetBkColor();
  const int bkMode = dc.SetBkMode(plat::kTransparent);
  const unsigned align = dc.SetTextAlign(plat::kTaLeft | plat::kTaTop);
  if (const std::optional<ScaleNotice_t> notice = GetScaleNotice(); notice && !notice->text.empty()) {
    plat::SIZE size{0, 0};
    dc.GetTextExtentPoint32(notice->text, size);
    // A wide notice moves the whole bar left, a tall one moves it up.
    const int excess = (size.cx - 100) / 2;
    if (excess > 20) x0 += 20 - excess;
    if (size.cy > 16) y += 16 - size.cy;
    DrawBoxedText(dc, x0 + (100 - size.cx) / 2, y, size, notice->text, notice->colour);
  }
  const std::string text = m_scale.GetStepText();
  plat::SIZE size{0, 0};
  dc.GetTextExtentPoint32(text, size);
  DrawBoxedText(dc, x0 + (100 - size.cx) / 2, y - size.cy, size, text, kScaleBoxColour);
  const plat::POINT bar[4] = {{x0, y - 4}, {x0, y}, {x0 + 100, y}, {x0 + 100, y - 4}};
  {
    plat::Pen_t wide;
    if (!wide.CreatePen(plat::kPsSolid, 3, plat::PaletteIndex(1))) throw win::Error_t(GLO_SRC);
    gdi::ObjectSelector_t pen(dc, wide);
    dc.Polyline(bar, 4);
  }
  {
    plat::Pen_t thin;
    if (!thin.CreatePen(plat::kPsSolid, 1, plat::PaletteIndex(0))) throw win::Error_t(GLO_SRC);
    gdi::ObjectSelector_t pen(dc, thin);
    dc.Polyline(bar, 4);
  }
  dc.SetTextAlign(align);
  dc.SetBkMode(bkMode);
  dc.SetBkColor(bkColour);
}

void Window_t::DrawCrossMarker(plat::Dc_t& dc, plat::POINT p) {
  const auto figure = [&](int width, unsigned colour) {
    plat::Pen_t pen;
    if (!pen.CreatePen(plat::kPsSolid, width, plat::PaletteIndex(colour))) throw win::Error_t(GLO_SRC);
    gdi::ObjectSelector_t selectPen(dc, pen), brush(dc);
    brush.SelectStockObject(plat::kNullBrush);
    dc.Ellipse(p.x - 24, p.y - 24, p.x + 24, p.y + 24);
    const int ends[4][4] = {{-30, 0, -6, 0}, {30, 0, 6, 0}, {0, -30, 0, -6}, {0, 30, 0, 6}};
    for (const auto& e : ends) {
      dc.MoveTo(p.x + e[0], p.y + e[1]);
      dc.LineTo(p.x + e[2], p.y + e[3]);
    }
  };
  figure(3, 1);
  figure(1, 4);
}

// ---------------------------------------------------------------------------
// Hover.

int Window_t::OnIdleHover() {
  if (!m_interactive || m_tracking) return 0;
  const plat::POINT cursor = plat::GetCursorPos();
  if (plat::WindowFromPoint(cursor) != GetSafeHwnd()) return 0;
  const plat::POINT point = ScreenToClient(cursor);
  if (!Inside(m_projector.GetClientRect(), point)) return 0;
  if (!WaitHover(100)) return 0;
  try {
    const NrstFeature_t feature = FindNearestFeatureAt(point, true);
    if (feature.lines.empty()) return 0;
    plat::ClientDc_t dc(*this);
    if (!dc.IsValid()) return 0;
    if (m_popups.BeginHover(dc, point, feature, m_projector)) {
      if (m_tool != nullptr) {
        const unsigned flags = (m_tool->IsLeftDown() ? 1u : 0u) + (m_tool->IsRightDown() ? 2u : 0u);
        const plat::POINT anchor = *m_popups.GetAnchor();
        m_tool->OnMouseMove(flags, anchor.x, anchor.y);
      }
      m_popups.ShowHover(dc, m_palette, feature, *this);
    }
    plat::InputProbe_t probe;
    if (probe.Peek().empty()) OnHoverShown();
  } catch (const glo::OutOfRange_t&) {
  }
  return 0;
}

bool Window_t::WaitHover(std::uint32_t milliseconds) {
  const plat::RECT client = m_projector.GetClientRect();
  const std::uint32_t start = plat::GetClockTicks();
  plat::InputProbe_t probe;
  for (;;) {
    if (!probe.Peek().empty()) return false;
    const plat::POINT cursor = plat::GetCursorPos();
    if (plat::WindowFromPoint(cursor) != GetSafeHwnd() || !Inside(client, ScreenToClient(cursor))) return false;
    if (plat::GetClockTicks() - start >= milliseconds) return true;
  }
}

}  // namespace map
