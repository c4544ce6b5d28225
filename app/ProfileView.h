#pragma once
// The pane below the map: the elevation profile of the selected run's or lap's
// track, as a profile control made anew for every update.
#include <memory>

#include "app/ProfileGraph.h"
#include "gdb/GDB_Track.h"
#include "glo/GLO_NonCopyable.h"
#include "plat/PLAT_Document.h"
#include "plat/PLAT_Window.h"

namespace app {

class ProfileView_t : public plat::Wnd_t, public plat::View_t, private glo::NonCopyable_t {
 public:
  ProfileView_t() = default;
  ~ProfileView_t() override;

  plat::Wnd_t& GetViewWnd() override { return *this; }
  // Every view update builds the profile of the tree's selected track anew.
  void OnUpdate(plat::View_t* sender, long hint, void* object) override;

  // Builds the profile of the track (null: none), replacing the old one; a
  // track without distance or without any altitude gives the plain pane. The
  // track must outlive the profile or the next update. win::Error_t when the
  // control cannot be made.
  void ShowTrack(const gdb::Track_t* track);

  TrkProfileGraphCtrl_t* GetGraph() const { return m_graph.get(); }
  // The cursor over the pane and its graph: the arrow.
  plat::HCURSOR GetArrowCursor() const { return m_arrow; }

 protected:
  void OnCreate() override;
  void OnSize(int clientWidth, int clientHeight) override;
  bool OnEraseBkgnd(plat::Dc_t& dc) override;
  void OnPaint(plat::Dc_t& dc) override;

 private:
  std::unique_ptr<TrkProfileGraphCtrl_t> m_graph;
  plat::HCURSOR m_arrow = plat::LoadStandardCursor(plat::kIdcArrow);
};

}  // namespace app
