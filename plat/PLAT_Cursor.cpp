#include "plat/PLAT_Cursor.h"

#include <QApplication>
#include <QCursor>

#include "plat/PLAT_Gui.h"

namespace plat {

namespace {
int g_waiting = 0;
}

WaitCursor_t::WaitCursor_t() {
  EnsureGuiApplication();
  QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  ++g_waiting;
}

WaitCursor_t::~WaitCursor_t() {
  QApplication::restoreOverrideCursor();
  --g_waiting;
}

bool IsWaitCursorShown() { return g_waiting > 0; }

}  // namespace plat
