// A window's font and cursor.
#include <QCursor>
#include <QWidget>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_GdiImpl.h"
#include "plat/PLAT_WindowImpl.h"

namespace plat {

namespace {

// The toolkit's shape of a system cursor; false for an unknown id.
bool ShapeOf(HCURSOR cursor, Qt::CursorShape& shape) {
  switch (cursor) {
    case kIdcArrow: shape = Qt::ArrowCursor; return true;
    case kIdcIBeam: shape = Qt::IBeamCursor; return true;
    case kIdcWait: shape = Qt::WaitCursor; return true;
    case kIdcCross: shape = Qt::CrossCursor; return true;
    case kIdcSizeWe: shape = Qt::SizeHorCursor; return true;
    case kIdcSizeNs: shape = Qt::SizeVerCursor; return true;
    case kIdcHand: shape = Qt::PointingHandCursor; return true;
    default: return false;
  }
}

}  // namespace

HCURSOR LoadStandardCursor(unsigned id) {
  Qt::CursorShape shape;
  if (ShapeOf(id, shape)) return id;
  SetLastError(kErrorResourceNameNotFound);
  return 0;
}

bool Wnd_t::SetFont(const GdiHandle_t& font, bool redraw) {
  QWidget* w = m_impl->widget;
  if (w == nullptr) {
    SetLastError(kErrorInvalidWindowHandle);
    return false;
  }
  if (!font.IsNull() && font.Kind() != GdiKind::Font) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  m_impl->font = font;
  detail::Sync([&] {
    w->setFont(font.IsNull() ? QFont() : detail::FontOf(*font.Data()));
    if (redraw) w->update();
  });
  return true;
}

GdiHandle_t Wnd_t::GetFont() const { return m_impl->font; }

void Wnd_t::SetCursor(HCURSOR cursor) {
  QWidget* w = m_impl->widget;
  Qt::CursorShape shape;
  if (!ShapeOf(cursor, shape)) cursor = 0;
  m_impl->cursor = cursor;
  if (w == nullptr) return;
  if (cursor == 0)
    w->unsetCursor();
  else
    w->setCursor(QCursor(shape));
}

HCURSOR Wnd_t::GetCursor() const { return m_impl->cursor; }

}  // namespace plat
