#include "app/PaneViews.h"

#include "app/Document.h"
#include "app/HistoryPage.h"
#include "app/LapPage.h"
#include "app/MainFrame.h"
#include "app/WeekPage.h"
#include "glo/GLO_Exception.h"

namespace app {

FormView_t::~FormView_t() {
  if (HasDocument()) app::GetDocument().SetCommitEdits(nullptr);
}

void FormView_t::OnCreate() {
  app::GetDocument().SetCommitEdits([this] { CommitNotes(); });
}

void FormView_t::CommitNotes() {
  if (auto* page = dynamic_cast<GraphPage_t*>(m_page.get())) page->CommitNotes();
}

void FormView_t::OnUpdate(plat::View_t*, long, void*) {
  m_marked = glo::Optional_t<int>();
  TreeView_t& tree = GetMainFrame().GetTreeView();
  const int level = tree.GetSelectionLevel();
  const CommitNotes_t commit = [](const glo::Time_t& key, const std::string& notes) {
    if (app::GetDocument().FindRun(key) != app::GetDocument().GetRuns().end()) app::GetDocument().SetNotes(key, notes);
  };
  const SelectChild_t select = [&tree](int n) { tree.SelectChildLater(n); };
  std::unique_ptr<plat::Wnd_t> page;
  switch (level) {
    case HistoryTree_t::kHistory:
      page = std::make_unique<HistoryDialog_t>(this, app::GetDocument().GetRuns(), app::GetDocument().CurrentUser(), select);
      break;
    case HistoryTree_t::kWeek: {
      const auto range = tree.History().GetSelectedRuns();
      page = std::make_unique<WeekDialog_t>(this, range.first, range.second, select);
      break;
    }
    case HistoryTree_t::kRun: {
      const Run_t& run = tree.GetSelectedRun();
      if (run.GetLaps().size() > 1)
        page = std::make_unique<RunDialog_t>(this, run, commit);
      else
        page = std::make_unique<LapDialog_t>(this, run, commit);
      break;
    }
    case HistoryTree_t::kLap:
      page = std::make_unique<LapDialog_t>(this, tree.History().GetSelectedLapRun(), tree.GetSelectedLap(),
                                           tree.History().GetSelectedLapNumber());
      break;
    default:
      throw glo::Assert_t(GLO_SRC);
  }
  SetPage(std::move(page));
  Invalidate(true);
}

void FormView_t::SetPage(std::unique_ptr<plat::Wnd_t> page) {
  if (page.get() == m_page.get()) return;
  m_page = std::move(page);
  if (m_page && m_page->HasWindow()) {
    const plat::RECT r = GetClientRect();
    m_page->MoveWindow(0, 0, r.right, r.bottom, false);
  }
}

void FormView_t::OnSize(int width, int height) {
  if (m_page && m_page->HasWindow()) m_page->MoveWindow(0, 0, width, height, false);
}

void FormView_t::OnPaint(plat::Dc_t& dc) {
  if (m_page) {
    m_page->Invalidate(true);
    return;
  }
  dc.FillSolidRect(GetClientRect(), kBackground);
}



}  // namespace app
