#include "plat/PLAT_Frame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QKeySequence>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>

#include "plat/PLAT_App.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_Document.h"
#include "plat/PLAT_Error.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_MenuTemplate.h"
#include "plat/PLAT_Module.h"
#include "plat/PLAT_Picture.h"
#include "plat/PLAT_Screen.h"
#include "plat/PLAT_WindowImpl.h"

namespace plat {

namespace {

std::vector<FrameWnd_t*> g_frames;

// "&Open...\tCtrl+O": the text and the shortcut.
void SplitShortcut(const std::string& text, QString& label, QKeySequence& keys) {
  const size_t tab = text.find('\t');
  label = detail::FromUtf8(text.substr(0, tab));
  keys = tab == std::string::npos ? QKeySequence() : QKeySequence(detail::FromUtf8(text.substr(tab + 1)));
}

}  // namespace

struct FrameWnd_t::Impl {
  QMainWindow* window = nullptr;
  QToolBar* toolBar = nullptr;
  std::vector<QLabel*> panes;
  // The popups of the menu bar, by index, as last rendered.
  std::vector<QMenu*> popups;
};

namespace detail {

void RenderMenu(QMenu& target, const Menu_t& menu) {
  target.clear();
  for (int i = 0; i < menu.GetMenuItemCount(); ++i) {
    const Menu_t::Item_t& item = *menu.ItemAt(i);
    if (item.separator) {
      target.addSeparator();
      continue;
    }
    QString label;
    QKeySequence keys;
    SplitShortcut(item.text, label, keys);
    if (item.popup) {
      QMenu* sub = target.addMenu(label);
      RenderMenu(*sub, *item.popup);
      continue;
    }
    QAction* a = target.addAction(label);
    a->setData(item.id);
    a->setShortcut(keys);
    a->setEnabled(item.enabled);
    a->setCheckable(item.check != 0 || item.radio);
    a->setChecked(item.check != 0);
    if (item.radio) {
      // The menu draws the radio mark for an action of an exclusive group;
      // the group of its own (none checked allowed) only gives it that mark.
      auto* group = new QActionGroup(a);
      group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
      group->addAction(a);
    }
  }
}

// The pump's idle work: the toolbars of the frames.
void UpdateFramesWhenIdle() {
  const std::vector<FrameWnd_t*> frames = g_frames;
  for (FrameWnd_t* f : frames)
    if (std::find(g_frames.begin(), g_frames.end(), f) != g_frames.end() && f->HasWindow()) f->UpdateToolBar();
}

}  // namespace detail

FrameWnd_t::FrameWnd_t() : m_frame(std::make_unique<Impl>()) { g_frames.push_back(this); }

FrameWnd_t::~FrameWnd_t() {
  g_frames.erase(std::remove(g_frames.begin(), g_frames.end(), this), g_frames.end());
  try {
    DestroyWindow();
  } catch (...) {
  }
}

FrameWnd_t* FrameWnd_t::FrameOf(const Wnd_t* window) {
  for (const Wnd_t* w = window; w != nullptr; w = w->GetParent())
    for (FrameWnd_t* f : g_frames)
      if (f == w) return f;
  return nullptr;
}

bool FrameWnd_t::CreateFrame(const std::string& title, const RECT* rect, unsigned menuId) {
  if (HasWindow()) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  if (menuId != 0 && !m_menu.LoadMenu(menuId)) return false;
  EnsureGuiApplication();
  detail::Dispatcher();
  auto* w = new QMainWindow;
  w->setWindowTitle(detail::FromUtf8(title));
  w->setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);
  m_frame->window = w;
  QObject::connect(w->menuBar(), &QMenuBar::triggered, w, [this](QAction* a) {
    const unsigned id = a->data().toUInt();
    if (id != 0) detail::Guard([&] { RouteCommand(id); });
  });
  const RECT r = rect != nullptr ? *rect : DefaultFrameRect(GetWorkArea());
  Finish(w, nullptr, 0, kWsOverlappedWindow, r, false);
  DrawMenuBar();
  return true;
}

void FrameWnd_t::DrawMenuBar() {
  QMainWindow* w = m_frame->window;
  if (w == nullptr || !HasWindow()) return;
  QMenuBar* bar = w->menuBar();
  bar->clear();
  m_frame->popups.clear();
  for (int i = 0; i < m_menu.GetMenuItemCount(); ++i) {
    const Menu_t::Item_t& item = *m_menu.ItemAt(i);
    if (!item.popup) {
      QAction* a = bar->addAction(detail::FromUtf8(item.text));
      a->setData(item.id);
      m_frame->popups.push_back(nullptr);
      continue;
    }
    QMenu* popup = bar->addMenu(detail::FromUtf8(item.text));
    m_frame->popups.push_back(popup);
    detail::RenderMenu(*popup, *item.popup);
    QObject::connect(popup, &QMenu::aboutToShow, popup, [this, i] { detail::Guard([&] { PrepareMenuPopup(i); }); });
  }
}

