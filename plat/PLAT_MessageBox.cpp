#include "plat/PLAT_MessageBox.h"

#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>

#include <vector>

#include "plat/PLAT_App.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_Window.h"
#include "plat/PLAT_WindowImpl.h"

namespace plat {

namespace {
MessageBoxHook g_hook;
}

void SetMessageBoxHook(MessageBoxHook hook) { g_hook = std::move(hook); }

int MessageBox(Wnd_t* owner, const std::string& text, const std::string& caption, unsigned type) {
  if (g_hook) return g_hook(text, caption, type);
  EnsureGuiApplication();
  if (owner == nullptr) owner = GetMainWnd();
  QWidget* parent = owner != nullptr && owner->Impl()->widget ? owner->Impl()->widget->window() : nullptr;
  QMessageBox box(parent);
  box.setWindowTitle(detail::FromUtf8(caption));
  box.setText(detail::FromUtf8(text));
  switch (type & 0xF0) {
    case kMbIconStop: box.setIcon(QMessageBox::Critical); break;
    case kMbIconQuestion: box.setIcon(QMessageBox::Question); break;
    case kMbIconExclamation: box.setIcon(QMessageBox::Warning); break;
    case kMbIconInformation: box.setIcon(QMessageBox::Information); break;
    default: break;
  }
  struct Choice {
    QMessageBox::StandardButton button;
    int id;
  };
  std::vector<Choice> choices;
  switch (type & 0x0F) {
    case kMbOkCancel: choices = {{QMessageBox::Ok, kIdOk}, {QMessageBox::Cancel, kIdCancel}}; break;
    case kMbAbortRetryIgnore:
      choices = {{QMessageBox::Abort, kIdAbort}, {QMessageBox::Retry, kIdRetry}, {QMessageBox::Ignore, kIdIgnore}};
      break;
    case kMbYesNoCancel:
      choices = {{QMessageBox::Yes, kIdYes}, {QMessageBox::No, kIdNo}, {QMessageBox::Cancel, kIdCancel}};
      break;
    case kMbYesNo: choices = {{QMessageBox::Yes, kIdYes}, {QMessageBox::No, kIdNo}}; break;
    case kMbRetryCancel: choices = {{QMessageBox::Retry, kIdRetry}, {QMessageBox::Cancel, kIdCancel}}; break;
    default: choices = {{QMessageBox::Ok, kIdOk}}; break;
  }
  QMessageBox::StandardButtons buttons;
  for (const Choice& c : choices) buttons |= c.button;
  box.setStandardButtons(buttons);
  const size_t def = (type & kMbDefButton3) ? 2 : (type & kMbDefButton2) ? 1 : 0;
  if (def < choices.size()) box.setDefaultButton(choices[def].button);
  int result = 0;
  for (const Choice& c : choices)
    if (c.id == kIdCancel) result = kIdCancel;
  if (choices.size() == 1) result = choices.front().id;
  box.setWindowModality(Qt::ApplicationModal);
  detail::RunModalWidget(
      box,
      [&](QEventLoop& loop) {
        QObject::connect(&box, &QMessageBox::finished, &loop, [&] {
          for (const Choice& c : choices)
            if (box.clickedButton() == box.button(c.button)) result = c.id;
          loop.exit(0);
        });
      },
      [&] { box.show(); });
  return result;
}

}  // namespace plat
