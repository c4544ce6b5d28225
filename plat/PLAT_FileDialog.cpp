#include "plat/PLAT_FileDialog.h"

#include <QEventLoop>
#include <QFileDialog>
#include <QStringList>

#include "plat/PLAT_App.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_Window.h"
#include "plat/PLAT_WindowImpl.h"

namespace plat {

namespace {
FileDialogHook g_hook;

// "Name|*.a;*.b|Other|*.*" -> "Name (*.a *.b)", "Other (*.*)".
QStringList NameFilters(const std::string& filter) {
  QStringList parts = detail::FromUtf8(filter).split('|');
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString name = parts[i];
    const QString patterns = parts[i + 1].replace(';', ' ');
    if (!name.contains('(')) name += QStringLiteral(" (") + patterns + QStringLiteral(")");
    else name = name.left(name.indexOf('(')).trimmed() + QStringLiteral(" (") + patterns + QStringLiteral(")");
    out << name;
  }
  return out;
}
}  // namespace

void SetFileDialogHook(FileDialogHook hook) { g_hook = std::move(hook); }

bool GetSaveFileName(Wnd_t* owner, const FileDialogOptions& options, std::string& path) {
  if (g_hook) return g_hook(options, path);
  EnsureGuiApplication();
  if (owner == nullptr) owner = GetMainWnd();
  QFileDialog dialog(owner != nullptr ? owner->Impl()->widget.data() : nullptr, detail::FromUtf8(options.title));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  const QStringList filters = NameFilters(options.filter);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  if (!options.defaultExtension.empty()) dialog.setDefaultSuffix(detail::FromUtf8(options.defaultExtension));
  if (!options.fileName.empty()) dialog.selectFile(detail::FromUtf8(options.fileName));
  bool accepted = false;
  dialog.setWindowModality(Qt::ApplicationModal);
  detail::RunModalWidget(
      dialog,
      [&](QEventLoop& loop) {
        QObject::connect(&dialog, &QFileDialog::finished, &loop, [&](int result) {
          accepted = result == QDialog::Accepted;
          loop.exit(0);
        });
      },
      [&] { dialog.show(); });
  if (!accepted || dialog.selectedFiles().isEmpty()) return false;
  path = detail::ToUtf8(dialog.selectedFiles().front());
  return true;
}

}  // namespace plat
