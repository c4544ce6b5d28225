#include "plat/PLAT_Menu.h"

#include <QAction>
#include <QEventLoop>
#include <QMenu>

#include "plat/PLAT_CmdTarget.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_Error.h"
#include "plat/PLAT_Frame.h"
#include "plat/PLAT_MenuTemplate.h"
#include "plat/PLAT_Module.h"
#include "plat/PLAT_TemplateText.h"
#include "plat/PLAT_WindowImpl.h"

namespace plat {

namespace {

MenuHook g_menuHook;
CmdTarget_t* g_appTarget = nullptr;

void Fill(Menu_t& menu, const std::vector<MenuTemplateItem>& items) {
  for (const MenuTemplateItem& t : items) {
    if (t.kind == MenuTemplateItem::kSeparator) menu.AppendSeparator();
    else if (t.kind == MenuTemplateItem::kPopup) Fill(menu.AppendPopup(t.text), t.items);
    else menu.AppendItem(t.id, t.text);
  }
}

}  // namespace

bool CmdTarget_t::OnCommand(unsigned, unsigned) { return false; }
bool CmdTarget_t::OnUpdateCommand(CmdUI_t&) { return false; }
void SetAppCmdTarget(CmdTarget_t* target) { g_appTarget = target; }
CmdTarget_t* GetAppCmdTarget() { return g_appTarget; }

namespace detail {

bool LoadMenuTemplate(unsigned id, bool toolbar, MenuTemplate& t) {
  std::string text;
  if (!LoadResourceText(toolbar ? kResourceToolbar : kResourceMenu, id, text)) return false;
  if (!ParseMenuTemplate(text, t) || t.toolbar != toolbar) {
    SetLastError(kErrorInvalidData);
    return false;
  }
  return true;
}

}  // namespace detail

bool Menu_t::LoadMenu(unsigned id) {
  MenuTemplate t;
  if (!detail::LoadMenuTemplate(id, false, t)) return false;
  m_items.clear();
  Fill(*this, t.items);
  return true;
}

const Menu_t::Item_t* Menu_t::ItemAt(int position) const {
  return position >= 0 && position < GetMenuItemCount() ? &m_items[size_t(position)] : nullptr;
}

unsigned Menu_t::GetMenuItemID(int position) const {
  const Item_t* item = ItemAt(position);
  if (item == nullptr || item->popup) return 0xFFFFFFFFu;
  return item->separator ? 0 : item->id;
}

std::string Menu_t::GetMenuString(int position) const {
  const Item_t* item = ItemAt(position);
  return item == nullptr ? std::string() : item->text;
}

Menu_t* Menu_t::GetSubMenu(int position) const {
  const Item_t* item = ItemAt(position);
  return item == nullptr ? nullptr : item->popup.get();
}

Menu_t::Item_t* Menu_t::FindCommand(unsigned id) {
  for (Item_t& item : m_items) {
    if (item.popup) {
      if (Item_t* inner = item.popup->FindCommand(id)) return inner;
    } else if (!item.separator && item.id == id) {
      return &item;
    }
  }
  return nullptr;
}

void Menu_t::AppendItem(unsigned id, const std::string& text) {
  Item_t item;
  item.id = id;
  item.text = text;
  m_items.push_back(item);
}

void Menu_t::AppendSeparator() {
  Item_t item;
  item.separator = true;
  m_items.push_back(item);
}

Menu_t& Menu_t::AppendPopup(const std::string& text) {
  Item_t item;
  item.text = text;
  item.popup = std::make_shared<Menu_t>();
  m_items.push_back(item);
  return *m_items.back().popup;
}

bool Menu_t::DeleteMenu(int position) {
  if (ItemAt(position) == nullptr) return false;
  m_items.erase(m_items.begin() + position);
  return true;
}

bool Menu_t::EnableMenuItem(unsigned id, bool enable) {
  Item_t* item = FindCommand(id);
  if (item == nullptr) return false;
  item->enabled = enable;
  return true;
}

bool Menu_t::CheckMenuItem(unsigned id, int check) {
  Item_t* item = FindCommand(id);
  if (item == nullptr) return false;
  item->check = check;
  item->radio = false;
  return true;
}

void SetMenuHook(MenuHook hook) { g_menuHook = std::move(hook); }

unsigned TrackPopupMenu(Menu_t& menu, Wnd_t* owner, POINT screenPoint) {
  FrameWnd_t* frame = FrameWnd_t::FrameOf(owner);
  if (frame != nullptr) frame->UpdateMenuState(menu);
  if (g_menuHook) return g_menuHook(menu);
  QMenu popup(owner != nullptr ? owner->Impl()->widget.data() : nullptr);
  detail::RenderMenu(popup, menu);
  unsigned chosen = 0;
  detail::RunModalWidget(
      popup,
      [&](QEventLoop& loop) {
        QObject::connect(&popup, &QMenu::triggered, &loop, [&](QAction* a) { chosen = a->data().toUInt(); });
        QObject::connect(&popup, &QMenu::aboutToHide, &loop, [&] { loop.exit(0); });
      },
      [&] { popup.popup(QPoint(screenPoint.x, screenPoint.y)); });
  return chosen;
}

}  // namespace plat
