#include "app/PageWiring.h"

#include "app/AppSettings.h"
#include "app/Document.h"
#include "app/HistoryPage.h"
#include "app/LapPage.h"
#include "app/MainFrame.h"
#include "app/PaneViews.h"
#include "app/TreeView.h"
#include "app/WeekPage.h"

namespace app {

namespace {

void CommitToDocument(const glo::Time_t& runKey, const std::string& notes) { GetDocument().SetNotes(runKey, notes); }

void SelectTreeChild(int n) { GetMainFrame().GetTreeView().History().SelectChild(n); }

// The 1-based place of a lap among the laps of its run (the tree lists them
// in that order).
int LapNumber(const Run_t& run, const Lap_t& lap) {
  int number = 1;
  for (const Lap_t& each : run.GetLaps()) {
    if (each.GetStart().GetValue() == lap.GetStart().GetValue()) return number;
    ++number;
  }
  return number;
}

std::unique_ptr<plat::Wnd_t> MakePage(FormView_t& view, int level) {
  // The page being replaced keeps nothing that was typed into it.
  CommitPageNotes();
  const TreeView_t& tree = GetMainFrame().GetTreeView();
  switch (level) {
    case HistoryTree_t::kHistory:
      return std::make_unique<HistoryDialog_t>(&view, GetDocument().GetRuns(), GetAppSettings().currentUser.Value(),
                                               SelectTreeChild);
    case HistoryTree_t::kWeek: {
      const HistoryTreeIntf_t::Range_t runs = tree.History().GetSelectedRuns();
      return std::make_unique<WeekDialog_t>(&view, runs.first, runs.second, SelectTreeChild);
    }
    case HistoryTree_t::kRun:
      return std::make_unique<RunDialog_t>(&view, tree.GetSelectedRun(), CommitToDocument);
    case HistoryTree_t::kLap: {
      if (tree.GetSelectionLevel() == HistoryTree_t::kRun)
        return std::make_unique<LapDialog_t>(&view, tree.GetSelectedRun(), CommitToDocument);
      // A lap: its run is the item above it.
      const plat::TreeCtrl_t& control = tree.Control();
      const Run_t& run = tree.History().GetItemRun(control.GetParentItem(control.GetSelectedItem()));
      const Lap_t& lap = tree.GetSelectedLap();
      return std::make_unique<LapDialog_t>(&view, run, lap, LapNumber(run, lap));
    }
    default:
      return nullptr;
  }
}

}  // namespace

void InstallSummaryPages() { FormView_t::SetPageFactory(MakePage); }

void CommitPageNotes() {
  if (!HasMainFrame()) return;
  if (auto* page = dynamic_cast<GraphPage_t*>(GetMainFrame().GetFormView().GetPage())) page->CommitNotes();
}

}  // namespace app
