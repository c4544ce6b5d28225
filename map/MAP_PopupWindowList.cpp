#include "map/MAP_PopupWindowList.h"

#include "gdi/GDI_SmartPalette.h"
#include "glo/GLO_Exception.h"
#include "map/MAP_Window.h"

namespace map {

PopupWindowList_t::~PopupWindowList_t() {
  try {
    m_windows.clear();
  } catch (...) {
  }
}

void PopupWindowList_t::HideAll(plat::Dc_t& dc) {
  for (auto it = m_windows.rbegin(); it != m_windows.rend(); ++it) (*it)->Hide(dc);
}

void PopupWindowList_t::Clear() {
  m_windows.clear();
  m_anchor = glo::Optional_t<plat::POINT>();
}

void PopupWindowList_t::ShowAll(plat::Dc_t& dc, const plat::Palette_t& palette) {
  if (m_windows.empty()) return;
  gdi::SmartPalette_t selected(dc, palette);
  for (auto& window : m_windows) window->Show(dc);
}

bool PopupWindowList_t::IsOutside(plat::POINT p) const {
  const long long dx = p.x - m_anchorX, dy = p.y - m_anchorY;
  return static_cast<long long>(m_radius) * m_radius < dx * dx + dy * dy;
}

bool PopupWindowList_t::BeginHover(plat::Dc_t& dc, plat::POINT point, const NrstFeature_t& feature,
                                   const Projector_t& projector) {
  const plat::POINT anchor = feature.HasPosition() ? projector.PositionToScreen(*feature.position) : point;
  if (!m_windows.empty() && anchor.x == m_anchorX && anchor.y == m_anchorY) return false;
  m_anchorX = anchor.x;
  m_anchorY = anchor.y;
  Erase(dc);
  m_anchor = anchor;
  return true;
}

void PopupWindowList_t::ShowHover(plat::Dc_t& dc, const plat::Palette_t& palette, const NrstFeature_t& feature,
                                  Window_t& window) {
  m_radius = window.GetHoverRadius(feature);
  if (!m_anchor) throw glo::Assert_t(GLO_SRC);
  if (feature.HasPosition()) {
    if (feature.images != nullptr)
      m_windows.push_back(std::make_unique<IconPipWindow_t>(*m_anchor, *feature.images, feature.iconIndex));
    else
      m_windows.push_back(std::make_unique<PipWindow_t>(*m_anchor, feature.kind == NrstFeature_t::Kind_Marked));
  }
  if (!m_anchor) throw glo::Assert_t(GLO_SRC);
  plat::POINT pos = *m_anchor;
  const std::size_t first = m_windows.size();
  for (std::size_t line = 0; line < feature.lines.size(); ++line) {
    auto popup = std::make_unique<PopupWindow_t>(feature.lines[line] + feature.suffix, pos, window,
                                                 plat::PaletteIndex(1));
    const plat::RECT r = popup->GetRect();
    pos.y -= r.bottom - r.top;
    m_windows.push_back(std::move(popup));
    if (line > 0) {
      const plat::RECT& previous = m_windows[m_windows.size() - 2]->GetRect();
      const int overlap = r.bottom - previous.top;
      if (overlap > 0)
        for (std::size_t i = first; i + 1 < m_windows.size(); ++i) {
          plat::RECT moved = m_windows[i]->GetRect();
          moved.top += overlap;
          moved.bottom += overlap;
          m_windows[i]->SetRect(moved);
        }
    }
  }
  ShowAll(dc, palette);
}

}  // namespace map
