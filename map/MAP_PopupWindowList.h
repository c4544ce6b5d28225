#pragma once
// The popups of a map window's hover: the pip at the anchor, then one text
// popup per line of the feature, stacked upwards without overlap.
#include <memory>
#include <vector>

#include "glo/GLO_Optional.h"
#include "map/MAP_AbstPopupWindow.h"
#include "map/MAP_NrstFeature.h"
#include "map/MAP_Projector.h"

namespace map {

class PopupWindowList_t {
 public:
  PopupWindowList_t() = default;
  PopupWindowList_t(const PopupWindowList_t&) = delete;
  PopupWindowList_t& operator=(const PopupWindowList_t&) = delete;
  // Deletes the windows without hiding them.
  virtual ~PopupWindowList_t();

  // Hides every window, the last first; they are kept.
  void HideAll(plat::Dc_t& dc);
  // Deletes every window and forgets the anchor.
  void Clear();
  void Erase(plat::Dc_t& dc) {
    HideAll(dc);
    Clear();
  }
  // Shows every window, the first first, with the palette selected.
  void ShowAll(plat::Dc_t& dc, const plat::Palette_t& palette);
  // True when the point lies farther than the radius from the last anchor.
  bool IsOutside(plat::POINT point) const;
  // Starts a hover at the feature's position (or the point): false when the
  // same hover is shown already; otherwise the old popups are erased.
  bool BeginHover(plat::Dc_t& dc, plat::POINT point, const NrstFeature_t& feature, const Projector_t& projector);
  // Builds the pip and the text popups of the feature and shows them.
  void ShowHover(plat::Dc_t& dc, const plat::Palette_t& palette, const NrstFeature_t& feature, Window_t& window);

  bool IsEmpty() const { return m_windows.empty(); }
  const glo::Optional_t<plat::POINT>& GetAnchor() const { return m_anchor; }
  const std::vector<std::unique_ptr<AbstPopupWindow_t>>& GetWindows() const { return m_windows; }

 private:
  glo::Optional_t<plat::POINT> m_anchor;
  int m_anchorX = 0;
  int m_anchorY = 0;
  int m_radius = 0;
  std::vector<std::unique_ptr<AbstPopupWindow_t>> m_windows;
};

}  // namespace map
