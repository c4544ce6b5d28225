#include "plat/PLAT_Dialog.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <map>
#include <mutex>

#include "plat/PLAT_App.h"
#include "plat/PLAT_Bars.h"
#include "plat/PLAT_Button.h"
#include "plat/PLAT_DateTime.h"
#include "plat/PLAT_DialogTemplate.h"
#include "plat/PLAT_Edit.h"
#include "plat/PLAT_Error.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_List.h"
#include "plat/PLAT_RichEdit.h"
#include "plat/PLAT_Static.h"
#include "plat/PLAT_TemplateText.h"
#include "plat/PLAT_Tree.h"
#include "plat/PLAT_WindowImpl.h"

namespace plat {

namespace {

// The height of a closed combo box, in dialog units.
constexpr int kComboBoxHeightDlu = 14;

ModuleHandle g_resources = nullptr;
std::map<std::string, WindowFactory> g_classes;
ModalHook g_modalHook;

// Escape and the window's close box reach OnCancel through the close event.
// Enter (without Ctrl, Shift or Alt) presses the push button with the focus,
// else the default button, else OK: the button of id 1 when the dialog has
// one (nothing while it is disabled), otherwise the OK command itself.
class DialogWidget : public QDialog {
 public:
  DialogWidget(QWidget* parent, Dialog_t* dialog) : QDialog(parent), m_dialog(dialog) {}
  void reject() override {
    // Escape: the same road as the close box.
    QCloseEvent e;
    QApplication::sendEvent(this, &e);
  }

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (!enter || (e->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier))) {
      QDialog::keyPressEvent(e);
      return;
    }
    e->accept();
    PressEnter();
  }

 private:
  static bool Pressable(const QPushButton* button) {
    return button != nullptr && button->isVisible() && button->isEnabled();
  }

  void PressEnter() {
    auto* focused = qobject_cast<QPushButton*>(focusWidget());
    if (Pressable(focused)) {
      focused->click();
      return;
    }
    for (QPushButton* button : findChildren<QPushButton*>())
      if (button->isDefault() && button->isVisible()) {
        if (button->isEnabled()) button->click();
        return;
      }
    if (Wnd_t* ok = m_dialog->GetDlgItem(kIdOk)) {
      if (auto* button = qobject_cast<QPushButton*>(ok->Impl()->widget.data())) {
        if (Pressable(button)) button->click();
        return;
      }
    }
    Dialog_t* dialog = m_dialog;
    detail::Guard([dialog] { dialog->SendMessage(kWmCommand, kIdOk, 0); });
  }

  Dialog_t* m_dialog;
};

// A dialog embedded in another window: Enter presses its push button that
// has the focus, wherever it is embedded; other keys go on to the parent.
class ChildDialogWidget : public QWidget {
 public:
  explicit ChildDialogWidget(QWidget* parent) : QWidget(parent) {}

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    // The key came from the window's focus child (the window need not be
    // the active one).
    auto* focused = qobject_cast<QPushButton*>(window()->focusWidget());
    if (enter && !(e->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) &&
        focused != nullptr && isAncestorOf(focused) && focused->isVisible() && focused->isEnabled()) {
      e->accept();
      focused->click();
      return;
    }
    e->ignore();
  }
};

std::unique_ptr<Wnd_t> MakeControlObject(const std::string& kind) {
  if (kind == "static" || kind == "groupbox") return std::make_unique<Static_t>();
  if (kind == "edit") return std::make_unique<Edit_t>();
  if (kind == "button" || kind == "default" || kind == "check" || kind == "radio") return std::make_unique<Button_t>();
  if (kind == "list") return std::make_unique<ListBox_t>();
  if (kind == "combo") return std::make_unique<ComboBox_t>();
  if (kind == "listview") return std::make_unique<ListCtrl_t>();
  if (kind == "tree") return std::make_unique<TreeCtrl_t>();
  if (kind == "datetime") return std::make_unique<DateTimeCtrl_t>();
  if (kind == "progress") return std::make_unique<ProgressCtrl_t>();
  if (kind == "statusbar") return std::make_unique<StatusBarCtrl_t>();
  if (kind == "richedit") return std::make_unique<RichEditCtrl_t>();
  return nullptr;
}

