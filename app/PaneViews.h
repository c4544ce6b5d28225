#pragma once
// The views of the main frame's panes that draw on their own: the summary
// pane that holds the page of the tree's selection, and the map view that
// fills its pane.
#include <functional>
#include <memory>

#include "glo/GLO_NonCopyable.h"
#include "glo/GLO_Optional.h"
#include "plat/PLAT_Document.h"
#include "plat/PLAT_Window.h"

namespace app {

class FormView_t;

// Makes the summary page for a selection level (0 history, 1 week, 2 run of
// several laps, 3 lap or run of one lap) as a child window of the form view;
// null for no page.
using PageFactory_t = std::function<std::unique_ptr<plat::Wnd_t>(FormView_t& view, int level)>;

// The upper right pane: the summary page of the selection, made anew on
// every view update.
class FormView_t : public plat::Wnd_t, public plat::View_t, private glo::NonCopyable_t {
 public:
  FormView_t() = default;
  ~FormView_t() override;

  plat::Wnd_t& GetViewWnd() override { return *this; }
  void OnInitialUpdate() override {}
  void OnUpdate(plat::View_t* sender, long hint, void* object) override;

  // The pages' maker; without one the pane shows its flat background.
  static void SetPageFactory(PageFactory_t factory);

  // Makes 'page' the current page; the previous one, when another, is deleted.
  void SetPage(std::unique_ptr<plat::Wnd_t> page);
  plat::Wnd_t* GetPage() const { return m_page.get(); }

  // A point of the selected track to mark; absent after every update.
  glo::Optional_t<int> GetMarkedPointIndex() const { return m_marked; }

  // The flat background of a pane without a page.
  static constexpr std::uint32_t kBackground = 0xEBEBEB;

 protected:
  void OnSize(int width, int height) override;
  bool OnEraseBkgnd(plat::Dc_t&) override { return true; }
  void OnPaint(plat::Dc_t& dc) override;

 private:
  std::unique_ptr<plat::Wnd_t> m_page;
  glo::Optional_t<int> m_marked;
};

// The lower left pane: the map view. It fills its pane with the map's plain
// background.
class MapView_t : public plat::Wnd_t, public plat::View_t, private glo::NonCopyable_t {
 public:
  plat::Wnd_t& GetViewWnd() override { return *this; }
  static constexpr std::uint32_t kBackground = 0xF4F0E8;

 protected:
  bool OnEraseBkgnd(plat::Dc_t&) override { return true; }
  void OnPaint(plat::Dc_t& dc) override;
};

// A pane whose view is still to come: it fills itself with the window colour.
class PlainView_t : public plat::Wnd_t, public plat::View_t, private glo::NonCopyable_t {
 public:
  plat::Wnd_t& GetViewWnd() override { return *this; }
};

}  // namespace app
