#include "app/SummaryPage.h"

#include "glo/GLO_Exception.h"
#include "win/WIN_Exception.h"

namespace app {

const plat::Font_t& GetTitleFont() {
  static const plat::Font_t& font = [] () -> const plat::Font_t& {
    // The dialog font (the one the pages' templates use), bold.
    plat::LOGFONTA description = plat::GetDefaultGuiLogFontData();
    description.lfWeight = 700;
    static plat::Font_t made;
    if (!made.CreateFontIndirect(description)) throw win::Error_t(GLO_SRC);
    return made;
  }();
  return font;
}

SummaryPage_t::SummaryPage_t(unsigned templateId, plat::Wnd_t* formView)
    : plat::Dialog_t(templateId, formView), m_formView(formView) {
  if (!CreateChild(formView, 0)) throw win::Error_t(GLO_SRC);
  if (plat::Wnd_t* title = GetDlgItem(kTitleLine)) title->SetFont(GetTitleFont().GetSafeHandle(), true);
}

SummaryPage_t::~SummaryPage_t() = default;

plat::Wnd_t& SummaryPage_t::Item(int id) const {
  plat::Wnd_t* item = GetDlgItem(id);
  GLO_ASSERT(item != nullptr);
  return *item;
}

void SummaryPage_t::Anchor(plat::Wnd_t& control, AnchorMode_t horizontal, AnchorMode_t vertical) {
  const plat::RECT c = GetClientRect();
  m_anchors.push_back(Anchored_t{&control, afx::Anchor_t::Record(ChildRect(control), c.right, c.bottom, horizontal, vertical)});
}

void SummaryPage_t::SetItemText(int id, const std::string& text) { Item(id).SetWindowText(text); }

void SummaryPage_t::ShowItem(int id, bool show) { Item(id).ShowWindow(show); }

void SummaryPage_t::Finish() {
  m_ready = true;
  const plat::RECT client = m_formView->GetClientRect();
  MoveWindow(client);
  // Laid out at once, also while the form view is hidden (no size event then).
  OnSize(client.right - client.left, client.bottom - client.top);
  ShowWindow(true);
}

void SummaryPage_t::OnSize(int cx, int cy) {
  if (!m_ready) return;
  for (const Anchored_t& a : m_anchors) {
    const plat::RECT now = ChildRect(*a.control);
    const plat::RECT next = a.anchor.Layout(now, cx, cy);
    if (!(next == now)) a.control->MoveWindow(next, true);
  }
}

plat::RECT SummaryPage_t::ChildRect(const plat::Wnd_t& control) const {
  plat::RECT r = control.GetWindowRect();
  ScreenToClient(r);
  return r;
}

}  // namespace app
