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

RECT GetWorkArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? ToRect(screen->availableGeometry()) : RECT{0, 0, 0, 0};
}

RECT DefaultFrameRect(const RECT& workArea) {
  const int width = (workArea.right - workArea.left) * 3 / 4;
  const int height = (workArea.bottom - workArea.top) * 3 / 4;
  const int left = workArea.left + (workArea.right - workArea.left - width) / 2;
  const int top = workArea.top + (workArea.bottom - workArea.top - height) / 2;
  return RECT{left, top, left + width, top + height};
}

}  // namespace plat
