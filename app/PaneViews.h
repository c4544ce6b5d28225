#pragma once
// The views of the main frame's panes besides the history tree and the
// profile: the summary pane that holds the page of the tree's selection, and
// the map view (app/MapView.h).
#include <memory>

#include "glo/GLO_NonCopyable.h"
#include "app/MapView.h"
#include "glo/GLO_Optional.h"
#include "plat/PLAT_Document.h"
#include "plat/PLAT_Window.h"

namespace app {

// The upper right pane: the summary page of the selection, made anew on
// every view update.
class FormView_t : public plat::Wnd_t, public plat::View_t, private glo::NonCopyable_t {
 public:
  FormView_t() = default;
  ~FormView_t() override;

  plat::Wnd_t& GetViewWnd() override { return *this; }
  void OnInitialUpdate() override {}
  void OnUpdate(plat::View_t* sender, long hint, void* object) override;

  // Hands the notes typed into the current page to the document.
  void CommitNotes();

  // Makes 'page' the current page; the previous one, when another, is deleted.
  void SetPage(std::unique_ptr<plat::Wnd_t> page);
  plat::Wnd_t* GetPage() const { return m_page.get(); }

  // A point of the selected track to mark; absent after every update.
  glo::Optional_t<int> GetMarkedPointIndex() const { return m_marked; }

  // The flat background of a pane without a page.
  static constexpr std::uint32_t kBackground = 0xEBEBEB;

 protected:
  void OnCreate() override;
  void OnSize(int width, int height) override;
  bool OnEraseBkgnd(plat::Dc_t&) override { return true; }
  void OnPaint(plat::Dc_t& dc) override;

 private:
  std::unique_ptr<plat::Wnd_t> m_page;
  glo::Optional_t<int> m_marked;
};

}  // namespace app
