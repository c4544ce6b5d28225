#pragma once
// The left pane of the main frame: the history tree of the current user. Its
// selection drives every other pane: each change updates all views.
#include <memory>

#include "app/HistoryTree.h"
#include "glo/GLO_NonCopyable.h"
#include "plat/PLAT_Document.h"
#include "plat/PLAT_Tree.h"
#include "plat/PLAT_Window.h"

namespace app {

class TreeView_t : public plat::Wnd_t, public plat::View_t, private glo::NonCopyable_t {
 public:
  TreeView_t() = default;
  ~TreeView_t() override;

  plat::Wnd_t& GetViewWnd() override { return *this; }
  // The root alone, selected (also after the document was emptied).
  void OnInitialUpdate() override;
  // The root's label follows "CurrentUser".
  void OnUpdate(plat::View_t* sender, long hint, void* object) override;

  // The tree of weeks, runs and laps that the document fills.
  HistoryTree_t& History() { return *m_history; }
  const HistoryTree_t& History() const { return *m_history; }
  plat::TreeCtrl_t& Control() { return m_tree; }
  const plat::TreeCtrl_t& Control() const { return m_tree; }

  // Selects the n-th child of the selected item once the current message is
  // done (a page asks for it from its own handler, and the page is replaced).
  void SelectChildLater(int n);

  int GetSelectionLevel() const { return m_history->GetSelectionLevel(); }
  const Run_t& GetSelectedRun() const { return m_history->GetSelectedRun(); }
  const Lap_t& GetSelectedLap() const { return m_history->GetSelectedLap(); }

 protected:
  void OnCreate() override;
  void OnSize(int width, int height) override;
  bool OnCommand(unsigned id, unsigned code) override;
  bool OnMessage(unsigned message, plat::WPARAM wParam, plat::LPARAM lParam, plat::LRESULT& result) override;
  void OnSetFocus() override;

 private:
  plat::TreeCtrl_t m_tree;
  std::unique_ptr<HistoryTree_t> m_history;
};

// The track of the tree's selection: the selected run's or lap's track, else
// an empty one. Valid until the run set or the tree changes.
const glo::Optional_t<gdb::Track_t>& GetSelectedTrack(const TreeView_t& tree);

}  // namespace app
