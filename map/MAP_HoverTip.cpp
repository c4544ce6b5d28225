#include "map/MAP_HoverTip.h"

#include <memory>

#include "map/MAP_AbstPopupWindow.h"
#include "map/MAP_Window.h"

namespace map {

namespace {
// Latitude between south and north, longitude inside the west-east range,
// which may cross the 180-degree meridian.
bool InBox(const geo::Box_t& box, const geo::Position_t& p) {
  if (box.IsEmpty()) return false;
  if (p.GetLatitude() < box.GetSouth() || p.GetLatitude() > box.GetNorth()) return false;
  const std::uint32_t fromWest = static_cast<std::uint32_t>(p.GetLongitude()) - static_cast<std::uint32_t>(box.GetWest());
  return fromWest <= box.GetWidth();
}
}  // namespace

void HoverTip_t::Set(Window_t& window, const std::string& text, const geo::Position_t& position) {
  m_images = nullptr;
  m_iconIndex = 0;
  m_window = &window;
  m_text = text;
  m_position = position;
}

void HoverTip_t::SetWithIcon(Window_t& window, const std::string& text, const geo::Position_t& position,
                             const plat::ImageList_t& images, int iconIndex) {
  Set(window, text, position);
  m_images = &images;
  m_iconIndex = iconIndex;
}

void HoverTip_t::Clear() {
  m_iconIndex = 0;
  m_images = nullptr;
  m_window = nullptr;
  m_text.clear();
}

void HoverTip_t::Draw(plat::Dc_t& dc) {
  if (m_window == nullptr) return;
  const Projector_t& projector = m_window->GetProjector();
  if (!InBox(projector.GetVisibleBox(), m_position)) return;
  const plat::POINT p = projector.PositionToScreen(m_position);
  PopupWindow_t popup(m_text, p, *m_window, plat::Rgb(255, 255, 255));
  std::unique_ptr<AbstPopupWindow_t> pip;
  if (m_images != nullptr)
    pip = std::make_unique<IconPipWindow_t>(p, *m_images, m_iconIndex);
  else
    pip = std::make_unique<PipWindow_t>(p, false);
  pip->Show(dc);
  popup.Show(dc);
}

}  // namespace map
