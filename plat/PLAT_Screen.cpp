#include "plat/PLAT_Screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace plat {

namespace {

RECT ToRect(const QRect& r) { return RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

}  // namespace

RECT GetDesktopRect() {
  QRect all;
  for (const QScreen* screen : QGuiApplication::screens()) all = all.united(screen->geometry());
  return ToRect(all);
}

RECT GetPrimaryScreenRect() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? ToRect(screen->geometry()) : RECT{0, 0, 0, 0};
}

}  // namespace plat