// The controls of a template get made through their class's Create.
class ControlMaker : public Wnd_t {
 public:
  static bool Make(Wnd_t& control, const std::string& kind, Wnd_t* parent, int id, std::uint32_t style,
                   const RECT& rect, const std::string& text) {
    return static_cast<ControlMaker&>(control).CreateControl(kind, parent, id, style, rect, text);
  }
};

}  // namespace

void SetResourceHandle(ModuleHandle module) { g_resources = module; }

bool detail::LoadResourceText(unsigned kind, unsigned id, std::string& text) {
  const unsigned char* data = nullptr;
  size_t size = 0;
  if (g_resources == nullptr) {
    SetLastError(kErrorResourceTypeNotFound);
    return false;
  }
  if (!FindResource(g_resources, kind, id, data, size)) return false;
  text.assign(reinterpret_cast<const char*>(data), size);
  return true;
}
ModuleHandle GetResourceHandle() { return g_resources; }

bool RegisterWindowClass(const std::string& name, WindowFactory factory) {
  if (name.empty() || !factory) return false;
  return g_classes.emplace(name, std::move(factory)).second;
}

bool IsWindowClassRegistered(const std::string& name) { return g_classes.count(name) != 0; }

void SetModalHook(ModalHook hook) { g_modalHook = std::move(hook); }

Dialog_t::Dialog_t(unsigned templateId, Wnd_t* parent) : m_templateId(templateId), m_parentWnd(parent) {}

Dialog_t::~Dialog_t() = default;

RECT Dialog_t::MapDialogRect(const RECT& du) const {
  int bx = 0, by = 0;
  detail::DialogBaseUnits(bx, by);
  return RECT{du.left * bx / 4, du.top * by / 8, du.right * bx / 4, du.bottom * by / 8};
}

bool Dialog_t::Build(Wnd_t* parent, bool child, int id) {
  if (HasWindow()) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  std::string text;
  if (!detail::LoadResourceText(kResourceDialog, m_templateId, text)) return false;
  DialogTemplate t;
  if (!ParseDialogTemplate(text, t)) {
    SetLastError(kErrorInvalidData);
    return false;
  }
  for (const DialogItemTemplate& item : t.items)
    if (item.custom && !IsWindowClassRegistered(item.kind)) {
      SetLastError(1407);  // the class does not exist
      return false;
    }
  EnsureGuiApplication();
  detail::Dispatcher();
  const RECT size_ = MapDialogRect(RECT{0, 0, t.cx, t.cy});
  QWidget* w = nullptr;
  std::uint32_t style = t.style;
  if (child) {
    w = new ChildDialogWidget(parent->Impl()->widget);
    style = (style & ~(kWsPopup | kWsCaption | kWsThickFrame | kWsSysMenu)) | kWsChild;
  } else {
    QWidget* owner = parent != nullptr ? parent->Impl()->widget.data() : nullptr;
    if (owner == nullptr && GetMainWnd() != nullptr) owner = GetMainWnd()->Impl()->widget.data();
    auto* d = new DialogWidget(owner != nullptr ? owner->window() : nullptr, this);
    d->setWindowTitle(detail::FromUtf8(t.title));
    d->setSizeGripEnabled(false);
    if (!(style & kWsThickFrame)) d->setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, true);
    w = d;
  }
  w->setAutoFillBackground(true);
  // Position: centred over the owner, or on the screen.
  RECT rect = size_;
  if (!child) {
    QRect area = QGuiApplication::primaryScreen() != nullptr ? QGuiApplication::primaryScreen()->availableGeometry()
                                                              : QRect(0, 0, 1024, 768);
    if (w->parentWidget() != nullptr) area = w->parentWidget()->frameGeometry();
    const int x = area.x() + (area.width() - size_.right) / 2, y = area.y() + (area.height() - size_.bottom) / 2;
    rect = RECT{x, y, x + size_.right, y + size_.bottom};
  }
  Finish(w, parent, id, style & ~kWsVisible, rect, true);
  // The controls, in template order.
  for (const DialogItemTemplate& item : t.items) {
    // A combo box's template height includes its dropped-down list; the box
    // itself is one line high.
    const int cy = item.kind == "combo" ? std::min(item.cy, kComboBoxHeightDlu) : item.cy;
    const RECT r = MapDialogRect(RECT{item.x, item.y, item.x + item.cx, item.y + cy});
    std::unique_ptr<Wnd_t> control = item.custom ? g_classes[item.kind]() : MakeControlObject(item.kind);
    const bool made = control != nullptr &&
                      (item.custom ? control->Create(this, item.id, item.style, r, item.text)
                                   : ControlMaker::Make(*control, item.kind, this, item.id, item.style, r, item.text));
    if (!made) {
      const unsigned long code = GetLastError();
      DestroyWindow();
      SetLastError(code != 0 ? code : kErrorInvalidData);
      return false;
    }
    Impl()->placeholders.push_back(std::move(control));
  }
  return true;
}

