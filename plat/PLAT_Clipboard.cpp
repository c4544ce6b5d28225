#include "plat/PLAT_Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_WindowImpl.h"

namespace plat {

bool SetClipboardText(const std::string& text) {
  if (!EnsureGuiApplication() || QGuiApplication::clipboard() == nullptr) {
    SetLastError(kErrorNotSupported);
    return false;
  }
  QGuiApplication::clipboard()->setText(detail::FromUtf8(text));
  return true;
}

bool GetClipboardText(std::string& text) {
  if (!EnsureGuiApplication() || QGuiApplication::clipboard() == nullptr) return false;
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (data == nullptr || !data->hasText()) return false;
  text = detail::ToUtf8(data->text());
  return true;
}

}  // namespace plat
