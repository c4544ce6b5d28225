#include "app/SummaryPage.h"

#include "glo/GLO_Exception.h"
#include "win/WIN_Exception.h"

namespace app {

SummaryPage_t::SummaryPage_t(unsigned templateId, plat::Wnd_t* formView)
    : plat::Dialog_t(templateId, formView), m_formView(formView) {
  if (!CreateChild(formView, 0)) throw win::Error_t(GLO_SRC);
}

SummaryPage_t::~SummaryPage_t() = default;

plat::Wnd_t& SummaryPage_t::Item(int id) const {
  plat::Wnd_t* item = GetDlgItem(id);
  GLO_ASSERT(item != nullptr);
  return *item;
}

void SummaryPage_t::Anchor(plat::Wnd_t& control, AnchorMode_t horizontal, AnchorMode_t vertical) {
  plat::RECT r = control.GetWindowRect();
  ScreenToClient(r);
  const plat::RECT c = GetClientRect();
  m_anchors.push_back(Anchored_t{&control, horizontal, vertical, r.left, r.top, c.right - r.right, c.bottom - r.bottom,
                                 r.right - r.left, r.bottom - r.top});
}

void SummaryPage_t::SetItemText(int id, const std::string& text) { Item(id).SetWindowText(text); }

void SummaryPage_t::ShowItem(int id, bool show) { Item(id).ShowWindow(show); }

void SummaryPage_t::Finish() {
  m_ready = true;
  MoveWindow(m_formView->GetClientRect());
  ShowWindow(true);
}

void SummaryPage_t::OnSize(int cx, int cy) {
  if (!m_ready) return;
  for (const Anchored_t& a : m_anchors) {
    int left = a.left, right = a.left + a.width, top = a.top, bottom = a.top + a.height;
    if (a.horizontal == AnchorBoth) right = cx - a.right;
    if (a.horizontal == AnchorFar) {
      right = cx - a.right;
      left = right - a.width;
    }
    if (a.vertical == AnchorBoth) bottom = cy - a.bottom;
    if (a.vertical == AnchorFar) {
      bottom = cy - a.bottom;
      top = bottom - a.height;
    }
    plat::Wnd_t& item = *a.control;
    plat::RECT now = item.GetWindowRect();
    ScreenToClient(now);
    if (now.left != left || now.top != top || now.right != right || now.bottom != bottom)
      item.MoveWindow(left, top, right - left, bottom - top, true);
  }
}

}  // namespace app
