#include "afx/AFX_Dialog.h"

#include "afx/AFX_MultiWindowMover.h"
#include "afx/AFX_Resources.h"
#include "glo/GLO_Exception.h"
#include "plat/PLAT_App.h"
#include "win/WIN_RegSettingsKey.h"

namespace afx {

namespace {

const char kPosition[] = "Position";

// The stored rectangle, when it is one a window can take.
glo::Optional_t<plat::RECT> ReadPosition(const win::RegKey_t& key) {
  try {
    win::ConstRegValue_t<plat::RECT> value(key, kPosition);
    if (value.IsPresent()) {
      const plat::RECT r = value.Value();
      if (r.left < r.right && r.top < r.bottom) return r;
    }
  } catch (const win::RegError_t&) {
    // A damaged value never keeps a dialog from opening: it is replaced.
  }
  return {};
}

plat::RECT ClientRectOf(const plat::Wnd_t& child) {
  plat::RECT r = child.GetWindowRect();
  if (const plat::Wnd_t* p = child.GetParent()) p->ScreenToClient(r);
  return r;
}

}  // namespace

Dialog_t::Dialog_t(unsigned templateId, plat::Wnd_t* parent)
    : plat::Dialog_t(templateId, parent), m_settingsKey(app::GetSettingsKey()) {
  EnsureResourceHandle();
  m_position = ReadPosition(m_settingsKey);
}

Dialog_t::~Dialog_t() = default;

bool Dialog_t::OnInitDialog() {
  const bool result = plat::Dialog_t::OnInitDialog();
  plat::Wnd_t* main = plat::GetMainWnd();
  GLO_ASSERT(main != nullptr);
  if (IsResizable()) SetIconFrom(*main);
  if (m_minimumSize.IsPresent()) SetMinTrackSize(m_minimumSize.Value().cx, m_minimumSize.Value().cy);
  return result;
}

void Dialog_t::AnchorControl(int id, plat::Wnd_t* control, int hMode, int vMode) {
  GLO_ASSERT(control != nullptr);
  const plat::RECT client = GetClientRect();
  m_anchors[id] = Anchored_t{control, Anchor_t::Record(ClientRectOf(*control), client.right, client.bottom, hMode, vMode)};
}

void Dialog_t::SetMinimumSize(int cx, int cy) {
  m_minimumSize = Size_t{cx, cy};
  if (HasWindow()) SetMinTrackSize(cx, cy);
}

void Dialog_t::OnSize(int cx, int cy) {
  plat::Dialog_t::OnSize(cx, cy);
  LayoutControls(cx, cy);
  Invalidate(true);
}

void Dialog_t::LayoutControls(int cx, int cy) {
  MultiWindowMover_t mover(static_cast<int>(m_anchors.size()));
  for (const auto& [id, a] : m_anchors) {
    const plat::RECT now = ClientRectOf(*a.control);
    const plat::RECT r = a.anchor.Layout(now, cx, cy);
    if (r == now) continue;
    mover.Move(a.control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, 0x214);
    if (r.right - r.left == now.right - now.left) a.control->Invalidate(true);
  }
  mover.End();
}

bool Dialog_t::OnEraseBkgnd(plat::Dc_t& dc) {
  if (!IsResizable()) return plat::Dialog_t::OnEraseBkgnd(dc);
  for (plat::Wnd_t* child : GetChildren()) {
    if (!child->IsWindowVisible() || m_backgroundChildren.count(child->GetDlgCtrlID()) != 0) continue;
    const plat::RECT r = ClientRectOf(*child);
    dc.ExcludeClipRect(r.left, r.top, r.right, r.bottom);
  }
  plat::Dialog_t::OnEraseBkgnd(dc);
  return false;
}

void Dialog_t::StorePosition(const plat::RECT& rect) {
  win::RegValueCodec_t<plat::RECT>::Write(m_settingsKey, kPosition, rect);
  m_position = rect;
}

void Dialog_t::RestorePosition() {
  if (m_position.IsPresent()) {
    plat::RECT r = m_position.Value();
    const plat::RECT now = GetWindowRect();
    if (m_minimumSize.IsPresent()) {
      r.right = std::max(r.right, r.left + m_minimumSize.Value().cx);
      r.bottom = std::max(r.bottom, r.top + m_minimumSize.Value().cy);
    } else if (!IsResizable()) {
      r.right = r.left + (now.right - now.left);
      r.bottom = r.top + (now.bottom - now.top);
    }
    MoveWindow(r, true);
  } else {
    StorePosition(GetWindowRect());
  }
  m_keepPosition = true;
}

void Dialog_t::SavePosition() {
  if (m_keepPosition) StorePosition(GetWindowRect());
}

}  // namespace afx
