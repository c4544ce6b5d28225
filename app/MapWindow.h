#pragma once
// The map window of the main frame's map pane: the selected run's or lap's
// track over the plain background, with the scale bar, fitted to the window
// on every resize. It neither pans, zooms nor reacts to keys, and shows no
// hover popups.
#include <functional>

#include "glo/GLO_Optional.h"
#include "map/MAP_Window.h"
#include "plat/PLAT_Cursor.h"

namespace app {

class MapWindow_t : public map::Window_t {
 public:
  MapWindow_t();
  ~MapWindow_t() override;

  // Registers the window class "MapWindow" once per process (glo::Assert_t
  // when that fails) and makes the window over the parent's client area
  // (win::Error_t when that fails).
  void Create(plat::Wnd_t* parent, int id);

  // The selected track (and, for a lap, its run's track under it), the scale
  // bar and the cross-hair at the marked track point; nothing without a track.
  void DrawOverlay(plat::Dc_t& dc) override;
  void PaintNotices(plat::Dc_t&) override {}
  void DrawUnderlay(plat::Dc_t&, plat::Dc_t&) override {}
  // The arrow over the client area while interactive.
  bool OnSetCursor(plat::HWND window, unsigned hitTest, unsigned mouseMessage) override;
  // This window has no such operation: glo::Assert_t.
  void DerivedOperation() override;

  // Where the marked track point comes from: the summary page's mark unless a
  // test installs a source of its own (an empty function restores the page).
  using MarkedPointSource_t = std::function<glo::Optional_t<int>()>;
  void SetMarkedPointSource(MarkedPointSource_t source) { m_markedPoint = std::move(source); }

 protected:
  void OnCreate() override;
  void OnSize(int clientWidth, int clientHeight) override;
  bool OnKeyDown(unsigned, unsigned, unsigned) override { return true; }

 private:
  plat::HCURSOR m_cursor;
  MarkedPointSource_t m_markedPoint;
};

}  // namespace app
