#pragma once
// What the summary pages of the upper pane share: a child dialog of the form
// view built from a template, covering the view's client area, with controls
// that keep their distances to the page's edges as the page is resized.
#include <string>
#include <vector>

#include "afx/AFX_Anchor.h"
#include "plat/PLAT_Dialog.h"

namespace app {

// The pages' title font: the dialog font in bold, made once for the process;
// win::Error_t when it cannot be made.
const plat::Font_t& GetTitleFont();

// How a control follows its page along one axis.
enum AnchorMode_t { AnchorNear = 0, AnchorFar = 1, AnchorBoth = 2 };

class SummaryPage_t : public plat::Dialog_t {
 public:
  ~SummaryPage_t() override;

 protected:
  // The title line of every page, shown in the title font.
  static constexpr int kTitleLine = 1026;

  // Makes the page from the template as a child of the form view and gives its
  // title line the title font; win::Error_t when it cannot be made.
  SummaryPage_t(unsigned templateId, plat::Wnd_t* formView);

  // Records the control's distances to the page's edges for the modes.
  void Anchor(plat::Wnd_t& control, AnchorMode_t horizontal, AnchorMode_t vertical);
  void Anchor(int id, AnchorMode_t horizontal, AnchorMode_t vertical) { Anchor(Item(id), horizontal, vertical); }
  void SetItemText(int id, const std::string& text);
  void ShowItem(int id, bool show);
  plat::Wnd_t& Item(int id) const;
  // Marks the page laid out, moves it over the form view and shows it.
  void Finish();

  void OnSize(int clientWidth, int clientHeight) override;
  // A child's rectangle in the page's client coordinates.
  plat::RECT ChildRect(const plat::Wnd_t& control) const;

  plat::Wnd_t* m_formView;
  bool m_ready = false;

 private:
  struct Anchored_t {
    plat::Wnd_t* control;
    afx::Anchor_t anchor;
  };
  std::vector<Anchored_t> m_anchors;
};

}  // namespace app
