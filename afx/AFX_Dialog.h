#pragma once
// Resizable dialogs: children follow the dialog's size by their anchors, the
// background erase leaves the children's areas alone, and the dialog keeps its
// window rectangle in the setting "Position" (one value shared by every dialog
// of this kind).
#include <map>
#include <set>

#include "afx/AFX_Anchor.h"
#include "glo/GLO_Optional.h"
#include "plat/PLAT_Dialog.h"
#include "win/WIN_RegKey.h"
#include "win/WIN_RegValue.h"

namespace afx {

class Dialog_t : public plat::Dialog_t {
 public:
  struct Size_t {
    int cx;
    int cy;
  };

  // Reads "Position" under the application's settings key. A stored value of
  // the wrong size or an inverted or empty rectangle counts as absent.
  Dialog_t(unsigned templateId, plat::Wnd_t* parent = nullptr);
  ~Dialog_t() override;

  // Records the child's anchor from its current rectangle (modes: AFX_Anchor.h);
  // a second call for an id replaces the first.
  void AnchorControl(int id, plat::Wnd_t* control, int hMode, int vMode);

  // Moves "Position"'s rectangle onto the window (or stores the current one when
  // there is none) and turns position keeping on. Call at the end of
  // OnInitDialog.
  virtual void RestorePosition();
  // Stores the window rectangle when position keeping is on. Call on OK.
  virtual void SavePosition();
  // Moves the anchored children for a client area of cx x cy.
  virtual void LayoutControls(int cx, int cy);

  // The smallest size the user can drag the dialog to.
  void SetMinimumSize(int cx, int cy);

  bool IsResizable() const { return (GetStyle() & plat::kWsThickFrame) != 0; }
  const glo::Optional_t<plat::RECT>& StoredPosition() const { return m_position; }

 protected:
  // glo::Assert_t without a main window; a resizable dialog takes its icon.
  bool OnInitDialog() override;
  void OnSize(int cx, int cy) override;
  bool OnEraseBkgnd(plat::Dc_t& dc) override;

  // Children whose area the background erase still paints.
  std::set<int> m_backgroundChildren;

 private:
  struct Anchored_t {
    plat::Wnd_t* control;
    Anchor_t anchor;
  };
  void StorePosition(const plat::RECT& rect);

  win::RegKey_t m_settingsKey;
  bool m_keepPosition = false;
  glo::Optional_t<plat::RECT> m_position;
  glo::Optional_t<Size_t> m_minimumSize;
  std::map<int, Anchored_t> m_anchors;
};

}  // namespace afx
