#include "app/TreeView.h"

#include "app/AppSettings.h"
#include "app/Document.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"
#include "plat/PLAT_Picture.h"

namespace app {

namespace {

constexpr int kTreeId = 1;
constexpr unsigned kWmSelectChild = 0x8011;

// The item pictures: history, week, run, lap, then the same selected.
std::vector<std::string> ItemPictures() {
  std::vector<std::string> pictures;
  for (unsigned id : {153u, 154u, 155u, 156u, 152u, 158u, 159u, 160u}) {
    std::string png;
    if (plat::GetPictureBytes(glo::GetResourceModule(), id, png)) pictures.push_back(png);
  }
  return pictures;
}

}  // namespace

TreeView_t::~TreeView_t() {
  if (HasDocument() && app::GetDocument().GetTree() == m_history.get()) app::GetDocument().SetTree(nullptr);
}

void TreeView_t::OnCreate() {
  const plat::RECT r = GetClientRect();
  m_tree.Create(this, kTreeId, plat::kWsChild | plat::kWsVisible, r);
  m_tree.SetImages(ItemPictures());
  m_history = std::make_unique<HistoryTree_t>(m_tree, app::GetDocument().GetRuns());
  app::GetDocument().SetTree(m_history.get());
}

void TreeView_t::OnSize(int width, int height) {
  if (m_tree.HasWindow()) m_tree.MoveWindow(0, 0, width, height, false);
}

void TreeView_t::OnSetFocus() {
  if (m_tree.HasWindow()) m_tree.SetFocus();
}

void TreeView_t::OnInitialUpdate() { m_history->InsertRoot(); }

void TreeView_t::OnUpdate(plat::View_t*, long, void*) {
  Invalidate(false);
  m_history->UpdateRootLabel(GetAppSettings().currentUser.Value());
}

bool TreeView_t::OnCommand(unsigned id, unsigned code) {
  if (id == kTreeId && code == plat::kTvnSelChanged) {
    // While the tree is emptied nothing is selected: nothing to show yet.
    if (m_tree.GetSelectedItem() == 0) return true;
    app::GetDocument().CommitEdits();
    app::GetDocument().UpdateAllViews();
    m_tree.SetFocus();
    return true;
  }
  return plat::Wnd_t::OnCommand(id, code);
}

void TreeView_t::SelectChildLater(int n) {
  plat::PostMessage(GetSafeHwnd(), kWmSelectChild, static_cast<plat::WPARAM>(n), 0);
}

bool TreeView_t::OnMessage(unsigned message, plat::WPARAM wParam, plat::LPARAM lParam, plat::LRESULT& result) {
  if (message != kWmSelectChild) return plat::Wnd_t::OnMessage(message, wParam, lParam, result);
  m_history->SelectChild(static_cast<int>(wParam));
  result = 0;
  return true;
}

const glo::Optional_t<gdb::Track_t>& GetSelectedTrack(const TreeView_t& tree) {
  static const glo::Optional_t<gdb::Track_t> none;
  switch (tree.GetSelectionLevel()) {
    case HistoryTree_t::kRun:
      return tree.GetSelectedRun().GetTrack();
    case HistoryTree_t::kLap:
      return tree.GetSelectedLap().GetTrack();
    default:
      return none;
  }
}

}  // namespace app
