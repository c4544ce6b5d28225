#pragma once
// The lower left pane of the main frame: the map view, which hosts the map
// window and fits it to the selected track on every view update.
#include "app/MapWindow.h"
#include "glo/GLO_NonCopyable.h"
#include "plat/PLAT_Document.h"
#include "plat/PLAT_Window.h"

namespace app {

class MapView_t : public plat::Wnd_t, public plat::View_t, private glo::NonCopyable_t {
 public:
  MapView_t() = default;
  ~MapView_t() override;

  plat::Wnd_t& GetViewWnd() override { return *this; }
  // Takes the user's distance unit again and fits the zoom to the selected
  // track (the finest step at which it fits strictly inside the pane).
  void OnUpdate(plat::View_t* sender, long hint, void* object) override;

  MapWindow_t& GetMapWindow() { return m_window; }

 protected:
  void OnCreate() override;
  void OnSize(int clientWidth, int clientHeight) override;
  void OnSetFocus() override;
  bool OnEraseBkgnd(plat::Dc_t&) override { return true; }
  void OnPaint(plat::Dc_t&) override {}
  bool OnCommand(unsigned id, unsigned code) override;

 private:
  MapWindow_t m_window;
};

}  // namespace app
