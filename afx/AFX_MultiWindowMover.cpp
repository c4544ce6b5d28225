#include "afx/AFX_MultiWindowMover.h"

#include "glo/GLO_Exception.h"

namespace afx {

MultiWindowMover_t::MultiWindowMover_t(int windows) { m_moves.reserve(windows > 0 ? size_t(windows) : 0); }

MultiWindowMover_t::~MultiWindowMover_t() {
  try {
    End();
  } catch (...) {
  }
}

void MultiWindowMover_t::Move(plat::Wnd_t* window, plat::Wnd_t*, int x, int y, int width, int height, unsigned) {
  GLO_ASSERT(window != nullptr);
  GLO_ASSERT(!m_ended && window->HasWindow());
  m_moves.push_back(Move_t{window->GetSafeHwnd(), plat::RECT{x, y, x + width, y + height}});
}

void MultiWindowMover_t::End() {
  if (m_ended) return;
  m_ended = true;
  for (const Move_t& m : m_moves) {
    plat::Wnd_t* w = plat::Wnd_t::FromHandle(m.window);
    GLO_ASSERT(w != nullptr);
    w->MoveWindow(m.rect, true);
  }
}

}  // namespace afx