void FrameWnd_t::PrepareMenuPopup(int index) {
  Menu_t* popup = m_menu.GetSubMenu(index);
  if (popup == nullptr) return;
  OnInitMenuPopup(*popup, index, false);
  UpdateMenuState(*popup);
  if (index >= 0 && size_t(index) < m_frame->popups.size() && m_frame->popups[size_t(index)] != nullptr)
    detail::RenderMenu(*m_frame->popups[size_t(index)], *popup);
}

namespace {
// The action of a command in a rendered menu or its submenus; null when none.
QAction* FindMenuAction(const QMenu& menu, unsigned id) {
  for (QAction* a : menu.actions()) {
    if (QMenu* sub = a->menu()) {
      if (QAction* found = FindMenuAction(*sub, id)) return found;
    } else if (!a->isSeparator() && a->data().toUInt() == id) {
      return a;
    }
  }
  return nullptr;
}
}  // namespace

FrameWnd_t::MenuMark_t FrameWnd_t::RenderedMenuMark(int index, unsigned id) const {
  if (index < 0 || size_t(index) >= m_frame->popups.size() || m_frame->popups[size_t(index)] == nullptr)
    return MenuMark_t::kNone;
  const QAction* a = FindMenuAction(*m_frame->popups[size_t(index)], id);
  if (a == nullptr || !a->isChecked()) return MenuMark_t::kNone;
  return a->actionGroup() != nullptr && a->actionGroup()->isExclusive() ? MenuMark_t::kRadio : MenuMark_t::kCheck;
}

void FrameWnd_t::UpdateMenuState(Menu_t& menu) {
  for (int i = 0; i < menu.GetMenuItemCount(); ++i) {
    if (Menu_t* sub = menu.GetSubMenu(i)) {
      UpdateMenuState(*sub);
      continue;
    }
    const unsigned id = menu.GetMenuItemID(i);
    if (id == 0) continue;
    Menu_t::Item_t* item = menu.FindCommand(id);
    CmdUI_t ui(id);
    ui.Enable(item->enabled);
    if (item->radio) ui.SetRadio(item->check != 0);
    else ui.SetCheck(item->check);
    if (!RouteUpdate(ui)) continue;
    item->enabled = ui.IsEnabled();
    item->check = ui.GetCheck();
    item->radio = ui.IsRadio();
    if (ui.HasText()) item->text = ui.GetText();
  }
}

void FrameWnd_t::OnInitMenuPopup(Menu_t&, int, bool) {}

void FrameWnd_t::OnClose() { DestroyWindow(); }

// ---- toolbar ----

bool FrameWnd_t::CreateToolBar(unsigned id, const std::string& title) {
  QMainWindow* w = m_frame->window;
  if (w == nullptr || m_frame->toolBar != nullptr) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  MenuTemplate t;
  if (!detail::LoadMenuTemplate(id, true, t)) return false;
  QToolBar* bar = w->addToolBar(detail::FromUtf8(title));
  bar->setObjectName(QStringLiteral("toolbar%1").arg(id));
  bar->setAllowedAreas(Qt::AllToolBarAreas);
  // The buttons' pictures: square tiles of one strip, in button order.
  QImage strip;
  std::string png;
  if (GetPictureBytes(GetResourceHandle(), id, png))
    strip.loadFromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()), "PNG");
  const int side = strip.isNull() ? 0 : strip.height();
  if (side > 0) {
    bar->setIconSize(QSize(side, side));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  }
  int button = 0;
  for (const MenuTemplateItem& item : t.items) {
    if (item.kind == MenuTemplateItem::kSeparator) {
      bar->addSeparator();
      continue;
    }
    QAction* a = bar->addAction(detail::FromUtf8(item.text));
    a->setToolTip(detail::FromUtf8(item.text));
    a->setData(item.id);
    if (side > 0 && (button + 1) * side <= strip.width())
      a->setIcon(QIcon(QPixmap::fromImage(strip.copy(button * side, 0, side, side))));
    ++button;
  }
  QObject::connect(bar, &QToolBar::actionTriggered, bar, [this](QAction* a) {
    const unsigned command = a->data().toUInt();
    if (command != 0) detail::Guard([&] { RouteCommand(command); });
  });
  m_frame->toolBar = bar;
  return true;
}


namespace {
QAction* ToolAction(QToolBar* bar, unsigned id) {
  if (bar == nullptr) return nullptr;
  for (QAction* a : bar->actions())
    if (!a->isSeparator() && a->data().toUInt() == id) return a;
  return nullptr;
}
}  // namespace

bool FrameWnd_t::ToolBarButtonHasPicture(unsigned id) const {
  QAction* a = ToolAction(m_frame->toolBar, id);
  return a != nullptr && !a->icon().isNull();
}

