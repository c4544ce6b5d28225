#pragma once
// The main frame: a top-level window with a menu bar, a dockable toolbar, a
// status bar with panes, and a client window between them (a splitter or a
// view), which routes commands (PLAT_CmdTarget.h).
//
// Routing: the view that holds the keyboard focus (else the active view), its
// document, the frame, then the application's target. The menu's update
// handlers run each time a popup opens (after OnInitMenuPopup, which may
// rebuild the popup); the toolbar's run when the program becomes idle.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "plat/PLAT_Menu.h"
#include "plat/PLAT_Window.h"

namespace plat {

class View_t;

// Ids of the frame's bars and the standard indicators of the status bar.
enum : unsigned {
  kIdToolBar = 0xE800,
  kIdStatusBar = 0xE801,
  kIdSeparator = 0,  // the status bar's message pane
  kIdIndicatorCaps = 0xE701,
  kIdIndicatorNum = 0xE702,
  kIdIndicatorScrl = 0xE703,
};

class FrameWnd_t : public Wnd_t {
 public:
  FrameWnd_t();
  ~FrameWnd_t() override;

  // Makes the frame (hidden; ShowWindow shows it) with the menu of the resource
  // module's menu 'menuId' (0: none). A null rectangle gives the default place
  // and size: three quarters of the work area, centred (DefaultFrameRect of
  // PLAT_Screen.h). False (last error) when the menu cannot be had.
  bool CreateFrame(const std::string& title, const RECT* rect, unsigned menuId);

  // The frame whose window is this one or an ancestor of it; null when none.
  static FrameWnd_t* FrameOf(const Wnd_t* window);

  // ---- menu ----
  Menu_t& GetMenu() { return m_menu; }
  // Shows the menu's changes in the menu bar.
  void DrawMenuBar();
  // Opens popup 'index' of the menu bar as the user would, up to the point
  // where it shows: OnInitMenuPopup, then the update handlers. For tests.
  void PrepareMenuPopup(int index);
  // Runs the update handlers for every item of a menu and its popups.
  void UpdateMenuState(Menu_t& menu);
  // The mark that popup 'index' of the menu bar, as last shown, draws beside
  // command 'id': none, a check mark or a radio mark (an item whose update
  // handler set the radio state). For tests.
  enum class MenuMark_t { kNone, kCheck, kRadio };
  MenuMark_t RenderedMenuMark(int index, unsigned id) const;

  // ---- toolbar ----
  // Makes the toolbar from the resource module's toolbar 'id' (docked at the
  // top, may dock on any side). False (last error) when it cannot be had.
  // When the module has a picture of the same id (a strip of square pictures,
  // one per button in order, as high as a button's picture) the buttons show
  // their pictures and their text as tooltips; otherwise their text.
  bool CreateToolBar(unsigned id, const std::string& title);
  // True when the toolbar's button shows a picture.
  bool ToolBarButtonHasPicture(unsigned id) const;
  // The state of a toolbar button (the update handlers' result); false when the
  // toolbar has no such button.
  bool GetToolBarButtonState(unsigned id, bool& enabled, int& check) const;
  // Clicks a toolbar button as the user would.
  bool ClickToolBarButton(unsigned id);
  // The layout of the bars as bytes, and back. False for bytes it cannot use.
  std::vector<std::uint8_t> SaveBarState() const;
  bool LoadBarState(const std::vector<std::uint8_t>& state);
  // Runs the update handlers of the toolbar's buttons (the pump does it when idle).
  void UpdateToolBar();

  // ---- status bar ----
  // A status bar with one pane per id (kIdSeparator: the stretching message pane).
  bool CreateStatusBar(const std::vector<unsigned>& indicators);
  int GetPaneCount() const;
  bool SetPaneText(int index, const std::string& text);
  std::string GetPaneText(int index) const;

  // ---- client and routing ----
  // The window that fills the frame between the bars (a child of the frame).
  void SetClient(Wnd_t& client);
  void SetActiveView(View_t* view);
  View_t* GetActiveView() const;
  // The view with the focus, else the active view.
  View_t* GetRoutingView() const;
  // Routes a command; true when a target handled it.
  bool RouteCommand(unsigned id);
  // Routes an update; true when a target set the state.
  bool RouteUpdate(CmdUI_t& ui);

 protected:
  // A popup of the menu bar is about to open (sysMenu false) with its index.
  virtual void OnInitMenuPopup(Menu_t& popup, int index, bool sysMenu);
  void OnClose() override;

 private:
  struct Impl;
  Menu_t m_menu;
  Wnd_t* m_client = nullptr;
  View_t* m_activeView = nullptr;
  std::unique_ptr<Impl> m_frame;
};

}  // namespace plat
