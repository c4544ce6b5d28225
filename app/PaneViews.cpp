#include "app/PaneViews.h"

#include "app/MainFrame.h"
#include "glo/GLO_Exception.h"

namespace app {

namespace {

PageFactory_t& Factory() {
  static PageFactory_t factory;
  return factory;
}

}  // namespace

FormView_t::~FormView_t() = default;

void FormView_t::SetPageFactory(PageFactory_t factory) { Factory() = std::move(factory); }

void FormView_t::OnUpdate(plat::View_t*, long, void*) {
  m_marked = glo::Optional_t<int>();
  const TreeView_t& tree = GetMainFrame().GetTreeView();
  int level = tree.GetSelectionLevel();
  GLO_ASSERT(level >= 0 && level <= 3);
  if (level == 2 && tree.GetSelectedRun().GetLaps().size() == 1) level = 3;
  if (Factory()) SetPage(Factory()(*this, level));
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

void MapView_t::OnPaint(plat::Dc_t& dc) { dc.FillSolidRect(GetClientRect(), kBackground); }

}  // namespace app
