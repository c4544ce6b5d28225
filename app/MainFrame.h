#pragma once
// The main window: toolbar, status bar and the four panes in nested
// splitters (history tree | summary page over map and profile). It keeps its
// position, maximised state and pane sizes in the settings, builds the user
// menu from the user list, and saves everything when it closes.
#include <functional>
#include <memory>

#include "app/FrameRules.h"
#include "app/PaneViews.h"
#include "app/ProfileView.h"
#include "app/TreeView.h"
#include "glo/GLO_NonCopyable.h"
#include "plat/PLAT_Frame.h"
#include "plat/PLAT_Splitter.h"

namespace app {

// A splitter that tells of its new sizes.
class NotifyingSplitter_t : public plat::Splitter_t {
 public:
  void SetSizeHandler(std::function<void(int, int)> handler) { m_handler = std::move(handler); }

 protected:
  void OnSize(int width, int height) override {
    plat::Splitter_t::OnSize(width, height);
    if (m_handler) m_handler(width, height);
  }

 private:
  std::function<void(int, int)> m_handler;
};

class MainFrame_t : public plat::FrameWnd_t, private glo::NonCopyable_t {
 public:
  MainFrame_t();
  // Writes "StartMaximized" and "FrameRect" when they hold values.
  ~MainFrame_t() override;

  // Makes the window (hidden) with its bars and panes; the views join the
  // document. win::Error_t when a part cannot be made.
  void Create();

  TreeView_t& GetTreeView() const;
  FormView_t& GetFormView() const;
  MapView_t& GetMapView() const { return *m_mapView; }
  plat::View_t& GetProfileView() const { return *m_profileView; }
  plat::Splitter_t& OuterSplitter() { return m_outer; }
  plat::Splitter_t& RightSplitter() { return m_right; }
  plat::Splitter_t& LowerSplitter() { return m_lower; }

  // Lays the panes out again at their sizes (once the frame shows).
  void RecalcPanes();

  const UserMenuIds_t& UserMenuIds() const { return m_userMenuIds; }

  // Closes the frame without asking, also when a save fails (a fatal error
  // ends the program in any case); each save is still tried.
  void CloseWithoutAsking();
  // True once the frame closed although a save failed: the program then ends
  // without its data saved.
  bool ClosedUnsaved() const { return m_closedUnsaved; }

  // The status bar's lock-key panes follow the keyboard.
  void UpdateLockIndicators();

  bool OnCommand(unsigned id, unsigned code) override;
  bool OnUpdateCommand(plat::CmdUI_t& ui) override;

 protected:
  void OnInitMenuPopup(plat::Menu_t& popup, int index, bool sysMenu) override;
  // Saves the pane sizes, the user list, the current runs and the toolbar
  // layout, each on its own; when one fails the user is asked whether to
  // close anyway (the default keeps the program open).
  void OnClose() override;
  void OnMove(int x, int y) override;
  void OnSize(int width, int height) override;
  bool OnMessage(unsigned message, plat::WPARAM wParam, plat::LPARAM lParam, plat::LRESULT& result) override;

 private:
  void CreateClient();
  void SwitchUser(const std::string& name);
  void OnRightSized(int height);
  void OnLowerRowSized(int height);

  plat::Splitter_t m_outer;
  NotifyingSplitter_t m_right;
  NotifyingSplitter_t m_lower;
  std::unique_ptr<TreeView_t> m_treeView;
  std::unique_ptr<FormView_t> m_formView;
  std::unique_ptr<MapView_t> m_mapView;
  std::unique_ptr<ProfileView_t> m_profileView;
  UserMenuIds_t m_userMenuIds;
  // The lower row's height as the user left it; a frame resize keeps it.
  int m_lowerHeight = -1;
  int m_rightHeight = -1;
  bool m_resizing = false;
  bool m_closeWithoutAsking = false;
  bool m_closedUnsaved = false;
};

// The main frame; glo::Assert_t when there is none.
MainFrame_t& GetMainFrame();
bool HasMainFrame();

}  // namespace app
