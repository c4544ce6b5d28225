#pragma once
// Member controls: a control object of a dialog or view that takes over a
// template control (InitControlMember) or is created by its owner, and
// destroys its window with itself.
#include "afx/AFX_Anchor.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_Optional.h"
#include "plat/PLAT_Window.h"

namespace afx {

template <typename C>
class Ctrl_t : public C {
 public:
  Ctrl_t() = default;
  ~Ctrl_t() override {
    try {
      this->DestroyWindow();
    } catch (...) {
    }
  }
};

// A member control that keeps fixed distances to its parent's edges: Anchor
// records them (modes 0 left/top, 1 right/bottom, 2 both: see AFX_Anchor.h),
// Layout moves the control for a new client size.
template <typename C>
class AnchoredCtrl_t : public Ctrl_t<C> {
 public:
  void Anchor(const plat::Wnd_t& parent, int hMode, int vMode) {
    const plat::RECT client = parent.GetClientRect();
    m_anchor = Anchor_t::Record(ChildRect(), client.right, client.bottom, hMode, vMode);
  }

  // glo::Assert_t when a direction has no offset (Anchor not called, or mode 3).
  void Layout(int cx, int cy) {
    const plat::RECT now = ChildRect();
    const plat::RECT r = m_anchor.Layout(now, cx, cy);
    if (r != now) this->MoveWindow(r, true);
  }

 private:
  plat::RECT ChildRect() const {
    plat::RECT r = this->GetWindowRect();
    if (const plat::Wnd_t* p = this->GetParent()) p->ScreenToClient(r);
    return r;
  }

  Anchor_t m_anchor;
};

}  // namespace afx