bool FrameWnd_t::GetToolBarButtonState(unsigned id, bool& enabled, int& check) const {
  QAction* a = ToolAction(m_frame->toolBar, id);
  if (a == nullptr) return false;
  enabled = a->isEnabled();
  check = a->isChecked() ? 1 : 0;
  return true;
}

bool FrameWnd_t::ClickToolBarButton(unsigned id) {
  QAction* a = ToolAction(m_frame->toolBar, id);
  if (a == nullptr || !a->isEnabled()) return false;
  detail::Sync([&] { a->trigger(); });
  return true;
}

void FrameWnd_t::UpdateToolBar() {
  QToolBar* bar = m_frame->toolBar;
  if (bar == nullptr) return;
  for (QAction* a : bar->actions()) {
    if (a->isSeparator()) continue;
    CmdUI_t ui(a->data().toUInt());
    if (!RouteUpdate(ui)) continue;
    a->setEnabled(ui.IsEnabled());
    a->setCheckable(ui.GetCheck() != 0 || ui.IsRadio());
    a->setChecked(ui.GetCheck() != 0);
  }
}

std::vector<std::uint8_t> FrameWnd_t::SaveBarState() const {
  QMainWindow* w = m_frame->window;
  if (w == nullptr) return {};
  const QByteArray state = w->saveState();
  return std::vector<std::uint8_t>(state.begin(), state.end());
}

bool FrameWnd_t::LoadBarState(const std::vector<std::uint8_t>& state) {
  QMainWindow* w = m_frame->window;
  if (w == nullptr || state.empty()) return false;
  return w->restoreState(QByteArray(reinterpret_cast<const char*>(state.data()), qsizetype(state.size())));
}

// ---- status bar ----

bool FrameWnd_t::CreateStatusBar(const std::vector<unsigned>& indicators) {
  QMainWindow* w = m_frame->window;
  if (w == nullptr || indicators.empty()) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  QStatusBar* bar = w->statusBar();
  for (QLabel* l : m_frame->panes) delete l;
  m_frame->panes.clear();
  for (unsigned id : indicators) {
    auto* pane = new QLabel(bar);
    pane->setObjectName(QStringLiteral("pane%1").arg(id));
    if (id == kIdSeparator) {
      bar->addWidget(pane, 1);
    } else {
      pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(QStringLiteral("MMMM")));
      pane->setAlignment(Qt::AlignCenter);
      bar->addPermanentWidget(pane);
    }
    m_frame->panes.push_back(pane);
  }
  return true;
}

int FrameWnd_t::GetPaneCount() const { return static_cast<int>(m_frame->panes.size()); }

bool FrameWnd_t::SetPaneText(int index, const std::string& text) {
  if (index < 0 || index >= GetPaneCount()) return false;
  m_frame->panes[size_t(index)]->setText(detail::FromUtf8(text));
  return true;
}

std::string FrameWnd_t::GetPaneText(int index) const {
  if (index < 0 || index >= GetPaneCount()) return std::string();
  return detail::ToUtf8(m_frame->panes[size_t(index)]->text());
}

// ---- client and routing ----

void FrameWnd_t::SetClient(Wnd_t& client) {
  QMainWindow* w = m_frame->window;
  if (w == nullptr || client.Impl()->widget.isNull()) return;
  w->setCentralWidget(client.Impl()->widget);
  m_client = &client;
}

void FrameWnd_t::SetActiveView(View_t* view) { m_activeView = view; }
View_t* FrameWnd_t::GetActiveView() const { return m_activeView; }

View_t* FrameWnd_t::GetRoutingView() const {
  // The views this frame can reach: those of the active view's document, and
  // the active view itself.
  if (m_activeView != nullptr && m_activeView->GetDocument() != nullptr)
    for (View_t* v : m_activeView->GetDocument()->GetViews())
      if (v->GetViewWnd().HasFocusWithin()) return v;
  return m_activeView;
}

bool FrameWnd_t::RouteCommand(unsigned id) {
  View_t* view = GetRoutingView();
  if (view != nullptr) {
    if (static_cast<CmdTarget_t&>(view->GetViewWnd()).OnCommand(id, 0)) return true;
    if (Document_t* doc = view->GetDocument())
      if (doc->OnCommand(id, 0)) return true;
  }
  if (static_cast<CmdTarget_t*>(this)->OnCommand(id, 0)) return true;
  CmdTarget_t* app = GetAppCmdTarget();
  return app != nullptr && app->OnCommand(id, 0);
}

bool FrameWnd_t::RouteUpdate(CmdUI_t& ui) {
  View_t* view = GetRoutingView();
  if (view != nullptr) {
    if (static_cast<CmdTarget_t&>(view->GetViewWnd()).OnUpdateCommand(ui)) return true;
    if (Document_t* doc = view->GetDocument())
      if (doc->OnUpdateCommand(ui)) return true;
  }
  if (OnUpdateCommand(ui)) return true;
  CmdTarget_t* app = GetAppCmdTarget();
  return app != nullptr && app->OnUpdateCommand(ui);
}

}  // namespace plat
