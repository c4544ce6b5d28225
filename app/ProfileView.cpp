#include "app/ProfileView.h"

#include "app/MainFrame.h"
#include "app/TreeView.h"
#include "win/WIN_Exception.h"

namespace app {

namespace {

bool HasAltitude(const gdb::Track_t& track) {
  for (const gdb::TrackPoint_t& point : track)
    if (point.GetPosition().GetAltitude()) return true;
  return false;
}

}  // namespace

ProfileView_t::~ProfileView_t() { m_graph.reset(); }

void ProfileView_t::OnUpdate(plat::View_t*, long, void*) {
  const glo::Optional_t<gdb::Track_t>& track = GetSelectedTrack(GetMainFrame().GetTreeView());
  ShowTrack(track ? &*track : nullptr);
}

void ProfileView_t::ShowTrack(const gdb::Track_t* track) {
  if (track && track->GetTotals().GetDistance() != 0.0 && HasAltitude(*track)) {
    auto graph = std::make_unique<TrkProfileGraphCtrl_t>(*track, track->Begin(), track->End(), false);
    m_graph.reset();
    if (!graph->Create(this, 1, TrkProfileGraphCtrl_t::kStyle, GetClientRect())) throw win::Error_t(GLO_SRC);
    m_graph = std::move(graph);
  } else {
    m_graph.reset();
  }
  Invalidate(true);
}

void ProfileView_t::OnCreate() {
  // Over the pane the arrow, whatever the frame shows elsewhere.
  SetCursor(m_arrow);
}

void ProfileView_t::OnSize(int clientWidth, int clientHeight) {
  if (m_graph) m_graph->MoveWindow(0, 0, clientWidth, clientHeight, false);
}

bool ProfileView_t::OnEraseBkgnd(plat::Dc_t&) { return true; }

void ProfileView_t::OnPaint(plat::Dc_t& dc) {
  if (!m_graph) {
    dc.FillSolidRect(GetClientRect(), plat::Rgb(235, 235, 235));
    return;
  }
  m_graph->SetDirty();
  m_graph->Invalidate(false);
}

}  // namespace app
