#include "app/MainFrame.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/AppSettings.h"
#include "app/ApplicationInfo.h"
#include "app/CatchChain.h"
#include "app/Commands.h"
#include "app/Document.h"
#include "app/Application.h"
#include "app/UserDatabase.h"
#include "app/UserDialogs.h"
#include "err/ERR_FatalDialog.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_MessageBox.h"
#include "plat/PLAT_Screen.h"
#include "win/WIN_Exception.h"
#include "win/WIN_RegSettingsKey.h"

namespace app {

namespace {

constexpr unsigned kResourceId = 128;
constexpr std::uint32_t kPaneStyle = plat::kWsChild | plat::kWsVisible;
constexpr unsigned kWmMove = 0x0003;
// Posted by a resize: the lower row gets back the height it had.
constexpr unsigned kWmKeepLowerRow = 0x8010;

// The toolbar layout: hex text under the settings' "ToolBars\DockState".
win::RegKey_t DockStateKey() { return win::RegKey_t(GetSettingsKey(), "ToolBars\\DockState"); }

std::vector<std::uint8_t> LoadDockState() {
  const win::RegKey_t key = DockStateKey();
  if (!key.ValueExists("Bars")) return {};
  const std::string text = key.ReadString("Bars");
  std::vector<std::uint8_t> bytes;
  for (size_t i = 0; i + 1 < text.size(); i += 2)
    bytes.push_back(static_cast<std::uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
  return bytes;
}

void SaveDockState(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  char hex[3];
  for (std::uint8_t b : bytes) {
    std::snprintf(hex, sizeof hex, "%02x", b);
    text += hex;
  }
  DockStateKey().WriteString("Bars", text);
}

void Require(bool made, int line) {
  if (!made) throw win::Error_t(glo::SourceBaseName(__FILE__), line);
}

}  // namespace

MainFrame_t& GetMainFrame() {
  auto* frame = dynamic_cast<MainFrame_t*>(plat::GetMainWnd());
  GLO_ASSERT(frame != nullptr);
  return *frame;
}

bool HasMainFrame() { return dynamic_cast<MainFrame_t*>(plat::GetMainWnd()) != nullptr; }

MainFrame_t::MainFrame_t()
    : m_treeView(std::make_unique<TreeView_t>()),
      m_formView(std::make_unique<FormView_t>()),
      m_mapView(std::make_unique<MapView_t>()),
      m_profileView(std::make_unique<ProfileView_t>()) {
  m_right.SetSizeHandler([this](int, int height) { OnRightSized(height); });
  m_lower.SetSizeHandler([this](int, int height) { OnLowerRowSized(height); });
}

MainFrame_t::~MainFrame_t() {
  try {
    AppSettings_t& settings = GetAppSettings();
    if (settings.startMaximized.IsPresent()) settings.startMaximized.Write();
    if (settings.frameRect.IsPresent()) settings.frameRect.Write();
  } catch (...) {
  }
  try {
    if (HasDocument()) {
      for (plat::View_t* view : {static_cast<plat::View_t*>(m_treeView.get()), static_cast<plat::View_t*>(m_formView.get()),
                                 static_cast<plat::View_t*>(m_mapView.get()), static_cast<plat::View_t*>(m_profileView.get())})
        GetDocument().RemoveView(*view);
    }
    DestroyWindow();
  } catch (...) {
  }
}

void MainFrame_t::Create() {
  const AppSettings_t& settings = GetAppSettings();
  const plat::RECT* place = nullptr;
  plat::RECT stored{};
  if (settings.frameRect.IsPresent() && FitsDesktop(settings.frameRect.Value(), plat::GetDesktopRect())) {
    stored = settings.frameRect.Value();
    place = &stored;
  }
  Require(CreateFrame(GetApplicationInfo().Name(), place, kResourceId), __LINE__);
  Require(CreateToolBar(kResourceId, "Toolbar"), __LINE__);
  Require(CreateStatusBar({plat::kIdSeparator, plat::kIdIndicatorCaps, plat::kIdIndicatorNum, plat::kIdIndicatorScrl}),
          __LINE__);
  const std::vector<std::uint8_t> state = LoadDockState();
  if (!state.empty()) LoadBarState(state);
  CreateClient();
  plat::SetMainWnd(this);
}

void MainFrame_t::CreateClient() {
  const plat::RECT client = GetClientRect();
  const AppSettings_t& settings = GetAppSettings();
  const PaneSizes_t sizes = InitialPaneSizes(client.right - client.left, client.bottom - client.top,
                                             settings.splitSize0.Optional(), settings.splitSize1.Optional(),
                                             settings.splitSize2.Optional());
  Document_t& document = GetDocument();
  Require(m_outer.CreateStatic(this, 1, 2, kPaneStyle, 0xE900), __LINE__);
  document.AddView(*m_treeView);
  Require(m_outer.CreateView(0, 0, *m_treeView, sizes.tree), __LINE__);
  Require(m_right.CreateStatic(&m_outer, 2, 1, kPaneStyle | plat::kWsBorder, m_outer.IdFromRowCol(0, 1)), __LINE__);
  document.AddView(*m_formView);
  Require(m_right.CreateView(0, 0, *m_formView, sizes.summary), __LINE__);
  Require(m_lower.CreateStatic(&m_right, 1, 2, kPaneStyle | plat::kWsBorder, m_right.IdFromRowCol(1, 0)), __LINE__);
  document.AddView(*m_mapView);
  Require(m_lower.CreateView(0, 0, *m_mapView, sizes.map), __LINE__);
  document.AddView(*m_profileView);
  Require(m_lower.CreateView(0, 1, *m_profileView, sizes.map), __LINE__);
  SetActiveView(m_treeView.get());
}

void MainFrame_t::RecalcPanes() {
  m_outer.RecalcLayout();
  m_right.RecalcLayout();
  m_lower.RecalcLayout();
}

TreeView_t& MainFrame_t::GetTreeView() const {
  auto* view = dynamic_cast<TreeView_t*>(m_outer.GetPane(0, 0));
  if (!view) throw std::bad_cast();
  return *view;
}

FormView_t& MainFrame_t::GetFormView() const {
  auto* view = dynamic_cast<FormView_t*>(m_right.GetPane(0, 0));
  if (!view) throw std::bad_cast();
  return *view;
}

void MainFrame_t::OnMove(int x, int y) {
  plat::FrameWnd_t::OnMove(x, y);
  GetAppSettings().frameRect = GetNormalRect();
  if (plat::View_t* view = GetActiveView()) view->GetViewWnd().SendMessage(kWmMove, 0, 0);
}

void MainFrame_t::OnSize(int width, int height) {
  AppSettings_t& settings = GetAppSettings();
  settings.startMaximized = IsZoomed();
  if (!IsZoomed() && !IsIconic()) settings.frameRect = GetWindowRect();
  plat::FrameWnd_t::OnSize(width, height);
}

// The right splitter changes its height only with the frame. Its rows then
// share out the change on their own; once they have, the lower row gets back
// the height it had and the summary takes the change.
void MainFrame_t::OnRightSized(int height) {
  if (height == m_rightHeight) return;
  m_rightHeight = height;
  if (IsStartUpDone() && !m_resizing) {
    m_resizing = true;
    plat::PostMessage(GetSafeHwnd(), kWmKeepLowerRow, 0, 0);
  }
}

// The lower row's height as the user leaves it (a drag of the bar).
void MainFrame_t::OnLowerRowSized(int height) {
  if (!m_resizing) m_lowerHeight = height;
}

bool MainFrame_t::OnMessage(unsigned message, plat::WPARAM wParam, plat::LPARAM lParam, plat::LRESULT& result) {
  if (message != kWmKeepLowerRow) return plat::FrameWnd_t::OnMessage(message, wParam, lParam, result);
  if (m_right.HasWindow() && m_lowerHeight >= 0) {
    int summary = 0;
    int lower = 0;
    int minimum = 0;
    m_right.GetRowInfo(0, summary, minimum);
    m_right.GetRowInfo(1, lower, minimum);
    m_right.SetRowInfo(0, SummaryHeightAfterResize(summary, lower, m_lowerHeight), 0);
    m_right.RecalcLayout();
  }
  m_resizing = false;
  result = 0;
  return true;
}

void MainFrame_t::OnInitMenuPopup(plat::Menu_t& popup, int index, bool sysMenu) {
  const int count = popup.GetMenuItemCount();
  if (!sysMenu && count > 0 && popup.GetMenuItemID(count - 1) == kCmdEditUsers) {
    m_userMenuIds = BuildUserMenuIds(GetUserDatabase());
    popup.RemoveAll();
    for (auto it = m_userMenuIds.rbegin(); it != m_userMenuIds.rend(); ++it) popup.AppendItem(it->first, it->second);
    if (!m_userMenuIds.empty()) popup.AppendSeparator();
    popup.AppendItem(kCmdEditUsers, glo::StringResource_t(151, GLO_SRC).Text());
  }
  plat::FrameWnd_t::OnInitMenuPopup(popup, index, sysMenu);
}

void MainFrame_t::SwitchUser(const std::string& name) {
  GetTreeView().Control().SetFocus();
  if (GetDocument().SwitchUser(name)) GetDocument().UpdateAllViews();
}

bool MainFrame_t::OnCommand(unsigned id, unsigned code) {
  const auto user = m_userMenuIds.find(id);
  if (user != m_userMenuIds.end()) {
    if (code == 0) SwitchUser(user->second);
    return true;
  }
  if (id == kCmdEditUsers && code == 0) {
    EditUsersDialog_t dialog(this);
    dialog.DoModal();
    return true;
  }
  return plat::FrameWnd_t::OnCommand(id, code);
}

bool MainFrame_t::OnUpdateCommand(plat::CmdUI_t& ui) {
  const auto user = m_userMenuIds.find(ui.GetId());
  if (user != m_userMenuIds.end()) {
    ui.Enable(true);
    ui.SetCheck(user->second == GetAppSettings().currentUser.Value() ? 1 : 0);
    return true;
  }
  switch (ui.GetId()) {
    case kCmdDeleteSelection: {
      const TreeView_t& tree = GetTreeView();
      const bool focused = tree.HasFocusWithin();
      const bool lap = tree.Control().GetSelectedItem() == 0 || tree.GetSelectionLevel() == HistoryTree_t::kLap;
      ui.Enable(focused && !lap && !GetDocument().GetRuns().empty());
      return true;
    }
    case kCmdEditUsers:
      ui.Enable(!GetUserDatabase().empty());
      return true;
    default:
      return plat::FrameWnd_t::OnUpdateCommand(ui);
  }
}

void MainFrame_t::OnClose() {
  // Each save is tried on its own, so that one failure loses nothing else;
  // the failures are gathered for the user.
  std::vector<std::string> failures;
  const auto attempt = [&failures](const std::function<void()>& save,
                                   const std::function<std::string(const std::string&)>& describe) {
    try {
      save();
    } catch (...) {
      const std::string text = CaughtExceptionText();
      try {
        failures.push_back(describe(text));
      } catch (...) {
        failures.push_back(text);
      }
    }
  };
  const auto layoutFailure = [](const std::string& text) {
    return glo::StringResource_t(7305, GLO_SRC).Format(text, GLO_SRC);
  };
  AppSettings_t& settings = GetAppSettings();
  attempt(
      [&] {
        int current = 0;
        int minimum = 0;
        m_outer.GetColumnInfo(0, current, minimum);
        settings.splitSize0.Set(current);
        m_right.GetRowInfo(0, current, minimum);
        settings.splitSize1.Set(current);
        m_lower.GetColumnInfo(0, current, minimum);
        settings.splitSize2.Set(current);
      },
      layoutFailure);
  UserDatabase_t& users = GetUserDatabase();
  attempt([&] { users.SaveList(); },
          [](const std::string& text) { return glo::StringResource_t(7303, GLO_SRC).Format(text, GLO_SRC); });
  if (users.IsLoaded() && !users.empty() && HasDocument()) {
    const std::string user = settings.currentUser.Value();
    attempt([] { GetDocument().SaveDatabase(); },
            [&user](const std::string& text) {
              return glo::StringResource_t(7304, GLO_SRC).FormatArgs({user, text}, GLO_SRC);
            });
  }
  attempt([this] { SaveDockState(SaveBarState()); }, layoutFailure);
  if (!failures.empty()) {
    std::string text;
    for (const std::string& failure : failures) text += (text.empty() ? "" : "\n\n") + failure;
    if (m_closeWithoutAsking) {
      // The program ends in any case (a fatal error): what could not be saved
      // is told where it can still be read.
      std::fprintf(stderr, "%s\n", text.c_str());
    } else {
      // Closing would lose what could not be saved: the user decides, and
      // the program stays open unless told otherwise.
      const int answer = plat::MessageBox(
          this, glo::StringResource_t(7306, GLO_SRC).Format(text, GLO_SRC), GetApplicationInfo().Name(),
          plat::kMbYesNo | plat::kMbIconExclamation | plat::kMbDefButton2);
      if (answer != plat::kIdYes) return;
    }
    m_closedUnsaved = true;
  }
  plat::FrameWnd_t::OnClose();
}

void MainFrame_t::CloseWithoutAsking() {
  m_closeWithoutAsking = true;
  if (HasWindow()) SendMessage(plat::kWmClose);
}

}  // namespace app
