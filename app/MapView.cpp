#include "app/MapView.h"

#include "app/MainFrame.h"
#include "app/TreeView.h"

namespace app {

MapView_t::~MapView_t() = default;

void MapView_t::OnCreate() { m_window.Create(this, 1); }

void MapView_t::OnSize(int clientWidth, int clientHeight) {
  if (m_window.HasWindow()) m_window.MoveWindow(0, 0, clientWidth, clientHeight, false);
}

void MapView_t::OnSetFocus() {
  if (m_window.HasWindow()) m_window.SetFocus();
}

bool MapView_t::OnCommand(unsigned id, unsigned code) {
  if (m_window.HasWindow() && m_window.SendMessage(plat::kWmCommand, id | (code << 16)) != 0) return true;
  return plat::Wnd_t::OnCommand(id, code);
}

void MapView_t::OnUpdate(plat::View_t*, long, void*) {
  m_window.GetScale().SetUnits();
  m_window.Invalidate(true);
  const TreeView_t& tree = GetMainFrame().GetTreeView();
  if (tree.Control().GetSelectedItem() != 0) {
    const glo::Optional_t<gdb::Track_t>& track = GetSelectedTrack(tree);
    if (track) m_window.ZoomToBox(track->GetTotals().GetBox());
  }
  m_window.Invalidate(true);
}

}  // namespace app