int Dialog_t::DoModal() {
  m_ended = false;
  m_result = 0;
  if (!Build(m_parentWnd, false, 0)) return -1;
  QWidget* w = Impl()->widget;
  try {
    bool focusFirst = false;
    detail::Sync([&] { focusFirst = OnInitDialog(); });
    if (focusFirst && !m_ended)
      for (Wnd_t* c : GetChildren())
        if ((c->GetStyle() & kWsTabStop) && c->IsWindowEnabled()) {
          c->SetFocus();
          break;
        }
  } catch (...) {
    DestroyWindow();
    throw;
  }
  QEventLoop loop;
  detail::FrameScope frame(&loop);
  if (!m_ended) {
    w->setWindowModality(Qt::ApplicationModal);
    detail::Guard([&] { w->show(); });
    const HWND self = GetSafeHwnd();
    if (g_modalHook) {
      ModalHook hook = g_modalHook;
      detail::PostCall([this, self, hook] {
        if (IsWindow(self) && !m_ended) detail::Guard([&] { hook(*this); });
      });
    }
    m_loop = &loop;
    if (!m_ended && !detail::FramePending()) loop.exec();
    m_loop = nullptr;
  }
  DestroyWindow();
  frame.Rethrow();
  return m_result;
}

bool Dialog_t::CreateChild(Wnd_t* parent, int id) {
  if (parent == nullptr || !parent->HasWindow()) {
    SetLastError(kErrorInvalidWindowHandle);
    return false;
  }
  if (!Build(parent, true, id)) return false;
  try {
    detail::Sync([&] { OnInitDialog(); });
  } catch (...) {
    DestroyWindow();
    throw;
  }
  ShowWindow(true);
  return true;
}

void Dialog_t::EndDialog(int result) {
  m_result = result;
  m_ended = true;
  if (QWidget* w = Impl()->widget) w->hide();
  if (m_loop != nullptr) static_cast<QEventLoop*>(m_loop)->exit(0);
}

bool Dialog_t::OnInitDialog() { return true; }
void Dialog_t::OnOK() { EndDialog(kIdOk); }
void Dialog_t::OnCancel() { EndDialog(kIdCancel); }

bool Dialog_t::OnCommand(unsigned id, unsigned code) {
  if (code != kBnClicked) return false;
  if (id == kIdOk) {
    OnOK();
    return true;
  }
  if (id == kIdCancel) {
    OnCancel();
    return true;
  }
  return false;
}

void Dialog_t::OnClose() { OnCancel(); }

}  // namespace plat
