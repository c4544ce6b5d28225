#include "app/MapWindow.h"

#include "app/MainFrame.h"
#include "app/TreeView.h"
#include "gdi/GDI_Clipper.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"
#include "plat/PLAT_Dialog.h"
#include "win/WIN_Exception.h"

namespace app {

namespace {

const char* const kClassName = "MapWindow";

// The track of the tree's selection, or null (also while nothing is selected,
// as when the history is being built or taken down).
const gdb::Track_t* SelectedTrack(const TreeView_t& tree) {
  if (!tree.HasWindow() || tree.Control().GetSelectedItem() == 0) return nullptr;
  const glo::Optional_t<gdb::Track_t>& track = GetSelectedTrack(tree);
  return track ? &*track : nullptr;
}

}  // namespace

MapWindow_t::MapWindow_t()
    : map::Window_t(glo::StringResource_t(190, GLO_SRC).Text(), false),
      m_cursor(plat::LoadStandardCursor(plat::kIdcArrow)) {
  SetInteractive(true);
}

MapWindow_t::~MapWindow_t() = default;

void MapWindow_t::Create(plat::Wnd_t* parent, int id) {
  if (!plat::IsWindowClassRegistered(kClassName) &&
      !plat::RegisterWindowClass(kClassName, [] { return std::make_unique<MapWindow_t>(); }))
    throw glo::Assert_t(GLO_SRC);
  if (!CreateMapWindow(parent, id, parent->GetClientRect())) throw win::Error_t(GLO_SRC);
}

void MapWindow_t::OnCreate() {
  map::Window_t::OnCreate();
  SetCursor(m_cursor);
}

bool MapWindow_t::OnSetCursor(plat::HWND, unsigned hitTest, unsigned) {
  if (hitTest != kHtClient || !IsInteractive()) return false;
  if (GetCursor() != m_cursor) SetCursor(m_cursor);
  return true;
}

void MapWindow_t::DerivedOperation() { throw glo::Assert_t(GLO_SRC); }

void MapWindow_t::OnSize(int clientWidth, int clientHeight) {
  map::Window_t::OnSize(clientWidth, clientHeight);
  if (!HasMainFrame()) return;
  if (const gdb::Track_t* track = SelectedTrack(GetMainFrame().GetTreeView())) ZoomToBox(track->GetTotals().GetBox());
}

void MapWindow_t::DrawOverlay(plat::Dc_t& dc) {
  if (!HasMainFrame()) return;
  const TreeView_t& tree = GetMainFrame().GetTreeView();
  const gdb::Track_t* track = SelectedTrack(tree);
  if (track == nullptr) return;
  GetHoverTip().Draw(dc);
  DrawScaleText(dc);
  {
    gdi::Clipper_t unclipped(dc);
    if (tree.GetSelectionLevel() == HistoryTree_t::kLap) {
      const glo::Optional_t<gdb::Track_t>& runTrack = tree.History().GetSelectedLapRun().GetTrack();
      if (runTrack) const_cast<gdb::Track_t&>(*runTrack).Draw(dc, GetProjector(), gdb::DrawState_Plain);
    }
    const_cast<gdb::Track_t*>(SelectedTrack(tree))->Draw(dc, GetProjector(), gdb::DrawState_Selected);
  }
  const glo::Optional_t<int> marked =
      m_markedPoint ? m_markedPoint() : GetMainFrame().GetFormView().GetMarkedPointIndex();
  if (!marked) return;
  const gdb::Track_t* selected = SelectedTrack(tree);
  if (selected == nullptr) throw glo::Assert_t(GLO_SRC);
  gdb::Track_t::Iterator_t point = selected->Begin();
  for (int n = 0; n < *marked; ++n) {
    if (point.IsEnd()) throw glo::Assert_t(GLO_SRC);
    ++point;
  }
  if (point.IsEnd()) throw glo::Assert_t(GLO_SRC);
  DrawCrossMarker(dc, GetProjector().PositionToScreen(point->GetPosition()));
}

}  // namespace app
