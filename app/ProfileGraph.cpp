#include "app/ProfileGraph.h"

#include <algorithm>
#include <cmath>

#include "app/GraphText.h"
#include "gdi/GDI_SmartPointBuffer.h"
#include "glo/GLO_Exception.h"
#include "plat/PLAT_Dialog.h"

namespace app {

namespace {

double FirstDistance(const TrkStatsTable_t& stats) { return stats.empty() ? 0.0 : stats.front().distance; }

}  // namespace

TrkProfileGraphCtrl_t::TrkProfileGraphCtrl_t(const gdb::Track_t& track, const gdb::Track_t::Iterator_t& first,
                                             const gdb::Track_t::Iterator_t& last, bool showMarkers,
                                             const GraphAxes_t& axes)
    : m_axes(axes),
      m_showMarkers(showMarkers),
      m_stats(track, first, last),
      m_conv(m_stats.GetLowest(), m_stats.GetHighest(), FirstDistance(m_stats), m_stats.GetLength(), axes),
      m_elevationSteps(axes.ySteps->GetCount()),
      m_distanceSteps(axes.xSteps->GetCount()) {
  RegisterWindowClass();
}

void TrkProfileGraphCtrl_t::RegisterWindowClass() {
  // The control needs its track, so a template cannot make one; the class
  // name is still known to the window layer.
  static const bool registered = [] {
    if (plat::IsWindowClassRegistered(kClassName)) return true;
    return plat::RegisterWindowClass(kClassName, [] { return std::unique_ptr<plat::Wnd_t>(); });
  }();
  GLO_ASSERT(registered);
}

void TrkProfileGraphCtrl_t::OnCreate() {
  Layout();
  UpdateScrollBars();
  CreateGraphFonts(m_font, m_verticalFont);
  m_parent = GetParent();
}

void TrkProfileGraphCtrl_t::Layout() {
  m_client = GetClientRect();
  m_conv.SetPixelRect(plat::RECT{m_client.left + 30, m_client.top + 31, m_client.right - 12, m_client.bottom - 30});
  m_readout = plat::RECT{m_client.left + 30, m_client.top, m_client.right - 12, m_client.top + 31};
  m_dirty = true;
}

void TrkProfileGraphCtrl_t::OnSize(int, int) {
  Layout();
  Invalidate(false);
}

bool TrkProfileGraphCtrl_t::OnEraseBkgnd(plat::Dc_t&) { return true; }

void TrkProfileGraphCtrl_t::UpdateScrollBars() {
  const GraphRect_t& data = m_conv.GetData();
  const GraphRect_t& view = m_conv.GetView();
  auto update = [&](ProfileScrollBar_t& bar, double span, double extent, bool vertical) {
    GLO_ASSERT(span > 0.0 && extent > 0.0);
    if (extent >= span) {
      bar.min = 0;
      bar.max = 99;
      bar.page = std::max(1, gdi::RoundHalfAway(span / extent * 100.0));
    } else {
      bar.min = bar.max = bar.page = 0;
    }
    if (vertical) {
      m_conv.SetVertRange(100 - bar.page);
      m_conv.SetVertMin(0.0);
    } else {
      m_conv.SetHorzRange(100 - bar.page);
      m_conv.SetHorzMin(0.0);
    }
    plat::SCROLLINFO info;
    info.fMask = plat::kSifRange | plat::kSifPage | plat::kSifDisableNoScroll;
    info.nMin = bar.min;
    info.nMax = bar.max;
    info.nPage = static_cast<unsigned>(bar.page);
    SetScrollInfo(vertical ? plat::kSbVert : plat::kSbHorz, info, true);
  };
  update(m_hbar, view.xspan, data.xspan, false);
  update(m_vbar, view.yspan, data.yspan, true);
  m_hbar.enabled = view.xspan < data.xspan;
  m_vbar.enabled = view.yspan < data.yspan;
  EnableScrollBar(false, m_hbar.enabled);
  EnableScrollBar(true, m_vbar.enabled);
  UpdateBarPosition(false);
  UpdateBarPosition(true);
}

bool TrkProfileGraphCtrl_t::XScrollable() const { return m_conv.GetView().xspan < m_conv.GetData().xspan; }
bool TrkProfileGraphCtrl_t::YScrollable() const { return m_conv.GetView().yspan < m_conv.GetData().yspan; }

int TrkProfileGraphCtrl_t::GetHorzLineSize() { return gdi::RoundHalfAway(m_conv.GetView().xspan * 0.05); }
int TrkProfileGraphCtrl_t::GetVertLineSize() { return gdi::RoundHalfAway(m_conv.GetView().yspan * 0.05); }
int TrkProfileGraphCtrl_t::GetHorzPageSize() { return gdi::RoundHalfAway(m_conv.GetView().xspan); }
int TrkProfileGraphCtrl_t::GetVertPageSize() { return gdi::RoundHalfAway(m_conv.GetView().yspan); }

void TrkProfileGraphCtrl_t::OnHScroll(unsigned code, int position) { OnScroll(false, code, position); }
void TrkProfileGraphCtrl_t::OnVScroll(unsigned code, int position) { OnScroll(true, code, position); }

void TrkProfileGraphCtrl_t::OnScroll(bool vertical, unsigned code, int position) {
  const double line = vertical ? GetVertLineSize() : GetHorzLineSize();
  const double page = vertical ? GetVertPageSize() : GetHorzPageSize();
  double amount = 0.0;
  switch (code) {
    case kSbLineLeft: amount = -line; break;
    case kSbLineRight: amount = line; break;
    case kSbPageLeft: amount = -page; break;
    case kSbPageRight: amount = page; break;
    case kSbThumbPosition:
    case kSbThumbTrack:
      if (vertical)
        m_conv.ScrollYTo(position);
      else
        m_conv.ScrollXTo(position);
      break;
    default: return;
  }
  if (vertical)
    m_conv.ScrollY(amount);
  else
    m_conv.ScrollX(amount);
  UpdateBarPosition(vertical);
  m_dirty = true;
  Invalidate(false);
}

void TrkProfileGraphCtrl_t::UpdateBarPosition(bool vertical) {
  ProfileScrollBar_t& bar = vertical ? m_vbar : m_hbar;
  if (bar.min < bar.max) {
    bar.pos = vertical ? m_conv.GetVertScrollPos() : m_conv.GetHorzScrollPos();
    SetScrollPos(vertical ? plat::kSbVert : plat::kSbHorz, bar.pos, true);
  }
}

bool TrkProfileGraphCtrl_t::OnMessage(unsigned message, plat::WPARAM wParam, plat::LPARAM, plat::LRESULT& result) {
  if (message != kWmHScroll && message != kWmVScroll) return false;
  const unsigned code = static_cast<unsigned>(wParam & 0xFFFF);
  const int position = static_cast<int>((wParam >> 16) & 0xFFFF);
  if (message == kWmHScroll)
    OnHScroll(code, position);
  else
    OnVScroll(code, position);
  result = 0;
  return true;
}

bool TrkProfileGraphCtrl_t::OnWheelScroll(int dx, int dy, plat::POINT screenPoint) {
  const plat::POINT p = ScreenToClient(screenPoint);
  if (!PtInRect(m_conv.GetPixelRect(), p.x, p.y) || (dx == 0 && dy == 0)) return false;
  const bool x = XScrollable(), y = YScrollable();
  if (!x && !y) return false;
  if (x && dx != 0) {
    m_conv.ScrollX(dx);
    UpdateBarPosition(false);
  }
  if (y && dy != 0) {
    m_conv.ScrollY(dy);
    UpdateBarPosition(true);
  }
  m_dirty = true;
  Invalidate(false);
  return true;
}

bool TrkProfileGraphCtrl_t::OnKeyDown(unsigned virtualKey, unsigned, unsigned flags) {
  return HandleKey(virtualKey, flags);
}

bool TrkProfileGraphCtrl_t::HandleKey(unsigned vk, unsigned flags) {
  const bool shift = flags & plat::kMkShift, ctrl = flags & plat::kMkControl;
  switch (vk) {
    case plat::kVkSpace:
      if (m_tracking) return true;
      if (m_cursorDistance || m_cursorElevation) {
        ClearCursor();
      } else {
        const GraphRect_t& data = m_conv.GetData();
        const GraphRect_t& view = m_conv.GetView();
        SetCursorDistance(view.xspan >= data.xspan ? data.cx : view.cx);
      }
      return true;
    case plat::kVkLeft:
    case plat::kVkRight: {
      const bool left = vk == plat::kVkLeft;
      if (XScrollable() && !shift) OnHScroll(ctrl ? (left ? kSbPageLeft : kSbPageRight) : (left ? kSbLineLeft : kSbLineRight), 0);
      if (m_cursorDistance && shift) {
        if (ctrl) {
          const double x = left ? PrevPointDistance(*m_cursorDistance) : NextPointDistance(*m_cursorDistance);
          const GraphRect_t& view = m_conv.GetView();
          if (left ? x >= view.xmin : x <= view.xmax) SetCursorDistance(x);
        } else {
          TrackPoint(plat::POINT{CursorColumn() + (left ? -1 : 1), m_conv.GetPixelRect().top});
        }
      }
      return true;
    }
    case plat::kVkUp:
    case plat::kVkDown: {
      const bool up = vk == plat::kVkUp;
      if (YScrollable() && !shift) OnVScroll(ctrl ? (up ? kSbPageLeft : kSbPageRight) : (up ? kSbLineLeft : kSbLineRight), 0);
      return true;
    }
    case 0x6B:
    case 0xBB:
    case 0x6D:
    case 0xBD: {
      const int delta = vk == 0x6B || vk == 0xBB ? 1 : -1;
      auto zoom = [this](void (TrkProfileGraphCtrl_t::*axis)(int), int d) {
        try {
          (this->*axis)(d);
        } catch (const glo::OutOfRange_t&) {
          // Past the first or last step: nothing to do.
        }
      };
      if (ctrl) {
        zoom(&TrkProfileGraphCtrl_t::ZoomX, delta);
      } else {
        if (!shift) zoom(&TrkProfileGraphCtrl_t::ZoomX, delta);
        zoom(&TrkProfileGraphCtrl_t::ZoomY, delta);
      }
      return true;
    }
    default:
      return false;
  }
}

void TrkProfileGraphCtrl_t::ZoomX(int delta) {
  const int index = m_conv.GetXZoomIndex() + delta;
  if (index < 0 || index >= m_distanceSteps) throw glo::OutOfRange_t(GLO_SRC);
  m_conv.SetZoom(index, m_conv.GetYZoomIndex());
  ResetAfterZoom();
  if (m_parent) m_parent->SendMessage(kMsgProfileZoomX, 0, 0);
}

void TrkProfileGraphCtrl_t::ZoomY(int delta) {
  const int index = m_conv.GetYZoomIndex() + delta;
  if (index < 0 || index >= m_elevationSteps) throw glo::OutOfRange_t(GLO_SRC);
  const GraphRect_t before = m_conv.GetView();
  m_conv.SetZoom(m_conv.GetXZoomIndex(), index);
  KeepProfileInView(before);
  ResetAfterZoom();
  if (m_parent) m_parent->SendMessage(kMsgProfileZoomY, 0, 0);
}

void TrkProfileGraphCtrl_t::KeepProfileInView(const GraphRect_t& before) {
  // The data reach down to 0 m, so a view centred as before may hold only the
  // filled area under a profile high above it: a closer view that leaves out
  // some of the profile's heights is centred on them instead.
  bool any = false;
  double lowest = 0.0, highest = 0.0;
  for (const TrackStats_t& e : m_stats) {
    if (!e.elevation) continue;
    lowest = any ? std::min(lowest, *e.elevation) : *e.elevation;
    highest = any ? std::max(highest, *e.elevation) : *e.elevation;
    any = true;
  }
  const GraphRect_t& view = m_conv.GetView();
  if (!any || view.yspan >= before.yspan) return;
  if (lowest >= view.ymin && highest <= view.ymax) return;  // all of it in view
  m_conv.ScrollY(view.cy - (lowest + highest) / 2);          // moves by -dy, kept on the data
}

void TrkProfileGraphCtrl_t::ResetAfterZoom() {
  UpdateScrollBars();
  m_cursorDistance.Reset();
  m_cursorElevation.Reset();
  m_dirty = true;
  Invalidate(false);
}

bool TrkProfileGraphCtrl_t::OnLButtonDown(unsigned, plat::POINT point) {
  m_tracking = true;
  SetFocus();
  TrackPoint(point);
  return true;
}

bool TrkProfileGraphCtrl_t::OnMouseMove(unsigned flags, plat::POINT point) {
  if ((flags & plat::kMkLButton) && m_tracking) TrackPoint(point);
  return true;
}

bool TrkProfileGraphCtrl_t::OnLButtonUp(unsigned, plat::POINT) {
  m_tracking = false;
  return true;
}

void TrkProfileGraphCtrl_t::OnSetFocus() {
  m_focused = true;
  Invalidate(true);
}

void TrkProfileGraphCtrl_t::OnKillFocus() {
  m_focused = false;
  Invalidate(true);
}

void TrkProfileGraphCtrl_t::InvalidatePlot(bool erase) { InvalidateRect(m_conv.GetPixelRect(), erase); }

int TrkProfileGraphCtrl_t::CursorColumn() const { return m_conv.XToPixel(*m_cursorDistance); }

void TrkProfileGraphCtrl_t::TrackPoint(plat::POINT point) {
  const plat::RECT& plot = m_conv.GetPixelRect();
  if (PtInRect(plot, point.x, point.y)) {
    SetCursorDistance(m_conv.PixelToX(point.x));
  } else {
    ClearCursor();
  }
}

void TrkProfileGraphCtrl_t::ClearCursor() {
  const bool wasSet = m_cursorDistance || m_cursorElevation;
  m_cursorDistance.Reset();
  m_cursorElevation.Reset();
  if (wasSet) {
    InvalidatePlot(true);
    InvalidateRect(m_readout, false);
  }
}

void TrkProfileGraphCtrl_t::SetCursorDistance(double x) {
  const glo::Optional_t<double> oldDistance = m_cursorDistance;
  const glo::Optional_t<double> oldElevation = m_cursorElevation;
  m_cursorDistance.Reset();
  m_cursorElevation.Reset();
  const plat::RECT& plot = m_conv.GetPixelRect();
  if (!m_stats.empty() && x <= m_stats.back().distance) {
    m_cursorDistance = x;
    const int column = m_conv.XToPixel(x);
    const int oldColumn = oldDistance ? m_conv.XToPixel(*oldDistance) : column;
    if (!oldDistance || oldColumn != column)
      InvalidateRect(plat::RECT{std::min(column, oldColumn), plot.top, std::max(column, oldColumn) + 1, plot.bottom + 1},
                     false);
    m_cursorElevation = GetElevationAt(x);
    if (m_cursorElevation) {
      const int row = m_conv.YToPixel(*m_cursorElevation);
      const int oldRow = oldElevation ? m_conv.YToPixel(*oldElevation) : row;
      const int right = std::min(m_conv.XToPixel(m_stats.back().distance), plot.right);
      InvalidateRect(plat::RECT{plot.left, std::min(row, oldRow), right + 1, std::max(row, oldRow) + 1}, false);
    }
  }
  InvalidateRect(m_readout, false);
  if ((oldDistance && !m_cursorDistance) || (oldElevation && !m_cursorElevation)) InvalidatePlot(true);
}

glo::Optional_t<double> TrkProfileGraphCtrl_t::GetElevationAt(double x) const {
  const auto greater = std::upper_bound(m_stats.begin(), m_stats.end(), x,
                                        [](double v, const TrackStats_t& e) { return v < e.distance; });
  if (greater == m_stats.end() && (m_stats.empty() || x != m_stats.back().distance)) throw glo::OutOfRange_t(GLO_SRC);
  GLO_ASSERT(greater != m_stats.begin());
  const TrackStats_t& r = *std::prev(greater);
  if (x == r.distance) return r.elevation;
  const TrackStats_t& s = *greater;
  GLO_ASSERT(x < s.distance);
  if (!r.elevation || !s.elevation) return {};
  return (x - r.distance) / (s.distance - r.distance) * (*s.elevation - *r.elevation) + *r.elevation;
}

double TrkProfileGraphCtrl_t::NextPointDistance(double x) const {
  for (const TrackStats_t& e : m_stats)
    if (e.distance > x) return e.distance;
  return m_stats.empty() ? 0.0 : m_stats.back().distance;
}

double TrkProfileGraphCtrl_t::PrevPointDistance(double x) const {
  for (auto it = m_stats.rbegin(); it != m_stats.rend(); ++it)
    if (it->distance < x) return it->distance;
  return m_stats.empty() ? 0.0 : m_stats.front().distance;
}

}  // namespace app
